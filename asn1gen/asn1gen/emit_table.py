"""The units `<Unit>Table.h` and `<Unit>Table.cpp` of a module: information
object classes, one class per information object, the object sets with
their lazily created singletons, the table-constraint functions, and the
object and set descriptors that the engine resolves open types with.

A class is defined (inside a guard) in the header of every module that has
objects or sets of it, so table headers never include each other."""

from .errors import CompileError
from . import model as M
from . import emit_types as E
from .emit_descriptors import Describer
from .emit_names import banner, declaration, guard, member, xml_name
from .emit_source import include_lines

VALUE_FIELD_KINDS = frozenset(("OBJECT IDENTIFIER", "BOOLEAN", "INTEGER",
                               "ENUMERATED")) | E.CHAR_STRING_KINDS


def _objects(module):
   return [d for d in module.assignments if isinstance(d, M.ObjectDef)]


def _sets(module):
   return [d for d in module.assignments if isinstance(d, M.ObjectSetDef)]


def classes_of(module):
   """Classes the module defines or has objects or sets of."""
   result = [d for d in module.assignments if isinstance(d, M.ClassDef)]
   for d in _objects(module) + _sets(module):
      if d.cls not in result:
         result.append(d.cls)
   return result


def type_fields(cls):
   return [f for f in cls.fields if f.kind == "type"]


def value_fields(cls):
   return [f for f in cls.fields if f.kind == "value"]


def id_field(cls):
   """The field that identifies an object: the UNIQUE OBJECT IDENTIFIER
   field, else the first OBJECT IDENTIFIER field, else None."""
   oids = [f for f in value_fields(cls)
           if E.builtin(f.type).kind == "OBJECT IDENTIFIER"]
   unique = [f for f in oids if f.unique]
   return (unique or oids or [None])[0]


def _suffix(field):
   return member(field.name[1:])


def _presence_bit(field):
   return xml_name(field.name[1:]) + "Present"


def _value_ctype(field):
   b = E.builtin(field.type)
   if b.kind not in VALUE_FIELD_KINDS:
      raise CompileError(field.pos, "value field '%s' of type %s is not "
                         "supported by the code generator" % (field.name,
                                                              b.kind))
   return E.primitive_ctype(b)


# -- classes ----------------------------------------------------------------


def class_definition(cls):
   name = cls.name
   macro = "ASN1DATA_CLASS_%s_DEFINED" % name
   label = cls.asn1_name
   out = ["#ifndef " + macro, "#define " + macro,
          "/* Information object class %s. */" % label,
          "class %s {" % name, "public:"]
   tfields = type_fields(cls)
   for f in tfields:
      s = _suffix(f)
      if f.optional:
         out += ["   /* Without %s the object has no value type: nothing is "
                 "decoded or encoded. */" % f.name,
                 "   virtual void* constructASN1T%s(ASN1CTXT*) { return "
                 "nullptr; }" % s,
                 "   virtual ASN1CType* constructASN1C%s(ASN1MessageBufferIF&, "
                 "void*) { return nullptr; }" % s]
      else:
         out += ["   virtual void* constructASN1T%s(ASN1CTXT* ctxt) = 0;" % s,
                 "   virtual ASN1CType* constructASN1C%s(ASN1MessageBufferIF& "
                 "msgBuf, void* value) = 0;" % s]
      out.append("   virtual void destructASN1C%s(ASN1CType* control) { "
                 "asn1rt::destructObjectControl(control); }" % s)
   out.append("   virtual ~%s() {}" % name)
   for f in tfields:
      s = _suffix(f)
      if f.optional:
         out += ["   virtual int encodeBER%s(ASN1CTXT*, Asn1TObject&) { "
                 "return 0; }" % s,
                 "   virtual int decodeBER%s(ASN1CTXT*, Asn1TObject&) { "
                 "return 0; }" % s,
                 "   virtual void copy%s(ASN1CTXT*, Asn1TObject&, Asn1TObject& "
                 "dst) { dst.decoded = nullptr; }" % s,
                 "   virtual void free%s(ASN1CTXT*, Asn1TObject&) {}" % s]
      else:
         out += ["   virtual int encodeBER%s(ASN1CTXT* ctxt, Asn1TObject& "
                 "object) = 0;" % s,
                 "   virtual int decodeBER%s(ASN1CTXT* ctxt, Asn1TObject& "
                 "object) = 0;" % s,
                 "   virtual void copy%s(ASN1CTXT* ctxt, Asn1TObject& src, "
                 "Asn1TObject& dst) = 0;" % s,
                 "   virtual void free%s(ASN1CTXT* ctxt, Asn1TObject& object) "
                 "= 0;" % s]
   optional = [f for f in cls.fields if f.optional]
   members = []
   inits = []
   if optional:
      members.append("   struct {")
      for f in optional:
         members.append("      unsigned char %s : 1;" % _presence_bit(f))
      members.append("   } m;")
      inits.append("m()")
   for f in value_fields(cls):
      members.append("   %s %s;" % (_value_ctype(f), _suffix(f)))
      inits.append("%s()" % _suffix(f))
   if members:
      out.append("")
      out += members
   out += ["", "protected:",
           "   %s()%s {}" % (name, " : " + ", ".join(inits) if inits else ""),
           "};", "#endif"]
   return out


