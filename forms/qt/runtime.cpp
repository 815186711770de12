// SPDX-License-Identifier: MIT
// The runtime's entry over Qt and its untrapped-error path.
#include "forms/start/runtime.hpp"

#include "forms/qt/pictures.hpp"
#include "forms/qt/qt_form.hpp"
#include "forms/qt/widgets.hpp"
#include "forms/start/command_line.hpp"
#include "forms/start/start_failure.hpp"
#include "forms/start/start_watchdog.hpp"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

namespace {

std::string_view g_programName = "icatlas";

// Until the window is up, Qt's own complaints are held back here: a start that fails is reported
// in one line of ours, not in the toolkit's several. A start that succeeds passes them on.
// (A pointer to StartupMessages' buffer, so nothing here needs constructing before main.)
std::string *g_heldMessages = nullptr;

// An environment variable's value; nothing when it is unset or empty.
std::optional<std::string_view> environment(const char *name)
{
    const char *value = std::getenv(name); // NOLINT(concurrency-mt-unsafe): read before any thread
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string_view(value);
}

int programNameLength()
{
    return static_cast<int>(g_programName.size());
}

// How long the start may wait for the display to answer. A display on the same machine answers
// in milliseconds, one over a slow link or under valgrind in a second or two.
constexpr int kDisplayAnswerSeconds = 15;

// The one line of a start that cannot show the window, then the end: nothing of the toolkit has
// been shown, so there is nothing to close.
[[noreturn]] void refuseStart(const std::string &reason)
{
    std::fprintf(stderr, "%.*s: cannot open the window: %s\n", programNameLength(),
                 g_programName.data(), reason.c_str());
    std::fflush(stderr);
    std::_Exit(kStartFailureExitCode);
}

void startupMessageHandler(QtMsgType type, const QMessageLogContext & /*context*/,
                           const QString &message)
{
    const QByteArray text = message.toLocal8Bit();
    if (type == QtFatalMsg) {
        refuseStart(describeStartFailure({
            .heldMessages = g_heldMessages != nullptr ? *g_heldMessages : std::string_view(),
            .fatalMessage
            = std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
            .requestedPlatform = environment("QT_QPA_PLATFORM"),
            .display = environment("DISPLAY"),
        }));
    }
    if (g_heldMessages != nullptr) {
        g_heldMessages->append(text.constData()).append("\n");
        return;
    }
    std::fprintf(stderr, "%s\n", text.constData());
}

// Installs the start-up handler and, once the window is up (or the start is abandoned), puts back
// the handler that was there before, whatever it was, and passes on what was held.
class StartupMessages {
public:
    StartupMessages()
        : m_previous(qInstallMessageHandler(startupMessageHandler))
    {
        g_heldMessages = &m_held;
    }
    ~StartupMessages() { release(); }
    StartupMessages(const StartupMessages &) = delete;
    StartupMessages &operator=(const StartupMessages &) = delete;
    StartupMessages(StartupMessages &&) = delete;
    StartupMessages &operator=(StartupMessages &&) = delete;

    // Drops what was held, then puts the previous handler back.
    void discard()
    {
        m_held.clear();
        release();
    }

