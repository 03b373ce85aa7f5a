#!/usr/bin/env python3
"""Prints a C++ string literal holding the CP932 bytes of each argument (for texts in the program)."""
import sys

for text in sys.argv[1:]:
    out, prev_escape = [], False
    for b in text.encode("cp932"):
        ch = chr(b)
        if b >= 0x80 or b < 0x20 or ch in '"\\':
            out.append("\\x%02X" % b)
            prev_escape = True
        else:
            if prev_escape and ch in "0123456789abcdefABCDEF":
                out.append('" "')
            out.append(ch)
            prev_escape = False
    print('"%s"  // %s' % ("".join(out), text))
