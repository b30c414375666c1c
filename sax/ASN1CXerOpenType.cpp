/*
 * Open-type capture: SAX events back to compact XML text.
 */
#include "ASN1CXerOpenType.h"

#include <cstring>

#include "xerEncode.h"

/* Initial size of the capture buffer; it grows in the message heap. */
static const int kCaptureBufferSize = 1024;

ASN1CXerOpenType::ASN1CXerOpenType(ASN1MessageBufferIF& msgBuf, ASN1TOpenType& target)
   : ASN1CXerOpenType(msgBuf, target.numocts, target.flags, target.data) {}

ASN1CXerOpenType::ASN1CXerOpenType(ASN1TOpenType& target)
   : ASN1CXerOpenType(target.numocts, target.flags, target.data) {}

ASN1CXerOpenType::ASN1CXerOpenType(ASN1MessageBufferIF& msgBuf, ASN1UINT& targetCount,
                                   ASN1UINT& targetFlags, const ASN1OCTET*& targetData)
   : ASN1CType(msgBuf), mTargetCount(targetCount), mTargetFlags(targetFlags),
     mTargetData(targetData),
     mCaptureBuffer(1, msgBuf.getCtxtPtr(), kCaptureBufferSize),
     mpCaptureCtxt(mCaptureBuffer.getCtxtPtr()), mTargetSet(false) {}

ASN1CXerOpenType::ASN1CXerOpenType(ASN1UINT& targetCount, ASN1UINT& targetFlags,
                                   const ASN1OCTET*& targetData)
   : ASN1CType(), mTargetCount(targetCount), mTargetFlags(targetFlags), mTargetData(targetData),
     mCaptureBuffer(1, getCtxtPtr(), kCaptureBufferSize),
     mpCaptureCtxt(mCaptureBuffer.getCtxtPtr()), mTargetSet(false) {}

ASN1CXerOpenType::~ASN1CXerOpenType() {
   /* Detach the text from the capture context so that freeing that context
      does not free it; it goes with the shared message heap. A buffer the
      target never saw is freed with the capture context as usual. */
   if (mTargetSet) {
      mpCaptureCtxt->buffer.data = nullptr;
      mpCaptureCtxt->buffer.size = 0;
   }
}

void ASN1CXerOpenType::check(int stat, int line) {
   if (stat != RTS_OK) throwSAXException(stat, __FILE__, line);
}

void ASN1CXerOpenType::followBuffer() {
   if (mTargetSet) mTargetData = mpCaptureCtxt->buffer.data;
}

void ASN1CXerOpenType::startElement(const char*, const char* localName, const char*,
                                    const char* const*) {
   currentState = 1;
   mpCaptureCtxt->xerState = XERSTATE_START_TAG;
   check(xerCopyText(mpCaptureCtxt, "<"), __LINE__);
   check(xerCopyText2(mpCaptureCtxt, localName, ">"), __LINE__);
   followBuffer();
   level++;
}

/* Replacement of a character that cannot stand raw in character data. */
static const char* escapeOf(char c) {
   switch (c) {
   case '&': return "&amp;";
   case '<': return "&lt;";
   case '>': return "&gt;";
   default: return nullptr;
   }
}

void ASN1CXerOpenType::characters(const char* chars, unsigned int length) {
   unsigned int runStart = 0;
   for (unsigned int i = 0; i < length; i++) {
      const char* escape = escapeOf(chars[i]);
      if (escape == nullptr) continue;
      check(xerEncXmlCharData(mpCaptureCtxt, chars + runStart, static_cast<int>(i - runStart)),
            __LINE__);
      check(xerCopyText(mpCaptureCtxt, escape), __LINE__);
      runStart = i + 1;
   }
   check(xerEncXmlCharData(mpCaptureCtxt, chars + runStart, static_cast<int>(length - runStart)),
         __LINE__);
   followBuffer();
   currentState = 2;
}

void ASN1CXerOpenType::endElement(const char*, const char* localName, const char*) {
   mpCaptureCtxt->xerState = XERSTATE_START_TAG;
   if (level == startLevel) return;
   if (!isEmptyElement(localName)) {
      check(xerCopyText(mpCaptureCtxt, "</"), __LINE__);
      check(xerCopyText2(mpCaptureCtxt, localName, ">"), __LINE__);
   }
   mTargetData = mpCaptureCtxt->buffer.data;
   mTargetCount = mpCaptureCtxt->buffer.byteIndex;
   mTargetFlags = ASN1OPENTYPE_BORROWED;
   mTargetSet = true;
   if (--level == 0) currentState = 3;
}

int ASN1CXerOpenType::isEmptyElement(const char* localName) {
   const ASN1BUFFER& buffer = mpCaptureCtxt->buffer;
   const size_t nameLength = localName != nullptr ? std::strlen(localName) : 0;
   const size_t end = buffer.byteIndex;
   /* The text must end in "<" name ">". */
   if (buffer.data == nullptr || nameLength + 2 > end) return 0;
   const ASN1OCTET* tag = buffer.data + end - nameLength - 2;
   if (tag[0] != '<' || tag[nameLength + 1] != '>') return 0;
   if (std::memcmp(tag + 1, localName, nameLength) != 0) return 0;
   mpCaptureCtxt->buffer.byteIndex--;
   check(xerCopyText(mpCaptureCtxt, "/>"), __LINE__);
   return 1;
}