    void release()
    {
        if (g_heldMessages != &m_held) {
            return;
        }
        g_heldMessages = nullptr;
        qInstallMessageHandler(m_previous);
        std::fputs(m_held.c_str(), stderr);
    }

private:
    std::string m_held;
    QtMessageHandler m_previous;
};

// The message handler that was in place when the window came up; every message but one goes on to
// it.
QtMessageHandler g_runningHandler = nullptr;

// Qt's xcb and Wayland platforms end the program with exit(1) and their own words when the
// display server goes away; the user reads one line of ours instead, and the status says the
// window could not stay.
void runningMessageHandler(QtMsgType type, const QMessageLogContext &context,
                           const QString &message)
{
    const bool x11 = message.startsWith(QLatin1String("The X11 connection broke"));
    if (x11 || message.startsWith(QLatin1String("The Wayland connection broke"))) {
        const std::optional<std::string_view> display
            = environment(x11 ? "DISPLAY" : "WAYLAND_DISPLAY");
        const std::string named
            = display ? "the display \"" + std::string(*display) + "\"" : "the display";
        std::fprintf(stderr, "%.*s: %s went away; the window is gone\n", programNameLength(),
                     g_programName.data(), named.c_str());
        std::fflush(stderr);
        std::_Exit(kStartFailureExitCode);
    }
    if (g_runningHandler != nullptr) {
        g_runningHandler(type, context, message);
    }
}

// The options Qt reads from the command line itself (QGuiApplication, QApplication and the xcb
// platform), so that they pass through to it untouched.
constexpr auto kQtOptions = std::to_array<ToolkitOption>({
    {"-platform", OptionValue::Next},
    {"-platformpluginpath", OptionValue::Next},
    {"-platformtheme", OptionValue::Next},
    {"-plugin", OptionValue::Next},
    {"-qmljsdebugger", OptionValue::NextOrJoined},
    {"-qwindowgeometry", OptionValue::Next},
    {"-qwindowicon", OptionValue::Next},
    {"-qwindowtitle", OptionValue::Next},
    {"-reverse", OptionValue::None},
    {"-session", OptionValue::Next},
    {"-style", OptionValue::NextOrJoined},
    {"-stylesheet", OptionValue::NextOrJoined},
    {"-widgetcount", OptionValue::None},
    {"-testability", OptionValue::None},
    {"-display", OptionValue::Next},
    {"-geometry", OptionValue::Next},
    {"-title", OptionValue::Next},
    {"-icon", OptionValue::Next},
    {"-name", OptionValue::Next},
    {"-visual", OptionValue::Next},
    {"-nograb", OptionValue::None},
    {"-dograb", OptionValue::None},
});

void printHelp(const ProjectDescription &project)
{
    const std::string_view name = project.name;
    const std::string_view caption = project.startupForm->caption;
    std::printf(
        "Usage: %.*s [OPTION]...\n"
        "Opens the window \"%.*s\".\n"
        "\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show the version and exit\n"
        "\n"
        "Qt's standard options apply as in any Qt program, among them -platform NAME,\n"
        "-style NAME, -reverse and -qwindowgeometry WIDTHxHEIGHT+X+Y; %.*s(1) lists them.\n",
        static_cast<int>(name.size()), name.data(), static_cast<int>(caption.size()),
        caption.data(), static_cast<int>(name.size()), name.data());
}

// Answers --help and --version, or refuses the command line, and returns the exit status;
// nothing when the program is to run.
std::optional<int> answerCommandLine(const ProjectDescription &project, int argc,
                                     const char *const *argv)
{
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    const CommandLine commandLine = parseCommandLine(arguments, kQtOptions);
    switch (commandLine.action) {
    case CommandAction::Run:
        return std::nullopt;
    case CommandAction::ShowHelp:
        printHelp(project);
        return 0;
    case CommandAction::ShowVersion:
        std::printf("%.*s %.*s\n", static_cast<int>(project.name.size()), project.name.data(),
                    static_cast<int>(project.version.size()), project.version.data());
        return 0;
    case CommandAction::Refuse:
        std::fprintf(stderr, "%.*s: %s (%.*s --help lists the options)\n",
                     static_cast<int>(project.name.size()), project.name.data(),
                     commandLine.refusal.c_str(), static_cast<int>(project.name.size()),
                     project.name.data());
        return kUsageExitCode;
    }
    return kUsageExitCode;
}

} // namespace

