// MIDI output: the message of each live event frame, and the output on a real
// MIDI system (a JACK server of the test's own; ALSA where the machine has a sequencer).
#include "app/widget.h"
#include "device/streamframer.h"
#include "midiout/midimessage.h"
#include "midiout/midioutput.h"
#include "sim/controllerbehaviour.h"
#include "support/controllerrig.h"
#include "support/jackserver.h"
#include "support/scopedcurrentdir.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QMenu *midiOutputMenu(Widget &window)
{
    for (QMenu *menu : window.findChildren<QMenu *>()) {
        if (menu->title() == QLatin1String("MIDI Output"))
            return menu;
    }
    return nullptr;
}

/// The menu as the user sees it when opening it: entry texts, the ticked one marked "*".
QStringList openMenu(Widget &window)
{
    QMenu *menu = midiOutputMenu(window);
    if (!menu)
        return {};
    emit menu->aboutToShow();
    QStringList entries;
    for (QAction *action : menu->actions())
        entries.append(action->text() + (action->isChecked() ? QStringLiteral("*") : QString()));
    return entries;
}

bool choose(Widget &window, const QString &entry)
{
    QMenu *menu = midiOutputMenu(window);
    emit menu->aboutToShow();
    for (QAction *action : menu->actions()) {
        if (action->text() == entry) {
            action->trigger();
            return true;
        }
    }
    return false;
}

/// One event of every status kind the controller can send, and its message on the wire.
struct Played
{
    quint8 status, data1, data2;
    QByteArray message;
};

const QList<Played> &everyStatusKind()
{
    static const QList<Played> events = {
        {0x80, 60, 0, hex("803c00")},  {0x91, 61, 100, hex("913d64")},
        {0xA2, 62, 5, hex("a23e05")},  {0xBF, 7, 127, hex("bf077f")},
        {0xC3, 12, 0, hex("c30c")},    {0xD4, 99, 0, hex("d463")},
        {0xE5, 0, 64, hex("e50040")},  {0xF8, 0, 0, hex("f8")},
        {0xFA, 0, 0, hex("fa")},       {0xFB, 0, 0, hex("fb")},
        {0xFC, 0, 0, hex("fc")},       {0x90, 127, 1, hex("907f01")},
    };
    return events;
}

QList<QByteArray> messagesOf(const QList<Played> &events)
{
    QList<QByteArray> out;
    for (const Played &e : events)
        out.append(e.message);
    return out;
}

} // namespace

class TestMidiOut : public QObject
{
    Q_OBJECT

private slots:
    void frameMessage_data();
    void frameMessage();
    void frameMessage_acceptsExactlyTheLinkEvents();
    void settingText_roundTrips();

    void startUp_outputOffAndNoMidiSystem();
    void virtualPort_carriesEveryStatusKindInOrder_data();
    void virtualPort_carriesEveryStatusKindInOrder();
    void serverStopsMidStream_outputOffWithOneBox();
    void existingPort_chosenByName_receivesAndLosesItsProgram();
    void noServer_choiceFailsWithBoxAndStaysOff();
};

