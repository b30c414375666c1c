"""The back end: exact text of what is emitted for a small module (value
structures, functions, descriptors, control classes, information objects),
the faults of code generation, and the --out mode of the command line."""

import os
import tempfile
import unittest

from asn1gen_testlib import SourceDir, run_cli, load, ErrorList
from asn1gen.emit import generate, output_names

SMALL = """Small DEFINITIONS IMPLICIT TAGS ::= BEGIN
Version ::= INTEGER { v1(0), v2(1) }   --# uint32
Flags ::= BIT STRING { low(0), high(3) }   --# fixed, plain
Item ::= SEQUENCE {
   version [0] EXPLICIT Version DEFAULT v1,
   enabled BOOLEAN DEFAULT FALSE,
   name    UTF8String (SIZE (1..8)) OPTIONAL,
   flags   [1] Flags OPTIONAL,
   ... }
Choice ::= CHOICE {
   number INTEGER,
   text   [0] IA5String,
   oid    [1] OBJECT IDENTIFIER,
   item   [2] Item }
Items ::= SEQUENCE SIZE (1..MAX) OF Item
Oids ::= SET OF OBJECT IDENTIFIER
Alias ::= Items
Nothing ::= NULL
Signature ::= BIT STRING
Audit ::= SEQUENCE {
   ok     BOOLEAN DEFAULT TRUE,
   note   IA5String OPTIONAL,
   serial INTEGER DEFAULT 1,   --# bigint, true-default
   level  [0] INTEGER DEFAULT 3   --# uint32, true-default
}
Key ::= OCTET STRING (SIZE (32 | 64 | 100..MAX))
Code ::= PrintableString (SIZE (2))   --# xml-name PrintableString
Codes ::= SEQUENCE OF Code
Signed ::= SEQUENCE { toBeSigned ANY,   --# sequence
   signature Signature }
END
"""

OBJECTS = """Objects DEFINITIONS ::= BEGIN
ALGORITHM ::= CLASS {
   &id       OBJECT IDENTIFIER UNIQUE,
   &Type     OPTIONAL,
   &strength INTEGER DEFAULT 1
} WITH SYNTAX { OID &id [PARMS &Type] [STRENGTH &strength] }
Params ::= SEQUENCE { rounds INTEGER }
plain ALGORITHM ::= { OID { 1 2 3 } }
withParams ALGORITHM ::= { OID { 1 2 4 } PARMS Params STRENGTH 3 }
Supported ALGORITHM ::= { plain | withParams, ... }
AlgorithmIdentifier ::= SEQUENCE {
   algorithm  ALGORITHM.&id({Supported}),
   parameters ALGORITHM.&Type({Supported}{@algorithm}) OPTIONAL }
END
"""


def emit(files):
   """{generated file name: text} of module files given as name -> text."""
   d = SourceDir(files)
   try:
      return generate(load(d.paths), d.paths)
   finally:
      d.close()


def emit_errors(files):
   d = SourceDir(files)
   try:
      generate(load(d.paths), d.paths)
   except ErrorList as e:
      return [d.relative(str(err)) for err in e.errors]
   finally:
      d.close()
   raise AssertionError("code generation succeeded")


def block(text, first, last="};"):
   """The lines of `text` from the line `first` up to the line `last`."""
   lines = text.split("\n")
   start = lines.index(first)
   end = lines.index(last, start)
   return "\n".join(lines[start:end + 1])


