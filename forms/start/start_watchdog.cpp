// SPDX-License-Identifier: MIT
// The start's watchdog thread.
#include "forms/start/start_watchdog.hpp"

#include <unistd.h>

#include <cstdlib>
#include <ctime>

namespace forms {

StartWatchdog::StartWatchdog(std::chrono::milliseconds limit, std::string line, int exitCode)
    : m_line(std::move(line))
    , m_exitCode(exitCode)
    , m_thread([this, limit] { watch(limit); })
{
}

StartWatchdog::~StartWatchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_disarmed.notify_one();
    m_thread.join();
}

namespace {

// The CPU time the whole process has used so far.
std::chrono::nanoseconds processCpuTime()
{
    timespec used {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
}

} // namespace

void StartWatchdog::watch(std::chrono::milliseconds limit) const
{
    // A start that is waiting for an answer uses no CPU; one that is only slow (under valgrind,
    // on a loaded machine) keeps working, and is given another period each time.
    const auto working = limit / 10;
    std::unique_lock lock(m_mutex);
    for (auto before = processCpuTime();;) {
        if (m_disarmed.wait_for(lock, limit, [this] { return m_done; })) {
            return;
        }
        const auto now = processCpuTime();
        if (now - before < working) {
            break;
        }
        before = now;
    }
    // The main thread is blocked inside the toolkit holding who knows what: no stdio, no exit
    // handlers, no destructors; one write and the end.
    const char *text = m_line.data();
    std::size_t left = m_line.size();
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, text, left);
        if (written <= 0) {
            break;
        }
        text += written;
        left -= static_cast<std::size_t>(written);
    }
    std::_Exit(m_exitCode);
}

} // namespace forms
