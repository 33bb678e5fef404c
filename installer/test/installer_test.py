#!/usr/bin/env python3
"""Installs and removes Quillamor under Wine and checks every file and registry key.

    installer_test.py --work DIR --setup EXE --earlier-setup EXE --failing-setup EXE
                      --dll32 DLL --dll64 DLL --picture GIF --chm CHM --first-dialog EXE
                      [--outlook-sim32 EXE --outlook-sim64 EXE --scenario JSON --expected JSONL]
                      [ARCH...]

--setup is the setup under test; --earlier-setup is the same setup with an older version
number; --failing-setup is the same setup built around DLLs (32-bit and 64-bit) that refuse
to register. The DLLs, the button picture and the help file are what the setup carries, to
compare the installed files with. --first-dialog is installer/test/first-dialog.c built for
32-bit Windows: it reports the first window a setup shows and ends the setup there. ARCH is
win32 and/or win64 (both by default).

Wine has one user per prefix and grants every program every right. Other users are modelled
by their registry hive: a copy of the fresh prefix's user.reg stands for "another user" (a
standard user who never ran the setup), swapped in for the administrator's own while Wine is
stopped. That shows what each user's HKCU holds and what they get from the machine's keys;
it does not model rights (nothing stops a standard user from writing HKLM under Wine), nor
separate profile folders.

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
WINE_PREFIX_LIB = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "lib" / "wine-prefix.sh"
INSTALL_DIR_WIN = r"C:\Program Files\Orvane Corporation\Quillamor"
INSTALL_DIR_REL = "Program Files/Orvane Corporation/Quillamor"
# On 64-bit Windows the 32-bit DLL has a folder of its own, where 32-bit programs' files go.
INSTALL_DIR32_WIN = r"C:\Program Files (x86)\Orvane Corporation\Quillamor"
INSTALL_DIR32_REL = "Program Files (x86)/Orvane Corporation/Quillamor"
PROGID = "Quillamor.Connect"
ADDINS = r"Microsoft\Office\Outlook\Addins"
USER_ADDIN_KEY = rf"HKCU\Software\{ADDINS}\{PROGID}"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillamor"
PENDING_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
INSTALLED_FILES = {"Quillamor.dll", "contactsicon.gif", "Quillamor.chm", "Uninstall.exe", "Uninstall.dat"}
# What the Windows Installer packages install: the add-in's files (they uninstall through
# Windows Installer); and what every installation puts beside the 32-bit DLL on 64-bit Windows.
MSI_FILES = {"Quillamor.dll", "contactsicon.gif", "Quillamor.chm"}
# What setups before this one carried beside the DLL; an upgrade takes them away.
EARLIER_FILES = ("startup.gif", "wizard.ico", "progress.ico")
VERSION = "1.0.0"  # the version scripts/installer-test gives the setup under test
EARLIER_VERSION = "0.9.0"  # and the earlier setup and packages
ADMINISTRATOR, OTHER_USER = "administrator", "another user"
# The setup's exit codes (docs/admin-guide.md) and those of Windows Installer.
EXIT_OK, EXIT_RESTART, EXIT_FAILED, EXIT_OTHER_VERSION = 0, 3010, 1603, 1638
EXIT_NO_LIBRARY, EXIT_IN_USE, EXIT_LOG_FAILED, EXIT_NOT_ADMIN = 1157, 32, 1622, 740
# Logs go to the temporary folder, which the comparisons of drive C leave out.
LOG_DIR_WIN = r"C:\windows\temp\quillamor-test"
LOG_DIR_REL = "windows/temp/quillamor-test"

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


# Keys that Wine writes on its own, whatever a test does, with the reason; no setup, package
# or DLL of Quillamor writes under any of them (check_noise proves it on every run).
WINE_OWN_KEYS = {
    # Wine describes its display devices again whenever a program brings up its display
    # driver, stamping the time into values such as DriverDateData; whether two plain restarts
    # do that depends on the machine.
    r"HKLM\System\CurrentControlSet\Control\Class\{4D36E968-E325-11CE-BFC1-08002BE10318}": "display adapters",
    r"HKLM\System\CurrentControlSet\Control\Class\{4D36E96E-E325-11CE-BFC1-08002BE10318}": "monitors",
    r"HKLM\System\CurrentControlSet\Control\Video": "display devices",
    r"HKLM\System\CurrentControlSet\Control\DeviceClasses": "display devices",
    r"HKLM\System\CurrentControlSet\Enum\PCI": "display devices",
    r"HKLM\System\CurrentControlSet\Enum\DISPLAY": "display devices",
    r"HKLM\System\CurrentControlSet\Enum\ROOT": "display devices",
    # Wine lists the machine's own fonts (of /usr/share/fonts) again at a start after they
    # changed: a package installed on the machine while the test ran added fonts here once.
    r"HKCU\Software\Wine\Fonts\External Fonts": "the machine's fonts",
    r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts": "the machine's fonts",
    r"HKLM\Software\Microsoft\Windows\CurrentVersion\Fonts": "the machine's fonts",
}
WINE_OWN_PREFIXES = tuple(k.lower() for k in WINE_OWN_KEYS)


def is_wine_own_key(key):
    k = key.lower()
    return any(k == p or k.startswith(p + "\\") for p in WINE_OWN_PREFIXES)


# Wine's own debugger would write HKCU\Software\Wine\WineDbg and a console's HKCU\Console
# when a program crashes; the test prefixes have the crash reporter instead, which writes
# nothing there, so neither is Wine's noise: either key appearing is a fault to look into.

# What Quillamor's setup, packages and DLL write, by pattern: nothing that counts as Wine's own
# (named above, or measured on the fresh prefix) may reach any of it, or a leftover of theirs
# would pass unseen.
QUILLAMOR_TRACES = re.compile(r"quillamor|orvane|\\microsoft\\office(\\|$)|\\uninstall(\\|$)"
                              r"|\\aedebug(\\|$)|\\classes\\(wow6432node\\)?(clsid|typelib)\\\{", re.I)


def check_noise(label, fresh, noise_keys, noise_files):
    """Fails when what counts as Wine's own could hide a leftover of Quillamor's, and proves
    on the fresh prefix that a key or file left behind is still seen."""
    for key in sorted(noise_keys):
        if QUILLAMOR_TRACES.search(key):
            fail(label, f"a key Wine changed on its own lies where Quillamor writes: {key}")
    for p in WINE_OWN_PREFIXES:
        if QUILLAMOR_TRACES.search(p):
            fail(label, f"a key named as Wine's own lies where Quillamor writes: {p}")
    for f in sorted(noise_files):
        if QUILLAMOR_TRACES.search(f):
            fail(label, f"a file Wine changed on its own lies where Quillamor writes: {f}")
    left = State(dict(fresh.registry, **{rf"HKLM\Software\Orvane Corporation\Quillamor": {},
                                          rf"{USER_ADDIN_KEY}": {"LoadBehavior": "dword:00000003"}}),
                 fresh.files | {INSTALL_DIR_REL + "/Quillamor.dll"})
    seen = differences(fresh, left, noise_keys, noise_files)
    if len(seen) != 3:
        fail(label, f"the comparison does not see a key and a file left behind: {seen}")


def differences(before, after, noise_keys=frozenset(), noise_files=frozenset()):
    """Lines describing what differs between two states, Wine's own changes left out."""
    out = []
    for key in sorted(set(before.registry) | set(after.registry)):
        if key in noise_keys or is_wine_own_key(key):
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
        self.hives = workdir / f"{arch}-hives"
        self.user = ADMINISTRATOR
        # Every program of the prefix that crashes is reported here (installer/test's crash
        # reporter is the prefix's debugger), and the test reads what came since it last looked.
        self.crash_log = workdir / f"{arch}-crashes.log"
        self.crash_log.write_bytes(b"")
        self.crashes_read = 0
        self.pending_crashes = []
        self.env["QUILLAMOR_CRASH_LOG"] = winpath(self.crash_log)

    # What Wine's loader says when it could not make the process at all (it then hands the
    # name to its shell, which fails too). Nothing of the program ran, so it is started again.
    NOT_STARTED = "ShellExecuteEx failed: Internal error"

    def wine(self, *args, loader="wine"):
        for attempt in range(2):
            for _ in range(3):
                r = subprocess.run([loader, *args], env=self.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT, text=True, errors="replace")
                if r.returncode == 0 or self.NOT_STARTED not in r.stdout:
                    break
                print(f"  (Wine could not start {args[0]}; starting it again)", flush=True)
                self.settle()
            crashed = self.new_crashes()
            # A crash of one of Wine's own programs in Wine's own code, with nothing of ours
            # on its stack, costs that step one more try, said aloud; any other crash is the
            # case's failure (reported with the case).
            if crashed and attempt == 0 and not any(is_ours(c) for c in crashed):
                for c in crashed:
                    print(f"  (Wine's own code crashed, not Quillamor's or the test's: {c}; "
                          f"running {args[0]} once more)", flush=True)
                continue
            self.pending_crashes += crashed
            return r
        return r

    def settle(self):
        subprocess.run(["wineserver", "-w"], env=self.env, check=True)

    def create(self):
        shutil.rmtree(self.path, ignore_errors=True)
        self.wine("wineboot", "-i")
        # No display here: Wine's own desktop process needs the null display driver to start.
        # The caption text is white, as in Windows' standard scheme (a fresh prefix has
        # black): the add-in masks its button faces with that colour.
        self.import_reg([r"[HKEY_CURRENT_USER\Software\Wine\Drivers]", '"Graphics"="null"',
                         r"[HKEY_CURRENT_USER\Control Panel\Colors]", '"TitleText"="255 255 255"']
                        + self.crash_guard_lines())
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

    def crash_guard_lines(self):
        """The prefix's debugger, for the programs of each bitness: the crash reporter, which
        writes one line to the crash log and nothing into the prefix (Wine's own debugger
        writes HKCU\\Software\\Wine\\WineDbg and a console's HKCU\\Console)."""
        # The lines the suites' prefixes get, from the same place (scripts/lib/wine-prefix.sh).
        out = subprocess.run(["bash", "-c", '. "$1" && wine_guard_lines "$2" "$3"', "bash", str(WINE_PREFIX_LIB),
                              str(HELPERS["crash-report"][32].parent), self.arch],
                             check=True, stdout=subprocess.PIPE, text=True).stdout
        return [line.rstrip("\r") for line in out.splitlines()]

    def new_crashes(self):
        """The crash reports written since the last look, one line each (without waiting for
        the prefix to settle: a program of the test may still be running)."""
        data = self.crash_log.read_bytes()
        new, self.crashes_read = data[self.crashes_read:], len(data)
        return [line.strip() for line in new.decode("utf-8", "replace").splitlines() if line.strip()]

    def crashes(self):
        """Every crash not reported yet, once the prefix has settled."""
        self.settle()
        found, self.pending_crashes = self.pending_crashes + self.new_crashes(), []
        return found

    def restart(self):
        self.wine("wineboot", "-r")
        self.settle()

    def add_other_user(self):
        """The other user's hive: the fresh prefix's, as for someone who never ran the setup."""
        self.settle()
        shutil.rmtree(self.hives, ignore_errors=True)
        self.hives.mkdir(parents=True)
        shutil.copyfile(self.path / "user.reg", self.hive(OTHER_USER))

    def hive(self, user):
        return self.hives / f"{user}.reg"

    def use_hive(self, user):
        """Makes `user`'s hive the prefix's HKCU. Wine reads user.reg when it starts and writes
        it back when it stops, so the swap happens with Wine stopped."""
        if user == self.user:
            return
        self.settle()
        shutil.copyfile(self.path / "user.reg", self.hive(self.user))
        shutil.copyfile(self.hive(user), self.path / "user.reg")
        self.user = user

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

    def addin_key(self, bits):
        """The machine's add-in key that Outlook of that bitness reads, as seen in system.reg."""
        node = r"\Wow6432Node" if self.arch == "win64" and bits == 32 else ""
        return rf"HKLM\Software{node}\{ADDINS}\{PROGID}"

    def classes_key(self, bits):
        """Where a DLL of that bitness is registered, as seen in system.reg."""
        if self.arch == "win64" and bits == 32:
            return r"HKLM\Software\Classes\Wow6432Node\CLSID"
        return r"HKLM\Software\Classes\CLSID"

    def dll_bits(self):
        """The DLLs every installation puts on this Windows: one for each Outlook it can run."""
        return (32, 64) if self.arch == "win64" else (32,)

    def folders(self, folder64=INSTALL_DIR_REL, folder32=INSTALL_DIR32_REL):
        """{bits: folder of that DLL, relative to drive C}; on 32-bit Windows the 32-bit DLL is
        where the 64-bit one goes on 64-bit Windows."""
        return {64: folder64, 32: folder32} if self.arch == "win64" else {32: folder64}


