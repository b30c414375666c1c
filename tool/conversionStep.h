/*
 * The conversion step of the driver: one message through one converter, the
 * result on standard output and any failure reported on standard error. The
 * program's exit status does not depend on whether the conversion succeeded,
 * only on whether its result could be written.
 */
#ifndef BLOBXML_CONVERSIONSTEP_H
#define BLOBXML_CONVERSIONSTEP_H

#include <cstdint>

#include "xerDerConverter.h"

/* With xerToDer false the message goes to toXer as a blob and the returned
   text is written unchanged (no newline added); with xerToDer true it goes
   to toDer as text of exactly length bytes (zero bytes kept) and the returned
   octets are written raw. A failure prints one line on standard error:
   "Error:" and what() for CAException (and so Asn1Exception), "Exception:"
   and what() for any other std::exception, "Unknown exception." otherwise.
   Returns false, after the line "Error writing standard output" on standard
   error, when the result could not be written and flushed in full. */
bool convertMessage(const XerDerConverter& converter, bool xerToDer, bool includeEncoded,
                    const unsigned char* message, uint32_t length);

/* Runs convertMessage with an XerDerConverterSimple for typeName. */
bool runConversionStep(bool xerToDer, const char* typeName, bool includeEncoded,
                       const unsigned char* message, uint32_t length);

#endif
