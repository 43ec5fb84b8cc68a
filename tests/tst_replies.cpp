// The controller's configuration replies: the plan that turns a stored
// definition into selector writes, and the window receiving every kind of
// reply from a simulated controller over its pseudo-terminal.
#include "app/widget.h"
#include "device/serialport.h"
#include "pedal/pedalmessage.h"
#include "pedal/replyplan.h"
#include "sim/controllerbehaviour.h"
#include "support/comboitems.h"
#include "support/controllerrig.h"
#include "support/fakedevicesource.h"
#include "support/modalwatcher.h"
#include "support/urlcatcher.h"
#include "ui_widget.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <functional>

using ReplyPlan::Field;
using ReplyPlan::Write;

namespace {

const QString kNotice = QStringLiteral(
    "This software is the latest release. Please ensure that your product is using the latest "
    "firmware. Download the latest firmware from the official website: ");

/// 17 definition bytes in hex, blanks allowed, in frame order:
/// pedal message type channel event dataA dataB valueA valueB mode gain
/// level press release curve curveCode levelHigh.
QByteArray definition(const QString &hex)
{
    return QByteArray::fromHex(hex.toLatin1());
}

PedalMessage message(const QString &hex)
{
    PedalMessage m;
    const bool ok = PedalMessage::fromFields(definition(hex), &m);
    Q_ASSERT(ok);
    Q_UNUSED(ok);
    return m;
}

QByteArray sysex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

/// Every selector index, check box state and stacked page of a window by
/// object name; the device list, which the port scan may refresh, is left out.
QMap<QString, int> editorState(const QWidget &window)
{
    QMap<QString, int> state;
    for (const QComboBox *box : window.findChildren<QComboBox *>()) {
        if (!box->objectName().isEmpty() && box->objectName() != QLatin1String("comboBox_ComDevices")) {
            state.insert(box->objectName(), box->currentIndex());
            state.insert(box->objectName() + QStringLiteral("#count"), box->count());
        }
    }
    for (const QCheckBox *box : window.findChildren<QCheckBox *>())
        state.insert(box->objectName(), box->isChecked());
    for (const QStackedWidget *stack : window.findChildren<QStackedWidget *>())
        state.insert(stack->objectName(), stack->currentIndex());
    return state;
}

/// "name=value" for every entry that differs, in name order.
QString changes(const QMap<QString, int> &before, const QMap<QString, int> &after)
{
    QStringList out;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (before.value(it.key(), INT_MIN) != it.value())
            out << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
    }
    return out.join(QLatin1Char(' '));
}

/// Value of a control as editorState() reads it; INT_MIN when there is none.
int controlValue(const QWidget &window, const QString &name)
{
    return editorState(window).value(name, INT_MIN);
}

int framesOfType(const QSignalSpy &spy, int type)
{
    return int(std::count_if(spy.cbegin(), spy.cend(), [type](const QList<QVariant> &args) {
        return args.first().value<Protocol::MsgPackage>().type == type;
    }));
}


/// Object-name prefixes of the controls a page's writes may touch.
QStringList allowedPrefixes(int pedalType, int page)
{
    const QStringList expressionAll = {QStringLiteral("ex_Evert_checkBox"),
                                       QStringLiteral("expression_trigger_level"),
                                       QStringLiteral("expression_press_note"),
                                       QStringLiteral("expression_release_note")};
    switch (pedalType) {
    case PedalTypeExpression: {
        const QString key = page == EventCc     ? QStringLiteral("cc")
                            : page == EventNote ? QStringLiteral("note")
                            : page == EventPitchBend ? QStringLiteral("pitch")
                                                     : QStringLiteral("ch");
        return QStringList{QStringLiteral("expression_%1_comboBox_").arg(key)} + expressionAll;
    }
    case PedalTypeSwitch: {
        const QString key = page == EventCc ? QStringLiteral("cc")
                            : page == EventNote ? QStringLiteral("note")
                                                : QStringLiteral("pc");
        return {QStringLiteral("switch_%1_comboBox_").arg(key), QStringLiteral("sw_Evert_checkBox")};
    }
    default:
        return {page == EventCc ? QStringLiteral("hat_cc_comboBox_") : QStringLiteral("hat_note_comboBox_"),
                QStringLiteral("ht_Evert_checkBox"), QStringLiteral("hat_trigger_level"),
                QStringLiteral("hat_press_note"), QStringLiteral("hat_release_note")};
    }
}

/// The end state of the range controls after a page's writes, and whether the
/// maximum was written before the last write of the minimum.
struct RangeOutcome {
    int min = -1;
    int max = -1;
    int inverted = -1; ///< -1: not written
    bool maxFirst = false;
    int inversions = 0; ///< how often the check box was written
    QString stray;      ///< a write outside the page, if any
};

RangeOutcome outcome(const QList<Write> &writes, Field min, Field max, int pedalType, int page)
{
    RangeOutcome o;
    int lastMin = -1;
    int firstMax = -1;
    const QStringList allowed = allowedPrefixes(pedalType, page);
    for (int i = 0; i < writes.size(); ++i) {
        const Write &w = writes.at(i);
        const QString name = QLatin1String(ReplyPlan::fieldName(w.field));
        if (!std::any_of(allowed.cbegin(), allowed.cend(),
                         [&name](const QString &p) { return name.startsWith(p); }))
            o.stray = name;
        if (w.field == min) {
            o.min = w.value;
            lastMin = i;
        } else if (w.field == max) {
            o.max = w.value;
            if (firstMax < 0)
                firstMax = i;
        } else if (ReplyPlan::isCheckBox(w.field)) {
            o.inverted = w.value;
            ++o.inversions;
        }
    }
    o.maxFirst = firstMax >= 0 && firstMax < lastMin;
    return o;
}

} // namespace

class TestReplies : public QObject
{
    Q_OBJECT

private slots:
    // The plan, without widgets.
    void plan_head_data();
    void plan_head();
    void plan_page_data();
    void plan_page();
    void plan_rangeEnds_everyByteValue();
    void plan_pitchBendEnds_fourteenBits();
    void decodeReply_bySize_data();
    void decodeReply_bySize();
    void setStatusText_byStatus_data();
    void setStatusText_byStatus();
    void fieldNames_nameOneControlEach();

    // The window over the simulated controller's pseudo-terminal.
    void ask_editorShowsTheStoredDefinition_data();
    void ask_editorShowsTheStoredDefinition();
    void ask_unnamedEventOrPedalType_writesOnlyPedalMessageType_data();
    void ask_unnamedEventOrPedalType_writesOnlyPedalMessageType();
    void reply_unasked_movesPedalAndMessage();
    void reply_twentyThreeBytes_levelHighByteZero();
    void reply_maximumBelowCurrentMinimum_runsIntoRangeCheck_data();
    void reply_maximumBelowCurrentMinimum_runsIntoRangeCheck();
    void setReply_knownStatus_informationBox_data();
    void setReply_knownStatus_informationBox();
    void setReply_unknownStatus_latestReleaseNotice_data();
    void setReply_unknownStatus_latestReleaseNotice();
    void deleteReply_informationBox();
    void handshake_pedalList_data();
    void handshake_pedalList();
    void severalRepliesInOneRead_boxesOpenOneAfterAnother();

    // Frames handed to the slot directly.
    void shortOrUnknownFrames_changeNothing_data();
    void shortOrUnknownFrames_changeNothing();
};

