"""Tags: tagging modes, automatic tagging, the tags each type shows in an
encoding, and the distinctness that BER decoding relies on (X.680 clauses
24 to 31)."""

from .errors import CompileError
from . import model as M
from . import values as V

MAX_TAG_NUMBER = (1 << 29) - 1   # the number bits of an ASN1TagWord


def _untagged_choice_or_open(t):
   """True when the type below a tag is an untagged CHOICE or open type,
   which makes that tag explicit whatever the module default says."""
   seen = set()
   while t.kind == M.REFERENCE and id(t) not in seen:
      seen.add(id(t))
      t = t.target.type
      if t.tags:
         return False
   return t.kind in ("CHOICE", M.OPEN)


def resolve_tags(r, module, t):
   """Fix the number and the mode of every tag written on `t`."""
   for i, tag in enumerate(t.tags):
      if tag.explicit is not None:
         continue
      if not isinstance(tag.number, int):
         tag.number = V.int_value(r, module, tag.number)
      if tag.cls == "UNIVERSAL":
         raise CompileError(tag.pos, "UNIVERSAL class tags are reserved")
      if tag.number < 0 or tag.number > MAX_TAG_NUMBER:
         raise CompileError(tag.pos, "tag number %d is out of range"
                            % tag.number)
      innermost = i == len(t.tags) - 1
      forced = innermost and _untagged_choice_or_open(t)
      if tag.mode == "EXPLICIT":
         tag.explicit = True
      elif tag.mode == "IMPLICIT":
         if forced:
            what = ("an open type" if t.resolved().kind == M.OPEN
                    else "an untagged CHOICE")
            raise CompileError(tag.pos, "an IMPLICIT tag cannot be applied "
                               "to %s" % what)
         tag.explicit = False
      else:
         tag.explicit = module.tag_default == "EXPLICIT" or forced


def automatic_tags(r, module, t):
   """X.680 25.3: in a module with AUTOMATIC TAGS, a SEQUENCE, SET or CHOICE
   none of whose written components is tagged gets context tags 0, 1, ...
   on all components."""
   if module.tag_default != "AUTOMATIC" or t.kind not in M.STRUCTURED:
      return
   written = [c for c in t.components if c.inherited_from is None]
   if any(c.type.tags for c in written):
      return
   for number, c in enumerate(t.components):
      tag = M.Tag("CONTEXT", number, None, c.pos)
      c.type.tags = [tag] + c.type.tags
      resolve_tags(r, module, c.type)


def wire(t):
   """The tags of `t` as they appear in an encoding, outermost first; the
   chain ends in a universal tag, or in a CHOICE or ANY marker when the
   innermost type is an untagged CHOICE or open type."""
   if t.kind == M.REFERENCE:
      chain = list(wire(t.target.type))
   elif t.kind == "CHOICE":
      chain = [M.WireTag("CHOICE", None, None)]
   elif t.kind == M.OPEN:
      chain = [M.WireTag("ANY", None, None)]
   else:
      chain = [M.WireTag("UNIVERSAL", M.UNIVERSAL_TAGS[t.kind],
                         t.kind in M.CONSTRUCTED)]
   for tag in reversed(t.tags):
      if tag.explicit:
         chain.insert(0, M.WireTag(tag.cls, tag.number, True))
      else:
         chain[0] = M.WireTag(tag.cls, tag.number, chain[0].constructed)
   return chain


def first_tags(t, seen=None):
   """The tags an encoding of `t` may start with, as {key: text}; None
   when it may start with any tag (an untagged open type)."""
   head = wire(t)[0]
   if head.cls == "ANY":
      return None
   if head.cls != "CHOICE":
      return {head.key(): tag_text(head)}
   choice = t.resolved()
   seen = seen or set()
   if id(choice) in seen:
      return {}
   seen.add(id(choice))
   result = {}
   for alt in choice.components:
      tags = first_tags(alt.type, seen)
      if tags is None:
         return None
      result.update(tags)
   return result


def tag_text(w):
   if w.cls == "CONTEXT":
      return "[%d]" % w.number
   return "[%s %d]" % (w.cls, w.number)


def check_distinct(t):
   """Raise CompileError when a decoder could not tell the components or
   alternatives of `t` apart by their tags."""
   if t.kind == "CHOICE":
      _check_unique(t.components, "alternative")
   elif t.kind == "SET":
      _check_unique(t.components, "component")
   elif t.kind == "SEQUENCE":
      _check_sequence(t.components)


def _check_unique(components, word):
   used = {}
   for c in components:
      tags = first_tags(c.type)
      if tags is None:
         raise CompileError(c.pos, "%s '%s' is an untagged open type"
                            % (word, c.name))
      for key, text in sorted(tags.items()):
         if key in used:
            raise CompileError(c.pos, "tag %s of %s '%s' is already used by "
                               "%s '%s'" % (text, word, c.name, word,
                                            used[key]))
         used[key] = c.name


def _check_sequence(components):
   pending = []
   for c in components:
      tags = first_tags(c.type)
      for other, other_tags in pending:
         if tags is None or other_tags is None:
            raise CompileError(c.pos, "component '%s' cannot be told apart "
                               "from optional component '%s'"
                               % (c.name, other.name))
         common = sorted(set(tags) & set(other_tags))
         if common:
            raise CompileError(c.pos, "tag %s of component '%s' is "
                               "ambiguous with optional component '%s'"
                               % (tags[common[0]], c.name, other.name))
      if c.optional or c.default is not None or c.extension:
         pending.append((c, tags))
      else:
         pending = []