void TestMidiOut::frameMessage_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("note off") << hex("08803c40") << hex("803c40");
    QTest::newRow("note on ch16") << hex("099f3c64") << hex("9f3c64");
    QTest::newRow("poly pressure") << hex("0aa03c10") << hex("a03c10");
    QTest::newRow("control change") << hex("0bb0077f") << hex("b0077f");
    QTest::newRow("program change: two bytes") << hex("0cc00500") << hex("c005");
    QTest::newRow("program change, data2 ignored") << hex("0cc0057f") << hex("c005");
    QTest::newRow("channel pressure: two bytes") << hex("0dd54000") << hex("d540");
    QTest::newRow("pitch bend") << hex("0ee0007f") << hex("e0007f");
    QTest::newRow("clock: one byte") << hex("0ff80000") << hex("f8");
    QTest::newRow("start") << hex("0ffa0000") << hex("fa");
    QTest::newRow("continue") << hex("0ffb0102") << hex("fb");
    QTest::newRow("stop") << hex("0ffc0000") << hex("fc");
    QTest::newRow("header ignored") << hex("ff903c64") << hex("903c64");
    QTest::newRow("sysex start") << hex("04f00021") << QByteArray();
    QTest::newRow("sysex end") << hex("05f70000") << QByteArray();
    QTest::newRow("undefined f9") << hex("0ff90000") << QByteArray();
    QTest::newRow("active sensing") << hex("0ffe0000") << QByteArray();
    QTest::newRow("reset") << hex("0fff0000") << QByteArray();
    QTest::newRow("song position") << hex("03f20102") << QByteArray();
    QTest::newRow("data byte as status") << hex("097f3c64") << QByteArray();
    QTest::newRow("data1 not data") << hex("0990bc64") << QByteArray();
    QTest::newRow("data2 not data") << hex("0990 3c e4") << QByteArray();
    QTest::newRow("data2 of a two-byte message free") << hex("0cc005ff") << hex("c005");
    QTest::newRow("three bytes") << hex("09903c") << QByteArray();
    QTest::newRow("five bytes") << hex("09903c6400") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestMidiOut::frameMessage()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, message);
    QCOMPARE(MidiMessage::fromEventFrame(frame).toHex(' '), message.toHex(' '));
}

void TestMidiOut::frameMessage_acceptsExactlyTheLinkEvents()
{
    // Every status the link passes as an event has a message, and no other;
    // the message starts with the status and its length is 1, 2 or 3.
    for (int status = 0; status < 256; ++status) {
        const QByteArray frame = ControllerBehaviour::usbMidiEvent(quint8(status), 0x12, 0x34);
        const QByteArray message = MidiMessage::fromEventFrame(frame);
        QCOMPARE(!message.isEmpty(), StreamFramer::isAcceptedStatus(quint8(status)));
        if (message.isEmpty())
            continue;
        QCOMPARE(quint8(message.at(0)), quint8(status));
        QCOMPARE(message.size(), MidiMessage::lengthOf(quint8(status)));
        QCOMPARE(message, frame.mid(1, message.size()));
    }
}

void TestMidiOut::settingText_roundTrips()
{
    const QList<MidiTarget> targets = {MidiTarget{},
                                       MidiTarget{MidiTarget::Virtual, QString()},
                                       MidiTarget{MidiTarget::Port, QStringLiteral("synth:in 1")},
                                       MidiTarget{MidiTarget::Port, QStringLiteral("Virtual")},
                                       MidiTarget{MidiTarget::Port, QStringLiteral("Port:x")}};
    for (const MidiTarget &t : targets)
        QVERIFY2(MidiTarget::fromSetting(t.toSetting()) == t, qPrintable(t.toSetting()));
    for (const char *junk : {"", "off", "Port:", "virtual", "Something"})
        QCOMPARE(MidiTarget::fromSetting(QLatin1String(junk)).kind, MidiTarget::Off);
}

void TestMidiOut::startUp_outputOffAndNoMidiSystem()
{
    ScopedCurrentDir dir;
    {
        QSettings config(dir.filePath(QStringLiteral("config.ini")), QSettings::IniFormat);
        config.setValue(QStringLiteral("midiOutputPort"), QStringLiteral("nonsense"));
    }
    ControllerRig rig(QStringLiteral("QRX-10"));
    QVERIFY(rig.connect());
    rig.controller.sendEvent(0x90, 60, 100);
    QTRY_COMPARE(rig.window->handledPedalFrames(), qint64(1));
    MidiOutput *out = rig.window->midiOutputSink();
    QVERIFY(!out->isOn());
    QVERIFY2(!out->systemMade(), "the MIDI system was started without a chosen port");
    QMenu *menu = midiOutputMenu(*rig.window);
    QVERIFY(menu);
    QStringList entries;
    for (QAction *action : menu->actions())
        entries.append(action->text() + (action->isChecked() ? QStringLiteral("*") : QString()));
    QCOMPARE(entries, (QStringList{QStringLiteral("Off*"), QStringLiteral("Virtual port 'Stompwright'")}));
    QVERIFY(rig.boxes.seen().isEmpty());
}

