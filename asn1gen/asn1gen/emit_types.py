"""What the back end needs to know about each type: its C++ value type, the
engine kind of its descriptor, its tags as tag words, the table constraint
its SEQUENCE carries, and which other value structures its own structure
needs to be complete.

Every generated name lives in namespace asn1data.  A named type `T` has the
value type `ASN1T_T` (a structure, or a typedef of the primitive form or of
the structure it aliases), the descriptor `asn1Desc_T` and, for structured
types, the component table `asn1Fields_T`; named numbers are in
`asn1Names_T`, a table constraint in `asn1Table_T`.
"""

from .errors import CompileError
from . import directives as D
from . import model as M

# Primitive value forms (the representations of the runtime).
CHAR_STRING_KINDS = frozenset((
   "UTF8String", "NumericString", "PrintableString", "TeletexString",
   "VideotexString", "IA5String", "GraphicString", "VisibleString",
   "GeneralString", "ObjectDescriptor", "UTCTime", "GeneralizedTime"))

INTEGER_FORMS = {
   "int32": ("Integer", "ASN1INT"),
   "uint32": ("Unsigned", "ASN1UINT"),
   "uint16": ("Unsigned16", "ASN1USINT"),
   "bigint": ("BigInteger", "const char*"),
}

# Element names of unnamed built-in types in XER.
BUILTIN_NAMES = {
   "BOOLEAN": "BOOLEAN", "INTEGER": "INTEGER", "ENUMERATED": "ENUMERATED",
   "NULL": "NULL", "OBJECT IDENTIFIER": "OBJECT_IDENTIFIER",
   "OCTET STRING": "OCTET_STRING", "BIT STRING": "BIT_STRING",
   "SEQUENCE OF": "SEQUENCE_OF", "SET OF": "SET_OF", M.OPEN: "ANY",
}

# Universal tag numbers as the runtime's macros spell them.
TAG_MACROS = {
   1: "ASN_ID_BOOL", 2: "ASN_ID_INT", 3: "ASN_ID_BITSTR", 4: "ASN_ID_OCTSTR",
   5: "ASN_ID_NULL", 6: "ASN_ID_OBJID", 7: "ASN_ID_OBJDSC", 10: "ASN_ID_ENUM",
   12: "ASN_ID_UTF8String", 16: "ASN_ID_SEQ", 17: "ASN_ID_SET",
   18: "ASN_ID_NumericString", 19: "ASN_ID_PrintableString",
   20: "ASN_ID_TeletexString", 21: "ASN_ID_VideotexString",
   22: "ASN_ID_IA5String", 23: "ASN_ID_UTCTime", 24: "ASN_ID_GeneralTime",
   25: "ASN_ID_GraphicString", 26: "ASN_ID_VisibleString",
   27: "ASN_ID_GeneralString", 28: "ASN_ID_UniversalString",
   30: "ASN_ID_BMPString",
}

CLASS_MACROS = {"APPLICATION": "TM_APPL", "CONTEXT": "TM_CTXT",
                "PRIVATE": "TM_PRIV"}

# Limits of the engine's descriptors.
MAX_PRESENCE_BITS = 32
MAX_SET_COMPONENTS = 64


def unit_name(module):
   """The C++ unit of a module: its name with '-' turned into '_'."""
   return module.name.replace("-", "_")


def final_typedef(td):
   """The named type at the end of an alias chain (td itself when it is
   not an alias)."""
   while td.type.kind == M.REFERENCE:
      td = td.type.target
   return td


def builtin(t):
   """The built-in type node a type node stands for, through references."""
   return t.resolved()


def is_null(t):
   return builtin(t).kind == "NULL"


def has_struct(td):
   """True when the named type is represented by a structure of its own."""
   t = td.type
   if t.kind in M.STRUCTURED or t.kind in M.LISTS:
      return True
   return t.kind in ("BIT STRING", "OCTET STRING") and t.rep == "fixed"


def struct_of(t):
   """The named type whose structure holds values of type node `t`, or
   None for a primitive form."""
   if t.kind != M.REFERENCE:
      return None
   td = final_typedef(t.target)
   return td if has_struct(td) else None


def value_type(td):
   return "ASN1T_" + td.name


