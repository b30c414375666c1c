/* XER value decoders: the cases of xerdecode_cases.txt (element text ->
   value and status), the character classes of every byte, and BIT STRING
   text converted eight digits at a time against a digit-by-digit reference
   at every split, blank and bad character position. */
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "ASN1XERDecodeBuffer.h"
#include "ASN1XERSAXDecodeHandler.h"
#include "case_file.h"
#include "rtMemHeap.h"
#include "test_support.h"
#include "xerDecode.h"

namespace {

std::string bitText(const ASN1OCTET* data, ASN1UINT nbits) {
   std::string bits;
   for (ASN1UINT i = 0; i < nbits; i++) bits += (data[i / 8] >> (7 - i % 8)) & 1 ? '1' : '0';
   return bits;
}

template <typename Char>
std::string codes(const Char* data, ASN1UINT count) {
   if (data == nullptr && count > 0) return std::to_string(count) + " characters without data";
   std::string out;
   char code[16];
   for (ASN1UINT i = 0; i < count; i++) {
      std::snprintf(code, sizeof code, "%s%X", i ? "," : "", static_cast<unsigned>(data[i]));
      out += code;
   }
   return out;
}

/* A number decoded into a variable holding `start` before. */
template <typename T>
std::string number(int (*decoder)(ASN1CTXT*, T*), ASN1CTXT* c, int& stat, T start) {
   T value = start;
   stat = decoder(c, &value);
   return std::to_string(value);
}

/* Character events of one element collected in a memory buffer, handed to
   the decoders the way the SAX handlers do when the element closes. */
class Element {
public:
   Element() { rtMemBufInit(buffer.getCtxtPtr(), &text, 1024); }
   ~Element() { rtMemBufFree(&text); }

   /* Feeds the pieces: as text, or converted as hex or binary digits. */
   int feed(const std::string& kind, const std::vector<std::string>& pieces) {
      const ASN1BOOL skip = kind.find('!') == std::string::npos;
      for (const std::string& piece : pieces) {
         const int length = static_cast<int>(piece.size());
         int stat = RTS_OK;
         if (kind.rfind("hex", 0) == 0)
            stat = xerDecOctStrMemBuf(&text, piece.data(), length, skip);
         else if (kind.rfind("bits", 0) == 0)
            stat = xerDecBitStrMemBuf(&text, piece.data(), length, skip);
         else
            stat = rtMemBufAppend(&text, reinterpret_cast<const ASN1OCTET*>(piece.data()), length);
         if (stat != RTS_OK) return stat;
      }
      return RTS_OK;
   }

