// SPDX-License-Identifier: MIT
// The runtime's entry and its untrapped-error path.
#include "forms/runtime.hpp"

#include "forms/qt_form.hpp"
#include "forms/start_failure.hpp"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

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

int runProject(const ProjectDescription &project, const char *programPath)
{
    g_programName = project.name;
    std::string heldMessages;
    g_heldMessages = &heldMessages;
    qInstallMessageHandler(startupMessageHandler);

    int argc = 1;
    std::array<char *, 2> argv {const_cast<char *>(programPath), nullptr};
    const QApplication application(argc, argv.data());
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

    g_heldMessages = nullptr;
    std::fputs(heldMessages.c_str(), stderr);
    return QApplication::exec();
}

} // namespace forms
