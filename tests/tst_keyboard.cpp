// The main window from the keyboard: shortcuts, focus frames, tab order and
// accessible names, through real key presses on a shown window.
#include "app/accessiblenames.h"
#include "app/appstylesheet.h"
#include "app/widget.h"
#include "sim/controllerbehaviour.h"
#include "support/controllerrig.h"
#include "support/fakedevicesource.h"
#include "support/fakefiledialogs.h"
#include "support/modalwatcher.h"
#include "support/scopedcurrentdir.h"
#include "ui_widget.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QtTest>

namespace {

const char *const modelDependent[] = {
    "widget_8", "widget_10", "groupBox_16", "groupBox_2", "expression_trigger_level",
    "expression_cc_comboBox_ql", "expression_note_comboBox_ql", "expression_pitch_comboBox_ql",
    "expression_ch_comboBox_ql", "hat_cc_comboBox_ql", "hat_note_comboBox_ql"};

QAction *fileAction(Widget &w, const QString &text)
{
    auto *bar = w.form()->widget->findChild<QMenuBar *>();
    for (QAction *a : bar->actions().first()->menu()->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

/// Controls the user can reach with Tab in the window as it shows now.
QList<QWidget *> reachable(QWidget &w, bool enabledOnly)
{
    QList<QWidget *> out;
    for (QWidget *c : w.findChildren<QWidget *>()) {
        if (c->isVisible() && (c->focusPolicy() & Qt::TabFocus) && (!enabledOnly || c->isEnabled())
            && !c->window()->isHidden() && c->window() == &w)
            out.append(c);
    }
    return out;
}

/// Every page and event page of the pedal editor, in turn.
void forEachPage(Widget &w, const std::function<void(const QString &)> &visit)
{
    Ui::Widget *ui = w.form();
    const QList<QStackedWidget *> events = {ui->expression_stackedWidget, ui->switch_stackedWidget,
                                            ui->hat_stackedWidget};
    for (int type = 0; type < 3; ++type) {
        ui->pedal_type_stack->setCurrentIndex(type);
        for (int page = 0; page < events[type]->count(); ++page) {
            events[type]->setCurrentIndex(page);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QCoreApplication::processEvents();
            visit(QStringLiteral("pedal type %1, event page %2").arg(type).arg(page));
        }
    }
}

class ShownWindow
{
public:
    ShownWindow()
    {
        const QList<QWidget *> none;
        Q_UNUSED(none)
        source.reset(new FakeDeviceSource);
        scoped.reset(new ScopedDeviceSource(source.get()));
        w.reset(new Widget);
        for (const char *name : modelDependent)
            w->findChild<QWidget *>(QLatin1String(name))->setVisible(true);
        w->show();
        w->activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(w.get()); }
    ScopedCurrentDir dir;
    std::unique_ptr<FakeDeviceSource> source;
    std::unique_ptr<ScopedDeviceSource> scoped;
    std::unique_ptr<Widget> w;
};

} // namespace

class tst_Keyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void accessibleName_fromObjectName_data();
    void accessibleName_fromObjectName();
    void everyReachableControl_hasAnAccessibleName();
    void tab_walksEachPageTopToBottomOnce();
    void focus_drawsAVisibleFrame_data();
    void focus_drawsAVisibleFrame();

    void fileShortcuts_triggerTheirEntriesAndShowInTheMenu_data();
    void fileShortcuts_triggerTheirEntriesAndShowInTheMenu();
    void exitShortcut_asksFirst();
    void checkAndSetKeys_sendToTheController();
    void checkAndSetKeys_whileDisconnected_sayNotSent();

private:
    QString m_previousStyleSheet;
};

void tst_Keyboard::initTestCase()
{
    m_previousStyleSheet = qApp->styleSheet();
    qApp->setStyleSheet(applicationStyleSheet());
}

void tst_Keyboard::cleanupTestCase()
{
    qApp->setStyleSheet(m_previousStyleSheet);
}

void tst_Keyboard::accessibleName_fromObjectName_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("name");
    QTest::newRow("device list") << "comboBox_ComDevices" << "Controller";
    QTest::newRow("pedal") << "Pedal_Number" << "Pedal Number";
    QTest::newRow("expression CC controller") << "expression_cc_comboBox_ctl"
                                              << "Expression CC Controller No.";
    QTest::newRow("expression note number") << "expression_note_comboBox_ctl"
                                            << "Expression Note Note No.";
    QTest::newRow("switch note number") << "switch_note_comboBox_nno" << "Switch Note Note No.";
    QTest::newRow("pressure min") << "expression_ch_comboBox_val1"
                                  << "Expression Channel Pressure Min";
    QTest::newRow("pitch max") << "expression_pitch_comboBox_valmax" << "Expression Pitch Bend Max";
    QTest::newRow("hat curve") << "hat_note_comboBox_ql" << "Hi-hat Note Curve";
    QTest::newRow("switch tempo mode") << "switch_tempo_comboBox_mode"
                                       << "Switch Tempo Trigger Mode";
    QTest::newRow("continue mode") << "switch_ctu_comboBox_mode" << "Switch Continue Trigger Mode";
    QTest::newRow("PC channel") << "switch_pc_comboBox_chl" << "Switch PC MIDI Channel";
    QTest::newRow("event selector") << "hat_comboBox1" << "Hi-hat Event";
    QTest::newRow("trigger level") << "expression_trigger_level" << "Expression Trigger Level";
    QTest::newRow("release note") << "hat_release_note" << "Hi-hat Release Note";
    QTest::newRow("table") << "tableView_2" << "Switch Pedal MIDI Data";
    QTest::newRow("unknown field") << "expression_cc_comboBox_xyz" << "";
    QTest::newRow("event out of range") << "switch_comboBox7" << "";
    QTest::newRow("legacy panel") << "comboBox_EPS_Gain" << "";
    QTest::newRow("empty") << "" << "";
}

