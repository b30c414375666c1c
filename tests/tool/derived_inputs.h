// Inputs that the command-line cases derive from fixtures: DER with one
// element replaced, BER variants of a DER message, messages nested to a
// given depth, and XML with the items of a list in reverse order.
#ifndef BLOBXML_TESTS_DERIVED_INPUTS_H
#define BLOBXML_TESTS_DERIVED_INPUTS_H

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "test_support.h"

namespace derived {

// Where one element of a DER message lies: identifier, length octets,
// contents and the end.
struct Element {
   size_t start, lengthAt, contents, end;
   bool constructed;
};

inline Element element(const std::string& der, size_t start) {
   auto octet = [&der](size_t at) {
      if (at >= der.size()) throw std::runtime_error("DER runs past its end");
      return static_cast<unsigned char>(der[at]);
   };
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

// Definite length octets in the minimal form.
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
   for (size_t at = 0; at < der.size();) {
      const Element e = element(der, at);
      std::string contents = der.substr(e.contents, e.end - e.contents);
      if (e.end - e.start >= from.size() && der.compare(e.start, from.size(), from) == 0) {
         der.replace(e.start, e.end - e.start, to);
         return true;
      }
      if (e.constructed && replaceElement(contents, from, to)) {
         const std::string identifier = der.substr(e.start, e.lengthAt - e.start);
         der.replace(e.start, e.end - e.start, identifier + derLength(contents.size()) + contents);
         return true;
      }
      at = e.end;
   }
   return false;
}

// How a BER variant of a DER message is written.
struct BerStyle {
   bool indefinite = false;   // constructed elements with the indefinite length
   size_t lengthOctets = 0;   // 0: minimal lengths; else at least this many long-form octets
   size_t segment = 0;        // 0: primitive strings; else segments of at most this many octets
   bool trueAsOne = false;    // BOOLEAN TRUE as 01
   std::string derLengthIds = "\x01\x05";  // identifiers whose lengths stay minimal
};

// Writes a DER message in a BER style. Values of open types that the
// program keeps as received stay DER, so that the BER variant and its DER
// original give the same XML; the extension values that it decodes afresh
// are written in the style too.
class BerWriter {
public:
   explicit BerWriter(const BerStyle& style) : style(style) {}

   std::string write(const std::string& der) const { return list(der, 0, der.size(), false); }

private:
   const BerStyle style;

   // OID contents of sha256WithRSAEncryption, the serialNumber attribute,
   // id-ecPublicKey and the user-principal-name otherName: their values are
   // kept as received.
   bool unresolved(const std::string& oid) const {
      static const std::set<std::string> oids = {
         testsupport::fromHex("2A864886F70D01010B"), testsupport::fromHex("550405"),
         testsupport::fromHex("2A8648CE3D0201"), testsupport::fromHex("2B060104018237140203")};
      return oids.count(oid) > 0;
   }
   // basicConstraints, keyUsage, subjectKeyIdentifier, subjectAltName,
   // authorityKeyIdentifier, CRL number, reason code, issuing distribution
   // point and extKeyUsage (2.5.29.n).
   bool resolvedExtension(const std::string& oid) const {
      static const std::string arcs("\x13\x0F\x0E\x11\x23\x14\x15\x1C\x25", 9);
      return oid.size() == 3 && oid.compare(0, 2, "\x55\x1D") == 0 &&
             arcs.find(oid[2]) != std::string::npos;
   }

   // A SEQUENCE that opens with the OID of an extension decoded afresh.
   bool opensResolvedExtension(const std::string& der, const Element& e) const {
      if (der[e.start] != 0x30 || e.contents == e.end || der[e.contents] != 0x06) return false;
      const Element oid = element(der, e.contents);
      return resolvedExtension(der.substr(oid.contents, oid.end - oid.contents));
   }

   std::string list(const std::string& der, size_t from, size_t to, bool extension) const {
      std::string out, previousOid;
      for (size_t at = from; at < to;) {
         const Element e = element(der, at);
         const std::string contents = der.substr(e.contents, e.end - e.contents);
         if (unresolved(previousOid)) {
            out += der.substr(e.start, e.end - e.start);
         } else if (extension && e.end == to && e.start != from && der[e.start] == 0x04) {
            out += primitive("\x04", write(contents));
         } else if (e.constructed) {
            out += der.substr(e.start, e.lengthAt - e.start) +
                   constructedLength(list(der, e.contents, e.end, opensResolvedExtension(der, e)));
         } else {
            out += primitive(der.substr(e.start, e.lengthAt - e.start), contents);
         }
         previousOid = der[e.start] == 0x06 ? contents : "";
         at = e.end;
      }
      return out;
   }

   std::string primitive(const std::string& identifier, const std::string& contents) const {
      static const std::string strings("\x03\x04\x0C\x13\x16\x17\x18", 7);
      const bool single = identifier.size() == 1;
      if (style.trueAsOne && identifier == "\x01" && contents == "\xFF") return "\x01\x01\x01";
      if (style.segment > 0 && single && strings.find(identifier[0]) != std::string::npos &&
          !contents.empty())
         return segmented(identifier[0], contents);
      if (single && style.derLengthIds.find(identifier[0]) != std::string::npos)
         return identifier + derLength(contents.size()) + contents;
      return identifier + length(contents.size()) + contents;
   }

