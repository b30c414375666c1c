"""The certificate, CRL and name module, the certificate extensions module
and the PKCS #10 request of the CMP module, as the compiler resolves them
from asn1data/ together with the whole catalogue."""

import os
import unittest

from .catalogue import model, module  # noqa: F401


def dotted(rvalue):
   return ".".join(str(arc.number) for arc in rvalue.data)


def ranges(bounds):
   return None if bounds is None else list(bounds.ranges)


def tags(t):
   return ["%s %d %s" % (tag.cls, tag.number,
                         "EXPLICIT" if tag.explicit else "IMPLICIT")
           for tag in t.tags]


def base(t):
   return t.target.name if t.kind == "REFERENCE" else t.kind


def components(name):
   """(field, tags, base type, OPTIONAL, presence bit) of each component."""
   return [(c.cname, tags(c.type), base(c.type), c.optional, c.presence_bit)
           for c in model().names[name].type.components]


def object_type(obj, field):
   """The type an object gives a type field: a type name, NULL or None."""
   t = obj.fields.get(field)
   if t is None:
      return None
   return base(t)


def set_rows(set_name, field):
   return [(o.name, dotted(o.fields["&id"]), object_type(o, field))
           for o in model().names[set_name].objects]


class ModuleTest(unittest.TestCase):
   def test_each_unit_file_holds_its_module(self):
      for name in ("PKIX1Explicit88", "CertificateExtensions", "PKIXCMP"):
         file = name + ".asn"
         with self.subTest(module=name):
            m = module(name)
            self.assertEqual(os.path.basename(m.file), file)
            self.assertEqual(
               [n.name for n in model().modules if n.file == m.file], [name])

   def test_module_identifiers_and_tagging(self):
      for name, oid, tagging in (
            ("PKIX1Explicit88", "1.3.6.1.5.5.7.0.18", "EXPLICIT"),
            ("CertificateExtensions", "2.5.1.26.0", "IMPLICIT"),
            ("PKIXCMP", "1.3.6.1.5.5.7.0.9", "EXPLICIT")):
         with self.subTest(module=name):
            m = module(name)
            self.assertEqual(".".join(str(a.number) for a in m.oid_arcs), oid)
            self.assertEqual(m.tag_default, tagging)


PKIX = "1.3.6.1.5.5.7"
PKCS9 = "1.2.840.113549.1.9"
MS = "1.3.6.1.4.1.311"

