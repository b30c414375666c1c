/* XER writer: output set-up, declaration, indentation, the compact switch,
   the end-of-document check and text copied unchanged. */
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "rtStream.h"
#include "test_xerencode_fixture.h"

namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

TEST(XerSetEncBufPtr, DynamicBufferIsTerminatedAndStateReset) {
   ASN1CTXT ctxt;
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   ctxt.xerState = XERSTATE_END_TAG;
   ASSERT_EQ(xerSetEncBufPtr(&ctxt, nullptr, 0, 0), RTS_OK);
   EXPECT_EQ(ctxt.buffer.size, 16384u);
   EXPECT_EQ(ctxt.buffer.dynamic, 1);
   EXPECT_EQ(ctxt.buffer.byteIndex, 0u);
   EXPECT_EQ(ctxt.buffer.data[0], 0);
   EXPECT_EQ(ctxt.xerState, XERSTATE_DOCUMENT);
   EXPECT_EQ(ctxt.flags & CTXTF_XER_NOINDENT, 0);
   rtFreeContext(&ctxt);
}

TEST(XerSetEncBufPtr, CallersBufferAndCompactSwitch) {
   ASN1CTXT ctxt;
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   ASN1OCTET buf[32];
   std::memset(buf, 'x', sizeof(buf));
   ASSERT_EQ(xerSetEncBufPtr(&ctxt, buf, sizeof(buf), 1), RTS_OK);
   EXPECT_EQ(ctxt.buffer.data, buf);
   EXPECT_EQ(ctxt.buffer.size, 32u);
   EXPECT_EQ(ctxt.buffer.dynamic, 0);
   EXPECT_EQ(buf[0], 0);
   EXPECT_EQ(buf[1], 'x');
   EXPECT_EQ(ctxt.flags & CTXTF_XER_NOINDENT, CTXTF_XER_NOINDENT);
   rtFreeContext(&ctxt);
}

TEST(XerSetEncBufPtr, UninitialisedContextIsRecorded) {
   ASN1CTXT ctxt;
   std::memset(&ctxt, 0, sizeof(ctxt));
   EXPECT_EQ(xerSetEncBufPtr(&ctxt, nullptr, 0, 0), RTS_NOT_INITIALISED);
   EXPECT_EQ(ctxt.errInfo.status, RTS_NOT_INITIALISED);
   EXPECT_EQ(ctxt.buffer.data, nullptr);
}

TEST_F(XerEncodeTest, StartDocumentWritesDeclarationAndResets) {
   ctxt.xerIndentLevel = 4;
   ctxt.xerState = XERSTATE_END_TAG;
   ASSERT_EQ(xerEncStartDocument(&ctxt), RTS_OK);
   EXPECT_EQ(text(), kDecl);
   EXPECT_EQ(ctxt.xerIndentLevel, 0);
   EXPECT_EQ(ctxt.xerState, XERSTATE_DOCUMENT);
}

/* The nesting that a generated encoder produces for Certificate. */
void writeCertificateShape(ASN1CTXT* ctxt) {
   ASSERT_EQ(xerEncStartDocument(ctxt), RTS_OK);
   ASSERT_EQ(xerEncStartElement(ctxt, "Certificate"), RTS_OK);
   ctxt->xerIndentLevel++;
   ASSERT_EQ(xerEncStartElement(ctxt, "tbsCertificate"), RTS_OK);
   ctxt->xerIndentLevel++;
   ASSERT_EQ(xerEncNamedValue(ctxt, "v3", "version"), RTS_OK);
   ASSERT_EQ(xerEncBigInt(ctxt, "0x0a", "serialNumber"), RTS_OK);
   ctxt->xerIndentLevel--;
   ASSERT_EQ(xerEncEndElement(ctxt, "tbsCertificate"), RTS_OK);
   ctxt->xerIndentLevel--;
   ASSERT_EQ(xerEncEndElement(ctxt, "Certificate"), RTS_OK);
   ASSERT_EQ(xerEncEndDocument(ctxt), RTS_OK);
}

