// Capture of open-type content from SAX events: the cases of
// xeropentype_cases.txt (document -> exact text captured), and the heap
// sharing that lets the text outlive the capture object and its buffer.
#include <gtest/gtest.h>

#include <string>

#include "case_file.h"
#include "ASN1CXerOpenType.h"
#include "ASN1XERDecodeBuffer.h"
#include "OSExpatXMLReader.h"
#include "../objects/objects_test_types.h"

namespace {

std::string targetText(const ASN1TOpenType& target) {
   return std::string(reinterpret_cast<const char*>(target.data), target.numocts);
}

// Plays the enclosing SEQUENCE handler: the root element is the open-type
// component; its start tag creates the capture object, which then receives
// every event inside the component and its end tag.
class ComponentDriver : public OSXMLContentHandler {
public:
  ComponentDriver(ASN1MessageBufferIF& buffer, ASN1TOpenType& target)
      : mBuffer(buffer), mTarget(target) {}
  ~ComponentDriver() override { delete capture; }
  void startElement(const char* uri, const char* name, const char* qName,
                    const char* const* attrs) override {
     if (capture != nullptr) return capture->startElement(uri, name, qName, attrs);
     capture = new ASN1CXerOpenType(mBuffer, mTarget);
     capture->init(1);
   }
   void characters(const char* chars, unsigned int length) override {
      if (capture != nullptr) capture->characters(chars, length);
   }
   void endElement(const char* uri, const char* name, const char* qName) override {
      capture->endElement(uri, name, qName);
   }
   ASN1CXerOpenType* capture = nullptr;

private:
   ASN1MessageBufferIF& mBuffer;
   ASN1TOpenType& mTarget;
};

class XerOpenTypeCapture : public HeapCensusTest {};

TEST_F(XerOpenTypeCapture, CaseFile) {
   casefile::forEach("sax/xeropentype_cases.txt", [&](const casefile::Case& c) {
      const std::string& document = c.steps[0][0];
      const std::string& captured = c.expected.at(0);
      ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
      ASN1TOpenType target{};
      const size_t before = blocks.size();
      {
         ComponentDriver driver(buffer, target);
         OSExpatXMLReader reader;
         reader.setContentHandler(&driver);
         reader.parse(document.data(), static_cast<int>(document.size()));
      }
      EXPECT_EQ(targetText(target), captured);
      EXPECT_EQ(target.flags, captured.empty() ? 0u : ASN1OPENTYPE_BORROWED)
          << "in the message heap";
      EXPECT_TRUE(captured.empty() ? blocks.size() == before
                                   : holds(target.data + target.numocts - 1));
   });
}

TEST_F(XerOpenTypeCapture, TextOutlivesCaptureObjectAndBuffer) {
   ASN1XERDecodeBuffer* buffer = new ASN1XERDecodeBuffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ASN1TOpenType target{};
   ASN1CXerOpenType* capture = new ASN1CXerOpenType(*buffer, target);
   capture->init(0);
   delete buffer;
   capture->startElement(nullptr, "AB", "AB", nullptr);
   EXPECT_EQ(capture->isEmptyElement("B"), 0);
   EXPECT_EQ(capture->isEmptyElement("AB"), 1);
   EXPECT_EQ(capture->isEmptyElement("AB"), 0) << "already collapsed";
   capture->endElement(nullptr, "C", "C");
   EXPECT_EQ(capture->currentState, 3) << "complete when the level comes back to 0";
   ASN1CtxtPtr kept = capture->getContext();
   delete capture;
   EXPECT_EQ(targetText(target), "<AB/></C>");
   EXPECT_TRUE(holds(target.data));
   kept = nullptr;
   EXPECT_EQ(blocks.size(), 0u);
}

TEST_F(XerOpenTypeCapture, WriteFailureIsThrownAsSaxException) {
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(""), 0);
   ASN1TOpenType target{};
   ASN1CXerOpenType capture(buffer, target);
   capture.init(1);
   capture.startElement(nullptr, "A", "A", nullptr);
   allowed = 0; /* the 1024-byte capture buffer cannot grow */
   const std::string text(2000, 'x');
   EXPECT_THROW(capture.characters(text.data(), static_cast<unsigned>(text.size())),
                OSRTSAXException);
   allowed = -1;
   int status = 0;
   EXPECT_EQ(capture.getErrorInfo(&status, nullptr, nullptr), 1);
   EXPECT_EQ(status, RTS_NO_MEMORY);
}

}
