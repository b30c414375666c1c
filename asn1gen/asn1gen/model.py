"""The module model: what the parser builds and the resolver completes.

Parse-time fields hold the modules as written; the fields marked "resolved"
are filled by `resolve.resolve` and are what the back end consumes.  After
resolution every inline type that needs a name of its own has been moved
into a `TypeDef`, so each `TypeDef` describes exactly one level of structure.
"""

# Built-in type kinds and their universal tag numbers (X.680 clause 8).
UNIVERSAL_TAGS = {
   "BOOLEAN": 1, "INTEGER": 2, "BIT STRING": 3, "OCTET STRING": 4,
   "NULL": 5, "OBJECT IDENTIFIER": 6, "ObjectDescriptor": 7,
   "ENUMERATED": 10, "UTF8String": 12, "SEQUENCE": 16, "SEQUENCE OF": 16,
   "SET": 17, "SET OF": 17, "NumericString": 18, "PrintableString": 19,
   "TeletexString": 20, "VideotexString": 21, "IA5String": 22,
   "UTCTime": 23, "GeneralizedTime": 24, "GraphicString": 25,
   "VisibleString": 26, "GeneralString": 27, "UniversalString": 28,
   "BMPString": 30,
}

# Spellings that name the same built-in type.
KIND_SYNONYMS = {"T61String": "TeletexString", "ISO646String": "VisibleString"}

CHARACTER_STRINGS = frozenset((
   "UTF8String", "NumericString", "PrintableString", "TeletexString",
   "VideotexString", "IA5String", "GraphicString", "VisibleString",
   "GeneralString", "UniversalString", "BMPString", "ObjectDescriptor"))

CONSTRUCTED = frozenset(("SEQUENCE", "SET", "SEQUENCE OF", "SET OF"))
STRUCTURED = frozenset(("SEQUENCE", "SET", "CHOICE"))
LISTS = frozenset(("SEQUENCE OF", "SET OF"))

REFERENCE = "REFERENCE"      # a reference to a named type
OPEN = "OPEN"                # ANY, ANY DEFINED BY, or a class type field
CLASSFIELD = "CLASSFIELD"    # CLASS.&field before resolution


class Node:
   """Something a comment or directive can be attached to; `first` and
   `last` are the indices of its first and last tokens."""

   def __init__(self, pos):
      self.pos = pos
      self.first = -1
      self.last = -1
      self.comments = []
      self.directives = []


class Tag:
   """A tag as written.  `mode` is "IMPLICIT", "EXPLICIT" or None when the
   module default applies; resolution sets `explicit`."""

   def __init__(self, cls, number, mode, pos):
      self.cls = cls            # UNIVERSAL, APPLICATION, CONTEXT, PRIVATE
      self.number = number      # int, or a Value naming an INTEGER value
      self.mode = mode
      self.pos = pos
      self.explicit = None      # resolved

   def text(self):
      if self.cls == "CONTEXT":
         return "[%d]" % self.number
      return "[%s %d]" % (self.cls, self.number)


class WireTag:
   """One tag as it appears in an encoding; a chain ends either in a
   universal tag or in a "CHOICE" or "ANY" marker (no number), which stands
   for the tag of the alternative or of the open type's value."""

   __slots__ = ("cls", "number", "constructed")

   def __init__(self, cls, number, constructed):
      self.cls = cls
      self.number = number
      self.constructed = constructed

   def key(self):
      return (self.cls, self.number)

   def text(self):
      if self.number is None:
         return self.cls
      base = ("[%d]" % self.number if self.cls == "CONTEXT"
              else "[%s %d]" % (self.cls, self.number))
      return base + ("c" if self.constructed else "p")


class NamedNumber:
   """A named number of INTEGER, an item of ENUMERATED or a named bit."""

   def __init__(self, name, value, pos):
      self.name = name
      self.value = value        # Value as written (None: number from order)
      self.pos = pos
      self.extension = False    # an ENUMERATED item after "..."
      self.number = None        # resolved int
      self.cname = None         # resolved C++ spelling


class Reference:
   """A reference to a definition, optionally `Module.name`."""

   def __init__(self, name, pos, module=None):
      self.name = name
      self.pos = pos
      self.module = module


class Type(Node):
   def __init__(self, kind, pos):
      super().__init__(pos)
      self.kind = kind
      self.tags = []
      self.constraints = []     # constraint trees as written
      self.named = []           # NamedNumber list
      self.enum_extensible = False
      self.components = []      # Component list
      self.extensible = False
      self.element = None       # element Type of SEQUENCE OF / SET OF
      self.ref = None           # Reference of a REFERENCE
      self.class_ref = None     # Reference of CLASS.&field
      self.field = None         # "&field" of CLASS.&field
      self.defined_by = None    # identifier of ANY DEFINED BY
      # resolved
      self.target = None        # TypeDef of a REFERENCE
      self.value_range = None   # Bounds of an INTEGER value constraint
      self.size = None          # Bounds of a SIZE constraint
      self.table = None         # TableConstraint
      self.contains = None      # Type of a CONTAINING constraint
      self.rep = None           # representation, see directives.py
      self.capacity = None      # fixed capacity of a BIT/OCTET STRING
      self.class_field = None   # (ClassDef, ClassField) it came from
      self.module = None        # Module where the type is written
      self.wire = None          # WireTag chain of its encoding

   def resolved(self):
      """The built-in type behind any chain of references."""
      t = self
      seen = set()
      while t.kind == REFERENCE and t.target is not None:
         if id(t) in seen:
            break
         seen.add(id(t))
         t = t.target.type
      return t


