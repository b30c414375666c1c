/*
 * The XML reader over Expat. The whole document is parsed in one call and
 * every start tag, piece of character data and end tag is passed to the
 * content handler in document order.
 *
 * Parsers are reused: a reader takes one from a pool of finished parsers,
 * reset to their initial state, and gives it back when it goes.
 *
 * Handlers report failures by throwing. An exception must not unwind through
 * the parser's C frames, so each callback catches it, keeps it, and removes
 * the callbacks so that the parser runs to the end of its input without
 * further events; parse then rethrows it, a decode failure with the line
 * the parser had reached.
 *
 * A document type declaration is refused as soon as its name and external
 * identifier are read, before the parser reads its internal subset: XER
 * documents never need one, and the entities it could declare would expand a
 * small input into any amount of text.
 */
#include "OSExpatXMLReader.h"

#include <expat.h>
#include <sys/random.h>

#include <cstdio>
#include <vector>

#include "ExpatMemory.h"
#include "OSXMLString.h"

/* Size of the area that holds a parse-failure message. */
static const int kParseErrorSize = 256;

/* The parse-failure text of a document with a document type declaration. */
static const char kDoctypeRefused[] = "document type declaration not allowed";

namespace {

/* Parsers whose readers are gone, kept for the next reader. A decode
   creates a reader for the document and one more for every open type it
   resolves, so making each parser afresh (several allocations and a system
   call for the hash salt) would cost more than the parse of a short
   fragment; a parser reset to its initial state parses exactly as a new
   one. Readers nest (an open type is parsed while the enclosing document's
   parser is in a callback), so the pool holds one parser per level of
   nesting reached; they are freed when the thread ends. Their memory is
   the pool's (ExpatMemory.h). */
class ParserPool {
public:
   ParserPool() = default;
   ParserPool(const ParserPool&) = delete;
   ParserPool& operator=(const ParserPool&) = delete;
   ~ParserPool() {
      for (XML_Parser parser : mIdle) XML_ParserFree(parser);
   }

   /* A parser in its initial state, or null when none can be made. */
   XML_Parser take() {
      XML_Parser parser = nullptr;
      while (parser == nullptr && !mIdle.empty()) {
         parser = mIdle.back();
         mIdle.pop_back();
         if (!XML_ParserReset(parser, nullptr)) {
            XML_ParserFree(parser);
            parser = nullptr;
         }
      }
      if (parser == nullptr) parser = XML_ParserCreate_MM(nullptr, ExpatMemory::suite(), nullptr);
      if (parser != nullptr && salt() != 0) XML_SetHashSalt(parser, salt());
      return parser;
   }

   void give(XML_Parser parser) {
      if (mIdle.size() < kMaxIdle) {
         mIdle.push_back(parser);
      } else {
         XML_ParserFree(parser);
      }
   }

private:
   /* Deeper nesting than this frees its parsers instead of keeping them. */
   static const size_t kMaxIdle = 16;

   /* One random salt for the element-name hash tables of every parser of
      the process, drawn once, where the parser would draw one per parse;
      0 (no random bytes to be had) leaves the choice to the parser. */
   unsigned long salt() {
      if (!mSaltDrawn) {
         mSaltDrawn = true;
         if (getrandom(&mSalt, sizeof mSalt, 0) != static_cast<ssize_t>(sizeof mSalt)) mSalt = 0;
      }
      return mSalt;
   }

   /* Made before the parsers it serves and gone after them. */
   ExpatMemory mMemory;
   std::vector<XML_Parser> mIdle;
   unsigned long mSalt = 0;
   bool mSaltDrawn = false;
};

/* Made on first use, so a run that parses no XML never builds it; one per
   thread, so that documents may be parsed in several threads at once. */
ParserPool& parserPool() {
   static thread_local ParserPool pool;
   return pool;
}

}

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

void eCstartDoctypeCallback(void* userData, const char*, const char*, const char*, int) {
   OSExpatXMLReader::startDoctypeCallback(userData);
}
}

OSExpatXMLReader::OSExpatXMLReader()
   : mParser(parserPool().take()), mContentHandler(nullptr), mErrorInfo(nullptr) {
   if (mParser == nullptr) throw OSRTSAXExceptionImpl();
   XML_SetUserData(mParser, this);
   XML_SetStartDoctypeDeclHandler(mParser, eCstartDoctypeCallback);
}

OSExpatXMLReader::~OSExpatXMLReader() { parserPool().give(mParser); }

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
   formatParseError(message,
                    mDoctypeRefused ? kDoctypeRefused : XML_ErrorString(XML_GetErrorCode(mParser)),
                    static_cast<int>(XML_GetCurrentLineNumber(mParser)),
                    static_cast<int>(XML_GetCurrentColumnNumber(mParser)));
   OSRTSAXExceptionImpl failure(message);
   failure.setLineNumber(static_cast<long>(XML_GetCurrentLineNumber(mParser)));
   throw failure;
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

void OSExpatXMLReader::suspendAt(OSRTSAXExceptionImpl& failure) {
   failure.setLineNumber(static_cast<long>(XML_GetCurrentLineNumber(mParser)));
   suspendWith(std::current_exception());
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
   } catch (OSRTSAXExceptionImpl& failure) {
      reader->suspendAt(failure);
   } catch (...) {
      reader->suspendWith(std::current_exception());
   }
}

void OSExpatXMLReader::endElementCallback(void* userData, const char* name) {
   OSExpatXMLReader* reader = static_cast<OSExpatXMLReader*>(userData);
   if (reader->mContentHandler == nullptr) return;
   try {
      reader->mContentHandler->endElement(OSXMLString::zeroLenString(), name, name);
   } catch (OSRTSAXExceptionImpl& failure) {
      reader->suspendAt(failure);
   } catch (...) {
      reader->suspendWith(std::current_exception());
   }
}

void OSExpatXMLReader::charDataCallback(void* userData, const char* s, int len) {
   OSExpatXMLReader* reader = static_cast<OSExpatXMLReader*>(userData);
   if (reader->mContentHandler == nullptr) return;
   try {
      reader->mContentHandler->characters(s, static_cast<unsigned int>(len));
   } catch (OSRTSAXExceptionImpl& failure) {
      reader->suspendAt(failure);
   } catch (...) {
      reader->suspendWith(std::current_exception());
   }
}

/* Called once the declaration's name and external identifier are read:
   the parser stops there, which parse reports as the failure's position. */
void OSExpatXMLReader::startDoctypeCallback(void* userData) {
   OSExpatXMLReader* reader = static_cast<OSExpatXMLReader*>(userData);
   reader->mDoctypeRefused = true;
   XML_StopParser(reader->mParser, XML_FALSE);
}

void OSExpatXMLReader::formatParseError(char* message, const char* text, int line, int column) {
   /* snprintf cuts the text to the area, so a text of 255 characters or more
      is kept alone. */
   std::snprintf(message, kParseErrorSize, "%s, line = %i, column = %i", text, line, column);
}
