// Preset files: the save and open dialogs, both key sets against golden
// files, round trips, the order of range pairs, missing keys, bad files and
// failed saves.
#include "app/widget.h"
#include "presets/presetlayout.h"
#include "support/fakefiledialogs.h"
#include "support/modalwatcher.h"
#include "support/scopedcurrentdir.h"
#include "ui_widget.h"

#include <QFile>
#include <QSettings>
#include <QtTest>

namespace {

const QString kData = QStringLiteral(SW_TEST_DATA "/presets");

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QComboBox *box(Widget &w, const QString &name)
{
    return w.findChild<QComboBox *>(name);
}

/// Every selector a preset names, with its current index.
QMap<QString, int> presetState(Widget &w)
{
    QMap<QString, int> state;
    for (const PresetLayout::Group &group : PresetLayout::groups()) {
        for (const PresetLayout::Step &step : group.steps) {
            for (const QString &key : {step.key, step.maxKey}) {
                if (!key.isEmpty())
                    state.insert(key, box(w, key)->currentIndex());
            }
        }
    }
    return state;
}

/// A window whose preset selectors hold distinct values: expression and
/// hi-hat on CC (so their trigger fields survive a load), switch on PC in Toggle.
void distinctEditor(Widget &w)
{
    Ui::Widget *ui = w.form();
    ui->Pedal_Number->addItems({"1", "2", "3", "4"});
    ui->Pedal_Number->setCurrentIndex(2);
    ui->Message_Number->setCurrentIndex(5);
    const auto range = [&w](const char *page, const char *min, const char *max, int lo, int hi) {
        box(w, QString::fromLatin1(page) + min)->setCurrentIndex(0);
        box(w, QString::fromLatin1(page) + max)->setCurrentIndex(hi);
        box(w, QString::fromLatin1(page) + min)->setCurrentIndex(lo);
    };
    const auto set = [&w](const QString &name, int index) { box(w, name)->setCurrentIndex(index); };

    int n = 0;
    for (const char *page : {"expression_cc_comboBox", "expression_note_comboBox",
                             "expression_pitch_comboBox", "expression_ch_comboBox",
                             "hat_cc_comboBox", "hat_note_comboBox"}) {
        const QString p = QString::fromLatin1(page);
        set(p + "_gain", 61 + n);
        set(p + "_ql", 41 + n);
        set(p + "_chl", 3 + n);
        if (!p.contains(QLatin1String("pitch")) && !p.contains(QLatin1String("_ch_")))
            set(p + "_ctl", 17 + n);
        if (p.contains(QLatin1String("pitch")))
            range(page, "_valmin", "_valmax", 1300, 13000);
        else if (p.contains(QLatin1String("_ch_")))
            range(page, "_val1", "_val2", 11 + n, 111 + n);
        else
            range(page, "_valmin", "_valmax", 11 + n, 111 + n);
        ++n;
    }
    set("expression_trigger_level", 9);
    set("expression_press_note", 30);
    set("expression_release_note", 31);
    set("hat_trigger_level", 10);
    set("hat_press_note", 32);
    set("hat_release_note", 33);

    set("switch_comboBox0", 1);
    set("switch_cc_comboBox_mode", 1);
    set("switch_cc_comboBox_chl", 7);
    set("switch_cc_comboBox_ctl", 20);
    range("switch_cc_comboBox", "_valmin", "_valmax", 15, 115);
    set("switch_note_comboBox_chl", 8);
    set("switch_note_comboBox_nno", 21);
    range("switch_note_comboBox", "_valmin", "_valmax", 16, 116);
    set("switch_pc_comboBox_chl", 9);
    range("switch_pc_comboBox", "_valmin", "_valmax", 17, 117);
}

} // namespace

class TestPresets : public QObject
{
    Q_OBJECT

private slots:
    void saveAs_thenOpen_restoresEverySelector();
    void keySets_matchTheGoldenFiles();
    void iniSuffix_isAddedUnlessPresentInAnyCase_data();
    void iniSuffix_isAddedUnlessPresentInAnyCase();
    void cancelledDialogs_warnOrDoNothing();
    void rangePairs_neverPassEachOtherOnTheWay_data();
    void rangePairs_neverPassEachOtherOnTheWay();
    void missingKeys_setTheirSelectorsToTheFirstEntry();
    void badFiles_neverCrashAndFollowTheSelectorsRules_data();
    void badFiles_neverCrashAndFollowTheSelectorsRules();
    void failedSave_saysSoInsteadOfSuccess_data();
    void failedSave_saysSoInsteadOfSuccess();
};

