#!/usr/bin/env python3
"""Writes a zip that Windows' own compressed folders open, the same to the byte for the same input.

usage: make-zip.py EPOCH ZIP NAME=SOURCE...

Entries go in the order given, deflated, with the time EPOCH (seconds since 1970, UTC), no extra
fields, and the attributes of a plain file. SOURCE is a file copied as it is, "text:FILE" for a
text Notepad on Windows XP reads (UTF-8 with a byte-order mark, CR LF line ends), "manual:FILE"
for a manual as such a text, without the pictures (and the tables that only hold pictures) and
comments that only a web page shows, or "readme:FILE" for the users' part of the README
(everything before "# For developers", but the lines for developers that stand at its top between
DEVELOPERS_NOTE and its end) as such a manual.
"""
import sys
import time
import zipfile

USERS_PART_ENDS = "\n# For developers\n"
DEVELOPERS_NOTE = "<!-- for developers: not in the zip's README.txt -->\n"
DEVELOPERS_NOTE_ENDS = "<!-- end of the note for developers -->\n"


def notepad_text(text):
    lines = text.replace("\r\n", "\n").split("\n")
    return ("\ufeff" + "\r\n".join(lines)).encode("utf-8")


def is_table_row(line):
    return line.lstrip().startswith("|")


def manual_text(text):
    """The text without pictures, the table rows around them, and comments, and never two blank
    lines in a row."""
    kept = []
    for line in text.split("\n"):
        if line.lstrip().startswith("<!--"):
            continue
        if "![" in line:
            # A table of pictures goes whole: its header and separator rows too.
            while kept and is_table_row(kept[-1]) and is_table_row(line):
                kept.pop()
            continue
        if line.strip() or not kept or kept[-1].strip():
            kept.append(line)  # a blank line where a picture or comment stood is not doubled
    return "\n".join(kept).rstrip("\n") + "\n"


def users_readme(text):
    end = text.find(USERS_PART_ENDS)
    if end < 0:
        sys.exit("make-zip: the README has no '# For developers' heading")
    users = text[: end + 1]
    note = users.find(DEVELOPERS_NOTE)
    if note >= 0:
        note_end = users.find(DEVELOPERS_NOTE_ENDS, note)
        if note_end < 0:
            sys.exit("make-zip: the README's note for developers has no end")
        users = users[:note] + users[note_end + len(DEVELOPERS_NOTE_ENDS):]
    return manual_text(users)


def contents(source):
    kind, _, path = source.partition(":")
    if kind == "text":
        return notepad_text(open(path, encoding="utf-8").read())
    if kind == "readme":
        return notepad_text(users_readme(open(path, encoding="utf-8").read()))
    if kind == "manual":
        return notepad_text(manual_text(open(path, encoding="utf-8").read()))
    return open(source, "rb").read()


def main():
    epoch, zip_path, entries = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    date_time = time.gmtime(epoch)[:6]
    with zipfile.ZipFile(zip_path, "w") as archive:
        for entry in entries:
            name, _, source = entry.partition("=")
            info = zipfile.ZipInfo(name, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS attributes, as Windows writes them
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE: a plain file
            archive.writestr(info, contents(source), compresslevel=9)


if __name__ == "__main__":
    main()
