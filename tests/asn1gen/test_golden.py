"""Golden tests: each golden/NN-name.asn compiles, and its dump equals
golden/NN-name.out exactly."""

import os
import unittest

from asn1gen_testlib import GOLDEN_DIR, run_cli


def golden_cases():
   names = sorted(f for f in os.listdir(GOLDEN_DIR) if f.endswith(".asn"))
   return [(n, n[:-len(".asn")] + ".out") for n in names]


class GoldenDumpTest(unittest.TestCase):
   def test_every_source_has_expected_output(self):
      cases = golden_cases()
      self.assertGreaterEqual(len(cases), 9)
      for source, expected in cases:
         self.assertTrue(os.path.exists(os.path.join(GOLDEN_DIR, expected)),
                         expected)

   def test_dumps_match(self):
      for source, expected in golden_cases():
         with self.subTest(source=source):
            result = run_cli(["--dump", source], cwd=GOLDEN_DIR)
            self.assertEqual(result.stderr, "")
            self.assertEqual(result.returncode, 0)
            with open(os.path.join(GOLDEN_DIR, expected),
                      encoding="utf-8") as f:
               self.assertEqual(result.stdout, f.read())

   def test_check_mode_prints_nothing(self):
      result = run_cli(["01-modules.asn", "02-primitives.asn"], cwd=GOLDEN_DIR)
      self.assertEqual((result.returncode, result.stdout, result.stderr),
                       (0, "", ""))


if __name__ == "__main__":
   unittest.main()
