/* XER writer output: a caller's fixed buffer that fills up, the pieces in
   which text reaches the buffer, and dynamic buffers that grow. */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtContext.h"
#include "xerEncode.h"

namespace {

/* A context writing into a caller's buffer of a given size. */
class FixedBuffer {
public:
   explicit FixedBuffer(size_t size, ASN1BOOL compact = 0) : storage_(size + 1, 0xEE) {
      rtInitContext(&ctxt, nullptr);
      status = xerSetEncBufPtr(&ctxt, storage_.data(), static_cast<ASN1UINT>(size), compact);
   }
   ~FixedBuffer() { rtFreeContext(&ctxt); }
   std::string text() const {
      return std::string(reinterpret_cast<const char*>(storage_.data()), ctxt.buffer.byteIndex);
   }
   /* The byte past the buffer's end is never touched. */
   bool guardIntact() const { return storage_.back() == 0xEE; }

   ASN1CTXT ctxt;
   int status;

private:
   std::vector<ASN1OCTET> storage_;
};

/* Each blank of the indentation is a write of its own. */
TEST(XerFixedBuffer, IndentationFillsBlankByBlank) {
   FixedBuffer out(5);
   out.ctxt.xerIndentLevel = 2;
   out.ctxt.xerState = XERSTATE_CONTENT;
   EXPECT_EQ(xerEncStartElement(&out.ctxt, "a"), RTS_BUFFER_FULL);
   EXPECT_EQ(out.text(), "\n    ");
   /* The failure came before the state changed. */
   EXPECT_EQ(out.ctxt.xerState, XERSTATE_CONTENT);
   EXPECT_TRUE(out.guardIntact());
}

/* Escaped text reaches the buffer in full 80-byte work areas. */
TEST(XerFixedBuffer, EscapedTextInWorkAreas) {
   const struct {
      size_t size;
      std::string value;
      std::string written;
   } cases[] = {
      {85, std::string(100, 'x'), "<a>" + std::string(80, 'x')},
      {82, std::string(100, 'x'), "<a>"},
      /* 78 plain bytes, then "&amp;" does not fit the area: 78 are written. */
      {90, std::string(78, 'y') + "&" + std::string(30, 'y'), "<a>" + std::string(78, 'y')},
      /* 75 plain bytes and "&amp;" fill the area exactly: all 80 are written. */
      {88, std::string(75, 'y') + "&" + std::string(30, 'y'), "<a>" + std::string(75, 'y') + "&amp;"},
   };
   for (const auto& c : cases) {
      FixedBuffer out(c.size, 1);
      EXPECT_EQ(xerEncAscCharStr(&out.ctxt, c.value.c_str(), "a"), RTS_BUFFER_FULL);
      EXPECT_EQ(out.text(), c.written) << c.size;
      EXPECT_EQ(out.ctxt.xerState, XERSTATE_CONTENT);
      EXPECT_TRUE(out.guardIntact());
   }
}

TEST(XerFixedBuffer, HexAndBinaryInWorkAreas) {
   const std::string octets(50, '\x5c');
   FixedBuffer hex(3 + 80 + 10, 1);
   EXPECT_EQ(xerEncOctStr(&hex.ctxt, 50, reinterpret_cast<const ASN1OCTET*>(octets.data()), "a"),
             RTS_BUFFER_FULL);
   std::string digits;
   for (int i = 0; i < 40; i++) digits += "5C";
   EXPECT_EQ(hex.text(), "<a>" + digits);
   EXPECT_EQ(hex.ctxt.errInfo.status, RTS_BUFFER_FULL);
   FixedBuffer bin(3 + 40 + 5, 1);
   EXPECT_EQ(xerEncBitStr(&bin.ctxt, 60, reinterpret_cast<const ASN1OCTET*>(octets.data()), "a"),
             RTS_BUFFER_FULL);
   std::string bits;
   for (int i = 0; i < 5; i++) bits += "01011100";
   EXPECT_EQ(bin.text(), "<a>" + bits);
   EXPECT_EQ(bin.ctxt.errInfo.status, RTS_BUFFER_FULL);
}

/* When the buffer fills before a bad value is reached, the buffer failure
   is the status returned and the one recorded. */
TEST(XerFixedBuffer, BufferFullBeforeBadValue) {
   const ASN1OCTET bits[] = {0xF0};
   const struct {
      size_t size;
      int (*write)(ASN1CTXT*, const ASN1OCTET*);
      std::string written;
   } cases[] = {
      {2, [](ASN1CTXT* c, const ASN1OCTET*) { return xerEncBigInt(c, "12a", "n"); }, "<n"},
      {3, [](ASN1CTXT* c, const ASN1OCTET*) { return xerEncBigInt(c, "-12a", "n"); }, "<n>"},
      {1, [](ASN1CTXT* c, const ASN1OCTET* d) { return xerEncBitStr(c, 4, d, "b", 2); }, "<"},
   };
   for (const auto& c : cases) {
      FixedBuffer out(c.size, 1);
      EXPECT_EQ(c.write(&out.ctxt, bits), RTS_BUFFER_FULL) << c.written;
      EXPECT_EQ(out.ctxt.errInfo.status, RTS_BUFFER_FULL) << c.written;
      EXPECT_EQ(out.text(), c.written);
      EXPECT_TRUE(out.guardIntact());
   }
}

/* One document written through a sequence of writer calls. */
int writeDocument(ASN1CTXT* ctxt) {
   static const ASN1OCTET key[] = {0x30, 0x0d, 0x06, 0x09, 0x2a, 0x86, 0x48, 0x86, 0xf7};
   static ASN116BITCHAR bmp[] = {0x4b, 0xe4, 0x20ac};
   static const char openText[] = "<Params><x>1</x></Params>";
   ASN116BitCharString bmpValue{3, bmp};
   ASN1OBJID oid{7, {1, 2, 840, 113549, 1, 1, 11}};
   int stat = xerEncStartDocument(ctxt);
   if (stat == RTS_OK) stat = xerEncStartElement(ctxt, "Doc");
   ctxt->xerIndentLevel++;
   if (stat == RTS_OK) stat = xerEncNamedValue(ctxt, "v3", "version");
   if (stat == RTS_OK) stat = xerEncBigInt(ctxt, "0x00c0ffee", "serialNumber");
   if (stat == RTS_OK) stat = xerEncObjId(ctxt, &oid, "algorithm");
   if (stat == RTS_OK) stat = xerEncOpenType(ctxt, sizeof(openText) - 1,
                                             reinterpret_cast<const ASN1OCTET*>(openText), "parameters");
   if (stat == RTS_OK) stat = xerEncStartElement(ctxt, "names");
   ctxt->xerIndentLevel++;
   for (int i = 0; i < 3 && stat == RTS_OK; i++) {
      stat = xerEncAscCharStr(ctxt, "A & B <Ltd>\t", "cn");
      if (stat == RTS_OK) stat = xerEncBMPStr(ctxt, &bmpValue, "o");
   }
   ctxt->xerIndentLevel--;
   if (stat == RTS_OK) stat = xerEncEndElement(ctxt, "names");
   if (stat == RTS_OK) stat = xerEncOctStr(ctxt, sizeof(key), key, "key");
   if (stat == RTS_OK) stat = xerEncBitStr(ctxt, 13, key, "bits");
   if (stat == RTS_OK) stat = xerEncBool(ctxt, 1, "critical");
   if (stat == RTS_OK) stat = xerEncNull(ctxt, nullptr);
   if (stat == RTS_OK) stat = xerEncOctStr(ctxt, 0, nullptr, "empty");
   ctxt->xerIndentLevel--;
   if (stat == RTS_OK) stat = xerEncEndElement(ctxt, "Doc");
   if (stat == RTS_OK) stat = xerEncEndDocument(ctxt);
   return stat;
}

std::string referenceDocument() {
   ASN1CTXT ctxt;
   rtInitContext(&ctxt, nullptr);
   xerSetEncBufPtr(&ctxt, nullptr, 0, 0);
   EXPECT_EQ(writeDocument(&ctxt), RTS_OK);
   std::string text(reinterpret_cast<const char*>(ctxt.buffer.data), ctxt.buffer.byteIndex);
   rtFreeContext(&ctxt);
   return text;
}

TEST(XerFixedBuffer, ReferenceDocumentText) {
   EXPECT_EQ(referenceDocument(),
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
             "\n<Doc>"
             "\n   <version><v3/></version>"
             "\n   <serialNumber>12648430</serialNumber>"
             "\n   <algorithm>1.2.840.113549.1.1.11</algorithm>"
             "\n   <parameters><Params><x>1</x></Params></parameters>"
             "\n   <names>"
             "\n      <cn>A &amp; B &lt;Ltd&gt;\\t</cn>"
             "\n      <o>K\xc3\xa4\xe2\x82\xac</o>"
             "\n      <cn>A &amp; B &lt;Ltd&gt;\\t</cn>"
             "\n      <o>K\xc3\xa4\xe2\x82\xac</o>"
             "\n      <cn>A &amp; B &lt;Ltd&gt;\\t</cn>"
             "\n      <o>K\xc3\xa4\xe2\x82\xac</o>"
             "\n   </names>"
             "\n   <key>300D06092A864886F7</key>"
             "\n   <bits>0011000000001</bits>"
             "\n   <critical><true/></critical>"
             "\n   <NULL/>"
             "\n   <empty/>"
             "\n</Doc>");
}

/* At every buffer size the output is a prefix of the full document, and
   only a buffer with room for the text and its NUL succeeds. */
TEST(XerFixedBuffer, EveryBufferSizeGivesAPrefix) {
   const std::string reference = referenceDocument();
   for (size_t size = 0; size <= reference.size() + 1; size++) {
      FixedBuffer out(size);
      ASSERT_EQ(out.status, RTS_OK);
      int stat = writeDocument(&out.ctxt);
      ASSERT_TRUE(out.guardIntact()) << size;
      if (size > reference.size()) {
         EXPECT_EQ(stat, RTS_OK) << size;
         EXPECT_EQ(out.text(), reference);
      } else {
         ASSERT_EQ(stat, RTS_BUFFER_FULL) << size;
         EXPECT_EQ(out.ctxt.errInfo.status, RTS_BUFFER_FULL) << size;
         std::string written = out.text();
         EXPECT_EQ(written, reference.substr(0, written.size())) << size;
      }
   }
}

/* Growing dynamic buffers, starting from every small size, give the same text. */
TEST(XerDynamicBuffer, GrowthKeepsTheText) {
   const std::string reference = referenceDocument();
   for (ASN1UINT initial = 1; initial <= 64; initial++) {
      ASN1CTXT ctxt;
      ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
      ASSERT_EQ(xerSetEncBufPtr(&ctxt, nullptr, initial, 0), RTS_OK);
      ASSERT_EQ(writeDocument(&ctxt), RTS_OK);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(ctxt.buffer.data), ctxt.buffer.byteIndex),
                reference);
      EXPECT_EQ(ctxt.buffer.size, initial + 16384u);
      rtFreeContext(&ctxt);
   }
}