CONSTANTS = {
   "PKIX1Explicit88": {
      "pkcs_9_at_extensionRequest": PKCS9 + ".14",
      "id_aa_ets_otherSigCert": PKCS9 + ".16.2.19",
      "id_sha256": "2.16.840.1.101.3.4.2.1",
      "id_aa_signingCertificateV2": PKCS9 + ".16.2.47",
      "id_aa_signingCertificate": PKCS9 + ".16.2.12",
      "id_dsa": "1.2.840.10040.4.1",
      "dhpublicnumber": "1.2.840.10046.2.1",
      "id_sha1": "1.3.14.3.2.26",
      "id_dsa_with_sha1": "1.2.840.10040.4.3",
      "sha1WithRSAEncryption": "1.2.840.113549.1.1.5",
      "md5WithRSAEncryption": "1.2.840.113549.1.1.4",
      "md2WithRSAEncryption": "1.2.840.113549.1.1.2",
      "rsaEncryption": "1.2.840.113549.1.1.1",
      "pkcs_1": "1.2.840.113549.1.1",
      "id_ce": "2.5.29",
      "id_at": "2.5.4",
      "id_at_commonName": "2.5.4.3",
      "id_at_surname": "2.5.4.4",
      "id_at_countryName": "2.5.4.6",
      "id_at_localityName": "2.5.4.7",
      "id_at_stateOrProvinceName": "2.5.4.8",
      "id_at_streetAddress": "2.5.4.9",
      "id_at_organizationName": "2.5.4.10",
      "id_at_organizationalUnitName": "2.5.4.11",
      "id_at_title": "2.5.4.12",
      "id_at_postalAddress": "2.5.4.16",
      "id_at_postalCode": "2.5.4.17",
      "id_at_name": "2.5.4.41",
      "id_at_givenName": "2.5.4.42",
      "id_at_initials": "2.5.4.43",
      "id_at_generationQualifier": "2.5.4.44",
      "id_at_dnQualifier": "2.5.4.46",
      "id_at_pseudonym": "2.5.4.65",
      "id_at_domainComponent": "0.9.2342.19200300.100.1.25",
      "pkcs_9": PKCS9,
      "emailAddress": PKCS9 + ".1",
      "pkcs9_unstructuredName": PKCS9 + ".2",
      "id_contentType": PKCS9 + ".3",
      "id_messageDigest": PKCS9 + ".4",
      "id_signingTime": PKCS9 + ".5",
      "id_countersignature": PKCS9 + ".6",
      "id_ms": MS,
      "id_ms_certExtensions": MS + ".2.1.14",
      "id_ms_enrollmentCSP": MS + ".13.2.2",
      "id_ms_osVersion": MS + ".13.2.3",
      "id_pkix": PKIX,
      "id_pe": PKIX + ".1",
      "id_qt": PKIX + ".2",
      "id_kp": PKIX + ".3",
      "id_ad": PKIX + ".48",
      "id_qt_cps": PKIX + ".2.1",
      "id_qt_unotice": PKIX + ".2.2",
      "id_ad_ocsp": PKIX + ".48.1",
      "id_ad_caIssuers": PKIX + ".48.2",
      "id_ad_timeStamping": PKIX + ".48.3",
      "id_ad_caRepository": PKIX + ".48.5",
   },
   "CertificateExtensions": {
      "ds": "2.5",
      "id_ce_subjectDirectoryAttributes": "2.5.29.9",
      "id_ce_subjectKeyIdentifier": "2.5.29.14",
      "id_ce_keyUsage": "2.5.29.15",
      "id_ce_privateKeyUsagePeriod": "2.5.29.16",
      "id_ce_subjectAltName": "2.5.29.17",
      "id_ce_issuerAltName": "2.5.29.18",
      "id_ce_basicConstraints": "2.5.29.19",
      "id_ce_cRLNumber": "2.5.29.20",
      "id_ce_reasonCode": "2.5.29.21",
      "id_ce_instructionCode": "2.5.29.23",
      "id_ce_invalidityDate": "2.5.29.24",
      "id_ce_deltaCRLIndicator": "2.5.29.27",
      "id_ce_issuingDistributionPoint": "2.5.29.28",
      "id_ce_certificateIssuer": "2.5.29.29",
      "id_ce_nameConstraint": "2.5.29.30.1",
      "id_ce_cRLDistributionPoints": "2.5.29.31",
      "id_ce_certificatePolicies": "2.5.29.32",
      "id_ce_policyMappings": "2.5.29.33",
      "id_ce_authorityKeyIdentifier": "2.5.29.35",
      "id_ce_policyConstraints": "2.5.29.36",
      "id_ce_extKeyUsage": "2.5.29.37",
      "id_ce_freshestCRL": "2.5.29.46",
      "id_ce_inhibitAnyPolicy": "2.5.29.54",
      "id_mr": "2.5.13",
      "id_mr_certificateExactMatch": "2.5.13.34",
      "id_mr_certificateMatch": "2.5.13.35",
      "id_mr_certificatePairExactMatch": "2.5.13.36",
      "id_mr_certificatePairMatch": "2.5.13.37",
      "id_mr_certificateListExactMatch": "2.5.13.38",
      "id_mr_certificateListMatch": "2.5.13.39",
      "id_mr_algorithmIdentifierMatch": "2.5.13.40",
      "id_at_supportedAlgorithms": "2.5.4.52",
      "id_at_deltaRevocationList": "2.5.4.53",
      "id_pe_authorityInfoAccess": PKIX + ".1.1",
      "id_pe_subjectInfoAccess": PKIX + ".1.11",
   },
}


class ConstantTest(unittest.TestCase):
   def test_every_constant_of_each_module(self):
      for name, expected in CONSTANTS.items():
         with self.subTest(module=name):
            values = [d for d in module(name).assignments
                      if type(d).__name__ == "ValueDef"]
            self.assertEqual({v.name: dotted(v.rvalue) for v in values},
                             expected)
            self.assertEqual(len(values), len(expected))


GOST = "1.2.643.2.2"
TC26 = "1.2.643.7.1.1"


