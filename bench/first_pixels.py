#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Start-up and memory of icatlas against its baselines (the main window built by hand in plain Qt,
# the empty Qt window), all under one X server and session bus that scripts/bench starts. Rounds
# alternate the programs (A B C, B C A, C A B, then backwards: C B A, B A C, A C B), so every
# program sees the same machine at the same moments and follows each other one as often (turned
# one way only, icatlas came mostly after the empty window, the hand-built one after icatlas). The
# main thread's time to first pixels is split into work on a CPU, waiting for one (the machine's
# load) and asleep (on the X server, a bus, its threads). Each round gives a ratio per baseline,
# and the tables show the medians of those per-round ratios. Then each program's instructions to
# its first paint, counted by callgrind under the same harness (once each: the count repeats within
# a few tenths of a per cent, where times on a shared machine swing by half).
# With --through, every program is started through that command (scripts/bench-windows: Wine).
#   first_pixels.py --harness BIN [--runs 21] [--warmup 2] [--settle 300] [--callgrind DIR]
#                   [--through COMMAND]
#                   icatlas=PROGRAM "hand-built window"=PROGRAM "empty window"=PROGRAM
import argparse
import os
import re
import statistics
import subprocess
import sys

THROUGH = []  # the command every program is started through, if any

FIELDS = {
    "paint": "first pixels (ms)",
    "done": "fully drawn (ms)",
    "cpu": "main thread on a CPU, to first pixels (ms)",
    "wait": "main thread waiting for a CPU, to first pixels (ms)",
    "asleep": "main thread asleep, to first pixels (ms)",
    "hwm_kb": "peak RSS (KiB)",
    "dirty_kb": "private dirty (KiB)",
    "libs": "shared objects",
}


def run_once(harness, settle, program, prefix=(), timeout_ms=10000):
    prefix = (*prefix, *THROUGH)
    """One start of program under the harness: its fields, or None when it did not paint."""
    out = subprocess.run([harness, "-t", str(timeout_ms), "-s", str(settle), "--",
                          *prefix, program], capture_output=True, text=True,
                         check=False).stdout
    line = next((l for l in out.splitlines() if l.startswith("first_paint ")), "")
    fields = dict(re.findall(r"(\w+)=([-\d.]+)", line))
    if fields.get("ok") != "1":
        print(f"start of {program} did not paint: {line or out!r}", file=sys.stderr)
        return None
    # What is neither work nor load: waiting on the X server, a bus or its own threads.
    fields["asleep"] = float(fields["paint"]) - float(fields["cpu"]) - float(fields["wait"])
    return {key: float(fields[key]) for key in FIELDS}


def spread(values, digits=2):
    return (f"{statistics.median(values):,.{digits}f} "
            f"({min(values):,.{digits}f}-{max(values):,.{digits}f})")


def instructions(harness, program, directory, name):
    """Instructions of one start up to its first paint and the quiet after it (callgrind)."""
    out = os.path.join(directory, re.sub(r"\W+", "_", name) + ".callgrind")
    if os.path.exists(out):
        os.remove(out)
    if run_once(harness, 1500, program, ("valgrind", "--tool=callgrind",
                                         f"--callgrind-out-file={out}"), 600000) is None:
        return None
    with open(out, encoding="utf-8", errors="replace") as counts:
        for line in counts:
            if line.startswith("totals:") or line.startswith("summary:"):
                return int(line.split()[1])
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--harness", required=True)
    parser.add_argument("--runs", type=int, default=21)
    parser.add_argument("--warmup", type=int, default=2)
    parser.add_argument("--settle", type=int, default=300)
    parser.add_argument("--callgrind", metavar="DIR",
                        help="also count instructions, keeping callgrind's files in DIR")
    parser.add_argument("--through", metavar="COMMAND",
                        help="start every program through COMMAND (such as Wine)")
    parser.add_argument("programs", nargs="+", metavar="NAME=PROGRAM")
    args = parser.parse_args()
    if args.through:
        THROUGH.append(args.through)
    programs = [tuple(item.split("=", 1)) for item in args.programs]
    names = [name for name, _ in programs]

    for _ in range(args.warmup):
        for _, path in programs:
            run_once(args.harness, args.settle, path)
    rounds = []
    while len(rounds) < args.runs:
        turn = len(rounds) % (2 * len(programs))
        ahead = programs if turn < len(programs) else programs[::-1]
        order = ahead[turn % len(programs):] + ahead[:turn % len(programs)]
        results = {}
        for name, path in order:
            result = run_once(args.harness, args.settle, path)
            if result is None:
                return 1
            results[name] = result
        rounds.append(results)
        print(f"round {len(rounds)}: " + " ".join(
            f"{name}: paint={results[name]['paint']:g}" for name in names), file=sys.stderr)

    ours, baselines = names[0], names[1:]
    print("| figure | " + " | ".join(f"{name} median (min-max)" for name in names) + " | "
          + " | ".join(f"{ours} / {name}, median of rounds (min-max)" for name in baselines)
          + " |")
    print("|---" * (1 + len(names) + len(baselines)) + "|")
    for key, label in FIELDS.items():
        digits = 2 if key in ("paint", "done", "cpu", "wait", "asleep") else 0
        cells = [spread([r[name][key] for r in rounds], digits) for name in names]
        for name in baselines:
            ratios = [r[ours][key] / r[name][key] for r in rounds if r[name][key] > 0]
            cells.append(f"{statistics.median(ratios):.3f} ({min(ratios):.3f}-{max(ratios):.3f})")
        print(f"| {label} | " + " | ".join(cells) + " |")
    print(f"\n{len(rounds)} rounds after {args.warmup} warm-up rounds; {args.settle} ms of quiet "
          "ends a start.")

    if args.callgrind:
        os.makedirs(args.callgrind, exist_ok=True)
        counts = {name: instructions(args.harness, path, args.callgrind, name)
                  for name, path in programs}
        print("\n| instructions to the first paint (callgrind) | "
              + " | ".join(names) + " |")
        print("|---" * (1 + len(names)) + "|")
        print("| count | " + " | ".join(
            f"{counts[name]:,}" if counts[name] else "failed" for name in names) + " |")
        for name in baselines:
            if counts[ours] and counts[name]:
                print(f"| relative to {name} | " + " | ".join(
                    f"{counts[other] / counts[name]:.3f}" if counts[other] else "-"
                    for other in names) + " |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
