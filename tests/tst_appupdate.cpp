// The application's check for a newer release of itself, against a local
// download server, and the installer download and start.
#include "app/widget.h"
#include "sim/localdownloadserver.h"
#include "support/fakedevicesource.h"
#include "support/modalwatcher.h"
#include "update/downloadserver.h"
#include "update/updatecheckdialog.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kText = "download/Product/Stompwright/Update/Stompwright_UpdateWin.txt";
const QString kLatest = "This software is the latest release. Please ensure that your product is "
                        "using the latest firmware. Download the latest firmware from the "
                        "official website: <a href=\"https://www.veltrano.com/\" "
                        "style=\"color:#FFA500;\">www.veltrano.com</a>";

QString installerPath(const QString &release)
{
    return "download/Product/Stompwright/Update/Stompwright_V" + release + ".exe";
}

/// A harmless installer: it only leaves a mark next to itself.
const QByteArray kInstaller = "#!/bin/sh\necho ran > \"$0.ran\"\n";

} // namespace

class tst_AppUpdate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void check_data();
    void check();
    void showEvent_checksEveryTime();
    void menuEntry_checksByWholeVersion();
    void download_savesAndStartsInstaller();
    void download_cancelled_savesNothing();
    void download_refused_data();
    void download_refused();

private:
    /// Runs a check and waits for its reply to be handled.
    bool check(bool manual);

    FakeDeviceSource devices;
    std::unique_ptr<ScopedDeviceSource> scopedDevices;
    std::unique_ptr<LocalDownloadServer> server;
    std::unique_ptr<QTemporaryDir> temp;
    std::unique_ptr<ModalWatcher> boxes;
    std::unique_ptr<Widget> window;
};

void tst_AppUpdate::init()
{
    scopedDevices = std::make_unique<ScopedDeviceSource>(&devices);
    server = std::make_unique<LocalDownloadServer>();
    DownloadServer::setBase(QUrl(server->baseUrl()));
    // The saved installer goes to the temporary directory, here one with a blank.
    temp = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/app update XXXXXX");
    QVERIFY(temp->isValid());
    qputenv("TMPDIR", QFile::encodeName(temp->path()));
    boxes = std::make_unique<ModalWatcher>();
    window = std::make_unique<Widget>();
}

void tst_AppUpdate::cleanup()
{
    window.reset();
    boxes.reset();
    qunsetenv("TMPDIR");
    temp.reset();
    DownloadServer::setBase(QUrl());
    server.reset();
    scopedDevices.reset();
}

bool tst_AppUpdate::check(bool manual)
{
    const int before = server->requests().size();
    window->checkForAppUpdate(manual);
    UpdateCheckDialog *dialog = window->lastUpdateCheckDialog();
    return QTest::qWaitFor([&] {
        return server->requests().size() > before
               && (dialog->isVisible() || !boxes->seen().isEmpty()
                   || dialog->label->text() != "Checking update information...");
    });
}

void tst_AppUpdate::check_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("manual");
    QTest::addColumn<QString>("offered");   // the dialog's label, or empty
    QTest::addColumn<QString>("boxTitle");  // when not offered
    const QString latestManual = "Your software is already up to date.\nCurrent version: V4.0.1";
    const auto offer = [](const char *token, const char *content) {
        return QString("The current version is: V4.0.1\nA new version is available: %1\n\n"
                       "Update Content:\n%2").arg(token, content);
    };
    QTest::newRow("4.0.2 automatic") << "Stompwright_V4.0.2\nUpdate content: fixes" << false << ""
                                     << "Information";
    QTest::newRow("4.0.2 manual") << "Stompwright_V4.0.2\nUpdate content: fixes" << true
                                  << offer("Stompwright_V4.0.2", "fixes") << "";
    QTest::newRow("4.1.0 automatic") << "Stompwright_V4.1.0" << false << "" << "Information";
    QTest::newRow("4.1.0 manual") << "Stompwright_V4.1.0\r\nUpdate content:\r\n- new\r\n" << true
                                  << offer("Stompwright_V4.1.0", "- new\r\n") << "";
    QTest::newRow("5.0.0 automatic") << "Stompwright_V5.0.0\nUpdate content:\nbig" << false
                                     << offer("Stompwright_V5.0.0", "big") << "";
    QTest::newRow("5.0.0 manual") << "Stompwright_V5.0.0" << true << offer("Stompwright_V5.0.0", "")
                                  << "";
    QTest::newRow("same manual") << "Stompwright_V4.0.1" << true << "" << "Version Check";
    QTest::newRow("version line not first") << "\nStompwright_V9.0" << true << "" << "";
    QTest::newRow("unreachable") << "" << false << "" << "";
}