# -- objects ----------------------------------------------------------------


def _object_types(obj):
   """(field, type node) of each type field the object sets."""
   return [(f, obj.fields[f.name]) for f in type_fields(obj.cls)
           if f.name in obj.fields]


def object_declaration(obj):
   name = obj.name
   out = ["/* Information object %s of class %s. */" % (obj.asn1_name,
                                                         obj.cls.asn1_name),
          "class %s : public %s {" % (name, obj.cls.name), "public:",
          "   %s();" % name]
   for f, _ in _object_types(obj):
      s = _suffix(f)
      out += ["   void* constructASN1T%s(ASN1CTXT* ctxt) override;" % s,
              "   ASN1CType* constructASN1C%s(ASN1MessageBufferIF& msgBuf, "
              "void* value) override;" % s,
              "   int encodeBER%s(ASN1CTXT* ctxt, Asn1TObject& object) "
              "override;" % s,
              "   int decodeBER%s(ASN1CTXT* ctxt, Asn1TObject& object) "
              "override;" % s,
              "   void copy%s(ASN1CTXT* ctxt, Asn1TObject& src, Asn1TObject& "
              "dst) override;" % s,
              "   void free%s(ASN1CTXT* ctxt, Asn1TObject& object) override;"
              % s]
   out.append("};")
   return out


def _control_of(t):
   """The control class and value type of an object's type, or None."""
   if t.kind != M.REFERENCE or E.is_null(t):
      return None
   return "ASN1C_" + t.target.name, E.value_type(t.target)


def object_definition(d, obj):
   name = obj.name
   cls = obj.cls
   out = ["", "%s::%s() {" % (name, name)]
   ident = id_field(cls)
   for f in cls.fields:
      if f.name not in obj.fields:
         continue
      if f.optional:
         out.append("   m.%s = 1;" % _presence_bit(f))
      if f.kind == "value":
         out += _value_assignment(obj, f, f is ident)
   out.append("}")
   for f, t in _object_types(obj):
      s = _suffix(f)
      desc = d.desc_of(t)[1:]
      control = _control_of(t)
      out += ["", "void* %s::constructASN1T%s(ASN1CTXT* ctxt) {" % (name, s),
              "   return asn1rt::newObjectValue(ctxt, %s);" % desc, "}", ""]
      if control is None:
         out += ["ASN1CType* %s::constructASN1C%s(ASN1MessageBufferIF&, "
                 "void*) {" % (name, s), "   return nullptr;", "}"]
      else:
         out += ["ASN1CType* %s::constructASN1C%s(ASN1MessageBufferIF& msgBuf, "
                 "void* value) {" % (name, s),
                 "   return asn1rt::newObjectControl<%s, %s>(msgBuf, value);"
                 % control, "}"]
      out += ["", "int %s::encodeBER%s(ASN1CTXT* ctxt, Asn1TObject& object) {"
              % (name, s),
              "   return asn1rt::encodeObjectValue(ctxt, %s, object);" % desc,
              "}", "",
              "int %s::decodeBER%s(ASN1CTXT* ctxt, Asn1TObject& object) {"
              % (name, s),
              "   return asn1rt::decodeObjectValue(ctxt, %s, object);" % desc,
              "}", "",
              "void %s::copy%s(ASN1CTXT* ctxt, Asn1TObject& src, Asn1TObject& "
              "dst) {" % (name, s),
              "   asn1rt::copyObjectValue(ctxt, %s, src, dst);" % desc, "}", "",
              "void %s::free%s(ASN1CTXT* ctxt, Asn1TObject& object) {" % (name,
                                                                          s),
              "   asn1rt::freeObjectValue(ctxt, %s, object);" % desc, "}"]
   return out


