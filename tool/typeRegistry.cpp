/*
 * The table of top-level types, searched in order by exact name.
 */
#include "typeRegistry.h"

#include <cstring>

#include "asn1data.h"

namespace {

/* Allocates the zero-filled value structure from the heap of the buffer's
   context when *value is null, then binds a new control object to it. */
template <class Control, class Value>
ASN1CType* createControl(ASN1MessageBuffer& buffer, void** value) {
   if (*value == nullptr) {
      *value = rtMemHeapAllocZ(&buffer.getCtxtPtr()->typeMemHeap, sizeof(Value));
      if (*value == nullptr) throw ASN1MessageBuffer::RTLError(RTS_NO_MEMORY);
   }
   return new Control(buffer, *static_cast<Value*>(*value));
}

#define ROW(type) {#type, createControl<asn1data::ASN1C_##type, asn1data::ASN1T_##type>}

/* One row per top-level type, in the order of the help text; the null row
   ends the table. A time-stamp token is a ContentInfo with a control class
   of its own. */
const TopLevelType kTopLevelTypes[] = {
   ROW(CertificationRequest),
   ROW(Certificate),
   ROW(CertificateList),
   ROW(PKIMessage),
   ROW(ContentInfo),
   ROW(EnvelopedData),
   ROW(EncryptedData),
   ROW(TimeStampReq),
   {"TimeStampToken", createControl<asn1data::ASN1C_TimeStampToken, asn1data::ASN1T_ContentInfo>},
   ROW(TimeStampResp),
   ROW(TSTInfo),
   ROW(OCSPRequest),
   ROW(OCSPResponse),
   ROW(BasicOCSPResponse),
   ROW(DVCSRequest),
   ROW(DVCSResponse),
   ROW(TimeStampAuthenticodeRequest),
   {nullptr, nullptr},
};

#undef ROW

}

const TopLevelType* findTopLevelType(const char* typeName) {
   for (const TopLevelType* row = kTopLevelTypes; row->name != nullptr; ++row)
      if (std::strcmp(row->name, typeName) == 0) return row;
   return nullptr;
}

ASN1CType* CreateType(ASN1MessageBuffer& buffer, const char* typeName, void** value) {
   const TopLevelType* row = findTopLevelType(typeName);
   return row != nullptr ? row->create(buffer, value) : nullptr;
}
