#!/usr/bin/env python3
"""Plays the end-to-end scenarios (tests/e2e/scenarios/*) against one build of the program.

    run_scenarios.py --build native|windows --program PATH [--scenario NAME ...] [--keep]

Each scenario folder is one whole run: its image becomes drive C:, its registry.reg the registry,
the program is run with its args and env, and what the run leaves (exit code, log, registry
values below SVDEn, files) is compared with the folder's expected/. README.md describes the
format. Prints a unified diff for every mismatch and ends with the line "N passed, M failed".
"""

import argparse
import difflib
import fnmatch
import hashlib
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import registry_file  # noqa: E402
import wine_prefix  # noqa: E402

SCENARIOS = os.path.join(HERE, "scenarios")
DEFAULT_PROGRAM_FOLDER = "C:\\Tools\\"
DEFAULT_LOG_PATH = "C:\\Logs\\Tilewright.log"
TIMESTAMP = re.compile(r"^\[\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\]\t")
RUN_TIMEOUT = 120
GENERATE_TIMEOUT = 300
LOCALE_VARIABLES = ("LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES")


class ScenarioError(Exception):
    """A scenario folder that cannot be played as it stands."""


# ---------------------------------------------------------------------------------------------
# Scenario folders

class Scenario:
    def __init__(self, folder):
        self.folder = folder
        self.name = os.path.basename(folder)
        args_text = read_text(self.path("args")) or ""
        try:
            self.args = shlex.split(args_text.strip())
        except ValueError as error:
            raise ScenarioError(f"args: {error}") from None
        self.env = {}
        for line in (read_text(self.path("env")) or "").splitlines():
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            name, sep, value = line.partition("=")
            if not sep or not name:
                raise ScenarioError(f"env: not NAME=value: {line!r}")
            self.env[name.strip()] = value
        program = (read_text(self.path("program")) or DEFAULT_PROGRAM_FOLDER).strip()
        self.program_parts = drive_c_parts(program, "program")
        self.program_windows_path = "C:\\" + "".join(p + "\\" for p in self.program_parts)
        builds = read_text(self.path("builds"))
        self.builds = set(builds.split()) if builds is not None else {"native", "windows"}
        if not self.builds <= {"native", "windows"}:
            raise ScenarioError(f"builds: unknown build in {sorted(self.builds)}")
        code = read_text(self.path("expected", "exit_code"))
        if code is None:
            raise ScenarioError("expected/exit_code is missing")
        try:
            self.exit_code = int(code.strip())
        except ValueError:
            raise ScenarioError(f"expected/exit_code: not a number: {code.strip()!r}") from None
        self.log_path = (read_text(self.path("expected", "log_path")) or DEFAULT_LOG_PATH).strip()
        self.log_parts = drive_c_parts(self.log_path, "expected/log_path")
        self.readonly = path_lines(read_text(self.path("readonly")))
        self.unchanged = path_lines(read_text(self.path("expected", "unchanged")))
        self.sha256 = []
        for line in (read_text(self.path("expected", "sha256")) or "").splitlines():
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            digest, _, name = line.partition(" ")
            name = name.strip().lstrip("*")
            if not re.fullmatch(r"[0-9a-fA-F]{64}", digest) or not name:
                raise ScenarioError(f"expected/sha256: not '<sha256>  <path>': {line!r}")
            self.sha256.append((digest.lower(), name))
        self.registry_unchanged = self.has("expected", "registry_unchanged")

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def has(self, *parts):
        return os.path.exists(self.path(*parts))


def read_text(path):
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    return data.decode("utf-8")


def path_lines(text):
    """The paths below C: listed one per line (either separator), without blanks and comments."""
    paths = []
    for line in (text or "").splitlines():
        line = line.strip()
        if line and not line.startswith("#"):
            paths.append(line)
    return paths


def relative_parts(path):
    return [p for p in path.replace("\\", "/").split("/") if p]


def shown_path(path):
    return "C:\\" + "\\".join(relative_parts(path))


def drive_c_parts(windows_path, what):
    """The components below C: of a path such as C:\\Tools\\ (either separator)."""
    path = windows_path.replace("/", "\\")
    if not (len(path) >= 3 and path[0] in "cC" and path[1:3] == ":\\"):
        raise ScenarioError(f"{what}: {windows_path!r} is not a path on drive C:")
    return [p for p in path[3:].split("\\") if p]


