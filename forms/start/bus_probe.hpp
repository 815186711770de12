// SPDX-License-Identifier: MIT
// Asks, within a bound, whether the session bus and the accessibility bus's owner on it answer,
// before the toolkit asks them without one: the toolkit's accessibility bridge makes blocking
// calls (25 s each) to the owner of org.a11y.Bus while the window is being built, and a session
// bus that never answers holds it for ever. Toolkit-free; speaks just enough of the bus protocol
// over a local socket for one call.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace forms {

enum class BusAnswer {
    Answered, // both answered (or the accessibility bus has no owner, which is an answer too)
    NotReached, // no local bus at that address, or it refused us: the toolkit fails as fast
    SessionBusSilent, // the session bus took the connection and did not answer in time
    AccessibilityBusSilent, // org.a11y.Bus is owned, and its owner did not answer in time
};

// Calls org.a11y.Bus on the session bus at `address` (as DBUS_SESSION_BUS_ADDRESS gives it; only
// its unix:path= and unix:abstract= entries are tried), without starting it where it is not
// running, and waits at most `limit` in all.
[[nodiscard]] BusAnswer probeAccessibilityBus(std::string_view address,
                                              std::chrono::milliseconds limit);

// The socket name in a bus address: the first unix:path= (a file) or unix:abstract= (a name with
// a leading NUL, as the kernel takes it) entry, unescaped; nothing when there is none.
[[nodiscard]] std::optional<std::string> localSocketName(std::string_view address);

} // namespace forms
