/*
 * XerDerConverterTimeStampResponse: the XML of a TimeStampResp in which the
 * eContent of the token (id-ct-TSTInfo, written as one unbroken run of
 * markup) is replaced by the XML of the TSTInfo it carries.
 */
#include "xerDerConverter.h"

#include "ASN1BERDecodeBuffer.h"
#include "ASN1XEREncodeBuffer.h"
#include "asn1data.h"
#include "caException.h"
#include "rtContext.h"

using namespace asn1data;

namespace {

const char kContentEnd[] = "</eContent></encapContentInfo>";

/* The markup that opens the eContent of a token: the content type
   id-ct-TSTInfo in dotted form, as the XML writer puts it. */
std::string contentStart() {
   std::string text = "<encapContentInfo><eContentType>";
   for (ASN1UINT arc = 0; arc < id_ct_TSTInfo.numarcs; ++arc)
      text += (arc == 0 ? "" : ".") + std::to_string(id_ct_TSTInfo.arcs[arc]);
   return text + "</eContentType><eContent>";
}

/* Decodes one TSTInfo from DER and returns its XML document. */
std::string tstInfoXml(const ASN1OCTET* data, ASN1UINT length) {
   ASN1BERDecodeBuffer decodeBuffer(data, static_cast<int>(length));
   ASN1XEREncodeBuffer encodeBuffer(0);
   ASN1T_TSTInfo value;
   ASN1C_TSTInfo decoder(decodeBuffer, value);
   ASN1C_TSTInfo encoder(encodeBuffer, value);
   if (decoder.DecodeFrom(decodeBuffer) != 0)
      throw Asn1Exception(rtErrGetText(decodeBuffer.getCtxtPtr()), sourceFileName(__FILE__), __LINE__,
                          CodecFailure::ofContext(decodeBuffer.getCtxtPtr()));
   if (encoder.EncodeTo(encodeBuffer) < 0)
      throw Asn1Exception(rtErrGetText(encodeBuffer.getCtxtPtr()), sourceFileName(__FILE__), __LINE__,
                          CodecFailure::ofContext(encodeBuffer.getCtxtPtr()));
   ASN1CTXT* ctxt = encodeBuffer.getCtxtPtr();
   return std::string(reinterpret_cast<const char*>(ctxt->buffer.data), ctxt->buffer.byteIndex);
}

}

std::string XerDerConverterTimeStampResponse::toXer(const CACMPT_BLOB& der, bool) const {
   /* The response's buffers stay alive while its token is read below. */
   ASN1BERDecodeBuffer decodeBuffer(der.data, static_cast<int>(der.length));
   ASN1XEREncodeBuffer encodeBuffer(0);
   ASN1T_TimeStampResp response;
   ASN1C_TimeStampResp decoder(decodeBuffer, response);
   ASN1C_TimeStampResp encoder(encodeBuffer, response);
   if (decoder.DecodeFrom(decodeBuffer) != 0)
      throw Asn1Exception(rtErrGetText(decodeBuffer.getCtxtPtr()), sourceFileName(__FILE__), __LINE__,
                          CodecFailure::ofContext(decodeBuffer.getCtxtPtr()));
   if (encoder.EncodeTo(encodeBuffer) < 0)
      throw Asn1Exception(rtErrGetText(encodeBuffer.getCtxtPtr()), sourceFileName(__FILE__), __LINE__,
                          CodecFailure::ofContext(encodeBuffer.getCtxtPtr()));
   ASN1CTXT* ctxt = encodeBuffer.getCtxtPtr();
   std::string xml(reinterpret_cast<const char*>(ctxt->buffer.data), ctxt->buffer.byteIndex);

   const ASN1T_ContentInfo& token = response.timeStampToken;
   const auto* signedData = static_cast<const ASN1T_SignedData*>(token.content.decoded);
   ASN1TDynOctStr eContent = {0, nullptr};
   if (response.m.timeStampTokenPresent && token.contentType == id_signedData && signedData != nullptr)
      eContent = signedData->encapContentInfo.eContent;
   std::string tstXml = tstInfoXml(eContent.data, eContent.numocts);

   const std::string opening = contentStart();
   size_t start = xml.find(opening);
   if (start == std::string::npos) throw CAException("Wrong xer", sourceFileName(__FILE__), __LINE__);
   start += opening.size();
   size_t end = xml.find(kContentEnd, start);
   if (end == std::string::npos) throw CAException("Wrong xer", sourceFileName(__FILE__), __LINE__);
   return xml.replace(start, end - start, tstXml);
}

CACMPT_BLOB XerDerConverterTimeStampResponse::toDer(const std::string&) const { return CACMPT_BLOB(); }
