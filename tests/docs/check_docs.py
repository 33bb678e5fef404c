#!/usr/bin/env python3
"""Every repository path the docs name exists, and every relative link resolves.

    check_docs.py REPOSITORY_ROOT

Reads README.md, CONTRIBUTING.md and every Markdown file under docs/. A path is a code span, or
a word of a code block, that begins with one of the repository's top-level folders (`engine/members.cpp`,
`scripts/test`); a span with a wildcard must match at least one file, and one with a
placeholder (NAME, ARCH, <...>) or a build folder is passed over. A link is a Markdown link to
anything but a web address: its file must exist, and its #anchor must be a heading there.
Fails (exit 1) with one line per broken path or link.
"""
import pathlib
import re
import sys

# Folders that the build and the tests make: named in the docs, never in the repository.
MADE = re.compile(r"^(build[^/]*|out)(/|$)")
PLACEHOLDER = re.compile(r"[A-Z]{3,}|<|\{|\.\.\.|\$")


def slug(heading):
    """The anchor a heading gets: lower case, punctuation dropped, spaces to hyphens."""
    text = re.sub(r"[`*_]", "", heading.strip().lower())
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors(path):
    text = path.read_text(encoding="utf-8")
    text = re.sub(r"^```.*?^```", "", text, flags=re.S | re.M)
    return {slug(h) for h in re.findall(r"^#{1,6} (.+)$", text, re.M)}


def documents(root):
    yield from (root / name for name in ("README.md", "CONTRIBUTING.md") if (root / name).exists())
    yield from sorted((root / "docs").rglob("*.md"))


def main(root):
    root = pathlib.Path(root).resolve()
    folders = {p.name for p in root.iterdir() if p.is_dir() and not p.name.startswith(".")}
    problems = []
    for doc in documents(root):
        text = doc.read_text(encoding="utf-8")
        where = doc.relative_to(root)
        # Code spans, and the words of code blocks (the commands they show).
        blocks = " ".join(re.findall(r"^```[^\n]*\n(.*?)^```", text, re.S | re.M))
        for span in set(re.findall(r"`([^`\n]+)`", text)) | set(blocks.split()):
            path = span.split()[0].rstrip(".,:;)")
            top = path.split("/")[0]
            if "/" not in path or top not in folders or MADE.match(path) or PLACEHOLDER.search(path):
                continue
            if any(ch in path for ch in "*?["):
                if not any(root.glob(path)):
                    problems.append(f"{where}: `{span}` matches no file")
            elif not (root / path).exists():
                problems.append(f"{where}: `{span}` does not exist")
        prose = re.sub(r"^```.*?^```", "", text, flags=re.S | re.M)
        for target in set(re.findall(r"\]\(([^)\s]+)\)", prose)):
            if re.match(r"^[a-z]+:", target):
                continue
            file, _, anchor = target.partition("#")
            path = (doc.parent / file).resolve() if file else doc
            if not path.exists():
                problems.append(f"{where}: the link {target} points to no file")
            elif anchor and path.suffix == ".md" and anchor not in anchors(path):
                problems.append(f"{where}: the link {target} points to no heading of {path.relative_to(root)}")
    for p in problems:
        print("check-docs:", p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
