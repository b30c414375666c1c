"""The whole catalogue asn1data/*.asn as the compiler resolves it, loaded
once and shared by every catalogue test."""

import glob
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
GENERATOR_DIR = os.path.join(ROOT, "asn1gen")
if GENERATOR_DIR not in sys.path:
   sys.path.insert(0, GENERATOR_DIR)

from asn1gen.cli import load  # noqa: E402
from asn1gen.errors import ErrorList  # noqa: E402

_model = None


def model():
   """The resolved model of all modules; a fault fails the calling test."""
   global _model
   if _model is None:
      paths = sorted(glob.glob(os.path.join(ROOT, "asn1data", "*.asn")))
      try:
         _model = load(paths)
      except ErrorList as e:
         raise AssertionError("the catalogue does not compile:\n"
                              + "\n".join(str(err) for err in e.errors))
   return _model


def module(name):
   return next(m for m in model().modules if m.name == name)
