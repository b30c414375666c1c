/*
 * Bit-set class over a BIT STRING value.
 */
#include "ASN1CBitStr.h"

#include <cstring>

#include "rtContext.h"
#include "rtMemHeap.h"

/* Room added beyond the octets needed when an unbounded string grows. */
static const int kGrowthOctets = 1024;

namespace {

/* Octets that hold nbits bits. */
int octetsFor(ASN1UINT nbits) { return nbits == 0 ? 0 : static_cast<int>((nbits - 1) / 8 + 1); }

/* The bits of octet index that fall into [from, to). */
ASN1OCTET rangeMask(ASN1UINT index, ASN1UINT from, ASN1UINT to) {
   unsigned long long first = static_cast<unsigned long long>(index) * 8;
   unsigned long long lo = from > first ? from : first;
   unsigned long long hi = to < first + 8 ? to : first + 8;
   if (lo >= hi) return 0;
   unsigned head = 0xFFu >> (lo - first);
   unsigned tail = (0xFFu << (first + 8 - hi)) & 0xFFu;
   return static_cast<ASN1OCTET>(head & tail);
}

/* The operand's octet i, without the bits beyond nbits in its last octet. */
ASN1OCTET operandOctet(const ASN1OCTET* octets, ASN1UINT nbits, int i) {
   return static_cast<ASN1OCTET>(octets[i] & rangeMask(static_cast<ASN1UINT>(i), 0, nbits));
}

/* Zeroes the bits from bit nbits up to the end of octet count - 1. */
void zeroBeyond(ASN1OCTET* data, ASN1UINT nbits, int count) {
   for (int i = static_cast<int>(nbits / 8); i < count; i++) {
      data[i] = static_cast<ASN1OCTET>(data[i] & ~rangeMask(static_cast<ASN1UINT>(i), nbits,
                                                             ASN1CBITSTR_UNBOUNDED));
   }
}

int lowestSetBit(ASN1OCTET octet) {
   int count = 0;
   while ((octet & 1) == 0) {
      octet = static_cast<ASN1OCTET>(octet >> 1);
      count++;
   }
   return count;
}

}

/* ---- construction ------------------------------------------------------- */

ASN1CBitStr::ASN1CBitStr(ASN1MessageBufferIF& msgBuf, ASN1TDynBitStr& bitStr)
   : ASN1CType(msgBuf) {
   bindDynamic(bitStr);
   if (mUnitsUsed > 0) zeroBeyond(units(), bitStr.numbits, mUnitsUsed);
}

ASN1CBitStr::ASN1CBitStr(ASN1Context* context, ASN1TDynBitStr& bitStr) : ASN1CType(context) {
   bindDynamic(bitStr);
   if (mUnitsUsed > 0) zeroBeyond(units(), bitStr.numbits, mUnitsUsed);
}

ASN1CBitStr::ASN1CBitStr(ASN1TDynBitStr& bitStr) : ASN1CType() {
   bindDynamic(bitStr);
   if (mUnitsUsed > 0) zeroBeyond(units(), bitStr.numbits, mUnitsUsed);
}

ASN1CBitStr::ASN1CBitStr(ASN1MessageBufferIF& msgBuf, ASN1OCTET* bitStr, ASN1UINT& numbits,
                         ASN1UINT maxNumbits)
   : ASN1CType(msgBuf) {
   bindFixed(bitStr, numbits, maxNumbits);
   if (bitStr != nullptr) zeroBeyond(bitStr, numbits, mUnitsAllocated);
}

ASN1CBitStr::ASN1CBitStr(ASN1Context* context, ASN1OCTET* bitStr, ASN1UINT& numbits,
                         ASN1UINT maxNumbits)
   : ASN1CType(context) {
   bindFixed(bitStr, numbits, maxNumbits);
   if (bitStr != nullptr) zeroBeyond(bitStr, numbits, mUnitsAllocated);
}

ASN1CBitStr::ASN1CBitStr(ASN1OCTET* bitStr, ASN1UINT& numbits, ASN1UINT maxNumbits)
   : ASN1CType() {
   bindFixed(bitStr, numbits, maxNumbits);
   if (bitStr != nullptr) zeroBeyond(bitStr, numbits, mUnitsAllocated);
}

ASN1CBitStr::ASN1CBitStr(ASN1MessageBufferIF& msgBuf, ASN1UINT nbits) : ASN1CType(msgBuf) {
   bindNew(nbits);
}

ASN1CBitStr::ASN1CBitStr(ASN1Context* context, ASN1UINT nbits) : ASN1CType(context) {
   bindNew(nbits);
}