def engine_kind(t):
   """The descriptor kind of a type node (references followed)."""
   b = builtin(t)
   kind = b.kind
   if kind == "INTEGER":
      return INTEGER_FORMS[b.rep or "int32"][0]
   simple = {"BOOLEAN": "Boolean", "ENUMERATED": "Enumerated", "NULL": "Null",
             "OBJECT IDENTIFIER": "ObjectId", "BMPString": "BMPString",
             "UniversalString": "UniversalString", M.OPEN: "OpenType",
             "SEQUENCE": "Sequence", "SET": "Set", "CHOICE": "Choice"}
   if kind in simple:
      return simple[kind]
   if kind == "OCTET STRING":
      return "OctetStringFixed" if b.rep == "fixed" else "OctetString"
   if kind == "BIT STRING":
      return "BitStringFixed" if b.rep == "fixed" else "BitString"
   if kind in CHAR_STRING_KINDS:
      return "CharString"
   if kind in M.LISTS:
      return "SequenceOfArray" if b.rep == "array" else "SequenceOfList"
   raise CompileError(t.pos, "type %s is not supported by the code "
                      "generator" % kind)


def primitive_ctype(b, table_object=False):
   """C++ form of a value of built-in primitive node `b`."""
   kind = b.kind
   if kind == "INTEGER":
      return INTEGER_FORMS[b.rep or "int32"][1]
   forms = {"BOOLEAN": "ASN1BOOL", "ENUMERATED": "ASN1UINT",
            "OBJECT IDENTIFIER": "ASN1OBJID", "BMPString": "ASN116BitCharString",
            "UniversalString": "ASN132BitCharString"}
   if kind in forms:
      return forms[kind]
   if kind == "OCTET STRING":
      return "ASN1TDynOctStr"
   if kind == "BIT STRING":
      return "ASN1TDynBitStr"
   if kind in CHAR_STRING_KINDS:
      return "const char*"
   if kind == M.OPEN:
      return "Asn1TObject" if table_object else "ASN1TOpenType"
   if kind == "NULL":
      return None
   raise CompileError(b.pos, "type %s is not supported by the code "
                      "generator" % kind)


def is_table_object(t):
   """An open type governed by a table constraint with a key: it is held
   as an Asn1TObject that also keeps the decoded value."""
   return (t.kind == M.OPEN and t.table is not None
           and t.table.key_path is not None)


def field_ctype(t):
   """C++ type of a field that holds a value of type node `t`; None for
   NULL, which has no storage."""
   td = struct_of(t)
   if td is not None:
      return value_type(td)
   if t.kind == M.REFERENCE:
      return primitive_ctype(builtin(t), is_table_object(builtin(t)))
   return primitive_ctype(t, is_table_object(t))


def held_by_pointer(t):
   """CHOICE alternatives of structured types, octet and bit strings,
   object identifiers and open types are held by pointer to a heap value;
   numbers, booleans and character strings are held in the union."""
   b = builtin(t)
   return (b.kind in M.STRUCTURED or b.kind in M.LISTS or b.kind in (
      "OCTET STRING", "BIT STRING", "OBJECT IDENTIFIER", M.OPEN))


def fixed_octets(t):
   """Octets of the array of a fixed-size BIT STRING or OCTET STRING."""
   if t.kind == "BIT STRING":
      return (t.capacity + 7) // 8
   return t.capacity


def xer_name(td):
   """Element name of a top-level value of a named type: the name that an
   `xml-name` directive gives, "NULL" for a NULL type, else the type
   name."""
   if td.xml_name is not None:
      return td.xml_name
   if td.type.kind == "NULL":
      return "NULL"
   return td.name


def builtin_name(b):
   return BUILTIN_NAMES.get(b.kind, b.kind)


def item_name(element):
   """XER element name of a list item: the name of a named item type, ""
   for CHOICE items (written as their alternative), None for open types."""
   b = builtin(element)
   if b.kind == "CHOICE":
      return ""
   if b.kind == M.OPEN:
      return None
   if element.kind == M.REFERENCE:
      return xer_name(element.target)
   return builtin_name(b)


def universal_tag(b):
   """The universal tag word of built-in node `b`; None for CHOICE and
   open types, except the SEQUENCE tag for an open type that must hold a
   SEQUENCE (directive `sequence`)."""
   if b.kind == M.OPEN and D.has(b, "sequence"):
      return "TM_CONS | " + TAG_MACROS[M.UNIVERSAL_TAGS["SEQUENCE"]]
   if b.kind in ("CHOICE", M.OPEN):
      return None
   number = M.UNIVERSAL_TAGS[b.kind]
   macro = TAG_MACROS[number]
   if b.kind in M.CONSTRUCTED:
      return "TM_CONS | " + macro
   return macro


