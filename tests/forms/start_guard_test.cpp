// SPDX-License-Identifier: MIT
// What bounds the start's waiting: the watchdog (it ends a start that waits, says why, leaves one
// that finished alone, and takes no thread, so a tight limit on threads neither stops it nor takes
// the toolkit's), and the probe of the session bus where nothing answers. A bus whose
// org.a11y.Bus owner never answers is tested with the real program in tests/reliability.
#include "forms/start/bus_probe.hpp"
#include "forms/start/start_watchdog.hpp"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace {

using namespace std::chrono_literals;

std::ptrdiff_t threadCount()
{
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return std::distance(begin(tasks), end(tasks));
}

TEST(StartWatchdog, EndsAStartThatWaitsWithItsLine)
{
    EXPECT_EXIT(
        {
            const forms::StartWatchdog watchdog(100ms, "icatlas: gave up\n", 3);
            std::this_thread::sleep_for(10s);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(3), "^icatlas: gave up\n$");
}

TEST(StartWatchdog, OnceDisarmedLeavesTheProgramAlone)
{
    // A timer left running, or the signal's old handling not put back, would end the program.
    EXPECT_EXIT(
        {
            {
                const forms::StartWatchdog watchdog(50ms, "gave up\n", 3);
            }
            std::this_thread::sleep_for(300ms);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "^$");
}

TEST(StartWatchdog, TakesNoThread)
{
    EXPECT_EXIT(
        {
            const std::ptrdiff_t before = threadCount();
            const forms::StartWatchdog watchdog(10s, "gave up\n", 3);
            std::_Exit(threadCount() == before ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

struct AddressCase {
    const char *label;
    std::string_view address;
    std::optional<std::string> socket; // a leading NUL for an abstract name
};

const auto kAddresses = std::to_array<AddressCase>({
    {"path", "unix:path=/run/user/1000/bus", "/run/user/1000/bus"},
    {"abstract_with_guid", "unix:abstract=/tmp/dbus-Xy,guid=0f", std::string("\0/tmp/dbus-Xy", 13)},
    {"guid_first", "unix:guid=0f,path=/tmp/b", "/tmp/b"},
    {"escaped", "unix:path=/tmp/a%2cb%20c", "/tmp/a,b c"},
    {"first_local_of_several", "tcp:host=x,port=1;unix:path=/tmp/b;unix:path=/tmp/c", "/tmp/b"},
    {"no_local_entry", "tcp:host=localhost,port=4000", std::nullopt},
    {"broken_escape", "unix:path=/tmp/a%2", std::nullopt},
    {"empty", "", std::nullopt},
});

class BusAddress : public ::testing::TestWithParam<AddressCase> { };

TEST_P(BusAddress, NamesTheLocalSocket)
{
    EXPECT_EQ(forms::localSocketName(GetParam().address), GetParam().socket);
}

INSTANTIATE_TEST_SUITE_P(Start, BusAddress, ::testing::ValuesIn(kAddresses),
                         [](const auto &info) { return std::string(info.param.label); });

// A bus that takes the connection and says nothing is silent within the bound; one that is not
// there is not waited for.
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

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(forms::probeAccessibilityBus("unix:abstract=" + name, 300ms),
              forms::BusAnswer::SessionBusSilent);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    ::close(listener);
    EXPECT_EQ(forms::probeAccessibilityBus("unix:abstract=" + name, 300ms),
              forms::BusAnswer::NotReached);
    EXPECT_EQ(forms::probeAccessibilityBus("tcp:host=localhost,port=1", 300ms),
              forms::BusAnswer::NotReached);
}

} // namespace
