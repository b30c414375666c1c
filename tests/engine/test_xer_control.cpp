// Control classes made from the templates: encoding and decoding through
// the buffer's kind (BER, XER, anything else -99), the XER document and
// fragment, getCopy and newCopy, the copy constructor, the assignment of
// list, bit-string and time classes, alias types, and destruction without
// leaks (the heap probe sees every block given back).
#include <cstring>
#include <memory>

#include "berBuffers.h"
#include "xer_fixture.h"
#include "xerBuffers.h"

using namespace testmodule;
using asn1rt::BitStrBinding;
using asn1rt::GeneralizedTimeBinding;
using asn1rt::ListBinding;

namespace {

/* A value structure that owns its parts through its context, as the
   generated ones with a free routine do. */
struct PduParams : public ASN1TPDU {
   ASN1INT a = 0;
   ASN1TDynOctStr b{0, nullptr};
   ~PduParams();
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
const asn1rt::FieldDesc pduFields[] = {
   {"a", &tInteger, offsetof(PduParams, a), 0, asn1rt::Tagging::None,
    asn1rt::Presence::Required, -1, 0, nullptr},
   {"b", &tOctets, offsetof(PduParams, b), 0, asn1rt::Tagging::None,
    asn1rt::Presence::Required, -1, 0, nullptr}};
#pragma GCC diagnostic pop
const asn1rt::TypeDesc tPduParams =
   structure(asn1rt::Kind::Sequence, "Params", sizeof(PduParams), pduFields, 2, 0);

PduParams::~PduParams() {
   ASN1CtxtPtr context = getContext();
   if (context != nullptr) asn1rt::freeValue(context->getPtr(), &tPduParams, this);
}

const std::string kParamsDer = "30 07 02 01 05 04 02 0A 0B";
const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

std::string bufferText(ASN1MessageBuffer& buffer) {
   const ASN1BUFFER& b = buffer.getCtxtPtr()->buffer;
   return std::string(reinterpret_cast<const char*>(b.data), b.byteIndex);
}

const ASN1OCTET* bytes(const std::string& text) {
   return reinterpret_cast<const ASN1OCTET*>(text.data());
}

class XerControlTest : public XerTest {};

TEST_F(XerControlTest, XerEncodeBufferGetsADocumentOrAFragment) {
   const ASN1OCTET b[] = {0x0A, 0x0B};
   Params p{5, {2, b}};
   ASN1XEREncodeBuffer indented;
   TestControl<Params> onIndented(tParams, indented, p);
   EXPECT_EQ(onIndented.Encode(), RTS_OK);
   EXPECT_EQ(bufferText(indented),
             kDeclaration + "\n" + lines({"<Params>", "|<a>5</a>", "|<b>0A0B</b>", "</Params>"}));
   /* The buffer is emptied before each encode. */
   EXPECT_EQ(onIndented.Encode(), RTS_OK);
   EXPECT_EQ(bufferText(indented).find(kDeclaration, 1), std::string::npos);

   ASN1OCTET storage[128];
   ASN1XEREncodeBuffer fragment(storage, sizeof(storage), 1, 1);
   TestControl<Params> onFragment(tParams, fragment, p);
   EXPECT_EQ(onFragment.Encode(), RTS_OK);
   EXPECT_EQ(bufferText(fragment), "<Params><a>5</a><b>0A0B</b></Params>");

   ASN1OCTET tiny[16];
   ASN1XEREncodeBuffer full(tiny, sizeof(tiny));
   TestControl<Params> onFull(tParams, full, p);
   EXPECT_EQ(onFull.Encode(), RTS_BUFFER_FULL);
   EXPECT_EQ(full.getCtxtPtr()->errInfo.status, RTS_BUFFER_FULL);
}

TEST_F(XerControlTest, XerDecodeBufferRunsTheStateMachine) {
   const std::string xml = kDeclaration + "\n<Params>\n   <a>-7</a>\n   <b>0102</b>\n</Params>";
   ASN1XERDecodeBuffer in(bytes(xml), static_cast<unsigned>(xml.size()));
   Params p{};
   TestControl<Params> control(tParams, in, p);
   ASSERT_EQ(control.Decode(), RTS_OK);
   EXPECT_EQ(p.a, -7);
   EXPECT_EQ(text(p.b.data, p.b.numocts), "0102");
   /* The value lives in the buffer's heap: the same object decodes again. */
   ASSERT_EQ(control.Decode(), RTS_OK);
   EXPECT_EQ(p.a, -7);
}

TEST_F(XerControlTest, DecodeFailuresLeaveAsExceptionsWithTheirStatus) {
   struct Case {
      std::string xml;
      int status;
   };
   const Case cases[] = {
      {"<Other><a>1</a><b/></Other>", RTS_XML_STRUCTURE},
      {"<Params><b/><a>1</a></Params>", RTS_NOT_FOUND},
      {"<Params><a>1</a></Params>", RTS_MISSING_ELEMENT},
      {"<Params><a>1</a><b/>", 0},  // not well-formed: the reader's own exception
   };
   for (const Case& c : cases) {
      ASN1XERDecodeBuffer in(bytes(c.xml), static_cast<unsigned>(c.xml.size()));
      Params p{};
      TestControl<Params> control(tParams, in, p);
      int thrown = -1000;
      try {
         control.Decode();
      } catch (OSRTSAXException& failure) {
         thrown = failure.getStatus();
      }
      EXPECT_EQ(thrown, c.status) << c.xml;
      int status = 0;
      EXPECT_EQ(control.getErrorInfo(&status, nullptr, nullptr), c.status != 0 ? 1 : 0) << c.xml;
      EXPECT_EQ(status, c.status) << c.xml;
   }
}

TEST_F(XerControlTest, BerBuffersRunTheBerEngine) {
   const std::string der = testsupport::fromHex(kParamsDer);
   ASN1BERDecodeBuffer in(bytes(der), static_cast<int>(der.size()));
   Params p{};
   TestControl<Params> decoder(tParams, in, p);
   ASSERT_EQ(decoder.Decode(), RTS_OK);
   EXPECT_EQ(p.a, 5);
   ASN1BEREncodeBuffer out;
   TestControl<Params> encoder(tParams, out, p);
   const int length = encoder.Encode();
   ASSERT_EQ(length, 9);
   EXPECT_EQ(text(out.getMsgPtr(), static_cast<ASN1UINT>(length)), H(kParamsDer));
}

TEST_F(XerControlTest, OtherBufferKindsAreUnsupportedAndTouchNothing) {
   const std::string der = testsupport::fromHex(kParamsDer);
   ASN1BERDecodeBuffer berIn(bytes(der), static_cast<int>(der.size()));
   ASN1XEREncodeBuffer xerOut;
   ASN1BEREncodeBuffer berOut;
   const std::string xml = "<Params><a>1</a><b/></Params>";
   ASN1XERDecodeBuffer xerIn(bytes(xml), static_cast<unsigned>(xml.size()));
   Params p{42, {0, nullptr}};
   TestControl<Params> control(tParams, p);
   EXPECT_EQ(control.EncodeTo(berIn), RTS_UNSUPPORTED);
   EXPECT_EQ(control.EncodeTo(xerIn), RTS_UNSUPPORTED);
   EXPECT_EQ(control.DecodeFrom(xerOut), RTS_UNSUPPORTED);
   EXPECT_EQ(control.DecodeFrom(berOut), RTS_UNSUPPORTED);
   EXPECT_EQ(control.getMsgBuf(), nullptr);
   EXPECT_EQ(control.Encode(), RTS_UNSUPPORTED);  // no buffer at all
   EXPECT_EQ(p.a, 42);
   EXPECT_EQ(xerOut.getCtxtPtr()->buffer.byteIndex, 0u);
}

TEST_F(XerControlTest, GetCopyCopiesDeeplyIntoTheContextHeap) {
   const std::string der = testsupport::fromHex(kParamsDer);
   ASN1BERDecodeBuffer in(bytes(der), static_cast<int>(der.size()));
   Params p{};
   TestControl<Params> control(tParams, in, p);
   ASSERT_EQ(control.Decode(), RTS_OK);
   EXPECT_EQ(control.getCopy(&p), &p);
   Params* copy = control.getCopy();
   ASSERT_NE(copy, nullptr);
   EXPECT_NE(copy, &p);
   EXPECT_EQ(copy->a, 5);
   EXPECT_NE(copy->b.data, p.b.data);
   EXPECT_EQ(text(copy->b.data, copy->b.numocts), "0A0B");
   Params mine{};
   EXPECT_EQ(control.getCopy(&mine), &mine);
   EXPECT_EQ(text(mine.b.data, mine.b.numocts), "0A0B");
   EXPECT_NE(mine.b.data, p.b.data);
}

TEST_F(XerControlTest, NewCopyOutlivesTheControlObjectAndItsBuffer) {
   const std::string der = testsupport::fromHex(kParamsDer);
   std::unique_ptr<PduParams> copy;
   {
      ASN1BERDecodeBuffer in(bytes(der), static_cast<int>(der.size()));
      PduParams p;
      TestControl<PduParams> control(tPduParams, in, p);
      ASSERT_EQ(control.Decode(), RTS_OK);
      const ASN1UINT references = control.getContext()->getRefCount();
      copy.reset(control.newCopy());
      EXPECT_EQ(control.getContext()->getRefCount(), references + 1);
      EXPECT_EQ(copy->getContext(), static_cast<ASN1Context*>(control.getContext()));
      /* A caller's value bound to no context yet is bound by getCopy. */
      PduParams other;
      EXPECT_EQ(control.getCopy(&other), &other);
      EXPECT_EQ(other.getContext(), static_cast<ASN1Context*>(control.getContext()));
   }
   ASSERT_NE(copy, nullptr);
   EXPECT_EQ(copy->a, 5);
   EXPECT_EQ(text(copy->b.data, copy->b.numocts), "0A0B");
   {
      /* The copy's own reference and the one of `held`. */
      ASN1CtxtPtr held = copy->getContext();
      EXPECT_EQ(held->getRefCount(), 2u);
   }
   copy.reset();
   /* TearDown checks that the context and its heap are gone. */
}

TEST_F(XerControlTest, CopyConstructorSharesTheContextOverACopiedValue) {
   const std::string der = testsupport::fromHex(kParamsDer);
   ASN1BERDecodeBuffer in(bytes(der), static_cast<int>(der.size()));
   Params p{};
   TestControl<Params> control(tParams, in, p);
   ASSERT_EQ(control.Decode(), RTS_OK);
   const ASN1UINT references = control.getContext()->getRefCount();
   {
      TestControl<Params> copy(control);
      EXPECT_NE(&copy.msgData, &p);
      EXPECT_EQ(copy.msgData.a, 5);
      EXPECT_NE(copy.msgData.b.data, p.b.data);
      EXPECT_EQ(copy.getMsgBuf(), control.getMsgBuf());
      EXPECT_EQ(static_cast<ASN1Context*>(copy.getContext()),
                static_cast<ASN1Context*>(control.getContext()));
      EXPECT_EQ(control.getContext()->getRefCount(), references + 1);
      ASN1XEREncodeBuffer out(1);
      EXPECT_EQ(copy.EncodeTo(out), RTS_OK);
      EXPECT_EQ(bufferText(out), kDeclaration + "<Params><a>5</a><b>0A0B</b></Params>");
   }
   EXPECT_EQ(control.getContext()->getRefCount(), references);
}

TEST_F(XerControlTest, ListClassAssignmentCopiesTheOtherList) {
   const std::string xml =
      "<Extensions><Extension><extnID>1.2</extnID><extnValue>01</extnValue></Extension>"
      "<Extension><extnID>1.3</extnID><extnValue>02</extnValue></Extension></Extensions>";
   ASN1XERDecodeBuffer in(bytes(xml), static_cast<unsigned>(xml.size()));
   Asn1RTDList source{};
   TestControl<Asn1RTDList, ListBinding> sourceControl(tExtensions, in, source);
   ASSERT_EQ(sourceControl.Decode(), RTS_OK);
   EXPECT_EQ(sourceControl.size(), 2);

   Asn1RTDList target{};
   TestControl<Asn1RTDList, ListBinding> targetControl(tExtensions, in, target);
   targetControl = sourceControl;
   ASSERT_EQ(target.count, 2u);
   EXPECT_EQ(targetControl.size(), 2);
   const Extension& second = *static_cast<const Extension*>(target.tail->data);
   EXPECT_NE(&second, source.tail->data);
   EXPECT_EQ(second.extnID.arcs[1], 3u);
   EXPECT_EQ(text(second.extnValue.data, second.extnValue.numocts), "02");
   targetControl = targetControl;
   EXPECT_EQ(target.count, 2u);
}

TEST_F(XerControlTest, BitStringClassSeesTheValueBeforeAndAfterAssignment) {
   KeyUsage usage{3, {0xA0, 0x00}};
   TestControl<KeyUsage, BitStrBinding> control(tKeyUsage, usage);
   EXPECT_EQ(control.get(0), 1);
   EXPECT_EQ(control.get(1), 0);
   EXPECT_EQ(control.get(2), 1);
   EXPECT_EQ(control.set(8), RTS_OK);
   EXPECT_EQ(usage.numbits, 9u);
   EXPECT_EQ(usage.data[1], 0x80);

   KeyUsage other{2, {0x40, 0x00}};
   TestControl<KeyUsage, BitStrBinding> otherControl(tKeyUsage, other);
   control = otherControl;
   EXPECT_EQ(usage.numbits, 2u);
   EXPECT_EQ(usage.data[0], 0x40);
   EXPECT_EQ(control.get(0), 0);
   EXPECT_EQ(control.get(1), 1);
   EXPECT_EQ(control.length(), 2u);

   const ASN1OCTET bits[] = {0xF0};
   ASN1TDynBitStr dynamic{4, bits};
   TestControl<ASN1TDynBitStr, BitStrBinding> dynamicControl(tBits, dynamic);
   EXPECT_EQ(dynamicControl.cardinality(), 4u);
   ASN1XEREncodeBuffer out(1);
   EXPECT_EQ(dynamicControl.EncodeTo(out), RTS_OK);
   EXPECT_EQ(bufferText(out), kDeclaration + "<BIT_STRING>1111</BIT_STRING>");
}

TEST_F(XerControlTest, TimeClassParsesTheBoundTextAndAssigns) {
   const char* text = "20240229120000Z";
   TestControl<const char*, GeneralizedTimeBinding> control(tGeneralTime, text);
   EXPECT_EQ(control.getYear(), 2024);
   EXPECT_EQ(control.getMonth(), 2);
   EXPECT_EQ(control.getDay(), 29);
   const char* otherText = "20230101103000Z";
   TestControl<const char*, GeneralizedTimeBinding> other(tGeneralTime, otherText);
   control = other;
   EXPECT_EQ(control.getYear(), 2023);
   EXPECT_EQ(control.getMinute(), 30);
   ASN1XEREncodeBuffer out(1);
   EXPECT_EQ(control.EncodeTo(out), RTS_OK);
   EXPECT_EQ(bufferText(out), kDeclaration + "<GeneralizedTime>20230101103000Z</GeneralizedTime>");
}

/* An alias type: the control class of the type it is defined as, under its
   own name. */
const asn1rt::TypeDesc tAliasParams = [] {
   asn1rt::TypeDesc t = tParams;
   t.name = "AliasParams";
   return t;
}();

class AliasControl : public TestControl<Params> {
public:
   AliasControl(ASN1MessageBufferIF& msgBuf, Params& value) : TestControl(tParams, msgBuf, value) {
      setTypeDesc(tAliasParams);
   }
};

TEST_F(XerControlTest, AliasTypeUsesItsOwnName) {
   Params p{3, {0, nullptr}};
   ASN1XEREncodeBuffer out(1);
   AliasControl encoder(out, p);
   EXPECT_EQ(encoder.Encode(), RTS_OK);
   const std::string xml = bufferText(out);
   EXPECT_EQ(xml, kDeclaration + "<AliasParams><a>3</a><b/></AliasParams>");
   ASN1XERDecodeBuffer in(bytes(xml), static_cast<unsigned>(xml.size()));
   Params back{};
   AliasControl decoder(in, back);
   ASSERT_EQ(decoder.Decode(), RTS_OK);
   EXPECT_EQ(back.a, 3);
}

TEST_F(XerControlTest, ConversionBothWaysWithNestedMachinesLeavesNothingBehind) {
   const std::string der = testsupport::fromHex(
      "30 56 A0 03 02 01 02 02 02 01 00 01 01 FF 81 01 05 30 0D 06 09 2A 86 48 86 F7 0D 01 01 01 05"
      "00 17 0D 32 35 30 31 30 31 30 30 30 30 30 30 5A 18 0F 32 30 33 30 30 31 30 31 30 30 30 30 30"
      "30 5A 82 02 07 80 A3 12 30 10 30 0E 06 03 55 1D 0F 01 01 FF 04 04 03 02 05 A0");
   std::string xml;
   {
      ASN1BERDecodeBuffer in(bytes(der), static_cast<int>(der.size()));
      ASN1XEREncodeBuffer out;
      Record value{};
      TestControl<Record> decoder(tRecord, in, value);
      TestControl<Record> encoder(tRecord, out, value);
      ASSERT_EQ(decoder.Decode(), RTS_OK);
      ASSERT_EQ(encoder.Encode(), RTS_OK);
      xml = bufferText(out);
   }
   {
      ASN1XERDecodeBuffer in(bytes(xml), static_cast<unsigned>(xml.size()));
      ASN1BEREncodeBuffer out;
      Record value{};
      TestControl<Record> decoder(tRecord, in, value);
      ASSERT_EQ(decoder.Decode(), RTS_OK);
      /* Every part of an XER-decoded value belongs to the heap: it can be
         copied and freed part by part. */
      Record* copy = decoder.getCopy();
      ASSERT_NE(copy, nullptr);
      asn1rt::freeValue(in.getCtxtPtr(), &tRecord, &value);
      EXPECT_EQ(value.extensions.count, 0u);
      TestControl<Record> encoder(tRecord, out, *copy);
      const int length = encoder.Encode();
      ASSERT_GT(length, 0);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.getMsgPtr()),
                            static_cast<size_t>(length)),
                der);
   }
}

}
