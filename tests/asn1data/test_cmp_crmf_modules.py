"""The certificate management modules (the CMP messages, the request
message format and the Zentrafil additions), as the compiler resolves them
from asn1data/ together with the whole catalogue."""

import os
import unittest

from .catalogue import model, module  # noqa: F401

CMP = "PKIXCMP"

CRMF = "PKIXCRMF"

ZF = "ZFPKIXCMP"


def named(name):
   return model().names[name]


def dotted(rvalue):
   return ".".join(str(arc.number) for arc in rvalue.data)


def describe(t):
   """Tags with their mode, the base name or kind, and the representation
   where one applies."""
   base = t.target.name if t.kind == "REFERENCE" else t.kind
   tags = ["[%d] %s" % (tag.number, "EXPLICIT" if tag.explicit
                        else "IMPLICIT") for tag in t.tags]
   return " ".join(tags + [base] + ([t.rep] if t.rep else []))


def components(name):
   return [(c.cname, describe(c.type), c.optional)
           for c in named(name).type.components]


def lower_bound(name):
   size = named(name).type.size
   return None if size is None else size.ranges


CMP_TYPES = """
   CertificationRequest CertificationRequest_certificationRequestInfo
   CertificationRequest_certificationRequestInfo_subjectPublicKeyInfo
   _SetOfAttribute
   PKIMessage PKIMessage_extraCerts PKIHeader PKIHeader_pvno
   PKIHeader_generalInfo PKIBody PKIProtection ProtectedPart
   PasswordBasedMac DHBasedMac DHBMParameter NestedMessageContent PKIStatus
   PKIFailureInfo PKIStatusInfo OOBCert OOBCertHash POPODecKeyChallContent
   Challenge POPODecKeyRespContent CertRepMessage CertRepMessage_caPubs
   _SeqOfCertResponse CertResponse CertifiedKeyPair CertOrEncCert
   KeyRecRepContent KeyRecRepContent_caCerts KeyRecRepContent_keyPairHist
   RevReqContent RevDetails RevRepContent RevRepContent_status
   RevRepContent_revCerts RevRepContent_crls CAKeyUpdAnnContent
   CertAnnContent RevAnnContent CRLAnnContent PKIConfirmContent_
   InfoTypeAndValue GenMsgContent GenRepContent ErrorMsgContent
   _itSignKeyPairTypes_Type _itEncKeyPairTypes_Type
""".split()

CRMF_TYPES = """
   CertReqMessages CertReqMsg CertReqMsg_regInfo CertRequest CertTemplate
   OptionalValidity Controls ProofOfPossession POPOSigningKey
   POPOSigningKeyInput POPOSigningKeyInput_authInfo PKMACValue PBMParameter
   POPOPrivKey SubsequentMessage RegToken Authenticator PKIPublicationInfo
   PKIPublicationInfo_pubInfos SinglePubInfo PKIArchiveOptions EncryptedPKey
   EncryptedValue KeyGenParameters OldCertId CertId ProtocolEncrKey
   UTF8Pairs CertReq
""".split()

ZF_TYPES = """
   PKIFreeText PKIAuditType PKIAudit ChangeNameReq
   _itZentrafilOrganization_Type _itZentrafilPolicy_Type
   _itZentrafilOfficial_Type _itZentrafilCertificate_Type
""".split()

CMP_VALUES = {
   "id_it": "1.3.6.1.5.5.7.4",
   "id_it_CAProtEncCert": "1.3.6.1.5.5.7.4.1",
   "id_it_SignKeyPairTypes": "1.3.6.1.5.5.7.4.2",
   "id_it_EncKeyPairTypes": "1.3.6.1.5.5.7.4.3",
   "id_it_PreferredSymmAlg": "1.3.6.1.5.5.7.4.4",
   "id_it_CAKeyUpdateInfo": "1.3.6.1.5.5.7.4.5",
   "id_it_CurrentCRL": "1.3.6.1.5.5.7.4.6",
}

CRMF_VALUES = {
   "id_pkip": "1.3.6.1.5.5.7.5",
   "id_regCtrl": "1.3.6.1.5.5.7.5.1",
   "id_regCtrl_regToken": "1.3.6.1.5.5.7.5.1.1",
   "id_regCtrl_authenticator": "1.3.6.1.5.5.7.5.1.2",
   "id_regCtrl_pkiPublicationInfo": "1.3.6.1.5.5.7.5.1.3",
   "id_regCtrl_pkiArchiveOptions": "1.3.6.1.5.5.7.5.1.4",
   "id_regCtrl_oldCertID": "1.3.6.1.5.5.7.5.1.5",
   "id_regCtrl_protocolEncrKey": "1.3.6.1.5.5.7.5.1.6",
   "id_regInfo": "1.3.6.1.5.5.7.5.2",
   "id_regInfo_utf8Pairs": "1.3.6.1.5.5.7.5.2.1",
   "id_regInfo_certReq": "1.3.6.1.5.5.7.5.2.2",
}