class Component(Node):
   """A component of SEQUENCE or SET, or an alternative of CHOICE."""

   def __init__(self, name, type_, pos):
      super().__init__(pos)
      self.name = name
      self.type = type_
      self.optional = False
      self.default = None        # Value as written
      self.extension = False     # an extension addition
      self.components_of = None  # Type of COMPONENTS OF (before expansion)
      # resolved
      self.cname = None
      self.presence_bit = None
      self.default_mode = None   # "zero", "value" or "optional"
      self.default_value = None  # RValue
      self.inherited_from = None # TypeDef name when copied by COMPONENTS OF
      self.module = None         # Module where the component is written


class Value(Node):
   """A value as written.  Brace values keep their tokens, because their
   meaning (OID, named bits, SEQUENCE value) depends on the governing type."""

   def __init__(self, kind, pos, data=None):
      super().__init__(pos)
      self.kind = kind          # number boolean null cstring bstring hstring
      self.data = data          # ref braces choice
      # For "ref": a Reference; "braces": token list; "choice": (name, Value)


class RValue:
   """A resolved value: `kind` is the built-in kind of its type, `data` the
   Python form (int, bool, OidArc list, bit names...), `canon` its
   canonical spelling and `name` the identifier it was written as (a value
   reference or a named number), if any."""

   def __init__(self, kind, data, canon, name=None, ref=None):
      self.kind = kind
      self.data = data
      self.canon = canon
      self.name = name
      self.ref = ref            # ValueDef when written as a bare reference

   @property
   def text(self):
      return self.canon if self.name is None else "%s (%s)" % (self.canon,
                                                               self.name)


class OidArc:
   __slots__ = ("name", "number")

   def __init__(self, name, number):
      self.name = name
      self.number = number


class TableConstraint:
   def __init__(self, set_ref, at, pos):
      self.set_ref = set_ref    # Reference to an object set
      self.at = at              # None, or (relative, [component names])
      self.pos = pos
      # resolved
      self.object_set = None    # ObjectSetDef
      self.cls = None           # ClassDef of the constrained field
      self.field = None         # ClassField that is constrained
      self.key_owner = None     # TypeDef that holds the key component
      self.key_path = None      # component list from key_owner to the key


class Definition(Node):
   def __init__(self, name, pos):
      super().__init__(pos)
      self.asn1_name = name
      self.name = name          # resolved: generated C++ name
      self.module = None


class TypeDef(Definition):
   """A named type: an assignment, or an inline type that got a name.
   `origin` is "type", "inline", "seqof" or "object"."""

   def __init__(self, name, type_, pos, origin="type"):
      super().__init__(name, pos)
      self.type = type_
      self.origin = origin
      self.parent = None        # enclosing Definition of a generated type
      self.plain = False        # no ASN1TPDU base and no free function
      self.xml_name = None      # XER element name other than the type name


class ValueDef(Definition):
   def __init__(self, name, type_, value, pos):
      super().__init__(name, pos)
      self.type = type_
      self.value = value
      self.rvalue = None        # resolved RValue


class ClassField:
   def __init__(self, name, pos):
      self.name = name          # "&id", "&Type"
      self.pos = pos
      self.kind = None          # "type" or "value"
      self.type = None          # Type of a fixed-type value field
      self.unique = False
      self.optional = False
      self.default = None       # Type or Value


class ClassDef(Definition):
   def __init__(self, name, pos):
      super().__init__(name, pos)
      self.fields = []
      self.syntax = None        # WITH SYNTAX items, None for default syntax

   def field(self, name):
      for f in self.fields:
         if f.name == name:
            return f
      return None


class SyntaxItem:
   """A literal word, a field, or an optional group of WITH SYNTAX."""

   def __init__(self, kind, text, pos, items=None):
      self.kind = kind          # "literal", "field", "group"
      self.text = text
      self.pos = pos
      self.items = items or []


class ObjectDef(Definition):
   def __init__(self, name, class_ref, body, pos):
      super().__init__(name, pos)
      self.class_ref = class_ref
      self.body = body          # Value of kind "braces" (the object text)
      self.cls = None           # resolved ClassDef
      self.fields = {}          # resolved: "&Type" -> Type, "&id" -> RValue


class ObjectSetDef(Definition):
   def __init__(self, name, class_ref, elements, extensible, pos):
      super().__init__(name, pos)
      self.class_ref = class_ref
      self.elements = elements  # Reference or Value("braces") per element
      self.extensible = extensible
      self.cls = None           # resolved ClassDef
      self.objects = []         # resolved ObjectDef list, in search order


class PendingAssignment(Definition):
   """`name Governor ::= value`, whose meaning depends on whether Governor
   names a type (a value assignment) or a class (an object assignment)."""

   def __init__(self, name, governor, value, pos):
      super().__init__(name, pos)
      self.governor = governor  # Reference
      self.value = value


class Import:
   def __init__(self, module, pos, symbols):
      self.module = module      # module name
      self.pos = pos
      self.symbols = symbols    # list of Reference


class Module(Node):
   def __init__(self, name, pos):
      super().__init__(pos)
      self.name = name
      self.file = pos.file
      self.oid = None           # Value("braces") of the module identifier
      self.tag_default = "EXPLICIT"
      self.extensibility_implied = False
      self.exports = None       # None: everything; else list of Reference
      self.imports = []
      self.assignments = []     # definitions in source order
      # resolved
      self.oid_arcs = None
      self.local = {}           # ASN.1 name -> Definition of this module
      self.scope = {}           # ASN.1 name -> Definition (own and imported)
      self.typedefs = []        # every TypeDef of the module, emission order


class Model:
   """The resolved modules; `names` maps every generated C++ name to its
   definition."""

   def __init__(self, modules, names):
      self.modules = modules
      self.names = names
