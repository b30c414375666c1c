/*
 * BER decode buffer over one message held in memory.
 */
#include "ASN1BERDecodeBuffer.h"

#include "ASN1CType.h"
#include "berDecode.h"

ASN1BERDecodeBuffer::ASN1BERDecodeBuffer()
   : ASN1BERMessageBuffer(BERDecode), mpMsgData(nullptr), mMsgLength(0), mSetUp(false) {}

ASN1BERDecodeBuffer::ASN1BERDecodeBuffer(const ASN1OCTET* data, int length)
   : ASN1BERMessageBuffer(BERDecode), mpMsgData(data), mMsgLength(length), mSetUp(false) {}

void ASN1BERDecodeBuffer::init() { setBuffer(mpMsgData, mMsgLength); }

int ASN1BERDecodeBuffer::setBuffer(const ASN1OCTET* data, int length) {
   if (mSetUp && data == mpMsgData && length == mMsgLength) return RTS_OK;
   mpMsgData = data;
   mMsgLength = length;
   mSetUp = true;
   return xd_setp(getCtxtPtr(), data, length);
}

const ASN1OCTET* ASN1BERDecodeBuffer::findElement(ASN1TAG tag, int& length, int first) {
   ASN1CTXT* pctxt = getCtxtPtr();
   ASN1OCTET mode = XD_MODE_SEEK;
   if (first) {
      mSetUp = true;
      if (xd_setp(pctxt, mpMsgData, mMsgLength) != RTS_OK) return nullptr;
   } else {
      /* Step over the current element, or into it when constructed. */
      mode |= XD_MODE_SKIP;
   }
   int contentsLength = 0;
   if (xd_match(pctxt, tag, &contentsLength, mode) != RTS_OK) return nullptr;
   length = contentsLength;
   return pctxt->buffer.data + pctxt->buffer.byteIndex;
}

ASN1BERDecodeBuffer& ASN1BERDecodeBuffer::operator>>(ASN1CType& object) {
   int stat = object.DecodeFrom(*this);
   if (stat != RTS_OK) throw ASN1RTLException(stat);
   return *this;
}
