#!/usr/bin/env python3
"""Every claim the user guide makes about what Quillamor does cites a scenario that shows it.

    check_guide_claims.py REPOSITORY_ROOT

Reads the sections of docs/user/guide.md named in SECTIONS (each with its ### subsections).
There every block is a claim: a paragraph (lines up to a blank line), a list item (a line that
begins with "- " or "1. ", with the lines indented under it), and a table row other than a
table's header. A block that is only a picture, a heading or a code block is not.

A claim cites the scenarios that show it in a comment inside the block:

    <!-- shown by: tests/scenarios/guide/NAME.json, tests/scenarios/OTHER.json -->

each a scenario file of tests/scenarios (or a folder under it) with its golden transcript in
the expected/ folder beside it, which the native tests and scripts/outlook-sim-test play. A
block that states nothing a scenario could show says why instead:

    <!-- not behaviour: REASON -->

Fails (exit 1), one line each, for a claim that cites nothing, a cited file that is missing or
has no golden transcript, a section that is missing, and a scenario of tests/scenarios/guide
that the guide cites nowhere.
"""
import pathlib
import re
import sys

GUIDE = pathlib.Path("docs/user/guide.md")
SECTIONS = (
    "A quick list, page by page",
    "A custom list, page by page",
    "Keeping a list up to date",
    "Which contacts and which addresses",
    "Messages and what to do",
)
SHOWN_BY = re.compile(r"<!--\s*shown by:\s*(.*?)\s*-->", re.S)
NOT_BEHAVIOUR = re.compile(r"<!--\s*not behaviour:\s*\S.*?-->", re.S)
ITEM = re.compile(r"^\s*(?:[-*]|\d+\.)\s")
PICTURE = re.compile(r"^\s*!\[[^\]]*\]\([^)]*\)\s*$")
TABLE_SEPARATOR = re.compile(r"^\s*\|[\s:|-]+\|\s*$")


def sections(text):
    """{title: (first line number, lines)} of the ## sections, their ### subsections included."""
    found, title, start, lines = {}, None, 0, []
    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith("## "):
            if title:
                found[title] = (start, lines)
            title, start, lines = line[3:].strip(), number + 1, []
        elif title:
            lines.append(line)
    if title:
        found[title] = (start, lines)
    return found


def blocks(start, lines):
    """(line number, text) of each claim-sized block of a section's lines."""
    out, current, fenced = [], None, False

    def close():
        nonlocal current
        if current:
            out.append(current)
        current = None

    for number, line in enumerate(lines, start):
        if line.startswith("```"):
            close()
            fenced = not fenced
            continue
        if fenced or line.startswith("#"):
            close()
            continue
        if not line.strip():
            close()
        elif line.lstrip().startswith("|"):
            # Each row is a claim; the header row (the one before the separator) is not.
            if TABLE_SEPARATOR.match(line):
                if out and out[-1][0] == number - 1:
                    out.pop()
                current = None
                continue
            close()
            out.append((number, line))
        elif ITEM.match(line) or current is None:
            close()
            current = (number, line)
        else:
            current = (current[0], current[1] + "\n" + line)
    close()
    return [(n, b) for n, b in out if not all(PICTURE.match(l) or not l.strip() for l in b.splitlines())]


def scenario_problems(root, cited):
    path = root / cited
    if not cited.startswith("tests/scenarios/") or path.suffix != ".json":
        return f"{cited} is not a scenario of tests/scenarios"
    if not path.is_file():
        return f"{cited} does not exist"
    if not (path.parent / "expected" / (path.stem + ".jsonl")).is_file():
        return f"{cited} has no golden transcript in {path.parent.relative_to(root)}/expected"
    return None


def main(root):
    root = pathlib.Path(root).resolve()
    text = (root / GUIDE).read_text(encoding="utf-8")
    found = sections(text)
    problems, cited_anywhere, claims = [], set(), 0
    for title in SECTIONS:
        if title not in found:
            problems.append(f"{GUIDE} has no section \"{title}\"")
            continue
        for number, block in blocks(*found[title]):
            claims += 1
            names = [n.strip() for m in SHOWN_BY.findall(block) for n in m.split(",") if n.strip()]
            if not names and not NOT_BEHAVIOUR.search(block):
                first = " ".join(block.split())[:70]
                problems.append(f"{GUIDE}:{number}: a claim that cites no scenario: {first}...")
            for name in names:
                cited_anywhere.add(name)
                problem = scenario_problems(root, name)
                if problem:
                    problems.append(f"{GUIDE}:{number}: {problem}")
    for scenario in sorted((root / "tests" / "scenarios" / "guide").glob("*.json")):
        name = str(scenario.relative_to(root))
        if name not in cited_anywhere:
            problems.append(f"{name} is cited by no claim of {GUIDE}")
    for p in problems:
        print("check-guide-claims:", p, file=sys.stderr)
    print(f"check-guide-claims: {claims} claims, {len(cited_anywhere)} scenarios cited, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