// ---------------------------------------------------------------------------
// The plan

void TestReplies::plan_head_data()
{
    QTest::addColumn<QString>("definition");
    QTest::addColumn<QString>("writes");

    QTest::newRow("expression CC")
        << "01 05 01 00 00 07 00 00 7F 00 32 00 00 00 32 00 00"
        << "Pedal_Number=1 Message_Number=5 picture=1 pendal_type_comboBox0=0 expression_comboBox0=0";
    QTest::newRow("switch Tempo")
        << "03 0F 02 00 08 00 00 01 F4 00 00 00 00 00 00 00 00"
        << "Pedal_Number=3 Message_Number=15 picture=2 pendal_type_comboBox0=1 switch_comboBox0=8";
    QTest::newRow("hi-hat NOTE")
        << "02 00 03 00 02 26 00 00 7F 00 32 00 00 00 32 00 00"
        << "Pedal_Number=2 Message_Number=0 picture=3 pendal_type_comboBox0=2 hat_comboBox0=2";
    QTest::newRow("expression PC: the list decides")
        << "00 00 01 00 01 00 00 00 00 00 00 00 00 00 00 00 00"
        << "Pedal_Number=0 Message_Number=0 picture=1 pendal_type_comboBox0=0 expression_comboBox0=1";
    QTest::newRow("event 9 selects nothing")
        << "00 01 02 00 09 00 00 00 00 00 00 00 00 00 00 00 00"
        << "Pedal_Number=0 Message_Number=1 picture=2 pendal_type_comboBox0=1";
    QTest::newRow("event FF selects nothing")
        << "00 01 03 00 FF 00 00 00 00 00 00 00 00 00 00 00 00"
        << "Pedal_Number=0 Message_Number=1 picture=3 pendal_type_comboBox0=2";
    QTest::newRow("pedal type 0: no picture, no event")
        << "01 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        << "Pedal_Number=1 Message_Number=1 pendal_type_comboBox0=-1";
    QTest::newRow("pedal type 4")
        << "01 01 04 00 02 00 00 00 00 00 00 00 00 00 00 00 00"
        << "Pedal_Number=1 Message_Number=1 pendal_type_comboBox0=3";
    QTest::newRow("pedal type FF, pedal and slot FF")
        << "FF FF FF 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        << "Pedal_Number=255 Message_Number=255 pendal_type_comboBox0=254";
}

void TestReplies::plan_head()
{
    QFETCH(QString, definition);
    QFETCH(QString, writes);
    const PedalMessage m = message(definition);
    const QList<Write> head = ReplyPlan::headWrites(m);
    QCOMPARE(ReplyPlan::describe(head), writes);
    // The fields follow exactly when an event was selected.
    QCOMPARE(ReplyPlan::writesEventFields(m), ReplyPlan::isEventSelection(head.last().field));
    if (!ReplyPlan::writesEventFields(m))
        QVERIFY(ReplyPlan::pageWrites(m, EventCc).isEmpty());
}

