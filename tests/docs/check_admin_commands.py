#!/usr/bin/env python3
"""Every command line the administrator's guide gives can be copied and run as it stands.

    check_admin_commands.py REPOSITORY_ROOT

Reads docs/admin-guide.md: every line of its code blocks, and every inline code span that
begins with one of the commands below and gives more than its action. A line is a comment (`rem ...`) or one command alone:
msiexec with one action and switches Windows Installer has, the package or a product code,
and PROPERTY=VALUE pairs; the setup or the uninstaller with the switches they know. Anything
else on the line (a trailing remark, a misspelt switch) fails: Windows' msiexec answers an
argument it does not know with its usage box instead of installing, where Wine's goes on.

Fails (exit 1), one line each, naming the guide's line.
"""
import pathlib
import re
import sys

GUIDE = pathlib.Path("docs/admin-guide.md")
# Placeholders the guide writes for what differs between deployments.
PRODUCT_CODE = re.compile(r"^(\{product code\}|\{[0-9A-Fa-f]{8}(-[0-9A-Fa-f]{4}){3}-[0-9A-Fa-f]{12}\})$")
PACKAGE = re.compile(r'^"?[^"]*\.msi"?$|^\.\.\.$', re.I)
PROPERTY = re.compile(r'^[A-Z][A-Z0-9_]*=("[^"]*"|[^"\s]*)$')
# msiexec's actions and options ("Standard Installer Command-Line Options", "Command-Line
# Options"): an action takes the package or product code; /l and /log take a file.
MSI_ACTIONS = re.compile(r"^/(i|x|a|j[um]?|p|f[pecmsouavd]+|package|uninstall|update)$", re.I)
MSI_OPTIONS = re.compile(r"^/(q[nbrf]?[+-]?|quiet|passive|norestart|forcerestart|promptrestart)$", re.I)
MSI_LOG = re.compile(r"^/(l[iwearucmopvx*+!]*|log)$", re.I)
SETUP_SWITCHES = re.compile(r"^/(S|REQUIREREDEMPTION|LOG=.+)$")
UNINSTALL_SWITCHES = re.compile(r"^/(S|LOG=.+)$")
INLINE = re.compile(r"`((?:msiexec|QuillamorSetup\.exe|\"[^\"`]*Uninstall\.exe\")\s[^`]*)`", re.I)


def words(line):
    """The line's arguments as Windows splits them: at blanks outside double quotes."""
    line = line.replace("{product code}", "{product_code}")
    out = [w.replace("{product_code}", "{product code}") for w in re.findall(r'(?:[^\s"]|"[^"]*")+', line)]
    return out


def msiexec_problem(args):
    actions, i = 0, 0
    while i < len(args):
        a = args[i]
        if MSI_ACTIONS.match(a):
            actions += 1
            if i + 1 >= len(args) or not (PACKAGE.match(args[i + 1]) or PRODUCT_CODE.match(args[i + 1])):
                return f"{a} is not followed by a package or a product code"
            i += 2
        elif MSI_LOG.match(a):
            if i + 1 >= len(args) or args[i + 1].startswith("/"):
                return f"{a} is not followed by a file"
            i += 2
        elif MSI_OPTIONS.match(a) or PROPERTY.match(a):
            i += 1
        else:
            return f"msiexec does not take \"{a}\""
    if actions != 1:
        return f"msiexec needs exactly one action, not {actions}"
    return None


def switches_problem(program, args, allowed):
    for a in args:
        if not allowed.match(a):
            return f"{program} does not take \"{a}\""
    return None


def problem(line):
    args = words(line.strip())
    if not args:
        return None
    command = args[0].strip('"')
    if command.lower() == "rem":
        return None
    if command.lower() == "msiexec":
        return msiexec_problem(args[1:])
    if command.lower() == "quillamorsetup.exe":
        return switches_problem("the setup", args[1:], SETUP_SWITCHES)
    if command.lower().endswith("uninstall.exe"):
        return switches_problem("the uninstaller", args[1:], UNINSTALL_SWITCHES)
    return f"\"{args[0]}\" is not a command this guide gives"


def command_lines(text):
    """(line number, command line) of the code blocks' lines and of the inline commands."""
    fenced = False
    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith("```"):
            fenced = not fenced
            continue
        if fenced:
            if line.strip():
                yield number, line
        else:
            # A span that only names a command and its action (`msiexec /x`) is prose.
            for m in INLINE.finditer(line):
                if len(words(m.group(1))) > 2:
                    yield number, m.group(1)


def main(root):
    root = pathlib.Path(root).resolve()
    problems, count = [], 0
    for number, line in command_lines((root / GUIDE).read_text(encoding="utf-8")):
        count += 1
        p = problem(line)
        if p:
            problems.append(f"{GUIDE}:{number}: {p}: {line.strip()}")
    for p in problems:
        print("check-admin-commands:", p, file=sys.stderr)
    print(f"check-admin-commands: {count} command lines, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
