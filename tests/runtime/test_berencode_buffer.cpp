/* The back-to-front encode buffer: set-up, the spare last octet, growth
   that keeps earlier output and end-relative positions, and a caller's
   fixed buffer running full. */
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "berencode_fixture.h"

namespace {

const ASN1OCTET* octets(const std::string& s) {
   return reinterpret_cast<const ASN1OCTET*>(s.data());
}

TEST(BerEncodeBuffer, DynamicSetUpLeavesSpareOctet) {
   EncodeContext dflt;
   ASSERT_EQ(dflt.initStatus, RTS_OK);
   EXPECT_EQ(dflt.ctxt.buffer.size, 16384u);
   EXPECT_EQ(dflt.ctxt.buffer.byteIndex, 16383u);
   EXPECT_EQ(dflt.ctxt.buffer.dynamic, 1);
   EXPECT_EQ(xe_getp(dflt.get()), dflt.ctxt.buffer.data + 16383);

   EncodeContext sized(100);
   ASSERT_EQ(sized.initStatus, RTS_OK);
   EXPECT_EQ(sized.ctxt.buffer.size, 100u);
   EXPECT_EQ(sized.ctxt.buffer.byteIndex, 99u);
}

TEST(BerEncodeBuffer, CallerBufferIsUsedInPlace) {
   ASN1OCTET buffer[10];
   EncodeContext enc(sizeof(buffer), buffer);
   ASSERT_EQ(enc.initStatus, RTS_OK);
   EXPECT_EQ(enc.ctxt.buffer.dynamic, 0);
   EXPECT_EQ(xe_getp(enc.get()), buffer + 9);
   ASN1INT five = 5;
   EXPECT_EQ(xe_integer(enc.get(), &five, TAG_EXPLICIT), 3);
   EXPECT_EQ(xe_getp(enc.get()), buffer + 6);
   EXPECT_EQ(testsupport::toHex(std::string(reinterpret_cast<char*>(buffer) + 6, 3)), "020105");
}

TEST(BerEncodeBuffer, SetUpRefusals) {
   ASN1OCTET buffer[4];
   EncodeContext empty(0, buffer); /* no room for the spare octet */
   EXPECT_EQ(empty.initStatus, RTS_BAD_ARGUMENT);
   EncodeContext negative(-1);
   EXPECT_EQ(negative.initStatus, RTS_BAD_ARGUMENT);

   ASN1CTXT ctxt;
   std::memset(&ctxt, 0, sizeof(ctxt));
   EXPECT_EQ(xe_setp(&ctxt, nullptr, 0), RTS_NOT_INITIALISED);
}

TEST(BerEncodeBuffer, CallerBufferRunsFullAtTheFirstWriteThatDoesNotFit) {
   /* Five octets: four usable, one spare. */
   ASN1OCTET buffer[5];
   std::memset(buffer, 0xEE, sizeof(buffer));
   EncodeContext enc(sizeof(buffer), buffer);
   const ASN1OCTET abc[] = {'a', 'b', 'c'};
   EXPECT_EQ(xe_octstr(enc.get(), abc, 3, TAG_EXPLICIT), RTS_BUFFER_FULL);
   EXPECT_EQ(enc.ctxt.errInfo.status, RTS_BUFFER_FULL);
   /* Contents and length went in; the identifier did not fit. */
   EXPECT_EQ(enc.ctxt.buffer.byteIndex, 0u);
   EXPECT_EQ(testsupport::toHex(std::string(reinterpret_cast<char*>(buffer), 5)), "03616263EE");

   ASN1OCTET exact[6];
   EncodeContext fits(sizeof(exact), exact);
   EXPECT_EQ(xe_octstr(fits.get(), abc, 3, TAG_EXPLICIT), 5);
   EXPECT_EQ(fits.hex(), H("04 03 61 62 63"));
   EXPECT_EQ(xe_null(fits.get(), TAG_EXPLICIT), RTS_BUFFER_FULL);
   EXPECT_EQ(fits.hex(), H("04 03 61 62 63"));
   EXPECT_EQ(xe_expandBuffer(fits.get(), 1), RTS_BUFFER_FULL);
}

TEST(BerEncodeBuffer, GrowthAcrossTheInitialSizeKeepsEarlierOutput) {
   EncodeContext enc;
   std::string first(16000, '\0'), second(1000, '\0');
   for (size_t i = 0; i < first.size(); i++) first[i] = static_cast<char>(i * 7);
   for (size_t i = 0; i < second.size(); i++) second[i] = static_cast<char>(i * 13 + 1);

   ASSERT_EQ(xe_memcpy(enc.get(), octets(first), 16000), 16000);
   ASN1BufLocDescr firstLoc;
   xe_getBufLocDescr(enc.get(), 16000, &firstLoc);
   EXPECT_EQ(firstLoc.offset, 16000);
   EXPECT_EQ(enc.ctxt.buffer.size, 16384u);

   ASSERT_EQ(xe_memcpy(enc.get(), octets(second), 1000), 1000);
   EXPECT_EQ(enc.ctxt.buffer.size, 16384u + 16384u);
   EXPECT_EQ(enc.length(), 17000u);
   EXPECT_EQ(enc.bytes(), second + first);

   /* An end-relative location still finds the first element. */
   const ASN1OCTET* at = enc.ctxt.buffer.data + enc.ctxt.buffer.size - 1 - firstLoc.offset;
   EXPECT_EQ(std::memcmp(at, first.data(), first.size()), 0);
}

TEST(BerEncodeBuffer, LargeWriteGrowsByItsOwnSize) {
   EncodeContext enc(16);
   std::string big(40000, 'q');
   ASSERT_EQ(xe_octstr(enc.get(), octets(big), 40000, TAG_EXPLICIT), 40000 + 4);
   EXPECT_EQ(enc.ctxt.buffer.size, 16u + 40000u);
   std::string out = enc.bytes();
   EXPECT_EQ(testsupport::toHex(out.substr(0, 4)), "04829C40");
   EXPECT_EQ(out.substr(4), big);
}

TEST(BerEncodeBuffer, ExpandDirectly) {
   EncodeContext enc(8);
   const ASN1OCTET two[] = {0x05, 0x00};
   ASSERT_EQ(xe_memcpy(enc.get(), two, 2), 2);
   ASSERT_EQ(xe_expandBuffer(enc.get(), 10), RTS_OK);
   EXPECT_EQ(enc.ctxt.buffer.size, 8u + 16384u);
   EXPECT_EQ(enc.ctxt.buffer.byteIndex, 5u + 16384u);
   EXPECT_EQ(enc.hex(), "0500");
   ASSERT_EQ(xe_expandBuffer(enc.get(), 20000), RTS_OK);
   EXPECT_EQ(enc.ctxt.buffer.size, 8u + 16384u + 20000u);
   EXPECT_EQ(enc.hex(), "0500");
}

TEST(BerEncodeBuffer, MemcpyOfNullSourceIsBadValue) {
   EncodeContext enc;
   EXPECT_EQ(xe_memcpy(enc.get(), nullptr, 0), RTS_BAD_VALUE);
   EXPECT_EQ(xe_memcpy(enc.get(), nullptr, 4), RTS_BAD_VALUE);
   EXPECT_EQ(enc.ctxt.errInfo.status, RTS_BAD_VALUE);
   EXPECT_EQ(enc.length(), 0u);
}

TEST(BerEncodeBuffer, OneOctetDynamicBufferGrowsOnFirstWrite) {
   EncodeContext enc(1);
   EXPECT_EQ(enc.ctxt.buffer.byteIndex, 0u);
   EXPECT_EQ(xe_null(enc.get(), TAG_EXPLICIT), 2);
   EXPECT_EQ(enc.hex(), "0500");
   EXPECT_EQ(enc.ctxt.buffer.size, 1u + 16384u);
}

TEST(BerEncodeBuffer, GrowthUsesTheMessageHeapWhenHeapsDiffer) {
   /* A control object may point typeMemHeap at another context's heap; the
      buffer must stay in the heap it was set up in and freed with. */
   ASN1CTXT other;
   ASSERT_EQ(rtInitContext(&other, nullptr), RTS_OK);
   EncodeContext enc(16);
   rtCtxtSetMemHeap(enc.get(), &other);
   std::string big(20000, 'z');
   ASSERT_EQ(xe_memcpy(enc.get(), octets(big), 20000), 20000);
   EXPECT_EQ(enc.bytes(), big);
   rtFreeContext(&other);
}

}
