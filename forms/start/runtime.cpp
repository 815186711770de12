// SPDX-License-Identifier: MIT
// The start's own lines, its end and on Unix its bounds, shared by every realisation.
#include "forms/start/runtime.hpp"

#include "forms/core/start_texts.hpp"

#if !defined(_WIN32)
#include <dbus/dbus.h>
#include <signal.h> // NOLINT(modernize-deprecated-headers): sigaction is POSIX, not in <csignal>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <span>

namespace forms {

namespace {

std::string_view g_programName;
std::atomic<const char *> g_removedAtEnd {nullptr}; // read by the watchdog's signal handler

} // namespace

std::optional<std::string_view> environment(const char *name)
{
    const char *value = std::getenv(name); // NOLINT(concurrency-mt-unsafe): read before any thread
    return value == nullptr || *value == '\0' ? std::nullopt
                                              : std::optional<std::string_view>(value);
}

void setProgramName(std::string_view name)
{
    g_programName = name;
}

std::string_view programName()
{
    return g_programName;
}

// stderr is never fully buffered: a line is out as soon as it is written, before any _Exit.
void printLine(std::string_view text)
{
    std::fputs(programLine(g_programName, text).c_str(), stderr);
}

std::optional<int> answerCommandLine(const ProjectDescription &project,
                                     const CommandLine &commandLine,
                                     std::string_view toolkitOptions)
{
    if (commandLine.action == CommandAction::Run) {
        return std::nullopt;
    }
    if (commandLine.action == CommandAction::Refuse) {
        std::fputs(refusalLine(g_programName, commandLine.refusal).c_str(), stderr);
        return kUsageExitCode;
    }
    const bool help = commandLine.action == CommandAction::ShowHelp;
    std::fputs((help ? helpText(project, toolkitOptions) : versionText(project)).c_str(), stdout);
    return 0;
}

void endStart(int status)
{
#if !defined(_WIN32)
    if (const char *folder = g_removedAtEnd.load(); folder != nullptr) {
        ::rmdir(folder);
    }
#endif
    std::_Exit(status);
}

void refuseStart(std::string_view reason)
{
    std::fputs(startFailureLine(g_programName, reason).c_str(), stderr);
    endStart(kStartFailureExitCode);
}

#if !defined(_WIN32) // the runtime folder, the watchdog and the buses are the freedesktop toolkits'
void removeAtEnd(const char *folder)
{
    g_removedAtEnd = folder;
}

namespace {

// What the handler reads, set before the timer is armed so that it always sees them whole.
std::atomic<const char *> g_line {nullptr};
std::atomic<std::int64_t> g_working {0}; // ns of CPU time in a period that show work
std::atomic<std::int64_t> g_before {0}; // the process's CPU time at the last ring, ns
std::atomic<std::int64_t> g_end {0}; // CLOCK_MONOTONIC time past which it rings last, ns
struct sigaction g_previous { }; // what handled the signal before
static_assert(std::atomic<std::int64_t>::is_always_lock_free, "the signal handler reads them");

// A clock's time in ns (clock_gettime is async-signal-safe).
std::int64_t nanoseconds(clockid_t clock)
{
    timespec now {};
    ::clock_gettime(clock, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

extern "C" void onRing(int /*signal*/)
{
    const std::int64_t now = nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
    if (now - g_before.exchange(now) >= g_working.load()
        && nanoseconds(CLOCK_MONOTONIC) < g_end.load()) {
        return;
    }
    // The main thread is blocked inside the toolkit holding who knows what: no stdio, no exit
    // handlers, no destructors; one write (a line shorter than PIPE_BUF goes whole) and the end.
    const char *line = g_line.load();
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line, std::strlen(line));
    endStart(kStartFailureExitCode);
}

using Clock = std::chrono::steady_clock;

// A private connection is ours to close before its last reference goes.
using Connection = std::unique_ptr<DBusConnection, decltype([](DBusConnection *connection) {
                                       dbus_connection_close(connection);
                                       dbus_connection_unref(connection);
                                   })>;
using Message
    = std::unique_ptr<DBusMessage,
                      decltype([](DBusMessage *message) { dbus_message_unref(message); })>;

// Calls `member` (never starting its owner) and reads until the reply, the end or the deadline.
BusAnswer ask(DBusConnection *connection, Clock::time_point deadline, Message &reply,
              const char *destination, const char *path, const char *interface, const char *member)
{
    reply.reset();
    const Message call {dbus_message_new_method_call(destination, path, interface, member)};
    if (call) {
        dbus_message_set_auto_start(call.get(), FALSE);
    }
    dbus_uint32_t serial = 0;
    if (!call || dbus_connection_send(connection, call.get(), &serial) == FALSE) {
        return BusAnswer::NotReached;
    }
    for (;;) {
        while ((reply = Message {dbus_connection_pop_message(connection)})) {
            if (dbus_message_get_reply_serial(reply.get()) == serial) {
                return BusAnswer::Answered;
            }
        }
        if (dbus_connection_get_is_connected(connection) == FALSE) {
            return BusAnswer::NotReached;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return BusAnswer::Silent;
        }
        dbus_connection_read_write(connection, static_cast<int>(left.count()));
    }
}

} // namespace

StartWatchdog::StartWatchdog(std::chrono::milliseconds period, std::chrono::milliseconds bound,
                             const char *line)
{
    g_line = line;
    g_working = std::chrono::nanoseconds(period).count() / 10;
    g_before = nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
    g_end = nanoseconds(CLOCK_MONOTONIC) + std::chrono::nanoseconds(bound).count();
    // Calls the toolkit is inside go on where the system can restart them; the others (poll)
    // see EINTR, which every event loop and X library retries.
    struct sigaction action { };
    action.sa_handler = onRing;
    action.sa_flags = SA_RESTART;
    sigaddset(&action.sa_mask, SIGALRM); // blocked in the handler as it is anyway; unblocked below
    ::sigaction(SIGALRM, &action, &g_previous); // fails only for a signal that cannot be caught
    // An inherited mask that blocks the signal would keep it from ever ringing.
    ::pthread_sigmask(SIG_UNBLOCK, &action.sa_mask, nullptr);
    const timeval every {.tv_sec = period.count() / 1000, .tv_usec = period.count() % 1000 * 1000};
    const itimerval timer {.it_interval = every, .it_value = every};
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

void StartWatchdog::say(const char *line)
{
    g_line = line;
}

StartWatchdog::~StartWatchdog()
{
    const itimerval off {};
    ::setitimer(ITIMER_REAL, &off, nullptr);
    ::sigaction(SIGALRM, &g_previous, nullptr);
}

std::optional<std::string> programStartedFor(std::string_view address)
{
    DBusAddressEntry **entries = nullptr;
    int count = 0;
    if (dbus_parse_address(std::string(address).c_str(), &entries, &count, nullptr) == FALSE) {
        return std::nullopt; // libdbus opens nothing it cannot parse
    }
    const std::unique_ptr<DBusAddressEntry *, decltype(&dbus_address_entries_free)> parsed {
        entries, &dbus_address_entries_free};
    for (DBusAddressEntry *entry : std::span(entries, static_cast<std::size_t>(count))) {
        const std::string_view method = dbus_address_entry_get_method(entry);
        if (method == "unixexec" || method == "autolaunch") {
            return std::string(method);
        }
    }
    return std::nullopt;
}

std::optional<std::string> sessionBusAddress()
{
    if (const auto named = environment("DBUS_SESSION_BUS_ADDRESS")) {
        return std::string(*named);
    }
    const auto runtime = environment("XDG_RUNTIME_DIR");
    const std::string socket = std::string(runtime.value_or("")) + "/bus";
    struct stat found { };
    if (!runtime || ::stat(socket.c_str(), &found) != 0 || !S_ISSOCK(found.st_mode)
        || found.st_uid != ::getuid()) {
        return std::nullopt;
    }
    const std::unique_ptr<char, decltype(&dbus_free)> escaped {
        dbus_address_escape_value(socket.c_str()), &dbus_free};
    return escaped ? std::optional("unix:path=" + std::string(escaped.get())) : std::nullopt;
}

BusProbe probeBus(const std::string &address, bool askLauncher, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    const Connection connection {programStartedFor(address)
                                     ? nullptr
                                     : dbus_connection_open_private(address.c_str(), nullptr)};
    if (!connection) {
        return {};
    }
    Message reply;
    BusProbe said {.bus = ask(connection.get(), deadline, reply, DBUS_SERVICE_DBUS, DBUS_PATH_DBUS,
                              DBUS_INTERFACE_DBUS, "Hello")};
    if (said.bus != BusAnswer::Answered || !askLauncher) {
        return said;
    }
    said.launcher = ask(connection.get(), deadline, reply, "org.a11y.Bus", "/org/a11y/bus",
                        "org.a11y.Bus", "GetAddress");
    const char *where = nullptr;
    if (reply && dbus_message_get_type(reply.get()) == DBUS_MESSAGE_TYPE_METHOD_RETURN
        && dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_STRING, &where, DBUS_TYPE_INVALID)
            != FALSE) {
        said.accessibilityAddress = where;
        said.accessibility = probeBus(where, false, limit).bus;
    }
    return said;
}

#endif

} // namespace forms
