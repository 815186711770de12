# SPDX-License-Identifier: MIT
# The real icatlas as a listener hears it: Debian's Orca runs headless beside it and every word
# Orca would speak is read back from Orca's debug log ("SPEECH OUTPUT" lines; no synthesiser is
# needed). Each round presses one model button with Space and then Tabs through the sixteen boxes;
# every box must be announced by its name with its whole text, exactly as the window holds it, and
# the press itself must be heard as the model and its parts.
#
#   /usr/bin/python3 orca_test.py --program icatlas --find icatlas-find [--transcript FILE]
#                                 [--find-part PART] MODEL...
#
# With --find-part, the round ends by typing PART into the find row (Ctrl+F): Orca must say the
# answer line, the models icatlas-find lists for PART.
#
# Each round runs in a private PID namespace with its own X display, D-Bus session, HOME and XDG
# directories: Orca refuses to start beside another Orca of the same user, and the test must never
# touch a screen reader the user is running. Ending the namespace's first process ends everything
# started in it. Orca speaks through a speech-dispatcher of the round's own, configured in the
# round's XDG directories to synthesise nothing and play to ALSA's null device, so the round takes
# the same time whatever synthesisers and sound server the machine has (a real synthesiser with no
# sound server to reach can leave Orca waiting on its first utterance for ever). A round in which
# Orca falls silent fails within SILENCE seconds with what Orca last said.

import argparse
import contextlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from screen_reader_test import CheckFailed, expected_boxes, read_catalogue

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import PrivateDesktop, SessionError, require  # noqa: E402

TIMEOUT = 10.0  # seconds for Orca to react to one thing; polled, never slept out
QUIET = 0.6  # seconds without a new utterance after which Orca has finished speaking
SILENCE = 40.0  # seconds without any utterance after which Orca is taken to hang
SPOKEN = re.compile(r" - SPEECH OUTPUT: '(.*)'(?: voice=\w+)?\s*(?:\{.*\})?\s*$")

# Run under Orca's own interpreter with the debug file line-buffered, so the log can be followed
# while Orca runs instead of appearing only when Orca exits.
ORCA_LAUNCHER = """
import builtins, runpy, sys
log = sys.argv[1]
real_open = builtins.open
def line_buffered_open(file, mode="r", *args, **kwargs):
    if file == log and "w" in mode:
        return real_open(file, mode, 1, *args[1:], **kwargs)
    return real_open(file, mode, *args, **kwargs)
builtins.open = line_buffered_open
sys.argv = ["orca", "--debug-file", log]
runpy.run_path("/usr/bin/orca", run_name="__main__")
"""


# speech-dispatcher's configuration for the round (its own, as XDG_CONFIG_HOME is the round's): one
# module, the generic one running a command that says nothing, and audio opened on ALSA's null PCM,
# which every libasound has. No module the machine installed is loaded.
SPEECHD_CONF = """AddModule "silent" "sd_generic" "silent.conf"
DefaultModule silent
AudioOutputMethod "alsa"
AudioALSADevice "null"
"""
SILENT_MODULE_CONF = """GenericExecuteSynth "true"
AddVoice "en" "MALE1" "silent"
"""


class Speech:
    """Orca's utterances, read as Orca writes them."""

    def __init__(self, path):
        self.path = path
        self.lines = []
        self._offset = 0

    def poll(self):
        with contextlib.suppress(FileNotFoundError), open(self.path, encoding="utf-8",
                                                          errors="replace") as log:
            log.seek(self._offset)
            chunk = log.read()
            complete = chunk[:chunk.rfind("\n") + 1]
            self._offset += len(complete.encode("utf-8", errors="replace"))
            for line in complete.splitlines():
                match = SPOKEN.search(line)
                if match:
                    self.lines.append(match.group(1))
        return len(self.lines)

    def wait_for(self, predicate, what, start=0):
        """Waits until the utterances from `start` on satisfy predicate and Orca has then been
        quiet for a moment; returns those utterances. Without `what`, also returns them once Orca
        has been silent for TIMEOUT, for the caller to judge."""
        deadline = time.monotonic() + TIMEOUT
        count, changed = self.poll(), time.monotonic()
        while True:
            time.sleep(0.05)
            now = self.poll()
            if now != count:
                count, changed = now, time.monotonic()
            said = self.lines[start:]
            if predicate(said) and time.monotonic() - changed >= QUIET:
                return said
            if time.monotonic() > deadline:
                if what is None:
                    return said
                raise CheckFailed(f"timed out waiting for Orca to say {what}; it said {said}")


