"""Resolution of parsed modules into the model the back end consumes.

The work runs in phases; each phase reports every fault it finds, and the
next phase starts only when the previous one found none, since it relies on
its results.
"""

from .errors import CompileError, ErrorList
from . import constraints as C
from . import directives as D
from . import model as M
from . import objects as O
from . import structure as S
from . import tagging as T
from . import values as V
from .naming import Namer

CATEGORY = {M.TypeDef: "a type", M.ValueDef: "a value", M.ClassDef: "a class",
            M.ObjectDef: "an object", M.ObjectSetDef: "an object set"}
WANTED = {"type": M.TypeDef, "value": M.ValueDef, "class": M.ClassDef,
          "object": M.ObjectDef, "object set": M.ObjectSetDef}


class Unit:
   """One parsed file: its tokens, comments and modules."""

   def __init__(self, tokens, comments, modules):
      self.tokens = tokens
      self.comments = comments
      self.modules = modules


def walk(t):
   """`t` and every type written inside it, outside named types."""
   yield t
   for c in t.components:
      if c.type is not None:
         yield from walk(c.type)
      if c.components_of is not None:
         yield from walk(c.components_of)
   if t.element is not None:
      yield from walk(t.element)
   for spec in t.constraints:
      if isinstance(spec.root, C.Containing):
         yield from walk(spec.root.type)


