#!/usr/bin/env python3
"""Benchmarks trevalo-report on generated logs and prints a table.

Builds in Release (build-release/), generates its inputs with the log generator genlog.py
($TREVALO_GENLOG, else ../shared/tools/genlog.py beside the repository) into bench/out/ (kept
between runs), and times each case with /usr/bin/time -v: wall and CPU
seconds, lines per second, peak resident memory. Where GoAccess or Webalizer are installed,
they run on the same file in the same run and the ratios are printed.

  bench/run.py                 all cases
  bench/run.py --quick         only the 1M-line combined case
  bench/run.py --cases a,b     chosen cases (names as printed)
  bench/run.py --micro         also the micro-benchmarks of the hot functions (trevalo-bench)
  bench/run.py --save-reference [--report BIN]
                               saves the JSON output of BIN (default: the Release build) for
                               every file of the real-log corpus ($TREVALO_CORPUS, else
                               ../shared/corpus; left out when absent) and the chosen cases'
                               files in bench/out/reference/
                               (save them with the binary of the commit to compare with)
  bench/run.py --check         compares the current output with those references byte by byte
                               before timing; exits with 1 on any difference
  bench/run.py --compare BIN   also times BIN (another build of trevalo-report) on each case,
                               in turn with this build, and prints the CPU ratio of the two
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
GENLOG = os.environ.get("TREVALO_GENLOG") or os.path.join(os.path.dirname(ROOT), "shared", "tools", "genlog.py")
WIDELOG = os.path.join(ROOT, "bench", "widelog.py")  # genlog.py for many distinct paths
AGENTLOG = os.path.join(ROOT, "bench", "agentlog.py")  # genlog.py for many distinct user agents
REPORT = os.path.join(ROOT, "build-release", "bin", "trevalo-report")
MICRO = os.path.join(ROOT, "build-release", "bin", "trevalo-bench")
CORPUS = os.environ.get("TREVALO_CORPUS") or os.path.join(os.path.dirname(ROOT), "shared", "corpus")
REFERENCE = os.path.join(OUT, "reference")

# name: (genlog arguments, trevalo-report arguments, compare with peers)
CASES = {
    "combined-1M": (["-n", "1000000", "--junk-rate", "0"], ["--json"], True),
    "combined-5M": (["-n", "5000000", "--junk-rate", "0"], ["--json"], False),
    "distinct-1M": (["-n", "1000000", "--junk-rate", "0", "--ips", "500000", "--paths", "200000"], ["--json"], False),
    "process-1M": (["-n", "1000000", "--junk-rate", "0"], ["--json", "--process", "--main-page", "/"], False),
    "w3c-1M": (["-n", "1000000", "--junk-rate", "0", "--format", "w3c"], ["--json"], False),
    # 50,558 distinct user agents, each classified once.
    "agents-1M": (["-n", "1000000", "--junk-rate", "0", "--ips", "450000", "--agents", "300000"], ["--json"], False),
}


def log_file(genargs):
    name = "log" + "".join(a.replace("-", "_") for a in genargs) + ".log"
    path = os.path.join(OUT, name)
    if not os.path.exists(path):
        if not os.path.exists(GENLOG):
            sys.exit(f"no log generator at {GENLOG}: set TREVALO_GENLOG to genlog.py")
        print(f"generating {os.path.basename(path)} ...", file=sys.stderr)
        generator = WIDELOG if "--paths" in genargs else AGENTLOG if "--agents" in genargs else GENLOG
        subprocess.run([sys.executable, generator, *genargs, "-o", path + ".tmp"], check=True)
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


def reference_inputs(names):
    """(key, report arguments, file) of every output the references cover."""
    inputs = []
    if os.path.isdir(CORPUS):
        for folder, _, files in sorted(os.walk(CORPUS)):
            for f in sorted(files):
                if f.endswith(".md"):
                    continue
                path = os.path.join(folder, f)
                key = os.path.relpath(path, CORPUS).replace(os.sep, "__")
                inputs.append((key, ["--json"], path))
                inputs.append((key + "--process", ["--json", "--process", "--main-page", "/"], path))
    for name in names:
        genargs, reportargs, _ = CASES[name]
        inputs.append(("bench-" + name, reportargs, log_file(genargs)))
    return inputs


def report_output(binary, reportargs, path):
    with tempfile.TemporaryDirectory() as work:
        proc = subprocess.run([binary, "--settings", os.path.join(work, "settings.json"), *reportargs, path],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return b"exit %d\n" % proc.returncode + proc.stdout


def save_reference(binary, names):
    os.makedirs(REFERENCE, exist_ok=True)
    for key, reportargs, path in reference_inputs(names):
        with open(os.path.join(REFERENCE, key + ".json"), "wb") as f:
            f.write(report_output(binary, reportargs, path))
    print(f"references of {binary} saved in {REFERENCE}")


def check(binary, names):
    """True when every output equals its saved reference."""
    differ = missing = same = 0
    for key, reportargs, path in reference_inputs(names):
        ref = os.path.join(REFERENCE, key + ".json")
        if not os.path.exists(ref):
            missing += 1
            print(f"check: no reference for {key}", file=sys.stderr)
            continue
        with open(ref, "rb") as f:
            if f.read() == report_output(binary, reportargs, path):
                same += 1
            else:
                differ += 1
                print(f"check: DIFFERS {key}", file=sys.stderr)
    print(f"check: {same} identical, {differ} different, {missing} without reference")
    return differ == 0 and missing == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--cases", default="")
    parser.add_argument("--no-build", action="store_true")
    parser.add_argument("--micro", action="store_true")
    parser.add_argument("--save-reference", action="store_true")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--report", default=REPORT, help="trevalo-report binary for --save-reference")
    parser.add_argument("--compare", default="", help="another trevalo-report binary to time beside this one")
    args = parser.parse_args()

    names = list(CASES)
    if args.quick:
        names = ["combined-1M"]
    if args.cases:
        names = args.cases.split(",")
    if not args.no_build:
        # Only the core, the report tool and the micro-benchmarks: no window, no tests.
        subprocess.run(["cmake", "-S", ROOT, "-B", os.path.join(ROOT, "build-release"), "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Release", "-DTREVALO_WITH_QT=OFF", "-DTREVALO_TESTS=OFF"],
                       check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", os.path.join(ROOT, "build-release"), "-j", "2"],
                       check=True, stdout=subprocess.DEVNULL)
    os.makedirs(OUT, exist_ok=True)
    if args.save_reference:
        save_reference(os.path.abspath(args.report), names)
        return
    if args.check and not check(REPORT, names):
        sys.exit(1)

    header = f"{'case':<14} {'program':<10} {'lines':>9} {'wall s':>8} {'cpu s':>8} {'lines/s':>11} {'peak MB':>8} {'cpu ratio':>9}"
    print(header)
    print("-" * len(header))
    cpu_per_line = {}
    for name in names:
        genargs, reportargs, compare = CASES[name]
        path = log_file(genargs)
        lines = line_count(path)
        with tempfile.TemporaryDirectory() as work:
            settings = os.path.join(work, "settings.json")
            wall, cpu, peak, _ = timed([REPORT, "--settings", settings, *reportargs, path])
            if args.compare:
                # Alternately, three times each: the machine is shared, the least CPU time counts.
                runs = [(wall, cpu, peak)]
                base = []
                for _ in range(3):
                    base.append(timed([args.compare, "--settings", settings, *reportargs, path])[:3])
                    runs.append(timed([REPORT, "--settings", settings, *reportargs, path])[:3])
                wall, cpu, peak = min(runs, key=lambda r: r[1])
                bwall, bcpu, bpeak = min(base, key=lambda r: r[1])
            cpu_per_line[name] = cpu / max(lines, 1)
            print(f"{name:<14} {'Trevalo':<10} {lines:>9} {wall:>8.2f} {cpu:>8.2f} {lines / max(wall, 1e-9):>11,.0f} {peak:>8.1f} {'':>9}")
            if args.compare:
                print(f"{name:<14} {'compared':<10} {lines:>9} {bwall:>8.2f} {bcpu:>8.2f} "
                      f"{lines / max(bwall, 1e-9):>11,.0f} {bpeak:>8.1f} {bcpu / max(cpu, 1e-9):>8.2f}x")
            if compare:
                for program, (pwall, pcpu, ppeak, _) in peers(path, work):
                    print(f"{name:<14} {program:<10} {lines:>9} {pwall:>8.2f} {pcpu:>8.2f} "
                          f"{lines / max(pwall, 1e-9):>11,.0f} {ppeak:>8.1f} {pcpu / max(cpu, 1e-9):>8.1f}x")
        sys.stdout.flush()
    # The targets that compare cases with each other, per line of each.
    base = cpu_per_line.get("combined-1M")
    if base:
        for name, what in (("combined-5M", "scaling"), ("distinct-1M", "distinct values"), ("process-1M", "--process"),
                           ("agents-1M", "distinct user agents")):
            if name in cpu_per_line:
                print(f"{what}: {name} costs {cpu_per_line[name] / base:.2f}x the CPU per line of combined-1M")
    if args.micro and os.path.exists(MICRO):
        subprocess.run([MICRO, "--benchmark_min_time=0.2"], check=True)


if __name__ == "__main__":
    main()
