#include "pedal/vocabulary.h"

#include "pedal/numberitems.h"
#include "pedal/pedalmessage.h"

#include <QComboBox>

namespace {

const char *const controllerNames[128] = {
    "Bank MSB", "Modulation", "Breath", nullptr, "Foot Controller", "Portamento Time",
    "Data Entry MSB", "Volume", "Balance", nullptr, "PAN", "Expression", // 0..11
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // 12..19
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // 20..27
    nullptr, nullptr, nullptr, nullptr, "Bank LSB", nullptr, nullptr, nullptr, // 28..35
    nullptr, nullptr, "Data Entry LSB", nullptr, nullptr, nullptr, nullptr, nullptr, // 36..43
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // 44..51
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // 52..59
    nullptr, nullptr, nullptr, nullptr, "Pedal (Sustain)", "Portamento", "Pedal-Sostenuto",
    "Pedal-Soft", nullptr, "Hold 2", nullptr, "Harmonic Content", "Release Time",
    "Attack Time", "Brightness", nullptr, // 60..75
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // 76..83
    "Portamento Ctrl", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Reverb Depth",
    "Tremolo Depth", "Chorus Depth", "Celeste Depth", "Phaser Depth", "Data Increment",
    "Data Decrement", "NRPN LSB", "NRPN MSB", "RPN LSB", "RPN MSB", // 84..101
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, // 102..111
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // 112..119
    "All Sound Off", "Reset Cntrl", "Local Cntrl", "All Notes Off", "Omni Off", "Omni On",
    "Mono On", "Poly On", // 120..127
};

const char *const pitchLetters[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                      "F#", "G",  "G#", "A",  "A#", "B"};

QStringList buildNoteItems(int mode)
{
    QStringList items;
    items.reserve(128);
    for (int n = 0; n < 128; ++n)
        items.append(QStringLiteral("%1 / %2").arg(n).arg(noteName(n, mode)));
    return items;
}

} // namespace

QString ccName(int cc)
{
    if (static_cast<unsigned>(cc) > 127u)
        return QStringLiteral("Invalid CC");
    const char *name = controllerNames[cc];
    return name ? QString::fromLatin1(name) : QStringLiteral("***");
}

QString noteName(int note, int mode)
{
    if (static_cast<unsigned>(note) > 127u)
        return QStringLiteral("Invalid Note");
    int octave;
    switch (mode) {
    case 1: octave = note / 12 - 1; break;
    case 2: octave = note / 12 - 2; break;
    case 3: octave = note / 12; break;
    default: return QString();
    }
    return QString::fromLatin1(pitchLetters[note % 12]) + QString::number(octave);
}

void fillCcCombo(QComboBox *box)
{
    box->addItems(Vocabulary::numberedControllerItems());
}

void fillNoteCombo(QComboBox *box, int mode)
{
    box->clear();
    box->addItems(Vocabulary::noteItems(mode));
}

namespace Vocabulary {

const QStringList &eventNames()
{
    static const QStringList names = {
        QStringLiteral("Continuous Controllers (CC)"),
        QStringLiteral("Program Change (PC)"),
        QStringLiteral("NOTE"),
        QStringLiteral("Pitch Bend"),
        QStringLiteral("Channel Pressure"),
        QStringLiteral("Start"),
        QStringLiteral("Continue"),
        QStringLiteral("Stop"),
        QStringLiteral("Tempo"),
    };
    return names;
}

QMap<QString, int> eventCodes()
{
    QMap<QString, int> codes;
    const QStringList &names = eventNames();
    for (int code = 0; code < names.size(); ++code)
        codes.insert(names.at(code), code);
    return codes;
}

QString eventKey(int code)
{
    static const char *const keys[] = {"cc",    "pc",  "note", "pitch", "ch",
                                       "start", "ctu", "stop", "tempo"};
    if (static_cast<unsigned>(code) >= sizeof(keys) / sizeof(keys[0]))
        return QString();
    return QString::fromLatin1(keys[code]);
}

const QStringList &pedalTypeItems()
{
    static const QStringList items = {QStringLiteral("Expression"), QStringLiteral("Switch"),
                                      QStringLiteral("Hi-Hat")};
    return items;
}

const QStringList &expressionEventItems()
{
    static const QStringList items = {eventNames().at(EventCc), eventNames().at(EventNote),
                                      eventNames().at(EventPitchBend),
                                      eventNames().at(EventChannelPressure)};
    return items;
}

const QStringList &switchEventItems(bool withTempo)
{
    static const QStringList without = {
        eventNames().at(EventCc),   eventNames().at(EventProgramChange),
        eventNames().at(EventNote), eventNames().at(EventStop),
        eventNames().at(EventContinue), eventNames().at(EventStart)};
    static const QStringList with = QStringList(without) << eventNames().at(EventTempo);
    return withTempo ? with : without;
}

const QStringList &hatEventItems()
{
    static const QStringList items = {eventNames().at(EventCc), eventNames().at(EventNote)};
    return items;
}

const QStringList &triggerModeItems()
{
    static const QStringList items = {QStringLiteral("Single"), QStringLiteral("Toggle"),
                                      QStringLiteral("Reset"), QStringLiteral("Increase"),
                                      QStringLiteral("Decrease")};
    return items;
}

const QStringList &singleModeItems()
{
    static const QStringList items = {QStringLiteral("Single")};
    return items;
}

const QStringList &legacySwitchStatusItems()
{
    static const QStringList items = {QStringLiteral("Stop"), QStringLiteral("Continue"),
                                      QStringLiteral("Start")};
    return items;
}

const QStringList &channelItems()
{
    static const QStringList items = numberItems(1, 16);
    return items;
}

const QStringList &valueItems()
{
    static const QStringList items = numberItems(0, 127);
    return items;
}

const QStringList &gainItems()
{
    static const QStringList items = numberItems(-50, 50);
    return items;
}

const QStringList &pitchBendItems()
{
    static const QStringList items = numberItems(0, 16383);
    return items;
}

const QStringList &triggerLevelItems()
{
    static const QStringList items = offThenNumbers(127);
    return items;
}

const QStringList &pitchBendTriggerLevelItems()
{
    static const QStringList items = offThenNumbers(16383);
    return items;
}

const QStringList &plainControllerItems()
{
    return valueItems();
}

const QStringList &numberedControllerItems()
{
    static const QStringList items = [] {
        QStringList list;
        list.reserve(128);
        for (int n = 0; n < 128; ++n)
            list.append(QString::number(n) + QStringLiteral(") ") + ccName(n));
        return list;
    }();
    return items;
}

const QStringList &noteItems(int mode)
{
    static const QStringList c4 = buildNoteItems(1);
    static const QStringList c3 = buildNoteItems(2);
    static const QStringList c5 = buildNoteItems(3);
    static const QStringList none;
    switch (mode) {
    case 1: return c4;
    case 2: return c3;
    case 3: return c5;
    default: return none;
    }
}

} // namespace Vocabulary
