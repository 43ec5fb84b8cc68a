// The menu bar, the two persistent settings in config.ini, the manual links,
// the download server address and the About dialog. Every window here starts
// in a fresh working directory, where config.ini lives.
#include "app/customdialog.h"
#include "app/widget.h"
#include "device/serialport.h"
#include "pedal/vocabulary.h"
#include "support/controllerrig.h"
#include "support/modalwatcher.h"
#include "support/urlcatcher.h"
#include "support/scopedcurrentdir.h"
#include "update/downloadserver.h"
#include "ui_widget.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QtTest>

namespace {

QAction *actionNamed(Widget &w, const QString &text)
{
    for (QAction *action : w.findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QList<QComboBox *> noteLists(Ui::Widget *ui)
{
    return {ui->switch_note_comboBox_nno, ui->expression_note_comboBox_ctl,
            ui->expression_press_note,    ui->expression_release_note,
            ui->hat_press_note,           ui->hat_release_note};
}

QList<QComboBox *> controllerLists(Ui::Widget *ui)
{
    return {ui->expression_cc_comboBox_ctl, ui->switch_cc_comboBox_ctl, ui->hat_cc_comboBox_ctl};
}

/// The naming action that is checked, or an empty text.
QString checkedNaming(Widget &w)
{
    for (const char *name : {"C3", "C4", "C5"}) {
        if (actionNamed(w, QLatin1String(name))->isChecked())
            return QLatin1String(name);
    }
    return QString();
}


} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void menuBar_holdsEveryEntryInOrder();
    void firstStart_showsNamesAndTheInitialNoteNames();
    void noteNaming_refillsKeepsSelectionsAndSurvivesARestart_data();
    void noteNaming_refillsKeepsSelectionsAndSurvivesARestart();
    void showCCName_togglesNumbersKeepsPositionsAndPersists();
    void configElsewhere_isNotFound();
    void badConfig_neverCrashesAndEndsConsistent_data();
    void badConfig_neverCrashesAndEndsConsistent();
    void factoryReset_okWritesTheCommandCancelNothing();
    void factoryReset_disabledWhileNoControllerIsConnected();

    void downloadServer_joinsWithExactlyOneSlash_data();
    void downloadServer_joinsWithExactlyOneSlash();
    void manuals_openOnTheServerBase();
    void manuals_withoutABrowser_showTheAddressToCopy();

    void about_showsVersionAndDragsByItsBandOnly();
};

void TestSettings::menuBar_holdsEveryEntryInOrder()
{
    const ScopedCurrentDir dir;
    Widget w;
    auto *bar = w.form()->widget->findChild<QMenuBar *>();
    QVERIFY(bar);
    QCOMPARE(bar->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(bar->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);

    const auto texts = [](const QList<QAction *> &actions) {
        QStringList out;
        for (QAction *a : actions)
            out.append(a->text());
        return out;
    };
    const QList<QAction *> menus = bar->actions();
    QCOMPARE(texts(menus), (QStringList{"File", "Setting", "Help"}));
    QCOMPARE(texts(menus.at(0)->menu()->actions()),
             (QStringList{"Open File", "Save File", "Save File As", "Back Up Controller...",
                          "Restore Controller...", "Exit"}));
    QCOMPARE(texts(menus.at(1)->menu()->actions()),
             (QStringList{"MIDI Note=60 Name", "Show CC Name", "Factory Reset", "Firmware Upgrade",
                          "MIDI Output"}));
    QCOMPARE(texts(menus.at(2)->menu()->actions()),
             (QStringList{"About", "User Manual", "Check for Update "}));
    QMenu *naming = menus.at(1)->menu()->actions().at(0)->menu();
    QCOMPARE(texts(naming->actions()), (QStringList{"C3", "C4", "C5"}));
    QVERIFY(naming->actions().at(0)->actionGroup()->isExclusive());
    QCOMPARE(texts(menus.at(2)->menu()->actions().at(1)->menu()->actions()),
             (QStringList{"中文说明书", "English User Manual"}));
}

void TestSettings::firstStart_showsNamesAndTheInitialNoteNames()
{
    const ScopedCurrentDir dir;
    Widget w;
    Ui::Widget *ui = w.form();
    QVERIFY(actionNamed(w, QStringLiteral("Show CC Name"))->isChecked());
    // The editor's lists name note 60 C4; the menu and the table agree.
    QCOMPARE(checkedNaming(w), QStringLiteral("C4"));
    w.handlePedalFrame(QByteArray::fromHex("09903c64"));
    QCOMPARE(ui->tableView->model()->index(0, 1).data().toString(), QStringLiteral("60/C4"));
    for (QComboBox *box : controllerLists(ui))
        QCOMPARE(box->itemText(7), QStringLiteral("7) Volume"));
    for (QComboBox *box : noteLists(ui))
        QCOMPARE(box->itemText(60), QStringLiteral("60 / C4"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("config.ini"))));
}

void TestSettings::noteNaming_refillsKeepsSelectionsAndSurvivesARestart_data()
{
    QTest::addColumn<QString>("naming");
    QTest::addColumn<QString>("note60");
    QTest::newRow("C3") << "C3" << "60 / C3";
    QTest::newRow("C4") << "C4" << "60 / C4";
    QTest::newRow("C5") << "C5" << "60 / C5";
}

void TestSettings::noteNaming_refillsKeepsSelectionsAndSurvivesARestart()
{
    QFETCH(QString, naming);
    QFETCH(QString, note60);

    const ScopedCurrentDir dir;
    {
        Widget w;
        Ui::Widget *ui = w.form();
        ui->expression_comboBox0->setCurrentIndex(0); // CC: the trigger notes are enabled
        const QList<QComboBox *> lists = noteLists(ui);
        for (int i = 0; i < lists.size(); ++i)
            lists.at(i)->setCurrentIndex(40 + i);
        actionNamed(w, naming)->trigger();
        QCOMPARE(checkedNaming(w), naming);
        for (int i = 0; i < lists.size(); ++i) {
            QCOMPARE(lists.at(i)->itemText(60), note60);
            QCOMPARE(lists.at(i)->currentIndex(), 40 + i);
        }
    }
    QCOMPARE(QSettings(dir.filePath("config.ini"), QSettings::IniFormat).value("selectedMIDIName").toString(),
             naming);

    Widget again;
    QCOMPARE(checkedNaming(again), naming);
    for (QComboBox *box : noteLists(again.form()))
        QCOMPARE(box->itemText(60), note60);
}

void TestSettings::showCCName_togglesNumbersKeepsPositionsAndPersists()
{
    const ScopedCurrentDir dir;
    {
        Widget w;
        Ui::Widget *ui = w.form();
        const QList<QComboBox *> lists = controllerLists(ui);
        for (int i = 0; i < lists.size(); ++i)
            lists.at(i)->setCurrentIndex(7 + i);
        QAction *toggle = actionNamed(w, QStringLiteral("Show CC Name"));
        toggle->trigger();
        QVERIFY(!toggle->isChecked());
        for (int i = 0; i < lists.size(); ++i) {
            QCOMPARE(lists.at(i)->count(), 128);
            QCOMPARE(lists.at(i)->itemText(7), QStringLiteral("7"));
            QCOMPARE(lists.at(i)->currentIndex(), 7 + i);
        }
    }
    QCOMPARE(QSettings(dir.filePath("config.ini"), QSettings::IniFormat).value("showCCNameEnabled").toBool(),
             false);
    {
        Widget again;
        QVERIFY(!actionNamed(again, QStringLiteral("Show CC Name"))->isChecked());
        QCOMPARE(again.form()->expression_cc_comboBox_ctl->itemText(7), QStringLiteral("7"));
        QCOMPARE(again.form()->switch_cc_comboBox_ctl->itemText(7), QStringLiteral("7"));
        QCOMPARE(again.form()->hat_cc_comboBox_ctl->itemText(7), QStringLiteral("7"));
        // Names come back with the next toggle.
        actionNamed(again, QStringLiteral("Show CC Name"))->trigger();
        QCOMPARE(again.form()->hat_cc_comboBox_ctl->itemText(7), QStringLiteral("7) Volume"));
    }
    QCOMPARE(QSettings(dir.filePath("config.ini"), QSettings::IniFormat).value("showCCNameEnabled").toBool(),
             true);
}

void TestSettings::configElsewhere_isNotFound()
{
    const ScopedCurrentDir first;
    {
        Widget w;
        actionNamed(w, QStringLiteral("C5"))->trigger();
        actionNamed(w, QStringLiteral("Show CC Name"))->trigger();
    }
    const ScopedCurrentDir second;
    Widget w;
    QCOMPARE(checkedNaming(w), QStringLiteral("C4"));
    QVERIFY(actionNamed(w, QStringLiteral("Show CC Name"))->isChecked());
    QCOMPARE(w.form()->switch_note_comboBox_nno->itemText(60), QStringLiteral("60 / C4"));
}

void TestSettings::badConfig_neverCrashesAndEndsConsistent_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("naming"); // "?" for any naming consistent with the lists
    QTest::addColumn<int>("names");      // -1 for either

