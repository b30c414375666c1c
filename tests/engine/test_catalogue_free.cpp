/* Real messages of the catalogue decoded as the converter does: open types
   point into the message, into buffers of encodings that are gone, or into
   XML text captured for them; freeing the value gives back only the blocks
   its heap gave it. */
#include "../runtime/heap_probe.h"
#include "asn1data.h"
#include "berBuffers.h"
#include "saxReader.h"
#include "test_support.h"
#include "xerBuffers.h"

namespace {

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