ZF_VALUES = {
   "id_Zentrafil_it_PKIAudit": "1.2.643.2.2.41.1",
   "id_Zentrafil_it_GetMessage": "1.2.643.2.2.41.2",
   "id_Zentrafil_it_GetMessages": "1.2.643.2.2.41.3",
   "id_Zentrafil_it_ResumeCertificate": "1.2.643.2.2.41.4",
   "id_Zentrafil_it_ChangeNameReq": "1.2.643.2.2.41.5",
   "id_Zentrafil_it_DeleteCustomer": "1.2.643.2.2.41.6",
   "id_Zentrafil_it_ResumeCertificateReply": "1.2.643.2.2.41.7",
   "id_Zentrafil_it_Organization": "1.2.643.2.2.41.8",
   "id_Zentrafil_it_Policy": "1.2.643.2.2.41.10",
   "id_Zentrafil_it_Official": "1.2.643.2.2.41.11",
   "id_Zentrafil_it_Certificate": "1.2.643.2.2.41.12",
}

SUPPORTED_INFOS = [
   ("itCAProtEncCert", "1.3.6.1.5.5.7.4.1", "Certificate"),
   ("itSignKeyPairTypes", "1.3.6.1.5.5.7.4.2", "_itSignKeyPairTypes_Type"),
   ("itEncKeyPairTypes", "1.3.6.1.5.5.7.4.3", "_itEncKeyPairTypes_Type"),
   ("itPreferredSymmAlg", "1.3.6.1.5.5.7.4.4", "AlgorithmIdentifier"),
   ("itCAKeyUpdateInfo", "1.3.6.1.5.5.7.4.5", "CAKeyUpdAnnContent"),
   ("itCurrentCRL", "1.3.6.1.5.5.7.4.6", "CertificateList"),
   ("itPKIAudit", "1.2.643.2.2.41.1", "PKIAudit"),
   ("itChangeNameReq", "1.2.643.2.2.41.5", "ChangeNameReq"),
   ("itResumeCertificate", "1.2.643.2.2.41.4", "RevDetails"),
   ("itGetMessage", "1.2.643.2.2.41.2", None),
   ("itGetMessages", "1.2.643.2.2.41.3", None),
   ("itDeleteCustomer", "1.2.643.2.2.41.6", "ChangeNameReq"),
   ("itResumeCertificateReply", "1.2.643.2.2.41.7", "RevRepContent"),
   ("itZentrafilOrganization", "1.2.643.2.2.41.8",
    "_itZentrafilOrganization_Type"),
   ("itZentrafilPolicy", "1.2.643.2.2.41.10", "_itZentrafilPolicy_Type"),
   ("itZentrafilOfficial", "1.2.643.2.2.41.11",
    "_itZentrafilOfficial_Type"),
   ("itZentrafilCertificate", "1.2.643.2.2.41.12",
    "_itZentrafilCertificate_Type"),
]


class ModuleTest(unittest.TestCase):
   def test_files_and_tagging(self):
      for name, file, tagging in ((CMP, "PKIXCMP.asn", "EXPLICIT"),
                                  (CRMF, "PKIXCRMF.asn", "IMPLICIT"),
                                  (ZF, "ZFPKIXCMP.asn", "EXPLICIT")):
         with self.subTest(module=name):
            m = module(name)
            self.assertEqual(os.path.basename(m.file), file)
            self.assertEqual(m.tag_default, tagging)

   def test_exact_type_names(self):
      for name, expected in ((CMP, CMP_TYPES), (CRMF, CRMF_TYPES),
                             (ZF, ZF_TYPES)):
         with self.subTest(module=name):
            self.assertEqual(sorted(td.name for td in module(name).typedefs),
                             sorted(expected))

   def test_exact_object_identifier_values(self):
      for name, expected in ((CMP, CMP_VALUES), (CRMF, CRMF_VALUES),
                             (ZF, ZF_VALUES)):
         with self.subTest(module=name):
            values = [d for d in module(name).assignments
                      if type(d).__name__ == "ValueDef"]
            self.assertEqual({v.name: dotted(v.rvalue) for v in values},
                             expected)


