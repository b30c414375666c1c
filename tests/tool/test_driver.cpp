// End-to-end runs of the installed executable under its start names: mode
// choice, help texts, options, reading the input, the -includeEncoded
// refusal, the -t1 step and the exit statuses, all byte for byte.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using testsupport::installedBin;
using testsupport::RunResult;
using testsupport::run;
using testsupport::scratchDir;
using testsupport::writeFile;

const char kOptionLines[] =
   "   -i <filename>  read encoded msg from <filename>\n"
   "   -t <type_name>  treat encoded msg as <type_name>\n"
   "      (CertificationRequest, Certificate)\n"
   "   -t1 <type_name> get encoded msg from contents\n"
   "      of other encoded msg (TimeStampResp)\n"
   "   -o <filename>  write DER-encoded inner msg to <filename>\n"
   "      (used with -t1)\n"
   "   -notrace  do not display trace info\n";

const char kTypeLines[] =
   "   Supported types:\n"
   "\tCertificationRequest\n\tCertificate\n\tCertificateList\n\tPKIMessage\n"
   "\tContentInfo\n\tEnvelopedData\n\tEncryptedData\n\tTimeStampReq\n"
   "\tTimeStampToken\n\tTimeStampResp\n\tTimeStampAuthenticodeRequest\n\tTSTInfo\n"
   "\tOCSPRequest\n\tOCSPResponse\n\tBasicOCSPResponse\n\tDVCSRequest\n\tDVCSResponse\n";

const std::string kBlobXmlHelp =
   std::string("usage: blobxml [-notrace] [-[i|t] <arg>] \n") + kOptionLines +
   "   -includeEncoded  include hex-printed encoded value of der into xer\n" + kTypeLines;

const std::string kXmlBlobHelp =
   std::string("usage: xmlblob [-notrace] [-[i|t] <arg>] \n") + kOptionLines + kTypeLines;

const std::regex kInvalidTypeReport(
   "Error:Exception :'Invalid type' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n");

// Any report of a failed conversion by the converters (CAException family).
const std::regex kConverterReport("Error:Exception :'[^']*' at file:'[^']+' line:[0-9]+\n");

struct Mode {
   const char* startName;
   const std::string* help;
};
const Mode kModes[] = {{"blobxml", &kBlobXmlHelp}, {"xmlblob", &kXmlBlobHelp}};

RunResult runAs(const char* startName, const std::vector<std::string>& args,
                const std::string& cwd = "") {
   return run(installedBin(startName), startName, args, cwd);
}

void expectHelp(const RunResult& r, const std::string& help, const std::string& what) {
   EXPECT_EQ(r.out, help) << what;
   EXPECT_EQ(r.err, "") << what;
   EXPECT_EQ(r.status, 0) << what;
}

void expectInvalidType(const RunResult& r, const std::string& what) {
   EXPECT_EQ(r.out, "") << what;
   EXPECT_TRUE(std::regex_match(r.err, kInvalidTypeReport)) << what << ": " << r.err;
   EXPECT_EQ(r.status, 0) << what;
}

TEST(Driver, NoOptionsPrintsTheHelpOfEachMode) {
   for (const Mode& m : kModes) expectHelp(runAs(m.startName, {}), *m.help, m.startName);
}

TEST(Driver, ModeFollowsTheLastComponentOfTheStartName) {
   struct Case {
      const char* startName;
      bool xmlblob;
   } cases[] = {
      {"/usr/bin/xmlblob-tool", true},
      {"/opt/xmlblob/tool", false},
      {"C:\\tools\\xmlblob.exe", true},
      {"C:\\xmlblob\\blobxml.exe", false},
      {"/usr/bin/xmlblob\\run", false},
      {"dir\\sub/my-xmlblob2", true},
      {"xmlblob", true},
      {"XMLBLOB", false},
      {"/bin/xmlblob/", false},
      {"", false},
   };
   for (const Case& c : cases)
      expectHelp(run(installedBin("blobxml"), c.startName, {}),
                 c.xmlblob ? kXmlBlobHelp : kBlobXmlHelp, c.startName);
}