def _value_assignment(obj, f, is_ident):
   target = _suffix(f)
   rv = obj.fields[f.name]
   if rv.kind == "OBJECT IDENTIFIER":
      if is_ident:
         return ["   asn1rt::setObjectId(%s, asn1Object_%s.numarcs, "
                 "asn1Object_%s.arcs);" % (target, obj.name, obj.name)]
      arcs = [a.number for a in rv.data]
      return ["   static const ASN1UINT %sArcs[] = {%s};" % (
                 target, ", ".join("%du" % a for a in arcs)),
              "   asn1rt::setObjectId(%s, %d, %sArcs);" % (target, len(arcs),
                                                          target)]
   if rv.kind == "BOOLEAN":
      return ["   %s = %d;" % (target, 1 if rv.data else 0)]
   if rv.kind in ("INTEGER", "ENUMERATED"):
      return ["   %s = %s;" % (target, E.int_literal(rv.data))]
   return ["   %s = %s;" % (target, E.c_string(rv.data))]


def _object_arcs(obj):
   ident = id_field(obj.cls)
   rv = obj.fields.get(ident.name) if ident is not None else None
   return [a.number for a in rv.data] if rv is not None else []


def object_descriptor(d, obj):
   types = _object_types(obj)
   primary = type_fields(obj.cls)[:1]
   type_expr = "nullptr"
   if types and primary and types[0][0] is primary[0]:
      type_expr = d.desc_of(types[0][1])
   arcs = _object_arcs(obj)
   out = []
   if arcs:
      out.append("static constexpr ASN1UINT kArcs_%s[] = {%s};" % (
         obj.name, ", ".join("%du" % a for a in arcs)))
   out.append("constexpr asn1rt::ObjectDesc asn1Object_%s = {%s, %d, %s, %s};"
              % (obj.name, E.c_string(obj.name), len(arcs),
                 "kArcs_%s" % obj.name if arcs else "nullptr", type_expr))
   return out


# -- sets ---------------------------------------------------------------------


def set_declaration(s):
   cls = s.cls.name
   name = s.name
   return [
      "/* Information object set %s of class %s, in search order. */"
      % (s.asn1_name, s.cls.asn1_name),
      "class %s {" % name, "public:",
      "   /* The set, created on the first call and kept for the life of the "
      "process. */",
      "   static %s* instance(ASN1CTXT* ctxt);" % name,
      "   /* The first object whose identifier equals oid, or null. */",
      "   %s* lookupObject(ASN1TObjId oid);" % cls,
      "   /* The object at a position of the search order, or null. */",
      "   %s* getObject(ASN1UINT index);" % cls,
      "   ASN1UINT getCount() const { return mCount; }", "",
      "private:", "   %s();" % name, "",
      "   static %s* mpInstance;" % name,
      "   %s* mObjects[%d];" % (cls, max(1, len(s.objects))),
      "   ASN1UINT mCount;", "};"]


def set_definition(s):
   name = s.name
   cls = s.cls
   ident = id_field(cls)
   if ident is None:
      raise CompileError(s.pos, "object set '%s': class '%s' has no OBJECT "
                         "IDENTIFIER field to look objects up by"
                         % (s.asn1_name, cls.asn1_name))
   out = ["", "%s* %s::mpInstance = nullptr;" % (name, name), "",
          "%s* %s::instance(ASN1CTXT*) {" % (name, name),
          "   if (mpInstance == nullptr) mpInstance = new %s();" % name,
          "   return mpInstance;", "}", "",
          "%s::%s() : mObjects(), mCount(%d) {" % (name, name, len(s.objects))]
   for i, obj in enumerate(s.objects):
      out.append("   mObjects[%d] = new %s();" % (i, obj.name))
   out += ["}", ""]
   if s.objects:
      out += ["%s* %s::getObject(ASN1UINT index) {" % (cls.name, name),
              "   return index < %d ? mObjects[index] : nullptr;" % len(s.objects),
              "}", ""]
   else:
      out += ["%s* %s::getObject(ASN1UINT) {" % (cls.name, name),
              "   return nullptr;", "}", ""]
   out += ["%s* %s::lookupObject(ASN1TObjId oid) {" % (cls.name, name),
           "   for (ASN1UINT i = 0; i < mCount; i++) {",
           "      if (mObjects[i]->%s == oid) return mObjects[i];"
           % _suffix(ident),
           "   }", "   return nullptr;", "}"]
   return out


