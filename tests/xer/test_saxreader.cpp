// The reader over Expat, the SAX decode handler base, the decode exception and
// the string helpers of the XML reader path.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "saxReader.h"

namespace {

// Records every event as text, and can throw at a chosen event.
class RecordingHandler : public OSXMLContentHandler {
 public:
   void startElement(const char* uri, const char* localName, const char* qName,
                     const char* const* attrs) override {
      check(uri, localName, qName);
      events.push_back("start " + std::string(localName));
      for (int i = 0; attrs != nullptr && attrs[i] != nullptr; i += 2)
         attributes.push_back(std::string(attrs[i]) + "=" + attrs[i + 1]);
      if (throwAtStart == localName) throw OSRTSAXExceptionImpl(RTS_XML_STRUCTURE, "gen.cpp", 77);
   }
   void characters(const char* chars, unsigned int length) override {
      events.push_back("chars " + std::string(chars, length));
      if (throwAtCharacters) throw std::runtime_error("handler gave up");
   }
   void endElement(const char* uri, const char* localName, const char* qName) override {
      check(uri, localName, qName);
      events.push_back("end " + std::string(localName));
      if (throwAtEnd == localName) throw OSRTSAXExceptionImpl(RTS_MISSING_ELEMENT, nullptr, 0);
   }

   std::vector<std::string> events;
   std::vector<std::string> attributes;
   std::string throwAtStart, throwAtEnd;
   bool throwAtCharacters = false;

 private:
   static void check(const char* uri, const char* localName, const char* qName) {
      EXPECT_EQ(uri, nullptr);
      EXPECT_EQ(localName, qName);
   }
};

// A reader that is released however the test leaves.
struct ReaderHolder {
   ReaderHolder() : reader(new OSExpatXMLReader()) {}
   ~ReaderHolder() { reader->release(); }
   OSXMLReader* reader;
};

int parseText(OSXMLReader* reader, const std::string& text) {
   return reader->parse(text.data(), static_cast<int>(text.size()));
}

// ---- events ------------------------------------------------------------------

TEST(ExpatReader, EventsArriveInDocumentOrder) {
   ReaderHolder holder;
   RecordingHandler handler;
   holder.reader->setContentHandler(&handler);
   EXPECT_NE(parseText(holder.reader, "<a><b>x</b><c/>y</a>"), 0);
   const std::vector<std::string> expected = {"start a", "start b", "chars x", "end b",
                                              "start c", "end c",   "chars y", "end a"};
   EXPECT_EQ(handler.events, expected);
}

TEST(ExpatReader, CharacterDataMayArriveInPieces) {
   ReaderHolder holder;
   RecordingHandler handler;
   holder.reader->setContentHandler(&handler);
   EXPECT_NE(parseText(holder.reader, "<a>x&amp;y&lt;z</a>"), 0);
   std::string joined;
   int pieces = 0;
   for (const std::string& event : handler.events) {
      if (event.rfind("chars ", 0) != 0) continue;
      joined += event.substr(6);
      ++pieces;
   }
   EXPECT_EQ(joined, "x&y<z");
   EXPECT_GT(pieces, 1);
}

TEST(ExpatReader, AttributesArePassedThrough) {
   ReaderHolder holder;
   RecordingHandler handler;
   holder.reader->setContentHandler(&handler);
   EXPECT_NE(parseText(holder.reader, "<a k='v' m=\"n\"/>"), 0);
   EXPECT_EQ(handler.attributes, (std::vector<std::string>{"k=v", "m=n"}));
}

TEST(ExpatReader, ParsesWithoutContentHandler) {
   ReaderHolder unset;
   EXPECT_NE(parseText(unset.reader, "<a><b>text</b></a>"), 0);
   ReaderHolder cleared;
   cleared.reader->setContentHandler(nullptr);
   EXPECT_NE(parseText(cleared.reader, "<a><b>text</b></a>"), 0);
}

// ---- malformed documents -----------------------------------------------------

TEST(ExpatReader, MalformedXmlGivesParserMessageAndPosition) {
   struct Case {
      const char* doc;
      const char* message;
   };
   const Case cases[] = {
      {"<a><b></a>", "mismatched tag, line = 1, column = 8"},
      {"<a>\n  <b>\n</a>", "mismatched tag, line = 3, column = 2"},
      {"<a>", "no element found, line = 1, column = 3"},
      {"", "no element found, line = 1, column = 0"},
      {"<a/><b/>", "junk after document element, line = 1, column = 4"},
      {"<a>&bad;</a>", "undefined entity, line = 1, column = 3"},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.doc);
      ReaderHolder holder;
      RecordingHandler handler;
      holder.reader->setContentHandler(&handler);
      try {
         parseText(holder.reader, c.doc);
         ADD_FAILURE() << "no exception";
      } catch (OSRTSAXExceptionImpl& e) {
         ASSERT_NE(e.getMessage(), nullptr);
         EXPECT_STREQ(e.getMessage(), c.message);
         EXPECT_EQ(e.getStatus(), 0);
         EXPECT_EQ(e.getSrcFileName(), nullptr);
         EXPECT_EQ(e.getSrcLineNum(), 0);
      }
   }
}

