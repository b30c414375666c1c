// The command-line cases of tests/tool/cases/*.txt, each run through the
// installed program in a scratch directory of its own. The format of the
// case files is described at the top of tests/tool/cases/driver.txt.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "derived_inputs.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using testsupport::fromHex;
using testsupport::readFile;
using testsupport::RunResult;
using testsupport::sourcePath;

// The reports on standard error that many cases expect, by name: a failed
// BER decode or DER encode in the converter (its context keeps no error
// text), an unknown type name, and any failure inside the XML reader.
const std::map<std::string, std::string> kReports = {
   {"codec", "Error:Exception :'' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n"},
   {"invalid-type", "Error:Exception :'Invalid type' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n"},
   {"reader", "Unknown exception\\.\n"},
};

struct Case {
   std::string name, where;
   std::vector<std::string> lines;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.where; }

std::string trimmed(const std::string& text) {
   const size_t first = text.find_first_not_of(" \t");
   return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// Every "case NAME" line opens a case; a line that ends in a backslash goes
// on in the next one.
std::vector<Case> loadCases() {
   std::vector<fs::path> files;
   for (const auto& entry : fs::directory_iterator(sourcePath("tests/tool/cases")))
      if (entry.path().extension() == ".txt") files.push_back(entry.path());
   std::sort(files.begin(), files.end());
   std::vector<Case> cases;
   for (const fs::path& file : files) {
      std::istringstream in(readFile(file.string()));
      std::string line, joined;
      for (int number = 1; std::getline(in, line); ++number) {
         joined += trimmed(line);
         if (!joined.empty() && joined.back() == '\\') {
            joined.pop_back();
            continue;
         }
         const std::string text = trimmed(joined);
         joined.clear();
         if (text.empty() || text[0] == '#') continue;
         if (text.rfind("case ", 0) == 0) {
            std::string name = file.stem().string() + "_" + text.substr(5);
            for (char& c : name)
               if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
            cases.push_back({name, file.filename().string() + ":" + std::to_string(number), {}});
         } else if (cases.empty()) {
            throw std::runtime_error(file.string() + ": a line before the first case");
         } else {
            cases.back().lines.push_back(text);
         }
      }
   }
   return cases;
}

struct Word {
   std::string text;
   bool quoted = false;
};

// Bytes as text when they are text, else as hexadecimal, for the messages.
std::string shown(const std::string& bytes) {
   const bool text = std::all_of(bytes.begin(), bytes.end(), [](char c) {
      return c == '\n' || c == '\t' || (c >= ' ' && c <= '~');
   });
   return text ? bytes : "hex " + testsupport::toHex(bytes);
}

class CaseRun {
public:
   explicit CaseRun(const Case& c) : dir(testsupport::scratchDir(c.name)) {}

   void line(const std::string& text) {
      const std::vector<Word> w = words(text);
      const std::string& key = w[0].text;
      if (key == "input" || key == "file") {
         const std::string name = key == "input" ? "input" : arg(w, 1);
         files[name] = data(w, key == "input" ? 1 : 2);
         last = &files[name];
      } else if (key == "setup") {
         setups.push_back(w);
      } else if (key == "run") {
         command = w;
      } else if (key == "argv0") {
         argv0 = arg(w, 1);
      } else if (key == "stdout-to") {
         stdoutTo = arg(w, 1);
      } else if (key == "stdout" || key == "stderr") {
         auto& expected = key == "stdout" ? out : err;
         expected = data(w, 1);
         last = &*expected;
      } else if (key == "stdout-has") {
         last = &outHas.emplace_back(data(w, 1));
      } else if (key == "stderr~") {
         errPattern = w.at(1).quoted ? w[1].text : kReports.at(arg(w, 1));
      } else if (key == "status") {
         status = std::stoi(arg(w, 1));
      } else if (key == "out-file") {
         outFiles[arg(w, 1)] = data(w, 2);
         last = &outFiles[arg(w, 1)];
      } else if (key == "dir-holds") {
         holds.emplace();
         for (size_t i = 1; i < w.size(); i++) holds->push_back(w[i].text);
      } else if (last != nullptr) {
         edit(w, *last);
      } else {
         throw std::runtime_error("unknown line: " + text);
      }
   }

   void check() {
      for (const auto& [name, bytes] : files) {
         fs::create_directories(fs::path(dir + "/" + name).parent_path());
         testsupport::writeFile(dir + "/" + name, bytes);
      }
      for (const std::vector<Word>& setup : setups) {
         const RunResult r = execute(setup, 1);
         ASSERT_EQ(r.status, 0) << r.err;
      }
      ASSERT_FALSE(command.empty()) << "no run line";
      const RunResult r = execute(command, 1, argv0, stdoutTo);
      if (out || outHas.empty()) {
         EXPECT_EQ(shown(r.out), shown(out.value_or("")));
      }
      for (const std::string& part : outHas)
         EXPECT_NE(r.out.find(part), std::string::npos) << "lacks " << shown(part) << "\n" << r.out;
      if (errPattern.empty()) {
         EXPECT_EQ(r.err, err.value_or(""));
      } else {
         EXPECT_TRUE(std::regex_match(r.err, std::regex(errPattern))) << r.err;
      }
      EXPECT_EQ(r.status, status);
      for (const auto& [name, bytes] : outFiles) {
         ASSERT_TRUE(fs::exists(dir + "/" + name)) << name;
         EXPECT_EQ(shown(readFile(dir + "/" + name)), shown(bytes)) << name;
      }
      if (holds) {
         std::vector<std::string> names;
         for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
         std::sort(names.begin(), names.end());
         EXPECT_EQ(names, *holds);
      }
   }

private:
   const std::string dir;
   std::map<std::string, std::string> files, outFiles;
   std::vector<std::vector<Word>> setups;
   std::vector<Word> command;
   std::optional<std::string> argv0, out, err;
   std::deque<std::string> outHas;
   std::string stdoutTo, errPattern;
   std::optional<std::vector<std::string>> holds;
   int status = 0;
   std::string* last = nullptr;  // what edit lines change

   // Blank-separated words; "quoted" ones may hold blanks and the escapes
   // \n \r \t \0 \\ \" \xHH. $DIR, $FIX and $BIN in bare words name the
   // scratch directory, tests/fixtures and the installed programs.
   std::vector<Word> words(const std::string& text) const {
      const std::pair<std::string, std::string> places[] = {
         {"$DIR", dir}, {"$FIX", sourcePath("tests/fixtures")}, {"$BIN", BLOBXML_TEST_INSTALL_DIR "/bin"}};
      std::vector<Word> result;
      for (size_t at = 0; at < text.size();) {
         if (text[at] == ' ' || text[at] == '\t') {
            ++at;
            continue;
         }
         Word w;
         if (text[at] != '"') {
            const size_t end = std::min(text.find_first_of(" \t", at), text.size());
            w.text = text.substr(at, end - at);
            for (const auto& [name, value] : places) {
               for (size_t p; (p = w.text.find(name)) != std::string::npos;) w.text.replace(p, name.size(), value);
            }
            at = end;
         } else {
            w.quoted = true;
            for (++at; at < text.size() && text[at] != '"'; ++at) w.text += escaped(text, at);
            if (at++ == text.size()) throw std::runtime_error("unterminated string: " + text);
         }
         result.push_back(w);
      }
      return result;
   }

   static char escaped(const std::string& text, size_t& at) {
      if (text[at] != '\\') return text[at];
      switch (text.at(++at)) {
         case 'n': return '\n';
         case 'r': return '\r';
         case 't': return '\t';
         case '0': return '\0';
         case 'x': at += 2; return fromHex(text.substr(at - 1, 2)).at(0);
         default: return text[at];
      }
   }

   static const std::string& arg(const std::vector<Word>& w, size_t at) {
      if (at >= w.size()) throw std::runtime_error("a word missing after " + w[0].text);
      return w[at].text;
   }

   // Concatenated parts: "text", hex <octets...>, fixture <path>, golden
   // <name>, source <path>, pattern <size>, nest <kind> <depth>, repeat <n>
   // (of the next part) and, last, from <program> <args...> (its output).
   std::string data(const std::vector<Word>& w, size_t at) const {
      std::string bytes;
      for (size_t times = 1; at < w.size();) {
         const Word& key = w[at++];
         std::string part;
         if (key.quoted) {
            part = key.text;
         } else if (key.text == "hex") {
            std::string digits;
            for (; at < w.size() && !w[at].quoted &&
                   w[at].text.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;)
               digits += w[at++].text;
            if (digits.size() % 2 != 0) throw std::runtime_error("odd number of hex digits");
            part = fromHex(digits);
         } else if (key.text == "fixture" || key.text == "golden" || key.text == "source") {
            const std::string base = key.text == "fixture" ? "tests/fixtures/"
                                   : key.text == "golden"  ? "tests/tool/golden/" : "";
            part = readFile(sourcePath(base + arg(w, at++)));
         } else if (key.text == "pattern") {
            part.resize(std::stoul(arg(w, at++)));
            for (size_t i = 0; i < part.size(); ++i) part[i] = static_cast<char>((i * 7 + i / 251) % 256);
         } else if (key.text == "nest") {
            const std::string& kind = arg(w, at);
            const int depth = std::stoi(arg(w, at + 1));
            at += 2;
            part = kind == "pki" ? derived::nestedPkiMessage(depth)
                 : kind == "pki-xml" ? derived::nestedPkiMessageXml(depth)
                 : kind == "signed" ? derived::nestedSignedData(depth)
                 : throw std::runtime_error("no nesting " + kind);
         } else if (key.text == "repeat") {
            times = std::stoul(arg(w, at++));
            continue;
         } else if (key.text == "from") {
            const RunResult r = execute(w, at);
            if (r.status != 0 || !r.err.empty()) throw std::runtime_error("from: " + r.err);
            part = r.out;
            at = w.size();
         } else {
            throw std::runtime_error("unknown data part " + key.text);
         }
         for (; times > 0; --times) bytes += part;
         times = 1;
      }
      return bytes;
   }

   // edit <from> <to> (the first occurrence), edit-all <from> <to>, regex
   // <pattern> <replacement>, der-edit <hex> <hex> (an element, with the
   // lengths around it), cut <n> (the first n octets; negative: all but the
   // last -n), reverse <list> <item> [<n>] (the n-th list), and ber
   // <style...> (indefinite, long=<octets>, segment=<octets>, true01,
   // der-length=<hex identifiers>). The words after <from> make one <to>.
   void edit(const std::vector<Word>& w, std::string& bytes) const {
      const std::string& key = w[0].text;
      const std::string before = bytes;
      std::string to;
      for (size_t i = 2; i < w.size(); i++) to += w[i].text;
      if (key == "edit" || key == "edit-all") {
         const std::string& from = arg(w, 1);
         for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size())) {
            bytes.replace(at, from.size(), to);
            if (key == "edit") break;
         }
      } else if (key == "regex") {
         bytes = std::regex_replace(bytes, std::regex(arg(w, 1)), to);
      } else if (key == "der-edit") {
         derived::replaceElement(bytes, fromHex(arg(w, 1)), fromHex(to));
      } else if (key == "cut") {
         const long n = std::stol(arg(w, 1));
         bytes.resize(n < 0 ? bytes.size() + n : n);
      } else if (key == "reverse") {
         bytes = derived::reverseItems(bytes, arg(w, 1), arg(w, 2), w.size() > 3 ? std::stoi(w[3].text) : 0);
      } else if (key == "ber") {
         derived::BerStyle style;
         for (size_t i = 1; i < w.size(); i++) {
            const std::string& flag = w[i].text;
            const std::string value = flag.substr(flag.find('=') + 1);
            if (flag == "indefinite") style.indefinite = true;
            else if (flag == "true01") style.trueAsOne = true;
            else if (flag.rfind("long=", 0) == 0) style.lengthOctets = std::stoul(value);
            else if (flag.rfind("segment=", 0) == 0) style.segment = std::stoul(value);
            else if (flag.rfind("der-length=", 0) == 0) style.derLengthIds = fromHex(value);
            else throw std::runtime_error("unknown BER style " + flag);
         }
         bytes = derived::BerWriter(style).write(bytes);
      } else {
         throw std::runtime_error("unknown line " + key);
      }
      if (bytes == before) throw std::runtime_error(key + " changed nothing");
   }

   // Runs <program> <args...> from w[at] on in the scratch directory; the
   // installed programs are named by their start names.
   RunResult execute(const std::vector<Word>& w, size_t at, const std::optional<std::string>& argv0 = {},
                     const std::string& stdoutPath = "") const {
      const std::string& program = arg(w, at);
      std::vector<std::string> args;
      for (size_t i = at + 1; i < w.size(); i++) args.push_back(w[i].text);
      const bool installed = program == "blobxml" || program == "xmlblob";
      return testsupport::run(installed ? testsupport::installedBin(program) : program,
                              argv0.value_or(program), args, dir, stdoutPath);
   }
};

