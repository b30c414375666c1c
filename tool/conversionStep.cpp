/*
 * Conversion step: converts, writes the result and turns every exception
 * into its one-line report.
 */
#include "conversionStep.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "caException.h"

static void writeOut(const void* bytes, size_t count) {
   if (count > 0) std::fwrite(bytes, 1, count, stdout);
}

void convertMessage(const XerDerConverter& converter, bool xerToDer, bool includeEncoded,
                    const unsigned char* message, uint32_t length) {
   try {
      if (xerToDer) {
         CACMPT_BLOB der = converter.toDer(std::string(reinterpret_cast<const char*>(message), length));
         writeOut(der.data, der.length);
      } else {
         std::string xer = converter.toXer(CACMPT_BLOB(message, length), includeEncoded);
         writeOut(xer.data(), xer.size());
      }
   } catch (const CAException& e) {
      std::fprintf(stderr, "Error:%s\n", e.what());
   } catch (const std::exception& e) {
      std::fprintf(stderr, "Exception:%s\n", e.what());
   } catch (...) {
      std::fputs("Unknown exception.\n", stderr);
   }
}

void runConversionStep(bool xerToDer, const char* typeName, bool includeEncoded,
                       const unsigned char* message, uint32_t length) {
   std::unique_ptr<XerDerConverter> converter(new XerDerConverterSimple(typeName));
   convertMessage(*converter, xerToDer, includeEncoded, message, length);
}
