#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class QComboBox;

/// Name of MIDI controller number cc: "***" for numbers without a name,
/// "Invalid CC" outside 0..127.
QString ccName(int cc);

/// Name of MIDI note number note in an octave convention: 1 calls note 60
/// "C4", 2 "C3", 3 "C5". "Invalid Note" outside 0..127; empty for other modes.
QString noteName(int note, int mode);

/// Appends the 128 numbered controller items ("7) Volume"); does not clear first.
void fillCcCombo(QComboBox *box);

/// Clears the box and appends the 128 note items ("60 / C4") of a convention;
/// the box stays empty for a mode other than 1, 2 or 3.
void fillNoteCombo(QComboBox *box, int mode);

/// The texts, codes and item lists of the editor's selectors. Every list is
/// built once and shared, so refilling a selector costs one addItems call.
namespace Vocabulary {

/// Item text of each event code, index = code.
const QStringList &eventNames();
/// Event code of each item text.
QMap<QString, int> eventCodes();
/// Short key of an event code ("cc", "pc", "note", "pitch", "ch", "start",
/// "ctu", "stop", "tempo"); empty for an unknown code.
QString eventKey(int code);

const QStringList &pedalTypeItems();       ///< "Expression", "Switch", "Hi-Hat"
const QStringList &expressionEventItems(); ///< CC, NOTE, Pitch Bend, Channel Pressure
const QStringList &switchEventItems(bool withTempo); ///< CC, PC, NOTE, Stop, Continue, Start[, Tempo]
const QStringList &hatEventItems();        ///< CC, NOTE
const QStringList &triggerModeItems();     ///< "Single" .. "Decrease"
const QStringList &singleModeItems();      ///< "Single" only
const QStringList &legacySwitchStatusItems(); ///< "Stop", "Continue", "Start"

const QStringList &channelItems();         ///< "1" .. "16"
const QStringList &valueItems();           ///< "0" .. "127"
const QStringList &gainItems();            ///< "-50" .. "50"; value = index - 50
const QStringList &pitchBendItems();       ///< "0" .. "16383"
const QStringList &triggerLevelItems();    ///< "OFF", "1" .. "127"
const QStringList &pitchBendTriggerLevelItems(); ///< "OFF", "1" .. "16383"
const QStringList &plainControllerItems(); ///< "0" .. "127"
const QStringList &numberedControllerItems(); ///< "0) Bank MSB" .. "127) Poly On"
/// "%1 / %2" of number and name for notes 0..127; empty for an unknown mode.
const QStringList &noteItems(int mode);

} // namespace Vocabulary
