/*
 * Inner message extraction (-t1). The outer message is decoded as BER in a
 * private decode buffer; the octets of the inner message are copied over
 * msgbuf, optionally written to the -o file, and the outer value goes with
 * the buffer.
 */
#include "innerMessage.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "asn1data.h"
#include "berBuffers.h"
#include "typeRegistry.h"

using namespace asn1data;

namespace {

/* The eContent of a ContentInfo whose content the object table resolved to
   SignedData; null when it was not resolved. */
const ASN1TDynOctStr* signedContent(const ASN1T_ContentInfo& contentInfo) {
   if (!(contentInfo.contentType == id_signedData) || contentInfo.content.decoded == nullptr)
      return nullptr;
   return &static_cast<const ASN1T_SignedData*>(contentInfo.content.decoded)->encapContentInfo.eContent;
}

/* The octets the pair (type, outer type) names inside the decoded outer
   value. Sets *known to false for a pair that is not supported; returns
   null for a supported pair whose outer value carries no inner message. */
const ASN1TDynOctStr* innerOctets(const char* typeName, const char* outerTypeName,
                                  const void* outer, bool* known) {
   *known = true;
   if (std::strcmp(typeName, "TSTInfo") == 0 && std::strcmp(outerTypeName, "TimeStampResp") == 0) {
      const auto* response = static_cast<const ASN1T_TimeStampResp*>(outer);
      return response->m.timeStampTokenPresent ? signedContent(response->timeStampToken) : nullptr;
   }
   if ((std::strcmp(typeName, "DVCSRequest") == 0 || std::strcmp(typeName, "DVCSResponse") == 0) &&
       std::strcmp(outerTypeName, "ContentInfo") == 0)
      return signedContent(*static_cast<const ASN1T_ContentInfo*>(outer));
   if (std::strcmp(typeName, "BasicOCSPResponse") == 0 &&
       std::strcmp(outerTypeName, "OCSPResponse") == 0) {
      static const ASN1TDynOctStr kNone = {0, nullptr};
      const auto* response = static_cast<const ASN1T_OCSPResponse*>(outer);
      return response->m.responseBytesPresent ? &response->responseBytes.response : &kNone;
   }
   *known = false;
   return nullptr;
}

/* False when the file was opened but the octets did not all reach it (the
   close flushes them, so its failure counts too). A file that cannot be
   opened is reported and the conversion goes on. */
bool writeInnerFile(const char* outFileName, const ASN1OCTET* data, uint32_t length) {
   FILE* out = std::fopen(outFileName, "wb");
   if (out == nullptr) {
      std::printf("Error opening %s for write access\n", outFileName);
      return true;
   }
   const bool written = length == 0 || std::fwrite(data, 1, length, out) == length;
   if (std::fclose(out) == 0 && written) return true;
   std::fprintf(stderr, "Error writing %s\n", outFileName);
   return false;
}

}

bool extractInnerMessage(unsigned char* msgbuf, uint32_t* length, const char* typeName,
                         const char* outerTypeName, const char* outFileName) {
   ASN1BERDecodeBuffer decodeBuffer(msgbuf, static_cast<int>(*length));
   void* outer = nullptr;
   std::unique_ptr<ASN1CType> decoder(CreateType(decodeBuffer, outerTypeName, &outer));
   if (decoder == nullptr) {
      std::printf("decode of %s failed\n", outerTypeName);
      return false;
   }
   if (decoder->Decode() != 0) {
      std::printf("decode of %s failed\n", outerTypeName);
      decodeBuffer.getContext()->PrintErrorInfo();
      return false;
   }

   bool known = false;
   const ASN1TDynOctStr* inner = innerOctets(typeName, outerTypeName, outer, &known);
   if (!known) {
      std::puts("Invalid type combination");
      return false;
   }
   if (inner == nullptr) {
      /* A time-stamp response without token, or a ContentInfo whose content
         is not signed data, carries no inner message. */
      std::printf("decode of %s failed\n", outerTypeName);
      return false;
   }

   if (inner->numocts > 0) std::memmove(msgbuf, inner->data, inner->numocts);
   *length = inner->numocts;
   return outFileName == nullptr || writeInnerFile(outFileName, msgbuf, *length);
}
