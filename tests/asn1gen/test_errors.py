"""Faults found while resolving, with their exact `file:line:column:
message` texts, and how the command line reports them."""

import os
import tempfile
import unittest

from asn1gen_testlib import compile_errors, module, run_cli

# (what, assignments of one module "M" in m.asn, expected faults).  The
# module header takes line 1, so the assignments start on line 2.
RESOLUTION_CASES = [
   ("unknown type", "A ::= SEQUENCE { a Foo }",
    ["m.asn:2:20: unknown type 'Foo'"]),
   ("unknown value in constraint", "A ::= INTEGER (0..ub)",
    ["m.asn:2:19: unknown value 'ub'"]),
   ("class used as type", "C ::= CLASS { &id INTEGER }\nA ::= C",
    ["m.asn:3:7: 'C' is a class, not a type"]),
   ("object used as value", "C ::= CLASS { &id INTEGER }\no C ::= { &id 1 }\n"
    "B ::= INTEGER (0..o)",
    ["m.asn:4:19: 'o' is an object, not a value"]),
   ("object set used as type", "C ::= CLASS { &id INTEGER }\nS C ::= { ... }\n"
    "B ::= SEQUENCE { s S }",
    ["m.asn:4:20: 'S' is an object set, not a type"]),
   ("duplicate definition", "A ::= INTEGER\nA ::= BOOLEAN",
    ["m.asn:3:1: duplicate definition of 'A', first defined at "
     "m.asn:2:1"]),
   ("duplicate component", "A ::= SEQUENCE { a INTEGER, a BOOLEAN }",
    ["m.asn:2:29: duplicate component 'a'"]),
   ("duplicate alternative", "A ::= CHOICE { a INTEGER, a BOOLEAN }",
    ["m.asn:2:27: duplicate alternative 'a'"]),
   ("duplicate named number", "A ::= INTEGER { a(1), a(2) }",
    ["m.asn:2:23: duplicate named number 'a'"]),
   ("named number value reused", "A ::= INTEGER { a(1), b(1) }",
    ["m.asn:2:23: value 1 of 'b' is already used by 'a'"]),
   ("enumeration value reused", "A ::= ENUMERATED { a, b(0) , c(0) }",
    ["m.asn:2:30: value 0 of 'c' is already used by 'b'"]),
   ("enumeration addition too small", "A ::= ENUMERATED { a(5), ..., b(2) }",
    ["m.asn:2:31: enumeration addition 'b' must be above 5"]),
   ("negative named bit", "A ::= BIT STRING { a(-1) }",
    ["m.asn:2:20: named bit 'a' must not be negative"]),
   ("circular types", "A ::= B\nB ::= [0] A",
    ["m.asn:2:1: circular definition of 'A'",
     "m.asn:3:1: circular definition of 'B'"]),
   ("circular values", "a INTEGER ::= b\nb INTEGER ::= a",
    ["m.asn:2:1: circular definition of 'a'",
     "m.asn:3:1: circular definition of 'b'"]),
   ("CHOICE tag clash", "A ::= CHOICE { a [0] INTEGER, b [0] BOOLEAN }",
    ["m.asn:2:31: tag [0] of alternative 'b' is already used by "
     "alternative 'a'"]),
   ("CHOICE clash through nested CHOICE",
    "A ::= CHOICE { a INTEGER, b B }\nB ::= CHOICE { c BOOLEAN, d INTEGER }",
    ["m.asn:2:27: tag [UNIVERSAL 2] of alternative 'b' is already used by "
     "alternative 'a'"]),
   ("SET tag clash", "A ::= SET { a INTEGER, b INTEGER OPTIONAL }",
    ["m.asn:2:24: tag [UNIVERSAL 2] of component 'b' is already used by "
     "component 'a'"]),
   ("ambiguous optional", "A ::= SEQUENCE { a [1] INTEGER OPTIONAL, "
    "b [2] INTEGER OPTIONAL, c [1] BOOLEAN }",
    ["m.asn:2:66: tag [1] of component 'c' is ambiguous with optional "
     "component 'a'"]),
   ("optional open type", "A ::= SEQUENCE { a ANY OPTIONAL, b INTEGER }",
    ["m.asn:2:34: component 'b' cannot be told apart from optional "
     "component 'a'"]),
   ("untagged open alternative", "A ::= CHOICE { a INTEGER, b ANY }",
    ["m.asn:2:27: alternative 'b' is an untagged open type"]),
   ("IMPLICIT on CHOICE", "A ::= [0] IMPLICIT CHOICE { a INTEGER }",
    ["m.asn:2:7: an IMPLICIT tag cannot be applied to an untagged "
     "CHOICE"]),
   ("IMPLICIT on open type", "A ::= SEQUENCE { a [0] IMPLICIT ANY }",
    ["m.asn:2:20: an IMPLICIT tag cannot be applied to an open type"]),
   ("UNIVERSAL tag", "A ::= [UNIVERSAL 3] INTEGER",
    ["m.asn:2:7: UNIVERSAL class tags are reserved"]),
   ("tag number too large", "A ::= [536870912] INTEGER",
    ["m.asn:2:7: tag number 536870912 is out of range"]),
   ("empty range", "A ::= OCTET STRING (SIZE (5..3))",
    ["m.asn:2:27: empty range 5..3"]),
   ("negative size", "A ::= OCTET STRING (SIZE (-1..3))",
    ["m.asn:2:21: SIZE bounds must not be negative"]),
   ("SIZE on BOOLEAN", "A ::= BOOLEAN (SIZE (1))",
    ["m.asn:2:15: a SIZE constraint needs a string or list type"]),
   ("range on string", "A ::= IA5String (1..4)",
    ["m.asn:2:17: a value constraint needs an INTEGER type"]),
   ("mixed union", "A ::= OCTET STRING (SIZE (1) | 4)",
    ["m.asn:2:21: value and SIZE constraints cannot be mixed"]),
   ("COMPONENTS OF kind", "A ::= SEQUENCE { COMPONENTS OF B }\n"
    "B ::= SET { x INTEGER }",
    ["m.asn:2:32: COMPONENTS OF in a SEQUENCE needs a SEQUENCE type"]),
   ("COMPONENTS OF cycle", "A ::= SEQUENCE { COMPONENTS OF B }\n"
    "B ::= SEQUENCE { COMPONENTS OF A }",
    ["m.asn:2:1: circular COMPONENTS OF in 'A'",
     "m.asn:3:1: circular COMPONENTS OF in 'B'"]),
   ("DEFINED BY unknown", "A ::= SEQUENCE { id INTEGER, v ANY DEFINED BY x }",
    ["m.asn:2:32: no component 'x' for DEFINED BY"]),
   ("default of wrong kind", "A ::= SEQUENCE { a INTEGER DEFAULT TRUE }",
    ["m.asn:2:36: value does not fit type INTEGER"]),
   ("unknown named bit", "B ::= BIT STRING { x(0) }\n"
    "A ::= SEQUENCE { a B DEFAULT { y } }",
    ["m.asn:3:32: unknown named bit 'y'"]),
   ("unknown OID component", "id OBJECT IDENTIFIER ::= { 1 2 foo }",
    ["m.asn:2:32: unknown object identifier component 'foo'"]),
   ("OID first arc", "id OBJECT IDENTIFIER ::= { 3 1 }",
    ["m.asn:2:26: the first arc of an object identifier must be 0, 1 or 2"]),
   ("OID second arc", "id OBJECT IDENTIFIER ::= { 1 40 }",
    ["m.asn:2:26: the second arc of an object identifier under 1 must be "
     "below 40"]),
   ("OID arc size", "id OBJECT IDENTIFIER ::= { 2 4294967296 }",
    ["m.asn:2:26: object identifier arc 4294967296 does not fit in 32 "
     "bits"]),
   ("OID from INTEGER", "n INTEGER ::= 5\nid OBJECT IDENTIFIER ::= { n 1 }",
    ["m.asn:3:28: 'n' is not an OBJECT IDENTIFIER value"]),
   ("unknown class field", "C ::= CLASS { &id INTEGER }\nA ::= C.&Type",
    ["m.asn:3:7: class 'C' has no field '&Type'"]),
   ("object misses field", "C ::= CLASS { &id INTEGER, &Type }\n"
    "o C ::= { &id 1 }",
    ["m.asn:3:1: object 'o' does not set field '&Type'"]),
   ("object syntax", "C ::= CLASS { &id INTEGER } WITH SYNTAX { ID &id }\n"
    "o C ::= { IDENT 1 }",
    ["m.asn:3:11: expected 'ID', found 'IDENT'"]),
   ("object trailing text", "C ::= CLASS { &id INTEGER } "
    "WITH SYNTAX { ID &id }\no C ::= { ID 1 ID 2 }",
    ["m.asn:3:16: expected the end of the object, found 'ID'"]),
   ("syntax names unknown field", "C ::= CLASS { &id INTEGER } "
    "WITH SYNTAX { ID &id TYPE &Type }",
    ["m.asn:2:55: class 'C' has no field '&Type'"]),
   ("syntax misses field", "C ::= CLASS { &id INTEGER, &Type } "
    "WITH SYNTAX { ID &id }",
    ["m.asn:2:1: field '&Type' is missing from WITH SYNTAX"]),
   ("object set of other class", "C ::= CLASS { &id INTEGER }\n"
    "D ::= CLASS { &id INTEGER }\no C ::= { &id 1 }\nS D ::= { o }",
    ["m.asn:5:11: 'o' is of class 'C', not 'D'"]),
   ("table with foreign set", "C ::= CLASS { &id INTEGER }\n"
    "D ::= CLASS { &id INTEGER }\nS D ::= { ... }\n"
    "A ::= SEQUENCE { id C.&id ({S}) }",
    ["m.asn:5:28: object set 'S' is of class 'D', not 'C'"]),
   ("table path unknown", "C ::= CLASS { &id INTEGER, &Type }\n"
    "S C ::= { ... }\n"
    "A ::= SEQUENCE { id C.&id ({S}), v C.&Type ({S}{@key}) }",
    ["m.asn:4:45: no component 'key' for '@key'"]),
   ("table key on other set", "C ::= CLASS { &id INTEGER, &Type }\n"
    "S C ::= { ... }\nT C ::= { ... }\n"
    "A ::= SEQUENCE { id C.&id ({S}), v C.&Type ({T}{@id}) }",
    ["m.asn:5:45: component 'id' is constrained by 'S', not 'T'"]),
   ("table on plain type", "C ::= CLASS { &id INTEGER }\n"
    "S C ::= { ... }\nA ::= INTEGER ({S})",
    ["m.asn:4:16: a table constraint needs a class field type"]),
   ("CONTAINING on INTEGER", "A ::= INTEGER (CONTAINING BOOLEAN)",
    ["m.asn:2:16: CONTAINING needs a BIT STRING or OCTET STRING type"]),
   ("governor unknown", "v Foo ::= 5",
    ["m.asn:2:3: unknown type or class 'Foo'"]),
   ("exported but undefined", "EXPORTS A, B;\nA ::= INTEGER",
    ["m.asn:2:12: 'B' is exported but not defined"]),
]

