"""Interpretation of values against their governing types: integers,
booleans, strings, object identifiers, named bits, SEQUENCE and CHOICE
values.  Brace values are parsed here, once the type that decides their
meaning is known."""

from .errors import CompileError
from . import lexer as L
from . import model as M
from .parser import Parser

# Well-known arcs that may be written as a bare name (X.660 Annex A).
ROOT_ARCS = {"itu-t": 0, "ccitt": 0, "iso": 1, "joint-iso-itu-t": 2,
             "joint-iso-ccitt": 2}
SECOND_ARCS = {
   0: {"recommendation": 0, "question": 1, "administration": 2,
       "network-operator": 3, "identified-organization": 4},
   1: {"standard": 0, "registration-authority": 1, "member-body": 2,
       "identified-organization": 3},
}
MAX_ARCS = 128
MAX_ARC = 0xFFFFFFFF


def describe(t):
   if t.kind == M.REFERENCE:
      return t.ref.name
   if t.kind == M.OPEN:
      return "an open type"
   return t.kind


def _mismatch(value, t):
   raise CompileError(value.pos, "value does not fit type %s" % describe(t))


def int_value(r, module, value):
   """The integer denoted by a number or by a reference to an INTEGER
   value, as used in constraints, tags and named numbers."""
   if value.kind == "number":
      return value.data
   if value.kind == "ref":
      d = r.lookup(module, value.data, "value")
      rv = r.value_of(d)
      if rv.kind != "INTEGER":
         raise CompileError(value.pos, "'%s' is not an INTEGER value"
                            % value.data.name)
      return rv.data
   raise CompileError(value.pos, "expected an INTEGER value")


def resolve_value(r, module, value, type_):
   """Return the RValue of `value` governed by `type_`."""
   t = type_.resolved()
   kind = t.kind
   if value.kind == "ref" and value.data.module is None:
      name = value.data.name
      for n in t.named:
         if n.name == name and kind in ("INTEGER", "ENUMERATED"):
            return M.RValue(kind, n.number, str(n.number), name=name)
   if kind == "ENUMERATED":
      _mismatch(value, type_)
   if value.kind == "ref":
      d = r.lookup(module, value.data, "value")
      rv = r.value_of(d)
      if rv.kind != kind and not (kind in M.CHARACTER_STRINGS
                                  and rv.kind in M.CHARACTER_STRINGS):
         _mismatch(value, type_)
      return M.RValue(kind, rv.data, rv.canon, name=value.data.name, ref=d)
   if kind == "INTEGER" and value.kind == "number":
      return M.RValue(kind, value.data, str(value.data))
   if kind == "BOOLEAN" and value.kind == "boolean":
      return M.RValue(kind, value.data, "TRUE" if value.data else "FALSE")
   if kind == "NULL" and value.kind == "null":
      return M.RValue(kind, None, "NULL")
   if kind in M.CHARACTER_STRINGS and value.kind == L.CSTRING:
      return M.RValue(kind, value.data,
                      '"%s"' % value.data.replace('"', '""'))
   if kind in ("BIT STRING", "OCTET STRING") and value.kind in (L.BSTRING,
                                                                L.HSTRING):
      suffix = "B" if value.kind == L.BSTRING else "H"
      if kind == "OCTET STRING" and suffix == "B" and len(value.data) % 8:
         raise CompileError(value.pos, "an OCTET STRING value needs a "
                            "multiple of 8 bits")
      return M.RValue(kind, value.data, "'%s'%s" % (value.data, suffix))
   if value.kind == "braces":
      if kind == "OBJECT IDENTIFIER":
         arcs = oid_arcs(r, module, value)
         return M.RValue(kind, arcs, oid_text(arcs))
      if kind == "BIT STRING":
         return _named_bits(value, t)
      if kind in ("SEQUENCE", "SET"):
         return _sequence_value(r, module, value, t)
   if kind == "CHOICE" and value.kind == "choice":
      name, inner = value.data
      for alt in t.components:
         if alt.name == name:
            rv = resolve_value(r, module, inner, alt.type)
            return M.RValue(kind, (name, rv), "%s : %s" % (name, rv.text))
      raise CompileError(value.pos, "type %s has no alternative '%s'"
                         % (describe(type_), name))
   _mismatch(value, type_)


