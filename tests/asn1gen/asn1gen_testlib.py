"""Shared helpers of the asn1gen tests: compiling module text held in the
test itself, and running the command line."""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
GENERATOR_DIR = os.path.join(ROOT, "asn1gen")
SCRIPT = os.path.join(GENERATOR_DIR, "asn1gen.py")
GOLDEN_DIR = os.path.join(HERE, "golden")

if GENERATOR_DIR not in sys.path:
   sys.path.insert(0, GENERATOR_DIR)

from asn1gen.cli import load  # noqa: E402
from asn1gen.errors import ErrorList  # noqa: E402


class SourceDir:
   """A temporary directory holding module files given as text."""

   def __init__(self, files):
      self.dir = tempfile.mkdtemp(prefix="asn1gen-test-")
      self.paths = []
      for name, text in files.items():
         path = os.path.join(self.dir, name)
         with open(path, "w", encoding="utf-8") as f:
            f.write(text)
         self.paths.append(path)

   def relative(self, message):
      return message.replace(self.dir + os.sep, "")

   def close(self):
      shutil.rmtree(self.dir)


def _files(sources):
   return {"m.asn": sources} if isinstance(sources, str) else sources


def compile_model(sources):
   """Compile module text (one file "m.asn", or a dict name -> text)."""
   d = SourceDir(_files(sources))
   try:
      return load(d.paths)
   except ErrorList as e:
      raise AssertionError("unexpected errors:\n" + "\n".join(
         d.relative(str(err)) for err in e.errors))
   finally:
      d.close()


def compile_errors(sources):
   """The fault messages of module text, with bare file names."""
   d = SourceDir(_files(sources))
   try:
      load(d.paths)
   except ErrorList as e:
      return [d.relative(str(err)) for err in e.errors]
   finally:
      d.close()
   raise AssertionError("the modules compiled without errors")


def module(body, header="M DEFINITIONS ::="):
   """Wrap assignments into one module."""
   return "%s BEGIN\n%s\nEND\n" % (header, body)


def typedef(model, name):
   return model.names[name]


def run_cli(args, cwd):
   return subprocess.run([sys.executable, SCRIPT] + list(args), cwd=cwd,
                         capture_output=True, text=True)