# ---------------------------------------------------------------------------------------------
# Host paths below the folder that is drive C:, resolved ignoring case as Windows does

def find_host_path(root, parts):
    """The existing host path of parts below root, each matched exactly or else ignoring case;
    None when something along the way does not exist."""
    current = root
    for part in parts:
        exact = os.path.join(current, part)
        if os.path.lexists(exact):
            current = exact
            continue
        if not os.path.isdir(current):
            return None
        folded = registry_file.fold(part)
        matches = sorted(n for n in os.listdir(current) if registry_file.fold(n) == folded)
        if not matches:
            return None
        current = os.path.join(current, matches[0])
    return current


def place_host_path(root, parts):
    """The host path at which to create parts below root: existing folders are reused whatever
    their case (Wine's C:\\windows receives an image's Windows folder), missing ones are made."""
    current = root
    for index, part in enumerate(parts):
        found = find_host_path(current, [part])
        last = index == len(parts) - 1
        if found is None:
            found = os.path.join(current, part)
            if not last:
                os.mkdir(found)
        current = found
    return current


def copy_image(source, root):
    for folder, subfolders, files in os.walk(source):
        subfolders.sort()
        relative = os.path.relpath(folder, source)
        parts = [] if relative == "." else relative.split(os.sep)
        for name in subfolders:
            target = place_host_path(root, parts + [name])
            os.makedirs(target, exist_ok=True)
        for name in sorted(files):
            target = place_host_path(root, parts + [name])
            # Never write through an existing file: in a Wine prefix it may be shared with the
            # template.
            if os.path.lexists(target):
                os.unlink(target)
            shutil.copy2(os.path.join(folder, name), target)


def generate_files(scenario, root, work):
    """Runs the scenario's generate.py, if any, and places what it wrote on drive C: like image/.
    It is run with an empty folder as its argument and the scenario folder as current folder, so
    that big inputs are made at run time and never kept in the repository."""
    if not scenario.has("generate.py"):
        return
    generated = os.path.join(work, "generated")
    os.mkdir(generated)
    with open(os.path.join(work, "generate.txt"), "wb") as output:
        code = subprocess.run([sys.executable, scenario.path("generate.py"), generated],
                              cwd=scenario.folder, stdin=subprocess.DEVNULL, stdout=output,
                              stderr=subprocess.STDOUT, timeout=GENERATE_TIMEOUT).returncode
    if code != 0:
        with open(os.path.join(work, "generate.txt"), "rb") as f:
            text = f.read().decode("utf-8", "replace").strip()
        raise ScenarioError(f"generate.py ended with exit code {code}:\n{text}")
    copy_image(generated, root)
    shutil.rmtree(generated)


def make_read_only(scenario, root):
    """Takes the write bits off the files listed in readonly; Wine shows such a file with the
    read-only attribute."""
    for path in scenario.readonly:
        host = find_host_path(root, relative_parts(path))
        if host is None or not os.path.isfile(host):
            raise ScenarioError(f"readonly: {shown_path(path)} is not a file of the image")
        os.chmod(host, os.stat(host).st_mode & ~0o222)