class SmallModuleTest(unittest.TestCase):
   @classmethod
   def setUpClass(cls):
      cls.files = emit({"Small.asn": SMALL})
      cls.header = cls.files["Small.h"]
      cls.source = cls.files["Small.cpp"]

   def test_units_are_named_after_the_file(self):
      self.assertEqual(sorted(self.files), sorted(output_names("Small.asn")))
      self.assertEqual(output_names("dir/PKIXTSP.asn"),
                       ["PKIXTSP.h", "PKIXTSP.cpp", "PKIXTSPCopy.cpp",
                        "PKIXTSPTable.h", "PKIXTSPTable.cpp"])

   def test_sequence_with_presence_bits_defaults_and_extension(self):
      self.assertEqual(block(self.header, "struct ASN1T_Item : public ASN1TPDU {"),
                       """struct ASN1T_Item : public ASN1TPDU {
   struct {
      unsigned versionPresent : 1;
      unsigned namePresent : 1;
      unsigned flagsPresent : 1;
   } m;
   ASN1UINT version;
   ASN1BOOL enabled;
   const char* name;
   ASN1T_Flags flags;
   Asn1RTDList extElem1;

   ASN1T_Item() : m(), version(), enabled(), name(), flags(), extElem1() {}
   ASN1T_Item(ASN1C_Item& control);
   ~ASN1T_Item();
   ASN1T_Item(const ASN1T_Item&) = delete;
   ASN1T_Item& operator=(const ASN1T_Item&) = delete;
};""")

   def test_choice_holds_structures_and_identifiers_by_pointer(self):
      self.assertEqual(block(self.header, "   union {", "   } u;"), """   union {
      ASN1INT number;
      const char* text;
      ASN1OBJID* oid;
      ASN1T_Item* item;
   } u;""")

   def test_lists_arrays_and_plain_fixed_strings(self):
      self.assertEqual(block(self.header,
                             "struct ASN1T_Items : public ASN1TPDUSeqOfList {"),
                       """struct ASN1T_Items : public ASN1TPDUSeqOfList {
   ASN1T_Items() {}
   ASN1T_Items(ASN1C_Items& control);
   ~ASN1T_Items();
   ASN1T_Items(const ASN1T_Items&) = delete;
   ASN1T_Items& operator=(const ASN1T_Items&) = delete;
};""")
      self.assertIn("struct ASN1T_Oids : public asn1rt::CountedArray<ASN1OBJID>, "
                    "public ASN1TPDU {\n"
                    "   ASN1T_Oids() : asn1rt::CountedArray<ASN1OBJID>() {}\n",
                    self.header)
      self.assertEqual(block(self.header, "struct ASN1T_Flags {"), """struct ASN1T_Flags {
   ASN1UINT numbits;
   ASN1OCTET data[1];

   ASN1T_Flags() : numbits(), data() {}
   ASN1T_Flags(ASN1C_Flags& control);
};""")

   def test_primitive_types_named_numbers_and_aliases(self):
      self.assertEqual(block(self.header, "struct Version {"), """struct Version {
   enum {
      v1 = 0,
      v2 = 1,
   };
};""")
      self.assertIn("typedef ASN1UINT ASN1T_Version;\n"
                    "typedef ASN1T_Items ASN1T_Alias;\n", self.header)
      self.assertIn("int asn1XE_Version(ASN1CTXT* ctxt, ASN1T_Version value, "
                    "const char* elemName,\n"
                    "                   const char* attributes);", self.header)
      # A plain structure has no free routine; NULL has no value at all.
      self.assertIn("void asn1Copy_Flags(", self.header)
      self.assertNotIn("asn1Free_Flags", self.header)
      self.assertIn("int asn1E_Nothing_(ASN1CTXT* ctxt, ASN1TagType tagging);",
                    self.header)
      self.assertNotIn("ASN1T_Nothing_", self.header)

   def test_control_classes(self):
      self.assertEqual(block(self.header, "class ASN1C_Alias : public ASN1C_Items {"),
                       """class ASN1C_Alias : public ASN1C_Items {
public:
   ASN1C_Alias(ASN1MessageBufferIF& msgBuf, ASN1T_Alias& value)
      : ASN1C_Items(msgBuf, value) {
      setTypeDesc(asn1Desc_Alias);
   }
   explicit ASN1C_Alias(ASN1T_Alias& value)
      : ASN1C_Items(value) {
      setTypeDesc(asn1Desc_Alias);
   }
   ASN1C_Alias(ASN1C_Alias& other) : ASN1C_Items(other) {}
   ASN1C_Alias& operator=(ASN1C_Alias& other) {
      assign(other);
      return *this;
   }
};""")
      # Every type defined as a BIT STRING, with or without named bits.
      self.assertIn("class ASN1C_Flags : public asn1rt::ControlOf<ASN1T_Flags, "
                    "asn1rt::BitStrBinding> {", self.header)
      self.assertIn("class ASN1C_Signature : public asn1rt::ControlOf<ASN1T_Signature, "
                    "asn1rt::BitStrBinding> {", self.header)
      self.assertIn("class ASN1C_Choice : public asn1rt::ControlOf<ASN1T_Choice> {",
                    self.header)

   def test_descriptor_of_a_sequence(self):
      self.assertEqual(block(self.source,
                             "constexpr asn1rt::FieldDesc asn1Fields_Item[] = {"),
                       """constexpr asn1rt::FieldDesc asn1Fields_Item[] = {
   asn1rt::field("version", &asn1Desc_Version, offsetof(ASN1T_Item, version), TM_CTXT | TM_CONS | 0,
                 asn1rt::Tagging::Explicit, asn1rt::Presence::Optional, 0, false),
   asn1rt::field("enabled", &kInlineBOOLEAN0, offsetof(ASN1T_Item, enabled), 0,
                 asn1rt::Tagging::None, asn1rt::Presence::DefaultZero, -1, false),
   asn1rt::field("name", &kInlineUTF8String1, offsetof(ASN1T_Item, name), 0, asn1rt::Tagging::None,
                 asn1rt::Presence::Optional, 1, false),
   asn1rt::field("flags", &asn1Desc_Flags, offsetof(ASN1T_Item, flags), TM_CTXT | 1,
                 asn1rt::Tagging::Implicit, asn1rt::Presence::Optional, 2, false),
};""")
      self.assertEqual(block(self.source,
                             "constexpr asn1rt::TypeDesc asn1Desc_Item = [] {", "}();"),
                       """constexpr asn1rt::TypeDesc asn1Desc_Item = [] {
   asn1rt::TypeDesc d{};
   d.kind = asn1rt::Kind::Sequence;
   d.name = "Item";
   d.valueSize = sizeof(ASN1T_Item);
   d.universalTag = TM_CONS | ASN_ID_SEQ;
   d.fields = asn1Fields_Item;
   d.fieldCount = 4;
   d.requiredCount = 0;
   d.presenceOffset = offsetof(ASN1T_Item, m);
   d.extensible = 1;
   d.extensionOffset = offsetof(ASN1T_Item, extElem1);
   return d;
}();""")
      self.assertEqual(block(self.source, "static constexpr asn1rt::TypeDesc "
                                          "kInlineUTF8String1 = [] {", "}();"),
                       """static constexpr asn1rt::TypeDesc kInlineUTF8String1 = [] {
   asn1rt::TypeDesc d{};
   d.kind = asn1rt::Kind::CharString;
   d.name = "UTF8String";
   d.valueSize = sizeof(const char*);
   d.universalTag = ASN_ID_UTF8String;
   d.size = asn1rt::between(1, 8);
   return d;
}();""")

   def test_defaults_that_the_decoder_fills_in(self):
      # BOOLEAN DEFAULT TRUE and true-default components are plain fields
      # without presence bits, which a new value holds at their defaults (a
      # null big-integer text stands for its default); the defaults are
      # constants of the unit.
      self.assertEqual(block(self.header, "struct ASN1T_Audit : public ASN1TPDU {"),
                       """struct ASN1T_Audit : public ASN1TPDU {
   struct {
      unsigned notePresent : 1;
   } m;
   ASN1BOOL ok;
   const char* note;
   const char* serial;
   ASN1UINT level;

   ASN1T_Audit() : m(), ok(1), note(), serial(), level(3) {}
   ASN1T_Audit(ASN1C_Audit& control);
   ~ASN1T_Audit();
   ASN1T_Audit(const ASN1T_Audit&) = delete;
   ASN1T_Audit& operator=(const ASN1T_Audit&) = delete;
};""")
      self.assertEqual(block(self.source, "static constexpr ASN1BOOL kDefault_Audit_ok = 1;"),
                       """static constexpr ASN1BOOL kDefault_Audit_ok = 1;
static constexpr const char* kDefault_Audit_serial = "1";
static constexpr ASN1UINT kDefault_Audit_level = 3;
constexpr asn1rt::FieldDesc asn1Fields_Audit[] = {
   asn1rt::field("ok", &kInlineBOOLEAN0, offsetof(ASN1T_Audit, ok), 0, asn1rt::Tagging::None,
                 asn1rt::Presence::DefaultValue, -1, false, &kDefault_Audit_ok),
   asn1rt::field("note", &kInlineIA5String3, offsetof(ASN1T_Audit, note), 0, asn1rt::Tagging::None,
                 asn1rt::Presence::Optional, 0, false),
   asn1rt::field("serial", &kInlineINTEGER5, offsetof(ASN1T_Audit, serial), 0,
                 asn1rt::Tagging::None, asn1rt::Presence::DefaultValue, -1, false,
                 &kDefault_Audit_serial),
   asn1rt::field("level", &kInlineINTEGER6, offsetof(ASN1T_Audit, level), TM_CTXT | 0,
                 asn1rt::Tagging::Implicit, asn1rt::Presence::DefaultValue, -1, false,
                 &kDefault_Audit_level),
};""")
      audit = block(self.source, "constexpr asn1rt::TypeDesc asn1Desc_Audit = [] {", "}();")
      self.assertIn("   d.requiredCount = 0;\n", audit)

   def test_size_union_lists_its_ranges(self):
      self.assertIn("static constexpr asn1rt::Range kRanges0[] = "
                    "{{32, 32}, {64, 64}, {100, INT64_MAX}};\n", self.source)
      self.assertIn("   d.size = asn1rt::anyOf(asn1rt::atLeast(32), kRanges0, 3);\n",
                    block(self.source, "constexpr asn1rt::TypeDesc asn1Desc_Key = [] {",
                          "}();"))
      # A single range needs no list.
      self.assertIn("   d.size = asn1rt::between(2, 2);\n",
                    block(self.source, "constexpr asn1rt::TypeDesc asn1Desc_Code = [] {",
                          "}();"))

   def test_fixed_bit_string_keeps_its_bit_capacity(self):
      self.assertIn("   d.fixedCapacity = 1;\n   d.bitCapacity = 4;\n",
                    block(self.source, "constexpr asn1rt::TypeDesc asn1Desc_Flags = [] {",
                          "}();"))

   def test_xml_name_directive_names_the_element(self):
      self.assertIn('   d.name = "PrintableString";\n',
                    block(self.source, "constexpr asn1rt::TypeDesc asn1Desc_Code = [] {",
                          "}();"))
      self.assertIn('   d.itemName = "PrintableString";\n',
                    block(self.source, "constexpr asn1rt::TypeDesc asn1Desc_Codes = [] {",
                          "}();"))
      # The C++ names stay those of the type.
      self.assertIn("typedef const char* ASN1T_Code;", self.header)
      self.assertIn("class ASN1C_Code : public asn1rt::ControlOf<ASN1T_Code> {", self.header)

   def test_sequence_directive_gives_the_open_type_the_sequence_tag(self):
      self.assertIn("   d.kind = asn1rt::Kind::OpenType;\n"
                    '   d.name = "ANY";\n'
                    "   d.valueSize = sizeof(ASN1TOpenType);\n"
                    "   d.universalTag = TM_CONS | ASN_ID_SEQ;\n", self.source)

   def test_alias_descriptor_repeats_the_named_type(self):
      alias = block(self.source, "constexpr asn1rt::TypeDesc asn1Desc_Alias = [] {",
                    "}();")
      self.assertIn('   d.name = "Alias";\n', alias)
      self.assertIn("   d.elemType = &asn1Desc_Item;\n"
                    '   d.itemName = "Item";\n'
                    "   d.size = asn1rt::atLeast(1);\n", alias)

   def test_functions_call_the_engine(self):
      self.assertIn("""int asn1XE_Version(ASN1CTXT* ctxt, ASN1T_Version value, const char* elemName,
                   const char* attributes) {
   return asn1rt::xerEncode(ctxt, &asn1Desc_Version, &value, elemName, attributes);
}""", self.source)
      self.assertIn("""void asn1Free_Item(ASN1CTXT* ctxt, ASN1T_Item* pvalue) {
   asn1rt::freeValue(ctxt, &asn1Desc_Item, pvalue);
}""", self.files["SmallCopy.cpp"])
      self.assertIn("""ASN1T_Item::~ASN1T_Item() {
   if (mpContext != nullptr) asn1Free_Item(mpContext->getPtr(), this);
}""", self.source)


