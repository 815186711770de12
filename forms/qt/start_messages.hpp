// SPDX-License-Identifier: MIT
// What the start over Qt tells the user: the one line of a refused or failed start, the toolkit's
// own messages held back until the window is up, and the one line of a display gone away.
#pragma once

#include "forms/start/command_line.hpp"
#include "forms/start/start_failure.hpp"

#include <QtMessageHandler>

#include <optional>
#include <string>
#include <string_view>

namespace forms {

// The name every message of the program's begins with.
void setProgramName(std::string_view name);
[[nodiscard]] std::string_view programName();

// An environment variable's value; nothing when it is unset or empty.
[[nodiscard]] std::optional<std::string_view> environment(const char *name);

// What the start is asked of the display, read once as it begins: the start is refused by it, and
// a failed start or a display gone away names what was asked for. The toolkit's -display and
// -platform options, where given, go before the environment's DISPLAY and QT_QPA_PLATFORM.
struct DisplayEnvironment {
    std::optional<std::string_view> platform; // -platform, else QT_QPA_PLATFORM
    std::optional<std::string_view> display; // -display, else DISPLAY
    std::optional<std::string_view> waylandDisplay; // WAYLAND_DISPLAY
    std::optional<std::string_view> scaleFactor; // QT_SCALE_FACTOR
    std::optional<std::string_view> screenScaleFactors; // QT_SCREEN_SCALE_FACTORS
    std::optional<std::string_view> fontDpi; // QT_FONT_DPI
};
void readEnvironment(const CommandLine &commandLine);
[[nodiscard]] const DisplayEnvironment &displayEnvironment();

// The display and platform asked for, as the words of a failed start take them.
[[nodiscard]] StartFailure askedFor();

// The line a start that cannot show the window ends with.
[[nodiscard]] std::string startFailureLine(std::string_view reason);

// The line a refused command line ends with: what is wrong, and where the options are listed.
void printRefusal(std::string_view what);

// The one line of a start that cannot show the window, then the end: nothing of the toolkit has
// been shown, so there is nothing to close.
[[noreturn]] void refuseStart(const std::string &reason);

// Until the window is up, Qt's own complaints are held back: a start that fails is reported in
// one line of ours, not in the toolkit's several. This installs the start-up handler and, once
// the window is up (or the start is abandoned), puts back the handler that was there before,
// whatever it was, and passes on what was held.
class StartupMessages {
public:
    StartupMessages();
    ~StartupMessages();
    StartupMessages(const StartupMessages &) = delete;
    StartupMessages &operator=(const StartupMessages &) = delete;
    StartupMessages(StartupMessages &&) = delete;
    StartupMessages &operator=(StartupMessages &&) = delete;

    // Drops what was held, then puts the previous handler back.
    void discard();
    // Puts the previous handler back and passes on what was held.
    void release();

private:
    std::string m_held;
    QtMessageHandler m_previous;
};

// Once the window is up: every message goes on to the handler in place now, but for the
// toolkit's words on a display gone away, which end the program with one line of ours.
void passOnRunningMessages();

} // namespace forms
