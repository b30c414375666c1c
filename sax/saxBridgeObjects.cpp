/*
 * The two pieces of the SAX bridge that need the object layer: the reader
 * factory and the hand-over of collected character data to a message
 * buffer for the XER value decoders.
 */
#include "ASN1MessageBuffer.h"
#include "ASN1XERSAXDecodeHandler.h"
#include "OSExpatXMLReader.h"

OSXMLReader* saxCreateXmlReader(ASN1CtxtPtr, OSXMLContentHandler* contentHandler,
                                OSXMLErrorInfo* errorInfo) {
   OSXMLReader* reader = new OSExpatXMLReader();
   reader->setContentHandler(contentHandler);
   reader->setErrorInfoHandler(errorInfo);
   return reader;
}

/* The context's buffer is pointed at the collected text with its length;
   a NUL is then appended just past that length, so the decoders may treat
   the text as a C string. Every primitive value goes through here, so the
   room is checked in place and the NUL stored directly once it is there. */
ASN1CTXT* ASN1XERSAXDecodeHandler::finalizeMemBuf(ASN1MessageBufferIF* msgBuf, ASN1MemBuf& memBuf) {
   if (memBuf.usedcnt >= memBuf.bufsize) {
      const int stat = rtMemBufPreAllocate(&memBuf, 1);
      if (stat != RTS_OK) throw ASN1MessageBuffer::RTLError(stat);
   }
   const int stat = msgBuf->initBuffer(memBuf);
   if (stat != RTS_OK) throw ASN1MessageBuffer::RTLError(stat);
   memBuf.buffer[memBuf.usedcnt++] = 0;
   return msgBuf->getCtxtPtr();
}
