// SPDX-License-Identifier: MIT
// The runtime's entry over Qt and its untrapped-error path: the command line answered, the
// start guarded against what would hold it for ever, the start-up form made and shown.
#include "forms/start/runtime.hpp"

#include "forms/core/command_line.hpp"
#include "forms/core/start_texts.hpp"
#include "forms/qt/pictures.hpp"
#include "forms/qt/qt_form.hpp"
#include "forms/qt/start_messages.hpp"
#include "forms/qt/start_settings.hpp"
#include "forms/qt/widgets.hpp"
#include "forms/start/bus_probe.hpp"
#include "forms/start/start_failure.hpp"
#include "forms/start/start_watchdog.hpp"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <memory>
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
constexpr std::chrono::seconds kDisplayAnswerLimit {15};
// How long the start may take to its first paint however busy it is: under valgrind memcheck it
// takes about 8 s; libXau reading an endless XAUTHORITY (/dev/zero) never ends.
constexpr std::chrono::seconds kStartLimit {45};

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

// How long each bus may take to answer, all told: a local bus answers a call in milliseconds.
constexpr std::chrono::seconds kBusAnswerLimit {3};

// An address at which no bus can be reached, for a bus that must not be asked: the toolkit gives up
// on it at once.
constexpr const char *kNoBus = "unix:path=/nonexistent/bus";

// Keeps the toolkit from the bus that `variable` names, and says why in one line.
void shutOut(const char *variable, const std::string &why)
{
    // Qt's own environment lock, which the bridge's reading takes too: Qt's threads are running.
    qputenv(variable, kNoBus);
    printLine(why + "; the window is shown without accessibility");
}

// Why a bus at `address` is not asked, where libdbus would start a program for it (`method`).
std::string startsAProgram(const std::string &address, std::string_view origin,
                           const std::string &method)
{
    return quoted(address) + std::string(origin) + " is not asked: it names a program to start ("
        + method + ":)";
}

// libdbus runs the program a unixexec: address names (for autolaunch:, a bus daemon) as a child
// of ours, left running once the window has gone. The toolkit may ask the session bus while the
// application object is made, so such an address is taken away before, while no thread runs yet;
// the lines that say so are returned, to be said once the display has answered.
std::vector<std::string> keepProgramBusesOut()
{
    std::vector<std::string> said;
    struct NamedBus {
        const char *variable;
        const char *what;
        std::string_view origin;
    };
    for (const NamedBus &bus :
         {NamedBus {"DBUS_SESSION_BUS_ADDRESS", "the session bus ", ""},
          NamedBus {"AT_SPI_BUS_ADDRESS", "the accessibility bus ", " (AT_SPI_BUS_ADDRESS)"}}) {
        const auto named = environment(bus.variable);
        if (const auto method = named ? programStartedFor(*named) : std::nullopt) {
            said.push_back(bus.what + startsAProgram(std::string(*named), bus.origin, *method)
                           + "; the window is shown without accessibility");
            ::setenv(bus.variable, kNoBus, 1); // NOLINT(concurrency-mt-unsafe): no thread yet
        }
    }
    return said;
}

// Whether the accessibility bus at `address` (`origin` says who named it) names a program to
// start or does not answer a bounded call; if so, the toolkit is kept from it.
bool shutOutSilent(const std::string &address, std::string_view origin = {})
{
    if (const auto method = programStartedFor(address)) {
        shutOut("AT_SPI_BUS_ADDRESS",
                "the accessibility bus " + startsAProgram(address, origin, *method));
        return true;
    }
    if (probeBus(address, false, kBusAnswerLimit).bus != BusAnswer::Silent) {
        return false;
    }
    shutOut("AT_SPI_BUS_ADDRESS",
            "the accessibility bus " + quoted(address) + std::string(origin) + " does not answer");
    return true;
}

// The accessibility bus the X root window's AT_SPI_BUS property names (the bridge connects to it
// too, for programs run as another user); nothing where there is none or the display is not X11.
std::optional<std::string> rootWindowBus()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return std::nullopt;
    }
    constexpr std::string_view kName = "AT_SPI_BUS";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom {
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, 1, kName.size(), kName.data()), nullptr),
        &std::free};
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!atom || atom->atom == XCB_ATOM_NONE || screen == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> property {
        xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, screen->root, atom->atom, XCB_ATOM_STRING, 0, 4096),
            nullptr),
        &std::free};
    const int length = property ? xcb_get_property_value_length(property.get()) : 0;
    if (length <= 0) {
        return std::nullopt;
    }
    return std::string(static_cast<const char *>(xcb_get_property_value(property.get())),
                       static_cast<std::size_t>(length));
}

