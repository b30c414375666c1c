// The conversion step over converters that return or throw chosen results:
// what reaches standard output byte for byte, what the converter is handed,
// and the three forms of the report on standard error.
#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>
#include <string>

#include "caException.h"
#include "conversionStep.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

enum class Outcome { Return, ThrowCA, ThrowAsn1, ThrowStd, ThrowInt };

// Records what it was handed and answers as told.
class ScriptedConverter : public XerDerConverter {
public:
   Outcome outcome = Outcome::Return;
   std::string xerResult;
   std::string derResult;
   mutable std::string seenBytes;
   mutable uint32_t seenCapacity = 0;
   mutable bool seenNullData = false;
   mutable bool seenIncludeEncoded = false;
   mutable int calls = 0;

   std::string toXer(const CACMPT_BLOB& der, bool includeEncoded) const override {
      ++calls;
      seenBytes.assign(reinterpret_cast<const char*>(der.data), der.length);
      seenCapacity = der.capacity;
      seenNullData = der.data == nullptr;
      seenIncludeEncoded = includeEncoded;
      fail();
      return xerResult;
   }

   CACMPT_BLOB toDer(const std::string& xer) const override {
      ++calls;
      seenBytes = xer;
      fail();
      return CACMPT_BLOB(reinterpret_cast<const unsigned char*>(derResult.data()),
                         static_cast<uint32_t>(derResult.size()));
   }

private:
   void fail() const {
      switch (outcome) {
         case Outcome::Return: return;
         case Outcome::ThrowCA: throw CAException("Wrong xer", "conv.cpp", 77);
         case Outcome::ThrowAsn1: throw Asn1Exception("", "conv.cpp", 91);
         case Outcome::ThrowStd: throw std::length_error("too long");
         case Outcome::ThrowInt: throw 5;
      }
   }
};

struct Captured {
   std::string out, err;
};

Captured convert(const XerDerConverter& converter, bool xerToDer, bool includeEncoded,
                 const std::string& message) {
   CaptureStdout();
   CaptureStderr();
   convertMessage(converter, xerToDer, includeEncoded,
                  reinterpret_cast<const unsigned char*>(message.data()),
                  static_cast<uint32_t>(message.size()));
   Captured c;
   c.out = GetCapturedStdout();
   c.err = GetCapturedStderr();
   return c;
}

TEST(ConversionStep, DerToXerWritesTheTextUnchanged) {
   ScriptedConverter converter;
   converter.xerResult = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<A>\n   <b>1</b>\n</A>";
   std::string der("\x30\x03\x02\x01\x00", 5);
   Captured c = convert(converter, false, true, der);
   EXPECT_EQ(c.out, converter.xerResult);
   EXPECT_EQ(c.err, "");
   EXPECT_EQ(converter.seenBytes, der);
   EXPECT_EQ(converter.seenCapacity, 4096u);
   EXPECT_TRUE(converter.seenIncludeEncoded);
}

TEST(ConversionStep, DerToXerOfAnEmptyMessageHandsAnEmptyBlob) {
   ScriptedConverter converter;
   converter.xerResult = "x";
   Captured c = convert(converter, false, false, "");
   EXPECT_EQ(c.out, "x");
   EXPECT_TRUE(converter.seenNullData);
   EXPECT_EQ(converter.seenCapacity, 0u);
   EXPECT_FALSE(converter.seenIncludeEncoded);
}

TEST(ConversionStep, XerToDerKeepsZeroBytesBothWays) {
   ScriptedConverter converter;
   converter.derResult = std::string("\x30\x02\x05\x00", 4);
   std::string xml("<A>\0</A>", 8);
   Captured c = convert(converter, true, false, xml);
   EXPECT_EQ(c.out, converter.derResult);
   EXPECT_EQ(c.err, "");
   EXPECT_EQ(converter.seenBytes, xml);
}

TEST(ConversionStep, EmptyResultsWriteNothing) {
   ScriptedConverter converter;
   EXPECT_EQ(convert(converter, true, false, "<A/>").out, "");
   EXPECT_EQ(convert(converter, false, false, "\x05").out, "");
}

TEST(ConversionStep, ReportsEachKindOfFailureInBothModes) {
   struct Case {
      Outcome outcome;
      const char* report;
   } cases[] = {
      {Outcome::ThrowCA, "Error:Exception :'Wrong xer' at file:'conv.cpp' line:77\n"},
      {Outcome::ThrowAsn1, "Error:Exception :'' at file:'conv.cpp' line:91\n"},
      {Outcome::ThrowStd, "Exception:too long\n"},
      {Outcome::ThrowInt, "Unknown exception.\n"},
   };
   for (bool xerToDer : {false, true}) {
      for (const Case& k : cases) {
         ScriptedConverter converter;
         converter.outcome = k.outcome;
         converter.xerResult = converter.derResult = "unused";
         Captured c = convert(converter, xerToDer, false, "msg");
         EXPECT_EQ(c.out, "") << k.report;
         EXPECT_EQ(c.err, k.report);
         EXPECT_EQ(converter.calls, 1);
      }
   }
}

TEST(ConversionStep, SimpleConverterRejectsUnknownTypeNames) {
   const std::regex invalidType("Exception :'Invalid type' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*");
   for (const char* name : {"certificate", "NoSuchType", ""}) {
      XerDerConverterSimple converter(name);
      try {
         converter.toXer(CACMPT_BLOB(), false);
         ADD_FAILURE() << "toXer accepted " << name;
      } catch (const CAException& e) {
         EXPECT_TRUE(std::regex_match(e.what(), invalidType)) << e.what();
      }
      try {
         converter.toDer("<Certificate/>");
         ADD_FAILURE() << "toDer accepted " << name;
      } catch (const CAException& e) {
         EXPECT_TRUE(std::regex_match(e.what(), invalidType)) << e.what();
      }
   }
}

TEST(ConversionStep, RunReportsAnUnknownTypeOnStandardError) {
   const std::regex report("Error:Exception :'Invalid type' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n");
   const unsigned char message[] = {0x30, 0x00};
   for (bool xerToDer : {false, true}) {
      CaptureStdout();
      CaptureStderr();
      runConversionStep(xerToDer, "certificate", !xerToDer, message, sizeof(message));
      std::string out = GetCapturedStdout();
      std::string err = GetCapturedStderr();
      EXPECT_EQ(out, "");
      EXPECT_TRUE(std::regex_match(err, report)) << err;
   }
}

}