TEST(XerDynamicBuffer, LargeDocumentAcrossGrowthSteps) {
   ASN1CTXT ctxt;
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   ASSERT_EQ(xerSetEncBufPtr(&ctxt, nullptr, 0, 0), RTS_OK);
   std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<list>";
   ASSERT_EQ(xerEncStartDocument(&ctxt), RTS_OK);
   ASSERT_EQ(xerEncStartElement(&ctxt, "list"), RTS_OK);
   ctxt.xerIndentLevel = 1;
   for (int i = 0; i < 5000; i++) {
      ASSERT_EQ(xerEncInt(&ctxt, i * 7919 - 20000000, "item"), RTS_OK);
      expected += "\n   <item>" + std::to_string(i * 7919 - 20000000) + "</item>";
   }
   ctxt.xerIndentLevel = 0;
   ASSERT_EQ(xerEncEndElement(&ctxt, "list"), RTS_OK);
   ASSERT_EQ(xerEncEndDocument(&ctxt), RTS_OK);
   expected += "\n</list>";
   ASSERT_GT(expected.size(), 3u * 16384u);
   EXPECT_EQ(std::string(reinterpret_cast<const char*>(ctxt.buffer.data), ctxt.buffer.byteIndex),
             expected);
   EXPECT_EQ(ctxt.buffer.data[ctxt.buffer.byteIndex], 0);
   rtFreeContext(&ctxt);
}

}
