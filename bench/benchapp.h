#pragma once

#include "app/appstylesheet.h"

#include <QApplication>

/// The application a benchmark measures in: offscreen unless QT_QPA_PLATFORM
/// names another platform, styled like the program, and silent, so that no
/// debug output is timed.
class BenchApp
{
public:
    BenchApp(int &argc, char **argv)
        : m_app(prepare(argc), argv)
    {
        m_app.setStyleSheet(applicationStyleSheet());
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

private:
    static int &prepare(int &argc)
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
        return argc;
    }

    QApplication m_app;
};
