#pragma once

#include "app/appstylesheet.h"
#include "update/downloadserver.h"

#include <QApplication>

/// The application a benchmark measures in: offscreen unless QT_QPA_PLATFORM
/// names another platform, styled like the program, and silent, so that no
/// debug output is timed. The download server is a closed local port, so the
/// window's update checks fail at once and nothing outside this machine takes
/// part in a measurement.
class BenchApp
{
public:
    BenchApp(int &argc, char **argv)
        : m_app(prepare(argc), argv)
    {
        m_app.setStyleSheet(applicationStyleSheet());
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        DownloadServer::setBase(QUrl(QStringLiteral("http://127.0.0.1:9")));
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