TEST(Driver, ModeOfLinksAndCopiesInstalledElsewhere) {
   std::string dir = scratchDir("driver-names");
   fs::create_directories(dir + "/x");
   fs::create_directories(dir + "/opt/xmlblob");
   std::string link = dir + "/x/xmlblob-tool";
   std::string copy = dir + "/opt/xmlblob/tool";
   std::string plainCopy = dir + "/x/convert";
   fs::create_symlink(installedBin("blobxml"), link);
   fs::copy_file(installedBin("xmlblob"), copy);
   fs::copy_file(installedBin("blobxml"), plainCopy);
   expectHelp(run(link, link, {}), kXmlBlobHelp, link);
   expectHelp(run(copy, copy, {}), kBlobXmlHelp, copy);
   expectHelp(run(plainCopy, plainCopy, {}), kBlobXmlHelp, plainCopy);
   expectHelp(run(installedBin("xmlblob"), installedBin("xmlblob"), {}), kXmlBlobHelp, "installed");
}

TEST(Driver, NotraceAloneReadsMessageDatInTheWorkingDirectory) {
   std::string dir = scratchDir("driver-notrace");
   RunResult missing = runAs("blobxml", {"-notrace"}, dir);
   EXPECT_EQ(missing.out, "Error opening message.dat for read access\n");
   EXPECT_EQ(missing.err, "");
   EXPECT_EQ(missing.status, 255);

   writeFile(dir + "/message.dat", std::string("\x04\x01\x00", 3));
   RunResult converted = runAs("blobxml", {"-notrace"}, dir);
   EXPECT_EQ(converted.out, "");
   EXPECT_TRUE(std::regex_match(converted.err, kConverterReport)) << converted.err;
   EXPECT_EQ(converted.status, 0);
}

TEST(Driver, UnknownWordsPrintTheHelpAndReadNothing) {
   std::string dir = scratchDir("driver-unknown");
   const std::vector<std::vector<std::string>> argLists = {
      {"-x", "-i", "a.der"},
      {"-i", "a.der", "-x"},
      {"-I", "a.der"},
      {"-notrace", "-Notrace"},
      {"-includeencoded"},
      {""},
      {"a.der"},
   };
   for (const Mode& m : kModes)
      for (const auto& args : argLists)
         expectHelp(runAs(m.startName, args, dir), *m.help, args[0]);
   EXPECT_TRUE(fs::is_empty(dir));
}

TEST(Driver, ValueOptionAsTheLastWordPrintsTheHelp) {
   for (const Mode& m : kModes) {
      for (const char* option : {"-i", "-o", "-t", "-t1"}) {
         expectHelp(runAs(m.startName, {option}), *m.help, option);
         expectHelp(runAs(m.startName, {"-notrace", "-i", "missing.der", option}), *m.help, option);
      }
   }
}

TEST(Driver, OptionValuesAreTakenWhateverTheyLookLike) {
   std::string dir = scratchDir("driver-values");
   for (const char* mode : {"blobxml", "xmlblob"}) {
      RunResult r = runAs(mode, {"-i", "-t"}, dir);
      EXPECT_EQ(r.out, "Error opening -t for read access\n");
      EXPECT_EQ(r.status, 255);

      r = runAs(mode, {"-t", "-i"}, dir);
      EXPECT_EQ(r.out, "Error opening message.dat for read access\n");
      EXPECT_EQ(r.status, 255);

      r = runAs(mode, {"-i", "first.der", "-i", "second.der"}, dir);
      EXPECT_EQ(r.out, "Error opening second.der for read access\n");
      EXPECT_EQ(r.status, 255);
   }
   writeFile(dir + "/-t", "<x/>");
   expectInvalidType(runAs("xmlblob", {"-i", "-t", "-t", "-notrace"}, dir), "file named -t");
}

TEST(Driver, UnreadableInputEndsWithStatus255) {
   std::string dir = scratchDir("driver-unreadable");
   for (const Mode& m : kModes) {
      RunResult r = runAs(m.startName, {"-i", dir + "/none/x.der", "-t", "Certificate"});
      EXPECT_EQ(r.out, "Error opening " + dir + "/none/x.der for read access\n");
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(r.status, 255);
   }
}

