#!/usr/bin/env python3
"""Every message the add-in can show is explained in the help and listed in the user guide.

    check_messages.py REPOSITORY_ROOT

The messages are read from the code: the texts of engine/messages.h, the fixed parts of the
messages engine/messages.cpp composes (the help writes NAME or N where the code puts a name or
a number), and the texts of every message box the add-in, the runs and the pages show
themselves. The help is read from its sources (help/*.htm, as a reader sees them); the guide's
table is the section "Messages and what to do" of docs/user/guide.md. Fails (exit 1) with one
line per message that is missing.
"""
import html
import pathlib
import re
import sys

# A fixed part shorter than this many words ("members, ", " of ") says nothing on its own.
MIN_WORDS = 3


def plain(markup):
    """The text a reader sees: tags dropped, entities decoded, white space folded."""
    text = re.sub(r"<[^>]+>", " ", markup)
    return " ".join(html.unescape(text).split())


def fold(text):
    return " ".join(text.split())


def literals(code):
    """The u"..." string literals of C++ code, adjacent ones joined, escapes undone."""
    joined = re.sub(r'"\s*\n\s*u"', "", code)
    return [bytes(s, "utf-8").decode("unicode_escape") for s in re.findall(r'u"((?:[^"\\]|\\.)*)"', joined)]


def pieces(code):
    """The fixed parts of a composed message, each cut at its quotes and line breaks, with
    the punctuation that joins it to the parts the code fills in taken off."""
    out = []
    for text in literals(code):
        for part in re.split(r'["\r\n]', text):
            part = fold(part).lstrip(" ,:().").rstrip(" ,:(")
            if len(part.split()) >= MIN_WORDS:
                out.append(part)
    return out


def functions(code):
    """{name: body} of the top-level functions of a C++ source that return a u16string."""
    found = {}
    for m in re.finditer(r"^std::u16string (\w+)\([^)]*\) \{\n(.*?)^\}", code, re.S | re.M):
        found[m.group(1)] = m.group(2)
    return found


def messages(root):
    """(where, text, whole): every message the code shows, whole or by its fixed parts."""
    found = []
    header = (root / "engine" / "messages.h").read_text()
    for m in re.finditer(r"inline constexpr std::u16string_view (\w+) =\s*(.*?);", header, re.S):
        for text in literals(m.group(2)):
            found.append((f"engine::text::{m.group(1)}", fold(text), True))
    composed = functions((root / "engine" / "messages.cpp").read_text())
    # part_name composes a list's name, not a message.
    for name, body in composed.items():
        if name != "part_name":
            found += [(f"engine::text::{name}()", p, False) for p in pieces(body)]
    for folder in ("addin", "engine", "wizard"):
        for source in sorted((root / folder).rglob("*.cpp")):
            code = source.read_text()
            for call in re.finditer(r"MsgBox\((.*?)\);", code, re.S):
                where = f"{source.relative_to(root)}:{code[:call.start()].count(chr(10)) + 1}"
                found += [(where, p, False) for p in pieces(call.group(1))]
    return found


def main(root):
    root = pathlib.Path(root)
    help_text = " ".join(plain(p.read_text(encoding="windows-1252")) for p in sorted((root / "help").glob("*.htm")))
    guide = (root / "docs" / "user" / "guide.md").read_text()
    table = re.search(r"^## Messages and what to do\n(.*?)^## ", guide, re.S | re.M)
    guide_table = fold(table.group(1)) if table else ""
    problems = []
    if not table:
        problems.append("docs/user/guide.md has no section \"Messages and what to do\"")
    shown = messages(root)
    if not shown:
        problems.append("no messages found in the code: the patterns above no longer match it")
    for where, text, whole in shown:
        if text not in help_text:
            problems.append(f"the help does not explain {text!r} ({where})")
        # The guide's table may shorten a long message after its first sentence.
        start = re.match(r".*?[.?:](?= |$)", text).group(0) if whole and re.search(r"[.?:]", text) else text
        if start not in guide_table:
            problems.append(f"the guide's table of messages does not list {start!r} ({where})")
    for p in problems:
        print("check-messages:", p, file=sys.stderr)
    print(f"check-messages: {len(shown)} messages and parts of messages, {len(problems)} missing")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
