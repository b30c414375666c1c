"""The GOST algorithm modules, the family's object identifier tree, the
qualified-certificate attributes and the two-letter PrintableString, as the
compiler resolves them from asn1data/ together with the whole catalogue."""

import os
import unittest

from .catalogue import model, module  # noqa: F401

MODULE_FILES = {
   "Cryptographic-Gost-Useful-Definitions":
      "Cryptographic_Gost_Useful_Definitions.asn",
   "Gost28147-89-EncryptionSyntax": "Gost28147_89_EncryptionSyntax.asn",
   "GostR3410-2001-PKISyntax": "GostR3410_2001_PKISyntax.asn",
   "GostR3410-2012-PKISyntax": "GostR3410_2012_PKISyntax.asn",
   "GostR3411-94-DigestSyntax": "GostR3411_94_DigestSyntax.asn",
   "Gost-Qualified-Certificate": "Gost_Qualified_Certificate.asn",
   "ASN1C-ASN1PrintableString": "ASN1C_ASN1PrintableString.asn",
}


def dotted(rvalue):
   return ".".join(str(arc.number) for arc in rvalue.data)


def ranges(bounds):
   return None if bounds is None else list(bounds.ranges)


def describe(t):
   """A component or alternative type: tags, base, SIZE ranges."""
   base = t.target.name if t.kind == "REFERENCE" else t.kind
   tags = ["%s %d %s" % (tag.cls, tag.number,
                         "EXPLICIT" if tag.explicit else "IMPLICIT")
           for tag in t.tags]
   return (tags, base, ranges(t.size))


def components(name):
   return [(c.cname, describe(c.type), c.optional, c.presence_bit)
           for c in model().names[name].type.components]


class ModuleTest(unittest.TestCase):
   def test_each_unit_file_holds_its_module(self):
      for name, file in MODULE_FILES.items():
         with self.subTest(module=name):
            m = module(name)
            self.assertEqual(os.path.basename(m.file), file)
            self.assertEqual(
               [n.name for n in model().modules if n.file == m.file], [name])

   def test_module_identifiers(self):
      expected = {
         "Cryptographic-Gost-Useful-Definitions": "1.2.643.2.2.1.1.0.1",
         "Gost28147-89-EncryptionSyntax": "1.2.643.2.2.1.1.4.1",
         "GostR3410-2001-PKISyntax": "1.2.643.2.2.1.1.9.1",
         "GostR3410-2012-PKISyntax": "1.2.643.7.1.0.2",
         "GostR3411-94-DigestSyntax": "1.2.643.2.2.1.1.1.1",
         "Gost-Qualified-Certificate": "1.2.643.2.2.1.1.24.1",
      }
      for name, oid in expected.items():
         with self.subTest(module=name):
            arcs = module(name).oid_arcs
            self.assertEqual(".".join(str(a.number) for a in arcs), oid)


ZENTRAFIL = "1.2.643.2.2"
MODULES_ARC = ZENTRAFIL + ".1.1"