TEST(Driver, IncludeEncodedIsRefusedInXmlBlobOnly) {
   std::string dir = scratchDir("driver-include");
   RunResult refused = runAs("xmlblob", {"-includeEncoded", "-i", "missing.der"}, dir);
   EXPECT_EQ(refused.out, "Option -includeEncoded can be used in blobxml only.\n");
   EXPECT_EQ(refused.err, "");
   EXPECT_EQ(refused.status, 0);

   refused = runAs("xmlblob", {"-t1", "TimeStampResp", "-i", "missing.der", "-includeEncoded"}, dir);
   EXPECT_EQ(refused.out, "Option -includeEncoded can be used in blobxml only.\n");
   EXPECT_EQ(refused.status, 0);

   writeFile(dir + "/m.der", std::string("\x30\x00", 2));
   expectInvalidType(runAs("blobxml", {"-includeEncoded", "-i", "m.der", "-t", "NoSuchType"}, dir),
                     "blobxml -includeEncoded");
}

TEST(Driver, UnknownTypeNamesAreReportedAndExitZero) {
   std::string dir = scratchDir("driver-invalid-type");
   writeFile(dir + "/m.der", std::string("\x30\x03\x02\x01\x05", 5));
   writeFile(dir + "/m.xml", "<certificate/>");
   for (const char* type : {"certificate", "CERTIFICATE", "NoSuchType", "", " Certificate"}) {
      expectInvalidType(runAs("blobxml", {"-i", "m.der", "-t", type}, dir), type);
      expectInvalidType(runAs("xmlblob", {"-t", type, "-i", "m.xml"}, dir), type);
   }
}

TEST(Driver, EmptyInputIsConverted) {
   std::string dir = scratchDir("driver-empty");
   writeFile(dir + "/empty", "");
   for (const char* mode : {"blobxml", "xmlblob"})
      expectInvalidType(runAs(mode, {"-i", "empty", "-t", "NoSuchType"}, dir), mode);
}

std::string pattern(size_t size) {
   std::string data(size, '\0');
   for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + i / 251) % 256);
   return data;
}

TEST(Driver, LongFileIsReadUpTo65536Bytes) {
   std::string dir = scratchDir("driver-long-file");
   writeFile(dir + "/long.der", pattern(70000));
   expectInvalidType(runAs("blobxml", {"-i", "long.der", "-t", "NoSuchType"}, dir), "regular file");
}

// The input comes through a pipe that holds all 70000 bytes. After the run,
// what the program left in the pipe shows how much it took: exactly the first
// 65536 bytes in one read, nothing more.
TEST(Driver, LongInputIsConsumedAsExactly65536Bytes) {
   std::string dir = scratchDir("driver-long-pipe");
   std::string fifo = dir + "/input.fifo";
   ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
   int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
   ASSERT_GE(reader, 0);
   int writer = open(fifo.c_str(), O_WRONLY);
   ASSERT_GE(writer, 0);
   ASSERT_GE(fcntl(writer, F_SETPIPE_SZ, 131072), 70000);
   const std::string data = pattern(70000);
   ASSERT_EQ(write(writer, data.data(), data.size()), 70000);

   // timeout ends a program that would wait for more input than is there.
   RunResult r = run("/usr/bin/timeout", "timeout",
                     {"60", installedBin("blobxml"), "-i", fifo, "-t", "NoSuchType"});
   close(writer);
   std::string left;
   char chunk[8192];
   for (ssize_t n; (n = read(reader, chunk, sizeof(chunk))) > 0;) left.append(chunk, n);
   close(reader);

   expectInvalidType(r, "pipe");
   EXPECT_EQ(left.size(), 70000u - 65536u);
   EXPECT_EQ(left, data.substr(65536));
}

