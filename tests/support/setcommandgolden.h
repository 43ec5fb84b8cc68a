#pragma once

#include "pedal/editorsnapshot.h"

#include <QList>
#include <QString>

/// Golden set-command bytes for an editor in which every selector holds a
/// different value, so each byte shows which selector it came from.
namespace SetCommandGolden {

/// One combination of pedal type, event, "Evert" and trigger mode, with the
/// 17 field bytes (6..22) it must produce, as spaced upper-case hex.
struct Row {
    const char *name;
    int pedalType;
    int event;
    bool inverted;
    int mode;
    QString fields;
};

/// The distinct editor: pedal "3" (index 2), message index 5, curve code 77.
EditorSnapshot distinctEditor();

/// The distinct editor with one row's pedal type, event, "Evert" and mode
/// applied; the other pedal types keep different events and the opposite "Evert".
EditorSnapshot editorFor(const Row &row);

QList<Row> rows();

/// Spaced upper-case hex, as the rows hold it.
QString spaced(const QByteArray &bytes);

} // namespace SetCommandGolden