   // Long form with at least style.lengthOctets octets, leading zeros allowed.
   std::string length(size_t n) const {
      if (style.lengthOctets == 0) return derLength(n);
      std::string octets;
      for (size_t rest = n; rest > 0 || octets.size() < style.lengthOctets; rest >>= 8)
         octets.insert(octets.begin(), static_cast<char>(rest & 0xFF));
      return static_cast<char>(0x80 | octets.size()) + octets;
   }

   std::string constructedLength(const std::string& contents) const {
      if (style.indefinite) return std::string("\x80", 1) + contents + std::string(2, '\0');
      return length(contents.size()) + contents;
   }

   // A BIT STRING in BIT STRING segments, each with its unused-bits octet (0
   // but in the last); an OCTET STRING and every character string in OCTET
   // STRING segments.
   std::string segmented(char identifier, const std::string& contents) const {
      const bool bits = identifier == '\x03';
      const std::string data = bits ? contents.substr(1) : contents;
      std::string segments;
      for (size_t at = 0; at < data.size() || (bits && at == 0); at += style.segment) {
         std::string piece = data.substr(at, style.segment);
         if (bits) piece.insert(0, 1, at + style.segment >= data.size() ? contents[0] : '\0');
         segments += std::string(bits ? "\x03" : "\x04") + length(piece.size()) + piece;
      }
      return std::string(1, static_cast<char>(identifier | 0x20)) + constructedLength(segments);
   }
};

inline std::string tlv(unsigned char tag, const std::string& contents) {
   return static_cast<char>(tag) + derLength(contents.size()) + contents;
}

// A PKIMessage whose body is nested `depth` times ([20] nested), with the
// confirmation ([19] conf) innermost.
inline std::string nestedPkiMessage(int depth) {
   const std::string name = tlv(0x81, "a");
   const std::string header = tlv(0x30, testsupport::fromHex("020101") + name + name);
   std::string message = tlv(0x30, header + testsupport::fromHex("B3020500"));
   for (int i = 0; i < depth; i++) message = tlv(0x30, header + tlv(0xB4, message));
   return message;
}

inline std::string nestedPkiMessageXml(int depth) {
   const std::string header =
      "<header><pvno><ietf_version2/></pvno><sender><rfc822Name>a</rfc822Name></sender>"
      "<recipient><rfc822Name>a</rfc822Name></recipient></header>";
   std::string xml = "<PKIMessage>";
   for (int i = 0; i < depth; i++) xml += header + "<body><nested>";
   xml += header + "<body><conf/></body>";
   for (int i = 0; i < depth; i++) xml += "</nested></body>";
   return xml + "</PKIMessage>";
}

// A ContentInfo of SignedData whose eContent is a SignedData, `depth`
// times; the innermost carries id-data without content.
inline std::string nestedSignedData(int depth) {
   const std::string idData = testsupport::fromHex("06092A864886F70D010701");
   const std::string idSignedData = testsupport::fromHex("06092A864886F70D010702");
   const std::string head = testsupport::fromHex("020103") + tlv(0x31, "");
   std::string signedData = tlv(0x30, head + tlv(0x30, idData) + tlv(0x31, ""));
   for (int i = 0; i < depth; i++) {
      const std::string encap = tlv(0x30, idSignedData + tlv(0xA0, tlv(0x04, signedData)));
      signedData = tlv(0x30, head + encap + tlv(0x31, ""));
   }
   return tlv(0x30, idSignedData + tlv(0xA0, signedData));
}

// Position just past the element <tag> that starts at `open`, counting
// nested elements of the same name.
inline size_t elementEnd(const std::string& xml, const std::string& tag, size_t open) {
   const std::string start = "<" + tag + ">", end = "</" + tag + ">";
   int depth = 0;
   for (size_t at = open; at < xml.size(); ++at) {
      if (xml.compare(at, start.size(), start) == 0) ++depth;
      if (xml.compare(at, end.size(), end) == 0 && --depth == 0) return at + end.size();
   }
   throw std::runtime_error("no end of <" + tag + ">");
}

// The <item> children of the n-th <list> element in reverse order; the text
// between them (indentation) stays in place.
inline std::string reverseItems(const std::string& xml, const std::string& list,
                                const std::string& item, int n) {
   size_t open = xml.find("<" + list + ">");
   for (int i = 0; i < n && open != std::string::npos; ++i) open = xml.find("<" + list + ">", open + 1);
   if (open == std::string::npos) throw std::runtime_error("no <" + list + ">");
   const size_t close = elementEnd(xml, list, open) - list.size() - 3;
   std::vector<std::string> items, gaps;
   size_t at = open + list.size() + 2;
   for (size_t next; (next = xml.find("<" + item + ">", at)) < close;) {
      gaps.push_back(xml.substr(at, next - at));
      at = elementEnd(xml, item, next);
      items.push_back(xml.substr(next, at - next));
   }
   if (items.size() < 2) throw std::runtime_error("fewer than two <" + item + "> to reverse");
   std::reverse(items.begin(), items.end());
   std::string out = xml.substr(0, open + list.size() + 2);
   for (size_t i = 0; i < items.size(); ++i) out += gaps[i] + items[i];
   return out + xml.substr(at);
}

}

#endif