def tag_word(cls, number, constructed):
   parts = [CLASS_MACROS[cls]]
   if constructed:
      parts.append("TM_CONS")
   parts.append(str(number))
   return " | ".join(parts)


def own_tag(t, pos):
   """(tag word, "Implicit" | "Explicit") of the tag a named type writes
   itself, from the encoded tag chain of its type node; None when the
   type writes only its universal tag."""
   wire = t.wire
   if wire[0].cls in ("UNIVERSAL", "CHOICE", "ANY"):
      return None
   if len(wire) > 2:
      raise CompileError(pos, "a type with more than one tag of its own is "
                         "not supported by the code generator")
   mode = "Explicit" if len(wire) == 2 else "Implicit"
   head = wire[0]
   return tag_word(head.cls, head.number, head.constructed), mode


def component_tag(c):
   """(tag word, "Implicit" | "Explicit") written in front of a component,
   or None."""
   tags = c.type.tags
   if not tags:
      return None
   if len(tags) > 1:
      raise CompileError(c.pos, "component '%s' has more than one tag, "
                         "which the code generator does not support"
                         % c.name)
   tag = tags[0]
   head = c.type.wire[0]
   return (tag_word(tag.cls, tag.number, head.constructed),
           "Explicit" if tag.explicit else "Implicit")


def bounds_expr(bounds, pos):
   """A Bounds initializer for a SIZE or value constraint; None when the
   engine does not check it (no constraint or an extensible one)."""
   if bounds is None or bounds.extensible or not bounds.ranges:
      return None
   lower, upper = bounds.lower, bounds.upper
   if lower is None and upper is None:
      return None
   for n in (lower, upper):
      if n is not None and not -(1 << 63) <= n < (1 << 63):
         raise CompileError(pos, "bound %d does not fit 64 bits" % n)
   if upper is None:
      return "asn1rt::atLeast(%s)" % int_literal(lower)
   if lower is None:
      return "asn1rt::atMost(%s)" % int_literal(upper)
   return "asn1rt::between(%s, %s)" % (int_literal(lower), int_literal(upper))


def range_end(n, open_end):
   """An end of a range in a list of ranges; `open_end` for MIN or MAX."""
   return open_end if n is None else int_literal(n)


def int_literal(n):
   if n < -(1 << 31) or n >= (1 << 31):
      return "INT64_C(%d)" % n
   return str(n)


def c_string(text):
   """A C++ string literal."""
   out = []
   for ch in text:
      if ch in '"\\':
         out.append("\\" + ch)
      elif " " <= ch <= "~":
         out.append(ch)
      else:
         out.extend("\\%03o" % b for b in ch.encode("utf-8"))
   return '"%s"' % "".join(out)


# -- presence -------------------------------------------------------------


def presence_bits(t):
   """{component name: bit in `m`} of a SEQUENCE or SET: the model's bits
   of OPTIONAL components, extension additions and defaults held as
   OPTIONAL. Defaults that the decoder fills in have no bit."""
   return {c.name: c.presence_bit for c in t.components
           if c.presence_bit is not None}


def presence(c):
   """How a component is held: "required", "optional" (a bit in `m`),
   "zero" (a plain field whose zero value is the default) or "default" (a
   plain field that the decoder sets to the default, written when it
   differs)."""
   if c.default_mode == "zero":
      return "zero"
   if c.default_mode == "value":
      return "default"
   if c.optional or c.extension or c.default_mode is not None:
      return "optional"
   return "required"


def default_constant(c):
   """(C++ type, initialiser) of the default of a component held as
   "default": a number, a boolean, or the decimal text of a big integer."""
   b = builtin(c.type)
   data = c.default_value.data
   if b.kind == "BOOLEAN":
      return "ASN1BOOL", "1" if data else "0"
   if b.kind == "INTEGER" and b.rep == "bigint":
      return "const char*", c_string(str(data))
   return primitive_ctype(b), int_literal(data)


# -- table constraints ------------------------------------------------------


class Table:
   """The table constraint that a SEQUENCE carries: the object set, the
   identifying component, the component that carries the open type and the
   form it travels in."""

   def __init__(self, spec, id_index, open_index, form, object_field):
      self.spec = spec
      self.id_index = id_index
      self.open_index = open_index
      self.form = form                  # OpenType, InOctetString, SetOfOpenTypes
      self.object_field = object_field  # name of the Asn1TObject beside an OCTET STRING


