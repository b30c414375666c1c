"""Golden tests: the dump of each golden/<name>.asn equals golden/<name>.out,
and the C++ units emitted for golden/Small.asn equal golden/Small.units."""

import os
import tempfile
import unittest

from asn1gen_testlib import GOLDEN_DIR, HERE, check_golden, run


class GoldenTest(unittest.TestCase):
   maxDiff = None

   def test_dumps(self):
      sources = sorted(f for f in os.listdir(GOLDEN_DIR) if f.endswith(".asn"))
      self.assertEqual(len(sources), 5)
      for source in sources:
         with self.subTest(source):
            status, out, err = run(["--dump", source], GOLDEN_DIR)
            self.assertEqual((status, err), (0, ""))
            check_golden(self, os.path.join(GOLDEN_DIR, source[:-4] + ".out"), out)

   def test_check_mode_prints_nothing(self):
      self.assertEqual(run(["types.asn"], GOLDEN_DIR), (0, "", ""))

   def test_emitted_units_and_umbrella(self):
      # The units are named after the file, without its directory.
      args = ["--out", None, "--umbrella", "all.h", "golden/Small.asn"]
      with tempfile.TemporaryDirectory() as out:
         args[1] = out
         self.assertEqual(run(args, HERE), (0, "", ""))
         units = []
         for name in sorted(os.listdir(out)):
            with open(os.path.join(out, name), encoding="utf-8") as f:
               units.append("//// %s\n%s" % (name, f.read()))
         check_golden(self, os.path.join(GOLDEN_DIR, "Small.units"), "".join(units))
         # A unit whose text did not change keeps its file, so a build
         # does not recompile it.
         header = os.path.join(out, "Small.h")
         os.utime(header, (1000, 1000))
         self.assertEqual(run(args, HERE), (0, "", ""))
         self.assertEqual(os.stat(header).st_mtime, 1000)


if __name__ == "__main__":
   unittest.main()
