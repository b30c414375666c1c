/* XER tests on the hand-made test module: values written as XER text
   without declaration, text decoded back into values of the fixture's
   context, and a control class over any value of the module. */
#ifndef BLOBXML_TESTS_ENGINE_XER_FIXTURE_H
#define BLOBXML_TESTS_ENGINE_XER_FIXTURE_H

#include <string>

#include "asn1Control.h"
#include "asn1Xer.h"
#include "engine_fixture.h"
#include "xerEncode.h"

/* The shape of a generated control class, for any type of the module. */
template <class Value, class Binding = asn1rt::TypeBinding>
class TestControl : public asn1rt::ControlOf<Value, Binding> {
   using Base = asn1rt::ControlOf<Value, Binding>;

public:
   TestControl(const asn1rt::TypeDesc& type, ASN1MessageBufferIF& msgBuf, Value& value)
      : Base(type, msgBuf, value) {}
   TestControl(const asn1rt::TypeDesc& type, Value& value) : Base(type, value) {}
   TestControl(TestControl& other) : Base(other) {}
   TestControl& operator=(TestControl& other) {
      this->assign(other);
      return *this;
   }
};

class XerTest : public EngineTest {
 protected:
   /* The value's XER without declaration, indented unless compact, or
      "status <n>". */
   static std::string toXer(const asn1rt::TypeDesc* type, const void* value, bool compact = false,
                            const char* name = nullptr) {
      ASN1CTXT out;
      if (rtInitContext(&out, nullptr) != RTS_OK) return "no context";
      std::string result;
      int stat = xerSetEncBufPtr(&out, nullptr, 0, compact ? 1 : 0);
      if (stat == RTS_OK) stat = asn1rt::xerEncode(&out, type, value, name, nullptr);
      if (stat == RTS_OK) {
         result.assign(reinterpret_cast<const char*>(out.buffer.data), out.buffer.byteIndex);
      } else {
         result = status(stat);
      }
      rtFreeContext(&out);
      return result;
   }

   /* Decodes the text into the value, allocating in the fixture's context;
      the status of the decode. */
   int fromXer(const asn1rt::TypeDesc* type, void* value, const std::string& xml) {
      xmlText = xml;
      return asn1rt::xerDecodeText(&ctxt, type, value,
                                   reinterpret_cast<const ASN1OCTET*>(xmlText.data()),
                                   static_cast<ASN1UINT>(xmlText.size()));
   }

   std::string xmlText;
};

/* Lines joined with line feeds and three blanks per leading "|", the way
   the writer indents: lines({"<a>", "|<b>1</b>", "</a>"}). */
inline std::string lines(std::initializer_list<const char*> rows) {
   std::string text;
   for (const char* row : rows) {
      if (!text.empty()) text += '\n';
      while (*row == '|') {
         text += "   ";
         row++;
      }
      text += row;
   }
   return text;
}

#endif
