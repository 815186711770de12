// SPDX-License-Identifier: MIT
// The runtime's entry over Qt and its untrapped-error path: the command line answered, the
// start guarded against what would hold it for ever, the start-up form made and shown.
#include "forms/start/runtime.hpp"

#include "forms/qt/pictures.hpp"
#include "forms/qt/qt_form.hpp"
#include "forms/qt/start_messages.hpp"
#include "forms/qt/widgets.hpp"
#include "forms/start/bus_probe.hpp"
#include "forms/start/command_line.hpp"
#include "forms/start/start_failure.hpp"
#include "forms/start/start_watchdog.hpp"

#include <QApplication>
#include <QEvent>
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
#include <system_error>
#include <thread>
#include <vector>

namespace forms {

namespace {

// How long the start may wait for the display to answer. A display on the same machine answers
// in milliseconds, one over a slow link or under valgrind in a second or two.
constexpr int kDisplayAnswerSeconds = 15;

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
std::optional<int> answerCommandLine(const ProjectDescription &project,
                                     const CommandLine &commandLine)
{
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
        printRefusal(commandLine.refusal);
        return kUsageExitCode;
    }
    return kUsageExitCode;
}

// How long the session bus and the accessibility bus's owner may take to answer one call, all
// told: both answer a local call in milliseconds.
constexpr std::chrono::seconds kBusAnswerLimit {3};

// An address at which no bus can be reached, for a bus that must not be asked: the toolkit gives up
// on it at once.
constexpr const char *kNoBus = "unix:path=/nonexistent/bus";

// The toolkit's accessibility bridge asks the session bus, and the owner of org.a11y.Bus on it,
// with calls of 25 s each while the window is built, and again and again while it runs. Where
// either does not answer a bounded call now, the bridge is kept from asking (it connects to
// AT_SPI_BUS_ADDRESS instead, where one is set, and fails at once) and the window is shown
// without accessibility, which the user is told in one line.
void keepSilentBusesOut()
{
    const std::optional<std::string_view> session = environment("DBUS_SESSION_BUS_ADDRESS");
    if (!session || environment("AT_SPI_BUS_ADDRESS")) {
        return;
    }
    const BusAnswer answer = probeAccessibilityBus(*session, kBusAnswerLimit);
    if (answer != BusAnswer::SessionBusSilent && answer != BusAnswer::AccessibilityBusSilent) {
        return;
    }
    const bool sessionSilent = answer == BusAnswer::SessionBusSilent;
    const std::string_view name = programName();
    // NOLINTNEXTLINE(concurrency-mt-unsafe): no other thread yet
    ::setenv(sessionSilent ? "DBUS_SESSION_BUS_ADDRESS" : "AT_SPI_BUS_ADDRESS", kNoBus, 1);
    std::fprintf(stderr,
                 "%.*s: the %s bus does not answer; the window is shown without "
                 "accessibility\n",
                 static_cast<int>(name.size()), name.data(),
                 sessionSilent ? "session" : "accessibility");
    std::fflush(stderr);
}

bool canStartThread()
{
    try {
        std::thread([] {}).join();
        return true;
    } catch (const std::system_error &) {
        return false;
    }
}

// Disarms the start's watchdog when the window is first drawn (or is minimised before it could
// be): until then, whatever the toolkit waits for may hold the start for ever.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(std::optional<StartWatchdog> &watchdog)
        : m_watchdog(watchdog)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Paint
            || (type == QEvent::WindowStateChange && watched->isWidgetType()
                && (static_cast<QWidget *>(watched)->windowState() & Qt::WindowMinimized) != 0)) {
            m_watchdog.reset();
            QCoreApplication::instance()->removeEventFilter(this);
        }
        return false;
    }

private:
    std::optional<StartWatchdog> &m_watchdog;
};

} // namespace

void reportUntrappedError(const std::exception &error)
{
    const std::string_view name = programName();
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(name.size()), name.data(), error.what());
    std::fflush(stderr);
    if (QApplication::instance() == nullptr) {
        std::_Exit(kUntrappedErrorExitCode);
    }
    auto *box = new QMessageBox(QMessageBox::Critical,
                                QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
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
    setProgramName(project.name);
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    const CommandLine commandLine = parseCommandLine(arguments, kQtOptions);
    if (const std::optional<int> status = answerCommandLine(project, commandLine)) {
        return *status;
    }
    readEnvironment(commandLine);
    StartupMessages startupMessages;

    if (const auto refusal
        = refusedSettings({.platform = displayEnvironment().platform,
                           .scaleFactor = displayEnvironment().scaleFactor,
                           .screenScaleFactors = displayEnvironment().screenScaleFactors,
                           .fontDpi = displayEnvironment().fontDpi})) {
        refuseStart(*refusal);
    }
    keepSilentBusesOut();

    // The application object connects to the display; one that accepts and never answers would
    // hold it there for ever.
    std::optional<StartWatchdog> watchdog(
        std::in_place, std::chrono::seconds(kDisplayAnswerSeconds),
        startFailureLine(describeSilentDisplay(askedFor(), kDisplayAnswerSeconds)),
        kStartFailureExitCode);
    // Qt takes its own options out of the arguments; the rest were refused above.
    const QApplication application(argc, argv);
    // From here to the first paint the start waits on the display and on the buses the toolkit
    // asks while the window is built and shown.
    watchdog.emplace(std::chrono::seconds(kDisplayAnswerSeconds),
                     startFailureLine(describeUndrawnWindow(askedFor(), kDisplayAnswerSeconds)),
                     kStartFailureExitCode);
    const FirstPaint firstPaint(watchdog);
    // An option the list above lets through but this platform does not read (-display away
    // from X11, say) is refused all the same, before any window shows; a closing "--" is not.
    auto *const leftover
        = std::find_if(argv + std::min(argc, 1), argv + argc,
                       [](const char *argument) { return std::string_view(argument) != "--"; });
    if (leftover != argv + argc) {
        // One line of ours, as for any refused start; what Qt said on the way is not passed on.
        startupMessages.discard();
        printRefusal("unknown option '" + std::string(*leftover) + "'");
        return kUsageExitCode;
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        if (const auto refusal = refusedColourDepth(screen->depth())) {
            refuseStart(*refusal);
        }
    }
    // The accessibility bridge starts a thread for the session bus while the window is built, and
    // where it cannot (the user's processes at their limit, ulimit -u) waits for it for ever.
    const QString platform = QGuiApplication::platformName();
    if ((platform.startsWith(QLatin1String("xcb")) || platform.startsWith(QLatin1String("wayland")))
        && !canStartThread()) {
        refuseStart(
            "no thread can be started (the user's processes are at their limit, ulimit -u)");
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
    passOnRunningMessages();
    return QApplication::exec();
}

} // namespace forms
