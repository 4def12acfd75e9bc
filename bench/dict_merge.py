#!/usr/bin/env python3
# A plain dictionary merge of callsign files, as a baseline for timing velkmerge-cli.
import sys


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: dict_merge.py DATABASE INPUT OUTPUT")
    database, new_list, output = sys.argv[1:]
    merged = {}
    # Bytes, not text: the files may be UTF-8 or Windows-1252, and a baseline must not reject either.
    for path in (database, new_list):
        with open(path, "rb") as f:
            for line in f:
                line = line.rstrip(b"\r\n")
                merged.setdefault(line.split(b",", 1)[0], line)
    with open(output, "wb") as f:
        for call in sorted(merged):
            f.write(merged[call] + b"\r\n")


if __name__ == "__main__":
    main()
