// Failed conversions of certificates through the installed executable: the
// report on standard error, exactly, nothing on standard output and exit
// status 0, in both directions. The XML reader's exception reaches the
// report as "Unknown exception."; what it carries (Expat's message with
// line and column, or the handler's status) is checked on the converter,
// and so is where the input failed, which both exceptions tell a library
// user (CodecFailure).
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "asn1type.h"
#include "saxReader.h"
#include "test_support.h"
#include "xerDerConverter.h"

namespace {

using testsupport::installedBin;
using testsupport::readFile;
using testsupport::RunResult;
using testsupport::run;
using testsupport::scratchDir;
using testsupport::sourcePath;
using testsupport::writeFile;

const char kUnknownException[] = "Unknown exception.\n";

std::string goldenDer() {
   return readFile(sourcePath("tests/fixtures/cert/certificate_rsa_golden.der"));
}
std::string goldenXml() {
   return readFile(sourcePath("tests/tool/golden/certificate_rsa_golden.xml"));
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
   size_t at = text.find(from);
   if (at == std::string::npos) throw std::runtime_error("test text lacks " + from);
   return text.replace(at, from.size(), to);
}

// Converts `input` (written to a file) with the tool started as `startName`.
RunResult convert(const char* startName, const std::string& input, const std::string& type,
                  const std::vector<std::string>& more = {}) {
   std::string path = scratchDir("failure-input") + "/input";
   writeFile(path, input);
   std::vector<std::string> args{"-i", path, "-t", type};
   args.insert(args.end(), more.begin(), more.end());
   return run(installedBin(startName), startName, args);
}

// "Error:" and the converter's exception text; the line is that of the
// converter's own throw statement.
void expectConverterReport(const RunResult& r, const std::string& message,
                           const std::string& what) {
   const std::regex report("Error:Exception :'" + message +
                           "' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n");
   EXPECT_TRUE(std::regex_match(r.err, report)) << what << ": " << r.err;
   EXPECT_EQ(r.out, "") << what;
   EXPECT_EQ(r.status, 0) << what;
}

void expectUnknownException(const RunResult& r, const std::string& what) {
   EXPECT_EQ(r.err, kUnknownException) << what;
   EXPECT_EQ(r.out, "") << what;
   EXPECT_EQ(r.status, 0) << what;
}

TEST(FailureReports, TypeNamesAreMatchedExactly) {
   for (const char* name : {"certificate", "CERTIFICATE", "Certificates", " Certificate", "X509"}) {
      RunResult toXml = convert("blobxml", goldenDer(), name);
      RunResult toDer = convert("xmlblob", goldenXml(), name);
      expectConverterReport(toXml, "Invalid type", std::string("blobxml ") + name);
      expectConverterReport(toDer, "Invalid type", std::string("xmlblob ") + name);
   }
}

// Every failed BER decode is the same report: the runtime keeps no error
// text, so the message between the quotes is empty.
TEST(FailureReports, DerThatDoesNotDecode) {
   const std::string der = goldenDer();
   struct Case {
      const char* what;
      std::string input;
   } cases[] = {
      {"empty input", ""},
      {"identifier only", der.substr(0, 1)},
      {"outer header only", der.substr(0, 4)},
      {"cut in the issuer", der.substr(0, 100)},
      {"last octet missing", der.substr(0, der.size() - 1)},
      {"outer SET instead of SEQUENCE", "\x31" + der.substr(1)},
      {"a CRL", readFile(sourcePath("tests/fixtures/cert/certificatelist_no_extensions.der"))},
      {"XML text", goldenXml()},
   };
   std::string first;
   for (const Case& c : cases) {
      RunResult r = convert("blobxml", c.input, "Certificate");
      expectConverterReport(r, "", c.what);
      if (first.empty()) first = r.err;
      EXPECT_EQ(r.err, first) << c.what;
      EXPECT_EQ(convert("blobxml", c.input, "Certificate", {"-includeEncoded"}).err, first)
         << c.what;
   }
}

TEST(FailureReports, OctetsAfterTheMessageAreIgnored) {
   const std::string der = goldenDer();
   for (const std::string& tail :
        {std::string("\0", 1), std::string("\x30\x03\x02\x01"), der, std::string(1000, '\xFF')}) {
      RunResult r = convert("blobxml", der + tail, "Certificate");
      EXPECT_EQ(r.out, goldenXml()) << tail.size() << " trailing octets";
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(r.status, 0);
   }
}

// The handler of the expected root element refuses any other; that and
// every other failure raised inside the XML reader is "Unknown exception.".
TEST(FailureReports, XmlThatDoesNotDecodeAsACertificate) {
   const std::string xml = goldenXml();
   std::string crlXml =
      run(installedBin("blobxml"), "blobxml",
          {"-i", sourcePath("tests/fixtures/cert/certificatelist_no_extensions.der"), "-t",
           "CertificateList"})
         .out;
   std::string renamedRoot = replaced(replaced(xml, "<Certificate>", "<CertificateList>"),
                                      "</Certificate>", "</CertificateList>");
   std::string lowerRoot =
      replaced(replaced(xml, "<Certificate>", "<certificate>"), "</Certificate>", "</certificate>");
   struct Case {
      const char* what;
      std::string input;
   } cases[] = {
      {"a CRL document", crlXml},
      {"root renamed", renamedRoot},
      {"root in lower case", lowerRoot},
      {"mandatory signature left out",
       replaced(xml,
                xml.substr(xml.find("\n   <signature>"),
                           xml.find("</Certificate>") - xml.find("\n   <signature>")),
                "")},
      {"unknown component", replaced(xml, "<serialNumber>", "<serial>4</serial><serialNumber>")},
      {"version after the signature algorithm",
       replaced(replaced(xml, "<version><v3/></version>", ""), "<issuer>",
                "<version><v3/></version><issuer>")},
      {"unknown version name", replaced(xml, "<v3/>", "<v4/>")},
      {"dotted text that is no OID", replaced(xml, "<extnID>2.5.29.19<", "<extnID>2.5.x<")},
      {"odd hexadecimal in Encoded",
       replaced(xml, "<Encoded>0500</Encoded>", "<Encoded>050</Encoded>")},
      {"element text where Encoded belongs", replaced(xml, "<Encoded>0500</Encoded>", "<X>1</X>")},
   };
   for (const Case& c : cases)
      expectUnknownException(convert("xmlblob", c.input, "Certificate"), c.what);
}

TEST(FailureReports, MalformedOrEmptyXml) {
   const std::string xml = goldenXml();
   struct Case {
      const char* what;
      std::string input;
   } cases[] = {
      {"empty input", ""},
      {"declaration only", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"},
      {"mismatched end tag", replaced(xml, "</tbsCertificate>", "</tbsCertificat>")},
      {"document cut short", xml.substr(0, xml.size() / 2)},
      {"element after the root", xml + "<Certificate/>"},
      {"undefined entity", replaced(xml, "&amp;", "&amp")},
      {"DER given to xmlblob", goldenDer()},
   };
   for (const Case& c : cases)
      expectUnknownException(convert("xmlblob", c.input, "Certificate"), c.what);
}

// A value that decodes but cannot be written as DER: a RelativeDistinguishedName
// needs at least one attribute (SIZE (1..MAX)).
TEST(FailureReports, XmlThatCannotBeEncoded) {
   std::string xml = goldenXml();
   size_t subject = xml.find("<subject>");
   size_t rdn = xml.find("<RelativeDistinguishedName>", subject);
   size_t rdnEnd = xml.find("</RelativeDistinguishedName>", rdn);
   xml.replace(rdn, rdnEnd - rdn, "<RelativeDistinguishedName>");
   expectConverterReport(convert("xmlblob", xml, "Certificate"), "", "empty RDN");
}

// What the reader's exception carries: Expat's message with line and
// column (0-based, as Expat counts), or the status of the refusing handler.
struct ReaderFailure {
   bool thrown = false;
   std::string message;
   int status = 0;
};

ReaderFailure readerFailure(const std::string& xml) {
   ReaderFailure failure;
   try {
      XerDerConverterSimple("Certificate").toDer(xml);
   } catch (OSRTSAXException& e) {
      failure.thrown = true;
      failure.message = e.getMessage() != nullptr ? e.getMessage() : "(null)";
      failure.status = e.getStatus();
   }
   return failure;
}

// ", line = L, column = C" of the octet `offset` octets after the first
// occurrence of `needle` in `text`.
std::string positionText(const std::string& text, const std::string& needle, size_t offset) {
   size_t at = text.find(needle) + offset;
   size_t lineStart = text.rfind('\n', at);
   lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
   size_t line = 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + at, '\n'));
   return ", line = " + std::to_string(line) + ", column = " + std::to_string(at - lineStart);
}

