"""Recursive-descent parser for ASN.1 modules (X.680, X.681, X.682).

The parser builds the model of model.py as written.  Constructs whose
meaning depends on definitions that may live in another module (the body of
an information object, a brace value) are kept as token lists and
interpreted by the resolver.
"""

from .errors import CompileError
from . import lexer as L
from . import model as M
from . import constraints as C

STRING_KINDS = ("UTF8String", "NumericString", "PrintableString",
                "TeletexString", "T61String", "VideotexString", "IA5String",
                "GraphicString", "VisibleString", "ISO646String",
                "GeneralString", "UniversalString", "BMPString",
                "ObjectDescriptor", "UTCTime", "GeneralizedTime")

TAG_CLASSES = ("UNIVERSAL", "APPLICATION", "PRIVATE")


class Parser:
   def __init__(self, tokens):
      self.tokens = tokens
      self.i = 0

   # -- token helpers -------------------------------------------------------

   def peek(self, k=0):
      j = min(self.i + k, len(self.tokens) - 1)
      return self.tokens[j]

   def next(self):
      tok = self.tokens[self.i]
      if tok.kind != L.EOF:
         self.i += 1
      return tok

   def at(self, text, k=0):
      return self.peek(k).is_(text)

   def accept(self, text):
      if self.at(text):
         return self.next()
      return None

   def fail(self, what, tok=None):
      tok = tok or self.peek()
      raise CompileError(tok.pos, "expected %s, found %s"
                         % (what, tok.describe()))

   def expect(self, text):
      if not self.at(text):
         self.fail("'%s'" % text)
      return self.next()

   def expect_kind(self, kind, what):
      if self.peek().kind != kind:
         self.fail(what)
      return self.next()

   def span(self, node, first):
      # Token indices of the file, also when parsing a brace value's tokens.
      node.first = self.tokens[first].index
      node.last = self.tokens[self.i - 1].index
      return node

   # -- modules -------------------------------------------------------------

   def parse_file(self):
      modules = []
      while self.peek().kind != L.EOF:
         modules.append(self.module())
      if not modules:
         self.fail("a module definition")
      return modules

   def module(self):
      first = self.i
      name = self.expect_kind(L.TYPEREF, "a module name")
      mod = M.Module(name.text, name.pos)
      if self.at("{"):
         mod.oid = self.brace_value()
      self.expect("DEFINITIONS")
      for mode in ("EXPLICIT", "IMPLICIT", "AUTOMATIC"):
         if self.accept(mode):
            self.expect("TAGS")
            mod.tag_default = mode
            break
      if self.accept("EXTENSIBILITY"):
         self.expect("IMPLIED")
         mod.extensibility_implied = True
      self.expect("::=")
      self.expect("BEGIN")
      if self.accept("EXPORTS"):
         mod.exports = self.exports()
      if self.accept("IMPORTS"):
         mod.imports = self.imports()
      while not self.at("END"):
         if self.peek().kind == L.EOF:
            self.fail("'END'")
         mod.assignments.append(self.assignment())
      self.expect("END")
      return self.span(mod, first)

   def exports(self):
      if self.accept("ALL"):
         self.expect(";")
         return None
      symbols = []
      while not self.at(";"):
         symbols.append(self.symbol())
         if not self.accept(","):
            break
      self.expect(";")
      return symbols

   def symbol(self):
      tok = self.peek()
      if tok.kind not in (L.TYPEREF, L.IDENT):
         self.fail("a symbol")
      self.next()
      if self.at("{"):
         raise CompileError(self.peek().pos,
                            "parameterized references are not supported")
      return M.Reference(tok.text, tok.pos)

   def imports(self):
      result = []
      while not self.at(";"):
         symbols = [self.symbol()]
         while self.accept(","):
            symbols.append(self.symbol())
         self.expect("FROM")
         mod = self.expect_kind(L.TYPEREF, "a module name")
         if self.at("{"):
            self.brace_value()
         elif (self.peek().kind == L.IDENT and not self.at(",", 1)
               and not self.at("FROM", 1)):
            self.next()   # module identified by a defined OID value
         result.append(M.Import(mod.text, mod.pos, symbols))
      self.expect(";")
      return result

   # -- assignments ---------------------------------------------------------

   def assignment(self):
      first = self.i
      tok = self.peek()
      if tok.kind == L.TYPEREF:
         self.next()
         if self.at("{"):
            raise CompileError(self.peek().pos,
                               "parameterized assignments are not supported")
         if self.accept("::="):
            if self.at("CLASS"):
               d = self.class_body(tok)
            else:
               d = M.TypeDef(tok.text, self.type(), tok.pos)
         else:
            d = self.object_set(tok)
      elif tok.kind == L.IDENT:
         self.next()
         d = self.value_assignment(tok)
      else:
         self.fail("an assignment")
      return self.span(d, first)

   def value_assignment(self, name):
      gov = self.peek()
      if (gov.kind == L.TYPEREF or gov.is_("TYPE-IDENTIFIER")) \
            and self.at("::=", 1):
         self.next()
         self.next()
         ref = M.Reference(gov.text, gov.pos)
         return M.PendingAssignment(name.text, ref, self.value(), name.pos)
      type_ = self.type()
      self.expect("::=")
      return M.ValueDef(name.text, type_, self.value(), name.pos)

   def object_set(self, name):
      gov = self.peek()
      if gov.kind == L.KEYWORD and gov.text != "TYPE-IDENTIFIER":
         raise CompileError(gov.pos, "value set assignments are not supported")
      gov = self.class_reference()
      self.expect("::=")
      self.expect("{")
      elements = []
      extensible = False
      while not self.at("}"):
         if self.accept("..."):
            extensible = True
         else:
            elements.append(self.object_set_element())
         if not (self.accept("|") or self.accept("UNION")
                 or self.accept(",")):
            break
      self.expect("}")
      return M.ObjectSetDef(name.text, gov, elements, extensible, name.pos)

   def object_set_element(self):
      # Objects are listed by name: an object written inline in a set would
      # have no name to build the names of its generated types from.
      tok = self.peek()
      if tok.kind in (L.IDENT, L.TYPEREF):
         self.next()
         return M.Reference(tok.text, tok.pos)
      self.fail("an object or object set name")

   def class_reference(self):
      tok = self.peek()
      if tok.is_("TYPE-IDENTIFIER") or tok.kind == L.TYPEREF:
         self.next()
         return M.Reference(tok.text, tok.pos)
      self.fail("a class name")

   # -- information object classes ------------------------------------------

   def class_body(self, name):
      self.expect("CLASS")
      cls = M.ClassDef(name.text, name.pos)
      self.expect("{")
      while True:
         cls.fields.append(self.class_field())
         if not self.accept(","):
            break
      self.expect("}")
      if self.accept("WITH"):
         self.expect("SYNTAX")
         self.expect("{")
         cls.syntax = self.syntax_items("}")
         self.expect("}")
      return cls

   def class_field(self):
      tok = self.expect_kind(L.FIELD, "a field name")
      f = M.ClassField(tok.text, tok.pos)
      if tok.text[1].isupper():
         if not (self.at(",") or self.at("}") or self.at("OPTIONAL")
                 or self.at("DEFAULT")):
            raise CompileError(self.peek().pos,
                               "only type fields may have upper-case names")
         f.kind = "type"
         if self.accept("OPTIONAL"):
            f.optional = True
         elif self.accept("DEFAULT"):
            f.default = self.type()
         return f
      f.kind = "value"
      f.type = self.type()
      if self.accept("UNIQUE"):
         f.unique = True
      if self.accept("OPTIONAL"):
         f.optional = True
      elif self.accept("DEFAULT"):
         f.default = self.value()
      return f

   def syntax_items(self, closing):
      items = []
      while not self.at(closing):
         tok = self.peek()
         if tok.is_("["):
            self.next()
            group = self.syntax_items("]")
            if not group:
               self.fail("a syntax element")
            self.expect("]")
            items.append(M.SyntaxItem("group", None, tok.pos, group))
         elif tok.kind == L.FIELD:
            self.next()
            items.append(M.SyntaxItem("field", tok.text, tok.pos))
         elif (tok.kind in (L.TYPEREF, L.KEYWORD) and tok.text.isupper()
               or tok.is_(",")):
            self.next()
            items.append(M.SyntaxItem("literal", tok.text, tok.pos))
         else:
            self.fail("a syntax element")
      return items

   # -- types ---------------------------------------------------------------

   def type(self):
      first = self.i
      tags = []
      while self.at("["):
         tags.append(self.tag())
      t = self.builtin_or_reference()
      t.tags = tags + t.tags
      while self.at("("):
         t.constraints.append(self.constraint())
      if tags:
         t.pos = tags[0].pos
      return self.span(t, first)

   def tag(self):
      start = self.expect("[")
      cls = "CONTEXT"
      for c in TAG_CLASSES:
         if self.accept(c):
            cls = c
            break
      tok = self.peek()
      if tok.kind == L.NUMBER:
         self.next()
         number = tok.value
      elif tok.kind == L.IDENT:
         self.next()
         number = M.Value("ref", tok.pos, M.Reference(tok.text, tok.pos))
      else:
         self.fail("a tag number")
      self.expect("]")
      mode = None
      if self.accept("IMPLICIT"):
         mode = "IMPLICIT"
      elif self.accept("EXPLICIT"):
         mode = "EXPLICIT"
      return M.Tag(cls, number, mode, start.pos)

   def builtin_or_reference(self):
      tok = self.peek()
      pos = tok.pos
      if tok.kind == L.TYPEREF or tok.is_("TYPE-IDENTIFIER"):
         return self.reference_type()
      if tok.kind != L.KEYWORD:
         self.fail("a type")
      word = tok.text
      self.next()
      if word in ("BOOLEAN", "NULL"):
         return M.Type(word, pos)
      if word in STRING_KINDS:
         return M.Type(M.KIND_SYNONYMS.get(word, word), pos)
      if word == "INTEGER":
         t = M.Type("INTEGER", pos)
         if self.at("{"):
            t.named = self.named_numbers()
         return t
      if word == "ENUMERATED":
         return self.enumerated(pos)
      if word == "BIT":
         self.expect("STRING")
         t = M.Type("BIT STRING", pos)
         if self.at("{"):
            t.named = self.named_numbers()
         return t
      if word == "OCTET":
         self.expect("STRING")
         return M.Type("OCTET STRING", pos)
      if word == "OBJECT":
         self.expect("IDENTIFIER")
         return M.Type("OBJECT IDENTIFIER", pos)
      if word == "ANY":
         t = M.Type(M.OPEN, pos)
         if self.accept("DEFINED"):
            self.expect("BY")
            t.defined_by = self.expect_kind(L.IDENT, "an identifier").text
         return t
      if word in ("SEQUENCE", "SET"):
         return self.sequence_or_set(word, pos)
      if word == "CHOICE":
         t = M.Type("CHOICE", pos)
         self.components(t, choice=True)
         return t
      self.fail("a type", tok)

   def reference_type(self):
      tok = self.next()
      if self.at(".") and self.peek(1).kind == L.FIELD:
         self.next()
         field = self.next()
         t = M.Type(M.CLASSFIELD, tok.pos)
         t.class_ref = M.Reference(tok.text, tok.pos)
         t.field = field.text
         return t
      if tok.is_("TYPE-IDENTIFIER"):
         self.fail("'.'")
      t = M.Type(M.REFERENCE, tok.pos)
      if self.at(".") and self.peek(1).kind == L.TYPEREF:
         self.next()
         name = self.next()
         t.ref = M.Reference(name.text, tok.pos, module=tok.text)
      else:
         t.ref = M.Reference(tok.text, tok.pos)
      return t

   def sequence_or_set(self, word, pos):
      if self.at("{"):
         t = M.Type(word, pos)
         self.components(t, choice=False)
         return t
      constraint = None
      if self.at("SIZE"):
         size_pos = self.peek().pos
         self.next()
         inner = self.constraint()
         constraint = C.Spec(C.Size(inner, size_pos), False, size_pos)
      elif self.at("("):
         constraint = self.constraint()
      self.expect("OF")
      t = M.Type(word + " OF", pos)
      if constraint is not None:
         t.constraints.append(constraint)
      if self.peek().kind == L.IDENT:
         self.next()   # the optional element identifier of X.680 25.1
      t.element = self.type()
      return t

   def enumerated(self, pos):
      t = M.Type("ENUMERATED", pos)
      self.expect("{")
      while True:
         if self.accept("..."):
            t.enum_extensible = True
         else:
            item = self.named_number(required=False)
            item.extension = t.enum_extensible
            t.named.append(item)
         if not self.accept(","):
            break
      self.expect("}")
      return t

   def named_numbers(self):
      self.expect("{")
      items = [self.named_number(required=True)]
      while self.accept(","):
         items.append(self.named_number(required=True))
      self.expect("}")
      return items

   def named_number(self, required):
      name = self.expect_kind(L.IDENT, "an identifier")
      value = None
      if self.accept("("):
         tok = self.peek()
         if tok.kind == L.IDENT:
            self.next()
            value = M.Value("ref", tok.pos, M.Reference(tok.text, tok.pos))
         else:
            value = self.signed_number()
         self.expect(")")
      elif required:
         self.fail("'('")
      return M.NamedNumber(name.text, value, name.pos)

   def signed_number(self):
      tok = self.peek()
      if tok.is_("-"):
         self.next()
         num = self.expect_kind(L.NUMBER, "a number")
         return M.Value("number", tok.pos, -num.value)
      num = self.expect_kind(L.NUMBER, "a number")
      return M.Value("number", num.pos, num.value)

   def components(self, t, choice):
      self.expect("{")
      in_extension = False
      while not self.at("}"):
         tok = self.peek()
         if tok.is_("..."):
            self.next()
            t.extensible = True
            in_extension = not in_extension
         elif tok.is_("[") and self.at("[", 1):
            self.next()
            self.next()
            if self.peek().kind == L.NUMBER and self.at(":", 1):
               self.next()
               self.next()
            while True:
               t.components.append(self.component(choice, True))
               if not self.accept(","):
                  break
            self.expect("]")
            self.expect("]")
         else:
            t.components.append(self.component(choice, in_extension))
         if not self.accept(","):
            break
      self.expect("}")

   def component(self, choice, extension):
      first = self.i
      tok = self.peek()
      if not choice and tok.is_("COMPONENTS"):
         self.next()
         self.expect("OF")
         c = M.Component(None, None, tok.pos)
         c.components_of = self.type()
      else:
         name = self.expect_kind(L.IDENT, "a component name")
         c = M.Component(name.text, self.type(), name.pos)
         if not choice:
            if self.accept("OPTIONAL"):
               c.optional = True
            elif self.accept("DEFAULT"):
               c.default = self.value()
      c.extension = extension
      return self.span(c, first)

   # -- constraints ---------------------------------------------------------

   def constraint(self):
      start = self.expect("(")
      tok = self.peek()
      if tok.is_("{"):
         spec = C.Spec(self.table_constraint(), False, tok.pos)
      elif tok.is_("CONTAINING"):
         self.next()
         inner = self.type()
         if self.accept("ENCODED"):
            self.expect("BY")
            self.value()
         spec = C.Spec(C.Containing(inner, tok.pos), False, tok.pos)
      else:
         root = self.element_set()
         extensible = False
         if self.accept(","):
            self.expect("...")
            extensible = True
            if self.accept(","):
               root = C.Union([root, self.element_set()], tok.pos)
         spec = C.Spec(root, extensible, start.pos)
      self.expect(")")
      return spec

   def table_constraint(self):
      start = self.expect("{")
      tok = self.peek()
      if tok.kind not in (L.TYPEREF, L.KEYWORD):
         self.fail("an object set name")
      self.next()
      self.expect("}")
      at = None
      if self.accept("{"):
         self.expect("@")
         relative = bool(self.accept("."))
         names = [self.expect_kind(L.IDENT, "a component name").text]
         while self.accept("."):
            names.append(self.expect_kind(L.IDENT, "a component name").text)
         self.expect("}")
         at = (relative, names)
      return C.Table(M.Reference(tok.text, tok.pos), at, start.pos)

   def element_set(self):
      pos = self.peek().pos
      items = [self.intersection()]
      while self.accept("|") or self.accept("UNION"):
         items.append(self.intersection())
      return items[0] if len(items) == 1 else C.Union(items, pos)

   def intersection(self):
      pos = self.peek().pos
      items = [self.constraint_element()]
      while self.accept("^") or self.accept("INTERSECTION"):
         items.append(self.constraint_element())
      return items[0] if len(items) == 1 else C.Intersection(items, pos)

   def constraint_element(self):
      tok = self.peek()
      if tok.is_("SIZE"):
         self.next()
         return C.Size(self.constraint(), tok.pos)
      if tok.is_("("):
         self.next()
         inner = self.element_set()
         self.expect(")")
         return inner
      if tok.is_("FROM") or tok.is_("PATTERN") or tok.is_("INCLUDES"):
         raise CompileError(tok.pos, "%s constraints are not supported"
                            % tok.text)
      lower = self.range_end("MIN")
      lo_open = bool(self.accept("<"))
      if lo_open or self.at(".."):
         self.expect("..")
         hi_open = bool(self.accept("<"))
         return C.Range(lower, self.range_end("MAX"), tok.pos,
                        lo_open=lo_open, hi_open=hi_open)
      if lower == "MIN":
         self.fail("'..'")
      return C.Single(lower, tok.pos)

   def range_end(self, word):
      if self.accept(word):
         return word
      return self.value()

   # -- values --------------------------------------------------------------

   def value(self):
      first = self.i
      tok = self.peek()
      pos = tok.pos
      if tok.kind == L.NUMBER or tok.is_("-"):
         v = self.signed_number()
      elif tok.is_("TRUE") or tok.is_("FALSE"):
         self.next()
         v = M.Value("boolean", pos, tok.text == "TRUE")
      elif tok.is_("NULL"):
         self.next()
         v = M.Value("null", pos)
      elif tok.kind in (L.CSTRING, L.BSTRING, L.HSTRING):
         self.next()
         v = M.Value(tok.kind, pos, tok.value)
      elif tok.kind == L.IDENT:
         self.next()
         if self.accept(":"):
            v = M.Value("choice", pos, (tok.text, self.value()))
         else:
            v = M.Value("ref", pos, M.Reference(tok.text, pos))
      elif tok.kind == L.TYPEREF and self.at(".", 1) \
            and self.peek(2).kind == L.IDENT:
         self.next()
         self.next()
         name = self.next()
         v = M.Value("ref", pos, M.Reference(name.text, pos, tok.text))
      elif tok.is_("{"):
         return self.brace_value()
      else:
         self.fail("a value")
      return self.span(v, first)

   def brace_value(self):
      """Take a balanced `{ ... }` and keep the tokens inside it."""
      first = self.i
      start = self.expect("{")
      depth = 1
      body = []
      while True:
         tok = self.next()
         if tok.kind == L.EOF:
            raise CompileError(start.pos, "unbalanced '{'")
         if tok.is_("{"):
            depth += 1
         elif tok.is_("}"):
            depth -= 1
            if depth == 0:
               break
         body.append(tok)
      body.append(L.Token(L.EOF, "}", None, tok.pos, tok.index))
      return self.span(M.Value("braces", start.pos, body), first)


def parse_tokens(tokens):
   return Parser(tokens).parse_file()
