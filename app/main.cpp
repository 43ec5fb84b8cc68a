#include "app/appstylesheet.h"
#include "app/startup.h"
#include "app/widget.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    app.setStyleSheet(applicationStyleSheet());

    Widget window;
    return runMainWindow(app, window);
}
