// CACMPT_BLOB: the capacity rule, the all-zero empty blob, and ownership
// through copy, move and refills (ASan watches the arrays).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "caBlob.h"

namespace {

std::string bytesOf(const CACMPT_BLOB& blob) {
   return std::string(reinterpret_cast<const char*>(blob.data), blob.length);
}

const unsigned char* bytes(const std::string& s) {
   return reinterpret_cast<const unsigned char*>(s.data());
}

TEST(Blob, CapacityRule) {
   struct Case {
      uint32_t count;
      uint32_t capacity;
   } cases[] = {
      {1, 4096},           {4095, 4096},        {4096, 4096},
      {4097, 8192},        {8192, 8192},        {8193, 16384},
      {65535, 65536},      {65536, 65536},      {65537, 131072},
      {0x40000001u, 0x80000000u},               {0x80000000u, 0x80000000u},
      {0x80000001u, 0x80000001u},               {0xFFFFFFFFu, 0xFFFFFFFFu},
   };
   for (const Case& c : cases)
      EXPECT_EQ(CACMPT_BLOB::capacityFor(c.count), c.capacity) << "count " << c.count;
}

TEST(Blob, FilledBlobsTakeCapacityByTheRule) {
   for (uint32_t count : {1u, 4096u, 4097u, 65536u}) {
      std::string source(count, '\0');
      for (uint32_t i = 0; i < count; ++i) source[i] = static_cast<char>(i * 7 + 3);
      CACMPT_BLOB blob(bytes(source), count);
      EXPECT_EQ(blob.length, count);
      EXPECT_EQ(blob.capacity, CACMPT_BLOB::capacityFor(count));
      EXPECT_EQ(bytesOf(blob), source);
   }
}

TEST(Blob, EmptyBlobIsAllZero) {
   CACMPT_BLOB fresh;
   EXPECT_EQ(fresh.length, 0u);
   EXPECT_EQ(fresh.data, nullptr);
   EXPECT_EQ(fresh.capacity, 0u);

   const unsigned char one = 0x30;
   CACMPT_BLOB fromNothing(&one, 0);
   EXPECT_EQ(fromNothing.data, nullptr);
   EXPECT_EQ(fromNothing.capacity, 0u);

   CACMPT_BLOB emptied(&one, 1);
   emptied.assign(&one, 0);
   EXPECT_EQ(emptied.length, 0u);
   EXPECT_EQ(emptied.data, nullptr);
   EXPECT_EQ(emptied.capacity, 0u);
}

TEST(Blob, RefillReplacesContentsAndCapacity) {
   std::string large(5000, 'L'), small("sm");
   CACMPT_BLOB blob(bytes(large), 5000);
   EXPECT_EQ(blob.capacity, 8192u);
   blob.assign(bytes(small), 2);
   EXPECT_EQ(blob.length, 2u);
   EXPECT_EQ(blob.capacity, 4096u);
   EXPECT_EQ(bytesOf(blob), "sm");
}

TEST(Blob, RefillFromItsOwnBytes) {
   std::string text("0123456789");
   CACMPT_BLOB blob(bytes(text), 10);
   blob.assign(blob.data + 4, 6);
   EXPECT_EQ(bytesOf(blob), "456789");
}

TEST(Blob, CopiesAreDeepAndMovesTransfer) {
   std::string text("\x30\x03\x02\x01\x05", 5);
   CACMPT_BLOB original(bytes(text), 5);

   CACMPT_BLOB copy(original);
   EXPECT_NE(copy.data, original.data);
   EXPECT_EQ(bytesOf(copy), text);
   EXPECT_EQ(copy.capacity, 4096u);

   CACMPT_BLOB assigned;
   assigned = original;
   EXPECT_NE(assigned.data, original.data);
   EXPECT_EQ(bytesOf(assigned), text);
   CACMPT_BLOB& alias = assigned;
   assigned = alias;
   EXPECT_EQ(bytesOf(assigned), text);

   const unsigned char* storage = original.data;
   CACMPT_BLOB moved(std::move(original));
   EXPECT_EQ(moved.data, storage);
   EXPECT_EQ(original.data, nullptr);
   EXPECT_EQ(original.length, 0u);
   EXPECT_EQ(original.capacity, 0u);

   CACMPT_BLOB target(bytes(text), 2);
   target = std::move(moved);
   EXPECT_EQ(target.data, storage);
   EXPECT_EQ(bytesOf(target), text);
   EXPECT_EQ(moved.data, nullptr);
}

}
