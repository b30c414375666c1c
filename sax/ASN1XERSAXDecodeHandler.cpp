/*
 * Base of every SAX decode handler: state and levels shared by the generated
 * state machines, error information, and the defaults that ignore events.
 */
#include "ASN1XERSAXDecodeHandler.h"

#include "OSRTSAXException.h"

ASN1XERSAXDecodeHandler::ASN1XERSAXDecodeHandler()
   : currentState(0), currentElementID(0), level(0), startLevel(0), elementName(nullptr),
     errorStatus(0), errorFile(nullptr), errorLine(0) {}

ASN1XERSAXDecodeHandler::~ASN1XERSAXDecodeHandler() {}

void ASN1XERSAXDecodeHandler::characters(const char*, unsigned int) {}

void ASN1XERSAXDecodeHandler::endElement(const char*, const char*, const char*) {}

void ASN1XERSAXDecodeHandler::startElement(const char*, const char*, const char*,
                                           const char* const*) {}

void ASN1XERSAXDecodeHandler::startDocument() {}

void ASN1XERSAXDecodeHandler::endDocument() {}

void ASN1XERSAXDecodeHandler::resetErrorInfo() { errorStatus = 0; }

void ASN1XERSAXDecodeHandler::setErrorInfo(int status, const char* file, int line) {
   errorStatus = status;
   errorFile = file;
   errorLine = line;
}

int ASN1XERSAXDecodeHandler::getErrorInfo(int* status, const char** file, int* line) {
   if (errorStatus == 0) return 0;
   if (status != nullptr) *status = errorStatus;
   if (file != nullptr) *file = errorFile;
   if (line != nullptr) *line = errorLine;
   return 1;
}

void ASN1XERSAXDecodeHandler::finalize() {}

void ASN1XERSAXDecodeHandler::init(int newLevel) {
   currentState = 0;
   level = newLevel;
   startLevel = newLevel;
}

void ASN1XERSAXDecodeHandler::throwSAXException(int status, const char* file, int line) {
   setErrorInfo(status, file, line);
   throw OSRTSAXExceptionImpl(status, file, line);
}