// The outer message does not decode (a SEQUENCE holding only an INTEGER),
// or its type is unknown: the report goes to standard output, status 255,
// nothing is converted and no -o file is written.
TEST(Driver, FailedOuterDecodeEndsWithStatus255) {
   std::string dir = scratchDir("driver-outer");
   writeFile(dir + "/resp.der", std::string("\x30\x03\x02\x01\x00", 5));
   struct Case {
      std::vector<std::string> args;
      const char* out;
   } cases[] = {
      {{"-t", "TSTInfo", "-t1", "TimeStampResp", "-o", "inner.der"},
       "decode of TimeStampResp failed\nASN.1 ERROR: Status -3\n"},
      {{"-t1", "TimeStampResp"}, "decode of TimeStampResp failed\nASN.1 ERROR: Status -3\n"},
      {{"-t", "BasicOCSPResponse", "-t1", "OCSPResponse", "-o", "inner.der"},
       "decode of OCSPResponse failed\nASN.1 ERROR: Status -3\n"},
      {{"-t1", "NoSuchOuter", "-t", "NoSuchType"}, "decode of NoSuchOuter failed\n"},
   };
   for (const char* mode : {"blobxml", "xmlblob"}) {
      for (const Case& c : cases) {
         std::vector<std::string> args = c.args;
         args.insert(args.begin(), {"-i", "resp.der"});
         RunResult r = runAs(mode, args, dir);
         EXPECT_EQ(r.out, c.out) << mode;
         EXPECT_EQ(r.err, "") << mode;
         EXPECT_EQ(r.status, 255) << mode;
      }
   }
   EXPECT_FALSE(fs::exists(dir + "/inner.der"));

   RunResult unread = runAs("blobxml", {"-t1", "TimeStampResp", "-i", "none.der"}, dir);
   EXPECT_EQ(unread.out, "Error opening none.der for read access\n");
   EXPECT_EQ(unread.status, 255);
}

TEST(Driver, OutputFileWithoutOuterTypeIsNotWritten) {
   std::string dir = scratchDir("driver-o-alone");
   writeFile(dir + "/m.der", std::string("\x30\x00", 2));
   for (const char* mode : {"blobxml", "xmlblob"})
      expectInvalidType(runAs(mode, {"-i", "m.der", "-o", "inner.der", "-t", "NoSuchType"}, dir), mode);
   EXPECT_FALSE(fs::exists(dir + "/inner.der"));
   EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}


// A result that cannot be written in full, to standard output or to the -o
// file, is reported on standard error with status 255; the -t1 step then
// stops before the conversion. A failed conversion writes nothing, so its
// report stands as usual.
TEST(Driver, WriteFailuresEndWithStatus255) {
   const std::string cert = testsupport::sourcePath("tests/fixtures/cert/certificate_rsa_golden.der");
   const std::string xml = testsupport::sourcePath("tests/tool/golden/certificate_rsa_golden.xml");
   const std::vector<std::string> inner = {
      "-i", testsupport::sourcePath("tests/fixtures/ocsp/ocspresponse_good_nonce.der"),
      "-t", "BasicOCSPResponse", "-t1", "OCSPResponse", "-o", "/dev/full"};
   const char kStdoutReport[] = "Error writing standard output\n";
   const char kFileReport[] = "Error writing /dev/full\n";
   struct Case {
      const char* what;
      const char* mode;
      std::vector<std::string> args;
      std::string stdoutPath;
      const char* err;
      int status;
   } cases[] = {
      {"XML of 4.8 KB", "blobxml", {"-i", cert, "-t", "Certificate"}, "/dev/full", kStdoutReport, 255},
      {"DER held until the flush", "xmlblob", {"-i", xml, "-t", "Certificate"}, "/dev/full",
       kStdoutReport, 255},
      {"inner DER, blobxml", "blobxml", inner, "", kFileReport, 255},
      {"inner DER, xmlblob", "xmlblob", inner, "", kFileReport, 255},
      {"inner DER, nothing converted", "blobxml", inner, "/dev/full", kFileReport, 255},
      {"failed conversion", "xmlblob", {"-i", cert, "-t", "Certificate"}, "/dev/full",
       "Unknown exception.\n", 0},
   };
   for (const Case& c : cases) {
      RunResult r = run(installedBin(c.mode), c.mode, c.args, "", c.stdoutPath);
      EXPECT_EQ(r.out, "") << c.what;
      EXPECT_EQ(r.err, c.err) << c.what;
      EXPECT_EQ(r.status, c.status) << c.what;
   }
}

}
