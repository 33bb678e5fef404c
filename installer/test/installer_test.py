#!/usr/bin/env python3
"""Installs and removes Quillamor under Wine and checks every file and registry key.

    installer_test.py --work DIR --setup EXE --failing-setup EXE --dll32 DLL --dll64 DLL
                      --picture GIF --page-pictures DIR --chm CHM
                      [--outlook-sim32 EXE --outlook-sim64 EXE --scenario JSON --expected JSONL]
                      [ARCH...]

--setup is the setup under test; --failing-setup is the same setup built around DLLs (32-bit
and 64-bit) that refuse to register. The DLLs, the button picture, the folder of the wizard's
pictures and the help file are what the setup carries, to compare the installed files with.
ARCH is win32 and/or win64 (both by default).

With --outlook-sim32 and --outlook-sim64 (the mail host stand-in of each bitness), --scenario
and --expected (its transcript), some cases also play the scenario with the installed add-in
between installing and uninstalling.

Each prefix is made afresh under WORKDIR. For every case the whole registry (the prefix's
system.reg and user.reg) and the file tree of drive C are read before the setup runs, after it
and after the uninstaller; after the uninstaller they must be as before, except for what
Wine changes on its own (measured on the fresh prefix by two restarts with nothing installed).
"""
import argparse
import json
import math
import os
import pathlib
import re
import shutil
import subprocess
import sys
import time
from typing import NamedTuple, Optional

WINE64 = "/usr/lib/wine/wine64"
INSTALL_DIR_WIN = r"C:\Program Files\Orvane Corporation\Quillamor"
INSTALL_DIR_REL = "Program Files/Orvane Corporation/Quillamor"
PROGID = "Quillamor.Connect"
ADDIN_KEY = r"HKCU\Software\Microsoft\Office\Outlook\Addins\Quillamor.Connect"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillamor"
PENDING_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
PAGE_PICTURES = ("startup.gif", "wizard.ico", "progress.ico")
INSTALLED_FILES = {"Quillamor.dll", "contactsicon.gif", "Quillamor.chm", "Uninstall.exe",
                   *PAGE_PICTURES}

failures = []


def fail(case, text):
    failures.append(f"{case}: {text}")
    print(f"  FAIL {text}", flush=True)


# --- Reading a prefix ------------------------------------------------------------------------

def unescape_reg(text):
    return re.sub(r"\\(.)", lambda m: m.group(1), text)


