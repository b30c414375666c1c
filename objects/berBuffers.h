/*
 * Message buffers for BER/DER: the encode buffer, written back to front
 * (runtime-owned and growing, or the caller's fixed array), and the decode
 * buffer over one message held in memory.
 */
#ifndef BLOBXML_BERBUFFERS_H
#define BLOBXML_BERBUFFERS_H

#include "asn1CppTypes.h"

class ASN1BERMessageBuffer : public ASN1MessageBuffer {
protected:
   explicit ASN1BERMessageBuffer(Type bufferType) : ASN1MessageBuffer(bufferType) {}
};

class ASN1BEREncodeBuffer : public ASN1BERMessageBuffer {
public:
   /* A runtime-owned buffer of 16384 bytes that grows as needed. */
   ASN1BEREncodeBuffer();
   /* The caller's fixed buffer; an encoding that does not fit fails with
      RTS_BUFFER_FULL. Both forms throw RTLError when the set-up fails. */
   ASN1BEREncodeBuffer(ASN1OCTET* buffer, int size);

   /* A new[] copy of the encoded message (the caller frees it with
      delete[]); null when the buffer has no storage. */
   ASN1OCTET* getMsgCopy() override;
   /* The first octet of the encoded message; it ends just before the
      buffer's last octet. */
   ASN1OCTET* getMsgPtr() override;
   /* Octets encoded so far. */
   int getMsgLen();
   /* Empties the buffer for the next message. */
   void init() override;
   bool isA(Type bufferType) override { return bufferType == BEREncode; }

   /* Sets the buffer up again (null: runtime-owned); returns the status. */
   int setBuffer(ASN1OCTET* buffer, int size);

   /* Encodes the object here; a negative result throws ASN1RTLException. */
   ASN1BEREncodeBuffer& operator<<(ASN1CType& object);
};

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