void TestPresets::saveAs_thenOpen_restoresEverySelector()
{
    const ScopedCurrentDir dir;
    ModalWatcher boxes;
    FakeFileDialogs dialogs;
    const QString file = dir.filePath(QStringLiteral("round.ini"));

    Widget a;
    distinctEditor(a);
    QVERIFY(boxes.seen().isEmpty());
    const QMap<QString, int> saved = presetState(a);
    dialogs.answerWith({file});
    a.savePresetFileAs();
    QCOMPARE(boxes.texts(), QStringList{"Configuration file saved successfully."});
    QCOMPARE(boxes.seen().first().title, QStringLiteral("Success"));

    Widget b;
    b.form()->Pedal_Number->addItems({"1", "2", "3", "4"});
    dialogs.answerWith({file});
    QMetaObject::invokeMethod(&b, "loadPresetFile");
    QCOMPARE(boxes.seen().size(), 1); // no range warning on the way
    QMap<QString, int> loaded = presetState(b);
    // Save File As does not write the second message number.
    QCOMPARE(loaded.take(QStringLiteral("Message_Number_2")), 0);
    QMap<QString, int> expected = saved;
    expected.remove(QStringLiteral("Message_Number_2"));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(loaded.value(it.key()) == it.value(),
                 qPrintable(QStringLiteral("%1: %2 instead of %3")
                                .arg(it.key()).arg(loaded.value(it.key())).arg(it.value())));
    QCOMPARE(dialogs.asked.size(), 2);
    QCOMPARE(dialogs.asked.at(1).caption, QStringLiteral("Load configuration"));
    QCOMPARE(dialogs.asked.at(1).filter, QStringLiteral("configuration files (*.ini)"));
}

void TestPresets::keySets_matchTheGoldenFiles()
{
    const ScopedCurrentDir dir;
    ModalWatcher boxes;
    FakeFileDialogs dialogs;
    Widget w;
    w.form()->Pedal_Number->addItems({"1", "2"});
    w.form()->Pedal_Number->setCurrentIndex(1);
    w.form()->Message_Number_2->setCurrentIndex(3);

    // The first Save File has no name yet: it is a Save File As.
    dialogs.answerWith({dir.filePath("first"), dir.filePath("second.ini")});
    QMetaObject::invokeMethod(&w, "savePresetFile");
    QMetaObject::invokeMethod(&w, "savePresetFile");
    QCOMPARE(dialogs.asked.size(), 2);
    QCOMPARE(dialogs.asked.at(0).caption, QStringLiteral("Save configuration"));
    QCOMPARE(dialogs.asked.at(0).filter, QStringLiteral("configuration files (*.ini)"));
    QCOMPARE(dialogs.asked.at(1).caption, QStringLiteral("Save configuration"));
    QCOMPARE(dialogs.asked.at(1).filter, QStringLiteral("Configuration files (*.ini)"));
    // Only Save File As confirms.
    QCOMPARE(boxes.texts(), QStringList{"Configuration file saved successfully."});

    QCOMPARE(QString::fromUtf8(readFile(dir.filePath("first.ini"))),
             QString::fromUtf8(readFile(kData + "/golden-save-file-as.ini")));
    QCOMPARE(QString::fromUtf8(readFile(dir.filePath("second.ini"))),
             QString::fromUtf8(readFile(kData + "/golden-save-file.ini")));
}

void TestPresets::iniSuffix_isAddedUnlessPresentInAnyCase_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("written");
    QTest::newRow("no suffix") << "preset" << "preset.ini";
    QTest::newRow("lower case") << "preset.ini" << "preset.ini";
    QTest::newRow("upper case") << "preset.INI" << "preset.INI";
    QTest::newRow("mixed case") << "preset.iNi" << "preset.iNi";
    QTest::newRow("other suffix") << "preset.txt" << "preset.txt.ini";
    QTest::newRow("ini inside") << "preset.ini.bak" << "preset.ini.bak.ini";
}

