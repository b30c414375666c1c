/* Helpers of the runtime tests: octets as hexadecimal text, status names,
   case files, an encode context, every BER primitive behind one call that
   decodes to or encodes from a value written as text. */
#ifndef BLOBXML_TESTS_RUNTIME_TEST_H
#define BLOBXML_TESTS_RUNTIME_TEST_H

#include <gtest/gtest.h>

#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "berDecode.h"
#include "berEncode.h"
#include "rtContext.h"
#include "rtList.h"
#include "rtMemHeap.h"
#include "heap_probe.h"
#include "test_support.h"

namespace bertest {

typedef std::vector<ASN1OCTET> Octets;

inline std::string trim(const std::string& text) {
   const size_t first = text.find_first_not_of(' ');
   return first == std::string::npos ? ""
                                     : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

/* The parts between separators, trimmed, an empty last one included. */
inline std::vector<std::string> split(const std::string& text, char separator) {
   std::vector<std::string> parts;
   std::istringstream in(text);
   for (std::string part; std::getline(in, part, separator);) parts.push_back(trim(part));
   const std::string trimmed = trim(text);
   if (parts.empty() || (!trimmed.empty() && trimmed.back() == separator)) parts.push_back("");
   return parts;
}

/* Words "W*N" written out N times: "00*3" is "00 00 00". */
inline std::string expand(const std::string& text) {
   if (text.find('*') == std::string::npos) return text;
   std::string out;
   for (const std::string& word : split(text, ' ')) {
      const size_t star = word.find('*');
      const size_t times = star == std::string::npos ? 1 : std::stoul(word.substr(star + 1));
      for (size_t i = 0; i < times; i++) out += (out.empty() ? "" : " ") + word.substr(0, star);
   }
   return out;
}

inline Octets hex(const std::string& text) {
   const std::string bytes = testsupport::fromHex(expand(text));
   return Octets(bytes.begin(), bytes.end());
}

/* "02 01 7F": octets the way the case files write them. */
inline std::string spaced(const ASN1OCTET* data, size_t count) {
   std::string out;
   for (size_t i = 0; i < count; i++)
      out += (i == 0 ? "" : " ") + testsupport::toHex(std::string(1, static_cast<char>(data[i])));
   return out;
}
inline std::string spaced(const Octets& octets) { return spaced(octets.data(), octets.size()); }

inline std::string statusName(int status) {
   static const std::map<int, std::string> names = {{RTS_OK, "OK"},
                                                    {RTS_END_OF_DATA, "END_OF_DATA"},
                                                    {RTS_NOT_FOUND, "NOT_FOUND"},
                                                    {RTS_BAD_OID, "BAD_OID"},
                                                    {RTS_BAD_LENGTH, "BAD_LENGTH"},
                                                    {RTS_NO_MEMORY, "NO_MEMORY"},
                                                    {RTS_VALUE_TOO_LONG, "VALUE_TOO_LONG"},
                                                    {RTS_BAD_VALUE, "BAD_VALUE"},
                                                    {RTS_BAD_TAG, "BAD_TAG"},
                                                    {RTS_CONSTRAINT, "CONSTRAINT"},
                                                    {RTS_BAD_ARGUMENT, "BAD_ARGUMENT"},
                                                    {RTS_TOO_BIG, "TOO_BIG"}};
   return names.count(status) ? names.at(status) : std::to_string(status);
}

/* The numbered rows of a case file of tests/runtime, but for # comments. */
inline std::vector<std::pair<int, std::string>> caseLines(const std::string& name) {
   std::ifstream in(testsupport::sourcePath("tests/runtime/" + name));
   std::vector<std::pair<int, std::string>> lines;
   int number = 0;
   for (std::string line; std::getline(in, line);) {
      number++;
      if (!trim(line).empty() && line[0] != '#') lines.emplace_back(number, line);
   }
   EXPECT_FALSE(lines.empty()) << "no cases in " << name;
   return lines;
}

/* An initialised context with an encode buffer (16384 octets for 0). */
struct EncodeContext {
   explicit EncodeContext(int size = 0, ASN1OCTET* buffer = nullptr) {
      initStatus = rtInitContext(&ctxt, nullptr);
      if (initStatus == RTS_OK) initStatus = xe_setp(&ctxt, buffer, size);
   }
   ~EncodeContext() { rtFreeContext(&ctxt); }
   ASN1CTXT* get() { return &ctxt; }
   ASN1UINT length() const { return ctxt.buffer.size - 1 - ctxt.buffer.byteIndex; }
   std::string bytes() const {
      return std::string(ctxt.buffer.data + ctxt.buffer.byteIndex,
                         ctxt.buffer.data + ctxt.buffer.size - 1);
   }
   std::string octets() const { return spaced(ctxt.buffer.data + ctxt.buffer.byteIndex, length()); }
   ASN1CTXT ctxt;
   int initStatus;
};

/* "0041 20AC": BMPString and UniversalString characters as text. */
template <typename Unit>
std::string unitsText(const Unit* units, size_t count) {
   std::ostringstream out;
   for (size_t i = 0; i < count; i++)
      out << (i == 0 ? "" : " ") << std::uppercase << std::hex << std::setw(4) << std::setfill('0')
          << units[i];
   return out.str();
}
template <typename Unit>
std::vector<Unit> unitsOf(const std::string& text) {
   std::vector<Unit> units;
   for (const std::string& word : split(text, ' '))
      if (!word.empty()) units.push_back(static_cast<Unit>(std::stoul(word, nullptr, 16)));
   return units;
}

/* BMPString or UniversalString: decodes into *out, or encodes the value. */
template <typename Str, typename Unit, typename Enc, typename Dec>
int wide(ASN1CTXT* c, ASN1TagType tt, ASN1TAG tag, int len, std::string* out,
         const std::string& value, Enc enc, Dec dec) {
   std::vector<Unit> units = unitsOf<Unit>(value);
   Str s{static_cast<ASN1UINT>(units.size()), units.data()};
   if (out == nullptr) return enc(c, &s, tt, tag);
   const int stat = dec(c, &s, tt, tag, len);
   if (stat == RTS_OK && s.nchars == 0) {
      EXPECT_EQ(nullptr, s.data) << "no characters hold no block";
   }
   *out = unitsText(s.data, s.nchars);
   return stat;
}

/* Decodes one value of the type into *out, or (out null) encodes value;
   returns the primitive's result. OCTETS[n] and BITS[n] decode into the
   caller's array of n octets or bits. */
inline int codec(const std::string& type, ASN1CTXT* c, ASN1TagType tt, int len, std::string* out,
                 const std::string& value = "") {
   const std::string base = type.substr(0, type.find('['));
   const ASN1UINT capacity = base == type ? 0 : std::stoul(type.substr(base.size() + 1));
   const ASN1TAG tag = base == "IA5String"         ? ASN_ID_IA5String
                       : base == "UTF8String"      ? ASN_ID_UTF8String
                       : base == "PrintableString" ? ASN_ID_PrintableString
                       : base == "BMPString"       ? ASN_ID_BMPString
                                                   : ASN_ID_UniversalString;
   const bool enc = out == nullptr;
   if (!enc) out->clear();
   ASN1OCTET fixed[64];
   const ASN1OCTET* data = fixed;
   ASN1UINT n = capacity;
   int stat = RTS_OK;
   if (base == "BOOLEAN" || base == "INTEGER" || base == "ENUMERATED" || base == "UNSIGNED" ||
       base == "UINT16") {
      const long long number = enc ? std::stoll(value) : 0;
      ASN1BOOL b = static_cast<ASN1BOOL>(number);
      ASN1INT i = static_cast<ASN1INT>(number);
      ASN1UINT u = static_cast<ASN1UINT>(number);
      ASN1USINT u16 = static_cast<ASN1USINT>(number);
      if (base == "BOOLEAN") stat = enc ? xe_boolean(c, &b, tt) : xd_boolean(c, &b, tt, len);
      if (base == "INTEGER") stat = enc ? xe_integer(c, &i, tt) : xd_integer(c, &i, tt, len);
      if (base == "ENUMERATED") stat = enc ? xe_enum(c, &i, tt) : xd_enum(c, &i, tt, len);
      if (base == "UNSIGNED") stat = enc ? xe_unsigned(c, &u, tt) : xd_unsigned(c, &u, tt, len);
      if (base == "UINT16") stat = enc ? xe_uint16(c, &u16, tt) : xd_uint16(c, &u16, tt, len);
      const long long decoded = base == "BOOLEAN"    ? b
                                : base == "UNSIGNED" ? u
                                : base == "UINT16"   ? u16
                                                     : static_cast<long long>(i);
      if (!enc) *out = std::to_string(decoded);
   } else if (base == "NULL") {
      stat = enc ? xe_null(c, tt) : xd_null(c, tt);
   } else if (base == "BIGINT" || base == "IA5String" || base == "UTF8String" ||
              base == "PrintableString") {
      const char* text = nullptr;
      if (enc) return base == "BIGINT" ? xe_bigint(c, value == "null" ? nullptr : value.c_str(), tt)
                                       : xe_charstr(c, value.c_str(), tt, tag);
      stat = base == "BIGINT" ? xd_bigint(c, &text, tt, len) : xd_charstr(c, &text, tt, tag, len);
      *out = text == nullptr ? "" : text;
   } else if (base == "OBJECT IDENTIFIER") {
      ASN1OBJID oid{};
      for (const std::string& arc : split(enc ? value : "", '.'))
         if (!arc.empty())
            oid.arcs[oid.numarcs++ % MAX_OID_ARCS] = static_cast<ASN1UINT>(std::stoul(arc));
      if (enc) return xe_objid(c, &oid, tt);
      stat = xd_objid(c, &oid, tt, len);
      for (ASN1UINT k = 0; k < oid.numarcs; k++)
         *out += (k == 0 ? "" : ".") + std::to_string(oid.arcs[k]);
   } else if (base == "OCTETS" || base == "BITS") {
      /* Bits as "count:octets", e.g. "12:AA B0". */
      const size_t colon = value.find(':');
      const Octets o = hex(value.substr(base == "BITS" ? colon + 1 : 0));
      if (enc && base == "OCTETS")
         return xe_octstr(c, o.data(), static_cast<ASN1UINT>(o.size()), tt);
      if (enc)
         return xe_bitstr(c, o.empty() ? nullptr : o.data(), std::stoul(value.substr(0, colon)),
                          tt);
      if (base == "OCTETS")
         stat =
             capacity == 0 ? xd_octstr(c, &data, &n, tt, len) : xd_octstr_s(c, fixed, &n, tt, len);
      else
         stat =
             capacity == 0 ? xd_bitstr(c, &data, &n, tt, len) : xd_bitstr_s(c, fixed, &n, tt, len);
      if (stat == RTS_OK && n == 0) {
         EXPECT_TRUE(capacity != 0 || data == nullptr) << "an empty value holds no block";
      }
      const size_t count = stat != RTS_OK ? 0 : base == "BITS" ? (n + 7) / 8 : n;
      *out = (base == "BITS" ? std::to_string(n) + ":" : "") + spaced(data, count);
   } else if (base == "BMPString") {
      return wide<ASN116BitCharString, ASN116BITCHAR>(c, tt, tag, len, out, value, xe_16BitCharStr,
                                                      xd_16BitCharStr);
   } else {
      return wide<ASN132BitCharString, ASN132BITCHAR>(c, tt, tag, len, out, value, xe_32BitCharStr,
                                                      xd_32BitCharStr);
   }
   return stat;
}

}

#endif