void TestReplies::plan_page_data()
{
    QTest::addColumn<QString>("definition");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("writes");

    //                 p  m  t  ch ev dA dB vA vB mo ga tl pn rn cu cc th
    QTest::newRow("expression CC from 0: minimum first")
        << "00 00 01 02 00 07 00 00 7F 00 32 05 3C 3D 2D 00 00" << int(EventCc)
        << "expression_cc_comboBox_gain=50 expression_cc_comboBox_ql=45 expression_cc_comboBox_chl=2 "
           "expression_cc_comboBox_ctl=7 expression_cc_comboBox_valmin=0 expression_cc_comboBox_valmax=127 "
           "ex_Evert_checkBox=0 expression_trigger_level=5 expression_press_note=60 "
           "expression_release_note=61";
    QTest::newRow("expression CC above 0: maximum first")
        << "00 00 01 00 00 07 00 14 64 00 32 00 00 00 32 00 00" << int(EventCc)
        << "expression_cc_comboBox_gain=50 expression_cc_comboBox_ql=50 expression_cc_comboBox_chl=0 "
           "expression_cc_comboBox_ctl=7 expression_cc_comboBox_valmax=100 expression_cc_comboBox_valmin=20 "
           "ex_Evert_checkBox=0 expression_trigger_level=0 expression_press_note=0 "
           "expression_release_note=0";
    QTest::newRow("expression CC inverted")
        << "00 00 01 00 00 07 00 7F 00 00 32 00 00 00 32 00 00" << int(EventCc)
        << "expression_cc_comboBox_gain=50 expression_cc_comboBox_ql=50 expression_cc_comboBox_chl=0 "
           "expression_cc_comboBox_ctl=7 expression_cc_comboBox_valmin=0 expression_cc_comboBox_valmax=127 "
           "ex_Evert_checkBox=1 expression_trigger_level=0 expression_press_note=0 "
           "expression_release_note=0";
    QTest::newRow("expression NOTE equal ends stay upright")
        << "00 00 01 0F 02 3C 00 40 40 03 64 7F 01 02 00 63 05" << int(EventNote)
        << "expression_note_comboBox_gain=100 expression_note_comboBox_ql=0 "
           "expression_note_comboBox_chl=15 expression_note_comboBox_ctl=60 "
           "expression_note_comboBox_valmax=64 expression_note_comboBox_valmin=64 ex_Evert_checkBox=0 "
           "expression_trigger_level=127 expression_press_note=1 expression_release_note=2";
    QTest::newRow("expression Pitch Bend 01 02 7F 00, level 300")
        << "00 00 01 04 03 01 02 7F 00 00 28 2C 30 31 3C 00 01" << int(EventPitchBend)
        << "expression_pitch_comboBox_gain=40 expression_pitch_comboBox_ql=60 "
           "expression_pitch_comboBox_chl=4 expression_pitch_comboBox_valmax=256 "
           "expression_pitch_comboBox_valmin=255 ex_Evert_checkBox=0 expression_trigger_level=300 "
           "expression_press_note=48 expression_release_note=49";
    QTest::newRow("expression Pitch Bend inverted full range")
        << "00 00 01 00 03 7F 00 7F 00 00 32 FF 00 00 32 00 3F" << int(EventPitchBend)
        << "expression_pitch_comboBox_gain=50 expression_pitch_comboBox_ql=50 "
           "expression_pitch_comboBox_chl=0 expression_pitch_comboBox_valmax=16383 "
           "expression_pitch_comboBox_valmin=0 ex_Evert_checkBox=1 expression_trigger_level=16383 "
           "expression_press_note=0 expression_release_note=0";
    QTest::newRow("expression Channel Pressure ascending, high level byte unused")
        << "00 00 01 05 04 05 70 09 09 00 32 07 00 00 32 00 01" << int(EventChannelPressure)
        << "expression_ch_comboBox_gain=50 expression_ch_comboBox_ql=50 expression_ch_comboBox_chl=5 "
           "expression_ch_comboBox_val1=5 expression_ch_comboBox_val1=5 expression_ch_comboBox_val2=112 "
           "ex_Evert_checkBox=0 expression_trigger_level=7 expression_press_note=0 "
           "expression_release_note=0";
    QTest::newRow("expression Channel Pressure inverted")
        << "00 00 01 05 04 64 14 00 00 00 32 00 00 00 32 00 00" << int(EventChannelPressure)
        << "expression_ch_comboBox_gain=50 expression_ch_comboBox_ql=50 expression_ch_comboBox_chl=5 "
           "expression_ch_comboBox_val1=100 expression_ch_comboBox_val1=20 expression_ch_comboBox_val2=100 "
           "ex_Evert_checkBox=1 expression_trigger_level=0 expression_press_note=0 "
           "expression_release_note=0";
    QTest::newRow("expression PC reply on the CC page that stayed")
        << "00 00 01 06 01 0C 00 10 20 00 32 00 00 00 32 00 00" << int(EventCc)
        << "expression_cc_comboBox_gain=50 expression_cc_comboBox_ql=50 expression_cc_comboBox_chl=6 "
           "expression_cc_comboBox_ctl=12 expression_cc_comboBox_valmax=32 expression_cc_comboBox_valmin=16 "
           "ex_Evert_checkBox=0 expression_trigger_level=0 expression_press_note=0 "
           "expression_release_note=0";
    QTest::newRow("expression has no PC page")
        << "00 00 01 00 01 00 00 00 00 00 00 00 00 00 00 00 00" << int(EventProgramChange) << "";
    QTest::newRow("expression without a selected event")
        << "00 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00" << -1 << "";

    QTest::newRow("switch CC Single: minimum only")
        << "00 00 02 03 00 40 00 09 64 00 00 00 00 00 00 00 00" << int(EventCc)
        << "switch_cc_comboBox_mode=0 switch_cc_comboBox_chl=3 switch_cc_comboBox_ctl=64 "
           "switch_cc_comboBox_valmin=9";
    QTest::newRow("switch CC Toggle ascending: maximum first")
        << "00 00 02 00 00 14 00 10 50 01 00 00 00 00 00 00 00" << int(EventCc)
        << "switch_cc_comboBox_mode=1 switch_cc_comboBox_chl=0 switch_cc_comboBox_ctl=20 "
           "switch_cc_comboBox_valmax=80 switch_cc_comboBox_valmin=16 sw_Evert_checkBox=0";
    QTest::newRow("switch CC Toggle equal ends invert")
        << "00 00 02 00 00 14 00 40 40 01 00 00 00 00 00 00 00" << int(EventCc)
        << "switch_cc_comboBox_mode=1 switch_cc_comboBox_chl=0 switch_cc_comboBox_ctl=20 "
           "switch_cc_comboBox_valmin=64 switch_cc_comboBox_valmax=64 sw_Evert_checkBox=1";
    QTest::newRow("switch CC Decrease inverted")
        << "00 00 02 00 00 14 00 70 20 04 00 00 00 00 00 00 00" << int(EventCc)
        << "switch_cc_comboBox_mode=4 switch_cc_comboBox_chl=0 switch_cc_comboBox_ctl=20 "
           "switch_cc_comboBox_valmin=32 switch_cc_comboBox_valmax=112 sw_Evert_checkBox=1";
    QTest::newRow("switch NOTE Single")
        << "00 00 02 07 02 3C 00 0A 50 00 00 00 00 00 00 00 00" << int(EventNote)
        << "switch_note_comboBox_mode=0 switch_note_comboBox_chl=7 switch_note_comboBox_nno=60 "
           "switch_note_comboBox_valmin=10";
    QTest::newRow("switch NOTE Reset ascending: minimum first")
        << "00 00 02 07 02 3C 00 10 50 02 00 00 00 00 00 00 00" << int(EventNote)
        << "switch_note_comboBox_mode=2 switch_note_comboBox_chl=7 switch_note_comboBox_nno=60 "
           "switch_note_comboBox_valmin=16 switch_note_comboBox_valmax=80 sw_Evert_checkBox=0";
    QTest::newRow("switch NOTE Increase equal ends invert")
        << "00 00 02 07 02 3C 00 30 30 03 00 00 00 00 00 00 00" << int(EventNote)
        << "switch_note_comboBox_mode=3 switch_note_comboBox_chl=7 switch_note_comboBox_nno=60 "
           "switch_note_comboBox_valmin=48 switch_note_comboBox_valmax=48 sw_Evert_checkBox=1";
    QTest::newRow("switch PC Single: program 9 only")
        << "00 00 02 01 01 09 32 00 00 00 00 00 00 00 00 00 00" << int(EventProgramChange)
        << "switch_pc_comboBox_mode=0 switch_pc_comboBox_chl=1 switch_pc_comboBox_valmin=9";
    QTest::newRow("switch PC Toggle ascending")
        << "00 00 02 01 01 10 30 00 00 01 00 00 00 00 00 00 00" << int(EventProgramChange)
        << "switch_pc_comboBox_mode=1 switch_pc_comboBox_chl=1 switch_pc_comboBox_valmin=16 "
           "switch_pc_comboBox_valmax=48 sw_Evert_checkBox=0";
    QTest::newRow("switch PC Reset inverted")
        << "00 00 02 01 01 30 10 00 00 02 00 00 00 00 00 00 00" << int(EventProgramChange)
        << "switch_pc_comboBox_mode=2 switch_pc_comboBox_chl=1 switch_pc_comboBox_valmin=16 "
           "switch_pc_comboBox_valmax=48 sw_Evert_checkBox=1";
    QTest::newRow("switch Stop")
        << "00 00 02 05 07 11 22 33 44 00 00 00 00 00 00 00 00" << int(EventStop)
        << "switch_stop_comboBox_mode=0";
    QTest::newRow("switch Continue")
        << "00 00 02 05 06 11 22 33 44 00 00 00 00 00 00 00 00" << int(EventContinue)
        << "switch_ctu_comboBox_mode=0";
    QTest::newRow("switch Start passes the mode on")
        << "00 00 02 05 05 11 22 33 44 02 00 00 00 00 00 00 00" << int(EventStart)
        << "switch_start_comboBox_mode=2";
    QTest::newRow("switch Tempo keeps its mode")
        << "00 00 02 05 08 00 00 01 F4 01 00 00 00 00 00 00 00" << int(EventTempo) << "";
    QTest::newRow("switch has no Pitch Bend page")
        << "00 00 02 05 03 00 00 00 00 01 00 00 00 00 00 00 00" << int(EventPitchBend) << "";

    QTest::newRow("hi-hat CC ascending")
        << "00 00 03 01 00 04 00 0A 64 00 3C 1E 24 25 28 00 00" << int(EventCc)
        << "hat_cc_comboBox_gain=60 hat_cc_comboBox_chl=1 hat_cc_comboBox_ctl=4 ht_Evert_checkBox=0 "
           "hat_cc_comboBox_valmin=10 hat_cc_comboBox_valmax=100 hat_cc_comboBox_ql=40 "
           "hat_trigger_level=30 hat_press_note=36 hat_release_note=37";
    QTest::newRow("hi-hat NOTE inverted: maximum first")
        << "00 00 03 02 02 26 00 7F 10 00 32 00 00 00 32 00 07" << int(EventNote)
        << "hat_note_comboBox_gain=50 hat_note_comboBox_chl=2 hat_note_comboBox_ctl=38 "
           "ht_Evert_checkBox=1 hat_note_comboBox_valmax=127 hat_note_comboBox_valmin=16 "
           "hat_note_comboBox_ql=50 hat_trigger_level=0 hat_press_note=0 hat_release_note=0";
    QTest::newRow("hi-hat CC equal ends stay upright")
        << "00 00 03 00 00 04 00 32 32 00 32 00 00 00 32 00 00" << int(EventCc)
        << "hat_cc_comboBox_gain=50 hat_cc_comboBox_chl=0 hat_cc_comboBox_ctl=4 ht_Evert_checkBox=0 "
           "hat_cc_comboBox_valmin=50 hat_cc_comboBox_valmax=50 hat_cc_comboBox_ql=50 "
           "hat_trigger_level=0 hat_press_note=0 hat_release_note=0";
    QTest::newRow("hi-hat has no Pitch Bend page")
        << "00 00 03 00 03 04 00 32 32 00 32 00 00 00 32 00 00" << int(EventPitchBend) << "";

    QTest::newRow("pedal type 0 writes no field")
        << "00 00 00 00 00 04 00 32 32 00 32 00 00 00 32 00 00" << int(EventCc) << "";
    QTest::newRow("event 9 writes no field")
        << "00 00 01 00 09 04 00 32 32 00 32 00 00 00 32 00 00" << int(EventCc) << "";
}

