/*
 * The -t1 step of the driver: decode the outer message held in msgbuf as BER
 * and put the inner message of type typeName in its place.
 */
#ifndef BLOBXML_INNERMESSAGE_H
#define BLOBXML_INNERMESSAGE_H

#include <cstdint>

/* Returns true when the conversion goes on with the (possibly replaced)
   message, false when the program must end with status 255 after what this
   step printed: on standard output, or "Error writing <file>" on standard
   error when the inner DER could not be written in full to outFileName,
   which (when not null) receives it. */
bool extractInnerMessage(unsigned char* msgbuf, uint32_t* length, const char* typeName,
                         const char* outerTypeName, const char* outFileName);

#endif
