"""Generated names: C++ spelling, inline types, shared list types, object
types, NULL types, and where tags end up."""

import unittest

from asn1gen_testlib import compile_errors, compile_model, module, typedef


def names_and_origins(model, module_name):
   m = next(m for m in model.modules if m.name == module_name)
   return [(td.name, td.origin, td.parent.name if td.parent else None)
           for td in m.typedefs]


class InlineNameTest(unittest.TestCase):
   def test_names_from_the_place_of_definition(self):
      model = compile_model(module(
         "Item ::= SEQUENCE { id INTEGER }\n"
         "Outer ::= SEQUENCE {\n"
         "   info SEQUENCE { kind CHOICE { a INTEGER, b BOOLEAN } },\n"
         "   pvno INTEGER { ietf-version2(1) },\n"
         "   items SEQUENCE OF Item,\n"
         "   set-items SET OF Item,\n"
         "   sized SEQUENCE SIZE (1..MAX) OF Item,\n"
         "   anon SEQUENCE OF SEQUENCE { x INTEGER },\n"
         "   ints SET OF INTEGER,\n"
         "   state ENUMERATED { on, off },\n"
         "   text IA5String (SIZE (1..8)) }\n"
         "List ::= SEQUENCE OF CHOICE { a INTEGER, b BOOLEAN }",
         "M DEFINITIONS IMPLICIT TAGS ::="))
      self.assertEqual(names_and_origins(model, "M"), [
         ("Item", "type", None),
         ("Outer", "type", None),
         ("Outer_info", "inline", "Outer"),
         ("Outer_info_kind", "inline", "Outer_info"),
         ("Outer_pvno", "inline", "Outer"),
         ("_SeqOfItem", "seqof", "Outer"),
         ("_SetOfItem", "seqof", "Outer"),
         ("Outer_sized", "inline", "Outer"),
         ("Outer_anon_element", "inline", "Outer"),
         ("_SeqOfOuter_anon_element", "seqof", "Outer"),
         ("Outer_ints", "inline", "Outer"),
         ("Outer_state", "inline", "Outer"),
         ("List", "type", None),
         ("List_element", "inline", "List")])
      text = typedef(model, "Outer").type.components[-1].type
      self.assertEqual((text.kind, text.size.lower, text.size.upper),
                       ("IA5String", 1, 8))

   def test_hyphens_become_underscores(self):
      model = compile_model(module(
         "Postal-Code ::= SEQUENCE { x121-dcc-code INTEGER { tele-tex(4) } }\n"
         "id-at-name OBJECT IDENTIFIER ::= { 2 5 4 41 }"))
      td = typedef(model, "Postal_Code")
      comp = td.type.components[0]
      self.assertEqual((td.asn1_name, comp.name, comp.cname),
                       ("Postal-Code", "x121-dcc-code", "x121_dcc_code"))
      inner = typedef(model, "Postal_Code_x121_dcc_code")
      self.assertEqual([(n.name, n.cname) for n in inner.type.named],
                       [("tele-tex", "tele_tex")])
      self.assertEqual(model.names["id_at_name"].asn1_name, "id-at-name")

   def test_null_types_take_a_trailing_underscore(self):
      model = compile_model(module(
         "Nothing ::= NULL\nAlias ::= Nothing\nTagged ::= [0] NULL\n"
         "Holder ::= SEQUENCE { n Nothing, m NULL }"))
      self.assertEqual(sorted(n for n in model.names if n.endswith("_")),
                       ["Alias_", "Nothing_", "Tagged_"])
      comps = typedef(model, "Holder").type.components
      self.assertEqual([(c.type.kind, c.type.target.name if c.type.target
                         else None) for c in comps],
                       [("REFERENCE", "Nothing_"), ("NULL", None)])


