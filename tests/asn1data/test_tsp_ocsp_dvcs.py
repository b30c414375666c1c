"""The time-stamp, OCSP and DVCS modules, as the compiler resolves them from
asn1data/ together with the whole catalogue."""

import os
import unittest

from .catalogue import model, module  # noqa: F401

OCSP = "PKIXOCSP"

TSP = "PKIXTSP"

DVCS = "PKIXDVCS"


def of_kind(name, kind):
   return [d for d in module(name).assignments if type(d).__name__ == kind]


def dotted(rvalue):
   return ".".join(str(arc.number) for arc in rvalue.data)


def describe(t):
   """A component type: tags with their mode, base name or kind, and the
   representation where one applies."""
   base = t.target.name if t.kind == "REFERENCE" else t.kind
   tags = ["[%d] %s" % (tag.number, "EXPLICIT" if tag.explicit
                        else "IMPLICIT") for tag in t.tags]
   return " ".join(tags + [base] + ([t.rep] if t.rep else []))


def components(name):
   """(field, type, presence bit) of each component or alternative."""
   return [(c.cname, describe(c.type), c.presence_bit)
           for c in model().names[name].type.components]


def named(name):
   return [(n.cname, n.number) for n in model().names[name].type.named]


OCSP_TYPES = """
   OCSPRequest TBSRequest _SeqOfRequest OCSPSignature Certificates
   OCSPVersion Request ReqCert CertID FullCertificate CertIdWithSignature
   CertSignature OCSPResponse OCSPResponseStatus ResponseBytes
   BasicOCSPResponse ResponseData _SeqOfSingleResponse ResponderID KeyHash
   SingleResponse CertStatus RevokedInfo UnknownInfo_ ArchiveCutoff
   AcceptableResponses ServiceLocator CrlID CrlLocator
""".split()

TSP_TYPES = """
   TimeStampReq TimeStampReq_version MessageImprint TSAPolicyId
   TimeStampResp TimeStampToken TSTInfo TSTInfo_version Accuracy
   TimeStampAuthenticodeRequest
""".split()

DVCS_TYPES = """
   DVCSRequest DVCSRequestInformation ServiceType Nonce DVCSTime Data
   Data_certs TargetEtcChain TargetEtcChain_chain CertEtcToken PathProcInput
   PathProcInput_acceptablePolicySet DVCSResponse DVCSCertInfo
   DVCSCertInfo_certs DVCSErrorNotice
""".split()

OCSP_VALUES = {
   "id_kp_OCSPSigning": "1.3.6.1.5.5.7.3.9",
   "id_pkix_ocsp": "1.3.6.1.5.5.7.48.1",
   "id_pkix_ocsp_basic": "1.3.6.1.5.5.7.48.1.1",
   "id_pkix_ocsp_nonce": "1.3.6.1.5.5.7.48.1.2",
   "id_pkix_ocsp_crl": "1.3.6.1.5.5.7.48.1.3",
   "id_pkix_ocsp_response": "1.3.6.1.5.5.7.48.1.4",
   "id_pkix_ocsp_nocheck": "1.3.6.1.5.5.7.48.1.5",
   "id_pkix_ocsp_archive_cutoff": "1.3.6.1.5.5.7.48.1.6",
   "id_pkix_ocsp_service_locator": "1.3.6.1.5.5.7.48.1.7",
   "id_Zentrafil_ocsp_treats_exp_key_or_exp_cert_rev": "1.2.643.2.2.47.1",
   "id_Zentrafil_ocsp_crl_locator": "1.2.643.2.2.47.2",
   "id_Zentrafil_ocsp_instant_revocation_indicator": "1.2.643.2.2.47.3",
   "id_Zentrafil_ocsp_revocation_announcement_reference":
      "1.2.643.2.2.47.4",
   "id_Zentrafil_ocsp_historical_request": "1.2.643.2.2.47.5",
}

TSP_VALUES = {
   "id_ct_TSTInfo": "1.2.840.113549.1.9.16.1.4",
}

DVCS_VALUES = {
   "id_ct_DVCSRequestData": "1.2.840.113549.1.9.16.1.7",
   "id_ct_DVCSResponseData": "1.2.840.113549.1.9.16.1.8",
   "id_aa_dvcs_dvc": "1.2.840.113549.1.9.16.2.29",
   "id_kp_dvcs": "1.3.6.1.5.5.7.3.10",
   "id_ad_dvcs": "1.3.6.1.5.5.7.48.4",
}