class ObjectsModuleTest(unittest.TestCase):
   @classmethod
   def setUpClass(cls):
      files = emit({"Objects.asn": OBJECTS})
      cls.header = files["ObjectsTable.h"]
      cls.source = files["ObjectsTable.cpp"]

   def test_class_with_an_optional_type_field(self):
      self.assertEqual(block(self.header, "class ALGORITHM {"), """class ALGORITHM {
public:
   /* Without &Type the object has no value type: nothing is decoded or encoded. */
   virtual void* constructASN1TType(ASN1CTXT*) { return nullptr; }
   virtual ASN1CType* constructASN1CType(ASN1MessageBufferIF&, void*) { return nullptr; }
   virtual void destructASN1CType(ASN1CType* control) { asn1rt::destructObjectControl(control); }
   virtual ~ALGORITHM() {}
   virtual int encodeBERType(ASN1CTXT*, Asn1TObject&) { return 0; }
   virtual int decodeBERType(ASN1CTXT*, Asn1TObject&) { return 0; }
   virtual void copyType(ASN1CTXT*, Asn1TObject&, Asn1TObject& dst) { dst.decoded = nullptr; }
   virtual void freeType(ASN1CTXT*, Asn1TObject&) {}

   struct {
      unsigned char TypePresent : 1;
   } m;
   ASN1OBJID id;
   ASN1INT strength;

protected:
   ALGORITHM() : m(), id(), strength() {}
};""")

   def test_objects_sets_and_table_functions(self):
      self.assertEqual(block(self.source, "withParams::withParams() {", "}"),
                       """withParams::withParams() {
   asn1rt::setObjectId(id, asn1Object_withParams.numarcs, asn1Object_withParams.arcs);
   m.TypePresent = 1;
   strength = 3;
}""")
      self.assertIn("plain::plain() {\n"
                    "   asn1rt::setObjectId(id, asn1Object_plain.numarcs, "
                    "asn1Object_plain.arcs);\n"
                    "   strength = 1;\n}", self.source)
      self.assertIn("constexpr asn1rt::ObjectDesc asn1Object_withParams = "
                    '{"withParams", 3, kArcs_withParams, &asn1Desc_Params};',
                    self.source)
      self.assertIn("Supported::Supported() : mObjects(), mCount(2) {\n"
                    "   mObjects[0] = new plain();\n"
                    "   mObjects[1] = new withParams();\n}", self.source)
      self.assertIn("int asn1DTC_AlgorithmIdentifier(ASN1CTXT* ctxt, "
                    "ASN1T_AlgorithmIdentifier* pvalue);", self.header)
      self.assertIn("""int asn1XETC_AlgorithmIdentifier(ASN1CTXT* ctxt, ASN1T_AlgorithmIdentifier* pvalue) {
   return asn1rt::tableXerEncode(ctxt, &asn1Desc_AlgorithmIdentifier, pvalue);
}""", self.source)


