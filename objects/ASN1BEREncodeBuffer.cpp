/*
 * BER/DER encode buffer. The runtime writes back to front: the message
 * occupies data[byteIndex] up to, not including, the buffer's last octet.
 */
#include "ASN1BEREncodeBuffer.h"

#include <cstring>

#include "ASN1CType.h"
#include "berEncode.h"

ASN1BEREncodeBuffer::ASN1BEREncodeBuffer() : ASN1BERMessageBuffer(BEREncode) {
   int stat = xe_setp(getCtxtPtr(), nullptr, 0);
   if (stat != RTS_OK) throw RTLError(stat);
}

ASN1BEREncodeBuffer::ASN1BEREncodeBuffer(ASN1OCTET* buffer, int size)
   : ASN1BERMessageBuffer(BEREncode) {
   int stat = xe_setp(getCtxtPtr(), buffer, size);
   if (stat != RTS_OK) throw RTLError(stat);
}

ASN1OCTET* ASN1BEREncodeBuffer::getMsgCopy() {
   if (getCtxtPtr()->buffer.data == nullptr) return nullptr;
   const int length = getMsgLen();
   ASN1OCTET* copy = new ASN1OCTET[length > 0 ? length : 1];
   if (length > 0) std::memcpy(copy, getMsgPtr(), static_cast<size_t>(length));
   return copy;
}

ASN1OCTET* ASN1BEREncodeBuffer::getMsgPtr() {
   return getCtxtPtr()->buffer.data != nullptr ? xe_getp(getCtxtPtr()) : nullptr;
}

int ASN1BEREncodeBuffer::getMsgLen() {
   const ASN1BUFFER& buffer = getCtxtPtr()->buffer;
   if (buffer.data == nullptr || buffer.size == 0 || buffer.byteIndex >= buffer.size) return 0;
   return static_cast<int>(buffer.size - 1 - buffer.byteIndex);
}

void ASN1BEREncodeBuffer::init() {
   ASN1BUFFER& buffer = getCtxtPtr()->buffer;
   if (buffer.size > 0) buffer.byteIndex = buffer.size - 1;
}

int ASN1BEREncodeBuffer::setBuffer(ASN1OCTET* buffer, int size) {
   return xe_setp(getCtxtPtr(), buffer, size);
}

ASN1BEREncodeBuffer& ASN1BEREncodeBuffer::operator<<(ASN1CType& object) {
   int len = object.EncodeTo(*this);
   if (len < 0) throw ASN1RTLException(len);
   return *this;
}