def _governed(c, owner):
   """(table constraint, form) of the open type component c carries for
   the SEQUENCE `owner`, or None."""
   t = c.type
   if is_table_object(t):
      return t.table, "OpenType"
   if (t.contains is not None and is_table_object(t.contains)
         and builtin(t).kind == "OCTET STRING"):
      return t.contains.table, "InOctetString"
   if t.kind == M.REFERENCE and t.target.type.kind in M.LISTS:
      element = t.target.type.element
      if is_table_object(element) and element.table.key_owner is owner:
         return element.table, "SetOfOpenTypes"
   return None


def table_of(td):
   """The Table of a SEQUENCE or SET typedef, or None."""
   t = td.type
   if t.kind not in ("SEQUENCE", "SET"):
      return None
   found = None
   for i, c in enumerate(t.components):
      governed = _governed(c, td)
      if governed is None:
         continue
      spec, form = governed
      if spec.key_owner is not td or len(spec.key_path) != 1:
         raise CompileError(spec.pos, "the code generator supports table "
                            "constraints whose key is a component of the "
                            "same SEQUENCE only")
      if found is not None:
         raise CompileError(spec.pos, "the code generator supports one "
                            "table-constrained component per SEQUENCE only")
      first = [f for f in spec.cls.fields if f.kind == "type"][:1]
      if first and spec.field is not first[0]:
         raise CompileError(spec.pos, "the code generator resolves open "
                            "types through the first type field of class "
                            "'%s' only" % spec.cls.asn1_name)
      key = spec.key_path[0]
      if builtin(key.type).kind != "OBJECT IDENTIFIER":
         raise CompileError(spec.pos, "the key of a table constraint must "
                            "be an OBJECT IDENTIFIER")
      object_field = c.cname + "Object" if form == "InOctetString" else None
      found = Table(spec, t.components.index(key), i, form, object_field)
   return found


def check_tables(model):
   """Every table constraint with a key must be one the engine resolves;
   raise the first one that is not."""
   attached = set()
   for m in model.modules:
      for td in m.typedefs:
         table = table_of(td)
         if table is not None:
            attached.add(id(table.spec))
   for m in model.modules:
      for td in m.typedefs:
         for t in _nodes(td.type):
            for node in (t, t.contains):
               if (node is not None and is_table_object(node)
                     and id(node.table) not in attached):
                  raise CompileError(node.table.pos, "the code generator "
                                     "supports table constraints on a "
                                     "component of the SEQUENCE that holds "
                                     "the key, or on the elements of a SET "
                                     "OF such a component, only")


def _nodes(t):
   yield t
   for c in t.components:
      yield c.type
   if t.element is not None:
      yield t.element


# -- structure dependencies -------------------------------------------------


def complete_needs(td):
   """Named types whose structures must be complete before the structure
   of `td` (components held inline)."""
   t = td.type
   needs = []
   if t.kind in ("SEQUENCE", "SET"):
      for c in t.components:
         s = struct_of(c.type)
         if s is not None and s not in needs:
            needs.append(s)
   return needs


def pointer_needs(td):
   """Named types whose structures `td` refers to by pointer or by a
   typedef (a forward declaration suffices)."""
   t = td.type
   needs = []
   if t.kind == "CHOICE":
      for c in t.components:
         s = struct_of(c.type)
         if s is not None:
            needs.append(s)
   elif t.kind in M.LISTS and t.rep == "array":
      s = struct_of(t.element)
      if s is not None:
         needs.append(s)
   elif t.kind == M.REFERENCE:
      s = struct_of(t)
      if s is not None:
         needs.append(s)
   return needs


def struct_order(typedefs, position):
   """The structures in `typedefs` in an order where every structure comes
   after those it holds inline; ties keep the global order `position`."""
   wanted = set(id(td) for td in typedefs)
   done = set()
   order = []
   active = []

   def visit(td):
      if id(td) in done:
         return
      if td in active:
         raise CompileError(td.pos, "'%s' contains itself; a recursive type "
                            "needs an OPTIONAL CHOICE, SEQUENCE OF or SET OF "
                            "in between" % td.name)
      active.append(td)
      for need in sorted(complete_needs(td), key=position):
         visit(need)
      active.pop()
      done.add(id(td))
      if id(td) in wanted:
         order.append(td)

   for td in sorted(typedefs, key=position):
      visit(td)
   return order


def needed_structs(own, position):
   """Own structures plus every foreign structure they need complete,
   transitively, in definition order."""
   result = []
   seen = set()

   def add(td):
      if id(td) in seen:
         return
      seen.add(id(td))
      result.append(td)
      for need in complete_needs(td):
         add(need)

   for td in own:
      add(td)
   return struct_order(result, position)