    const QDir corpus(QStringLiteral(SW_TEST_DATA "/config"));
    const QMap<QString, QPair<QString, int>> expected = {
        {"empty.ini", {"C4", 1}},
        {"truncated.ini", {"C4", 1}},
        {"unknown-values.ini", {"C4", 1}},
        {"huge-negative.ini", {"C4", 1}},
    };
    const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 7);
    for (const QString &name : files) {
        QFile f(corpus.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const auto e = expected.value(name, {QStringLiteral("?"), -1});
        QTest::newRow(qPrintable(name)) << f.readAll() << e.first << e.second;
    }
    // Very large: 4 MB of settings lines, the real keys at the end.
    QByteArray large;
    for (int i = 0; large.size() < 4 * 1024 * 1024; ++i)
        large += "key" + QByteArray::number(i) + "=" + QByteArray(40, 'x') + "\n";
    large += "selectedMIDIName=C5\nshowCCNameEnabled=false\n";
    QTest::newRow("large") << large << "C5" << 0;
}

void TestSettings::badConfig_neverCrashesAndEndsConsistent()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, naming);
    QFETCH(int, names);

    const ScopedCurrentDir dir;
    QFile config(dir.filePath(QStringLiteral("config.ini")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(contents);
    config.close();

    ModalWatcher boxes;
    Widget w;
    Ui::Widget *ui = w.form();
    QVERIFY(boxes.seen().isEmpty());
    const QString checked = checkedNaming(w);
    if (naming != QLatin1String("?"))
        QCOMPARE(checked, naming);
    QVERIFY(!checked.isEmpty()); // a saved naming, or the lists' own C4
    const QString note60 = "60 / " + checked;
    for (QComboBox *box : noteLists(ui)) {
        QCOMPARE(box->count(), 128);
        QCOMPARE(box->itemText(60), note60);
    }
    const bool named = actionNamed(w, QStringLiteral("Show CC Name"))->isChecked();
    if (names >= 0)
        QCOMPARE(int(named), names);
    for (QComboBox *box : {ui->expression_cc_comboBox_ctl, ui->switch_cc_comboBox_ctl}) {
        QCOMPARE(box->count(), 128);
        QCOMPARE(box->itemText(7), named ? QStringLiteral("7) Volume") : QStringLiteral("7"));
    }
}

void TestSettings::factoryReset_okWritesTheCommandCancelNothing()
{
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("ZT-3"));
    QSignalSpy identified(rig.window.get(), &Widget::firmwareCheckDue);
    QVERIFY(rig.connect());
    QVERIFY(identified.count() > 0 || identified.wait());
    rig.controller.behaviour().store(ControllerBehaviour::defaultDefinition(0, 3, 1));

    // The question follows the automatic backup and says where it went.
    rig.boxes.setAnswer(QMessageBox::Cancel);
    actionNamed(*rig.window, QStringLiteral("Factory Reset"))->trigger();
    QTRY_COMPARE(rig.boxes.seen().size(), 1);
    QCOMPARE(rig.boxes.seen().last().title, QStringLiteral("Reset"));
    QVERIFY2(rig.boxes.seen().last().text.startsWith(
                 "Factory Reset?\n\nThe controller's setup was backed up to:\n"),
             qPrintable(rig.boxes.seen().last().text));
    QVERIFY(rig.commands(ControllerCommand::FactoryReset).isEmpty());

    rig.boxes.setAnswer(QMessageBox::Ok);
    actionNamed(*rig.window, QStringLiteral("Factory Reset"))->trigger();
    QTRY_COMPARE(rig.commands(ControllerCommand::FactoryReset).size(), 1);
    QCOMPARE(rig.commands(ControllerCommand::FactoryReset).first().toHex(' ').toUpper(),
             QByteArray("F0 00 21 5E 03 05 58 F7"));
    // Besides the backups' asks, only the confirmed reset reached the
    // controller, last, and it took effect there.
    QCOMPARE(rig.controller.commands().size(), rig.commands(ControllerCommand::Ask).size() + 1);
    QVERIFY(rig.controller.receivedBytes().endsWith(QByteArray::fromHex("F000215E030558F7")));
    QCOMPARE(rig.controller.behaviour().storedCount(), 0);
}