TEST(ExpatReader, ParseFailureMessageIsCutTo255Characters) {
   char message[256];
   OSExpatXMLReader::formatParseError(message, "mismatched tag", 12, 3);
   EXPECT_STREQ(message, "mismatched tag, line = 12, column = 3");

   const std::string text250(250, 'e');
   OSExpatXMLReader::formatParseError(message, text250.c_str(), 12, 3);
   EXPECT_EQ(std::string(message), text250 + ", lin");

   const std::string text300(300, 'e');
   OSExpatXMLReader::formatParseError(message, text300.c_str(), 1, 0);
   EXPECT_EQ(std::string(message), std::string(255, 'e'));
}

// ---- exceptions thrown by handlers --------------------------------------------

TEST(ExpatReader, HandlerExceptionLeavesParseUnchanged) {
   ReaderHolder holder;
   RecordingHandler handler;
   handler.throwAtStart = "b";
   holder.reader->setContentHandler(&handler);
   try {
      parseText(holder.reader, "<a><b>text</b><c/></a>");
      ADD_FAILURE() << "no exception";
   } catch (OSRTSAXException& e) {
      EXPECT_EQ(e.getStatus(), RTS_XML_STRUCTURE);
      EXPECT_STREQ(e.getSrcFileName(), "gen.cpp");
      EXPECT_EQ(e.getSrcLineNum(), 77);
      EXPECT_EQ(e.getMessage(), nullptr);
   }
   // Nothing reaches the handler after the failure.
   EXPECT_EQ(handler.events, (std::vector<std::string>{"start a", "start b"}));
}

TEST(ExpatReader, ExceptionsOfAnyTypePropagate) {
   ReaderHolder holder;
   RecordingHandler handler;
   handler.throwAtCharacters = true;
   holder.reader->setContentHandler(&handler);
   EXPECT_THROW(parseText(holder.reader, "<a>text</a>"), std::runtime_error);
   EXPECT_EQ(handler.events, (std::vector<std::string>{"start a", "chars text"}));
}

TEST(ExpatReader, HandlerExceptionWinsOverLaterSyntaxError) {
   ReaderHolder holder;
   RecordingHandler handler;
   handler.throwAtEnd = "b";
   holder.reader->setContentHandler(&handler);
   try {
      parseText(holder.reader, "<a><b/></c>");
      ADD_FAILURE() << "no exception";
   } catch (OSRTSAXExceptionImpl& e) {
      EXPECT_EQ(e.getStatus(), RTS_MISSING_ELEMENT);
      EXPECT_EQ(e.getMessage(), nullptr);
   }
}

TEST(ExpatReader, ExceptionAtTheRootEndTagPropagates) {
   ReaderHolder holder;
   RecordingHandler handler;
   handler.throwAtEnd = "a";
   holder.reader->setContentHandler(&handler);
   EXPECT_THROW(parseText(holder.reader, "<a><b/></a>"), OSRTSAXExceptionImpl);
}

// ---- the handler base ------------------------------------------------------------

TEST(SaxDecodeHandler, StartsEmptyAndInitResetsStateAndLevels) {
   ASN1XERSAXDecodeHandler handler;
   EXPECT_EQ(handler.currentState, 0);
   EXPECT_EQ(handler.currentElementID, 0);
   EXPECT_EQ(handler.level, 0);
   EXPECT_EQ(handler.startLevel, 0);
   EXPECT_EQ(handler.elementName, nullptr);
   EXPECT_EQ(handler.errorStatus, 0);

   handler.currentState = 3;
   handler.level = 5;
   handler.currentElementID = 4;
   handler.init(1);
   EXPECT_EQ(handler.currentState, 0);
   EXPECT_EQ(handler.level, 1);
   EXPECT_EQ(handler.startLevel, 1);
   EXPECT_EQ(handler.currentElementID, 4);
}

