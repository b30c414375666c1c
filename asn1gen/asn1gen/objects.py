"""Information object classes, objects and object sets (X.681), and the
table constraints that refer to them (X.682)."""

import copy

from .errors import CompileError
from . import lexer as L
from . import model as M
from .parser import Parser
from . import values as V


def type_identifier():
   """The predefined class TYPE-IDENTIFIER (X.681 Annex A)."""
   cls = M.ClassDef("TYPE-IDENTIFIER", None)
   cls.name = "TYPE_IDENTIFIER"
   ident = M.ClassField("&id", None)
   ident.kind = "value"
   ident.type = M.Type("OBJECT IDENTIFIER", None)
   ident.unique = True
   type_field = M.ClassField("&Type", None)
   type_field.kind = "type"
   cls.fields = [ident, type_field]
   cls.syntax = [M.SyntaxItem("field", "&Type", None),
                 M.SyntaxItem("literal", "IDENTIFIED", None),
                 M.SyntaxItem("literal", "BY", None),
                 M.SyntaxItem("field", "&id", None)]
   return cls


def check_class(cls):
   names = set()
   for f in cls.fields:
      if f.name in names:
         raise CompileError(f.pos, "duplicate field '%s'" % f.name)
      names.add(f.name)
      if isinstance(f.default, M.Type) and (f.default.kind != M.REFERENCE
                                            or f.default.tags
                                            or f.default.constraints):
         raise CompileError(f.pos, "the default of type field '%s' must "
                            "name a type" % f.name)
   if cls.syntax is None:
      return
   seen = {}
   _check_syntax(cls, cls.syntax, seen)
   for f in cls.fields:
      if f.name not in seen:
         raise CompileError(cls.pos, "field '%s' is missing from WITH SYNTAX"
                            % f.name)


def _check_syntax(cls, items, seen):
   for item in items:
      if item.kind == "field":
         if cls.field(item.text) is None:
            raise CompileError(item.pos, "class '%s' has no field '%s'"
                               % (cls.asn1_name, item.text))
         if item.text in seen:
            raise CompileError(item.pos, "field '%s' appears twice in WITH "
                               "SYNTAX" % item.text)
         seen[item.text] = item
      elif item.kind == "group":
         if item.items[0].kind != "literal":
            raise CompileError(item.pos, "an optional group must begin with "
                               "a literal")
         _check_syntax(cls, item.items, seen)


def parse_object(obj):
   """Read the settings of `obj` in the syntax of its class; type fields
   become Type nodes, value fields stay Values until resolution."""
   cls = obj.cls
   if obj.body.kind != "braces":
      raise CompileError(obj.body.pos, "expected an object definition in "
                         "braces")
   p = Parser(obj.body.data)
   settings = {}
   if cls.syntax is None:
      while p.peek().kind != L.EOF:
         tok = p.expect_kind(L.FIELD, "a field name")
         field = cls.field(tok.text)
         if field is None:
            raise CompileError(tok.pos, "class '%s' has no field '%s'"
                               % (cls.asn1_name, tok.text))
         if tok.text in settings:
            raise CompileError(tok.pos, "field '%s' is set twice" % tok.text)
         settings[tok.text] = _setting(p, field)
         if not p.accept(","):
            break
      if p.peek().kind != L.EOF:
         p.fail("','")
   else:
      _match(p, cls, cls.syntax, settings)
      if p.peek().kind != L.EOF:
         p.fail("the end of the object")
   for f in cls.fields:
      if f.name in settings:
         continue
      if isinstance(f.default, M.Type):
         settings[f.name] = copy.copy(f.default)
         settings[f.name].module = cls.module
      elif f.default is not None:
         settings[f.name] = f.default
      elif not f.optional:
         raise CompileError(obj.pos, "object '%s' does not set field '%s'"
                            % (obj.asn1_name, f.name))
   obj.fields = settings


def _setting(p, field):
   return p.type() if field.kind == "type" else p.value()


def _literal_here(p, text):
   tok = p.peek()
   return tok.kind not in (L.EOF, L.CSTRING, L.BSTRING, L.HSTRING) \
      and tok.text == text


def _match(p, cls, items, settings):
   for item in items:
      if item.kind == "literal":
         if not _literal_here(p, item.text):
            p.fail("'%s'" % item.text)
         p.next()
      elif item.kind == "field":
         settings[item.text] = _setting(p, cls.field(item.text))
      elif _literal_here(p, item.items[0].text):
         _match(p, cls, item.items, settings)


def resolve_object_values(r, obj):
   """Turn the value settings of `obj` into RValues of the field types."""
   for name, setting in list(obj.fields.items()):
      field = obj.cls.field(name)
      if field.kind == "value":
         # A default comes from the class and is read in its module.
         module = obj.cls.module if setting is field.default else obj.module
         obj.fields[name] = V.resolve_value(r, module, setting, field.type)


def resolve_set(r, s, active=None):
   """Flatten the elements of object set `s` into its objects, in order."""
   if s.cls is not None:
      return
   active = active or []
   if s in active:
      raise CompileError(s.pos, "circular definition of '%s'" % s.asn1_name)
   active.append(s)
   cls = r.lookup(s.module, s.class_ref, "class")
   objects = []
   for ref in s.elements:
      if ref.name[0].islower():
         d = r.lookup(s.module, ref, "object")
         members = [d]
         member_cls = d.cls
      else:
         d = r.lookup(s.module, ref, "object set")
         resolve_set(r, d, active)
         members = d.objects
         member_cls = d.cls
      if member_cls is not cls:
         raise CompileError(ref.pos, "'%s' is of class '%s', not '%s'"
                            % (ref.name, member_cls.asn1_name,
                               cls.asn1_name))
      objects.extend(members)
   active.pop()
   s.cls = cls
   s.objects = objects


def resolve_table(r, td, t):
   """Resolve the table constraint of node `t`, written inside `td`."""
   spec = t.table
   s = r.lookup(t.module, spec.set_ref, "object set")
   cls, field = t.class_field
   if s.cls is not cls:
      raise CompileError(spec.pos, "object set '%s' is of class '%s', not "
                         "'%s'" % (s.asn1_name, s.cls.asn1_name,
                                   cls.asn1_name))
   spec.object_set = s
   spec.cls = cls
   spec.field = field
   if spec.at is None:
      return
   relative, names = spec.at
   owner = td
   if relative:
      while owner.type.kind not in ("SEQUENCE", "SET"):
         if not isinstance(owner.parent, M.TypeDef):
            raise CompileError(spec.pos, "'@.%s' is not inside a SEQUENCE "
                               "or SET" % ".".join(names))
         owner = owner.parent
   else:
      while isinstance(owner.parent, M.TypeDef):
         owner = owner.parent
   text = "@%s%s" % ("." if relative else "", ".".join(names))
   current = owner.type
   path = []
   for name in names:
      if current.kind not in ("SEQUENCE", "SET"):
         raise CompileError(spec.pos, "'%s' does not lead through a "
                            "SEQUENCE or SET" % text)
      comp = next((c for c in current.components if c.name == name), None)
      if comp is None:
         raise CompileError(spec.pos, "no component '%s' for '%s'"
                            % (name, text))
      path.append(comp)
      current = comp.type.resolved()
   key = path[-1].type
   if key.table is not None:
      key_set = r.lookup(key.module, key.table.set_ref, "object set")
      if key_set is not s:
         raise CompileError(spec.pos, "component '%s' is constrained by "
                            "'%s', not '%s'" % (path[-1].name,
                                                key_set.asn1_name,
                                                s.asn1_name))
   spec.key_owner = owner
   spec.key_path = path