TEST_F(XerEncodeTest, IndentedDocumentShape) {
   writeCertificateShape(&ctxt);
   const std::string expected = kDecl +
                                "\n<Certificate>"
                                "\n   <tbsCertificate>"
                                "\n      <version><v3/></version>"
                                "\n      <serialNumber>10</serialNumber>"
                                "\n   </tbsCertificate>"
                                "\n</Certificate>";
   EXPECT_EQ(text(), expected);
   /* The terminating NUL follows the text but is not counted. */
   EXPECT_EQ(ctxt.buffer.data[ctxt.buffer.byteIndex], 0);
}

TEST_F(XerEncodeTest, CompactDocumentShape) {
   compact();
   writeCertificateShape(&ctxt);
   EXPECT_EQ(text(), kDecl +
                        "<Certificate><tbsCertificate><version><v3/></version>"
                        "<serialNumber>10</serialNumber></tbsCertificate></Certificate>");
}

TEST_F(XerEncodeTest, IndentPerLevel) {
   const struct {
      ASN1UINT8 level;
      std::string expected;
   } cases[] = {
      {0, "\n"},
      {1, "\n   "},
      {2, "\n      "},
      {5, "\n" + std::string(15, ' ')},
      {255, "\n" + std::string(765, ' ')},
   };
   for (const auto& c : cases) {
      clear();
      ctxt.xerIndentLevel = c.level;
      ASSERT_EQ(xerEncIndent(&ctxt), RTS_OK);
      EXPECT_EQ(text(), c.expected) << "level " << int(c.level);
   }
   compact();
   for (const auto& c : cases) {
      clear();
      ctxt.xerIndentLevel = c.level;
      ASSERT_EQ(xerEncIndent(&ctxt), RTS_OK);
      EXPECT_EQ(text(), "") << "compact, level " << int(c.level);
   }
}

TEST_F(XerEncodeTest, NewLineIsWrittenEvenWhenCompact) {
   compact();
   ASSERT_EQ(xerEncNewLine(&ctxt), RTS_OK);
   EXPECT_EQ(text(), "\n");
}

TEST_F(XerEncodeTest, EndDocumentStructureCheck) {
   const struct {
      ASN1UINT8 level;
      ASN1UINT8 state;
      int status;
   } cases[] = {
      {0, XERSTATE_END_TAG, RTS_OK},
      {1, XERSTATE_END_TAG, RTS_XML_STRUCTURE},
      {0, XERSTATE_DOCUMENT, RTS_XML_STRUCTURE},
      {0, XERSTATE_START_TAG, RTS_XML_STRUCTURE},
      {0, XERSTATE_CONTENT, RTS_XML_STRUCTURE},
   };
   for (const auto& c : cases) {
      clear();
      ASSERT_EQ(xerCopyText(&ctxt, "<a/>"), RTS_OK);
      ctxt.buffer.data[4] = 'x';
      ctxt.xerIndentLevel = c.level;
      ctxt.xerState = c.state;
      EXPECT_EQ(xerEncEndDocument(&ctxt), c.status);
      EXPECT_EQ(ctxt.errInfo.status, c.status);
      EXPECT_EQ(text(), "<a/>");
      EXPECT_EQ(ctxt.buffer.data[4], c.status == RTS_OK ? 0 : 'x');
   }
}

TEST_F(XerEncodeTest, EndDocumentAfterUnbalancedStartTag) {
   ASSERT_EQ(xerEncStartDocument(&ctxt), RTS_OK);
   ASSERT_EQ(xerEncStartElement(&ctxt, "Certificate"), RTS_OK);
   EXPECT_EQ(xerEncEndDocument(&ctxt), RTS_XML_STRUCTURE);
   EXPECT_EQ(ctxt.errInfo.status, RTS_XML_STRUCTURE);
   EXPECT_EQ(text(), kDecl + "\n<Certificate>");
}

