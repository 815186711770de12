// SPDX-License-Identifier: MIT
// What bounds the start: the watchdog (it ends a start that waits, and one that works past its
// bound, says why, leaves one that finished alone, and takes no thread, so a tight limit on
// threads neither stops it nor takes the toolkit's), and the probe of a bus where nothing answers.
// Real silent buses and owners are tested with the real program in tests/reliability.
#include "forms/start/runtime.hpp"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

std::ptrdiff_t threadCount()
{
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return std::distance(begin(tasks), end(tasks));
}

TEST(StartWatchdog, EndsAStartThatWaitsAndABusyOneAtItsBoundWithItsLine)
{
    EXPECT_EXIT(
        {
            const forms::StartWatchdog watchdog(100ms, 10s, "icatlas: gave up\n");
            std::this_thread::sleep_for(10s);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(3), "^icatlas: gave up\n$");
    // Working all the time, as libXau does reading an endless XAUTHORITY.
    EXPECT_EXIT(
        {
            const forms::StartWatchdog watchdog(100ms, 400ms, "icatlas: gave up\n");
            std::atomic<unsigned long> spin {0};
            for (;;) {
                spin.fetch_add(1, std::memory_order_relaxed);
            }
        },
        ::testing::ExitedWithCode(3), "^icatlas: gave up\n$");
}

TEST(StartWatchdog, OnceDisarmedLeavesTheProgramAloneAndTakesNoThread)
{
    // A timer left running, or the signal's old handling not put back, would end the program.
    EXPECT_EXIT(
        {
            {
                const forms::StartWatchdog watchdog(50ms, 50ms, "gave up\n");
            }
            std::this_thread::sleep_for(300ms);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(
        {
            const std::ptrdiff_t before = threadCount();
            const forms::StartWatchdog watchdog(10s, 10s, "gave up\n");
            std::_Exit(threadCount() == before ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// A bus that takes the connection and says nothing is silent within the bound, also as the second
// entry of an address list; one that is not there is not waited for.
TEST(BusProbe, SilentBusIsToldFromAMissingOne)
{
    const std::string name = "icatlas-probe-" + std::to_string(::getpid());
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un where {};
    where.sun_family = AF_UNIX;
    where.sun_path[0] = '\0';
    name.copy(&where.sun_path[1], name.size());
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the socket API's own type
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr *>(&where),
                     static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size())),
              0);
    ASSERT_EQ(::listen(listener, 4), 0);

    const std::string silent = "unix:path=/nonexistent/bus;unix:abstract=" + name;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(forms::probeBus(silent, true, 300ms).bus, forms::BusAnswer::Silent);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    ::close(listener);
    EXPECT_EQ(forms::probeBus(silent, true, 300ms).bus, forms::BusAnswer::NotReached);
    EXPECT_EQ(forms::probeBus("tcp:host=localhost,port=1", false, 300ms).bus,
              forms::BusAnswer::NotReached);
    EXPECT_EQ(forms::probeBus("autolaunch:", false, 300ms).bus, forms::BusAnswer::NotReached);
}

} // namespace
