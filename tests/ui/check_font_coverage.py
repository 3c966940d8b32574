#!/usr/bin/env python3
"""Every Chinese character the program can show, in either script, is in the CJK font that "make
run" and the Windows tests give Wine for 宋体 and 新細明體 (WenQuanYi Micro Hei): none draws as a
box there.

usage: check_font_coverage.py FONT

Reads the characters from the sources of the windows' texts, the log's words and the catalogue's
names and sources, and the font's coverage from fc-query.
"""
import glob
import os
import subprocess
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
SOURCES = ["ui/words/texts.h", "ui/ids/identifiers.h", "engine/catalogue/wording.h"] + sorted(
    os.path.relpath(path, ROOT) for path in glob.glob(os.path.join(ROOT, "engine/catalogue/*.cpp")))


def coverage(font):
    charset = subprocess.run(["fc-query", "--index=0", "--format=%{charset}", font],
                             capture_output=True, text=True, check=True).stdout
    covered = set()
    for part in charset.split():
        first, _, last = part.partition("-")
        covered.update(range(int(first, 16), int(last or first, 16) + 1))
    return covered


def chinese_characters(path):
    text = open(os.path.join(ROOT, path), encoding="utf-8").read()
    return {c for c in text if "\u3000" <= c <= "\u9fff" or "\uff00" <= c <= "\uffef"}


def main():
    covered = coverage(sys.argv[1])
    missing = {}
    for path in SOURCES:
        for c in chinese_characters(path):
            if ord(c) not in covered:
                missing.setdefault(c, path)
    for c, path in sorted(missing.items()):
        print("check_font_coverage: %s (U+%04X) from %s is not in %s" % (c, ord(c), path, sys.argv[1]), file=sys.stderr)
    if not chinese_characters("ui/words/texts.h"):
        print("check_font_coverage: found no Chinese text to check", file=sys.stderr)
        sys.exit(1)
    sys.exit(1 if missing else 0)


if __name__ == "__main__":
    main()
