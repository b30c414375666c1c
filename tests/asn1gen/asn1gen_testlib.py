"""Shared helpers of the asn1gen tests: running the command line in-process
and comparing with golden files (BLOBXML_REFRESH_GOLDEN=1 rewrites them)."""

import contextlib
import io
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
GENERATOR_DIR = os.path.join(os.path.dirname(os.path.dirname(HERE)), "asn1gen")
GOLDEN_DIR = os.path.join(HERE, "golden")

if GENERATOR_DIR not in sys.path:
   sys.path.insert(0, GENERATOR_DIR)

from asn1gen.cli import main  # noqa: E402


def run(args, cwd):
   """(status, standard output, standard error) of `asn1gen args` in `cwd`."""
   out, err = io.StringIO(), io.StringIO()
   previous = os.getcwd()
   os.chdir(cwd)
   try:
      with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
         try:
            status = main(args)
         except SystemExit as e:
            status = e.code
   finally:
      os.chdir(previous)
   return status, out.getvalue(), err.getvalue()


def check_golden(test, path, actual):
   """`actual` equals the text of the file at `path`, or replaces it when
   BLOBXML_REFRESH_GOLDEN=1 (after a deliberate change; review the diff)."""
   if os.environ.get("BLOBXML_REFRESH_GOLDEN") == "1":
      with open(path, "w", encoding="utf-8") as f:
         f.write(actual)
      return
   with open(path, encoding="utf-8") as f:
      test.assertEqual(actual, f.read(), os.path.basename(path))
