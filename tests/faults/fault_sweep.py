#!/usr/bin/env python3
"""Fails, and kills, every platform call that a default-mode, an HDIWRITE and a MUTINAME run make.

    fault_sweep.py --program PATH [--mode default|hdiwrite|mutiname ...] [--how fail,diskfull,kill]
                   [--keep]

PATH is tilewright_faults, the program built with failure points (TILEWRIGHT_FAULT,
TILEWRIGHT_FAULT_COUNT). For each mode a small image is made: an answer file with a StartTiles
section inside the oobeSystem Shell-Setup component, a registry with the 30 slot keys under SVDEn,
add-on tiles (one declaring localised shortcut names), a shortcut and a configuration logging to
C:\\Logs. A clean run counts the calls of each operation and gives the expected result; then the
run is repeated on a fresh copy of the image once for every call, that call failing ("fail"),
failing as a full disk ("diskfull") or killing the program ("kill"). After each run:

- the answer file is byte for byte its old content or the clean run's new content;
- the registry file parses, no key comes or goes, and each value is as before or as the clean run
  left it; the slot values of the default mode are cleared only when the answer file is new;
- the default mode's exit code is 1 whenever the answer file did not receive its new content,
  the other modes' is 0;
- after a run that was not killed, no temporary copy (unattend.*.xml beside the program, a
  ".*.tilewright-new" file) is left anywhere in the image;
- MUTINAME: the shortcut is at exactly one of its old and its new path with its bytes, and a
  registry value that changed names the new path, where the shortcut is;
- after a kill, a clean run of the same mode on what the killed run left completes: the default
  mode writes one complete section (the clean run's, when the killed run had not yet replaced the
  answer file) and clears the registry layout; the other modes reach the clean run's result.

Prints the calls per operation of each mode and ends with the line "N passed, M failed" (one
point per run checked).
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

import registry_file  # noqa: E402

OPERATIONS = ("Open", "Create", "Write", "Flush", "Rename", "Copy", "Delete", "RegistryOpen",
              "RegistrySet", "RegistryDelete")
HOWS = ("fail", "diskfull", "kill")
MODES = ("default", "hdiwrite", "mutiname")
ARGUMENTS = {"default": [], "hdiwrite": ["HDIWRITE"], "mutiname": ["MUTINAME"]}
RUN_TIMEOUT = 60

SVDEN = registry_file.SVDEN_KEY
ANSWER = "Windows/Panther/unattend.xml"
REGISTRY = "HKLM.reg"
PROGRAM = "Tools/tilewright"
OLD_SHORTCUT = "Shortcuts/Desktop Apps/Support.lnk"
NEW_SHORTCUT = "Shortcuts/Desktop Apps/Kundendienst.lnk"
SHORTCUT_BYTES = b"L\x00\x00\x00\x01\x14\x02\x00 shortcut to the support program"
LANGUAGE = "de_DE.UTF-8"  # MutiName key de-DE


# ---------------------------------------------------------------------------------------------
# The image

BOM = "\ufeff"

CONFIG = """\
; configuration of the fault sweep's image
[Path]
LogPath=C:\\Logs
TilesDataPath=C:\\Tiles

[Default]
WideTile1=Contoso.News_8wekyb3d8bbwe!App
WideTile2=Contoso.Weather_8wekyb3d8bbwe!App
SquareTile1=Contoso.Store_8wekyb3d8bbwe!App
SquareTile2=Contoso.Music_8wekyb3d8bbwe!App
SquareTile5=Contoso.Video_8wekyb3d8bbwe!App
SquareOrDesktopTile1=C:\\Shortcuts\\Paint.lnk

[Requirement]
AppIdOrPath1=Contoso.Store_8wekyb3d8bbwe!App

[OnlySupportSquare]
AppIdOrPath1=Contoso.Video_8wekyb3d8bbwe!App

[BackupItem]
AppIdOrPath=C:\\Shortcuts\\Calculator.lnk
"""

TILES = {
    "10-Photos.ini": """\
[TileInfo]
Type=Modern
AppIdOrPath=Fabrikam.Photos_1a2b3c!App
DefaultSize=Wide
SortScore=20
""",
    "20-Support.ini": """\
