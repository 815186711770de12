// SPDX-License-Identifier: MIT
// Asks, within a bound, whether a bus the toolkit will call answers: the toolkit's accessibility
// bridge makes blocking calls (25 s each) to the session bus, the owner of org.a11y.Bus on it and
// the accessibility bus while the window is being built, and a bus that never answers holds it
// for ever. Over libdbus, which knows every address and transport the toolkit does, through its
// non-blocking calls only: dbus_connection_send_with_reply_and_block flushes without a bound (it
// waited 577 s on a stopped bus daemon).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace forms {

enum class BusAnswer {
    Answered, // it answered (an error is an answer too)
    NotReached, // nothing there, or it refused us: the toolkit fails as fast
    Silent, // it took the connection (or the call) and did not answer in time
};

struct BusProbe {
    BusAnswer bus = BusAnswer::NotReached; // the bus's own Hello
    BusAnswer launcher = BusAnswer::NotReached; // its org.a11y.Bus, when asked
    // Where the session bus's org.a11y.Bus said the accessibility bus is, when it answered so.
    std::optional<std::string> accessibilityAddress;
};

// Says Hello to the bus at `address` (a libdbus address list); with `askLauncher`, then asks its
// org.a11y.Bus for the accessibility bus's address, without starting it where it is not running.
// Waits at most `limit` in all; opening
// a connection waits on nothing for a local socket, and an address for which libdbus would start
// a program (programStartedFor) is never opened.
[[nodiscard]] BusProbe probeBus(std::string_view address, bool askLauncher,
                                std::chrono::milliseconds limit);

// The method of the first entry of the address list `address` for which libdbus would start a
// program as a child of ours, left running once the window has gone: "unixexec" (the program it
// names) or "autolaunch" (a bus daemon of its own); nothing where no entry would.
[[nodiscard]] std::optional<std::string> programStartedFor(std::string_view address);

// The session bus as libdbus finds it: DBUS_SESSION_BUS_ADDRESS, else the socket
// $XDG_RUNTIME_DIR/bus where it is one of ours; nothing where neither names one (libdbus would
// then start a bus of its own, which outlives the window).
[[nodiscard]] std::optional<std::string> sessionBusAddress();

} // namespace forms