TEST(SaxDecodeHandler, BaseIgnoresEvents) {
   ASN1XERSAXDecodeHandler handler;
   handler.init(2);
   ReaderHolder holder;
   holder.reader->setContentHandler(&handler);
   EXPECT_NE(parseText(holder.reader, "<a><b>1</b></a>"), 0);
   EXPECT_EQ(handler.currentState, 0);
   EXPECT_EQ(handler.level, 2);
   EXPECT_EQ(handler.errorStatus, 0);
}

TEST(SaxDecodeHandler, ErrorInfoThroughEitherInterface) {
   ASN1XERSAXDecodeHandler handler;
   OSXMLErrorInfo* errorInfo = &handler;
   int status = 1;
   const char* file = "untouched";
   int line = 2;
   EXPECT_EQ(errorInfo->getErrorInfo(&status, &file, &line), 0);

   errorInfo->setErrorInfo(RTS_BAD_ENUM, "seq.cpp", 40);
   EXPECT_EQ(handler.errorStatus, RTS_BAD_ENUM);
   EXPECT_EQ(handler.getErrorInfo(&status, &file, &line), 1);
   EXPECT_EQ(status, RTS_BAD_ENUM);
   EXPECT_STREQ(file, "seq.cpp");
   EXPECT_EQ(line, 40);

   errorInfo->resetErrorInfo();
   status = 1;
   file = "untouched";
   line = 2;
   EXPECT_EQ(errorInfo->getErrorInfo(&status, &file, &line), 0);
   EXPECT_EQ(status, 1);
   EXPECT_STREQ(file, "untouched");
   EXPECT_EQ(line, 2);
}

TEST(SaxDecodeHandler, SettingTheErrorHandlerResetsIt) {
   ASN1XERSAXDecodeHandler handler;
   handler.setErrorInfo(RTS_NOT_FOUND, nullptr, 0);
   ReaderHolder holder;
   holder.reader->setErrorInfoHandler(&handler);
   EXPECT_EQ(handler.errorStatus, 0);
   holder.reader->setErrorInfoHandler(nullptr);
}

// Records which setErrorInfo the base's throwSAXException reaches.
class OverridingHandler : public ASN1XERSAXDecodeHandler {
 public:
   void setErrorInfo(int status, const char* file, int line) override {
      recorded = status;
      ASN1XERSAXDecodeHandler::setErrorInfo(status, file, line);
   }
   int recorded = 0;
};

TEST(SaxDecodeHandler, ThrowSAXExceptionRecordsAndThrows) {
   OverridingHandler handler;
   try {
      handler.throwSAXException(RTS_MISSING_ELEMENT, "seq.cpp", 12);
      ADD_FAILURE() << "no exception";
   } catch (OSRTSAXExceptionImpl& e) {
      EXPECT_EQ(e.getStatus(), RTS_MISSING_ELEMENT);
      EXPECT_STREQ(e.getSrcFileName(), "seq.cpp");
      EXPECT_EQ(e.getSrcLineNum(), 12);
      EXPECT_EQ(e.getMessage(), nullptr);
   }
   EXPECT_EQ(handler.recorded, RTS_MISSING_ELEMENT);
   EXPECT_EQ(handler.errorStatus, RTS_MISSING_ELEMENT);
   EXPECT_EQ(handler.errorLine, 12);
}

// ---- the exception -----------------------------------------------------------

TEST(SaxException, Constructors) {
   OSRTSAXExceptionImpl empty;
   EXPECT_EQ(empty.getMessage(), nullptr);
   EXPECT_EQ(empty.getStatus(), 0);
   EXPECT_EQ(empty.getSrcFileName(), nullptr);
   EXPECT_EQ(empty.getSrcLineNum(), 0);

   char text[] = "broken";
   OSRTSAXExceptionImpl messageOnly(text);
   text[0] = 'X';
   EXPECT_STREQ(messageOnly.getMessage(), "broken");
   EXPECT_EQ(messageOnly.getStatus(), 0);
   EXPECT_EQ(messageOnly.getSrcFileName(), nullptr);

   OSRTSAXExceptionImpl full("msg", -3, "f.cpp", 9);
   EXPECT_STREQ(full.getMessage(), "msg");
   EXPECT_EQ(full.getStatus(), -3);
   EXPECT_STREQ(full.getSrcFileName(), "f.cpp");
   EXPECT_EQ(full.getSrcLineNum(), 9);

   OSRTSAXExceptionImpl statusOnly(-8, "g.cpp", 4);
   EXPECT_EQ(statusOnly.getMessage(), nullptr);
   EXPECT_EQ(statusOnly.getStatus(), -8);
   EXPECT_STREQ(statusOnly.getSrcFileName(), "g.cpp");
   EXPECT_EQ(statusOnly.getSrcLineNum(), 4);
}

