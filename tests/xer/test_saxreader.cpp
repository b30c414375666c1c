// The reader over Expat (events, parser messages with line and column,
// exceptions from handlers), the decode handler base, the decode exception
// and the string helpers of the XML reader path.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "saxReader.h"

namespace {

// Records every event as text (adjacent character data joined), and throws
// at the event named in throwAt.
class RecordingHandler : public OSXMLContentHandler {
public:
   void startElement(const char* uri, const char* localName, const char* qName,
                     const char* const* attrs) override {
      EXPECT_EQ(uri, nullptr);
      EXPECT_EQ(localName, qName);
      record("start " + std::string(localName));
      for (int i = 0; attrs != nullptr && attrs[i] != nullptr; i += 2)
         events += std::string(" ") + attrs[i] + "=" + attrs[i + 1];
      if (throwAt == "start " + std::string(localName))
         throw OSRTSAXExceptionImpl(RTS_XML_STRUCTURE, "gen.cpp", 77);
   }
   void characters(const char* chars, unsigned int length) override {
      if (!inCharacters) record("chars ");
      inCharacters = true;
      events.append(chars, length);
      if (throwAt == "chars") throw std::runtime_error("handler gave up");
   }
   void endElement(const char*, const char* localName, const char*) override {
      record("end " + std::string(localName));
      if (throwAt == "end " + std::string(localName)) throw OSRTSAXExceptionImpl(RTS_MISSING_ELEMENT, nullptr, 0);
   }
   void record(const std::string& event) {
      events += "|" + event;
      inCharacters = false;
   }