class ModuleTest(unittest.TestCase):
   MODULES = ((OCSP, "PKIXOCSP.asn", "EXPLICIT", OCSP_TYPES, OCSP_VALUES),
              (TSP, "PKIXTSP.asn", "IMPLICIT", TSP_TYPES, TSP_VALUES),
              (DVCS, "PKIXDVCS.asn", "IMPLICIT", DVCS_TYPES, DVCS_VALUES))

   def test_files_and_tagging(self):
      for name, file, tagging, _, _ in self.MODULES:
         with self.subTest(module=name):
            m = module(name)
            self.assertEqual(os.path.basename(m.file), file)
            self.assertEqual(m.tag_default, tagging)

   def test_exact_type_names(self):
      for name, _, _, types, _ in self.MODULES:
         with self.subTest(module=name):
            self.assertEqual(sorted(td.name for td in module(name).typedefs),
                             sorted(types))

   def test_exact_object_identifier_values(self):
      for name, _, _, _, values in self.MODULES:
         with self.subTest(module=name):
            self.assertEqual({v.name: dotted(v.rvalue)
                              for v in of_kind(name, "ValueDef")}, values)


class OcspResponseTypeTest(unittest.TestCase):
   def test_the_set_holds_only_the_basic_response(self):
      sets = of_kind(OCSP, "ObjectSetDef")
      self.assertEqual([s.name for s in sets], ["SupportedOCSPResponseTypes"])
      s = sets[0]
      self.assertEqual(s.cls.name, "OCSP_RESPONSE_TYPE")
      self.assertEqual(
         [(o.name, dotted(o.fields["&id"]), o.fields["&Type"].target.name)
          for o in s.objects],
         [("ocspBasicResponse", "1.3.6.1.5.5.7.48.1.1", "BasicOCSPResponse")])
      self.assertEqual([o.name for o in of_kind(OCSP, "ObjectDef")],
                       ["ocspBasicResponse"])
      for name in (TSP, DVCS):
         self.assertEqual(of_kind(name, "ObjectSetDef"), [])
         self.assertEqual(of_kind(name, "ObjectDef"), [])

   def test_response_octets_are_keyed_by_the_response_type(self):
      td = model().names["ResponseBytes"]
      key, response = td.type.components
      self.assertEqual((key.cname, key.type.kind),
                       ("responseType", "OBJECT IDENTIFIER"))
      self.assertEqual(response.cname, "response")
      self.assertEqual(response.type.kind, "OCTET STRING")
      table = response.type.contains.table
      self.assertIs(table.object_set, model().names[
         "SupportedOCSPResponseTypes"])
      self.assertIs(table.key_owner, td)
      self.assertEqual([c.cname for c in table.key_path], ["responseType"])


class OcspTypeTest(unittest.TestCase):
   def test_request_side(self):
      self.assertEqual(components("OCSPRequest"), [
         ("tbsRequest", "TBSRequest", None),
         ("optionalSignature", "[0] EXPLICIT OCSPSignature", 0)])
      self.assertEqual(components("TBSRequest"), [
         ("version", "[0] EXPLICIT OCSPVersion", 0),
         ("requestorName", "[1] EXPLICIT GeneralName", 1),
         ("requestList", "_SeqOfRequest", None),
         ("requestExtensions", "[2] EXPLICIT Extensions", 2)])
      self.assertEqual(components("ReqCert"), [
         ("certID", "CertID", None),
         ("fullCert", "[0] EXPLICIT FullCertificate", None),
         ("certIdWithSignature", "[1] EXPLICIT CertIdWithSignature", None)])
      self.assertEqual(components("CertIdWithSignature"), [
         ("issuerandSerialNumber", "IssuerAndSerialNumber", None),
         ("tbsCertificateHash", "BIT STRING dynamic", None),
         ("certsignature", "CertSignature", None)])

   def test_version_default_is_held_as_optional(self):
      for name in ("TBSRequest", "ResponseData"):
         with self.subTest(type=name):
            version = model().names[name].type.components[0]
            self.assertEqual((version.default_mode, version.presence_bit,
                              version.default_value.data), ("optional", 0, 0))
      version = model().names["OCSPVersion"].type
      self.assertEqual(version.rep, "uint32")
      self.assertEqual(named("OCSPVersion"), [("v1", 0), ("v2", 1)])

   def test_response_side(self):
      self.assertEqual(named("OCSPResponseStatus"), [
         ("successful", 0), ("malformedRequest", 1), ("internalError", 2),
         ("tryLater", 3), ("sigRequired", 5), ("unauthorized", 6),
         ("badCRL", 8)])
      self.assertEqual(components("ResponseData"), [
         ("version", "[0] EXPLICIT OCSPVersion", 0),
         ("responderID", "ResponderID", None),
         ("producedAt", "GeneralizedTime", None),
         ("responses", "_SeqOfSingleResponse", None),
         ("responseExtensions", "[1] EXPLICIT Extensions", 1)])
      self.assertEqual(components("SingleResponse"), [
         ("reqCert", "ReqCert", None),
         ("certStatus", "CertStatus", None),
         ("thisUpdate", "GeneralizedTime", None),
         ("nextUpdate", "[0] EXPLICIT GeneralizedTime", 0),
         ("singleExtensions", "[1] EXPLICIT Extensions", 1)])
      self.assertEqual(components("CertStatus"), [
         ("good", "[0] IMPLICIT NULL", None),
         ("revoked", "[1] IMPLICIT RevokedInfo", None),
         ("unknown", "[2] IMPLICIT UnknownInfo_", None)])
      self.assertEqual(components("ResponderID"), [
         ("byName", "[1] EXPLICIT Name", None),
         ("byKey", "[2] EXPLICIT KeyHash", None)])

   def test_certificate_lists(self):
      certs = model().names["Certificates"].type
      self.assertEqual((certs.kind, certs.rep, certs.size.ranges),
                       ("SEQUENCE OF", "list", [(1, None)]))
      for name in ("OCSPSignature", "BasicOCSPResponse"):
         with self.subTest(type=name):
            self.assertEqual(components(name)[-1],
                             ("certs", "[0] EXPLICIT Certificates", 0))
      accepted = model().names["AcceptableResponses"].type
      self.assertEqual((accepted.element.kind, accepted.rep),
                       ("OBJECT IDENTIFIER", "array"))

   def test_extension_types(self):
      self.assertEqual(components("CrlID"), [
         ("crlUrl", "[0] EXPLICIT IA5String", 0),
         ("crlNum", "[1] EXPLICIT INTEGER int32", 1),
         ("crlTime", "[2] EXPLICIT GeneralizedTime", 2)])
      self.assertEqual(components("ServiceLocator"), [
         ("issuer", "Name", None),
         ("locator", "AuthorityInfoAccessSyntax", 0)])
      self.assertEqual(model().names["CrlLocator"].type.target.name,
                       "CRLDistPointsSyntax")


