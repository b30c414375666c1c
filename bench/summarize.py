#!/usr/bin/env python3
"""Summary of a benchmark run, and the check of the performance targets.

usage: summarize.py <out-dir> <build-dir> <fixture-root>

Reads <out-dir>/throughput.json (Google Benchmark, aggregates of repeated
runs) and <out-dir>/memory.txt (blobxml_bench_memory), measures the start-up
time and peak RSS of the tool itself, prints the tables and returns 1 when a
target is missed.
"""

import json
import os
import statistics
import subprocess
import sys
import time

# Targets, measured on the certificate fixtures in one run. Both directions
# are set against Expat parsing the same XML with empty handlers, so that the
# speed of the machine cancels out: DER -> XML at 5.5 times that message rate,
# XML -> DER at 0.85 of it.
TARGET_DER_TO_XER_RATIO = 5.5
TARGET_XER_TO_DER_RATIO = 0.85
TARGET_STARTUP_MS = 0.5

CERT_CORPUS = "cert-fixtures"
TOOL_INPUT_LIMIT = 65536
STARTUP_RUNS = 400


def load_medians(path):
    """{(direction, corpus): counters of the median aggregate}."""
    with open(path) as f:
        report = json.load(f)
    medians = {}
    for bench in report["benchmarks"]:
        if bench.get("aggregate_name") != "median":
            continue
        direction, corpus = bench["run_name"].split("/", 1)
        medians[(direction, corpus)] = bench
    return medians


def corpus_names(medians):
    seen = []
    for _, corpus in medians:
        if corpus not in seen:
            seen.append(corpus)
    return seen


def throughput_table(medians):
    print("Throughput (medians, CPU time of one core; MB = 10^6 octets of DER)")
    header = "%-30s %10s %9s %10s %9s %10s %7s %7s" % (
        "corpus", "der2xer/s", "MB/s", "xer2der/s", "MB/s", "expat/s", "d2x/exp", "x2d/exp")
    print(header)
    print("-" * len(header))
    for corpus in corpus_names(medians):
        d2x = medians.get(("DerToXer", corpus))
        x2d = medians.get(("XerToDer", corpus))
        exp = medians.get(("Expat", corpus))
        if not (d2x and x2d and exp):
            continue
        print("%-30s %10.0f %9.1f %10.0f %9.1f %10.0f %7.2f %7.2f" % (
            corpus, d2x["msg/s"], d2x["DER_MB/s"], x2d["msg/s"], x2d["DER_MB/s"],
            exp["msg/s"], d2x["msg/s"] / exp["msg/s"], x2d["msg/s"] / exp["msg/s"]))
    print()


def setof_table(medians):
    rows = []
    for corpus in corpus_names(medians):
        if corpus.startswith("setof-"):
            count = int(corpus.split("-")[1])
            d2x = medians[("DerToXer", corpus)]
            x2d = medians[("XerToDer", corpus)]
            rows.append((count, 1e9 / d2x["msg/s"] / count, 1e9 / x2d["msg/s"] / count))
    if not rows:
        return
    print("SET OF scaling (ns per element, whole message)")
    print("%-10s %12s %12s" % ("elements", "der2xer", "xer2der"))
    for count, d2x, x2d in rows:
        print("%-10d %12.0f %12.0f" % (count, d2x, x2d))
    print()


def memory_table(out_dir):
    path = os.path.join(out_dir, "memory.txt")
    if not os.path.exists(path):
        return
    print("Peak heap of one conversion (in-process, octets above the level before it)")
    with open(path) as f:
        sys.stdout.write(f.read())
    print()


def run_once(build_dir, argv):
    """(wall ms, CPU ms, peak RSS KB) of one run through blobxml_bench_run."""
    runner = os.path.join(build_dir, "bench", "blobxml_bench_run")
    start = time.perf_counter()
    result = subprocess.run([runner] + argv, capture_output=True, text=True, check=True)
    wall = (time.perf_counter() - start) * 1000.0
    rss, cpu_us, status = (int(field) for field in result.stdout.split())
    if status not in (0, 255):
        raise RuntimeError("%s exited with %d" % (argv, status))
    return wall, cpu_us / 1000.0, rss


