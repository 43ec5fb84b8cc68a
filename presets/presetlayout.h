#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// What a preset file holds: groups of selector object names, each stored
/// with the selector's current index, and the order in which loading applies
/// them. No widgets here.
namespace PresetLayout {

enum class Save {
    File,   ///< "Save File": Message_Number_2, no Pedal_Number
    FileAs, ///< "Save File As": Pedal_Number, no Message_Number_2
};

/// One loading step: a single selector, or a range pair applied so that the
/// minimum never passes the maximum on the way.
struct Step {
    QString key;    ///< the single selector, or the pair's minimum
    QString maxKey; ///< the pair's maximum; empty for a single selector
    bool isPair() const { return !maxKey.isEmpty(); }
};

struct Group {
    QString name;       ///< "Expression", "Switch", "Hat"
    QList<Step> steps;  ///< in loading order
};

/// The three groups in loading order.
const QList<Group> &groups();

/// The keys a save action writes in a group, in loading order.
QStringList keysWritten(const Group &group, Save save);

/// Whether a range pair's minimum goes first: when the stored minimum is
/// below the maximum selector's current index.
inline bool minimumFirst(int storedMinimum, int currentMaximum)
{
    return storedMinimum < currentMaximum;
}

/// The file name a save dialog's answer is written to: ".ini" is appended
/// unless the name already ends with it in any letter case.
QString withIniSuffix(const QString &fileName);

} // namespace PresetLayout
