"""Comment directives: where they attach, what they change, and their
faults; default representations."""

import unittest

from asn1gen_testlib import compile_errors, compile_model, module, typedef


def component(model, type_name, name):
   return next(c for c in typedef(model, type_name).type.components
               if c.name == name)


class AttachmentTest(unittest.TestCase):
   def test_before_after_and_inside(self):
      model = compile_model(module(
         "--# uint32\n"
         "A ::= INTEGER\n"
         "B ::= INTEGER   --# uint16\n"
         "C ::= SEQUENCE {   --# plain\n"
         "   --# bigint\n"
         "   a INTEGER,\n"
         "   b INTEGER,   --# uint16\n"
         "   c INTEGER    --# uint32\n"
         "}\n"
         "D ::= SEQUENCE OF SEQUENCE {   --# plain\n"
         "   x INTEGER }\n"
         "E ::= SEQUENCE { x INTEGER } --# plain"))
      self.assertEqual(typedef(model, "A").type.rep, "uint32")
      self.assertEqual(typedef(model, "B").type.rep, "uint16")
      self.assertTrue(typedef(model, "C").plain)
      self.assertEqual([c.type.rep for c in typedef(model, "C").type.components],
                       ["bigint", "uint16", "uint32"])
      self.assertEqual((typedef(model, "D").plain,
                        typedef(model, "D_element").plain), (False, True))
      self.assertTrue(typedef(model, "E").plain)

   def test_directives_inside_an_object(self):
      model = compile_model(module(
         "C ::= CLASS { &id INTEGER UNIQUE, &Type }\n"
         "o C ::= { &id 1, &Type SEQUENCE {   --# plain\n"
         "   n INTEGER   --# uint16\n"
         "} }"))
      td = typedef(model, "_o_Type")
      self.assertTrue(td.plain)
      self.assertEqual(td.type.components[0].type.rep, "uint16")

   def test_plain_comments_are_kept(self):
      model = compile_model(
         "-- file header\n"
         "M DEFINITIONS ::= BEGIN\n"
         "-- about A\n"
         "A ::= SEQUENCE {\n"
         "   a INTEGER,   -- about a\n"
         "   /* about b */ b BOOLEAN }\n"
         "-- nothing follows\n"
         "END\n")
      m = model.modules[0]
      self.assertEqual(m.comments, ["file header", "nothing follows"])
      a = typedef(model, "A")
      self.assertEqual(a.comments, ["about A"])
      self.assertEqual([c.comments for c in a.type.components],
                       [["about a"], ["about b"]])

   def test_list_directives_reach_the_element(self):
      model = compile_model(module(
         "L ::= SEQUENCE {\n"
         "   nums SEQUENCE OF INTEGER,   --# list, bigint\n"
         "   keys SEQUENCE OF OCTET STRING (SIZE (8))   --# fixed\n"
         "}"))
      nums = typedef(model, "L_nums").type
      self.assertEqual((nums.rep, nums.element.rep), ("list", "bigint"))
      # A fixed-size element needs a type of its own, so the list of it
      # becomes a shared list type.
      keys = component(model, "L", "keys").type.target
      element = typedef(model, "L_keys_element").type
      self.assertEqual((keys.name, keys.type.rep, element.rep,
                        element.capacity),
                       ("_SeqOfL_keys_element", "array", "fixed", 8))

   def test_true_default_on_component(self):
      model = compile_model(module(
         "S ::= SEQUENCE {\n"
         "   v INTEGER DEFAULT 1,   --# bigint, true-default\n"
         "   w [0] INTEGER DEFAULT 1 }"))
      v = component(model, "S", "v")
      w = component(model, "S", "w")
      self.assertEqual((v.default_mode, v.presence_bit, v.type.rep),
                       ("value", None, "bigint"))
      self.assertEqual((w.default_mode, w.presence_bit), ("optional", 0))


class XmlNameTest(unittest.TestCase):
   def test_xml_name_of_a_named_type(self):
      model = compile_model(module(
         "Code ::= PrintableString (SIZE (2))   --# xml-name PrintableString\n"
         "Other ::= PrintableString"))
      self.assertEqual(typedef(model, "Code").xml_name, "PrintableString")
      self.assertIsNone(typedef(model, "Other").xml_name)


