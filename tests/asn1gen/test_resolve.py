"""The resolved model as the back end reads it: values, bounds, tags,
components, objects and table constraints."""

import unittest

from asn1gen_testlib import compile_model, module, typedef
from asn1gen import constraints as C


def arcs(rvalue):
   return [a.number for a in rvalue.data]


class ValueTest(unittest.TestCase):
   def test_object_identifiers(self):
      model = compile_model({
         "m.asn": module(
            "IMPORTS id-far FROM Far;\n"
            "id-pkix OBJECT IDENTIFIER ::= { iso(1) identified-organization(3)"
            " dod(6) internet(1) security(5) mechanisms(5) pkix(7) }\n"
            "id-ocsp OBJECT IDENTIFIER ::= { id-pkix 48 1 }\n"
            "id-ce OBJECT IDENTIFIER ::= { joint-iso-ccitt ds(5) 29 }\n"
            "id-us OBJECT IDENTIFIER ::= { iso member-body us(840) }\n"
            "id-near OBJECT IDENTIFIER ::= { id-far n }\n"
            "n INTEGER ::= 9\n"
            "id-alias OBJECT IDENTIFIER ::= id-ce"),
         "far.asn": "Far DEFINITIONS ::= BEGIN\n"
                    "id-far OBJECT IDENTIFIER ::= { 1 2 643 }\nEND\n"})
      values = {n: model.names[n].rvalue
                for n in ("id_pkix", "id_ocsp", "id_ce", "id_us", "id_near",
                          "id_alias")}
      self.assertEqual({n: arcs(v) for n, v in values.items()}, {
         "id_pkix": [1, 3, 6, 1, 5, 5, 7],
         "id_ocsp": [1, 3, 6, 1, 5, 5, 7, 48, 1],
         "id_ce": [2, 5, 29],
         "id_us": [1, 2, 840],
         "id_near": [1, 2, 643, 9],
         "id_alias": [2, 5, 29]})
      self.assertEqual([a.name for a in values["id_us"].data],
                       ["iso", "member-body", "us"])
      alias = values["id_alias"]
      self.assertEqual((alias.name, alias.ref), ("id-ce", model.names["id_ce"]))
      self.assertIsNone(values["id_ce"].ref)

   def test_scalar_values_and_defaults(self):
      model = compile_model(module(
         "V ::= INTEGER { v1(0), v2(1) }\n"
         "F ::= BIT STRING { a(0), b(1) }\n"
         "S ::= SEQUENCE {\n"
         "   version [0] V DEFAULT v2,\n"
         "   flags [1] F DEFAULT { b },\n"
         "   ok [2] BOOLEAN DEFAULT TRUE,\n"
         "   off [3] BOOLEAN DEFAULT FALSE,\n"
         "   zero [4] INTEGER DEFAULT 0,\n"
         "   name [5] IA5String DEFAULT \"x\" }\n"
         "neg INTEGER ::= -7\nv V ::= v1"))
      comps = typedef(model, "S").type.components
      self.assertEqual(
         [(c.name, c.default_value.data, c.default_mode, c.presence_bit)
          for c in comps],
         [("version", 1, "optional", 0), ("flags", ["b"], "optional", 1),
          ("ok", True, "value", None), ("off", False, "zero", None),
          ("zero", 0, "zero", None), ("name", "x", "optional", 2)])
      self.assertEqual(model.names["neg"].rvalue.data, -7)
      self.assertEqual((model.names["v"].rvalue.data,
                        model.names["v"].rvalue.name), (0, "v1"))


