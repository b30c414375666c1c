/*
 * Capture of an open type's XER content from SAX events. The events inside
 * the component's element are written back as compact XML text into a capture
 * buffer whose storage comes from the message context's heap; the target
 * open-type record is pointed at that text, so the text outlives the capture
 * object and is decoded later through the information object set. The text
 * is the message's, not the value's: the target marks it borrowed.
 */
#ifndef BLOBXML_ASN1CXEROPENTYPE_H
#define BLOBXML_ASN1CXEROPENTYPE_H

#include <type_traits>
#include <utility>

#include "ASN1CType.h"
#include "ASN1XEREncodeBuffer.h"
#include "ASN1XERSAXDecodeHandler.h"

class ASN1CXerOpenType : public ASN1CType, public ASN1XERSAXDecodeHandler {
   /* Accepts any open-type record with ASN1TOpenType's numocts, flags and
      data fields (the table-constrained Asn1TObject as well). */
   template <class Record>
   using IfOpenTypeRecord =
      std::enable_if_t<std::is_same<decltype(std::declval<Record&>().numocts), ASN1UINT>::value &&
                       std::is_same<decltype(std::declval<Record&>().flags), ASN1UINT>::value &&
                       std::is_same<decltype(std::declval<Record&>().data), const ASN1OCTET*>::value>;

public:
   /* Captures into memory of the message buffer's context. */
   ASN1CXerOpenType(ASN1MessageBufferIF& msgBuf, ASN1TOpenType& target);
   /* Captures into memory of a context of the object's own, which lives as
      long as the object or any holder of getContext(). */
   explicit ASN1CXerOpenType(ASN1TOpenType& target);

   template <class Record, class = IfOpenTypeRecord<Record>>
   ASN1CXerOpenType(ASN1MessageBufferIF& msgBuf, Record& target)
      : ASN1CXerOpenType(msgBuf, target.numocts, target.flags, target.data) {}
   template <class Record, class = IfOpenTypeRecord<Record>>
   explicit ASN1CXerOpenType(Record& target)
      : ASN1CXerOpenType(target.numocts, target.flags, target.data) {}

   /* Leaves the captured text to the target: it stays in the message heap. */
   virtual ~ASN1CXerOpenType();
   ASN1CXerOpenType(const ASN1CXerOpenType&) = delete;
   ASN1CXerOpenType& operator=(const ASN1CXerOpenType&) = delete;

   /* Writes "<name>" (attributes dropped). */
   void startElement(const char* uri, const char* localName, const char* qName,
                     const char* const* attrs) override;
   /* Writes the characters with "&", "<" and ">" escaped, so that the text
      parses again as it was read. */
   void characters(const char* chars, unsigned int length) override;
   /* Closes an inner element (as an empty-element tag when nothing was
      written since its start tag) and points the target at all text captured
      so far; the component's own end tag writes nothing. */
   void endElement(const char* uri, const char* localName, const char* qName) override;

   /* When the last thing written is the start tag "<localName>", turns it
      into "<localName/>" and returns 1; else changes nothing and returns 0. */
   int isEmptyElement(const char* localName);

private:
   ASN1CXerOpenType(ASN1MessageBufferIF& msgBuf, ASN1UINT& targetCount, ASN1UINT& targetFlags,
                    const ASN1OCTET*& targetData);
   ASN1CXerOpenType(ASN1UINT& targetCount, ASN1UINT& targetFlags, const ASN1OCTET*& targetData);

   /* Throws a failed write's status as a SAX exception. */
   void check(int stat, int line);
   /* Keeps the target on the capture buffer, which moves when it grows. */
   void followBuffer();

   ASN1UINT& mTargetCount;
   ASN1UINT& mTargetFlags;
   const ASN1OCTET*& mTargetData;
   ASN1XEREncodeBuffer mCaptureBuffer;
   ASN1CTXT* mpCaptureCtxt;
   bool mTargetSet; /* the target points into the capture buffer */
};

#endif