class AlgorithmSetTest(unittest.TestCase):
   def test_supported_algorithms_in_search_order(self):
      self.assertEqual(set_rows("SupportedAlgorithms", "&Type"), [
         ("gost2001PubKey", GOST + ".19", "_gost2001PubKey_Type"),
         ("gost2001DHPubKey", GOST + ".98", "_gost2001DHPubKey_Type"),
         ("gost2012_256_PubKey", TC26 + ".1.1", "_gost2012_256_PubKey_Type"),
         ("gost2012_512_PubKey", TC26 + ".1.2", "_gost2012_512_PubKey_Type"),
         ("gost94WithGostR34102001Sign", GOST + ".3",
          "_gost94WithGostR34102001Sign_Type"),
         ("gost12_256_WithGostR34102012_256_Sign", TC26 + ".3.2",
          "NULLParams_"),
         ("gost12_512_WithGostR34102012_512_Sign", TC26 + ".3.3",
          "NULLParams_"),
         ("gost2814789Params", GOST + ".21", "Gost28147_89_Parameters"),
         ("gostR341194DigestParams", GOST + ".9",
          "_gostR341194DigestParams_Type"),
         ("gostR341112_256_DigestParams", TC26 + ".2.2", "NULLParams_"),
         ("gostR341112_512_DigestParams", TC26 + ".2.3", "NULLParams_"),
         ("rsaPublicKey", "1.2.840.113549.1.1.1", "NULLParams_"),
         ("rsaSHA_1", "1.2.840.113549.1.1.5", "NULLParams_"),
         ("rsaMD5", "1.2.840.113549.1.1.4", "NULLParams_"),
         ("rsaMD2", "1.2.840.113549.1.1.2", "NULLParams_"),
         ("dssPublicKey", "1.2.840.10040.4.1", "Dss_Parms"),
         ("dsaSHA_1", "1.2.840.10040.4.3", None),
         ("dhPublicKey", "1.2.840.10046.2.1", "DomainParameters"),
         ("sha1DigestParams", "1.3.14.3.2.26", "NULLParams_"),
         ("pbeGost28147And3411", GOST + ".1.1.969.1",
          "_pbeGost28147And3411_Type"),
      ])

   def test_parameter_choices_pair_null_with_the_gost_parameters(self):
      for name, params in (
            ("_gost2001PubKey_Type", "GostR3410_2001_PublicKeyParameters"),
            ("_gost2001DHPubKey_Type", "GostR3410_2001_PublicKeyParameters"),
            ("_gost2012_256_PubKey_Type",
             "GostR3410_2012_PublicKeyParameters"),
            ("_gost2012_512_PubKey_Type",
             "GostR3410_2012_PublicKeyParameters"),
            ("_gost2012_256DH_PubKey_Type",
             "GostR3410_2012_PublicKeyParameters"),
            ("_gost2012_512DH_PubKey_Type",
             "GostR3410_2012_PublicKeyParameters"),
            ("_gost94WithGostR34102001Sign_Type",
             "GostR3410_2001_PublicKeyParameters"),
            ("_gostR341194DigestParams_Type",
             "GostR3411_94_DigestParameters"),
            ("_pbeGost28147And3411_Type", "PBEZentrafilGostParameters")):
         with self.subTest(type=name):
            td = model().names[name]
            self.assertEqual(td.origin, "object")
            self.assertEqual(td.type.kind, "CHOICE")
            self.assertEqual(components(name), [
               ("null", [], "NULLParams_", False, None),
               ("params", [], params, False, None)])

   def test_objects_outside_every_set(self):
      members = {o.name for s in ("SupportedAlgorithms", "SupportedAttributes",
                                  "ExtensionSet", "SupportedPolicyQualifiers")
                 for o in model().names[s].objects}
      rows = [
         ("gost2012_256DH_PubKey", "ALGORITHM_ID", "&Type", TC26 + ".6.1",
          "_gost2012_256DH_PubKey_Type"),
         ("gost2012_512DH_PubKey", "ALGORITHM_ID", "&Type", TC26 + ".6.2",
          "_gost2012_512DH_PubKey_Type"),
         ("ocspNoCheck", "EXTENSION", "&ExtnType", PKIX + ".48.1.5", "NULL"),
         ("certificateExactMatch", "MATCHING_RULE", "&AssertionType",
          "2.5.13.34", "CertificateExactAssertion"),
         ("certificateMatch", "MATCHING_RULE", "&AssertionType",
          "2.5.13.35", "CertificateAssertion"),
         ("certificatePairExactMatch", "MATCHING_RULE", "&AssertionType",
          "2.5.13.36", "CertificatePairExactAssertion"),
         ("certificatePairMatch", "MATCHING_RULE", "&AssertionType",
          "2.5.13.37", "CertificatePairAssertion"),
         ("certificateListExactMatch", "MATCHING_RULE", "&AssertionType",
          "2.5.13.38", "CertificateListExactAssertion"),
         ("certificateListMatch", "MATCHING_RULE", "&AssertionType",
          "2.5.13.39", "CertificateListAssertion"),
         ("algorithmIdentifierMatch", "MATCHING_RULE", "&AssertionType",
          "2.5.13.40", "AlgorithmIdentifier"),
      ]
      for name, cls, field, oid, value_type in rows:
         with self.subTest(object=name):
            obj = model().names[name]
            self.assertEqual((obj.cls.name, dotted(obj.fields["&id"]),
                              object_type(obj, field)),
                             (cls, oid, value_type))
            self.assertNotIn(name, members)


SMIME_AA = PKCS9 + ".16.2"


