// A small identifier-length-contents tree of DER messages for the end-to-end
// tests: read a DER message into nodes, change or reorder them, and write
// them back as DER (the tests write their BER variants from the same nodes).
#ifndef BLOBXML_TESTS_TLV_H
#define BLOBXML_TESTS_TLV_H

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace tlv {

struct Node {
   std::string identifier;  // the identifier octets as read (long form kept)
   bool constructed = false;
   std::string contents;  // contents of a primitive node
   std::vector<Node> children;
};

inline unsigned char octet(const std::string& bytes, size_t at) {
   if (at >= bytes.size()) throw std::runtime_error("DER runs past its end");
   return static_cast<unsigned char>(bytes[at]);
}

// Reads one element with a definite length at `pos` and moves `pos` past it.
inline Node parse(const std::string& der, size_t& pos) {
   Node node;
   const size_t start = pos;
   const unsigned char first = octet(der, pos++);
   if ((first & 0x1F) == 0x1F) {
      // A tag number above 30 follows in base-128 octets, the last with bit 8 clear.
      while (octet(der, pos++) & 0x80) continue;
   }
   node.identifier = der.substr(start, pos - start);
   node.constructed = (first & 0x20) != 0;
   size_t length = octet(der, pos++);
   if (length == 0x80) throw std::runtime_error("indefinite length in DER");
   if (length & 0x80) {
      const size_t count = length & 0x7F;
      length = 0;
      for (size_t i = 0; i < count; i++) length = length << 8 | octet(der, pos++);
   }
   const size_t end = pos + length;
   if (end > der.size()) throw std::runtime_error("DER contents run past the end");
   if (node.constructed) {
      while (pos < end) node.children.push_back(parse(der, pos));
      if (pos != end) throw std::runtime_error("DER element overruns its parent");
   } else {
      node.contents = der.substr(pos, length);
      pos = end;
   }
   return node;
}

// Reads a message that is exactly one DER element.
inline Node parse(const std::string& der) {
   size_t pos = 0;
   Node node = parse(der, pos);
   if (pos != der.size()) throw std::runtime_error("octets after the DER element");
   return node;
}

// Definite length octets in the minimal form of X.690 10.1.
inline std::string derLength(size_t length) {
   if (length < 0x80) return std::string(1, static_cast<char>(length));
   std::string octets;
   for (; length > 0; length >>= 8) octets.insert(octets.begin(), static_cast<char>(length & 0xFF));
   return static_cast<char>(0x80 | octets.size()) + octets;
}

inline std::string der(const Node& node) {
   std::string contents = node.contents;
   if (node.constructed) {
      contents.clear();
      for (const Node& child : node.children) contents += der(child);
   }
   return node.identifier + derLength(contents.size()) + contents;
}

// The node at a path of child indexes, for editing a message in place.
inline Node& at(Node& node, std::initializer_list<size_t> path) {
   Node* current = &node;
   for (size_t index : path) {
      if (index >= current->children.size()) throw std::runtime_error("no such child");
      current = &current->children[index];
   }
   return *current;
}

// The first primitive node, depth first, with this identifier and these
// contents. A message without one is an error, so that a test cannot
// quietly change nothing.
inline Node* findPrimitive(Node& node, const std::string& identifier, const std::string& contents) {
   if (!node.constructed) {
      return node.identifier == identifier && node.contents == contents ? &node : nullptr;
   }
   for (Node& child : node.children) {
      if (Node* found = findPrimitive(child, identifier, contents)) return found;
   }
   return nullptr;
}

inline Node& primitive(Node& node, const std::string& identifier, const std::string& contents) {
   Node* found = findPrimitive(node, identifier, contents);
   if (found == nullptr) throw std::runtime_error("no such primitive element");
   return *found;
}

}

#endif
