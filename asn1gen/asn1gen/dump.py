"""Readable, stable text of a resolved model, for golden tests and for
looking at what the back end will be given."""

from . import model as M


def tag_prefix(t):
   return "".join("%s %s " % (tag.text(), "EXPLICIT" if tag.explicit
                               else "IMPLICIT") for tag in t.tags)


def type_text(t):
   """One-line description of a type node: tags, base, constraints,
   representation."""
   parts = [tag_prefix(t) + _base(t)]
   if t.value_range is not None:
      parts.append("(%s)" % t.value_range.text())
   if t.size is not None and t.kind not in M.LISTS:
      parts.append("SIZE(%s)" % t.size.text())
   if t.table is not None:
      parts.append(_table_text(t.table))
   if t.contains is not None:
      parts.append("CONTAINING " + type_text(t.contains))
   if t.rep is not None:
      rep = t.rep if t.capacity is None else "%s(%d)" % (t.rep, t.capacity)
      parts.append("rep=" + rep)
   return " ".join(parts)


def _base(t):
   if t.kind == M.REFERENCE:
      return t.target.name
   if t.kind == M.OPEN:
      if t.class_field is not None:
         cls, field = t.class_field
         return "OPEN %s.%s" % (cls.name, field.name)
      if t.defined_by is not None:
         return "OPEN DEFINED BY " + t.defined_by
      return "OPEN"
   if t.class_field is not None:
      cls, field = t.class_field
      return "%s %s.%s" % (t.kind, cls.name, field.name)
   if t.kind in M.LISTS:
      element = type_text(t.element)
      if element != _base(t.element):
         element = "(%s)" % element
      size = "" if t.size is None else " SIZE(%s)" % t.size.text()
      return "%s%s OF %s" % (t.kind.split()[0], size, element)
   return t.kind


def _table_text(tc):
   text = "{%s}" % tc.object_set.name
   if tc.at is not None:
      relative, names = tc.at
      text += "{@%s%s}" % ("." if relative else "", ".".join(names))
   return text


def wire_text(t):
   return " ".join(w.text() for w in t.wire)


def _notes(out, node, indent, prefix=""):
   for text in node.comments:
      out.append("%s%scomment %s" % (indent, prefix, " ".join(text.split())))
   for d in node.directives:
      out.append("%s%sdirective %s" % (indent, prefix, d.text()))


def _origin(td):
   if td.origin == "type":
      return None
   return {"inline": "inline in %s",
           "seqof": "list type first used in %s",
           "object": "type field of object %s"}[td.origin] % td.parent.name


def dump_typedef(td, out):
   t = td.type
   out.append("type %s ::= %s" % (td.name, type_text(t)))
   origin = _origin(td)
   if origin is not None:
      out.append("  origin " + origin)
   elif td.asn1_name != td.name:
      out.append("  asn1 " + td.asn1_name)
   if td.plain:
      out.append("  plain")
   if td.xml_name is not None:
      out.append("  xml-name " + td.xml_name)
   out.append("  wire " + wire_text(t))
   _notes(out, td, "  ")
   _notes(out, t, "  ")
   for n in t.named:
      out.append("  named %s = %d%s%s" % (
         n.name, n.number, "" if n.cname == n.name else " as " + n.cname,
         " (extension)" if n.extension else ""))
   if t.enum_extensible or t.extensible:
      out.append("  extensible")
   if t.kind in M.LISTS:
      _key(out, t.element, "  element ")
      _notes(out, t.element, "  ", "element ")
   word = "alternative" if t.kind == "CHOICE" else "component"
   for c in t.components:
      dump_component(c, word, out)


def dump_component(c, word, out):
   line = "  %s %s %s" % (word, c.name, type_text(c.type))
   if c.optional:
      line += " OPTIONAL"
   if c.default is not None:
      line += " DEFAULT %s held %s" % (c.default_value.text, c.default_mode)
   if c.presence_bit is not None:
      line += " bit %d" % c.presence_bit
   if c.extension:
      line += " extension"
   out.append(line)
   if c.cname != c.name:
      out.append("    field " + c.cname)
   if c.inherited_from is not None:
      out.append("    from " + c.inherited_from)
   out.append("    wire " + wire_text(c.type))
   _key(out, c.type, "    ")
   _notes(out, c, "    ")
   _notes(out, c.type, "    ")


