/* The control classes asn1gen generates for its test module: buffer kinds,
   copies of the bound value, the value structures' special members, and the
   list, bit-string and time bases. */
#include <gtest/gtest.h>

#include "berBuffers.h"
#include "generated_fixture.h"
#include "xerBuffers.h"

using namespace asn1data;

namespace {

const char kUtc[] = "250101000000Z";
const std::string kRecord = tlv(
   "30", "02 01 05" + tlv("17", testsupport::toHex(kUtc)) + tlv("30", gentestOid("01 01")));

class GeneratedControlTest : public GeneratedTest {
 protected:
   template <class Control, class Value>
   static std::string derOf(Value& value) {
      ASN1BEREncodeBuffer buffer;
      Control control(buffer, value);
      const int len = control.Encode();
      return len < 0 ? status(len) : hexOf(buffer.getMsgPtr(), static_cast<size_t>(len));
   }
};

TEST_F(GeneratedControlTest, BuffersOfTheWrongKindAreRefused) {
   ASN1T_Record record;
   ASN1BERDecodeBuffer decodeBuffer;
   ASN1XEREncodeBuffer xerBuffer;
   ASN1C_Record control(record);
   EXPECT_EQ(control.EncodeTo(decodeBuffer), RTS_UNSUPPORTED);
   EXPECT_EQ(control.DecodeFrom(xerBuffer), RTS_UNSUPPORTED);
   EXPECT_EQ(control.getMsgBuf(), nullptr);
}

TEST_F(GeneratedControlTest, DecodeFromABerBufferFillsTheBoundValue) {
   const std::string octets = testsupport::fromHex(kRecord);
   ASN1BERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(octets.data()),
                              static_cast<int>(octets.size()));
   ASN1T_Record record;
   ASN1C_Record control(buffer, record);
   ASSERT_EQ(control.Decode(), RTS_OK);
   EXPECT_STREQ(record.serial, "0x05");
   EXPECT_EQ(&control.msgData, &record);
   EXPECT_EQ((derOf<ASN1C_Record>(record)), kRecord);
}

TEST_F(GeneratedControlTest, CopiesAreDeepAndLiveInTheControlsContext) {
   const std::string octets = testsupport::fromHex(kRecord);
   ASN1BERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(octets.data()),
                              static_cast<int>(octets.size()));
   ASN1T_Record record;
   ASN1C_Record control(buffer, record);
   ASSERT_EQ(control.Decode(), RTS_OK);

   EXPECT_EQ(control.getCopy(&record), &record);
   ASN1T_Record* inHeap = control.getCopy();
   ASSERT_NE(inHeap, nullptr);
   EXPECT_NE(inHeap->serial, record.serial);
   EXPECT_STREQ(inHeap->serial, "0x05");

   /* The constructor from a control object binds the copy to its context;
      the destructor gives the copy's parts back. */
   const size_t before = liveBlocks();
   {
      ASN1T_Record copy(control);
      EXPECT_EQ(copy.getContext(), control.getContext());
      EXPECT_GT(liveBlocks(), before);
      EXPECT_EQ((derOf<ASN1C_Record>(copy)), kRecord);
   }
   EXPECT_EQ(liveBlocks(), before);

   /* The copy constructor of the control class shares the context and binds
      a copy of the value. */
   ASN1C_Record twin(control);
   EXPECT_NE(&twin.msgData, &record);
   EXPECT_EQ(twin.getContext(), control.getContext());
   EXPECT_STREQ(twin.msgData.serial, "0x05");
}

TEST_F(GeneratedControlTest, NewCopyOutlivesItsControlObject) {
   ASN1T_Record* copy = nullptr;
   {
      ASN1T_Record record;
      record.serial = "5";
      record.when.t = 1;
      record.when.u.utcTime = kUtc;
      record.algorithm.algorithm = id_alg_plain;
      ASN1C_Record control(record);
      copy = control.newCopy();
   }
   ASSERT_NE(copy, nullptr);
   ASSERT_NE(copy->getContext(), nullptr);
   /* The copy's reference and that of the pointer getContext returns. */
   EXPECT_EQ(copy->getContext()->getRefCount(), 2u);
   EXPECT_EQ((derOf<ASN1C_Record>(*copy)), kRecord);
   delete copy; /* frees its parts and the last reference to the context */
}

TEST_F(GeneratedControlTest, ListClassesWorkOnTheBoundList) {
   ASN1T_ParamsList list;
   ASN1C_ParamsList control(list);
   ASN1T_Params first;
   first.rounds = 1;
   control.append(&first);
   EXPECT_EQ(list.count, 1u);
   EXPECT_EQ((derOf<ASN1C_ParamsList>(list)), tlv("30", "30 03 02 01 01"));

   ASN1T_ParamsList other;
   ASN1C_ParamsList target(other);
   target = control;
   ASSERT_EQ(other.count, 1u);
   EXPECT_NE(other.head->data, &first);
   EXPECT_EQ((derOf<ASN1C_ParamsList>(other)), tlv("30", "30 03 02 01 01"));
}

TEST_F(GeneratedControlTest, BitStringClassesSetNamedBits) {
   ASN1T_Flags flags;
   ASN1C_Flags control(flags);
   ASSERT_EQ(control.set(Flags::archived), RTS_OK);
   ASSERT_EQ(control.set(Flags::urgent), RTS_OK);
   EXPECT_EQ(flags.numbits, 10u);
   EXPECT_EQ(control.get(Flags::signed_), 0);
   EXPECT_EQ((derOf<ASN1C_Flags>(flags)), H("03 03 06 80 40"));
   /* The capacity is that of the fixed array: two octets. */
   EXPECT_LT(control.set(16), 0);
   EXPECT_EQ(flags.numbits, 10u);

   ASN1T_Usage usage = {0, nullptr};
   ASN1C_Usage dynamic(usage);
   ASSERT_EQ(dynamic.set(Usage::execute), RTS_OK);
   EXPECT_EQ(usage.numbits, 3u);
   EXPECT_EQ((derOf<ASN1C_Usage>(usage)), H("03 02 05 20"));
}

TEST_F(GeneratedControlTest, TimeClassesReadTheBoundText) {
   ASN1T_Moment moment = "20250314150926Z";
   ASN1C_Moment control(moment);
   EXPECT_EQ(control.getYear(), 2025);
   EXPECT_EQ(control.getMonth(), 3);
   EXPECT_EQ(control.getSecond(), 26);
}

}