class SupportedInfosTest(unittest.TestCase):
   def test_objects_in_search_order(self):
      s = named("SupportedInfos")
      self.assertEqual(s.cls.name, "INFOTYPEANDVALUE")
      self.assertIs(s.module, module(CMP))
      rows = []
      for o in s.objects:
         t = o.fields.get("&Type")
         rows.append((o.name, dotted(o.fields["&id"]),
                      None if t is None else t.target.name))
      self.assertEqual(rows, SUPPORTED_INFOS)

   def test_generated_value_types(self):
      for name in ("_itSignKeyPairTypes_Type", "_itEncKeyPairTypes_Type"):
         with self.subTest(type=name):
            t = named(name).type
            self.assertEqual((t.kind, t.rep, t.element.target.name),
                             ("SEQUENCE OF", "list", "AlgorithmIdentifier"))
      for name in ("_itZentrafilOrganization_Type", "_itZentrafilPolicy_Type",
                   "_itZentrafilOfficial_Type",
                   "_itZentrafilCertificate_Type"):
         with self.subTest(type=name):
            self.assertEqual(named(name).type.kind, "OCTET STRING")
            self.assertIs(named(name).module, module(ZF))

   def test_info_type_and_value_is_table_constrained(self):
      td = named("InfoTypeAndValue")
      self.assertEqual(components("InfoTypeAndValue"), [
         ("infoType", "OBJECT IDENTIFIER", False),
         ("infoValue", "OPEN", True)])
      table = td.type.components[1].type.table
      self.assertIs(table.object_set, named("SupportedInfos"))
      self.assertIs(table.key_owner, td)
      self.assertEqual([c.cname for c in table.key_path], ["infoType"])