// The toolkit's accessibility bridge asks the session bus, the owner of org.a11y.Bus on it, the
// accessibility bus that one names and the one the root window names (or only the one
// AT_SPI_BUS_ADDRESS names) with calls of 25 s each while the window is built, and again while it
// runs. Where one does not answer a bounded call now, the bridge is kept from it and the window
// is shown without accessibility. Where no session bus is named at all, libdbus would start one
// of its own, left running after the window has gone: the bridge is kept from that too.
void keepSilentBusesOut()
{
    if (const auto named = environment("AT_SPI_BUS_ADDRESS")) {
        shutOutSilent(std::string(*named), " (AT_SPI_BUS_ADDRESS)");
        return;
    }
    const std::optional<std::string> session = sessionBusAddress();
    if (!session) {
        shutOut("DBUS_SESSION_BUS_ADDRESS", "no session bus is named (DBUS_SESSION_BUS_ADDRESS)");
        return;
    }
    const BusProbe probe = probeBus(*session, true, kBusAnswerLimit);
    const std::optional<std::string> root = rootWindowBus();
    if (probe.bus == BusAnswer::Silent) {
        shutOut("DBUS_SESSION_BUS_ADDRESS",
                "the session bus " + quoted(*session) + " does not answer");
    } else if (probe.launcher == BusAnswer::Silent) {
        shutOut("AT_SPI_BUS_ADDRESS",
                "the accessibility bus's launcher (org.a11y.Bus) does not answer");
    } else if (!(probe.accessibilityAddress && shutOutSilent(*probe.accessibilityAddress))
               && probe.bus == BusAnswer::Answered && root) {
        shutOutSilent(*root, " (the root window's AT_SPI_BUS)");
    }
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

// Qt's own options, as the help names them.
std::string qtOptionsNote(std::string_view program)
{
    return "Qt's standard options apply as in any Qt program, among them -platform NAME,\n"
           "-style NAME, -reverse and -qwindowgeometry WIDTHxHEIGHT+X+Y; "
        + std::string(program) + "(1) lists them.\n";
}

} // namespace

void reportUntrappedError(const std::exception &error)
{
    printLine(error.what());
    if (QApplication::instance() == nullptr) {
        endStart(kUntrappedErrorExitCode);
    }
    auto *box = new QMessageBox(QMessageBox::Critical, toQString(programName()),
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
    if (const auto status = answerCommandLine(project, commandLine, qtOptionsNote(project.name))) {
        return *status;
    }
    const DisplayEnvironment &asked = readEnvironment(commandLine);
    if (const auto refusal
        = refusedSettings({.platform = asked.platform,
                           .scaleFactor = environment("QT_SCALE_FACTOR"),
                           .screenScaleFactors = environment("QT_SCREEN_SCALE_FACTORS"),
                           .fontDpi = environment("QT_FONT_DPI")})) {
        refuseStart(*refusal);
    }
    // Qt looks for flatpak-info in the runtime folder, making /tmp/runtime-$USER where none is set.
    const PrivateRuntimeFolder runtimeFolder;
    const std::vector<std::string> programBusesKeptOut = keepProgramBusesOut();
    // The one bound on the start, from here to the first paint: the application object connects
    // to the display (one may accept and never answer), then the window is built and shown.
    std::optional<StartWatchdog> watchdog(
        std::in_place, kDisplayAnswerLimit, kStartLimit,
        startFailureLine(programName(),
                         "no display is reachable (" + awaitedDisplay(asked)
                             + " did not answer; platform "
                             + (asked.platform ? quoted(*asked.platform) : "the default") + ")"));
    StartupMessages startupMessages;
    // Qt takes the options it reads out of the arguments; those of another platform than the
    // one started (-display away from X11) stay, unread, and are refused as unknown before any
    // window shows. What Qt said on the way is not passed on.
    const QApplication application(argc, argv);
    watchdog->say(startFailureLine(
        programName(), "the window was not drawn (" + awaitedDisplay(asked) + " did not answer)"));
    const FirstPaint firstPaint(watchdog);
    if (const auto *unread = std::find_if(argv + std::min(argc, 1), argv + argc,
                                          [](std::string_view left) { return left != "--"; });
        unread != argv + argc) {
        endStart(*answerCommandLine(project,
                                    {.action = CommandAction::Refuse,
                                     .refusal = "unknown option '" + printable(*unread) + "'"},
                                    {}));
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        if (const auto refusal = refusedColourDepth(screen->depth())) {
            refuseStart(*refusal);
        }
    }
    // The accessibility bridge, made as the window is built on X11 and Wayland, starts a thread
    // for the session bus, and where it cannot (the user's processes at their limit, ulimit -u)
    // waits for it for ever; and it asks the buses without a bound.
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("xcb"))
        || platform.startsWith(QLatin1String("wayland"))) {
        if (!canStartThread()) {
            refuseStart(
                "no thread can be started (the user's processes are at their limit, ulimit -u)");
        }
        for (const std::string &line : programBusesKeptOut) {
            printLine(line);
        }
        keepSilentBusesOut();
    }
    QCoreApplication::setApplicationName(toQString(project.name));
    QCoreApplication::setApplicationVersion(toQString(project.version));
    QGuiApplication::setDesktopFileName(toQString(project.desktopFileName));

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
    return QApplication::exec();
}

} // namespace forms