def read_hive(path, root):
    """{key: {value name: raw value}} of a Wine .reg file, every key's ancestors included."""
    keys = {}
    current = None
    pending = ""
    for line in path.read_text(encoding="utf-8", errors="replace").splitlines():
        if pending:
            line, pending = pending + line.strip(), ""
        if line.endswith("\\") and current is not None and not line.startswith("["):
            pending = line[:-1]
            continue
        m = re.match(r"^\[(.*)\](?: \d+)?$", line)
        if m:
            current = root + "\\" + unescape_reg(m.group(1))
            parts = current.split("\\")
            for i in range(2, len(parts)):
                keys.setdefault("\\".join(parts[:i]), {})
            keys.setdefault(current, {})
            continue
        if current is None or not line or line.startswith("#"):
            continue
        m = re.match(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', line)
        if m:
            name = "@" if m.group(1) == "@" else unescape_reg(m.group(1)[1:-1])
            keys[current][name] = m.group(2)
    return keys


def string_value(raw):
    if raw is None or not raw.startswith('"'):
        return None
    return unescape_reg(raw[1:-1])


class State:
    def __init__(self, registry, files):
        self.registry = registry
        self.files = files

    def value(self, key, name):
        return self.registry.get(key, {}).get(name)


def differences(before, after, noise_keys=frozenset(), noise_files=frozenset()):
    """Lines describing what differs between two states, Wine's own changes left out."""
    out = []
    for key in sorted(set(before.registry) | set(after.registry)):
        if key in noise_keys:
            continue
        old, new = before.registry.get(key), after.registry.get(key)
        if old is None:
            out.append(f"key added: {key}")
        elif new is None:
            out.append(f"key removed: {key}")
        elif old != new:
            for name in sorted(set(old) | set(new)):
                if old.get(name) != new.get(name):
                    out.append(f"value changed: {key} [{name}] {old.get(name)} -> {new.get(name)}")
    for f in sorted(before.files ^ after.files):
        if f not in noise_files:
            out.append(("file added: " if f in after.files else "file removed: ") + f)
    return out


# --- Driving Wine ----------------------------------------------------------------------------

class Prefix:
    def __init__(self, workdir, arch):
        self.arch = arch
        self.path = workdir / arch
        self.env = dict(os.environ, WINEPREFIX=str(self.path), WINEDEBUG="-all", WINEARCH=arch)
        self.env.pop("DISPLAY", None)

    def wine(self, *args, loader="wine"):
        return subprocess.run([loader, *args], env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, errors="replace")

    def settle(self):
        subprocess.run(["wineserver", "-w"], env=self.env, check=True)

    def create(self):
        shutil.rmtree(self.path, ignore_errors=True)
        self.wine("wineboot", "-i")
        # No display here: Wine's own desktop process needs the null display driver to start.
        # The caption text is white, as in Windows' standard scheme (a fresh prefix has
        # black): the add-in masks its button faces with that colour.
        self.import_reg([r"[HKEY_CURRENT_USER\Software\Wine\Drivers]", '"Graphics"="null"',
                         r"[HKEY_CURRENT_USER\Control Panel\Colors]", '"TitleText"="255 255 255"'])
        self.settle()
        # Wine registers the system's automation type library (stdole2) anew, with other
        # proxy entries, the first time a program of a bitness uses a picture or font object
        # through automation, as the add-in does with its button picture. Let that happen now,
        # so that it counts as the fresh prefix's state rather than as a trace of the add-in.
        script = self.path.parent / "use-font-object.vbs"
        script.write_text('Set font = CreateObject("StdFont")\r\nfont.Size = 10\r\n', encoding="ascii")
        for loader in ("wine", WINE64) if self.arch == "win64" else ("wine",):
            r = self.wine("cscript", "//nologo", winpath(script), loader=loader)
            if r.returncode != 0:
                raise RuntimeError(f"cscript {script}: {r.stdout.strip()}")
        self.settle()

    def restart(self):
        self.wine("wineboot", "-r")
        self.settle()

    def import_reg(self, lines):
        """Imports registry lines in regedit's format in one start of Wine. On 64-bit Windows
        the 64-bit regedit is used, so that Wow6432Node names the 32-bit view literally."""
        path = self.path.parent / f"{self.arch}-setup.reg"
        path.write_text("REGEDIT4\r\n\r\n" + "\r\n".join(lines) + "\r\n", encoding="ascii")
        r = self.wine("regedit", "/S", str(path), loader=WINE64 if self.arch == "win64" else "wine")
        if r.returncode != 0:
            raise RuntimeError(f"regedit {path}: {r.stdout.strip()}")

    def state(self):
        self.settle()
        registry = read_hive(self.path / "system.reg", "HKLM")
        registry.update(read_hive(self.path / "user.reg", "HKCU"))
        drive = self.path / "drive_c"
        files = set()
        for dirpath, dirnames, filenames in os.walk(drive):
            rel = pathlib.Path(dirpath).relative_to(drive).as_posix()
            for name in dirnames + filenames:
                path = name if rel == "." else f"{rel}/{name}"
                if not is_temp(path):
                    files.add(path)
        return State(registry, files)

    def classes_key(self, bits):
        """Where a DLL of that bitness is registered, as seen in system.reg."""
        if self.arch == "win64" and bits == 32:
            return r"HKLM\Software\Classes\Wow6432Node\CLSID"
        return r"HKLM\Software\Classes\CLSID"


def is_temp(path):
    return re.search(r"(^|/)(users/[^/]+/Temp|windows/temp)(/|$)", path, re.I) is not None


def pending_deletes_only_temp(state):
    """True when the only files set to go at the next restart are in the temporary folder:
    the uninstaller's copy of itself, which cannot delete itself while it runs."""
    raw = state.value(PENDING_KEY, "PendingFileRenameOperations")
    if raw is None:
        return True
    # The raw text keeps the .reg escapes: each entry is \\??\\PATH followed by \0.
    paths = re.findall(r"\\\\\?\?\\\\(.*?)\\0", raw)
    return bool(paths) and all(re.search(r"\\\\Temp\\\\~nsu", p, re.I) for p in paths)


# --- The installed add-in in the mail host stand-in ----------------------------------------

def winpath(path):
    return "Z:" + str(path).replace("/", "\\")


def drive_c_file(prefix, windows_path):
    """The file of the prefix that a C: path names, matched without regard to case as
    Windows does; None when there is none."""
    m = re.match(r"^c:\\(.*)$", windows_path.strip(), re.I)
    if not m:
        return None
    here = prefix.path / "drive_c"
    for part in m.group(1).split("\\"):
        found = [p for p in here.iterdir() if p.name.lower() == part.lower()] if here.is_dir() else []
        if not found:
            return None
        here = found[0]
    return here


class ScenarioPlayer:
    """Runs outlook-sim.exe, the mail host stand-in, in the prefix on a scenario. Nothing of
    Quillamor's is set up for it but what the setup did: it finds the add-in through the add-in key, creates
    it through the COM registration (of the registry view of its own bitness) and so runs the
    installed DLL, which reads the installed button picture and pages' pictures and names the
    installed help file. The transcript has to be the expected one, and the help file the
    add-in hands to the help viewer has to be the installed one."""

    TIMEOUT = 120

    def __init__(self, programs, scenario, expected):
        self.programs = programs  # {32: outlook-sim.exe, 64: outlook-sim.exe}
        self.scenario = scenario
        self.expected = [json.loads(line) for line in expected.read_text().splitlines() if line.strip()]

    def play(self, case, prefix, bits):
        label = f"{case}: outlook-sim {self.scenario.name}"
        loader = WINE64 if bits == 64 else "wine"
        # Through a file, not a pipe: Wine's background processes inherit the program's output
        # and would hold a pipe open after it ends.
        out = prefix.path.parent / f"{prefix.arch}-outlook-sim.out"
        started = time.monotonic()
        with open(out, "wb") as sink:
            try:
                rc = subprocess.run([loader, winpath(self.programs[bits]), winpath(self.scenario), "--json"],
                                    env=prefix.env, stdin=subprocess.DEVNULL, stdout=sink,
                                    stderr=subprocess.STDOUT, timeout=self.TIMEOUT).returncode
            except subprocess.TimeoutExpired:
                subprocess.run(["wineserver", "-k"], env=prefix.env)
                fail(label, f"did not end within {self.TIMEOUT} s")
                return
        prefix.settle()
        print(f"  played {self.scenario.name} with the installed {bits}-bit add-in "
              f"({time.monotonic() - started:.0f} s)", flush=True)
        lines = out.read_text(encoding="utf-8", errors="replace").replace("\r", "").splitlines()
        events, other = [], []
        for line in lines:
            try:
                events.append(json.loads(line))
            except ValueError:
                other.append(line)
        if rc != 0 or other:
            fail(label, f"exit code {rc}: " + " | ".join(other[-5:]))
        self.check(label, prefix, events)

    @staticmethod
    def comparable(event):
        """The event as compared with the expected transcript, which the native player made:
        what only differs by platform is made the same on both sides."""
        e = dict(event)
        if e.get("event") == "clipboard":
            # The window system offers what it can make from CF_DIB as well.
            e["formats"] = [f for f in e["formats"] if f not in ("CF_BITMAP", "CF_DIBV5")]
        elif e.get("event") == "form":
            # Real windows sit at whole pixels (15 twips), rounded half away from zero.
            for k in ("left", "top"):
                e[k] = int(math.copysign(math.floor(abs(e[k]) / 15 + 0.5), e[k])) * 15
        return e

    def check(self, label, prefix, events):
        saved = [e for e in events if e.get("event") == "saved"]
        if not saved or not saved[-1].get("members"):
            fail(label, "no list was saved")
        end = [e for e in events if e.get("event") == "end"]
        if not end or end[-1].get("liveObjects") != 0:
            fail(label, f"objects left alive at the end: {end[-1] if end else 'no end event'}")
        for i, (got, want) in enumerate(zip(events, self.expected)):
            if self.comparable(got) != self.comparable(want):
                fail(label, f"event {i + 1} is {json.dumps(got)}, expected {json.dumps(want)}")
                break
        else:
            if len(events) != len(self.expected):
                fail(label, f"{len(events)} events, expected {len(self.expected)}")

        helps = [e["commandLine"] for e in events if e.get("event") == "process"]
        if not helps:
            fail(label, "the help viewer was never started")
        for line in helps:
            m = re.match(r"^\S*hh\.exe\s+(.*?)(::.*)?$", line, re.I)
            file = drive_c_file(prefix, m.group(1)) if m else None
            if file is None:
                fail(label, f"the help command line {line!r} names no file of the installation")
            elif file != prefix.path / "drive_c" / INSTALL_DIR_REL / "Quillamor.chm":
                fail(label, f"the help command line {line!r} names {file}, not the installed help file")


# --- The checks ------------------------------------------------------------------------------

def dll_bits(path):
    data = path.read_bytes()
    if data[:2] != b"MZ":
        return None
    pe = int.from_bytes(data[0x3C:0x40], "little")
    machine = int.from_bytes(data[pe + 4:pe + 6], "little")
    return {0x8664: 64, 0x14C: 32}.get(machine)


def check_installed(case, prefix, state, bits, sources):
    folder = prefix.path / "drive_c" / INSTALL_DIR_REL
    present = {p.name for p in folder.iterdir()} if folder.is_dir() else set()
    if present != INSTALLED_FILES:
        fail(case, f"install folder holds {sorted(present)}, expected {sorted(INSTALLED_FILES)}")
        return
    if (prefix.path / "drive_c" / "Program Files (x86)" / "Orvane Corporation").exists():
        fail(case, "files went to Program Files (x86), not to the 64-bit Program Files")
    expected = {"Quillamor.dll": sources[f"dll{bits}"], "contactsicon.gif": sources["picture"],
                "Quillamor.chm": sources["chm"],
                **{name: sources["page_pictures"] / name for name in PAGE_PICTURES}}
    for name, source in expected.items():
        if (folder / name).read_bytes() != source.read_bytes():
            fail(case, f"{name} is not the file the setup was built with")
    if dll_bits(folder / "Quillamor.dll") != bits:
        fail(case, f"installed DLL is {dll_bits(folder / 'Quillamor.dll')}-bit, expected {bits}-bit")

    clsid = string_value(state.value(rf"HKLM\Software\Classes\{PROGID}\CLSID", "@"))
    if not clsid:
        fail(case, f"HKCR\\{PROGID}\\CLSID is missing")
    else:
        server = rf"{prefix.classes_key(bits)}\{clsid}\InprocServer32"
        path = string_value(state.value(server, "@"))
        if path is None or path.lower() != (INSTALL_DIR_WIN + r"\Quillamor.dll").lower():
            fail(case, f"{server} is {path!r}, expected the installed DLL")
        if prefix.arch == "win64":
            other = rf"{prefix.classes_key(96 - bits)}\{clsid}"
            if other in state.registry:
                fail(case, f"the class is also registered in the other view: {other}")

    want = {"LoadBehavior": "dword:00000003", "FriendlyName": '"Quillamor"'}
    for name, raw in want.items():
        if state.value(ADDIN_KEY, name) != raw:
            fail(case, f"{ADDIN_KEY} [{name}] is {state.value(ADDIN_KEY, name)}, expected {raw}")
    if not string_value(state.value(ADDIN_KEY, "Description")):
        fail(case, f"{ADDIN_KEY} has no Description")

    uninstall = string_value(state.value(UNINSTALL_KEY, "UninstallString"))
    if string_value(state.value(UNINSTALL_KEY, "DisplayName")) != "Quillamor":
        fail(case, f"{UNINSTALL_KEY} has no DisplayName Quillamor (installed programs list)")
    if not uninstall or INSTALL_DIR_WIN + r"\Uninstall.exe" not in uninstall:
        fail(case, f"{UNINSTALL_KEY} UninstallString is {uninstall!r}")


def run_setup(prefix, setup):
    r = prefix.wine(str(setup), "/S")
    prefix.settle()
    return r.returncode


def run_uninstaller(prefix):
    # The uninstaller copies itself to the temporary folder and returns at once; the copy
    # does the work, so wait for the prefix to settle.
    prefix.wine(INSTALL_DIR_WIN + r"\Uninstall.exe", "/S")
    prefix.settle()


class Case(NamedTuple):
    name: str
    outlook: Optional[tuple]   # Outlook as recorded in the registry: (version, Bitness, view)
    bits: Optional[int]        # the DLL the setup has to install
    outlook_after: Optional[tuple] = None  # Outlook when the setup runs a second time
    setup: str = "good"        # or "failing"
    neighbours: bool = False   # another add-in and another product of the maker present
    play: bool = False         # the mail host stand-in plays the wizard with the installed add-in


CASES = {
    "win32": [
        Case("no Outlook recorded; other add-ins and the maker's other folders are kept",
             None, 32, neighbours=True, play=True),
        Case("registration fails", None, None, setup="failing"),
    ],
    "win64": [
        Case("no Outlook recorded", None, 32, neighbours=True),
        Case("32-bit Outlook 2013 on 64-bit Windows", ("15.0", "x86", 32), 32, play=True),
        Case("64-bit Outlook 2016, then 32-bit Outlook and the setup again", ("16.0", "x64", 64), 64,
             outlook_after=("16.0", "x86", 32), play=True),
        Case("registration fails (64-bit)", ("16.0", "x64", 64), None, setup="failing"),
    ],
}

NEIGHBOUR_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Office\Outlook\Addins\Other.Connect"
NEIGHBOUR_DIR = "Program Files/Orvane Corporation/Other Product"


def office_key(prefix, view):
    if prefix.arch == "win64" and view == 32:
        return r"HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Office"
    return r"HKEY_LOCAL_MACHINE\Software\Microsoft\Office"


def record_outlook(prefix, outlook, neighbours=False):
    """Leaves the registry saying which Outlook is installed (and nothing about any other)."""
    lines = [f"[-{office_key(prefix, view)}]" for view in (64, 32)]
    if outlook:
        version, bitness, view = outlook
        lines += [f"[{office_key(prefix, view)}\\{version}\\Outlook]", f'"Bitness"="{bitness}"']
    if neighbours:
        # Switched off in Outlook (not loaded at start-up): the mail host stand-in stops at an
        # add-in it is told to load but cannot create, and this one has no class behind it.
        lines += [f"[{NEIGHBOUR_KEY}]", '"LoadBehavior"=dword:00000002']
    prefix.import_reg(lines)


def run_case(prefix, case, setups, sources, player, noise_keys, noise_files):
    name, outlook, bits, outlook_after, kind, neighbours, play = case
    label = f"{prefix.arch}: {name}"
    print(f"- {label}", flush=True)
    record_outlook(prefix, outlook, neighbours)
    if neighbours:
        (prefix.path / "drive_c" / NEIGHBOUR_DIR).mkdir(parents=True, exist_ok=True)
        (prefix.path / "drive_c" / NEIGHBOUR_DIR / "keep.txt").write_text("not Quillamor's\n")
    before = prefix.state()

    rc = run_setup(prefix, setups[kind])
    if kind == "failing":
        if rc != 2:
            fail(label, f"setup exit code {rc}, expected 2 for a DLL that does not register")
        left = differences(before, prefix.state(), noise_keys, noise_files)
        for line in left:
            fail(label, f"after the failed setup: {line}")
        return
    if rc != 0:
        fail(label, f"setup exit code {rc}")
        return
    check_installed(label, prefix, prefix.state(), bits, sources)
    if play and player:
        player.play(label, prefix, bits)

    if outlook_after:
        record_outlook(prefix, outlook_after)
        rc = run_setup(prefix, setups["good"])
        if rc != 0:
            fail(label, f"second setup exit code {rc}")
        check_installed(label + " (second setup)", prefix, prefix.state(),
                        64 if outlook_after[1] == "x64" else 32, sources)
        record_outlook(prefix, outlook)

    run_uninstaller(prefix)
    after = prefix.state()
    if not pending_deletes_only_temp(after):
        fail(label, "the uninstaller left files to delete at restart outside the temporary folder: "
             + str(after.value(PENDING_KEY, "PendingFileRenameOperations")))
    if PENDING_KEY in after.registry:
        after.registry[PENDING_KEY] = {k: v for k, v in after.registry[PENDING_KEY].items()
                                       if k != "PendingFileRenameOperations"}
        before.registry.setdefault(PENDING_KEY, {}).pop("PendingFileRenameOperations", None)
    for line in differences(before, after, noise_keys, noise_files):
        fail(label, f"after uninstalling: {line}")


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    for name in ("work", "setup", "failing-setup", "dll32", "dll64", "picture", "page-pictures",
                 "chm"):
        parser.add_argument("--" + name, required=True, type=lambda a: pathlib.Path(a).resolve())
    for name in ("outlook-sim32", "outlook-sim64", "scenario", "expected"):
        parser.add_argument("--" + name, type=lambda a: pathlib.Path(a).resolve())
    parser.add_argument("archs", nargs="*", metavar="ARCH", help="win32 and/or win64")
    args = parser.parse_args(argv)
    players = (args.outlook_sim32, args.outlook_sim64, args.scenario, args.expected)
    if any(players) and not all(players):
        parser.error("--outlook-sim32, --outlook-sim64, --scenario and --expected go together")
    for arch in args.archs:
        if arch not in CASES:
            parser.error(f"unknown ARCH {arch}")
    return args


def main(argv):
    args = parse_arguments(argv[1:])
    workdir = args.work
    setups = {"good": args.setup, "failing": args.failing_setup}
    sources = {"dll32": args.dll32, "dll64": args.dll64, "picture": args.picture,
               "page_pictures": args.page_pictures, "chm": args.chm}
    archs = args.archs or ["win32", "win64"]
    player = None
    if args.scenario:
        player = ScenarioPlayer({32: args.outlook_sim32, 64: args.outlook_sim64}, args.scenario, args.expected)
    workdir.mkdir(parents=True, exist_ok=True)

    if len(archs) > 1:
        # The prefixes are independent and Wine spends most of its time waiting: test them
        # side by side, one process each, and print each one's report whole.
        options = [a for a in argv[1:] if a not in ("win32", "win64")]
        runs = [subprocess.Popen([sys.executable, __file__, *options, arch], stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT, text=True) for arch in archs]
        results = [(run.communicate()[0], run.returncode) for run in runs]
        for output, _ in results:
            print(output, end="")
        return 1 if any(rc != 0 for _, rc in results) else 0

    for arch in archs:
        started = time.monotonic()
        prefix = Prefix(workdir, arch)
        print(f"== {arch} prefix {prefix.path}", flush=True)
        prefix.create()
        # What Wine changes by itself between two starts is not the setup's doing.
        prefix.restart()
        a = prefix.state()
        prefix.restart()
        b = prefix.state()
        noise_keys = frozenset(k for k in set(a.registry) | set(b.registry)
                               if a.registry.get(k) != b.registry.get(k))
        noise_files = frozenset(a.files ^ b.files)
        for case in CASES[arch]:
            run_case(prefix, case, setups, sources, player, noise_keys, noise_files)
        print(f"== {arch} done in {time.monotonic() - started:.0f} s", flush=True)

    if failures:
        print(f"\n{len(failures)} failure(s):", file=sys.stderr)
        for f in failures:
            print("  " + f, file=sys.stderr)
        return 1
    print("installer tests passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
