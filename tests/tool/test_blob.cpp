// CACMPT_BLOB: the capacity rule, the all-zero empty blob, and ownership
// through copy, move and refills (the sanitizers watch the arrays).
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "caBlob.h"

namespace {

std::string bytesOf(const CACMPT_BLOB& blob) {
   return blob.data == nullptr ? "(null)"
                               : std::string(reinterpret_cast<const char*>(blob.data), blob.length);
}

TEST(Blob, CapacityRule) {
   const uint32_t cases[][2] = {{1, 4096},
                                {4096, 4096},
                                {4097, 8192},
                                {65536, 65536},
                                {65537, 131072},
                                {0x40000001u, 0x80000000u},
                                {0x80000000u, 0x80000000u},
                                {0x80000001u, 0x80000001u},
                                {0xFFFFFFFFu, 0xFFFFFFFFu}};
   for (const auto& c : cases) EXPECT_EQ(CACMPT_BLOB::capacityFor(c[0]), c[1]) << c[0];
}

TEST(Blob, EmptyBlobsAreAllZeroAndRefillsOwnTheirBytes) {
   const unsigned char text[] = "0123456789";
   CACMPT_BLOB blob(text, 0);
   EXPECT_TRUE(blob.data == nullptr && blob.length == 0 && blob.capacity == 0);
   blob.assign(text, 10);
   blob.assign(blob.data + 4, 6);
   EXPECT_EQ(bytesOf(blob), "456789");
   EXPECT_EQ(blob.capacity, 4096u);
   blob.assign(text, 0);
   EXPECT_TRUE(blob.data == nullptr && blob.length == 0 && blob.capacity == 0);
}

TEST(Blob, CopiesAreDeepAndMovesTransfer) {
   const unsigned char text[] = "\x30\x03\x02\x01\x05";
   CACMPT_BLOB original(text, 5), copy(original), assigned;
   assigned = original;
   CACMPT_BLOB& alias = assigned;
   assigned = alias;
   EXPECT_TRUE(copy.data != original.data && assigned.data != original.data);
   EXPECT_EQ(bytesOf(copy), bytesOf(original));
   EXPECT_EQ(bytesOf(assigned), bytesOf(original));
   const unsigned char* storage = original.data;
   CACMPT_BLOB moved(std::move(original)), target(text, 2);
   target = std::move(moved);
   EXPECT_TRUE(target.data == storage && target.length == 5 && moved.data == nullptr);
   EXPECT_TRUE(original.data == nullptr && original.length == 0 && original.capacity == 0);
}

}
