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

/* Writes the result and flushes it here, so that a full disk or a closed
   pipe is seen and reported instead of being lost when the program exits. */
static bool writeOut(const void* bytes, size_t count) {
   const bool written =
      (count == 0 || std::fwrite(bytes, 1, count, stdout) == count) && std::fflush(stdout) == 0;
   if (!written) std::fputs("Error writing standard output\n", stderr);
   return written;
}

bool convertMessage(const XerDerConverter& converter, bool xerToDer, bool includeEncoded,
                    const unsigned char* message, uint32_t length) {
   try {
      if (xerToDer) {
         CACMPT_BLOB der = converter.toDer(std::string(reinterpret_cast<const char*>(message), length));
         return writeOut(der.data, der.length);
      }
      std::string xer = converter.toXer(CACMPT_BLOB(message, length), includeEncoded);
      return writeOut(xer.data(), xer.size());
   } catch (const CAException& e) {
      std::fprintf(stderr, "Error:%s\n", e.what());
   } catch (const std::exception& e) {
      std::fprintf(stderr, "Exception:%s\n", e.what());
   } catch (...) {
      std::fputs("Unknown exception.\n", stderr);
   }
   return true;
}

bool runConversionStep(bool xerToDer, const char* typeName, bool includeEncoded,
                       const unsigned char* message, uint32_t length) {
   std::unique_ptr<XerDerConverter> converter(new XerDerConverterSimple(typeName));
   return convertMessage(*converter, xerToDer, includeEncoded, message, length);
}
