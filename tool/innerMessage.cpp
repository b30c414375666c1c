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

#include "ASN1BERDecodeBuffer.h"
#include "ASN1CType.h"
#include "asn1type.h"
#include "typeRegistry.h"

namespace {

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

   const TopLevelType* row = findTopLevelType(typeName);
   if (row == nullptr || row->carriedBy == nullptr ||
       std::strcmp(row->carriedBy, outerTypeName) != 0) {
      std::puts("Invalid type combination");
      return false;
   }
   const ASN1TDynOctStr* inner = row->innerOctets(outer);
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
