// Capture of open-type content from SAX events: the exact text captured for
// nested, empty, escaped and mixed content, the states and levels, and the
// heap sharing that lets the text outlive the capture object.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ASN1CXerOpenType.h"
#include "objects_test_types.h"

namespace {

std::string targetText(const ASN1TOpenType& target) {
   return std::string(reinterpret_cast<const char*>(target.data), target.numocts);
}

// Plays the enclosing SEQUENCE handler: the root element of the document is
// the open-type component. Its start tag creates the capture object, which
// then receives every event inside the component and its end tag.
class ComponentDriver : public OSXMLContentHandler {
 public:
   ComponentDriver(ASN1MessageBufferIF& buffer, ASN1TOpenType& target)
      : mBuffer(buffer), mTarget(target) {}
   ~ComponentDriver() override { delete capture; }

   void startElement(const char* uri, const char* localName, const char* qName,
                     const char* const* attrs) override {
      if (capture == nullptr) {
         capture = new ASN1CXerOpenType(mBuffer, mTarget);
         capture->init(1);
         return;
      }
      capture->startElement(uri, localName, qName, attrs);
   }
   void characters(const char* chars, unsigned int length) override {
      if (capture != nullptr) capture->characters(chars, length);
   }
   void endElement(const char* uri, const char* localName, const char* qName) override {
      capture->endElement(uri, localName, qName);
   }

   // Parses the whole document with Expat.
   void parse(const std::string& document) {
      OSExpatXMLReader reader;
      reader.setContentHandler(this);
      reader.parse(document.data(), static_cast<int>(document.size()));
   }

   ASN1CXerOpenType* capture = nullptr;

 private:
   ASN1MessageBufferIF& mBuffer;
   ASN1TOpenType& mTarget;
};

// Collects a document's events as text, to show that captured text parses.
class EventText : public OSXMLContentHandler {
 public:
   void startElement(const char*, const char* localName, const char*,
                     const char* const*) override {
      text += "[" + std::string(localName) + "]";
   }
   void characters(const char* chars, unsigned int length) override {
      text.append(chars, length);
   }
   void endElement(const char*, const char* localName, const char*) override {
      text += "[/" + std::string(localName) + "]";
   }
   std::string text;
};

std::string reparse(const std::string& fragment) {
   EventText events;
   OSExpatXMLReader reader;
   reader.setContentHandler(&events);
   reader.parse(fragment.data(), static_cast<int>(fragment.size()));
   return events.text;
}

class XerOpenTypeCapture : public HeapCensusTest {};

TEST_F(XerOpenTypeCapture, CapturesExactText) {
   struct Case {
      const char* document;
      const char* captured;
   };
   const Case cases[] = {
      {"<extnValue><BasicConstraintsSyntax><cA><true/></cA></BasicConstraintsSyntax></extnValue>",
       "<BasicConstraintsSyntax><cA><true/></cA></BasicConstraintsSyntax>"},
      {"<parameters><NULL/></parameters>", "<NULL/>"},
      {"<parameters><NULL></NULL></parameters>", "<NULL/>"},
      {"<v><A><B></B></A></v>", "<A><B/></A>"},
      {"<v><X><X></X></X></v>", "<X><X/></X>"},
      {"<v><X/><Y>1</Y></v>", "<X/><Y>1</Y>"},
      {"<v><A form=\"hex\" b='2'>0A</A></v>", "<A>0A</A>"},
      {"<v><N>AT&amp;T</N></v>", "<N>AT&amp;T</N>"},
      {"<v><N>a&lt;b&gt;c</N></v>", "<N>a&lt;b&gt;c</N>"},
      {"<v><N>&lt;N&gt;</N></v>", "<N>&lt;N&gt;</N>"},
      {"<v><N>say \"hi\" &apos;x&apos;</N></v>", "<N>say \"hi\" 'x'</N>"},
      {"<v><N>caf\xC3\xA9</N></v>", "<N>caf\xC3\xA9</N>"},
      // Text between inner elements is kept; text after the last one is
      // captured but not counted in the target.
      {"<v>\n   <A>1</A>\n   <B>2</B>\n</v>", "\n   <A>1</A>\n   <B>2</B>"},
      {"<v><A>1</A>tail</v>", "<A>1</A>"},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.document);
      ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
      ASN1TOpenType target{};
      {
         ComponentDriver driver(buffer, target);
         driver.parse(c.document);
      }
      EXPECT_EQ(targetText(target), c.captured);
      // The text lives in the message heap, not with the value.
      EXPECT_EQ(target.flags, *c.captured != '\0' ? ASN1OPENTYPE_BORROWED : 0u);
   }
}