class EmitFaultTest(unittest.TestCase):
   def test_faults_of_code_generation(self):
      cases = [
         ({"Other.asn": "M DEFINITIONS ::= BEGIN T ::= INTEGER END\n"},
          "Other.asn:1:1: module 'M' must be in a file named 'M.asn'"),
         ({"A.asn": "A DEFINITIONS ::= BEGIN T ::= INTEGER END\n"
                    "B DEFINITIONS ::= BEGIN U ::= INTEGER END\n"},
          "A.asn:2:1: a file for code generation must hold exactly one "
          "module"),
         ({"M.asn": "M DEFINITIONS ::= BEGIN\n"
                    "A ::= SEQUENCE { b B }\nB ::= SEQUENCE { a A }\nEND\n"},
          "M.asn:2:1: 'A' contains itself; a recursive type needs an OPTIONAL "
          "CHOICE, SEQUENCE OF or SET OF in between"),
         ({"M.asn": "M DEFINITIONS AUTOMATIC TAGS ::= BEGIN\nT ::= SEQUENCE {\n" +
                    "".join("   c%d INTEGER OPTIONAL,\n" % i for i in range(32)) +
                    "   last INTEGER OPTIONAL }\nEND\n"},
          "M.asn:2:1: 'T' needs more than 32 presence bits"),
         ({"M.asn": "M DEFINITIONS ::= BEGIN\n"
                    "C ::= CLASS { &id OBJECT IDENTIFIER UNIQUE, &Type }\n"
                    "S C ::= { ... }\n"
                    "W ::= SEQUENCE {\n"
                    "   h SEQUENCE { id C.&id({S}) },\n"
                    "   v C.&Type({S}{@h.id}) }\nEND\n"},
          "M.asn:6:14: the code generator supports table constraints whose "
          "key is a component of the same SEQUENCE only"),
      ]
      for files, message in cases:
         with self.subTest(message=message):
            self.assertEqual(emit_errors(files), [message])


