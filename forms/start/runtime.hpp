// SPDX-License-Identifier: MIT
// The forms runtime's entry, which every realisation defines, and what their starts share, free of
// any toolkit: the start's lines, the command line's answer, and on Unix the start's bounds.
#pragma once

#include "forms/core/command_line.hpp"
#include "forms/core/project.hpp"

#include <chrono>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace forms {

inline constexpr int kUsageExitCode = 2; // the command line is refused
inline constexpr int kStartFailureExitCode = 3; // the window cannot be opened at all
inline constexpr int kUntrappedErrorExitCode = 70; // an untrapped run-time error was reported

// Answers the command line without any display (answerCommandLine), or else starts the project
// and returns what the event loop returns. argc and argv are kept for the program's lifetime.
int runProject(const ProjectDescription &project, int &argc, char **argv);

// Reports an error that no handler trapped (a dialog and the same line on stderr), then ends the
// event loop with kUntrappedErrorExitCode once the user has read it.
void reportUntrappedError(const std::exception &error);

// The name every line of the start begins with: the project description's.
void setProgramName(std::string_view name);
[[nodiscard]] std::string_view programName();
void printLine(std::string_view text); // "NAME: TEXT" on stderr

// An environment variable's value; nothing when it is unset or empty.
[[nodiscard]] std::optional<std::string_view> environment(const char *name);

// Answers --help (with `toolkitOptions`, as helpText takes it) and --version on stdout, or refuses
// the command line in one line on stderr, and returns the exit status; nothing for a run.
[[nodiscard]] std::optional<int> answerCommandLine(const ProjectDescription &project,
                                                   const CommandLine &commandLine,
                                                   std::string_view toolkitOptions);

// Ends the process at once with `status`, running no destructor; a signal handler may call it.
[[noreturn]] void endStart(int status);

// The one line of a start that cannot show the window, then endStart(kStartFailureExitCode).
[[noreturn]] void refuseStart(std::string_view reason);

#if !defined(_WIN32) // the freedesktop toolkits' runtime folder, display and buses
// The empty folder endStart removes from now on (rmdir, signal-safe), kept alive by the caller.
void removeAtEnd(const char *folder);

// A display that accepts the connection and never answers (a stuck ssh tunnel, a dead proxy) would
// keep the start waiting for ever with nothing said. While this lives, the real-time interval
// timer rings every `period`; where the process has used less than a tenth of that in CPU time
// since the last ring (it waits rather than works), or `bound` has passed however busy it is (a
// library reading an endless file), the signal handler writes the line and calls
// endStart(kStartFailureExitCode); one that is only slow (valgrind) goes on. It takes no thread:
// under a tight RLIMIT_NPROC none could be made, or it would take the toolkit's. One at a time.
class StartWatchdog {
public:
    StartWatchdog(std::chrono::milliseconds period, std::chrono::milliseconds bound,
                  const char *line);
    ~StartWatchdog();
    StartWatchdog(const StartWatchdog &) = delete;
    StartWatchdog &operator=(const StartWatchdog &) = delete;

    static void say(const char *line); // the line from now on; each outlives the watchdog
};

// The toolkit's accessibility bridge calls the session bus, its org.a11y.Bus and the accessibility
// bus, 25 s each. These ask first through libdbus's non-blocking calls alone (the flush of
// dbus_connection_send_with_reply_and_block has no bound: 577 s on a stopped daemon). An error is
// an answer; a bus not reached fails the toolkit as fast; a silent one did not answer in time.
enum class BusAnswer { Answered, NotReached, Silent };

struct BusProbe {
    BusAnswer bus = BusAnswer::NotReached; // to Hello
    BusAnswer launcher = BusAnswer::NotReached; // org.a11y.Bus, when asked
    std::optional<std::string> accessibilityAddress; // what org.a11y.Bus answered
    BusAnswer accessibility = BusAnswer::NotReached; // that bus, to Hello
};

// Says Hello to the bus at `address`, with `askLauncher` then to the bus its org.a11y.Bus names;
// within `limit` each, never opening an address for which libdbus starts a program.
[[nodiscard]] BusProbe probeBus(const std::string &address, bool askLauncher,
                                std::chrono::milliseconds limit);

// The method of the first entry of `address` for which libdbus would start a program, left running
// after the window: "unixexec" (the program it names) or "autolaunch" (a bus daemon).
[[nodiscard]] std::optional<std::string> programStartedFor(std::string_view address);

// The session bus as libdbus finds it: DBUS_SESSION_BUS_ADDRESS, else our socket
// $XDG_RUNTIME_DIR/bus; nothing where neither is (libdbus would start one, outliving the window).
[[nodiscard]] std::optional<std::string> sessionBusAddress();
#endif

} // namespace forms
