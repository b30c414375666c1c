/*
 * The parser baseline of the XER to DER benchmarks: the same XML parsed by
 * Expat alone, with handlers that do nothing, so the converter's work above
 * the parser shows as a ratio.
 */
#ifndef BLOBXML_EXPATBASELINE_H
#define BLOBXML_EXPATBASELINE_H

#include <string>

namespace bench {

/* Parses xml in one call with a parser created for it, as the XML reader
   of the converter does, with empty start, end and character handlers.
   Returns the number of events delivered (start tags, end tags and pieces
   of character data), or -1 when xml is not well-formed. */
long parseWithEmptyHandlers(const std::string& xml);

}

#endif