void TestReplies::plan_page()
{
    QFETCH(QString, definition);
    QFETCH(int, page);
    QFETCH(QString, writes);
    QCOMPARE(ReplyPlan::describe(ReplyPlan::pageWrites(message(definition), page)), writes);
}

void TestReplies::plan_rangeEnds_everyByteValue()
{
    struct Case {
        const char *name;
        int pedalType;
        int page;
        Field min, max;
        bool usesData; ///< the ends are bytes 11 and 12, else 13 and 14
        /// Whether the maximum goes in before the minimum, for ends a (first) and b.
        std::function<bool(int a, int b, int mode)> maxFirst;
        /// Whether the ends check "Evert".
        std::function<bool(int a, int b)> inverted;
    };
    const auto never = [](int, int, int) { return false; };
    const Case cases[] = {
        {"expression CC", PedalTypeExpression, EventCc, Field::ExpressionCcMin,
         Field::ExpressionCcMax, false, [](int a, int b, int) { return a <= b && a != 0; },
         [](int a, int b) { return a > b; }},
        {"expression NOTE", PedalTypeExpression, EventNote, Field::ExpressionNoteMin,
         Field::ExpressionNoteMax, false, [](int a, int b, int) { return a <= b && a != 0; },
         [](int a, int b) { return a > b; }},
        {"expression Channel Pressure", PedalTypeExpression, EventChannelPressure,
         Field::ExpressionPressureMin, Field::ExpressionPressureMax, true, never,
         [](int a, int b) { return a > b; }},
        {"switch CC", PedalTypeSwitch, EventCc, Field::SwitchCcMin, Field::SwitchCcMax, false,
         [](int a, int b, int) { return a < b; }, [](int a, int b) { return a >= b; }},
        {"switch NOTE", PedalTypeSwitch, EventNote, Field::SwitchNoteMin, Field::SwitchNoteMax,
         false, never, [](int a, int b) { return a >= b; }},
        {"switch PC", PedalTypeSwitch, EventProgramChange, Field::SwitchPcMin, Field::SwitchPcMax,
         true, never, [](int a, int b) { return a >= b; }},
        {"hi-hat CC", PedalTypeHiHat, EventCc, Field::HatCcMin, Field::HatCcMax, false,
         [](int a, int b, int) { return a > b; }, [](int a, int b) { return a > b; }},
        {"hi-hat NOTE", PedalTypeHiHat, EventNote, Field::HatNoteMin, Field::HatNoteMax, false,
         [](int a, int b, int) { return a > b; }, [](int a, int b) { return a > b; }},
    };
    for (const Case &c : cases) {
        const bool switchPage = c.pedalType == PedalTypeSwitch;
        for (int mode : switchPage ? QList<int>{0, 1, 4} : QList<int>{0, 2}) {
            for (int a = 0; a < 256; ++a) {
                for (int b = 0; b < 256; ++b) {
                    PedalMessage m;
                    m.pedalType = quint8(c.pedalType);
                    m.event = quint8(c.page);
                    m.triggerMode = quint8(mode);
                    (c.usesData ? m.dataA : m.valueA) = quint8(a);
                    (c.usesData ? m.dataB : m.valueB) = quint8(b);
                    const QList<Write> writes = ReplyPlan::pageWrites(m, c.page);
                    const RangeOutcome o = outcome(writes, c.min, c.max, c.pedalType, c.page);
                    const QString where = QStringLiteral("%1 mode %2 ends %3 %4: %5")
                                              .arg(QLatin1String(c.name)).arg(mode).arg(a).arg(b)
                                              .arg(ReplyPlan::describe(writes));
                    QVERIFY2(o.stray.isEmpty(), qPrintable(o.stray + QStringLiteral(" in ") + where));
                    if (switchPage && mode == TriggerSingle) {
                        // "Single" sends one value: the first end goes to the minimum, alone.
                        QVERIFY2(o.min == a && o.max == -1 && o.inversions == 0, qPrintable(where));
                        continue;
                    }
                    QVERIFY2(o.min == qMin(a, b) && o.max == qMax(a, b), qPrintable(where));
                    QVERIFY2(o.inversions == 1 && o.inverted == int(c.inverted(a, b)),
                             qPrintable(where));
                    QVERIFY2(o.maxFirst == c.maxFirst(a, b, mode), qPrintable(where));
                }
            }
        }
    }
}

void TestReplies::plan_pitchBendEnds_fourteenBits()
{
    const quint8 samples[] = {0x00, 0x01, 0x02, 0x3F, 0x40, 0x7E, 0x7F, 0x80, 0xFF};
    for (quint8 aHigh : samples)
        for (quint8 bHigh : samples)
            for (quint8 aLow : samples)
                for (quint8 bLow : samples) {
                    PedalMessage m;
                    m.pedalType = PedalTypeExpression;
                    m.event = EventPitchBend;
                    m.dataA = aHigh;
                    m.dataB = bHigh;
                    m.valueA = aLow;
                    m.valueB = bLow;
                    const int a = aHigh * 128 + aLow;
                    const int b = bHigh * 128 + bLow;
                    const QList<Write> writes = ReplyPlan::pageWrites(m, EventPitchBend);
                    const RangeOutcome o = outcome(writes, Field::ExpressionPitchMin,
                                                   Field::ExpressionPitchMax, PedalTypeExpression,
                                                   EventPitchBend);
                    const QString where = ReplyPlan::describe(writes);
                    QVERIFY2(o.stray.isEmpty(), qPrintable(where));
                    QVERIFY2(o.min == qMin(a, b) && o.max == qMax(a, b), qPrintable(where));
                    QVERIFY2(o.inverted == int(a > b) && o.inversions == 1, qPrintable(where));
                    QVERIFY2(o.maxFirst, qPrintable(where));
                }
}

void TestReplies::decodeReply_bySize_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("decoded");
    QTest::addColumn<QString>("fields");

    const QByteArray head = sysex("F000215E1004");
    const QByteArray fields = sysex("0102030405060708090A0B0C0D0E0F1011");
    QTest::newRow("24 bytes") << head + fields + '\xF7' << true
                              << "01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11";
    QTest::newRow("longer: bytes 6 to 22") << head + fields + sysex("F7F7F7") << true
                                           << "01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11";
    QTest::newRow("23 bytes: no high level byte") << head + fields.left(16) + '\xF7' << true
                                                  << "01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 00";
    QTest::newRow("22 bytes") << head + fields.left(15) + '\xF7' << false << "";
    QTest::newRow("six-byte short reply") << sysex("F000215E03F7") << false << "";
    QTest::newRow("empty") << QByteArray() << false << "";
}