# Faults that involve several modules: (what, files, expected faults).
IMPORT_CASES = [
   ("unknown module",
    {"a.asn": "A DEFINITIONS ::= BEGIN IMPORTS X FROM Nowhere; END\n"},
    ["a.asn:1:40: unknown module 'Nowhere'"]),
   ("symbol not defined",
    {"a.asn": "A DEFINITIONS ::= BEGIN IMPORTS X FROM B; T ::= X END\n",
     "b.asn": "B DEFINITIONS ::= BEGIN Y ::= INTEGER END\n"},
    ["a.asn:1:33: module 'B' does not define 'X'"]),
   ("symbol not exported",
    {"a.asn": "A DEFINITIONS ::= BEGIN IMPORTS X FROM B; END\n",
     "b.asn": "B DEFINITIONS ::= BEGIN EXPORTS Y; X ::= INTEGER\n"
              "Y ::= INTEGER END\n"},
    ["a.asn:1:33: module 'B' does not export 'X'"]),
   ("imported and defined",
    {"a.asn": "A DEFINITIONS ::= BEGIN IMPORTS X FROM B;\nX ::= BOOLEAN END\n",
     "b.asn": "B DEFINITIONS ::= BEGIN X ::= INTEGER END\n"},
    ["a.asn:2:1: 'X' is imported and also defined here"]),
   ("duplicate module",
    {"a.asn": "A DEFINITIONS ::= BEGIN END\n",
     "b.asn": "\nA DEFINITIONS ::= BEGIN END\n"},
    ["b.asn:2:1: duplicate module 'A', first defined at a.asn:1:1"]),
   ("generated names clash across modules",
    {"a.asn": "A DEFINITIONS ::= BEGIN id-x INTEGER ::= 1 END\n",
     "b.asn": "B DEFINITIONS ::= BEGIN id-x INTEGER ::= 1 END\n"},
    ["b.asn:1:25: generated name 'id_x' is already used by the definition "
     "at a.asn:1:25"]),
   ("qualified reference to unknown module",
    {"a.asn": "A DEFINITIONS ::= BEGIN T ::= Q.Type END\n"},
    ["a.asn:1:31: unknown module 'Q'"]),
]


