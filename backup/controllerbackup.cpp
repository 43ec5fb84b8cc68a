#include "backup/controllerbackup.h"

#include "core/savefile.h"

#include "pedal/vocabulary.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSet>

namespace {

/// The largest value of a number selector: its item count less one.
int largest(const QStringList &items)
{
    return items.size() - 1;
}

const QStringList &eventsOffered(int pedalType)
{
    switch (pedalType) {
    case PedalTypeExpression: return Vocabulary::expressionEventItems();
    case PedalTypeSwitch: return Vocabulary::switchEventItems(true);
    default: return Vocabulary::hatEventItems();
    }
}

bool isSwitchTransport(const PedalMessage &m)
{
    return m.pedalType == PedalTypeSwitch
           && (m.event == EventStart || m.event == EventContinue || m.event == EventStop
               || m.event == EventTempo);
}

bool isPitchBend(const PedalMessage &m)
{
    return m.pedalType == PedalTypeExpression && m.event == EventPitchBend;
}

int triggerLevel(const PedalMessage &m)
{
    return isPitchBend(m) ? m.triggerLevel + 256 * m.triggerLevelHigh : m.triggerLevel;
}

QString outOfRange(const QString &what, int shown, int lowest, int highest)
{
    return QStringLiteral("the %1 %2 is out of range (%3 to %4)")
        .arg(what).arg(shown).arg(lowest).arg(highest);
}

QString noteText(int note)
{
    return Vocabulary::noteItems(1).value(note);
}

/// Keys of the file.
namespace Key {
const QString formatVersion = QStringLiteral("formatVersion");
const QString model = QStringLiteral("model");
const QString firmwareVersion = QStringLiteral("firmwareVersion");
const QString date = QStringLiteral("date");
const QString pedalCount = QStringLiteral("pedalCount");
const QString partial = QStringLiteral("partial");
const QString slotList = QStringLiteral("slots");
const QString pedal = QStringLiteral("pedal");
const QString message = QStringLiteral("message");
const QString empty = QStringLiteral("empty");
const QString bytes = QStringLiteral("bytes");
const QString fields = QStringLiteral("fields");
} // namespace Key

/// A whole number in the JSON value, or false.
bool wholeNumber(const QJsonValue &value, int *out)
{
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    if (d < -1e9 || d > 1e9 || d != double(qint64(d)))
        return false;
    *out = int(d);
    return true;
}

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

/// 17 two-digit hexadecimal numbers separated by single blanks.
bool parseHex(const QString &text, QByteArray *out)
{
    if (text.size() != PedalMessage::FieldCount * 3 - 1)
        return false;
    QByteArray bytes;
    for (int i = 0; i < PedalMessage::FieldCount; ++i) {
        if (i > 0 && text.at(i * 3 - 1) != QLatin1Char(' '))
            return false;
        const int high = hexDigit(text.at(i * 3));
        const int low = hexDigit(text.at(i * 3 + 1));
        if (high < 0 || low < 0)
            return false;
        bytes.append(char(high * 16 + low));
    }
    *out = bytes;
    return true;
}

using Reading = ControllerBackup::Reading;

Reading refuse(const QString &problem)
{
    Reading r;
    r.problem = problem;
    return r;
}

} // namespace

const ControllerBackup::Entry *ControllerBackup::find(int pedal, int slot) const
{
    for (const Entry &e : entries) {
        if (e.pedal == pedal && e.slot == slot)
            return &e;
    }
    return nullptr;
}

int ControllerBackup::definitionCount() const
{
    return int(std::count_if(entries.cbegin(), entries.cend(),
                             [](const Entry &e) { return !e.empty; }));
}

QString ControllerBackup::placeName(int pedal, int slot)
{
    return QStringLiteral("pedal %1, message %2").arg(pedal + 1).arg(slot + 1);
}

QString ControllerBackup::hexBytes(const PedalMessage &m)
{
    return QString::fromLatin1(m.toFields().toHex(' ').toUpper());
}

