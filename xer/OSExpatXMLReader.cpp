/*
 * The XML reader over Expat. The whole document is parsed in one call and
 * every start tag, piece of character data and end tag is passed to the
 * content handler in document order.
 *
 * Handlers report failures by throwing. An exception must not unwind through
 * the parser's C frames, so each callback catches it, keeps it, and removes
 * the callbacks so that the parser runs to the end of its input without
 * further events; parse then rethrows it unchanged.
 */
#include <expat.h>

#include <cstdio>

#include "saxReader.h"

/* Size of the area that holds a parse-failure message. */
static const int kParseErrorSize = 256;

extern "C" {

void eCstartElementCallback(void* userData, const char* name, const char** atts) {
   OSExpatXMLReader::startElementCallback(userData, name, atts);
}

void eCendElementCallback(void* userData, const char* name) {
   OSExpatXMLReader::endElementCallback(userData, name);
}

void eCcharDataCallback(void* userData, const char* s, int len) {
   OSExpatXMLReader::charDataCallback(userData, s, len);
}
}

OSExpatXMLReader::OSExpatXMLReader()
   : mParser(XML_ParserCreate(nullptr)), mContentHandler(nullptr), mErrorInfo(nullptr) {
   if (mParser == nullptr) throw OSRTSAXExceptionImpl();
}

OSExpatXMLReader::~OSExpatXMLReader() { XML_ParserFree(mParser); }

void OSExpatXMLReader::release() { delete this; }

int OSExpatXMLReader::parse(const char* data, int length) {
   int result = XML_Parse(mParser, data, length, 1);
   if (mPendingFailure) {
      std::exception_ptr failure = mPendingFailure;
      mPendingFailure = nullptr;
      std::rethrow_exception(failure);
   }
   if (result != 0) return result;

   char message[kParseErrorSize];
   formatParseError(message, XML_ErrorString(XML_GetErrorCode(mParser)),
                    static_cast<int>(XML_GetCurrentLineNumber(mParser)),
                    static_cast<int>(XML_GetCurrentColumnNumber(mParser)));
   throw OSRTSAXExceptionImpl(message);
}

void OSExpatXMLReader::setContentHandler(OSXMLContentHandler* contentHandler) {
   mContentHandler = contentHandler;
   XML_SetUserData(mParser, this);
   XML_SetElementHandler(mParser, eCstartElementCallback, eCendElementCallback);
   XML_SetCharacterDataHandler(mParser, eCcharDataCallback);
}

void OSExpatXMLReader::setErrorInfoHandler(OSXMLErrorInfo* errorInfo) {
   mErrorInfo = errorInfo;
   if (errorInfo != nullptr) errorInfo->resetErrorInfo();
}

void OSExpatXMLReader::suspendWith(std::exception_ptr failure) {
   mPendingFailure = failure;
   XML_SetElementHandler(mParser, nullptr, nullptr);
   XML_SetCharacterDataHandler(mParser, nullptr);
}

void OSExpatXMLReader::startElementCallback(void* userData, const char* name, const char** atts) {
   OSExpatXMLReader* reader = static_cast<OSExpatXMLReader*>(userData);
   if (reader->mContentHandler == nullptr) return;
   try {
      reader->mContentHandler->startElement(OSXMLString::zeroLenString(), name, name, atts);
   } catch (...) {
      reader->suspendWith(std::current_exception());
   }
}

void OSExpatXMLReader::endElementCallback(void* userData, const char* name) {
   OSExpatXMLReader* reader = static_cast<OSExpatXMLReader*>(userData);
   if (reader->mContentHandler == nullptr) return;
   try {
      reader->mContentHandler->endElement(OSXMLString::zeroLenString(), name, name);
   } catch (...) {
      reader->suspendWith(std::current_exception());
   }
}

void OSExpatXMLReader::charDataCallback(void* userData, const char* s, int len) {
   OSExpatXMLReader* reader = static_cast<OSExpatXMLReader*>(userData);
   if (reader->mContentHandler == nullptr) return;
   try {
      reader->mContentHandler->characters(s, static_cast<unsigned int>(len));
   } catch (...) {
      reader->suspendWith(std::current_exception());
   }
}

void OSExpatXMLReader::formatParseError(char* message, const char* text, int line, int column) {
   /* snprintf cuts the text to the area, so a text of 255 characters or more
      is kept alone. */
   std::snprintf(message, kParseErrorSize, "%s, line = %i, column = %i", text, line, column);
}
