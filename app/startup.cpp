#include "app/startup.h"

#include "app/widget.h"
#include "core/logging.h"

#include <QApplication>
#include <QStyleFactory>

int runMainWindow(QApplication &app, Widget &window)
{
    window.setWindowFlags(window.windowFlags() | Qt::WindowMinMaxButtonsHint
                          | Qt::WindowCloseButtonHint);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    qCDebug(lcApp) << "Available styles:" << QStyleFactory::keys();
    window.show();
    return app.exec();
}