class ResolutionFaultTest(unittest.TestCase):
   def test_single_module_faults(self):
      for what, body, expected in RESOLUTION_CASES:
         with self.subTest(what):
            self.assertEqual(compile_errors(module(body)), expected)

   def test_multi_module_faults(self):
      for what, files, expected in IMPORT_CASES:
         with self.subTest(what):
            self.assertEqual(compile_errors(files), expected)

   def test_independent_faults_are_all_reported(self):
      body = "A ::= Foo\nB ::= SEQUENCE { b Bar }\nC ::= CLS.&id"
      self.assertEqual(compile_errors(module(body)),
                       ["m.asn:2:7: unknown type 'Foo'",
                        "m.asn:3:20: unknown type 'Bar'",
                        "m.asn:4:7: unknown class 'CLS'"])

   def test_later_phase_waits_for_earlier_faults(self):
      # The clash of tags would be found later; the unknown type stops
      # resolution first.
      body = "A ::= CHOICE { a [0] INTEGER, b [0] Foo }"
      self.assertEqual(compile_errors(module(body)),
                       ["m.asn:2:37: unknown type 'Foo'"])


class CommandLineTest(unittest.TestCase):
   def setUp(self):
      self.dir = tempfile.mkdtemp(prefix="asn1gen-cli-")

   def tearDown(self):
      for name in os.listdir(self.dir):
         os.remove(os.path.join(self.dir, name))
      os.rmdir(self.dir)

   def write(self, name, text):
      with open(os.path.join(self.dir, name), "w", encoding="utf-8") as f:
         f.write(text)

   def test_faults_go_to_stderr_with_status_1(self):
      self.write("bad.asn", "Bad DEFINITIONS ::= BEGIN\nA ::= Foo\n"
                 "B ::= SET { x INTEGER, y INTEGER }\nEND\n")
      result = run_cli(["--dump", "bad.asn"], cwd=self.dir)
      self.assertEqual(result.returncode, 1)
      self.assertEqual(result.stdout, "")
      self.assertEqual(result.stderr, "bad.asn:2:7: unknown type 'Foo'\n")

   def test_parse_faults_of_every_file_are_reported(self):
      self.write("one.asn", "One DEFINITIONS ::= BEGIN A ::= END\n")
      self.write("two.asn", "Two DEFINITIONS ::= BEGIN\n  B ::= [0 INTEGER\n"
                 "END\n")
      result = run_cli(["one.asn", "two.asn"], cwd=self.dir)
      self.assertEqual(result.returncode, 1)
      self.assertEqual(result.stderr.splitlines(),
                       ["one.asn:1:33: expected a type, found 'END'",
                        "two.asn:2:12: expected ']', found 'INTEGER'"])

   def test_unreadable_file(self):
      result = run_cli(["missing.asn"], cwd=self.dir)
      self.assertEqual(result.returncode, 1)
      self.assertEqual(result.stderr,
                       "missing.asn:1:1: cannot read file: No such file or "
                       "directory\n")

   def test_usage_without_files(self):
      result = run_cli([], cwd=self.dir)
      self.assertEqual(result.returncode, 2)
      self.assertIn("usage: asn1gen", result.stderr)


if __name__ == "__main__":
   unittest.main()
