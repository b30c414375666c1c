/*
 * Base of the message buffers: the buffer's own context and the memory-buffer
 * form of initBuffer that the XER value decoders read through.
 */
#include "ASN1MessageBuffer.h"

#include "rtContext.h"

ASN1MessageBuffer::ASN1MessageBuffer(Type bufferType)
   : mpContext(new ASN1Context()), mBufferType(bufferType) {
   mpContext->_ref();
}

ASN1MessageBuffer::~ASN1MessageBuffer() { mpContext->_unref(); }

int ASN1MessageBuffer::initBuffer(ASN1MemBuf& memBuf) {
   int length = 0;
   ASN1OCTET* data = rtMemBufGetData(&memBuf, &length);
   return rtInitContextBuffer(getCtxtPtr(), data, static_cast<ASN1UINT>(length));
}