void TestSettings::factoryReset_disabledWhileNoControllerIsConnected()
{
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("ZT-3"));
    QAction *reset = actionNamed(*rig.window, QStringLiteral("Factory Reset"));
    auto *menu = qobject_cast<QMenu *>(reset->associatedWidgets().value(0));
    QVERIFY(menu);
    // Chosen as the user chooses it: a disabled entry of an open menu takes no click.
    const auto triggerAnswered = [&] {
        rig.boxes.setAnswer(QMessageBox::Ok);
        menu->popup(QPoint(0, 0));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(reset).center());
        menu->hide();
    };
    // The controller's reply to a reset opens a box of its own.
    const auto questions = [&] {
        return std::count_if(rig.boxes.seen().cbegin(), rig.boxes.seen().cend(),
                             [](const ModalWatcher::Seen &box) { return box.title == "Reset"; });
    };
    // Before the first connect, after Disconnect and after the cable is
    // pulled, the entry neither asks nor writes; connected, it does both.
    QVERIFY(!reset->isEnabled());
    triggerAnswered();
    QVERIFY(rig.connect());
    QVERIFY(reset->isEnabled());
    rig.ui->connectButton->click();
    QVERIFY(!rig.link()->isOpen());
    QVERIFY(!reset->isEnabled());
    triggerAnswered();
    QCOMPARE(questions(), 0);

    QVERIFY(rig.connect());
    QVERIFY(reset->isEnabled());
    triggerAnswered();
    QTRY_COMPARE(questions(), 1);
    QTRY_COMPARE(rig.commands(ControllerCommand::FactoryReset).size(), 1);
    rig.controller.vanish();
    QTRY_VERIFY(!rig.link()->isOpen());
    QVERIFY(!reset->isEnabled());
    triggerAnswered();
    QCOMPARE(questions(), 1);
    QCOMPARE(rig.commands(ControllerCommand::FactoryReset).size(), 1);
}

