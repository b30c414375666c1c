// Inputs that the command-line cases derive from fixtures: DER with one
// element replaced, BER variants of a DER message, messages nested to a
// given depth, and XML with the items of a list in reverse order.
#ifndef BLOBXML_TESTS_DERIVED_INPUTS_H
#define BLOBXML_TESTS_DERIVED_INPUTS_H

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "test_support.h"

namespace derived {

// One element of a DER message: identifier, length octets, contents, end.
struct Element {
   size_t start, lengthAt, contents, end;
   bool constructed;
   std::string identifier(const std::string& der) const {
      return der.substr(start, lengthAt - start);
   }
   std::string body(const std::string& der) const { return der.substr(contents, end - contents); }
};

inline Element element(const std::string& der, size_t start) {
   auto octet = [&der](size_t at) { return static_cast<unsigned char>(der.at(at)); };
   Element e{start, start + 1, 0, 0, (octet(start) & 0x20) != 0};
   if ((octet(start) & 0x1F) == 0x1F) {
      while (octet(e.lengthAt++) & 0x80) continue;
   }
   e.contents = e.lengthAt + 1;
   size_t length = octet(e.lengthAt);
   if (length == 0x80) throw std::runtime_error("indefinite length in DER");
   if (length > 0x80) {
      const size_t count = length & 0x7F;
      length = 0;
      for (size_t i = 0; i < count; i++) length = length << 8 | octet(e.contents++);
   }
   e.end = e.contents + length;
   if (e.end > der.size()) throw std::runtime_error("DER contents run past the end");
   return e;
}

inline std::string derLength(size_t length) {
   if (length < 0x80) return std::string(1, static_cast<char>(length));
   std::string octets;
   for (; length > 0; length >>= 8) octets.insert(octets.begin(), static_cast<char>(length & 0xFF));
   return static_cast<char>(0x80 | octets.size()) + octets;
}

// Replaces, depth first, the first element of the element list `der` whose
// encoding begins with `from` by the octets `to`; the lengths around it
// follow.
inline bool replaceElement(std::string& der, const std::string& from, const std::string& to) {
   for (size_t at = 0; at < der.size(); at = element(der, at).end) {
      const Element e = element(der, at);
      std::string contents = e.body(der);
      if (der.compare(e.start, std::min(from.size(), e.end - e.start), from) == 0) {
         der.replace(e.start, e.end - e.start, to);
      } else if (e.constructed && replaceElement(contents, from, to)) {
         der.replace(e.start, e.end - e.start,
                     e.identifier(der) + derLength(contents.size()) + contents);
      } else {
         continue;
      }
      return true;
   }
   return false;
}

// A BER variant of a DER message: constructed elements with the indefinite
// length, lengths in long form of at least `lengthOctets` octets (but for
// the identifiers in `derLengthIds`), strings in segments of at most
// `segment` octets, TRUE as 01. Values of open types that the program keeps
// as received stay DER (sha256WithRSAEncryption parameters, serialNumber
// names, id-ecPublicKey parameters, user principal names), and the
// extension values it decodes afresh (2.5.29.n) are written in the style.
struct BerStyle {
   bool indefinite = false, trueAsOne = false;
   size_t lengthOctets = 0, segment = 0;
   std::string derLengthIds = "\x01\x05";

   std::string write(const std::string& der, bool extension = false) const {
      static const std::string keptAsReceived =
          " 2A864886F70D01010B 550405 2A8648CE3D0201 2B060104018237140203 ";
      static const std::string decodedArcs("\x13\x0F\x0E\x11\x23\x14\x15\x1C\x25", 9);
      std::string out, previousOid;
      for (size_t at = 0; at < der.size(); at = element(der, at).end) {
         const Element e = element(der, at);
         const std::string id = e.identifier(der), contents = e.body(der);
         if (!previousOid.empty() && keptAsReceived.find(" " + testsupport::toHex(previousOid) +
                                                         " ") != std::string::npos) {
            out += der.substr(e.start, e.end - e.start);
         } else if (extension && e.end == der.size() && e.start > 0 && id == "\x04") {
            out += primitive(id, write(contents));
         } else if (e.constructed) {
            const std::string oid =
                !contents.empty() && contents[0] == 0x06 ? element(contents, 0).body(contents) : "";
            const bool decoded = id == "\x30" && oid.size() == 3 &&
                                 oid.compare(0, 2, "\x55\x1D") == 0 &&
                                 decodedArcs.find(oid[2]) != std::string::npos;
            out += id + constructedLength(write(contents, decoded));
         } else {
            out += primitive(id, contents);
         }
         previousOid = id == "\x06" ? contents : "";
      }
      return out;
   }

