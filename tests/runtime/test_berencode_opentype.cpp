/* Open types: exactly one complete element is written whatever numocts
   says, in its DER form, indefinite elements are measured, data encoded in place is not
   copied, and extension lists come out in list order. */
#include <gtest/gtest.h>

#include <string>

#include "berencode_fixture.h"
#include "rtList.h"

namespace {

const ASN1OCTET* octets(const std::string& s) {
   return reinterpret_cast<const ASN1OCTET*>(s.data());
}

TEST(BerEncodeOpenType, WritesTheLeadingElement) {
   const struct {
      const char* name;
      const char* data;
      const char* written;
   } cases[] = {
      {"exact", "05 00", "05 00"},
      {"trailing octets ignored", "02 01 05 FF FF", "02 01 05"},
      {"indefinite", "30 80 02 01 01 00 00 AA", "30 03 02 01 01"},
      {"nested indefinite", "A0 80 30 80 00 00 00 00", "A0 02 30 00"},
      {"shortest indefinite", "30 80 00 00", "30 00"},
   };
   for (const auto& c : cases) {
      std::string data = testsupport::fromHex(c.data);
      std::string expected = H(c.written);
      EncodeContext enc;
      EXPECT_EQ(xe_OpenType(enc.get(), octets(data), static_cast<ASN1UINT>(data.size())),
                static_cast<int>(expected.size() / 2)) << c.name;
      EXPECT_EQ(enc.hex(), expected) << c.name;
   }
}

TEST(BerEncodeOpenType, LongElementCopiedWhole) {
   std::string data = testsupport::fromHex("04 82 01 00") + std::string(256, 'k');
   EncodeContext enc;
   EXPECT_EQ(xe_OpenType(enc.get(), octets(data), static_cast<ASN1UINT>(data.size())), 260);
   EXPECT_EQ(enc.bytes(), data);
}

TEST(BerEncodeOpenType, IncompleteElementsAreRefused) {
   const struct {
      const char* name;
      const char* data;
   } cases[] = {
      {"contents cut short", "30 05 01"},
      {"identifier only", "30"},
      {"indefinite without end", "30 80 00"},
      {"indefinite cut in contents", "30 80 02 01 01"},
   };
   for (const auto& c : cases) {
      std::string data = testsupport::fromHex(c.data);
      EncodeContext enc;
      int stat = xe_OpenType(enc.get(), octets(data), static_cast<ASN1UINT>(data.size()));
      EXPECT_LT(stat, 0) << c.name;
      EXPECT_EQ(enc.ctxt.errInfo.status, stat) << c.name;
      EXPECT_EQ(enc.length(), 0u) << c.name;
   }
   std::string cut = testsupport::fromHex("30 05 01");
   EncodeContext enc;
   EXPECT_EQ(xe_OpenType(enc.get(), octets(cut), 3), RTS_BAD_LENGTH);
}

TEST(BerEncodeOpenType, EmptyAndNull) {
   EncodeContext enc;
   EXPECT_EQ(xe_OpenType(enc.get(), nullptr, 0), 0);
   EXPECT_EQ(enc.length(), 0u);
   EXPECT_EQ(xe_OpenType(enc.get(), nullptr, 3), RTS_BAD_VALUE);
   EXPECT_EQ(enc.ctxt.errInfo.status, RTS_BAD_VALUE);
}

TEST(BerEncodeOpenType, EncodedInPlaceIsNotCopied) {
   EncodeContext enc;
   ASN1INT seven = 7;
   ASSERT_EQ(xe_integer(enc.get(), &seven, TAG_EXPLICIT), 3);
   EXPECT_EQ(xe_OpenType(enc.get(), xe_getp(enc.get()), enc.length()), 3);
   EXPECT_EQ(enc.hex(), "020107");
}

TEST(BerEncodeOpenTypeExt, ListOrderKept) {
   std::string first = testsupport::fromHex("02 01 01");
   std::string second = testsupport::fromHex("04 02 AA BB");
   ASN1TOpenType a{3, octets(first), 0};
   ASN1TOpenType b{4, octets(second), 0};
   EncodeContext enc;
   Asn1RTDList list;
   rtDListInit(&list);
   rtDListAppend(enc.get(), &list, &a);
   rtDListAppend(enc.get(), &list, nullptr); /* skipped */
   rtDListAppend(enc.get(), &list, &b);
   EXPECT_EQ(xe_OpenTypeExt(enc.get(), &list), 7);
   EXPECT_EQ(enc.hex(), H("02 01 01 04 02 AA BB"));
   rtDListFreeNodes(enc.get(), &list);
}

TEST(BerEncodeOpenTypeExt, EmptyNullAndFailingLists) {
   EncodeContext enc;
   Asn1RTDList list;
   rtDListInit(&list);
   EXPECT_EQ(xe_OpenTypeExt(enc.get(), &list), 0);
   EXPECT_EQ(xe_OpenTypeExt(enc.get(), nullptr), 0);

   std::string bad = testsupport::fromHex("30 05 01");
   ASN1TOpenType broken{3, octets(bad), 0};
   rtDListAppend(enc.get(), &list, &broken);
   EXPECT_EQ(xe_OpenTypeExt(enc.get(), &list), RTS_BAD_LENGTH);
   EXPECT_EQ(enc.ctxt.errInfo.status, RTS_BAD_LENGTH);
   EXPECT_EQ(enc.length(), 0u);
   rtDListFreeNodes(enc.get(), &list);
}

}
