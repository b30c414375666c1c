/*
 * The table of top-level types, searched by exact name.
 */
#include "typeRegistry.h"

#include <cstring>

#include "asn1data.h"

using namespace asn1data;

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

/* The eContent of a ContentInfo whose content the object table resolved to
   SignedData; null when it was not resolved. Neither the content type of
   the SignedData nor its eContentType is checked. */
const ASN1TDynOctStr* signedContent(const ASN1T_ContentInfo& contentInfo) {
   if (!(contentInfo.contentType == id_signedData) || contentInfo.content.decoded == nullptr)
      return nullptr;
   return &static_cast<const ASN1T_SignedData*>(contentInfo.content.decoded)->encapContentInfo.eContent;
}

const ASN1TDynOctStr* contentOfContentInfo(const void* outer) {
   return signedContent(*static_cast<const ASN1T_ContentInfo*>(outer));
}

const ASN1TDynOctStr* contentOfToken(const void* outer) {
   const auto* response = static_cast<const ASN1T_TimeStampResp*>(outer);
   return response->m.timeStampTokenPresent ? signedContent(response->timeStampToken) : nullptr;
}

/* A response without responseBytes carries an empty inner message. */
const ASN1TDynOctStr* responseBytes(const void* outer) {
   static const ASN1TDynOctStr kNone = {0, nullptr};
   const auto* response = static_cast<const ASN1T_OCSPResponse*>(outer);
   return response->m.responseBytesPresent ? &response->responseBytes.response : &kNone;
}

#define ROW(type) #type, createControl<ASN1C_##type, ASN1T_##type>

/* The rows in registry order. TimeStampAuthenticodeRequest came last to the
   registry but stands after TimeStampResp in the help text. A time-stamp
   token is a ContentInfo with a control class of its own. */
const TopLevelType kRows[] = {
   {ROW(CertificationRequest), 0, nullptr, nullptr},
   {ROW(Certificate), 1, nullptr, nullptr},
   {ROW(CertificateList), 2, nullptr, nullptr},
   {ROW(PKIMessage), 3, nullptr, nullptr},
   {ROW(ContentInfo), 4, nullptr, nullptr},
   {ROW(EnvelopedData), 5, nullptr, nullptr},
   {ROW(EncryptedData), 6, nullptr, nullptr},
   {ROW(TimeStampReq), 7, nullptr, nullptr},
   {"TimeStampToken", createControl<ASN1C_TimeStampToken, ASN1T_ContentInfo>, 8, nullptr, nullptr},
   {ROW(TimeStampResp), 9, nullptr, nullptr},
   {ROW(TSTInfo), 11, "TimeStampResp", contentOfToken},
   {ROW(OCSPRequest), 12, nullptr, nullptr},
   {ROW(OCSPResponse), 13, nullptr, nullptr},
   {ROW(BasicOCSPResponse), 14, "OCSPResponse", responseBytes},
   {ROW(DVCSRequest), 15, "ContentInfo", contentOfContentInfo},
   {ROW(DVCSResponse), 16, "ContentInfo", contentOfContentInfo},
   {ROW(TimeStampAuthenticodeRequest), 10, nullptr, nullptr},
};

#undef ROW

}

const TopLevelTypeTable kTopLevelTypes = {kRows, sizeof kRows / sizeof kRows[0]};

const TopLevelType* topLevelTypeAtHelpPosition(size_t position) {
   for (const TopLevelType& row : kTopLevelTypes)
      if (row.helpPosition == position) return &row;
   return nullptr;
}

const TopLevelType* findTopLevelType(const char* typeName) {
   for (const TopLevelType& row : kTopLevelTypes)
      if (std::strcmp(row.name, typeName) == 0) return &row;
   return nullptr;
}

ASN1CType* CreateType(ASN1MessageBuffer& buffer, const char* typeName, void** value) {
   const TopLevelType* row = findTopLevelType(typeName);
   return row != nullptr ? row->create(buffer, value) : nullptr;
}
