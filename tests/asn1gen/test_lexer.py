"""Tokens, comments and lexical faults."""

import unittest

import asn1gen_testlib  # noqa: F401  (puts the generator on sys.path)
from asn1gen import lexer as L
from asn1gen.errors import CompileError


def kinds_and_texts(text):
   tokens, _ = L.tokenize(text, "t.asn")
   return [(t.kind, t.text) for t in tokens[:-1]]


class TokenTest(unittest.TestCase):
   def test_token_kinds(self):
      cases = [
         ("Foo-Bar", [(L.TYPEREF, "Foo-Bar")]),
         ("id-pkix", [(L.IDENT, "id-pkix")]),
         ("SEQUENCE OF", [(L.KEYWORD, "SEQUENCE"), (L.KEYWORD, "OF")]),
         ("TYPE-IDENTIFIER", [(L.KEYWORD, "TYPE-IDENTIFIER")]),
         ("&id &ExtnType", [(L.FIELD, "&id"), (L.FIELD, "&ExtnType")]),
         ("1..MAX", [(L.NUMBER, "1"), (L.PUNCT, ".."), (L.KEYWORD, "MAX")]),
         ("...", [(L.PUNCT, "...")]),
         ("::=", [(L.PUNCT, "::=")]),
         ("-5", [(L.PUNCT, "-"), (L.NUMBER, "5")]),
         ("[[", [(L.PUNCT, "["), (L.PUNCT, "[")]),
         ("a.&b", [(L.IDENT, "a"), (L.PUNCT, "."), (L.FIELD, "&b")]),
      ]
      for text, expected in cases:
         with self.subTest(text=text):
            self.assertEqual(kinds_and_texts(text), expected)

   def test_string_values(self):
      tokens, _ = L.tokenize('"say ""hi""" \'0101\'B \'CA FE\'H', "t.asn")
      self.assertEqual([(t.kind, t.value) for t in tokens[:-1]],
                       [(L.CSTRING, 'say "hi"'), (L.BSTRING, "0101"),
                        (L.HSTRING, "CAFE")])

   def test_positions_count_lines_and_columns_from_one(self):
      tokens, _ = L.tokenize("A ::=\n   /* x\ny */ BOOLEAN", "t.asn")
      self.assertEqual([(t.text, t.pos.line, t.pos.col) for t in tokens],
                       [("A", 1, 1), ("::=", 1, 3), ("BOOLEAN", 3, 6),
                        ("", 3, 13)])
      self.assertEqual(tokens[-1].kind, L.EOF)


class CommentTest(unittest.TestCase):
   def test_comments_are_kept_with_placement(self):
      text = ("-- head\n"
              "A ::= INTEGER -- tail -- , B\n"
              "/* block /* nested */ end */\n"
              "--# bigint, uint16\n")
      _, comments = L.tokenize(text, "t.asn")
      self.assertEqual(
         [(c.text, c.directive, c.prev, c.own_line, c.pos.line, c.pos.col)
          for c in comments],
         [("head", False, -1, True, 1, 1),
          ("tail", False, 2, False, 2, 15),
          ("block /* nested */ end", False, 4, True, 3, 1),
          ("bigint, uint16", True, 4, True, 4, 1)])

   def test_comment_ends_at_double_hyphen_and_code_resumes(self):
      self.assertEqual(kinds_and_texts("a -- note -- b"),
                       [(L.IDENT, "a"), (L.IDENT, "b")])

   def test_identifier_stops_before_comment(self):
      self.assertEqual(kinds_and_texts("abc--x"), [(L.IDENT, "abc")])


class LexicalFaultTest(unittest.TestCase):
   def test_faults(self):
      cases = [
         ("A ::= /* open", "t.asn:1:7: unterminated comment"),
         ('x "open', "t.asn:1:3: unterminated string"),
         ("x '0102'B", "t.asn:1:3: invalid character '2' in 'B string"),
         ("x 'AB'", "t.asn:1:3: expected a 'B or 'H string"),
         ("id-x- INTEGER", "t.asn:1:1: identifier 'id-x-' must not end "
          "with a hyphen"),
         ("A ::= #", "t.asn:1:7: unexpected character '#'"),
         ("& x", "t.asn:1:1: expected a field name after '&'"),
      ]
      for text, expected in cases:
         with self.subTest(text=text):
            with self.assertRaises(CompileError) as ctx:
               L.tokenize(text, "t.asn")
            self.assertEqual(str(ctx.exception), expected)


if __name__ == "__main__":
   unittest.main()