class RepresentationTest(unittest.TestCase):
   def test_default_list_representation_by_element(self):
      cases = [
         ("OBJECT IDENTIFIER", "array"), ("INTEGER", "array"),
         ("OCTET STRING", "array"), ("PrintableString", "array"),
         ("UTF8String", "array"), ("BMPString", "array"), ("Oid", "array"),
         ("BOOLEAN", "list"), ("BIT STRING", "list"), ("UTCTime", "list"),
         ("Seq", "list"), ("Ch", "list"), ("ANY", "list"),
         ("SEQUENCE OF INTEGER", "list"),
      ]
      for element, rep in cases:
         with self.subTest(element=element):
            model = compile_model(module(
               "Oid ::= OBJECT IDENTIFIER\nSeq ::= SEQUENCE { a INTEGER }\n"
               "Ch ::= CHOICE { a INTEGER, b BOOLEAN }\n"
               "L ::= SEQUENCE OF %s" % element))
            self.assertEqual(typedef(model, "L").type.rep, rep)

   def test_fixed_capacity(self):
      cases = [
         ("BIT STRING { a(0), b(8) }  --# fixed", 9),
         ("BIT STRING  --# fixed 26", 26),
         ("BIT STRING (SIZE (256..512))  --# fixed", 512),
         ("OCTET STRING (SIZE (32 | 64))  --# fixed", 64),
         ("OCTET STRING (SIZE (16))  --# fixed 20", 20),
      ]
      for text, capacity in cases:
         with self.subTest(text=text):
            model = compile_model(module("F ::= " + text))
            t = typedef(model, "F").type
            self.assertEqual((t.rep, t.capacity), ("fixed", capacity))

   def test_defaults_without_directives(self):
      model = compile_model(module(
         "I ::= INTEGER\nB ::= BIT STRING\nO ::= OCTET STRING\n"
         "S ::= SEQUENCE { a INTEGER }"))
      self.assertEqual([typedef(model, n).type.rep for n in "IBOS"],
                       ["int32", "dynamic", "dynamic", None])
      self.assertFalse(typedef(model, "S").plain)


class DirectiveFaultTest(unittest.TestCase):
   def test_faults(self):
      cases = [
         ("A ::= INTEGER   --# bogus",
          "m.asn:2:17: unknown directive 'bogus'"),
         ("A ::= INTEGER   --# ,",
          "m.asn:2:17: empty directive"),
         ("A ::= INTEGER   --# bigint 4",
          "m.asn:2:17: invalid argument '4' of directive 'bigint'"),
         ("A ::= OCTET STRING   --# fixed x",
          "m.asn:2:22: invalid argument 'x' of directive 'fixed'"),
         ("A ::= BOOLEAN   --# bigint",
          "m.asn:2:17: directive 'bigint' needs an INTEGER type"),
         ("A ::= INTEGER   --# list",
          "m.asn:2:17: directive 'list' needs a SEQUENCE OF or SET OF type"),
         ("A ::= INTEGER   --# fixed",
          "m.asn:2:17: directive 'fixed' needs a BIT STRING or OCTET STRING "
          "type"),
         ("A ::= SEQUENCE { a OCTET STRING   --# sequence\n}",
          "m.asn:2:35: directive 'sequence' needs an ANY type"),
         ("A ::= INTEGER   --# bigint, uint32",
          "m.asn:2:17: directive 'uint32' conflicts with 'bigint'"),
         ("B ::= INTEGER\nA ::= SEQUENCE { b B   --# bigint\n}",
          "m.asn:3:24: directive 'bigint' cannot change the referenced type "
          "'B'"),
         ("A ::= INTEGER   --# true-default",
          "m.asn:2:17: directive 'true-default' applies to components only"),
         ("A ::= SEQUENCE { a INTEGER   --# true-default\n}",
          "m.asn:2:30: directive 'true-default' needs a component with "
          "DEFAULT"),
         ("a INTEGER ::= 5   --# bigint",
          "m.asn:2:19: directive 'bigint' applies to types and components "
          "only"),
         ("A ::= SEQUENCE { a INTEGER   --# plain\n}",
          "m.asn:2:30: directive 'plain' needs a type that has a name of "
          "its own"),
         ("A ::= OCTET STRING   --# fixed",
          "m.asn:2:22: directive 'fixed' needs a capacity: the type has no "
          "SIZE upper bound"),
         ("A ::= OCTET STRING (SIZE (1..MAX))   --# fixed 8",
          "m.asn:2:38: capacity 8 is below the SIZE bound 1..MAX"),
         ("A ::= OCTET STRING (SIZE (16))   --# fixed 8",
          "m.asn:2:34: capacity 8 is below the SIZE bound 16"),
         ("A ::= BIT STRING { a(9) }   --# fixed 8",
          "m.asn:2:29: capacity 8 cannot hold named bit 'a' (9)"),
         ("A ::= BIT STRING   --# fixed 0",
          "m.asn:2:20: directive 'fixed' needs a capacity above 0"),
         ("A ::= SEQUENCE { a IA5String DEFAULT \"x\"   --# true-default\n}",
          "m.asn:2:44: directive 'true-default' needs a BOOLEAN, INTEGER or "
          "ENUMERATED component"),
         ("A ::= PrintableString   --# xml-name",
          "m.asn:2:25: directive 'xml-name' needs a name"),
         ("A ::= PrintableString   --# xml-name 2x",
          "m.asn:2:25: invalid argument '2x' of directive 'xml-name'"),
         ("A ::= PrintableString   --# xml-name a b",
          "m.asn:2:25: invalid argument 'a b' of directive 'xml-name'"),
         ("A ::= SEQUENCE { a INTEGER   --# xml-name Number\n}",
          "m.asn:2:30: directive 'xml-name' needs a type that has a name of "
          "its own"),
      ]
      for body, expected in cases:
         with self.subTest(body=body):
            self.assertEqual(compile_errors(module(body)), [expected])

   def test_directive_without_owner(self):
      errors = compile_errors("M DEFINITIONS ::= BEGIN\nA ::= INTEGER\n"
                              "--# bigint\nEND\n")
      self.assertEqual(errors, ["m.asn:3:1: directive does not belong to a "
                                "definition or component"])


if __name__ == "__main__":
   unittest.main()
