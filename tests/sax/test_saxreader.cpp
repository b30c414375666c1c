// The reader over Expat: the cases of saxreader_cases.txt (document ->
// events and parser message with line and column, or handler exception),
// then the decode handler base, the exception and the string helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ASN1XERSAXDecodeHandler.h"
#include "ExpatMemory.h"
#include "OSExpatXMLReader.h"
#include "OSXMLString.h"
#include "case_file.h"

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
      if (throwAt == "end " + std::string(localName))
         throw OSRTSAXExceptionImpl(RTS_MISSING_ELEMENT, nullptr, 0);
   }
   void record(const std::string& event) {
      events += "|" + event;
      inCharacters = false;
   }

   std::string events, throwAt;
   bool inCharacters = false;
};

const unsigned char* utf8(const char* text) { return reinterpret_cast<const unsigned char*>(text); }

// How a parse ended: "ok", or the exception's status, source and message.
std::string parse(OSXMLContentHandler* handler, const std::string& text) {
   OSXMLReader* reader = new OSExpatXMLReader();
   if (handler != nullptr) reader->setContentHandler(handler);
   std::string outcome;
   try {
      outcome = reader->parse(text.data(), static_cast<int>(text.size())) != 0 ? "ok" : "failed";
   } catch (OSRTSAXException& e) {
      outcome = "status " + std::to_string(e.getStatus()) + " at " +
                (e.getSrcFileName() ? e.getSrcFileName() : "") + ":" +
                std::to_string(e.getSrcLineNum()) +
                (e.getMessage() ? std::string(": ") + e.getMessage() : "");
   } catch (std::runtime_error& e) {
      outcome = e.what();
   }
   reader->release();
   return outcome;
}

TEST(ExpatReader, CaseFile) {
   casefile::forEach("sax/saxreader_cases.txt", [&](const casefile::Case& c) {
      const casefile::Words& w = c.steps[0];
      auto text = [&](size_t i) { return w[i] == "~" ? nullptr : w[i].c_str(); };
      if (w[0] == "compare" || w[0] == "utf8len") {
         const int result = w[0] == "compare"
                                ? OSXMLString::compareString(text(1), text(2))
                                : OSXMLString::stringUTF8Len(utf8(text(1)), std::stoi(w[2]));
         EXPECT_EQ(std::to_string(result), c.expected.at(0));
         return;
      }
      RecordingHandler handler;
      handler.throwAt = c.steps[0].size() > 1 ? c.steps[0][1] : "";
      EXPECT_EQ(parse(&handler, c.steps[0][0]), c.expected.at(1));
      EXPECT_EQ(handler.events, c.expected.at(0));
   });
   EXPECT_EQ(parse(nullptr, "<a><b>text</b></a>"), "ok") << "no content handler";
}

// Readers take their parsers from a pool; readers in several threads at
// once each get a parser of their own.
TEST(ExpatReader, ReadersInSeveralThreadsAtOnce) {
   std::atomic<int> wrong{0};
   std::vector<std::thread> threads;
   for (int t = 0; t < 4; t++)
      threads.emplace_back([&wrong] {
         for (int i = 0; i < 300; i++) {
            RecordingHandler handler;
            if (parse(&handler, "<a><b>x</b><c/></a>") != "ok" ||
                handler.events != "|start a|start b|chars x|end b|start c|end c|end a")
               wrong++;
         }
      });
   for (std::thread& thread : threads) thread.join();
   EXPECT_EQ(wrong.load(), 0);
}

// The parsers' memory: a small block given back comes out again for a size
// of its class; a block keeps its contents while it grows and shrinks
// across the kept sizes and beyond them. Run in a thread of its own, whose
// parsers it would otherwise serve.
TEST(ExpatMemory, BlocksAreKeptBySizeAndKeepTheirContents) {
   std::thread([] {
      ExpatMemory memory;
      const XML_Memory_Handling_Suite& m = *ExpatMemory::suite();
      void* kept = m.malloc_fcn(40);
      m.free_fcn(kept);
      void* again = m.malloc_fcn(33);
      void* other = m.malloc_fcn(33);
      EXPECT_EQ(again, kept) << "48-octet class";
      EXPECT_NE(other, kept);
      m.free_fcn(again);
      m.free_fcn(other);
      void* block = m.malloc_fcn(8);
      std::memset(block, 'a', 8);
      std::string expected(8, 'a');
      for (size_t size : {16, 200, 256, 300, 5000, 40000, 600, 100, 1}) {
         block = m.realloc_fcn(block, size);
         ASSERT_NE(block, nullptr);
         expected.resize(std::min(expected.size(), size));
         EXPECT_EQ(std::string(static_cast<char*>(block), expected.size()), expected) << size;
         std::memset(block, 'a' + static_cast<int>(size % 26), size);
         expected.assign(size, static_cast<char>('a' + size % 26));
      }
      m.free_fcn(block);
   }).join();
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

/* The handler base records a failure it throws; a reader it is given starts it afresh. */
TEST(SaxDecodeHandler, FailuresRecordedAndThrown) {
   ASN1XERSAXDecodeHandler handler;
   int status = 0, line = 0;
   const char* file = nullptr;
   EXPECT_THROW(handler.throwSAXException(RTS_MISSING_ELEMENT, "seq.cpp", 12),
                OSRTSAXExceptionImpl);
   EXPECT_EQ(handler.getErrorInfo(&status, &file, &line), 1);
   EXPECT_EQ(std::to_string(status) + file + std::to_string(line), "-8seq.cpp12");
   OSXMLReader* reader = new OSExpatXMLReader();
   reader->setErrorInfoHandler(&handler);
   EXPECT_EQ(handler.getErrorInfo(&status, &file, &line), 0);
   reader->release();
}

const unsigned short kWide[] = {0x41, 0xE9, 0x20AC, 0};

/* Concatenation keeps to the capacity; conversions write into the caller's
   array when it has room, else into a new one. */
TEST(XmlString, ConcatenationAndConversions) {
   char dst[8] = "abc", wide[6] = "x", narrow[8];
   EXPECT_EQ(OSXMLString::catString(dst, 8, "fghij"), dst);
   EXPECT_EQ(OSXMLString::catString(dst, 8, "h"), nullptr);
   EXPECT_EQ(OSXMLString::catString(wide, 6, kWide), wide);
   EXPECT_EQ(std::string(dst) + "|" + wide, "abcfghi|xA\xE9\xAC");
   for (int room : {4, 3}) {
      unsigned short buf[4] = {9, 9, 9, 9};
      int length = 0;
      unsigned short* out =
          OSXMLString::transUTF8(utf8("A\xC3\xA9\xE2\x82\xAC"), &length, buf, room);
      EXPECT_EQ(out == buf, room == 4);
      EXPECT_EQ(std::vector<unsigned short>(out, out + 4),
                std::vector<unsigned short>(kWide, kWide + 4));
      if (out != buf) delete[] out;
      length = 0;
      char* back = OSXMLString::safeTranscode(kWide, &length, narrow, room + 3);
      EXPECT_EQ(back == narrow, room == 4);
      EXPECT_EQ(std::string(back) + " " + std::to_string(length), "A\xC3\xA9\xE2\x82\xAC 6");
      if (back != narrow) delete[] back;
   }
   int length = 2;
   EXPECT_EQ(std::string(OSXMLString::safeTranscode(kWide, &length, narrow, 8)), "A\xC3\xA9")
       << "2 units";
   EXPECT_EQ(OSXMLString::transUTF8(utf8("a\xC3("), &length, nullptr, 0), nullptr);
}

}