TEST(FailureReports, ReaderExceptionCarriesExpatsMessageWithPosition) {
   const std::string xml = goldenXml();
   const std::string mismatched = replaced(xml, "</tbsCertificate>", "</tbsCertificat>");
   const std::string junk = xml + "<Certificate/>";
   const std::string badEntity = replaced(xml, "Golden &amp; Sons", "Golden &amp Sons");
   struct Case {
      std::string input;
      std::string message;
   } cases[] = {
      {"", "no element found, line = 1, column = 0"},
      {"<Certificate>\n   <tbsCertificate>\n</Certificate>",
       "mismatched tag, line = 3, column = 2"},
      // Expat points at the name in the end tag, at the start of the junk
      // and at the character that should have ended the entity reference.
      {mismatched, "mismatched tag" + positionText(mismatched, "</tbsCertificat>", 2)},
      {junk, "junk after document element" + positionText(junk, "</Certificate><", 14)},
      {badEntity, "not well-formed (invalid token)" + positionText(badEntity, "&amp Sons", 4)},
      // A document type declaration is refused once its name and external
      // identifier are read, before any internal subset.
      {"<?xml version=\"1.0\"?>\n<!DOCTYPE Certificate>\n<Certificate/>",
       "document type declaration not allowed, line = 2, column = 21"},
      {"<!DOCTYPE Certificate [<!ENTITY a \"&#x26;b;\">]><Certificate/>",
       "document type declaration not allowed, line = 1, column = 22"},
      {"\n  <!DOCTYPE Certificate SYSTEM \"file:///dev/zero\"><Certificate/>",
       "document type declaration not allowed, line = 2, column = 49"},
   };
   for (const Case& c : cases) {
      ReaderFailure f = readerFailure(c.input);
      EXPECT_TRUE(f.thrown) << c.message;
      EXPECT_EQ(f.message, c.message);
      EXPECT_EQ(f.status, 0) << c.message;
   }
   EXPECT_EQ(positionText(junk, "</Certificate><", 14), ", line = 93, column = 14");
}

