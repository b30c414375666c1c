"""The Cryptographic Message Syntax and S/MIME version 3 modules, as the
compiler resolves them from asn1data/ together with the whole catalogue."""

import os
import unittest

from .catalogue import model, module  # noqa: F401

CMS = "CryptographicMessageSyntax"

SMIME = "SecureMimeMessageV3"


def definitions(name, kind):
   m = module(name)
   if kind == "type":
      return m.typedefs
   return [d for d in m.assignments if type(d).__name__ == kind]


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
   return [(c.cname, describe(c.type), c.optional)
           for c in model().names[name].type.components]


def objects_of(obj_list):
   return [(o.name, dotted(o.fields["&id"]), o.fields["&Type"].target.name)
           for o in obj_list]


CMS_TYPES = """
   ContentType SignatureValue EncryptedContent EncryptedKey Digest
   MessageAuthenticationCode SignatureAlgorithmIdentifier
   KeyEncryptionAlgorithmIdentifier ContentEncryptionAlgorithmIdentifier
   MessageAuthenticationCodeAlgorithm KeyDerivationAlgorithmIdentifier
   CMSVersion UserKeyingMaterial MessageDigest SigningTime
   AttributeCertificateInfo_subject AttCertValidityPeriod _SeqOfAttribute
   AttributeCertificateInfo ENCRYPTED_HASH AttributeCertificate
   _simpleData_Type DigestAlgorithmIdentifiers UnauthAttributes
   ExtendedCertificateInfo Signature ExtendedCertificate CertificateChoices
   CertificateSet CertificateRevocationLists OriginatorInfo
   OriginatorPublicKey OtherKeyAttribute RecipientKeyIdentifier
   KEKIdentifier KEKRecipientInfo PasswordRecipientInfo OtherRecipientInfo
   EncryptedContentInfo UnprotectedAttributes EncryptedData AuthAttributes
   EncapsulatedContentInfo DigestedData ContentInfo IssuerAndSerialNumber
   KeyAgreeRecipientIdentifier RecipientEncryptedKey RecipientEncryptedKeys
   OriginatorIdentifierOrKey KeyAgreeRecipientInfo RecipientIdentifier
   KeyTransRecipientInfo RecipientInfo RecipientInfos AuthenticatedData
   EnvelopedData SignerIdentifier SignedAttributes UnsignedAttributes
   SignerInfo SignerInfos SignedData Countersignature KeyWrapAlgorithm
   RC2ParameterVersion RC2wrapParameter IV CBCParameter ENCRYPTED
   RC2CBCParameter PBKDF2_params_salt PBKDF2_params PBES2_params HASH
   SIGNATURE
""".split()

SMIME_TYPES = """
   SMIMECapability SMIMECapabilities SMIMEEncryptionKeyPreference
   RC2_CBC_parameter
""".split()

CMS_VALUES = {
   "id_data": "1.2.840.113549.1.7.1",
   "id_signedData": "1.2.840.113549.1.7.2",
   "id_envelopedData": "1.2.840.113549.1.7.3",
   "id_digestedData": "1.2.840.113549.1.7.5",
   "id_encryptedData": "1.2.840.113549.1.7.6",
   "id_ct_authData": "1.2.840.113549.1.9.16.1.2",
   "id_ct_contentInfo": "1.2.840.113549.1.9.16.1.6",
   "id_PBKDF2": "1.2.840.113549.1.5.12",
   "id_PBES2": "1.2.840.113549.1.5.13",
   "hMAC_SHA1": "1.3.6.1.5.5.8.1.2",
   "rc2_cbc": "1.2.840.113549.3.2",
   "des_ede3_cbc": "1.2.840.113549.3.7",
   "id_alg_ESDH": "1.2.840.113549.1.9.16.3.5",
   "id_alg_CMS3DESwrap": "1.2.840.113549.1.9.16.3.6",
   "id_alg_CMSRC2wrap": "1.2.840.113549.1.9.16.3.7",
   "dh_public_number": "1.2.840.10046.2.1",
   "md5": "1.2.840.113549.2.5",
   "sha_1": "1.3.14.3.2.26",
}

SMIME_VALUES = {
   "rC2_CBC": "1.2.840.113549.3.2",
   "dES_EDE3_CBC": "1.2.840.113549.3.7",
   "smimeCapabilities": "1.2.840.113549.1.9.15",
   "id_aa": "1.2.840.113549.1.9.16.2",
   "id_aa_encrypKeyPref": "1.2.840.113549.1.9.16.2.11",
}


class ModuleTest(unittest.TestCase):
   def test_files_modules_and_tagging(self):
      for name, file in ((CMS, "CryptographicMessageSyntax.asn"),
                         (SMIME, "SecureMimeMessageV3.asn")):
         with self.subTest(module=name):
            m = module(name)
            self.assertEqual(os.path.basename(m.file), file)
            self.assertEqual(m.tag_default, "IMPLICIT")

   def test_exact_type_names(self):
      for name, expected in ((CMS, CMS_TYPES), (SMIME, SMIME_TYPES)):
         with self.subTest(module=name):
            self.assertEqual(
               sorted(td.name for td in definitions(name, "type")),
               sorted(expected))

   def test_exact_object_identifier_values(self):
      for name, expected in ((CMS, CMS_VALUES), (SMIME, SMIME_VALUES)):
         with self.subTest(module=name):
            values = definitions(name, "ValueDef")
            self.assertEqual({v.name: dotted(v.rvalue) for v in values},
                             expected)


