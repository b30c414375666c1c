/* Open types and the extension lists of unknown elements. */
#include "berdecode_test_util.h"
#include "rtList.h"
#include "rtMemHeap.h"

using namespace berdecode_test;

namespace {

TEST(BerDecodeOpenType, WholeElements) {
   struct Case {
      const char* name;
      const char* octets;
      int status;
      const char* element;
      ASN1UINT endPos;
   } cases[] = {
      {"definite", "30 03 02 01 05 04 00", RTS_OK, "30 03 02 01 05", 5},
      {"empty contents", "04 00 05 00", RTS_OK, "04 00", 2},
      {"long tag number", "9F 81 00 01 AA", RTS_OK, "9F 81 00 01 AA", 5},
      {"indefinite", "30 80 02 01 05 A0 80 00 00 00 00 FF", RTS_OK,
       "30 80 02 01 05 A0 80 00 00 00 00", 11},
      {"indefinite without its end-of-contents", "30 80 02 01 05", RTS_OK, "30 80 02 01 05", 5},
      {"end-of-contents", "00 00", RTS_BAD_VALUE, "", 2},
      {"no element", "", RTS_NOT_FOUND, "", 0},
      {"header cut short", "30", RTS_END_OF_DATA, "", 1},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(c.octets));
      const ASN1OCTET* data = nullptr;
      ASN1UINT numocts = 0;
      EXPECT_EQ(c.status, xd_OpenType(ctxt.get(), &data, &numocts));
      /* A missing end-of-contents is tolerated without leaving a status. */
      EXPECT_EQ(c.status, ctxt.errorStatus());
      EXPECT_EQ(c.endPos, ctxt.pos());
      if (c.status != RTS_OK) continue;
      EXPECT_EQ(hex(c.element), bytesOf(data, numocts));
      EXPECT_NE(ctxt.data(), data);
   }
}

TEST(BerDecodeOpenType, NoCopyPointsIntoTheMessage) {
   DecodeContext ctxt(hex("04 01 AA 02 01 05"));
   ctxt.setPos(3);
   ctxt.setFlags(CTXTF_OPENTYPE_NOCOPY);
   const ASN1OCTET* data = nullptr;
   ASN1UINT numocts = 0;
   ASSERT_EQ(RTS_OK, xd_OpenType(ctxt.get(), &data, &numocts));
   EXPECT_EQ(ctxt.data() + 3, data);
   EXPECT_EQ(3u, numocts);
}

/* A record tells whether its octets point into the message; the extension
   list then frees only the octets it copied. */
TEST(BerDecodeOpenType, RecordsMarkOctetsOfTheMessageBorrowed) {
   for (const bool noCopy : {false, true}) {
      SCOPED_TRACE(noCopy ? "no copy" : "copy");
      DecodeContext ctxt(hex("04 01 AA 02 01 05"));
      if (noCopy) ctxt.setFlags(CTXTF_OPENTYPE_NOCOPY);
      ASN1TOpenType record{};
      ASSERT_EQ(RTS_OK, xd_OpenTypeRecord(ctxt.get(), &record));
      Asn1RTDList list;
      rtDListInit(&list);
      ASSERT_EQ(RTS_OK, xd_OpenTypeAppend(ctxt.get(), &list));
      const ASN1TOpenType& appended = *static_cast<const ASN1TOpenType*>(list.head->data);
      EXPECT_EQ(hex("04 01 AA"), bytesOf(record.data, record.numocts));
      EXPECT_EQ(hex("02 01 05"), bytesOf(appended.data, appended.numocts));
      EXPECT_EQ(noCopy, record.data == ctxt.data());
      EXPECT_EQ(noCopy, appended.data == ctxt.data() + 3);
      EXPECT_EQ(noCopy ? ASN1OPENTYPE_BORROWED : 0u, record.flags);
      EXPECT_EQ(record.flags, appended.flags);
      rtMemFreeOpenSeqExt(ctxt.get(), &list);
      EXPECT_EQ(nullptr, list.head);
   }
}

TEST(BerDecodeOpenType, LengthPastTheBufferIsABadValue) {
   DecodeContext ctxt(hex("04 05 01 02"));
   ctxt.setFlags(CTXTF_LAX_LENGTH);
   const ASN1OCTET* data = nullptr;
   ASN1UINT numocts = 0;
   EXPECT_EQ(RTS_BAD_VALUE, xd_OpenType(ctxt.get(), &data, &numocts));
}

