// SPDX-License-Identifier: MIT
// A bound on the parts of the start that wait for someone else: a display that accepts the
// connection and never answers (a stuck ssh tunnel, a dead proxy), or a bus that the toolkit calls
// and that never replies, would otherwise keep the program waiting for ever with nothing said.
// Toolkit-free, so it can be armed before the toolkit starts.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <string>

namespace forms {

// While it lives, the process's real-time interval timer rings every `period`. If the process has
// used less than a tenth of that in CPU time since the last ring (it is waiting, not working), or
// `bound` has passed since it was armed however busy it is (a library reading an endless file),
// the signal handler writes the line to stderr and ends the start with kStartFailureExitCode
// (nothing else can be done safely while the main thread is stuck inside the toolkit). A start
// that is only slow (under valgrind) keeps working and is given periods up to the bound. Destroying
// it disarms it and puts back what handled the signal before.
//
// It takes no thread: where the user may run only a few (a tight RLIMIT_NPROC) a thread of ours
// could not be made, or would take the one the toolkit needs to read the display. One watchdog
// lives at a time.
class StartWatchdog {
public:
    StartWatchdog(std::chrono::milliseconds period, std::chrono::milliseconds bound,
                  std::string line);
    ~StartWatchdog();

    // The line from now on, as the start goes on to wait for something else.
    void say(std::string line);

    StartWatchdog(const StartWatchdog &) = delete;
    StartWatchdog &operator=(const StartWatchdog &) = delete;

private:
    std::array<std::string, 2> m_lines; // the line shown, and the one shown before
    std::size_t m_shown = 0;
    bool m_armed = false;
};

} // namespace forms