# The programs and modules that are Quillamor's or the test's own: a crash in any of them,
# or with any of them on the stack, is never taken for Wine's.
OURS = re.compile(r"quillamor|hold-addin|run-wait|outlook-sim|first-dialog|crash-report|uninstall\.exe", re.I)


def is_ours(crash):
    """Whether a crash report ("crash: PROGRAM (COMMAND LINE): ... at MODULE+0x..; on the
    stack: ...") names a program or module of ours; the command line is not read, since
    Wine's msiexec names our package there."""
    program = re.match(r"^crash: (.*?) \(", crash)
    where = crash[crash.rfind(" at "):] if " at " in crash else crash
    modules = re.findall(r"([^\s<;:(]+)\+0x", where)
    return bool(program and OURS.search(program.group(1))) or any(OURS.search(m) for m in modules) \
        or not modules


def is_temp(path):
    return re.search(r"(^|/)(users/[^/]+/Temp|windows/temp)(/|$)", path, re.I) is not None


def pending_deletes(state):
    """The paths set to be deleted at the next restart."""
    raw = state.value(PENDING_KEY, "PendingFileRenameOperations")
    # The raw text keeps the .reg escapes: each entry is \\??\\PATH followed by \0.
    return [unescape_reg(p) for p in re.findall(r"\\\\\?\?\\\\(.*?)\\0", raw or "")]


