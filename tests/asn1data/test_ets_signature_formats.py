"""The electronic signature formats module, as the compiler resolves it from
asn1data/ together with the whole catalogue, and the attribute objects of
the certificate module that decode into its types."""

import os
import unittest

from .catalogue import model, module  # noqa: F401

ETS = "ETS-ElectronicSignatureFormats-97Syntax"


def of_kind(name, kind):
   return [d for d in module(name).assignments if type(d).__name__ == kind]


def dotted(arcs):
   return ".".join(str(arc.number) for arc in arcs)


def describe(t):
   """A type: tags with their mode, base name or kind, size bounds and the
   representation where one applies."""
   base = t.target.name if t.kind == "REFERENCE" else t.kind
   tags = ["[%d] %s" % (tag.number, "EXPLICIT" if tag.explicit
                        else "IMPLICIT") for tag in t.tags]
   size = (["SIZE %s" % ",".join(
      "%s..%s" % ("MIN" if lo is None else lo, "MAX" if hi is None else hi)
      for lo, hi in t.size.ranges)] if t.size else [])
   return " ".join(tags + [base] + size + ([t.rep] if t.rep else []))


def components(name):
   """(field, type, presence bit) of each component or alternative."""
   return [(c.cname, describe(c.type), c.presence_bit)
           for c in model().names[name].type.components]


TYPES = """
   SignaturePolicyImplied_ SigPolicyId SigPolicyHash SPuri
   CommitmentTypeIdentifier CompleteCertificateRefs CrlIdentifier
   CrlValidatedID CRLListID _SeqOfCrlValidatedID OcspIdentifier
   OcspResponsesID OcspListID _SeqOfOcspResponsesID CrlOcspRef
   CompleteRevocationRefs CertificateValues RevocationValues
   _SeqOfCertificateList _SeqOfBasicOCSPResponse SigPolicyQualifierInfo
   SignaturePolicyId SignaturePolicyId_sigPolicyQualifiers SignaturePolicy
   CertifiedAttributes ContentTimestamp SignatureTimeStampToken
   ESCTimeStampToken TimestampedCertsCRLs ArchiveTimeStampToken DisplayText
   NoticeReference NoticeReference_noticeNumbers SPUserNotice
   CommitmentTypeQualifier CommitmentTypeIndication
   CommitmentTypeIndication_commitmentTypeQualifier SignerLocation
   SignerLocation_countryName SignerLocation_localityName ClaimedAttributes
   SignerAttribute SignerAttribute_element OtherRevRefs
""".split()

AA = "1.2.840.113549.1.9.16.2."
VALUES = {
   "id_aa_signatureTimeStampToken": AA + "14",
   "id_aa_ets_sigPolicyId": AA + "15",
   "id_aa_ets_commitmentType": AA + "16",
   "id_aa_ets_signerLocation": AA + "17",
   "id_aa_ets_signerAttr": AA + "18",
   "id_aa_ets_contentTimestamp": AA + "20",
   "id_aa_ets_certificateRefs": AA + "21",
   "id_aa_ets_revocationRefs": AA + "22",
   "id_aa_ets_certValues": AA + "23",
   "id_aa_ets_revocationValues": AA + "24",
   "id_aa_ets_escTimeStamp": AA + "25",
   "id_aa_ets_certCRLTimestamp": AA + "26",
   "id_aa_ets_archiveTimestamp": AA + "27",
   "id_spq_ets_uri": "1.2.840.113549.1.9.16.5.1",
   "id_spq_ets_unotice": "1.2.840.113549.1.9.16.5.2",
   "id_cti_ets_proofOfOrigin": "1.2.840.113549.1.9.16.6.1",
   "id_cti_ets_proofOfReceipt": "1.2.840.113549.1.9.16.6.2",
   "id_cti_ets_proofOfDelivery": "1.2.840.113549.1.9.16.6.3",
   "id_cti_ets_proofOfSender": "1.2.840.113549.1.9.16.6.4",
   "id_cti_ets_proofOfApproval": "1.2.840.113549.1.9.16.6.5",
   "id_cti_ets_proofOfCreation": "1.2.840.113549.1.9.16.6.6",
   "id_etsi_es_IDUP_Mechanism_v1": "0.4.0.1733.1.4.1",
}