class OutModeTest(unittest.TestCase):
   def test_out_writes_every_unit_and_keeps_unchanged_ones(self):
      d = SourceDir({"Small.asn": SMALL})
      out = tempfile.mkdtemp(prefix="asn1gen-out-")
      try:
         result = run_cli(["--out", out, "--umbrella", "all.h", "Small.asn"], d.dir)
         self.assertEqual((result.returncode, result.stdout, result.stderr),
                          (0, "", ""))
         self.assertEqual(sorted(os.listdir(out)),
                          sorted(output_names("Small.asn") + ["all.h"]))
         with open(os.path.join(out, "all.h")) as f:
            self.assertIn('#include "Small.h"\n#include "SmallTable.h"\n', f.read())
         header = os.path.join(out, "Small.h")
         os.utime(header, (1000, 1000))
         run_cli(["--out", out, "--umbrella", "all.h", "Small.asn"], d.dir)
         self.assertEqual(os.stat(header).st_mtime, 1000)
      finally:
         d.close()
         for name in os.listdir(out):
            os.unlink(os.path.join(out, name))
         os.rmdir(out)

   def test_umbrella_needs_out(self):
      result = run_cli(["--umbrella", "all.h", "Small.asn"], ".")
      self.assertEqual(result.returncode, 2)
      self.assertIn("--umbrella needs --out", result.stderr)


if __name__ == "__main__":
   unittest.main()