class TagPlacementTest(unittest.TestCase):
   def test_named_inline_types_carry_their_tags(self):
      model = compile_model(module(
         "N ::= CHOICE { other [0] SEQUENCE { id OBJECT IDENTIFIER } }\n"
         "R ::= SEQUENCE { certs [1] SEQUENCE SIZE (1..MAX) OF N,\n"
         "                 attrs [2] SET OF N,\n"
         "                 data [3] OCTET STRING }",
         "M DEFINITIONS IMPLICIT TAGS ::="))
      other = typedef(model, "N").type.components[0]
      self.assertEqual(other.type.tags, [])
      self.assertEqual([(t.number, t.explicit)
                        for t in typedef(model, "N_other").type.tags],
                       [(0, False)])
      certs, attrs, data = typedef(model, "R").type.components
      self.assertEqual(certs.type.tags, [])
      self.assertEqual([t.number for t in typedef(model, "R_certs").type.tags],
                       [1])
      # A shared list type keeps the tag on the component.
      self.assertEqual((attrs.type.target.name, attrs.type.tags[0].number),
                       ("_SetOfN", 2))
      self.assertEqual(typedef(model, "_SetOfN").type.tags, [])
      # A primitive stays inline with its tag.
      self.assertEqual((data.type.kind, data.type.tags[0].number),
                       ("OCTET STRING", 3))


class ObjectTypeNameTest(unittest.TestCase):
   def test_object_field_types(self):
      model = compile_model(module(
         "EXT ::= CLASS { &id INTEGER UNIQUE, &ExtnType }\n"
         "T ::= INTEGER\n"
         "a EXT ::= { &id 1, &ExtnType SEQUENCE SIZE (1..MAX) OF T }\n"
         "b EXT ::= { &id 2, &ExtnType T }\n"
         "c EXT ::= { &id 3, &ExtnType NULL }\n"
         "d EXT ::= { &id 4, &ExtnType OCTET STRING }\n"
         "e EXT ::= { &id 5, &ExtnType PrintableString }\n"
         "f EXT ::= { &id 6, &ExtnType IA5String (SIZE (1..8)) }\n"
         "g EXT ::= { &id 7, &ExtnType [1] UTF8String }"))
      fields = {o: model.names[o].fields["&ExtnType"] for o in "abcdefg"}
      self.assertEqual(fields["a"].target.name, "_a_ExtnType")
      self.assertEqual(typedef(model, "_a_ExtnType").parent.name, "a")
      self.assertEqual(fields["b"].target.name, "T")
      self.assertEqual(fields["c"].kind, "NULL")
      self.assertEqual(fields["d"].target.name, "_d_ExtnType")
      # A bare character string stays the built-in type; a constrained or
      # tagged one gets a type of its own.
      self.assertEqual(fields["e"].kind, "PrintableString")
      self.assertNotIn("_e_ExtnType", model.names)
      self.assertEqual(fields["f"].target.name, "_f_ExtnType")
      self.assertEqual(fields["g"].target.name, "_g_ExtnType")


class SharedListTest(unittest.TestCase):
   def test_one_list_type_for_all_users_in_first_module(self):
      model = compile_model({
         "a.asn": "A DEFINITIONS ::= BEGIN\nEXPORTS ALL;\n"
                  "E ::= SEQUENCE { x INTEGER }\n"
                  "U1 ::= SEQUENCE { l SEQUENCE OF E }\nEND\n",
         "b.asn": "B DEFINITIONS ::= BEGIN\nIMPORTS E FROM A;\n"
                  "U2 ::= SEQUENCE { k SEQUENCE OF E, j SEQUENCE OF E }\nEND\n"})
      shared = typedef(model, "_SeqOfE")
      self.assertEqual(shared.module.name, "A")
      users = [c.type.target for c in typedef(model, "U2").type.components]
      self.assertEqual(users, [shared, shared])
      self.assertNotIn(shared, model.modules[1].typedefs)

   def test_shared_list_directives_must_agree(self):
      errors = compile_errors(module(
         "E ::= INTEGER\n"
         "U ::= SEQUENCE {\n"
         "   a SEQUENCE OF E,   --# list\n"
         "   b [0] SEQUENCE OF E }"))
      self.assertEqual(errors, ["m.asn:5:6: directives for '_SeqOfE' differ "
                                "from those at m.asn:4:6"])

   def test_generated_names_clash(self):
      errors = compile_errors(module(
         "A ::= SEQUENCE { b-c SEQUENCE { x INTEGER } }\n"
         "A-b ::= SEQUENCE { c SEQUENCE { y INTEGER } }"))
      self.assertEqual(errors, ["m.asn:3:22: generated name 'A_b_c' is already "
                                "used by the definition at m.asn:2:22"])


if __name__ == "__main__":
   unittest.main()
