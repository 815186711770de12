# SPDX-License-Identifier: MIT
# The real icatlas driven from outside, as a screen reader drives it: over AT-SPI on a private X
# display and D-Bus session, it finds the controls by their accessible names, presses every model
# button, reads the sixteen boxes and walks the Tab order by the focused state. What the boxes
# must say comes from the catalogue itself, through `icatlas-find --json`.
#
#   /usr/bin/python3 screen_reader_test.py --program icatlas --find icatlas-find CHECK...
#
# CHECK is one or more of: names, press, tab, find. Runs under Debian's python3, whose python3-pyatspi
# is imported only once the private buses exist (the bindings connect at import).

import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import PrivateDesktop, SessionError, end, require  # noqa: E402

# What a listener hears for each box, in Tab order, with the catalogue column and row it shows.
# The model box shows the record's model; the others its slot of that column and row.
BOXES = [
    ("Phone Model", None, None),
    ("PA IC 1", "PA IC", 1),
    ("PA IC 2", "PA IC", 2),
    ("PA IC 3", "PA IC", 3),
    ("PA IC 4", "PA IC", 4),
    ("RF IC 1", "RF IC", 1),
    ("RF IC 2", "RF IC", 2),
    ("POWER IC (UEM) 1", "POWER IC", 1),
    ("POWER IC (UEM) 2", "POWER IC", 2),
    ("UPP 1", "UPP", 1),
    ("UPP 2", "UPP", 2),
    ("FLASH IC 1", "FLASH IC", 1),
    ("FLASH IC 2", "FLASH IC", 2),
    ("RAM IC 1", "RAM IC", 1),
    ("RAM IC 2", "RAM IC", 2),
    ("RAM IC 3", "RAM IC", 3),
]

# The title bar names the version the build defines (--version).
WINDOW_TITLE = "NOKIA GSM ICs {version} - part numbers by MOSSGROVE"
TIMEOUT = 10.0  # seconds for any one thing to happen; each is polled, never slept out


class CheckFailed(Exception):
    pass


def wait_for(predicate, what, timeout=TIMEOUT):
    """Polls until predicate() returns something true and returns it; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise CheckFailed(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(0.01)


def read_catalogue(find_program):
    """The models in window order, each with its family and its boxes' texts keyed by the boxes'
    names, from icatlas-find's one record per box."""
    out = subprocess.run([find_program, "--json"], check=True, capture_output=True, text=True)
    models = {}
    for box in json.loads(out.stdout)["records"]:
        record = models.setdefault(box["model"], {"model": box["model"], "family": box["family"],
                                                  "boxes": {}})
        record["boxes"][box["box"]] = box["text"]
    if len(models) != 42:
        raise CheckFailed(f"the catalogue lists {len(models)} models, not 42")
    return list(models.values())


def expected_boxes(record):
    """The sixteen texts a record puts in the boxes, keyed by the boxes' accessible names."""
    return {name: record["boxes"][name] for name, _, _ in BOXES}


