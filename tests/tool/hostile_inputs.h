/* Hostile inputs as tables: each row names a doctored message and the
   outcome the program must give for it, run through the installed program.
   A conversion either gives the exact result or the normal failure report;
   never a success with a changed value. */
#ifndef BLOBXML_TESTS_HOSTILE_INPUTS_H
#define BLOBXML_TESTS_HOSTILE_INPUTS_H

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "test_support.h"

namespace hostile {

/* The report of a failed conversion that the converter raised (the line
   is that of its throw statement). */
inline const char* const kConverterReport =
   "Error:Exception :'' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n";
/* The report of a failure raised inside the XML reader. */
inline const char* const kReaderReport = "Unknown exception\\.\n";

inline std::string goldenDer() {
   return testsupport::readFile(
      testsupport::sourcePath("tests/fixtures/cert/certificate_rsa_golden.der"));
}
inline std::string goldenXml() {
   return testsupport::readFile(
      testsupport::sourcePath("tests/tool/golden/certificate_rsa_golden.xml"));
}

/* `text` with the first `from` replaced by `to`; a test whose base text
   lacks `from` fails instead of testing nothing. */
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
   const size_t at = text.find(from);
   if (at == std::string::npos) throw std::runtime_error("base text lacks " + from);
   return text.replace(at, from.size(), to);
}

/* Converts `input` with the program started as `startName`. */
inline testsupport::RunResult convert(const std::string& startName, const std::string& input,
                                      const std::string& type,
                                      const std::vector<std::string>& more = {}) {
   const std::string path = testsupport::scratchDir("hostile-" + startName) + "/input";
   testsupport::writeFile(path, input);
   std::vector<std::string> args{"-i", path, "-t", type};
   args.insert(args.end(), more.begin(), more.end());
   return testsupport::run(testsupport::installedBin(startName), startName, args);
}

/* One row: the input, its type, and either the exact standard output of a
   successful conversion or the pattern of the report on standard error. */
struct Row {
   const char* what;
   std::string input;
   std::string type;
   std::string out;       /* exact standard output when `report` is empty */
   const char* report;    /* pattern of standard error, or nullptr for success */
   int status = 0;
};

inline void expectRow(const std::string& startName, const Row& row) {
   const testsupport::RunResult r = convert(startName, row.input, row.type);
   EXPECT_EQ(r.status, row.status) << row.what;
   if (row.report == nullptr) {
      EXPECT_EQ(r.err, "") << row.what;
      EXPECT_EQ(r.out, row.out) << row.what;
   } else {
      EXPECT_TRUE(std::regex_match(r.err, std::regex(row.report))) << row.what << ": " << r.err;
      EXPECT_EQ(r.out, "") << row.what;
   }
}

}

#endif