TEST(SaxException, CopiesAreDeep) {
   OSRTSAXExceptionImpl* original = new OSRTSAXExceptionImpl("msg", -3, "f.cpp", 9);
   OSRTSAXExceptionImpl copy(*original);
   EXPECT_NE(copy.getMessage(), original->getMessage());
   delete original;
   EXPECT_STREQ(copy.getMessage(), "msg");
   EXPECT_STREQ(copy.getSrcFileName(), "f.cpp");
   EXPECT_EQ(copy.getStatus(), -3);
   EXPECT_EQ(copy.getSrcLineNum(), 9);

   OSRTSAXExceptionImpl target("old", -1, "old.cpp", 1);
   target = copy;
   EXPECT_STREQ(target.getMessage(), "msg");
   EXPECT_STREQ(target.getSrcFileName(), "f.cpp");
   EXPECT_NE(target.getSrcFileName(), copy.getSrcFileName());
   EXPECT_EQ(target.getStatus(), -3);

   OSRTSAXExceptionImpl& self = target;
   target = self;
   EXPECT_STREQ(target.getMessage(), "msg");

   OSRTSAXExceptionImpl cleared(-5, nullptr, 0);
   target = cleared;
   EXPECT_EQ(target.getMessage(), nullptr);
   EXPECT_EQ(target.getSrcFileName(), nullptr);
}

TEST(SaxException, FactoriesMakeHeapObjects) {
   OSRTSAXException* empty = createSAXException();
   EXPECT_EQ(empty->getMessage(), nullptr);
   EXPECT_EQ(empty->getStatus(), 0);
   delete empty;

   OSRTSAXException* full = createSAXException("m", -35, "h.cpp", 3);
   EXPECT_STREQ(full->getMessage(), "m");
   EXPECT_EQ(full->getStatus(), -35);
   EXPECT_STREQ(full->getSrcFileName(), "h.cpp");
   EXPECT_EQ(full->getSrcLineNum(), 3);
   delete full;
}

// ---- string helpers ------------------------------------------------------------

const unsigned short kWide[] = {0x41, 0xE9, 0x20AC, 0};

TEST(XmlString, LengthsAndCopies) {
   EXPECT_EQ(OSXMLString::zeroLenString(), nullptr);
   EXPECT_EQ(OSXMLString::stringLen("abc"), 3);
   EXPECT_EQ(OSXMLString::stringLen(static_cast<const char*>(nullptr)), 0);
   EXPECT_EQ(OSXMLString::stringLen(kWide), 3);
   EXPECT_EQ(OSXMLString::stringLen(static_cast<const unsigned short*>(nullptr)), 0);

   const char source[] = "name";
   char* copy = OSXMLString::replicate(source);
   EXPECT_STREQ(copy, "name");
   EXPECT_NE(copy, source);
   delete[] copy;
   EXPECT_EQ(OSXMLString::replicate(nullptr), nullptr);

   char* narrow = OSXMLString::transcode(source);
   EXPECT_STREQ(narrow, "name");
   delete[] narrow;
   char* fromWide = OSXMLString::transcode(kWide);
   EXPECT_EQ(std::string(fromWide), "A\xE9\xAC");
   delete[] fromWide;
   EXPECT_EQ(OSXMLString::transcode(static_cast<const unsigned short*>(nullptr)), nullptr);

   StrX name("Extension");
   EXPECT_STREQ(name.localForm(), "Extension");
   StrX none(nullptr);
   EXPECT_EQ(none.localForm(), nullptr);
}

TEST(XmlString, CompareString) {
   struct Case {
      const char* a;
      const char* b;
      int result;
   };
   const Case cases[] = {
      {"abc", "abc", 0},     {"abd", "abc", 1},       {"ab", "abc", -'c'},
      {"abc", "ab", 'c'},    {nullptr, "abc", -3},    {"abc", nullptr, 3},
      {nullptr, nullptr, 0}, {"\xFF", "a", 0xFF - 'a'}, {"", "", 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.a ? c.a : "(null)") + " vs " + (c.b ? c.b : "(null)"));
      EXPECT_EQ(OSXMLString::compareString(c.a, c.b), c.result);
   }
}

