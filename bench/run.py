#!/usr/bin/env python3
"""Benchmarks trevalo-report on generated logs and prints a table.

Builds in Release (build-release/), generates its inputs with ../shared/tools/genlog.py into
bench/out/ (kept between runs), and times each case with /usr/bin/time -v: wall and CPU
seconds, lines per second, peak resident memory. Where GoAccess or Webalizer are installed,
they run on the same file in the same run and the ratios are printed.

  bench/run.py                 all cases
  bench/run.py --quick         only the 1M-line combined case
  bench/run.py --cases a,b     chosen cases (names as printed)
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "bench", "out")
GENLOG = os.path.join(os.path.dirname(ROOT), "shared", "tools", "genlog.py")
REPORT = os.path.join(ROOT, "build-release", "bin", "trevalo-report")

# name: (genlog arguments, trevalo-report arguments, compare with peers)
CASES = {
    "combined-1M": (["-n", "1000000", "--junk-rate", "0"], ["--json"], True),
    "combined-5M": (["-n", "5000000", "--junk-rate", "0"], ["--json"], False),
    "distinct-1M": (["-n", "1000000", "--junk-rate", "0", "--ips", "500000", "--paths", "200000"], ["--json"], False),
    "process-1M": (["-n", "1000000", "--junk-rate", "0"], ["--json", "--process", "--main-page", "/"], False),
    "w3c-1M": (["-n", "1000000", "--junk-rate", "0", "--format", "w3c"], ["--json"], False),
}


def log_file(genargs):
    name = "log" + "".join(a.replace("-", "_") for a in genargs) + ".log"
    path = os.path.join(OUT, name)
    if not os.path.exists(path):
        print(f"generating {os.path.basename(path)} ...", file=sys.stderr)
        subprocess.run([sys.executable, GENLOG, *genargs, "-o", path + ".tmp"], check=True)
        os.replace(path + ".tmp", path)
    return path


def timed(cmd, cwd=None):
    """Runs cmd under /usr/bin/time -v; returns (wall s, cpu s, peak MB, stdout)."""
    with tempfile.NamedTemporaryFile("r", suffix=".time") as t:
        proc = subprocess.run(["/usr/bin/time", "-v", "-o", t.name, *cmd], cwd=cwd,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        report = t.read()
    if proc.returncode not in (0,):
        raise RuntimeError(f"{cmd[0]} exited with {proc.returncode}")
    def field(label):
        return re.search(re.escape(label) + r":\s*(.+)", report).group(1).strip()
    user = float(field("User time (seconds)"))
    system = float(field("System time (seconds)"))
    wall_text = field("Elapsed (wall clock) time (h:mm:ss or m:ss)")
    parts = [float(p) for p in wall_text.split(":")]
    wall = sum(p * 60 ** i for i, p in enumerate(reversed(parts)))
    peak = int(field("Maximum resident set size (kbytes)")) / 1024
    return wall, user + system, peak, proc.stdout


def line_count(path):
    with open(path, "rb") as f:
        return sum(chunk.count(b"\n") for chunk in iter(lambda: f.read(1 << 20), b""))


def peers(path, workdir):
    rows = []
    if shutil.which("goaccess"):
        out = os.path.join(workdir, "goaccess.json")
        rows.append(("GoAccess", timed(["goaccess", path, "--no-global-config", "--log-format=COMBINED",
                                        "-o", out, "--no-progress"])))
    if shutil.which("webalizer"):
        wdir = os.path.join(workdir, "webalizer")
        os.makedirs(wdir, exist_ok=True)
        rows.append(("Webalizer", timed(["webalizer", "-Q", "-p", "-o", wdir, path])))
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--cases", default="")
    parser.add_argument("--no-build", action="store_true")
    args = parser.parse_args()

    names = list(CASES)
    if args.quick:
        names = ["combined-1M"]
    if args.cases:
        names = args.cases.split(",")
    if not args.no_build:
        subprocess.run([os.path.join(ROOT, "scripts", "build"), "--release"], check=True, stdout=subprocess.DEVNULL)
    os.makedirs(OUT, exist_ok=True)

    header = f"{'case':<14} {'program':<10} {'lines':>9} {'wall s':>8} {'cpu s':>8} {'lines/s':>11} {'peak MB':>8} {'cpu ratio':>9}"
    print(header)
    print("-" * len(header))
    for name in names:
        genargs, reportargs, compare = CASES[name]
        path = log_file(genargs)
        lines = line_count(path)
        with tempfile.TemporaryDirectory() as work:
            settings = os.path.join(work, "settings.json")
            wall, cpu, peak, _ = timed([REPORT, "--settings", settings, *reportargs, path])
            print(f"{name:<14} {'Trevalo':<10} {lines:>9} {wall:>8.2f} {cpu:>8.2f} {lines / max(wall, 1e-9):>11,.0f} {peak:>8.1f} {'':>9}")
            if compare:
                for program, (pwall, pcpu, ppeak, _) in peers(path, work):
                    print(f"{name:<14} {program:<10} {lines:>9} {pwall:>8.2f} {pcpu:>8.2f} "
                          f"{lines / max(pwall, 1e-9):>11,.0f} {ppeak:>8.1f} {pcpu / max(cpu, 1e-9):>8.1f}x")
        sys.stdout.flush()


if __name__ == "__main__":
    main()
