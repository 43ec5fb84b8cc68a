#include "app/appstylesheet.h"
#include "app/widget.h"

#include <QApplication>
#include <QDebug>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    app.setStyleSheet(applicationStyleSheet());

    Widget window;
    window.setWindowFlags(window.windowFlags() | Qt::WindowMinMaxButtonsHint
                          | Qt::WindowCloseButtonHint);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    qDebug() << "Available styles:" << QStyleFactory::keys();

    window.show();
    return app.exec();
}
