"""Generated names, and the moving of inline types into named types.

Every ASN.1 name becomes a C++ name by turning "-" into "_"; a type defined
as NULL takes a trailing "_".  An inline type that needs code of its own
gets a name from the place where it stands:
  <Outer>_<component>     an inline SEQUENCE, SET, CHOICE, ENUMERATED, named
                          INTEGER or BIT STRING, fixed-size string, or a
                          constrained (or primitive-element) SEQUENCE OF
  <Context>_element       the inline element type of a SEQUENCE OF / SET OF
  _SeqOf<Elem>/_SetOf<Elem>  an unconstrained list of a named element type;
                          one such type serves every place that writes it
  _<object>_<Field>       the type that an information object gives a field,
                          unless it is a bare character string type (no tag,
                          no constraint): that one stays the built-in type,
                          and its XER element is the built-in name
                          (<PrintableString>DE</PrintableString>)
Tags written on a named inline type move into it (the type writes its own
tag); the tags of a shared list type stay with the component.
"""

from .errors import CompileError
from . import model as M
from . import directives as D


def cname(name):
   return name.replace("-", "_")


def needs_name(t):
   """True when an inline type needs a structure or tables of its own."""
   if t.kind in M.STRUCTURED or t.kind in M.LISTS or t.kind == "ENUMERATED":
      return True
   if t.kind in ("INTEGER", "BIT STRING") and t.named:
      return True
   return t.kind in ("BIT STRING", "OCTET STRING") and D.has(t, "fixed")


def _plain_reference(t):
   return t.kind == M.REFERENCE and not t.tags and not t.constraints


def _bare_string(t):
   """A character string type written without tag, constraint or
   directive: an object's value of it is the built-in type itself."""
   return (t.kind in M.CHARACTER_STRINGS and not t.tags and not t.constraints
           and not t.directives)


def _reference_to(td, like):
   ref = M.Type(M.REFERENCE, like.pos)
   ref.ref = M.Reference(td.name, like.pos)
   ref.target = td
   ref.module = like.module
   ref.first, ref.last = like.first, like.last
   return ref


class Namer:
   def __init__(self, resolver):
      self.r = resolver
      self.shared = {}

   def name_module(self, module):
      for d in module.assignments:
         if isinstance(d, M.TypeDef):
            d.name = cname(d.asn1_name)
            if d.type.resolved().kind == "NULL":
               d.name += "_"
            self.add(module, d)
            self.hoist_structure(d)
         elif isinstance(d, M.ObjectDef):
            d.name = cname(d.asn1_name)
            self.r.register(d)
            for field, value in list(d.fields.items()):
               if isinstance(value, M.Type):
                  d.fields[field] = self.object_type(d, field, value)
         else:
            d.name = cname(d.asn1_name)
            self.r.register(d)

   def add(self, module, td):
      td.module = module
      module.typedefs.append(td)
      self.r.register(td)

   def object_type(self, obj, field, t):
      if _plain_reference(t) or _bare_string(t) or t.kind == M.OPEN or (
            t.kind == "NULL" and not t.tags):
         return t
      td = M.TypeDef("_%s_%s" % (obj.name, cname(field[1:])), t, t.pos,
                     origin="object")
      td.asn1_name = None
      td.parent = obj
      self.add(obj.module, td)
      self.hoist_structure(td)
      return _reference_to(td, t)

   def hoist_structure(self, td):
      t = td.type
      for c in t.components:
         c.cname = cname(c.name) if c.name is not None else None
         c.module = td.module
         if c.type is not None:
            c.type = self.inline(td, "%s_%s" % (td.name, c.cname), c.type)
      for n in t.named:
         n.cname = cname(n.name)
      if t.kind in M.LISTS:
         t.element = self.inline(td, td.name + "_element", t.element)

   def inline(self, parent, base, t):
      if not needs_name(t):
         return t
      if t.kind in M.LISTS and not t.constraints and (
            _plain_reference(t.element) or needs_name(t.element)):
         return self.shared_list(parent, base, t)
      td = M.TypeDef(base, t, t.pos, origin="inline")
      td.asn1_name = None
      td.parent = parent
      self.add(parent.module, td)
      self.hoist_structure(td)
      return _reference_to(td, t)

   def shared_list(self, parent, base, t):
      element = self.inline(parent, base + "_element", t.element)
      prefix = "_SeqOf" if t.kind == "SEQUENCE OF" else "_SetOf"
      name = prefix + element.target.name
      td = self.shared.get(name)
      if td is None:
         list_type = M.Type(t.kind, t.pos)
         list_type.element = element
         list_type.directives = t.directives
         td = M.TypeDef(name, list_type, t.pos, origin="seqof")
         td.asn1_name = None
         td.parent = parent
         self.shared[name] = td
         self.add(parent.module, td)
      elif (sorted(d.text() for d in td.type.directives)
            != sorted(d.text() for d in t.directives)):
         raise CompileError(t.pos, "directives for '%s' differ from those "
                            "at %s" % (name, td.pos))
      ref = _reference_to(td, t)
      ref.tags = t.tags
      ref.comments = t.comments
      return ref