[TileInfo]
Type=Desktop
AppIdOrPath=C:\\Shortcuts\\Desktop Apps\\Support.lnk
SortScore=10
SupportMuti=TRUE

[MutiName]
de-DE=Kundendienst
fr-FR=Assistance
""",
    "30-Maps.ini": """\
[TileInfo]
Type=Modern
AppIdOrPath=Fabrikam.Maps_9z8y7x!App
DefaultSize=Square
SortScore=5

[SupportRegion]
Region1=US
Region2=CA
""",
}

COMPONENT_ATTRIBUTES = ('processorArchitecture="amd64" publicKeyToken="31bf3856ad364e35" '
                        'language="neutral" versionScope="nonSxS"')

ANSWER_TEXT = BOM + f"""\
<?xml version="1.0" encoding="utf-8"?>
<unattend xmlns="urn:schemas-microsoft-com:unattend">
    <settings pass="auditSystem">
        <component name="Microsoft-Windows-Shell-Setup" {COMPONENT_ATTRIBUTES}>
            <ComputerName>*</ComputerName>
        </component>
    </settings>
    <settings pass="oobeSystem">
        <component name="Microsoft-Windows-International-Core" {COMPONENT_ATTRIBUTES}>
            <UILanguage>de-DE</UILanguage>
        </component>
        <component name="Microsoft-Windows-Shell-Setup" {COMPONENT_ATTRIBUTES}>
\t\t\t<StartTiles>
\t\t\t\t<WideTiles>
\t\t\t\t\t<WideTile1>
\t\t\t\t\t\t<AppId>Contoso.Mail_8wekyb3d8bbwe!App</AppId>
\t\t\t\t\t</WideTile1>
\t\t\t\t</WideTiles>
\t\t\t\t<SquareTiles>
\t\t\t\t\t<SquareTile1>
\t\t\t\t\t\t<AppId>Contoso.Store_8wekyb3d8bbwe!App</AppId>
\t\t\t\t\t</SquareTile1>
\t\t\t\t\t<SquareOrDesktopTile1>
\t\t\t\t\t\t<AppIdOrPath>C:\\Program Files\\Tom &amp; Jerry\\Cartoons.lnk</AppIdOrPath>
\t\t\t\t\t</SquareOrDesktopTile1>
\t\t\t\t</SquareTiles>
\t\t\t</StartTiles>
            <OOBE>
                <HideEULAPage>true</HideEULAPage>
            </OOBE>
        </component>
    </settings>