ASN1CBitStr::ASN1CBitStr(ASN1UINT nbits) : ASN1CType() { bindNew(nbits); }

ASN1CBitStr::ASN1CBitStr(const ASN1CBitStr& source) : ASN1CType(source) {
   copyFrom(source, 0);
}

ASN1CBitStr::ASN1CBitStr(const ASN1CBitStr& source, ASN1UINT8 extendable)
   : ASN1CType(source) {
   copyFrom(source, extendable);
}

ASN1CBitStr::~ASN1CBitStr() { releaseOwnedUnits(); }

void ASN1CBitStr::init(ASN1TDynBitStr& bitStr) {
   releaseOwnedUnits();
   bindDynamic(bitStr);
}

void ASN1CBitStr::init(ASN1OCTET* bitStr, ASN1UINT& numbits, ASN1UINT maxNumbits) {
   releaseOwnedUnits();
   bindFixed(bitStr, numbits, maxNumbits);
}

void ASN1CBitStr::bindDynamic(ASN1TDynBitStr& bitStr) {
   mpOwnData = nullptr;
   mppData = &bitStr.data;
   mMaxNumbits = ASN1CBITSTR_UNBOUNDED;
   mpNumbits = &bitStr.numbits;
   mUnitsUsed = bitStr.data != nullptr ? octetsFor(bitStr.numbits) : 0;
   mUnitsAllocated = mUnitsUsed;
   mDynamic = 0;
   mOwnNumbits = 0;
}

void ASN1CBitStr::bindFixed(ASN1OCTET* bitStr, ASN1UINT& numbits, ASN1UINT maxNumbits) {
   if (numbits > maxNumbits) numbits = maxNumbits;
   mpOwnData = bitStr;
   mppData = &mpOwnData;
   mMaxNumbits = maxNumbits;
   mpNumbits = &numbits;
   mUnitsUsed = bitStr != nullptr ? octetsFor(numbits) : 0;
   mUnitsAllocated = bitStr != nullptr ? octetsFor(maxNumbits) : 0;
   mDynamic = 0;
   mOwnNumbits = 0;
}

void ASN1CBitStr::bindNew(ASN1UINT nbits) {
   mpOwnData = nullptr;
   mppData = &mpOwnData;
   mMaxNumbits = nbits == 0 ? ASN1CBITSTR_UNBOUNDED : nbits;
   mOwnNumbits = 0;
   mpNumbits = &mOwnNumbits;
   mUnitsUsed = 0;
   mUnitsAllocated = 0;
   mDynamic = 0;
   if (nbits == 0) return;
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt != nullptr) {
      mpOwnData = static_cast<ASN1OCTET*>(ASN1MALLOCZ(pctxt, octetsFor(nbits)));
   }
   if (mpOwnData == nullptr) {
      fail(RTS_NO_MEMORY);
      return;
   }
   mUnitsAllocated = octetsFor(nbits);
   mDynamic = 1;
}

void ASN1CBitStr::copyFrom(const ASN1CBitStr& source, ASN1UINT8 extendable) {
   mpOwnData = nullptr;
   mppData = &mpOwnData;
   mOwnNumbits = *source.mpNumbits;
   mpNumbits = &mOwnNumbits;
   mMaxNumbits = extendable ? ASN1CBITSTR_UNBOUNDED : source.mMaxNumbits;
   int capacity = extendable ? source.mUnitsUsed + kGrowthOctets : source.mUnitsAllocated;
   mUnitsUsed = 0;
   mUnitsAllocated = 0;
   mDynamic = 0;
   if (capacity == 0) return;
   ASN1CTXT* pctxt = getCtxtPtr();
   ASN1OCTET* copy =
      pctxt != nullptr ? static_cast<ASN1OCTET*>(ASN1MALLOCZ(pctxt, capacity)) : nullptr;
   if (copy == nullptr) {
      mOwnNumbits = 0;
      fail(RTS_NO_MEMORY);
      return;
   }
   if (source.mUnitsUsed > 0) std::memcpy(copy, source.units(), source.mUnitsUsed);
   mpOwnData = copy;
   mUnitsUsed = source.mUnitsUsed;
   mUnitsAllocated = capacity;
   mDynamic = 1;
}

/* Octets the class allocated are its to free unless they were stored in the
   caller's ASN1TDynBitStr: those stay in the heap with the caller's value. */
void ASN1CBitStr::releaseOwnedUnits() {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (mDynamic && mppData == &mpOwnData && pctxt != nullptr) {
      ASN1MEMFREEPTR(pctxt, mpOwnData);
   }
   mpOwnData = nullptr;
   mDynamic = 0;
}

/* ---- helpers ------------------------------------------------------------ */

