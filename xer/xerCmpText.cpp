/*
 * Byte-wise equality of two texts, used to match element names.
 */
#include <cstring>

#include "xerDecode.h"

int xerCmpText(const char* text1, const char* text2) {
   if (text1 == nullptr || text2 == nullptr) return 0;
   return std::strcmp(text1, text2) == 0 ? 1 : 0;
}