</unattend>
""".replace("\n", "\r\n")

# Slot values of the registry before the run, by key below SVDEn.
REGISTRY_SLOTS = {
    "WideTiles\\WideTile2": ("AppId", "Contoso.Weather_8wekyb3d8bbwe!App"),
    "SquareTiles\\SquareTile3": ("AppId", "Contoso.Calendar_8wekyb3d8bbwe!App"),
    "SquareTiles\\SquareTile4": ("AppId", "Contoso.People_8wekyb3d8bbwe!App"),
    "SquareTiles\\SquareOrDesktopTile2":
        ("AppIdOrPath", "C:\\Shortcuts\\Desktop Apps\\Support.lnk"),
    "SquareTiles\\SquareOrDesktopTile3":
        ("AppIdOrPath", "c:\\shortcuts\\desktop apps\\support.lnk"),
    "SquareTiles\\SquareOrDesktopTile4": ("AppIdOrPath", "C:\\Shortcuts\\Paint.lnk"),
}


def slot_keys():
    keys = [f"WideTiles\\WideTile{n}" for n in range(1, 7)]
    keys += [f"SquareTiles\\SquareTile{n}" for n in range(1, 13)]
    keys += [f"SquareTiles\\SquareOrDesktopTile{n}" for n in range(1, 13)]
    return keys


def reg_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def registry_text():
    lines = ["Windows Registry Editor Version 5.00", ""]

    def key(path, values=()):
        lines.append(f"[HKEY_LOCAL_MACHINE\\{path}]")
        for name, text in values:
            lines.append(f"{reg_string(name)}={reg_string(text)}")
        lines.append("")

    explorer = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer"
    key(explorer, [("ShellState", "kept as it is")])
    key(explorer + "\\SVDEn")
    key(explorer + "\\SVDEn\\WideTiles")
    key(explorer + "\\SVDEn\\SquareTiles")
    for below in slot_keys():
        slot = REGISTRY_SLOTS.get(below)
        key(explorer + "\\SVDEn\\" + below, [slot] if slot else [])
    # A deeper key that names the shortcut too, for the MUTINAME walk.
    key(explorer + "\\SVDEn\\Extra\\Deeper",
        [("AppIdOrPath", "C:\\Shortcuts\\Desktop Apps\\Support.lnk")])
    return "\r\n".join(lines) + "\r\n"


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_image(folder, program):
    write_file(os.path.join(folder, "Tools", "Tilewright.ini"),
               CONFIG.replace("\n", "\r\n").encode())
    for name, text in TILES.items():
        write_file(os.path.join(folder, "Tiles", name), text.replace("\n", "\r\n").encode())
    write_file(os.path.join(folder, ANSWER), ANSWER_TEXT.encode("utf-8"))
    write_file(os.path.join(folder, REGISTRY), b"\xff\xfe" + registry_text().encode("utf-16-le"))
    write_file(os.path.join(folder, OLD_SHORTCUT), SHORTCUT_BYTES)
    os.makedirs(os.path.join(folder, "Logs"))
    shutil.copy2(program, os.path.join(folder, PROGRAM))


def copy_image(template, target):
    """A fresh copy of the template; the program is linked, not copied, when the volume allows."""
    if os.path.exists(target):
        shutil.rmtree(target)

    def copy(source, destination):
        if os.path.basename(source) == os.path.basename(PROGRAM):
            try:
                os.link(source, destination)
                return destination
            except OSError:
                pass
        return shutil.copy2(source, destination)

    shutil.copytree(template, target, copy_function=copy)


# ---------------------------------------------------------------------------------------------
# Running and looking at an image

class Outcome:
    """What one run left: exit code, files, registry, counts."""

    def __init__(self, image, returncode, count_file):
        self.returncode = returncode
        self.answer = read_bytes(os.path.join(image, ANSWER))
        self.files = {}
        for root, _, names in os.walk(image):
            for name in names:
                relative = os.path.relpath(os.path.join(root, name), image).replace(os.sep, "/")
                self.files[relative] = os.path.join(root, name)
        self.registry_error = None
        self.values = None
        self.keys = None
        try:
            registry = registry_file.parse_reg_file(os.path.join(image, REGISTRY))
            self.keys = set(registry.keys)
            self.values = {}
            for folded, (_, key_values) in registry.keys.items():
                for folded_name, (_, value_type, data) in key_values.items():
                    self.values[(folded, folded_name)] = (value_type, data)
        except (OSError, registry_file.RegFileError) as error:
            self.registry_error = str(error)
        self.counts = {}
        self.fired = []
        for line in (read_bytes(count_file) or b"").decode().splitlines():
            parts = line.split()
            if len(parts) == 2 and parts[0] in OPERATIONS:
                self.counts[parts[0]] = int(parts[1])
            elif len(parts) == 4 and parts[0] == "fired":
                self.fired.append((parts[1], int(parts[2]), parts[3]))
        self.log = (read_bytes(os.path.join(image, "Logs", "Tilewright.log")) or b"").decode(
            "utf-8", "replace")

    def stray_files(self):
        """Temporary copies: anything named unattend.* beside the program, and any file named
        ".*.tilewright-new"."""
        stray = []
        for relative in self.files:
            folder, name = os.path.split(relative)
            if folder == "Tools" and name.lower().startswith("unattend."):
                stray.append(relative)
            elif name.endswith(".tilewright-new"):
                stray.append(relative)
        return sorted(stray)


def read_bytes(path):
    if path is None:
        return None
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def run_program(image, mode, fault=None, count_file=None, echo_errors=True):
    env = {name: value for name, value in os.environ.items()
           if not name.startswith(("TILEWRIGHT_", "LC_", "LANG"))}
    env["TILEWRIGHT_IMAGE"] = image
    env["LANG"] = LANGUAGE
    if fault:
        env["TILEWRIGHT_FAULT"] = fault
    if count_file:
        if os.path.exists(count_file):
            os.remove(count_file)
        env["TILEWRIGHT_FAULT_COUNT"] = count_file
    completed = subprocess.run([os.path.join(image, PROGRAM)] + ARGUMENTS[mode], env=env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, timeout=RUN_TIMEOUT)
    if completed.stderr and echo_errors:
        sys.stderr.write(completed.stderr.decode("utf-8", "replace"))
    return Outcome(image, completed.returncode, count_file)


def slot_value_keys():
    """(folded key, folded value name) of the 30 slot values."""
    result = []
    for below in slot_keys():
        name = "AppIdOrPath" if "SquareOrDesktopTile" in below else "AppId"
        result.append((registry_file.fold(SVDEN + "\\" + below), registry_file.fold(name)))
    return result


# ---------------------------------------------------------------------------------------------
# The invariants

def check_registry_common(before, after, problems):
    if after.registry_error:
        problems.append(f"the registry file does not parse: {after.registry_error}")
        return False
    if after.keys != before.keys:
        problems.append("registry keys came or went: " +
                        ", ".join(sorted(after.keys.symmetric_difference(before.keys))))
    return True


def changed_values(before, after):
    names = set(before.values) | set(after.values)
    return sorted(n for n in names if before.values.get(n) != after.values.get(n))


def split_section(answer):
    """The lines of the answer file outside its StartTiles section, and the section's lines."""
    outside, section = [], []
    inside = False
    for line in (answer or b"").split(b"\r\n"):
        if b"<StartTiles>" in line:
            inside = True
        (section if inside else outside).append(line)
        if b"</StartTiles>" in line:
            inside = False
    return outside, section