TEST_F(XerOpenTypeCapture, TextOnlyContentLeavesTheTargetEmpty) {
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ASN1TOpenType target{};
   const size_t blocksBefore = liveBlocks();
   {
      ComponentDriver driver(buffer, target);
      driver.parse("<extnValue>30030101FF</extnValue>");
   }
   EXPECT_EQ(target.numocts, 0u);
   EXPECT_EQ(target.data, nullptr);
   // The unused capture buffer went with the capture object.
   EXPECT_EQ(liveBlocks(), blocksBefore);
}

TEST_F(XerOpenTypeCapture, EscapedTextParsesAgainToTheSameCharacters) {
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ASN1TOpenType target{};
   {
      ComponentDriver driver(buffer, target);
      driver.parse("<v><Name><o>AT&amp;T &lt;R&amp;D&gt;</o><c>1 &gt; 0</c></Name></v>");
   }
   EXPECT_EQ(targetText(target), "<Name><o>AT&amp;T &lt;R&amp;D&gt;</o><c>1 &gt; 0</c></Name>");
   EXPECT_EQ(reparse(targetText(target)), "[Name][o]AT&T <R&D>[/o][c]1 > 0[/c][/Name]");
}

TEST_F(XerOpenTypeCapture, TextOutlivesTheCaptureObjectInTheMessageHeap) {
   ASN1XERDecodeBuffer* buffer = new ASN1XERDecodeBuffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ASN1Context* context = buffer->getContext();
   ASN1TOpenType target{};
   ComponentDriver* driver = new ComponentDriver(*buffer, target);
   driver->parse("<v><A>1</A></v>");
   EXPECT_EQ(context->getRefCount(), 2u); // the buffer and the capture object
   delete driver;
   EXPECT_EQ(context->getRefCount(), 1u);
   EXPECT_TRUE(HeapCensus::holds(target.data));
   EXPECT_EQ(targetText(target), "<A>1</A>");
   delete buffer;
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(XerOpenTypeCapture, BufferGoesBeforeTheCaptureObject) {
   ASN1XERDecodeBuffer* buffer = new ASN1XERDecodeBuffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ASN1TOpenType target{};
   ASN1CXerOpenType* capture = new ASN1CXerOpenType(*buffer, target);
   capture->init(1);
   delete buffer;
   capture->startElement(nullptr, "A", "A", nullptr);
   capture->endElement(nullptr, "A", "A");
   EXPECT_EQ(targetText(target), "<A/>");
   EXPECT_EQ(capture->getContext()->getRefCount(), 2u); // the capture object and the temporary
   delete capture;
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(XerOpenTypeCapture, LongContentGrowsTheBufferAndTheTargetFollows) {
   const std::string longText(40000, 'x');
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ASN1TOpenType target{};
   {
      ComponentDriver driver(buffer, target);
      driver.parse("<v><A>" + longText + "</A><B/>" + longText + longText + "</v>");
   }
   // Trailing text moved the buffer twice after the last inner element; the
   // target points at the moved text, still of the length counted then.
   EXPECT_EQ(targetText(target), "<A>" + longText + "</A><B/>");
   EXPECT_TRUE(HeapCensus::holds(target.data + target.numocts - 1));
}

TEST_F(XerOpenTypeCapture, WriteFailureIsThrownAsSaxException) {
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ASN1TOpenType target{};
   ASN1CXerOpenType capture(buffer, target);
   capture.init(1);
   capture.startElement(nullptr, "A", "A", nullptr);
   // The 1024-byte capture buffer must grow for this text, and cannot.
   HeapCensus::allowed = 0;
   const std::string text(2000, 'x');
   try {
      capture.characters(text.data(), static_cast<unsigned>(text.size()));
      FAIL() << "a failed write must throw";
   } catch (OSRTSAXException& e) {
      EXPECT_EQ(e.getStatus(), RTS_NO_MEMORY);
   }
   HeapCensus::allowed = -1;
   int status = 0;
   EXPECT_EQ(capture.getErrorInfo(&status, nullptr, nullptr), 1);
   EXPECT_EQ(status, RTS_NO_MEMORY);
}

TEST_F(XerOpenTypeCapture, OwnContextVariantKeepsTheTextWithItsContext) {
   ASN1TOpenType target{};
   ASN1CXerOpenType* capture = new ASN1CXerOpenType(target);
   ASN1CtxtPtr kept = capture->getContext();
   capture->init(1);
   capture->startElement(nullptr, "Z", "Z", nullptr);
   capture->characters("9", 1);
   capture->endElement(nullptr, "Z", "Z");
   delete capture;
   EXPECT_EQ(targetText(target), "<Z>9</Z>");
   EXPECT_TRUE(HeapCensus::holds(target.data));
   kept = nullptr;
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(XerOpenTypeCapture, TableConstrainedRecordIsFilledTheSameWay) {
   // The table-constrained open type: count, data, flags, decoded value.
   struct ObjectRecord {
      ASN1UINT numocts;
      const ASN1OCTET* data;
      ASN1UINT flags;
      void* decoded;
   };
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ObjectRecord record = {0, nullptr, 0, nullptr};
   {
      ASN1CXerOpenType capture(buffer, record);
      capture.init(1);
      capture.startElement(nullptr, "NULL", "NULL", nullptr);
      capture.endElement(nullptr, "NULL", "NULL");
   }
   EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data), record.numocts), "<NULL/>");
   EXPECT_EQ(record.flags, ASN1OPENTYPE_BORROWED);
   EXPECT_EQ(record.decoded, nullptr);
}

