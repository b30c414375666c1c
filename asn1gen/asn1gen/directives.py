"""Comments and `--#` directives: attaching them to definitions, components
and types, and turning directives into representation choices.

A directive comment is `--# name [argument]`, several separated by commas.
A comment on a line of its own belongs to the definition or component that
starts right after it; a comment after other text on a line belongs to the
definition or component that ends on that line (before an optional comma),
or else to the innermost one that contains the text before it.
"""

from .errors import CompileError
from . import model as M

INTEGER_REPS = ("int32", "uint32", "uint16", "bigint")
LIST_REPS = ("list", "array")

# Arguments a directive takes: none, an optional number, or a name.
NO_ARG, NUMBER, NAME = "none", "number", "name"

# name -> (target, kinds the directive fits, argument)
SPECS = {
   "int32": ("type", ("INTEGER",), NO_ARG),
   "uint32": ("type", ("INTEGER",), NO_ARG),
   "uint16": ("type", ("INTEGER",), NO_ARG),
   "bigint": ("type", ("INTEGER",), NO_ARG),
   "list": ("type", tuple(M.LISTS), NO_ARG),
   "array": ("type", tuple(M.LISTS), NO_ARG),
   "fixed": ("type", ("BIT STRING", "OCTET STRING"), NUMBER),
   "plain": ("typedef", None, NO_ARG),
   "xml-name": ("typedef", None, NAME),
   "true-default": ("component", None, NO_ARG),
   "sequence": ("type", (M.OPEN,), NO_ARG),
}

CONFLICT_GROUPS = (INTEGER_REPS, LIST_REPS)

KIND_PHRASES = {
   ("INTEGER",): "an INTEGER type",
   tuple(M.LISTS): "a SEQUENCE OF or SET OF type",
   ("BIT STRING", "OCTET STRING"): "a BIT STRING or OCTET STRING type",
   (M.OPEN,): "an ANY type",
}


class Directive:
   def __init__(self, name, arg, pos):
      self.name = name
      self.arg = arg            # int, str (a name) or None
      self.pos = pos

   def text(self):
      return self.name if self.arg is None else "%s %s" % (self.name, self.arg)


def _is_xml_name(word):
   """An XML element name as XER writes them: a letter or "_", then
   letters, digits, "_", "-" and "."."""
   return ((word[0].isalpha() or word[0] == "_") and word.isascii()
           and all(ch.isalnum() or ch in "_-." for ch in word))


def parse_directives(comment):
   """Split the text of a `--#` comment into Directive records."""
   result = []
   for part in comment.text.split(","):
      words = part.split()
      if not words:
         raise CompileError(comment.pos, "empty directive")
      name = words[0]
      spec = SPECS.get(name)
      if spec is None:
         raise CompileError(comment.pos, "unknown directive '%s'" % name)
      arg = None
      if len(words) > 1:
         fits = (spec[2] == NUMBER and words[1].isdigit()
                 or spec[2] == NAME and _is_xml_name(words[1]))
         if not fits or len(words) > 2:
            raise CompileError(comment.pos, "invalid argument '%s' of "
                               "directive '%s'" % (" ".join(words[1:]), name))
         arg = int(words[1]) if spec[2] == NUMBER else words[1]
      elif spec[2] == NAME:
         raise CompileError(comment.pos, "directive '%s' needs a name" % name)
      result.append(Directive(name, arg, comment.pos))
   return result


def _attachable(module):
   """Definitions, components and structured types of a module, the
   types given in information objects included."""
   nodes = []

   def visit_type(t):
      if t is None:
         return
      if t.kind in M.STRUCTURED or t.kind in M.LISTS:
         nodes.append(t)
      for c in t.components:
         nodes.append(c)
         visit_type(c.type if c.type is not None else c.components_of)
      visit_type(t.element)

   for d in module.assignments:
      nodes.append(d)
      if isinstance(d, M.TypeDef):
         visit_type(d.type)
      elif isinstance(d, M.ObjectDef):
         for setting in d.fields.values():
            if isinstance(setting, M.Type):
               visit_type(setting)
   return nodes


def _span(node):
   return node.last - node.first


def _owner(nodes, tokens, comment):
   if comment.own_line:
      following = comment.prev + 1
      starting = [n for n in nodes if n.first == following]
      return max(starting, key=_span) if starting else None
   p = comment.prev
   after_comma = tokens[p].is_(",")
   ending = [n for n in nodes
             if n.last == p or (after_comma and n.last == p - 1)]
   if ending:
      return max(ending, key=_span)
   containing = [n for n in nodes if n.first <= p <= n.last]
   return min(containing, key=_span) if containing else None


