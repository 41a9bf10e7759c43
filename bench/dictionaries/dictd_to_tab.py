#!/usr/bin/env python3
"""Writes a dictd dictionary as a tab-separated source, one "headword<TAB>text" line per index line
(the database's own "00-database-" entries left out, line ends as <br>), for the baseline of
bench/dictionaries/run:

    dictd_to_tab.py NAME.index NAME.dict OUT.tab

NAME.dict is the decompressed text (dictunzip -c NAME.dict.dz).
"""
import sys

DIGITS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
VALUE = {c: i for i, c in enumerate(DIGITS)}


def number(digits):
    value = 0
    for c in digits:
        value = value * 64 + VALUE[c]
    return value


def main():
    index_path, dict_path, out_path = sys.argv[1:4]
    with open(dict_path, "rb") as f:
        data = f.read()
    with open(index_path, "rb") as index, open(out_path, "wb") as out:
        for line in index:
            fields = line.rstrip(b"\n").split(b"\t")
            if len(fields) < 3 or fields[0].startswith(b"00-database-") or fields[0].startswith(b"00database"):
                continue
            offset, length = number(fields[1].decode()), number(fields[2].decode())
            text = data[offset : offset + length].replace(b"\t", b" ").replace(b"\r", b"").replace(b"\n", b"<br>")
            out.write(fields[0] + b"\t" + text + b"\r\n")


if __name__ == "__main__":
    main()