void reportUntrappedError(const std::exception &error)
{
    std::fprintf(stderr, "%.*s: %s\n", programNameLength(), g_programName.data(), error.what());
    std::fflush(stderr);
    if (QApplication::instance() == nullptr) {
        std::_Exit(kUntrappedErrorExitCode);
    }
    auto *box = new QMessageBox(QMessageBox::Critical,
                                QString::fromUtf8(g_programName.data(), programNameLength()),
                                QString::fromUtf8(error.what()), QMessageBox::Ok);
    box->setInformativeText(QStringLiteral("The program will now end."));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    // The dialog is modal, so nothing else reaches the window; the loop ends when it is closed.
    QObject::connect(box, &QMessageBox::finished,
                     [] { QCoreApplication::exit(kUntrappedErrorExitCode); });
    box->open();
}

int runProject(const ProjectDescription &project, int &argc, char **argv)
{
    g_programName = project.name;
    if (const std::optional<int> status = answerCommandLine(project, argc, argv)) {
        return *status;
    }
    StartupMessages startupMessages;

    if (const auto refusal = refusedSettings({.platform = environment("QT_QPA_PLATFORM"),
                                              .scaleFactor = environment("QT_SCALE_FACTOR")})) {
        refuseStart(*refusal);
    }

    // The application object connects to the display; one that accepts and never answers would
    // hold it there for ever.
    std::optional<StartWatchdog> watchdog(
        std::in_place, std::chrono::seconds(kDisplayAnswerSeconds),
        std::string(g_programName) + ": cannot open the window: "
            + describeSilentDisplay({.requestedPlatform = environment("QT_QPA_PLATFORM"),
                                     .display = environment("DISPLAY")},
                                    kDisplayAnswerSeconds)
            + "\n",
        kStartFailureExitCode);
    // Qt takes its own options out of the arguments; the rest were refused above.
    const QApplication application(argc, argv);
    watchdog.reset();
    // An option the list above lets through but this platform does not read (-display away
    // from X11, say) is refused all the same, before any window shows; a closing "--" is not.
    auto *const leftover
        = std::find_if(argv + std::min(argc, 1), argv + argc,
                       [](const char *argument) { return std::string_view(argument) != "--"; });
    if (leftover != argv + argc) {
        // One line of ours, as for any refused start; what Qt said on the way is not passed on.
        startupMessages.discard();
        std::fprintf(stderr, "%.*s: unknown option '%s' (%.*s --help lists the options)\n",
                     programNameLength(), g_programName.data(), *leftover, programNameLength(),
                     g_programName.data());
        return kUsageExitCode;
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        if (const auto refusal = refusedColourDepth(screen->depth())) {
            refuseStart(*refusal);
        }
    }
    QCoreApplication::setApplicationName(
        QString::fromUtf8(project.name.data(), static_cast<qsizetype>(project.name.size())));
    QCoreApplication::setApplicationVersion(
        QString::fromUtf8(project.version.data(), static_cast<qsizetype>(project.version.size())));
    const QString applicationId = QString::fromUtf8(
        project.desktopFileName.data(), static_cast<qsizetype>(project.desktopFileName.size()));
    QGuiApplication::setDesktopFileName(applicationId);

    if (!project.startupForm->font.face.empty()) {
        // The start-up form's font becomes the program's: a QLineEdit lays its empty text out in
        // the application's font while it is being made, before the form's font reaches it, and
        // that would load the toolkit's default face only for that.
        QApplication::setFont(toQFont(project.startupForm->font));
    }
    QtForm form(*project.startupForm);
    if (!project.icon.empty()) {
        // For window managers that take the icon from the window rather than from the desktop
        // entry. It comes from the form's resources, now registered: asking the icon theme for it
        // would read every installed theme's index before the first paint, found or not.
        QApplication::setWindowIcon(iconFromPictures(project.icon));
    }
    if (project.connectEvents != nullptr) {
        project.connectEvents(form);
    }
    form.show();

    startupMessages.release();
    g_runningHandler = qInstallMessageHandler(runningMessageHandler);
    return QApplication::exec();
}

} // namespace forms
