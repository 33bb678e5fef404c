#!/usr/bin/env python3
"""Every member the add-in calls by name has a row in docs/dev/host-behaviour.md.

Usage: check_host_catalogue.py SOURCE_ROOT

The test hosts play what that page says Outlook does, so a member called without a row is a
behaviour nobody has checked against Microsoft's pages. A row may name a run of numbered
members as `Email1Address`..`Email3Address`.
"""
import pathlib
import re
import sys

CODE = ("host/*.h", "host/*.cpp", "host/com/*.cpp", "addin/*.cpp", "engine/*.cpp", "wizard/*.cpp")
# The ways the add-in names a member of a host object: a property read or write, a method, an
# event, a field of the safe-items wrapper.
CALL = re.compile(r'\b(?:get|call|put|subscribe|Field)\(u"([A-Za-z][A-Za-z0-9_]*)"')
RUN = re.compile(r"`([A-Za-z]*?)(\d)([A-Za-z]*)`\.\.`\1(\d)\3`")


def called(root):
    names = {}
    for pattern in CODE:
        for path in sorted(root.glob(pattern)):
            for name in CALL.findall(path.read_text(encoding="utf-8")):
                names.setdefault(name, path.relative_to(root))
    return names


def catalogued(text):
    words = set(re.findall(r"[A-Za-z][A-Za-z0-9_]*", text))
    for stem, first, rest, last in RUN.findall(text):
        words.update(f"{stem}{n}{rest}" for n in range(int(first), int(last) + 1))
    return words


def main(root):
    root = pathlib.Path(root).resolve()
    words = catalogued((root / "docs/dev/host-behaviour.md").read_text(encoding="utf-8"))
    missing = {n: where for n, where in called(root).items() if n not in words}
    for name, where in sorted(missing.items()):
        print(f"check-host-catalogue: {name} (called in {where}) has no row in docs/dev/host-behaviour.md",
              file=sys.stderr)
    return 1 if missing else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