   std::string events, throwAt;
   bool inCharacters = false;
};

// How a parse ended: "ok", or the exception's status, source and message.
std::string parse(OSXMLContentHandler* handler, const std::string& text) {
   OSXMLReader* reader = new OSExpatXMLReader();
   if (handler != nullptr) reader->setContentHandler(handler);
   std::string outcome;
   try {
      outcome = reader->parse(text.data(), static_cast<int>(text.size())) != 0 ? "ok" : "failed";
   } catch (OSRTSAXException& e) {
      outcome = "status " + std::to_string(e.getStatus()) + " at " +
                (e.getSrcFileName() ? e.getSrcFileName() : "") + ":" + std::to_string(e.getSrcLineNum()) +
                (e.getMessage() ? std::string(": ") + e.getMessage() : "");
   } catch (std::runtime_error& e) {
      outcome = e.what();
   }
   reader->release();
   return outcome;
}

TEST(ExpatReader, EventsMessagesAndHandlerExceptions) {
   const struct {
      const char* document;
      const char* throwAt;
      const char* events;
      const char* outcome;
   } cases[] = {
      {"<a><b>x</b><c/>y</a>", "", "|start a|start b|chars x|end b|start c|end c|chars y|end a", "ok"},
      {"<a k='v' m=\"n\"/>", "", "|start a k=v m=n|end a", "ok"},
      {"<a>x&amp;y&lt;z</a>", "", "|start a|chars x&y<z|end a", "ok"},
      {"<a><b></a>", "", "|start a|start b", "status 0 at :0: mismatched tag, line = 1, column = 8"},
      {"<a>\n  <b>\n</a>", "", "|start a|chars \n  |start b|chars \n",
       "status 0 at :0: mismatched tag, line = 3, column = 2"},
      {"<a>", "", "|start a", "status 0 at :0: no element found, line = 1, column = 3"},
      {"", "", "", "status 0 at :0: no element found, line = 1, column = 0"},
      {"<a/><b/>", "", "|start a|end a", "status 0 at :0: junk after document element, line = 1, column = 4"},
      {"<a>&bad;</a>", "", "|start a", "status 0 at :0: undefined entity, line = 1, column = 3"},
      /* Nothing reaches the handler after its exception, which wins over a
         later syntax error and leaves the parse unchanged. */
      {"<a><b>text</b><c/></a>", "start b", "|start a|start b", "status -35 at gen.cpp:77"},
      {"<a>text</a>", "chars", "|start a|chars text", "handler gave up"},
      {"<a><b/></c>", "end b", "|start a|start b|end b", "status -8 at :0"},
      {"<a><b/></a>", "end a", "|start a|start b|end b|end a", "status -8 at :0"},
   };
   for (const auto& c : cases) {
      SCOPED_TRACE(c.document);
      RecordingHandler handler;
      handler.throwAt = c.throwAt;
      EXPECT_EQ(parse(&handler, c.document), c.outcome);
      EXPECT_EQ(handler.events, c.events);
   }
   EXPECT_EQ(parse(nullptr, "<a><b>text</b></a>"), "ok");
}

TEST(ExpatReader, ParseFailureMessageIsCutTo255Characters) {
   char message[256];
   OSExpatXMLReader::formatParseError(message, "mismatched tag", 12, 3);
   EXPECT_STREQ(message, "mismatched tag, line = 12, column = 3");
   OSExpatXMLReader::formatParseError(message, std::string(250, 'e').c_str(), 12, 3);
   EXPECT_EQ(std::string(message), std::string(250, 'e') + ", lin");
   OSExpatXMLReader::formatParseError(message, std::string(300, 'e').c_str(), 1, 0);
   EXPECT_EQ(std::string(message), std::string(255, 'e'));
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

TEST(SaxDecodeHandler, StateErrorInfoAndThrow) {
   OverridingHandler handler;
   handler.currentState = 3;
   handler.init(2);
   EXPECT_EQ(handler.currentState, 0);
   EXPECT_EQ(handler.level, 2);
   EXPECT_EQ(parse(&handler, "<a><b>1</b></a>"), "ok") << "the base ignores events";
   EXPECT_EQ(handler.level, 2);

   int status = 1, line = 2;
   const char* file = "untouched";
   EXPECT_EQ(handler.getErrorInfo(&status, &file, &line), 0);
   try {
      handler.throwSAXException(RTS_MISSING_ELEMENT, "seq.cpp", 12);
      ADD_FAILURE() << "no exception";
   } catch (OSRTSAXExceptionImpl& e) {
      EXPECT_EQ(e.getStatus(), RTS_MISSING_ELEMENT);
      EXPECT_STREQ(e.getSrcFileName(), "seq.cpp");
      EXPECT_EQ(e.getSrcLineNum(), 12);
   }
   EXPECT_EQ(handler.recorded, RTS_MISSING_ELEMENT);
   EXPECT_EQ(static_cast<OSXMLErrorInfo&>(handler).getErrorInfo(&status, &file, &line), 1);
   EXPECT_EQ(status, RTS_MISSING_ELEMENT);
   EXPECT_STREQ(file, "seq.cpp");
   EXPECT_EQ(line, 12);

   OSXMLReader* reader = new OSExpatXMLReader();
   reader->setErrorInfoHandler(&handler);
   EXPECT_EQ(handler.errorStatus, 0) << "a reader resets the handler it is given";
   reader->release();
   handler.setErrorInfo(RTS_BAD_ENUM, "x.cpp", 1);
   handler.resetErrorInfo();
   EXPECT_EQ(handler.getErrorInfo(&status, &file, &line), 0);
}

TEST(SaxException, ConstructorsCopiesAndFactories) {
   char text[] = "broken";
   OSRTSAXExceptionImpl messageOnly(text);
   text[0] = 'X';
   EXPECT_STREQ(messageOnly.getMessage(), "broken");
   OSRTSAXExceptionImpl* original = new OSRTSAXExceptionImpl("msg", -3, "f.cpp", 9);
   OSRTSAXExceptionImpl copy(*original);
   delete original;
   EXPECT_STREQ(copy.getMessage(), "msg");
   EXPECT_STREQ(copy.getSrcFileName(), "f.cpp");
   EXPECT_EQ(copy.getStatus(), -3);
   EXPECT_EQ(copy.getSrcLineNum(), 9);
   OSRTSAXExceptionImpl target("old", -1, "old.cpp", 1);
   target = copy;
   OSRTSAXExceptionImpl& self = target;
   target = self;
   EXPECT_STREQ(target.getMessage(), "msg");
   EXPECT_STREQ(target.getSrcFileName(), "f.cpp");
   EXPECT_NE(target.getSrcFileName(), copy.getSrcFileName());
   target = OSRTSAXExceptionImpl(-5, nullptr, 0);
   EXPECT_EQ(target.getMessage(), nullptr);
   EXPECT_EQ(target.getSrcFileName(), nullptr);
   OSRTSAXException* made = createSAXException("m", -35, "h.cpp", 3);
   EXPECT_STREQ(made->getMessage(), "m");
   EXPECT_EQ(made->getStatus(), -35);
   delete made;
   made = createSAXException();
   EXPECT_EQ(made->getMessage(), nullptr);
   delete made;
}

const unsigned short kWide[] = {0x41, 0xE9, 0x20AC, 0};

TEST(XmlString, LengthsCopiesAndComparison) {
   EXPECT_EQ(OSXMLString::stringLen("abc"), 3);
   EXPECT_EQ(OSXMLString::stringLen(static_cast<const char*>(nullptr)), 0);
   EXPECT_EQ(OSXMLString::stringLen(kWide), 3);
   char* copy = OSXMLString::replicate("name");
   EXPECT_STREQ(copy, "name");
   delete[] copy;
   EXPECT_EQ(OSXMLString::replicate(nullptr), nullptr);
   char* narrow = OSXMLString::transcode(kWide);
   EXPECT_EQ(std::string(narrow), "A\xE9\xAC");
   delete[] narrow;
   EXPECT_STREQ(StrX("Extension").localForm(), "Extension");
   const struct {
      const char *a, *b;
      int result;
   } cases[] = {
      {"abc", "abc", 0},    {"abd", "abc", 1},    {"ab", "abc", -'c'},   {"abc", "ab", 'c'},        {nullptr, "abc", -3},
      {"abc", nullptr, 3}, {nullptr, nullptr, 0}, {"\xFF", "a", 0xFF - 'a'}, {"", "", 0},
   };
   for (const auto& c : cases) EXPECT_EQ(OSXMLString::compareString(c.a, c.b), c.result) << (c.a ? c.a : "null");

   char dst[8] = "abc";
   EXPECT_EQ(OSXMLString::catString(dst, 8, "de"), dst);
   EXPECT_EQ(OSXMLString::catString(dst, 8, "fghij"), dst);
   EXPECT_STREQ(dst, "abcdefg") << "what fits";
   EXPECT_EQ(OSXMLString::catString(dst, 8, "h"), nullptr);
   EXPECT_EQ(OSXMLString::catString(nullptr, 8, "x"), nullptr);
   char wide[6] = "x";
   EXPECT_EQ(OSXMLString::catString(wide, 6, kWide), wide);
   EXPECT_EQ(std::string(wide), "xA\xE9\xAC");
}

TEST(XmlString, Utf8Conversions) {
   const unsigned char text[] = "A\xE2\x82\xAC\xC3\xA9";
   EXPECT_EQ(OSXMLString::stringUTF8Len(text, 0), 3);
   EXPECT_EQ(OSXMLString::stringUTF8Len(text, 4), 2);
   EXPECT_EQ(OSXMLString::stringUTF8Len(text, 1), 1);
   EXPECT_EQ(OSXMLString::stringUTF8Len(reinterpret_cast<const unsigned char*>("\xFC\x84\x80\x80\x80\x80z"), 0), 2);
   EXPECT_EQ(OSXMLString::stringUTF8Len(reinterpret_cast<const unsigned char*>("a\xE2"), 0), 2);
   EXPECT_EQ(OSXMLString::stringUTF8Len(reinterpret_cast<const unsigned char*>("a\xFF"), 0), -1);
   EXPECT_EQ(OSXMLString::stringUTF8Len(reinterpret_cast<const unsigned char*>("\x80"), 0), -1);

   const unsigned char utf8[] = "A\xC3\xA9\xE2\x82\xAC";
   const std::vector<unsigned short> units = {0x41, 0xE9, 0x20AC, 0};
   for (int room : {4, 3}) {
      unsigned short buf[4] = {9, 9, 9, 9};
      int length = 0;
      unsigned short* out = OSXMLString::transUTF8(utf8, &length, buf, room);
      EXPECT_EQ(out == buf, room == 4) << "a new array when the caller's has no room";
      EXPECT_EQ(length, 3);
      EXPECT_EQ(std::vector<unsigned short>(out, out + 4), units);
      if (out != buf) delete[] out;
   }
   unsigned short buf[4];
   int length = 3;
   EXPECT_EQ(OSXMLString::safeTranscode(reinterpret_cast<const char*>(utf8), &length, buf, 4), buf);
   EXPECT_EQ(std::vector<unsigned short>(buf, buf + 3), (std::vector<unsigned short>{0x41, 0xE9, 0}));
   EXPECT_EQ(OSXMLString::transUTF8(reinterpret_cast<const unsigned char*>("a\xC3("), &length, buf, 4), nullptr);

   for (int room : {7, 6}) {
      char narrow[8];
      length = 0;
      char* out = OSXMLString::safeTranscode(kWide, &length, narrow, room);
      EXPECT_EQ(out == narrow, room == 7);
      EXPECT_EQ(length, 6);
      EXPECT_EQ(std::string(out), "A\xC3\xA9\xE2\x82\xAC");
      if (out != narrow) delete[] out;
   }
   char narrow[8];
   length = 2;
   EXPECT_EQ(std::string(OSXMLString::safeTranscode(kWide, &length, narrow, 8)), "A\xC3\xA9");
   EXPECT_EQ(length, 3);
}

}
