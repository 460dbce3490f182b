#!/usr/bin/env python3
"""make_utf16_text.py IN OUT

Writes the UTF-8 text file IN as OUT in the program's own text file format:
UTF-16LE with a byte-order mark and CRLF line ends. The sources are kept in
UTF-8 so that they diff and review like any other text file.
"""

import os
import sys


def convert(source, target):
    with open(source, encoding="utf-8-sig", newline="") as f:
        text = f.read()
    # Normalise every line end (LF, CRLF, lone CR) to CRLF.
    text = text.replace("\r\n", "\n").replace("\r", "\n").replace("\n", "\r\n")
    data = b"\xff\xfe" + text.encode("utf-16-le")
    # Write beside the target and move it over, so a failed run never leaves
    # a half-written file for the build to pick up.
    temporary = target + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, target)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: make_utf16_text.py IN OUT\n")
        return 2
    try:
        convert(argv[1], argv[2])
    except (OSError, UnicodeDecodeError) as error:
        sys.stderr.write("make_utf16_text.py: %s\n" % error)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