void TestReplies::decodeReply_bySize()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, decoded);
    QFETCH(QString, fields);
    PedalMessage m;
    m.pedal = 0x77;
    QCOMPARE(ReplyPlan::decodeReply(frame, &m), decoded);
    if (decoded)
        QCOMPARE(QString::fromLatin1(m.toFields().toHex(' ')), fields);
    else
        QCOMPARE(m.pedal, quint8(0x77));
}

void TestReplies::setStatusText_byStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "Set pedal success!";
    QTest::newRow("1") << 1 << "The pedal number is wrong!";
    QTest::newRow("2") << 2 << "Wrong pedal type!";
    QTest::newRow("3, trailing blank") << 3 << "Only one message configuration can be set in Tempo mode. ";
    QTest::newRow("4") << 4 << "";
    QTest::newRow("F7") << 0xF7 << "";
    QTest::newRow("FF") << 0xFF << "";
}

void TestReplies::setStatusText_byStatus()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QCOMPARE(ReplyPlan::setStatusText(status), text);
}

void TestReplies::fieldNames_nameOneControlEach()
{
    FakeDeviceSource nothing;
    ScopedDeviceSource scope(&nothing);
    Widget w;
    QSet<QString> names;
    for (int i = 0; i < ReplyPlan::FieldCount; ++i) {
        const auto field = Field(i);
        const QString name = QLatin1String(ReplyPlan::fieldName(field));
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);
        if (field == Field::PedalPicture)
            continue;
        const QList<QWidget *> found = w.findChildren<QWidget *>(name);
        QVERIFY2(found.size() == 1, qPrintable(name));
        if (ReplyPlan::isCheckBox(field))
            QVERIFY2(qobject_cast<QCheckBox *>(found.first()), qPrintable(name));
        else
            QVERIFY2(qobject_cast<QComboBox *>(found.first()), qPrintable(name));
    }
}

// ---------------------------------------------------------------------------
// Over the simulated controller

void TestReplies::ask_editorShowsTheStoredDefinition_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("definition");
    QTest::addColumn<QString>("expected");

    const QString zt3 = QStringLiteral("ZT-3");
    //                 p  m  t  ch ev dA dB vA vB mo ga tl pn rn cu cc th
    QTest::newRow("expression CC 00 7F upright")
        << zt3 << "01 02 01 03 00 0B 00 00 7F 00 3C 05 28 29 2D 00 00"
        << "pedal_type_stack=0 expression_stackedWidget=0 expression_comboBox0=0 "
           "expression_cc_comboBox_chl=3 expression_cc_comboBox_ctl=11 expression_cc_comboBox_valmin=0 "
           "expression_cc_comboBox_valmax=127 ex_Evert_checkBox=0 expression_cc_comboBox_gain=60 "
           "expression_cc_comboBox_ql=45 expression_trigger_level=5 expression_press_note=40 "
           "expression_release_note=41";
    QTest::newRow("expression CC 7F 00 inverted")
        << zt3 << "01 02 01 03 00 0B 00 7F 00 00 32 00 00 00 32 00 00"
        << "expression_cc_comboBox_valmin=0 expression_cc_comboBox_valmax=127 ex_Evert_checkBox=1";
    QTest::newRow("expression NOTE resets the CC page")
        << zt3 << "01 02 01 09 02 3C 00 0A 5A 00 1E 14 32 33 46 00 00"
        << "pedal_type_stack=0 expression_stackedWidget=1 expression_comboBox0=1 expression_comboBox3=1 "
           "expression_note_comboBox_chl=9 expression_note_comboBox_ctl=60 "
           "expression_note_comboBox_valmin=10 expression_note_comboBox_valmax=90 ex_Evert_checkBox=0 "
           "expression_note_comboBox_gain=30 expression_note_comboBox_ql=70 expression_trigger_level=20 "
           "expression_press_note=50 expression_release_note=51 expression_cc_comboBox_ctl=0";
    QTest::newRow("expression Pitch Bend 01 02 7F 00, level 300")
        << zt3 << "01 02 01 04 03 01 02 7F 00 00 28 2C 30 31 3C 00 01"
        << "expression_stackedWidget=2 expression_comboBox0=2 expression_pitch_comboBox_chl=4 "
           "expression_pitch_comboBox_valmin=255 expression_pitch_comboBox_valmax=256 ex_Evert_checkBox=0 "
           "expression_pitch_comboBox_gain=40 expression_pitch_comboBox_ql=60 "
           "expression_trigger_level=300 expression_trigger_level#count=16384 expression_press_note=48 "
           "expression_release_note=49";
    QTest::newRow("expression Pitch Bend inverted full range")
        << zt3 << "01 02 01 00 03 7F 00 7F 00 00 32 00 00 00 32 00 00"
        << "expression_stackedWidget=2 expression_pitch_comboBox_valmin=0 "
           "expression_pitch_comboBox_valmax=16383 ex_Evert_checkBox=1 expression_trigger_level=0";
    QTest::newRow("expression Channel Pressure inverted")
        << zt3 << "01 02 01 05 04 64 14 00 00 00 32 07 00 00 32 00 01"
        << "expression_stackedWidget=3 expression_comboBox0=3 expression_ch_comboBox_chl=5 "
           "expression_ch_comboBox_val1=20 expression_ch_comboBox_val2=100 ex_Evert_checkBox=1 "
           "expression_trigger_level=7 expression_trigger_level#count=128";
    QTest::newRow("expression Channel Pressure upright")
        << zt3 << "01 02 01 05 04 05 70 00 00 00 32 00 00 00 32 00 00"
        << "expression_stackedWidget=3 expression_ch_comboBox_val1=5 expression_ch_comboBox_val2=112 "
           "ex_Evert_checkBox=0";
    QTest::newRow("expression Program Change stays on the CC page")
        << zt3 << "01 02 01 06 01 0C 00 10 20 00 32 00 00 00 32 00 00"
        << "expression_stackedWidget=0 expression_comboBox0=0 expression_cc_comboBox_chl=6 "
           "expression_cc_comboBox_ctl=12 expression_cc_comboBox_valmin=16 "
           "expression_cc_comboBox_valmax=32 ex_Evert_checkBox=0";
    QTest::newRow("switch CC Toggle 40 40 inverts")
        << zt3 << "01 03 02 02 00 14 00 40 40 01 00 00 00 00 00 00 00"
        << "pedal_type_stack=1 pendal_type_comboBox0=1 pendal_type_comboBox1=1 pendal_type_comboBox2=1 "
           "switch_stackedWidget=0 switch_comboBox0=0 switch_cc_comboBox_mode=1 switch_note_comboBox_mode=1 "
           "switch_pc_comboBox_mode=1 switch_cc_comboBox_chl=2 switch_cc_comboBox_ctl=20 "
           "switch_cc_comboBox_valmin=64 switch_cc_comboBox_valmax=64 sw_Evert_checkBox=1";
    QTest::newRow("switch CC Single: the minimum only")
        << zt3 << "01 03 02 00 00 14 00 09 64 00 00 00 00 00 00 00 00"
        << "switch_stackedWidget=0 switch_cc_comboBox_mode=0 switch_cc_comboBox_valmin=9 "
           "switch_cc_comboBox_valmax=127";
    QTest::newRow("switch CC Increase upright")
        << zt3 << "01 03 02 00 00 14 00 10 50 03 00 00 00 00 00 00 00"
        << "switch_cc_comboBox_mode=3 switch_cc_comboBox_valmin=16 switch_cc_comboBox_valmax=80 "
           "sw_Evert_checkBox=0";
    QTest::newRow("switch NOTE Decrease inverted")
        << zt3 << "01 03 02 07 02 3D 00 70 20 04 00 00 00 00 00 00 00"
        << "switch_stackedWidget=1 switch_comboBox0=2 switch_comboBox6=2 switch_note_comboBox_mode=4 "
           "switch_note_comboBox_chl=7 switch_note_comboBox_nno=61 switch_note_comboBox_valmin=32 "
           "switch_note_comboBox_valmax=112 sw_Evert_checkBox=1";
    QTest::newRow("switch PC Single: the PC minimum only")
        << zt3 << "01 03 02 01 01 09 32 00 00 00 00 00 00 00 00 00 00"
        << "switch_stackedWidget=2 switch_comboBox0=1 switch_pc_comboBox_mode=0 "
           "switch_pc_comboBox_chl=1 switch_pc_comboBox_valmin=9 switch_pc_comboBox_valmax=127";
    QTest::newRow("switch PC Reset inverted")
        << zt3 << "01 03 02 01 01 30 10 00 00 02 00 00 00 00 00 00 00"
        << "switch_stackedWidget=2 switch_pc_comboBox_mode=2 switch_pc_comboBox_valmin=16 "
           "switch_pc_comboBox_valmax=48 sw_Evert_checkBox=1";
    QTest::newRow("switch Stop")
        << zt3 << "01 03 02 00 07 00 00 00 00 00 00 00 00 00 00 00 00"
        << "switch_stackedWidget=3 switch_comboBox0=3 switch_stop_comboBox_mode=0";
    QTest::newRow("switch Continue")
        << zt3 << "01 03 02 00 06 00 00 00 00 00 00 00 00 00 00 00 00"
        << "switch_stackedWidget=4 switch_comboBox0=4 switch_ctu_comboBox_mode=0";
    QTest::newRow("switch Start")
        << zt3 << "01 03 02 00 05 00 00 00 00 00 00 00 00 00 00 00 00"
        << "switch_stackedWidget=5 switch_comboBox0=5 switch_start_comboBox_mode=0";
    QTest::newRow("switch Tempo on a ZT-3")
        << zt3 << "01 03 02 00 08 00 00 01 F4 00 00 00 00 00 00 00 00"
        << "switch_stackedWidget=6 switch_comboBox0=6 switch_tempo_comboBox_mode=0";
    QTest::newRow("switch Tempo on a QRX-20 stays on the CC page")
        << "QRX-20" << "01 03 02 00 08 15 00 21 F4 00 00 00 00 00 00 00 00"
        << "switch_stackedWidget=0 switch_comboBox0=0 switch_cc_comboBox_ctl=21 "
           "switch_cc_comboBox_valmin=33";
    QTest::newRow("hi-hat CC upright")
        << zt3 << "01 04 03 01 00 04 00 0A 64 00 3C 1E 24 25 28 00 00"
        << "pedal_type_stack=2 hat_stackedWidget=0 hat_comboBox0=0 hat_cc_comboBox_gain=60 "
           "hat_cc_comboBox_chl=1 hat_cc_comboBox_ctl=4 ht_Evert_checkBox=0 hat_cc_comboBox_valmin=10 "
           "hat_cc_comboBox_valmax=100 hat_cc_comboBox_ql=40 hat_trigger_level=30 hat_press_note=36 "
           "hat_release_note=37";
    QTest::newRow("hi-hat NOTE inverted")
        << zt3 << "01 04 03 02 02 26 00 7F 10 00 32 00 00 00 32 00 00"
        << "hat_stackedWidget=1 hat_comboBox0=1 hat_comboBox1=1 hat_note_comboBox_chl=2 "
           "hat_note_comboBox_ctl=38 ht_Evert_checkBox=1 hat_note_comboBox_valmax=127 "
           "hat_note_comboBox_valmin=16";
    QTest::newRow("hi-hat CC equal ends upright")
        << zt3 << "01 04 03 00 00 04 00 32 32 00 32 00 00 00 32 00 00"
        << "hat_cc_comboBox_valmin=50 hat_cc_comboBox_valmax=50 ht_Evert_checkBox=0";
}

