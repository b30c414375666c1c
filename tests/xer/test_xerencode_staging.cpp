// The XER writer stages a call's text in the free space of a growing buffer
// and writes it piece by piece only when it does not fit. Around the point
// where the buffer runs out, for long values and in compact form, the text
// and the growth must be exactly those of piece-by-piece writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtContext.h"
#include "xerEncode.h"

namespace {

/* A document whose calls write short tags, long values (over 1024
   characters in one call) and indentation at several levels. */
int writeDocument(ASN1CTXT* ctxt) {
   static std::vector<ASN1OCTET> key(700);
   for (size_t i = 0; i < key.size(); i++) key[i] = static_cast<ASN1OCTET>(i * 37 + 11);
   ASN1OBJID oid{9, {1, 2, 840, 113549, 1, 9, 16, 2, 47}};
   int stat = xerEncStartDocument(ctxt);
   if (stat == RTS_OK) stat = xerEncStartElement(ctxt, "Certificate");
   ctxt->xerIndentLevel++;
   for (int i = 0; i < 4 && stat == RTS_OK; i++) {
      stat = xerEncStartElement(ctxt, "attribute", i % 2 != 0 ? "form=\"x\"" : nullptr);
      ctxt->xerIndentLevel++;
      if (stat == RTS_OK) stat = xerEncObjId(ctxt, &oid, "type");
      if (stat == RTS_OK) stat = xerEncAscCharStr(ctxt, "Smith & <Sons>", "value");
      if (stat == RTS_OK) stat = xerEncNull(ctxt, "parameters");
      if (stat == RTS_OK) stat = xerEncEmptyElement(ctxt, "present", nullptr);
      ctxt->xerIndentLevel--;
      if (stat == RTS_OK) stat = xerEncEndElement(ctxt, "attribute");
   }
   if (stat == RTS_OK) stat = xerEncBitStr(ctxt, 2048 + 5, key.data(), "signature");
   if (stat == RTS_OK) stat = xerEncOctStr(ctxt, 600, key.data(), "keyIdentifier");
   if (stat == RTS_OK) stat = xerEncBigInt(ctxt, "0x7fffffffffffffffffffffffffffffffffff", "serial");
   ctxt->xerIndentLevel--;
   if (stat == RTS_OK) stat = xerEncEndElement(ctxt, "Certificate");
   if (stat == RTS_OK) stat = xerEncEndDocument(ctxt);
   return stat;
}

struct Written {
   std::string text;
   ASN1UINT size = 0; /* buffer size after the writes */
};

/* The document written into a dynamic buffer of `initial` octets. */
Written writeDynamic(ASN1UINT initial, ASN1BOOL compact) {
   ASN1CTXT ctxt;
   rtInitContext(&ctxt, nullptr);
   EXPECT_EQ(xerSetEncBufPtr(&ctxt, nullptr, initial, compact), RTS_OK);
   EXPECT_EQ(writeDocument(&ctxt), RTS_OK);
   Written written{std::string(reinterpret_cast<const char*>(ctxt.buffer.data), ctxt.buffer.byteIndex),
                   ctxt.buffer.size};
   rtFreeContext(&ctxt);
   return written;
}

/* The same document into a caller's buffer large enough for all of it,
   which stages through a separate area. */
std::string writeFixed(ASN1BOOL compact) {
   std::vector<ASN1OCTET> storage(100000);
   ASN1CTXT ctxt;
   rtInitContext(&ctxt, nullptr);
   EXPECT_EQ(xerSetEncBufPtr(&ctxt, storage.data(), static_cast<ASN1UINT>(storage.size()), compact),
             RTS_OK);
   EXPECT_EQ(writeDocument(&ctxt), RTS_OK);
   std::string text(reinterpret_cast<const char*>(storage.data()), ctxt.buffer.byteIndex);
   rtFreeContext(&ctxt);
   return text;
}

TEST(XerStaging, DynamicBufferMatchesFixedBufferAtEverySize) {
   for (ASN1BOOL compact : {0, 1}) {
      const std::string reference = writeFixed(compact);
      ASSERT_GT(reference.size(), 3500u);
      /* Sizes that run out inside every call of the document: one growth
         of 16384 octets, made by the piece that no longer fits. */
      for (ASN1UINT initial = 1; initial <= reference.size() + 1; initial += 7) {
         Written written = writeDynamic(initial, compact);
         ASSERT_EQ(written.text, reference) << "initial size " << initial;
         /* The end-of-document NUL needs one octet past the text. */
         const ASN1UINT expected = initial > reference.size() ? initial : initial + 16384u;
         EXPECT_EQ(written.size, expected) << "initial size " << initial;
      }
   }
}

TEST(XerStaging, LongValueBeyondTheStackAreaIsWrittenWhole) {
   const std::string reference = writeFixed(0);
   const size_t start = reference.find("<signature>") + 11;
   const size_t end = reference.find("</signature>");
   ASSERT_EQ(end - start, 2048u + 5u);
   EXPECT_EQ(reference.substr(start, 16), "0000101100110000");
   const size_t hexStart = reference.find("<keyIdentifier>") + 15;
   EXPECT_EQ(reference.substr(hexStart, 8), "0B30557A");
   EXPECT_EQ(reference.find("</keyIdentifier>") - hexStart, 1200u);
   EXPECT_NE(reference.find("\n   <attribute form=\"x\">\n      <type>1.2.840.113549.1.9.16.2.47</type>"),
             std::string::npos);
   EXPECT_NE(reference.find("<value>Smith &amp; &lt;Sons&gt;</value>\n      <parameters/>"),
             std::string::npos);
}

// Indentation is put in runs of several blanks: nested levels 0 to 20 give
// every run length up to 60, staged in the free space of a growing buffer
// and in the work area of a caller's buffer.
std::string nestedDocument(bool callersBuffer) {
   const int depth = 21;
   std::vector<ASN1OCTET> storage(10000);
   ASN1CTXT ctxt;
   rtInitContext(&ctxt, nullptr);
   EXPECT_EQ(xerSetEncBufPtr(&ctxt, callersBuffer ? storage.data() : nullptr,
                             callersBuffer ? static_cast<ASN1UINT>(storage.size()) : 0, 0),
             RTS_OK);
   for (int level = 0; level < depth; level++, ctxt.xerIndentLevel++)
      EXPECT_EQ(xerEncStartElement(&ctxt, "e"), RTS_OK);
   EXPECT_EQ(xerEncNull(&ctxt, "n"), RTS_OK);
   for (int level = depth; level-- > 0;) {
      ctxt.xerIndentLevel--;
      EXPECT_EQ(xerEncEndElement(&ctxt, "e"), RTS_OK);
   }
   std::string text(reinterpret_cast<const char*>(ctxt.buffer.data), ctxt.buffer.byteIndex);
   rtFreeContext(&ctxt);
   return text;
}

TEST(XerStaging, IndentationOfEveryDepth) {
   std::string expected;
   for (int level = 0; level < 21; level++) expected += "\n" + std::string(level * 3, ' ') + "<e>";
   expected += "\n" + std::string(21 * 3, ' ') + "<n/>";
   for (int level = 21; level-- > 0;) expected += "\n" + std::string(level * 3, ' ') + "</e>";
   EXPECT_EQ(nestedDocument(false), expected);
   EXPECT_EQ(nestedDocument(true), expected);
}

// Names and attributes are copied in stores of several octets whose last
// one overlaps: every length from 1 to 40, each octet in its place.
TEST(XerStaging, NamesAndAttributesOfEveryLength) {
   for (size_t length = 1; length <= 40; length++) {
      std::string name, attributes;
      for (size_t i = 0; i < length; i++) {
         name += static_cast<char>('a' + i % 26);
         attributes += static_cast<char>('A' + (i * 7) % 26);
      }
      ASN1CTXT ctxt;
      rtInitContext(&ctxt, nullptr);
      ASSERT_EQ(xerSetEncBufPtr(&ctxt, nullptr, 0, 1), RTS_OK);
      ASSERT_EQ(xerEncStartElement(&ctxt, name.c_str(), attributes.c_str()), RTS_OK);
      ASSERT_EQ(xerEncEndElement(&ctxt, name.c_str()), RTS_OK);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(ctxt.buffer.data), ctxt.buffer.byteIndex),
                "<" + name + " " + attributes + "></" + name + ">")
         << "length " << length;
      rtFreeContext(&ctxt);
   }
}

TEST(XerStaging, CompactFormHasNoLineBreaks) {
   const std::string compact = writeFixed(1);
   EXPECT_EQ(compact.find('\n', compact.find("?>") + 2), std::string::npos);
   EXPECT_NE(compact.find("<Certificate><attribute><type>"), std::string::npos);
   EXPECT_NE(compact.find("</attribute><attribute form=\"x\"><type>"), std::string::npos);
}

}
