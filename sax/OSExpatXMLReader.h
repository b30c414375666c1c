/*
 * The XML reader over Expat, its C callbacks, and the factory that gives a
 * reader with its handlers set.
 */
#ifndef BLOBXML_OSEXPATXMLREADER_H
#define BLOBXML_OSEXPATXMLREADER_H

#include <exception>

#include "OSRTSAXException.h"
#include "OSXMLReader.h"

class ASN1CtxtPtr;
struct XML_ParserStruct;

class OSExpatXMLReader : public OSXMLReader {
public:
   /* Throws OSRTSAXExceptionImpl() when the parser cannot be created. */
   OSExpatXMLReader();
   virtual ~OSExpatXMLReader();
   OSExpatXMLReader(const OSExpatXMLReader&) = delete;
   OSExpatXMLReader& operator=(const OSExpatXMLReader&) = delete;

   void release() override;
   /* Returns the parser's non-zero result. Malformed XML, and any document
      with a document type declaration, throws OSRTSAXExceptionImpl with the
      parser's message (or "document type declaration not allowed") and
      position (and that line as its CodecFailure line); an exception thrown
      by a handler propagates out of this call, a decode failure with the
      line the parser had reached. */
   int parse(const char* data, int length) override;
   void setContentHandler(OSXMLContentHandler* contentHandler) override;
   void setErrorInfoHandler(OSXMLErrorInfo* errorInfo) override;

   /* Expat's callbacks: userData is the reader; each passes the event to
      the content handler, or keeps the handler's exception for parse to
      rethrow. A document type declaration is refused at its start. */
   static void startElementCallback(void* userData, const char* name, const char** atts);
   static void endElementCallback(void* userData, const char* name);
   static void charDataCallback(void* userData, const char* s, int len);
   static void startDoctypeCallback(void* userData);

   /* Writes "<text>, line = <line>, column = <column>" into message, a
      256-byte area, cut to at most 255 characters. */
   static void formatParseError(char* message, const char* text, int line, int column);

private:
   /* Keeps the handler's exception and silences the parser for the rest of
      the document; parse rethrows it once the parser has returned. */
   void suspendWith(std::exception_ptr failure);
   /* The same for the decode failure being handled, which takes the line
      the parser has reached. */
   void suspendAt(OSRTSAXExceptionImpl& failure);

   XML_ParserStruct* mParser;
   OSXMLContentHandler* mContentHandler;
   OSXMLErrorInfo* mErrorInfo;
   std::exception_ptr mPendingFailure;
   bool mDoctypeRefused = false; /* the document has a type declaration */
};

/* The callbacks registered with Expat; each forwards to its static member. */
extern "C" {
void eCstartElementCallback(void* userData, const char* name, const char** atts);
void eCendElementCallback(void* userData, const char* name);
void eCcharDataCallback(void* userData, const char* s, int len);
void eCstartDoctypeCallback(void* userData, const char* doctypeName, const char* sysid,
                            const char* pubid, int hasInternalSubset);
}

/* A new reader with both handlers set; the context is not used. */
OSXMLReader* saxCreateXmlReader(ASN1CtxtPtr context, OSXMLContentHandler* contentHandler,
                                OSXMLErrorInfo* errorInfo);

#endif
