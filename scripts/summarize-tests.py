#!/usr/bin/env python3
"""Sums the test reports of the given folders (the Windows build's, then the
native store build's) into one closing line that says what it counts."""
import glob
import os
import sys
import xml.etree.ElementTree as ET

passed = failed = skipped = 0
parts = []
for folder in sys.argv[1:]:
    cases = checks = 0
    for path in sorted(glob.glob(os.path.join(folder, "*.xml"))):
        try:
            root = ET.parse(path).getroot()
        except ET.ParseError:
            print(f"unreadable report (the program crashed?): {path}")
            failed += 1
            continue
        for case in root.iter("testcase"):
            # The screenshot test reports each pixel check as a case of its own.
            if case.get("classname") == "AppScreenshot":
                checks += 1
            else:
                cases += 1
            if case.find("failure") is not None:
                failed += 1
                print(f"FAILED: {os.path.basename(path)} {case.get('classname')}.{case.get('name')}")
            elif case.get("result") == "skipped" or case.find("skipped") is not None:
                skipped += 1
            else:
                passed += 1
    part = f"{cases} GoogleTest cases"
    if checks:
        part += f" and {checks} screenshot pixel checks"
    parts.append(f"{part} from build/{os.path.basename(os.path.dirname(os.path.abspath(folder)))}")
if passed + failed == 0:
    print("no test ran")
    sys.exit(1)
print("Counted: " + "; ".join(parts) + " (the store's cases run in both builds and count in each; "
      "the fuzz, end-to-end and JSON-reader entries have no cases and are counted by ctest above)")
print(f"Tests: {passed} passed, {failed} failed, {skipped} skipped")
sys.exit(1 if failed else 0)
