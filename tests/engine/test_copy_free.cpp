// copyValue and freeValue over every construct: a copy shares no block with
// its source, freeing gives back every block that decoding or copying took,
// also after failed decodes and failed allocations; real messages whose
// open types point into the message, into buffers of encodings that are
// gone or into captured XML text free only the blocks their heap gave them.
#include <vector>

#include "asn1Xer.h"
#include "asn1data.h"
#include "berBuffers.h"
#include "engine_fixture.h"
#include "saxReader.h"
#include "xerBuffers.h"

using namespace testmodule;

namespace {

const std::string kRsa = "30 0D 06 09 2A 86 48 86 F7 0D 01 01 01 05 00";
const std::string kUtc = "17 0D 32 35 30 31 30 31 30 30 30 30 30 30 5A";
const std::string kGen = "18 0F 32 30 33 30 30 31 30 31 30 30 30 30 30 30 5A";
const std::string kExtension = "30 0E 06 03 55 1D 0F 01 01 FF 04 04 03 02 05 A0";

struct Sample {
   const char* what;
   const asn1rt::TypeDesc* type;
   std::string input;  // DER, so that it encodes back to itself
};

const Sample kSamples[] = {
   {"Record", &tRecord,
    "30 56 A0 03 02 01 02 02 02 01 00 01 01 FF 81 01 05" + kRsa + kUtc + kGen +
       "82 02 07 80 A3 12 30 10" + kExtension},
   {"Record with parameters", &tRecord,
    "30 22 02 01 01 30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 AB CD" + kUtc},
   {"Strings", &tStrings,
    "30 20 1E 04 00 41 20 AC 1C 04 00 00 00 41 04 04 01 02 03 04 80 03 07 86 80 0A 01 08"
    "02 02 01 00 05 00"},
   {"otherName", &tGenName, "A0 0A 06 03 2A 03 04 A0 03 02 01 05"},
   {"rfc822Name", &tGenName, "81 05 61 40 62 2E 63"},
   {"directoryName", &tGenName, "A4 0F 30 0D 31 0B 30 09 06 03 55 04 03 13 02 41 42"},
   {"iPAddress", &tGenName, "87 04 0A 00 00 01"},
   {"registeredID", &tGenName, "88 03 2A 03 04"},
   {"Country", &tCountry, "61 04 13 02 55 53"},
   {"Person", &tPerson, "31 0F A0 04 13 02 41 42 A1 04 13 02 43 44 82 01 07"},
   {"Blob with extensions", &tBlob, "30 0C 06 03 2A 03 04 02 01 05 A1 02 05 00"},
   {"Attribute", &tAttribute,
    "30 14 06 03 55 04 03 31 0D 0C 03 E2 82 AC 13 02 41 42 1E 02 00 41"},
   {"unknown Attribute", &tAttribute, "30 0C 06 03 2A 03 09 31 05 04 01 01 05 00"},
   {"RDN", &tRDN,
    "31 16 30 09 06 03 55 04 03 13 02 41 42 30 09 06 03 55 04 06 13 02 55 53"},
   {"Wrapped", &tWrapped, "30 12 06 03 2A 03 07 A0 0B 04 09 30 07 02 01 05 04 02 AB CD"},
   {"Extension", &tExtension, "30 11 06 04 55 1D 1E 01 04 09 30 07 02 01 05 04 02 01 02"},
   {"Selectors", &tSelectors, "A3 08 31 06 04 01 01 04 01 02"},
   {"IntList", &tIntList, "65 06 02 01 03 02 01 01"},
};

/* Zeroed storage for a value of any type, outside the probed heap. */
class Storage {
 public:
   explicit Storage(const asn1rt::TypeDesc* type) : words((type->valueSize + 7) / 8 + 1, 0) {}
   void* get() { return words.data(); }