TEST(FailureReports, ReaderExceptionOfTheWrongRootCarriesTheStructureStatus) {
   ReaderFailure f =
      readerFailure(replaced(replaced(goldenXml(), "<Certificate>", "<CertificateList>"),
                             "</Certificate>", "</CertificateList>"));
   EXPECT_TRUE(f.thrown);
   EXPECT_EQ(f.status, RTS_XML_STRUCTURE);
   EXPECT_EQ(f.message, "(null)");
}

// The DER failures and where they lie in the golden certificate: the
// countryName of the issuer at octet 51, the basicConstraints value inside
// its extnValue OCTET STRING at octet 285.
TEST(FailureReports, DerFailureTellsStatusPathAndOffset) {
   const std::string der = goldenDer();
   auto changed = [&der](size_t at, char octet) { return std::string(der).replace(at, 1, 1, octet); };
   ASSERT_EQ(der.substr(51, 4), "\x13\x02" "DE");
   ASSERT_EQ(der.substr(285, 8), std::string("\x30\x06\x01\x01\xFF\x02\x01\x00", 8));
   struct Case {
      const char* what;
      std::string input;
      int status;
      const char* path;
      long offset;
   } cases[] = {
      {"empty input", "", RTS_BAD_ARGUMENT, "", -1},
      {"cut in the issuer", der.substr(0, 100), RTS_BAD_LENGTH, "", 0},
      {"country name as a UTF8String", changed(51, '\x0C'), RTS_NOT_FOUND,
       "tbsCertificate.issuer.rdnSequence[0][0].value", 51},
      {"path length constraint as NULL", changed(290, '\x05'), RTS_EXTRA_ELEMENT,
       "tbsCertificate.extensions[0].extnValue", 285},
      {"basic constraints longer than their extension", changed(286, '\x07'), RTS_BAD_LENGTH,
       "tbsCertificate.extensions[0].extnValue", 285},
      {"validity without its end", changed(der.find("\x17\x0D" "25"), '\x05'), RTS_BAD_CHOICE,
       "tbsCertificate.validity.notBefore", static_cast<long>(der.find("\x17\x0D" "25"))},
   };
   for (const Case& c : cases) {
      try {
         XerDerConverterSimple("Certificate")
            .toXer(CACMPT_BLOB(reinterpret_cast<const unsigned char*>(c.input.data()),
                               static_cast<uint32_t>(c.input.size())),
                   false);
         ADD_FAILURE() << c.what << " converted";
      } catch (const Asn1Exception& e) {
         EXPECT_EQ(e.status(), c.status) << c.what;
         EXPECT_EQ(e.path(), c.path) << c.what;
         EXPECT_EQ(e.offset(), c.offset) << c.what;
         EXPECT_EQ(e.lineNumber(), 0) << c.what;
      }
   }
}

