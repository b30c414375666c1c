"""The parse tree as written, before resolution, and syntax faults."""

import unittest

import asn1gen_testlib  # noqa: F401  (puts the generator on sys.path)
from asn1gen import constraints as C
from asn1gen import lexer as L
from asn1gen import model as M
from asn1gen.errors import CompileError
from asn1gen.parser import parse_tokens


def parse(text):
   tokens, _ = L.tokenize(text, "p.asn")
   return parse_tokens(tokens)


def parse_one(body, header="M DEFINITIONS ::="):
   return parse("%s BEGIN\n%s\nEND\n" % (header, body))[0]


class HeaderTest(unittest.TestCase):
   def test_header_exports_imports(self):
      m = parse_one(
         "EXPORTS A, b;\n"
         "IMPORTS A, B FROM X { 1 2 } c FROM Y d-value e FROM Z;\n",
         header="Mod { iso(1) 2 } DEFINITIONS AUTOMATIC TAGS "
                "EXTENSIBILITY IMPLIED ::=")
      self.assertEqual((m.name, m.tag_default, m.extensibility_implied),
                       ("Mod", "AUTOMATIC", True))
      self.assertEqual([t.text for t in m.oid.data[:-1]],
                       ["iso", "(", "1", ")", "2"])
      self.assertEqual([e.name for e in m.exports], ["A", "b"])
      # "d-value" after "FROM Y" identifies module Y; "e" is a symbol.
      self.assertEqual([(i.module, [s.name for s in i.symbols])
                        for i in m.imports],
                       [("X", ["A", "B"]), ("Y", ["c"]), ("Z", ["e"])])

   def test_default_tagging_and_exports_all(self):
      m = parse_one("EXPORTS ALL;")
      self.assertEqual((m.tag_default, m.exports), ("EXPLICIT", None))

   def test_several_modules_in_one_file(self):
      mods = parse("A DEFINITIONS ::= BEGIN END B DEFINITIONS ::= BEGIN END")
      self.assertEqual([m.name for m in mods], ["A", "B"])


class TypeTest(unittest.TestCase):
   def test_sequence_components(self):
      m = parse_one("T ::= SEQUENCE {\n"
                    "   a [0] EXPLICIT INTEGER OPTIONAL,\n"
                    "   b [APPLICATION 3] IMPLICIT BOOLEAN DEFAULT TRUE,\n"
                    "   COMPONENTS OF U,\n"
                    "   ...,\n"
                    "   c [PRIVATE 1] NULL,\n"
                    "   [[ d INTEGER, e INTEGER ]],\n"
                    "   ...,\n"
                    "   f OCTET STRING }")
      t = m.assignments[0].type
      self.assertEqual(t.kind, "SEQUENCE")
      self.assertTrue(t.extensible)
      rows = [(c.name, c.optional, c.default is not None, c.extension,
               [(g.cls, g.number, g.mode) for g in c.type.tags]
               if c.type else None)
              for c in t.components]
      self.assertEqual(rows, [
         ("a", True, False, False, [("CONTEXT", 0, "EXPLICIT")]),
         ("b", False, True, False, [("APPLICATION", 3, "IMPLICIT")]),
         (None, False, False, False, None),
         ("c", False, False, True, [("PRIVATE", 1, None)]),
         ("d", False, False, True, []),
         ("e", False, False, True, []),
         ("f", False, False, False, [])])
      self.assertEqual(t.components[2].components_of.ref.name, "U")

   def test_list_forms(self):
      m = parse_one("A ::= SEQUENCE SIZE (1..MAX) OF X\n"
                    "B ::= SET (SIZE (2)) OF item INTEGER\n"
                    "C ::= SEQUENCE OF SEQUENCE { x INTEGER }")
      a, b, c = (d.type for d in m.assignments)
      self.assertEqual((a.kind, a.element.ref.name), ("SEQUENCE OF", "X"))
      self.assertIsInstance(a.constraints[0].root, C.Size)
      self.assertEqual((b.kind, b.element.kind), ("SET OF", "INTEGER"))
      self.assertIsInstance(b.constraints[0].root, C.Size)
      self.assertEqual(c.element.kind, "SEQUENCE")

   def test_named_numbers_and_enumerations(self):
      m = parse_one("I ::= INTEGER { a(1), b(-2), c(ub) }\n"
                    "E ::= ENUMERATED { x, y(3), ..., z }\n"
                    "B ::= BIT STRING { p(0), q(7) }")
      i, e, b = (d.type for d in m.assignments)
      self.assertEqual([(n.name, n.value.kind, n.value.data
                         if n.value.kind == "number" else n.value.data.name)
                        for n in i.named],
                       [("a", "number", 1), ("b", "number", -2),
                        ("c", "ref", "ub")])
      self.assertEqual([(n.name, n.value is None, n.extension)
                        for n in e.named],
                       [("x", True, False), ("y", False, False),
                        ("z", True, True)])
      self.assertTrue(e.enum_extensible)
      self.assertEqual([n.name for n in b.named], ["p", "q"])

   def test_references_open_types_and_class_fields(self):
      m = parse_one("A ::= Other.Type\n"
                    "B ::= ANY DEFINED BY id\n"
                    "C ::= CLS.&Type ({Set}{@.a.b})\n"
                    "D ::= T61String")
      a, b, c, d = (x.type for x in m.assignments)
      self.assertEqual((a.kind, a.ref.module, a.ref.name),
                       (M.REFERENCE, "Other", "Type"))
      self.assertEqual((b.kind, b.defined_by), (M.OPEN, "id"))
      self.assertEqual((c.kind, c.class_ref.name, c.field),
                       (M.CLASSFIELD, "CLS", "&Type"))
      table = c.constraints[0].root
      self.assertEqual((table.set_ref.name, table.at), ("Set", (True, ["a",
                                                                     "b"])))
      self.assertEqual(d.kind, "TeletexString")

   def test_constraint_trees(self):
      m = parse_one("A ::= INTEGER (MIN..0 | 5<..<9, ..., 20)\n"
                    "B ::= OCTET STRING (SIZE (1..4) ^ SIZE (2..8))\n"
                    "C ::= OCTET STRING (CONTAINING X ENCODED BY enc)")
      a, b, c = (d.type.constraints[0] for d in m.assignments)
      self.assertTrue(a.extensible)
      self.assertIsInstance(a.root, C.Union)
      first, second, extra = a.root.items[0].items + [a.root.items[1]]
      self.assertEqual((first.lo, first.hi.data), ("MIN", 0))
      self.assertEqual((second.lo_open, second.hi_open), (True, True))
      self.assertEqual(extra.value.data, 20)
      self.assertIsInstance(b.root, C.Intersection)
      self.assertEqual(c.root.type.ref.name, "X")


