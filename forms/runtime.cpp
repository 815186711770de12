// SPDX-License-Identifier: MIT
// The runtime's entry and its untrapped-error path.
#include "forms/runtime.hpp"

#include "forms/command_line.hpp"
#include "forms/qt_form.hpp"
#include "forms/start_failure.hpp"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>

#include <algorithm>
#include <array>
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
// (A pointer to runProject's buffer, so nothing here needs constructing before main.)
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

void startupMessageHandler(QtMsgType type, const QMessageLogContext & /*context*/,
                           const QString &message)
{
    const QByteArray text = message.toLocal8Bit();
    if (type == QtFatalMsg) {
        const std::string reason = describeStartFailure({
            .heldMessages = g_heldMessages != nullptr ? *g_heldMessages : std::string_view(),
            .fatalMessage
            = std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
            .requestedPlatform = environment("QT_QPA_PLATFORM"),
            .display = environment("DISPLAY"),
        });
        std::fprintf(stderr, "%.*s: cannot open the window: %s\n", programNameLength(),
                     g_programName.data(), reason.c_str());
        std::fflush(stderr);
        std::_Exit(kStartFailureExitCode);
    }
    if (g_heldMessages != nullptr) {
        g_heldMessages->append(text.constData()).append("\n");
        return;
    }
    std::fprintf(stderr, "%s\n", text.constData());
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
    std::string heldMessages;
    g_heldMessages = &heldMessages;
    qInstallMessageHandler(startupMessageHandler);

    // Qt takes its own options out of the arguments; the rest were refused above.
    const QApplication application(argc, argv);
    // An option the list above lets through but this platform does not read (-display away
    // from X11, say) is refused all the same, before any window shows; a closing "--" is not.
    auto *const leftover
        = std::find_if(argv + std::min(argc, 1), argv + argc,
                       [](const char *argument) { return std::string_view(argument) != "--"; });
    if (leftover != argv + argc) {
        std::fprintf(stderr, "%.*s: unknown option '%s' (%.*s --help lists the options)\n",
                     programNameLength(), g_programName.data(), *leftover, programNameLength(),
                     g_programName.data());
        return kUsageExitCode;
    }
    QCoreApplication::setApplicationName(
        QString::fromUtf8(project.name.data(), static_cast<qsizetype>(project.name.size())));
    QCoreApplication::setApplicationVersion(
        QString::fromUtf8(project.version.data(), static_cast<qsizetype>(project.version.size())));
    const QString applicationId = QString::fromUtf8(
        project.desktopFileName.data(), static_cast<qsizetype>(project.desktopFileName.size()));
    QGuiApplication::setDesktopFileName(applicationId);
    // The icon installed under the same id, for window managers that take the icon from the
    // window rather than from the desktop entry; where no theme has it, the window has none.
    QApplication::setWindowIcon(QIcon::fromTheme(applicationId));

    if (!project.startupForm->font.face.empty()) {
        // The start-up form's font becomes the program's: a QLineEdit lays its empty text out in
        // the application's font while it is being made, before the form's font reaches it, and
        // that would load the toolkit's default face only for that.
        QApplication::setFont(toQFont(project.startupForm->font));
    }
    QtForm form(*project.startupForm);
    if (project.connectEvents != nullptr) {
        project.connectEvents(form);
    }
    form.show();

    g_heldMessages = nullptr;
    std::fputs(heldMessages.c_str(), stderr);
    return QApplication::exec();
}

} // namespace forms
