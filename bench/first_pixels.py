#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Start-up and memory of icatlas against the empty Qt window, alternated run by run (A B A B ...)
# under one private X server and session bus, so both see the same machine at the same moment.
# Each pair gives a ratio; the table shows medians with min-max. Needs DISPLAY (scripts/bench
# starts the session) and the ttfp harness binary.
#   first_pixels.py --ttfp BIN --runs 21 --warmup 2 --settle 300 -- PROGRAM BASELINE
import argparse
import re
import statistics
import subprocess
import sys

FIELDS = {
    "paint": ("first pixels (ms)", "paint"),
    "done": ("fully drawn (ms)", "done"),
    "hwm": ("peak RSS (KiB)", "hwm_end_kb"),
    "dirty": ("private dirty (KiB)", "dirty_end_kb"),
    "libs": ("shared objects", "libs_end"),
}


def run_once(ttfp, settle, program):
    """One spawn of program under ttfp; the run's fields, or None when it did not paint."""
    out = subprocess.run([ttfp, "-n", "1", "-s", str(settle), "--", program],
                         capture_output=True, text=True, check=False).stdout
    line = next((l for l in out.splitlines() if l.startswith("ttfp run=")), "")
    fields = dict(re.findall(r"(\w+)=([-\d.]+)", line))
    if fields.get("ok") != "1":
        print(f"run of {program} failed: {line or out!r}", file=sys.stderr)
        return None
    return {key: float(fields[name]) for key, (_, name) in FIELDS.items()}


def spread(values):
    return f"{statistics.median(values):.2f} ({min(values):.2f}-{max(values):.2f})"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--ttfp", required=True)
    parser.add_argument("--runs", type=int, default=21)
    parser.add_argument("--warmup", type=int, default=2)
    parser.add_argument("--settle", type=int, default=300)
    parser.add_argument("program")
    parser.add_argument("baseline")
    args = parser.parse_args()

    for _ in range(args.warmup):
        run_once(args.ttfp, args.settle, args.program)
        run_once(args.ttfp, args.settle, args.baseline)
    pairs = []
    while len(pairs) < args.runs:
        a = run_once(args.ttfp, args.settle, args.program)
        b = run_once(args.ttfp, args.settle, args.baseline)
        if a is None or b is None:
            return 1
        pairs.append((a, b))
        print(f"pair {len(pairs)}: " + " ".join(
            f"{key}={a[key]:g}/{b[key]:g}" for key in FIELDS), file=sys.stderr)

    print(f"| figure | icatlas median (min-max) | empty window median (min-max) "
          f"| ratio of pairs median (min-max) | runs |")
    print("|---|---|---|---|---|")
    for key, (label, _) in FIELDS.items():
        ours = [a[key] for a, _ in pairs]
        floor = [b[key] for _, b in pairs]
        ratios = [a[key] / b[key] for a, b in pairs if b[key] > 0]
        print(f"| {label} | {spread(ours)} | {spread(floor)} | "
              f"{statistics.median(ratios):.3f} ({min(ratios):.3f}-{max(ratios):.3f}) | {len(pairs)} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
