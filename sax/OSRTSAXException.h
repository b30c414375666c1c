/*
 * The exception that carries a decode failure (a status, or the parser's
 * message) out of the XML parser to the caller of parse: its interface and
 * its one implementation.
 */
#ifndef BLOBXML_OSRTSAXEXCEPTION_H
#define BLOBXML_OSRTSAXEXCEPTION_H

#include "codecFailure.h"

class OSRTSAXException {
public:
   virtual ~OSRTSAXException() {}
   /* The parser's message (null for a handler's failure), the status (0 for
      a parser's failure), and the source file and line that threw. */
   virtual const char* getMessage() = 0;
   virtual int getStatus() = 0;
   virtual const char* getSrcFileName() = 0;
   virtual int getSrcLineNum() = 0;
};

/* Its status is the CodecFailure's; the reader adds the line it had reached
   and the decoder the path of the component that failed. */
class OSRTSAXExceptionImpl : public OSRTSAXException, public CodecFailure {
public:
   /* Every text is copied; a null one stays null, absent numbers are 0. */
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

#endif
