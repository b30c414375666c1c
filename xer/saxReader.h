/*
 * Bridge from the XML parser to the SAX handlers of the XER decoder: the
 * reader and handler interfaces, the reader over Expat, the handler base from
 * which every decoding control class derives, the exception that carries a
 * decode failure out of the parser, and small string helpers.
 */
#ifndef BLOBXML_SAXREADER_H
#define BLOBXML_SAXREADER_H

#include <exception>

#include "asn1type.h"
#include "codecFailure.h"
#include "rtMemHeap.h"

class ASN1CtxtPtr;
class ASN1MessageBufferIF;
struct XML_ParserStruct;

/* ---- interfaces (virtual slots in declaration order) -------------------- */

class OSXMLBase {
public:
   virtual ~OSXMLBase() {}
   virtual void release() = 0;
};

class OSXMLContentHandler;
class OSXMLErrorInfo;

class OSXMLReader : public OSXMLBase {
public:
   virtual ~OSXMLReader() {}
   virtual void release() = 0;
   /* Parses the whole document in one piece. */
   virtual int parse(const char* data, int length) = 0;
   virtual void setContentHandler(OSXMLContentHandler* contentHandler) = 0;
   virtual void setErrorInfoHandler(OSXMLErrorInfo* errorInfo) = 0;
};

class OSXMLContentHandler {
public:
   virtual ~OSXMLContentHandler() {}
   virtual void characters(const char* chars, unsigned int length) = 0;
   virtual void endElement(const char* uri, const char* localName, const char* qName) = 0;
   virtual void startElement(const char* uri, const char* localName, const char* qName,
                             const char* const* attrs) = 0;
};

class OSXMLErrorInfo {
public:
   virtual ~OSXMLErrorInfo() {}
   virtual void resetErrorInfo() = 0;
   virtual void setErrorInfo(int status, const char* file, int line) = 0;
   /* 0 when no error is recorded (out-parameters untouched), else 1. */
   virtual int getErrorInfo(int* status, const char** file, int* line) = 0;
};

class OSRTSAXException {
public:
   virtual ~OSRTSAXException() {}
   virtual const char* getMessage() = 0;
   virtual int getStatus() = 0;
   virtual const char* getSrcFileName() = 0;
   virtual int getSrcLineNum() = 0;
};

/* ---- string helpers ----------------------------------------------------- */

/* Helpers over the XML character type of this build, char. Results described
   as new arrays are released by the caller with delete[]. */
class OSXMLString {
public:
   /* The empty namespace URI: a null pointer. */
   static const char* zeroLenString();

   /* Units before the terminator; 0 for null. */
   static int stringLen(const char* text);
   static int stringLen(const unsigned short* text);

   /* New copies including the terminator; null for null. The 16-bit form
      keeps the low byte of each unit. */
   static char* replicate(const char* text);
   static char* transcode(const char* text);
   static char* transcode(const unsigned short* text);

   /* Difference of the first differing bytes, 0 when equal; a null text
      compares as minus the other's length (or its length when b is null). */
   static int compareString(const char* a, const char* b);

   /* Appends as much of src to dst as fits in capacity bytes with the
      terminator (16-bit units keep their low byte). Returns dst, or null when
      dst is null or a non-empty source found no room at all. */
   static char* catString(char* dst, int capacity, const char* src);
   static char* catString(char* dst, int capacity, const unsigned short* src);

   /* Characters in UTF-8 text of length bytes (0: up to the terminator), or
      -1 for a byte that cannot start a sequence of 1 to 6 octets. */
   static int stringUTF8Len(const unsigned char* text, int length);

   /* UTF-8 to terminated 16-bit units (characters above U+FFFF keep their low
      16 bits). *length gives the byte count on entry (0: up to the
      terminator) and receives the character count. The result is buf when
      bufLen units hold it with the terminator, else a new array; null for
      invalid UTF-8. */
   static unsigned short* transUTF8(const unsigned char* text, int* length,
                                    unsigned short* buf, int bufLen);

   /* 16-bit units to terminated UTF-8. *length gives the unit count on entry
      (0: up to the terminator) and receives the byte count. The result is
      buf when bufLen bytes hold it with the terminator, else a new array. */
   static char* safeTranscode(const unsigned short* text, int* length, char* buf, int bufLen);

   /* Same as transUTF8. */
   static unsigned short* safeTranscode(const char* text, int* length,
                                        unsigned short* buf, int bufLen);
};

/* Owns a transcoded copy of a string for the lifetime of the object, for
   passing element names to error parameters. */
class StrX {
public:
   explicit StrX(const char* text);
   ~StrX();
   StrX(const StrX&) = delete;
   StrX& operator=(const StrX&) = delete;

   const char* localForm() const { return mLocalForm; }

private:
   char* mLocalForm;
};

/* ---- the exception ------------------------------------------------------ */

/* Its status is the CodecFailure's; the reader adds the line it had reached
   and the decoder the path of the component that failed. */
class OSRTSAXExceptionImpl : public OSRTSAXException, public CodecFailure {
public:
   OSRTSAXExceptionImpl();
   explicit OSRTSAXExceptionImpl(const char* message);
   OSRTSAXExceptionImpl(const char* message, int status, const char* file, int line);
   OSRTSAXExceptionImpl(int status, const char* file, int line);
   OSRTSAXExceptionImpl(const OSRTSAXExceptionImpl& other);
   OSRTSAXExceptionImpl& operator=(const OSRTSAXExceptionImpl& other);
   virtual ~OSRTSAXExceptionImpl();

   const char* getMessage() override;
   int getStatus() override;
   const char* getSrcFileName() override;
   int getSrcLineNum() override;

private:
   char* mMessage;
   char* mSrcFileName;
   int mSrcLineNum;
};

/* New heap exceptions, made with the matching constructors. */
OSRTSAXException* createSAXException();
OSRTSAXException* createSAXException(const char* message, int status, const char* file, int line);

/* ---- the reader over Expat ---------------------------------------------- */

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

/* ---- the SAX decode handler base ---------------------------------------- */

class ASN1XERSAXDecodeHandler : public OSXMLContentHandler, public OSXMLErrorInfo {
public:
   ASN1XERSAXDecodeHandler();
   virtual ~ASN1XERSAXDecodeHandler();

   void characters(const char* chars, unsigned int length) override;
   void endElement(const char* uri, const char* localName, const char* qName) override;
   void startElement(const char* uri, const char* localName, const char* qName,
                     const char* const* attrs) override;
   virtual void startDocument();
   virtual void endDocument();
   void resetErrorInfo() override;
   void setErrorInfo(int status, const char* file, int line) override;
   int getErrorInfo(int* status, const char** file, int* line) override;
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