def section_complete(section):
    """One StartTiles element whose elements all open and close on their own lines, in order."""
    open_elements = []
    for line in section:
        text = line.strip(b"\t").decode("utf-8", "replace")
        if text.startswith("</"):
            if not open_elements or open_elements.pop() != text[2:-1]:
                return False
        elif text.startswith("<") and text.endswith(">") and "</" not in text:
            open_elements.append(text[1:-1])
    return (bool(section) and section[0].strip(b"\t") == b"<StartTiles>" and
            section[-1].strip(b"\t") == b"</StartTiles>" and not open_elements)


def answer_is_new(clean, after):
    """The clean run's new content, or that content with another complete section (a run whose
    failure changed what it read, a registry value for instance, computes another layout)."""
    if after.answer == clean.answer:
        return True
    outside, section = split_section(after.answer)
    return outside == split_section(clean.answer)[0] and section_complete(section)


def check_default(old, clean, after, killed, problems):
    answer_new = answer_is_new(clean, after)
    if after.answer != old.answer and not answer_new:
        problems.append("the answer file is neither its old nor its complete new content")
    if check_registry_common(old, after, problems):
        slots = set(slot_value_keys())
        for name in changed_values(old, after):
            if name not in slots or name in after.values:
                problems.append(f"registry value changed otherwise than cleared: {name}")
            elif not answer_new:
                problems.append(f"registry value {name} cleared while the answer file is not new")
    if not killed:
        if not answer_new and after.returncode != 1:
            problems.append(f"exit code {after.returncode} although the answer file was not "
                            "written")
        if answer_new and after.returncode != 0:
            problems.append(f"exit code {after.returncode} although the answer file was written")
        if after.returncode == 1 and changed_values(old, after):
            problems.append("the registry was changed by a run that failed")


def check_hdiwrite(old, clean, after, killed, problems):
    if after.answer != old.answer:
        problems.append("HDIWRITE changed the answer file")
    if check_registry_common(old, after, problems):
        for name in changed_values(old, after):
            if after.values.get(name) != clean.values.get(name):
                problems.append(f"registry value {name} is neither as before nor as written")
    if not killed and after.returncode != 0:
        problems.append(f"exit code {after.returncode}, expected 0")