void TestSettings::downloadServer_joinsWithExactlyOneSlash_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("url");
    QTest::newRow("path with slash") << "http://127.0.0.1:8080" << "/a/b.txt" << "http://127.0.0.1:8080/a/b.txt";
    QTest::newRow("path without slash") << "http://127.0.0.1:8080" << "a/b.txt" << "http://127.0.0.1:8080/a/b.txt";
    QTest::newRow("base with slash") << "http://127.0.0.1:8080/" << "/a" << "http://127.0.0.1:8080/a";
    QTest::newRow("base with a path") << "http://localhost/mirror/" << "a" << "http://localhost/mirror/a";
    QTest::newRow("empty path") << "http://localhost" << "" << "http://localhost/";
}

void TestSettings::downloadServer_joinsWithExactlyOneSlash()
{
    QFETCH(QString, base);
    QFETCH(QString, path);
    QFETCH(QString, url);
    const QUrl vendor = DownloadServer::base();
    QCOMPARE(vendor.scheme(), QStringLiteral("https"));
    DownloadServer::setBase(QUrl(base));
    QCOMPARE(DownloadServer::url(path), QUrl(url));
    DownloadServer::setBase(QUrl());
    QCOMPARE(DownloadServer::base(), vendor);
}

void TestSettings::manuals_openOnTheServerBase()
{
    const ScopedCurrentDir dir;
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    DownloadServer::setBase(QUrl(QStringLiteral("http://127.0.0.1:8099/")));
    ModalWatcher boxes;
    {
        Widget w;
        actionNamed(w, QStringLiteral("English User Manual"))->trigger();
        actionNamed(w, QStringLiteral("中文说明书"))->trigger();
    }
    QVERIFY(boxes.seen().isEmpty()); // the desktop took both
    DownloadServer::setBase(QUrl());
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QCOMPARE(catcher.urls.size(), 2);
    QCOMPARE(catcher.urls.at(0).toString(),
             QStringLiteral("http://127.0.0.1:8099/download/Product/Stompwright/Stompwright_Manual.pdf"));
    QCOMPARE(catcher.urls.at(1).path(),
             QStringLiteral("/download/Product/Stompwright/Stompwright说明书.pdf"));
    QCOMPARE(catcher.urls.at(1).host(), QStringLiteral("127.0.0.1"));
}