void TestReplies::ask_editorShowsTheStoredDefinition()
{
    QFETCH(QString, model);
    QFETCH(QString, definition);
    QFETCH(QString, expected);

    ControllerRig rig(model);
    QVERIFY(rig.connect());
    const QByteArray def = ::definition(definition);
    rig.controller.behaviour().store(def);
    rig.ui->Pedal_Number->setCurrentIndex(def.at(0));
    rig.ui->Message_Number->setCurrentIndex(def.at(1));

    // Check boxes start opposite to what the reply must leave.
    const QStringList tokens = expected.split(QLatin1Char(' '));
    for (const QString &token : tokens) {
        const QString name = token.section(QLatin1Char('='), 0, 0);
        if (auto *box = rig.window->findChild<QCheckBox *>(name))
            box->setChecked(token.section(QLatin1Char('='), 1).toInt() == 0);
    }

    QSignalSpy frames(rig.link(), &SerialPort::pedalMidiDataSignal);
    rig.ui->checkButton_2->click();
    QTRY_COMPARE(framesOfType(frames, Protocol::CheckPadelReply), 1);
    QCOMPARE(rig.commands(ControllerCommand::Ask).size(), 1);

    QCOMPARE(rig.ui->Pedal_Number->currentIndex(), int(def.at(0)));
    QCOMPARE(rig.ui->Message_Number->currentIndex(), int(def.at(1)));
    for (const QString &token : tokens) {
        const QString name = token.section(QLatin1Char('='), 0, 0);
        const int want = token.section(QLatin1Char('='), 1).toInt();
        const int got = controlValue(*rig.window, name);
        QVERIFY2(got == want, qPrintable(QStringLiteral("%1 is %2").arg(token).arg(got)));
    }
    QVERIFY2(rig.boxes.seen().isEmpty(), qPrintable(rig.boxes.texts().join(QLatin1Char('|'))));
}