def attach_comments(modules, tokens, comments, errors):
   """Attach the comments of one file to the nodes of its modules;
   directives are parsed and stored, unattached directives are errors."""
   by_module = [(m, _attachable(m)) for m in modules]
   for comment in comments:
      owner = None
      module = None
      for m, nodes in by_module:
         if m.first <= comment.prev + (1 if comment.own_line else 0) <= m.last:
            module = m
            owner = _owner(nodes, tokens, comment)
            break
      if not comment.directive:
         if owner is not None:
            owner.comments.append(comment.text)
         elif module is not None:
            module.comments.append(comment.text)
         continue
      try:
         if owner is None:
            raise CompileError(comment.pos, "directive does not belong to "
                               "a definition or component")
         for d in parse_directives(comment):
            route(owner, d)
      except CompileError as e:
         errors.append(e)


def _reference_name(t):
   if t.kind == M.REFERENCE:
      return t.ref.name
   return "%s.%s" % (t.class_ref.name, t.field)


def route(node, d):
   """Store directive `d`, attached to `node`, on the node it governs."""
   target, kinds, _ = SPECS[d.name]
   if target == "component":
      if not isinstance(node, M.Component) or node.components_of is not None:
         raise CompileError(d.pos, "directive '%s' applies to components "
                            "only" % d.name)
      node.directives.append(d)
      return
   if isinstance(node, M.Component):
      if node.components_of is not None:
         raise CompileError(d.pos, "directive '%s' does not apply to "
                            "COMPONENTS OF" % d.name)
      t = node.type
   elif isinstance(node, M.TypeDef):
      t = node.type
   elif isinstance(node, M.Type):
      t = node
   else:
      raise CompileError(d.pos, "directive '%s' applies to types and "
                         "components only" % d.name)
   while True:
      if t.kind in (M.REFERENCE, M.CLASSFIELD):
         raise CompileError(d.pos, "directive '%s' cannot change the "
                            "referenced type '%s'" % (d.name,
                                                      _reference_name(t)))
      if kinds is None or t.kind in kinds:
         break
      if t.kind in M.LISTS:
         t = t.element
         continue
      raise CompileError(d.pos, "directive '%s' needs %s"
                         % (d.name, KIND_PHRASES[kinds]))
   for other in t.directives:
      for group in CONFLICT_GROUPS:
         if d.name in group and other.name in group and d.name != other.name:
            raise CompileError(d.pos, "directive '%s' conflicts with '%s'"
                               % (d.name, other.name))
   t.directives.append(d)


def has(node, name):
   return any(d.name == name for d in node.directives)


def find(node, name):
   for d in node.directives:
      if d.name == name:
         return d
   return None


ARRAY_ELEMENTS = frozenset(("OBJECT IDENTIFIER", "INTEGER", "OCTET STRING")
                           ) | M.CHARACTER_STRINGS


def representation(t):
   """Set `rep` and `capacity` of a resolved type node from its kind and
   directives: INTEGER int32 (default), uint32, uint16 or bigint; lists
   `array` (default for primitive elements) or `list`; BIT STRING and
   OCTET STRING `dynamic` (default) or `fixed` with a capacity."""
   kind = t.kind
   if kind == "INTEGER":
      t.rep = "int32"
      for d in t.directives:
         if d.name in INTEGER_REPS:
            t.rep = d.name
   elif kind in M.LISTS:
      element = t.element.resolved()
      t.rep = "array" if element.kind in ARRAY_ELEMENTS else "list"
      for d in t.directives:
         if d.name in LIST_REPS:
            t.rep = d.name
   elif kind in ("BIT STRING", "OCTET STRING"):
      t.rep = "dynamic"
      d = find(t, "fixed")
      if d is not None:
         t.rep = "fixed"
         t.capacity = d.arg
         if t.capacity is None and t.size is not None:
            t.capacity = t.size.upper
         if t.capacity is None and kind == "BIT STRING" and t.named:
            t.capacity = max(n.number for n in t.named) + 1
         if t.capacity is None:
            raise CompileError(d.pos, "directive 'fixed' needs a capacity: "
                               "the type has no SIZE upper bound")
         if kind == "BIT STRING" and t.named:
            top = max(t.named, key=lambda n: n.number)
            if top.number >= t.capacity:
               raise CompileError(d.pos, "capacity %d cannot hold named bit "
                                  "'%s' (%d)" % (t.capacity, top.name,
                                                 top.number))
         if t.capacity == 0:
            raise CompileError(d.pos, "directive 'fixed' needs a capacity "
                               "above 0")
         if t.size is not None and (t.size.upper is None
                                    or t.size.upper > t.capacity):
            raise CompileError(d.pos, "capacity %d is below the SIZE bound "
                               "%s" % (t.capacity, t.size.text()))
