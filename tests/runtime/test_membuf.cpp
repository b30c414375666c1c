// ASN1MemBuf growth in whole segments, append/set and data access.
#include <gtest/gtest.h>

#include <cstring>

#include "rtContext.h"
#include "rtMemHeap.h"

namespace {

class MemBufTest : public ::testing::Test {
 protected:
   void SetUp() override {
      ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
      rtMemBufInit(&ctxt, &buf, 1024);
   }
   void TearDown() override {
      rtMemBufFree(&buf);
      rtFreeContext(&ctxt);
   }
   ASN1CTXT ctxt;
   ASN1MemBuf buf;
};

TEST_F(MemBufTest, InitLeavesNoStorage) {
   EXPECT_EQ(buf.buffer, nullptr);
   EXPECT_EQ(buf.bufsize, 0u);
   EXPECT_EQ(buf.isDynamic, 1);
   int len = -1;
   EXPECT_EQ(rtMemBufGetData(&buf, &len), nullptr);
   EXPECT_EQ(len, 0);
}

TEST_F(MemBufTest, GrowsToWholeSegments) {
   ASSERT_EQ(rtMemBufSet(&buf, 'x', 1000), RTS_OK);
   EXPECT_EQ(buf.bufsize, 1024u);
   ASSERT_EQ(rtMemBufPreAllocate(&buf, 24), RTS_OK);
   EXPECT_EQ(buf.bufsize, 1024u);
   ASSERT_EQ(rtMemBufPreAllocate(&buf, 30), RTS_OK);
   EXPECT_EQ(buf.bufsize, 2048u);
   EXPECT_EQ(buf.usedcnt, 1000u);
   int len = 0;
   const ASN1OCTET* data = rtMemBufGetData(&buf, &len);
   ASSERT_EQ(len, 1000);
   for (int i = 0; i < len; ++i) ASSERT_EQ(data[i], 'x');
}

TEST_F(MemBufTest, AppendCopiesAndNullDataOnlyReserves) {
   const ASN1OCTET text[] = "abc";
   ASSERT_EQ(rtMemBufAppend(&buf, text, 3), RTS_OK);
   ASSERT_EQ(rtMemBufAppend(&buf, nullptr, 3000), RTS_OK);
   EXPECT_EQ(buf.usedcnt, 3u);
   EXPECT_EQ(buf.bufsize, 3072u);
   EXPECT_EQ(rtMemBufAppend(&buf, text, 0), RTS_OK);
   ASSERT_EQ(rtMemBufAppend(&buf, text + 1, 2), RTS_OK);
   int len = 0;
   const ASN1OCTET* data = rtMemBufGetData(&buf, &len);
   EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), len), "abcbc");
}

TEST_F(MemBufTest, ResetKeepsStorageAndStartIndexOffsetsData) {
   const ASN1OCTET text[] = "hello";
   ASSERT_EQ(rtMemBufAppend(&buf, text, 5), RTS_OK);
   buf.startidx = 2;
   int len = 0;
   EXPECT_EQ(std::string(reinterpret_cast<const char*>(rtMemBufGetData(&buf, &len)), 3), "llo");
   EXPECT_EQ(len, 3);
   ASN1OCTET* storage = buf.buffer;
   buf.bitOffset = 4;
   rtMemBufReset(&buf);
   EXPECT_EQ(buf.usedcnt, 0u);
   EXPECT_EQ(buf.startidx, 0u);
   EXPECT_EQ(buf.bitOffset, 0u);
   EXPECT_EQ(buf.buffer, storage);
   EXPECT_EQ(buf.bufsize, 1024u);
}

}