def pending_deletes_only_temp(state):
    """True when the only files set to go at the next restart are in the temporary folder:
    the uninstaller's copy of itself, which cannot delete itself while it runs."""
    return all(re.search(r"\\Temp\\", p, re.I) for p in pending_deletes(state))


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
    Quillamor's is set up for it but what the setup did: it finds the add-in through the add-in
    keys (the machine's in the registry view of its own bitness, and the user's), creates it
    through the COM registration and so runs the installed DLL, which reads the installed
    button picture and names the installed help file. The transcript has to be the expected one, and the help file the
    add-in hands to the help viewer has to be the installed one."""

    TIMEOUT = 120

    def __init__(self, programs, scenario, expected):
        self.programs = programs  # {32: outlook-sim.exe, 64: outlook-sim.exe}
        self.scenario = scenario
        self.expected = [json.loads(line) for line in expected.read_text().splitlines() if line.strip()]

    def play(self, case, prefix, bits, folder=None):
        """Plays the scenario in Outlook of that bitness, with the add-in installed in `folder`
        (relative to drive C; by default where the DLL of that bitness goes)."""
        folder = folder or prefix.folders()[bits]
        label = f"{case}: outlook-sim {self.scenario.name} ({bits}-bit)"
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
        self.check(label, prefix, events, folder)

    @staticmethod
    def comparable(event):
        """The event as compared with the expected transcript, which the native player made:
        what only differs by platform is made the same on both sides."""
        e = dict(event)
        if e.get("event") == "clipboard":
            # The window system offers what it can make from CF_DIB as well.
            e["formats"] = [f for f in e["formats"] if f not in ("CF_BITMAP", "CF_DIBV5")]
        elif e.get("event") == "msgbox":
            # Under Windows every box is task-modal (it has no owner window to be modal to).
            e["style"] &= ~0x2000
        elif e.get("event") == "process":
            # The help file is named where the add-in finds it, which check() holds to the
            # installed one: only the viewer and the topic are compared.
            m = re.match(r"^(\S*hh\.exe\s+).*?(::.*)?$", e["commandLine"], re.I)
            if m:
                e["commandLine"] = m.group(1) + "HELPFILE" + (m.group(2) or "")
        elif e.get("event") == "form":
            # Real windows sit at whole pixels (15 twips), rounded half away from zero.
            for k in ("left", "top"):
                e[k] = int(math.copysign(math.floor(abs(e[k]) / 15 + 0.5), e[k])) * 15
        return e

    def check(self, label, prefix, events, folder):
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
            elif file != prefix.path / "drive_c" / folder / "Quillamor.chm":
                fail(label, f"the help command line {line!r} names {file}, not the installed help file")


# --- The checks ------------------------------------------------------------------------------

def dll_bits(path):
    data = path.read_bytes()
    if data[:2] != b"MZ":
        return None
    pe = int.from_bytes(data[0x3C:0x40], "little")
    machine = int.from_bytes(data[pe + 4:pe + 6], "little")
    return {0x8664: 64, 0x14C: 32}.get(machine)


def uninstall_entries(state):
    """The entries named Quillamor in the installed programs, in either registry view."""
    pattern = re.compile(r"^HKLM\\Software(\\Wow6432Node)?\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\[^\\]+$", re.I)
    return [k for k in state.registry if pattern.match(k)
            and string_value(state.value(k, "DisplayName")) == "Quillamor"]


def check_installed(case, prefix, state, sources, load_behavior=3, version=VERSION, extra_files=frozenset(),
                    msi=False, folders=None, bitnesses=None):
    """Checks an installation by the setup, or with msi=True by a Windows Installer package:
    each DLL of prefix.dll_bits() in its folder (`folders`, by default prefix.folders()) with
    its files beside it, registered and entered in Outlook's list of add-ins in the registry
    view of its bitness, and one entry in the installed programs. `bitnesses` and `folders`
    name other DLLs and folders: an x86 package of old, as it went onto 64-bit Windows."""
    folders = folders or prefix.folders()
    bitnesses = bitnesses or prefix.dll_bits()
    for bits in bitnesses:
        main = bits == max(bitnesses)  # the folder of the uninstaller and the user's own files
        files = (INSTALLED_FILES if main and not msi else MSI_FILES) | (extra_files if main else frozenset())
        check_dll_installed(case, prefix, state, sources, bits, folders[bits], load_behavior, files)
    if USER_ADDIN_KEY in state.registry:
        fail(case, f"{USER_ADDIN_KEY} is present beside the machine's keys, which it would override")

    entries = uninstall_entries(state)
    if msi:
        if len(entries) != 1 or not re.search(r"\\\{[0-9A-F-]{36}\}$", entries[0], re.I):
            fail(case, f"installed programs list Quillamor as {entries}, expected once under its product code")
        elif string_value(state.value(entries[0], "DisplayVersion")) != version:
            fail(case, f"{entries[0]} DisplayVersion is {state.value(entries[0], 'DisplayVersion')}, "
                 f"expected {version}")
        return
    if entries != [UNINSTALL_KEY]:
        fail(case, f"installed programs list Quillamor as {entries}, expected once as {UNINSTALL_KEY}")
    for name, want in (("UninstallString", f'"{INSTALL_DIR_WIN}\\Uninstall.exe"'),
                       ("QuietUninstallString", f'"{INSTALL_DIR_WIN}\\Uninstall.exe" /S')):
        got = string_value(state.value(UNINSTALL_KEY, name))
        if got != want:
            fail(case, f"{UNINSTALL_KEY} {name} is {got!r}, expected {want!r}")
    if string_value(state.value(UNINSTALL_KEY, "DisplayVersion")) != version:
        fail(case, f"{UNINSTALL_KEY} DisplayVersion is {state.value(UNINSTALL_KEY, 'DisplayVersion')}, "
             f"expected {version}")


def check_dll_installed(case, prefix, state, sources, bits, folder_rel, load_behavior, expected_files):
    """The DLL of one bitness: its files, its class and Outlook's key for it."""
    folder = prefix.path / "drive_c" / folder_rel
    present = {p.name for p in folder.iterdir()} if folder.is_dir() else set()
    if present != expected_files:
        fail(case, f"{folder_rel} holds {sorted(present)}, expected {sorted(expected_files)}")
        return
    expected = {"Quillamor.dll": sources[f"dll{bits}"], "contactsicon.gif": sources["picture"],
                "Quillamor.chm": sources["chm"]}
    for name, source in expected.items():
        if (folder / name).read_bytes() != source.read_bytes():
            fail(case, f"{folder_rel}/{name} is not the file the package was built with")
    if dll_bits(folder / "Quillamor.dll") != bits:
        fail(case, f"{folder_rel}/Quillamor.dll is {dll_bits(folder / 'Quillamor.dll')}-bit, expected {bits}-bit")

    # Windows shares a ProgID's key between the views; Wine keeps one in each, and 32-bit
    # programs find the 32-bit view's just as well.
    progid_keys = [rf"HKLM\Software\Classes\{PROGID}\CLSID"]
    if prefix.arch == "win64" and bits == 32:
        progid_keys.insert(0, rf"HKLM\Software\Classes\Wow6432Node\{PROGID}\CLSID")
    clsid = next((string_value(state.value(k, "@")) for k in progid_keys if k in state.registry), None)
    dll_win = "C:\\" + folder_rel.replace("/", "\\") + "\\Quillamor.dll"
    if not clsid:
        fail(case, f"HKCR\\{PROGID}\\CLSID is missing ({bits}-bit)")
    else:
        server = rf"{prefix.classes_key(bits)}\{clsid}\InprocServer32"
        path = string_value(state.value(server, "@"))
        if path is None or path.lower() != dll_win.lower():
            fail(case, f"{server} is {path!r}, expected {dll_win}")

    # For every user: the machine's key in the view of the DLL's bitness.
    key = prefix.addin_key(bits)
    want = {"LoadBehavior": f"dword:{load_behavior:08x}", "FriendlyName": '"Quillamor"'}
    for name, raw in want.items():
        if state.value(key, name) != raw:
            fail(case, f"{key} [{name}] is {state.value(key, name)}, expected {raw}")
    if not string_value(state.value(key, "Description")):
        fail(case, f"{key} has no Description")


# The helper programs of installer/test, by name and bitness; set from the command line.
HELPERS = {}


def run_command(prefix, command_line, settle=True, limited=False):
    """Runs a Windows command line, as it is written, to its end and gives its exit code, all
    32 bits of it (Wine passes on 8). In a 64-bit prefix the command runs from a 64-bit
    program, so that msiexec is the 64-bit one, as on Windows. `limited`: with the filtered
    token of an administrator who has not consented, which Wine hands out as Windows does
    (though Wine never refuses it a program that asks for elevation)."""
    bits = 64 if prefix.arch == "win64" else 32
    r = prefix.wine(str(HELPERS["run-wait"][bits]), *(["--limited"] if limited else []), command_line,
                    loader=WINE64 if bits == 64 else "wine")
    if settle:
        prefix.settle()
    m = re.search(r"^exit (\d+)", r.stdout, re.M)
    if not m:
        raise RuntimeError(f"run-wait {command_line}: {r.stdout.strip()}")
    # Anything else is what the programs (or Wine, for one that crashed) wrote: show it.
    for line in r.stdout.replace("\r", "").splitlines():
        if line.strip() and line != m.group(0):
            print(f"  ({command_line.split()[0]}: {line})", flush=True)
    return int(m.group(1))


def run_setup(prefix, setup, arguments="", settle=True):
    return run_command(prefix, f'"{winpath(setup)}" /S {arguments}'.strip(), settle)


def run_uninstaller(prefix, label, settle=True, held=frozenset(), arguments=""):
    """Runs the uninstaller as the installed-programs entry gives it, quietly, and checks that
    it has done its work when it returns: every folder of the installation empty of Quillamor's
    files and gone, except for `held` files (moved aside and set to go at the restart). Gives
    the exit code."""
    rc = run_command(prefix, f'"{INSTALL_DIR_WIN}\\Uninstall.exe" /S {arguments}'.strip(), settle=False)
    for rel in prefix.folders().values():
        folder = prefix.path / "drive_c" / rel
        left = sorted(p.name for p in folder.iterdir()) if folder.is_dir() else []
        if (left and not held) or set(left) & INSTALLED_FILES:
            fail(label, f"the uninstaller returned before it was done: {rel} still holds {left}")
    if settle:
        prefix.settle()
    return rc


