"""The catalogue asn1data/*.asn as the compiler resolves it: its dump equals
catalogue.out (BLOBXML_REFRESH_GOLDEN=1 rewrites it after a deliberate
change), and the properties the converter relies on hold for every module."""

import contextlib
import glob
import io
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "asn1gen"))

from asn1gen_testlib import check_golden, run  # noqa: E402
from asn1gen.cli import load  # noqa: E402
from asn1gen import model as M  # noqa: E402

FILES = sorted(os.path.relpath(p, ROOT)
               for p in glob.glob(os.path.join(ROOT, "asn1data", "*.asn")))


def types_of(td):
   """Every type node of a named type: itself, components, list elements and
   CONTAINING types, recursively."""
   stack = [td.type]
   while stack:
      t = stack.pop()
      yield t
      stack.extend(c.type for c in t.components)
      stack.extend(x for x in (t.element, t.contains) if x is not None)


class CatalogueTest(unittest.TestCase):
   maxDiff = None

   @classmethod
   def setUpClass(cls):
      cls.model = load([os.path.join(ROOT, f) for f in FILES])

   def test_dump(self):
      status, out, err = run(["--dump"] + FILES, ROOT)
      self.assertEqual((status, err), (0, ""))
      check_golden(self, os.path.join(HERE, "catalogue.out"), out)

   def test_each_file_holds_the_module_of_its_unit(self):
      self.assertEqual(len(FILES), 18)
      for m in self.model.modules:
         self.assertEqual(os.path.basename(m.file), m.name.replace("-", "_") + ".asn")
      self.assertEqual(len({m.file for m in self.model.modules}), len(FILES))

   def test_unique_fields_are_unique_in_each_object_set(self):
      sets = [d for m in self.model.modules for d in m.assignments
              if isinstance(d, M.ObjectSetDef)]
      self.assertGreaterEqual(len(sets), 9)
      for s in sets:
         for field in (f.name for f in s.cls.fields if f.unique):
            values = [o.fields[field].text for o in s.objects]
            self.assertEqual(len(values), len(set(values)), (s.name, values))

   def test_every_open_type_of_a_class_field_has_its_set_and_key(self):
      found = 0
      for td in (td for m in self.model.modules for td in m.typedefs):
         for t in types_of(td):
            if t.kind == M.OPEN and t.class_field is not None:
               found += 1
               self.assertIsNotNone(t.table, td.name)
               self.assertIsNotNone(t.table.object_set, td.name)
               self.assertTrue(t.table.key_path, td.name)
      self.assertGreaterEqual(found, 10)


if __name__ == "__main__":
   unittest.main()