class AttributeSetTest(unittest.TestCase):
   def test_supported_attributes_in_search_order(self):
      self.assertEqual(set_rows("SupportedAttributes", "&Type"), [
         ("msEnrollmentCSP", MS + ".13.2.2", "EnrollmentCSPInfo"),
         ("msOsVersion", MS + ".13.2.3", "_msOsVersion_Type"),
         ("name", "2.5.4.41", "_name_Type"),
         ("commonName", "2.5.4.3", "_commonName_Type"),
         ("surname", "2.5.4.4", "_surname_Type"),
         ("givenName", "2.5.4.42", "_givenName_Type"),
         ("initials", "2.5.4.43", "_initials_Type"),
         ("generationQualifier", "2.5.4.44", "_generationQualifier_Type"),
         ("dnQualifier", "2.5.4.46", "PrintableString"),
         ("countryName", "2.5.4.6", "PrintableString"),
         ("localityName", "2.5.4.7", "_localityName_Type"),
         ("streetAddress", "2.5.4.9", "_streetAddress_Type"),
         ("stateOrProvinceName", "2.5.4.8", "_stateOrProvinceName_Type"),
         ("organizationName", "2.5.4.10", "_organizationName_Type"),
         ("organizationalUnitName", "2.5.4.11",
          "_organizationalUnitName_Type"),
         ("title", "2.5.4.12", "_title_Type"),
         ("pkcs9email", PKCS9 + ".1", "PHGStringNonStrict"),
         ("x520Pseudonym", "2.5.4.65", "_x520Pseudonym_Type"),
         ("contentType", PKCS9 + ".3", "ContentTypeIdentifier"),
         ("messageDigest", PKCS9 + ".4", "_messageDigest_Type"),
         ("signingTime", PKCS9 + ".5", "Time"),
         ("signingCertificate", SMIME_AA + ".12", "SigningCertificate"),
         ("otherSigningCertificate", SMIME_AA + ".19",
          "OtherSigningCertificate"),
         ("certificateRefs", SMIME_AA + ".21", "CompleteCertificateRefs"),
         ("revocationRefs", SMIME_AA + ".22", "CompleteRevocationRefs"),
         ("certValues", SMIME_AA + ".23", "CertificateValues"),
         ("revocationValues", SMIME_AA + ".24", "RevocationValues"),
         ("signingCertificateV2", SMIME_AA + ".47", "SigningCertificateV2"),
         ("sigPolicyId", SMIME_AA + ".15", "SignaturePolicy"),
         ("contentTimestamp", SMIME_AA + ".20", "TimeStampToken"),
         ("signatureTimeStampToken", SMIME_AA + ".14", "TimeStampToken"),
         ("escTimeStamp", SMIME_AA + ".25", "TimeStampToken"),
         ("certCRLTimestamp", SMIME_AA + ".26", "TimeStampToken"),
         ("archiveTimestamp", SMIME_AA + ".27", "TimeStampToken"),
         ("domainComponent", "0.9.2342.19200300.100.1.25",
          "CaseIgnoreIA5StringSyntaxNonStrict"),
         ("msCertExtensions", MS + ".2.1.14", "Extensions"),
         ("extensionRequest", PKCS9 + ".14", "Extensions"),
         ("ogrn", "1.2.643.100.1", "OGRN"),
         ("ogrnip", "1.2.643.100.5", "OGRNIP"),
         ("inn", "1.2.643.3.131.1.1", "INN"),
         ("snils", "1.2.643.100.3", "SNILS"),
         ("unstructuredName", PKCS9 + ".2", "_unstructuredName_Type"),
         ("postalCode", "2.5.4.17", "_postalCode_Type"),
         ("postalAddress", "2.5.4.16", "PostalAddress"),
      ])

   def test_name_attribute_values_take_seven_forms_up_to_32768(self):
      seven = [(field, [], kind, False, None) for field, kind in (
         ("utf8String", "UTF8String"), ("numericString", "NumericString"),
         ("printableString", "PrintableString"),
         ("teletexString", "TeletexString"), ("ia5String", "IA5String"),
         ("universalString", "UniversalString"), ("bmpString", "BMPString"))]
      for obj in ("name", "commonName", "surname", "givenName", "initials",
                  "generationQualifier", "localityName", "streetAddress",
                  "stateOrProvinceName", "organizationName",
                  "organizationalUnitName", "title", "x520Pseudonym",
                  "unstructuredName"):
         name = "_%s_Type" % obj
         with self.subTest(type=name):
            self.assertEqual(components(name), seven)
            self.assertEqual(
               [ranges(c.type.size)
                for c in model().names[name].type.components],
               [[(0, 32768)]] * 7)

   def test_strict_and_lenient_strings(self):
      for name, kind, size in (
            ("_postalCode_Type", "CHOICE", None),
            ("_msOsVersion_Type", "IA5String", [(1, 32768)]),
            ("CaseIgnoreIA5StringSyntax", "IA5String", [(1, 32768)]),
            ("CaseIgnoreIA5StringSyntaxNonStrict", "IA5String",
             [(0, 32768)]),
            ("PHGString", "IA5String", [(1, 32768)]),
            ("PHGStringNonStrict", "IA5String", [(0, 32768)]),
            ("_messageDigest_Type", "OCTET STRING", None)):
         with self.subTest(type=name):
            t = model().names[name].type
            self.assertEqual((t.kind, ranges(t.size)), (kind, size))
      # A bare PrintableString, decoded in the object itself: no type of
      # its own and no length check.
      for obj in ("countryName", "dnQualifier"):
         with self.subTest(object=obj):
            t = model().names[obj].fields["&Type"]
            self.assertEqual((t.kind, ranges(t.size)), ("PrintableString", None))
            self.assertNotIn("_%s_Type" % obj, model().names)
      postal = model().names["_postalCode_Type"].type.components
      self.assertEqual([(c.cname, ranges(c.type.size)) for c in postal],
                       [(n, [(1, 32768)]) for n in (
                          "utf8String", "printableString", "teletexString",
                          "universalString", "bmpString")])


