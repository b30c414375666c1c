/* Identifiers, lengths, navigation, open types and the encode buffer: the
   rows of ber_structure.txt, each one call with its exact outcome. */
#include <memory>

#include "runtime_test.h"

using namespace bertest;

namespace {

long num(const std::string& text) { return std::strtol(text.c_str(), nullptr, 0); }

std::string hex8(ASN1UINT value) {
   char out[12];
   std::snprintf(out, sizeof out, "%08X", value);
   return out;
}

std::string elementsOf(const Asn1RTDList& list) {
   std::string out;
   for (const Asn1RTDListNode* node = list.head; node != nullptr; node = node->next) {
      const ASN1TOpenType* open = static_cast<const ASN1TOpenType*>(node->data);
      out += " [" + spaced(open->data, open->numocts) + "]";
   }
   return out;
}

/* One decoder call on the context: its outcome as ber_structure.txt writes it. */
std::string decodeCall(ASN1CTXT* c, const std::vector<std::string>& a) {
   const std::string& op = a[0];
   const long arg1 = a.size() > 1 ? num(a[1]) : 0, arg2 = a.size() > 2 ? num(a[2]) : 0;
   const auto mode = static_cast<ASN1OCTET>(op == "match" ? arg2 : arg1);
   ASN1TAG tag = 0;
   int length = 0, size = 0, stat = RTS_OK;
   const ASN1OCTET* data = nullptr;
   ASN1UINT n = 0;
   ASN1OCTET copied[16] = {};
   Asn1RTDList list;
   rtDListInit(&list);
   const ASN1BlockDescr ccb = {c->buffer.data, static_cast<int>(arg1)};
   if (op == "tag") stat = xd_tag(c, &tag);
   if (op == "len") stat = xd_len(c, &length);
   if (op == "taglen") stat = xd_tag_len(c, &tag, &length, mode);
   if (op == "match1")
      stat = xd_match1(c, static_cast<ASN1OCTET>(arg1), a.size() > 2 ? nullptr : &length);
   if (op == "tag1len") stat = xd_Tag1AndLen(c, &length);
   if (op == "universal") stat = xd_matchUniversal(c, static_cast<ASN1OCTET>(arg1));
   if (op == "match") stat = xd_match(c, static_cast<ASN1TAG>(arg1), &length, mode);
   if (op == "next") stat = xd_NextElement(c);
   if (op == "pasteoc") stat = xd_MovePastEOC(c);
   if (op == "count") stat = xd_count(c, static_cast<int>(arg1), &length);
   if (op == "consstr")
      stat = xd_consStrIndefLenAndSize(c, static_cast<ASN1TAG>(arg1), &size, &length);
   if (op == "memcpy") stat = xd_memcpy(c, copied, static_cast<int>(arg1));
   if (op == "opentype") stat = xd_OpenType(c, &data, &n);
   if (op == "openext")
      stat = xd_OpenTypeExt(c, &ccb, static_cast<ASN1TAG>(arg2), a.size() > 3 ? nullptr : &list);
   if (op == "setp") stat = xd_setp(c, c->buffer.data, static_cast<int>(arg1), &tag, &length);
   ASN1TOpenType record{};
   if (op == "record") stat = xd_OpenTypeRecord(c, &record);
   for (long k = 0; op == "append" && k < arg1 && stat == RTS_OK; k++)
      stat = xd_OpenTypeAppend(c, &list);
   if (op == "append" && list.count > 0)
      length = static_cast<int>(static_cast<ASN1TOpenType*>(list.head->data)->flags);
   if (op == "append") {
      EXPECT_TRUE(list.head == nullptr || list.head + 1 == list.head->data) << "one block";
   }
   if (op == "indeflen") length = xd_indeflen_ex(c->buffer.data, static_cast<int>(arg1));
   if (op == "indeflen") return length < 0 ? statusName(length) : "OK " + std::to_string(length);
   std::string out = statusName(stat);
   if (op == "openext" || op == "append")
      out += elementsOf(list) + (op == "append" ? " flags " + std::to_string(length) : "");
   if (op == "record")
      out += " [" + spaced(record.data, record.numocts) + "] flags " + std::to_string(record.flags);
   if (op == "record" && record.flags == 0) ASN1MEMFREEPTR(c, record.data);
   rtMemFreeOpenSeqExt(c, &list);
   if (op == "setp" && stat == RTS_OK) out += " " + std::to_string(length) + " " + hex8(tag);
   if (op == "setp")
      out += " size " + std::to_string(c->buffer.size) +
             ((c->flags & CTXTF_OUTER_INDEFINITE) ? " outer" : "");
   if (stat != RTS_OK || op == "setp" || op == "openext" || op == "universal" || op == "next" ||
       op == "pasteoc" || op == "record" || op == "append")
      return out;
   if (op == "consstr") return out + " " + std::to_string(size) + " " + std::to_string(length);
   if (op == "memcpy") return out + " [" + spaced(copied, arg1) + "]";
   if (op == "opentype")
      return out + " [" + spaced(data, n) + "]" +
             (data >= c->buffer.data && data < c->buffer.data + c->buffer.size ? " borrowed" : "");
   if (op != "tag") out += " " + std::to_string(length);
   return out + (op == "tag" || op == "taglen" ? " " + hex8(tag) : "");
}

/* One encoder call: the octets written, or "!STATUS". */
std::string encodeCall(const std::vector<std::string>& a, const std::string& arg) {
   const std::string& op = a[0];
   EncodeContext enc;
   const Octets data =
       op == "write-open" || op == "write-taglen" || op == "write-inplace" ? hex(arg) : Octets();
   const long value = data.empty() ? num(arg) : 0;
   int len = 0;
   if (op == "write-taglen")
      len = xe_memcpy(enc.get(), data.data(), static_cast<ASN1UINT>(data.size()));
   if (op == "write-taglen")
      len = xe_tag_len(enc.get(), static_cast<ASN1TAG>(num(a[1])), static_cast<int>(num(a[2])));
   if (op == "write-taglen" && num(a[2]) == INDEFINITE_LENGTH)
      len += static_cast<int>(data.size());  // the header only
   if (op == "write-len") len = xe_len(enc.get(), static_cast<int>(value));
   if (op == "write-tag") len = xe_tag(enc.get(), static_cast<ASN1TAG>(value));
   if (op == "write-id") len = xe_identifier(enc.get(), static_cast<ASN1UINT>(value));
   if (op == "write-open")
      len = xe_OpenType(enc.get(), data.data(), static_cast<ASN1UINT>(data.size()));
   if (op == "write-inplace")
      len = xe_memcpy(enc.get(), data.data(), static_cast<ASN1UINT>(data.size()));
   if (op == "write-inplace")
      len = xe_OpenType(enc.get(), xe_getp(enc.get()), static_cast<ASN1UINT>(len));
   std::vector<Octets> elements;
   std::vector<ASN1TOpenType> records;
   for (const std::string& element : split(op == "write-ext" ? arg : "", ';'))
      elements.push_back(hex(element == "-" ? "" : element));
   for (const Octets& e : elements)
      records.push_back(ASN1TOpenType{static_cast<ASN1UINT>(e.size()), e.data(), 0});
   Asn1RTDList list;
   rtDListInit(&list);
   for (ASN1TOpenType& r : records) rtDListAppend(enc.get(), &list, r.numocts == 0 ? nullptr : &r);
   if (op == "write-ext") len = xe_OpenTypeExt(enc.get(), elements.empty() ? nullptr : &list);
   rtDListFreeNodes(enc.get(), &list);
   EXPECT_EQ(len < 0 && op != "write-taglen" ? len : 0,
             enc.ctxt.errInfo.status);  // passed through, not recorded
   if (len >= 0) { EXPECT_EQ(static_cast<ASN1UINT>(len), enc.length()); }
   return len < 0 ? "!" + statusName(len) : enc.octets();
}

/* Rows as the head of ber_structure.txt says; the status recorded in the
   context must be the one returned. */
TEST(BerStructure, Calls) {
   static const std::map<std::string, ASN1USINT> flags = {
      {"cons", CTXTF_CONSTRUCTED}, {"lax", CTXTF_LAX_LENGTH}, {"outer", CTXTF_OUTER_INDEFINITE},
      {"nocopy", CTXTF_OPENTYPE_NOCOPY}, {"reserved", CTXTF_RESERVED_1000}};
   for (const auto& [number, line] : caseLines("ber_structure.txt")) {
      SCOPED_TRACE("ber_structure.txt:" + std::to_string(number) + ": " + line);
      const std::vector<std::string> field = split(line, '|');
      const std::vector<std::string> args = split(field[0], ' ');
      if (args[0].rfind("write-", 0) == 0) {
         EXPECT_EQ(field[2][0] == '!' ? field[2] : spaced(hex(field[2])),
                   encodeCall(args, field[1]));
         continue;
      }
      const std::vector<std::string> input = split(field[1], '@');
      const std::vector<std::string> setup = split(input.size() > 1 ? input[1] : "0", ' ');
      const Octets octets = hex(input[0]);
      std::unique_ptr<ASN1OCTET[]> copy(new ASN1OCTET[octets.size()]);
      std::copy(octets.begin(), octets.end(), copy.get());
      ASN1CTXT ctxt;
      ASSERT_EQ(RTS_OK, rtInitContext(&ctxt, nullptr));
      ASSERT_EQ(RTS_OK,
                rtInitContextBuffer(&ctxt, copy.get(), static_cast<ASN1UINT>(octets.size())));
      ctxt.buffer.byteIndex = static_cast<ASN1UINT>(num(setup[0]));
      for (const std::string& name : split(setup.size() > 1 ? setup[1] : "", ','))
         if (!name.empty()) ctxt.flags = static_cast<ASN1USINT>(ctxt.flags | flags.at(name));
      if (setup.size() > 2) ctxt.buffer.size = static_cast<ASN1UINT>(num(setup[2]));
      const std::string outcome = decodeCall(&ctxt, args);
      const std::string where = field[2].find("@?") != std::string::npos
                                    ? " @?"
                                    : " @" + std::to_string(ctxt.buffer.byteIndex) +
                                          ((ctxt.flags & CTXTF_CONSTRUCTED) ? " +c" : "");
      EXPECT_EQ(field[2], outcome + where);
      if (args[0] != "indeflen") {
         EXPECT_EQ(outcome.substr(0, outcome.find(' ')), statusName(ctxt.errInfo.status));
      }
      rtFreeContext(&ctxt);
   }
}

}