class TspTypeTest(unittest.TestCase):
   def test_time_stamp_request(self):
      self.assertEqual(components("TimeStampReq"), [
         ("version", "TimeStampReq_version", None),
         ("messageImprint", "MessageImprint", None),
         ("reqPolicy", "TSAPolicyId", 0),
         ("nonce", "INTEGER bigint", 1),
         ("certReq", "BOOLEAN", None),
         ("extensions", "[0] IMPLICIT Extensions", 2)])

   def test_tst_info_presence_bits_and_tagging(self):
      self.assertEqual(components("TSTInfo"), [
         ("version", "TSTInfo_version", None),
         ("policy", "TSAPolicyId", None),
         ("messageImprint", "MessageImprint", None),
         ("serialNumber", "INTEGER bigint", None),
         ("genTime", "GeneralizedTime", None),
         ("accuracy", "Accuracy", 0),
         ("ordering", "BOOLEAN", None),
         ("nonce", "INTEGER bigint", 1),
         ("tsa", "[0] EXPLICIT GeneralName", 2),
         ("extensions", "[1] IMPLICIT Extensions", 3)])
      ordering = model().names["TSTInfo"].type.components[6]
      self.assertEqual(ordering.default_mode, "zero")

   def test_versions_are_big_integers_named_v1(self):
      for name in ("TimeStampReq_version", "TSTInfo_version"):
         with self.subTest(type=name):
            self.assertEqual(model().names[name].type.rep, "bigint")
            self.assertEqual(named(name), [("v1", 1)])

   def test_accuracy_is_plain_with_16_bit_bounded_fields(self):
      td = model().names["Accuracy"]
      self.assertTrue(td.plain)
      self.assertEqual(components("Accuracy"), [
         ("seconds", "INTEGER int32", 0),
         ("millis", "[0] IMPLICIT INTEGER uint16", 1),
         ("micros", "[1] IMPLICIT INTEGER uint16", 2)])
      for c in td.type.components[1:]:
         self.assertEqual(c.type.value_range.ranges, [(1, 999)], c.cname)

   def test_token_response_and_authenticode_request(self):
      self.assertEqual(model().names["TimeStampToken"].type.target.name,
                       "ContentInfo")
      self.assertEqual(components("TimeStampResp"), [
         ("status", "PKIStatusInfo", None),
         ("timeStampToken", "TimeStampToken", 0)])
      self.assertEqual(components("TimeStampAuthenticodeRequest"), [
         ("timeStampAlgorithm", "OBJECT IDENTIFIER", None),
         ("attributes", "UnsignedAttributes", 0),
         ("contentInfo", "ContentInfo", None)])


