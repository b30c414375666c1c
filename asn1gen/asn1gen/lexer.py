"""Lexical analysis of ASN.1 module files (X.680 clause 12).

Comments are not thrown away: every comment is kept with its position and
the index of the token before it, so that later stages can attach comments
and `--#` directives to the definitions they describe.
"""

from .errors import CompileError, Pos

RESERVED = frozenset("""
   ABSENT ABSTRACT-SYNTAX ALL ANY APPLICATION AUTOMATIC BEGIN BIT BMPString
   BOOLEAN BY CHARACTER CHOICE CLASS COMPONENT COMPONENTS CONSTRAINED
   CONTAINING DEFAULT DEFINED DEFINITIONS EMBEDDED ENCODED END ENUMERATED
   EXCEPT EXPLICIT EXPORTS EXTENSIBILITY EXTERNAL FALSE FROM GeneralizedTime
   GeneralString GraphicString IA5String IDENTIFIER IMPLICIT IMPLIED IMPORTS
   INCLUDES INSTANCE INTEGER INTERSECTION ISO646String MAX MIN MINUS-INFINITY
   NULL NumericString OBJECT ObjectDescriptor OCTET OF OPTIONAL PATTERN PDV
   PLUS-INFINITY PRESENT PrintableString PRIVATE REAL RELATIVE-OID SEQUENCE
   SET SIZE STRING SYNTAX T61String TAGS TeletexString TRUE TYPE-IDENTIFIER
   UNION UNIQUE UNIVERSAL UniversalString UTCTime UTF8String VideotexString
   VisibleString WITH
""".split())

# Longest first, so that "::=" wins over ":" and "..." over "..".
PUNCTUATION = ("::=", "...", "..", "{", "}", "(", ")", "[", "]", ",", ".",
               ";", "|", "@", "!", "^", "<", ">", ":", "=", "-")

# Token kinds.
TYPEREF = "typeref"      # starts with an upper-case letter
IDENT = "identifier"     # starts with a lower-case letter
KEYWORD = "keyword"
NUMBER = "number"
CSTRING = "cstring"
BSTRING = "bstring"
HSTRING = "hstring"
FIELD = "field"          # &id, &Type
PUNCT = "punct"
EOF = "eof"


class Token:
   __slots__ = ("kind", "text", "value", "pos", "index")

   def __init__(self, kind, text, value, pos, index):
      self.kind = kind
      self.text = text
      self.value = value
      self.pos = pos
      self.index = index

   def is_(self, text):
      """True for a keyword or punctuation token spelled `text`."""
      return self.kind in (KEYWORD, PUNCT) and self.text == text

   def describe(self):
      # The end of a brace value's token list shows as its closing brace.
      if self.kind == EOF and not self.text:
         return "end of file"
      return "'%s'" % self.text


class Comment:
   """One comment. `prev` is the index of the token before it (-1 at the
   start of the file); `own_line` is true when no token precedes it on its
   line, which makes it a leading comment of whatever follows."""

   __slots__ = ("pos", "text", "directive", "prev", "own_line")

   def __init__(self, pos, text, directive, prev, own_line):
      self.pos = pos
      self.text = text
      self.directive = directive
      self.prev = prev
      self.own_line = own_line


def _is_ident_char(c):
   return c.isascii() and (c.isalnum() or c == "-")


