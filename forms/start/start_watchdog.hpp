// SPDX-License-Identifier: MIT
// A bound on the part of the start that waits for the display: a display that accepts the
// connection and never answers (a stuck ssh tunnel, a dead proxy) would otherwise keep the program
// waiting for ever with nothing said. Toolkit-free, so it can be armed before the toolkit starts.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace forms {

// While it lives, a thread waits `limit` at a time; if the watchdog is still alive then and the
// process has used less than a tenth of that in CPU time meanwhile (it is waiting, not working),
// the thread writes `line` to stderr and ends the process with `exitCode` (nothing else can be
// done safely while the main thread is stuck inside the toolkit). Destroying it disarms it and
// joins the thread.
class StartWatchdog {
public:
    StartWatchdog(std::chrono::milliseconds limit, std::string line, int exitCode);
    ~StartWatchdog();

    StartWatchdog(const StartWatchdog &) = delete;
    StartWatchdog &operator=(const StartWatchdog &) = delete;
    StartWatchdog(StartWatchdog &&) = delete;
    StartWatchdog &operator=(StartWatchdog &&) = delete;

private:
    void watch(std::chrono::milliseconds limit) const;

    std::string m_line;
    int m_exitCode;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_disarmed;
    bool m_done = false;
    std::thread m_thread; // last: started once every member it reads is ready
};

} // namespace forms