TEST(XerEncEndDocument, NoRoomForTerminator) {
   ASN1CTXT ctxt;
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   ASN1OCTET buf[4];
   ASSERT_EQ(xerSetEncBufPtr(&ctxt, buf, sizeof(buf), 1), RTS_OK);
   ASSERT_EQ(xerEncNull(&ctxt, "a"), RTS_OK);
   EXPECT_EQ(xerEncEndDocument(&ctxt), RTS_BUFFER_FULL);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BUFFER_FULL);
   EXPECT_EQ(ctxt.buffer.byteIndex, 4u);
   rtFreeContext(&ctxt);
}

int appendToString(ASN1STREAM* stream, const ASN1OCTET* data, size_t n) {
   static_cast<std::string*>(stream->pUserData)->append(reinterpret_cast<const char*>(data), n);
   return 0;
}

TEST(XerEncEndDocument, StreamIsFlushedWithoutStructureCheck) {
   ASN1CTXT ctxt;
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   ASSERT_EQ(rtStreamBufInit(&ctxt), RTS_OK);
   std::string sink;
   ctxt.stream->writeFunc = appendToString;
   ctxt.stream->pUserData = &sink;
   ctxt.stream->flags |= ASN1STRM_WRITABLE;
   ASSERT_EQ(xerEncStartDocument(&ctxt), RTS_OK);
   ASSERT_EQ(xerEncStartElement(&ctxt, "a"), RTS_OK);
   ctxt.xerIndentLevel = 1;
   ASSERT_EQ(xerEncInt(&ctxt, -5, "b"), RTS_OK);
   EXPECT_EQ(sink, "");
   /* Level 1 and an open element: a stream is flushed, not checked. */
   EXPECT_EQ(xerEncEndDocument(&ctxt), RTS_OK);
   EXPECT_EQ(sink, kDecl + "\n<a>\n   <b>-5</b>");
   EXPECT_EQ(ctxt.errInfo.status, RTS_OK);
   rtFreeContext(&ctxt);
}

TEST_F(XerEncodeTest, RawTextWriters) {
   ASSERT_EQ(xerCopyText(&ctxt, nullptr), RTS_OK);
   ASSERT_EQ(xerCopyText(&ctxt, ""), RTS_OK);
   EXPECT_EQ(text(), "");
   ASSERT_EQ(xerCopyText(&ctxt, "a<&\"\t"), RTS_OK);
   EXPECT_EQ(text(), "a<&\"\t");
   clear();
   ASSERT_EQ(xerCopyText2(&ctxt, "<x", nullptr), RTS_OK);
   ASSERT_EQ(xerCopyText2(&ctxt, "", "/>"), RTS_OK);
   ASSERT_EQ(xerCopyText2(&ctxt, "1", "2"), RTS_OK);
   EXPECT_EQ(text(), "<x/>12");
   clear();
   ASSERT_EQ(xerEncXmlCharData(&ctxt, "a<b&c>", 6), RTS_OK);
   ASSERT_EQ(xerEncXmlCharData(&ctxt, "zzz", 0), RTS_OK);
   ASSERT_EQ(xerEncXmlCharData(&ctxt, "zzz", -1), RTS_OK);
   ASSERT_EQ(xerEncXmlCharData(&ctxt, nullptr, 3), RTS_OK);
   ASSERT_EQ(xerEncXmlCharData(&ctxt, "\0x", 2), RTS_OK);
   EXPECT_EQ(text(), std::string("a<b&c>\0x", 8));
   EXPECT_EQ(ctxt.xerState, XERSTATE_DOCUMENT);
}

TEST(XerTextLength, CountsBytes) {
   EXPECT_EQ(xerTextLength(nullptr), 0u);
   EXPECT_EQ(xerTextLength(""), 0u);
   EXPECT_EQ(xerTextLength("abc"), 3u);
   EXPECT_EQ(xerTextLength("\xC3\xA9"), 2u);
}

}
