/* The engine's codecs, copy and free over the descriptors that asn1gen
   generates for its test module, row by row from codec_cases.txt (its head
   describes the notation). Every row that decodes is also written as DER
   and XER, read back from its own XER, copied, freed, and decoded again
   under every shortage of memory; each time the heap's live blocks must
   come back to none. */
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <regex>

#include "../asn1gen/generated_fixture.h"
#include "asn1Engine.h"
#include "codecFailure.h"

using namespace asn1data;

namespace {

struct Type {
   const asn1rt::TypeDesc* desc;
   std::function<std::shared_ptr<void>()> make;
};

template <class Value>
Type type(const asn1rt::TypeDesc& desc) {
   return {&desc, [] { return std::make_shared<Value>(); }};
}

const std::map<std::string, Type> kTypes = {
   {"Version", type<ASN1T_Version>(asn1Desc_Version)},
   {"Status", type<ASN1T_Status>(asn1Desc_Status)},
   {"Flags", type<ASN1T_Flags>(asn1Desc_Flags)},
   {"Key", type<ASN1T_Key>(asn1Desc_Key)},
   {"Key4or8", type<ASN1T_Key4or8>(asn1Desc_Key4or8)},
   {"Port", type<ASN1T_Port>(asn1Desc_Port)},
   {"Count", type<ASN1T_Count>(asn1Desc_Count)},
   {"BigVersion", type<ASN1T_BigVersion>(asn1Desc_BigVersion)},
   {"CountryCode", type<ASN1T_CountryCode>(asn1Desc_CountryCode)},
   {"Time", type<ASN1T_Time>(asn1Desc_Time)},
   {"Strings", type<ASN1T_Strings>(asn1Desc_Strings)},
   {"Record", type<ASN1T_Record>(asn1Desc_Record)},
   {"Person", type<ASN1T_Person>(asn1Desc_Person)},
   {"Pair", type<ASN1T_Pair>(asn1Desc_Pair)},
   {"Ticket", type<ASN1T_Ticket>(asn1Desc_Ticket)},
   {"Signed", type<ASN1T_Signed>(asn1Desc_Signed)},
   {"Params", type<ASN1T_Params>(asn1Desc_Params)},
   {"ParamsList", type<ASN1T_ParamsList>(asn1Desc_ParamsList)},
   {"OidList", type<ASN1T_OidList>(asn1Desc_OidList)},
   {"Numbers", type<ASN1T_Numbers>(asn1Desc_Numbers)},
   {"Selectors", type<ASN1T_Selectors>(asn1Desc_Selectors)},
   {"Labels", type<ASN1T_Labels>(asn1Desc_Labels)},
   {"Ints", type<ASN1T_Ints>(asn1Desc_Ints)},
   {"AnyList", type<ASN1T_AnyList>(asn1Desc_AnyList)},
   {"GeneralName", type<ASN1T_GeneralName>(asn1Desc_GeneralName)},
   {"GeneralNames", type<ASN1T_GeneralNames>(asn1Desc_GeneralNames)},
   {"Country", type<ASN1T_Country>(asn1Desc_Country)},
   {"AlgorithmIdentifier", type<ASN1T_AlgorithmIdentifier>(asn1Desc_AlgorithmIdentifier)},
   {"DigestAlgorithmIdentifier",
    type<ASN1T_DigestAlgorithmIdentifier>(asn1Desc_DigestAlgorithmIdentifier)},
   {"AttributeTypeAndValue", type<ASN1T_AttributeTypeAndValue>(asn1Desc_AttributeTypeAndValue)},
   {"RelativeDistinguishedName",
    type<ASN1T_RelativeDistinguishedName>(asn1Desc_RelativeDistinguishedName)},
   {"RDNSequence", type<ASN1T_RDNSequence>(asn1Desc_RDNSequence)},
   {"Name", type<ASN1T_Name>(asn1Desc_Name)},
   {"Attribute", type<ASN1T_Attribute>(asn1Desc_Attribute)},
   {"Extension", type<ASN1T_Extension>(asn1Desc_Extension)},
   {"Extensions", type<ASN1T_Extensions>(asn1Desc_Extensions)},
   {"ContentInfo", type<ASN1T_ContentInfo>(asn1Desc_ContentInfo)},
   {"Wrapped", type<ASN1T_Wrapped>(asn1Desc_Wrapped)},
   {"MessageAttribute", type<ASN1T_MessageAttribute>(asn1Desc_MessageAttribute)},
   {"Message", type<ASN1T_Message>(asn1Desc_Message)},
};

/* RTS_ names and their values, as the runtime defines them. */
std::map<std::string, int> statusValues() {
   const std::string header = testsupport::readFile(testsupport::sourcePath("runtime/asn1type.h"));
   const std::regex define(R"(#define (RTS_\w+) \(?(-?\d+)\)?)");
   std::map<std::string, int> values;
   for (std::sregex_iterator i(header.begin(), header.end(), define), end; i != end; ++i)
      values[(*i)[1]] = std::stoi((*i)[2]);
   return values;
}

const std::map<std::string, int> kStatuses = statusValues();

std::string statusName(int stat) {
   for (const auto& [name, value] : kStatuses)
      if (value == stat) return name;
   return "status " + std::to_string(stat);
}

/* Octets in the table's notation, up to the end of the text or of the
   group that `pos` is in. */
std::string octets(const std::string& text, size_t& pos,
                   const std::map<std::string, std::string>& defs) {
   std::string out;
   while (pos < text.size() && text[pos] != ')') {
      const char c = text[pos];
      if (std::isspace(static_cast<unsigned char>(c))) {
         pos++;
      } else if (c == '"') {
         const size_t end = text.find('"', pos + 1);
         out += text.substr(pos + 1, end - pos - 1);
         pos = end + 1;
      } else if (c == '$') {
         const size_t end = text.find_first_not_of(
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", pos + 1);
         out += defs.at(text.substr(pos + 1, end - pos - 1));
         pos = end;
      } else {
         out += testsupport::fromHex(text.substr(pos, 2));
         pos += 2;
         if (pos < text.size() && text[pos] == '(') {
            const std::string contents = octets(text, ++pos, defs);
            pos++;
            out += testsupport::fromHex(tlv("00", testsupport::toHex(contents))).substr(1);
         }
      }
   }
   return out;
}

struct Case {
   std::string name;  // "Type: what the row shows", with its line
   const Type* type = nullptr;
   std::map<std::string, std::string> keys;  // "in", "status", ... as written
   std::string in;    // octets, or XML text when it starts with '<'
   std::string der;   // hexadecimal, or an RTS_ name
   std::string status() const { return keys.count("status") ? keys.at("status") : "RTS_OK"; }
   std::string key(const char* name) const { return keys.count(name) ? keys.at(name) : ""; }
   bool xml() const { return !in.empty() && in[0] == '<'; }
};

std::vector<Case> loadCases() {
   std::ifstream file(testsupport::sourcePath("tests/engine/codec_cases.txt"));
   std::map<std::string, std::string> defs;
   std::vector<Case> cases;
   std::string line;
   for (int number = 1; std::getline(file, line); number++) {
      const size_t space = line.find(' ');
      const std::string key = line.substr(0, space);
      const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
      if (key == "def") {
         const std::string name = rest.substr(0, rest.find(' '));
         size_t pos = name.size() + 1;
         defs[name] = octets(rest, pos, defs);
      } else if (key == "case") {
         cases.push_back({"line " + std::to_string(number) + ": " + rest,
                          &kTypes.at(rest.substr(0, rest.find(':'))), {}, "", ""});
      } else if (!key.empty() && key[0] != '#') {
         cases.back().keys[key] = rest;
      }
   }
   for (Case& c : cases) {
      size_t in = 0, der = 0;
      c.in = c.key("in");
      if (c.xml()) {
         for (size_t escape; (escape = c.in.find("\\n")) != std::string::npos;)
            c.in.replace(escape, 2, "\n");
      } else {
         c.in = octets(c.in, in, defs);
      }
      c.der = c.key("der");
      if (c.der.rfind("RTS_", 0) != 0) c.der = testsupport::toHex(octets(c.der, der, defs));
      if (c.der.empty() && !c.xml()) c.der = testsupport::toHex(c.in);
   }
   return cases;
}

const std::vector<Case> kCases = loadCases();

class CodecTest : public GeneratedTest {
 protected:
   int decodeCase(const Case& c, void* value) {
      if (c.xml()) return readXer(*c.type->desc, value, c.in);
      input = c.in;
      const int stat = xd_setp(&ctxt, reinterpret_cast<const ASN1OCTET*>(input.data()),
                               static_cast<int>(input.size()));
      return stat != RTS_OK ? stat : asn1rt::berDecode(&ctxt, c.type->desc, value, TAG_EXPLICIT, 0);
   }

   std::string derOf(const Case& c, const void* value) {
      /* A buffer of the test's own: the heap holds only the value. */
      std::vector<ASN1OCTET> out(1 << 16);
      if (xe_setp(&ctxt, out.data(), static_cast<int>(out.size())) != RTS_OK) return "no buffer";
      const int len = asn1rt::berEncode(&ctxt, c.type->desc, value, TAG_EXPLICIT);
      return len < 0 ? statusName(len) : hexOf(xe_getp(&ctxt), static_cast<size_t>(len));
   }

   static std::string xerOf(const Case& c, const void* value, bool compact) {
      const std::string text = xer(*c.type->desc, value, compact);
      return text.rfind("status ", 0) == 0 ? statusName(std::stoi(text.substr(7))) : text;
   }

   /* Where a failed BER decode of the row is placed, with open types copied
      out of the input or left pointing into it. */
   std::string failureAt(const Case& c, bool inPlace) {
      if (inPlace) rtCtxtSetFlag(&ctxt, CTXTF_OPENTYPE_NOCOPY);
      std::shared_ptr<void> value = c.type->make();
      decodeCase(c, value.get());
      const CodecFailure failure = CodecFailure::ofBerDecode(
         &ctxt, reinterpret_cast<const ASN1OCTET*>(input.data()), input.size());
      rtCtxtClearFlag(&ctxt, CTXTF_OPENTYPE_NOCOPY);
      if (!inPlace) asn1rt::freeValue(&ctxt, c.type->desc, value.get());
      rtErrReset(&ctxt.errInfo);
      return (failure.path().empty() ? "-" : failure.path()) + " " +
             std::to_string(failure.offset());
   }

   /* The row decoded, copied and freed, and its copy, once the source is
      gone, written as the row says and read back from its own XER. Blocks
      are counted from `start`: the writers leave theirs in the heap. */
   void check(const Case& c) {
      rtErrReset(&ctxt.errInfo);
      const size_t start = liveBlocks();
      std::shared_ptr<void> value = c.type->make(), copy = c.type->make();
      const int stat = decodeCase(c, value.get());
      EXPECT_EQ(statusName(stat), c.status());
      EXPECT_EQ(statusName(ctxt.errInfo.status), c.status());
      rtErrReset(&ctxt.errInfo);
      if (stat == RTS_OK) asn1rt::copyValue(&ctxt, c.type->desc, value.get(), copy.get());
      /* A block that the copy shared with its source would be freed twice.
         The SAX machines keep blocks of their own in the heap. */
      asn1rt::freeValue(&ctxt, c.type->desc, value.get());
      asn1rt::freeValue(&ctxt, c.type->desc, copy.get());
      if (!c.xml()) {
         EXPECT_EQ(liveBlocks(), start) << "after freeing the value and its copy";
      }
      if (stat != RTS_OK) return;

      value = c.type->make();
      copy = c.type->make();
      ASSERT_EQ(decodeCase(c, value.get()), RTS_OK);
      asn1rt::copyValue(&ctxt, c.type->desc, value.get(), copy.get());
      asn1rt::freeValue(&ctxt, c.type->desc, value.get());
      const std::string der = derOf(c, copy.get());
      if (!c.der.empty()) {
         EXPECT_EQ(der, c.der);
      }
      if (!c.key("xer").empty()) {
         EXPECT_EQ(xerOf(c, copy.get(), true), c.key("xer"));
      }
      const std::string text = xerOf(c, copy.get(), false);
      rtErrReset(&ctxt.errInfo);
      if (c.keys.count("oneway") || text.rfind("RTS_", 0) == 0 || der.rfind("RTS_", 0) == 0) return;

      std::shared_ptr<void> back = c.type->make();
      ASSERT_EQ(statusName(readXer(*c.type->desc, back.get(), text)), "RTS_OK") << text;
      EXPECT_EQ(derOf(c, back.get()), der) << text;
   }

   /* Every shortage of memory while decoding and copying the row's value
      fails cleanly and leaves nothing behind. */
   void checkShortages(const Case& c) {
      const size_t start = liveBlocks();
      int allowed = 0;
      for (;; allowed++) {
         std::shared_ptr<void> value = c.type->make();
         failAfter(allowed);
         const int stat = decodeCase(c, value.get());
         failAfter(-1);
         rtErrReset(&ctxt.errInfo);
         asn1rt::freeValue(&ctxt, c.type->desc, value.get());
         ASSERT_EQ(liveBlocks(), start) << allowed << " allocations";
         if (stat == RTS_OK) break;
         ASSERT_EQ(statusName(stat), "RTS_NO_MEMORY") << allowed << " allocations";
      }
      for (int copyAllowed = 0; copyAllowed < allowed; copyAllowed++) {
         std::shared_ptr<void> value = c.type->make(), copy = c.type->make();
         ASSERT_EQ(decodeCase(c, value.get()), RTS_OK);
         failAfter(copyAllowed);
         asn1rt::copyValue(&ctxt, c.type->desc, value.get(), copy.get());
         failAfter(-1);
         asn1rt::freeValue(&ctxt, c.type->desc, copy.get());
         asn1rt::freeValue(&ctxt, c.type->desc, value.get());
         ASSERT_EQ(liveBlocks(), start) << "copy with " << copyAllowed << " allocations";
      }
   }
};

TEST_F(CodecTest, EveryRowDecodesEncodesCopiesAndFreesAsItSays) {
   ASSERT_GT(kCases.size(), 100u);
   for (const Case& c : kCases) {
      SCOPED_TRACE(c.name);
      check(c);
   }
}

/* Values decoded with open types left in the input are not freed: the
   context's heap goes with the fixture. */
TEST_F(CodecTest, FailuresArePlacedWhereTheyHappen) {
   for (const Case& c : kCases) {
      const std::string at = c.key("at");
      if (at.empty()) continue;
      SCOPED_TRACE(c.name);
      EXPECT_EQ(failureAt(c, false), at.substr(0, at.find(' ')) + at.substr(at.rfind(' ')));
      EXPECT_EQ(failureAt(c, true), at.substr(0, at.rfind(' ')));
   }
}

/* BER rows: the SAX machines keep blocks of their own in the heap. */
TEST_F(CodecTest, ShortagesOfMemoryFailCleanly) {
   for (const Case& c : kCases) {
      SCOPED_TRACE(c.name);
      if (c.status() == "RTS_OK" && !c.xml()) checkShortages(c);
   }
}

}