 private:
   std::vector<uint64_t> words;
};

class CopyFreeTest : public EngineTest {};

TEST_F(CopyFreeTest, FreeingADecodedValueGivesBackEveryBlock) {
   for (const Sample& s : kSamples) {
      Storage value(s.type);
      ASSERT_EQ(decode(s.type, value.get(), s.input), RTS_OK) << s.what;
      EXPECT_GT(liveBlocks(), 0u) << s.what;
      asn1rt::freeValue(&ctxt, s.type, value.get());
      EXPECT_EQ(liveBlocks(), 0u) << s.what;
   }
}

TEST_F(CopyFreeTest, CopyOwnsAllItsParts) {
   for (const Sample& s : kSamples) {
      Storage source(s.type), copy(s.type);
      ASSERT_EQ(decode(s.type, source.get(), s.input), RTS_OK) << s.what;
      const size_t decoded = liveBlocks();
      asn1rt::copyValue(&ctxt, s.type, source.get(), copy.get());
      EXPECT_GT(liveBlocks(), decoded) << s.what;
      // Freeing the source first: a shared block would be freed twice below.
      asn1rt::freeValue(&ctxt, s.type, source.get());
      asn1rt::freeValue(&ctxt, s.type, copy.get());
      EXPECT_EQ(liveBlocks(), 0u) << s.what;
   }
}

TEST_F(CopyFreeTest, CopyEncodesLikeItsSource) {
   for (const Sample& s : kSamples) {
      Storage source(s.type), copy(s.type);
      ASSERT_EQ(decode(s.type, source.get(), s.input), RTS_OK) << s.what;
      asn1rt::copyValue(&ctxt, s.type, source.get(), copy.get());
      asn1rt::freeValue(&ctxt, s.type, source.get());
      EXPECT_EQ(encode(s.type, copy.get()), H(s.input)) << s.what;
   }
}

TEST_F(CopyFreeTest, CopyOntoItselfDoesNothing) {
   Record r{};
   ASSERT_EQ(decode(&tRecord, &r, kSamples[0].input), RTS_OK);
   const size_t before = liveBlocks();
   const char* serial = r.serial;
   asn1rt::copyValue(&ctxt, &tRecord, &r, &r);
   EXPECT_EQ(liveBlocks(), before);
   EXPECT_EQ(r.serial, serial);
}

TEST_F(CopyFreeTest, CopiedOpenTypesKeepTheirDecodedValueAndMirror) {
   Extension e{};
   ASSERT_EQ(decode(&tExtension, &e, "30 0B 06 03 55 1D 0F 04 04 03 02 05 A0"), RTS_OK);
   e.extnObject.flags = ASN1OPENTYPE_XER_TEXT;
   Extension copy{};
   asn1rt::copyValue(&ctxt, &tExtension, &e, &copy);
   EXPECT_NE(copy.extnValue.data, e.extnValue.data);
   EXPECT_EQ(copy.extnObject.data, copy.extnValue.data);
   EXPECT_EQ(copy.extnObject.numocts, 4u);
   EXPECT_EQ(copy.extnObject.flags, ASN1OPENTYPE_XER_TEXT);
   ASSERT_NE(copy.extnObject.decoded, nullptr);
   EXPECT_NE(copy.extnObject.decoded, e.extnObject.decoded);
   EXPECT_EQ(static_cast<KeyUsage*>(copy.extnObject.decoded)->numbits, 3u);

   AlgorithmIdentifier a{};
   ASSERT_EQ(decode(&tAlgorithmIdentifier, &a, "30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 AB CD"),
             RTS_OK);
   AlgorithmIdentifier b{};
   asn1rt::copyValue(&ctxt, &tAlgorithmIdentifier, &a, &b);
   ASSERT_NE(b.parameters.decoded, nullptr);
   EXPECT_NE(b.parameters.decoded, a.parameters.decoded);
   EXPECT_EQ(static_cast<Params*>(b.parameters.decoded)->a, 5);
   EXPECT_EQ(text(b.parameters.data, b.parameters.numocts), H("30 07 02 01 05 04 02 AB CD"));
}

TEST_F(CopyFreeTest, PartlyDecodedValuesAreFreedCompletely) {
   const Sample failures[] = {
      {"second attribute value of the wrong type", &tAttribute,
       "30 11 06 03 55 04 03 31 0A 13 02 41 42 02 01 01 13 01 43"},
      {"second RDN broken", &tRDNSequence,
       "30 1A 31 0B 30 09 06 03 55 04 03 13 02 41 42 31 0B 30 09 06 03 55 04 03 02 02 41 42"},
      {"extension list broken", &tRecord,
       tlv("30", "02 01 01" + kRsa + kUtc +
                    tlv("A3", tlv("30", "30 0F 06 03 55 1D 0F 01 02 FF FF 04 04 03 02 05 A0")))},
      {"otherName without value", &tGenName, "A0 05 06 03 2A 03 04"},
      {"Strings with a bad enumeration", &tStrings,
       tlv("30", "1E 04 00 41 20 AC 1C 04 00 00 00 41 04 04 01 02 03 04 0A 01 0B")},
   };
   for (const Sample& s : failures) {
      Storage value(s.type);
      EXPECT_NE(decode(s.type, value.get(), s.input), RTS_OK) << s.what;
      rtErrReset(&ctxt.errInfo);
      asn1rt::freeValue(&ctxt, s.type, value.get());
      EXPECT_EQ(liveBlocks(), 0u) << s.what;
   }
}

TEST_F(CopyFreeTest, FailedAllocationsLeaveValuesThatFreeCleanly) {
   for (const Sample& s : kSamples) {
      int allowed = 0;
      for (;; allowed++) {
         Storage value(s.type);
         failAfter(allowed);
         const int stat = decode(s.type, value.get(), s.input);
         failAfter(-1);
         rtErrReset(&ctxt.errInfo);
         asn1rt::freeValue(&ctxt, s.type, value.get());
         ASSERT_EQ(liveBlocks(), 0u) << s.what << " with " << allowed << " allocations";
         if (stat == RTS_OK) break;
         EXPECT_EQ(stat, RTS_NO_MEMORY) << s.what;
      }
      // Copies under the same shortage keep what they could get.
      for (int copyAllowed = 0; copyAllowed < allowed; copyAllowed++) {
         Storage source(s.type), copy(s.type);
         ASSERT_EQ(decode(s.type, source.get(), s.input), RTS_OK);
         failAfter(copyAllowed);
         asn1rt::copyValue(&ctxt, s.type, source.get(), copy.get());
         failAfter(-1);
         asn1rt::freeValue(&ctxt, s.type, copy.get());
         asn1rt::freeValue(&ctxt, s.type, source.get());
         ASSERT_EQ(liveBlocks(), 0u) << s.what << " copy with " << copyAllowed << " allocations";
      }
   }
}

TEST_F(CopyFreeTest, XerTextRenderedInAnotherContextIsNotFreedWithTheValue) {
   const Sample samples[] = {
      {"typed parameters", &tAlgorithmIdentifier,
       "30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 0A 0B"},
      {"unknown parameters", &tAlgorithmIdentifier, "30 08 06 03 2A 03 09 02 01 FF"},
      {"Attribute", &tAttribute, "30 0E 06 03 55 04 03 31 07 0C 01 78 13 02 68 69"},
      {"Extension", &tExtension, "30 0B 06 03 55 1D 0F 04 04 03 02 05 A0"},
   };
   /* Open types point into the input, so the rendered text replaces no
      block of the value's own. */
   rtCtxtSetFlag(&ctxt, CTXTF_OPENTYPE_NOCOPY);
   for (const Sample& s : samples) {
      Storage value(s.type);
      ASSERT_EQ(decode(s.type, value.get(), s.input), RTS_OK) << s.what;
      ASN1CTXT writer;
      ASSERT_EQ(rtInitContext(&writer, nullptr), RTS_OK);
      EXPECT_EQ(asn1rt::tableXerEncode(&writer, s.type, value.get()), RTS_OK) << s.what;
      rtFreeContext(&writer);
      asn1rt::freeValue(&ctxt, s.type, value.get());
      EXPECT_EQ(liveBlocks(), 0u) << s.what;
   }
}

/* Decodes a fixture message as the converter does (open types point into
   the message) and frees the value with its free routine, which gives back
   every block the decode took; or first writes it as DER into a buffer that
   then goes away (the DER of its open types lived there) and lets the
   value's destructor free it. Nothing the value's heap did not give may be
   freed. */
template <class Value, class Control, void (*Free)(ASN1CTXT*, Value*)>
void decodeThenFree(const char* fixture, bool writeDer) {
   const std::string der =
      testsupport::readFile(testsupport::sourcePath(std::string("tests/fixtures/") + fixture));
   ASN1BERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(der.data()),
                              static_cast<int>(der.size()));
   rtCtxtSetFlag(buffer.getCtxtPtr(), CTXTF_OPENTYPE_NOCOPY);
   Value value;
   Control control(buffer, value);
   const size_t before = HeapProbe::blocks.size();
   ASSERT_EQ(control.Decode(), RTS_OK);
   if (writeDer) {
      ASN1BEREncodeBuffer out;
      Control writing(out, value);
      const int length = writing.Encode();
      ASSERT_GT(length, 0);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.getMsgPtr()), length), der);
      value.setContext(control.getContext());
      return;
   }
   Free(control.getCtxtPtr(), &value);
   EXPECT_EQ(HeapProbe::blocks.size(), before);
}