def _key(out, t, indent):
   """The key component of a table constraint on `t` or on the type it
   contains."""
   for node in (t, t.contains):
      tc = node.table if node is not None else None
      if tc is not None and tc.key_path is not None:
         out.append("%skey %s.%s" % (indent, tc.key_owner.name,
                                     ".".join(k.name for k in tc.key_path)))


def dump_value(d, out):
   out.append("value %s %s ::= %s" % (d.name, type_text(d.type),
                                      d.rvalue.text))
   _notes(out, d, "  ")


def _syntax_text(items):
   parts = []
   for item in items:
      if item.kind == "group":
         parts.append("[%s]" % _syntax_text(item.items))
      else:
         parts.append(item.text)
   return " ".join(parts)


def dump_class(d, out):
   out.append("class %s" % d.name)
   for f in d.fields:
      line = "  field %s" % f.name
      if f.kind == "value":
         line += " " + type_text(f.type)
      if f.unique:
         line += " UNIQUE"
      if f.optional:
         line += " OPTIONAL"
      if isinstance(f.default, M.Type):
         line += " DEFAULT " + f.default.target.name
      elif f.default is not None:
         line += " DEFAULT " + _written(f.default)
      out.append(line)
   if d.syntax is not None:
      out.append("  syntax " + _syntax_text(d.syntax))
   _notes(out, d, "  ")


def dump_object(d, out):
   out.append("object %s %s" % (d.name, d.cls.name))
   for f in d.cls.fields:
      setting = d.fields.get(f.name)
      if setting is None:
         continue
      if isinstance(setting, M.Type):
         out.append("  %s = %s" % (f.name, type_text(setting)))
      else:
         out.append("  %s = %s" % (f.name, setting.text))
   _notes(out, d, "  ")


def _written(v):
   """A value of a class field default, as written."""
   if v.kind == "ref":
      return v.data.name
   if v.kind == "braces":
      return "{ %s }" % " ".join(tok.text for tok in v.data[:-1])
   if v.kind == "boolean":
      return "TRUE" if v.data else "FALSE"
   if v.kind == "null":
      return "NULL"
   if v.kind == "choice":
      return "%s : %s" % (v.data[0], _written(v.data[1]))
   return str(v.data)


def dump_set(d, out):
   out.append("set %s %s%s" % (d.name, d.cls.name,
                               " extensible" if d.extensible else ""))
   for o in d.objects:
      out.append("  object " + o.name)
   _notes(out, d, "  ")


def dump_module(m, out):
   out.append("module %s (%s)" % (m.name, m.file))
   if m.oid_arcs is not None:
      out.append("  oid " + ".".join(str(a.number) for a in m.oid_arcs))
   out.append("  tags " + m.tag_default)
   if m.extensibility_implied:
      out.append("  extensibility implied")
   if m.exports is not None:
      out.append("  exports " + ", ".join(e.name for e in m.exports))
   for imp in m.imports:
      out.append("  import %s from %s" % (", ".join(s.name
                                                    for s in imp.symbols),
                                          imp.module))
   _notes(out, m, "  ")
   typedefs = {}
   for td in m.typedefs:
      root = td
      while isinstance(root, M.TypeDef) and root.parent is not None:
         root = root.parent
      typedefs.setdefault(id(root), []).append(td)
   for d in m.assignments:
      out.append("")
      if isinstance(d, M.TypeDef):
         for td in typedefs.get(id(d), []):
            if td is not d:
               out.append("")
            dump_typedef(td, out)
      elif isinstance(d, M.ValueDef):
         dump_value(d, out)
      elif isinstance(d, M.ClassDef):
         dump_class(d, out)
      elif isinstance(d, M.ObjectDef):
         dump_object(d, out)
         for td in typedefs.get(id(d), []):
            out.append("")
            dump_typedef(td, out)
      elif isinstance(d, M.ObjectSetDef):
         dump_set(d, out)


def dump(model):
   out = []
   for i, m in enumerate(model.modules):
      if i:
         out.append("")
      dump_module(m, out)
   return "\n".join(out) + "\n"
