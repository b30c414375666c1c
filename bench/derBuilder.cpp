/*
 * Minimal DER element reading and writing for the synthetic messages.
 */
#include "derBuilder.h"

#include <stdexcept>

namespace bench {

namespace {

/* Size of the element that starts at pos in data: its identifier, length
   octets and contents. */
size_t elementSize(const std::string& data, size_t pos) {
   if (pos + 2 > data.size()) throw std::runtime_error("DER element cut short");
   if ((static_cast<unsigned char>(data[pos]) & 0x1F) == 0x1F)
      throw std::runtime_error("DER identifier of more than one octet");
   size_t header = 2;
   size_t length = static_cast<unsigned char>(data[pos + 1]);
   if (length == 0x80) throw std::runtime_error("indefinite length is not DER");
   if (length > 0x80) {
      size_t count = length & 0x7F;
      if (count > sizeof(size_t) || pos + 2 + count > data.size())
         throw std::runtime_error("DER length octets cut short");
      length = 0;
      for (size_t i = 0; i < count; i++)
         length = (length << 8) | static_cast<unsigned char>(data[pos + 2 + i]);
      header += count;
   }
   if (length > data.size() - pos - header) throw std::runtime_error("DER contents cut short");
   return header + length;
}

}

std::string derLength(size_t length) {
   if (length < 0x80) return std::string(1, static_cast<char>(length));
   std::string octets;
   for (size_t rest = length; rest != 0; rest >>= 8)
      octets.insert(octets.begin(), static_cast<char>(rest & 0xFF));
   return static_cast<char>(0x80 | octets.size()) + octets;
}

std::string derElement(unsigned char identifier, const std::string& contents) {
   return static_cast<char>(identifier) + derLength(contents.size()) + contents;
}

std::string derContents(const std::string& der) {
   if (elementSize(der, 0) != der.size()) throw std::runtime_error("octets after the DER element");
   unsigned char first = static_cast<unsigned char>(der[1]);
   size_t lengthOctets = first < 0x80 ? 1 : 1 + (first & 0x7F);
   return der.substr(1 + lengthOctets);
}

std::vector<std::string> derChildren(const std::string& contents) {
   std::vector<std::string> children;
   for (size_t pos = 0; pos < contents.size();) {
      size_t size = elementSize(contents, pos);
      children.push_back(contents.substr(pos, size));
      pos += size;
   }
   return children;
}

}
