// The application's check for a newer release of itself, against a local
// download server; on Windows the installer's download and detached start,
// elsewhere the download page; and what each check leaves behind.
#include "app/widget.h"
#include "sim/localdownloadserver.h"
#include "support/fakedevicesource.h"
#include "support/modalwatcher.h"
#include "support/urlcatcher.h"
#include "update/downloadserver.h"
#include "update/installer.h"
#include "update/updatecheckdialog.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

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

/// An installer that leaves its mark only once "<itself>.go" exists (for at
/// most 20 s): it must still run when the test creates that file.
const QByteArray kWaitingInstaller =
    "#!/bin/sh\nn=0\nwhile [ ! -e \"$0.go\" ] && [ $n -lt 400 ]; do sleep 0.05; n=$((n+1)); done\n"
    "[ -e \"$0.go\" ] && echo ran > \"$0.ran\"\n";

/// Files of this process grow no larger than `bytes` while it lives: writes
/// beyond it fail (short write, then EFBIG) instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_ok = getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = m_ok && setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    bool isSet() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_handler)(int) = nullptr;
    bool m_ok = false;
};

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
    void repeatedShows_leaveNothingBehind_data();
    void repeatedShows_leaveNothingBehind();
    void menuEntry_checksByWholeVersion();
    void installer_startedDetached_outlivesTheWindow();
    void download_failure_closesTheDialogWithAMessage_data();
    void download_failure_closesTheDialogWithAMessage();
    void elsewhere_offerOpensTheDownloadPageAndDownloadsNothing();

private:
    /// How one check ended: its dialog while it lives, and whether and with
    /// which label it was closed.
    struct CheckEnd
    {
        QPointer<UpdateCheckDialog> dialog;
        bool closed = false;
        int result = -1;
        QString label;
    };
    /// Runs a check and waits until its dialog is offered or closed.
    bool check(bool manual, CheckEnd *end);
    /// Watches the dialog of the check just started.
    void watch(CheckEnd *end);
    /// Offers 5.0.0, presses Download and waits for the dialog to close.
    bool downloadRelease(CheckEnd *end);
    QStringList tempFiles() const { return QDir(temp->path()).entryList(QDir::Files); }

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
    // Both deliveries run here; the installer's unless a test says otherwise.
    Installer::setDelivery(Installer::Delivery::Installer);
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
    Installer::resetDelivery();
    Installer::resetMaxBytes();
    DownloadServer::setBase(QUrl());
    server.reset();
    scopedDevices.reset();
}

void tst_AppUpdate::watch(CheckEnd *end)
{
    UpdateCheckDialog *dialog = window->lastUpdateCheckDialog();
    end->dialog = dialog;
    connect(dialog, &QDialog::finished, dialog, [end, dialog](int result) {
        end->closed = true;
        end->result = result;
        end->label = dialog->label->text();
    });
}

bool tst_AppUpdate::check(bool manual, CheckEnd *end)
{
    window->checkForAppUpdate(manual);
    watch(end);
    return QTest::qWaitFor([end] { return end->closed || (end->dialog && end->dialog->isVisible()); });
}

bool tst_AppUpdate::downloadRelease(CheckEnd *end)
{
    server->serve(kText, "Stompwright_V5.0.0");
    if (!check(true, end) || end->closed)
        return false;
    end->dialog->downloadButton->click();
    return QTest::qWaitFor([end] { return end->closed; }, 10000);
}

void tst_AppUpdate::check_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("manual");
    QTest::addColumn<QString>("offered");   // the dialog's label, or empty
    QTest::addColumn<QString>("boxTitle");  // when not offered
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
    CheckEnd end;
    QVERIFY(check(manual, &end));
    if (!offered.isEmpty()) {
        QVERIFY(!end.closed);
        QCOMPARE(end.dialog->windowTitle(), QString("Update Available"));
        QCOMPARE(end.dialog->label->text(), offered);
        QVERIFY(end.dialog->downloadButton->isEnabled());
        QCOMPARE(end.dialog->downloadButton->text(), QString("Download"));
        QVERIFY(boxes->seen().isEmpty());
        return;
    }
    // Not offered: the dialog, never shown, is closed and released with its manager.
    QVERIFY(end.closed);
    QCOMPARE(end.result, int(QDialog::Rejected));
    QTRY_VERIFY(end.dialog.isNull());
    QVERIFY(window->findChildren<QNetworkAccessManager *>().isEmpty());
    QCOMPARE(boxes->seen().size(), boxTitle.isEmpty() ? 0 : 1);
    if (boxTitle == "Information")
        QCOMPARE(boxes->texts(), QStringList{kLatest});
    else if (boxTitle == "Version Check")
        QCOMPARE(boxes->texts(),
                 QStringList{"Your software is already up to date.\nCurrent version: V4.0.1"});
    if (!boxTitle.isEmpty())
        QCOMPARE(boxes->seen().first().title, boxTitle);
    else if (text.isEmpty())
        QVERIFY2(end.label.startsWith("Update file download failed: "), qPrintable(end.label));
    else
        QCOMPARE(end.label, QString("Update check finished, but no version info found."));
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