std::vector<Octets> elementsOf(const Asn1RTDList& list) {
   std::vector<Octets> out;
   for (const Asn1RTDListNode* node = list.head; node != nullptr; node = node->next) {
      const ASN1TOpenType* openType = static_cast<const ASN1TOpenType*>(node->data);
      out.push_back(bytesOf(openType->data, openType->numocts));
   }
   return out;
}

TEST(BerDecodeOpenTypeAppend, NodeAndOpenTypeInOneBlock) {
   DecodeContext ctxt(hex("02 01 05 04 01 AA"));
   Asn1RTDList list;
   rtDListInit(&list);
   ASSERT_EQ(RTS_OK, xd_OpenTypeAppend(ctxt.get(), &list));
   ASSERT_EQ(RTS_OK, xd_OpenTypeAppend(ctxt.get(), &list));
   EXPECT_EQ(2u, list.count);
   EXPECT_EQ((std::vector<Octets>{hex("02 01 05"), hex("04 01 AA")}), elementsOf(list));
   const unsigned char* node = reinterpret_cast<const unsigned char*>(list.tail);
   EXPECT_EQ(node + sizeof(Asn1RTDListNode), list.tail->data);
   rtDListFreeAll(ctxt.get(), &list);
   EXPECT_EQ(0u, list.count);
}

TEST(BerDecodeOpenTypeAppend, NullListSkipsAndFailuresLeaveTheList) {
   DecodeContext skip(hex("30 80 02 01 05 00 00 04 00"));
   ASSERT_EQ(RTS_OK, xd_OpenTypeAppend(skip.get(), nullptr));
   EXPECT_EQ(7u, skip.pos());

   DecodeContext bad(hex("00 00"));
   Asn1RTDList list;
   rtDListInit(&list);
   EXPECT_EQ(RTS_BAD_VALUE, xd_OpenTypeAppend(bad.get(), &list));
   EXPECT_EQ(0u, list.count);
   EXPECT_EQ(nullptr, list.head);
}

TEST(BerDecodeOpenTypeExt, CollectsUnknownElements) {
   /* SEQUENCE contents: INTEGER, OCTET STRING, [0] 01, then a NULL outside
      the SEQUENCE. */
   const char kContents[] = "02 01 05 04 01 AA 80 01 01 05 00";
   struct Case {
      const char* name;
      int ccbLength;
      ASN1TAG tag;
      int status;
      size_t collected;
      ASN1UINT endPos;
   } cases[] = {
      {"all elements", 9, XD_ALL_ELEMENTS, RTS_OK, 3, 9},
      {"up to a known tag", 9, 0x80000000, RTS_OK, 2, 6},
      {"known tag first", 9, 0x02, RTS_OK, 0, 0},
      {"known tag absent", 9, 0x81000000, RTS_END_OF_DATA, 3, 9},
      {"contents end first", 3, XD_ALL_ELEMENTS, RTS_OK, 1, 3},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(kContents));
      ASN1BlockDescr ccb = {ctxt.data(), c.ccbLength};
      Asn1RTDList list;
      rtDListInit(&list);
      EXPECT_EQ(c.status, xd_OpenTypeExt(ctxt.get(), &ccb, c.tag, &list));
      EXPECT_EQ(c.status, ctxt.errorStatus());
      EXPECT_EQ(c.collected, list.count);
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeOpenTypeExt, IndefiniteContentsAndNullList) {
   DecodeContext ctxt(hex("02 01 05 30 80 00 00 00 00"));
   ASN1BlockDescr ccb = {ctxt.data(), INDEFINITE_LENGTH};
   Asn1RTDList list;
   rtDListInit(&list);
   ASSERT_EQ(RTS_OK, xd_OpenTypeExt(ctxt.get(), &ccb, XD_ALL_ELEMENTS, &list));
   EXPECT_EQ((std::vector<Octets>{hex("02 01 05"), hex("30 80 00 00")}), elementsOf(list));
   EXPECT_EQ(7u, ctxt.pos());

   DecodeContext skip(hex("02 01 05 04 01 AA"));
   ASN1BlockDescr all = {skip.data(), 6};
   ASSERT_EQ(RTS_OK, xd_OpenTypeExt(skip.get(), &all, XD_ALL_ELEMENTS, nullptr));
   EXPECT_EQ(6u, skip.pos());

   /* Inside definite contents an end-of-contents is no element. */
   DecodeContext bad(hex("02 01 05 00 00 04 00"));
   ASN1BlockDescr badCcb = {bad.data(), 7};
   rtDListInit(&list);
   EXPECT_EQ(RTS_BAD_VALUE, xd_OpenTypeExt(bad.get(), &badCcb, XD_ALL_ELEMENTS, &list));
   EXPECT_EQ(1u, list.count);
}

}