QString ControllerBackup::definitionProblem(const PedalMessage &m)
{
    if (m.pedalType < PedalTypeExpression || m.pedalType > PedalTypeHiHat)
        return QStringLiteral("the pedal type %1 is not known").arg(m.pedalType);
    const QString type = Vocabulary::pedalTypeItems().at(m.pedalType - 1);
    const QString event = Vocabulary::eventNames().value(m.event);
    if (event.isEmpty() || !eventsOffered(m.pedalType).contains(event))
        return QStringLiteral("the event %1 is not offered for a %2 pedal").arg(m.event).arg(type);
    if (m.message > largest(Vocabulary::channelItems()))
        return outOfRange(QStringLiteral("message"), m.message + 1, 1, 16);
    if (m.channel > largest(Vocabulary::channelItems()))
        return outOfRange(QStringLiteral("channel"), m.channel + 1, 1, 16);
    const int modes = isSwitchTransport(m) ? largest(Vocabulary::singleModeItems())
                                           : largest(Vocabulary::triggerModeItems());
    if (m.triggerMode > modes)
        return QStringLiteral("the trigger mode %1 is not offered for %2").arg(m.triggerMode).arg(event);
    const int percent = largest(Vocabulary::gainItems());
    if (m.gain > percent)
        return outOfRange(QStringLiteral("gain"), m.gain - 50, -50, 50);
    if (m.curve > percent)
        return outOfRange(QStringLiteral("curve"), m.curve - 50, -50, 50);
    if (m.curveCode > percent)
        return outOfRange(QStringLiteral("curve code"), m.curveCode, 0, percent);

    const int value = largest(Vocabulary::valueItems());
    if (m.pedalType == PedalTypeSwitch && m.event == EventTempo) {
        // The tempo 500 as a 16-bit number, or nothing on the fourth pedal.
        const bool tempo = m.valueA == 0x01 && m.valueB == 0xF4;
        const bool none = m.valueA == 0 && m.valueB == 0;
        if (m.dataA != 0 || m.dataB != 0 || !(tempo || none))
            return QStringLiteral("the Tempo values %1 %2 are neither 01 F4 nor 00 00")
                .arg(m.valueA, 2, 16, QLatin1Char('0')).arg(m.valueB, 2, 16, QLatin1Char('0'));
    } else if (isSwitchTransport(m)) {
        if (m.dataA != 0 || m.dataB != 0 || m.valueA != 0 || m.valueB != 0)
            return QStringLiteral("%1 carries no number or range, yet its bytes 11 to 14 are set")
                .arg(event);
    } else {
        for (const quint8 byte : {m.dataA, m.dataB, m.valueA, m.valueB}) {
            if (byte > value)
                return outOfRange(QStringLiteral("number or range value"), byte, 0, value);
        }
    }

    if (isPitchBend(m)) {
        const int highest = largest(Vocabulary::pitchBendTriggerLevelItems());
        if (triggerLevel(m) > highest)
            return outOfRange(QStringLiteral("trigger level"), triggerLevel(m), 0, highest);
    } else {
        if (m.triggerLevelHigh != 0)
            return QStringLiteral("the trigger level's high byte is set outside Pitch Bend");
        if (m.triggerLevel > largest(Vocabulary::triggerLevelItems()))
            return outOfRange(QStringLiteral("trigger level"), m.triggerLevel, 0, value);
    }
    if (m.pressNote > value)
        return outOfRange(QStringLiteral("press note"), m.pressNote, 0, value);
    if (m.releaseNote > value)
        return outOfRange(QStringLiteral("release note"), m.releaseNote, 0, value);
    return QString();
}