void tst_AppUpdate::repeatedShows_leaveNothingBehind_data()
{
    QTest::addColumn<QByteArray>("text");   // empty: no version text on the server
    QTest::addColumn<QString>("offerEnd");  // how an offer is left, and when
    QTest::newRow("up to date") << QByteArray("Stompwright_V4.0.9") << "";
    QTest::newRow("no version line") << QByteArray("Stompwright 4.0.9") << "";
    QTest::newRow("unreachable") << QByteArray() << "";
    QTest::newRow("offer closed") << QByteArray("Stompwright_V5.0.0") << "close";
    // Closed during the download: the rest of the installer is never saved or started.
    QTest::newRow("download cancelled") << QByteArray("Stompwright_V5.0.0") << "Cancel";
    QTest::newRow("download closed") << QByteArray("Stompwright_V5.0.0") << "close button";
    QTest::newRow("download escaped") << QByteArray("Stompwright_V5.0.0") << "Escape";
}

void tst_AppUpdate::repeatedShows_leaveNothingBehind()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, offerEnd);
    if (!text.isEmpty())
        server->serve(kText, text);
    server->serve(installerPath("5.0.0"), kInstaller.repeated(4000));
    server->setThrottle(1024, 50);

    const auto showAndEndCheck = [&] {
        const int asked = server->requestCount(kText);
        window->hide();
        window->show();
        QTRY_COMPARE(server->requestCount(kText), asked + 1);
        // Asked, so its dialog is gone or offers the release.
        const auto dialogs = [this] { return window->findChildren<UpdateCheckDialog *>(); };
        QTRY_VERIFY(dialogs().isEmpty() || dialogs().first()->isVisible());
        if (!offerEnd.isEmpty()) {
            QCOMPARE(dialogs().size(), 1);
            UpdateCheckDialog *dialog = dialogs().first();
            QSignalSpy finished(dialog, &QDialog::finished);
            if (offerEnd != "close") {
                dialog->downloadButton->click();
                QTRY_VERIFY(dialog->progressBar->value() > 0);
            }
            if (offerEnd == "Cancel")
                dialog->cancelButton->click();
            else if (offerEnd == "Escape")
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->close();
            QCOMPARE(finished.size(), 1);
            QCOMPARE(finished.first().first().toInt(), int(QDialog::Rejected));
        }
        QTRY_VERIFY(dialogs().isEmpty());
    };
    const auto objects = [this] { return window->findChildren<QObject *>().size(); };

    showAndEndCheck();
    const int objectsAfterOne = objects();
    const int widgetsAfterOne = QApplication::allWidgets().size();
    for (int i = 0; i < 3; ++i)
        showAndEndCheck();
    QCOMPARE(objects(), objectsAfterOne);
    QCOMPARE(QApplication::allWidgets().size(), widgetsAfterOne);
    QVERIFY(window->findChildren<UpdateCheckDialog *>().isEmpty());
    QVERIFY(window->findChildren<QNetworkAccessManager *>().isEmpty());
    QCOMPARE(server->requestCount(kText), 4);
    QCOMPARE(boxes->seen().size(), text == "Stompwright_V4.0.9" ? 4 : 0);
    QVERIFY(tempFiles().isEmpty());
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

void tst_AppUpdate::installer_startedDetached_outlivesTheWindow()
{
    server->serve(installerPath("5.0.0"), kWaitingInstaller);
    CheckEnd end;
    server->serve(kText, "Stompwright_V5.0.0");
    QVERIFY(check(true, &end));
    end.dialog->downloadButton->click();
    QCOMPARE(end.dialog->label->text(), QString("Downloading update, please wait..."));
    QVERIFY(end.dialog->progressBar->isVisible());
    QVERIFY(!end.dialog->downloadButton->isEnabled());
    QTRY_VERIFY(end.closed);
    QCOMPARE(end.result, int(QDialog::Accepted));
    QTRY_VERIFY(end.dialog.isNull());
    QVERIFY(boxes->seen().isEmpty());

    const QString saved = temp->path() + "/5.0.0.exe"; // started by its path, blank and all
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), kWaitingInstaller);
    // The tool goes away first; the installer goes on and finishes.
    window.reset();
    QFile go(saved + ".go");
    QVERIFY(go.open(QIODevice::WriteOnly));
    go.close();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saved + ".ran"), 10000);
}