struct Message {
   const char* fixture;
   void (*decodeThenFree)(const char* fixture, bool writeDer);
};

template <class Value, class Control, void (*Free)(ASN1CTXT*, Value*)>
constexpr Message message(const char* fixture) {
   return {fixture, decodeThenFree<Value, Control, Free>};
}

using namespace asn1data;
const Message kMessages[] = {
   message<ASN1T_Certificate, ASN1C_Certificate, asn1Free_Certificate>(
      "cert/certificate_ec_v3_all_extensions.der"),
   message<ASN1T_Certificate, ASN1C_Certificate, asn1Free_Certificate>(
      "cert/certificate_rsa_ca_v3.der"),
   message<ASN1T_CertificationRequest, ASN1C_CertificationRequest, asn1Free_CertificationRequest>(
      "cert/certificationrequest_ec_extensions.der"),
   message<ASN1T_ContentInfo, ASN1C_ContentInfo, asn1Free_ContentInfo>(
      "cms/contentinfo_signed_attached.der"),
   message<ASN1T_ContentInfo, ASN1C_ContentInfo, asn1Free_ContentInfo>(
      "cms/contentinfo_signed_multi_certs_crls.der"),
   message<ASN1T_OCSPResponse, ASN1C_OCSPResponse, asn1Free_OCSPResponse>(
      "ocsp/ocspresponse_good_nonce.der"),
   message<ASN1T_PKIMessage, ASN1C_PKIMessage, asn1Free_PKIMessage>("cmp/pkimessage_ir.der"),
   message<ASN1T_PKIMessage, ASN1C_PKIMessage, asn1Free_PKIMessage>("cmp/pkimessage_genm.der"),
   message<ASN1T_TimeStampResp, ASN1C_TimeStampResp, asn1Free_TimeStampResp>(
      "tsp/timestampresp_granted_plain.der"),
};

