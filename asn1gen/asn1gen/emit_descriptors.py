"""Descriptors: the tables the generic engine interprets for every type.

Each descriptor is a constexpr object filled by a lambda, so it is
initialised at compile time and may point to descriptors of other units
without any order of initialisation.  A type written inline (a primitive
component, or a reference with a constraint of its own) gets a descriptor
local to the unit, shared by every place that writes the same type."""

from .errors import CompileError
from . import model as M
from . import emit_types as E
from .emit_names import member, wrap, xml_name

# The own tag of a reference is that of the type it names.
INHERIT = object()

PRESENCE = {"required": "Required", "optional": "Optional",
            "zero": "DefaultZero", "default": "DefaultValue"}


def _chain(t):
   """Type nodes from `t` through references to the built-in node."""
   nodes = [t]
   while nodes[-1].kind == M.REFERENCE:
      nodes.append(nodes[-1].target.type)
   return nodes


def _defining(t):
   """The named type whose type node is the built-in end of `t`'s chain,
   or None when `t` is itself that node (an inline type)."""
   if t.kind != M.REFERENCE:
      return None
   return E.final_typedef(t.target)


def _default_name(td, c):
   """The constant that holds the default of component `c` of `td`."""
   return "kDefault_%s_%s" % (td.name, member(c.name))


