#include "app/accessiblenames.h"

#include <QHash>
#include <QRegularExpression>

namespace AccessibleNames {

namespace {

QString pedalName(const QString &key)
{
    static const QHash<QString, QString> names = {{QStringLiteral("expression"),
                                                   QStringLiteral("Expression")},
                                                  {QStringLiteral("switch"), QStringLiteral("Switch")},
                                                  {QStringLiteral("hat"), QStringLiteral("Hi-hat")}};
    return names.value(key);
}

QString eventName(const QString &key)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("cc"), QStringLiteral("CC")},
        {QStringLiteral("note"), QStringLiteral("Note")},
        {QStringLiteral("pitch"), QStringLiteral("Pitch Bend")},
        {QStringLiteral("ch"), QStringLiteral("Channel Pressure")},
        {QStringLiteral("pc"), QStringLiteral("PC")},
        {QStringLiteral("stop"), QStringLiteral("Stop")},
        {QStringLiteral("ctu"), QStringLiteral("Continue")},
        {QStringLiteral("start"), QStringLiteral("Start")},
        {QStringLiteral("tempo"), QStringLiteral("Tempo")}};
    return names.value(key);
}

/// The caption of a field, by the last part of its object name; the first
/// field is a controller number on CC pages and a note number on Note pages.
QString fieldName(const QString &event, const QString &key)
{
    if (key == QLatin1String("ctl"))
        return event == QLatin1String("note") ? QStringLiteral("Note No.")
                                              : QStringLiteral("Controller No.");
    static const QHash<QString, QString> names = {
        {QStringLiteral("chl"), QStringLiteral("MIDI Channel")},
        {QStringLiteral("nno"), QStringLiteral("Note No.")},
        {QStringLiteral("valmin"), QStringLiteral("Min")},
        {QStringLiteral("val1"), QStringLiteral("Min")},
        {QStringLiteral("valmax"), QStringLiteral("Max")},
        {QStringLiteral("val2"), QStringLiteral("Max")},
        {QStringLiteral("gain"), QStringLiteral("Gain")},
        {QStringLiteral("ql"), QStringLiteral("Curve")},
        {QStringLiteral("mode"), QStringLiteral("Trigger Mode")}};
    return names.value(key);
}

} // namespace

QString forObjectName(const QString &objectName)
{
    static const QHash<QString, QString> fixed = {
        {QStringLiteral("comboBox_ComDevices"), QStringLiteral("Controller")},
        {QStringLiteral("Pedal_Number"), QStringLiteral("Pedal Number")},
        {QStringLiteral("Message_Number"), QStringLiteral("Message Number")},
        {QStringLiteral("Pedal_Number_2"), QStringLiteral("Pedal Number")},
        {QStringLiteral("Message_Number_2"), QStringLiteral("Message Number")},
        {QStringLiteral("tableView"), QStringLiteral("Expression Pedal MIDI Data")},
        {QStringLiteral("tableView_2"), QStringLiteral("Switch Pedal MIDI Data")},
        {QStringLiteral("tableView_3"), QStringLiteral("Hi-hat Pedal MIDI Data")},
        {QStringLiteral("pendal_type_comboBox0"), QStringLiteral("Pedal Type")},
        {QStringLiteral("pendal_type_comboBox1"), QStringLiteral("Pedal Type")},
        {QStringLiteral("pendal_type_comboBox2"), QStringLiteral("Pedal Type")}};
    const auto found = fixed.constFind(objectName);
    if (found != fixed.constEnd())
        return *found;

    static const QRegularExpression field(
        QStringLiteral("^(expression|switch|hat)_(cc|note|pitch|ch|pc|stop|ctu|start|tempo)"
                       "_comboBox_(\\w+)$"));
    static const QRegularExpression event(QStringLiteral("^(expression|switch|hat)_comboBox[0-6]$"));
    static const QRegularExpression trigger(
        QStringLiteral("^(expression|hat)_(trigger_level|press_note|release_note)$"));

    QRegularExpressionMatch m = field.match(objectName);
    if (m.hasMatch()) {
        const QString caption = fieldName(m.captured(2), m.captured(3));
        if (caption.isEmpty())
            return QString();
        return QStringLiteral("%1 %2 %3").arg(pedalName(m.captured(1)), eventName(m.captured(2)),
                                              caption);
    }
    m = event.match(objectName);
    if (m.hasMatch())
        return QStringLiteral("%1 Event").arg(pedalName(m.captured(1)));
    m = trigger.match(objectName);
    if (m.hasMatch()) {
        static const QHash<QString, QString> captions = {
            {QStringLiteral("trigger_level"), QStringLiteral("Trigger Level")},
            {QStringLiteral("press_note"), QStringLiteral("Press Note")},
            {QStringLiteral("release_note"), QStringLiteral("Release Note")}};
        return QStringLiteral("%1 %2").arg(pedalName(m.captured(1)), captions.value(m.captured(2)));
    }
    return QString();
}

} // namespace AccessibleNames