class ModuleTest(unittest.TestCase):
   def test_file_name_and_tagging(self):
      m = module(ETS)
      self.assertEqual(os.path.basename(m.file),
                       "ETS_ElectronicSignatureFormats_97Syntax.asn")
      self.assertEqual(m.tag_default, "EXPLICIT")
      self.assertEqual(dotted(m.oid_arcs), "1.2.840.113549.1.9.16.0.6")

   def test_exact_type_names_in_module_order(self):
      self.assertEqual([td.name for td in module(ETS).typedefs], TYPES)

   def test_exact_object_identifier_values(self):
      self.assertEqual({v.name: dotted(v.rvalue.data)
                        for v in of_kind(ETS, "ValueDef")}, VALUES)


class SigPolicyQualifierTest(unittest.TestCase):
   def test_the_only_set_is_empty_and_extensible(self):
      sets = of_kind(ETS, "ObjectSetDef")
      self.assertEqual([s.name for s in sets],
                       ["SupportedSigPolicyQualifiers"])
      self.assertEqual(sets[0].objects, [])
      self.assertTrue(sets[0].extensible)
      self.assertEqual(sets[0].cls.name, "SIG_POLICY_QUALIFIER")
      self.assertEqual(of_kind(ETS, "ObjectDef"), [])

   def test_qualifier_is_looked_up_by_its_identifier(self):
      oid, qualifier = model().names["SigPolicyQualifierInfo"].type.components
      self.assertEqual(oid.type.table.object_set.name,
                       "SupportedSigPolicyQualifiers")
      self.assertIsNone(oid.type.table.key_owner)
      table = qualifier.type.table
      self.assertEqual((qualifier.type.kind, qualifier.optional,
                        table.object_set.name, table.field.name),
                       ("OPEN", True, "SupportedSigPolicyQualifiers",
                        "&Qualifier"))
      self.assertEqual(table.key_owner.name, "SigPolicyQualifierInfo")
      self.assertEqual([c.cname for c in table.key_path],
                       ["sigPolicyQualifierId"])

   def test_no_other_type_of_the_module_is_table_constrained(self):
      constrained = [td.name for td in module(ETS).typedefs
                     if any(c.type.table for c in td.type.components or [])]
      self.assertEqual(constrained, ["SigPolicyQualifierInfo"])


class AttributeObjectTest(unittest.TestCase):
   """The attribute objects of SupportedAttributes whose values are types
   of this module, with their place in the search order."""

   EXPECTED = [
      (23, "certificateRefs", AA + "21", "CompleteCertificateRefs"),
      (24, "revocationRefs", AA + "22", "CompleteRevocationRefs"),
      (25, "certValues", AA + "23", "CertificateValues"),
      (26, "revocationValues", AA + "24", "RevocationValues"),
      (28, "sigPolicyId", AA + "15", "SignaturePolicy"),
   ]

   def test_objects_resolve_into_this_module(self):
      sets = {s.name: s for s in of_kind("PKIX1Explicit88", "ObjectSetDef")}
      objects = sets["SupportedAttributes"].objects
      found = [(i, o.name, dotted(o.fields["&id"].data),
                o.fields["&Type"].target.name)
               for i, o in enumerate(objects)
               if o.fields["&Type"].kind == "REFERENCE"
               and o.fields["&Type"].target.module.name == ETS]
      self.assertEqual(found, self.EXPECTED)