void tst_Keyboard::accessibleName_fromObjectName()
{
    QFETCH(QString, objectName);
    QFETCH(QString, name);
    QCOMPARE(AccessibleNames::forObjectName(objectName), name);
}

void tst_Keyboard::everyReachableControl_hasAnAccessibleName()
{
    ShownWindow s;
    QVERIFY(s.ready());
    QStringList unnamed;
    int checked = 0;
    forEachPage(*s.w, [&](const QString &where) {
        for (QWidget *c : reachable(*s.w, false)) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(c);
            ++checked;
            if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
                unnamed.append(QStringLiteral("%1 (%2 in %3) on %4")
                                   .arg(c->objectName(), c->metaObject()->className(),
                                        c->parentWidget()->objectName() + "/"
                                            + c->parentWidget()->metaObject()->className(),
                                        where));
        }
    });
    unnamed.removeDuplicates();
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("\n  "))));
    QVERIFY(checked > 100);
}

void tst_Keyboard::tab_walksEachPageTopToBottomOnce()
{
    ShownWindow s;
    QVERIFY(s.ready());
    Widget &w = *s.w;
    forEachPage(w, [&](const QString &where) {
        const QList<QWidget *> expected = reachable(w, true);
        w.form()->comboBox_ComDevices->setFocus(Qt::TabFocusReason);
        QList<QWidget *> walked;
        for (int i = 0; i <= expected.size(); ++i) {
            QWidget *now = QApplication::focusWidget();
            if (!now || (i > 0 && now == walked.first()))
                break;
            walked.append(now);
            QTest::keyClick(now, Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), walked.first()); // a full round
        for (QWidget *c : expected)
            QVERIFY2(walked.contains(c), qPrintable(c->objectName() + "/" + c->parentWidget()->objectName() + " on " + where));
        for (QWidget *c : walked)
            QVERIFY2(expected.contains(c), qPrintable(c->objectName() + " walked on " + where));
        QCOMPARE(walked.size(), expected.size());

        // Within the pedal page: the settings column top to bottom, then the
        // monitor column top to bottom (a row left to right).
        const QRect page = w.form()->pedal_type_stack->geometry();
        const auto at = [&w](QWidget *c) {
            return QRect(c->mapTo(&w, QPoint(0, 0)), c->size());
        };
        QWidget *previous = nullptr;
        bool inMonitor = false;
        for (QWidget *c : walked) {
            const QRect r = at(c);
            if (!page.contains(r.center()))
                continue;
            const bool monitor = r.left() >= page.center().x();
            QVERIFY2(!(inMonitor && !monitor),
                     qPrintable(c->objectName() + " after the monitor column on " + where));
            if (previous && monitor == inMonitor) {
                const QRect p = at(previous);
                const bool below = r.top() >= p.bottom() - 2;
                const bool sameRowRight = qAbs(r.center().y() - p.center().y()) < p.height()
                                          && r.left() > p.left();
                const bool nextColumn = r.left() >= p.right();
                QVERIFY2(below || sameRowRight || nextColumn,
                         qPrintable(QStringLiteral("%1 then %2 on %3")
                                        .arg(previous->objectName(), c->objectName(), where)));
            }
            inMonitor = monitor;
            previous = c;
        }
    });
}

void tst_Keyboard::focus_drawsAVisibleFrame_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::newRow("button") << "clearButton";
    QTest::newRow("combo box") << "Message_Number";
    QTest::newRow("check box") << "checkBox_ex";
    QTest::newRow("table") << "tableView";
}

