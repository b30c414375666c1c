/*
 * Converters between a DER message and its XER text for one top-level type.
 * Both directions throw CAException or Asn1Exception on failure; XML that
 * does not decode throws the XML reader's OSRTSAXExceptionImpl. Both
 * exceptions are CodecFailures: status, path, offset or line.
 */
#ifndef BLOBXML_XERDERCONVERTER_H
#define BLOBXML_XERDERCONVERTER_H

#include <string>

#include "caBlob.h"
#include "caException.h"

class XerDerConverter {
public:
   virtual ~XerDerConverter();
   /* The XML document of the value in der; with includeEncoded the
      hexadecimal text of der opens the root element's content. */
   virtual std::string toXer(const CACMPT_BLOB& der, bool includeEncoded) const = 0;
   /* The DER encoding of the value in the XML document xer. */
   virtual CACMPT_BLOB toDer(const std::string& xer) const = 0;
};

/* Converts values of the top-level type named at construction, as the
   registry (typeRegistry.h) knows it. */
class XerDerConverterSimple : public XerDerConverter {
public:
   explicit XerDerConverterSimple(const std::string& typeName);
   std::string toXer(const CACMPT_BLOB& der, bool includeEncoded) const override;
   CACMPT_BLOB toDer(const std::string& xer) const override;

private:
   std::string typeName;
};

/* Converts a time-stamp response to XML with the TSTInfo of its token
   decoded in place of the token's hexadecimal eContent; no XML to DER. */
class XerDerConverterTimeStampResponse : public XerDerConverter {
public:
   std::string toXer(const CACMPT_BLOB& der, bool includeEncoded) const override;
   /* Converts nothing: an empty blob. */
   CACMPT_BLOB toDer(const std::string& xer) const override;
};

#endif
