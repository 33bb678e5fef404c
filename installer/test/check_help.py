#!/usr/bin/env python3
"""Checks a compiled Quillamor.chm against the help sources and the add-in's own code.

    check_help.py CHM REPOSITORY_ROOT

Lists and unpacks the archive with libchm's tools (enum_chmLib, extract_chmLib), so the check
does not rely on the compiler that made it. Fails (exit 1) with one line per problem.
"""
import html
import pathlib
import re
import subprocess
import sys
import tempfile

# What each wizard page's help topic has to talk about: the page's window title, and for the
# work type page the option that was selected when Help was pressed.
OPTION_TEXT = {"optDist": "Custom Distribution List", "optQuick": "Quick List"}

problems = []


def problem(text):
    problems.append(text)


def plain(markup):
    """The text a reader sees: tags dropped, entities decoded, white space folded."""
    text = re.sub(r"<[^>]+>", " ", markup)
    return " ".join(html.unescape(text).split())


def archive_files(chm):
    out = subprocess.run(["enum_chmLib", str(chm)], check=True, capture_output=True, text=True).stdout
    files = set()
    for line in out.splitlines():
        m = re.match(r"\s*\d+\s+\d+\s+\d+\s+normal file\s+/(.+)$", line)
        if m:
            files.add(m.group(1))
    return files


def sitemap_entries(path):
    """(name, local) pairs of an .hhc or .hhk file; an entry's first Name is its title."""
    text = path.read_text(encoding="latin-1")
    entries = []
    for obj in re.findall(r'<OBJECT type="text/sitemap">(.*?)</OBJECT>', text, re.S | re.I):
        names = re.findall(r'<param name="Name" value="([^"]*)">', obj, re.I)
        local = re.findall(r'<param name="Local" value="([^"]*)">', obj, re.I)
        if not names or not local:
            problem(f"{path.name}: an entry without Name or Local")
            continue
        entries.append((names[0], local[0]))
    return entries


def main(chm, root):
    root = pathlib.Path(root)
    files = archive_files(chm)

    project = (root / "help" / "Quillamor.hhp").read_text()
    listed = re.search(r"\[FILES\]\n(.*?)(?:\n\[|\Z)", project, re.S).group(1).split()
    for name in listed + ["Quillamor.hhc", "Quillamor.hhk"]:
        if name not in files:
            problem(f"{name} is not in the archive")

    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run(["extract_chmLib", str(chm), tmp], check=True, capture_output=True)
        out = pathlib.Path(tmp)

        system = (out / "#SYSTEM").read_bytes()
        for must in (b"index.htm", b"Quillamor Help", b"Quillamor.hhc"):
            if must not in system:
                problem(f"#SYSTEM does not name {must.decode()}")

        pages = {p.name: p.read_text(encoding="windows-1252") for p in out.glob("*.htm")}
        toc = sitemap_entries(out / "Quillamor.hhc")
        in_toc = {local for _, local in toc}
        for title, local in toc + sitemap_entries(out / "Quillamor.hhk"):
            if local not in files:
                problem(f"contents or index entry {title!r} points to missing {local}")
        for name in pages:
            if name not in in_toc:
                problem(f"{name} is not in the table of contents")

        for name, text in pages.items():
            for target in re.findall(r'(?:href|src)="([^"#:]+)(?:#[^"]*)?"', text, re.I):
                if target not in files:
                    problem(f"{name} links to missing {target}")

        # The topics the pages open, read from the pages' own code.
        opened = set()
        options_seen = set()
        for source in sorted((root / "wizard").glob("*_page.cpp")):
            code = source.read_text()
            captions = re.findall(r'u"(Quillamor - [^"]+)"', code)
            # help(viewer, "::/Topic.htm"): the file is named where the add-in finds it, the
            # topic from the archive's root, as the help viewer documents its addresses.
            for root_slash, topic in re.findall(r'help\(u"[^"]*", u"::(/?)([\w.]+)"\)', code):
                if not root_slash:
                    problem(f"{source.name} opens ::{topic}, not ::/{topic} from the help file's root")
                opened.add(topic)
                if topic not in files:
                    problem(f"{source.name} opens {topic}, which is not in the archive")
                    continue
                text = plain(pages[topic])
                for caption in captions:
                    if caption not in text:
                        problem(f"{topic} (opened by {source.name}) does not name its page {caption!r}")
            for option, topic in re.findall(
                    r'control\(u"(opt\w+)"\)\.selected\)\s*help\(u"[^"]*", u"::/?([\w.]+)"', code):
                options_seen.add(option)
                title = re.search(r"<title>(.*?)</title>", pages.get(topic, ""), re.S)
                if not title or OPTION_TEXT.get(option, "?") not in title.group(1):
                    problem(f"{topic} is opened for {option} but its title is not about "
                            f"{OPTION_TEXT.get(option, option)!r}")
        if options_seen != set(OPTION_TEXT):
            problem(f"expected a help topic for each work type option, found one for {sorted(options_seen)}")
        if len(opened) != 5:
            problem(f"expected five topics opened by the wizard, found {sorted(opened)}")
        # That every message is explained is checked on the help's sources with the native
        # tests (tests/help/check_messages.py).

    for p in problems:
        print("check-help:", p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
