/*
 * Just enough DER to build the synthetic benchmark messages out of fixture
 * messages: split a constructed element into its children, and write an
 * element from a one-octet identifier and its contents. Definite lengths
 * only, which is all DER has.
 */
#ifndef BLOBXML_DERBUILDER_H
#define BLOBXML_DERBUILDER_H

#include <string>
#include <vector>

namespace bench {

/* The length octets of a definite length in minimal form (X.690 8.1.3). */
std::string derLength(size_t length);

/* The element with a one-octet identifier and the given contents. */
std::string derElement(unsigned char identifier, const std::string& contents);

/* The contents of the one element that fills der; throws
   std::runtime_error when der is not exactly one definite-length element
   with a one-octet identifier. */
std::string derContents(const std::string& der);

/* The complete elements (identifier, length, contents) that lie one after
   the other in contents; throws std::runtime_error when they do not fill it
   exactly. */
std::vector<std::string> derChildren(const std::string& contents);

}

#endif
