#!/usr/bin/env python3
"""Every sentence a user or an administrator reads about what Quillamor does cites the test
that shows it.

    check_guide_claims.py REPOSITORY_ROOT

Reads the whole user guide (docs/user/guide.md), the sections of the administrator's guide
that state what the setup does (ADMIN_SECTIONS), and the help topics (help/*.htm). In the
markdown every block is a claim: a paragraph (lines up to a blank line), a list item (a line
that begins with "- " or "1. ", with the lines indented under it), and a table row other than
a table's header. A block that is only a picture, a heading or a code block is not. In a help
topic each paragraph, list item and table row (but a header row) is a claim.

A claim cites what shows it in a comment inside the block:

    <!-- shown by: tests/scenarios/guide/NAME.json, tests/wizard/actions_test.cpp -->
    <!-- shown by the setup test: "CASE", "OTHER CASE" -->

a scenario of tests/scenarios (or a folder under it) with its golden transcript in the
expected/ folder beside it, which the native tests and scripts/outlook-sim-test play; or
another test's file (under tests/, installer/test/ or scripts/); or the setup test's cases
(installer/test/installer_test.py) by the words that name them there. A block that states
nothing a test could show (advice, or a fact about another product) says why instead:

    <!-- not behaviour: REASON -->

Fails (exit 1), one line each, for a claim that cites nothing, a cited file that is missing or
has no golden transcript, a setup case the setup test does not have, a section that is
missing, and a scenario of tests/scenarios/guide that nothing cites.
"""
import pathlib
import re
import sys

GUIDE = pathlib.Path("docs/user/guide.md")
ADMIN_GUIDE = pathlib.Path("docs/admin-guide.md")
ADMIN_SECTIONS = ("Exit codes", "Switches and properties", "Logs", "While Outlook runs", "Removing")
HELP = pathlib.Path("help")
SETUP_TEST = pathlib.Path("installer/test/installer_test.py")
TEST_FOLDERS = ("tests/", "installer/test/", "scripts/")
SHOWN_BY = re.compile(r"<!--\s*shown by:\s*(.*?)\s*-->", re.S)
SETUP_CASES = re.compile(r"<!--\s*shown by the setup test:\s*(.*?)\s*-->", re.S)
HELP_BLOCK = re.compile(r"<(p|li|tr)\b[^>]*>(.*?)</\1>", re.S)
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
    # A one-line paragraph that ends with a colon only leads into the list or table after it.
    return [(n, b) for n, b in out
            if not all(PICTURE.match(l) or not l.strip() for l in b.splitlines())
            and not ("\n" not in b and b.rstrip().endswith(":") and not ITEM.match(b) and not b.lstrip().startswith("|"))]


def help_blocks(text):
    """(line number, text) of each paragraph, list item and table row of a help topic but the
    header rows; a list item's own paragraphs and lists are its parts, not claims of their own."""
    out = []
    for m in HELP_BLOCK.finditer(text):
        if m.group(1) == "tr" and "<th" in m.group(2):
            continue
        # A picture's paragraph, the links to other topics and a lead-in to a list say nothing.
        said = " ".join(re.sub(r"<!--.*?-->|<[^>]+>", " ", m.group(2), flags=re.S).split())
        if not said or said.endswith(":") or 'class="seealso"' in m.group(0).split(">", 1)[0]:
            continue
        out.append((text.count("\n", 0, m.start()) + 1, m.group(2)))
    return out


def cited_problems(root, cited):
    path = root / cited
    if cited.startswith("tests/scenarios/") and path.suffix == ".json":
        if not path.is_file():
            return f"{cited} does not exist"
        if not (path.parent / "expected" / (path.stem + ".jsonl")).is_file():
            return f"{cited} has no golden transcript in {path.parent.relative_to(root)}/expected"
        return None
    if not cited.startswith(TEST_FOLDERS):
        return f"{cited} is not a test"
    if not path.is_file():
        return f"{cited} does not exist"
    return None


def setup_case_problems(root, cases):
    text = (root / SETUP_TEST).read_text(encoding="utf-8")
    named = re.findall(r'"([^"]+)"', cases)
    if not named:
        return ["a setup test citation names no case"]
    return [f"the setup test has no case \"{n}\"" for n in named if n not in text]


def check_blocks(root, where, blocks, cited_anywhere):
    problems = []
    for number, block in blocks:
        names = [n.strip() for m in SHOWN_BY.findall(block) for n in m.split(",") if n.strip()]
        cases = SETUP_CASES.findall(block)
        if not names and not cases and not NOT_BEHAVIOUR.search(block):
            first = " ".join(re.sub(r"<[^>]+>", " ", block).split())[:70]
            problems.append(f"{where}:{number}: a claim that cites nothing: {first}...")
        for name in names:
            cited_anywhere.add(name)
            problem = cited_problems(root, name)
            if problem:
                problems.append(f"{where}:{number}: {problem}")
        for c in cases:
            problems += [f"{where}:{number}: {p}" for p in setup_case_problems(root, c)]
    return problems


def main(root):
    root = pathlib.Path(root).resolve()
    problems, cited_anywhere, claims = [], set(), 0
    guide = sections((root / GUIDE).read_text(encoding="utf-8"))
    admin = sections((root / ADMIN_GUIDE).read_text(encoding="utf-8"))
    documents = [(GUIDE, guide, guide.keys()), (ADMIN_GUIDE, admin, ADMIN_SECTIONS)]
    for path, found, titles in documents:
        for title in titles:
            if title not in found:
                problems.append(f"{path} has no section \"{title}\"")
                continue
            claims_here = blocks(*found[title])
            claims += len(claims_here)
            problems += check_blocks(root, path, claims_here, cited_anywhere)
    for topic in sorted((root / HELP).glob("*.htm")):
        claims_here = help_blocks(topic.read_text(encoding="utf-8"))
        claims += len(claims_here)
        problems += check_blocks(root, topic.relative_to(root), claims_here, cited_anywhere)
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
