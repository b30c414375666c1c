// What a failed XML -> DER conversion tells a library user: the reader's
// status, the path of the element that failed and the line the reader had
// reached (lines of the golden document), and Expat's message for text that
// is not well-formed. An open type's value is resolved when its SEQUENCE
// closes, so its failures carry the line of that end tag.
#include <gtest/gtest.h>

#include <string>

#include "OSRTSAXException.h"
#include "asn1type.h"
#include "test_support.h"
#include "xerDerConverter.h"

namespace {

std::string replaced(std::string text, const std::string& from, const std::string& to) {
   const size_t at = text.find(from);
   if (at == std::string::npos) throw std::runtime_error("text lacks " + from);
   return text.replace(at, from.size(), to);
}

TEST(FailureDetails, XmlFailureTellsStatusPathLineAndMessage) {
   const std::string xml = testsupport::readFile(
       testsupport::sourcePath("tests/tool/golden/certificate_rsa_golden.xml"));
   const std::string extension =
       "</Extension>\n         <Extension>\n            <extnID>2.5.29.15<";
   const struct {
      std::string input;
      int status;
      const char* path;
      long line;
      const char* message;
   } cases[] = {
       {replaced(xml, "<serialNumber>", "<serial>4</serial><serialNumber>"), RTS_NOT_FOUND,
        "tbsCertificate.serial", 5, ""},
       {replaced(xml, "<v3/>", "<v4/>"), RTS_BAD_ENUM, "tbsCertificate.version", 4, ""},
       {replaced(xml, "<type>2.5.4.10<", "<type>2.5.4.x<"), RTS_BAD_OID,
        "tbsCertificate.issuer.rdnSequence[1][0].type", 20, ""},
       {replaced(xml, "<notAfter>", "<notBefore>"), RTS_NOT_FOUND,
        "tbsCertificate.validity.notBefore", 36, ""},
       {replaced(xml, "</validity>", "<notAfter/></validity>"), RTS_NOT_FOUND,
        "tbsCertificate.validity.notAfter", 39, ""},
       {replaced(xml, "<extnID>2.5.29.19<", "<extnID>2.5.x<"), RTS_BAD_OID,
        "tbsCertificate.extensions[0].extnID", 65, ""},
       {replaced(xml, "<pathLenConstraint>0<", "<pathLenConstraint>x<"), RTS_BAD_DIGIT,
        "tbsCertificate.extensions[0].extnValue.pathLenConstraint", 68, ""},
       {replaced(xml, "<KeyUsage>1000011<", "<KeyUsage>10z0011<"), RTS_BAD_BIT_TEXT,
        "tbsCertificate.extensions[1].extnValue", 73, ""},
       {replaced(xml, "<Encoded>0500</Encoded>", "<Encoded>050</Encoded>"), RTS_BAD_HEX_TEXT,
        "tbsCertificate.signature.parameters", 9, ""},
       {replaced(xml, extension, replaced(extension, "<Extension>", "<Extensio>")),
        RTS_XML_STRUCTURE, "tbsCertificate.extensions[1]", 69, ""},
       {replaced(replaced(xml, "<Certificate>", "<CertificateList>"), "</Certificate>",
                 "</CertificateList>"),
        RTS_XML_STRUCTURE, "", 2, ""},
       {replaced(xml, "</tbsCertificate>", "</tbsCertificat>"), 0, "", 87,
        "mismatched tag, line = 87, column = 5"},
       {"<?xml version=\"1.0\"?>\n<!DOCTYPE Certificate>\n<Certificate/>", 0, "", 2,
        "document type declaration not allowed, line = 2, column = 21"},
   };
   for (const auto& c : cases) {
      try {
         XerDerConverterSimple("Certificate").toDer(c.input);
         ADD_FAILURE() << c.path << c.message << " converted";
      } catch (OSRTSAXExceptionImpl& e) {
         EXPECT_EQ(e.getStatus(), c.status) << c.message;
         EXPECT_EQ(e.path(), c.path) << c.message;
         EXPECT_EQ(e.lineNumber(), c.line) << c.message;
         EXPECT_EQ(e.offset(), -1) << c.message;
         EXPECT_STREQ(e.getMessage() != nullptr ? e.getMessage() : "", c.message) << c.path;
      }
   }
}

}
