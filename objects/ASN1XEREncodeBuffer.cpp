/*
 * XER encode buffer: the XML writer appends front to back, so the document
 * is the buffer's bytes from its start up to byteIndex.
 */
#include "ASN1XEREncodeBuffer.h"

#include "rtContext.h"
#include "xerEncode.h"

/* Throws the constructor failure for a non-zero set-up status. */
static void checkSetUp(int stat) {
   if (stat != RTS_OK) throw ASN1MessageBuffer::RTLError(stat);
}

ASN1XEREncodeBuffer::ASN1XEREncodeBuffer() : ASN1XERMessageBuffer(XEREncode) {
   checkSetUp(xerSetEncBufPtr(getCtxtPtr(), nullptr, 0, 0));
}

ASN1XEREncodeBuffer::ASN1XEREncodeBuffer(ASN1OCTET compact) : ASN1XERMessageBuffer(XEREncode) {
   checkSetUp(xerSetEncBufPtr(getCtxtPtr(), nullptr, 0, compact));
}

ASN1XEREncodeBuffer::ASN1XEREncodeBuffer(ASN1OCTET compact, ASN1CTXT* shared, int size)
   : ASN1XERMessageBuffer(XEREncode) {
   if (size < 0) throw RTLError(RTS_BAD_ARGUMENT);
   rtCtxtSetMsgMemHeap(getCtxtPtr(), shared);
   checkSetUp(xerSetEncBufPtr(getCtxtPtr(), nullptr, static_cast<ASN1UINT>(size), compact));
}

ASN1XEREncodeBuffer::ASN1XEREncodeBuffer(ASN1OCTET* buffer, int size)
   : ASN1XERMessageBuffer(XEREncode) {
   if (size < 0) throw RTLError(RTS_BAD_ARGUMENT);
   checkSetUp(xerSetEncBufPtr(getCtxtPtr(), buffer, static_cast<ASN1UINT>(size), 0));
}

ASN1XEREncodeBuffer::ASN1XEREncodeBuffer(ASN1OCTET* buffer, int size, ASN1OCTET compact,
                                         ASN1OCTET fragment)
   : ASN1XERMessageBuffer(XEREncode) {
   if (size < 0) throw RTLError(RTS_BAD_ARGUMENT);
   checkSetUp(xerSetEncBufPtr(getCtxtPtr(), buffer, static_cast<ASN1UINT>(size), compact));
   if (fragment) rtCtxtSetFlag(getCtxtPtr(), CTXTF_XER_FRAGMENT);
}

void ASN1XEREncodeBuffer::init() { getCtxtPtr()->buffer.byteIndex = 0; }

int ASN1XEREncodeBuffer::write(FILE* file) {
   if (file == nullptr) return -1;
   const ASN1BUFFER& buffer = getCtxtPtr()->buffer;
   if (buffer.data == nullptr || buffer.byteIndex == 0) return 0;
   return static_cast<int>(std::fwrite(buffer.data, 1, buffer.byteIndex, file));
}

int ASN1XEREncodeBuffer::write(const char* fileName) {
   FILE* file = fileName != nullptr ? std::fopen(fileName, "wb") : nullptr;
   if (file == nullptr) return -1;
   int count = write(file);
   std::fclose(file);
   return count;
}
