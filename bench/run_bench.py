#!/usr/bin/env python3
"""Whole runs of the native build at factory scale: wall time, peak memory and the I/O floor.

    run_bench.py [--program PATH ...] [--repeats N] [--quick] [--no-doubling] [--only TEXT]
                 [--compare PATH] [--work FOLDER] [--keep]

For every case a fresh image is made (generate_image.py) in a temporary folder, the program is
copied to <image>/Tools/tilewright and run there with TILEWRIGHT_IMAGE=<image> and
LANG=de_DE.UTF-8. Each run is measured on its own: the wall time around the child process, its
peak resident memory (os.wait4), and then, in the same run and on the same bytes, the I/O floor:
the time plain file copies take to move the bytes the run must move at least:

- default mode: the answer file read and written to a new file twice (the run rewrites it twice),
  each copy flushed to disk once as the run flushes each rewrite, and the bytes of the log
  appended to a file;
- HDIWRITE and MUTINAME: the registry file read and written once and flushed, and the bytes of
  the log appended.

The ratio of the run to its floor is reported, then how the default mode's time grows when the
answer file, the number of tiles and the number of regions double (and MUTINAME's when the
registry tree doubles): a factor near 2 per doubling is linear, near 4 quadratic.

With --compare OTHER, every case is also run with the program OTHER on an identical image, and
the answer file, the registry file, the shortcut folder and the log (timestamps masked) of the two
runs must be byte for byte the same.
"""

import argparse
import os
import re
import shutil
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import generate_image  # noqa: E402

DEFAULT_PROGRAM = os.path.join(HERE, "..", "build", "native", "tilewright")
TIMESTAMP = re.compile(rb"^\[\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\]\t", re.MULTILINE)
FLOOR_CHUNK = 1 << 20
LONG_RUN = 5.0

# name, argument text, image parameters, floor kind
BASE = dict(answer_lines=10000, tiles=500, regions=50, required=30, shortcuts=200,
            registry_keys_count=32)
CASES = [
    ("default, 10,000-line answer file", [], dict(BASE), "answer"),
    ("default, 100,000-line answer file", [], dict(BASE, answer_lines=100000), "answer"),
    ("HDIWRITE, 10,000 registry keys", ["HDIWRITE"], dict(BASE, registry_keys_count=10000),
     "registry"),
    ("MUTINAME, 200 shortcuts, 10,000 registry keys", ["MUTINAME"],
     dict(BASE, registry_keys_count=10000), "registry"),
]
DOUBLINGS = [
    ("answer-file lines", [], "answer_lines", [10000, 20000, 40000]),
    ("add-on tiles", [], "tiles", [250, 500, 1000]),
    ("regions", [], "regions", [25, 50, 100]),
    ("registry keys (MUTINAME)", ["MUTINAME"], "registry_keys_count", [5000, 10000, 20000]),
]


class Measure:
    def __init__(self, wall, floor, peak_kib, exit_code):
        self.wall = wall
        self.floor = floor
        self.peak_kib = peak_kib
        self.exit_code = exit_code


def run_program(image, arguments):
    """Runs the program placed in the image; wall seconds, peak memory in KiB and exit code."""
    program = os.path.join(image, "Tools", "tilewright")
    env = dict(os.environ, TILEWRIGHT_IMAGE=image, LANG="de_DE.UTF-8")
    for name in ("LC_ALL", "LC_MESSAGES", "TILEWRIGHT_REGISTRY"):
        env.pop(name, None)
    start = time.perf_counter()
    pid = os.posix_spawn(program, [program] + arguments, env)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    return wall, usage.ru_maxrss, os.waitstatus_to_exitcode(status)


def copy_flushed(source, target):
    """A plain copy of source into a new file, flushed to disk once."""
    with open(source, "rb", buffering=0) as reading, open(target, "wb", buffering=0) as writing:
        while True:
            chunk = reading.read(FLOOR_CHUNK)
            if not chunk:
                break
            writing.write(chunk)
        os.fsync(writing.fileno())