void tst_AppUpdate::download_failure_closesTheDialogWithAMessage_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("message"); // the start of the box's text
    QTest::addColumn<bool>("saved");      // the installer is left in the temporary directory
    const QString refused = "The installer could not be downloaded: ";
    QTest::newRow("404") << "404" << refused << false;
    QTest::newRow("500 page") << "500" << refused << false;
    QTest::newRow("empty") << "empty" << refused + "Empty reply" << false;
    QTest::newRow("dropped") << "drop" << refused << false;
    QTest::newRow("over the size limit")
        << "oversized" << refused + "The download is larger than 65536 bytes" << false;
    QTest::newRow("no temporary directory") << "no dir" << "The installer was not saved: " << false;
    QTest::newRow("short write") << "short write" << "The installer was not saved: " << false;
    QTest::newRow("not a program") << "not a program" << "The installer was not started: " << true;
}

void tst_AppUpdate::download_failure_closesTheDialogWithAMessage()
{
    QFETCH(QString, failure);
    QFETCH(QString, message);
    QFETCH(bool, saved);
    const QString path = installerPath("5.0.0");
    QByteArray body = kInstaller;
    if (failure == "short write")
        body += QByteArray(256 * 1024, '#');
    else if (failure == "oversized") {
        body += QByteArray(256 * 1024, '#');
        Installer::setMaxBytes(64 * 1024);
    }
    else if (failure == "not a program")
        body = "This is no program.\n";
    else if (failure == "no dir")
        qputenv("TMPDIR", QFile::encodeName(temp->filePath("missing")));
    if (failure == "500")
        server->serve(path, "#!/bin/sh\necho error page > \"$0.ran\"\n", 500);
    else if (failure == "empty")
        server->serve(path, QByteArray());
    else if (failure == "drop")
        server->drop(path);
    else if (failure != "404")
        server->serve(path, body);

    std::unique_ptr<FileSizeLimit> limit;
    if (failure == "short write") {
        limit = std::make_unique<FileSizeLimit>(64 * 1024);
        QVERIFY(limit->isSet());
    }
    CheckEnd end;
    QVERIFY(downloadRelease(&end));
    limit.reset();
    QCOMPARE(end.result, int(QDialog::Rejected));
    QTRY_COMPARE(boxes->seen().size(), 1);
    QCOMPARE(boxes->seen().first().title, QString("Update Failed"));
    QVERIFY2(boxes->seen().first().text.startsWith(message), qPrintable(boxes->seen().first().text));
    QCOMPARE(boxes->seen().first().icon, QMessageBox::Warning);
    QTRY_VERIFY(end.dialog.isNull());
    QCOMPARE(tempFiles(), saved ? QStringList{"5.0.0.exe"} : QStringList());
    // Nothing was started, wherever it might have been saved.
    QVERIFY(!QFile::exists(temp->filePath("5.0.0.exe.ran")));
    QVERIFY(!QFile::exists(QDir::rootPath() + "5.0.0.exe"));
}

void tst_AppUpdate::elsewhere_offerOpensTheDownloadPageAndDownloadsNothing()
{
    Installer::resetDelivery();
#ifdef Q_OS_WIN
    QCOMPARE(Installer::delivery(), Installer::Delivery::Installer);
#else
    QCOMPARE(Installer::delivery(), Installer::Delivery::DownloadPage);
#endif
    Installer::setDelivery(Installer::Delivery::DownloadPage);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("http", &catcher, "open");
    server->serve(kText, "Stompwright_V5.0.0\nUpdate content:\nbig");
    server->serve(installerPath("5.0.0"), kInstaller);
    const QString page = server->baseUrl() + "/download/Product/Stompwright/";

    for (bool manual : {false, true}) {
        CheckEnd end;
        QVERIFY(check(manual, &end));
        QVERIFY(!end.closed);
        QCOMPARE(end.dialog->windowTitle(), QString("Update Available"));
        QCOMPARE(end.dialog->label->text(),
                 "The current version is: V4.0.1\nA new version is available: Stompwright_V5.0.0"
                 "\n\nUpdate Content:\nbig\n\nThe installer on the server is for Windows. Get the "
                 "new release for this system from the download page:\n" + page);
        QCOMPARE(end.dialog->downloadButton->text(), QString("Open Download Page"));
        end.dialog->downloadButton->click();
        QCOMPARE(catcher.urls.size(), int(manual) + 1);
        QCOMPARE(catcher.urls.last(), QUrl(page));
        QVERIFY(end.closed);
        QCOMPARE(end.result, int(QDialog::Accepted));
        QTRY_VERIFY(end.dialog.isNull());
    }
    QDesktopServices::unsetUrlHandler("http");
    QCOMPARE(server->requests(), (QStringList{kText, kText}));
    QVERIFY(tempFiles().isEmpty());
    QVERIFY(boxes->seen().isEmpty());
}

QTEST_MAIN(tst_AppUpdate)
#include "tst_appupdate.moc"
