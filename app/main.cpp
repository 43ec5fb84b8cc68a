#include "app/appstylesheet.h"
#include "app/startup.h"
#include "app/widget.h"
#include "core/configlocation.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    app.setStyleSheet(applicationStyleSheet());
    // Lets the desktop match the window to the installed entry and its icon.
    app.setDesktopFileName(QLatin1String(ConfigLocation::desktopId));

    Widget window;
    return runMainWindow(app, window);
}
