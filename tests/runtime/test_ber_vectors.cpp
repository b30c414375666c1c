/* The X.690 vectors of ber_vectors.txt run both ways, explicitly and under
   [1] IMPLICIT, as the head of that file says. */
#include <memory>

#include "runtime_test.h"

using namespace bertest;

namespace {

/* "STATUS value / recorded status / octets left" of an explicit decode, or
   one after the caller has read the [1] header (its length may run past the
   end, so that the value decoder's own checks are reached). */
std::string decode(const std::string& type, bool implicit, const Octets& octets) {
   std::unique_ptr<ASN1OCTET[]> copy(new ASN1OCTET[octets.size()]);
   std::copy(octets.begin(), octets.end(), copy.get());
   ASN1CTXT ctxt;
   EXPECT_EQ(RTS_OK, rtInitContext(&ctxt, nullptr));
   EXPECT_EQ(RTS_OK, rtInitContextBuffer(&ctxt, copy.get(), static_cast<ASN1UINT>(octets.size())));
   int stat = RTS_OK, length = 0;
   std::string value;
   if (implicit) {
      ASN1TAG tag = 0;
      ctxt.flags = CTXTF_LAX_LENGTH;
      stat = xd_tag(&ctxt, &tag);
      if (stat == RTS_OK) stat = xd_len(&ctxt, &length);
      ctxt.flags &= static_cast<ASN1USINT>(~CTXTF_LAX_LENGTH);
   }
   if (stat == RTS_OK)
      stat = codec(type, &ctxt, implicit ? TAG_IMPLICIT : TAG_EXPLICIT, length, &value);
   const std::string out = statusName(stat) + (stat == RTS_OK ? " " + value : "") + " / " +
                           statusName(ctxt.errInfo.status) + " / " +
                           std::to_string(octets.size() - ctxt.buffer.byteIndex);
   rtFreeContext(&ctxt);
   return out;
}

/* The encoding of the value, or "!STATUS". */
std::string encode(const std::string& type, bool implicit, const std::string& value) {
   EncodeContext enc;
   const int len =
       codec(type, enc.get(), implicit ? TAG_IMPLICIT : TAG_EXPLICIT, 0, nullptr, value);
   const int total = implicit ? xe_tag_len(enc.get(), TM_CTXT | 1, len) : len;
   if (total < 0) return "!" + statusName(total);
   EXPECT_EQ(static_cast<ASN1UINT>(total), enc.length());
   return enc.octets();
}

/* The same contents under [1] IMPLICIT, in the same form. */
Octets implicitOf(Octets octets) {
   if (!octets.empty()) octets[0] = static_cast<ASN1OCTET>(0x81 | (octets[0] & 0x20));
   return octets;
}

TEST(BerVectors, DecodeAndEncodeBothWays) {
   for (const auto& [number, line] : caseLines("ber_vectors.txt")) {
      SCOPED_TRACE("ber_vectors.txt:" + std::to_string(number) + ": " + line);
      std::vector<std::string> field = split(line, '|');
      field.resize(5);
      const bool implicitOnly = field[0].rfind("[1] ", 0) == 0;
      const std::string type = implicitOnly ? field[0].substr(4) : field[0];
      const bool encodeOnly = field[1].rfind(">", 0) == 0;
      const std::string value = expand(trim(encodeOnly ? field[1].substr(1) : field[1]));
      const std::string& der = field[2];
      std::vector<std::string> good = split(field[3], ';');
      if (!encodeOnly && der != "-" && der[0] != '!') good.push_back(der);
      for (const std::string& variant : good) {
         if (variant.empty()) continue;
         const std::vector<std::string> parts = split(variant, '+');  // "octets + rest left unread"
         const std::string left = parts.size() > 1 ? std::to_string(hex(parts[1]).size()) : "0";
         for (const bool implicit : {false, true}) {
            if (implicitOnly && !implicit) continue;
            const Octets octets = hex(parts[0] + " " + (parts.size() > 1 ? parts[1] : ""));
            EXPECT_EQ(
                "OK " + value + " / OK / " + left,
                decode(type, implicit, implicit && !implicitOnly ? implicitOf(octets) : octets))
                << (implicit ? "implicit " : "") << variant;
         }
      }
      if (der != "-" && !der.empty()) {
         EXPECT_EQ(der[0] == '!' ? der : spaced(hex(der)), encode(type, implicitOnly, value));
         if (!implicitOnly) {
            EXPECT_EQ(der[0] == '!' ? der : spaced(implicitOf(hex(der))),
                      encode(type, true, value));
         }
      }
      for (const std::string& bad : split(field[4], ';')) {
         const std::vector<std::string> parts = split(bad, '=');
         if (parts.size() < 2) continue;
         const std::string got = decode(type, implicitOnly, hex(parts[0]));
         EXPECT_EQ(parts[1] + " / " + parts[1], got.substr(0, got.rfind(" / "))) << bad;
      }
   }
}

}
