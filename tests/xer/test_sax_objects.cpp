// The SAX bridge pieces that sit on the object layer: the reader factory
// drives a handler through a whole document, and finalizeMemBuf hands the
// collected text of an element to the value decoders.
#include <gtest/gtest.h>

#include <string>

#include "asn1CppTypes.h"
#include "rtMemHeap.h"
#include "saxReader.h"
#include "xerBuffers.h"
#include "xerDecode.h"

namespace {

// Collects the character data of every <n> element and decodes it as an
// INTEGER when the element closes, the way a generated component does.
class NumberCollector : public ASN1XERSAXDecodeHandler {
 public:
   explicit NumberCollector(ASN1XERDecodeBuffer& buffer) : mBuffer(buffer) {
      rtMemBufInit(buffer.getCtxtPtr(), &mText, 1024);
   }
   ~NumberCollector() override { rtMemBufFree(&mText); }

   void startElement(const char*, const char* localName, const char*, const char* const*) override {
      if (std::string(localName) == "n") rtMemBufReset(&mText);
      ++level;
   }
   void characters(const char* chars, unsigned int length) override {
      if (level == 2) rtMemBufAppend(&mText, reinterpret_cast<const ASN1OCTET*>(chars), length);
   }
   void endElement(const char*, const char* localName, const char*) override {
      --level;
      if (std::string(localName) != "n") return;
      ASN1CTXT* pctxt = finalizeMemBuf(&mBuffer, mText);
      texts.emplace_back(reinterpret_cast<const char*>(pctxt->buffer.data), pctxt->buffer.size);
      terminated.push_back(pctxt->buffer.data[pctxt->buffer.size] == 0);
      ASN1INT value = 0;
      statuses.push_back(xerDecInt(pctxt, &value));
      values.push_back(value);
   }

   std::vector<std::string> texts;
   std::vector<bool> terminated;
   std::vector<int> statuses;
   std::vector<ASN1INT> values;

 private:
   ASN1XERDecodeBuffer& mBuffer;
   ASN1MemBuf mText;
};

TEST(SaxBridge, ReaderFactoryDrivesHandlerAndFinalizeFeedsDecoders) {
   const std::string xml = "<list><n>\n 42</n><n>-7</n><n>x1</n></list>";
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(xml.data()),
                              static_cast<unsigned>(xml.size()));
   NumberCollector collector(buffer);
   OSXMLReader* reader = saxCreateXmlReader(ASN1CtxtPtr(), &collector, &collector);
   ASSERT_NE(reader, nullptr);
   EXPECT_EQ(reader->parse(xml.data(), static_cast<int>(xml.size())), 1);  // Expat: success
   reader->release();

   EXPECT_EQ(collector.texts, (std::vector<std::string>{"\n 42", "-7", "x1"}));
   EXPECT_EQ(collector.terminated, (std::vector<bool>{true, true, true}));
   EXPECT_EQ(collector.statuses, (std::vector<int>{0, 0, RTS_BAD_DIGIT}));
   EXPECT_EQ(collector.values[0], 42);
   EXPECT_EQ(collector.values[1], -7);
}

}