def check_mutiname(old, clean, after, killed, problems):
    if after.answer != old.answer:
        problems.append("MUTINAME changed the answer file")
    at_old = OLD_SHORTCUT in after.files
    at_new = NEW_SHORTCUT in after.files
    if at_old == at_new:
        problems.append("the shortcut is at " + ("both paths" if at_old else "neither path"))
    for present, path in ((at_old, OLD_SHORTCUT), (at_new, NEW_SHORTCUT)):
        if present and read_bytes(after.files[path]) != SHORTCUT_BYTES:
            problems.append(f"the shortcut at {path} lost its bytes")
    if check_registry_common(old, after, problems):
        for name in changed_values(old, after):
            if after.values.get(name) != clean.values.get(name):
                problems.append(f"registry value {name} is neither as before nor as renamed")
            elif not at_new:
                problems.append(f"registry value {name} names the new path, where no file is")
    if not killed and after.returncode != 0:
        problems.append(f"exit code {after.returncode}, expected 0")


CHECKS = {"default": check_default, "hdiwrite": check_hdiwrite, "mutiname": check_mutiname}


def notable(mode, old, clean, after):
    """What a run that held still did differently from the clean run, worth a line in the
    summary."""
    if mode == "default" and after.answer not in (old.answer, clean.answer):
        return "wrote another complete section (a failed read changed the layout)"
    if (mode == "mutiname" and NEW_SHORTCUT in after.files and after.values is not None and
            any(after.values.get(name) == old.values.get(name)
                for name in changed_values(old, clean))):
        return "left values naming the old path after the shortcut moved"
    return None


def check_rerun(mode, old, clean, killed, rerun, problems):
    """A clean run after a kill completes the mode's work."""
    if rerun.returncode != 0:
        problems.append(f"the rerun after the kill ended with exit code {rerun.returncode}")
    if rerun.stray_files():
        problems.append("the rerun left " + ", ".join(rerun.stray_files()))
    if rerun.registry_error:
        problems.append(f"the registry file does not parse after the rerun: {rerun.registry_error}")
        return
    if mode == "default":
        if killed.answer == old.answer and rerun.answer != clean.answer:
            problems.append("the rerun's answer file differs from the clean run's")
        text = (rerun.answer or b"").decode("utf-8", "replace")
        if text.count("<StartTiles>") != 1 or text.count("</StartTiles>") != 1:
            problems.append("the rerun's answer file does not hold exactly one StartTiles section")
        for name in slot_value_keys():
            if name in rerun.values:
                problems.append(f"the rerun left the slot value {name}")
    elif mode == "hdiwrite":
        if rerun.values != clean.values:
            problems.append("the rerun's registry differs from the clean run's")
    elif mode == "mutiname":
        # Also when the kill came after the rename: the rerun makes the registry follow the
        # shortcut that the killed run moved.
        if rerun.values != clean.values or NEW_SHORTCUT not in rerun.files:
            problems.append("the rerun did not reach the clean run's result")


def deletion_logged(operation, after):
    """A copy may stay only when deleting it was the call that failed, and the log says so."""
    if operation != "Delete" or len(after.stray_files()) != 1:
        return False
    name = after.stray_files()[0].replace("/", "\\")
    return f"Deleting C:\\{name} failed (" in after.log


# ---------------------------------------------------------------------------------------------
# The sweep