void tst_Keyboard::focus_drawsAVisibleFrame()
{
    QFETCH(QString, objectName);
    ShownWindow s;
    QVERIFY(s.ready());
    auto *c = s.w->findChild<QWidget *>(objectName);
    QVERIFY(c);
    s.w->form()->connectButton->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    const QImage before = c->grab().toImage();
    c->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(c->hasFocus());
    const QImage after = c->grab().toImage();
    QCOMPARE(after.size(), before.size());
    // The frame: changed pixels all round the edge, in the accent colour.
    int gold = 0;
    for (int x = 0; x < after.width(); ++x)
        for (int y : {0, 1, after.height() - 2, after.height() - 1}) {
            const QColor colour = after.pixelColor(x, y);
            gold += colour.red() > 200 && colour.green() > 170 && colour.blue() < 80
                    && after.pixel(x, y) != before.pixel(x, y);
        }
    QVERIFY2(gold > after.width(), qPrintable(QString::number(gold)));
}

void tst_Keyboard::fileShortcuts_triggerTheirEntriesAndShowInTheMenu_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("Ctrl+O") << "Open File" << QKeySequence("Ctrl+O");
    QTest::newRow("Ctrl+S") << "Save File" << QKeySequence("Ctrl+S");
    QTest::newRow("Ctrl+Shift+S") << "Save File As" << QKeySequence("Ctrl+Shift+S");
}

void tst_Keyboard::fileShortcuts_triggerTheirEntriesAndShowInTheMenu()
{
    QFETCH(QString, entry);
    QFETCH(QKeySequence, keys);
    FakeFileDialogs files;
    files.answerWith({QString(), QString()}); // cancelled
    ShownWindow s;
    QVERIFY(s.ready());
    QAction *action = fileAction(*s.w, entry);
    QVERIFY(action);
    QCOMPARE(action->shortcut(), keys);
    QCOMPARE(action->text(), entry);
    QSignalSpy triggered(action, &QAction::triggered);
    ModalWatcher boxes; // whatever a cancelled save says
    // From inside the editor, as a user would press it.
    QWidget *inside = s.w->form()->expression_cc_comboBox_ctl;
    inside->setFocus();
    QTest::keySequence(inside, keys);
    QCOMPARE(triggered.size(), 1);
    QVERIFY(!files.asked.isEmpty());
}

void tst_Keyboard::exitShortcut_asksFirst()
{
    ShownWindow s;
    QVERIFY(s.ready());
    QCOMPARE(fileAction(*s.w, QStringLiteral("Exit"))->shortcut(), QKeySequence("Ctrl+Q"));
    ModalWatcher boxes(QMessageBox::Cancel);
    QTest::keySequence(s.w.get(), QKeySequence("Ctrl+Q"));
    QCOMPARE(boxes.seen().size(), 1);
    QCOMPARE(boxes.seen().first().title, QStringLiteral("Exit"));
    QCOMPARE(boxes.seen().first().text, QStringLiteral("Exit software?"));
    QVERIFY(s.w->isVisible());
}

void tst_Keyboard::checkAndSetKeys_sendToTheController()
{
    const ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("ZT-3"));
    rig.window->show();
    rig.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    QVERIFY(rig.connect());
    rig.ui->Message_Number->setCurrentIndex(4);
    rig.ui->Message_Number->setFocus();

    QTest::keyClick(rig.ui->Message_Number, Qt::Key_F5);
    QTRY_COMPARE(rig.commands(ControllerCommand::Ask).size(), 1);
    QCOMPARE(quint8(rig.commands(ControllerCommand::Ask).first().at(7)), quint8(4));

    QTest::keyClick(rig.ui->Message_Number, Qt::Key_Return, Qt::ControlModifier);
    QTRY_COMPARE(rig.commands(ControllerCommand::Set).size(), 1);
    // The verdict's box comes and goes; the window is active again after it.
    QTRY_COMPARE(rig.boxes.seen().size(), 1);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    rig.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    QTest::keyClick(rig.ui->Message_Number, Qt::Key_Enter,
                    Qt::ControlModifier | Qt::KeypadModifier); // the keypad's Enter
    QTRY_COMPARE(rig.commands(ControllerCommand::Set).size(), 2);
    QVERIFY(rig.ui->checkButton->toolTip().contains(QLatin1String("F5")));
    QVERIFY(rig.ui->setButton_6->toolTip().contains(QLatin1String("Ctrl+Return")));
}

void tst_Keyboard::checkAndSetKeys_whileDisconnected_sayNotSent()
{
    ShownWindow s;
    QVERIFY(s.ready());
    auto *line = s.w->findChild<QLabel *>(QStringLiteral("statusLine"));
    QTest::keyClick(s.w.get(), Qt::Key_F5);
    QCOMPARE(line->text(),
             QStringLiteral("Not connected | Not sent: connect a controller to read a message"));
    QTest::keyClick(s.w.get(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(line->text(),
             QStringLiteral("Not connected | Not sent: connect a controller to set a message"));
}

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