class MessageFreeTest : public HeapProbeTest {};

TEST_F(MessageFreeTest, FreeingLeavesOpenTypesOfTheMessageAndOfDroppedBuffers) {
   for (const Message& m : kMessages) {
      for (bool writeDer : {false, true}) {
         SCOPED_TRACE(std::string(m.fixture) + (writeDer ? " written as DER" : ""));
         m.decodeThenFree(m.fixture, writeDer);
      }
   }
}

/* A failed XML decode leaves an open type on the text captured for it. For
   a value nested in an open type (the EnvelopedData of a ContentInfo) that
   text lived in the buffer of the nested decode, gone by the time the
   partly decoded value is freed. */
TEST_F(MessageFreeTest, FreeingAfterAFailedXmlDecodeLeavesCapturedText) {
   const struct {
      const char* algorithm;  // contents of <contentEncryptionAlgorithm>
      int status;
   } cases[] = {
      {"<algorithm>1.2.3.4.5</algorithm><parameters><Foo>1</Foo></parameters>",
       RTS_UNKNOWN_OBJECT},
      {"<algorithm>1.2.3.4.5</algorithm><parameters><Encoded>0G</Encoded></parameters>",
       RTS_BAD_HEX_TEXT},
   };
   const std::string der = testsupport::readFile(
      testsupport::sourcePath("tests/fixtures/cms/contentinfo_enveloped_ktri.der"));
   std::string xml;
   {
      ASN1BERDecodeBuffer in(reinterpret_cast<const ASN1OCTET*>(der.data()),
                             static_cast<int>(der.size()));
      ASN1XEREncodeBuffer out(0);
      ASN1T_ContentInfo value;
      ASN1C_ContentInfo reading(in, value), writing(out, value);
      ASSERT_EQ(reading.Decode(), RTS_OK);
      ASSERT_EQ(writing.Encode(), RTS_OK);
      xml.assign(reinterpret_cast<const char*>(out.getCtxtPtr()->buffer.data),
                 out.getCtxtPtr()->buffer.byteIndex);
   }
   const std::string open = "<contentEncryptionAlgorithm>";
   const size_t from = xml.find(open) + open.size();
   const size_t to = xml.find("</contentEncryptionAlgorithm>");
   ASSERT_LT(from, to);
   for (const auto& c : cases) {
      SCOPED_TRACE(c.algorithm);
      const std::string bad = xml.substr(0, from) + c.algorithm + xml.substr(to);
      ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(bad.data()),
                                 static_cast<unsigned int>(bad.size()));
      ASN1T_ContentInfo value;
      ASN1C_ContentInfo control(buffer, value);
      int stat = RTS_OK;
      try {
         stat = control.Decode();
      } catch (OSRTSAXException& failure) {
         stat = failure.getStatus();
      }
      EXPECT_EQ(stat, c.status);
      asn1Free_ContentInfo(control.getCtxtPtr(), &value);
   }
}

}