class ExtensionSetTest(unittest.TestCase):
   def test_extension_set_in_search_order(self):
      ce = "2.5.29"
      self.assertEqual(set_rows("ExtensionSet", "&ExtnType"), [
         ("authorityKeyIdentifier", ce + ".35", "AuthorityKeyIdentifier"),
         ("subjectKeyIdentifier", ce + ".14", "SubjectKeyIdentifier"),
         ("keyUsage", ce + ".15", "KeyUsage"),
         ("extKeyUsage", ce + ".37", "_extKeyUsage_ExtnType"),
         ("privateKeyUsagePeriod", ce + ".16", "PrivateKeyUsagePeriod"),
         ("certificatePolicies", ce + ".32", "CertificatePoliciesSyntax"),
         ("policyMappings", ce + ".33", "PolicyMappingsSyntax"),
         ("subjectAltName", ce + ".17", "GeneralNames"),
         ("issuerAltName", ce + ".18", "GeneralNames"),
         ("subjectDirectoryAttributes", ce + ".9", "AttributesSyntax"),
         ("basicConstraints", ce + ".19", "BasicConstraintsSyntax"),
         ("nameConstraints", ce + ".30.1", "NameConstraintsSyntax"),
         ("policyConstraints", ce + ".36", "PolicyConstraintsSyntax"),
         ("cRLNumber", ce + ".20", "CRLNumber"),
         ("reasonCode", ce + ".21", "CRLReason"),
         ("instructionCode", ce + ".23", "HoldInstruction"),
         ("invalidityDate", ce + ".24", "InvalidityDate"),
         ("cRLDistributionPoints", ce + ".31", "CRLDistPointsSyntax"),
         ("issuingDistributionPoint", ce + ".28", "IssuingDistPointSyntax"),
         ("certificateIssuer", ce + ".29", "CertificateIssuer"),
         ("deltaCRLIndicator", ce + ".27", "BaseCRLNumber"),
         ("freshestCrl", ce + ".46", "FreshestCRL"),
         ("authorityInfoAccess", PKIX + ".1.1", "AuthorityInfoAccessSyntax"),
         ("subjectInfoAccess", PKIX + ".1.11", "SubjectInfoAccessSyntax"),
         ("ocspCrl", PKIX + ".48.1.3", "CrlID"),
         ("ocspHistoricalRequest", GOST + ".47.5", "CrlID"),
         ("ocspResponse", PKIX + ".48.1.4", "AcceptableResponses"),
         ("ocspArchiveCutoff", PKIX + ".48.1.6", "ArchiveCutoff"),
         ("ocspServiceLocator", PKIX + ".48.1.7", "ServiceLocator"),
         ("ocspCRLLocator", GOST + ".47.2", "CrlLocator"),
         ("ocspInstantRevocationIndicator", GOST + ".47.3", "PKIMessage"),
         ("ocspInstantRevocationAnnouncementReference", GOST + ".47.4",
          "PKIMessage"),
         ("ocspTreatsExpKeyOrExpCertRev", GOST + ".47.1", "NULL"),
         ("subjectSignTool", "1.2.643.100.111", "SubjectSignTool"),
         ("issuerSignTool", "1.2.643.100.112", "IssuerSignTool"),
      ])

   def test_policy_qualifiers(self):
      self.assertEqual(set_rows("SupportedPolicyQualifiers", "&Qualifier"), [
         ("qtCpsQualifier", PKIX + ".2.1", "CPSuri"),
         ("qtUnoticeQualifier", PKIX + ".2.2", "QTUserNotice"),
      ])

   def test_table_constrained_types_and_their_keys(self):
      for name, field, set_name, key in (
            ("AlgorithmIdentifier", "parameters", "SupportedAlgorithms",
             "algorithm"),
            ("AttributeTypeAndValue", "value", "SupportedAttributes", "type"),
            ("Extension", "extnValue", "ExtensionSet", "extnID"),
            ("PolicyQualifierInfo", "qualifier", "SupportedPolicyQualifiers",
             "policyQualifierId")):
         with self.subTest(type=name):
            comp = next(c for c in model().names[name].type.components
                        if c.cname == field)
            table = (comp.type.contains or comp.type).table
            self.assertEqual((table.object_set.name, table.key_owner.name,
                              [c.cname for c in table.key_path]),
                             (set_name, name, [key]))
      values = model().names["Attribute_values"].type
      self.assertEqual((values.kind, ranges(values.size), values.rep),
                       ("SET OF", [(1, None)], "list"))
      table = values.element.table
      self.assertEqual((table.object_set.name, table.key_owner.name,
                        [c.cname for c in table.key_path]),
                       ("SupportedAttributes", "Attribute", ["type"]))