void TestReplies::ask_unnamedEventOrPedalType_writesOnlyPedalMessageType_data()
{
    QTest::addColumn<QString>("definition");
    QTest::addColumn<QString>("changes");

    const QString toSwitch = QStringLiteral(
        "pedal_type_stack=1 pendal_type_comboBox0=1 pendal_type_comboBox1=1 pendal_type_comboBox2=1");
    const QString noType = QStringLiteral(
        "pendal_type_comboBox0=-1 pendal_type_comboBox1=-1 pendal_type_comboBox2=-1");
    //                 p  m  t  ch ev dA dB vA vB mo ga tl pn rn cu cc th
    QTest::newRow("event 9 on an expression pedal")
        << "01 02 01 03 09 0B 00 10 7F 00 3C 05 28 29 2D 00 00" << "";
    QTest::newRow("event 9 on a switch") << "01 02 02 03 09 14 00 10 50 01 00 00 00 00 00 00 00"
                                         << toSwitch;
    QTest::newRow("event FF on a hi-hat")
        << "01 02 03 03 FF 14 00 10 50 01 3C 05 28 29 2D 00 00"
        << "pedal_type_stack=2 pendal_type_comboBox0=2 pendal_type_comboBox1=2 pendal_type_comboBox2=2";
    QTest::newRow("pedal type 0") << "01 02 00 03 02 14 00 10 50 01 3C 05 28 29 2D 00 00" << noType;
    QTest::newRow("pedal type 4") << "01 02 04 03 00 14 00 10 50 01 3C 05 28 29 2D 00 00" << noType;
    QTest::newRow("pedal type FF") << "01 02 FF 03 00 14 00 10 50 01 3C 05 28 29 2D 00 00" << noType;
}

void TestReplies::ask_unnamedEventOrPedalType_writesOnlyPedalMessageType()
{
    QFETCH(QString, definition);
    QFETCH(QString, changes);

    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    const QByteArray def = ::definition(definition);
    rig.controller.behaviour().store(def);
    rig.ui->Pedal_Number->setCurrentIndex(def.at(0));
    rig.ui->Message_Number->setCurrentIndex(def.at(1));
    const QMap<QString, int> before = editorState(*rig.window);

    QSignalSpy frames(rig.link(), &SerialPort::pedalMidiDataSignal);
    rig.ui->checkButton_2->click();
    QTRY_COMPARE(framesOfType(frames, Protocol::CheckPadelReply), 1);
    QCOMPARE(::changes(before, editorState(*rig.window)), changes);
    QVERIFY(rig.boxes.seen().isEmpty());
}

void TestReplies::reply_unasked_movesPedalAndMessage()
{
    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    QCOMPARE(rig.ui->Pedal_Number->currentIndex(), 0);
    QSignalSpy frames(rig.link(), &SerialPort::pedalMidiDataSignal);

    rig.controller.send(ControllerBehaviour::configurationReply(
        definition("03 0C 03 00 00 04 00 0A 64 00 32 00 00 00 32 00 00")));
    QTRY_COMPARE(framesOfType(frames, Protocol::CheckPadelReply), 1);
    QCOMPARE(rig.ui->Pedal_Number->currentText(), QStringLiteral("4"));
    QCOMPARE(rig.ui->Message_Number->currentText(), QStringLiteral("13"));
    QCOMPARE(rig.ui->pedal_type_stack->currentIndex(), 2);
    QCOMPARE(rig.ui->hat_cc_comboBox_valmax->currentIndex(), 100);
}

void TestReplies::reply_twentyThreeBytes_levelHighByteZero()
{
    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    QSignalSpy frames(rig.link(), &SerialPort::pedalMidiDataSignal);

    // Pitch Bend 200..3000 with trigger level 0x2C; the frame ends where the high byte would be.
    QByteArray frame = ControllerBehaviour::configurationReply(
        definition("00 00 01 00 03 01 17 48 38 00 32 2C 00 00 32 00 00"));
    frame.remove(22, 1);
    QCOMPARE(frame.size(), 23);
    rig.controller.send(frame);
    QTRY_COMPARE(framesOfType(frames, Protocol::CheckPadelReply), 1);
    QCOMPARE(rig.ui->expression_comboBox0->currentIndex(), 2);
    QCOMPARE(rig.ui->expression_pitch_comboBox_valmin->currentIndex(), 200);
    QCOMPARE(rig.ui->expression_pitch_comboBox_valmax->currentIndex(), 3000);
    QCOMPARE(rig.ui->expression_trigger_level->currentIndex(), 0x2C);
}

void TestReplies::reply_maximumBelowCurrentMinimum_runsIntoRangeCheck_data()
{
    QTest::addColumn<QString>("minimumSelector");
    QTest::addColumn<QString>("definition");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("finalMin");
    QTest::addColumn<int>("finalMax");

    // The editor's minimum is 60 on the reply's page; the reply sets its maximum first.
    QTest::newRow("expression CC: maximum back to its last")
        << "expression_cc_comboBox_valmin" << "00 00 01 00 00 07 00 0A 28 00 32 00 00 00 32 00 00"
        << "Invalid2 selection" << 10 << 127;
    QTest::newRow("hi-hat CC inverted: minimum to 0, then the reply's")
        << "hat_cc_comboBox_valmin" << "00 00 03 00 00 04 00 28 0A 00 32 00 00 00 32 00 00"
        << "Invalid selection11" << 10 << 40;
    QTest::newRow("switch CC Toggle: maximum back to its last")
        << "switch_cc_comboBox_valmin" << "00 00 02 00 00 14 00 0A 28 01 00 00 00 00 00 00 00"
        << "Invalid selection14" << 10 << 127;
}

void TestReplies::reply_maximumBelowCurrentMinimum_runsIntoRangeCheck()
{
    QFETCH(QString, minimumSelector);
    QFETCH(QString, definition);
    QFETCH(QString, title);
    QFETCH(int, finalMin);
    QFETCH(int, finalMax);

    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    const PedalMessage m = message(definition);
    // Bring the reply's page up first, so that the reply's own event selection resets nothing.
    rig.ui->pendal_type_comboBox0->setCurrentIndex(m.pedalType - 1);
    if (m.pedalType == PedalTypeSwitch)
        rig.ui->switch_cc_comboBox_mode->setCurrentIndex(m.triggerMode);
    auto *minimum = rig.window->findChild<QComboBox *>(minimumSelector);
    QVERIFY(minimum);
    minimum->setCurrentIndex(60);
    QVERIFY(rig.boxes.seen().isEmpty());

    QSignalSpy frames(rig.link(), &SerialPort::pedalMidiDataSignal);
    rig.controller.send(ControllerBehaviour::configurationReply(::definition(definition)));
    QTRY_COMPARE(framesOfType(frames, Protocol::CheckPadelReply), 1);
    QTRY_COMPARE(rig.boxes.seen().size(), 1);
    QCOMPARE(rig.boxes.seen().first().title, title);
    QCOMPARE(minimum->currentIndex(), finalMin);
    const QString maxName = QString(minimumSelector).replace(QStringLiteral("valmin"), QStringLiteral("valmax"));
    QCOMPARE(rig.window->findChild<QComboBox *>(maxName)->currentIndex(), finalMax);
}

void TestReplies::setReply_knownStatus_informationBox_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "Set pedal success!";
    QTest::newRow("1") << 1 << "The pedal number is wrong!";
    QTest::newRow("2") << 2 << "Wrong pedal type!";
    QTest::newRow("3") << 3 << "Only one message configuration can be set in Tempo mode. ";
}

void TestReplies::setReply_knownStatus_informationBox()
{
    QFETCH(int, status);
    QFETCH(QString, text);

    ControllerRig rig(QStringLiteral("QRX-20"));
    QVERIFY(rig.connect());
    rig.controller.behaviour().setForcedSetStatus(status);
    rig.ui->setButton_6->click();
    QTRY_COMPARE(rig.boxes.seen().size(), 1);
    const ModalWatcher::Seen box = rig.boxes.seen().first();
    QCOMPARE(box.title, QStringLiteral("Information"));
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestReplies::setReply_unknownStatus_latestReleaseNotice_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("4") << 4;
    QTest::newRow("7F") << 0x7F;
    QTest::newRow("FF") << 0xFF;
}