def sweep_mode(mode, program, work, hows, report):
    template = os.path.join(work, mode, "template")
    image = os.path.join(work, mode, "image")
    count_file = os.path.join(work, mode, "counts.txt")
    make_image(template, program)

    copy_image(template, image)
    old = Outcome(image, None, None)
    clean = run_program(image, mode, count_file=count_file)
    problems = []
    if clean.returncode != 0:
        problems.append(f"the clean run ended with exit code {clean.returncode}")
    if clean.stray_files():
        problems.append("the clean run left " + ", ".join(clean.stray_files()))
    if mode == "default" and clean.answer == old.answer:
        problems.append("the clean run did not change the answer file")
    if mode != "default" and clean.values == old.values:
        problems.append("the clean run did not change the registry")
    if set(clean.counts) != set(OPERATIONS):
        problems.append("the clean run wrote no call counts; is PATH the program with failure "
                        "points?")
    report.add(f"{mode}: clean run", problems)
    if problems:
        return

    total = sum(clean.counts.values())
    print(f"{mode}: {total} failure points: " +
          ", ".join(f"{op} {clean.counts[op]}" for op in OPERATIONS), flush=True)
    for how in hows:
        held = 0
        notes = {}
        for operation in OPERATIONS:
            for call in range(1, clean.counts[operation] + 1):
                fault = f"{operation}:{call}:{how}"
                copy_image(template, image)
                after = run_program(image, mode, fault=fault, count_file=count_file)
                killed = how == "kill"
                problems = []
                if killed:
                    if after.returncode != -9:
                        problems.append(f"the program was not killed (exit code "
                                        f"{after.returncode})")
                elif (operation, call, how) not in after.fired:
                    problems.append("the failure was never injected (the run took another road)")
                elif after.stray_files() and not deletion_logged(operation, after):
                    problems.append("left behind: " + ", ".join(after.stray_files()))
                CHECKS[mode](old, clean, after, killed, problems)
                note = notable(mode, old, clean, after)
                if note:
                    notes.setdefault(note, []).append(f"{operation}:{call}")
                if killed:
                    rerun = run_program(image, mode)
                    check_rerun(mode, old, clean, after, rerun, problems)
                    # The default mode run again over its own new section computes another
                    # one; only the shortcut's registry values tell something after a rerun.
                    note = notable(mode, old, clean, rerun) if mode == "mutiname" else None
                    if note:
                        notes.setdefault(note + " (still after a clean rerun)", []).append(
                            f"{operation}:{call}")
                if report.add(f"{mode} {fault}", problems):
                    held += 1
        print(f"{mode}: {how}: {held} of {total} held", flush=True)
        for note, faults in sorted(notes.items()):
            print(f"{mode}: {how}: {len(faults)} {note}: {' '.join(faults)}", flush=True)


def check_fault_settings(program, work, report):
    """A setting the failure points cannot understand stops the program before it does anything;
    names and kinds are taken in any letter case."""
    template = os.path.join(work, "settings", "template")
    image = os.path.join(work, "settings", "image")
    count_file = os.path.join(work, "settings", "counts.txt")
    make_image(template, program)
    for setting, understood in (("Open:1:fail", True), ("registrydelete:2:DiskFull", True),
                                ("Open:1:fail,Write:3:kill", True), ("Open:0:fail", False),
                                ("Opening:1:fail", False), ("Open:1", False),
                                ("Open:x:fail", False), ("Open:1:crash", False)):
        copy_image(template, image)
        outcome = run_program(image, "hdiwrite", fault=setting, count_file=count_file,
                              echo_errors=understood)
        problems = []
        if understood and outcome.returncode == 2:
            problems.append("a setting that is right was refused")
        if not understood and (outcome.returncode != 2 or outcome.log):
            problems.append("a wrong setting did not stop the program before it started")
        report.add(f"setting {setting}", problems)


class Report:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def add(self, name, problems):
        if problems:
            self.failed += 1
            print(f"FAILED {name}:")
            for problem in problems:
                print(f"    {problem}")
            return False
        self.passed += 1
        return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True, help="tilewright_faults")
    parser.add_argument("--mode", action="append", choices=MODES, help="default: all three")
    parser.add_argument("--how", default=",".join(HOWS),
                        help="comma-separated: " + ", ".join(HOWS))
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    args = parser.parse_args()
    hows = [h for h in args.how.split(",") if h]
    if any(h not in HOWS for h in hows):
        parser.error("--how takes " + ", ".join(HOWS))
    program = os.path.abspath(args.program)

    work = tempfile.mkdtemp(prefix="tilewright-faults-")
    report = Report()
    try:
        check_fault_settings(program, work, report)
        for mode in args.mode or MODES:
            sweep_mode(mode, program, work, hows, report)
    finally:
        if args.keep:
            print(f"work folder kept: {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)
    print(f"{report.passed} passed, {report.failed} failed")
    return 0 if report.failed == 0 and report.passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
