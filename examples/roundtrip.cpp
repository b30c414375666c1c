// DER -> XML -> DER in one process with the blobxml library: converts a DER
// message of the given top-level type to XML, prints the XML, converts it
// back and checks that the same octets come out. A conversion that fails
// prints the status and where the input failed.
//
//   roundtrip <file.der> [<type>]        (type: CertificationRequest)
#include <blobxml/blobxml.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
   if (argc < 2 || argc > 3) {
      std::fprintf(stderr, "usage: roundtrip <file.der> [<type>]\n");
      return 2;
   }
   std::ifstream file(argv[1], std::ios::binary);
   if (!file) {
      std::fprintf(stderr, "cannot read %s\n", argv[1]);
      return 2;
   }
   const std::string der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
   const CACMPT_BLOB message(reinterpret_cast<const unsigned char*>(der.data()),
                             static_cast<uint32_t>(der.size()));

   XerDerConverterSimple converter(argc == 3 ? argv[2] : "CertificationRequest");
   try {
      const std::string xml = converter.toXer(message, false);
      std::printf("%s\n", xml.c_str());
      const CACMPT_BLOB back = converter.toDer(xml);
      const bool same = back.length == message.length &&
                        std::memcmp(back.data, message.data, message.length) == 0;
      std::printf("DER -> XML -> DER: %u octets, %s\n", back.length,
                  same ? "the same" : "different");
      return same ? 0 : 1;
   } catch (const CodecFailure& failure) {
      // A decode or encode that failed: Asn1Exception for DER, the XML
      // reader's exception for XML. For instance
      // "status -3 at certificationRequestInfo.subject.rdnSequence[0][0].value, offset 21".
      std::fprintf(stderr, "conversion failed: %s\n", failure.describe().c_str());
   } catch (const CAException& e) {
      // A type name the converter does not know.
      std::fprintf(stderr, "conversion failed: %s\n", e.what());
   }
   return 1;
}