class Lexer:
   def __init__(self, text, filename):
      self.text = text
      self.file = filename
      self.i = 0
      self.line = 1
      self.line_start = 0
      self.tokens = []
      self.comments = []
      self.last_token_line = 0

   def pos_at(self, i):
      return Pos(self.file, self.line, i - self.line_start + 1)

   def error(self, i, message):
      raise CompileError(self.pos_at(i), message)

   def newline(self, i):
      """Record that the character at i is a line feed."""
      self.line += 1
      self.line_start = i + 1

   def run(self):
      text = self.text
      n = len(text)
      while True:
         self.skip_blanks()
         if self.i >= n:
            break
         c = text[self.i]
         if text.startswith("--", self.i):
            self.line_comment()
         elif text.startswith("/*", self.i):
            self.block_comment()
         elif c.isascii() and c.isalpha():
            self.word()
         elif c.isdigit():
            self.number()
         elif c == '"':
            self.cstring()
         elif c == "'":
            self.quoted_string()
         elif c == "&":
            self.field()
         else:
            self.punct()
      self.add(EOF, "", None, self.pos_at(self.i))
      return self.tokens, self.comments

   def skip_blanks(self):
      text = self.text
      while self.i < len(text) and text[self.i] in " \t\r\n\f\v":
         if text[self.i] == "\n":
            self.newline(self.i)
         self.i += 1

   def add(self, kind, text, value, pos):
      self.tokens.append(Token(kind, text, value, pos, len(self.tokens)))
      self.last_token_line = pos.line

   def add_comment(self, start_pos, body):
      own_line = self.last_token_line != start_pos.line
      stripped = body.strip()
      directive = body.startswith("#")
      if directive:
         stripped = body[1:].strip()
      self.comments.append(Comment(start_pos, stripped, directive,
                                   len(self.tokens) - 1, own_line))

   def line_comment(self):
      # "--" runs to the next "--" or to the end of the line (X.680 12.6.3).
      text = self.text
      start = self.i
      pos = self.pos_at(start)
      j = start + 2
      while j < len(text) and text[j] != "\n" and not text.startswith("--", j):
         j += 1
      body = text[start + 2:j]
      self.i = j + 2 if text.startswith("--", j) else j
      self.add_comment(pos, body)

   def block_comment(self):
      text = self.text
      start = self.i
      pos = self.pos_at(start)
      depth = 0
      j = start
      while j < len(text):
         if text.startswith("/*", j):
            depth += 1
            j += 2
         elif text.startswith("*/", j):
            depth -= 1
            j += 2
            if depth == 0:
               break
         else:
            if text[j] == "\n":
               self.newline(j)
            j += 1
      if depth:
         raise CompileError(pos, "unterminated comment")
      self.i = j
      self.add_comment(pos, text[start + 2:j - 2])

   def word(self):
      text = self.text
      start = self.i
      j = start
      while j < len(text) and _is_ident_char(text[j]):
         if text.startswith("--", j):
            break
         j += 1
      word = text[start:j]
      if word.endswith("-"):
         self.error(start, "identifier '%s' must not end with a hyphen" % word)
      self.i = j
      pos = self.pos_at(start)
      if word in RESERVED:
         self.add(KEYWORD, word, None, pos)
      elif word[0].isupper():
         self.add(TYPEREF, word, None, pos)
      else:
         self.add(IDENT, word, None, pos)

   def number(self):
      text = self.text
      start = self.i
      j = start
      while j < len(text) and text[j].isdigit():
         j += 1
      self.i = j
      self.add(NUMBER, text[start:j], int(text[start:j]), self.pos_at(start))

   def cstring(self):
      text = self.text
      start = self.i
      pos = self.pos_at(start)
      chars = []
      j = start + 1
      while True:
         if j >= len(text):
            raise CompileError(pos, "unterminated string")
         c = text[j]
         if c == '"':
            if text.startswith('""', j):
               chars.append('"')
               j += 2
               continue
            break
         if c == "\n":
            self.newline(j)
         chars.append(c)
         j += 1
      self.i = j + 1
      self.add(CSTRING, text[start:j + 1], "".join(chars), pos)

   def quoted_string(self):
      text = self.text
      start = self.i
      pos = self.pos_at(start)
      end = text.find("'", start + 1)
      if end < 0 or end + 1 >= len(text) or text[end + 1] not in "BH":
         raise CompileError(pos, "expected a 'B or 'H string")
      body = "".join(text[start + 1:end].split())
      radix = text[end + 1]
      allowed = "01" if radix == "B" else "0123456789ABCDEF"
      bad = [c for c in body if c not in allowed]
      if bad:
         raise CompileError(pos, "invalid character '%s' in '%s string"
                            % (bad[0], radix))
      for k in range(start, end):
         if text[k] == "\n":
            self.newline(k)
      self.i = end + 2
      self.add(BSTRING if radix == "B" else HSTRING, text[start:end + 2],
               body, pos)

   def field(self):
      text = self.text
      start = self.i
      j = start + 1
      if j >= len(text) or not (text[j].isascii() and text[j].isalpha()):
         self.error(start, "expected a field name after '&'")
      while j < len(text) and _is_ident_char(text[j]):
         if text.startswith("--", j):
            break
         j += 1
      name = text[start:j]
      if name.endswith("-"):
         self.error(start, "identifier '%s' must not end with a hyphen" % name)
      self.i = j
      self.add(FIELD, name, None, self.pos_at(start))

   def punct(self):
      for p in PUNCTUATION:
         if self.text.startswith(p, self.i):
            self.add(PUNCT, p, None, self.pos_at(self.i))
            self.i += len(p)
            return
      self.error(self.i, "unexpected character '%s'" % self.text[self.i])


def tokenize(text, filename):
   """Return (tokens, comments) of a module file; the last token is EOF."""
   return Lexer(text, filename).run()
