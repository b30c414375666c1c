/*
 * XerDerConverterSimple. Each direction starts by making the control objects
 * of its type through CreateType; a name the registry does not hold ends the
 * conversion with "Invalid type". The registry has no rows yet (they come
 * with the message buffers and the generated control classes), so that is
 * where every conversion ends for now.
 */
#include "xerDerConverter.h"

#include "caException.h"

XerDerConverter::~XerDerConverter() = default;

XerDerConverterSimple::XerDerConverterSimple(const std::string& typeName) : typeName(typeName) {}

std::string XerDerConverterSimple::toXer(const CACMPT_BLOB&, bool) const {
   throw CAException("Invalid type", sourceFileName(__FILE__), __LINE__);
}

CACMPT_BLOB XerDerConverterSimple::toDer(const std::string&) const {
   throw CAException("Invalid type", sourceFileName(__FILE__), __LINE__);
}
