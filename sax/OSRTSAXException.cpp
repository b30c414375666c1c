/*
 * The exception that carries a decode failure (a status, or the parser's
 * message) out of the XML parser to the caller of parse.
 */
#include "OSRTSAXException.h"

#include "OSXMLString.h"

OSRTSAXExceptionImpl::OSRTSAXExceptionImpl()
   : mMessage(OSXMLString::replicate(OSXMLString::zeroLenString())), mSrcFileName(nullptr),
     mSrcLineNum(0) {}

OSRTSAXExceptionImpl::OSRTSAXExceptionImpl(const char* message)
   : mMessage(OSXMLString::replicate(message)), mSrcFileName(nullptr), mSrcLineNum(0) {}

OSRTSAXExceptionImpl::OSRTSAXExceptionImpl(const char* message, int status, const char* file,
                                           int line)
   : mMessage(OSXMLString::replicate(message)), mSrcFileName(OSXMLString::replicate(file)),
     mSrcLineNum(line) {
   setStatus(status);
}

OSRTSAXExceptionImpl::OSRTSAXExceptionImpl(int status, const char* file, int line)
   : mMessage(nullptr), mSrcFileName(OSXMLString::replicate(file)), mSrcLineNum(line) {
   setStatus(status);
}

OSRTSAXExceptionImpl::OSRTSAXExceptionImpl(const OSRTSAXExceptionImpl& other)
   : OSRTSAXException(), CodecFailure(other), mMessage(OSXMLString::replicate(other.mMessage)),
     mSrcFileName(OSXMLString::replicate(other.mSrcFileName)), mSrcLineNum(other.mSrcLineNum) {}

OSRTSAXExceptionImpl& OSRTSAXExceptionImpl::operator=(const OSRTSAXExceptionImpl& other) {
   if (this == &other) return *this;
   delete[] mMessage;
   delete[] mSrcFileName;
   CodecFailure::operator=(other);
   mMessage = OSXMLString::replicate(other.mMessage);
   mSrcFileName = OSXMLString::replicate(other.mSrcFileName);
   mSrcLineNum = other.mSrcLineNum;
   return *this;
}

OSRTSAXExceptionImpl::~OSRTSAXExceptionImpl() {
   delete[] mMessage;
   delete[] mSrcFileName;
}

const char* OSRTSAXExceptionImpl::getMessage() { return mMessage; }

int OSRTSAXExceptionImpl::getStatus() { return status(); }

const char* OSRTSAXExceptionImpl::getSrcFileName() { return mSrcFileName; }

int OSRTSAXExceptionImpl::getSrcLineNum() { return mSrcLineNum; }

OSRTSAXException* createSAXException() { return new OSRTSAXExceptionImpl(); }

OSRTSAXException* createSAXException(const char* message, int status, const char* file, int line) {
   return new OSRTSAXExceptionImpl(message, status, file, line);
}
