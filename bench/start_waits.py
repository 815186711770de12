#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# What each program waits on before its first paint, in counts that load does not move: one start
# of each under the harness and strace, on the X server and session bus scripts/bench starts. The
# first paint is the first image put into a window after a MapWindow (PutImage, or MIT-SHM's). Up
# to it: the X requests sent, the X replies read and the bytes sent (the program's own X stream,
# decoded from what strace saw written and read), the bus round trips (a read of a bus socket after
# a write to it) on the main thread and on the others, the system calls and the threads started.
#   start_waits.py --harness BIN NAME=PROGRAM...
import argparse
import os
import re
import subprocess
import sys
import tempfile

RECORD = re.compile(r"^(\d+) +\S+ (\w+)\((.*)$")
STRING = re.compile(r'"((?:\\x[0-9a-f]{2})*)"')
SENT = ("write", "writev", "sendmsg", "sendto")
READ = ("read", "readv", "recvmsg", "recvfrom")
MAP_WINDOW, PUT_IMAGE, QUERY_EXTENSION = 8, 72, 98


def records(path):
    """(pid, call, arguments and result) for each system call, its halves joined."""
    pending = {}
    with open(path, encoding="ascii", errors="replace") as trace:
        for line in trace:
            line = line.rstrip("\n")
            resumed = re.match(r"^(\d+) +\S+ <\.\.\. (\w+) resumed>(.*)$", line)
            if resumed:
                pid, call, rest = resumed.groups()
                line = f"{pid} - {call}({pending.pop(pid, '')}{rest}"
            elif line.endswith("<unfinished ...>"):
                found = RECORD.match(line)
                if found:
                    pending[found.group(1)] = found.group(3)[:-len("<unfinished ...>")]
                continue
            found = RECORD.match(line)
            if found:
                yield found.groups()


def data(text):
    return b"".join(bytes.fromhex(part.replace("\\x", "")) for part in STRING.findall(text))


class XStream:
    """The program's side of the X protocol: requests out, replies in, up to the first paint."""

    def __init__(self):
        self.out, self.into = b"", b""
        self.set_up_out = self.set_up_in = False
        self.requests = self.replies = self.sent = 0
        self.shm, self.mapped, self.painted = None, False, False
        self.extension_asked = {}  # sequence number -> extension name

    def write(self, chunk):
        self.out += chunk
        if not self.set_up_out and len(self.out) >= 12:
            names = int.from_bytes(self.out[6:8], "little")
            auth = int.from_bytes(self.out[8:10], "little")
            size = 12 + -(-names // 4) * 4 + -(-auth // 4) * 4
            if len(self.out) >= size:
                self.out, self.set_up_out = self.out[size:], True
        while self.set_up_out and not self.painted and len(self.out) >= 8:
            opcode, minor = self.out[0], self.out[1]
            words = int.from_bytes(self.out[2:4], "little") or int.from_bytes(self.out[4:8],
                                                                               "little")
            if len(self.out) < words * 4:
                return
            request, self.out = self.out[:words * 4], self.out[words * 4:]
            if self.mapped and (opcode == PUT_IMAGE or (opcode == self.shm and minor == 3)):
                self.painted = True
                return
            self.requests += 1
            self.sent += len(request)
            self.mapped |= opcode == MAP_WINDOW
            if opcode == QUERY_EXTENSION:
                length = int.from_bytes(request[4:6], "little")
                self.extension_asked[self.requests & 0xFFFF] = request[8:8 + length]

    def read(self, chunk):
        self.into += chunk
        if not self.set_up_in and len(self.into) >= 8:
            size = 8 + 4 * int.from_bytes(self.into[6:8], "little")
            if len(self.into) >= size:
                self.into, self.set_up_in = self.into[size:], True
        while self.set_up_in and len(self.into) >= 32:
            kind = self.into[0]
            size = 32 + (4 * int.from_bytes(self.into[4:8], "little")
                         if kind == 1 or kind & 0x7F == 35 else 0)
            if len(self.into) < size:
                return
            message, self.into = self.into[:size], self.into[size:]
            if kind == 1 and not self.painted:
                self.replies += 1
                sequence = int.from_bytes(message[2:4], "little")
                if self.extension_asked.get(sequence) == b"MIT-SHM" and message[8]:
                    self.shm = message[9]


def count(path):
    x, main, kinds, last = XStream(), None, {}, {}
    figures = dict.fromkeys(("syscalls", "main_syscalls", "threads", "bus_main", "bus_others"), 0)
    for pid, call, rest in records(path):
        if x.painted:
            break
        main = main or pid
        figures["syscalls"] += 1
        figures["main_syscalls"] += pid == main
        figures["threads"] += call in ("clone", "clone3")
        fd = re.match(r"(\d+)", rest)
        fd = fd.group(1) if fd else None
        result = re.search(r"= (-?\d+)", rest.rsplit(")", 1)[-1])
        result = int(result.group(1)) if result else -1
        if call == "connect" and result == 0 and "sun_path=" in rest:
            path_named = data(rest.split("sun_path=", 1)[1])
            kinds[fd] = "x" if b".X11-unix/X" in path_named else "bus"
        elif call == "close":
            kinds.pop(fd, None)
        kind = kinds.get(fd)
        if kind is None or result <= 0 or call not in SENT + READ:
            continue
        if kind == "x":
            chunk = data(rest.split(",", 1)[1])[:result]
            (x.write if call in SENT else x.read)(chunk)
        elif call in SENT:
            last[fd] = "sent"
        elif last.get(fd) == "sent":
            last[fd] = "read"
            figures["bus_main" if pid == main else "bus_others"] += 1
    figures.update(painted=x.painted, requests=x.requests, replies=x.replies, sent=x.sent)
    return figures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--harness", required=True)
    parser.add_argument("programs", nargs="+", metavar="NAME=PROGRAM")
    args = parser.parse_args()
    programs = [tuple(item.split("=", 1)) for item in args.programs]
    rows = {}
    with tempfile.TemporaryDirectory(prefix="start-waits-") as folder:
        for name, program in programs:
            trace = os.path.join(folder, "trace")
            subprocess.run([args.harness, "-t", "60000", "-s", "300", "--", "strace", "-f", "-tt",
                            "-xx", "-s", "16777216", "-o", trace, program],
                           check=False, capture_output=True)
            rows[name] = count(trace)
            if not rows[name]["painted"]:
                print(f"{name}: no first paint seen in its trace", file=sys.stderr)
                return 1
    labels = {"requests": "X requests sent", "replies": "X replies read", "sent": "bytes sent to X",
              "bus_main": "bus round trips, main thread", "bus_others": "bus round trips, others",
              "syscalls": "system calls", "main_syscalls": "system calls, main thread",
              "threads": "threads started"}
    print("| before the first paint | " + " | ".join(name for name, _ in programs) + " |")
    print("|---" * (1 + len(programs)) + "|")
    for key, label in labels.items():
        print(f"| {label} | " + " | ".join(f"{rows[name][key]:,}" for name, _ in programs) + " |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