class Round(PrivateDesktop):
    """One private desktop: X display, session bus, Orca, then icatlas."""

    def __init__(self, workdir):
        super().__init__({k: v for k, v in os.environ.items()
                          if not k.startswith(("QT_", "AT_SPI", "XDG_", "DBUS_", "DISPLAY",
                                               "WAYLAND", "SPEECHD_"))})
        self.workdir = workdir
        home = os.path.join(workdir, "home")
        self.env.update(HOME=home, XDG_RUNTIME_DIR=os.path.join(workdir, "run"),
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"),
                        XDG_STATE_HOME=os.path.join(home, ".local", "state"))
        for key in ("HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                    "XDG_CACHE_HOME", "XDG_STATE_HOME"):
            os.makedirs(self.env[key], mode=0o700, exist_ok=True)
        speechd = os.path.join(self.env["XDG_CONFIG_HOME"], "speech-dispatcher")
        os.makedirs(os.path.join(speechd, "modules"))
        for name, text in (("speechd.conf", SPEECHD_CONF),
                           (os.path.join("modules", "silent.conf"), SILENT_MODULE_CONF)):
            with open(os.path.join(speechd, name), "w", encoding="utf-8") as conf:
                conf.write(text)
        self.speech = Speech(os.path.join(workdir, "orca.log"))
        self.log = None
        self.stop_watching = threading.Event()
        self.callback(self.stop_watching.set)

    def watch(self):
        """Fails the round, saying what Orca last said, once Orca has said nothing for SILENCE.
        It reads Orca's log on its own: the driver itself may be stuck in a call that waits on
        Orca. The round's first process ends here, and with it everything in the namespace."""
        speech = Speech(self.speech.path)
        count, heard = 0, time.monotonic()
        while not self.stop_watching.wait(1.0):
            if speech.poll() != count:
                count, heard = len(speech.lines), time.monotonic()
            elif time.monotonic() - heard > SILENCE:
                self.give_up(speech.lines[-5:])

    def give_up(self, last_said):
        tail = []
        with contextlib.suppress(OSError), open(self.speech.path, encoding="utf-8",
                                                errors="replace") as orca_log:
            tail = orca_log.readlines()[-12:]
        self.log.seek(0)
        print(f"FAILED: Orca has said nothing for {SILENCE:.0f} s; it last said {last_said}; "
              f"its log ends:\n{''.join(tail)}--- icatlas and Orca said:\n{self.log.read()}",
              file=sys.stderr, flush=True)
        self.close()
        shutil.rmtree(self.workdir, ignore_errors=True)
        # Not sys.exit: that would end only this thread, and the driver's may never return.
        os._exit(1)

    def start(self, program, log):
        require("Xvfb", "dbus-daemon", "xdotool", "orca", "speech-dispatcher")
        self.log = log
        self.start_display_and_bus()
        threading.Thread(target=self.watch, daemon=True).start()
        # Orca first: the program decides once, as it starts, whether a screen reader listens.
        self._spawn(["/usr/bin/python3", "-c", ORCA_LAUNCHER, self.speech.path],
                    stdout=log, stderr=subprocess.STDOUT)
        self.speech.wait_for(lambda said: "Screen reader on." in said, "that it is on")
        self.program = self._spawn([program], stdout=log, stderr=subprocess.STDOUT)
        ids = self.wait(lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--pid", str(self.program.pid)],
            capture_output=True, text=True, env=self.env).stdout.split(), "the window")
        # There is no window manager: the window takes the keyboard as it would from a click.
        subprocess.run(["xdotool", "windowfocus", "--sync", ids[0]], check=True,
                       timeout=TIMEOUT, env=self.env)

    def wait(self, predicate, what):
        deadline = time.monotonic() + TIMEOUT
        while not (value := predicate()):
            if self.program.poll() is not None:
                raise CheckFailed(f"icatlas ended with status {self.program.returncode}")
            if time.monotonic() > deadline:
                raise CheckFailed(f"timed out waiting for {what}")
            time.sleep(0.05)
        return value

    def act(self, how, target, predicate):
        """Clicks the point `target`, focuses the object `target` or sends the key `how`; returns
        what Orca says in answer,
        once that satisfies predicate or Orca has said nothing more for a while."""
        start = self.speech.poll()
        if how == "click":
            argv = ["mousemove", "--sync", str(target[0]), str(target[1]), "click", "1"]
        elif how == "focus":
            target.queryComponent().grabFocus()
            argv = None
        else:
            argv = ["key", "--clearmodifiers", how]
        if argv:
            subprocess.run(["xdotool"] + argv, check=True, timeout=TIMEOUT, env=self.env)
        if self.program.poll() is not None:
            raise CheckFailed(f"icatlas ended with status {self.program.returncode}")
        return self.speech.wait_for(predicate, None, start)


