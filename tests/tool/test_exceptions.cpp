// Exception texts of the converters and the source file names they carry.
#include <gtest/gtest.h>

#include "caException.h"

namespace {

TEST(Exceptions, CAExceptionText) {
   struct Case {
      const char* message;
      const char* file;
      int line;
      const char* text;
   } cases[] = {
      {"Invalid type", "xerDerConverter.cpp", 42, "Exception :'Invalid type' at file:'xerDerConverter.cpp' line:42"},
      {"Wrong xer", "a.cpp", 0, "Exception :'Wrong xer' at file:'a.cpp' line:0"},
      {"", "b.cpp", -7, "Exception :'' at file:'b.cpp' line:-7"},
      {"it's", "", 2147483647, "Exception :'it's' at file:'' line:2147483647"},
   };
   for (const Case& c : cases) {
      CAException e(c.message, c.file, c.line);
      EXPECT_STREQ(e.what(), c.text);
      EXPECT_EQ(e.file, c.file);
      EXPECT_EQ(e.line, c.line);
   }
}

TEST(Exceptions, Asn1ExceptionWithTheEmptyContextText) {
   Asn1Exception e("", "conv.cpp", 118);
   EXPECT_STREQ(e.what(), "Exception :'' at file:'conv.cpp' line:118");
   EXPECT_EQ(e.file, "conv.cpp");
   EXPECT_EQ(e.line, 118);
}

TEST(Exceptions, CaughtThroughTheirBases) {
   try {
      throw Asn1Exception("decode", "f.cpp", 3);
   } catch (const CAException& e) {
      EXPECT_STREQ(e.what(), "Exception :'decode' at file:'f.cpp' line:3");
   }
   try {
      throw CAException("Invalid type", "g.cpp", 4);
   } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "Exception :'Invalid type' at file:'g.cpp' line:4");
   }
}

TEST(Exceptions, NullTextsCountAsEmpty) {
   CAException e(nullptr, nullptr, 5);
   EXPECT_STREQ(e.what(), "Exception :'' at file:'' line:5");
   EXPECT_EQ(e.file, "");
}

TEST(Exceptions, SourceFileNameDropsDirectories) {
   static_assert(sourceFileName("/work/tool/x.cpp")[0] == 'x', "usable at compile time");
   EXPECT_STREQ(sourceFileName("/work/main/tool/xerDerConverter.cpp"), "xerDerConverter.cpp");
   EXPECT_STREQ(sourceFileName("tool\\win\\conv.cpp"), "conv.cpp");
   EXPECT_STREQ(sourceFileName("mixed/dir\\name.cpp"), "name.cpp");
   EXPECT_STREQ(sourceFileName("plain.cpp"), "plain.cpp");
   EXPECT_STREQ(sourceFileName("dir/"), "");
}

}