class Session(PrivateDesktop):
    """A private X display and D-Bus session bus; the AT-SPI bus is started on demand by the
    session bus. Everything started here is ended, process group by process group, on exit."""

    def __init__(self):
        super().__init__({k: v for k, v in os.environ.items()
                          if not k.startswith(("QT_", "AT_SPI"))})

    def start(self):
        require("Xvfb", "dbus-daemon", "xdotool")
        runtime_dir = self.enter_context(tempfile.TemporaryDirectory(prefix="icatlas-a11y-"))
        self.env["XDG_RUNTIME_DIR"] = runtime_dir
        self.start_display_and_bus()
        # The bindings read these when they are first imported.
        os.environ.update(self.env)
        for key in [k for k in os.environ if k.startswith("AT_SPI")]:
            del os.environ[key]
        return self

    def launch(self, program, log):
        env = dict(self.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        proc = subprocess.Popen([program], env=env, start_new_session=True, stdout=log,
                                stderr=subprocess.STDOUT)
        self.callback(end, proc)
        return proc


class Window:
    """The running window as AT-SPI shows it."""

    def __init__(self, pyatspi, proc, title):
        self.pyatspi = pyatspi
        self.proc = proc

        def application():
            if proc.poll() is not None:
                raise CheckFailed(f"icatlas ended with status {proc.returncode}")
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.get_process_id() == proc.pid and app.childCount > 0:
                    return app
            return None

        app = wait_for(application, "icatlas on the accessibility bus")
        self.root = wait_for(lambda: next((w for w in app if w.name == title), None),
                             f"a window titled '{title}'")
        self.all = pyatspi.findAllDescendants(self.root, lambda _: True)

    def wait(self, predicate, what):
        """wait_for, failing at once should the program end meanwhile."""
        def alive_and(predicate=predicate):
            if self.proc.poll() is not None:
                raise CheckFailed(f"icatlas ended with status {self.proc.returncode} "
                                  f"while waiting for {what}")
            return predicate()
        return wait_for(alive_and, what)

    def with_role(self, role):
        return [o for o in self.all if o.getRole() == role]

    def named(self, role, name):
        found = [o for o in self.with_role(role) if o.name == name]
        if len(found) != 1:
            raise CheckFailed(f"{len(found)} objects of role {role.value_nick} named '{name}'")
        return found[0]

    def focused(self):
        focused = []
        for obj in self.all:
            obj.clear_cache()  # the cached state set changes only with events we do not pump
            if obj.getState().contains(self.pyatspi.STATE_FOCUSED):
                focused.append(obj.name)
        return focused[0] if len(focused) == 1 else None


def text_of(box):
    return box.queryText().getText(0, -1)


def check_names(window, models):
    """Every control is named; buttons by their model, inside their frame, whose caption they do
    not repeat (the frame is announced as the focus enters it)."""
    pyatspi = window.pyatspi
    if window.root.getRole() != pyatspi.ROLE_FRAME:
        raise CheckFailed(f"the window is announced as a {window.root.getRoleName()}, not a frame")
    unnamed = [o.getRoleName() for o in window.all if not o.name]
    if unnamed:
        raise CheckFailed(f"controls without an accessible name: {unnamed}")
    buttons = window.with_role(pyatspi.ROLE_PUSH_BUTTON)
    if len(buttons) != 42:
        raise CheckFailed(f"{len(buttons)} buttons, not 42")
    for record in models:
        button = window.named(pyatspi.ROLE_PUSH_BUTTON, record["model"])
        frame = f"NOKIA {record['family']} PHONE"
        if button.parent.name != frame or button.description:
            raise CheckFailed(f"button {record['model']} is in '{button.parent.name}', "
                              f"described '{button.description}', not {frame}")
    boxes = window.with_role(pyatspi.ROLE_TEXT)
    if sorted(b.name for b in boxes) != sorted(name for name, _, _ in BOXES):
        raise CheckFailed(f"the boxes are named {[b.name for b in boxes]}")
    if text_of(window.named(pyatspi.ROLE_TEXT, "Phone Model")) != "NOKIA":
        raise CheckFailed("the model box does not start with NOKIA")
    pictures = window.with_role(pyatspi.ROLE_IMAGE)
    if len(pictures) != 1 or not pictures[0].description:
        raise CheckFailed("the banner picture has no description")
    print(f"names: 42 buttons by model in their frames, {len(boxes)} boxes, picture "
          f"'{pictures[0].name}: {pictures[0].description}', {len(window.all)} objects named")


def check_press(window, models):
    """Presses each model button and reads what the boxes then say."""
    pyatspi = window.pyatspi
    boxes = {name: window.named(pyatspi.ROLE_TEXT, name) for name, _, _ in BOXES}
    for record in models:
        button = window.named(pyatspi.ROLE_PUSH_BUTTON, record["model"])
        action = button.queryAction()
        press = [i for i in range(action.nActions) if action.getName(i) == "Press"]
        if not press:
            raise CheckFailed(f"button {record['model']} offers no Press action")
        expected = expected_boxes(record)
        action.doAction(press[0])

        def heard():
            said = {name: text_of(box) for name, box in boxes.items()}
            return said if said == expected else None

        try:
            said = window.wait(heard, f"the boxes to show {record['model']}")
        except CheckFailed:
            if window.proc.poll() is not None:
                raise
            said = {name: text_of(box) for name, box in boxes.items()}
            wrong = [f"{n}: '{said[n]}' (catalogue '{expected[n]}')"
                     for n in expected if said[n] != expected[n]]
            raise CheckFailed(f"{record['model']} pressed -> " + ", ".join(wrong)) from None
        print(f"{record['model']} pressed -> "
              + ", ".join(f"{name}: {text or '(blank)'}" for name, text in said.items()))
    print(f"press: {len(models)} buttons pressed, 16 boxes each as the catalogue says")


def send_key(key):
    subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True, timeout=TIMEOUT)


def check_tab(window, models):
    """Tab walks the buttons frame by frame in window order, then the boxes, then round again;
    Shift+Tab goes back."""
    # The window takes the keyboard as it would from a click on it: there is no window manager.
    ids = wait_for(lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--pid", str(window.proc.pid)],
        capture_output=True, text=True).stdout.split(), "the window on the X display")
    subprocess.run(["xdotool", "windowfocus", "--sync", ids[0]], check=True, timeout=TIMEOUT)

    order = [record["model"] for record in models] + [name for name, _, _ in BOXES]
    walked = [window.wait(window.focused, "focus on the first button")]
    for _ in order:
        before = walked[-1]
        send_key("Tab")
        walked.append(window.wait(lambda: (f := window.focused()) != before and f,
                                  f"focus to leave '{before}'"))
    if walked != order + order[:1]:
        raise CheckFailed(f"Tab walked {walked}")
    send_key("shift+Tab")
    back = window.wait(lambda: (f := window.focused()) != order[0] and f, "Shift+Tab")
    if back != order[-1]:
        raise CheckFailed(f"Shift+Tab from '{order[0]}' went to '{back}', not '{order[-1]}'")
    print("tab: " + " -> ".join(walked))
    print(f"tab: {len(order)} stops, round to '{order[0]}'; Shift+Tab back to '{back}'")