void TestMidiOut::virtualPort_carriesEveryStatusKindInOrder_data()
{
    QTest::addColumn<int>("backend");
    QTest::newRow("JACK") << int(MidiInputProbe::Jack);
    QTest::newRow("ALSA") << int(MidiInputProbe::Alsa);
}

void TestMidiOut::virtualPort_carriesEveryStatusKindInOrder()
{
    QFETCH(int, backend);
    JackServer server;
    if (backend == MidiInputProbe::Alsa) {
        if (!QFileInfo::exists(QStringLiteral("/dev/snd/seq")))
            QSKIP("No ALSA sequencer here: /dev/snd/seq does not exist");
    } else {
        QVERIFY2(server.start(), qPrintable(server.error()));
    }
    ScopedCurrentDir dir;
    {
        ControllerRig rig(QStringLiteral("QRX-10"));
        rig.window->midiOutputSink()->setBackend(backend == MidiInputProbe::Jack
                                                     ? MidiBackend::Jack
                                                     : MidiBackend::Alsa);
        QVERIFY(rig.connect());
        QVERIFY(choose(*rig.window, QStringLiteral("Virtual port 'Stompwright'")));
        QVERIFY(rig.window->midiOutputSink()->isOn());
        QVERIFY(openMenu(*rig.window).contains(QStringLiteral("Virtual port 'Stompwright'*")));

        MidiInputProbe probe{MidiInputProbe::Backend(backend)};
        QVERIFY(probe.connectTo(QStringLiteral("Stompwright")));

        // Replies and text around the events, the last event behind them all:
        // none of them may go out.
        rig.controller.sendStatus(3);
        for (const Played &e : everyStatusKind())
            rig.controller.sendEvent(e.status, e.data1, e.data2);
        rig.controller.send(ControllerBehaviour::identityReply(QStringLiteral("QRX-10")));
        rig.controller.send(ControllerBehaviour::setReply(0, 1));
        rig.controller.send(ControllerBehaviour::versionReply(QStringLiteral("1.2")));
        rig.controller.send(ControllerBehaviour::deleteReply(0));
        rig.controller.sendEvent(0xB0, 1, 2);

        QList<QByteArray> expected = messagesOf(everyStatusKind());
        expected.append(hex("b00102"));
        QTRY_COMPARE_WITH_TIMEOUT((probe.collect(), probe.received().size()), expected.size(),
                                  10000);
        QCOMPARE(probe.received(), expected);
        QCOMPARE(rig.window->midiOutputSink()->sentMessages(), qint64(expected.size()));

        const QSettings config(dir.filePath(QStringLiteral("config.ini")), QSettings::IniFormat);
        QCOMPARE(config.value(QStringLiteral("midiOutputPort")).toString(), QStringLiteral("Virtual"));
        QVERIFY(!config.contains(QStringLiteral("selectedMIDIName")));
        QVERIFY(!config.contains(QStringLiteral("showCCNameEnabled")));
    }

    // The choice is kept: the next start opens the port again by itself.
    ControllerRig again(QStringLiteral("QRX-10"));
    again.window->midiOutputSink()->setBackend(backend == MidiInputProbe::Jack ? MidiBackend::Jack
                                                                               : MidiBackend::Alsa);
    QTRY_VERIFY(again.window->midiOutputSink()->isOn());
    QVERIFY(again.boxes.seen().isEmpty());
}

void TestMidiOut::serverStopsMidStream_outputOffWithOneBox()
{
    JackServer server;
    QVERIFY2(server.start(), qPrintable(server.error()));
    ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("QRX-10"));
    MidiOutput *out = rig.window->midiOutputSink();
    out->setBackend(MidiBackend::Jack);
    out->setCheckInterval(20);
    QVERIFY(rig.connect());
    QVERIFY(choose(*rig.window, QStringLiteral("Virtual port 'Stompwright'")));
    MidiInputProbe probe(MidiInputProbe::Jack);
    QVERIFY(probe.connectTo(QStringLiteral("Stompwright")));

    rig.controller.startEvents(500, {ControllerBehaviour::usbMidiEvent(0xB0, 7, 64)});
    QTRY_VERIFY((probe.collect(), probe.received().size() >= 10));
    server.stop();
    probe.abandon();

    QTRY_COMPARE(rig.boxes.seen().size(), 1);
    QCOMPARE(rig.boxes.seen().at(0).title, QStringLiteral("MIDI Output"));
    QCOMPARE(rig.boxes.seen().at(0).text,
             QStringLiteral("The MIDI output is off: The JACK server has stopped."));
    QVERIFY(!out->isOn());
    // The monitor goes on, no second box comes, and "Off" is ticked.
    const qint64 handled = rig.window->handledPedalFrames();
    QTRY_VERIFY(rig.window->handledPedalFrames() > handled + 20);
    rig.controller.stopEvents();
    QCOMPARE(rig.boxes.seen().size(), 1);
    QCOMPARE(openMenu(*rig.window).value(0), QStringLiteral("Off*"));
}

