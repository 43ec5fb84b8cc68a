#include "device/devicechangewatch_win.h"

#include <QGuiApplication>
#include <QWindow>

#include <qt_windows.h>

#include <algorithm>

DeviceChangeWatch::DeviceChangeWatch(Changed changed) : m_changed(std::move(changed)) {}

DeviceChangeWatch::~DeviceChangeWatch()
{
    if (m_app)
        m_app->removeNativeEventFilter(this);
}

bool DeviceChangeWatch::watching()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    if (m_app != app) {
        app->installNativeEventFilter(this);
        m_app = app;
    }
    if (!qobject_cast<QGuiApplication *>(app))
        return false;
    // Hidden windows get the message only when no other window owns them.
    const QWindowList windows = QGuiApplication::topLevelWindows();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWindow *w) {
        return w->handle() && (w->isVisible() || !w->transientParent());
    });
}

bool DeviceChangeWatch::nativeEventFilter(const QByteArray &eventType, void *message, long *result)
{
    Q_UNUSED(result)
    // Sent to Qt's windows ("generic") or posted to the thread ("dispatcher").
    const bool isMsg = eventType == "windows_generic_MSG" || eventType == "windows_dispatcher_MSG";
    if (isMsg && static_cast<const MSG *>(message)->message == WM_DEVICECHANGE)
        m_changed();
    return false;
}
