/* The control classes asn1gen generates for its test module, on the
   templates of engine/asn1Control.h: the buffer's kind chooses the codec,
   XER documents and fragments, decode failures as exceptions, copies of the
   bound value, the value structures' special members, and the list,
   bit-string and time classes. */
#include <gtest/gtest.h>

#include <memory>

#include "generated_fixture.h"

using namespace asn1data;

namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const std::string kParams = H("30 07 02 01 05 04 02 0A 0B");

class GeneratedControlTest : public GeneratedTest {};

TEST_F(GeneratedControlTest, XerBuffersWriteDocumentsOrFragments) {
   static const ASN1OCTET salt[] = {0x0A, 0x0B};
   ASN1T_Params p;
   p.rounds = 5;
   p.m.saltPresent = 1;
   p.salt = {2, salt};
   EXPECT_EQ(xerOf<ASN1C_Params>(p),
             kDeclaration + "\n<Params>\n   <rounds>5</rounds>\n   <salt>0A0B</salt>\n</Params>");
   EXPECT_EQ(xerOf<ASN1C_Params>(p, ASN1XEREncodeBuffer(1)),
             kDeclaration + "<Params><rounds>5</rounds><salt>0A0B</salt></Params>");
   ASN1OCTET storage[128], tiny[16];
   EXPECT_EQ(xerOf<ASN1C_Params>(p, ASN1XEREncodeBuffer(storage, sizeof(storage), 1, 1)),
             "<Params><rounds>5</rounds><salt>0A0B</salt></Params>");
   EXPECT_EQ(xerOf<ASN1C_Params>(p, ASN1XEREncodeBuffer(tiny, sizeof(tiny))),
             status(RTS_BUFFER_FULL));
   /* The buffer is emptied before each encode. */
   ASN1XEREncodeBuffer twice(1);
   ASN1C_Params control(twice, p);
   ASSERT_EQ(control.Encode(), RTS_OK);
   ASSERT_EQ(control.Encode(), RTS_OK);
   EXPECT_EQ(twice.getCtxtPtr()->buffer.byteIndex, kDeclaration.size() + 52);
}

TEST_F(GeneratedControlTest, XerDecodeFailuresAreThrownWithTheirStatus) {
   const struct {
      std::string xml;
      int status;
   } cases[] = {
      {"<Other><rounds>1</rounds></Other>", RTS_XML_STRUCTURE},
      {"<Params><salt/><rounds>1</rounds></Params>", RTS_NOT_FOUND},
      {"<Params></Params>", RTS_MISSING_ELEMENT},
      {"<Params><rounds>1</rounds>", 0},  // not well-formed: the reader's own exception
   };
   for (const auto& c : cases) {
      ASN1XERDecodeBuffer in(bytes(c.xml), static_cast<unsigned>(c.xml.size()));
      ASN1T_Params p;
      ASN1C_Params control(in, p);
      int thrown = -1000;
      try {
         control.Decode();
      } catch (OSRTSAXException& failure) {
         thrown = failure.getStatus();
      }
      EXPECT_EQ(thrown, c.status) << c.xml;
      int stat = 0;
      EXPECT_EQ(control.getErrorInfo(&stat, nullptr, nullptr), c.status != 0 ? 1 : 0) << c.xml;
      EXPECT_EQ(stat, c.status) << c.xml;
   }
}

TEST_F(GeneratedControlTest, BuffersOfOtherKindsAreUnsupportedAndTouchNothing) {
   const std::string der = testsupport::fromHex(kParams);
   ASN1BERDecodeBuffer berIn(bytes(der), static_cast<int>(der.size()));
   ASN1XERDecodeBuffer xerIn(bytes(der), static_cast<unsigned>(der.size()));
   ASN1XEREncodeBuffer xerOut;
   ASN1BEREncodeBuffer berOut;
   ASN1T_Params p;
   p.rounds = 42;
   ASN1C_Params control(p);
   EXPECT_EQ(control.EncodeTo(berIn), RTS_UNSUPPORTED);
   EXPECT_EQ(control.EncodeTo(xerIn), RTS_UNSUPPORTED);
   EXPECT_EQ(control.DecodeFrom(xerOut), RTS_UNSUPPORTED);
   EXPECT_EQ(control.DecodeFrom(berOut), RTS_UNSUPPORTED);
   EXPECT_EQ(control.getMsgBuf(), nullptr);
   EXPECT_EQ(control.Encode(), RTS_UNSUPPORTED);
   EXPECT_EQ(p.rounds, 42);
   EXPECT_EQ(xerOut.getCtxtPtr()->buffer.byteIndex, 0u);
}

