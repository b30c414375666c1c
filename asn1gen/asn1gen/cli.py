"""Command line of the compiler: read module files, resolve them, and
report faults as `file:line:column: message` on standard error."""

import argparse
import sys

from .errors import CompileError, ErrorList, Pos
from .lexer import tokenize
from .parser import parse_tokens
from .resolve import Unit, resolve
from .dump import dump
from .emit import generate, write_files


def load(paths):
   """Parse and resolve module files into a Model; raises ErrorList."""
   units = []
   errors = []
   for path in paths:
      try:
         with open(path, encoding="utf-8") as f:
            text = f.read()
      except (OSError, UnicodeDecodeError) as e:
         errors.append(CompileError(Pos(path, 1, 1),
                                    "cannot read file: %s" % _reason(e)))
         continue
      try:
         tokens, comments = tokenize(text, path)
         units.append(Unit(tokens, comments, parse_tokens(tokens)))
      except CompileError as e:
         errors.append(e)
   if errors:
      raise ErrorList(errors)
   return resolve(units)


def _reason(e):
   if isinstance(e, OSError):
      return e.strerror or str(e)
   return "not UTF-8"


def main(argv=None):
   ap = argparse.ArgumentParser(
      prog="asn1gen",
      description="Compile ASN.1 modules (X.680, X.681) for blobxml.")
   ap.add_argument("--dump", action="store_true",
                   help="print the resolved model as text")
   ap.add_argument("--out", metavar="DIR",
                   help="write the C++ units of every module into DIR")
   ap.add_argument("--umbrella", metavar="NAME",
                   help="with --out: also write header NAME that includes "
                   "every generated header")
   ap.add_argument("files", nargs="+", metavar="FILE",
                   help="ASN.1 module files")
   args = ap.parse_args(argv)
   if args.umbrella is not None and args.out is None:
      ap.error("--umbrella needs --out")
   try:
      model = load(args.files)
      files = generate(model, args.files, args.umbrella) if args.out else {}
   except ErrorList as e:
      for err in e.errors:
         print(err, file=sys.stderr)
      return 1
   if args.dump:
      sys.stdout.write(dump(model))
   if args.out:
      try:
         write_files(files, args.out)
      except OSError as e:
         print("asn1gen: cannot write %s: %s" % (e.filename, e.strerror),
               file=sys.stderr)
         return 1
   return 0