class Describer:
   """Writes descriptors for one translation unit and keeps its pool of
   local descriptors."""

   def __init__(self, plan):
      self.plan = plan
      self.pool = {}        # body text -> local name
      self.ranges = {}      # range list text -> name of its array
      self.pool_lines = []
      self.referenced = []  # named types whose declarations the unit needs

   # -- references ----------------------------------------------------------

   def refer(self, td):
      if td not in self.referenced:
         self.referenced.append(td)

   def desc_of(self, t):
      """Address of the descriptor of type node `t` (a component,
      alternative, element or object type)."""
      if t.kind == M.REFERENCE and t.size is None and t.value_range is None:
         self.refer(t.target)
         return "&asn1Desc_" + t.target.name
      body = self.body(t, self._inline_name(t), INHERIT, _defining(t))
      text = "\n".join("%s=%s" % item for item in body)
      name = self.pool.get(text)
      if name is None:
         b = E.builtin(t)
         base = E.builtin_name(b).replace(" ", "_")
         name = "kInline%s%d" % (base, len(self.pool))
         self.pool[text] = name
         self.pool_lines += self._definition("static constexpr", name, body)
      return "&" + name

   def _inline_name(self, t):
      if t.kind == M.REFERENCE:
         return E.xer_name(t.target)
      return E.builtin_name(E.builtin(t))

   # -- bodies --------------------------------------------------------------

   def body(self, t, name, own, f):
      """Assignments that describe type node `t` under the element name
      `name`; `own` is the (tag word, mode) the type writes itself, None or
      INHERIT; `f` is the named type that defines the built-in end of the
      chain, if any."""
      chain = _chain(t)
      b = chain[-1]
      kind = E.engine_kind(b)
      out = [("kind", "asn1rt::Kind::" + kind),
             ("name", E.c_string(name)),
             ("valueSize", self._size(b, f))]
      tag = E.universal_tag(b)
      if tag is not None:
         out.append(("universalTag", tag))
      if own is INHERIT:
         own = (E.own_tag(t.target.type, t.target.pos)
                if t.kind == M.REFERENCE else None)
      if own is not None:
         out.append(("ownTag", own[0]))
         out.append(("ownTagging", "asn1rt::Tagging::" + own[1]))
      if f is not None:
         self.refer(f)
      if b.kind in M.STRUCTURED:
         out += self._structure(f)
      elif b.kind in M.LISTS:
         out += self._list(b, f)
      size = next((n.size for n in chain if n.size is not None), None)
      bounds = self.bounds(size, t.pos)
      if bounds is not None:
         out.append(("size", bounds))
      values = next((n.value_range for n in chain
                     if n.value_range is not None), None)
      if kind in ("Integer", "Unsigned", "Unsigned16"):
         bounds = self.bounds(values, t.pos)
         if bounds is not None:
            out.append(("value", bounds))
      if b.rep == "fixed":
         out.append(("fixedCapacity", str(E.fixed_octets(b))))
         if b.kind == "BIT STRING":
            out.append(("bitCapacity", str(b.capacity)))
      if b.named:
         if f is None:
            raise CompileError(t.pos, "named numbers of an unnamed type")
         out.append(("names", "asn1Names_" + f.name))
         out.append(("nameCount", str(len(b.named))))
      return out

   def bounds(self, bounds, pos):
      """The Bounds initializer of a SIZE or value constraint, or None; a
      union of several ranges, as (32 | 64), lists them in an array of the
      unit (one array per distinct list)."""
      hull = E.bounds_expr(bounds, pos)
      if hull is None or len(bounds.ranges) < 2:
         return hull
      items = ", ".join("{%s, %s}" % (E.range_end(lo, "INT64_MIN"),
                                       E.range_end(hi, "INT64_MAX"))
                        for lo, hi in bounds.ranges)
      name = self.ranges.get(items)
      if name is None:
         name = "kRanges%d" % len(self.ranges)
         self.ranges[items] = name
         self.pool_lines.append("static constexpr asn1rt::Range %s[] = {%s};"
                                % (name, items))
      return "asn1rt::anyOf(%s, %s, %d)" % (hull, name, len(bounds.ranges))

   def _size(self, b, f):
      if b.kind == "NULL":
         return "0"
      if f is not None and E.has_struct(f):
         return "sizeof(%s)" % E.value_type(f)
      return "sizeof(%s)" % E.primitive_ctype(b, E.is_table_object(b))

   def _structure(self, f):
      t = f.type
      value = E.value_type(f)
      out = [("fields", "asn1Fields_" + f.name),
             ("fieldCount", str(len(t.components)))]
      if t.kind == "CHOICE":
         out.append(("selectorOffset", "offsetof(%s, t)" % value))
         return out
      required = sum(1 for c in t.components
                     if E.presence(c) == "required")
      out.append(("requiredCount", str(required)))
      if E.presence_bits(t):
         out.append(("presenceOffset", "offsetof(%s, m)" % value))
      if t.extensible:
         out.append(("extensible", "1"))
         out.append(("extensionOffset", "offsetof(%s, extElem1)" % value))
      if self.plan.table(f) is not None:
         out.append(("table", "&asn1Table_" + f.name))
      return out

   def _list(self, b, f):
      out = [("elemType", self.desc_of(b.element))]
      if b.kind == "SET OF":
         out.append(("isSetOf", "1"))
      item = E.item_name(b.element)
      out.append(("itemName", "nullptr" if item is None
                  else E.c_string(item)))
      if b.rep == "array":
         out.append(("arrayElemOffset", "offsetof(%s, elem)"
                     % E.value_type(f)))
      return out

   # -- definitions ---------------------------------------------------------

   def _definition(self, qualifiers, name, body):
      lines = ["%s asn1rt::TypeDesc %s = [] {" % (qualifiers, name),
               "   asn1rt::TypeDesc d{};"]
      lines += ["   d.%s = %s;" % (field, expr) for field, expr in body]
      lines += ["   return d;", "}();"]
      return lines

   def typedef_descriptor(self, td):
      t = td.type
      own = E.own_tag(t, td.pos)
      return self._definition("constexpr", "asn1Desc_" + td.name,
                              self.body(t, E.xer_name(td), own,
                                        E.final_typedef(td)))

   def fields_array(self, td):
      t = td.type
      value = E.value_type(td)
      choice = t.kind == "CHOICE"
      bits = {} if choice else E.presence_bits(t)
      lines = []
      for c in t.components:
         if not choice and E.presence(c) == "default":
            lines.append("static constexpr %s %s = %s;" % (
               E.default_constant(c)[0], _default_name(td, c),
               E.default_constant(c)[1]))
      lines.append("constexpr asn1rt::FieldDesc asn1Fields_%s[] = {" % td.name)
      for c in t.components:
         tag = E.component_tag(c)
         if E.field_ctype(c.type) is None:
            offset = "0"
         else:
            offset = "offsetof(%s, %s%s)" % (value, "u." if choice else "",
                                             member(c.name))
         presence = "required" if choice else E.presence(c)
         bit = bits.get(c.name, -1)
         pointer = choice and E.held_by_pointer(c.type) \
            and E.field_ctype(c.type) is not None
         args = [E.c_string(xml_name(c.name)), self.desc_of(c.type), offset,
                 tag[0] if tag else "0",
                 "asn1rt::Tagging::" + (tag[1] if tag else "None"),
                 "asn1rt::Presence::" + PRESENCE[presence], str(bit),
                 "true" if pointer else "false"]
         if presence == "default":
            args.append("&" + _default_name(td, c))
         lines += wrap("   asn1rt::field(", args, "),", 17)
      lines.append("};")
      return lines

   def names_array(self, td):
      lines = ["constexpr asn1rt::NamedNumber asn1Names_%s[] = {" % td.name]
      for n in td.type.named:
         lines.append("   {%s, %s}," % (E.c_string(xml_name(n.name)),
                                        E.int_literal(n.number)))
      lines.append("};")
      return lines

   def table_desc(self, td):
      table = self.plan.table(td)
      s = table.spec.object_set
      offset = ("offsetof(%s, %s)" % (E.value_type(td), table.object_field)
                if table.object_field else "0")
      return ["constexpr asn1rt::TableDesc asn1Table_%s = {&asn1Set_%s, %d, %d, "
              "%s, asn1rt::TableForm::%s};" % (td.name, s.name,
                                                table.id_index,
                                                table.open_index, offset,
                                                table.form)]
