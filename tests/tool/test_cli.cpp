// The command-line cases of tests/tool/cases/*.txt, each run through the
// installed program in a scratch directory of its own. The format of the
// case files is described at the top of tests/tool/cases/driver.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <set>
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

// Reports on standard error by name: a failed BER decode or DER encode in the converter (its
// context keeps no error text), an unknown type name, and any failure inside the XML reader.
const std::map<std::string, std::string> kReports = {
    {"codec", "Error:Exception :'' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n"},
    {"invalid-type",
     "Error:Exception :'Invalid type' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n"},
    {"reader", "Unknown exception\\.\n"},
};

struct Case {
   std::string name, where;
   std::vector<std::string> lines;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.where; }

// Every "case NAME" line opens a case; a line that ends in a backslash goes
// on in the next one.
std::vector<Case> loadCases() {
   const fs::directory_iterator listing(testsupport::sourcePath("tests/tool/cases"));
   std::vector<Case> cases;
   for (const fs::path& file : std::set<fs::path>(fs::begin(listing), fs::end(listing))) {
      std::istringstream in(readFile(file.string()));
      std::string line, text;
      for (int number = 1; std::getline(in, line); ++number) {
         const size_t first = line.find_first_not_of(' ');
         text += first == std::string::npos
                     ? ""
                     : line.substr(first, line.find_last_not_of(' ') + 1 - first);
         if (!text.empty() && text.back() == '\\') {
            text.pop_back();
            continue;
         }
         std::string name =
             file.stem().string() + "_" + text.substr(std::min<size_t>(5, text.size()));
         for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
         if (text.rfind("case ", 0) == 0)
            cases.push_back({name, file.filename().string() + ":" + std::to_string(number), {}});
         else if (!text.empty() && text[0] != '#')
            cases.at(cases.size() - 1).lines.push_back(text);
         text.clear();
      }
   }
   return cases;
}

struct Word {
   std::string text;
   bool quoted = false;
};

class CaseRun {
public:
   explicit CaseRun(const Case& c) : dir(testsupport::scratchDir(c.name)) {}

   void line(const std::string& text) {
      const std::vector<Word> w = words(text);
      const std::string& key = w[0].text;
      if (key == "input" || key == "file" || key == "out-file") {
         auto& target = key == "out-file" ? outFiles : files;
         const std::string name = key == "input" ? "input" : w.at(1).text;
         last = &(target[name] = data(w, key == "input" ? 1 : 2));
      } else if (key == "run") {
         command = w;
      } else if (key == "stdout" || key == "stderr") {
         last = &*((key == "stdout" ? out : err) = data(w, 1));
      } else if (key == "stdout-has") {
         last = &outHas.emplace_back(data(w, 1));
      } else if (key == "stderr~") {
         errPattern = w.at(1).quoted ? w[1].text : kReports.at(w[1].text);
      } else if (key == "status") {
         status = std::stoi(w.at(1).text);
      } else if (key == "dir-holds") {
         holds.emplace();
         for (size_t i = 1; i < w.size(); i++) holds->push_back(w[i].text);
      } else if (last != nullptr) {
         edit(w, *last);
      } else {
         throw std::runtime_error("unknown line: " + text);
      }
   }

   void check() const {
      ASSERT_FALSE(command.empty()) << "no run line";
      writeFiles();
      const RunResult r = execute(command, 1);
      if (out || outHas.empty()) {
         EXPECT_EQ(r.out, out.value_or(""));
      }
      for (const std::string& part : outHas)
         EXPECT_NE(r.out.find(part), std::string::npos) << part << "\n" << r.out;
      if (errPattern.empty()) {
         EXPECT_EQ(r.err, err.value_or(""));
      } else {
         EXPECT_TRUE(std::regex_match(r.err, std::regex(errPattern))) << r.err;
      }
      EXPECT_EQ(r.status, status);
      for (const auto& [name, bytes] : outFiles)
         EXPECT_EQ(testsupport::toHex(fs::exists(dir + "/" + name) ? readFile(dir + "/" + name)
                                                                   : "(none)"),
                   testsupport::toHex(bytes))
             << name;
      if (!holds) return;
      std::vector<std::string> names;
      for (const auto& entry : fs::directory_iterator(dir))
         names.push_back(entry.path().filename().string());
      std::sort(names.begin(), names.end());
      EXPECT_EQ(names, *holds);
   }

private:
   const std::string dir;
   std::map<std::string, std::string> files, outFiles;
   std::vector<Word> command;
   std::optional<std::string> out, err;
   std::deque<std::string> outHas;
   std::string errPattern;
   std::optional<std::vector<std::string>> holds;
   int status = 0;
   std::string* last = nullptr;  // what edit lines change

