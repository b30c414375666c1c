/*
 * Control-class base: binding of a value's control object to a context and a
 * message buffer.
 */
#include "ASN1CType.h"

#include "ASN1MessageBuffer.h"
#include "rtContext.h"

ASN1CType::ASN1CType() : mpContext(new ASN1Context()), mpMsgBuf(nullptr) {}

ASN1CType::ASN1CType(ASN1MessageBufferIF& msgBuf)
   : mpContext(msgBuf.getContext()), mpMsgBuf(&msgBuf) {}

ASN1CType::ASN1CType(ASN1Context* context) : mpContext(context), mpMsgBuf(nullptr) {}

int ASN1CType::Encode() {
   return mpMsgBuf != nullptr ? EncodeTo(*mpMsgBuf) : RTS_UNSUPPORTED;
}

int ASN1CType::Decode() {
   return mpMsgBuf != nullptr ? DecodeFrom(*mpMsgBuf) : RTS_UNSUPPORTED;
}

int ASN1CType::EncodeTo(ASN1MessageBufferIF&) { return RTS_OK; }

int ASN1CType::DecodeFrom(ASN1MessageBufferIF&) { return RTS_OK; }

void ASN1CType::setMsgBuf(ASN1MessageBufferIF& msgBuf) {
   mpMsgBuf = &msgBuf;
   rtCtxtSetMemHeap(getCtxtPtr(), msgBuf.getCtxtPtr());
}
