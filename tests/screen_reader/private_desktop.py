# SPDX-License-Identifier: MIT
# The private X display and D-Bus session bus the screen-reader drivers run the real program on.
import contextlib
import os
import select
import shutil
import signal
import subprocess

TIMEOUT = 10.0  # seconds for a server to report that it is ready


class CheckFailed(Exception):
    pass


def require(*tools):
    for tool in tools:
        if shutil.which(tool) is None:
            raise CheckFailed(f"{tool} is not installed (scripts/test installs it)")


class PrivateDesktop(contextlib.ExitStack):
    """Starts processes in self.env (set by the subclass), each in a process group of its own,
    and ends every group it started, on exit."""

    def _spawn(self, argv, **kwargs):
        proc = subprocess.Popen(argv, start_new_session=True, env=self.env, **kwargs)
        self.callback(self._end, proc)
        return proc

    @staticmethod
    def _end(proc):
        with contextlib.suppress(ProcessLookupError):
            os.killpg(proc.pid, signal.SIGTERM)
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()

    def _spawn_reporting(self, argv, flag_with_fd, what):
        """Starts a server that writes one line to a descriptor once it is ready; returns it."""
        read_end, write_end = os.pipe()
        try:
            self._spawn(argv + flag_with_fd(write_end), pass_fds=[write_end],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            os.close(write_end)
        with os.fdopen(read_end) as ready:
            if not select.select([ready], [], [], TIMEOUT)[0]:
                raise CheckFailed(f"{what} did not start within {TIMEOUT:.0f} s")
            line = ready.readline().strip()
        if not line:
            raise CheckFailed(f"{what} ended at start")
        return line

    def start_display_and_bus(self):
        """An Xvfb on the first free display and a session bus; sets DISPLAY and
        DBUS_SESSION_BUS_ADDRESS in self.env."""
        # -noreset: the server must outlive its first client rather than start over.
        display = self._spawn_reporting(
            ["Xvfb", "-noreset", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"],
            lambda fd: ["-displayfd", str(fd)], "Xvfb")
        self.env["DISPLAY"] = ":" + display
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._spawn_reporting(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile"],
            lambda fd: [f"--print-address={fd}"], "the D-Bus session bus")
