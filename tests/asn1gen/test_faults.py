"""Faults of the compiler: every case of golden/faults.txt (its header says
how to write one) gives exactly its messages on standard error, status 1."""

import os
import tempfile
import unittest

from asn1gen_testlib import GOLDEN_DIR, run


def fault_cases():
   """(what, {file name: text}, arguments or None, expected error lines)."""
   with open(os.path.join(GOLDEN_DIR, "faults.txt"), encoding="utf-8") as f:
      blocks = f.read().split("\n== ")[1:]
   for block in blocks:
      what, *lines = block.split("\n")
      files, args, expected, name = {}, None, [], None
      for line in lines:
         if line.startswith(">> "):
            name = line[3:]
            files[name] = []
         elif line.startswith("$ "):
            args = line[2:].split()
         elif line.startswith("=> "):
            expected.append(line[3:])
         else:
            files.setdefault(name, []).append(line)
      texts = {}
      for n, body in files.items():
         text = "\n".join(body).rstrip("\n") + "\n"
         if n is None and text.strip():
            texts["m.asn"] = "M DEFINITIONS ::= BEGIN\n%sEND\n" % text
         elif n is not None:
            texts[n] = text
      yield what, texts, args, expected


class FaultTest(unittest.TestCase):
   def test_faults(self):
      count = 0
      for what, files, args, expected in fault_cases():
         count += 1
         with self.subTest(what), tempfile.TemporaryDirectory() as d:
            for name, text in files.items():
               with open(os.path.join(d, name), "w", encoding="utf-8") as f:
                  f.write(text)
            status, out, err = run(args or ["--dump"] + list(files), d)
            self.assertEqual((status, out, err.splitlines()), (1, "", expected))
      self.assertGreaterEqual(count, 120)

   def test_usage_faults(self):
      for args, message in (([], "the following arguments are required: FILE"),
                            (["--umbrella", "all.h", "Small.asn"],
                             "--umbrella needs --out")):
         with self.subTest(message):
            status, out, err = run(args, GOLDEN_DIR)
            self.assertEqual((status, out), (2, ""))
            self.assertIn("asn1gen: error: " + message, err)


if __name__ == "__main__":
   unittest.main()
