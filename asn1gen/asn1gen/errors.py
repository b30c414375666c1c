"""Source positions and the error type every stage of the compiler raises."""


class Pos:
   """A place in a module file; line and column count from 1."""

   __slots__ = ("file", "line", "col")

   def __init__(self, file, line, col):
      self.file = file
      self.line = line
      self.col = col

   def __str__(self):
      return "%s:%d:%d" % (self.file, self.line, self.col)


class CompileError(Exception):
   """A fault in a module, reported as `file:line:column: message`."""

   def __init__(self, pos, message):
      super().__init__(message)
      self.pos = pos
      self.message = message

   def __str__(self):
      return "%s: %s" % (self.pos, self.message)


class ErrorList(Exception):
   """Several independent faults found by one stage, in report order."""

   def __init__(self, errors):
      super().__init__("%d errors" % len(errors))
      self.errors = errors
