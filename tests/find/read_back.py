#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Reads icatlas-find's exports back with Python's own json and csv modules, for the export tests:
# the text comes on stdin, and what was read comes out one line per record, each field
# hex-encoded and tab-separated, so the C++ side compares bytes without parsing anything itself.
#   read_back.py json          the --json document: per model a line "model", model, family,
#                              button; per slot a line "slot", box, column, row, text
#   read_back.py json-string   one JSON string: a line "string", the string
#   read_back.py csv           RFC 4180 records, CRLF after each: per record a line "record",
#                              fields
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


def read_json(data):
    document = strict_json(data)
    if set(document) != {"models"} or not isinstance(document["models"], list):
        raise Malformed("the document is not one member 'models' holding an array")
    for model in document["models"]:
        if set(model) != {"model", "family", "button", "slots"}:
            raise Malformed(f"model members {sorted(model)}")
        line("model", text(model["model"]), text(model["family"]), text(model["button"]))
        for slot in model["slots"]:
            if set(slot) != {"box", "column", "row", "text"}:
                raise Malformed(f"slot members {sorted(slot)}")
            if type(slot["row"]) is not int:
                raise Malformed(f"row {slot['row']!r} is not an integer")
            line("slot", text(slot["box"]), text(slot["column"]), str(slot["row"]),
                 text(slot["text"]))


def read_csv(data):
    if not data.endswith("\r\n") or "\n" in data.replace("\r\n", ""):
        raise Malformed("a record does not end with CRLF")
    for row in csv.reader(io.StringIO(data, newline=""), strict=True):
        line("record", *(row or [""]))  # an empty line is a record of one empty field


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
        else:
            raise Malformed(f"unknown mode {mode}")
    except (Malformed, ValueError, csv.Error) as error:
        print(f"read_back: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
