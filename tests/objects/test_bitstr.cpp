// Bit-set class: bounds of bounded strings and growth of unbounded ones,
// single-bit and range operations, queries, logical operations and shifts,
// each checked through the exact octets and bit count they leave behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ASN1CBitStr.h"
#include "rtContext.h"
#include "rtMemHeap.h"

namespace {

using Octets = std::vector<ASN1OCTET>;

class BitStrTest : public ::testing::Test {
protected:
   ASN1CtxtPtr context{new ASN1Context()};

   int errorStatus() { return context->getPtr()->errInfo.status; }
   void resetError() { rtErrReset(&context->getPtr()->errInfo); }
};

// The octets the object uses, read through getBytes.
Octets usedOctets(ASN1CBitStr& bits) {
   Octets out(static_cast<size_t>(bits.size()));
   if (!out.empty()) {
      EXPECT_EQ(bits.getBytes(out.data(), bits.size()), 0);
   }
   return out;
}

/* ---- bounds and growth -------------------------------------------------- */

TEST_F(BitStrTest, BoundedSixteenBits) {
   ASN1OCTET data[2] = {0, 0};
   ASN1UINT numbits = 0;
   ASN1CBitStr bits(context, data, numbits, 16);
   EXPECT_EQ(bits.set(15), 0);
   EXPECT_EQ(numbits, 16u);
   EXPECT_EQ(data[1], 0x01);

   EXPECT_EQ(bits.set(17), RTS_OUT_OF_BOUNDS);
   EXPECT_EQ(errorStatus(), RTS_OUT_OF_BOUNDS);
   resetError();
   EXPECT_EQ(bits.set(16), RTS_BAD_LENGTH) << "a third octet is beyond the capacity";
   EXPECT_EQ(errorStatus(), RTS_BAD_LENGTH);
   EXPECT_EQ(bits.invert(16), RTS_BAD_LENGTH);
   EXPECT_EQ(bits.clear(17), RTS_OUT_OF_BOUNDS);
   EXPECT_EQ(bits.get(17), RTS_OUT_OF_BOUNDS);
   EXPECT_EQ(bits.get(16), 0);
   EXPECT_EQ(numbits, 16u) << "failures change nothing";
   EXPECT_EQ(bits.size(), 2);
}

TEST_F(BitStrTest, BoundedConstructorCutsAndZeroesBeyondTheBits) {
   ASN1OCTET data[3] = {0xFF, 0xFF, 0xFF};
   ASN1UINT numbits = 20;
   ASN1CBitStr bits(context, data, numbits, 12);
   EXPECT_EQ(numbits, 12u);
   EXPECT_EQ((Octets{data[0], data[1], data[2]}), (Octets{0xFF, 0xF0, 0xFF}))
      << "octets up to the capacity (2) are cleared beyond bit 12; the third is not ours";
   EXPECT_EQ(bits.size(), 2);
   EXPECT_EQ(bits.length(), 12u);
}

TEST_F(BitStrTest, UnboundedGrowsByMoreThanNeeded) {
   ASN1OCTET callers[2] = {0xA5, 0xFF};
   ASN1TDynBitStr value = {12, callers};
   ASN1CBitStr bits(context, value);
   EXPECT_EQ(callers[1], 0xF0) << "bits beyond numbits in the last octet are cleared";
   EXPECT_EQ(bits.size(), 2);

   ASSERT_EQ(bits.set(20), 0);
   EXPECT_NE(value.data, callers) << "the first growth moves the octets into the heap";
   EXPECT_EQ(rtMemHeapBlockSize(value.data), 3u + 1024u);
   EXPECT_EQ(value.numbits, 21u);
   EXPECT_EQ(Octets(value.data, value.data + 3), (Octets{0xA5, 0xF0, 0x08}));
   EXPECT_EQ(callers[0], 0xA5);

   // Within the room already there no reallocation happens.
   const ASN1OCTET* grown = value.data;
   ASSERT_EQ(bits.set(8 * 1026), 0);
   EXPECT_EQ(value.data, grown);
   // Past it, the heap block is reallocated with room to spare again.
   ASSERT_EQ(bits.set(8 * 1030), 0);
   EXPECT_EQ(rtMemHeapBlockSize(value.data), 1031u + 1024u);
   EXPECT_EQ(value.data[2], 0x08);
   EXPECT_EQ(value.data[1026], 0x80);
   EXPECT_EQ(bits.size(), 1031);
}

TEST_F(BitStrTest, CountConstructorMakesAZeroedArrayWithThatMaximum) {
   ASN1CBitStr bits(context, 10);
   EXPECT_EQ(bits.size(), 0);
   EXPECT_EQ(bits.set(10), 0) << "bit 10 still lies in the second octet";
   EXPECT_EQ(bits.set(11), RTS_OUT_OF_BOUNDS);
   EXPECT_EQ(usedOctets(bits), (Octets{0x00, 0x20}));

   ASN1CBitStr open(context, 0u);
   EXPECT_EQ(open.set(100), 0) << "count 0 is unbounded";
   EXPECT_EQ(open.length(), 101u);
}

TEST_F(BitStrTest, ObjectWithoutContextCannotGrow) {
   ASN1TDynBitStr value = {0, nullptr};
   ASN1CBitStr bits(static_cast<ASN1Context*>(nullptr), value);
   EXPECT_EQ(bits.set(3), RTS_NO_MEMORY);
   EXPECT_EQ(value.data, nullptr);
}

/* ---- single bits and ranges --------------------------------------------- */

TEST_F(BitStrTest, SingleBitsUseMostSignificantFirstAndTrackTheLength) {
   ASN1CBitStr bits(context, 0u);
   EXPECT_EQ(bits.set(0), 0);
   EXPECT_EQ(bits.set(9), 0);
   EXPECT_EQ(usedOctets(bits), (Octets{0x80, 0x40}));
   EXPECT_EQ(bits.get(9), 1);
   EXPECT_EQ(bits.get(8), 0);
   EXPECT_EQ(bits.get(500), 0);
   EXPECT_EQ(bits.invert(9), 0);
   EXPECT_EQ(usedOctets(bits), (Octets{0x80})) << "trailing zero octets are dropped";
   EXPECT_EQ(bits.length(), 1u);
   EXPECT_EQ(bits.invert(2), 0);
   EXPECT_EQ(bits.clear(0), 0);
   EXPECT_EQ(usedOctets(bits), (Octets{0x20}));
   EXPECT_EQ(bits.length(), 3u);
   EXPECT_EQ(bits.clear(40), 0) << "clearing beyond the used octets is harmless";
   ASN1TDynBitStr view = bits;
   EXPECT_EQ(view.numbits, 3u);
   EXPECT_EQ(view.data[0], 0x20);
}

TEST_F(BitStrTest, RangesAreHalfOpen) {
   struct Case {
      const char* name;
      int (ASN1CBitStr::*op)(ASN1UINT, ASN1UINT);
      ASN1UINT from, to;
      Octets expected;
      ASN1UINT length;
   };
   const Case cases[] = {
      {"set 3..13", &ASN1CBitStr::set, 3, 13, {0xFF, 0xFF, 0xFF}, 24},
      {"clear 5..10", &ASN1CBitStr::clear, 5, 10, {0xF8, 0x3F, 0xFF}, 24},
      {"clear to the end", &ASN1CBitStr::clear, 12, 24, {0xFF, 0xF0}, 12},
      {"invert 4..20", &ASN1CBitStr::invert, 4, 20, {0xF0, 0x00, 0x0F}, 24},
      {"invert growing", &ASN1CBitStr::invert, 22, 26, {0xFF, 0xFF, 0xFC, 0xC0}, 26},
      {"empty range", &ASN1CBitStr::set, 7, 7, {0xFF, 0xFF, 0xFF}, 24},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      ASN1CBitStr bits(context, 0u);
      ASSERT_EQ(bits.set(0, 24), 0);
      EXPECT_EQ((bits.*c.op)(c.from, c.to), 0);
      EXPECT_EQ(usedOctets(bits), c.expected);
      EXPECT_EQ(bits.length(), c.length);
   }
   ASN1CBitStr fresh(context, 0u);
   ASSERT_EQ(fresh.set(3, 13), 0);
   EXPECT_EQ(usedOctets(fresh), (Octets{0x1F, 0xF8}));
   EXPECT_EQ(fresh.length(), 13u);
}

TEST_F(BitStrTest, RangeErrors) {
   ASN1OCTET data[2] = {0, 0};
   ASN1UINT numbits = 0;
   ASN1CBitStr bits(context, data, numbits, 16);
   EXPECT_EQ(bits.set(0, 16), 0);
   EXPECT_EQ(usedOctets(bits), (Octets{0xFF, 0xFF}));
   EXPECT_EQ(bits.set(9, 8), RTS_BAD_RANGE);
   EXPECT_EQ(errorStatus(), RTS_BAD_RANGE);
   EXPECT_EQ(bits.clear(5, 4), RTS_BAD_RANGE);
   EXPECT_EQ(bits.invert(2, 1), RTS_BAD_RANGE);
   EXPECT_EQ(bits.set(0, 17), RTS_OUT_OF_BOUNDS);
   EXPECT_EQ(bits.clear(10, 17), RTS_OUT_OF_BOUNDS);
   EXPECT_EQ(bits.invert(16, 17), RTS_OUT_OF_BOUNDS);
   EXPECT_EQ(numbits, 16u);
   ASN1OCTET buffer[2];
   EXPECT_EQ(bits.get(3, 2, buffer, 2), RTS_BAD_RANGE);
   EXPECT_EQ(bits.get(0, 17, buffer, 2), RTS_OUT_OF_BOUNDS);
}

/* ---- queries ------------------------------------------------------------ */

TEST_F(BitStrTest, CountsAndUnusedBits) {
   struct Case {
      Octets octets;
      ASN1UINT numbits;
      ASN1UINT length, cardinality;
      int size, unused;
   };
   const Case cases[] = {
      {{}, 0, 0, 0, 0, 0},
      {{0x80}, 1, 1, 1, 1, 7},
      {{0x01}, 8, 8, 1, 1, 0},
      {{0xA5, 0x40}, 10, 10, 5, 2, 6},
      {{0xFF, 0xFF, 0xE0}, 19, 19, 19, 3, 5},
   };
   for (const Case& c : cases) {
      Octets copy = c.octets;
      ASN1TDynBitStr value = {c.numbits, copy.empty() ? nullptr : copy.data()};
      ASN1CBitStr bits(context, value);
      SCOPED_TRACE(c.numbits);
      EXPECT_EQ(bits.length(), c.length);
      EXPECT_EQ(bits.cardinality(), c.cardinality);
      EXPECT_EQ(bits.size(), c.size);
      EXPECT_EQ(bits.unusedBitsInLastUnit(), c.unused);
   }
}

TEST_F(BitStrTest, GetBytesZeroFillsAndRefusesASmallBuffer) {
   ASN1CBitStr bits(context, 0u);
   bits.set(1);
   bits.set(14);
   ASN1OCTET out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
   EXPECT_EQ(bits.getBytes(out, 4), 0);
   EXPECT_EQ(Octets(out, out + 4), (Octets{0x40, 0x02, 0x00, 0x00}));
   EXPECT_EQ(bits.getBytes(out, 1), RTS_BAD_LENGTH);
   EXPECT_EQ(errorStatus(), RTS_BAD_LENGTH);
}

TEST_F(BitStrTest, GetRangeLeftAligned) {
   ASN1OCTET data[3] = {0x0F, 0xF0, 0x81};
   ASN1TDynBitStr value = {24, data};
   ASN1CBitStr bits(context, value);
   ASN1OCTET out[3] = {0xEE, 0xEE, 0xEE};
   EXPECT_EQ(bits.get(4, 12, out, 3), 0);
   EXPECT_EQ(Octets(out, out + 3), (Octets{0xFF, 0x00, 0x00}));
   EXPECT_EQ(bits.get(6, 24, out, 3), 0);
   EXPECT_EQ(Octets(out, out + 3), (Octets{0xFC, 0x20, 0x40}));
   EXPECT_EQ(bits.get(20, 40, out, 3), 0) << "bits beyond the value read as 0";
   EXPECT_EQ(Octets(out, out + 3), (Octets{0x10, 0x00, 0x00}));
   EXPECT_EQ(bits.get(0, 17, out, 2), RTS_VALUE_TOO_LONG);
   EXPECT_EQ(errorStatus(), RTS_VALUE_TOO_LONG);
   EXPECT_EQ(bits.get(0, 16, out, 2), 0);
}

/* ---- logical operations ------------------------------------------------- */

struct LogicCase {
   const char* name;
   int (ASN1CBitStr::*op)(const ASN1OCTET*, ASN1UINT);
   Octets start;
   Octets operand;
   ASN1UINT operandBits;
   Octets expected;
};

TEST_F(BitStrTest, LogicalOperationsOnUnboundedStrings) {
   const LogicCase cases[] = {
      {"and", &ASN1CBitStr::doAnd, {0xF0, 0xFF, 0x0F}, {0x3C, 0xFF}, 12, {0x30, 0xF0}},
      {"and zero bits", &ASN1CBitStr::doAnd, {0xF0, 0xFF}, {0x00}, 0, {}},
      {"or grows", &ASN1CBitStr::doOr, {0x80}, {0x01, 0xFF}, 9, {0x81, 0x80}},
      {"xor grows", &ASN1CBitStr::doXor, {0xF0}, {0xFF, 0xFF, 0xFF}, 20, {0x0F, 0xFF, 0xF0}},
      {"xor to empty", &ASN1CBitStr::doXor, {0xAA, 0x80}, {0xAA, 0xFF}, 9, {}},
      {"xor zero bits", &ASN1CBitStr::doXor, {0xAA}, {0xFF}, 0, {0xAA}},
      {"and not", &ASN1CBitStr::doAndNot, {0xFF, 0xFF}, {0x0F, 0xFF}, 10, {0xF0, 0x3F}},
      {"and not longer operand", &ASN1CBitStr::doAndNot, {0xFF}, {0x81, 0xFF, 0xFF}, 24,
       {0x7E}},
      {"and not zero bits", &ASN1CBitStr::doAndNot, {0xFF}, {0xFF}, 0, {0xFF}},
   };
   for (const LogicCase& c : cases) {
      SCOPED_TRACE(c.name);
      ASN1CBitStr bits(context, 0u);
      ASN1UINT bitCount = static_cast<ASN1UINT>(c.start.size() * 8);
      ASSERT_EQ(bits.doOr(c.start.data(), bitCount), 0);
      ASSERT_EQ(usedOctets(bits), c.start);
      EXPECT_EQ((bits.*c.op)(c.operand.data(), c.operandBits), 0);
      EXPECT_EQ(usedOctets(bits), c.expected);
      ASN1TDynBitStr view = bits;
      EXPECT_EQ(view.numbits, bits.length());
   }
}

TEST_F(BitStrTest, LogicalOperationArgumentErrors) {
   ASN1CBitStr bits(context, 0u);
   bits.set(0, 8);
   ASN1TDynBitStr view = bits;
   EXPECT_EQ(bits.doAnd(nullptr, 8), RTS_BAD_ARGUMENT);
   EXPECT_EQ(errorStatus(), RTS_BAD_ARGUMENT);
   EXPECT_EQ(bits.doAnd(view.data, 8), RTS_BAD_ARGUMENT) << "its own octets";
   EXPECT_EQ(bits.doOr(nullptr, 8), RTS_BAD_ARGUMENT);
   EXPECT_EQ(bits.doOr(nullptr, 0), RTS_BAD_ARGUMENT) << "all bits of an unbounded string";
   EXPECT_EQ(bits.doXor(nullptr, 8), RTS_BAD_ARGUMENT);
   EXPECT_EQ(bits.doAndNot(nullptr, 8), RTS_BAD_ARGUMENT);
   EXPECT_EQ(usedOctets(bits), (Octets{0xFF}));
}

TEST_F(BitStrTest, LogicalOperationsOnBoundedStrings) {
   ASN1OCTET data[2] = {0, 0};
   ASN1UINT numbits = 0;
   ASN1CBitStr bits(context, data, numbits, 12);
   EXPECT_EQ(bits.doOr(nullptr, 0), 0) << "zero bits: every bit below the maximum";
   EXPECT_EQ((Octets{data[0], data[1]}), (Octets{0xFF, 0xF0}));
   EXPECT_EQ(numbits, 12u);
   const ASN1OCTET wide[3] = {0x00, 0x00, 0x80};
   EXPECT_EQ(bits.doXor(wide, 17), RTS_BAD_LENGTH);
   EXPECT_EQ(bits.doOr(wide, 17), RTS_BAD_LENGTH);
   EXPECT_EQ(bits.doAnd(wide, 17), 0) << "and never grows";
   EXPECT_EQ(numbits, 0u);
}

/* ---- shifts ------------------------------------------------------------- */

TEST_F(BitStrTest, ShiftsOfUnboundedStrings) {
   struct Case {
      const char* name;
      bool left;
      ASN1UINT n;
      Octets expected;
      ASN1UINT cardinality;
   };
   // Start: bits 0, 3, 9 and 15 set (0x90 0x41).
   const Case cases[] = {
      {"left 1", true, 1, {0x20, 0x82}, 3},
      {"left 3", true, 3, {0x82, 0x08}, 3},
      {"left 8", true, 8, {0x41}, 2},
      {"left 12", true, 12, {0x10}, 1},
      {"left past the end", true, 16, {}, 0},
      {"right 1", false, 1, {0x48, 0x20, 0x80}, 4},
      {"right 8", false, 8, {0x00, 0x90, 0x41}, 4},
      {"right 13", false, 13, {0x00, 0x04, 0x82, 0x08}, 4},
      {"zero", false, 0, {0x90, 0x41}, 4},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      ASN1CBitStr bits(context, 0u);
      bits.set(0);
      bits.set(3);
      bits.set(9);
      bits.set(15);
      ASSERT_EQ(usedOctets(bits), (Octets{0x90, 0x41}));
      EXPECT_EQ(c.left ? bits.shiftLeft(c.n) : bits.shiftRight(c.n), 0);
      EXPECT_EQ(usedOctets(bits), c.expected);
      EXPECT_EQ(bits.cardinality(), c.cardinality);
   }
}

TEST_F(BitStrTest, ShiftRightOfBoundedStringKeepsItsLength) {
   ASN1OCTET data[2] = {0xF0, 0x0F};
   ASN1UINT numbits = 16;
   ASN1CBitStr bits(context, data, numbits, 16);
   EXPECT_EQ(bits.shiftRight(4), 0);
   EXPECT_EQ((Octets{data[0], data[1]}), (Octets{0x0F, 0x00})) << "bits 16 to 19 are lost";
   EXPECT_EQ(numbits, 8u);
   EXPECT_EQ(bits.shiftRight(3), 0) << "length 8 keeps bits below 8 only";
   EXPECT_EQ((Octets{data[0], data[1]}), (Octets{0x01, 0x00}));
   EXPECT_EQ(numbits, 8u);
   EXPECT_EQ(bits.shiftRight(8), 0) << "length 8, shift 8: cleared";
   EXPECT_EQ((Octets{data[0], data[1]}), (Octets{0x00, 0x00}));
   EXPECT_EQ(numbits, 0u);
   EXPECT_EQ(bits.size(), 0);
}

/* ---- copies and conversions --------------------------------------------- */

TEST_F(BitStrTest, CopiesShareTheContextAndOwnTheirBits) {
   ASN1OCTET data[2] = {0xC0, 0x00};
   ASN1UINT numbits = 2;
   ASN1CBitStr bounded(context, data, numbits, 16);
   ASN1UINT refs = context->getRefCount();
   {
      ASN1CBitStr copy(bounded);
      EXPECT_EQ(context->getRefCount(), refs + 1);
      EXPECT_EQ(usedOctets(copy), (Octets{0xC0}));
      EXPECT_EQ(copy.set(16), RTS_BAD_LENGTH) << "same maximum and capacity";
      EXPECT_EQ(copy.set(9), 0);
      EXPECT_EQ(data[1], 0x00) << "the source's octets are untouched";
      EXPECT_EQ(numbits, 2u);

      ASN1CBitStr extendable(bounded, 1);
      ASN1TDynBitStr view = extendable;
      EXPECT_EQ(rtMemHeapBlockSize(view.data), 1u + 1024u);
      EXPECT_EQ(extendable.set(8000), 0) << "unbounded now";
      EXPECT_EQ(extendable.length(), 8001u);
   }
   EXPECT_EQ(context->getRefCount(), refs);
}

TEST_F(BitStrTest, PointerConversionCopiesIntoTheHeap) {
   ASN1CBitStr bits(context, 0u);
   bits.set(2);
   bits.set(12);
   ASN1TDynBitStr* copy = bits;
   ASN1TDynBitStr shared = bits;
   ASSERT_NE(copy, nullptr);
   EXPECT_EQ(copy->numbits, 13u);
   EXPECT_NE(copy->data, shared.data);
   EXPECT_EQ(Octets(copy->data, copy->data + 2), (Octets{0x20, 0x08}));

   ASN1TDynBitStr empty = {0, nullptr};
   ASN1CBitStr none(static_cast<ASN1Context*>(nullptr), empty);
   EXPECT_EQ(static_cast<ASN1TDynBitStr*>(none), nullptr);
}

TEST_F(BitStrTest, InitRepointsWithoutClearing) {
   ASN1CBitStr bits(context, 8);
   bits.set(1);
   ASN1OCTET other[2] = {0xFF, 0xFF};
   ASN1UINT numbits = 12;
   bits.init(other, numbits, 16);
   EXPECT_EQ((Octets{other[0], other[1]}), (Octets{0xFF, 0xFF})) << "no bit cleared";
   EXPECT_EQ(bits.size(), 2);
   EXPECT_EQ(bits.set(16), RTS_BAD_LENGTH);
   EXPECT_EQ(bits.clear(0, 8), 0);
   EXPECT_EQ((Octets{other[0], other[1]}), (Octets{0x00, 0xFF}));
   EXPECT_EQ(numbits, 16u);

   ASN1OCTET dyn[1] = {0xFF};
   ASN1TDynBitStr value = {3, dyn};
   bits.init(value);
   EXPECT_EQ(dyn[0], 0xFF);
   EXPECT_EQ(bits.set(30), 0);
   EXPECT_EQ(value.numbits, 31u);
   EXPECT_EQ(value.data[0], 0xFF);
   EXPECT_EQ(value.data[3], 0x02);
}

TEST_F(BitStrTest, ClearEmptiesTheValue) {
   ASN1OCTET data[2] = {0xAB, 0xCD};
   ASN1UINT numbits = 16;
   ASN1CBitStr bits(context, data, numbits, 16);
   bits.clear();
   EXPECT_EQ((Octets{data[0], data[1]}), (Octets{0x00, 0x00}));
   EXPECT_EQ(numbits, 0u);
   EXPECT_EQ(bits.size(), 0);
   EXPECT_EQ(bits.length(), 0u);
}

}