def oid_text(arcs):
   return ".".join(str(a.number) for a in arcs)


def _named_bits(value, t):
   p = Parser(value.data)
   names = []
   while p.peek().kind != L.EOF:
      tok = p.expect_kind(L.IDENT, "a named bit")
      match = [n for n in t.named if n.name == tok.text]
      if not match:
         raise CompileError(tok.pos, "unknown named bit '%s'" % tok.text)
      if tok.text in names:
         raise CompileError(tok.pos, "named bit '%s' given twice" % tok.text)
      names.append(tok.text)
      if not p.accept(","):
         break
   if p.peek().kind != L.EOF:
      p.fail("','")
   return M.RValue("BIT STRING", names, "{ %s }" % ", ".join(names))


def _sequence_value(r, module, value, t):
   p = Parser(value.data)
   items = []
   while p.peek().kind != L.EOF:
      tok = p.expect_kind(L.IDENT, "a component name")
      comp = next((c for c in t.components if c.name == tok.text), None)
      if comp is None or comp.components_of is not None:
         raise CompileError(tok.pos, "no component '%s'" % tok.text)
      items.append((tok.text, resolve_value(r, module, p.value(), comp.type)))
      if not p.accept(","):
         break
   if p.peek().kind != L.EOF:
      p.fail("','")
   text = "{ %s }" % ", ".join("%s %s" % (n, v.text) for n, v in items)
   return M.RValue(t.kind, items, text)


def oid_arcs(r, module, value):
   """Arcs of an OBJECT IDENTIFIER brace value: numbers, name-and-number
   forms, well-known names and, first, a reference to another OID value."""
   p = Parser(value.data)
   arcs = []
   while p.peek().kind != L.EOF:
      tok = p.next()
      if tok.kind == L.NUMBER:
         arcs.append(M.OidArc(None, tok.value))
      elif tok.kind == L.IDENT and p.accept("("):
         num = p.peek()
         if num.kind == L.NUMBER:
            p.next()
            n = num.value
         else:
            ident = p.expect_kind(L.IDENT, "a number")
            n = int_value(r, module, M.Value(
               "ref", ident.pos, M.Reference(ident.text, ident.pos)))
         p.expect(")")
         arcs.append(M.OidArc(tok.text, n))
      elif tok.kind == L.IDENT:
         arcs.extend(_named_arc(r, module, tok, arcs))
      else:
         p.fail("an object identifier component", tok)
   _check_arcs(arcs, value.pos)
   return arcs


def _named_arc(r, module, tok, arcs):
   name = tok.text
   ref = M.Reference(name, tok.pos)
   defined = r.find(module, ref)
   if not arcs:
      if isinstance(defined, M.ValueDef):
         rv = r.value_of(defined)
         if rv.kind != "OBJECT IDENTIFIER":
            raise CompileError(tok.pos, "'%s' is not an OBJECT IDENTIFIER "
                               "value" % name)
         return list(rv.data)
      if name in ROOT_ARCS:
         return [M.OidArc(name, ROOT_ARCS[name])]
   elif len(arcs) == 1 and name in SECOND_ARCS.get(arcs[0].number, {}):
      return [M.OidArc(name, SECOND_ARCS[arcs[0].number][name])]
   elif isinstance(defined, M.ValueDef):
      return [M.OidArc(name, int_value(r, module, M.Value("ref", tok.pos,
                                                            ref)))]
   raise CompileError(tok.pos, "unknown object identifier component '%s'"
                      % name)


def _check_arcs(arcs, pos):
   if len(arcs) < 2:
      raise CompileError(pos, "an object identifier needs at least 2 arcs")
   if len(arcs) > MAX_ARCS:
      raise CompileError(pos, "an object identifier has at most %d arcs"
                         % MAX_ARCS)
   if arcs[0].number > 2:
      raise CompileError(pos, "the first arc of an object identifier must "
                         "be 0, 1 or 2")
   if arcs[0].number < 2 and arcs[1].number > 39:
      raise CompileError(pos, "the second arc of an object identifier "
                         "under %d must be below 40" % arcs[0].number)
   for a in arcs:
      if a.number < 0 or a.number > MAX_ARC:
         raise CompileError(pos, "object identifier arc %d does not fit "
                            "in 32 bits" % a.number)