void TestSettings::manuals_withoutABrowser_showTheAddressToCopy()
{
    // Nothing handles the scheme here: no browser, no handler, as on a
    // machine without a desktop.
    const ScopedCurrentDir dir;
    DownloadServer::setBase(QUrl(QStringLiteral("http://127.0.0.1:8099/")));
    ModalWatcher boxes;
    Qt::TextInteractionFlags flags;
    boxes.setInspector([&flags](QMessageBox *box) { flags = box->textInteractionFlags(); });
    {
        Widget w;
        actionNamed(w, QStringLiteral("English User Manual"))->trigger();
        actionNamed(w, QStringLiteral("中文说明书"))->trigger();
    }
    DownloadServer::setBase(QUrl());
    QCOMPARE(boxes.seen().size(), 2);
    const QStringList addresses = {
        QStringLiteral("http://127.0.0.1:8099/download/Product/Stompwright/Stompwright_Manual.pdf"),
        QStringLiteral("http://127.0.0.1:8099/download/Product/Stompwright/Stompwright说明书.pdf")};
    for (int i = 0; i < 2; ++i) {
        const ModalWatcher::Seen &box = boxes.seen().at(i);
        QCOMPARE(box.title, QStringLiteral("Open Link"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QVERIFY2(box.text.endsWith(QStringLiteral("\n\n") + addresses.at(i)), qPrintable(box.text));
    }
    QVERIFY(flags & Qt::TextSelectableByMouse);
}

void TestSettings::about_showsVersionAndDragsByItsBandOnly()
{
    CustomDialog about;
    QStringList texts;
    for (QLabel *label : about.findChildren<QLabel *>())
        texts.append(label->text());
    QVERIFY2(texts.contains(QStringLiteral("Versio V4.0.1")), qPrintable(texts.join('|')));
    QVERIFY(about.windowFlags() & Qt::FramelessWindowHint);
    about.resize(300, 260);
    about.move(100, 100);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));

    const auto drag = [&about](int y, QPoint by) {
        const QPoint from(50, y);
        QMouseEvent press(QEvent::MouseButtonPress, from, about.mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&about, &press);
        const QPoint to = from + by;
        QMouseEvent move(QEvent::MouseMove, QPoint(to.x(), y), about.mapToGlobal(to),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&about, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, about.mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&about, &release);
    };
    const QPoint start = about.frameGeometry().topLeft();
    drag(120, QPoint(40, 30)); // below the band: stays
    QCOMPARE(about.frameGeometry().topLeft(), start);
    drag(10, QPoint(40, 30)); // on the band: follows the pointer
    QCOMPARE(about.frameGeometry().topLeft(), start + QPoint(40, 30));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