void TestMidiOut::existingPort_chosenByName_receivesAndLosesItsProgram()
{
    JackServer server;
    QVERIFY2(server.start(), qPrintable(server.error()));
    ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("ZT-3"));
    MidiOutput *out = rig.window->midiOutputSink();
    out->setBackend(MidiBackend::Jack);
    out->setCheckInterval(20);
    QVERIFY(rig.connect());

    auto synth = std::make_unique<MidiInputProbe>(MidiInputProbe::Jack, QStringLiteral("synth"));
    synth->openVirtual(QStringLiteral("pedals in"));
    QTRY_VERIFY(openMenu(*rig.window).contains(QStringLiteral("synth:pedals in")));
    QVERIFY(choose(*rig.window, QStringLiteral("synth:pedals in")));
    QVERIFY(openMenu(*rig.window).contains(QStringLiteral("synth:pedals in*")));

    for (const Played &e : everyStatusKind())
        rig.controller.sendEvent(e.status, e.data1, e.data2);
    const QList<QByteArray> expected = messagesOf(everyStatusKind());
    QTRY_COMPARE((synth->collect(), synth->received().size()), expected.size());
    QCOMPARE(synth->received(), expected);
    const QSettings config(dir.filePath(QStringLiteral("config.ini")), QSettings::IniFormat);
    QCOMPARE(config.value(QStringLiteral("midiOutputPort")).toString(),
             QStringLiteral("Port:synth:pedals in"));

    // The synth quits: the output goes Off, said once.
    synth.reset();
    QTRY_COMPARE(rig.boxes.seen().size(), 1);
    QCOMPARE(rig.boxes.seen().at(0).text,
             QStringLiteral("The MIDI output is off: The MIDI port \"synth:pedals in\" has gone away."));
    QVERIFY(!out->isOn());
    rig.controller.sendEvent(0x90, 1, 2);
    QTRY_VERIFY(rig.window->handledPedalFrames() >= expected.size() + 1);
    QCOMPARE(rig.boxes.seen().size(), 1);
}

void TestMidiOut::noServer_choiceFailsWithBoxAndStaysOff()
{
    JackServer server; // named, never started: no server answers under that name
    ScopedCurrentDir dir;
    ControllerRig rig(QStringLiteral("QRX-10"));
    rig.window->midiOutputSink()->setBackend(MidiBackend::Jack);
    QCOMPARE(openMenu(*rig.window),
             (QStringList{QStringLiteral("Off*"), QStringLiteral("Virtual port 'Stompwright'")}));
    QVERIFY(choose(*rig.window, QStringLiteral("Virtual port 'Stompwright'")));
    QTRY_COMPARE(rig.boxes.seen().size(), 1);
    QCOMPARE(rig.boxes.seen().at(0).title, QStringLiteral("MIDI Output"));
    QCOMPARE(rig.boxes.seen().at(0).text,
             QStringLiteral("The MIDI output is off: The JACK server is not running."));
    QCOMPARE(openMenu(*rig.window).value(0), QStringLiteral("Off*"));
    const QSettings config(dir.filePath(QStringLiteral("config.ini")), QSettings::IniFormat);
    QCOMPARE(config.value(QStringLiteral("midiOutputPort")).toString(), QStringLiteral("Off"));
}

QTEST_MAIN(TestMidiOut)
#include "tst_midiout.moc"