   void writeFiles() const {
      for (const auto& [name, bytes] : files) testsupport::writeFile(dir + "/" + name, bytes);
   }

   // Blank-separated words; "quoted" ones may hold blanks and the escapes
   // \n \r \t \0 \\ \" \xHH. $DIR, $FIX and $BIN in words name the scratch
   // directory, tests/fixtures and the directory of the installed programs.
   std::vector<Word> words(const std::string& text) const {
      const std::pair<std::string, std::string> places[] = {
          {"$DIR", dir},
          {"$FIX", testsupport::sourcePath("tests/fixtures")},
          {"$BIN", BLOBXML_TEST_INSTALL_DIR "/bin"}};
      std::vector<Word> result;
      for (size_t at = text.find_first_not_of(' '); at < text.size();
           at = text.find_first_not_of(' ', at)) {
         Word w{"", text[at] == '"'};
         if (!w.quoted) {
            const size_t end = std::min(text.find(' ', at), text.size());
            w.text = text.substr(at, end - at);
            at = end;
         }
         for (at += w.quoted; w.quoted && text.at(at) != '"'; ++at) w.text += escaped(text, at);
         at += w.quoted;
         for (const auto& [name, value] : places) {
            for (size_t p; (p = w.text.find(name)) != std::string::npos;)
               w.text.replace(p, name.size(), value);
         }
         result.push_back(w);
      }
      return result;
   }

   static char escaped(const std::string& text, size_t& at) {
      if (text[at] != '\\') return text[at];
      const char c = text.at(++at);
      if (c == 'x') return fromHex(text.substr((at += 2) - 1, 2)).at(0);
      return c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c == '0' ? '\0' : c;
   }

   // Parts put one after the other: "text", hex <octets...>, fixture <path>
   // (under tests/fixtures), golden <name> (under tests/tool/golden), source
   // <path>, pattern <size>, nest pki|pki-xml|signed <depth> and, last, from
   // <program> <args...> (its standard output).
   std::string data(const std::vector<Word>& w, size_t at) const {
      std::string bytes;
      while (at < w.size()) {
         const std::string& key = w[at].quoted ? "" : w[at].text;
         if (key.empty()) {
            bytes += w[at++].text;
         } else if (key == "hex") {
            std::string digits;
            while (++at < w.size() && !w[at].quoted &&
                   std::regex_match(w[at].text, std::regex("[0-9A-Fa-f]+")))
               digits += w[at].text;
            if (digits.size() % 2 != 0) throw std::runtime_error("odd number of hex digits");
            bytes += fromHex(digits);
         } else if (key == "fixture" || key == "golden" || key == "source") {
            const std::string base = key == "fixture"  ? "tests/fixtures/"
                                     : key == "golden" ? "tests/tool/golden/"
                                                       : "";
            bytes += readFile(testsupport::sourcePath(base + w.at(at + 1).text));
            at += 2;
         } else if (key == "pattern") {
            for (size_t i = 0, size = std::stoul(w.at(at + 1).text); i < size; ++i)
               bytes += static_cast<char>((i * 7 + i / 251) % 256);
            at += 2;
         } else if (key == "nest") {
            const int depth = std::stoi(w.at(at + 2).text);
            bytes += w[at + 1].text == "signed"
                         ? derived::nestedSignedData(depth)
                         : derived::nestedPkiMessage(depth, w[at + 1].text == "pki-xml");
            at += 3;
         } else if (key == "from") {
            writeFiles();
            const RunResult r = execute(w, at + 1);
            if (r.status != 0 || !r.err.empty()) throw std::runtime_error("from: " + r.err);
            bytes += r.out;
            at = w.size();
         } else {
            throw std::runtime_error("unknown data part " + key);
         }
      }
      return bytes;
   }