def file_digest(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def record_unchanged(scenario, root):
    """The size and hash, just before the run, of every file in expected/unchanged."""
    before = {}
    for path in scenario.unchanged:
        host = find_host_path(root, relative_parts(path))
        if host is None or not os.path.isfile(host):
            raise ScenarioError(f"expected/unchanged: {shown_path(path)} is not a file of the "
                                "image")
        before[path] = (os.path.getsize(host), file_digest(host))
    return before


def prepare_drive_c(scenario, root, work):
    """Fills drive C: before the program is placed: image/, then what generate.py makes."""
    if os.path.isdir(scenario.path("image")):
        copy_image(scenario.path("image"), root)
    generate_files(scenario, root, work)


# ---------------------------------------------------------------------------------------------
# Comparisons; each gives a list of problems, every one a printable text

def shown(lines):
    """Lines for a diff, their ends marked so that trailing blanks show."""
    return [line.replace("\r", "\\r") + "$" for line in lines]


def diff(expected, actual, expected_name, actual_name):
    return "\n".join(difflib.unified_diff(shown(expected), shown(actual), expected_name,
                                          actual_name, lineterm=""))


def split_expected_lines(text):
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return lines


def check_exit_code(scenario, code):
    if code != scenario.exit_code:
        return [f"exit code: expected {scenario.exit_code}, got {code}"]
    return []


def check_log(scenario, root):
    host = find_host_path(root, scenario.log_parts)
    expected = read_text(scenario.path("expected", "log.txt"))
    if expected is None:
        if host is not None:
            return [f"log {scenario.log_path}: exists, but no log may be written"]
        return []
    if host is None or not os.path.isfile(host):
        return [f"log {scenario.log_path}: missing"]
    with open(host, "rb") as f:
        data = f.read()
    problems = []
    if data.startswith(b"\xef\xbb\xbf"):
        problems.append(f"log {scenario.log_path}: begins with a byte-order mark")
        data = data[3:]
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        problems.append(f"log {scenario.log_path}: not UTF-8 ({error})")
        text = data.decode("utf-8", "replace")
    lines = text.split("\r\n")
    if lines[-1] == "":
        lines.pop()
    elif data:
        problems.append(f"log {scenario.log_path}: the last line does not end with CR LF")
    if any("\n" in line or "\r" in line for line in lines):
        problems.append(f"log {scenario.log_path}: a line ends otherwise than with CR LF")
    masked = [TIMESTAMP.sub("[TIME]\t", line) for line in lines]
    expected_lines = split_expected_lines(expected)
    if masked != expected_lines:
        problems.append(f"log {scenario.log_path} differs:\n" +
                        diff(expected_lines, masked, "expected/log.txt", scenario.log_path))
    return problems


def check_files(scenario, root):
    problems = []
    base = scenario.path("expected", "files")
    for folder, subfolders, files in os.walk(base):
        subfolders.sort()
        for name in sorted(files):
            expected_path = os.path.join(folder, name)
            relative = os.path.relpath(expected_path, base)
            host = find_host_path(root, relative.split(os.sep))
            shown_name = "C:\\" + relative.replace(os.sep, "\\")
            if host is None or not os.path.isfile(host):
                problems.append(f"file {shown_name}: missing")
                continue
            with open(expected_path, "rb") as f:
                expected = f.read()
            with open(host, "rb") as f:
                actual = f.read()
            if expected == actual:
                continue
            try:
                expected_lines = expected.decode("utf-8").split("\n")
                actual_lines = actual.decode("utf-8").split("\n")
                detail = diff(expected_lines, actual_lines, "expected/files/" + relative,
                              shown_name)
            except UnicodeDecodeError:
                offset = next((i for i, (a, b) in enumerate(zip(expected, actual)) if a != b),
                              min(len(expected), len(actual)))
                detail = (f"  {len(expected)} bytes expected, {len(actual)} found; first "
                          f"difference at byte {offset}")
            problems.append(f"file {shown_name} differs:\n{detail}")
    return problems


def check_absent(scenario, root):
    problems = []
    for line in (read_text(scenario.path("expected", "absent")) or "").splitlines():
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        parts = [p for p in line.replace("\\", "/").split("/") if p]
        if find_host_path(root, parts) is not None:
            problems.append(f"C:\\{line.replace('/', chr(92))}: exists, but must not")
    return problems


def check_unchanged(root, before):
    problems = []
    for path, (size, digest) in before.items():
        host = find_host_path(root, relative_parts(path))
        if host is None or not os.path.isfile(host):
            problems.append(f"file {shown_path(path)}: missing, but must be unchanged")
            continue
        if os.path.getsize(host) != size or file_digest(host) != digest:
            problems.append(f"file {shown_path(path)}: changed ({size} bytes before the run, "
                            f"{os.path.getsize(host)} after)")
    return problems


def check_sha256(scenario, root):
    problems = []
    for digest, path in scenario.sha256:
        host = find_host_path(root, relative_parts(path))
        if host is None or not os.path.isfile(host):
            problems.append(f"file {shown_path(path)}: missing")
            continue
        actual = file_digest(host)
        if actual != digest:
            problems.append(f"file {shown_path(path)}: sha256 {actual} ({os.path.getsize(host)} "
                            f"bytes), expected {digest}")
    return problems


def check_registry_unchanged(scenario, registry_path):
    """The native registry file against registry.reg, byte for byte."""
    expected = None
    if scenario.has("registry.reg"):
        with open(scenario.path("registry.reg"), "rb") as f:
            expected = f.read()
    actual = None
    if os.path.exists(registry_path):
        with open(registry_path, "rb") as f:
            actual = f.read()
    if actual == expected:
        return []
    if actual is None:
        return ["registry file: missing after the run, but must be unchanged"]
    if expected is None:
        return ["registry file: created by the run, but there was none"]
    return [f"registry file: changed ({len(expected)} bytes before the run, {len(actual)} after)"]


def check_registry(scenario, actual_lines):
    expected = read_text(scenario.path("expected", "registry.txt"))
    if expected is None:
        return []
    expected_lines = split_expected_lines(expected)
    if actual_lines != expected_lines:
        return ["registry below SVDEn differs:\n" +
                diff(expected_lines, actual_lines, "expected/registry.txt", "registry")]
    return []


def check_all(scenario, root, code, registry_lines, before):
    problems = check_exit_code(scenario, code)
    problems += check_log(scenario, root)
    problems += check_registry(scenario, registry_lines)
    problems += check_files(scenario, root)
    problems += check_absent(scenario, root)
    problems += check_unchanged(root, before)
    problems += check_sha256(scenario, root)
    return problems


def program_output(work):
    path = os.path.join(work, "output.txt")
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        text = f.read().decode("utf-8", "replace").strip()
    return f"program output:\n{text}" if text else None


# ---------------------------------------------------------------------------------------------
# The two builds

def clean_environment(extra):
    env = {k: v for k, v in os.environ.items()
           if k not in LOCALE_VARIABLES and not k.startswith("TILEWRIGHT_")}
    env["LANG"] = "C.UTF-8"
    env.update(extra)
    return env


def run_native(scenario, program, work):
    image = os.path.join(work, "image")
    os.mkdir(image)
    prepare_drive_c(scenario, image, work)
    program_copy = place_host_path(image, scenario.program_parts + ["tilewright"])
    os.makedirs(os.path.dirname(program_copy), exist_ok=True)
    shutil.copy2(program, program_copy)
    make_read_only(scenario, image)
    before = record_unchanged(scenario, image)
    registry_path = os.path.join(work, "HKLM.reg")
    if scenario.has("registry.reg"):
        shutil.copyfile(scenario.path("registry.reg"), registry_path)

    env = clean_environment(scenario.env)
    env["TILEWRIGHT_IMAGE"] = image
    env["TILEWRIGHT_REGISTRY"] = registry_path
    with open(os.path.join(work, "output.txt"), "wb") as output:
        started = time.monotonic()
        code = subprocess.run([program_copy] + scenario.args, cwd=image, env=env,
                              stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT,
                              timeout=RUN_TIMEOUT).returncode
        seconds = time.monotonic() - started

    problems = []
    registry = registry_file.Registry()
    if scenario.registry_unchanged:
        # A registry file that is meant to be unreadable is compared, not read.
        problems += check_registry_unchanged(scenario, registry_path)
    elif os.path.exists(registry_path):
        try:
            registry = registry_file.parse_reg_file(registry_path)
        except registry_file.RegFileError as error:
            problems.append(f"registry file after the run: {error}")
    problems += check_all(scenario, image, code, registry_file.normal_form(registry), before)
    return problems, seconds


def exported_registry_lines(env, work, file_name, output):
    if not wine_prefix.regedit_export(env, work, file_name, registry_file.SVDEN_KEY, output):
        return []
    return registry_file.normal_form(registry_file.parse_reg_file(os.path.join(work, file_name)))


def run_windows(scenario, program, work, template):
    prefix = os.path.join(work, "prefix")
    wine_prefix.clone_prefix(template, prefix)
    env = wine_prefix.wine_environment(prefix, scenario.env)
    problems = []
    with open(os.path.join(work, "wine.txt"), "wb") as wine_output:
        wine_prefix.start_server(env, wine_output)
        try:
            if scenario.has("registry.reg"):
                with open(scenario.path("registry.reg"), "rb") as f:
                    text = registry_file.decode_reg_bytes(f.read())
                with open(os.path.join(work, "seed.reg"), "wb") as f:
                    f.write(registry_file.seed_bytes(text))
                wine_prefix.regedit_import(env, work, "seed.reg", wine_output)
                # The seed is read back, so that a quirk of regedit shows as such and not as a
                # fault of the program.
                wanted = registry_file.normal_form(registry_file.parse_reg_text(text))
                seeded = exported_registry_lines(env, work, "seeded.reg", wine_output)
                if seeded != wanted:
                    problems.append("Wine's regedit seeded another registry than registry.reg:\n" +
                                    diff(wanted, seeded, "registry.reg", "seeded"))
            drive_c = os.path.join(prefix, "drive_c")
            prepare_drive_c(scenario, drive_c, work)
            program_copy = place_host_path(drive_c, scenario.program_parts + ["Tilewright.exe"])
            os.makedirs(os.path.dirname(program_copy), exist_ok=True)
            shutil.copy2(program, program_copy)
            make_read_only(scenario, drive_c)
            before = record_unchanged(scenario, drive_c)

            command = [wine_prefix.WINE, scenario.program_windows_path + "Tilewright.exe"]
            with open(os.path.join(work, "output.txt"), "wb") as output:
                started = time.monotonic()
                code = wine_prefix.run_logged(command + scenario.args, env, output, cwd=drive_c,
                                              timeout=RUN_TIMEOUT)
                seconds = time.monotonic() - started
            registry_lines = exported_registry_lines(env, work, "after.reg", wine_output)
        finally:
            wine_prefix.stop_server(env, wine_output)
    problems += check_all(scenario, drive_c, code, registry_lines, before)
    return problems, seconds


# ---------------------------------------------------------------------------------------------

def select_scenarios(root, patterns):
    if not os.path.isdir(root):
        return []
    names = sorted(n for n in os.listdir(root) if os.path.isdir(os.path.join(root, n)))
    if not patterns:
        return names
    chosen = [n for n in names if any(fnmatch.fnmatchcase(n, p) for p in patterns)]
    unknown = [p for p in patterns if not any(fnmatch.fnmatchcase(n, p) for n in names)]
    if unknown:
        raise SystemExit(f"no scenario named {', '.join(unknown)}")
    return chosen


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", choices=("native", "windows"), required=True)
    parser.add_argument("--program", required=True,
                        help="the built program (tilewright or Tilewright.exe)")
    parser.add_argument("--scenario", action="append", default=[],
                        help="play only this scenario (a name or a pattern); repeatable")
    parser.add_argument("--scenarios", default=SCENARIOS,
                        help="the folder of scenario folders (default: %(default)s)")
    parser.add_argument("--keep", action="store_true",
                        help="keep the folders of the runs (and the Wine prefixes)")
    options = parser.parse_args()

    program = os.path.abspath(options.program)
    if not os.path.isfile(program):
        print(f"no program at {program}")
        print("0 passed, 1 failed")
        return 1
    root = os.path.abspath(options.scenarios)
    names = select_scenarios(root, options.scenario)
    base = tempfile.mkdtemp(prefix=f"tilewright-e2e-{options.build}-")
    template = None
    passed = failed = skipped = 0
    try:
        if options.build == "windows" and names:
            problem = wine_prefix.check_wine()
            if problem:
                print(problem)
                print(f"0 passed, {len(names)} failed")
                return 1
            template = os.path.join(base, "template")
            with open(os.path.join(base, "wineboot.txt"), "wb") as output:
                seconds = wine_prefix.make_template(template, output)
            print(f"Wine prefix template made in {seconds:.1f} s", flush=True)

        for name in names:
            started = time.monotonic()
            program_seconds = None
            work = os.path.join(base, name)
            os.mkdir(work)
            try:
                scenario = Scenario(os.path.join(root, name))
                if options.build not in scenario.builds:
                    print(f"SKIP {name} (only for {', '.join(sorted(scenario.builds))})")
                    skipped += 1
                    continue
                if options.build == "native":
                    problems, program_seconds = run_native(scenario, program, work)
                else:
                    problems, program_seconds = run_windows(scenario, program, work, template)
            except (ScenarioError, registry_file.RegFileError) as error:
                problems = [f"cannot play the scenario: {error}"]
            except subprocess.TimeoutExpired as error:
                problems = [f"timed out: {' '.join(map(str, error.cmd))}"]
            seconds = time.monotonic() - started
            timing = f"{seconds:.1f} s"
            if program_seconds is not None:
                timing += f", program {program_seconds:.1f} s"
            if problems:
                failed += 1
                print(f"FAIL {name} ({timing})")
                if program_output(work):
                    problems.append(program_output(work))
                for problem in problems:
                    print("  " + problem.replace("\n", "\n  "))
                if options.keep:
                    print(f"  kept in {work}")
            else:
                passed += 1
                print(f"PASS {name} ({timing})")
            sys.stdout.flush()
            if not options.keep:
                shutil.rmtree(work, ignore_errors=True)
    finally:
        if options.keep:
            print(f"run folders kept in {base}")
        else:
            shutil.rmtree(base, ignore_errors=True)
    if skipped:
        print(f"{skipped} skipped")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
