// The conversion step over a converter that returns or throws as told: what
// reaches standard output byte for byte, what the converter is handed, and
// the forms of the report on standard error.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "caException.h"
#include "conversionStep.h"

namespace {

using namespace testing::internal;

class ScriptedConverter : public XerDerConverter {
public:
   int failure = 0;  // 0: the result is returned; else which exception is thrown
   std::string result;
   mutable std::string seen;

   std::string toXer(const CACMPT_BLOB& der, bool) const override {
      seen = der.data == nullptr ? ""
                                 : std::string(reinterpret_cast<const char*>(der.data), der.length);
      fail();
      return result;
   }

   CACMPT_BLOB toDer(const std::string& xer) const override {
      seen = xer;
      fail();
      return CACMPT_BLOB(reinterpret_cast<const unsigned char*>(result.data()),
                         static_cast<uint32_t>(result.size()));
   }

private:
   void fail() const {
      if (failure == 1) throw CAException("Wrong xer", "conv.cpp", 77);
      if (failure == 2) throw Asn1Exception("", "conv.cpp", 91);
      if (failure == 3) throw std::length_error("too long");
      if (failure == 4) throw 5;
   }
};

TEST(ConversionStep, WritesTheResultUnchangedOrOneReportLine) {
   const std::string der("\x30\x02\x05\x00", 4), xml("<A>\0</A>", 8);
   const struct {
      bool xerToDer;
      int failure;
      std::string out, err;
   } cases[] = {
       {false, 0, "<A>\n   <b>1</b>\n</A>", ""},
       {true, 0, der, ""},
       {false, 0, "", ""},
       {true, 0, "", ""},
       {false, 1, "", "Error:Exception :'Wrong xer' at file:'conv.cpp' line:77\n"},
       {true, 2, "", "Error:Exception :'' at file:'conv.cpp' line:91\n"},
       {false, 3, "", "Exception:too long\n"},
       {true, 3, "", "Exception:too long\n"},
       {false, 4, "", "Unknown exception.\n"},
       {true, 4, "", "Unknown exception.\n"},
   };
   for (const auto& c : cases) {
      ScriptedConverter converter;
      converter.failure = c.failure;
      converter.result = c.failure == 0 ? c.out : "x";
      const std::string& message = c.xerToDer ? xml : der;
      CaptureStdout();
      CaptureStderr();
      EXPECT_TRUE(convertMessage(converter, c.xerToDer, true,
                                 reinterpret_cast<const unsigned char*>(message.data()),
                                 static_cast<uint32_t>(message.size())));
      EXPECT_EQ(GetCapturedStdout(), c.out) << c.err;
      EXPECT_EQ(GetCapturedStderr(), c.err);
      EXPECT_EQ(converter.seen, message);
   }
}

}