TEST_F(GeneratedControlTest, CopiesAreDeepAndLiveInTheControlsContext) {
   const std::string der = testsupport::fromHex(kParams);
   ASN1BERDecodeBuffer in(bytes(der), static_cast<int>(der.size()));
   ASN1T_Params p;
   ASN1C_Params control(in, p);
   ASSERT_EQ(control.Decode(), RTS_OK);
   EXPECT_EQ(&control.msgData, &p);
   EXPECT_EQ(control.getCopy(&p), &p);
   ASN1T_Params* inHeap = control.getCopy();
   ASSERT_NE(inHeap, nullptr);
   EXPECT_NE(inHeap->salt.data, p.salt.data);
   EXPECT_EQ(derOf<ASN1C_Params>(*inHeap), kParams);

   /* A value built from a control object is bound to its context; its
      destructor gives the copy's parts back. */
   const ASN1UINT references = control.getContext()->getRefCount();
   const size_t before = liveBlocks();
   {
      ASN1T_Params copy(control);
      EXPECT_EQ(copy.getContext(), control.getContext());
      EXPECT_EQ(control.getContext()->getRefCount(), references + 1);
      EXPECT_GT(liveBlocks(), before);
      EXPECT_EQ(derOf<ASN1C_Params>(copy), kParams);
   }
   EXPECT_EQ(liveBlocks(), before);
   EXPECT_EQ(control.getContext()->getRefCount(), references);

   /* The copy constructor of the control class shares the context and binds
      a copy of the value. */
   ASN1C_Params twin(control);
   EXPECT_NE(&twin.msgData, &p);
   EXPECT_NE(twin.msgData.salt.data, p.salt.data);
   EXPECT_EQ(twin.getMsgBuf(), control.getMsgBuf());
   EXPECT_EQ(twin.getContext(), control.getContext());
   EXPECT_EQ(xerOf<ASN1C_Params>(twin.msgData, ASN1XEREncodeBuffer(1)),
             kDeclaration + "<Params><rounds>5</rounds><salt>0A0B</salt></Params>");
}

TEST_F(GeneratedControlTest, NewCopyOutlivesItsControlObjectAndBuffer) {
   std::unique_ptr<ASN1T_Params> copy;
   {
      const std::string der = testsupport::fromHex(kParams);
      ASN1BERDecodeBuffer in(bytes(der), static_cast<int>(der.size()));
      ASN1T_Params p;
      ASN1C_Params control(in, p);
      ASSERT_EQ(control.Decode(), RTS_OK);
      copy.reset(control.newCopy());
   }
   ASSERT_NE(copy, nullptr);
   /* The copy's reference and that of the pointer getContext returns. */
   EXPECT_EQ(copy->getContext()->getRefCount(), 2u);
   EXPECT_EQ(derOf<ASN1C_Params>(*copy), kParams);
   copy.reset(); /* TearDown sees every block of the context given back */
}

TEST_F(GeneratedControlTest, ListClassesAssignCopies) {
   ASN1T_ParamsList list, other;
   ASN1C_ParamsList control(list), target(other);
   ASN1T_Params first;
   first.rounds = 1;
   control.append(&first);
   EXPECT_EQ(control.size(), 1);
   target = control;
   ASSERT_EQ(other.count, 1u);
   EXPECT_NE(other.head->data, &first);
   target = target;
   EXPECT_EQ(derOf<ASN1C_ParamsList>(other), H("30 05 30 03 02 01 01"));
}

TEST_F(GeneratedControlTest, BitStringClassesSetNamedBitsWithinTheirCapacity) {
   ASN1T_Flags flags, other;
   ASN1C_Flags control(flags), otherControl(other);
   ASSERT_EQ(control.set(Flags::archived), RTS_OK);
   ASSERT_EQ(control.set(Flags::urgent), RTS_OK);
   EXPECT_EQ(control.get(Flags::signed_), 0);
   EXPECT_EQ(derOf<ASN1C_Flags>(flags), H("03 03 06 80 40"));
   EXPECT_LT(control.set(16), 0);
   EXPECT_EQ(flags.numbits, 10u);
   ASSERT_EQ(otherControl.set(Flags::signed_), RTS_OK);
   control = otherControl;
   EXPECT_EQ(control.length(), 2u);
   EXPECT_EQ(control.get(Flags::urgent), 0);

   ASN1T_Usage usage = {0, nullptr};
   ASN1C_Usage dynamic(usage);
   ASSERT_EQ(dynamic.set(Usage::execute), RTS_OK);
   EXPECT_EQ(usage.numbits, 3u);
   EXPECT_EQ(dynamic.cardinality(), 1u);
   EXPECT_EQ(xerOf<ASN1C_Usage>(usage, ASN1XEREncodeBuffer(1)),
             kDeclaration + "<Usage>001</Usage>");
}

TEST_F(GeneratedControlTest, TimeClassesReadTheBoundTextAndAssign) {
   ASN1T_Moment moment = "20240229120000Z", other = "20230101103026Z";
   ASN1C_Moment control(moment), otherControl(other);
   EXPECT_EQ(control.getYear(), 2024);
   EXPECT_EQ(control.getMonth(), 2);
   EXPECT_EQ(control.getDay(), 29);
   control = otherControl;
   EXPECT_EQ(control.getMinute(), 30);
   EXPECT_EQ(control.getSecond(), 26);
   EXPECT_EQ(xerOf<ASN1C_Moment>(moment, ASN1XEREncodeBuffer(1)),
             kDeclaration + "<Moment>20230101103026Z</Moment>");
}

}