   std::string primitive(const std::string& id, const std::string& contents) const {
      static const std::string strings("\x03\x04\x0C\x13\x16\x17\x18", 7);
      const bool single = id.size() == 1;
      if (trueAsOne && id == "\x01" && contents == "\xFF") return "\x01\x01\x01";
      if (single && derLengthIds.find(id[0]) != std::string::npos)
         return id + derLength(contents.size()) + contents;
      if (segment == 0 || !single || strings.find(id[0]) == std::string::npos || contents.empty())
         return id + length(contents.size()) + contents;
      // A BIT STRING in BIT STRING segments, each with its unused-bits octet
      // (0 but in the last); other strings in OCTET STRING segments.
      const bool bits = id == "\x03";
      const std::string data = bits ? contents.substr(1) : contents;
      std::string segments;
      for (size_t at = 0; at < data.size() || (bits && at == 0); at += segment) {
         std::string piece = data.substr(at, segment);
         if (bits) piece.insert(0, 1, at + segment >= data.size() ? contents[0] : '\0');
         segments += std::string(bits ? "\x03" : "\x04") + length(piece.size()) + piece;
      }
      return std::string(1, static_cast<char>(id[0] | 0x20)) + constructedLength(segments);
   }

   std::string length(size_t n) const {
      if (lengthOctets == 0) return derLength(n);
      std::string octets;
      for (size_t rest = n; rest > 0 || octets.size() < lengthOctets; rest >>= 8)
         octets.insert(octets.begin(), static_cast<char>(rest & 0xFF));
      return static_cast<char>(0x80 | octets.size()) + octets;
   }

   std::string constructedLength(const std::string& contents) const {
      return indefinite ? std::string("\x80", 1) + contents + std::string(2, '\0')
                        : length(contents.size()) + contents;
   }
};

inline std::string tlv(unsigned char tag, const std::string& contents) {
   return static_cast<char>(tag) + derLength(contents.size()) + contents;
}

// A PKIMessage whose body is nested `depth` times ([20] nested), with the
// confirmation ([19] conf) innermost; as DER or as XML.
inline std::string nestedPkiMessage(int depth, bool xml) {
   const std::string name = tlv(0x81, "a"),
                     header = tlv(0x30, testsupport::fromHex("020101") + name + name);
   const std::string xmlHeader =
      "<header><pvno><ietf_version2/></pvno><sender><rfc822Name>a</rfc822Name></sender>"
      "<recipient><rfc822Name>a</rfc822Name></recipient></header>";
   std::string message = xml ? xmlHeader + "<body><conf/></body>"
                             : tlv(0x30, header + testsupport::fromHex("B3020500"));
   for (int i = 0; i < depth; i++)
      message = xml ? xmlHeader + "<body><nested>" + message + "</nested></body>"
                    : tlv(0x30, header + tlv(0xB4, message));
   return xml ? "<PKIMessage>" + message + "</PKIMessage>" : message;
}

// A ContentInfo of SignedData whose eContent is a SignedData, `depth`
// times; the innermost carries id-data without content.
inline std::string nestedSignedData(int depth) {
   const std::string idSignedData = testsupport::fromHex("06092A864886F70D010702");
   const std::string head = testsupport::fromHex("020103 3100"),
                     tail = testsupport::fromHex("3100");
   std::string signedData =
       tlv(0x30, head + testsupport::fromHex("300B06092A864886F70D010701") + tail);
   for (int i = 0; i < depth; i++)
      signedData =
          tlv(0x30, head + tlv(0x30, idSignedData + tlv(0xA0, tlv(0x04, signedData))) + tail);
   return tlv(0x30, idSignedData + tlv(0xA0, signedData));
}

// Position just past the element <tag> that starts at `open`, counting
// nested elements of the same name.
inline size_t elementEnd(const std::string& xml, const std::string& tag, size_t open) {
   int depth = 0;
   for (size_t at = open; at < xml.size(); ++at) {
      if (xml.compare(at, tag.size() + 2, "<" + tag + ">") == 0) ++depth;
      if (xml.compare(at, tag.size() + 3, "</" + tag + ">") == 0 && --depth == 0)
         return at + tag.size() + 3;
   }
   throw std::runtime_error("no end of <" + tag + ">");
}

// The <item> children of the n-th <list> element in reverse order; the text
// between them (indentation) stays in place.
inline std::string reverseItems(const std::string& xml, const std::string& list,
                                const std::string& item, int n) {
   size_t open = xml.find("<" + list + ">");
   for (int i = 0; i < n; ++i) open = xml.find("<" + list + ">", open + 1);
   const size_t close = elementEnd(xml, list, open) - list.size() - 3;
   std::vector<std::string> items, gaps;
   size_t at = open + list.size() + 2;
   for (size_t next; (next = xml.find("<" + item + ">", at)) < close;
        at = elementEnd(xml, item, next)) {
      gaps.push_back(xml.substr(at, next - at));
      items.push_back(xml.substr(next, elementEnd(xml, item, next) - next));
   }
   std::string out = xml.substr(0, open + list.size() + 2);
   for (size_t i = 0; i < items.size(); ++i) out += gaps[i] + items[items.size() - 1 - i];
   return out + xml.substr(at);
}
}

#endif