int ASN1CBitStr::fail(int status) {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt != nullptr) LOG_ASN1ERR(pctxt, status);
   return status;
}

int ASN1CBitStr::checkBit(ASN1UINT n) {
   return n > mMaxNumbits ? fail(RTS_OUT_OF_BOUNDS) : RTS_OK;
}

int ASN1CBitStr::checkRange(ASN1UINT from, ASN1UINT to) {
   if (from > to) return fail(RTS_BAD_RANGE);
   return to > mMaxNumbits ? fail(RTS_OUT_OF_BOUNDS) : RTS_OK;
}

int ASN1CBitStr::checkCapacity(int octets) {
   if (octets > mUnitsAllocated) {
      if (!isUnbounded()) return fail(RTS_BAD_LENGTH);
      ASN1CTXT* pctxt = getCtxtPtr();
      if (pctxt == nullptr) return RTS_NO_MEMORY;
      int capacity = octets + kGrowthOctets;
      ASN1OCTET* grown;
      if (mDynamic) {
         grown = static_cast<ASN1OCTET*>(ASN1REALLOC(pctxt, units(), capacity));
         if (grown == nullptr) return fail(RTS_NO_MEMORY);
         std::memset(grown + mUnitsUsed, 0, capacity - mUnitsUsed);
      }
      else {
         grown = static_cast<ASN1OCTET*>(ASN1MALLOCZ(pctxt, capacity));
         if (grown == nullptr) return fail(RTS_NO_MEMORY);
         if (mUnitsUsed > 0) std::memcpy(grown, units(), mUnitsUsed);
         mDynamic = 1;
      }
      *mppData = grown;
      mUnitsAllocated = capacity;
   }
   if (octets > mUnitsUsed) mUnitsUsed = octets;
   return RTS_OK;
}

/* Drops trailing zero octets and makes the bit count the length. */
void ASN1CBitStr::recompute() {
   ASN1OCTET* data = units();
   while (mUnitsUsed > 0 && data[mUnitsUsed - 1] == 0) mUnitsUsed--;
   *mpNumbits = length();
}

/* ---- single bits -------------------------------------------------------- */

int ASN1CBitStr::set(ASN1UINT n) {
   int stat = checkBit(n);
   if (stat == RTS_OK) stat = checkCapacity(static_cast<int>(n / 8) + 1);
   if (stat != RTS_OK) return stat;
   units()[n / 8] |= static_cast<ASN1OCTET>(0x80u >> (n % 8));
   recompute();
   return RTS_OK;
}

int ASN1CBitStr::clear(ASN1UINT n) {
   int stat = checkBit(n);
   if (stat != RTS_OK) return stat;
   if (n / 8 < static_cast<ASN1UINT>(mUnitsUsed)) {
      units()[n / 8] &= static_cast<ASN1OCTET>(~(0x80u >> (n % 8)));
      recompute();
   }
   return RTS_OK;
}

int ASN1CBitStr::invert(ASN1UINT n) {
   int stat = checkBit(n);
   if (stat == RTS_OK) stat = checkCapacity(static_cast<int>(n / 8) + 1);
   if (stat != RTS_OK) return stat;
   units()[n / 8] ^= static_cast<ASN1OCTET>(0x80u >> (n % 8));
   recompute();
   return RTS_OK;
}

int ASN1CBitStr::get(ASN1UINT n) {
   int stat = checkBit(n);
   if (stat != RTS_OK) return stat;
   if (n / 8 >= static_cast<ASN1UINT>(mUnitsUsed)) return 0;
   return (units()[n / 8] & (0x80u >> (n % 8))) != 0 ? 1 : 0;
}

/* ---- ranges ------------------------------------------------------------- */

int ASN1CBitStr::set(ASN1UINT from, ASN1UINT to) {
   int stat = checkRange(from, to);
   if (stat != RTS_OK || from == to) return stat;
   stat = checkCapacity(octetsFor(to));
   if (stat != RTS_OK) return stat;
   ASN1OCTET* data = units();
   for (ASN1UINT i = from / 8; i <= (to - 1) / 8; i++) data[i] |= rangeMask(i, from, to);
   recompute();
   return RTS_OK;
}

int ASN1CBitStr::clear(ASN1UINT from, ASN1UINT to) {
   int stat = checkRange(from, to);
   if (stat != RTS_OK || from == to) return stat;
   ASN1OCTET* data = units();
   for (ASN1UINT i = from / 8; i <= (to - 1) / 8 && i < static_cast<ASN1UINT>(mUnitsUsed); i++) {
      data[i] &= static_cast<ASN1OCTET>(~rangeMask(i, from, to));
   }
   recompute();
   return RTS_OK;
}

