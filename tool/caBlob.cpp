/*
 * CACMPT_BLOB storage: every fill allocates a fresh array by the capacity
 * rule, so a blob never shares its bytes with another.
 */
#include "caBlob.h"

#include <cstring>

static const uint32_t kFirstCapacity = 4096;
static const uint32_t kLargestDoubling = 0x80000000u;

CACMPT_BLOB::CACMPT_BLOB() : length(0), data(nullptr), capacity(0) {}

CACMPT_BLOB::CACMPT_BLOB(const unsigned char* bytes, uint32_t count) : CACMPT_BLOB() {
   assign(bytes, count);
}

CACMPT_BLOB::CACMPT_BLOB(const CACMPT_BLOB& other) : CACMPT_BLOB() {
   assign(other.data, other.length);
}

CACMPT_BLOB::CACMPT_BLOB(CACMPT_BLOB&& other) noexcept
   : length(other.length), data(other.data), capacity(other.capacity) {
   other.length = 0;
   other.data = nullptr;
   other.capacity = 0;
}

CACMPT_BLOB& CACMPT_BLOB::operator=(const CACMPT_BLOB& other) {
   if (this != &other) assign(other.data, other.length);
   return *this;
}

CACMPT_BLOB& CACMPT_BLOB::operator=(CACMPT_BLOB&& other) noexcept {
   if (this != &other) {
      delete[] data;
      length = other.length;
      data = other.data;
      capacity = other.capacity;
      other.length = 0;
      other.data = nullptr;
      other.capacity = 0;
   }
   return *this;
}

CACMPT_BLOB::~CACMPT_BLOB() { delete[] data; }

/* The new array is filled before the old one goes, so bytes may point into
   this blob's own data. */
void CACMPT_BLOB::assign(const unsigned char* bytes, uint32_t count) {
   unsigned char* fresh = nullptr;
   uint32_t freshCapacity = 0;
   if (count > 0) {
      freshCapacity = capacityFor(count);
      fresh = new unsigned char[freshCapacity];
      std::memcpy(fresh, bytes, count);
   }
   delete[] data;
   data = fresh;
   length = count;
   capacity = freshCapacity;
}

uint32_t CACMPT_BLOB::capacityFor(uint32_t count) {
   if (count > kLargestDoubling) return count;
   uint32_t result = kFirstCapacity;
   while (result < count) result *= 2;
   return result;
}