def press_summary(record):
    """What the press of a model's button must be heard as: the model, then each non-blank part
    by its box's name."""
    parts = [f"{name} {text}" for name, text in expected_boxes(record).items()
             if name != "Phone Model" and text.strip()]
    return f"{record['model']}: " + ", ".join(parts)


# What Orca says around a box's text that is not the text: the key, the selection, the box's
# description.
NOT_TEXT = {"tab ", "selected", "selected.", "Text unselected.",
            "The model whose ICs the boxes show; a model button chooses it."}


def box_errors(name, text, said):
    """What is wrong in the utterances for focusing a box: it must be announced by name and role,
    its whole text must be heard (unless blank), and nothing else may be said as its text. Orca
    ends an utterance with "." or "selected"; a trailing blank cannot be heard."""
    errors = []
    if f"{name} text." not in said:
        errors.append(f"not announced as '{name} text'")
    heard = [u.removesuffix(".").removesuffix(" selected") for u in said
             if u not in NOT_TEXT and u != f"{name} text."]
    wanted = text.rstrip()
    wrong = [u for u in heard if u.rstrip() != wanted]
    if wrong:
        errors.append(f"heard {wrong}")
    if wanted and wanted not in [u.rstrip() for u in heard]:
        errors.append("its text was not heard")
    return errors


class Desktop:
    """The window's controls where the pointer reaches them, found over AT-SPI."""

    def __init__(self, rnd):
        import pyatspi  # pylint: disable=import-outside-toplevel
        self.pyatspi = pyatspi
        app = rnd.wait(lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                                      if a is not None and a.get_process_id() == rnd.program.pid
                                      and a.childCount > 0), None), "icatlas on the bus")
        self.all = pyatspi.findAllDescendants(app, lambda _: True)

    def find(self, role, name):
        found = [o for o in self.all if o.getRole() == role and o.name == name]
        if len(found) != 1:
            raise CheckFailed(f"{len(found)} controls named '{name}'")
        return found[0]

    def centre(self, role, name):
        box = self.find(role, name).queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        return box.x + box.width // 2, box.y + box.height // 2


def answer_line(find_program, part):
    """The find row's answer for a part, from the models icatlas-find lists for it, in its order."""
    out = subprocess.run([find_program, part], capture_output=True, text=True, timeout=TIMEOUT)
    found = []
    for line in out.stdout.splitlines():
        if line.startswith("  ") and line.split()[0] not in found:
            found.append(line.split()[0])
    return f"{part}: {len(found)} model{'s' if len(found) != 1 else ''}: " + ", ".join(found)


def find_part(rnd, part, line):
    """Ctrl+F, the part typed; returns what Orca said once typing paused, and what was wrong."""
    start = rnd.speech.poll()
    subprocess.run(["xdotool", "key", "--clearmodifiers", "ctrl+f"], check=True,
                   timeout=TIMEOUT, env=rnd.env)
    subprocess.run(["xdotool", "type", "--delay", "40", part], check=True, timeout=TIMEOUT,
                   env=rnd.env)
    said = rnd.speech.wait_for(lambda said: any(line in u for u in said), None, start)
    return said, [] if any(line in u for u in said) else [
        f"find {part}: Orca said {said}, not '{line}'"]


