"""Decisions that concern all generated units at once: the global order of
definitions, the table constraint of each SEQUENCE, which structures a
header defines (its own and the foreign ones its structures hold inline)
and which headers include which."""

from .errors import CompileError
from . import model as M
from . import emit_types as E


class Plan:
   def __init__(self, model):
      self.model = model
      self._position = {}
      for mi, m in enumerate(model.modules):
         for ti, td in enumerate(m.typedefs):
            self._position[id(td)] = (mi, ti)
      E.check_tables(model)
      self.tables = {}
      for m in model.modules:
         for td in m.typedefs:
            self._check_limits(td)
            table = E.table_of(td)
            if table is not None:
               self.tables[id(td)] = table
      self.header_structs = {}
      self.shared = set()
      for m in model.modules:
         own = [td for td in m.typedefs if E.has_struct(td)]
         structs = E.needed_structs(own, self.position)
         self.header_structs[m.name] = structs
         for td in structs:
            if td.module is not m:
               self.shared.add(id(td))
      self._check_control_cycles()

   def position(self, td):
      return self._position[id(td)]

   def table(self, td):
      return self.tables.get(id(td))

   def is_shared(self, td):
      """True when the structure is also defined in another module's
      header, so every definition of it needs a guard."""
      return id(td) in self.shared

   def structs_of(self, module):
      return self.header_structs[module.name]

   def control_base_modules(self, module):
      """Modules whose control classes this module's alias types derive
      from, in module order."""
      result = []
      for td in module.typedefs:
         base = alias_target(td)
         if base is not None and base.module is not module \
               and base.module not in result:
            result.append(base.module)
      return sorted(result, key=self.model.modules.index)

   def _check_limits(self, td):
      t = td.type
      if t.kind in ("SEQUENCE", "SET"):
         bits = E.presence_bits(t)
         if len(bits) > E.MAX_PRESENCE_BITS:
            raise CompileError(td.pos, "'%s' needs more than %d presence "
                               "bits" % (td.name, E.MAX_PRESENCE_BITS))
      if t.kind == "SET" and len(t.components) > E.MAX_SET_COMPONENTS:
         raise CompileError(td.pos, "'%s' has more than %d components"
                            % (td.name, E.MAX_SET_COMPONENTS))

   def _check_control_cycles(self):
      """Control classes of alias types derive from the control class of
      the type they name; the headers that hold them include each other,
      which must not go round in a circle."""
      graph = {m.name: [b.name for b in self.control_base_modules(m)]
               for m in self.model.modules}
      state = {}

      def visit(name, path):
         if state.get(name) == "done":
            return
         if state.get(name) == "active":
            cycle = path[path.index(name):] + [name]
            raise CompileError(self._module(path[0]).pos, "control classes "
                               "of alias types go round the modules %s"
                               % " -> ".join(cycle))
         state[name] = "active"
         for other in graph[name]:
            visit(other, path + [name])
         state[name] = "done"

      for m in self.model.modules:
         visit(m.name, [])

   def _module(self, name):
      for m in self.model.modules:
         if m.name == name:
            return m
      return None


def alias_target(td):
   """The named type an alias type names (its control class is the base of
   the alias's one), or None for a type that is not an alias."""
   if td.type.kind != M.REFERENCE or E.is_null(td.type):
      return None
   return td.type.target
