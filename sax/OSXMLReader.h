/*
 * Interfaces between the XML reader and its users: the reader, and the
 * content and error handlers it reports to (virtual slots in declaration
 * order).
 */
#ifndef BLOBXML_OSXMLREADER_H
#define BLOBXML_OSXMLREADER_H

class OSXMLBase {
public:
   virtual ~OSXMLBase() {}
   /* Deletes the object (what a factory's caller does instead of delete). */
   virtual void release() = 0;
};

class OSXMLContentHandler;
class OSXMLErrorInfo;

class OSXMLReader : public OSXMLBase {
public:
   virtual ~OSXMLReader() {}
   virtual void release() = 0;
   /* Parses the whole document in one piece, reporting to the handlers. */
   virtual int parse(const char* data, int length) = 0;
   /* The handlers the events and the errors go to; not owned. */
   virtual void setContentHandler(OSXMLContentHandler* contentHandler) = 0;
   virtual void setErrorInfoHandler(OSXMLErrorInfo* errorInfo) = 0;
};

/* The events of the document, in order; a handler throws to stop the parse. */
class OSXMLContentHandler {
public:
   virtual ~OSXMLContentHandler() {}
   /* A piece of character data; one text may come in several pieces. */
   virtual void characters(const char* chars, unsigned int length) = 0;
   virtual void endElement(const char* uri, const char* localName, const char* qName) = 0;
   /* uri is null and localName equals qName (namespaces are not
      processed); attrs are name/value pairs ending with a null. */
   virtual void startElement(const char* uri, const char* localName, const char* qName,
                             const char* const* attrs) = 0;
};

class OSXMLErrorInfo {
public:
   virtual ~OSXMLErrorInfo() {}
   /* Forgets the error; setErrorInfo records one. */
   virtual void resetErrorInfo() = 0;
   virtual void setErrorInfo(int status, const char* file, int line) = 0;
   /* 0 when no error is recorded (out-parameters untouched), else 1. */
   virtual int getErrorInfo(int* status, const char** file, int* line) = 0;
};

#endif