class Cli : public ::testing::TestWithParam<Case> {};

TEST_P(Cli, GivesTheExpectedOutputs) {
   CaseRun run(GetParam());
   for (const std::string& line : GetParam().lines) run.line(line);
   run.check();
}

INSTANTIATE_TEST_SUITE_P(Cases, Cli, ::testing::ValuesIn(loadCases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

// The input comes through a pipe that holds all 70000 bytes: what the
// program left in it shows that it took exactly the first 65536 in one read.
TEST(LongInput, IsConsumedAsExactly65536Bytes) {
   const std::string fifo = testsupport::scratchDir("long-pipe") + "/input.fifo";
   ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
   const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
   const int writer = open(fifo.c_str(), O_WRONLY);
   ASSERT_GE(fcntl(writer, F_SETPIPE_SZ, 131072), 70000);
   const std::string data(70000, 'x');
   ASSERT_EQ(write(writer, data.data(), data.size()), 70000);
   // timeout ends a program that would wait for more input than is there.
   const RunResult r = testsupport::run("/usr/bin/timeout", "timeout",
                                        {"60", testsupport::installedBin("blobxml"), "-i", fifo, "-t", "NoSuchType"});
   close(writer);
   size_t left = 0;
   char chunk[8192];
   for (ssize_t n; (n = read(reader, chunk, sizeof(chunk))) > 0;) left += static_cast<size_t>(n);
   close(reader);
   EXPECT_EQ(r.out, "");
   EXPECT_TRUE(std::regex_match(r.err, std::regex(kReports.at("invalid-type")))) << r.err;
   EXPECT_EQ(r.status, 0);
   EXPECT_EQ(left, 70000u - 65536u);
}

}