class StructureTest(unittest.TestCase):
   def test_sequences(self):
      table = {
         "TBSCertificate": [
            ("version", ["CONTEXT 0 EXPLICIT"], "Version", True, 0),
            ("serialNumber", [], "CertificateSerialNumber", False, None),
            ("signature", [], "AlgorithmIdentifier", False, None),
            ("issuer", [], "Name", False, None),
            ("validity", [], "Validity", False, None),
            ("subject", [], "Name", False, None),
            ("subjectPublicKeyInfo", [], "SubjectPublicKeyInfo", False, None),
            ("issuerUniqueID", ["CONTEXT 1 IMPLICIT"], "UniqueIdentifier",
             True, 1),
            ("subjectUniqueID", ["CONTEXT 2 IMPLICIT"], "UniqueIdentifier",
             True, 2),
            ("extensions", ["CONTEXT 3 EXPLICIT"], "Extensions", True, 3)],
         "TBSCertList": [
            ("version", [], "Version", True, 0),
            ("signature", [], "AlgorithmIdentifier", False, None),
            ("issuer", [], "Name", False, None),
            ("thisUpdate", [], "Time", False, None),
            ("nextUpdate", [], "Time", True, 1),
            ("revokedCertificates", [],
             "_SeqOfTBSCertList_revokedCertificates_element", True, 2),
            ("crlExtensions", ["CONTEXT 0 EXPLICIT"], "Extensions", True, 3)],
         "BuiltInStandardAttributes": [
            ("country_name", [], "CountryName", True, 0),
            ("administration_domain_name", [], "AdministrationDomainName",
             True, 1),
            ("network_address", ["CONTEXT 0 EXPLICIT"], "NetworkAddress",
             True, 2),
            ("terminal_identifier", ["CONTEXT 1 EXPLICIT"],
             "TerminalIdentifier", True, 3),
            ("private_domain_name", ["CONTEXT 2 EXPLICIT"],
             "PrivateDomainName", True, 4),
            ("organization_name", ["CONTEXT 3 EXPLICIT"], "OrganizationName",
             True, 5),
            ("numeric_user_identifier", ["CONTEXT 4 EXPLICIT"],
             "NumericUserIdentifier", True, 6),
            ("personal_name", ["CONTEXT 5 EXPLICIT"], "PersonalName", True, 7),
            ("organizational_unit_names", ["CONTEXT 6 EXPLICIT"],
             "OrganizationalUnitNames", True, 8)],
         "ESSCertIDv2": [
            ("hashAlgorithm", [], "AlgorithmIdentifier", True, 0),
            ("certHash", [], "CertHash", False, None),
            ("issuerSerial", [], "IssuerSerial", True, 1)],
         "SigningCertificate": [
            ("certs", [], "_SeqOfESSCertID", False, None),
            ("policies", [], "_SeqOfPolicyInformation", True, 0)],
         "GeneralName_otherName": [
            ("type_id", [], "OBJECT IDENTIFIER", False, None),
            ("value", ["CONTEXT 0 EXPLICIT"], "OPEN", False, None)],
         "NameForms": [
            ("basicNameForms", ["CONTEXT 0 IMPLICIT"], "BasicNameForms",
             True, 0),
            ("otherNameForms", [], "NameForms_otherNameForms", True, 1)],
         "AuthorityKeyIdentifier": [
            ("keyIdentifier", ["CONTEXT 0 IMPLICIT"], "KeyIdentifier",
             True, 0),
            ("authorityCertIssuer", ["CONTEXT 1 IMPLICIT"], "GeneralNames",
             True, 1),
            ("authorityCertSerialNumber", ["CONTEXT 2 IMPLICIT"],
             "CertificateSerialNumber", True, 2)],
         "CertificationRequest": [
            ("certificationRequestInfo", [],
             "CertificationRequest_certificationRequestInfo", False, None),
            ("signatureAlgorithm", [], "AlgorithmIdentifier", False, None),
            ("signature", [], "BIT STRING", False, None)],
         "CertificationRequest_certificationRequestInfo": [
            ("version", [], "INTEGER", False, None),
            ("subject", [], "Name", False, None),
            ("subjectPublicKeyInfo", [],
             "CertificationRequest_certificationRequestInfo_"
             "subjectPublicKeyInfo", False, None),
            ("attributes", ["CONTEXT 0 IMPLICIT"], "_SetOfAttribute", False,
             None)],
         "CertificationRequest_certificationRequestInfo_"
         "subjectPublicKeyInfo": [
            ("algorithm", [], "AlgorithmIdentifier", False, None),
            ("subjectPublicKey", [], "BIT STRING", False, None)],
      }
      for name, expected in table.items():
         with self.subTest(type=name):
            self.assertEqual(components(name), expected)

   def test_general_name_alternatives_and_their_tags(self):
      self.assertEqual(components("GeneralName"), [
         ("otherName", [], "GeneralName_otherName", False, None),
         ("rfc822Name", ["CONTEXT 1 IMPLICIT"], "IA5String", False, None),
         ("dNSName", ["CONTEXT 2 IMPLICIT"], "IA5String", False, None),
         ("x400Address", ["CONTEXT 3 IMPLICIT"], "ORAddress", False, None),
         ("directoryName", ["CONTEXT 4 EXPLICIT"], "Name", False, None),
         ("ediPartyName", ["CONTEXT 5 IMPLICIT"], "EDIPartyName", False,
          None),
         ("uniformResourceIdentifier", ["CONTEXT 6 IMPLICIT"], "IA5String",
          False, None),
         ("iPAddress", ["CONTEXT 7 IMPLICIT"], "OCTET STRING", False, None),
         ("registeredID", ["CONTEXT 8 IMPLICIT"], "OBJECT IDENTIFIER", False,
          None)])
      for name, tag in (("GeneralName_otherName", "CONTEXT 0 IMPLICIT"),
                        ("EDIPartyName_nameAssigner", "CONTEXT 0 EXPLICIT"),
                        ("EDIPartyName_partyName", "CONTEXT 1 EXPLICIT"),
                        ("NameForms_otherNameForms", "CONTEXT 1 IMPLICIT"),
                        ("PresentationAddress_nAddresses",
                         "CONTEXT 3 EXPLICIT"),
                        ("CountryName", "APPLICATION 1 EXPLICIT"),
                        ("AdministrationDomainName",
                         "APPLICATION 2 EXPLICIT")):
         with self.subTest(type=name):
            self.assertEqual(tags(model().names[name].type), [tag])

   def test_defaults(self):
      for name, field, mode in (
            ("Extension", "critical", "zero"),
            ("BasicConstraintsSyntax", "cA", "zero"),
            ("GeneralSubtree", "minimum", "zero"),
            ("IssuingDistPointSyntax", "onlyContainsUserCerts", "zero"),
            ("IssuingDistPointSyntax", "onlyContainsCACerts", "zero"),
            ("IssuingDistPointSyntax", "indirectCRL", "zero")):
         with self.subTest(type=name, component=field):
            comp = next(c for c in model().names[name].type.components
                        if c.cname == field)
            self.assertEqual((comp.default_mode, comp.presence_bit),
                             (mode, None))

   def test_sets_with_components(self):
      for name, kind in (("PersonalName", "PrintableString"),
                         ("TeletexPersonalName", "TeletexString")):
         with self.subTest(type=name):
            t = model().names[name].type
            self.assertEqual(t.kind, "SET")
            self.assertEqual(
               [(c.cname, tags(c.type), c.type.kind, ranges(c.type.size),
                 c.optional) for c in t.components],
               [("surname", ["CONTEXT 0 EXPLICIT"], kind, [(1, 32768)], False),
                ("given_name", ["CONTEXT 1 EXPLICIT"], kind, [(1, 32768)],
                 True),
                ("initials", ["CONTEXT 2 EXPLICIT"], kind, [(1, 32768)], True),
                ("generation_qualifier", ["CONTEXT 3 EXPLICIT"], kind,
                 [(1, 32768)], True)])

   def test_choice_orders_and_bounds(self):
      for name, expected in (
            ("QTDisplayText", [("utf8String", [(1, 200)]),
                               ("ia5String", [(1, 200)]),
                               ("visibleString", [(1, 200)]),
                               ("bmpString", [(1, 200)])]),
            ("CountryName", [("x121_dcc_code", [(3, 3)]),
                             ("iso_3166_alpha2_code", [(2, 2)])]),
            ("PhysicalDeliveryCountryName", [("x121_dcc_code", [(3, 3)]),
                                             ("iso_3166_alpha2_code",
                                              [(2, 2)])]),
            ("AdministrationDomainName", [("numeric", [(0, 32768)]),
                                          ("printable", [(0, 32768)])]),
            ("Time", [("utcTime", None), ("generalTime", None)])):
         with self.subTest(type=name):
            self.assertEqual(
               [(c.cname, ranges(c.type.size))
                for c in model().names[name].type.components], expected)