class ObjectSetTest(unittest.TestCase):
   def sets(self):
      return {s.name: s for s in definitions(CMS, "ObjectSetDef")}

   def test_content_types_in_search_order(self):
      s = self.sets()["SupportedContentTypes"]
      self.assertEqual(s.cls.name, "CONTENT_TYPE")
      self.assertEqual(objects_of(s.objects), [
         ("simpleData", "1.2.840.113549.1.7.1", "_simpleData_Type"),
         ("signedData", "1.2.840.113549.1.7.2", "SignedData"),
         ("envelopedData", "1.2.840.113549.1.7.3", "EnvelopedData"),
         ("digestedData", "1.2.840.113549.1.7.5", "DigestedData"),
         ("encryptedData", "1.2.840.113549.1.7.6", "EncryptedData"),
         ("authData", "1.2.840.113549.1.9.16.1.2", "AuthenticatedData")])
      self.assertEqual(
         model().names["_simpleData_Type"].type.kind, "OCTET STRING")

   def test_econtent_types_in_search_order(self):
      s = self.sets()["SupportedEContentTypes"]
      self.assertEqual(s.cls.name, "ECONTENT_TYPE")
      self.assertEqual(objects_of(s.objects), [
         ("e_signedData", "1.2.840.113549.1.7.2", "SignedData"),
         ("e_envelopedData", "1.2.840.113549.1.7.3", "EnvelopedData"),
         ("e_digestedData", "1.2.840.113549.1.7.5", "DigestedData"),
         ("e_encryptedData", "1.2.840.113549.1.7.6", "EncryptedData"),
         ("e_authData", "1.2.840.113549.1.9.16.1.2", "AuthenticatedData"),
         ("e_tstInfo", "1.2.840.113549.1.9.16.1.4", "TSTInfo"),
         ("e_dvcsRequest", "1.2.840.113549.1.9.16.1.7", "DVCSRequest"),
         ("e_dvcsResponse", "1.2.840.113549.1.9.16.1.8", "DVCSResponse")])

   def test_content_info_objects_belong_to_no_set(self):
      outside = [model().names["contentInfo"], model().names["e_contentInfo"]]
      self.assertEqual(objects_of(outside), [
         ("contentInfo", "1.2.840.113549.1.9.16.1.6", "ContentInfo"),
         ("e_contentInfo", "1.2.840.113549.1.9.16.1.6", "ContentInfo")])
      self.assertEqual([o.cls.name for o in outside],
                       ["CONTENT_TYPE", "ECONTENT_TYPE"])
      for m in model().modules:
         for d in m.assignments:
            if type(d).__name__ == "ObjectSetDef":
               for o in outside:
                  self.assertNotIn(o, d.objects, d.name)

   def test_only_the_two_sets_and_sixteen_objects(self):
      self.assertEqual(sorted(self.sets()),
                       ["SupportedContentTypes", "SupportedEContentTypes"])
      self.assertEqual(len(definitions(CMS, "ObjectDef")), 16)
      self.assertEqual(definitions(SMIME, "ObjectDef"), [])

   def test_table_constrained_types(self):
      sets = self.sets()
      for type_name, field, set_name, key in (
            ("ContentInfo", "content", "SupportedContentTypes",
             ["contentType"]),
            ("EncapsulatedContentInfo", "eContent", "SupportedEContentTypes",
             ["eContentType"])):
         with self.subTest(type=type_name):
            td = model().names[type_name]
            comp = next(c for c in td.type.components if c.cname == field)
            table = (comp.type.contains or comp.type).table
            self.assertIs(table.object_set, sets[set_name])
            self.assertIs(table.key_owner, td)
            self.assertEqual([c.cname for c in table.key_path], key)