def run_round(program, records, log, keep_log=None, find=None):
    """Presses each model's button (a click; the first also with Space) and visits the sixteen
    boxes (the first focused over AT-SPI, then Tab); returns what Orca said, step by step, and
    what was wrong in it."""
    transcript = []
    failures = []
    with tempfile.TemporaryDirectory(prefix="icatlas-orca-") as workdir, Round(workdir) as rnd:
        rnd.start(program, log)
        # The bindings find the private buses from the environment when first imported.
        for key in [k for k in os.environ if k.startswith("AT_SPI")]:
            del os.environ[key]
        os.environ.update(rnd.env)
        desktop = Desktop(rnd)
        for record in records:
            summary = press_summary(record)
            # A click presses a button; Space presses it again where the focus now is.
            for how in ("click", "space") if record is records[0] else ("click",):
                target = desktop.centre(desktop.pyatspi.ROLE_PUSH_BUTTON, record["model"])
                said = rnd.act(how, target, lambda said: any(summary in u for u in said))
                transcript.append((f"{how} on {record['model']}", said))
                if not any(summary in u for u in said):
                    failures.append(f"{how} on {record['model']}: Orca said {said}, "
                                    f"not '{summary}'")
            # The first box gets the focus as a screen reader's own "focus" command gives it; Tab
            # then selects each box's whole text as it enters, as a user reaches the boxes.
            for index, (name, text) in enumerate(expected_boxes(record).items()):
                target = desktop.find(desktop.pyatspi.ROLE_TEXT, name)
                said = rnd.act("focus" if index == 0 else "Tab", target,
                               lambda said, name=name: any(u.startswith(name) for u in said))
                transcript.append((f"{record['model']} {name}", said))
                errors = box_errors(name, text, said)
                if errors:
                    failures.append(f"{record['model']}: box '{name}' holds {text!r}: "
                                    + "; ".join(errors) + f" (Orca said {said})")
        if find:
            said, errors = find_part(rnd, *find)
            transcript.append((f"find {find[0]}", said))
            failures += errors
        if keep_log:
            shutil.copyfile(rnd.speech.path, keep_log)
    return transcript, failures


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True, help="the built icatlas")
    parser.add_argument("--find", required=True, help="the built icatlas-find")
    parser.add_argument("--transcript", help="also write what Orca said to this file")
    parser.add_argument("--orca-log", help="keep Orca's whole debug log in this file")
    parser.add_argument("--find-part", help="then type this part into the find row (Ctrl+F)")
    parser.add_argument("models", nargs="+", help="the model buttons to press, one round each")
    args = parser.parse_args()
    if os.getpid() != 1:
        # Into a namespace of our own; its first process is this script again.
        # Without root, a user namespace of our own makes the PID namespace possible.
        # unshare takes this process's place, so that whoever ends this process (a test runner's
        # timeout) ends the namespace too.
        user = [] if os.geteuid() == 0 else ["--map-root-user"]
        os.execvp("unshare", ["unshare", "--pid", "--fork", "--mount-proc", "--kill-child"]
                  + user + ["/usr/bin/python3"] + sys.argv)
    models = {record["model"]: record for record in read_catalogue(args.find)}
    with tempfile.TemporaryFile("w+") as log:
        try:
            find = (args.find_part, answer_line(args.find, args.find_part)) \
                if args.find_part else None
            transcript, failures = run_round(args.program, [models[m] for m in args.models], log,
                                             args.orca_log, find)
        except (CheckFailed, SessionError, subprocess.TimeoutExpired) as failure:
            log.seek(0)
            print(f"FAILED: {failure}\n--- icatlas and Orca said:\n{log.read()}", file=sys.stderr)
            return 1
    lines = [f"{step}: " + " | ".join(repr(u) for u in said) for step, said in transcript]
    print("\n".join(lines))
    if args.transcript:
        with open(args.transcript, "w", encoding="utf-8") as out:
            out.write("\n".join(lines) + "\n")
    for failure in failures:
        print(f"FAILED: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
