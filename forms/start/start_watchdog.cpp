// SPDX-License-Identifier: MIT
// The start's watchdog on the real-time interval timer.
#include "forms/start/start_watchdog.hpp"

#include "forms/start/runtime.hpp"
#include "forms/start/start_failure.hpp"

#include <signal.h> // NOLINT(modernize-deprecated-headers): sigaction is POSIX, not in <csignal>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <ctime>

namespace forms {

namespace {

// What the handler reads; set before the timer is armed, so the handler always sees them whole.
struct Watch {
    std::atomic<const std::string *> line {nullptr};
    std::atomic<std::int64_t> working {0}; // ns of CPU time in a period that show work
    std::atomic<std::int64_t> before {0}; // the process's CPU time at the last ring, ns
    std::atomic<std::int64_t> end {0}; // CLOCK_MONOTONIC time past which it rings last, ns
};

Watch g_watch; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables): read by the handler
struct sigaction g_previous { }; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

static_assert(std::atomic<const std::string *>::is_always_lock_free
                  && std::atomic<std::int64_t>::is_always_lock_free,
              "the signal handler reads these");

// A clock's time in ns: the CPU time the whole process has used, or the time since boot
// (clock_gettime is async-signal-safe).
std::int64_t nanoseconds(clockid_t clock)
{
    timespec used {};
    ::clock_gettime(clock, &used);
    return static_cast<std::int64_t>(used.tv_sec) * 1'000'000'000 + used.tv_nsec;
}

extern "C" void onRing(int /*signal*/)
{
    // A start that is waiting for an answer uses no CPU; one that is only slow (under valgrind,
    // on a loaded machine) keeps working, and is given another period each time.
    const std::int64_t now = nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
    if (now - g_watch.before.exchange(now) >= g_watch.working.load()
        && nanoseconds(CLOCK_MONOTONIC) < g_watch.end.load()) {
        return;
    }
    // The main thread is blocked inside the toolkit holding who knows what: no stdio, no exit
    // handlers, no destructors; one write (a line shorter than PIPE_BUF goes whole) and the end.
    const std::string *line = g_watch.line.load();
    if (::write(STDERR_FILENO, line->data(), line->size()) < 0) {
        // Nothing more can be said where standard error is gone.
    }
    endStart(kStartFailureExitCode);
}

} // namespace

StartWatchdog::StartWatchdog(std::chrono::milliseconds period, std::chrono::milliseconds bound,
                             std::string line)
{
    say(std::move(line));
    g_watch.working = std::chrono::nanoseconds(period).count() / 10;
    g_watch.before = nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
    g_watch.end = nanoseconds(CLOCK_MONOTONIC) + std::chrono::nanoseconds(bound).count();

    struct sigaction action { };
    action.sa_handler = onRing;
    sigemptyset(&action.sa_mask);
    // Calls the toolkit is inside go on where the system can restart them; the others (poll)
    // see EINTR, which every event loop and X library retries.
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGALRM, &action, &g_previous) != 0) {
        return; // unwatched, as it would be without this watchdog
    }
    // An inherited mask that blocks the signal would keep it from ever ringing.
    sigset_t alarm {};
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    ::pthread_sigmask(SIG_UNBLOCK, &alarm, nullptr);
    const auto us = std::chrono::microseconds(period).count();
    const timeval every {.tv_sec = static_cast<time_t>(us / 1'000'000),
                         .tv_usec = static_cast<suseconds_t>(us % 1'000'000)};
    const itimerval timer {.it_interval = every, .it_value = every};
    m_armed = ::setitimer(ITIMER_REAL, &timer, nullptr) == 0;
    if (!m_armed) {
        ::sigaction(SIGALRM, &g_previous, nullptr);
    }
}

void StartWatchdog::say(std::string line)
{
    // The handler may be reading the line shown until now: the new one is written in the other
    // slot and then shown, in one store.
    m_shown = 1 - m_shown;
    m_lines.at(m_shown) = std::move(line);
    g_watch.line = &m_lines.at(m_shown);
}

StartWatchdog::~StartWatchdog()
{
    if (!m_armed) {
        return;
    }
    const itimerval off {};
    ::setitimer(ITIMER_REAL, &off, nullptr);
    ::sigaction(SIGALRM, &g_previous, nullptr);
}

} // namespace forms