def startup_table(build_dir, fixture_root):
    """Median CPU time and wall time of the tool against an empty program;
    returns the CPU-time overhead of the tool's help-text run."""
    tool = os.path.join(build_dir, "blobxml")
    empty = os.path.join(build_dir, "bench", "blobxml_bench_empty")
    cert = os.path.join(fixture_root, "cert", "certificate_ec_v1.der")
    commands = [
        ("empty program", [empty]),
        ("blobxml (help text)", [tool]),
        ("blobxml -t Certificate", [tool, "-i", cert, "-t", "Certificate"]),
    ]
    walls = {name: [] for name, _ in commands}
    cpus = {name: [] for name, _ in commands}
    for _ in range(20):
        for _, argv in commands:
            run_once(build_dir, argv)
    # Interleaved, so that changes of load hit every command alike.
    for _ in range(STARTUP_RUNS):
        for name, argv in commands:
            wall, cpu, _ = run_once(build_dir, argv)
            walls[name].append(wall)
            cpus[name].append(cpu)
    print("Start-up (medians of %d interleaved runs each; CPU = user + system)" % STARTUP_RUNS)
    print("%-26s %10s %10s %10s" % ("", "CPU ms", "+CPU ms", "wall ms"))
    base = statistics.median(cpus["empty program"])
    for name, _ in commands:
        cpu = statistics.median(cpus[name])
        print("%-26s %10.3f %10.3f %10.3f" % (name, cpu, cpu - base, statistics.median(walls[name])))
    print()
    return statistics.median(cpus["blobxml (help text)"]) - base


def rss_table(build_dir, out_dir):
    """Peak RSS of the tool on the synthetic messages that fit its input."""
    messages = os.path.join(out_dir, "messages")
    if not os.path.isdir(messages):
        return
    print("Peak RSS of the tool (KB, one process per conversion; '-': input over 64 KB)")
    print("%-14s %10s %10s" % ("message", "der2xer", "xer2der"))
    for name in sorted(n[:-4] for n in os.listdir(messages) if n.endswith(".der")):
        typ = "CertificateList" if name.startswith("crl") else "Certificate"
        cells = []
        for tool, ext in (("blobxml", ".der"), ("xmlblob", ".xml")):
            path = os.path.join(messages, name + ext)
            if os.path.getsize(path) > TOOL_INPUT_LIMIT:
                cells.append("-")
            else:
                argv = [os.path.join(build_dir, tool), "-i", path, "-t", typ]
                cells.append(str(run_once(build_dir, argv)[2]))
        print("%-14s %10s %10s" % (name, cells[0], cells[1]))
    empty = os.path.join(build_dir, "bench", "blobxml_bench_empty")
    print("%-14s %10d" % ("(empty program)", run_once(build_dir, [empty])[2]))
    print()


def main():
    if len(sys.argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    out_dir, build_dir, fixture_root = sys.argv[1:]
    medians = load_medians(os.path.join(out_dir, "throughput.json"))
    throughput_table(medians)
    setof_table(medians)
    memory_table(out_dir)
    rss_table(build_dir, out_dir)
    startup = startup_table(build_dir, fixture_root)

    d2x = medians[("DerToXer", CERT_CORPUS)]
    expat = medians[("Expat", CERT_CORPUS)]["msg/s"]
    d2x_ratio = d2x["msg/s"] / expat
    x2d_ratio = medians[("XerToDer", CERT_CORPUS)]["msg/s"] / expat
    checks = [
        ("DER -> XER on %s: %.2f times the raw Expat rate, %.1f MB/s of DER (target >= %.1f)" % (
            CERT_CORPUS, d2x_ratio, d2x["DER_MB/s"], TARGET_DER_TO_XER_RATIO),
         d2x_ratio >= TARGET_DER_TO_XER_RATIO),
        ("XER -> DER on %s: %.2f of the raw Expat rate (target >= %.2f)" % (
            CERT_CORPUS, x2d_ratio, TARGET_XER_TO_DER_RATIO), x2d_ratio >= TARGET_XER_TO_DER_RATIO),
        ("start-up: %.3f ms CPU above an empty program (target < %.1f)" % (
            startup, TARGET_STARTUP_MS), startup < TARGET_STARTUP_MS),
    ]
    print("Targets")
    for text, ok in checks:
        print("  %-4s %s" % ("PASS" if ok else "FAIL", text))
    return 0 if all(ok for _, ok in checks) else 1


if __name__ == "__main__":
    sys.exit(main())
