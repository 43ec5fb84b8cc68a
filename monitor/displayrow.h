#pragma once

#include "monitor/pedalevent.h"

#include <QString>

/// The four texts one live event shows in the MIDI data tables (columns
/// STATUS, DATA1, DATA2, CHAN), and the number its value column shows.
struct DisplayRow
{
    QString event;
    QString number;
    QString valueText;
    QString channel;
    /// valueText as a number; 0 where it reads "--".
    int value = 0;

    /// showCCName adds the controller name to a CC's number; noteNameMode is
    /// the octave convention of noteName().
    static DisplayRow of(const PedalEvent &event, bool showCCName, int noteNameMode);

    /// "Note On" and "Note Off" rows.
    bool isNote() const { return event.contains(QLatin1String("Note"), Qt::CaseInsensitive); }
};
