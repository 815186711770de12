// SPDX-License-Identifier: MIT
// The runtime's entry over Qt and its untrapped-error path: the command line answered, the start
// guarded against what would hold it for ever, the start-up form made and shown.
#include "forms/start/runtime.hpp"

#include "forms/core/start_texts.hpp"
#include "forms/qt/qt_form.hpp"
#include "forms/qt/start_messages.hpp"
#include "forms/qt/widgets.hpp"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QScopedPointer>
#include <QScreen>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace forms {

namespace {

// A display answers in milliseconds, over a slow link or under valgrind in a second or two; under
// memcheck the start takes 8 s, libXau reading an endless XAUTHORITY for ever; a bus, milliseconds.
constexpr std::chrono::seconds kDisplayAnswerLimit {15};
constexpr std::chrono::seconds kStartLimit {45}; // however busy it is
constexpr std::chrono::seconds kBusAnswerLimit {3}; // each bus, all told
// The fewest bits per pixel: Qt's group-box painting crashes at 8 bits (indexed colour).
constexpr int kSmallestColourDepth = 15;

// The options Qt (QGuiApplication, QApplication, xcb) reads itself, passed through untouched.
using enum OptionValue;
// clang-format off
constexpr auto kQtOptions = std::to_array<ToolkitOption>({
    {"-platform", Next}, {"-platformpluginpath", Next}, {"-platformtheme", Next}, {"-plugin", Next},
    {"-qwindowgeometry", Next}, {"-qwindowicon", Next}, {"-qwindowtitle", Next}, {"-session", Next},
    {"-display", Next}, {"-geometry", Next}, {"-title", Next}, {"-icon", Next}, {"-name", Next},
    {"-visual", Next}, {"-qmljsdebugger", NextOrJoined}, {"-style", NextOrJoined},
    {"-stylesheet", NextOrJoined}, {"-reverse", None}, {"-widgetcount", None},
    {"-testability", None}, {"-nograb", None}, {"-dograb", None}});
// clang-format on

constexpr const char *kSessionBus = "DBUS_SESSION_BUS_ADDRESS";
constexpr const char *kAccessibilityBus = "AT_SPI_BUS_ADDRESS";

StartEnvironment g_asked; // for the lines of a start that fails or a display that goes away
// Qt's words, and ours on the buses, held until the window is up: a failed start is told in one
// line of ours; later words go on to the handler before (Qt's default where none was).
std::string *g_heldMessages = nullptr;
QtMessageHandler g_previousHandler = nullptr;

// What the window waits on, as a line names it: the Wayland socket or the X display.
std::string awaitedDisplay()
{
    if (g_asked.platform ? g_asked.platform->starts_with("wayland")
                         : g_asked.waylandSession && g_asked.waylandDisplay) {
        return "the Wayland socket " + quoted(g_asked.waylandDisplay.value_or("wayland-0"));
    }
    return g_asked.display ? "the display " + quoted(*g_asked.display) : "the display";
}

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const std::string said = message.toStdString(); // UTF-8, Qt 6's local 8 bits on Unix
    if (g_heldMessages != nullptr) {
        if (type == QtFatalMsg) {
            refuseStart(describeStartFailure(g_asked, *g_heldMessages, said));
        }
        g_heldMessages->append(said).append("\n");
        return;
    }
    // Where the display server goes away, Qt's xcb and Wayland platforms exit(1) with their own
    // words: the user reads our line instead, and the status says the window could not stay.
    if (said.starts_with("The X11 connection broke")
        || said.starts_with("The Wayland connection broke")) {
        printLine(withQtWords(awaitedDisplay() + " went away; the window is gone", said));
        endStart(kStartFailureExitCode);
    }
    g_previousHandler(type, context, message);
}

// Keeps Qt from the bus `variable` names, through Qt's lock (the bridge takes it), and says why
// with Qt's words held back.
void shutOut(const char *variable, const std::string &why)
{
    qputenv(variable, "unix:path=/nonexistent/bus");
    g_heldMessages->append(
        programLine(programName(), why + "; the window is shown without accessibility"));
}

// Keeps Qt from the bus at `address` where libdbus would start a program for it, left running
// once the window has gone, or where it did not `answer` a bounded call in time; says if it did.
bool keptOut(const char *variable, const std::string &address, std::string_view origin,
             BusAnswer answer)
{
    const auto method = programStartedFor(address);
    if (!method && answer != BusAnswer::Silent) {
        return false;
    }
    shutOut(variable,
            (variable == kSessionBus ? "the session bus " : "the accessibility bus ")
                + forms::quoted(address) + std::string(origin)
                + (method ? " is not asked: it names a program to start (" + *method + ":)"
                          : std::string(" does not answer")));
    return true;
}

