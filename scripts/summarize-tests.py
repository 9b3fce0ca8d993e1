#!/usr/bin/env python3
"""Sums the GoogleTest XML reports of the given folders into one closing line."""
import glob
import os
import sys
import xml.etree.ElementTree as ET

passed = failed = skipped = 0
for folder in sys.argv[1:]:
    for path in sorted(glob.glob(os.path.join(folder, "*.xml"))):
        try:
            root = ET.parse(path).getroot()
        except ET.ParseError:
            print(f"unreadable report (the program crashed?): {path}")
            failed += 1
            continue
        for case in root.iter("testcase"):
            if case.find("failure") is not None:
                failed += 1
                print(f"FAILED: {os.path.basename(path)} {case.get('classname')}.{case.get('name')}")
            elif case.get("result") == "skipped" or case.find("skipped") is not None:
                skipped += 1
            else:
                passed += 1
if passed + failed == 0:
    print("no test ran")
    sys.exit(1)
print(f"Tests: {passed} passed, {failed} failed, {skipped} skipped")
sys.exit(1 if failed else 0)
