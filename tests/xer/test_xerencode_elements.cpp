/* XER writer: start, end and empty-element tags, the empty-name rule, the
   writer state, named values, BOOLEAN, NULL and open types. */
#include <gtest/gtest.h>

#include <string>

#include "test_xerencode_fixture.h"

namespace {

TEST_F(XerEncodeTest, StartElementIndentsAndSetsState) {
   ctxt.xerIndentLevel = 2;
   ASSERT_EQ(xerEncStartElement(&ctxt, "subject"), RTS_OK);
   EXPECT_EQ(text(), "\n      <subject>");
   EXPECT_EQ(ctxt.xerState, XERSTATE_START_TAG);
   clear();
   ASSERT_EQ(xerEncStartElement(&ctxt, "sig", "form=\"hex\""), RTS_OK);
   EXPECT_EQ(text(), "\n<sig form=\"hex\">");
}

/* An end tag goes on its own line only after another end tag. */
TEST_F(XerEncodeTest, EndElementPlacementFollowsState) {
   const struct {
      ASN1UINT8 state;
      std::string expected;
   } cases[] = {
      {XERSTATE_DOCUMENT, "</a>"},
      {XERSTATE_START_TAG, "</a>"},
      {XERSTATE_CONTENT, "</a>"},
      {XERSTATE_END_TAG, "\n   </a>"},
   };
   for (const auto& c : cases) {
      clear();
      ctxt.xerIndentLevel = 1;
      ctxt.xerState = c.state;
      ASSERT_EQ(xerEncEndElement(&ctxt, "a"), RTS_OK);
      EXPECT_EQ(text(), c.expected) << "state " << int(c.state);
      EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   }
}

TEST_F(XerEncodeTest, EmptyNameWritesNothing) {
   for (const char* name : {static_cast<const char*>(nullptr), ""}) {
      clear();
      ctxt.xerIndentLevel = 3;
      ctxt.xerState = XERSTATE_CONTENT;
      EXPECT_EQ(xerEncStartElement(&ctxt, name, "a=\"1\""), RTS_OK);
      EXPECT_EQ(xerEncEndElement(&ctxt, name), RTS_OK);
      EXPECT_EQ(xerEncEmptyElement(&ctxt, name), RTS_OK);
      EXPECT_EQ(text(), "");
      EXPECT_EQ(ctxt.xerState, XERSTATE_CONTENT);
   }
}

TEST_F(XerEncodeTest, EmptyElementHasNoIndentation) {
   ctxt.xerIndentLevel = 2;
   ctxt.xerState = XERSTATE_END_TAG;
   ASSERT_EQ(xerEncEmptyElement(&ctxt, "v3"), RTS_OK);
   EXPECT_EQ(text(), "<v3/>");
   EXPECT_EQ(ctxt.xerState, XERSTATE_START_TAG);
   ASSERT_EQ(xerEncEmptyElement(&ctxt, "x", "form=\"hex\""), RTS_OK);
   EXPECT_EQ(text(), "<v3/><x form=\"hex\"/>");
}

TEST_F(XerEncodeTest, NamedValueOnOneLine) {
   ctxt.xerIndentLevel = 1;
   ASSERT_EQ(xerEncNamedValue(&ctxt, "v3", "version"), RTS_OK);
   EXPECT_EQ(text(), "\n   <version><v3/></version>");
   EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   clear();
   ASSERT_EQ(xerEncNamedValue(&ctxt, "successful", "responseStatus", "a=\"b\""), RTS_OK);
   EXPECT_EQ(text(), "\n<responseStatus a=\"b\"><successful/></responseStatus>");
}

TEST_F(XerEncodeTest, Booleans) {
   const struct {
      ASN1BOOL value;
      const char* name;
      std::string expected;
   } cases[] = {
      {1, "critical", "<critical><true/></critical>"},
      {0xFF, "critical", "<critical><true/></critical>"},
      {0x7F, nullptr, "<BOOLEAN><true/></BOOLEAN>"},
      {0, "cA", "<cA><false/></cA>"},
      {0, nullptr, "<BOOLEAN><false/></BOOLEAN>"},
   };
   compact();
   for (const auto& c : cases) {
      clear();
      ASSERT_EQ(xerEncBool(&ctxt, c.value, c.name), RTS_OK);
      EXPECT_EQ(text(), c.expected);
      EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   }
}

TEST_F(XerEncodeTest, NullStandsOnItsOwnLine) {
   ctxt.xerIndentLevel = 1;
   ASSERT_EQ(xerEncNull(&ctxt), RTS_OK);
   ASSERT_EQ(xerEncNull(&ctxt, "parameters"), RTS_OK);
   EXPECT_EQ(text(), "\n   <NULL/>\n   <parameters/>");
   EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   clear();
   ASSERT_EQ(xerEncNull(&ctxt, ""), RTS_OK);
   EXPECT_EQ(text(), "");
   EXPECT_EQ(ctxt.xerState, XERSTATE_DOCUMENT);
}

/* A SEQUENCE of primitives opens and closes on lines of its own. */
TEST_F(XerEncodeTest, CompositeAroundPrimitives) {
   ASSERT_EQ(xerEncStartElement(&ctxt, "BasicConstraints"), RTS_OK);
   ctxt.xerIndentLevel++;
   ASSERT_EQ(xerEncBool(&ctxt, 1, "cA"), RTS_OK);
   ASSERT_EQ(xerEncUInt(&ctxt, 3, "pathLen"), RTS_OK);
   ctxt.xerIndentLevel--;
   ASSERT_EQ(xerEncEndElement(&ctxt, "BasicConstraints"), RTS_OK);
   EXPECT_EQ(text(),
             "\n<BasicConstraints>"
             "\n   <cA><true/></cA>"
             "\n   <pathLen>3</pathLen>"
             "\n</BasicConstraints>");
   clear();
   ASSERT_EQ(xerEncStartElement(&ctxt, "empty"), RTS_OK);
   ASSERT_EQ(xerEncEndElement(&ctxt, "empty"), RTS_OK);
   EXPECT_EQ(text(), "\n<empty></empty>");
}

TEST_F(XerEncodeTest, OpenTypeWithName) {
   const std::string inner = "<Params><a>1&2</a><NULL/></Params>";
   ctxt.xerIndentLevel = 1;
   ASSERT_EQ(xerEncOpenType(&ctxt, static_cast<ASN1UINT>(inner.size()),
                            reinterpret_cast<const ASN1OCTET*>(inner.data()), "parameters"),
             RTS_OK);
   EXPECT_EQ(text(), "\n   <parameters>" + inner + "</parameters>");
   EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   clear();
   ASSERT_EQ(xerEncOpenType(&ctxt, 0, nullptr, "parameters"), RTS_OK);
   EXPECT_EQ(text(), "\n<parameters></parameters>");
}

TEST_F(XerEncodeTest, OpenTypeItemsWithoutName) {
   const std::string first = "<A>x</A>", second = "\x30\x03\x02\x01\x05";
   ctxt.xerIndentLevel = 2;
   ASSERT_EQ(xerEncOpenType(&ctxt, static_cast<ASN1UINT>(first.size()),
                            reinterpret_cast<const ASN1OCTET*>(first.data()), nullptr),
             RTS_OK);
   EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   ASSERT_EQ(xerEncOpenType(&ctxt, static_cast<ASN1UINT>(second.size()),
                            reinterpret_cast<const ASN1OCTET*>(second.data()), nullptr),
             RTS_OK);
   EXPECT_EQ(text(), "\n      " + first + "\n      " + second);
}

TEST_F(XerEncodeTest, OpenTypeWithoutDataIsRefused) {
   EXPECT_EQ(xerEncOpenType(&ctxt, 3, nullptr, "p"), RTS_BAD_VALUE);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_VALUE);
   EXPECT_EQ(text(), "");
}

TEST_F(XerEncodeTest, LongOpenTypeBeyondStagingArea) {
   std::string inner;
   for (int i = 0; i < 500; i++) inner += "<i>" + std::to_string(i) + "</i>";
   ASSERT_EQ(xerEncOpenType(&ctxt, static_cast<ASN1UINT>(inner.size()),
                            reinterpret_cast<const ASN1OCTET*>(inner.data()), "v"),
             RTS_OK);
   EXPECT_EQ(text(), "\n<v>" + inner + "</v>");
}

}