class TypeTest(unittest.TestCase):
   CASES = {
      "CrlIdentifier": [
         ("crlissuer", "Name", None),
         ("crlIssuedTime", "UTCTime", None),
         ("crlNumber", "INTEGER int32", 0)],
      "CrlOcspRef": [
         ("crlids", "[0] EXPLICIT CRLListID", 0),
         ("ocspids", "[1] EXPLICIT OcspListID", 1),
         ("otherRev", "[2] EXPLICIT OPEN", 2)],
      "RevocationValues": [
         ("crlVals", "[0] EXPLICIT _SeqOfCertificateList", 0),
         ("ocspVals", "[1] EXPLICIT _SeqOfBasicOCSPResponse", 1)],
      "SignaturePolicyId": [
         ("sigPolicyIdentifier", "SigPolicyId", None),
         ("sigPolicyHash", "SigPolicyHash", None),
         ("sigPolicyQualifiers", "SignaturePolicyId_sigPolicyQualifiers", 0)],
      "SignaturePolicy": [
         ("signaturePolicyImplied", "SignaturePolicyImplied_", None),
         ("signaturePolicyId", "SignaturePolicyId", None)],
      "DisplayText": [
         ("utf8String", "UTF8String SIZE 1..200", None),
         ("visibleString", "VisibleString SIZE 1..200", None),
         ("bmpString", "BMPString SIZE 1..200", None)],
      "NoticeReference": [
         ("organization", "DisplayText", None),
         ("noticeNumbers", "NoticeReference_noticeNumbers", None)],
      "CommitmentTypeQualifier": [
         ("commitmentQualifierId", "OBJECT IDENTIFIER", None),
         ("qualifier", "OPEN", 0)],
      "SignerLocation": [
         ("countryName", "SignerLocation_countryName", 0),
         ("localityName", "SignerLocation_localityName", 1),
         ("postalAdddress", "[2] EXPLICIT PostalAddress", 2)],
      "SignerLocation_countryName": [
         ("utf8String", "UTF8String SIZE 1..32768", None),
         ("printableString", "PrintableString SIZE 1..32768", None),
         ("teletexString", "TeletexString SIZE 1..32768", None),
         ("universalString", "UniversalString SIZE 1..32768", None),
         ("bmpString", "BMPString SIZE 1..32768", None)],
      "SignerAttribute_element": [
         ("claimedAttributes", "[0] EXPLICIT ClaimedAttributes", None),
         ("certifiedAttributes", "[1] EXPLICIT CertifiedAttributes", None)],
      "OtherRevRefs": [
         ("otherRevRefType", "OBJECT IDENTIFIER", None),
         ("otherRevRefs", "OPEN", None)],
   }

   def test_components(self):
      for name, expected in self.CASES.items():
         with self.subTest(type=name):
            self.assertEqual(components(name), expected)

   def test_types_and_representations(self):
      cases = {
         "SignaturePolicyImplied_": "NULL",
         "SigPolicyHash": "OtherHashAlgAndValue",
         "CompleteCertificateRefs": "SEQUENCE OF list",
         "SignaturePolicyId_sigPolicyQualifiers":
            "SEQUENCE OF SIZE 1..MAX list",
         "CommitmentTypeIndication_commitmentTypeQualifier":
            "SEQUENCE OF SIZE 1..MAX list",
         "NoticeReference_noticeNumbers": "SEQUENCE OF array",
         "SignerLocation_countryName": "[0] EXPLICIT CHOICE",
         "SignerLocation_localityName": "[1] EXPLICIT CHOICE",
         "SignerAttribute": "SEQUENCE OF list",
         "ArchiveTimeStampToken": "TimeStampToken",
         "CertifiedAttributes": "AttributeCertificate",
      }
      for name, expected in cases.items():
         with self.subTest(type=name):
            self.assertEqual(describe(model().names[name].type), expected)

   def test_list_elements(self):
      cases = {
         "CompleteCertificateRefs": "OtherCertID",
         "CompleteRevocationRefs": "CrlOcspRef",
         "CertificateValues": "Certificate",
         "ClaimedAttributes": "Attribute",
         "SignerAttribute": "SignerAttribute_element",
         "NoticeReference_noticeNumbers": "INTEGER int32",
         "_SeqOfCertificateList": "CertificateList",
         "_SeqOfBasicOCSPResponse": "BasicOCSPResponse",
      }
      for name, expected in cases.items():
         with self.subTest(type=name):
            self.assertEqual(describe(model().names[name].type.element),
                             expected)


if __name__ == "__main__":
   unittest.main()