class DvcsTypeTest(unittest.TestCase):
   def test_version_one_is_a_true_default(self):
      for name in ("DVCSRequestInformation", "DVCSCertInfo"):
         with self.subTest(type=name):
            version = model().names[name].type.components[0]
            self.assertEqual(
               (version.cname, version.type.rep, version.default_mode,
                version.presence_bit, version.default_value.data),
               ("version", "bigint", "value", None, 1))

   def test_request_information(self):
      self.assertEqual(components("DVCSRequestInformation")[1:], [
         ("service", "ServiceType", None),
         ("nonce", "Nonce", 0),
         ("requestTime", "DVCSTime", 1),
         ("requester", "[0] IMPLICIT GeneralNames", 2),
         ("requestPolicy", "[1] IMPLICIT PolicyInformation", 3),
         ("dvcs", "[2] IMPLICIT GeneralNames", 4),
         ("dataLocations", "[3] IMPLICIT GeneralNames", 5),
         ("extensions", "[4] IMPLICIT Extensions", 6)])
      self.assertEqual(named("ServiceType"),
                       [("cpd", 1), ("vsd", 2), ("cpkc", 3), ("ccpd", 4)])
      self.assertEqual(model().names["Nonce"].type.rep, "bigint")

   def test_choice_selector_order(self):
      self.assertEqual(components("DVCSTime"), [
         ("timeStampToken", "ContentInfo", None),
         ("genTime", "GeneralizedTime", None)])
      self.assertEqual(components("CertEtcToken"), [
         ("extension", "Extension", None),
         ("certificate", "[0] IMPLICIT Certificate", None),
         ("esscertid", "[1] IMPLICIT ESSCertID", None),
         ("pkistatus", "[2] IMPLICIT PKIStatusInfo", None),
         ("assertion", "[3] IMPLICIT ContentInfo", None),
         ("crl", "[4] IMPLICIT CertificateList", None),
         ("ocspcertstatus", "[5] EXPLICIT CertStatus", None),
         ("oscpcertid", "[6] IMPLICIT CertID", None),
         ("oscpresponse", "[7] IMPLICIT OCSPResponse", None),
         ("capabilities", "[8] IMPLICIT SMIMECapabilities", None)])
      self.assertEqual(components("DVCSResponse"), [
         ("dvCertInfo", "DVCSCertInfo", None),
         ("dvErrorNote", "[0] IMPLICIT DVCSErrorNotice", None)])

   def test_non_empty_lists_and_tags_in_the_list_type(self):
      for name, tag, element in (
            ("Data_certs", "[0] IMPLICIT", "TargetEtcChain"),
            ("DVCSCertInfo_certs", "[3] IMPLICIT", "TargetEtcChain"),
            ("TargetEtcChain_chain", "", "CertEtcToken"),
            ("PathProcInput_acceptablePolicySet", "", "PolicyInformation")):
         with self.subTest(type=name):
            t = model().names[name].type
            self.assertEqual(
               (describe(t), t.element.target.name, t.size.ranges),
               ((tag + " SEQUENCE OF list").strip(), element, [(1, None)]))
      self.assertEqual(components("Data"), [
         ("message", "OCTET STRING dynamic", None),
         ("messageImprint", "DigestInfo", None),
         ("certs", "Data_certs", None)])

   def test_cert_info_and_path_input(self):
      self.assertEqual(components("DVCSCertInfo")[1:], [
         ("dvReqInfo", "DVCSRequestInformation", None),
         ("messageImprint", "DigestInfo", None),
         ("serialNumber", "INTEGER bigint", None),
         ("responseTime", "DVCSTime", None),
         ("dvStatus", "[0] IMPLICIT PKIStatusInfo", 0),
         ("policy", "[1] IMPLICIT PolicyInformation", 1),
         ("reqSignature", "[2] IMPLICIT SignerInfos", 2),
         ("certs", "DVCSCertInfo_certs", 3),
         ("extensions", "Extensions", 4)])
      self.assertEqual(components("TargetEtcChain"), [
         ("target", "CertEtcToken", None),
         ("chain", "TargetEtcChain_chain", 0),
         ("pathProcInput", "[0] IMPLICIT PathProcInput", 1)])
      self.assertEqual(components("PathProcInput"), [
         ("acceptablePolicySet", "PathProcInput_acceptablePolicySet", None),
         ("inhibitPolicyMapping", "BOOLEAN", None),
         ("explicitPolicyReqd", "[0] IMPLICIT BOOLEAN", None),
         ("inhibitAnyPolicy", "[1] IMPLICIT BOOLEAN", None)])
      self.assertEqual(
         [c.default_mode for c in
          model().names["PathProcInput"].type.components[1:]],
         ["zero", "zero", "zero"])


if __name__ == "__main__":
   unittest.main()