class CmpTypeTest(unittest.TestCase):
   def test_message_and_header(self):
      self.assertEqual(components("PKIMessage"), [
         ("header", "PKIHeader", False),
         ("body", "PKIBody", False),
         ("protection", "[0] EXPLICIT PKIProtection", True),
         ("extraCerts", "PKIMessage_extraCerts", True)])
      self.assertEqual(components("PKIHeader"), [
         ("pvno", "PKIHeader_pvno", False),
         ("sender", "GeneralName", False),
         ("recipient", "GeneralName", False),
         ("messageTime", "[0] EXPLICIT GeneralizedTime", True),
         ("protectionAlg", "[1] EXPLICIT AlgorithmIdentifier", True),
         ("senderKID", "[2] EXPLICIT KeyIdentifier", True),
         ("recipKID", "[3] EXPLICIT KeyIdentifier", True),
         ("transactionID", "[4] EXPLICIT OCTET STRING dynamic", True),
         ("senderNonce", "[5] EXPLICIT OCTET STRING dynamic", True),
         ("recipNonce", "[6] EXPLICIT OCTET STRING dynamic", True),
         ("freeText", "[7] EXPLICIT PKIFreeText", True),
         ("generalInfo", "PKIHeader_generalInfo", True)])
      pvno = named("PKIHeader_pvno").type
      self.assertEqual((pvno.rep, [(n.cname, n.number) for n in pvno.named]),
                       ("uint32", [("ietf_version2", 1)]))

   def test_tagged_lists_carry_their_tag(self):
      for name, tag, element in (
            ("PKIMessage_extraCerts", "[1] EXPLICIT", "Certificate"),
            ("PKIHeader_generalInfo", "[8] EXPLICIT", "InfoTypeAndValue"),
            ("CertRepMessage_caPubs", "[1] EXPLICIT", "Certificate"),
            ("KeyRecRepContent_caCerts", "[1] EXPLICIT", "Certificate"),
            ("KeyRecRepContent_keyPairHist", "[2] EXPLICIT",
             "CertifiedKeyPair"),
            ("RevRepContent_status", "", "PKIStatusInfo"),
            ("RevRepContent_revCerts", "[0] EXPLICIT", "CertId"),
            ("RevRepContent_crls", "[1] EXPLICIT", "CertificateList")):
         with self.subTest(type=name):
            t = named(name).type
            self.assertEqual(describe(t), " ".join(
               filter(None, [tag, "SEQUENCE OF list"])))
            self.assertEqual(t.element.target.name, element)
            self.assertEqual(lower_bound(name), [(1, None)])

   def test_body_has_24_explicit_alternatives_in_order(self):
      expected = """
         ir:CertReqMessages ip:CertRepMessage cr:CertReqMessages
         cp:CertRepMessage p10cr:CertificationRequest
         popdecc:POPODecKeyChallContent popdecr:POPODecKeyRespContent
         kur:CertReqMessages kup:CertRepMessage krr:CertReqMessages
         krp:KeyRecRepContent rr:RevReqContent rp:RevRepContent
         ccr:CertReqMessages ccp:CertRepMessage ckuann:CAKeyUpdAnnContent
         cann:CertAnnContent rann:RevAnnContent crlann:CRLAnnContent
         conf:PKIConfirmContent_ nested:NestedMessageContent
         genm:GenMsgContent genp:GenRepContent error:ErrorMsgContent
      """.split()
      self.assertEqual(components("PKIBody"), [
         (alt.split(":")[0], "[%d] EXPLICIT %s" % (n, alt.split(":")[1]),
          False) for n, alt in enumerate(expected)])

   def test_status_types(self):
      status = named("PKIStatus").type
      self.assertEqual(status.rep, "uint32")
      self.assertEqual([(n.cname, n.number) for n in status.named], [
         ("granted", 0), ("grantedWithMods", 1), ("rejection", 2),
         ("waiting", 3), ("revocationWarning", 4),
         ("revocationNotification", 5), ("keyUpdateWarning", 6)])
      fail = named("PKIFailureInfo")
      self.assertEqual((fail.type.kind, fail.type.rep, fail.type.capacity,
                        fail.plain, fail.type.named),
                       ("BIT STRING", "fixed", 26, True, []))
      self.assertEqual(components("PKIStatusInfo"), [
         ("status", "PKIStatus", False),
         ("statusString", "PKIFreeText", True),
         ("failInfo", "PKIFailureInfo", True)])

   def test_responses_and_revocation(self):
      self.assertEqual(components("CertRepMessage"), [
         ("caPubs", "CertRepMessage_caPubs", True),
         ("response", "_SeqOfCertResponse", False)])
      self.assertEqual(components("CertifiedKeyPair"), [
         ("certOrEncCert", "CertOrEncCert", False),
         ("privateKey", "[0] EXPLICIT EncryptedValue", True),
         ("publicationInfo", "[1] EXPLICIT PKIPublicationInfo", True)])
      self.assertEqual(components("RevDetails"), [
         ("certDetails", "CertTemplate", False),
         ("revocationReason", "ReasonFlags", True),
         ("badSinceDate", "GeneralizedTime", True),
         ("crlEntryDetails", "Extensions", True)])
      self.assertEqual(components("ErrorMsgContent"), [
         ("pKIStatusInfo", "PKIStatusInfo", False),
         ("errorCode", "INTEGER int32", True),
         ("errorDetails", "PKIFreeText", True)])
      self.assertEqual(named("PKIConfirmContent_").type.kind, "NULL")
      self.assertIs(named("NestedMessageContent").type.target,
                    named("PKIMessage"))
      self.assertEqual(named("POPODecKeyRespContent").type.rep, "array")