def focus_window(window):
    """The window takes the keyboard as it would from a click on it: there is no window manager."""
    ids = wait_for(lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--pid", str(window.proc.pid)],
        capture_output=True, text=True).stdout.split(), "the window on the X display")
    subprocess.run(["xdotool", "windowfocus", "--sync", ids[0]], check=True, timeout=TIMEOUT)


def models_holding(find_program, part):
    """The models icatlas-find lists for a part, from its hit lines ("  3510  DCT4  ...")."""
    out = subprocess.run([find_program, part], capture_output=True, text=True, timeout=TIMEOUT)
    return sorted({line.split()[0] for line in out.stdout.splitlines() if line.startswith("  ")})


def check_find(window, models, find_program):
    """Ctrl+F and a part typed: the field is named, the buttons of exactly the models icatlas-find
    lists describe the part, the answer line is shown and announced; Esc takes it all back."""
    pyatspi = window.pyatspi
    focus_window(window)
    window.wait(window.focused, "focus on the first button")
    send_key("ctrl+f")

    def field():
        window.all = pyatspi.findAllDescendants(window.root, lambda _: True)
        found = [o for o in window.with_role(pyatspi.ROLE_TEXT) if o.name == "Find a part"]
        return found[0] if found else None

    window.wait(field, "a text field named 'Find a part'")
    subprocess.run(["xdotool", "type", "--delay", "30", "4370805"], check=True, timeout=TIMEOUT)
    expected = models_holding(find_program, "4370805")
    line = "4370805: 7 models: 3510, 6310, 6310I, 6510, 8310, 8910, 8910I"

    def described():
        marked = []
        for button in window.with_role(pyatspi.ROLE_PUSH_BUTTON):
            button.clear_cache()
            if button.description.startswith("Holds 4370805 in "):
                marked.append(button.name)
        return sorted(marked) if sorted(marked) == expected else None

    try:
        window.wait(described, f"the buttons of {expected} to describe 4370805")
    except CheckFailed:
        raise CheckFailed(f"marked {described()} for 4370805, icatlas-find lists {expected}") \
            from None

    def shown(role):
        window.all = pyatspi.findAllDescendants(window.root, lambda _: True)
        return any(o.name == line for o in window.with_role(role))

    window.wait(lambda: shown(pyatspi.ROLE_LABEL), f"the answer line '{line}'")
    window.wait(lambda: shown(pyatspi.ROLE_NOTIFICATION), f"the answer announced: '{line}'")
    send_key("Escape")

    def taken_back():
        window.all = pyatspi.findAllDescendants(window.root, lambda _: True)
        for button in window.with_role(pyatspi.ROLE_PUSH_BUTTON):
            button.clear_cache()
            if button.description:
                return False
        return window.focused() == models[0]["model"]

    window.wait(taken_back, "Esc to take the marks away and give the focus back")
    print(f"find: 'Find a part' typed 4370805 -> buttons {', '.join(expected)} describe it; "
          f"shown and announced: {line}; Esc took it back")


CHECKS = {"names": check_names, "press": check_press, "tab": check_tab,
          "find": lambda window, models: check_find(window, models, FIND_PROGRAM[0])}
FIND_PROGRAM = []


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True, help="the built icatlas")
    parser.add_argument("--find", required=True, help="the built icatlas-find")
    parser.add_argument("--version", required=True, help="the version the build defines")
    parser.add_argument("checks", nargs="+", choices=sorted(CHECKS))
    args = parser.parse_args()

    FIND_PROGRAM.append(args.find)
    models = read_catalogue(args.find)
    with tempfile.TemporaryFile("w+") as log, Session() as session:
        try:
            session.start()
            try:
                import pyatspi  # pylint: disable=import-outside-toplevel
            except ImportError:
                raise CheckFailed("python3-pyatspi is missing (scripts/test installs it)")
            window = Window(pyatspi, session.launch(args.program, log),
                            WINDOW_TITLE.format(version=args.version))
            for check in args.checks:
                CHECKS[check](window, models)
        except (CheckFailed, SessionError) as failure:
            log.seek(0)
            print(f"FAILED: {failure}\n--- icatlas said:\n{log.read()}", file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