// The accessibility bus the X root window's AT_SPI_BUS property names (the bridge connects to it
// too, for programs run as another user); empty where there is none or the display is not X11.
std::string rootWindowBus()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *xcb = x11 != nullptr ? x11->connection() : nullptr;
    if (xcb == nullptr) {
        return {};
    }
    const QScopedPointer<xcb_intern_atom_reply_t, QScopedPointerPodDeleter> atom(
        xcb_intern_atom_reply(xcb, xcb_intern_atom(xcb, 1, 10, "AT_SPI_BUS"), nullptr));
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(xcb)).data;
    if (!atom || atom->atom == XCB_ATOM_NONE || screen == nullptr) {
        return {};
    }
    const auto query = xcb_get_property(xcb, 0, screen->root, atom->atom, XCB_ATOM_STRING, 0, 4096);
    const QScopedPointer<xcb_get_property_reply_t, QScopedPointerPodDeleter> property(
        xcb_get_property_reply(xcb, query, nullptr));
    if (!property) {
        return {};
    }
    return {static_cast<const char *>(xcb_get_property_value(property.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(property.get()))};
}

// Keeps Qt's bridge from each bus it calls (`asked`, what it names and the root window's) that did
// not answer `probe` in time, and from the session bus libdbus starts where none is named.
void keepSilentBusesOut(const std::optional<std::string> &asked, bool named, const BusProbe &probe)
{
    if (named) {
        keptOut(kAccessibilityBus, *asked, " (AT_SPI_BUS_ADDRESS)", probe.bus);
    } else if (!asked) {
        shutOut(kSessionBus, "no session bus is named (DBUS_SESSION_BUS_ADDRESS)");
    } else if (!keptOut(kSessionBus, *asked, "", probe.bus)
               && probe.launcher == BusAnswer::Silent) {
        shutOut(kAccessibilityBus,
                "the accessibility bus's launcher (org.a11y.Bus) does not answer");
    } else if (probe.bus == BusAnswer::Answered
               && !(probe.accessibilityAddress
                    && keptOut(kAccessibilityBus, *probe.accessibilityAddress, "",
                               probe.accessibility))) {
        if (const std::string root = rootWindowBus(); !root.empty()) {
            keptOut(kAccessibilityBus, root, " (the root window's AT_SPI_BUS)",
                    probeBus(root, false, kBusAnswerLimit).bus);
        }
    }
}