QJsonObject ControllerBackup::describe(const PedalMessage &m)
{
    QJsonObject f;
    f.insert(QStringLiteral("pedalType"),
             Vocabulary::pedalTypeItems().value(m.pedalType - 1, QString::number(m.pedalType)));
    f.insert(QStringLiteral("event"), Vocabulary::eventNames().value(m.event, QString::number(m.event)));
    const auto range = [&f](int first, int second) {
        f.insert(QStringLiteral("range"), QJsonArray{first, second});
    };
    switch (m.event) {
    case EventCc:
        f.insert(QStringLiteral("number"), Vocabulary::numberedControllerItems().value(m.dataA));
        range(m.valueA, m.valueB);
        break;
    case EventNote:
        f.insert(QStringLiteral("number"), noteText(m.dataA));
        range(m.valueA, m.valueB);
        break;
    case EventPitchBend:
        // 14-bit ends: high seven bits in the data bytes, low seven in the values.
        range(m.dataA * 128 + m.valueA, m.dataB * 128 + m.valueB);
        break;
    case EventChannelPressure:
    case EventProgramChange:
        range(m.dataA, m.dataB);
        break;
    case EventTempo:
        f.insert(QStringLiteral("tempo"), m.valueA * 256 + m.valueB);
        break;
    default:
        break;
    }
    if (!isSwitchTransport(m))
        f.insert(QStringLiteral("channel"), m.channel + 1);
    if (m.pedalType == PedalTypeSwitch) {
        f.insert(QStringLiteral("triggerMode"),
                 Vocabulary::triggerModeItems().value(m.triggerMode, QString::number(m.triggerMode)));
    } else {
        f.insert(QStringLiteral("gain"), m.gain - 50);
        f.insert(QStringLiteral("curve"), m.curve - 50);
        f.insert(QStringLiteral("curveCode"), m.curveCode);
        const int level = triggerLevel(m);
        f.insert(QStringLiteral("triggerLevel"),
                 level == 0 ? QJsonValue(QStringLiteral("OFF")) : QJsonValue(level));
        f.insert(QStringLiteral("pressNote"), noteText(m.pressNote));
        f.insert(QStringLiteral("releaseNote"), noteText(m.releaseNote));
    }
    return f;
}

