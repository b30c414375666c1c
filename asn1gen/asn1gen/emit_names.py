"""C++ spellings of ASN.1 identifiers, and the text helpers the emitters
share."""

# Identifiers that C++ reserves; an ASN.1 identifier spelled like one of
# them gets a trailing "_" where it becomes a C++ name (the XER name keeps
# the ASN.1 spelling).
CPP_KEYWORDS = frozenset("""
alignas alignof and and_eq asm auto bitand bitor bool break case catch char
char16_t char32_t class compl const const_cast constexpr continue decltype
default delete do double dynamic_cast else enum explicit export extern false
float for friend goto if inline int long mutable namespace new noexcept not
not_eq nullptr operator or or_eq private protected public register
reinterpret_cast return short signed sizeof static static_assert static_cast
struct switch template this thread_local throw true try typedef typeid
typename union unsigned using virtual void volatile wchar_t while xor xor_eq
""".split())


def xml_name(name):
   """The XER element name of an ASN.1 identifier."""
   return name.replace("-", "_")


def member(name):
   """The C++ member or constant name of an ASN.1 identifier."""
   text = xml_name(name)
   return text + "_" if text in CPP_KEYWORDS else text


def banner(lines):
   """A block comment."""
   out = ["/*"]
   out.extend((" * " + line).rstrip() for line in lines)
   out.append(" */")
   return out


def guard(name):
   return "ASN1DATA_%s_H" % name.upper()


def wrap(head, items, tail, indent, width=100):
   """`head` + items joined by ", " + `tail` on one line when it fits in
   `width` columns, else items continued on lines indented by `indent`."""
   line = head + ", ".join(items) + tail
   if len(line) <= width or not items:
      return [line]
   lines = []
   current = head
   for i, item in enumerate(items):
      text = item + ("," if i < len(items) - 1 else tail)
      if current.strip() and len(current) + len(text) + 1 > width:
         lines.append(current.rstrip())
         current = " " * indent
      elif current != head and not current.endswith(" "):
         current += " "
      current += text
   lines.append(current)
   return lines


def declaration(signature, tail):
   """A function signature followed by `tail` (";" or " {"), its
   parameters wrapped under the opening parenthesis when too long."""
   head, params = signature.split("(", 1)
   return wrap(head + "(", params[:-1].split(", "), ")" + tail, len(head) + 1)
