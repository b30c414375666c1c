/*
 * Bit-set class over a BIT STRING value, the base of the generated BIT
 * STRING control classes (key usage, reason flags and the like).
 *
 * Bit n is bit 7 - n % 8 of octet n / 8. The class works either on the
 * caller's ASN1TDynBitStr (unbounded: it grows on demand), on the caller's
 * fixed array with a maximum number of bits (bounded), or on an array of its
 * own. After every change the trailing zero octets are dropped from the units
 * used and the bit count is set to length(), so the value never ends in a
 * zero bit. Allocations come from the context's typeMemHeap; failures are
 * recorded in the context and returned.
 */
#ifndef BLOBXML_ASN1CBITSTR_H
#define BLOBXML_ASN1CBITSTR_H

#include "ASN1CType.h"
#include "ASN1MessageBuffer.h"

/* Maximum of an unbounded (dynamic) bit string. */
#define ASN1CBITSTR_UNBOUNDED 0xFFFFFFFFu

class ASN1CBitStr : public ASN1CType {
public:
   /* Unbounded over the caller's value; its octets stay the caller's until
      the first growth copies them into an allocation of the class. */
   ASN1CBitStr(ASN1MessageBufferIF& msgBuf, ASN1TDynBitStr& bitStr);
   ASN1CBitStr(ASN1Context* context, ASN1TDynBitStr& bitStr);
   explicit ASN1CBitStr(ASN1TDynBitStr& bitStr);

   /* Bounded over the caller's array of (maxNumbits - 1) / 8 + 1 octets;
      numbits is cut to maxNumbits and the unused bits are zeroed. */
   ASN1CBitStr(ASN1MessageBufferIF& msgBuf, ASN1OCTET* bitStr, ASN1UINT& numbits,
               ASN1UINT maxNumbits);
   ASN1CBitStr(ASN1Context* context, ASN1OCTET* bitStr, ASN1UINT& numbits,
               ASN1UINT maxNumbits);
   ASN1CBitStr(ASN1OCTET* bitStr, ASN1UINT& numbits, ASN1UINT maxNumbits);

   /* A zeroed array of the class's own for nbits bits, which is also the
      maximum; 0 gives an empty unbounded string. */
   ASN1CBitStr(ASN1MessageBufferIF& msgBuf, ASN1UINT nbits);
   ASN1CBitStr(ASN1Context* context, ASN1UINT nbits);
   explicit ASN1CBitStr(ASN1UINT nbits);

   /* Shares the source's context and message buffer; copies its bits into
      storage of its own. With extendable set the copy is unbounded and has
      room for 1024 octets more than the source uses. */
   ASN1CBitStr(const ASN1CBitStr& source);
   ASN1CBitStr(const ASN1CBitStr& source, ASN1UINT8 extendable);

   ASN1CBitStr& operator=(const ASN1CBitStr&) = delete;

   /* Frees octets the class allocated and did not hand to the caller's
      ASN1TDynBitStr. */
   virtual ~ASN1CBitStr();

   /* Re-point the object like the matching constructors; no bit is cleared. */
   void init(ASN1TDynBitStr& bitStr);
   void init(ASN1OCTET* bitStr, ASN1UINT& numbits, ASN1UINT maxNumbits);

   /* Single bits. RTS_OUT_OF_BOUNDS (-29) when n is above the maximum. get
      gives 1 or 0 (0 beyond the used octets). */
   int set(ASN1UINT n);
   int clear(ASN1UINT n);
   int invert(ASN1UINT n);
   int get(ASN1UINT n);

   /* Half-open ranges [from, to). RTS_BAD_RANGE (-24) when from > to,
      RTS_OUT_OF_BOUNDS when to is above the maximum. */
   int set(ASN1UINT from, ASN1UINT to);
   int clear(ASN1UINT from, ASN1UINT to);
   int invert(ASN1UINT from, ASN1UINT to);

   /* Zeroes the used octets; no bits, no units used. */
   void clear();

   /* 1 + the index of the last set bit (0 when none). */
   ASN1UINT length() const;
   /* Units (octets) used. */
   int size() const { return mUnitsUsed; }
   ASN1UINT cardinality() const;
   /* Bits of the last used octet beyond the bit count (BER's unused bits). */
   int unusedBitsInLastUnit() const;

   /* The used octets, zero-filled to bufferSize; RTS_BAD_LENGTH (-5) when more
      octets are used than that. */
   int getBytes(ASN1OCTET* buffer, int bufferSize);
   /* Bits [from, to) left-aligned into the zeroed buffer; RTS_VALUE_TOO_LONG
      (-17) when they do not fit. */
   int get(ASN1UINT from, ASN1UINT to, ASN1OCTET* buffer, int bufferSize);

   /* Logical operations with the first nbits bits of octets; bits of the
      operand's last octet beyond nbits take no part. RTS_BAD_ARGUMENT (-30)
      for a null operand or for the object's own octets. */
   int doAnd(const ASN1OCTET* octets, ASN1UINT nbits);
   /* nbits 0 sets every bit below the maximum (bounded strings only). */
   int doOr(const ASN1OCTET* octets, ASN1UINT nbits);
   int doXor(const ASN1OCTET* octets, ASN1UINT nbits);
   int doAndNot(const ASN1OCTET* octets, ASN1UINT nbits);

   /* Moves every bit n places towards bit 0; the first n bits are lost. */
   int shiftLeft(ASN1UINT n);
   /* Moves every bit n places away from bit 0. An unbounded string grows; a
      bounded one keeps its length and loses the bits moved beyond it. */
   int shiftRight(ASN1UINT n);

   /* A record sharing the octets, numbits = length(). */
   operator ASN1TDynBitStr();
   /* A new record with a copy of the used octets, both in typeMemHeap; null
      without a context or memory. */
   operator ASN1TDynBitStr*();

protected:
   /* Makes room for octets octets and raises the units used to them. */
   int checkCapacity(int octets);

   const ASN1OCTET* mpOwnData;
   const ASN1OCTET** mppData;
   ASN1UINT mMaxNumbits;
   ASN1UINT* mpNumbits;
   int mUnitsUsed;
   int mUnitsAllocated;
   ASN1UINT8 mDynamic;

private:
   ASN1OCTET* units() const { return const_cast<ASN1OCTET*>(*mppData); }
   bool isUnbounded() const { return mMaxNumbits == ASN1CBITSTR_UNBOUNDED; }
   /* Records status in the context and returns it; the checks give
      RTS_OUT_OF_BOUNDS for a bit beyond the capacity, RTS_BAD_RANGE for a
      range whose start lies after its end. */
   int fail(int status);
   int checkBit(ASN1UINT n);
   int checkRange(ASN1UINT from, ASN1UINT to);
   /* Binding to the caller's string (dynamic or fixed) or to storage of the
      object's own, copying, releasing it, and recounting the bits in use. */
   void bindDynamic(ASN1TDynBitStr& bitStr);
   void bindFixed(ASN1OCTET* bitStr, ASN1UINT& numbits, ASN1UINT maxNumbits);
   void bindNew(ASN1UINT nbits);
   void copyFrom(const ASN1CBitStr& source, ASN1UINT8 extendable);
   void releaseOwnedUnits();
   void recompute();

   /* Bit count of a string made by the class itself (copies, nbits form). */
   ASN1UINT mOwnNumbits;
};

#endif
