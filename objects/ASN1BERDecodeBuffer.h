/*
 * Message buffer for BER/DER decoding, over one message held in memory.
 */
#ifndef BLOBXML_ASN1BERDECODEBUFFER_H
#define BLOBXML_ASN1BERDECODEBUFFER_H

#include "ASN1MessageBuffer.h"

class ASN1CType;

class ASN1BERDecodeBuffer : public ASN1BERMessageBuffer {
public:
   ASN1BERDecodeBuffer();
   /* Stores the message; nothing is decoded until init or setBuffer. */
   ASN1BERDecodeBuffer(const ASN1OCTET* data, int length);

   /* Sets up the stored message, once: see setBuffer. */
   void init() override;
   bool isA(Type bufferType) override { return bufferType == BERDecode; }

   /* With the stored data and length on a buffer already set up: returns 0
      and leaves the position where it is, so a second decode goes on where
      the first stopped. Otherwise stores them and starts the message
      (xd_setp), returning its status. */
   int setBuffer(const ASN1OCTET* data, int length);

   /* Searches depth-first for the element with the given tag (form bit
      ignored): with first set, from the start of the stored message; else
      from the element after the current one (stepping into it when
      constructed). Returns the address of the element's identifier, with
      the position left there and length set to its contents length; null
      when it is not found or the message is malformed. */
   const ASN1OCTET* findElement(ASN1TAG tag, int& length, int first);

   /* Decodes the object from here; a non-zero status throws
      ASN1RTLException. */
   ASN1BERDecodeBuffer& operator>>(ASN1CType& object);

private:
   const ASN1OCTET* mpMsgData;
   int mMsgLength;
   bool mSetUp;
};

#endif
