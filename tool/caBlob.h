/*
 * CACMPT_BLOB: an owned, growable byte array that carries encoded messages
 * into and out of the converters.
 */
#ifndef BLOBXML_CABLOB_H
#define BLOBXML_CABLOB_H

#include <cstdint>

struct CACMPT_BLOB {
   uint32_t length;      /* bytes in use */
   unsigned char* data;  /* allocated with array new, or null */
   uint32_t capacity;    /* bytes allocated */

   CACMPT_BLOB();
   CACMPT_BLOB(const unsigned char* bytes, uint32_t count);
   CACMPT_BLOB(const CACMPT_BLOB& other);
   CACMPT_BLOB(CACMPT_BLOB&& other) noexcept;
   CACMPT_BLOB& operator=(const CACMPT_BLOB& other);
   CACMPT_BLOB& operator=(CACMPT_BLOB&& other) noexcept;
   ~CACMPT_BLOB();

   /* Replaces the contents with count bytes in a new array sized by
      capacityFor; with count 0 the blob becomes empty (all zero). */
   void assign(const unsigned char* bytes, uint32_t count);

   /* 4096 doubled until it holds count bytes; count itself when doubling
      would leave 32 bits. */
   static uint32_t capacityFor(uint32_t count);
};

#endif