   // edit <from> <to> (the first occurrence), edit-all <from> <to>, regex
   // <pattern> <replacement>, der-edit <hex> <hex> (the first element whose
   // encoding begins with the first, with the lengths around it), cut <n>
   // (the first n octets; negative: all but the last -n), reverse <list>
   // <item> [<n>] (in the n-th list), ber <style...> (indefinite, true01,
   // long=<octets>, segment=<octets>, der-length=<hex identifiers>). The
   // words after <from> make one <to>.
   void edit(const std::vector<Word>& w, std::string& bytes) const {
      const std::string &key = w[0].text, before = bytes;
      std::string to;
      for (size_t i = 2; i < w.size(); i++) to += w[i].text;
      if (key == "edit" || key == "edit-all") {
         const std::string& from = w.at(1).text;
         for (size_t at = bytes.find(from); at != std::string::npos;
              at = key == "edit" ? std::string::npos : bytes.find(from, at + to.size()))
            bytes.replace(at, from.size(), to);
      } else if (key == "regex") {
         bytes = std::regex_replace(bytes, std::regex(w.at(1).text), to);
      } else if (key == "der-edit") {
         derived::replaceElement(bytes, fromHex(w.at(1).text), fromHex(to));
      } else if (key == "cut") {
         const long n = std::stol(w.at(1).text);
         bytes.resize(n < 0 ? bytes.size() + n : n);
      } else if (key == "reverse") {
         bytes = derived::reverseItems(bytes, w.at(1).text, w.at(2).text,
                                       w.size() > 3 ? std::stoi(w[3].text) : 0);
      } else if (key == "ber") {
         derived::BerStyle style;
         for (size_t i = 1; i < w.size(); i++) {
            const std::string &flag = w[i].text, value = flag.substr(flag.find('=') + 1);
            if (!std::regex_match(flag,
                                  std::regex("indefinite|true01|(long|segment|der-length)=\\w+")))
               throw std::runtime_error("unknown BER style " + flag);
            style.indefinite |= flag == "indefinite";
            style.trueAsOne |= flag == "true01";
            if (flag.rfind("long=", 0) == 0) style.lengthOctets = std::stoul(value);
            if (flag.rfind("segment=", 0) == 0) style.segment = std::stoul(value);
            if (flag.rfind("der-length=", 0) == 0) style.derLengthIds = fromHex(value);
         }
         bytes = style.write(bytes);
      } else {
         throw std::runtime_error("unknown line " + key);
      }
      if (bytes == before) throw std::runtime_error(key + " changed nothing");
   }

   // Runs <program> <args...> from w[at] on in the scratch directory; the
   // installed programs are named by their start names.
   RunResult execute(const std::vector<Word>& w, size_t at) const {
      const std::string& program = w.at(at).text;
      std::vector<std::string> args;
      for (size_t i = at + 1; i < w.size(); i++) args.push_back(w[i].text);
      const bool installed = program == "blobxml" || program == "xmlblob";
      return testsupport::run(installed ? testsupport::installedBin(program) : program, program,
                              args, dir);
   }
};

class Cli : public ::testing::TestWithParam<Case> {};

TEST_P(Cli, GivesTheExpectedOutputs) {
   CaseRun run(GetParam());
   for (const std::string& line : GetParam().lines) run.line(line);
   run.check();
}

INSTANTIATE_TEST_SUITE_P(Cases, Cli, ::testing::ValuesIn(loadCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                            return info.param.name;
                         });
}
