/*
 * Raw Expat parse with do-nothing handlers. The handlers only count, so the
 * parser's own work, including the delivery of every event, is what gets
 * timed.
 */
#include "expatBaseline.h"

#include <expat.h>

namespace bench {

namespace {

void onStart(void* events, const XML_Char*, const XML_Char**) { ++*static_cast<long*>(events); }

void onEnd(void* events, const XML_Char*) { ++*static_cast<long*>(events); }

void onCharacters(void* events, const XML_Char*, int) { ++*static_cast<long*>(events); }

}

long parseWithEmptyHandlers(const std::string& xml) {
   XML_Parser parser = XML_ParserCreate(nullptr);
   if (parser == nullptr) return -1;
   long events = 0;
   XML_SetUserData(parser, &events);
   XML_SetElementHandler(parser, onStart, onEnd);
   XML_SetCharacterDataHandler(parser, onCharacters);
   XML_Status status = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1);
   XML_ParserFree(parser);
   return status == XML_STATUS_OK ? events : -1;
}

}
