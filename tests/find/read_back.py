#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Reads icatlas-find's exports back with Python's own json and csv modules, for the export tests:
# the text comes on stdin, and what was read comes out one line per record, each field
# hex-encoded and tab-separated, so the C++ side compares bytes without parsing anything itself.
#   read_back.py json          a --json document: per record a line "record", then its members'
#                              values in the stated column order
#   read_back.py json-string   one JSON string: a line "string", the string
#   read_back.py csv           RFC 4180 records, CRLF after each: per record a line "record",
#                              fields
#   read_back.py tsv           tab-separated lines, LF after each, no quoting: per line a line
#                              "record", fields
# Anything malformed, or of the wrong type, ends with status 1 and the reason on stderr.
import csv
import io
import json
import sys


class Malformed(Exception):
    pass


def unique_members(pairs):
    names = [name for name, _ in pairs]
    if len(names) != len(set(names)):
        raise Malformed(f"a member named twice among {names}")
    return dict(pairs)


def refuse_constant(name):
    raise Malformed(f"{name} is not JSON")


def strict_json(text):
    return json.loads(text, object_pairs_hook=unique_members, parse_constant=refuse_constant)


def text(value):
    if not isinstance(value, str):
        raise Malformed(f"{value!r} is not a string")
    return value


def line(*fields):
    print("\t".join(field.encode("utf-8").hex() for field in fields))


COLUMNS = ["part", "model", "family", "box", "text", "box_id", "button_id"]


def read_json(data):
    document = strict_json(data)
    if list(document) != ["records"] or not isinstance(document["records"], list):
        raise Malformed("the document is not one member 'records' holding an array")
    for record in document["records"]:
        if not isinstance(record, dict) or list(record) != COLUMNS:
            raise Malformed(f"record members {record!r}, not {COLUMNS}")
        line("record", *(text(record[column]) for column in COLUMNS))


def read_csv(data):
    if not data.endswith("\r\n") or "\n" in data.replace("\r\n", ""):
        raise Malformed("a record does not end with CRLF")
    for row in csv.reader(io.StringIO(data, newline=""), strict=True):
        line("record", *(row or [""]))  # an empty line is a record of one empty field


def read_tsv(data):
    if not data.endswith("\n") or "\r" in data:
        raise Malformed("a line does not end with LF alone")
    for record in data[:-1].split("\n"):
        line("record", *record.split("\t"))


def main():
    data = sys.stdin.buffer.read().decode("utf-8")
    try:
        mode = sys.argv[1]
        if mode == "json":
            read_json(data)
        elif mode == "json-string":
            line("string", text(strict_json(data)))
        elif mode == "csv":
            read_csv(data)
        elif mode == "tsv":
            read_tsv(data)
        else:
            raise Malformed(f"unknown mode {mode}")
    except (Malformed, ValueError, csv.Error) as error:
        print(f"read_back: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
