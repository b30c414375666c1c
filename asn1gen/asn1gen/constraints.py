"""Subtype constraints: their parse trees and their evaluation to bounds.

Value and SIZE constraints are reduced to sets of closed integer ranges
(`Bounds`); MIN and MAX stay open (None).  Table and contents constraints
are carried through unchanged for the resolver.
"""

from .errors import CompileError


class Spec:
   """One parenthesised constraint; `root` is an element tree."""

   def __init__(self, root, extensible, pos):
      self.root = root
      self.extensible = extensible
      self.pos = pos


class Union:
   def __init__(self, items, pos):
      self.items = items
      self.pos = pos


class Intersection:
   def __init__(self, items, pos):
      self.items = items
      self.pos = pos


class Size:
   def __init__(self, spec, pos):
      self.spec = spec
      self.pos = pos


class Range:
   """`lo..hi`; an end is a Value, "MIN" or "MAX"."""

   def __init__(self, lo, hi, pos, lo_open=False, hi_open=False):
      self.lo = lo
      self.hi = hi
      self.pos = pos
      self.lo_open = lo_open
      self.hi_open = hi_open


class Single:
   def __init__(self, value, pos):
      self.value = value
      self.pos = pos


class Table:
   def __init__(self, set_ref, at, pos):
      self.set_ref = set_ref
      self.at = at
      self.pos = pos


class Containing:
   def __init__(self, type_, pos):
      self.type = type_
      self.pos = pos


class Bounds:
   """A set of integer ranges; None as an end means MIN or MAX."""

   def __init__(self, ranges, extensible=False):
      self.ranges = _normalise(ranges)
      self.extensible = extensible

   @property
   def lower(self):
      return self.ranges[0][0] if self.ranges else None

   @property
   def upper(self):
      return self.ranges[-1][1] if self.ranges else None

   def text(self):
      parts = []
      for lo, hi in self.ranges:
         if lo is not None and lo == hi:
            parts.append(str(lo))
         else:
            parts.append("%s..%s" % ("MIN" if lo is None else lo,
                                     "MAX" if hi is None else hi))
      text = " | ".join(parts) if parts else "(empty)"
      return text + (", ..." if self.extensible else "")


def _lo_key(lo):
   return float("-inf") if lo is None else lo


def _hi_key(hi):
   return float("inf") if hi is None else hi


def _normalise(ranges):
   """Sort ranges and merge overlapping or adjacent ones."""
   out = []
   for lo, hi in sorted(ranges, key=lambda r: _lo_key(r[0])):
      if out and _hi_key(out[-1][1]) >= _lo_key(lo) - 1:
         if _hi_key(hi) > _hi_key(out[-1][1]):
            out[-1] = (out[-1][0], hi)
      else:
         out.append((lo, hi))
   return out


def _intersect(a, b):
   out = []
   for alo, ahi in a:
      for blo, bhi in b:
         lo = alo if _lo_key(alo) >= _lo_key(blo) else blo
         hi = ahi if _hi_key(ahi) <= _hi_key(bhi) else bhi
         if _lo_key(lo) <= _hi_key(hi):
            out.append((lo, hi))
   return out


class Evaluator:
   """Evaluates the constraints of one type.  `int_of(value)` turns a
   Value of a range end into an int, raising CompileError if it cannot."""

   def __init__(self, int_of):
      self.int_of = int_of

   def evaluate(self, specs):
      """Return (value Bounds, size Bounds, tables, containing) for the
      constraints written on one type; absent aspects are None."""
      values = sizes = None
      values_ext = sizes_ext = False
      tables = []
      containing = []
      for spec in specs:
         root = spec.root
         if isinstance(root, Table):
            tables.append(root)
            continue
         if isinstance(root, Containing):
            containing.append(root)
            continue
         aspect, ranges = self.element(root)
         if aspect == "size":
            sizes = ranges if sizes is None else _intersect(sizes, ranges)
            sizes_ext = sizes_ext or spec.extensible
         else:
            values = ranges if values is None else _intersect(values, ranges)
            values_ext = values_ext or spec.extensible
      return (None if values is None else Bounds(values, values_ext),
              None if sizes is None else Bounds(sizes, sizes_ext),
              tables, containing)

   def element(self, node):
      """Return ("value" | "size", ranges) of a constraint element."""
      if isinstance(node, Size):
         inner = node.spec.root
         if isinstance(inner, (Table, Containing)):
            raise CompileError(node.pos, "invalid SIZE constraint")
         aspect, ranges = self.element(inner)
         if aspect != "value":
            raise CompileError(node.pos, "SIZE constraints cannot be nested")
         for lo, hi in ranges:
            if lo is not None and lo < 0:
               raise CompileError(node.pos,
                                  "SIZE bounds must not be negative")
         return "size", [(0 if lo is None else lo, hi) for lo, hi in ranges]
      if isinstance(node, (Union, Intersection)):
         parts = [self.element(item) for item in node.items]
         aspects = set(a for a, _ in parts)
         if len(aspects) > 1:
            raise CompileError(node.pos,
                               "value and SIZE constraints cannot be mixed")
         ranges = parts[0][1]
         for _, r in parts[1:]:
            ranges = (ranges + r if isinstance(node, Union)
                      else _intersect(ranges, r))
         return parts[0][0], ranges
      if isinstance(node, Single):
         n = self.int_of(node.value)
         return "value", [(n, n)]
      if isinstance(node, Range):
         lo = None if node.lo == "MIN" else self.int_of(node.lo)
         hi = None if node.hi == "MAX" else self.int_of(node.hi)
         if node.lo_open and lo is not None:
            lo += 1
         if node.hi_open and hi is not None:
            hi -= 1
         if lo is not None and hi is not None and lo > hi:
            raise CompileError(node.pos, "empty range %d..%d" % (lo, hi))
         return "value", [(lo, hi)]
      raise CompileError(node.pos, "invalid constraint")