def io_floor(scratch, source, copies, log_bytes):
    """Seconds to copy source copies times (each flushed) and append the log's bytes."""
    targets = [os.path.join(scratch, f"floor-copy-{n}") for n in range(copies)]
    log_target = os.path.join(scratch, "floor-log")
    for path in targets + [log_target]:
        if os.path.exists(path):
            os.unlink(path)
    start = time.perf_counter()
    for target in targets:
        copy_flushed(source, target)
    with open(log_target, "ab", buffering=0) as log:
        for at in range(0, len(log_bytes), FLOOR_CHUNK):
            log.write(log_bytes[at:at + FLOOR_CHUNK])
    return time.perf_counter() - start


def read_bytes(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return b""


def make_image(work, name, program, params):
    image = os.path.join(work, name)
    if os.path.exists(image):
        shutil.rmtree(image)
    generate_image.generate(image, program, **params)
    return image


def measure(work, program, arguments, params, floor_kind):
    image = make_image(work, "image", program, params)
    scratch = os.path.join(work, "scratch")
    os.makedirs(scratch, exist_ok=True)
    if floor_kind == "answer":
        source = os.path.join(scratch, "answer.xml")
        shutil.copyfile(os.path.join(image, "Windows", "Panther", "unattend.xml"), source)
        copies = 2
    else:
        source = os.path.join(scratch, "HKLM.reg")
        shutil.copyfile(os.path.join(image, "HKLM.reg"), source)
        copies = 1
    wall, peak, code = run_program(image, arguments)
    log_bytes = read_bytes(os.path.join(image, "Logs", "Tilewright.log"))
    floor = io_floor(scratch, source, copies, log_bytes)
    return Measure(wall, floor, peak, code)


def measure_cases(work, programs, arguments, params, floor_kind, repeats):
    """Runs each program repeats times on fresh images, the programs taking turns so that a
    busy machine slows them alike; one Measure (medians) per program. A case whose first run
    takes longer than LONG_RUN seconds is run once."""
    runs = {program: [] for program in programs}
    for turn in range(repeats):
        for program in programs:
            runs[program].append(measure(work, program, arguments, params, floor_kind))
        if turn == 0 and max(r[0].wall for r in runs.values()) > LONG_RUN:
            break
    results = []
    for program in programs:
        measured = runs[program]
        codes = {run.exit_code for run in measured}
        if codes != {0}:
            raise SystemExit(f"{program} ended with exit code {sorted(codes)} (expected 0)")
        results.append(Measure(statistics.median(r.wall for r in measured),
                               statistics.median(r.floor for r in measured),
                               max(r.peak_kib for r in measured), 0))
    return results


def outputs(image):
    """What a run leaves behind, for comparing two programs."""
    result = {}
    result["answer file"] = read_bytes(os.path.join(image, "Windows", "Panther", "unattend.xml"))
    result["answer backup"] = read_bytes(
        os.path.join(image, "Windows", "Panther", "unattend.save.xml"))
    result["registry"] = read_bytes(os.path.join(image, "HKLM.reg"))
    result["log"] = TIMESTAMP.sub(b"[TIME]\t", read_bytes(os.path.join(image, "Logs",
                                                                       "Tilewright.log")))
    folder = os.path.join(image, *generate_image.SHORTCUT_FOLDER.split("\\"))
    result["shortcuts"] = "\n".join(sorted(os.listdir(folder))).encode() if os.path.isdir(
        folder) else b""
    return result


def compare(work, program, other, arguments, params):
    """Runs both programs on identical images; the names of the outputs that differ."""
    results = []
    for name, binary in (("a", program), ("b", other)):
        image = make_image(work, "compare-" + name, binary, params)
        run_program(image, arguments)
        results.append(outputs(image))
    return [key for key in results[0] if results[0][key] != results[1][key]]


def milliseconds(seconds):
    return f"{seconds * 1000:,.0f}"


def load_average():
    try:
        return "{:.1f} {:.1f} {:.1f}".format(*os.getloadavg())
    except OSError:
        return "unknown"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", action="append",
                        help="the native build (default: build/native/tilewright); given more "
                             "than once, the programs are measured in turns, one row each")
    parser.add_argument("--repeats", type=int, default=3, help="runs per case (median reported)")
    parser.add_argument("--quick", action="store_true", help="one run per case")
    parser.add_argument("--no-doubling", action="store_true", help="skip the doubling table")
    parser.add_argument("--compare", metavar="OTHER",
                        help="check that OTHER leaves byte for byte the same outputs")
    parser.add_argument("--only", metavar="TEXT",
                        help="only the runs and doublings whose name holds TEXT (e.g. default)")
    parser.add_argument("--work", help="folder for the images (default: a temporary folder)")
    parser.add_argument("--keep", action="store_true", help="keep the images")
    args = parser.parse_args()
    programs = [os.path.abspath(p) for p in (args.program or [DEFAULT_PROGRAM])]
    for program in programs:
        if not os.access(program, os.X_OK):
            raise SystemExit(f"no program at {program}: build it with "
                             "'cmake --preset native && cmake --build --preset native'")
    repeats = 1 if args.quick else max(1, args.repeats)
    work = args.work or tempfile.mkdtemp(prefix="tilewright-bench-")
    os.makedirs(work, exist_ok=True)
    several = len(programs) > 1
    failed = False
    try:
        for n, program in enumerate(programs, 1):
            print(f"program{f' {n}' if several else ''}: {program}")
        print(f"runs per case: {repeats} (median; a run over {LONG_RUN:.0f} s is not repeated); "
              f"{os.cpu_count()} CPUs, load average {load_average()}\n")
        print(f"| run |{' program |' if several else ''} wall ms | I/O floor ms | ratio | "
              "peak memory MiB |")
        print(f"|---|{'---:|' if several else ''}---:|---:|---:|---:|")
        for name, arguments, params, floor_kind in CASES:
            if args.only and args.only.lower() not in name.lower():
                continue
            measured = measure_cases(work, programs, arguments, params, floor_kind, repeats)
            for n, m in enumerate(measured, 1):
                print(f"| {name} |{f' {n} |' if several else ''} {milliseconds(m.wall)} | "
                      f"{milliseconds(m.floor)} | {m.wall / m.floor:.1f} | "
                      f"{m.peak_kib / 1024:.1f} |", flush=True)
            if args.compare:
                for program in programs:
                    differing = compare(work, program, os.path.abspath(args.compare), arguments,
                                        params)
                    if differing:
                        failed = True
                        print(f"  DIFFERENT from {args.compare}: {', '.join(differing)}",
                              flush=True)
        if not args.no_doubling:
            print(f"\n| input doubled |{' program |' if several else ''} sizes | wall ms | "
                  "growth per doubling |")
            print(f"|---|{'---:|' if several else ''}---|---|---|")
            for name, arguments, key, sizes in DOUBLINGS:
                if args.only and args.only.lower() not in (name + " " + " ".join(
                        arguments or ["default"])).lower():
                    continue
                walls = [[] for _ in programs]
                for size in sizes:
                    params = dict(BASE, **{key: size})
                    measured = measure_cases(work, programs, arguments, params,
                                             "registry" if arguments else "answer", repeats)
                    for n, m in enumerate(measured):
                        walls[n].append(m.wall)
                for n, program_walls in enumerate(walls, 1):
                    growth = " / ".join(f"{b / a:.2f}" for a, b in
                                        zip(program_walls, program_walls[1:]))
                    print(f"| {name} |{f' {n} |' if several else ''} "
                          f"{' / '.join(f'{s:,}' for s in sizes)} | "
                          f"{' / '.join(milliseconds(w) for w in program_walls)} | {growth} |",
                          flush=True)
        print(f"\nload average at the end: {load_average()}")
    finally:
        if not args.keep and not args.work:
            shutil.rmtree(work, ignore_errors=True)
    if failed:
        raise SystemExit(1)


if __name__ == "__main__":
    main()
