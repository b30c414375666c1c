"""Components and named numbers: COMPONENTS OF expansion, duplicate names,
numbering of enumerations, DEFAULT handling and presence bits."""

import copy

from .errors import CompileError
from . import model as M
from . import values as V
from . import directives as D


def resolve_named(r, module, t):
   """Number the named numbers, enumeration items or named bits of `t`."""
   if not t.named:
      return
   what = {"INTEGER": "named number", "ENUMERATED": "enumeration item",
           "BIT STRING": "named bit"}[t.kind]
   names = {}
   for n in t.named:
      if n.name in names:
         raise CompileError(n.pos, "duplicate %s '%s'" % (what, n.name))
      names[n.name] = n
      if n.value is not None:
         n.number = V.int_value(r, module, n.value)
         if t.kind == "BIT STRING" and n.number < 0:
            raise CompileError(n.pos, "named bit '%s' must not be negative"
                               % n.name)
   if t.kind == "ENUMERATED":
      _number_enumeration(t)
   owners = {}
   for n in t.named:
      if n.number in owners:
         raise CompileError(n.pos, "value %d of '%s' is already used by '%s'"
                            % (n.number, n.name, owners[n.number]))
      owners[n.number] = n.name


def _number_enumeration(t):
   """X.680 20.3 and 20.4: unnumbered root items take the smallest free
   non-negative values in order; additions must grow."""
   used = set(n.number for n in t.named
              if n.number is not None and not n.extension)
   free = 0
   for n in t.named:
      if n.extension or n.number is not None:
         continue
      while free in used:
         free += 1
      n.number = free
      used.add(free)
   highest = max((n.number for n in t.named if not n.extension), default=-1)
   for n in t.named:
      if not n.extension:
         continue
      if n.number is None:
         n.number = highest + 1
      elif n.number <= highest:
         raise CompileError(n.pos, "enumeration addition '%s' must be above "
                            "%d" % (n.name, highest))
      highest = n.number


def _copy_component(c, pos, owner):
   new = copy.copy(c)
   new.type = copy.copy(c.type)
   new.type.tags = [copy.copy(tag) for tag in c.type.tags]
   new.directives = list(c.directives)
   new.comments = list(c.comments)
   new.pos = pos
   new.inherited_from = c.inherited_from or owner
   return new


def expand_components_of(td, active=None):
   """Replace COMPONENTS OF entries of a SEQUENCE or SET by copies of the
   root components of the referenced type (X.680 25.5)."""
   t = td.type
   if not any(c.components_of is not None for c in t.components):
      return
   active = active or []
   if td in active:
      raise CompileError(td.pos, "circular COMPONENTS OF in '%s'" % td.name)
   active.append(td)
   result = []
   for c in t.components:
      if c.components_of is None:
         result.append(c)
         continue
      src = c.components_of
      if src.kind != M.REFERENCE or src.tags or src.constraints:
         raise CompileError(src.pos, "COMPONENTS OF needs a reference to a "
                            "%s type" % t.kind)
      source = src.target
      while source.type.kind == M.REFERENCE and not source.type.tags:
         source = source.type.target
      if source.type.kind != t.kind:
         raise CompileError(src.pos, "COMPONENTS OF in a %s needs a %s type"
                            % (t.kind, t.kind))
      expand_components_of(source, active)
      for sc in source.type.components:
         if not sc.extension:
            result.append(_copy_component(sc, c.pos, source.name))
   active.pop()
   t.components = result


def check_names(t):
   word = "alternative" if t.kind == "CHOICE" else "component"
   seen = set()
   for c in t.components:
      if c.name in seen:
         raise CompileError(c.pos, "duplicate %s '%s'" % (word, c.name))
      seen.add(c.name)


def check_defined_by(t):
   """ANY DEFINED BY must name a component of the same type."""
   names = set(c.name for c in t.components)
   for c in t.components:
      by = c.type.defined_by
      if by is not None and by not in names:
         raise CompileError(c.type.pos, "no component '%s' for DEFINED BY"
                            % by)


def resolve_defaults(r, t):
   """Decide how each DEFAULT is held and number the presence bits: an
   OPTIONAL component, an extension addition and a DEFAULT component held
   as OPTIONAL each get the next bit."""
   bit = 0
   for c in t.components:
      if c.default is not None:
         c.default_value = V.resolve_value(r, c.module, c.default, c.type)
         c.default_mode = _default_mode(c)
      elif D.has(c, "true-default"):
         raise CompileError(D.find(c, "true-default").pos, "directive "
                            "'true-default' needs a component with DEFAULT")
      if c.optional or c.extension or c.default_mode == "optional":
         c.presence_bit = bit
         bit += 1


def _default_mode(c):
   """How a DEFAULT component is held: "zero", a plain field whose zero
   value is the default (DEFAULT FALSE, DEFAULT 0 written as a number);
   "value", a plain field set to the default before decoding and written
   only when it differs (BOOLEAN DEFAULT TRUE, true-default); "optional",
   like an OPTIONAL component with a presence bit (any other default)."""
   kind = c.type.resolved().kind
   if kind == "BOOLEAN":
      return "value" if c.default_value.data else "zero"
   if D.has(c, "true-default"):
      if kind not in ("INTEGER", "ENUMERATED"):
         raise CompileError(D.find(c, "true-default").pos, "directive "
                            "'true-default' needs a BOOLEAN, INTEGER or "
                            "ENUMERATED component")
      return "value"
   if (kind == "INTEGER" and c.default.kind == "number"
         and c.default.data == 0):
      return "zero"
   return "optional"