class BoundsTest(unittest.TestCase):
   def test_normalised_ranges(self):
      cases = [
         ([(1, 3), (4, 6)], [(1, 6)], "1..6"),
         ([(9, 9), (1, 2)], [(1, 2), (9, 9)], "1..2 | 9"),
         ([(None, 0), (0, None)], [(None, None)], "MIN..MAX"),
         ([(5, 10), (1, 7)], [(1, 10)], "1..10"),
      ]
      for ranges, merged, text in cases:
         with self.subTest(ranges=ranges):
            b = C.Bounds(ranges)
            self.assertEqual((b.ranges, b.text()), (merged, text))

   def test_evaluated_constraints(self):
      model = compile_model(module(
         "ub INTEGER ::= 32768\n"
         "A ::= INTEGER (1..ub)\n"
         "B ::= INTEGER (0..10) (5..MAX)\n"
         "C ::= OCTET STRING (SIZE (32 | 64))\n"
         "D ::= OCTET STRING (SIZE (1..4) ^ SIZE (2..8), ...)\n"
         "E ::= PrintableString (SIZE (2))\n"
         "F ::= SEQUENCE SIZE (1..MAX) OF INTEGER\n"
         "G ::= INTEGER (0<..<10)"))
      def bounds(name, attr):
         b = getattr(typedef(model, name).type, attr)
         return (b.lower, b.upper, b.ranges, b.extensible)
      self.assertEqual(bounds("A", "value_range"),
                       (1, 32768, [(1, 32768)], False))
      self.assertEqual(bounds("B", "value_range"),
                       (5, 10, [(5, 10)], False))
      self.assertEqual(bounds("C", "size"),
                       (32, 64, [(32, 32), (64, 64)], False))
      self.assertEqual(bounds("D", "size"), (2, 4, [(2, 4)], True))
      self.assertEqual(bounds("E", "size"), (2, 2, [(2, 2)], False))
      self.assertEqual(bounds("F", "size"), (1, None, [(1, None)], False))
      self.assertEqual(bounds("G", "value_range"), (1, 9, [(1, 9)], False))


class TagTest(unittest.TestCase):
   def wire(self, t):
      return [(w.cls, w.number, w.constructed) for w in t.wire]

   def test_modes_and_wire(self):
      model = compile_model(module(
         "A ::= [0] INTEGER\n"
         "B ::= [1] EXPLICIT INTEGER\n"
         "C ::= [2] CHOICE { x INTEGER, y BOOLEAN }\n"
         "D ::= [APPLICATION 3] SEQUENCE { a [4] A }\n"
         "E ::= [5] C",
         "M DEFINITIONS IMPLICIT TAGS ::="))
      modes = {n: [t.explicit for t in typedef(model, n).type.tags]
               for n in "ABCDE"}
      self.assertEqual(modes, {"A": [False], "B": [True], "C": [True],
                               "D": [False], "E": [False]})
      self.assertEqual(self.wire(typedef(model, "A").type),
                       [("CONTEXT", 0, False)])
      self.assertEqual(self.wire(typedef(model, "B").type),
                       [("CONTEXT", 1, True), ("UNIVERSAL", 2, False)])
      self.assertEqual(self.wire(typedef(model, "C").type),
                       [("CONTEXT", 2, True), ("CHOICE", None, None)])
      self.assertEqual(self.wire(typedef(model, "D").type),
                       [("APPLICATION", 3, True)])
      a = typedef(model, "D").type.components[0]
      self.assertEqual(self.wire(a.type), [("CONTEXT", 4, False)])
      # [5] IMPLICIT over the tagged CHOICE replaces its [2].
      self.assertEqual(self.wire(typedef(model, "E").type),
                       [("CONTEXT", 5, True), ("CHOICE", None, None)])

   def test_automatic_tagging(self):
      model = compile_model(module(
         "S ::= SEQUENCE { a INTEGER, b CHOICE { x INTEGER, y BOOLEAN },\n"
         "                 c ANY }\n"
         "T ::= SEQUENCE { a INTEGER, b [7] BOOLEAN }\n"
         "U ::= SEQUENCE { COMPONENTS OF T, z INTEGER }",
         "M DEFINITIONS AUTOMATIC TAGS ::="))
      tags = {n: [[(g.number, g.explicit) for g in c.type.tags]
                  for c in typedef(model, n).type.components]
              for n in ("S", "T", "U")}
      self.assertEqual(tags["S"], [[(0, False)], [(1, True)], [(2, True)]])
      self.assertEqual(tags["T"], [[], [(7, False)]])
      # Components taken by COMPONENTS OF do not stop automatic tagging.
      self.assertEqual(tags["U"], [[(0, False)], [(1, False), (7, False)],
                                   [(2, False)]])


