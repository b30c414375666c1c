/* Reader of the case files: one case a line, `steps => expected`. Words are
   split at blanks; a "quoted" word takes C escapes (\n \t \" \\ \xHH \0),
   `"ab"*3` repeats it and `"a"+"b"` joins pieces; `;` separates steps and
   lines starting with # are comments. */
#ifndef BLOBXML_TEST_XER_CASE_FILE_H
#define BLOBXML_TEST_XER_CASE_FILE_H

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "asn1type.h"

namespace casefile {

using Words = std::vector<std::string>;

struct Case {
   int line = 0;
   std::vector<Words> steps; /* before => */
   Words expected;           /* after => */
};

/* The quoted word starting at line[i]; i is left on its last character. */
inline std::string unquote(const std::string& line, size_t& i) {
   static const std::map<char, char> escapes = {{'n', '\n'}, {'t', '\t'}, {'r', '\r'}, {'f', '\f'},
                                                {'b', '\b'}, {'v', '\v'}, {'0', '\0'}};
   std::string piece;
   for (++i; i < line.size() && line[i] != '"'; ++i) {
      const char c = line[i] == '\\' ? line[++i] : 0;
      if (c == 'x') piece += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
      i += c == 'x' ? 2 : 0;
      if (c != 'x') piece += c == 0 ? line[i] : escapes.count(c) ? escapes.at(c) : c;
   }
   std::string word = piece;
   if (line.compare(i + 1, 1, "*") == 0) {
      size_t digits = 0;
      const int count = std::stoi(line.substr(i + 2), &digits);
      for (int n = 1; n < count; n++) word += piece;
      i += 1 + digits;
   }
   if (line.compare(i + 1, 2, "+\"") == 0) word += unquote(line, i += 2);
   return word;
}

inline std::vector<Case> read(const std::string& path) {
   std::ifstream in(path);
   EXPECT_TRUE(in.good()) << path;
   std::vector<Case> cases;
   std::string line;
   for (int number = 1; std::getline(in, line); ++number) {
      Case c;
      c.line = number;
      c.steps.emplace_back();
      bool after = false;
      for (size_t i = 0; i < line.size(); ++i) {
         if (std::isspace(static_cast<unsigned char>(line[i]))) continue;
         if (line[i] == '#' && c.steps[0].empty()) break;
         std::string word;
         if (line[i] == '"') {
            word = unquote(line, i);
         } else {
            for (; i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])); ++i)
               word += line[i];
            if (word == ";" || word == "=>") {
               after = after || word == "=>";
               if (word == ";") c.steps.emplace_back();
               continue;
            }
         }
         (after ? c.expected : c.steps.back()).push_back(word);
      }
      if (after) cases.push_back(c);
   }
   EXPECT_FALSE(cases.empty()) << path;
   return cases;
}

/* Status words of the case files. */
inline int status(const std::string& name) {
   static const std::map<std::string, int> names = {
       {"OK", RTS_OK},
       {"BUFFER_FULL", RTS_BUFFER_FULL},
       {"BAD_OID", RTS_BAD_OID},
       {"BAD_UTF8", RTS_BAD_UTF8},
       {"BAD_HEX_TEXT", RTS_BAD_HEX_TEXT},
       {"BAD_BIT_TEXT", RTS_BAD_BIT_TEXT},
       {"BAD_VALUE", RTS_BAD_VALUE},
       {"VALUE_TOO_LONG", RTS_VALUE_TOO_LONG},
       {"BAD_RANGE", RTS_BAD_RANGE},
       {"BAD_TIME", RTS_BAD_TIME},
       {"OUT_OF_BOUNDS", RTS_OUT_OF_BOUNDS},
       {"BAD_ARGUMENT", RTS_BAD_ARGUMENT},
       {"TOO_BIG", RTS_TOO_BIG},
       {"XML_STRUCTURE", RTS_XML_STRUCTURE},
       {"BAD_DIGIT", RTS_BAD_DIGIT},
       {"BAD_LENGTH", RTS_BAD_LENGTH},
   };
   EXPECT_EQ(names.count(name), 1u) << "unknown status " << name;
   return names.count(name) ? names.at(name) : 1;
}

/* Runs check on every case of a file below tests/, naming the line of a failure. */
template <typename Check>
void forEach(const std::string& file, Check check) {
   for (const Case& c : read(std::string(BLOBXML_SOURCE_DIR) + "/tests/" + file)) {
      SCOPED_TRACE(file + " line " + std::to_string(c.line));
      check(c);
   }
}

/* The status word at expected[i], or `otherwise` when there is none. */
inline int statusAt(const Case& c, size_t i, int otherwise = RTS_OK) {
   return c.expected.size() > i ? status(c.expected[i]) : otherwise;
}

}

#endif