CONSTANTS = {
   "Cryptographic-Gost-Useful-Definitions": {
      "id_Zentrafil": ZENTRAFIL,
      "id_Zentrafil_algorithms": ZENTRAFIL,
      "id_Zentrafil_modules": MODULES_ARC,
      "id_Zentrafil_hashes": ZENTRAFIL + ".30",
      "id_Zentrafil_encrypts": ZENTRAFIL + ".31",
      "id_Zentrafil_signs": ZENTRAFIL + ".32",
      "id_Zentrafil_exchanges": ZENTRAFIL + ".33",
      "id_Zentrafil_extensions": ZENTRAFIL + ".34",
      "id_Zentrafil_ecc_signs": ZENTRAFIL + ".35",
      "id_Zentrafil_ecc_exchanges": ZENTRAFIL + ".36",
      "id_Zentrafil_private_keys": ZENTRAFIL + ".37",
      "id_Zentrafil_policyIds": ZENTRAFIL + ".38",
      "id_Zentrafil_policyQt": ZENTRAFIL + ".39",
      "id_Zentrafil_pkixcmp_infos": ZENTRAFIL + ".41",
      "id_Zentrafil_audit_service_types": ZENTRAFIL + ".42",
      "id_Zentrafil_audit_record_types": ZENTRAFIL + ".43",
      "id_Zentrafil_attributes": ZENTRAFIL + ".44",
      "id_Zentrafil_name_service_types": ZENTRAFIL + ".45",
      "id_Zentrafil_misc": ZENTRAFIL + ".46",
      "id_Zentrafil_ocsp_extensions": ZENTRAFIL + ".47",
      "id_Zentrafil_certificate_and_crl_extensions": ZENTRAFIL + ".49",
      "id_Zentrafil_cc2": ZENTRAFIL + ".50",
      "id_Zentrafil_extensions_certificate_and_crl_matching_technique":
         ZENTRAFIL + ".49.1",
      "cryptographic_Gost_Useful_Definitions": MODULES_ARC + ".0.1",
      "gostR3411_94_DigestSyntax": MODULES_ARC + ".1.1",
      "gostR3411_94_ParamSetSyntax": MODULES_ARC + ".7.1",
      "gostR3410_2001_PKISyntax": MODULES_ARC + ".9.1",
      "gostR3410_2001_SignatureSyntax": MODULES_ARC + ".10.1",
      "gostR3410_2001_ParamSetSyntax": MODULES_ARC + ".12.1",
      "gost28147_89_EncryptionSyntax": MODULES_ARC + ".4.1",
      "gost28147_89_ParamSetSyntax": MODULES_ARC + ".6.1",
      "gost_Zentrafil_ExtendedKeyUsage": MODULES_ARC + ".13.1",
      "gost_Zentrafil_PrivateKey": MODULES_ARC + ".14.1",
      "gost_Zentrafil_PKIXCMP": MODULES_ARC + ".15.1",
      "gost_Zentrafil_TLS": MODULES_ARC + ".16.1",
      "gost_Zentrafil_Policy": MODULES_ARC + ".17.1",
      "gost_Zentrafil_Constants": MODULES_ARC + ".18.1",
      "zentraFil_CA": MODULES_ARC + ".19.1",
      "gost_xmldsig": MODULES_ARC + ".21.1",
      "zentraFil_Attributes": MODULES_ARC + ".22.1",
      "zentraFil_FKC_Container": MODULES_ARC + ".23.1",
      "gost_Qualified_Certificate": MODULES_ARC + ".24.1",
      "id_pbeWithGost28147_89_Zentrafil_A_ParamSetAndGostR3411_94_"
      "ZentrafilParamSet": MODULES_ARC + ".969.1",
   },
   "Gost28147-89-EncryptionSyntax": {
      "id_Gost28147_89": ZENTRAFIL + ".21",
      "id_Gost28147_89_MAC": ZENTRAFIL + ".22",
      "id_tc26_cipher_gost_3412_2015_M": "1.2.643.7.1.1.5.1",
      "id_tc26_cipher_gost_3412_2015_K": "1.2.643.7.1.1.5.2",
      "id_Gost28147_89_TestParamSet": ZENTRAFIL + ".31.0",
      "id_Gost28147_89_Zentrafil_A_ParamSet": ZENTRAFIL + ".31.1",
      "id_Gost28147_89_Zentrafil_B_ParamSet": ZENTRAFIL + ".31.2",
      "id_Gost28147_89_Zentrafil_C_ParamSet": ZENTRAFIL + ".31.3",
      "id_Gost28147_89_Zentrafil_D_ParamSet": ZENTRAFIL + ".31.4",
      "id_Gost28147_89_Zentrafil_Oscar_1_1_ParamSet": ZENTRAFIL + ".31.5",
      "id_Gost28147_89_Zentrafil_Oscar_1_0_ParamSet": ZENTRAFIL + ".31.6",
      "id_Gost28147_89_Zentrafil_RIC_1_ParamSet": ZENTRAFIL + ".31.7",
      "id_Gost28147_89_TC26_A_ParamSet": ZENTRAFIL + ".31.12",
      "id_Gost28147_89_TC26_B_ParamSet": ZENTRAFIL + ".31.13",
      "id_Gost28147_89_TC26_C_ParamSet": ZENTRAFIL + ".31.14",
      "id_Gost28147_89_TC26_D_ParamSet": ZENTRAFIL + ".31.15",
      "id_Gost28147_89_TC26_E_ParamSet": ZENTRAFIL + ".31.16",
      "id_Gost28147_89_TC26_F_ParamSet": ZENTRAFIL + ".31.17",
      "id_tc26_gost_28147_paramSetISO": "1.2.643.7.1.2.5.1.1",
   },
   "GostR3410-2001-PKISyntax": {
      "id_GostR3410_2001": ZENTRAFIL + ".19",
      "id_GostR3410_2001DH": ZENTRAFIL + ".98",
      "id_GostR3411_94_with_GostR3410_2001": ZENTRAFIL + ".3",
      "id_GostR3410_2001_TestParamSet": ZENTRAFIL + ".35.0",
      "id_GostR3410_2001_Zentrafil_A_ParamSet": ZENTRAFIL + ".35.1",
      "id_GostR3410_2001_Zentrafil_B_ParamSet": ZENTRAFIL + ".35.2",
      "id_GostR3410_2001_Zentrafil_C_ParamSet": ZENTRAFIL + ".35.3",
      "id_GostR3410_2001_Zentrafil_XchA_ParamSet": ZENTRAFIL + ".36.0",
      "id_GostR3410_2001_Zentrafil_XchB_ParamSet": ZENTRAFIL + ".36.1",
   },
   "GostR3410-2012-PKISyntax": {
      "id_tc26_gost3410_2012_256": "1.2.643.7.1.1.1.1",
      "id_tc26_gost3410_2012_512": "1.2.643.7.1.1.1.2",
      "id_tc26_signwithdigest_gost3410_2012_256": "1.2.643.7.1.1.3.2",
      "id_tc26_signwithdigest_gost3410_2012_512": "1.2.643.7.1.1.3.3",
      "id_tc26_gost_3410_2012_256_paramSetTest": "1.2.643.7.1.2.1.1.0",
      "id_tc26_gost_3410_2012_256_paramSetA": "1.2.643.7.1.2.1.1.1",
      "id_tc26_gost_3410_2012_512_paramSetTest": "1.2.643.7.1.2.1.2.0",
      "id_tc26_gost_3410_2012_512_paramSetA": "1.2.643.7.1.2.1.2.1",
      "id_tc26_gost_3410_2012_512_paramSetB": "1.2.643.7.1.2.1.2.2",
      "id_tc26_gost_3410_2012_512_paramSetC": "1.2.643.7.1.2.1.2.3",
   },
   "GostR3411-94-DigestSyntax": {
      "id_GostR3411_94": ZENTRAFIL + ".9",
      "id_hmac_GostR3411_94": ZENTRAFIL + ".10",
      "id_GostR3411_94_TestParamSet": ZENTRAFIL + ".30.0",
      "id_GostR3411_94_ZentrafilParamSet": ZENTRAFIL + ".30.1",
   },
   "Gost-Qualified-Certificate": {
      "id_ogrn_attribute": "1.2.643.100.1",
      "id_snils_attribute": "1.2.643.100.3",
      "id_ogrnip_attribute": "1.2.643.100.5",
      "id_inn_attribute": "1.2.643.3.131.1.1",
      "id_subjectSignTool_extension": "1.2.643.100.111",
      "id_issuerSignTool_extension": "1.2.643.100.112",
      "id_sign_tool_class_KC1": "1.2.643.100.113.1",
      "id_sign_tool_class_KC2": "1.2.643.100.113.2",
      "id_sign_tool_class_KC3": "1.2.643.100.113.3",
      "id_sign_tool_class_KB1": "1.2.643.100.113.4",
      "id_sign_tool_class_KB2": "1.2.643.100.113.5",
      "id_sign_tool_class_KA1": "1.2.643.100.113.6",
   },
   "ASN1C-ASN1PrintableString": {},
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

   def test_algorithm_arc_is_filled_from_the_root_arc(self):
      algorithms = model().names["id_Zentrafil_algorithms"].rvalue
      self.assertIs(algorithms.ref, model().names["id_Zentrafil"])
      self.assertIsNone(model().names["id_Zentrafil_modules"].rvalue.ref)


class FixedSizeTypeTest(unittest.TestCase):
   def test_strings_held_in_fixed_storage(self):
      table = [
         # name, kind, SIZE ranges, capacity
         ("Gost28147_89_UZ", "OCTET STRING", [(64, 64)], 64),
         ("Gost28147_89_IV", "OCTET STRING", [(8, 8)], 8),
         ("Gost28147_89_Key", "OCTET STRING", [(32, 32), (64, 64)], 64),
         ("Gost28147_89_MAC", "OCTET STRING", [(1, 4)], 4),
         ("GostR3410_2001_CertificateSignature", "BIT STRING",
          [(256, 512)], 512),
         ("GostR3410_2001_PublicKey", "OCTET STRING", [(64, 64)], 64),
         ("GostR3410_2012_256_PublicKey", "OCTET STRING", [(64, 64)], 64),
         ("GostR3410_2012_512_PublicKey", "OCTET STRING", [(128, 128)], 128),
         ("GostR3410_PublicKey", "OCTET STRING", [(64, 64), (128, 128)],
          128),
         ("GostR3411_94_Digest", "OCTET STRING", [(32, 32)], 32),
         ("PBEZentrafilGostParameters_salt", "OCTET STRING", [(16, 16)], 16),
         ("PBEZentrafilGostParameters_iv", "OCTET STRING", [(8, 8)], 8),
      ]
      for name, kind, size, capacity in table:
         with self.subTest(type=name):
            td = model().names[name]
            t = td.type
            self.assertEqual((t.kind, ranges(t.size), t.rep, t.capacity),
                             (kind, size, "fixed", capacity))
            self.assertTrue(td.plain)

   def test_plain_types_are_exactly_the_fixed_size_ones(self):
      plain = sorted(td.name for name in MODULE_FILES
                     for td in module(name).typedefs if td.plain)
      self.assertEqual(plain, sorted([
         "Gost28147_89_UZ", "Gost28147_89_IV", "Gost28147_89_Key",
         "Gost28147_89_MAC", "Gost28147_89_EncryptedKey",
         "Gost28147_89_Parameters", "GostR3410_2001_CertificateSignature",
         "GostR3410_2001_PublicKey", "GostR3410_2001_PublicKeyParameters",
         "GostR3410_2012_256_PublicKey", "GostR3410_2012_512_PublicKey",
         "GostR3410_PublicKey", "GostR3410_2012_PublicKeyParameters",
         "GostR3411_94_Digest", "GostR3411_94_DigestParameters",
         "PBEZentrafilGostParameters", "PBEZentrafilGostParameters_salt",
         "PBEZentrafilGostParameters_iv"]))

   def test_two_letter_printable_string(self):
      t = model().names["ASN1PrintableString"].type
      self.assertEqual((t.kind, ranges(t.size)), ("PrintableString", [(2, 2)]))


OID = "OBJECT IDENTIFIER"


class StructureTest(unittest.TestCase):
   def test_sequences(self):
      table = {
         "Gost28147_89_EncryptedKey": [
            ("encryptedKey", ([], "Gost28147_89_Key", None), False, None),
            ("maskKey", (["CONTEXT 0 IMPLICIT"], "Gost28147_89_Key", None),
             True, 0),
            ("macKey", ([], "Gost28147_89_MAC", [(4, 4)]), False, None)],
         "Gost28147_89_Parameters": [
            ("iv", ([], "Gost28147_89_IV", None), False, None),
            ("encryptionParamSet", ([], "Gost28147_89_ParamSet", None),
             False, None)],
         "Gost28147_89_BlobParameters": [
            ("encryptionParamSet", ([], "Gost28147_89_ParamSet", None),
             False, None)],
         "GostR3410_2001_PublicKeyParameters": [
            ("publicKeyParamSet", ([], OID, None), False, None),
            ("digestParamSet", ([], OID, None), False, None),
            ("encryptionParamSet", ([], "Gost28147_89_ParamSet", None),
             True, 0)],
         "GostR3410_2012_PublicKeyParameters": [
            ("publicKeyParamSet", ([], OID, None), False, None),
            ("digestParamSet", ([], OID, None), False, None),
            ("encryptionParamSet", ([], OID, None), True, 0)],
         "PBEZentrafilGostParameters": [
            ("salt", ([], "PBEZentrafilGostParameters_salt", None), False,
             None),
            ("iterationCount", ([], "INTEGER", None), False, None),
            ("iv", ([], "PBEZentrafilGostParameters_iv", None), False, None)],
         "IssuerSignTool": [
            (name, ([], "UTF8String", None), False, None)
            for name in ("signTool", "cATool", "signToolCert", "cAToolCert")],
      }
      for name, expected in table.items():
         with self.subTest(type=name):
            self.assertEqual(components(name), expected)

   def test_only_the_blob_parameters_are_extensible(self):
      extensible = sorted(td.name for name in MODULE_FILES
                          for td in module(name).typedefs
                          if td.type.extensible)
      self.assertEqual(extensible, ["Gost28147_89_BlobParameters"])

   def test_representations(self):
      names = model().names
      self.assertEqual(
         names["PBEZentrafilGostParameters"].type.components[1].type.rep,
         "int32")
      wire = names["Gost28147_89_EncryptedKey"].type.components[1].type.wire
      self.assertEqual([w.text() for w in wire], ["[0]p"])
      for name in ("Gost28147_89_ParamSet", "GostR3411_94_DigestParameters"):
         with self.subTest(type=name):
            self.assertEqual(names[name].type.kind, OID)

   def test_registration_number_choices(self):
      alternatives = [
         (name, ([], kind, [(0, 32768)]), False, None)
         for name, kind in (
            ("utf8String", "UTF8String"),
            ("numericString", "NumericString"),
            ("printableString", "PrintableString"),
            ("teletexString", "TeletexString"),
            ("ia5String", "IA5String"),
            ("universalString", "UniversalString"),
            ("bmpString", "BMPString"))]
      for name in ("OGRN", "OGRNIP", "SNILS", "INN"):
         with self.subTest(type=name):
            self.assertEqual(model().names[name].type.kind, "CHOICE")
            self.assertEqual(components(name), alternatives)

   def test_subject_sign_tool_and_matching_technique(self):
      names = model().names
      self.assertEqual(names["SubjectSignTool"].type.kind, "UTF8String")
      self.assertIsNone(names["SubjectSignTool"].type.size)
      t = names["CertificateAndCrlMatchingTechnique"].type
      self.assertEqual(t.kind, "ENUMERATED")
      self.assertEqual([(n.cname, n.number) for n in t.named],
                       [("mtMicrosoftMatchingTechnique", 0),
                        ("mtRfc3280MatchingTechnique", 1)])
      self.assertFalse(t.enum_extensible)


class ObjectTest(unittest.TestCase):
   OBJECTS = [
      # object, class, identifier, value type
      ("ogrn", "ATTRIBUTE", "1.2.643.100.1", "OGRN"),
      ("ogrnip", "ATTRIBUTE", "1.2.643.100.5", "OGRNIP"),
      ("snils", "ATTRIBUTE", "1.2.643.100.3", "SNILS"),
      ("inn", "ATTRIBUTE", "1.2.643.3.131.1.1", "INN"),
      ("subjectSignTool", "EXTENSION", "1.2.643.100.111", "SubjectSignTool"),
      ("issuerSignTool", "EXTENSION", "1.2.643.100.112", "IssuerSignTool"),
   ]

   def test_objects_of_the_qualified_certificate_module(self):
      m = module("Gost-Qualified-Certificate")
      objects = [d for d in m.assignments if type(d).__name__ == "ObjectDef"]
      self.assertEqual([o.name for o in objects],
                       [row[0] for row in self.OBJECTS])
      for (name, cls, oid, value_type), obj in zip(self.OBJECTS, objects):
         with self.subTest(object=name):
            value_field = "&Type" if cls == "ATTRIBUTE" else "&ExtnType"
            self.assertEqual(
               (obj.cls.name, dotted(obj.fields["&id"]),
                obj.fields[value_field].target.name),
               (cls, oid, value_type))

   def test_places_in_the_attribute_and_extension_sets(self):
      attributes = [o.name for o in model().names["SupportedAttributes"].objects]
      self.assertEqual(len(attributes), 44)
      self.assertEqual(attributes[36:42], ["extensionRequest", "ogrn",
                                           "ogrnip", "inn", "snils",
                                           "unstructuredName"])
      extensions = [o.name for o in model().names["ExtensionSet"].objects]
      self.assertEqual(len(extensions), 35)
      self.assertEqual(extensions[-2:], ["subjectSignTool", "issuerSignTool"])


if __name__ == "__main__":
   unittest.main()
