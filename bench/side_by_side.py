#!/usr/bin/env python3
"""Whole-command benchmarks of pagewright-cli, each measured side by side with
a reference command in the same run (A B A B ...), so that a ratio holds even
when the machine's speed drifts. Called by bench/run.

Every command is a separate process; its wall time is taken around its run,
its CPU time and peak resident memory from the kernel's accounting of that
process (wait4). Medians are quoted; min and max show how noisy the machine was.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

MIB = 1024 * 1024


class Run:
    def __init__(self, wall, cpu, rss_kib, code):
        self.wall = wall
        self.cpu = cpu
        self.rss_kib = rss_kib
        self.code = code


TIME = "/usr/bin/time"
TIME_OUT = f"/tmp/pagewright-bench-time.{os.getpid()}"


def run_once(cmd):
    """One run of `cmd`, its output thrown away. CPU time and peak RSS come
    from GNU time when it is installed: a process forked from this Python
    interpreter would report the interpreter's memory as its own peak."""
    wrapped = [TIME, "-f", "%U %S %M %x", "-o", TIME_OUT] + cmd if os.path.exists(TIME) else cmd
    start = time.perf_counter()
    proc = subprocess.Popen(wrapped, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    if wrapped is cmd:
        return Run(wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss, proc.returncode)
    with open(TIME_OUT) as f:
        fields = f.read().split()[-4:]
    user, system, rss, code = float(fields[0]), float(fields[1]), int(fields[2]), int(fields[3])
    return Run(wall, user + system, rss, code)


def side_by_side(a, b, runs):
    """Runs A and B in turn after one warm-up of each; returns their runs."""
    run_once(a)
    run_once(b)
    ra, rb = [], []
    for _ in range(runs):
        ra.append(run_once(a))
        rb.append(run_once(b))
    for name, cmd, rs in (("A", a, ra), ("B", b, rb)):
        bad = [r.code for r in rs if r.code != 0]
        if bad:
            print(f"  warning: {name} ({' '.join(cmd)}) exited with {bad[0]}")
    return ra, rb


def med(values):
    return statistics.median(values)


def spread(values, fmt):
    return f"{fmt(med(values))} (min {fmt(min(values))}, max {fmt(max(values))})"


def secs(v):
    return f"{v:.3f} s"


def ratio_text(values):
    return f"{med(values):.2f}x (min {min(values):.2f}, max {max(values):.2f})"


def verdict(ok):
    return "met" if ok else "NOT MET"


def describe(label, cmd, rs):
    print(f"  {label}: {' '.join(os.path.basename(c) if i == 0 else c for i, c in enumerate(cmd))}")
    print(f"     wall {spread([r.wall for r in rs], secs)}, cpu {secs(med([r.cpu for r in rs]))}, "
          f"peak RSS {med([r.rss_kib for r in rs]) / 1024:.1f} MiB")


def read_layout(path):
    layout = {}
    with open(path + ".layout") as f:
        for line in f:
            key, _, value = line.strip().partition("=")
            layout[key] = int(value)
    return layout


# The generator's layout format (see tests/forge/tools/MakeLarge.cpp).
LAYOUT_FORMAT = 2


def ensure_file(make_large, path, size_mb, extra):
    """Generates `path` unless it exists with a layout of the current format."""
    layout = path + ".layout"
    if os.path.exists(path) and os.path.exists(layout):
        try:
            if read_layout(path).get("format") == LAYOUT_FORMAT:
                return True
        except (OSError, ValueError):
            pass
    print(f"generating {path} ({size_mb} MiB{' ' + ' '.join(extra) if extra else ''}) ...", flush=True)
    start = time.perf_counter()
    done = subprocess.run([make_large, path, str(size_mb)] + extra, stdout=subprocess.DEVNULL)
    if done.returncode != 0:
        print(f"  generation failed (exit {done.returncode})")
        return False
    print(f"  done in {time.perf_counter() - start:.1f} s", flush=True)
    return True


def warm(path):
    with open(path, "rb") as f:
        while f.read(8 * MIB):
            pass


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--skip-4g", action="store_true")
    args = ap.parse_args()

    cli = os.path.join(args.build, "bin", "pagewright-cli")
    make_large = os.path.join(args.build, "bin", "pagewright-make-large")
    os.makedirs(args.data, exist_ok=True)
    big = os.path.join(args.data, "large-1g.mdf")
    huge = os.path.join(args.data, "large-4g.mdf")
    cat1k = os.path.join(args.data, "catalog-1k.mdf")
    cat10k = os.path.join(args.data, "catalog-10k.mdf")

    build_type = "?"
    cache = os.path.join(args.build, "CMakeCache.txt")
    if os.path.exists(cache):
        for line in open(cache):
            if line.startswith("CMAKE_BUILD_TYPE:"):
                build_type = line.strip().split("=", 1)[1] or "(none)"
    load = os.getloadavg()
    print(f"machine: {os.cpu_count()} cores, load average {load[0]:.2f} {load[1]:.2f} {load[2]:.2f}; "
          f"build type {build_type}; {args.runs} counted runs per command after one warm-up")
    if not os.path.exists(TIME):
        print(f"  note: {TIME} (package time) is missing: peak RSS figures include the Python launcher")
    if build_type not in ("Release", "RelWithDebInfo"):
        print("  note: not an optimised build; figures will be slow")

    ok = ensure_file(make_large, big, 1024, [])
    ok = ensure_file(make_large, cat1k, 1, ["--tables", "1000"]) and ok
    ok = ensure_file(make_large, cat10k, 1, ["--tables", "10000"]) and ok
    with_4g = not args.skip_4g
    if with_4g and not (os.path.exists(huge) and os.path.exists(huge + ".layout")):
        free_mb = shutil.disk_usage(args.data).free // MIB
        if free_mb < 4096 + 2048:
            print(f"4 GiB comparison skipped: only {free_mb} MiB free on the disk of {args.data} "
                  f"(it needs 6144 MiB: the file and 2 GiB to spare)")
            with_4g = False
    if with_4g:
        with_4g = ensure_file(make_large, huge, 4096, [])
    if not ok:
        return 1

    layout = read_layout(big)
    orders = layout["orders_rows"]
    results = []

    for path in [big, cat1k, cat10k] + ([huge] if with_4g else []):
        warm(path)

    # 1. Scan: info reads every page header of the file, builds the page maps
    # and the catalog; cat reads the same bytes and does nothing with them.
    print("\n[scan] info on the 1 GiB file against cat FILE > /dev/null (page cache warm)")
    a_cmd, b_cmd = [cli, "info", big], ["cat", big]
    ra, rb = side_by_side(a_cmd, b_cmd, args.runs)
    describe("A", a_cmd, ra)
    describe("B", b_cmd, rb)
    ratios = [x.wall / y.wall for x, y in zip(ra, rb)]
    r = med(ratios)
    print(f"  ratio A/B {ratio_text(ratios)}; target at most 1.30x: {verdict(r <= 1.3)}")
    results.append(("scan / cat", f"{r:.2f}x", "<= 1.30x", r <= 1.3))
    scan_rss = max(x.rss_kib for x in ra) / 1024

    # 2. Rows: the million-row table listed to /dev/null, against reading its
    # pages raw (one sequential read of the page range it occupies).
    first, last = layout["orders_first_page"], layout["orders_last_page"]
    print(f"\n[rows] rows of Orders ({orders} rows, pages {first}-{last}) to /dev/null against reading those pages raw")
    a_cmd = [cli, "rows", big, "Orders"]
    b_cmd = ["dd", f"if={big}", "of=/dev/null", "bs=1M", "iflag=skip_bytes,count_bytes",
             f"skip={first * 8192}", f"count={(last - first + 1) * 8192}"]
    ra, rb = side_by_side(a_cmd, b_cmd, args.runs)
    describe("A", a_cmd, ra)
    describe("B", b_cmd, rb)
    ratios = [x.wall / y.wall for x, y in zip(ra, rb)]
    rate = orders / med([x.wall for x in ra])
    cpu_rate = orders / med([x.cpu for x in ra])
    print(f"  {rate:,.0f} rows/s (whole command, wall; {cpu_rate:,.0f} rows/s of CPU time on one core); "
          f"target at least 1,000,000 rows/s: {verdict(rate >= 1e6)}")
    print(f"  ratio A/B {ratio_text(ratios)} (the listing against a raw read of the table's pages)")
    results.append(("rows of Orders (wall)", f"{rate:,.0f} rows/s", ">= 1,000,000 rows/s", rate >= 1e6))
    results.append(("rows of Orders (CPU)", f"{cpu_rate:,.0f} rows/s", ">= 1,000,000 rows/s", cpu_rate >= 1e6))
    rows_rss = max(x.rss_kib for x in ra) / 1024

    # 3. Exports, when the command-line tool has them: Orders alone, to an
    # SQLite database and to csv, against rows of Orders to /dev/null.
    help_text = subprocess.run([cli, "--help"], capture_output=True, text=True).stdout
    if "\n  export " in help_text:
        for fmt in ("sqlite", "csv"):
            out = os.path.join(args.data, f"orders-export-{fmt}")
            print(f"\n[export {fmt}] Orders exported to {fmt} against rows of Orders to /dev/null")
            a_cmd = [cli, "export", big, "--format", fmt, "--out", out, "--tables", "Orders", "--quiet"]
            b_cmd = [cli, "rows", big, "Orders"]
            ra, rb = side_by_side(a_cmd, b_cmd, args.runs)
            describe("A", a_cmd, ra)
            describe("B", b_cmd, rb)
            ratios = [x.wall / y.wall for x, y in zip(ra, rb)]
            rate = orders / med([x.wall for x in ra])
            print(f"  {rate:,.0f} rows/s (whole command, wall); ratio A/B {ratio_text(ratios)}")
            results.append((f"export {fmt} of Orders", f"{rate:,.0f} rows/s", "(figure only)", True))
            if os.path.isdir(out):
                shutil.rmtree(out)
            elif os.path.exists(out):
                os.remove(out)
    else:
        print("\n[export] skipped: this pagewright-cli has no export command")

    # 4. Catalog: open the 10,000-table catalog and build the whole tree,
    # against the same with 1,000 tables.
    print("\n[catalog] tree of 10,000 tables (20 columns each) against tree of 1,000 tables")
    a_cmd, b_cmd = [cli, "tree", cat10k, "--quiet"], [cli, "tree", cat1k, "--quiet"]
    ra, rb = side_by_side(a_cmd, b_cmd, args.runs)
    describe("A", a_cmd, ra)
    describe("B", b_cmd, rb)
    ratios = [x.wall / y.wall for x, y in zip(ra, rb)]
    t10k = med([x.wall for x in ra])
    r = med(ratios)
    print(f"  10,000 tables: {t10k:.3f} s, target under 2 s: {verdict(t10k < 2.0)}")
    print(f"  ratio A/B {ratio_text(ratios)}; target at most 12x (linear): {verdict(r <= 12)}")
    results.append(("tree, 10,000 tables", f"{t10k:.3f} s", "< 2 s", t10k < 2.0))
    results.append(("tree 10,000 / 1,000", f"{r:.2f}x", "<= 12x", r <= 12))

    # 5. Peak memory: scan and rows on the 1 GiB file, then on the 4 GiB file.
    print("\n[memory] peak RSS of info and rows")
    print(f"  1 GiB file: info {scan_rss:.1f} MiB, rows {rows_rss:.1f} MiB; target under 200 MiB: "
          f"{verdict(scan_rss < 200 and rows_rss < 200)}")
    results.append(("peak RSS info, 1 GiB", f"{scan_rss:.1f} MiB", "< 200 MiB", scan_rss < 200))
    results.append(("peak RSS rows, 1 GiB", f"{rows_rss:.1f} MiB", "< 200 MiB", rows_rss < 200))
    if with_4g:
        for name, a_cmd, b_cmd in (("info", [cli, "info", huge], [cli, "info", big]),
                                   ("rows", [cli, "rows", huge, "Orders"], [cli, "rows", big, "Orders"])):
            print(f"  {name}: 4 GiB file (A) against 1 GiB file (B)")
            ra, rb = side_by_side(a_cmd, b_cmd, args.runs)
            describe("A", a_cmd, ra)
            describe("B", b_cmd, rb)
            rss_a = max(x.rss_kib for x in ra) / 1024
            rss_b = max(x.rss_kib for x in rb) / 1024
            rss_ratio = rss_a / rss_b
            # Nothing of the file is kept in memory; what grows with the file
            # is the page maps, one 10-byte entry per page (1.25 MiB per GiB).
            growth = (rss_a - rss_b) / 3.0
            times = [x.wall / y.wall for x, y in zip(ra, rb)]
            same = growth <= 2.0
            print(f"     peak RSS {rss_a:.1f} MiB against {rss_b:.1f} MiB ({rss_ratio:.2f}x for 4x the file): "
                  f"{growth:.2f} MiB more per GiB of file (target: under 200 MiB and at most 2 MiB per GiB, "
                  f"the page maps): {verdict(same and rss_a < 200)}; time ratio {ratio_text(times)}")
            results.append((f"peak RSS {name}, 4 GiB file", f"{rss_a:.1f} MiB (+{growth:.2f} MiB/GiB)",
                            "< 200 MiB, <= 2 MiB/GiB", same and rss_a < 200))
    else:
        print("  4 GiB comparison not run")

    if os.path.exists(TIME_OUT):
        os.remove(TIME_OUT)
    print("\nsummary")
    width = max(len(n) for n, _, _, _ in results)
    for name, figure, target, met in results:
        print(f"  {name:<{width}}  {figure:>22}  target {target:<22} {verdict(met)}")
    load = os.getloadavg()
    print(f"load average at the end: {load[0]:.2f} {load[1]:.2f} {load[2]:.2f}")
    return 0 if all(m for _, _, _, m in results) else 2


if __name__ == "__main__":
    sys.exit(main())