   /* Decodes the collected text; the value as the case file writes it. */
   std::string decode(const std::string& kind, int& stat) {
      const int bitOffset = static_cast<int>(text.bitOffset);
      ASN1CTXT* c = ASN1XERSAXDecodeHandler::finalizeMemBuf(&buffer, text);
      EXPECT_EQ(c->buffer.data[c->buffer.size], 0) << "the text ends in a NUL";
      const size_t colon = kind.find(':');
      const ASN1UINT capacity = colon == std::string::npos ? 0 : std::stoul(kind.substr(colon + 1));
      ASN1OCTET fixed[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
      ASN1UINT count = 99;
      const char* str = "unchanged";
      ASN1OBJID oid;
      ASN116BitCharString bmp{99, nullptr};
      ASN132BitCharString univ{99, nullptr};
      ASN1TDynOctStr octs{};
      ASN1TDynBitStr bits{};
      std::string value;
      if (kind == "bool") value = number<ASN1BOOL>(xerDecBool, c, stat, 7);
      if (kind == "int") value = number<ASN1INT>(xerDecInt, c, stat, 99);
      if (kind == "uint") value = number<ASN1UINT>(xerDecUInt, c, stat, 99);
      if (kind == "uint16") value = number<ASN1USINT>(xerDecUInt16, c, stat, 99);
      if (kind.rfind("bigint", 0) == 0) {
         stat = xerDecBigInt(c, &str, std::stoi(kind.substr(6)));
         value = str != nullptr ? str : "~";
      }
      if (kind == "oid" && (stat = xerDecObjId(c, &oid)) == RTS_OK) {
         for (ASN1UINT i = 0; i < oid.numarcs; i++)
            value += (i ? "." : "") + std::to_string(oid.arcs[i]);
      }
      if (kind == "asc" && (stat = xerDecDynAscCharStr(c, &str)) == RTS_OK) value = str;
      if (kind == "utf8" && (stat = xerDecDynUTF8Str(c, &str)) == RTS_OK) value = str;
      if (kind == "bmp" && (stat = xerDecBMPStr(c, &bmp)) == RTS_OK)
         value = codes(bmp.data, bmp.nchars);
      if (kind == "univ" && (stat = xerDecUnivStr(c, &univ)) == RTS_OK)
         value = codes(univ.data, univ.nchars);
      if (kind.rfind("hex", 0) == 0 && colon == std::string::npos &&
          (stat = xerDecCopyDynOctStr(c, &octs, bitOffset)) == RTS_OK)
         value = testsupport::toHex(
             std::string(reinterpret_cast<const char*>(octs.data), octs.numocts));
      if (kind.rfind("hex:", 0) == 0 &&
          (stat = xerDecCopyOctStr(c, fixed, &count, capacity, bitOffset)) == RTS_OK)
         value = testsupport::toHex(std::string(reinterpret_cast<const char*>(fixed), count));
      if (kind.rfind("bits", 0) == 0 && colon == std::string::npos &&
          (stat = xerDecCopyDynBitStr(c, &bits, bitOffset)) == RTS_OK)
         value = bitText(bits.data, bits.numbits);
      if (kind.rfind("bits:", 0) == 0 &&
          (stat = xerDecCopyBitStr(c, fixed, &count, capacity, bitOffset)) == RTS_OK)
         value = bitText(fixed, count);
      /* A fixed value is written no further than its octets. */
      size_t used = kind[0] == 'b' ? (count + 7) / 8 : count;
      if (colon == std::string::npos || stat != RTS_OK) used = 8;
      if (std::count(fixed + used, fixed + 8, 0xEE) != static_cast<long>(8 - used))
         value += " and beyond";
      return value;
   }

   ASN1XERDecodeBuffer buffer{reinterpret_cast<const ASN1OCTET*>(""), 0};
   ASN1MemBuf text;
};

TEST(XerDecoders, CaseFile) {
   casefile::forEach("xer/xerdecode_cases.txt", [&](const casefile::Case& c) {
      ASSERT_FALSE(c.expected.empty());
      const std::string& kind = c.steps[0][0];
      if (kind == "cmp") {
         auto text = [&](size_t i) {
            return c.steps[0][i] == "~" ? nullptr : c.steps[0][i].c_str();
         };
         EXPECT_EQ(std::to_string(xerCmpText(text(1), text(2))), c.expected.at(0));
         return;
      }
      Element element;
      const int fed = element.feed(kind, {c.steps[0].begin() + 1, c.steps[0].end()});
      int stat = RTS_OK;
      const std::string value = element.decode(kind, stat);
      const int status = casefile::statusAt(c, 1);
      EXPECT_EQ(value, c.expected[0]);
      EXPECT_EQ(fed != RTS_OK ? fed : stat, status);
      EXPECT_EQ(element.buffer.getCtxtPtr()->errInfo.status,
                casefile::statusAt(c, 2, status));
   });
}

/* Every byte alone: blanks are 09-0D and 20, digits 0-9, hexadecimal
   letters A-F and a-f, nothing else. */
TEST(XerDecoders, CharacterClassOfEveryByte) {
   EXPECT_EQ(xerDecObjId(Element().buffer.getCtxtPtr(), nullptr), RTS_BAD_OID)
       << "no value to fill";
   for (int b = 0; b < 256; b++) {
      const std::string one(1, static_cast<char>(b));
      const bool blank = (b >= 0x09 && b <= 0x0D) || b == ' ';
      const bool digit = b >= '0' && b <= '9';
      const bool hex = digit || (b >= 'A' && b <= 'F') || (b >= 'a' && b <= 'f');
      Element skipping, strict, number;
      int stat = RTS_OK;
      EXPECT_EQ(skipping.feed("hex", {one}) == RTS_OK, hex || blank) << b;
      EXPECT_EQ(strict.feed("hex!", {one}) == RTS_OK, hex) << b;
      number.feed("uint", {one + "1"});
      number.decode("uint", stat);
      EXPECT_EQ(stat == RTS_OK, digit || blank || b == 0) << b; /* NUL ends the text */
   }
}

std::string convert(const std::vector<std::string>& pieces) {
   Element element;
   int stat = RTS_OK;
   EXPECT_EQ(element.feed("bits", pieces), RTS_OK);
   return element.decode("bits", stat);
}

TEST(XerDecoders, BitTextAtEverySplitBlankAndBadCharacter) {
   std::mt19937 random(11);
   for (size_t length : {0, 1, 7, 8, 9, 15, 16, 17, 31, 64, 100}) {
      std::string text;
      for (size_t i = 0; i < length; ++i) text += random() % 2 != 0 ? '1' : '0';
      for (size_t at = 0; at <= length; ++at) {
         const std::string where = text + " at " + std::to_string(at);
         EXPECT_EQ(convert({text.substr(0, at), text.substr(at)}), text) << where;
         for (const char* blank : {" ", "\n", "\t", "\r\n  "})
            EXPECT_EQ(convert({text.substr(0, at) + blank + text.substr(at)}), text) << where;
         if (at == length) continue;
         for (char bad : {'2', '/', 'a', static_cast<char>(0xB1)}) {
            std::string wrong = text;
            wrong[at] = bad;
            Element element;
            int stat = RTS_OK;
            EXPECT_EQ(element.feed("bits", {wrong}), RTS_BAD_BIT_TEXT) << where;
            EXPECT_EQ(element.decode("bits", stat), "") << where << ": no octet before the failure";
         }
      }
   }
}

}
