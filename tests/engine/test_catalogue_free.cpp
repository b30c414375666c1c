/* Real messages of the catalogue decoded as the converter does: open types
   point into the message or into buffers of encodings that are gone;
   freeing the value gives back only the blocks its heap gave it. */
#include "../runtime/heap_probe.h"
#include "ASN1BERDecodeBuffer.h"
#include "ASN1BEREncodeBuffer.h"
#include "asn1data.h"
#include "test_support.h"

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
       testsupport::readFile(testsupport::sourcePath("tests/fixtures/") + fixture);
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
   } else {
      Free(control.getCtxtPtr(), &value);
      EXPECT_EQ(HeapProbe::blocks.size(), before);
   }
}

using namespace asn1data;

const struct {
   const char* fixture;
   void (*decodeThenFree)(const char* fixture, bool writeDer);
} kMessages[] = {
    {"cert/certificate_ec_v3_all_extensions.der",
     decodeThenFree<ASN1T_Certificate, ASN1C_Certificate, asn1Free_Certificate>},
    {"cert/certificationrequest_ec_extensions.der",
     decodeThenFree<ASN1T_CertificationRequest, ASN1C_CertificationRequest,
                    asn1Free_CertificationRequest>},
    {"cms/contentinfo_signed_multi_certs_crls.der",
     decodeThenFree<ASN1T_ContentInfo, ASN1C_ContentInfo, asn1Free_ContentInfo>},
    {"ocsp/ocspresponse_good_nonce.der",
     decodeThenFree<ASN1T_OCSPResponse, ASN1C_OCSPResponse, asn1Free_OCSPResponse>},
    {"cmp/pkimessage_ir.der",
     decodeThenFree<ASN1T_PKIMessage, ASN1C_PKIMessage, asn1Free_PKIMessage>},
    {"cmp/pkimessage_genm.der",
     decodeThenFree<ASN1T_PKIMessage, ASN1C_PKIMessage, asn1Free_PKIMessage>},
    {"tsp/timestampresp_granted_plain.der",
     decodeThenFree<ASN1T_TimeStampResp, ASN1C_TimeStampResp, asn1Free_TimeStampResp>},
};

class MessageFreeTest : public HeapProbeTest {};

TEST_F(MessageFreeTest, FreeingLeavesOpenTypesOfTheMessageAndOfDroppedBuffers) {
   for (const auto& m : kMessages) {
      for (bool writeDer : {false, true}) {
         SCOPED_TRACE(std::string(m.fixture) + (writeDer ? " written as DER" : ""));
         m.decodeThenFree(m.fixture, writeDer);
      }
   }
}

}
