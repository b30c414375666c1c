/* UTF-8: the rows of utf8.txt, null texts and copies into the heap. */
#include "runtime_test.h"
#include "rtUTF8.h"

using namespace bertest;

namespace {

class UTF8 : public HeapProbeTest {};

std::string result(int value) { return value == RTS_BAD_UTF8 ? "BAD_UTF8" : std::to_string(value); }

TEST_F(UTF8, Table) {
   for (const auto& [lineNo, line] : caseLines("utf8.txt")) {
      SCOPED_TRACE("utf8.txt:" + std::to_string(lineNo) + ": " + line);
      const std::vector<std::string> field = split(line, '|');
      const std::string& op = field[0];
      const Octets text = hex(field[1] + " 00");
      const unsigned long wc = field[1].empty() ? 0 : std::stoul(field[1], nullptr, 16);
      const int arg = field[2].empty() ? 0 : std::stoi(field[2]);
      std::string out;
      ASN1OCTET buf[64];
      std::fill(buf, buf + 64, 0xAA);
      if (op == "len") out = result(rtUTF8Len(text.data()));
      if (op == "char") {
         const int size = rtUTF8CharSize(static_cast<ASN132BITCHAR>(wc));
         EXPECT_EQ(size, rtUTF8EncodeChar(static_cast<ASN132BITCHAR>(wc), buf, size));
         int len = 8;
         EXPECT_EQ(static_cast<int>(wc), rtUTF8DecodeChar(nullptr, buf, &len));
         EXPECT_EQ(size, len);
         out = spaced(buf, size);
      }
      if (op == "encode") {
         out = result(rtUTF8EncodeChar(static_cast<ASN132BITCHAR>(wc), buf, arg));
         EXPECT_EQ(std::string(64, '\xAA'), std::string(buf, buf + 64));
      }
      if (op == "decode") {
         int len = arg;
         const int decoded = rtUTF8DecodeChar(nullptr, text.data(), &len);
         out = (decoded < 0 ? result(decoded) : unitsText(&decoded, 1)) + " " + std::to_string(len);
      }
      if (op == "towcs") {
         std::vector<ASN132BITCHAR> chars(8, 0xDEAD);
         rtErrReset(&ctxt.errInfo);
         const int n = rtUTF8ToWCS(&ctxt, text.data(), chars.data(), static_cast<ASN1UINT>(arg));
         EXPECT_EQ(n == RTS_BAD_UTF8 ? n : 0, ctxt.errInfo.status);
         out =
             result(n) + ": " +
             unitsText(chars.data(), std::find(chars.begin(), chars.end(), 0xDEAD) - chars.begin());
      }
      if (op == "fromwcs") {
         const std::vector<ASN132BITCHAR> chars = unitsOf<ASN132BITCHAR>(field[1]);
         rtErrReset(&ctxt.errInfo);
         const int n = rtWCSToUTF8(&ctxt, chars.data(), static_cast<ASN1UINT>(chars.size()), buf,
                                   static_cast<ASN1UINT>(arg));
         EXPECT_EQ(n == RTS_BAD_UTF8 ? n : 0, ctxt.errInfo.status);
         out = result(n) + ": " + spaced(buf, std::find(buf, buf + 64, 0xAA) - buf);
      }
      EXPECT_EQ(field[3], trim(out));
   }
}

TEST_F(UTF8, NullTextsAndHeapCopies) {
   EXPECT_EQ(0, rtUTF8Len(nullptr) + rtUTF8ToWCS(&ctxt, nullptr, nullptr, 0));
   EXPECT_EQ(4u, rtUTF8LenBytes(hex("E2 82 AC 41 00").data()));
   ASN132BITCHAR one[1];
   EXPECT_EQ(RTS_BAD_UTF8, rtUTF8ToWCS(nullptr, hex("FF 00").data(), one, 1));
   const Octets text = hex("63 61 66 C3 A9 00");
   ASN1OCTET* copy = rtUTF8Strdup(&ctxt, text.data());
   EXPECT_EQ(spaced(text), spaced(copy, rtMemHeapBlockSize(copy)));
   ASN1MEMFREEPTR(&ctxt, copy);
   EXPECT_EQ(nullptr, rtUTF8Strdup(&ctxt, nullptr));
   failAfter(0);
   EXPECT_EQ(nullptr, rtUTF8Strdup(&ctxt, text.data()));
}

}