class Holder:
    """hold-addin.exe of the given bitness: a running Outlook stand-in that holds nothing
    ("run"), the installed add-in ("load", the ProgID) or an installed file ("open", a path)."""

    TIMEOUT = 60

    def __init__(self, prefix, bits, *arguments):
        self.prefix = prefix
        self.out = prefix.path.parent / f"{prefix.arch}-holder.out"
        loader = WINE64 if bits == 64 else "wine"
        with open(self.out, "wb") as sink:
            # Output through a file: Wine's background processes would hold a pipe open.
            self.process = subprocess.Popen([loader, str(HELPERS["holder"][bits]), *arguments], env=prefix.env,
                                            stdin=subprocess.PIPE, stdout=sink, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + self.TIMEOUT
        while "held" not in self.output():
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.process.kill()
                raise RuntimeError(f"hold-addin {' '.join(arguments)}: {self.output()!r}")
            time.sleep(0.2)

    def output(self):
        return self.out.read_text(errors="replace").replace("\r", "")

    def release(self):
        """Lets it go and gives what it printed (with "still running" when the DLL it had
        loaded still ran)."""
        self.process.stdin.close()
        self.process.wait(timeout=self.TIMEOUT)
        self.prefix.settle()
        return self.output()


def log_text(prefix, name):
    path = prefix.path / "drive_c" / LOG_DIR_REL / name
    return path.read_text(errors="replace") if path.is_file() else None


CLICK_TO_RUN = "ClickToRun"  # as the version of Outlook in a Case: Click-to-Run Office
APP_PATHS = "App Paths"      # and an Outlook that only App Paths names (its OUTLOOK.EXE)


class Case(NamedTuple):
    name: str
    outlook: Optional[tuple]   # Outlook as recorded in the registry: (version, Bitness, view)
    bits: Optional[int]        # Outlook's bitness: the mail host stand-in of that bitness plays
    outlook_after: Optional[tuple] = None  # Outlook after a change of bitness, played as it is
    setup: str = "good"        # or "failing"
    neighbours: bool = False   # another add-in and another product of the maker present
    play: bool = False         # the mail host stand-in plays the wizard with the installed add-in
    other_user: bool = False   # played and uninstalled by a user other than the one who installed
    history: bool = False      # over an earlier per-user setup: upgrade, repair, no downgrade
    logged: str = ""           # what the setup's log says about Outlook's bitness


NO_BITNESS = "No Outlook's bitness is recorded on this computer."

# Every setup installs the same on one Windows (both DLLs on 64-bit Windows): Outlook's
# bitness, however it is recorded, only reaches the log.
CASES = {
    "win32": [
        Case("installed by an administrator, used and removed by another user; other add-ins "
             "and the maker's other folders are kept", None, 32, neighbours=True, play=True, other_user=True,
             logged=NO_BITNESS),
        Case("over an earlier per-user setup: upgrade, repair, no downgrade", None, 32, history=True),
        Case("registration fails", None, None, setup="failing"),
    ],
    "win64": [
        Case("no Outlook recorded", None, None, neighbours=True, logged=NO_BITNESS),
        Case("32-bit Outlook 2013 on 64-bit Windows, installed by an administrator, used and removed "
             "by another user", ("15.0", "x86", 32), 32, play=True, other_user=True,
             logged="Outlook on this computer is 32-bit (its Bitness value)."),
        Case("64-bit Outlook 2016, then 32-bit Outlook with no setup run again", ("16.0", "x64", 64), 64,
             outlook_after=("16.0", "x86", 32), play=True),
        Case("64-bit Microsoft 365 (Click-to-Run), which records no Bitness", (CLICK_TO_RUN, "x64", 64), 64,
             logged="Outlook on this computer is 64-bit (Click-to-Run Office's Platform)."),
        Case("an Outlook that only App Paths names", (APP_PATHS, "x64", 64), 64,
             logged=r"Outlook on this computer is 64-bit (the machine type of C:\Program Files\Outlook stand-in"
                    r"\OUTLOOK.EXE)."),
        Case("64-bit Outlook over an earlier per-user setup: upgrade, repair, no downgrade",
             ("16.0", "x64", 64), 64, history=True),
        Case("registration fails (64-bit)", ("16.0", "x64", 64), None, setup="failing"),
    ],
}

NEIGHBOUR_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Office\Outlook\Addins\Other.Connect"
NEIGHBOUR_DIR = "Program Files/Orvane Corporation/Other Product"


def office_key(prefix, view):
    if prefix.arch == "win64" and view == 32:
        return r"HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Office"
    return r"HKEY_LOCAL_MACHINE\Software\Microsoft\Office"


def regedit_key(key):
    """A key as state() names it, as regedit names it."""
    return key.replace("HKLM\\", "HKEY_LOCAL_MACHINE\\", 1).replace("HKCU\\", "HKEY_CURRENT_USER\\", 1)


# Where an Outlook that App Paths names is, and the key that names it, in each view.
OUTLOOK_EXE_REL = "Program Files/Outlook stand-in/OUTLOOK.EXE"


def app_paths_key(prefix, view):
    node = r"\Wow6432Node" if prefix.arch == "win64" and view == 32 else ""
    return rf"HKEY_LOCAL_MACHINE\Software{node}\Microsoft\Windows\CurrentVersion\App Paths\OUTLOOK.EXE"


def record_outlook(prefix, outlook, neighbours=False):
    """Leaves the registry saying which Outlook is installed (and nothing about any other),
    with an OUTLOOK.EXE of its bitness (a stand-in program) where App Paths names one."""
    prefix.import_reg(outlook_lines(prefix, outlook, neighbours))
    exe = prefix.path / "drive_c" / OUTLOOK_EXE_REL
    if outlook and outlook[0] == APP_PATHS:
        exe.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(HELPERS["holder"][outlook[2]], exe)
    elif exe.parent.exists():
        shutil.rmtree(exe.parent)


def outlook_lines(prefix, outlook, neighbours=False):
    lines = [f"[-{office_key(prefix, view)}]" for view in (64, 32)]
    lines += [f"[-{app_paths_key(prefix, view)}]" for view in (64, 32)]
    if outlook and outlook[0] == APP_PATHS:
        _, _, view = outlook
        lines += [f"[{app_paths_key(prefix, view)}]", '@="C:\\\\' + OUTLOOK_EXE_REL.replace("/", "\\\\") + '"']
    elif outlook and outlook[0] == CLICK_TO_RUN:
        # Click-to-Run Office records its platform, and no Bitness.
        _, platform, view = outlook
        lines += [f"[{office_key(prefix, view)}\\ClickToRun\\Configuration]", f'"Platform"="{platform}"']
    elif outlook:
        version, bitness, view = outlook
        lines += [f"[{office_key(prefix, view)}\\{version}\\Outlook]", f'"Bitness"="{bitness}"']
    if neighbours:
        # Switched off in Outlook (not loaded at start-up): the mail host stand-in stops at an
        # add-in it is told to load but cannot create, and this one has no class behind it.
        lines += [f"[{NEIGHBOUR_KEY}]", '"LoadBehavior"=dword:00000002']
    return lines


def compare_after_uninstall(label, before, after, noise_keys, noise_files):
    if not pending_deletes_only_temp(after):
        fail(label, "the uninstaller left files to delete at restart outside the temporary folder: "
             + str(after.value(PENDING_KEY, "PendingFileRenameOperations")))
    if PENDING_KEY in after.registry:
        after.registry[PENDING_KEY] = {k: v for k, v in after.registry[PENDING_KEY].items()
                                       if k != "PendingFileRenameOperations"}
        before.registry.setdefault(PENDING_KEY, {}).pop("PendingFileRenameOperations", None)
    for line in differences(before, after, noise_keys, noise_files):
        fail(label, f"after uninstalling: {line}")


def damage_installation(prefix, more_reg=()):
    """Every DLL of the installation and its ProgID gone, in each registry view, so that a
    repair is seen to put back both bitnesses, not just one."""
    for bits in prefix.dll_bits():
        (prefix.path / "drive_c" / prefix.folders()[bits] / "Quillamor.dll").unlink()
    views = ["", "Wow6432Node\\"] if prefix.arch == "win64" else [""]
    prefix.import_reg([f"[-HKEY_LOCAL_MACHINE\\Software\\Classes\\{view}{PROGID}]" for view in views]
                      + list(more_reg))


def run_history(label, prefix, case, setups, sources, noise_keys, noise_files):
    """An earlier version installed, with what setups before this one left for the user who
    ran them and an administrator's choice in the add-in key of Outlook's view (setups before
    this one wrote only that one); then this version upgrades it, keeping that choice in every
    view, keeps a choice made later in one view alone, repairs it, and an older one does not
    replace it."""
    bits = case.bits
    folder = prefix.path / "drive_c" / INSTALL_DIR_REL
    if run_setup(prefix, setups["earlier"]) != 0:
        fail(label, "the earlier setup failed")
        return False
    machine_key = regedit_key(prefix.addin_key(bits))
    other_views = [b for b in prefix.dll_bits() if b != bits]
    prefix.import_reg([
        # The per-user key earlier setups wrote.
        f"[{regedit_key(USER_ADDIN_KEY)}]", '"LoadBehavior"=dword:00000003', '"FriendlyName"="Quillamor"',
        '"Description"="Files contacts into distribution lists by category."',
        # An administrator's choice: installed, but not loaded at start-up.
        f"[{machine_key}]", '"LoadBehavior"=dword:00000000']
        # Setups before this one wrote Outlook's view only.
        + [f"[-{regedit_key(prefix.addin_key(b))}]" for b in other_views])
    for name in EARLIER_FILES:
        (folder / name).write_bytes(b"earlier")
    (folder / "Quillamor.chm").write_bytes(b"earlier")
    (folder / "notes.txt").write_text("the user's own\n")

    rc = run_setup(prefix, setups["good"])
    if rc != 0:
        fail(label, f"upgrade: setup exit code {rc}")
    check_installed(label + " (upgrade)", prefix, prefix.state(), sources, load_behavior=0,
                    extra_files={"notes.txt"})

    # A choice made since in one view alone stays that view's: a 32-bit Outlook reads one
    # view, a 64-bit one the other.
    if other_views:
        other = other_views[0]
        prefix.import_reg([f"[{regedit_key(prefix.addin_key(other))}]", '"LoadBehavior"=dword:00000002'])
        rc = run_setup(prefix, setups["good"])
        if rc != 0:
            fail(label, f"setup again over a choice in one view: exit code {rc}")
        state = prefix.state()
        for view, want in ((bits, 0), (other, 2)):
            got = state.value(prefix.addin_key(view), "LoadBehavior")
            if got != f"dword:{want:08x}":
                fail(label, f"setup again: {prefix.addin_key(view)} [LoadBehavior] is {got}, expected {want}")

    # Damage: the DLLs, their registration and the add-in keys gone.
    damage_installation(prefix, [f"[-{regedit_key(prefix.addin_key(b))}]" for b in prefix.dll_bits()])
    rc = run_setup(prefix, setups["good"])
    if rc != 0:
        fail(label, f"repair: setup exit code {rc}")
    installed = prefix.state()
    check_installed(label + " (repair)", prefix, installed, sources, extra_files={"notes.txt"})

    rc = run_setup(prefix, setups["earlier"])
    if rc != EXIT_OTHER_VERSION:
        fail(label, f"an older setup over this version: exit code {rc}, expected {EXIT_OTHER_VERSION}")
    for line in differences(installed, prefix.state(), noise_keys, noise_files):
        fail(label, f"an older setup over this version changed: {line}")
    (folder / "notes.txt").unlink()
    return True


def run_case(prefix, case, setups, sources, player, noise_keys, noise_files):
    label = f"{prefix.arch}: {case.name}"
    print(f"- {label}", flush=True)
    record_outlook(prefix, case.outlook, case.neighbours)
    if case.neighbours:
        (prefix.path / "drive_c" / NEIGHBOUR_DIR).mkdir(parents=True, exist_ok=True)
        (prefix.path / "drive_c" / NEIGHBOUR_DIR / "keep.txt").write_text("not Quillamor's\n")
    before = prefix.state()
    other_before = read_hive(prefix.hive(OTHER_USER), "HKCU")

    if case.history:
        if run_history(label, prefix, case, setups, sources, noise_keys, noise_files):
            run_uninstaller(prefix, label)
        compare_after_uninstall(label, before, prefix.state(), noise_keys, noise_files)
        return

    log_dir = prefix.path / "drive_c" / LOG_DIR_REL
    log_dir.mkdir(parents=True, exist_ok=True)
    (log_dir / "case.log").unlink(missing_ok=True)
    rc = run_setup(prefix, setups[case.setup], f"/LOG={LOG_DIR_WIN}\\case.log")
    if case.logged and case.logged not in (log_text(prefix, "case.log") or ""):
        fail(label, f"the setup's log does not say {case.logged!r}")
    if case.setup == "failing":
        if rc != EXIT_FAILED:
            fail(label, f"setup exit code {rc}, expected {EXIT_FAILED} for a DLL that does not register")
        left = differences(before, prefix.state(), noise_keys, noise_files)
        for line in left:
            fail(label, f"after the failed setup: {line}")
        return
    if rc != 0:
        fail(label, f"setup exit code {rc}")
        return
    check_installed(label, prefix, prefix.state(), sources)

    if case.other_user:
        # The add-in reaches a user whose own keys never saw the setup, and that user can
        # remove it; then neither user's keys nor the machine's keep anything of it.
        prefix.use_hive(OTHER_USER)
    if case.play and player:
        player.play(label, prefix, case.bits)

    if case.outlook_after:
        # Outlook of the other bitness finds the DLL it can load, already there. Only the
        # record of Outlook changes (record_outlook would take the add-in's keys too).
        now, after = (f"{office_key(prefix, o[2])}\\{o[0]}" for o in (case.outlook, case.outlook_after))
        prefix.import_reg([f"[-{now}]", f"[{after}\\Outlook]", f'"Bitness"="{case.outlook_after[1]}"'])
        if player:
            player.play(label + " (Outlook's bitness changed)", prefix, case.outlook_after[2])
        prefix.import_reg([f"[-{after}]", f"[{now}\\Outlook]", f'"Bitness"="{case.outlook[1]}"'])

    rc = run_uninstaller(prefix, label)
    if rc != EXIT_OK:
        fail(label, f"uninstaller exit code {rc}")
    if case.other_user:
        # The machine as before, and the other user's keys as they were before the setup ran.
        expected = {k: v for k, v in before.registry.items() if not k.startswith("HKCU")}
        expected.update(other_before)
        compare_after_uninstall(label + f" ({OTHER_USER})", State(expected, before.files), prefix.state(),
                                noise_keys, noise_files)
        prefix.use_hive(ADMINISTRATOR)
    compare_after_uninstall(label, before, prefix.state(), noise_keys, noise_files)


# --- The warning about the safe-item library ------------------------------------------------

REDEMPTION_CLSID = "{03C4C5F4-1893-444C-B8D2-9F4B6D3F2C11}"
REDEMPTION_DIR = "Program Files/Redemption stand-in"


class SafeItemCase(NamedTuple):
    name: str
    outlook: Optional[tuple]  # as for Case
    views: tuple              # registry views in which the library's class is registered
    file_present: bool        # its DLL is where the registration says
    warns: bool


SAFE_ITEM_CASES = {
    "win32": [
        SafeItemCase("not registered", None, (), False, True),
        SafeItemCase("registered, its file missing", None, (32,), False, True),
        SafeItemCase("registered", None, (32,), True, False),
    ],
    # Which Outlook will run is not the setup's business: the library registered for either
    # bitness will do, whichever Outlook is recorded.
    "win64": [
        SafeItemCase("64-bit Outlook, not registered", ("16.0", "x64", 64), (), False, True),
        SafeItemCase("64-bit Outlook, registered for 32-bit programs, its file missing", ("16.0", "x64", 64), (32,),
                     False, True),
        SafeItemCase("64-bit Outlook, registered for 32-bit programs", ("16.0", "x64", 64), (32,), True, False),
        SafeItemCase("32-bit Outlook, registered for 64-bit programs", ("15.0", "x86", 32), (64,), True, False),
    ],
}
# For which Outlook the warning says the library is missing.
LIBRARY_WANTED = {"win32": "32-bit Outlook", "win64": "either 32-bit or 64-bit Outlook"}


def set_safe_item_library(prefix, views, file_present=False):
    """Registers the safe-item library's class in the given registry views (none: not
    registered), with or without its file where the registration says."""
    library = prefix.path / "drive_c" / REDEMPTION_DIR / "Redemption.dll"
    classes = {32: r"HKEY_LOCAL_MACHINE\Software\Classes\Wow6432Node\CLSID" if prefix.arch == "win64"
               else r"HKEY_LOCAL_MACHINE\Software\Classes\CLSID",
               64: r"HKEY_LOCAL_MACHINE\Software\Classes\CLSID"}
    progid_key = r"HKEY_LOCAL_MACHINE\Software\Classes\Redemption.SafeMailItem"
    lines = [f"[-{progid_key}]"] + [f"[-{classes[v]}\\{REDEMPTION_CLSID}]" for v in (32, 64)]
    if views:
        lines += [f"[{progid_key}\\CLSID]", f'@="{REDEMPTION_CLSID}"']
    for v in views:
        lines += [f"[{classes[v]}\\{REDEMPTION_CLSID}\\InprocServer32]",
                  '@="C:\\\\' + REDEMPTION_DIR.replace("/", "\\\\") + '\\\\Redemption.dll"']
    prefix.import_reg(lines)
    if file_present:
        library.parent.mkdir(parents=True, exist_ok=True)
        library.write_bytes(b"MZ")
    elif library.parent.exists():
        shutil.rmtree(library.parent)


def run_warnings(prefix, setup, first_dialog, noise_keys, noise_files):
    """The interactive setup's first window, for each state of the safe-item library: a
    message in plain words when Outlook could not create it, else the setup's own page. The
    setup is ended at that window, before it installs anything: by the test, or, at its own
    page, cancelled as a person would, which gives its exit code for that."""
    print(f"- {prefix.arch}: the warning about the Redemption library", flush=True)
    before = prefix.state()
    for w in SAFE_ITEM_CASES[prefix.arch]:
        label = f"{prefix.arch}: warning, {w.name}"
        prefix.import_reg(outlook_lines(prefix, w.outlook))
        set_safe_item_library(prefix, w.views, w.file_present)
        # Without a warning the setup's page comes first: cancel it there, as a person would.
        r = prefix.wine(str(first_dialog), *(() if w.warns else ("--cancel",)), winpath(setup))
        shown = r.stdout.replace("\r", "").strip()
        served = LIBRARY_WANTED[prefix.arch]
        if w.warns:
            if not shown.startswith("message: ") or "Redemption" not in shown \
                    or f"for {served}." not in shown or "install Quillamor anyway" not in shown:
                fail(label, f"expected the warning about Redemption for {served}, got {shown!r}")
        elif shown != "window\nexit 1602":
            fail(label, f"expected the setup's first page, then exit code 1602 when cancelled, got {shown!r}")
    prefix.import_reg(outlook_lines(prefix, None))
    set_safe_item_library(prefix, ())
    for line in differences(before, prefix.state(), noise_keys, noise_files):
        fail(f"{prefix.arch}: warning", f"the ended setups left: {line}")


# --- Driven by a deployment tool ------------------------------------------------------------

def expect_code(label, what, rc, *wanted):
    if rc not in wanted:
        fail(label, f"{what}: exit code {rc}, expected {' or '.join(map(str, wanted))}")


def expect_unchanged(label, what, before, prefix, noise_keys, noise_files):
    for line in differences(before, prefix.state(), noise_keys, noise_files):
        fail(label, f"{what} changed: {line}")


def expect_still_running(label, what, output):
    if "still running" not in output:
        fail(label, f"{what}: the running host lost the add-in it had loaded: {output!r}")


def check_signatures(label, prefix, ca, names):
    """Every named installed file carries a valid signature up to the test's root."""
    folder = prefix.path / "drive_c" / INSTALL_DIR_REL
    for name in names:
        r = subprocess.run(["osslsigncode", "verify", "-CAfile", str(ca), "-in", str(folder / name)],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if r.returncode != 0:
            fail(label, f"the installed {name} is not signed as built: {r.stdout.strip().splitlines()[-1:]}")


def run_deployment(prefix, bits, outlook, setups, sources, player, ca, noise_keys, noise_files):
    """The setup as a deployment tool drives it: a log where /LOG= says, a fresh install while
    Outlook runs, the library made a requirement, files held by a running Outlook or another
    program, a failing upgrade, an upgrade under a loaded DLL, the Windows Installer package
    refused beside it and an uninstaller that returns when it is done, each with its exit code."""
    label = f"{prefix.arch}: deployment of the setup ({bits}-bit Outlook)"
    print(f"- {label}", flush=True)
    record_outlook(prefix, outlook)
    before = prefix.state()
    log = f"/LOG={LOG_DIR_WIN}\\setup.log"
    shutil.rmtree(prefix.path / "drive_c" / LOG_DIR_REL, ignore_errors=True)
    (prefix.path / "drive_c" / LOG_DIR_REL).mkdir(parents=True)

    # A log that cannot be written is a failure before anything is done.
    rc = run_setup(prefix, setups["good"], f"/LOG={LOG_DIR_WIN}\\no such folder\\setup.log")
    expect_code(label, "log file not writable", rc, EXIT_LOG_FAILED)
    expect_unchanged(label, "a setup that could not write its log", before, prefix, noise_keys, noise_files)

    # Required and missing: nothing is installed.
    set_safe_item_library(prefix, ())
    rc = run_setup(prefix, setups["good"], f"/REQUIREREDEMPTION {log}")
    expect_code(label, "/REQUIREREDEMPTION without the library", rc, EXIT_NO_LIBRARY)
    expect_unchanged(label, "a setup that required the missing library", before, prefix, noise_keys, noise_files)

    # Required and there, installed while Outlook runs: the add-in loads at its next start.
    set_safe_item_library(prefix, (bits,), file_present=True)
    host = Holder(prefix, bits, "run")
    rc = run_setup(prefix, setups["earlier"], f"/REQUIREREDEMPTION {log}", settle=False)
    host.release()
    expect_code(label, "a fresh install while Outlook runs", rc, EXIT_OK)
    set_safe_item_library(prefix, ())
    check_installed(label + " (earlier version)", prefix, prefix.state(), shipped(setups["earlier"]),
                    version=EARLIER_VERSION)
    if ca:
        check_signatures(label, prefix, ca, ("Quillamor.dll", "Uninstall.exe", "Uninstall.dat"))
    earlier = prefix.state()

    # A file held open by another program: nothing can be replaced, so nothing is.
    host = Holder(prefix, bits, "open", INSTALL_DIR_WIN + r"\Quillamor.chm")
    rc = run_setup(prefix, setups["good"], log, settle=False)
    host.release()
    expect_code(label, "an upgrade with the help file held open", rc, EXIT_IN_USE)
    expect_unchanged(label, "an upgrade that found a file held open", earlier, prefix, noise_keys, noise_files)

    # An upgrade that fails under a running Outlook leaves the earlier version in place.
    host = Holder(prefix, bits, "load", PROGID)
    rc = run_setup(prefix, setups["failing"], log, settle=False)
    expect_still_running(label, "a failed upgrade", host.release())
    expect_code(label, "an upgrade whose DLL does not register", rc, EXIT_FAILED)
    check_installed(label + " (after a failed upgrade)", prefix, prefix.state(), shipped(setups["earlier"]),
                    version=EARLIER_VERSION)

    # An upgrade under a running Outlook: the loaded DLL is moved aside and goes at the
    # restart; the new one is in place for Outlook's next start.
    host = Holder(prefix, bits, "load", PROGID)
    rc = run_setup(prefix, setups["good"], log, settle=False)
    expect_still_running(label, "an upgrade", host.release())
    expect_code(label, "an upgrade of a loaded DLL", rc, EXIT_RESTART)
    state = prefix.state()
    aside = [p for p in pending_deletes(state) if p.lower().startswith(INSTALL_DIR_WIN.lower() + "\\")]
    if not aside:
        fail(label, "the loaded DLL was not set to go at the restart")
    prefix.restart()
    check_installed(label + " (upgraded)", prefix, prefix.state(), sources)
    if player:
        player.play(label, prefix, bits)

    # The setup owns the installation: the package of the same bitness stops.
    installed = prefix.state()
    rc = run_command(prefix, f'msiexec /i "{winpath(msi_package(setups["good"], prefix.arch))}" /qn')
    expect_code(label, "the Windows Installer package over the setup", rc, EXIT_FAILED)
    expect_unchanged(label, "the package refused over the setup", installed, prefix, noise_keys, noise_files)

    # The uninstaller asks Windows for an administrator; without one it changes nothing.
    uninstaller = prefix.path / "drive_c" / INSTALL_DIR_REL / "Uninstall.exe"
    if b'level="requireAdministrator"' not in uninstaller.read_bytes():
        fail(label, "Uninstall.exe carries no manifest asking for an administrator")
    rc = run_command(prefix, f'"{INSTALL_DIR_WIN}\\Uninstall.exe" /S', limited=True)
    expect_code(label, "the uninstaller without an administrator's rights", rc, EXIT_NOT_ADMIN)
    expect_unchanged(label, "an uninstaller without an administrator's rights", installed, prefix, noise_keys,
                     noise_files)

    # Removal under a running Outlook: done when the uninstaller returns, the DLL at the restart.
    host = Holder(prefix, bits, "load", PROGID)
    rc = run_uninstaller(prefix, label, settle=False, held={"Quillamor.dll"},
                         arguments=f"/LOG={LOG_DIR_WIN}\\uninstall.log")
    expect_still_running(label, "the uninstaller", host.release())
    expect_code(label, "removing a loaded add-in", rc, EXIT_RESTART)
    prefix.restart()
    compare_after_uninstall(label, before, prefix.state(), noise_keys, noise_files)

    # Every run appended to the log, each with its header and its exit code, and Outlook's
    # bitness as found.
    said = f"Outlook on this computer is {bits}-bit (its Bitness value)." if outlook else NO_BITNESS
    if said not in (log_text(prefix, "setup.log") or ""):
        fail(label, f"setup.log does not say {said!r}")
    for name, want in (("setup.log", [EXIT_NO_LIBRARY, EXIT_OK, EXIT_IN_USE, EXIT_FAILED, EXIT_RESTART]),
                       ("uninstall.log", [EXIT_RESTART])):
        text = log_text(prefix, name) or ""
        runs = re.findall(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d Quillamor ", text, re.M)
        codes = re.findall(r"Exit code (\d+)\.", text)
        if len(runs) != len(want) or codes != [str(c) for c in want]:
            fail(label, f"{name} has {len(runs)} runs ending {codes}, expected {len(want)} ending {want}")


def shipped(setup):
    """The files that build-installer packed into a setup and the packages beside it (each
    build signs its DLLs anew, and compiles its own help file)."""
    folder = setup.parent
    return {"dll32": folder / "dll32" / "Quillamor.dll", "dll64": folder / "dll64" / "Quillamor.dll",
            "picture": folder / "contactsicon.gif", "chm": folder / "Quillamor.chm"}


def msi_package(setup, arch):
    """The Windows Installer package that build-installer made beside a setup for one Windows
    ("win32" or "win64")."""
    return setup.parent / f"Quillamor-{'x64' if arch == 'win64' else 'x86'}.msi"


def product_code(msi):
    out = subprocess.run(["msiinfo", "export", str(msi), "Property"], check=True, stdout=subprocess.PIPE,
                         text=True).stdout
    return re.search(r"^ProductCode\t(\S+)", out, re.M).group(1)


def x86_package_of_old(package, work):
    """The x86 package as packages before this one were: installable on 64-bit Windows, with
    its folder under ProgramFiles64Folder (which Windows would remap to Program Files (x86)
    for it, and Wine does not)."""
    old = work / "old-x86" / package.name
    old.parent.mkdir(parents=True, exist_ok=True)
    shutil.copyfile(package, old)
    for query in ("DELETE FROM `LaunchCondition` WHERE `Condition` = 'Installed OR NOT VersionNT64'",
                  "INSERT INTO `Directory` (`Directory`, `Directory_Parent`, `DefaultDir`) "
                  "VALUES ('ProgramFiles64Folder', 'TARGETDIR', '.')",
                  "UPDATE `Directory` SET `Directory_Parent` = 'ProgramFiles64Folder' WHERE `Directory` = 'MAKERDIR'"):
        subprocess.run(["msibuild", str(old), "-q", query], check=True)
    return old


def run_msi(prefix, setups, sources, player, first_dialog, noise_keys, noise_files):
    """The Windows Installer package of this Windows: refused without the library when it is
    required, installed while Outlook runs, upgraded under a loaded DLL, used by Outlook of
    every bitness, repaired, not downgraded, not joined by the setup, and removed; on 64-bit
    Windows the x86 package refused."""
    package = msi_package(setups["good"], prefix.arch)
    earlier = msi_package(setups["earlier"], prefix.arch)
    label = f"{prefix.arch}: {package.name}"
    print(f"- {label}", flush=True)
    # Outlook of the DLL that the holder loads; the package does not look.
    bits = max(prefix.dll_bits())
    record_outlook(prefix, None)
    before = prefix.state()
    shutil.rmtree(prefix.path / "drive_c" / LOG_DIR_REL, ignore_errors=True)
    (prefix.path / "drive_c" / LOG_DIR_REL).mkdir(parents=True)

    def msiexec(arguments, settle=True):
        return run_command(prefix, f"msiexec {arguments} /qn", settle)

    rc = msiexec(f'/i "{winpath(package)}" REQUIREREDEMPTION=1')
    expect_code(label, "REQUIREREDEMPTION=1 without the library", rc, EXIT_FAILED)
    expect_unchanged(label, "a package that required the missing library", before, prefix, noise_keys,
                     noise_files)

    if prefix.arch == "win64":
        # The x86 package is for 32-bit Windows only, and says so to a person (Wine's msiexec
        # does not log a launch condition's message, so it is read from its message box).
        x86 = winpath(msi_package(setups["good"], "win32"))
        rc = msiexec(f'/i "{x86}"')
        expect_code(label, "the x86 package on 64-bit Windows", rc, EXIT_FAILED)
        shown = prefix.wine(str(first_dialog), "msiexec", "/i", x86, "/qb").stdout.replace("\r", "").strip()
        if not shown.startswith("message: Quillamor-x86.msi is for 32-bit Windows") or "Quillamor-x64.msi" not in shown:
            fail(label, f"the x86 package refused 64-bit Windows without saying why: {shown!r}")
        # msiexec, ended by the test at that message, leaves Windows Installer's own copy of
        # the package behind (a run to its end, as above, does not).
        prefix.settle()
        for copy in (prefix.path / "drive_c" / "windows" / "Installer").glob("*.msi"):
            if copy.relative_to(prefix.path / "drive_c").as_posix() not in before.files:
                copy.unlink()
        expect_unchanged(label, "the x86 package refused", before, prefix, noise_keys, noise_files)

    host = Holder(prefix, bits, "run")
    rc = msiexec(f'/i "{winpath(earlier)}" /l*v "{LOG_DIR_WIN}\\install.log"', settle=False)
    host.release()
    expect_code(label, "installing the earlier package while Outlook runs", rc, EXIT_OK)
    if "Quillamor" not in (log_text(prefix, "install.log") or ""):
        fail(label, "msiexec wrote no log where /l*v said")
    check_installed(label + " (earlier version)", prefix, prefix.state(), shipped(setups["earlier"]),
                    version=EARLIER_VERSION, msi=True)

    # The upgrade replaces the earlier package in place: one entry, the new files. Windows
    # Installer handles the loaded DLL itself (3010 where it has to wait for the restart).
    host = Holder(prefix, bits, "load", PROGID)
    rc = msiexec(f'/i "{winpath(package)}"', settle=False)
    expect_still_running(label, "an upgrade", host.release())
    expect_code(label, "the upgrade", rc, EXIT_OK, EXIT_RESTART)
    prefix.restart()
    check_installed(label + " (upgraded)", prefix, prefix.state(), sources, msi=True)
    if player:
        # Installed once, it serves Outlook of either bitness, whichever comes.
        for outlook_bits in prefix.dll_bits():
            player.play(label, prefix, outlook_bits)

    # Repair: the DLL and its registration gone, put back. (Wine's msiexec has no /f for
    # an installed product, so the repair is asked for by its properties.)
    damage_installation(prefix)
    rc = msiexec(f'/i "{winpath(package)}" REINSTALL=ALL REINSTALLMODE=omus')
    expect_code(label, "a repair", rc, EXIT_OK)
    installed = prefix.state()
    check_installed(label + " (repaired)", prefix, installed, sources, msi=True)

    rc = msiexec(f'/i "{winpath(earlier)}"')
    expect_code(label, "a downgrade", rc, EXIT_FAILED)
    expect_unchanged(label, "a refused downgrade", installed, prefix, noise_keys, noise_files)

    rc = run_setup(prefix, setups["good"])
    expect_code(label, "the setup over the package", rc, EXIT_OTHER_VERSION)
    expect_unchanged(label, "the setup refused over the package", installed, prefix, noise_keys, noise_files)

    rc = msiexec(f"/x {product_code(package)}")
    expect_code(label, "msiexec /x", rc, EXIT_OK)
    compare_after_uninstall(label, before, prefix.state(), noise_keys, noise_files)


def run_x86_upgraded(prefix, work, setups, sources, player, noise_keys, noise_files):
    """An x86 package as earlier ones went onto 64-bit Windows, with a 32-bit Outlook using it,
    taken over by the x64 package in place: one entry, both DLLs in their folders, nothing of
    the x86 package's left (its 32-bit DLL was where the 64-bit one goes now), and all gone at
    the removal."""
    package = msi_package(setups["good"], "win64")
    label = f"{prefix.arch}: an earlier x86 package upgraded by {package.name}"
    print(f"- {label}", flush=True)
    record_outlook(prefix, ("15.0", "x86", 32))
    before = prefix.state()
    old = x86_package_of_old(msi_package(setups["earlier"], "win32"), work)
    rc = run_command(prefix, f'msiexec /i "{winpath(old)}" /qn /norestart')
    expect_code(label, "installing the earlier x86 package", rc, EXIT_OK)
    check_installed(label + " (earlier x86 package)", prefix, prefix.state(), shipped(setups["earlier"]),
                    version=EARLIER_VERSION, msi=True, folders={32: INSTALL_DIR_REL}, bitnesses=(32,))

    host = Holder(prefix, 32, "load", PROGID)
    rc = run_command(prefix, f'msiexec /i "{winpath(package)}" /qn /norestart', settle=False)
    expect_still_running(label, "the upgrade", host.release())
    expect_code(label, "the upgrade", rc, EXIT_OK, EXIT_RESTART)
    prefix.restart()
    check_installed(label + " (upgraded)", prefix, prefix.state(), sources, msi=True)
    if player:
        player.play(label, prefix, 32)

    rc = run_command(prefix, f"msiexec /x {product_code(package)} /qn /norestart")
    expect_code(label, "msiexec /x", rc, EXIT_OK)
    compare_after_uninstall(label, before, prefix.state(), noise_keys, noise_files)


# Folders of other names than the ones setups always used, with spaces in them.
ELSEWHERE_WIN = r"C:\Apps\Contact Lists"
ELSEWHERE_REL = "Apps/Contact Lists"
ELSEWHERE32_WIN = r"C:\Apps\Contact Lists (32-bit)"
ELSEWHERE32_REL = "Apps/Contact Lists (32-bit)"


def run_msi_elsewhere(prefix, setups, sources, player, noise_keys, noise_files):
    """The package installed into folders of the administrator's choosing (its INSTALLDIR
    property, and INSTALLDIR32 for the 32-bit DLL on 64-bit Windows): the add-in registered
    there, and, played, its button faces and help topic found there, beside the DLL, with
    nothing in the folders setups always used."""
    package = msi_package(setups["good"], prefix.arch)
    label = f"{prefix.arch}: {package.name} into {ELSEWHERE_WIN}"
    print(f"- {label}", flush=True)
    record_outlook(prefix, None)
    # The administrator's own folder of programs, which the package must leave as it found it.
    (prefix.path / "drive_c" / ELSEWHERE_REL).parent.mkdir(exist_ok=True)
    before = prefix.state()
    folders = prefix.folders(ELSEWHERE_REL, ELSEWHERE32_REL)
    properties = f'INSTALLDIR="{ELSEWHERE_WIN}"'
    if prefix.arch == "win64":
        properties += f' INSTALLDIR32="{ELSEWHERE32_WIN}"'
    rc = run_command(prefix, f'msiexec /i "{winpath(package)}" {properties} /qn /norestart')
    expect_code(label, "installing into other folders", rc, EXIT_OK)
    check_installed(label, prefix, prefix.state(), sources, msi=True, folders=folders)
    for rel in prefix.folders().values():
        if (prefix.path / "drive_c" / rel).exists():
            fail(label, f"files went to {rel} as well")
    if player:
        bits = max(prefix.dll_bits())
        player.play(label, prefix, bits, folders[bits])
    rc = run_command(prefix, f"msiexec /x {product_code(package)} /qn /norestart")
    expect_code(label, "msiexec /x", rc, EXIT_OK)
    compare_after_uninstall(label, before, prefix.state(), noise_keys, noise_files)


# The setup driven by a deployment tool: (Outlook's bitness, Outlook as for Case).
DEPLOYMENTS = {
    "win32": [(32, None)],
    "win64": [(64, ("16.0", "x64", 64))],
}


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    for name in ("work", "setup", "earlier-setup", "failing-setup", "dll32", "dll64", "picture", "chm",
                 "first-dialog"):
        parser.add_argument("--" + name, required=True, type=lambda a: pathlib.Path(a).resolve())
    parser.add_argument("--helpers", required=True, type=lambda a: pathlib.Path(a).resolve(),
                        help="folder of run-wait, hold-addin and crash-report, each as NAME32.exe and NAME64.exe")
    for name in ("outlook-sim32", "outlook-sim64", "scenario", "expected", "ca"):
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
    setups = {"good": args.setup, "earlier": args.earlier_setup, "failing": args.failing_setup}
    sources = {"dll32": args.dll32, "dll64": args.dll64, "picture": args.picture, "chm": args.chm}
    archs = args.archs or ["win32", "win64"]
    HELPERS["run-wait"] = {bits: args.helpers / f"run-wait{bits}.exe" for bits in (32, 64)}
    HELPERS["holder"] = {bits: args.helpers / f"hold-addin{bits}.exe" for bits in (32, 64)}
    HELPERS["crash-report"] = {bits: args.helpers / f"crash-report{bits}.exe" for bits in (32, 64)}
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
        # Windows has the keys and the folder of Windows Installer from the start; a fresh
        # prefix makes them at the first package installed. Let that happen now, with a
        # package installed and removed, so that they count as the fresh prefix's state.
        package = msi_package(setups["earlier"], arch)
        for action in ("/i", "/x"):
            if run_command(prefix, f'msiexec {action} "{winpath(package)}" /qn') != 0:
                raise RuntimeError(f"msiexec {action} {package} failed on the fresh prefix")
        # What Wine changes by itself between two starts is not the setup's doing.
        prefix.restart()
        a = prefix.state()
        prefix.restart()
        b = prefix.state()
        noise_keys = frozenset(k for k in set(a.registry) | set(b.registry)
                               if a.registry.get(k) != b.registry.get(k))
        noise_files = frozenset(a.files ^ b.files)
        check_noise(f"{arch}: the fresh prefix", b, noise_keys, noise_files)
        crashed = prefix.crashes()
        if crashed:
            raise RuntimeError(f"a program crashed while the {arch} prefix was made: " + " | ".join(crashed))
        prefix.add_other_user()

        def timed(label, run, *arguments):
            case_started = time.monotonic()
            run(*arguments)
            for line in prefix.crashes():
                fail(f"{arch}: {label}", f"a program crashed: {line.removeprefix('crash: ')}")
            print(f"  ({time.monotonic() - case_started:.0f} s)", flush=True)

        timed("warnings", run_warnings, prefix, setups["good"], args.first_dialog, noise_keys, noise_files)
        for case in CASES[arch]:
            timed(case.name, run_case, prefix, case, setups, sources, player, noise_keys, noise_files)
        for bits, outlook in DEPLOYMENTS[arch]:
            timed(f"deployment, {bits}-bit", run_deployment, prefix, bits, outlook, setups, sources, player, args.ca,
                  noise_keys, noise_files)
        timed("the package", run_msi, prefix, setups, sources, player, args.first_dialog, noise_keys, noise_files)
        if arch == "win64":
            timed("an earlier x86 package upgraded", run_x86_upgraded, prefix, workdir, setups, sources, player,
                  noise_keys, noise_files)
        timed("other folders", run_msi_elsewhere, prefix, setups, sources, player, noise_keys, noise_files)
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
