// SPDX-License-Identifier: MIT
// Watches the X server's word that a form's window was destroyed (see outside_destruction.hpp).
#include "forms/qt/outside_destruction.hpp"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include <xcb/xproto.h>

namespace forms {

namespace {

// Qt selects the structure events of its own windows, so the server tells it of each destroyed
// one; Qt itself does nothing with that word. The filter belongs to the window and goes with it,
// so the program's own destruction of a window is never mistaken for another's: by then nothing
// listens.
class DestructionWatcher final : public QObject, public QAbstractNativeEventFilter {
public:
    explicit DestructionWatcher(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~DestructionWatcher() override
    {
        if (QCoreApplication *application = QCoreApplication::instance()) {
            application->removeNativeEventFilter(this);
        }
    }
    DestructionWatcher(const DestructionWatcher &) = delete;
    DestructionWatcher &operator=(const DestructionWatcher &) = delete;
    DestructionWatcher(DestructionWatcher &&) = delete;
    DestructionWatcher &operator=(DestructionWatcher &&) = delete;

    bool nativeEventFilter(const QByteArray &eventType, void *message,
                           qintptr * /*result*/) override
    {
        if (eventType != "xcb_generic_event_t" || m_window.isNull()) {
            return false;
        }
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        // The top bit marks an event sent by a client rather than the server: a forged one ends
        // nothing.
        if (event->response_type != XCB_DESTROY_NOTIFY) {
            return false;
        }
        const auto *destroyed = static_cast<const xcb_destroy_notify_event_t *>(message);
        const WId own = m_window->internalWinId();
        if (own != 0 && destroyed->window == own) {
            QCoreApplication::exit(0);
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
};

} // namespace

void endWhenDestroyedFromOutside(QWidget *window)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        new DestructionWatcher(window);
    }
}

} // namespace forms