TEST_F(XerOpenTypeCapture, StatesAndLevels) {
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ASN1TOpenType target{};
   ASN1CXerOpenType capture(buffer, target);
   EXPECT_EQ(capture.elementName, nullptr);
   capture.init(1);
   capture.startElement(nullptr, "A", "A", nullptr);
   EXPECT_EQ(capture.currentState, 1);
   EXPECT_EQ(capture.level, 2);
   capture.characters("t", 1);
   EXPECT_EQ(capture.currentState, 2);
   EXPECT_EQ(target.numocts, 0u); // nothing stored before an inner element closes
   capture.endElement(nullptr, "A", "A");
   EXPECT_EQ(capture.level, 1);
   EXPECT_EQ(targetText(target), "<A>t</A>");
   // The component's own end tag changes nothing.
   capture.endElement(nullptr, "v", "v");
   EXPECT_EQ(capture.level, 1);
   EXPECT_EQ(capture.currentState, 2);
   EXPECT_EQ(targetText(target), "<A>t</A>");

   // Started below the component, the capture completes when its level
   // comes back to 0.
   capture.init(0);
   capture.startElement(nullptr, "B", "B", nullptr);
   capture.endElement(nullptr, "B", "B");
   EXPECT_EQ(capture.level, 0);
   EXPECT_EQ(capture.currentState, 3);
   EXPECT_EQ(targetText(target), "<A>t</A><B/>");
}

TEST_F(XerOpenTypeCapture, IsEmptyElementOnlyCollapsesTheMatchingStartTag) {
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ASN1TOpenType target{};
   ASN1CXerOpenType capture(buffer, target);
   capture.init(1);
   EXPECT_EQ(capture.isEmptyElement("A"), 0); // nothing written yet
   capture.startElement(nullptr, "AB", "AB", nullptr);
   EXPECT_EQ(capture.isEmptyElement("B"), 0);
   EXPECT_EQ(capture.isEmptyElement("XAB"), 0);
   EXPECT_EQ(capture.isEmptyElement("AB"), 1);
   EXPECT_EQ(capture.isEmptyElement("AB"), 0); // already collapsed
   capture.endElement(nullptr, "C", "C");
   EXPECT_EQ(targetText(target), "<AB/></C>");
}

}
