// SPDX-License-Identifier: MIT
// What the start over Qt reads of Qt's own words and tells the user: the one line of a failed
// start, Qt's messages held back until the window is up, and the one line of a display gone away.
#pragma once

#include "forms/core/command_line.hpp"

#include <QtMessageHandler>

#include <optional>
#include <string>
#include <string_view>

namespace forms {

// What the start is asked of the display, read once as it begins. The toolkit's -display and
// -platform options, where given, go before the environment's DISPLAY and QT_QPA_PLATFORM.
struct DisplayEnvironment {
    std::optional<std::string_view> platform; // -platform, else QT_QPA_PLATFORM
    std::optional<std::string_view> display; // -display, else DISPLAY
    std::optional<std::string_view> waylandDisplay; // WAYLAND_DISPLAY
    bool waylandSession = false; // XDG_SESSION_TYPE=wayland, where Qt picks Wayland by itself
};
// Reads it, keeping it for the lines of a start that fails or a display that goes away.
const DisplayEnvironment &readEnvironment(const CommandLine &commandLine);

// The one thing the window waits on, as a line names it: the Wayland socket where the platform is
// Wayland, else the X display.
[[nodiscard]] std::string awaitedDisplay(const DisplayEnvironment &asked);

// What is wrong, in words, from Qt's warnings held back during the start (one per line) and the
// fatal message that ended it, ending with Qt's own words; falls back on the first line of the
// fatal message when the cause is none of those known.
[[nodiscard]] std::string describeStartFailure(const DisplayEnvironment &asked,
                                               std::string_view heldMessages,
                                               std::string_view fatalMessage);

// Until the window is up, Qt's own complaints are held back: a start that fails is reported in
// one line of ours, not in the toolkit's several. This installs the start's handler; once the
// window is up (or the start is abandoned), what was held is passed on, and so is every message
// after it, to the handler that was there before, whatever it was.
class StartupMessages {
public:
    StartupMessages();
    ~StartupMessages();
    StartupMessages(const StartupMessages &) = delete;
    StartupMessages &operator=(const StartupMessages &) = delete;

    // Passes on what was held; from then on every message goes on to the previous handler, but
    // for Qt's words on a display gone away, which end the program with one line of ours.
    void release();

private:
    std::string m_held;
};

} // namespace forms