// Disarms the watchdog when the window is first drawn (or minimised before it could be).
class FirstPaint : public QObject {
public:
    explicit FirstPaint(std::optional<StartWatchdog> &watchdog)
        : m_watchdog(watchdog)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint
            || (event->type() == QEvent::WindowStateChange && watched->isWidgetType()
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
    printLine(error.what());
    auto *box = new QMessageBox(QMessageBox::Critical, toQString(programName()),
                                QString::fromUtf8(error.what()), QMessageBox::Ok);
    box->setInformativeText(QStringLiteral("The program will now end."));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    // Modal to the whole program, so nothing else reaches the window; the loop ends when it is
    // closed. Shown, not open(): open() makes a box modal to its parent only, and it has none.
    QObject::connect(box, &QMessageBox::finished,
                     [] { QCoreApplication::exit(kUntrappedErrorExitCode); });
    box->show();
}

int runProject(const ProjectDescription &project, int &argc, char **argv)
{
    setProgramName(project.name);
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    const CommandLine commandLine = parseCommandLine(arguments, kQtOptions);
    if (const auto status = answerCommandLine(
            project, commandLine,
            "Qt's standard options apply as in any Qt program, among them -platform NAME,\n"
            "-style NAME, -reverse and -qwindowgeometry WIDTHxHEIGHT+X+Y; "
                + std::string(project.name) + "(1) lists them.\n")) {
        return *status;
    }
    const auto platform = commandLine.toolkitValue("-platform");
    const auto display = commandLine.toolkitValue("-display");
    g_asked = {.platform = platform ? platform : environment("QT_QPA_PLATFORM"),
               .display = display ? display : environment("DISPLAY"),
               .waylandDisplay = environment("WAYLAND_DISPLAY"),
               .waylandSession = environment("XDG_SESSION_TYPE") == "wayland",
               .scaleFactor = environment("QT_SCALE_FACTOR"),
               .screenScaleFactors = environment("QT_SCREEN_SCALE_FACTORS"),
               .fontDpi = environment("QT_FONT_DPI")};
    if (const auto refusal = refusedSettings(g_asked)) {
        refuseStart(*refusal);
    }
    QCoreApplication::setApplicationName(toQString(project.name));
    QCoreApplication::setApplicationVersion(toQString(project.version));
    QGuiApplication::setDesktopFileName(toQString(project.desktopFileName));
    // Qt looks for flatpak-info in the runtime folder, leaving $TMPDIR/runtime-$USER where none is
    // set: the start takes a private one instead (named after the program), removed at its end.
    std::optional<QTemporaryDir> runtimeFolder;
    QByteArray runtimePath;
    if (!environment("XDG_RUNTIME_DIR") && runtimeFolder.emplace().isValid()) {
        runtimePath = QFile::encodeName(runtimeFolder->path());
        qputenv("XDG_RUNTIME_DIR", runtimePath);
        removeAtEnd(runtimePath.constData());
    }
    static std::string held; // made here, not before main; read by the handler until the end
    g_heldMessages = &held;
    // Qt may ask the session bus while the application object is made: one that would start a
    // program is taken away before.
    for (const char *variable : {kSessionBus, kAccessibilityBus}) {
        if (const auto named = environment(variable)) {
            keptOut(variable, std::string(*named),
                    variable == kSessionBus ? "" : " (AT_SPI_BUS_ADDRESS)", BusAnswer::Answered);
        }
    }
    // Qt's bridge (X11, Wayland) waits for ever for a thread it cannot start (ulimit -u) and asks
    // the buses unbounded: ours asks them, bounded, as Qt connects (unread where no bridge is).
    const auto named = environment(kAccessibilityBus);
    const auto asked = named ? std::optional<std::string>(*named) : sessionBusAddress();
    std::future<BusProbe> probe;
    try {
        probe = std::async(std::launch::async, [&asked, launcher = !named] {
            return asked ? probeBus(*asked, launcher, kBusAnswerLimit) : BusProbe {};
        });
    } catch (const std::system_error &) { // said once the platform is known
    }
    // The one bound on the start, from here to the first paint: the application object connects
    // to the display (one may accept and never answer), then the window is built and shown.
    const std::string noDisplay = startFailureLine(
        programName(),
        "no display is reachable (" + awaitedDisplay() + " did not answer; platform "
            + (g_asked.platform ? quoted(*g_asked.platform) : "the default") + ")");
    const std::string notDrawn = startFailureLine(
        programName(), "the window was not drawn (" + awaitedDisplay() + " did not answer)");
    std::optional<StartWatchdog> watchdog(std::in_place, kDisplayAnswerLimit, kStartLimit,
                                          noDisplay.c_str());
    g_previousHandler = qInstallMessageHandler(messageHandler);
    // Qt takes the options it reads out of the arguments; another platform's (-display away from
    // X11) stay, and are refused as unknown before any window shows.
    const QApplication application(argc, argv);
    StartWatchdog::say(notDrawn.c_str());
    const FirstPaint firstPaint(watchdog);
    const std::vector<std::string_view> unread(argv + std::min(argc, 1), argv + argc);
    if (const auto refused = answerCommandLine(project, parseCommandLine(unread, {}), {})) {
        endStart(*refused);
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen();
        screen != nullptr && screen->depth() < kSmallestColourDepth) {
        refuseStart("the display has " + std::to_string(screen->depth())
                    + "-bit colour; the window needs at least "
                    + std::to_string(kSmallestColourDepth) + " bits per pixel");
    }
    if (const QString name = QGuiApplication::platformName();
        name.startsWith(u"xcb") || name.startsWith(u"wayland")) {
        if (!probe.valid()) {
            refuseStart(
                "no thread can be started (the user's processes are at their limit, ulimit -u)");
        }
        keepSilentBusesOut(asked, named.has_value(), probe.get());
    }
    if (!project.startupForm->font.face.empty()) {
        // The start-up form's font becomes the program's: a QLineEdit lays out its empty text in
        // the application's font as it is made, which would load Qt's default face for that alone.
        QApplication::setFont(toQFont(project.startupForm->font));
    }
    QtForm form(*project.startupForm);
    if (!project.icon.empty()) {
        // For window managers that read it from the window: from the form's resources (a theme
        // reads every theme's index), once winId() made the window and before its map, sent once.
        form.window()->winId();
        QApplication::setWindowIcon(iconFromPictures(project.icon));
    }
    if (project.connectEvents != nullptr) {
        project.connectEvents(form);
    }
    form.show();
    g_heldMessages = nullptr;
    std::fputs(held.c_str(), stderr);
    return QApplication::exec();
}

} // namespace forms