void tst_AppUpdate::check()
{
    QFETCH(QString, text);
    QFETCH(bool, manual);
    QFETCH(QString, offered);
    QFETCH(QString, boxTitle);
    if (!text.isEmpty())
        server->serve(kText, text.toUtf8());
    QVERIFY(check(manual));
    UpdateCheckDialog *dialog = window->lastUpdateCheckDialog();
    QTest::qWait(50);
    QCOMPARE(dialog->isVisible(), !offered.isEmpty());
    QCOMPARE(dialog->downloadButton->isEnabled(), !offered.isEmpty());
    if (!offered.isEmpty()) {
        QCOMPARE(dialog->windowTitle(), QString("Update Available"));
        QCOMPARE(dialog->label->text(), offered);
        QVERIFY(boxes->seen().isEmpty());
        return;
    }
    QCOMPARE(boxes->seen().size(), boxTitle.isEmpty() ? 0 : 1);
    if (boxTitle == "Information")
        QCOMPARE(boxes->texts(), QStringList{kLatest});
    else if (boxTitle == "Version Check")
        QCOMPARE(boxes->texts(),
                 QStringList{"Your software is already up to date.\nCurrent version: V4.0.1"});
    if (!boxTitle.isEmpty())
        QCOMPARE(boxes->seen().first().title, boxTitle);
    else if (text.isEmpty())
        QVERIFY(dialog->label->text().startsWith("Update file download failed: "));
    else
        QCOMPARE(dialog->label->text(), QString("Update check finished, but no version info found."));
}

void tst_AppUpdate::showEvent_checksEveryTime()
{
    server->serve(kText, "Stompwright_V4.0.9");
    window->show();
    QTRY_COMPARE(boxes->texts(), QStringList{kLatest});
    window->hide();
    window->show();
    QTRY_COMPARE(boxes->texts(), (QStringList{kLatest, kLatest}));
    QCOMPARE(server->requestCount(kText), 2);
}

void tst_AppUpdate::menuEntry_checksByWholeVersion()
{
    server->serve(kText, "Stompwright_V4.0.2");
    QAction *entry = nullptr;
    for (QAction *a : window->findChildren<QAction *>())
        entry = a->text() == "Check for Update " ? a : entry;
    QVERIFY(entry);
    entry->trigger();
    QTRY_VERIFY(window->lastUpdateCheckDialog() && window->lastUpdateCheckDialog()->isVisible());
    QCOMPARE(window->lastUpdateCheckDialog()->windowTitle(), QString("Update Available"));
}

void tst_AppUpdate::download_savesAndStartsInstaller()
{
    server->serve(kText, "Stompwright_V5.0.0");
    server->serve(installerPath("5.0.0"), kInstaller);
    QVERIFY(check(true));
    UpdateCheckDialog *dialog = window->lastUpdateCheckDialog();
    dialog->downloadButton->click();
    QCOMPARE(dialog->label->text(), QString("Downloading update, please wait..."));
    QVERIFY(dialog->progressBar->isVisible());
    QVERIFY(!dialog->downloadButton->isEnabled());
    const QString saved = temp->path() + "/5.0.0.exe";
    QTRY_VERIFY(QFile::exists(saved + ".ran")); // started by its path, blank and all
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), kInstaller);
    QTRY_VERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->progressBar->value(), 100);
}

void tst_AppUpdate::download_cancelled_savesNothing()
{
    server->serve(kText, "Stompwright_V5.0.0");
    server->serve(installerPath("5.0.0"), kInstaller.repeated(4000));
    server->setThrottle(1024, 50);
    QVERIFY(check(true));
    UpdateCheckDialog *dialog = window->lastUpdateCheckDialog();
    dialog->downloadButton->click();
    QTRY_VERIFY(dialog->progressBar->value() > 0);
    dialog->cancelButton->click();
    QVERIFY(!dialog->isVisible());
    QTest::qWait(100);
    QVERIFY(QDir(temp->path()).entryList(QDir::Files).isEmpty());
}

void tst_AppUpdate::download_refused_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("404") << "404";
    QTest::newRow("500 page") << "500";
    QTest::newRow("empty") << "empty";
    QTest::newRow("dropped") << "drop";
}

void tst_AppUpdate::download_refused()
{
    QFETCH(QString, failure);
    server->serve(kText, "Stompwright_V5.0.0");
    const QString path = installerPath("5.0.0");
    if (failure == "500")
        server->serve(path, "#!/bin/sh\necho error page > \"$0.ran\"\n", 500);
    else if (failure == "empty")
        server->serve(path, QByteArray());
    else if (failure == "drop")
        server->drop(path);
    QVERIFY(check(true));
    UpdateCheckDialog *dialog = window->lastUpdateCheckDialog();
    dialog->downloadButton->click();
    QTRY_VERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(QDir(temp->path()).entryList(QDir::Files).isEmpty());
}

QTEST_MAIN(tst_AppUpdate)
#include "tst_appupdate.moc"