class CrmfTypeTest(unittest.TestCase):
   def test_cert_template_tags(self):
      # Name is a CHOICE: its context tags stay explicit in this IMPLICIT
      # module.
      self.assertEqual(components("CertTemplate"), [
         ("version", "[0] IMPLICIT Version", True),
         ("serialNumber", "[1] IMPLICIT INTEGER bigint", True),
         ("signingAlg", "[2] IMPLICIT AlgorithmIdentifier", True),
         ("issuer", "[3] EXPLICIT Name", True),
         ("validity", "[4] IMPLICIT OptionalValidity", True),
         ("subject", "[5] EXPLICIT Name", True),
         ("publicKey", "[6] IMPLICIT SubjectPublicKeyInfo", True),
         ("issuerUID", "[7] IMPLICIT UniqueIdentifier", True),
         ("subjectUID", "[8] IMPLICIT UniqueIdentifier", True),
         ("extensions", "[9] IMPLICIT Extensions", True)])
      self.assertEqual(components("OptionalValidity"), [
         ("notBefore", "[0] EXPLICIT Time", True),
         ("notAfter", "[1] EXPLICIT Time", True)])

   def test_proof_of_possession(self):
      self.assertEqual(components("ProofOfPossession"), [
         ("raVerified", "[0] IMPLICIT NULL", False),
         ("signature", "[1] IMPLICIT POPOSigningKey", False),
         ("keyEncipherment", "[2] EXPLICIT POPOPrivKey", False),
         ("keyAgreement", "[3] EXPLICIT POPOPrivKey", False)])
      self.assertEqual(components("POPOSigningKeyInput_authInfo"), [
         ("publicKeyMAC", "PKMACValue", False),
         ("sender", "[0] EXPLICIT GeneralName", False)])
      self.assertEqual(components("POPOPrivKey"), [
         ("thisMessage", "[0] IMPLICIT BIT STRING dynamic", False),
         ("subsequentMessage", "[1] IMPLICIT SubsequentMessage", False),
         ("dhMAC", "[2] IMPLICIT BIT STRING dynamic", False)])

   def test_archive_options_and_encrypted_values(self):
      self.assertEqual(components("PKIArchiveOptions"), [
         ("encryptedPrivKey", "[0] EXPLICIT EncryptedPKey", False),
         ("keyGenParameters", "[1] IMPLICIT KeyGenParameters", False),
         ("archiveRemGenPrivKey", "[2] IMPLICIT BOOLEAN", False)])
      self.assertEqual(components("EncryptedPKey"), [
         ("encryptedValue", "EncryptedValue", False),
         ("envelopedData", "[0] IMPLICIT EnvelopedData", False)])
      self.assertEqual(components("EncryptedValue"), [
         ("intendedAlg", "[0] IMPLICIT AlgorithmIdentifier", True),
         ("symmAlg", "[1] IMPLICIT AlgorithmIdentifier", True),
         ("encSymmKey", "[2] IMPLICIT BIT STRING dynamic", True),
         ("keyAlg", "[3] IMPLICIT AlgorithmIdentifier", True),
         ("valueHint", "[4] IMPLICIT OCTET STRING dynamic", True),
         ("encValue", "BIT STRING dynamic", False)])

   def test_numbers_and_lists(self):
      self.assertEqual(named("SubsequentMessage").type.rep, "uint32")
      self.assertEqual(named("SubsequentMessage").type.named, [])
      self.assertEqual(components("PKIPublicationInfo"), [
         ("action", "INTEGER uint32", False),
         ("pubInfos", "PKIPublicationInfo_pubInfos", True)])
      self.assertEqual(components("SinglePubInfo"), [
         ("pubMethod", "INTEGER uint32", False),
         ("pubLocation", "GeneralName", True)])
      self.assertEqual(components("CertId"), [
         ("issuer", "GeneralName", False),
         ("serialNumber", "INTEGER bigint", False)])
      for name, element in (("CertReqMessages", "CertReqMsg"),
                            ("CertReqMsg_regInfo", "AttributeTypeAndValue"),
                            ("Controls", "AttributeTypeAndValue"),
                            ("PKIPublicationInfo_pubInfos", "SinglePubInfo")):
         with self.subTest(type=name):
            t = named(name).type
            self.assertEqual((t.kind, t.rep, t.element.target.name),
                             ("SEQUENCE OF", "list", element))
            self.assertEqual(lower_bound(name), [(1, None)])


class ZentrafilTypeTest(unittest.TestCase):
   def test_free_text_is_a_counted_array(self):
      t = named("PKIFreeText").type
      self.assertEqual((t.kind, t.rep, t.element.kind, t.size.ranges),
                       ("SEQUENCE OF", "array", "UTF8String", [(1, None)]))

   def test_audit_record(self):
      audit = named("PKIAudit")
      self.assertTrue(audit.plain)
      self.assertEqual(
         [(c.cname, describe(c.type), c.default_mode, c.presence_bit)
          for c in audit.type.components], [
            ("type", "PKIAuditType", None, None),
            ("session", "INTEGER int32", None, None),
            ("counter", "INTEGER int32", None, None),
            ("success", "BOOLEAN", "value", None)])
      kinds = named("PKIAuditType").type
      self.assertEqual([n.number for n in kinds.named], list(range(31)))
      self.assertEqual(
         [kinds.named[i].cname for i in (0, 9, 15, 30)],
         ["unspecified", "startSession", "startSessionNewPin",
          "deleteCertificate"])

   def test_change_name_request(self):
      self.assertEqual(
         [(c.cname, describe(c.type), c.presence_bit)
          for c in named("ChangeNameReq").type.components], [
            ("subject", "Name", None),
            ("oldSubject", "Name", None),
            ("subjectAltName", "[0] IMPLICIT GeneralNames", 0),
            ("keyPhrase", "[1] IMPLICIT PKIFreeText", 1),
            ("additionalInfo", "[2] IMPLICIT PKIFreeText", 2)])


if __name__ == "__main__":
   unittest.main()
