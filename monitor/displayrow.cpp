#include "monitor/displayrow.h"

#include "pedal/vocabulary.h"

namespace {

const QString &dashes()
{
    static const QString text = QStringLiteral("--");
    return text;
}

QString named(int number, const QString &name)
{
    return QString::number(number) + QLatin1Char('/') + name;
}

} // namespace

DisplayRow DisplayRow::of(const PedalEvent &e, bool showCCName, int noteNameMode)
{
    DisplayRow row;
    row.number = dashes();
    row.valueText = dashes();
    row.channel = dashes();

    switch (e.status) {
    case 0xF8: row.event = QStringLiteral("Tempo"); return row;
    case 0xFA: row.event = QStringLiteral("Start"); return row;
    case 0xFB: row.event = QStringLiteral("Continue"); return row;
    case 0xFC: row.event = QStringLiteral("Stop"); return row;
    default: break;
    }

    row.channel = QString::number(e.channel);
    switch (e.kind) {
    case 0x80:
    case 0x90:
        row.event = e.kind == 0x80 ? QStringLiteral("Note Off") : QStringLiteral("Note On");
        row.number = named(e.data1, noteName(e.data1, noteNameMode));
        row.value = e.data2;
        break;
    case 0xB0:
        row.event = QStringLiteral("CC");
        row.number = showCCName ? named(e.data1, ccName(e.data1)) : QString::number(e.data1);
        row.value = e.data2;
        break;
    case 0xC0:
        row.event = QStringLiteral("PC");
        row.number = QString::number(e.data1);
        return row;
    case 0xD0:
        row.event = QStringLiteral("CH");
        row.value = e.data1;
        break;
    case 0xE0:
        row.event = QStringLiteral("Pitch Bend");
        row.value = (e.data2 << 7) | e.data1;
        break;
    default:
        // Any other kind below F0, and system statuses other than the four above.
        row.event = QStringLiteral("Unknown");
        if (e.status >= 0xF0)
            row.channel = dashes();
        return row;
    }
    row.valueText = QString::number(row.value);
    return row;
}