// The XML failures: the path of the element that failed and the line the
// reader had reached (lines of the golden document). An open type's value is
// resolved when its SEQUENCE closes, so its failures carry the line of that
// end tag. XML that is not well-formed has status 0 and no path.
TEST(FailureReports, XmlFailureTellsStatusPathAndLine) {
   const std::string xml = goldenXml();
   struct Case {
      const char* what;
      std::string input;
      int status;
      const char* path;
      long line;
   } cases[] = {
      {"unknown component", replaced(xml, "<serialNumber>", "<serial>4</serial><serialNumber>"),
       RTS_NOT_FOUND, "tbsCertificate.serial", 5},
      {"unknown version name", replaced(xml, "<v3/>", "<v4/>"), RTS_BAD_ENUM,
       "tbsCertificate.version", 4},
      {"dotted text that is no OID", replaced(xml, "<extnID>2.5.29.19<", "<extnID>2.5.x<"),
       RTS_BAD_OID, "tbsCertificate.extensions[0].extnID", 65},
      {"letter in a path length",
       replaced(xml, "<pathLenConstraint>0<", "<pathLenConstraint>x<"), RTS_BAD_DIGIT,
       "tbsCertificate.extensions[0].extnValue.pathLenConstraint", 68},
      {"letter in the key usage bits", replaced(xml, "<KeyUsage>1000011<", "<KeyUsage>10z0011<"),
       RTS_BAD_BIT_TEXT, "tbsCertificate.extensions[1].extnValue", 73},
      {"odd hexadecimal in Encoded",
       replaced(xml, "<Encoded>0500</Encoded>", "<Encoded>050</Encoded>"), RTS_BAD_HEX_TEXT,
       "tbsCertificate.signature.parameters", 9},
      {"list item under another name",
       replaced(replaced(xml, "<Extension>\n            <extnID>2.5.29.15<",
                         "<Extensio>\n            <extnID>2.5.29.15<"),
                "</Extension>\n         <Extension>\n            <extnID>",
                "</Extension>\n         <Extensio>\n            <extnID>"),
       RTS_XML_STRUCTURE, "tbsCertificate.extensions[1]", 69},
      {"another root element",
       replaced(replaced(xml, "<Certificate>", "<CertificateList>"), "</Certificate>",
                "</CertificateList>"),
       RTS_XML_STRUCTURE, "", 2},
      {"mismatched end tag", replaced(xml, "</tbsCertificate>", "</tbsCertificat>"), 0, "", 87},
   };
   for (const Case& c : cases) {
      try {
         XerDerConverterSimple("Certificate").toDer(c.input);
         ADD_FAILURE() << c.what << " converted";
      } catch (OSRTSAXExceptionImpl& e) {
         EXPECT_EQ(e.getStatus(), c.status) << c.what;
         EXPECT_EQ(e.path(), c.path) << c.what;
         EXPECT_EQ(e.lineNumber(), c.line) << c.what;
         EXPECT_EQ(e.offset(), -1) << c.what;
      }
   }
}

}
