#!/usr/bin/env python3
"""Reads a JSON exchange file written by the store with Python's own json
module (strict UTF-8, no leniency) and checks its layout and values."""
import json
import os
import subprocess
import sys
import tempfile


def check(condition, what):
    if not condition:
        print("FAILED:", what)
        sys.exit(1)


def keys_sorted(pairs):
    keys = [k for k, _ in pairs]
    check(keys == sorted(keys, key=lambda k: k.encode("utf-8")), f"keys in byte order: {keys}")
    return dict(pairs)


def main():
    exporter = sys.argv[1]
    with tempfile.TemporaryDirectory(prefix="tilvo-json-py-") as folder:
        path = os.path.join(folder, "export.json")
        subprocess.run([exporter, path], check=True)
        raw = open(path, "rb").read()

    check(not raw.startswith(b"\xef\xbb\xbf"), "no byte-order mark")
    check(raw.endswith(b"}"), "ends with the closing brace")
    check(raw.count(b"\n") == raw.count(b"\r\n"), "every line ends in CR LF")
    text = raw.decode("utf-8", errors="strict")
    doc = json.loads(text, object_pairs_hook=keys_sorted)

    meta = doc["metadata"]
    check(meta["project_name"] == 'K\u00fcche "S\u00fcd" \\ \u83dc', "project name")
    check(meta["project_description"] == "tab\there\nnew line \u0001 end", "description")
    check(meta["application_version"] == "1.0.0" and meta["schema_version"] == 1, "version fields")
    check(len(meta["export_timestamp"]) == 19 and len(meta["updated_at"]) == 19, "timestamps")
    check("\u00fc" in text and "\\u00fc" not in text, "non-ASCII written as UTF-8, not escaped")

    spaces = doc["spaces"]
    check([s["id"] for s in spaces] == [1, 2], "space ids")
    check(spaces[0]["name"] == "Bed \u00c4", "space name")
    check(spaces[0]["polygon"] == [{"x": -100, "y": -200}, {"x": 300, "y": 0}, {"x": 0, "y": 2147483647}],
          "polygon")
    plant = spaces[0]["plants"][0]
    check(plant["name"] == "Kale \U0001f331", "astral character")
    check(plant["notes"] == "/ slash \x7f del", "solidus and DEL unescaped")
    check(plant["position"] == {"x": -7, "y": 8}, "plant position")
    check(spaces[1]["plants"] == [] and spaces[1]["polygon"] == [] and spaces[1]["name"] == "", "empty space")

    task = doc["tasks"][0]
    check(task["completed"] is True and task["due_date"] == "2026-05-01", "task fields")
    check(task["assigned_spaces"] == [1, 2] and task["assigned_plants"] == [1], "task links")
    print("python json module read the export:", len(raw), "bytes")


if __name__ == "__main__":
    main()