QByteArray ControllerBackup::toJson() const
{
    QJsonArray slotArray;
    for (const Entry &e : entries) {
        QJsonObject o;
        o.insert(Key::pedal, e.pedal + 1);
        o.insert(Key::message, e.slot + 1);
        if (e.empty) {
            o.insert(Key::empty, true);
        } else {
            o.insert(Key::bytes, hexBytes(e.message));
            o.insert(Key::fields, describe(e.message));
        }
        slotArray.append(o);
    }
    QJsonObject root;
    root.insert(Key::formatVersion, FormatVersion);
    root.insert(Key::model, model);
    root.insert(Key::firmwareVersion, firmwareVersion);
    root.insert(Key::date, created.toUTC().toString(Qt::ISODate));
    root.insert(Key::pedalCount, pedalCount);
    root.insert(Key::partial, partial);
    root.insert(Key::slotList, slotArray);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ControllerBackup::Reading ControllerBackup::fromJson(const QByteArray &json)
{
    if (json.size() > MaxFileSize)
        return refuse(QStringLiteral("the file is larger than %1 KiB").arg(MaxFileSize / 1024));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return refuse(QStringLiteral("the file is not valid JSON (%1 at byte %2)")
                          .arg(error.errorString())
                          .arg(error.offset));
    if (!doc.isObject())
        return refuse(QStringLiteral("the file holds no backup object"));
    const QJsonObject root = doc.object();

    int version = 0;
    if (!wholeNumber(root.value(Key::formatVersion), &version))
        return refuse(QStringLiteral("the format version is missing"));
    if (version != FormatVersion)
        return refuse(QStringLiteral("the format version %1 is not known (this program reads %2)")
                          .arg(version)
                          .arg(FormatVersion));

    ControllerBackup b;
    const QJsonValue model = root.value(Key::model);
    if (!model.isString() || model.toString().trimmed().isEmpty())
        return refuse(QStringLiteral("the controller model is missing"));
    b.model = model.toString();
    const QJsonValue firmware = root.value(Key::firmwareVersion);
    if (!firmware.isString())
        return refuse(QStringLiteral("the firmware version is missing"));
    b.firmwareVersion = firmware.toString();
    b.created = QDateTime::fromString(root.value(Key::date).toString(), Qt::ISODate);
    if (!b.created.isValid())
        return refuse(QStringLiteral("the date is missing or not an ISO 8601 time"));
    b.created = b.created.toUTC();
    if (!wholeNumber(root.value(Key::pedalCount), &b.pedalCount) || b.pedalCount < 1
        || b.pedalCount > MaxPedals)
        return refuse(QStringLiteral("the pedal count is missing or not between 1 and %1")
                          .arg(MaxPedals));
    const QJsonValue partial = root.value(Key::partial);
    if (!partial.isBool())
        return refuse(QStringLiteral("the partial mark is missing"));
    b.partial = partial.toBool();

    const QJsonValue slotsValue = root.value(Key::slotList);
    if (!slotsValue.isArray())
        return refuse(QStringLiteral("the list of message slots is missing"));
    const QJsonArray slotArray = slotsValue.toArray();
    QSet<int> seen;
    for (int i = 0; i < slotArray.size(); ++i) {
        const QString where = QStringLiteral("slot entry %1").arg(i + 1);
        if (!slotArray.at(i).isObject())
            return refuse(QStringLiteral("%1 is not an object").arg(where));
        const QJsonObject o = slotArray.at(i).toObject();
        Entry e;
        if (!wholeNumber(o.value(Key::pedal), &e.pedal) || e.pedal < 1 || e.pedal > b.pedalCount)
            return refuse(QStringLiteral("%1: the pedal is missing or not between 1 and %2")
                              .arg(where)
                              .arg(b.pedalCount));
        if (!wholeNumber(o.value(Key::message), &e.slot) || e.slot < 1 || e.slot > SlotCount)
            return refuse(QStringLiteral("%1: the message is missing or not between 1 and %2")
                              .arg(where)
                              .arg(SlotCount));
        --e.pedal;
        --e.slot;
        const QString place = placeName(e.pedal, e.slot);
        if (seen.contains(e.pedal * SlotCount + e.slot))
            return refuse(QStringLiteral("%1 appears twice").arg(place));
        seen.insert(e.pedal * SlotCount + e.slot);

        const QJsonValue empty = o.value(Key::empty);
        if (!empty.isUndefined() && !empty.isBool())
            return refuse(QStringLiteral("%1: the empty mark is not true or false").arg(place));
        e.empty = empty.toBool(false);
        if (e.empty) {
            if (o.contains(Key::bytes) || o.contains(Key::fields))
                return refuse(QStringLiteral("%1 is marked empty yet holds a definition").arg(place));
            b.entries.append(e);
            continue;
        }
        QByteArray bytes;
        if (!parseHex(o.value(Key::bytes).toString(), &bytes))
            return refuse(QStringLiteral("%1: the bytes are not 17 bytes of hexadecimal").arg(place));
        PedalMessage::fromFields(bytes, &e.message);
        if (e.message.pedal != e.pedal || e.message.message != e.slot)
            return refuse(QStringLiteral("%1: the bytes name %2").arg(place, placeName(e.message.pedal, e.message.message)));
        const QString problem = definitionProblem(e.message);
        if (!problem.isEmpty())
            return refuse(QStringLiteral("%1: %2").arg(place, problem));
        if (o.value(Key::fields) != QJsonValue(describe(e.message)))
            return refuse(QStringLiteral("%1: the decoded fields do not match the bytes").arg(place));
        b.entries.append(e);
    }
    Reading r;
    r.ok = true;
    r.backup = b;
    return r;
}

ControllerBackup::Reading ControllerBackup::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("the file cannot be opened (%1)").arg(file.errorString()));
    // One byte more than allowed tells a file that is too large, whatever its size claims.
    const QByteArray contents = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(QStringLiteral("the file cannot be read (%1)").arg(file.errorString()));
    return fromJson(contents);
}

bool ControllerBackup::save(const QString &path, QString *error) const
{
    return saveFileAtomically(path, toJson(), error);
}
