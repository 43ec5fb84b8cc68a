#pragma once

#include "app/appstylesheet.h"
#include "update/downloadserver.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

/// The application a benchmark measures in: offscreen unless QT_QPA_PLATFORM
/// names another platform, styled like the program, and silent, so that no
/// debug output is timed. The download server is a closed local port, so the
/// window's update checks fail at once and nothing outside this machine takes
/// part in a measurement. Each run starts in an empty working directory, so
/// it reads no config.ini left by another run (a MIDI output another
/// benchmark chose would open a box at start-up) and leaves none behind.
class BenchApp
{
public:
    BenchApp(int &argc, char **argv)
        : m_app(prepare(argc), argv)
    {
        QDir::setCurrent(m_configDir.path());
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

    QTemporaryDir m_configDir;
    QApplication m_app;
};