class AssignmentTest(unittest.TestCase):
   def test_assignment_kinds(self):
      m = parse_one("T ::= BOOLEAN\n"
                    "v INTEGER ::= -3\n"
                    "o CLS ::= { &id 1 }\n"
                    "S CLS ::= { o | p, ... }\n"
                    "CLS ::= CLASS { &id INTEGER UNIQUE, &Type OPTIONAL }\n"
                    "   WITH SYNTAX { ID &id [TYPE &Type] }\n"
                    "t TYPE-IDENTIFIER ::= { BOOLEAN IDENTIFIED BY oid }")
      kinds = [type(d).__name__ for d in m.assignments]
      self.assertEqual(kinds, ["TypeDef", "ValueDef", "PendingAssignment",
                               "ObjectSetDef", "ClassDef",
                               "PendingAssignment"])
      self.assertEqual(m.assignments[1].value.data, -3)
      s = m.assignments[3]
      self.assertEqual(([e.name for e in s.elements], s.extensible),
                       (["o", "p"], True))
      cls = m.assignments[4]
      self.assertEqual([(f.name, f.kind, f.unique, f.optional)
                        for f in cls.fields],
                       [("&id", "value", True, False),
                        ("&Type", "type", False, True)])
      self.assertEqual([(i.kind, i.text) for i in cls.syntax],
                       [("literal", "ID"), ("field", "&id"),
                        ("group", None)])
      self.assertEqual(m.assignments[5].governor.name, "TYPE-IDENTIFIER")

   def test_spans_cover_definitions_and_components(self):
      m = parse_one("T ::= SEQUENCE { a INTEGER, b BOOLEAN }")
      d = m.assignments[0]
      c = d.type.components[1]
      tokens, _ = L.tokenize("M DEFINITIONS ::= BEGIN\nT ::= SEQUENCE "
                             "{ a INTEGER, b BOOLEAN }\nEND\n", "p.asn")
      self.assertEqual((tokens[d.first].text, tokens[d.last].text),
                       ("T", "}"))
      self.assertEqual((tokens[c.first].text, tokens[c.last].text),
                       ("b", "BOOLEAN"))


class SyntaxFaultTest(unittest.TestCase):
   def test_faults(self):
      cases = [
         ("T ::= SEQUENCE { a INTEGER b BOOLEAN }",
          "p.asn:2:28: expected '}', found 'b'"),
         ("T ::= ", "p.asn:3:1: expected a type, found 'END'"),
         ("T ::= SEQUENCE { a INTEGER OPTIONAL DEFAULT 1 }",
          "p.asn:2:37: expected '}', found 'DEFAULT'"),
         ("T ::= CHOICE { a INTEGER OPTIONAL }",
          "p.asn:2:26: expected '}', found 'OPTIONAL'"),
         ("T {X} ::= SEQUENCE { a X }",
          "p.asn:2:3: parameterized assignments are not supported"),
         ("S INTEGER ::= { 1 | 2 }",
          "p.asn:2:3: value set assignments are not supported"),
         ("T ::= IA5String (FROM (\"a\"..\"z\"))",
          "p.asn:2:18: FROM constraints are not supported"),
         ("S C ::= { { &id 1 } }",
          "p.asn:2:11: expected an object or object set name, found '{'"),
         ("T ::= INTEGER { a }", "p.asn:2:19: expected '(', found '}'"),
         ("v INTEGER ::= ", "p.asn:3:1: expected a value, found 'END'"),
         ("T ::= [0 INTEGER", "p.asn:2:10: expected ']', found 'INTEGER'"),
         ("C ::= CLASS { &Type INTEGER }",
          "p.asn:2:21: only type fields may have upper-case names"),
         ("42", "p.asn:2:1: expected an assignment, found '42'"),
      ]
      for body, expected in cases:
         with self.subTest(body=body):
            with self.assertRaises(CompileError) as ctx:
               parse_one(body)
            self.assertEqual(str(ctx.exception), expected)

   def test_missing_end_and_empty_file(self):
      with self.assertRaises(CompileError) as ctx:
         parse("M DEFINITIONS ::= BEGIN T ::= NULL")
      self.assertEqual(str(ctx.exception),
                       "p.asn:1:35: expected 'END', found end of file")
      with self.assertRaises(CompileError) as ctx:
         parse("  -- only a comment\n")
      self.assertEqual(str(ctx.exception),
                       "p.asn:2:1: expected a module definition, found end "
                       "of file")


if __name__ == "__main__":
   unittest.main()
