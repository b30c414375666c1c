/*
 * Base of every SAX decode handler: the state and levels shared by the
 * decoding control classes, the error information, and the hand-over of
 * collected character data to the XER value decoders.
 */
#ifndef BLOBXML_ASN1XERSAXDECODEHANDLER_H
#define BLOBXML_ASN1XERSAXDECODEHANDLER_H

#include "OSXMLReader.h"
#include "asn1type.h"
#include "rtMemHeap.h"

class ASN1MessageBufferIF;

class ASN1XERSAXDecodeHandler : public OSXMLContentHandler, public OSXMLErrorInfo {
public:
   ASN1XERSAXDecodeHandler();
   virtual ~ASN1XERSAXDecodeHandler();

   /* The events and the document hooks do nothing here; the generated
      control classes and the capture override them. */
   void characters(const char* chars, unsigned int length) override;
   void endElement(const char* uri, const char* localName, const char* qName) override;
   void startElement(const char* uri, const char* localName, const char* qName,
                     const char* const* attrs) override;
   virtual void startDocument();
   virtual void endDocument();
   /* errorStatus to 0; store status, file and line; 0 when none is stored,
      else 1 with the three given back. */
   void resetErrorInfo() override;
   void setErrorInfo(int status, const char* file, int line) override;
   int getErrorInfo(int* status, const char** file, int* line) override;
   /* Called when the handler's value is complete; nothing to do here. */
   virtual void finalize();
   /* Resets the state before a document: currentState 0, level and
      startLevel set to the given level. */
   virtual void init(int level);
   /* Records the error and throws OSRTSAXExceptionImpl(status, file, line). */
   virtual void throwSAXException(int status, const char* file, int line);

   /* Points the message buffer's context at the text collected in memBuf,
      NUL-terminated, for the value decoders; returns that context. */
   static ASN1CTXT* finalizeMemBuf(ASN1MessageBufferIF* msgBuf, ASN1MemBuf& memBuf);

   int currentState;     /* 0 none, 1 start tag, 2 character data, 3 value done */
   int currentElementID; /* 1-based component whose element is open, 0 none */
   int level;            /* nesting depth relative to this handler */
   int startLevel;       /* the level given to init */
   const char* elementName; /* required name of the outermost element, or null */
   int errorStatus;      /* 0 when no error is recorded */
   const char* errorFile;
   int errorLine;
};

#endif
