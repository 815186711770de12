#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Reads Google Benchmark's JSON (repetitions of each benchmark) on stdin and prints each runtime
# benchmark against its plain-Qt baseline: median CPU time with min-max over the repetitions, and
# the ratio of the medians.
import json
import statistics
import sys

PAIRS = [
    ("click (SelectModel + repaint) vs 16 setText", "BM_Click_SelectModel",
     "BM_Click_Baseline_SetText"),
    ("click vs 16 setText + setCursorPosition(0)", "BM_Click_SelectModel",
     "BM_Click_Baseline_SetTextFromStart"),
    ("16 setText + setCursorPosition(0) vs 16 setText", "BM_Click_Baseline_SetTextFromStart",
     "BM_Click_Baseline_SetText"),
    ("form creation (73 widgets)", "BM_Create_Form1", "BM_Create_Baseline_ByHand"),
]
SCALE = {"ns": 1e-3, "us": 1.0, "ms": 1e3}


def main():
    report = json.load(sys.stdin)
    times = {}
    for run in report["benchmarks"]:
        if run.get("run_type") != "iteration":
            continue
        micros = run["cpu_time"] * SCALE[run["time_unit"]]
        times.setdefault(run["run_name"], []).append(micros)

    print("| figure | measured median (min-max) us | baseline median (min-max) us | ratio "
          "| repetitions |")
    print("|---|---|---|---|---|")
    for label, ours, baseline in PAIRS:
        a, b = times.get(ours), times.get(baseline)
        if not a or not b:
            print(f"| {label} | missing | missing | - | 0 |")
            continue
        ratio = statistics.median(a) / statistics.median(b)
        print(f"| {label} | {statistics.median(a):.1f} ({min(a):.1f}-{max(a):.1f}) "
              f"| {statistics.median(b):.1f} ({min(b):.1f}-{max(b):.1f}) | {ratio:.3f} | {len(a)} |")


if __name__ == "__main__":
    main()
