#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Instructions per click and per form creation, ours against the plain-Qt baselines, counted by
# callgrind: each benchmark runs at two fixed iteration counts and the difference is divided, so
# set-up (the window, the font database) drops out. Unlike times, the counts repeat from run to
# run within about half a per cent, however busy the machine is.
#   instructions.py BENCH_BINARY
import re
import subprocess
import sys

LOW, HIGH = 4, 44
PAIRS = [
    ("click vs 16 setText", "BM_Click_SelectModel", "BM_Click_Baseline_SetText"),
    ("click vs 16 setText + setCursorPosition(0)", "BM_Click_SelectModel",
     "BM_Click_Baseline_SetTextFromStart"),
    ("form creation vs by hand", "BM_Create_Form1", "BM_Create_Baseline_ByHand"),
]


def collected(binary, name, iterations):
    result = subprocess.run(
        ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
         f"--toggle-collect=*{name}(benchmark*", binary, f"--iterations={iterations}",
         f"--benchmark_filter=^{name}/"],
        capture_output=True, text=True, check=False,
        env={"QT_QPA_PLATFORM": "offscreen", "PATH": "/usr/bin:/bin"})
    found = re.search(r"Collected : (\d+)", result.stderr)
    if result.returncode != 0 or not found:
        sys.exit(f"callgrind of {name} failed:\n{result.stderr[-2000:]}")
    return int(found.group(1))


def main():
    binary = sys.argv[1]
    per = {}
    for name in sorted({n for _, a, b in PAIRS for n in (a, b)}):
        per[name] = (collected(binary, name, HIGH) - collected(binary, name, LOW)) / (HIGH - LOW)
    print("| figure | ours (instructions) | baseline (instructions) | ratio |")
    print("|---|---|---|---|")
    for label, ours, baseline in PAIRS:
        print(f"| {label} | {per[ours]:,.0f} | {per[baseline]:,.0f} | "
              f"{per[ours] / per[baseline]:.3f} |")


if __name__ == "__main__":
    main()
