#!/usr/bin/env python3
"""Entry point of the ASN.1 compiler:
`asn1gen.py [--dump] [--out DIR [--umbrella NAME]] FILE...`."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from asn1gen.cli import main  # noqa: E402

if __name__ == "__main__":
   sys.exit(main())