TEST(XmlString, CatStringAppendsWhatFits) {
   char dst[8] = "abc";
   EXPECT_EQ(OSXMLString::catString(dst, 8, "de"), dst);
   EXPECT_STREQ(dst, "abcde");
   EXPECT_EQ(OSXMLString::catString(dst, 8, "fghij"), dst);
   EXPECT_STREQ(dst, "abcdefg");
   EXPECT_EQ(OSXMLString::catString(dst, 8, "h"), nullptr);
   EXPECT_STREQ(dst, "abcdefg");
   EXPECT_EQ(OSXMLString::catString(dst, 8, ""), dst);
   EXPECT_EQ(OSXMLString::catString(nullptr, 8, "x"), nullptr);

   char wide[6] = "x";
   EXPECT_EQ(OSXMLString::catString(wide, 6, kWide), wide);
   EXPECT_EQ(std::string(wide), "xA\xE9\xAC");
}

TEST(XmlString, Utf8Length) {
   const unsigned char text[] = "A\xE2\x82\xAC\xC3\xA9";
   EXPECT_EQ(OSXMLString::stringUTF8Len(text, 0), 3);
   EXPECT_EQ(OSXMLString::stringUTF8Len(text, 4), 2);
   EXPECT_EQ(OSXMLString::stringUTF8Len(text, 1), 1);
   const unsigned char six[] = "\xFC\x84\x80\x80\x80\x80z";
   EXPECT_EQ(OSXMLString::stringUTF8Len(six, 0), 2);
   const unsigned char cut[] = "a\xE2";
   EXPECT_EQ(OSXMLString::stringUTF8Len(cut, 0), 2);
   const unsigned char bad1[] = "a\xFF";
   const unsigned char bad2[] = "\x80";
   EXPECT_EQ(OSXMLString::stringUTF8Len(bad1, 0), -1);
   EXPECT_EQ(OSXMLString::stringUTF8Len(bad2, 0), -1);
   EXPECT_EQ(OSXMLString::stringUTF8Len(nullptr, 0), 0);
}

TEST(XmlString, Utf8To16BitUnits) {
   const unsigned char text[] = "A\xC3\xA9\xE2\x82\xAC";
   unsigned short buf[4] = {9, 9, 9, 9};
   int length = 0;
   unsigned short* out = OSXMLString::transUTF8(text, &length, buf, 4);
   EXPECT_EQ(out, buf);
   EXPECT_EQ(length, 3);
   EXPECT_EQ(std::vector<unsigned short>(buf, buf + 4),
             (std::vector<unsigned short>{0x41, 0xE9, 0x20AC, 0}));

   length = 0;
   out = OSXMLString::transUTF8(text, &length, buf, 3);
   ASSERT_NE(out, buf);
   EXPECT_EQ(length, 3);
   EXPECT_EQ(std::vector<unsigned short>(out, out + 4),
             (std::vector<unsigned short>{0x41, 0xE9, 0x20AC, 0}));
   delete[] out;

   length = 3;
   out = OSXMLString::safeTranscode(reinterpret_cast<const char*>(text), &length, buf, 4);
   EXPECT_EQ(out, buf);
   EXPECT_EQ(length, 2);
   EXPECT_EQ(buf[1], 0xE9);
   EXPECT_EQ(buf[2], 0);

   const unsigned char bad[] = "a\xC3(";
   length = 0;
   EXPECT_EQ(OSXMLString::transUTF8(bad, &length, buf, 4), nullptr);
}

TEST(XmlString, SixteenBitUnitsToUtf8) {
   char buf[8];
   int length = 0;
   char* out = OSXMLString::safeTranscode(kWide, &length, buf, 7);
   EXPECT_EQ(out, buf);
   EXPECT_EQ(length, 6);
   EXPECT_EQ(std::string(buf), "A\xC3\xA9\xE2\x82\xAC");

   length = 0;
   out = OSXMLString::safeTranscode(kWide, &length, buf, 6);
   ASSERT_NE(out, buf);
   EXPECT_EQ(length, 6);
   EXPECT_EQ(std::string(out), "A\xC3\xA9\xE2\x82\xAC");
   delete[] out;

   length = 2;
   out = OSXMLString::safeTranscode(kWide, &length, buf, 8);
   EXPECT_EQ(length, 3);
   EXPECT_EQ(std::string(out), "A\xC3\xA9");
}

}