class RepresentationTest(unittest.TestCase):
   def test_integers(self):
      names = model().names
      for name, rep, value_range in (
            ("Version", "uint32", None),
            ("CertificateSerialNumber", "bigint", None),
            ("RsaModulus", "bigint", None),
            ("CRLNumber", "bigint", None),
            ("BaseDistance", "uint32", None),
            ("SkipCerts", "uint32", None),
            ("TerminalType", "uint16", [(0, 256)])):
         with self.subTest(type=name):
            t = names[name].type
            self.assertEqual((t.kind, t.rep, ranges(t.value_range)),
                             ("INTEGER", rep, value_range))
      for name, field, rep in (
            ("Dss_Parms", "p", "bigint"), ("Dss_Parms", "q", "bigint"),
            ("Dss_Parms", "g", "bigint"), ("DomainParameters", "p", "int32"),
            ("DomainParameters", "j", "int32"),
            ("ValidationParms", "pgenCounter", "int32"),
            ("RsaPubKey", "pubexp", "int32"),
            ("Dss_Sig_Value", "r", "int32"),
            ("EnrollmentCSPInfo", "provType", "int32"),
            ("BasicConstraintsSyntax", "pathLenConstraint", "uint32"),
            ("ExtensionAttribute", "extension_attribute_type", "uint16"),
            ("CertificationRequest_certificationRequestInfo", "version",
             "int32")):
         with self.subTest(type=name, component=field):
            comp = next(c for c in names[name].type.components
                        if c.cname == field)
            self.assertEqual(comp.type.rep, rep)

   def test_lists_and_arrays(self):
      for name, kind, size, rep in (
            ("Extensions", "SEQUENCE OF", [(1, None)], "list"),
            ("GeneralNames", "SEQUENCE OF", None, "list"),
            ("RDNSequence", "SEQUENCE OF", None, "list"),
            ("RelativeDistinguishedName", "SET OF", [(1, None)], "list"),
            ("PostalAddress", "SEQUENCE OF", [(1, 6)], "list"),
            ("OrganizationalUnitNames", "SEQUENCE OF", [(1, 4)], "array"),
            ("TeletexOrganizationalUnitNames", "SEQUENCE OF", [(1, 4)],
             "array"),
            ("BuiltInDomainDefinedAttributes", "SEQUENCE OF", [(1, 4)],
             "list"),
            ("ExtensionAttributes", "SET OF", [(1, 256)], "list"),
            ("UnformattedPostalAddress_printable_address", "SEQUENCE OF",
             [(1, 6)], "array"),
            ("PresentationAddress_nAddresses", "SET OF", [(1, None)],
             "array"),
            ("QTNoticeReference_noticeNumbers", "SEQUENCE OF", None, "array"),
            ("PolicyInformation_policyQualifiers", "SEQUENCE OF", [(1, None)],
             "list"),
            ("_extKeyUsage_ExtnType", "SEQUENCE OF", [(1, None)], "array"),
            ("CertPolicySet", "SEQUENCE OF", [(1, None)], "array"),
            ("NameForms_otherNameForms", "SEQUENCE OF", [(1, None)], "array"),
            ("PolicyMappingsSyntax", "SEQUENCE OF", [(1, None)], "list"),
            ("_SeqOfTBSCertList_revokedCertificates_element", "SEQUENCE OF",
             None, "list"),
            ("_SeqOfPolicyInformation", "SEQUENCE OF", None, "list"),
            ("_SetOfAttribute", "SET OF", None, "list")):
         with self.subTest(type=name):
            t = model().names[name].type
            self.assertEqual((t.kind, ranges(t.size), t.rep),
                             (kind, size, rep))

   def test_named_bit_strings(self):
      for name, bits in (
            ("KeyUsage", ["digitalSignature", "nonRepudiation",
                          "keyEncipherment", "dataEncipherment",
                          "keyAgreement", "keyCertSign", "cRLSign",
                          "encipherOnly", "decipherOnly"]),
            ("ReasonFlags", ["unused", "keyCompromise", "cACompromise",
                             "affiliationChanged", "superseded",
                             "cessationOfOperation", "certificateHold",
                             "privilegeWithdrawn", "aACompromise"])):
         with self.subTest(type=name):
            t = model().names[name].type
            self.assertEqual((t.rep, t.capacity), ("fixed", 9))
            self.assertEqual([(n.cname, n.number) for n in t.named],
                             [(b, i) for i, b in enumerate(bits)])
      t = model().names["BasicNameForms"].type
      self.assertEqual((t.rep, ranges(t.size)), ("dynamic", [(1, None)]))

   def test_crl_reason_has_no_seven(self):
      t = model().names["CRLReason"].type
      self.assertEqual(t.kind, "ENUMERATED")
      self.assertEqual([n.number for n in t.named],
                       [0, 1, 2, 3, 4, 5, 6, 8, 9, 10])
      self.assertFalse(t.enum_extensible)

   def test_plain_types(self):
      plain = sorted(td.name for name in ("PKIX1Explicit88",
                                          "CertificateExtensions")
                     for td in module(name).typedefs if td.plain)
      self.assertEqual(plain, sorted([
         "KeyUsage", "ReasonFlags", "BasicConstraintsSyntax",
         "PolicyConstraintsSyntax", "PolicyMappingsSyntax_element",
         "Dss_Parms", "Dss_Sig_Value", "RsaPubKey"]))
      for name in ("CertificationRequest",
                   "CertificationRequest_certificationRequestInfo",
                   "CertificationRequest_certificationRequestInfo_"
                   "subjectPublicKeyInfo", "_SetOfAttribute"):
         with self.subTest(type=name):
            self.assertFalse(model().names[name].plain)

   def test_null_type_takes_a_trailing_underscore(self):
      td = model().names["NULLParams_"]
      self.assertEqual((td.asn1_name, td.type.kind), ("NULLParams", "NULL"))


if __name__ == "__main__":
   unittest.main()