class ComponentTest(unittest.TestCase):
   def test_presence_bits_and_extensions(self):
      model = compile_model(module(
         "S ::= SEQUENCE {\n"
         "   a INTEGER,\n"
         "   b [0] INTEGER OPTIONAL,\n"
         "   c [1] BOOLEAN DEFAULT FALSE,\n"
         "   d [2] INTEGER OPTIONAL,\n"
         "   ...,\n"
         "   e [3] INTEGER }\n"
         "Base ::= SEQUENCE { x [5] INTEGER OPTIONAL, ..., y [6] NULL }\n"
         "Full ::= SEQUENCE { COMPONENTS OF Base, z [7] INTEGER OPTIONAL }",
         "M DEFINITIONS IMPLICIT TAGS ::="))
      s = typedef(model, "S").type
      self.assertTrue(s.extensible)
      self.assertEqual([(c.name, c.presence_bit, c.extension)
                        for c in s.components],
                       [("a", None, False), ("b", 0, False),
                        ("c", None, False), ("d", 1, False),
                        ("e", 2, True)])
      full = typedef(model, "Full").type
      self.assertEqual([(c.name, c.presence_bit, c.inherited_from)
                        for c in full.components],
                       [("x", 0, "Base"), ("z", 1, None)])

   def test_extensibility_implied(self):
      model = compile_model(module(
         "S ::= SEQUENCE { a INTEGER }\nE ::= ENUMERATED { x, y }\n"
         "I ::= INTEGER",
         "M DEFINITIONS EXTENSIBILITY IMPLIED ::="))
      self.assertEqual((typedef(model, "S").type.extensible,
                        typedef(model, "E").type.enum_extensible,
                        typedef(model, "I").type.extensible),
                       (True, True, False))


class ObjectTest(unittest.TestCase):
   SOURCE = module(
      "ALG ::= CLASS { &id OBJECT IDENTIFIER UNIQUE, &Type OPTIONAL,\n"
      "   &flags INTEGER DEFAULT 0 }\n"
      "   WITH SYNTAX { OID &id [PARMS &Type] [FLAGS &flags] }\n"
      "P ::= SEQUENCE { p INTEGER }\n"
      "a1 ALG ::= { OID { 1 2 3 } PARMS P }\n"
      "a2 ALG ::= { OID { 1 2 4 } FLAGS 3 }\n"
      "a3 ALG ::= { OID { 1 2 3 } PARMS BOOLEAN }\n"
      "Inner ALG ::= { a1 | a2 }\n"
      "Outer ALG ::= { Inner | a3, ... }\n"
      "AlgId ::= SEQUENCE {\n"
      "   algorithm ALG.&id({Outer}),\n"
      "   parameters ALG.&Type({Outer}{@algorithm}) OPTIONAL }\n"
      "Attr ::= SEQUENCE {\n"
      "   type ALG.&id({Inner}),\n"
      "   values SET OF ALG.&Type({Inner}{@type}) }")

   def test_objects_and_sets(self):
      model = compile_model(self.SOURCE)
      a1, a2, a3 = (model.names[n] for n in ("a1", "a2", "a3"))
      self.assertEqual(arcs(a1.fields["&id"]), [1, 2, 3])
      self.assertEqual(a1.fields["&Type"].target, model.names["P"])
      self.assertNotIn("&Type", a2.fields)
      self.assertEqual((a1.fields["&flags"].data, a2.fields["&flags"].data),
                       (0, 3))
      self.assertEqual(a3.fields["&Type"].target.name, "_a3_Type")
      outer = model.names["Outer"]
      self.assertEqual((outer.objects, outer.extensible, outer.cls),
                       ([a1, a2, a3], True, model.names["ALG"]))
      self.assertEqual(model.names["Inner"].objects, [a1, a2])

   def test_table_constraints(self):
      model = compile_model(self.SOURCE)
      alg_id = typedef(model, "AlgId")
      algorithm, parameters = alg_id.type.components
      self.assertEqual(algorithm.type.kind, "OBJECT IDENTIFIER")
      self.assertEqual(algorithm.type.table.object_set, model.names["Outer"])
      self.assertIsNone(algorithm.type.table.key_path)
      tc = parameters.type.table
      self.assertEqual((parameters.type.kind, tc.field.name, tc.key_owner,
                        tc.key_path), ("OPEN", "&Type", alg_id, [algorithm]))
      # The key of a list element is found in the enclosing type.
      attr = typedef(model, "Attr")
      element = typedef(model, "Attr_values").type.element
      self.assertEqual((element.table.key_owner, element.table.key_path),
                       (attr, [attr.type.components[0]]))


if __name__ == "__main__":
   unittest.main()