void TestReplies::setReply_unknownStatus_latestReleaseNotice()
{
    QFETCH(int, status);

    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");

    Qt::TextFormat format = Qt::PlainText;
    Qt::TextInteractionFlags flags;
    bool externalLinks = false;
    QString anchor;
    QColor colour;
    rig.boxes.setInspector([&](QMessageBox *box) {
        format = box->textFormat();
        flags = box->textInteractionFlags();
        auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        if (!label)
            return;
        externalLinks = label->openExternalLinks();
        // The link as the label lays it out.
        QTextDocument document;
        document.setHtml(box->text());
        const QTextCursor link = document.find(QStringLiteral("veltrano"));
        anchor = link.charFormat().anchorHref();
        colour = link.charFormat().foreground().color();
        // Reach the link from the keyboard and follow it.
        QTest::keyClick(label, Qt::Key_Tab);
        QTest::keyClick(label, Qt::Key_Return);
    });

    rig.controller.behaviour().setForcedSetStatus(status);
    rig.ui->setButton_6->click();
    QTRY_COMPARE(rig.boxes.seen().size(), 1);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    const ModalWatcher::Seen box = rig.boxes.seen().first();
    QCOMPARE(box.title, QStringLiteral("Information"));
    QCOMPARE(box.icon, QMessageBox::Information);
    QVERIFY2(box.text.startsWith(kNotice), qPrintable(box.text));
    QCOMPARE(format, Qt::RichText);
    QCOMPARE(flags, Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse
                        | Qt::LinksAccessibleByKeyboard);
    QVERIFY(externalLinks);
    QCOMPARE(anchor, QStringLiteral("https://www.veltrano.com/"));
    QCOMPARE(colour, QColor(QStringLiteral("#FFA500")));
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("https://www.veltrano.com/"))});
}

void TestReplies::deleteReply_informationBox()
{
    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    rig.ui->pushButton_2->click();
    QTRY_COMPARE(rig.boxes.seen().size(), 1);
    QCOMPARE(rig.boxes.seen().first().title, QStringLiteral("Information"));
    QCOMPARE(rig.boxes.seen().first().text, QStringLiteral("Delete message success!"));
    QCOMPARE(rig.boxes.seen().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The factory reset is answered with the same reply, and so the same box.
    rig.controller.send(ControllerBehaviour::deleteReply(ControllerBehaviour::factoryResetPedal));
    QTRY_COMPARE(rig.boxes.seen().size(), 2);
    QCOMPARE(rig.boxes.seen().last().text, QStringLiteral("Delete message success!"));
}

void TestReplies::handshake_pedalList_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("current");

    const QStringList before = numbers(1, 4); // the ZT-3's own count; pedal "3" selected
    QTest::newRow("3 pedals") << ControllerBehaviour::handshakeReply(3) << numbers(1, 3) << 0;
    QTest::newRow("no pedal") << ControllerBehaviour::handshakeReply(0) << QStringList() << -1;
    QTest::newRow("9 pedals") << ControllerBehaviour::handshakeReply(9) << numbers(1, 9) << 0;
    QTest::newRow("10 pedals ignored") << ControllerBehaviour::handshakeReply(10) << before << 2;
    QTest::newRow("FF pedals ignored") << ControllerBehaviour::handshakeReply(0xFF) << before << 2;
    QTest::newRow("six-byte status reply") << sysex("F000215E03F7") << before << 2;
}

void TestReplies::handshake_pedalList()
{
    QFETCH(QByteArray, frame);
    QFETCH(QStringList, items);
    QFETCH(int, current);

    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    rig.ui->Pedal_Number->setCurrentIndex(2);
    QSignalSpy frames(rig.link(), &SerialPort::pedalMidiDataSignal);
    rig.controller.send(frame);
    QTRY_COMPARE(framesOfType(frames, Protocol::HandshadeReplyCmd), 1);
    QCOMPARE(itemTexts(rig.ui->Pedal_Number), items);
    QCOMPARE(rig.ui->Pedal_Number->currentIndex(), current);
    QVERIFY(rig.boxes.seen().isEmpty());
}

void TestReplies::severalRepliesInOneRead_boxesOpenOneAfterAnother()
{
    ControllerRig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    QSignalSpy frames(rig.link(), &SerialPort::pedalMidiDataSignal);
    rig.controller.send(ControllerBehaviour::setReply(0, 0) + ControllerBehaviour::deleteReply(0)
                        + ControllerBehaviour::setReply(0, 3) + ControllerBehaviour::setReply(0, 0x20)
                        + ControllerBehaviour::setReply(0, 1));
    QTRY_COMPARE(rig.boxes.seen().size(), 5);
    QCOMPARE(framesOfType(frames, Protocol::SetPadelReply), 4);
    QCOMPARE(framesOfType(frames, Protocol::DeletePadelReply), 1);

    QStringList texts = rig.boxes.texts();
    QVERIFY2(texts.at(3).startsWith(kNotice), qPrintable(texts.at(3)));
    texts[3] = QStringLiteral("notice");
    QCOMPARE(texts, (QStringList{QStringLiteral("Set pedal success!"),
                                 QStringLiteral("Delete message success!"),
                                 QStringLiteral("Only one message configuration can be set in Tempo mode. "),
                                 QStringLiteral("notice"), QStringLiteral("The pedal number is wrong!")}));
    for (const ModalWatcher::Seen &box : rig.boxes.seen())
        QCOMPARE(box.openBoxes, 1);
}

void TestReplies::shortOrUnknownFrames_changeNothing_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("frame");

    const QByteArray reply = ControllerBehaviour::configurationReply(
        definition("00 03 03 01 02 26 00 7F 10 00 32 00 00 00 32 00 00"));
    QTest::newRow("handshake, empty") << 0 << QByteArray();
    QTest::newRow("handshake, 5 bytes") << 0 << sysex("F000215E01");
    QTest::newRow("set reply, empty") << 1 << QByteArray();
    QTest::newRow("set reply, 7 bytes") << 1 << sysex("F000215E100300");
    QTest::newRow("configuration reply, empty") << 2 << QByteArray();
    QTest::newRow("configuration reply, 6 bytes") << 2 << reply.left(6);
    QTest::newRow("configuration reply, 22 bytes") << 2 << reply.left(21) + '\xF7';
    QTest::newRow("live event, empty") << 4 << QByteArray();
    QTest::newRow("live event, 2 bytes") << 4 << sysex("0BB0");
    QTest::newRow("type 5") << 5 << reply;
    QTest::newRow("type -1") << -1 << reply;
}

void TestReplies::shortOrUnknownFrames_changeNothing()
{
    QFETCH(int, type);
    QFETCH(QByteArray, frame);

    FakeDeviceSource nothing;
    ScopedDeviceSource scope(&nothing);
    ModalWatcher boxes;
    Widget w;
    w.form()->Pedal_Number->addItems(numbers(1, 4));
    const QMap<QString, int> before = editorState(w);
    w.pedalMidiDataSlot({type, frame});
    QCoreApplication::sendPostedEvents();
    QCOMPARE(changes(before, editorState(w)), QString());
    QVERIFY(boxes.seen().isEmpty());
}

QTEST_MAIN(TestReplies)
#include "tst_replies.moc"