def set_descriptor(s):
   if not s.objects:
      return ["constexpr asn1rt::ObjectSetDesc asn1Set_%s = {%s, nullptr, 0};"
              % (s.name, E.c_string(s.name))]
   out = ["static constexpr const asn1rt::ObjectDesc* kObjectsOf%s[] = {"
          % s.name]
   out += ["   &asn1Object_%s," % o.name for o in s.objects]
   out += ["};", "constexpr asn1rt::ObjectSetDesc asn1Set_%s = {%s, "
           "kObjectsOf%s, %d};" % (s.name, E.c_string(s.name), s.name,
                                   len(s.objects))]
   return out


# -- table-constraint functions ---------------------------------------------


TABLE_FUNCTIONS = (("asn1DTC_", "tableDecode"), ("asn1ETC_", "tableEncode"),
                   ("asn1XDTC_", "tableXerDecode"),
                   ("asn1XETC_", "tableXerEncode"))


def _constrained(plan, module):
   return [td for td in module.typedefs if plan.table(td) is not None]


def _table_signature(prefix, td):
   return "int %s%s(ASN1CTXT* ctxt, %s* pvalue)" % (prefix, td.name,
                                                     E.value_type(td))


# -- units ------------------------------------------------------------------


def emit_table_header(plan, module):
   unit = E.unit_name(module) + "Table"
   out = banner(["Module %s, generated by asn1gen: information object "
                 "classes," % module.name,
                 "objects and sets, and the table-constraint functions.",
                 "Do not edit; change the module and generate again."])
   out += ["#ifndef " + guard(unit), "#define " + guard(unit), "",
           '#include "%s.h"' % E.unit_name(module), '#include "ASN1TObjId.h"',
           '#include "asn1Generated.h"', "", "namespace asn1data {"]
   for cls in classes_of(module):
      out.append("")
      out += class_definition(cls)
   for obj in _objects(module):
      out.append("")
      out += object_declaration(obj)
   for s in _sets(module):
      out.append("")
      out += set_declaration(s)
   constrained = _constrained(plan, module)
   if constrained:
      out += ["", "/* Table constraints: resolve the open types of a value "
              "after decoding", "   and renew their encodings before "
              "encoding. */"]
      for td in constrained:
         for p, _ in TABLE_FUNCTIONS:
            out += declaration(_table_signature(p, td), ";")
   descriptors = ["extern const asn1rt::ObjectDesc asn1Object_%s;" % o.name
                  for o in _objects(module)]
   descriptors += ["extern const asn1rt::ObjectSetDesc asn1Set_%s;" % s.name
                   for s in _sets(module)]
   if descriptors:
      out += ["", "/* Objects and sets as the engine resolves open types "
              "with them. */"]
      out += descriptors
   out += ["", "}", "", "#endif", ""]
   return "\n".join(out)


def emit_table_source(plan, module):
   unit = E.unit_name(module)
   d = Describer(plan)
   body = []
   for obj in _objects(module):
      body += [""] + object_descriptor(d, obj)
   for s in _sets(module):
      body += [""] + set_descriptor(s)
   for obj in _objects(module):
      body += object_definition(d, obj)
   for s in _sets(module):
      body += set_definition(s)
   for td in _constrained(plan, module):
      for prefix, call in TABLE_FUNCTIONS:
         body += [""] + declaration(_table_signature(prefix, td), " {")
         body += ["   return asn1rt::%s(ctxt, &asn1Desc_%s, pvalue);"
                  % (call, td.name), "}"]
   set_members = []
   for s in _sets(module):
      for o in s.objects:
         if o.module not in set_members and o.module is not module:
            set_members.append(o.module)
   out = banner(["Module %s, generated by asn1gen: information objects, "
                 "object sets" % module.name,
                 "and table-constraint functions. Do not edit; change the "
                 "module and",
                 "generate again."])
   out += include_lines([unit + "Table.h", unit + ".h"], d.referenced,
                        set_members)
   out += ['#include "asn1Engine.h"', '#include "asn1Xer.h"', "",
           "namespace asn1data {"]
   if d.pool_lines:
      out += ["", "/* Types that objects give without naming them. */"]
      out += d.pool_lines
   out += body
   out += ["", "}", ""]
   return "\n".join(out)