void TestPresets::iniSuffix_isAddedUnlessPresentInAnyCase()
{
    QFETCH(QString, answer);
    QFETCH(QString, written);
    QCOMPARE(PresetLayout::withIniSuffix(answer), written);

    const ScopedCurrentDir dir;
    ModalWatcher boxes;
    FakeFileDialogs dialogs;
    Widget w;
    dialogs.answerWith({dir.filePath(answer)});
    w.savePresetFileAs();
    QVERIFY(QFile::exists(dir.filePath(written)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
}

void TestPresets::cancelledDialogs_warnOrDoNothing()
{
    const ScopedCurrentDir dir;
    ModalWatcher boxes;
    FakeFileDialogs dialogs;
    Widget w;
    w.savePresetFileAs();
    dialogs.answerWith({dir.filePath("named.ini"), QString()});
    w.savePresetFileAs();
    w.savePresetFile(); // asks again and is cancelled
    const QMap<QString, int> before = presetState(w);
    w.loadPresetFile();
    QCOMPARE(presetState(w), before);

    QCOMPARE(boxes.seen().size(), 3);
    for (int i : {0, 2}) {
        QCOMPARE(boxes.seen().at(i).title, QStringLiteral("Warning"));
        QCOMPARE(boxes.seen().at(i).text, QStringLiteral("No file selected!"));
    }
    QCOMPARE(boxes.seen().at(1).title, QStringLiteral("Success"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"named.ini"});
}

void TestPresets::rangePairs_neverPassEachOtherOnTheWay_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("fileMin");
    QTest::addColumn<int>("fileMax");
    QTest::newRow("expression CC higher") << "expression_cc_comboBox" << 100 << 120;
    QTest::newRow("expression CC lower") << "expression_cc_comboBox" << 0 << 5;
    QTest::newRow("expression NOTE higher") << "expression_note_comboBox" << 100 << 120;
    QTest::newRow("Pitch Bend lower") << "expression_pitch_comboBox" << 0 << 5;
    QTest::newRow("hi-hat CC higher") << "hat_cc_comboBox" << 100 << 120;
    QTest::newRow("switch NOTE higher") << "switch_note_comboBox" << 100 << 120;
    QTest::newRow("switch NOTE lower") << "switch_note_comboBox" << 0 << 5;
    QTest::newRow("switch PC higher") << "switch_pc_comboBox" << 100 << 120;
}

void TestPresets::rangePairs_neverPassEachOtherOnTheWay()
{
    QFETCH(QString, page);
    QFETCH(int, fileMin);
    QFETCH(int, fileMax);

    const ScopedCurrentDir dir;
    ModalWatcher boxes;
    FakeFileDialogs dialogs;
    Widget w;
    Ui::Widget *ui = w.form();
    const bool isSwitch = page.startsWith(QLatin1String("switch"));
    const QString group = isSwitch ? QStringLiteral("Switch")
                          : page.startsWith(QLatin1String("hat")) ? QStringLiteral("Hat")
                                                                   : QStringLiteral("Expression");
    QByteArray ini = "[" + group.toLatin1() + "]\n";
    if (isSwitch) {
        // Toggle, so the switch checks are on; the CC range keeps its own keys.
        ui->switch_cc_comboBox_mode->setCurrentIndex(1);
        ini += "switch_cc_comboBox_mode=1\nswitch_note_comboBox_mode=1\nswitch_pc_comboBox_mode=1\n"
               "switch_cc_comboBox_valmin=3\nswitch_cc_comboBox_valmax=30\n";
    }
    // The page currently holds 10..20.
    box(w, page + "_valmin")->setCurrentIndex(0);
    box(w, page + "_valmax")->setCurrentIndex(20);
    box(w, page + "_valmin")->setCurrentIndex(10);
    ini += QStringLiteral("%1_valmin=%2\n%1_valmax=%3\n").arg(page).arg(fileMin).arg(fileMax).toLatin1();
    writeFile(dir.filePath("ranges.ini"), ini);

    dialogs.answerWith({dir.filePath("ranges.ini")});
    w.loadPresetFile();
    QVERIFY2(boxes.seen().isEmpty(), qPrintable(boxes.texts().join('|')));
    QCOMPARE(box(w, page + "_valmin")->currentIndex(), fileMin);
    QCOMPARE(box(w, page + "_valmax")->currentIndex(), fileMax);
    if (isSwitch && page != QLatin1String("switch_cc_comboBox")) {
        QCOMPARE(ui->switch_cc_comboBox_valmin->currentIndex(), 3);
        QCOMPARE(ui->switch_cc_comboBox_valmax->currentIndex(), 30);
    }
}

void TestPresets::missingKeys_setTheirSelectorsToTheFirstEntry()
{
    const ScopedCurrentDir dir;
    ModalWatcher boxes;
    FakeFileDialogs dialogs;
    Widget w;
    Ui::Widget *ui = w.form();
    ui->Pedal_Number->addItems({"1", "2", "3"});
    ui->Pedal_Number->setCurrentIndex(2);
    ui->Message_Number->setCurrentIndex(7);
    ui->Message_Number_2->setCurrentIndex(4);
    ui->expression_cc_comboBox_gain->setCurrentIndex(70);
    ui->hat_release_note->setCurrentIndex(9);
    writeFile(dir.filePath("sparse.ini"), "[Expression]\nexpression_cc_comboBox_valmax=90\n");

    dialogs.answerWith({dir.filePath("sparse.ini")});
    w.loadPresetFile();
    QVERIFY(boxes.seen().isEmpty());
    QCOMPARE(ui->expression_cc_comboBox_valmax->currentIndex(), 90);
    for (QComboBox *b : {ui->Pedal_Number, ui->Message_Number, ui->Message_Number_2,
                         ui->expression_cc_comboBox_gain, ui->expression_cc_comboBox_valmin,
                         ui->hat_release_note, ui->switch_pc_comboBox_valmax})
        QCOMPARE(b->currentIndex(), 0);
}

void TestPresets::badFiles_neverCrashAndFollowTheSelectorsRules_data()
{
    QTest::addColumn<QString>("file");
    // selector=index pairs the file must leave; empty when only "no crash" is known.
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("warnings");

    QTest::newRow("empty") << "empty.ini" << QStringList{"Message_Number=0", "expression_cc_comboBox_valmax=0"} << 0;
    QTest::newRow("truncated") << "truncated.ini"
                               << QStringList{"Message_Number=3", "expression_cc_comboBox_valmin=0"} << 0;
    // Out of range, huge and negative indexes leave no current entry; text
    // reads as 0. An event selector left empty is set again by its twin's key.
    QTest::newRow("bad values") << "bad-values.ini"
                                << QStringList{"Message_Number=-1", "expression_cc_comboBox_gain=-1",
                                               "switch_comboBox0=0", "hat_cc_comboBox_ctl=0",
                                               "hat_trigger_level=0"}
                                << 0;
    QTest::newRow("not an ini file") << "not-ini.ini" << QStringList{"hat_press_note=0"} << 0;
    // The file's own inverted ranges run into the range checks like any other choice.
    QTest::newRow("inverted ranges") << "inverted-ranges.ini"
                                     << QStringList{"expression_comboBox0=0",
                                                    "expression_cc_comboBox_valmin=120",
                                                    "expression_cc_comboBox_valmax=127",
                                                    "switch_cc_comboBox_valmin=0",
                                                    "switch_cc_comboBox_valmax=0"}
                                     << 2;
    QTest::newRow("garbage") << "garbage.ini" << QStringList{} << -1;
}

void TestPresets::badFiles_neverCrashAndFollowTheSelectorsRules()
{
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    QFETCH(int, warnings);

    const ScopedCurrentDir dir;
    ModalWatcher boxes;
    FakeFileDialogs dialogs;
    Widget w;
    dialogs.answerWith({kData + "/bad/" + file});
    w.loadPresetFile();
    if (warnings >= 0)
        QCOMPARE(boxes.seen().size(), warnings);
    for (const QString &pair : expected) {
        const QString name = pair.section('=', 0, 0);
        QVERIFY2(box(w, name)->currentIndex() == pair.section('=', 1).toInt(),
                 qPrintable(QStringLiteral("%1 is %2").arg(name).arg(box(w, name)->currentIndex())));
    }
    // The window still works: a save of what it shows succeeds.
    dialogs.answerWith({dir.filePath("after.ini")});
    w.savePresetFileAs();
    QCOMPARE(boxes.texts().last(), QStringLiteral("Configuration file saved successfully."));
}

void TestPresets::failedSave_saysSoInsteadOfSuccess_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("a directory") << "folder.ini";
    QTest::newRow("below a plain file") << "plain.txt/preset.ini";
}

void TestPresets::failedSave_saysSoInsteadOfSuccess()
{
    QFETCH(QString, target);
    const ScopedCurrentDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    writeFile(dir.filePath("plain.txt"), "not a folder");
    ModalWatcher boxes;
    FakeFileDialogs dialogs;
    Widget w;
    for (const char *action : {"savePresetFileAs", "savePresetFile"}) {
        dialogs.answerWith({dir.filePath(target)});
        QMetaObject::invokeMethod(&w, action);
    }
    QCOMPARE(boxes.seen().size(), 2);
    for (const ModalWatcher::Seen &seen : boxes.seen()) {
        QCOMPARE(seen.title, QStringLiteral("Warning"));
        QVERIFY2(seen.text.startsWith(QStringLiteral("The configuration file could not be saved")),
                 qPrintable(seen.text));
    }
}

QTEST_MAIN(TestPresets)
#include "tst_presets.moc"
