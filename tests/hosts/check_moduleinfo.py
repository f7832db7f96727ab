#!/usr/bin/env python3
"""Checks a bundle's moduleinfo.json as a scanning host reads it: well-formed
JSON, the factory record, and the one class under its identifier's
platform-neutral text (the same on every platform, whatever the byte order).
  check_moduleinfo.py <moduleinfo.json>"""
import json
import sys

CLASS_ID = "F2AEE70D00DE4F4E516C6D625A333138"  # framework words, "Qlmb", "Z318"

with open(sys.argv[1], encoding="utf-8") as f:
    info = json.load(f)

problems = []
def expect(what, actual, wanted):
    if actual != wanted:
        problems.append(f"{what} is {actual!r}, expected {wanted!r}")

expect("Name", info.get("Name"), "ZAVRO")
expect("Version", info.get("Version"), "5.0.0")
factory = info.get("Factory Info", {})
expect("Factory vendor", factory.get("Vendor"), "Quillumbra")
expect("Unicode flag", factory.get("Flags", {}).get("Unicode"), True)
classes = info.get("Classes", [])
expect("class count", len(classes), 1)
if classes:
    c = classes[0]
    expect("CID", c.get("CID"), CLASS_ID)
    expect("Category", c.get("Category"), "Audio Module Class")
    expect("class Name", c.get("Name"), "Z318ME")
    expect("Sub Categories", c.get("Sub Categories"), ["Fx", "EQ"])
    expect("SDKVersion", c.get("SDKVersion"), "VST 3.6.12")
    expect("Class Flags", c.get("Class Flags"), 2)

if problems:
    sys.exit("FAIL: " + "; ".join(problems))
print(f"moduleinfo.json: class {CLASS_ID} as the factory answers")