class TypeTest(unittest.TestCase):
   def test_content_info_and_encapsulated_content(self):
      self.assertEqual(components("ContentInfo"), [
         ("contentType", "OBJECT IDENTIFIER", False),
         ("content", "[0] EXPLICIT OPEN", False)])
      self.assertEqual(components("EncapsulatedContentInfo"), [
         ("eContentType", "OBJECT IDENTIFIER", False),
         ("eContent", "[0] EXPLICIT OCTET STRING dynamic", True)])

   def test_signer_info(self):
      self.assertEqual(components("SignerInfo"), [
         ("version", "CMSVersion", False),
         ("sid", "SignerIdentifier", False),
         ("digestAlgorithm", "DigestAlgorithmIdentifier", False),
         ("signedAttrs", "[0] IMPLICIT SignedAttributes", True),
         ("signatureAlgorithm", "SignatureAlgorithmIdentifier", False),
         ("signature", "SignatureValue", False),
         ("unsignedAttrs", "[1] IMPLICIT UnsignedAttributes", True)])

   def test_recipient_choices(self):
      self.assertEqual(components("RecipientInfo"), [
         ("ktri", "KeyTransRecipientInfo", False),
         ("kari", "[1] IMPLICIT KeyAgreeRecipientInfo", False),
         ("kekri", "[2] IMPLICIT KEKRecipientInfo", False),
         ("pwri", "[3] IMPLICIT PasswordRecipientInfo", False),
         ("ori", "[4] IMPLICIT OtherRecipientInfo", False)])
      self.assertEqual(components("KeyAgreeRecipientInfo"), [
         ("version", "CMSVersion", False),
         ("originator", "[0] EXPLICIT OriginatorIdentifierOrKey", False),
         ("ukm", "[1] EXPLICIT UserKeyingMaterial", True),
         ("keyEncryptionAlgorithm", "KeyEncryptionAlgorithmIdentifier",
          False),
         ("recipientEncryptedKeys", "RecipientEncryptedKeys", False)])

   def test_attribute_certificate(self):
      self.assertEqual(components("AttributeCertificateInfo_subject"), [
         ("baseCertificateID", "[0] IMPLICIT IssuerSerial", False),
         ("subjectName", "[1] IMPLICIT GeneralNames", False)])
      self.assertEqual(
         [c[:1] + c[2:] for c in components("AttributeCertificateInfo")], [
            ("version", True), ("subject", False), ("issuer", False),
            ("signature", False), ("serialNumber", False),
            ("attCertValidityPeriod", False), ("attributes", False),
            ("issuerUniqueID", True), ("extensions", True)])
      self.assertEqual(components("AttributeCertificate"), [
         ("toBeSigned", "OPEN", False),
         ("algorithmIdentifier", "AlgorithmIdentifier", False),
         ("encrypted", "ENCRYPTED_HASH", False)])
      self.assertIs(model().names["_SeqOfAttribute"].module, module(CMS))

   def test_lists_and_their_lower_bounds(self):
      for name, kind, lower in (
            ("DigestAlgorithmIdentifiers", "SET OF", None),
            ("CertificateSet", "SET OF", None),
            ("CertificateRevocationLists", "SET OF", None),
            ("RecipientInfos", "SET OF", None),
            ("SignerInfos", "SET OF", None),
            ("RecipientEncryptedKeys", "SEQUENCE OF", None),
            ("SMIMECapabilities", "SEQUENCE OF", None),
            ("UnauthAttributes", "SET OF", [(1, None)]),
            ("UnprotectedAttributes", "SET OF", [(1, None)]),
            ("AuthAttributes", "SET OF", [(1, None)]),
            ("SignedAttributes", "SET OF", [(1, None)]),
            ("UnsignedAttributes", "SET OF", [(1, None)])):
         with self.subTest(type=name):
            t = model().names[name].type
            self.assertEqual(t.kind, kind)
            self.assertEqual(t.rep, "list")
            self.assertEqual(None if t.size is None else t.size.ranges,
                             lower)

   def test_integer_representations(self):
      version = model().names["CMSVersion"].type
      self.assertEqual(version.rep, "uint32")
      self.assertEqual([(n.cname, n.number) for n in version.named],
                       [("cms_v0", 0), ("cms_v1", 1), ("cms_v2", 2),
                        ("cms_v3", 3), ("cms_v4", 4)])
      self.assertEqual(model().names["RC2ParameterVersion"].type.rep,
                       "int32")
      params = {c.cname: c for c in
                model().names["PBKDF2_params"].type.components}
      for name, optional in (("iterationCount", False),
                             ("keyLength", True)):
         with self.subTest(component=name):
            t = params[name].type
            self.assertEqual(
               (t.rep, t.value_range.ranges, params[name].optional),
               ("uint32", [(1, None)], optional))
      self.assertEqual(components("PBKDF2_params_salt"), [
         ("specified", "OCTET STRING dynamic", False),
         ("otherSource", "AlgorithmIdentifier", False)])
      self.assertTrue(params["prf"].optional)
      self.assertIsNone(params["prf"].default)

   def test_smime_types(self):
      self.assertEqual(components("SMIMEEncryptionKeyPreference"), [
         ("issuerAndSerialNumber", "[0] IMPLICIT IssuerAndSerialNumber",
          False),
         ("receipentKeyId", "[1] IMPLICIT RecipientKeyIdentifier", False),
         ("subjectAltKeyIdentifier", "[2] IMPLICIT SubjectKeyIdentifier",
          False)])
      self.assertEqual(components("SMIMECapability"), [
         ("capabilityID", "OBJECT IDENTIFIER", False),
         ("parameters", "OPEN", True)])
      self.assertEqual(components("RC2_CBC_parameter"), [
         ("rc2ParameterVersion", "INTEGER int32", False),
         ("iv", "IV", False)])


if __name__ == "__main__":
   unittest.main()
