/* Reader of the XER case files: one case a line, `steps => expected`, where
   words are split at blanks, "quoted" words take C escapes (\n \t \" \\ \xHH
   \0) and `;` separates steps. Lines starting with # are comments. */
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

inline std::string unquote(const std::string& line, size_t& i) {
   std::string out;
   for (++i; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] != '\\') {
         out += line[i];
         continue;
      }
      static const std::map<char, char> escapes = {{'n', '\n'}, {'t', '\t'}, {'r', '\r'},
                                                   {'f', '\f'}, {'b', '\b'}, {'v', '\v'},
                                                   {'0', '\0'}};
      const char c = line[++i];
      const auto it = escapes.find(c);
      if (c == 'x') {
         out += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
         i += 2;
      } else {
         out += it != escapes.end() ? it->second : c;
      }
   }
   return out;
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
            if (word == ";") {
               c.steps.emplace_back();
               continue;
            }
            if (word == "=>") {
               after = true;
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
      {"BAD_HEX_TEXT", RTS_BAD_HEX_TEXT},
      {"BAD_BIT_TEXT", RTS_BAD_BIT_TEXT},
      {"VALUE_TOO_LONG", RTS_VALUE_TOO_LONG},
      {"BAD_VALUE", RTS_BAD_VALUE},
      {"BAD_UTF8", RTS_BAD_UTF8},
      {"BAD_ARGUMENT", RTS_BAD_ARGUMENT},
      {"TOO_BIG", RTS_TOO_BIG},
      {"BAD_DIGIT", RTS_BAD_DIGIT},
      {"XML_STRUCTURE", RTS_XML_STRUCTURE},
      {"BAD_TIME", RTS_BAD_TIME},
      {"BAD_LENGTH", RTS_BAD_LENGTH},
      {"BAD_RANGE", RTS_BAD_RANGE},
      {"OUT_OF_BOUNDS", RTS_OUT_OF_BOUNDS},
   };
   const auto it = names.find(name);
   EXPECT_NE(it, names.end()) << "unknown status " << name;
   return it == names.end() ? 1 : it->second;
}

/* A case file below tests/. */
inline std::string path(const char* name) { return std::string(BLOBXML_SOURCE_DIR) + "/tests/" + name; }

}

#endif
