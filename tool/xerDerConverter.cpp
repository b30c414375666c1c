/*
 * XerDerConverterSimple: one decode buffer and one encode buffer per call,
 * with two control objects of the named type over one value that lives in
 * the decode buffer's heap. Buffers and control objects go when the call
 * ends, normally or by an exception, and the value with them.
 */
#include "xerDerConverter.h"

#include <memory>

#include "ASN1BERDecodeBuffer.h"
#include "ASN1BEREncodeBuffer.h"
#include "ASN1CType.h"
#include "ASN1XERDecodeBuffer.h"
#include "ASN1XEREncodeBuffer.h"
#include "caException.h"
#include "rtContext.h"
#include "typeRegistry.h"
#include "xerEncode.h"

XerDerConverter::~XerDerConverter() = default;

XerDerConverterSimple::XerDerConverterSimple(const std::string& typeName) : typeName(typeName) {}

namespace {

/* The text of the XER encode buffer: from its start to its write position. */
std::string bufferText(ASN1MessageBuffer& buffer) {
   ASN1CTXT* ctxt = buffer.getCtxtPtr();
   return std::string(reinterpret_cast<const char*>(ctxt->buffer.data), ctxt->buffer.byteIndex);
}

/* Upper-case hexadecimal of the whole message, two digits per octet. */
std::string hexText(const CACMPT_BLOB& der) {
   ASN1XEREncodeBuffer hexBuffer(1);
   if (xerEncOctStr(hexBuffer.getCtxtPtr(), der.length, der.data, "") < 0)
      throw Asn1Exception(rtErrGetText(hexBuffer.getCtxtPtr()), sourceFileName(__FILE__), __LINE__,
                          CodecFailure::ofContext(hexBuffer.getCtxtPtr()));
   return bufferText(hexBuffer);
}

/* After the second '>': the end of the root start tag, right after the
   XML declaration. */
void insertAfterRootStartTag(std::string& xml, const std::string& text) {
   size_t first = xml.find('>');
   size_t second = first == std::string::npos ? first : xml.find('>', first + 1);
   if (second != std::string::npos) xml.insert(second + 1, text);
}

}

std::string XerDerConverterSimple::toXer(const CACMPT_BLOB& der, bool includeEncoded) const {
   ASN1BERDecodeBuffer decodeBuffer(der.data, static_cast<int>(der.length));
   /* The decoded value lives no longer than the message, so its open types
      may point into the message instead of being copied. */
   rtCtxtSetFlag(decodeBuffer.getCtxtPtr(), CTXTF_OPENTYPE_NOCOPY);
   ASN1XEREncodeBuffer encodeBuffer(0);
   void* value = nullptr;
   std::unique_ptr<ASN1CType> decoder(CreateType(decodeBuffer, typeName.c_str(), &value));
   std::unique_ptr<ASN1CType> encoder(CreateType(encodeBuffer, typeName.c_str(), &value));
   if (decoder == nullptr || encoder == nullptr)
      throw CAException("Invalid type", sourceFileName(__FILE__), __LINE__);

   if (decoder->Decode() != 0)
      throw Asn1Exception(rtErrGetText(decodeBuffer.getCtxtPtr()), sourceFileName(__FILE__), __LINE__,
                          CodecFailure::ofBerDecode(decodeBuffer.getCtxtPtr(), der.data, der.length));
   if (encoder->Encode() < 0)
      throw Asn1Exception(rtErrGetText(encodeBuffer.getCtxtPtr()), sourceFileName(__FILE__), __LINE__,
                          CodecFailure::ofContext(encodeBuffer.getCtxtPtr()));

   std::string xml = bufferText(encodeBuffer);
   if (includeEncoded) insertAfterRootStartTag(xml, hexText(der));
   return xml;
}

CACMPT_BLOB XerDerConverterSimple::toDer(const std::string& xer) const {
   ASN1XERDecodeBuffer decodeBuffer(reinterpret_cast<const ASN1OCTET*>(xer.data()),
                                    static_cast<unsigned int>(xer.size()));
   ASN1BEREncodeBuffer encodeBuffer;
   void* value = nullptr;
   std::unique_ptr<ASN1CType> decoder(CreateType(decodeBuffer, typeName.c_str(), &value));
   std::unique_ptr<ASN1CType> encoder(CreateType(encodeBuffer, typeName.c_str(), &value));
   if (decoder == nullptr || encoder == nullptr)
      throw CAException("Invalid type", sourceFileName(__FILE__), __LINE__);

   if (decoder->Decode() != 0)
      throw Asn1Exception(rtErrGetText(decodeBuffer.getCtxtPtr()), sourceFileName(__FILE__), __LINE__,
                          CodecFailure::ofContext(decodeBuffer.getCtxtPtr()));
   int length = encoder->Encode();
   if (length < 0)
      throw Asn1Exception(rtErrGetText(encodeBuffer.getCtxtPtr()), sourceFileName(__FILE__), __LINE__,
                          CodecFailure::ofContext(encodeBuffer.getCtxtPtr()));
   return CACMPT_BLOB(encodeBuffer.getMsgPtr(), static_cast<uint32_t>(length));
}