int ASN1CBitStr::invert(ASN1UINT from, ASN1UINT to) {
   int stat = checkRange(from, to);
   if (stat != RTS_OK || from == to) return stat;
   stat = checkCapacity(octetsFor(to));
   if (stat != RTS_OK) return stat;
   ASN1OCTET* data = units();
   for (ASN1UINT i = from / 8; i <= (to - 1) / 8; i++) data[i] ^= rangeMask(i, from, to);
   recompute();
   return RTS_OK;
}

void ASN1CBitStr::clear() {
   if (mUnitsUsed > 0) std::memset(units(), 0, mUnitsUsed);
   mUnitsUsed = 0;
   *mpNumbits = 0;
}

/* ---- queries ------------------------------------------------------------ */

ASN1UINT ASN1CBitStr::length() const {
   const ASN1OCTET* data = *mppData;
   for (int i = mUnitsUsed - 1; i >= 0; i--) {
      if (data[i] != 0) return static_cast<ASN1UINT>(i) * 8 + 8 - lowestSetBit(data[i]);
   }
   return 0;
}

ASN1UINT ASN1CBitStr::cardinality() const {
   const ASN1OCTET* data = *mppData;
   ASN1UINT count = 0;
   for (int i = 0; i < mUnitsUsed; i++) {
      /* Each step clears the lowest set bit. */
      for (unsigned octet = data[i]; octet != 0; octet &= octet - 1) count++;
   }
   return count;
}

int ASN1CBitStr::unusedBitsInLastUnit() const {
   if (mUnitsUsed == 0) return 0;
   return static_cast<int>(static_cast<ASN1UINT>(mUnitsUsed) * 8 - *mpNumbits);
}

int ASN1CBitStr::getBytes(ASN1OCTET* buffer, int bufferSize) {
   if (buffer == nullptr) return fail(RTS_BAD_ARGUMENT);
   if (mUnitsUsed > bufferSize) return fail(RTS_BAD_LENGTH);
   if (mUnitsUsed > 0) std::memcpy(buffer, units(), mUnitsUsed);
   std::memset(buffer + mUnitsUsed, 0, bufferSize - mUnitsUsed);
   return RTS_OK;
}

int ASN1CBitStr::get(ASN1UINT from, ASN1UINT to, ASN1OCTET* buffer, int bufferSize) {
   int stat = checkRange(from, to);
   if (stat != RTS_OK) return stat;
   if (buffer == nullptr || bufferSize < 0) return fail(RTS_BAD_ARGUMENT);
   if (to - from > static_cast<unsigned long long>(bufferSize) * 8) {
      return fail(RTS_VALUE_TOO_LONG);
   }
   std::memset(buffer, 0, bufferSize);
   const ASN1OCTET* data = units();
   ASN1UINT end = static_cast<ASN1UINT>(mUnitsUsed) * 8;
   for (ASN1UINT bit = from; bit < to && bit < end; bit++) {
      if (data[bit / 8] & (0x80u >> (bit % 8))) {
         ASN1UINT out = bit - from;
         buffer[out / 8] |= static_cast<ASN1OCTET>(0x80u >> (out % 8));
      }
   }
   return RTS_OK;
}

/* ---- logical operations ------------------------------------------------- */

int ASN1CBitStr::doAnd(const ASN1OCTET* octets, ASN1UINT nbits) {
   if (octets == nullptr || octets == *mppData) return fail(RTS_BAD_ARGUMENT);
   ASN1OCTET* data = units();
   int operandOctets = octetsFor(nbits);
   for (int i = 0; i < mUnitsUsed; i++) {
      ASN1OCTET kept = i < operandOctets ? operandOctet(octets, nbits, i) : 0;
      data[i] = static_cast<ASN1OCTET>(data[i] & kept);
   }
   recompute();
   return RTS_OK;
}

int ASN1CBitStr::doOr(const ASN1OCTET* octets, ASN1UINT nbits) {
   if (nbits == 0) {
      if (isUnbounded()) return fail(RTS_BAD_ARGUMENT);
      return set(0, mMaxNumbits);
   }
   if (octets == nullptr || octets == *mppData) return fail(RTS_BAD_ARGUMENT);
   int operandOctets = octetsFor(nbits);
   int stat = checkCapacity(operandOctets);
   if (stat != RTS_OK) return stat;
   ASN1OCTET* data = units();
   for (int i = 0; i < operandOctets; i++) data[i] |= operandOctet(octets, nbits, i);
   recompute();
   return RTS_OK;
}