class Resolver:
   def __init__(self, units):
      self.units = units
      self.modules = [m for u in units for m in u.modules]
      self.by_name = {}
      self.errors = []
      self.names = {}
      self.active_values = []
      self.type_identifier = O.type_identifier()

   def run(self):
      for phase in (self.build_scopes, self.classify, self.resolve_imports,
                    self.check_classes, self.parse_objects, self.attach,
                    self.resolve_references, self.resolve_named,
                    self.resolve_values, self.name, self.evaluate_constraints,
                    self.resolve_tags, self.shape_components, self.wire_tags,
                    self.resolve_objects, self.resolve_tables,
                    self.representations):
         phase()
         if self.errors:
            raise ErrorList(self.errors)
      return M.Model(self.modules, self.names)

   def guard(self, action, *args):
      try:
         action(*args)
      except CompileError as e:
         self.errors.append(e)

   # -- lookups -------------------------------------------------------------

   def register(self, d):
      """Claim the generated name of `d` in the one C++ namespace."""
      other = self.names.get(d.name)
      if other is not None and other is not d:
         raise CompileError(d.pos, "generated name '%s' is already used by "
                            "the definition at %s" % (d.name, other.pos))
      self.names[d.name] = d

   def find(self, module, ref):
      """The definition `ref` names in `module`, or None."""
      if ref.name == "TYPE-IDENTIFIER":
         return self.type_identifier
      if ref.module is not None:
         other = self.by_name.get(ref.module)
         if other is None:
            raise CompileError(ref.pos, "unknown module '%s'" % ref.module)
         return self.exported(other, ref.name, ref.pos)
      return module.scope.get(ref.name)

   def lookup(self, module, ref, want):
      d = self.find(module, ref)
      if d is None:
         raise CompileError(ref.pos, "unknown %s '%s'" % (want, ref.name))
      if not isinstance(d, WANTED[want]):
         raise CompileError(ref.pos, "'%s' is %s, not %s"
                            % (ref.name, CATEGORY[type(d)],
                               CATEGORY[WANTED[want]]))
      return d

   def definition(self, module, name, visited=None):
      """A definition visible in `module` by its own name or an import,
      found before the import tables are built."""
      if name in module.local:
         return module.local[name]
      visited = visited or set()
      if module.name in visited:
         return None
      visited.add(module.name)
      for imp in module.imports:
         if any(s.name == name for s in imp.symbols):
            source = self.by_name.get(imp.module)
            if source is not None:
               return self.definition(source, name, visited)
      return None

   def exported(self, source, name, pos):
      d = self.definition(source, name)
      if d is None:
         raise CompileError(pos, "module '%s' does not define '%s'"
                            % (source.name, name))
      if source.exports is not None and all(e.name != name
                                             for e in source.exports):
         raise CompileError(pos, "module '%s' does not export '%s'"
                            % (source.name, name))
      return d

   def value_of(self, d):
      if d.rvalue is None:
         if d in self.active_values:
            raise CompileError(d.pos, "circular definition of '%s'"
                               % d.asn1_name)
         self.active_values.append(d)
         try:
            d.rvalue = V.resolve_value(self, d.module, d.value, d.type)
         finally:
            self.active_values.pop()
      return d.rvalue

   # -- iteration -----------------------------------------------------------

   def written_types(self, module):
      """Every type node of a module before inline types are named."""
      for d in module.assignments:
         if isinstance(d, (M.TypeDef, M.ValueDef)):
            yield from walk(d.type)
         elif isinstance(d, M.ClassDef):
            for f in d.fields:
               if f.type is not None:
                  yield from walk(f.type)
               if isinstance(f.default, M.Type):
                  yield from walk(f.default)
         elif isinstance(d, M.ObjectDef):
            for setting in d.fields.values():
               if isinstance(setting, M.Type):
                  yield from walk(setting)

   def typedef_nodes(self):
      """(TypeDef, node) for every type node once inline types are named."""
      for m in self.modules:
         for td in m.typedefs:
            for t in walk(td.type):
               yield td, t

   def all_nodes(self):
      """Every type node once inline types are named: those of named types,
      values, class fields and the types objects give without naming."""
      for m in self.modules:
         for d in m.assignments:
            if isinstance(d, M.ValueDef):
               yield from walk(d.type)
            elif isinstance(d, M.ClassDef):
               for f in d.fields:
                  if f.type is not None:
                     yield from walk(f.type)
            elif isinstance(d, M.ObjectDef):
               for setting in d.fields.values():
                  if isinstance(setting, M.Type):
                     yield from walk(setting)
      for _, t in self.typedef_nodes():
         yield t

   # -- phases --------------------------------------------------------------

   def build_scopes(self):
      for m in self.modules:
         first = self.by_name.get(m.name)
         if first is not None:
            self.errors.append(CompileError(m.pos, "duplicate module '%s', "
                                            "first defined at %s"
                                            % (m.name, first.pos)))
            continue
         self.by_name[m.name] = m
         for d in m.assignments:
            d.module = m
            other = m.local.get(d.asn1_name)
            if other is not None:
               self.errors.append(CompileError(
                  d.pos, "duplicate definition of '%s', first defined at %s"
                  % (d.asn1_name, other.pos)))
            else:
               m.local[d.asn1_name] = d

   def classify(self):
      for m in self.modules:
         for i, d in enumerate(m.assignments):
            if isinstance(d, M.PendingAssignment):
               self.guard(self.classify_one, m, i, d)

   def classify_one(self, m, i, d):
      gov = d.governor
      target = (self.type_identifier if gov.name == "TYPE-IDENTIFIER"
                else self.definition(m, gov.name))
      if isinstance(target, M.ClassDef):
         new = M.ObjectDef(d.asn1_name, gov, d.value, d.pos)
      elif isinstance(target, M.TypeDef):
         t = M.Type(M.REFERENCE, gov.pos)
         t.ref = gov
         new = M.ValueDef(d.asn1_name, t, d.value, d.pos)
      else:
         raise CompileError(gov.pos, "unknown type or class '%s'" % gov.name)
      new.module = m
      new.first, new.last, new.comments = d.first, d.last, d.comments
      m.assignments[i] = new
      m.local[d.asn1_name] = new

   def resolve_imports(self):
      for m in self.modules:
         m.scope = dict(m.local)
         for imp in m.imports:
            source = self.by_name.get(imp.module)
            if source is None:
               self.errors.append(CompileError(imp.pos, "unknown module '%s'"
                                               % imp.module))
               continue
            for s in imp.symbols:
               self.guard(self.import_one, m, source, s)
         for e in m.exports or ():
            if e.name not in m.scope:
               self.errors.append(CompileError(e.pos, "'%s' is exported but "
                                               "not defined" % e.name))

   def import_one(self, m, source, s):
      d = self.exported(source, s.name, s.pos)
      own = m.local.get(s.name)
      if own is not None:
         raise CompileError(own.pos, "'%s' is imported and also defined "
                            "here" % s.name)
      other = m.scope.get(s.name)
      if other is not None and other is not d:
         raise CompileError(s.pos, "'%s' is imported from two modules"
                            % s.name)
      m.scope[s.name] = d

   def check_classes(self):
      for m in self.modules:
         for d in m.assignments:
            if isinstance(d, M.ClassDef):
               self.guard(O.check_class, d)

   def parse_objects(self):
      for m in self.modules:
         for d in m.assignments:
            if isinstance(d, M.ObjectDef):
               self.guard(self.parse_object, m, d)

   def parse_object(self, m, d):
      d.cls = self.lookup(m, d.class_ref, "class")
      O.parse_object(d)

   def attach(self):
      for u in self.units:
         D.attach_comments(u.modules, u.tokens, u.comments, self.errors)

   def resolve_references(self):
      # Class fields first: a CLASS.&field type takes the field's type.
      for m in self.modules:
         for d in m.assignments:
            if isinstance(d, M.ClassDef):
               for f in d.fields:
                  for t in walk(f.type) if f.type is not None else ():
                     t.module = m
                     self.guard(self.resolve_reference, m, t)
      for m in self.modules:
         for t in self.written_types(m):
            t.module = t.module or m
            self.guard(self.resolve_reference, t.module, t)
      for m in self.modules:
         for d in m.assignments:
            if isinstance(d, M.TypeDef):
               self.guard(self.check_alias_cycle, d)

   def resolve_reference(self, m, t):
      if t.kind == M.REFERENCE:
         t.target = self.lookup(m, t.ref, "type")
      elif t.kind == M.CLASSFIELD:
         cls = self.lookup(m, t.class_ref, "class")
         field = cls.field(t.field)
         if field is None:
            raise CompileError(t.pos, "class '%s' has no field '%s'"
                               % (cls.asn1_name, t.field))
         t.class_field = (cls, field)
         if field.kind == "type":
            t.kind = M.OPEN
            return
         ft = field.type
         if ft.kind == M.REFERENCE:
            t.kind = M.REFERENCE
            t.ref = ft.ref
            t.target = ft.target
         elif ft.kind in M.STRUCTURED or ft.kind in M.LISTS:
            raise CompileError(t.pos, "field '%s' of a structured type "
                               "is not supported" % t.field)
         else:
            t.kind = ft.kind
            t.named = ft.named

   def check_alias_cycle(self, d):
      seen = [d]
      t = d.type
      while t.kind == M.REFERENCE and t.target is not None:
         d2 = t.target
         if d2 in seen:
            raise CompileError(d.pos, "circular definition of '%s'"
                               % d.asn1_name)
         seen.append(d2)
         t = d2.type

   def resolve_named(self):
      for m in self.modules:
         for t in self.written_types(m):
            if t.named:
               self.guard(S.resolve_named, self, m, t)
         for d in m.assignments:
            if isinstance(d, M.ClassDef):
               for f in d.fields:
                  if f.type is not None and f.type.named:
                     self.guard(S.resolve_named, self, m, f.type)

   def resolve_values(self):
      for m in self.modules:
         if m.oid is not None:
            try:
               m.oid_arcs = V.oid_arcs(self, m, m.oid)
            except CompileError as e:
               self.errors.append(e)
         for d in m.assignments:
            if isinstance(d, M.ValueDef):
               self.guard(self.value_of, d)

   def name(self):
      namer = Namer(self)
      for m in self.modules:
         self.guard(namer.name_module, m)

   def evaluate_constraints(self):
      for t in self.all_nodes():
         if t.constraints:
            self.guard(self.evaluate, t)

   def evaluate(self, t):
      ev = C.Evaluator(lambda v: V.int_value(self, t.module, v))
      values, sizes, tables, containing = ev.evaluate(t.constraints)
      kind = t.resolved().kind
      pos = t.constraints[0].pos
      if values is not None and kind != "INTEGER":
         raise CompileError(pos, "a value constraint needs an INTEGER type")
      if sizes is not None and not (
            kind in ("BIT STRING", "OCTET STRING") or kind in M.LISTS
            or kind in M.CHARACTER_STRINGS):
         raise CompileError(pos, "a SIZE constraint needs a string or list "
                            "type")
      if len(tables) > 1 or len(containing) > 1:
         raise CompileError(pos, "only one table or contents constraint is "
                            "allowed")
      if tables:
         if t.class_field is None:
            raise CompileError(tables[0].pos, "a table constraint needs a "
                               "class field type")
         tc = tables[0]
         t.table = M.TableConstraint(tc.set_ref, tc.at, tc.pos)
      if containing:
         if kind not in ("BIT STRING", "OCTET STRING"):
            raise CompileError(containing[0].pos, "CONTAINING needs a BIT "
                               "STRING or OCTET STRING type")
         t.contains = containing[0].type
      t.value_range = values
      t.size = sizes

   def resolve_tags(self):
      for t in self.all_nodes():
         if t.tags:
            self.guard(T.resolve_tags, self, t.module, t)

   def shape_components(self):
      for m in self.modules:
         for td in m.typedefs:
            if m.extensibility_implied:
               # X.680 12.4.3: as if every type ended with "...".
               if td.type.kind in M.STRUCTURED:
                  td.type.extensible = True
               elif td.type.kind == "ENUMERATED":
                  td.type.enum_extensible = True
            if td.type.kind in M.STRUCTURED:
               self.guard(self.shape, td)

   def shape(self, td):
      t = td.type
      if t.kind != "CHOICE":
         S.expand_components_of(td)
      S.check_names(t)
      S.check_defined_by(t)
      T.automatic_tags(self, td.module, t)
      if t.kind != "CHOICE":
         S.resolve_defaults(self, t)

   def wire_tags(self):
      for t in self.all_nodes():
         t.wire = T.wire(t)
      for m in self.modules:
         for td in m.typedefs:
            self.guard(T.check_distinct, td.type)

   def resolve_objects(self):
      for m in self.modules:
         for d in m.assignments:
            if isinstance(d, M.ObjectDef):
               self.guard(O.resolve_object_values, self, d)
      for m in self.modules:
         for d in m.assignments:
            if isinstance(d, M.ObjectSetDef):
               self.guard(O.resolve_set, self, d)

   def resolve_tables(self):
      for td, t in self.typedef_nodes():
         if t.table is not None:
            self.guard(O.resolve_table, self, td, t)

   def representations(self):
      for td, t in self.typedef_nodes():
         self.guard(self.representation, td, t)

   def representation(self, td, t):
      D.representation(t)
      d = D.find(t, "plain")
      if d is not None:
         if t is not td.type:
            raise CompileError(d.pos, "directive 'plain' needs a type that "
                               "has a name of its own")
         td.plain = True
      d = D.find(t, "xml-name")
      if d is not None:
         if t is not td.type:
            raise CompileError(d.pos, "directive 'xml-name' needs a type "
                               "that has a name of its own")
         td.xml_name = d.arg


def resolve(units):
   """Resolve parsed files (a list of Unit) into a Model; raises ErrorList."""
   return Resolver(units).run()