int ASN1CBitStr::doXor(const ASN1OCTET* octets, ASN1UINT nbits) {
   if (nbits == 0) return RTS_OK;
   if (octets == nullptr || octets == *mppData) return fail(RTS_BAD_ARGUMENT);
   int operandOctets = octetsFor(nbits);
   int stat = checkCapacity(operandOctets);
   if (stat != RTS_OK) return stat;
   ASN1OCTET* data = units();
   for (int i = 0; i < operandOctets; i++) data[i] ^= operandOctet(octets, nbits, i);
   recompute();
   return RTS_OK;
}

int ASN1CBitStr::doAndNot(const ASN1OCTET* octets, ASN1UINT nbits) {
   if (octets == nullptr || octets == *mppData) return fail(RTS_BAD_ARGUMENT);
   int common = octetsFor(nbits) < mUnitsUsed ? octetsFor(nbits) : mUnitsUsed;
   ASN1OCTET* data = units();
   for (int i = 0; i < common; i++) {
      data[i] = static_cast<ASN1OCTET>(data[i] & ~operandOctet(octets, nbits, i));
   }
   recompute();
   return RTS_OK;
}

/* ---- shifts ------------------------------------------------------------- */

int ASN1CBitStr::shiftLeft(ASN1UINT n) {
   if (n == 0 || mUnitsUsed == 0) return RTS_OK;
   ASN1OCTET* data = units();
   ASN1UINT octetShift = n / 8;
   unsigned bitShift = n % 8;
   ASN1UINT used = static_cast<ASN1UINT>(mUnitsUsed);
   /* Ascending: each target octet reads only octets at or after itself. */
   for (ASN1UINT i = 0; i < used; i++) {
      ASN1UINT src = octetShift < used - i ? i + octetShift : used;
      unsigned value = src < used ? static_cast<unsigned>(data[src]) << bitShift : 0;
      if (bitShift != 0 && src + 1 < used) value |= data[src + 1] >> (8 - bitShift);
      data[i] = static_cast<ASN1OCTET>(value);
   }
   recompute();
   return RTS_OK;
}

int ASN1CBitStr::shiftRight(ASN1UINT n) {
   ASN1UINT oldLength = length();
   if (n == 0 || oldLength == 0) return RTS_OK;
   ASN1UINT oldUsed = static_cast<ASN1UINT>(mUnitsUsed);
   if (isUnbounded()) {
      unsigned long long newLength = static_cast<unsigned long long>(oldLength) + n;
      if (newLength - 1 > mMaxNumbits) return fail(RTS_OUT_OF_BOUNDS);
      int stat = checkCapacity(octetsFor(static_cast<ASN1UINT>(newLength)));
      if (stat != RTS_OK) return stat;
   }
   else if (oldLength <= n) {
      clear();
      return RTS_OK;
   }
   ASN1OCTET* data = units();
   ASN1UINT octetShift = n / 8;
   unsigned bitShift = n % 8;
   /* Descending: each target octet reads only octets at or before itself. */
   for (ASN1UINT i = static_cast<ASN1UINT>(mUnitsUsed); i-- > 0;) {
      unsigned value = 0;
      if (i >= octetShift) {
         ASN1UINT src = i - octetShift;
         if (src < oldUsed) value = data[src] >> bitShift;
         if (bitShift != 0 && src >= 1 && src - 1 < oldUsed) {
            value |= (static_cast<unsigned>(data[src - 1]) << (8 - bitShift)) & 0xFFu;
         }
      }
      data[i] = static_cast<ASN1OCTET>(value);
   }
   if (!isUnbounded()) zeroBeyond(data, oldLength, mUnitsUsed);
   recompute();
   return RTS_OK;
}

/* ---- conversions -------------------------------------------------------- */

ASN1CBitStr::operator ASN1TDynBitStr() {
   ASN1TDynBitStr value;
   value.numbits = length();
   value.data = *mppData;
   return value;
}

ASN1CBitStr::operator ASN1TDynBitStr*() {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr) return nullptr;
   ASN1TDynBitStr* value =
      static_cast<ASN1TDynBitStr*>(ASN1MALLOCZ(pctxt, sizeof(ASN1TDynBitStr)));
   if (value == nullptr) {
      fail(RTS_NO_MEMORY);
      return nullptr;
   }
   if (mUnitsUsed > 0) {
      ASN1OCTET* copy = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, mUnitsUsed));
      if (copy == nullptr) {
         ASN1MEMFREEPTR(pctxt, value);
         fail(RTS_NO_MEMORY);
         return nullptr;
      }
      std::memcpy(copy, units(), mUnitsUsed);
      value->data = copy;
   }
   value->numbits = length();
   return value;
}
