// The controller backup file: what it holds, the checks that refuse a bad
// file with its first problem named, and round trips of random backups.
#include "backup/autobackups.h"
#include "backup/controllerbackup.h"
#include "pedal/configcommands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

PedalMessage fromHex(const char *hex)
{
    PedalMessage m;
    PedalMessage::fromFields(QByteArray::fromHex(hex), &m);
    return m;
}

/// Two pedals: an expression CC definition, a switch Tempo one and an empty slot.
ControllerBackup sample()
{
    ControllerBackup b;
    b.model = QStringLiteral("ZT-3");
    b.firmwareVersion = QStringLiteral("1.2.0");
    b.created = QDateTime(QDate(2026, 12, 9), QTime(22, 30, 5), Qt::UTC);
    b.pedalCount = 2;
    //                     p  m  t  ch ev dA dB vA vB mo ga tl pn rn cu cc th
    b.entries.append({0, 0, false, fromHex("00 00 01 03 00 07 00 00 7F 00 32 05 28 29 2D 11 00")});
    b.entries.append({0, 1, true, PedalMessage()});
    b.entries.append({1, 3, false, fromHex("01 03 02 00 08 00 00 01 F4 00 00 00 00 00 00 00 00")});
    return b;
}

QJsonObject sampleRoot()
{
    return QJsonDocument::fromJson(sample().toJson()).object();
}

QByteArray text(const QJsonObject &root)
{
    return QJsonDocument(root).toJson();
}

/// Changes one slot entry of the sample's JSON.
std::function<QByteArray()> withSlot(int index, std::function<void(QJsonObject &)> change)
{
    return [index, change] {
        QJsonObject root = sampleRoot();
        QJsonArray slotArray = root.value(QStringLiteral("slots")).toArray();
        QJsonObject entry = slotArray.at(index).toObject();
        change(entry);
        slotArray[index] = entry;
        root.insert(QStringLiteral("slots"), slotArray);
        return text(root);
    };
}

std::function<QByteArray()> withRoot(std::function<void(QJsonObject &)> change)
{
    return [change] {
        QJsonObject root = sampleRoot();
        change(root);
        return text(root);
    };
}

/// Sets a definition's bytes and the matching fields, so only the range check can refuse it.
std::function<QByteArray()> withDefinition(const char *hex)
{
    return withSlot(0, [hex](QJsonObject &e) {
        const PedalMessage m = fromHex(hex);
        e.insert(QStringLiteral("bytes"), ControllerBackup::hexBytes(m));
        e.insert(QStringLiteral("fields"), ControllerBackup::describe(m));
    });
}

int pick(QRandomGenerator &r, int highest)
{
    return int(r.bounded(quint32(highest + 1)));
}

/// A random definition the editor could have built for pedal p, slot s.
PedalMessage randomDefinition(QRandomGenerator &r, int p, int s)
{
    EditorSnapshot e;
    e.pedalIndex = p;
    e.pedalText = QString::number(p + 1);
    e.messageIndex = s;
    e.pedalType = 1 + pick(r, 2);
    e.curveCode = pick(r, 100);
    const auto page = [&r](EditorSnapshot::RangePage &pg, int highest) {
        pg = {pick(r, 15), pick(r, 127), pick(r, highest), pick(r, highest), pick(r, 100),
              pick(r, 100)};
    };
    const auto switchPage = [&r](EditorSnapshot::SwitchPage &pg) {
        pg = {pick(r, 4), pick(r, 15), pick(r, 127), pick(r, 127), pick(r, 127)};
    };
    const int expressionEvents[] = {EventCc, EventNote, EventPitchBend, EventChannelPressure};
    const int switchEvents[] = {EventCc, EventProgramChange, EventNote, EventStart,
                                EventContinue, EventStop, EventTempo};
    e.expressionEvent = expressionEvents[pick(r, 3)];
    page(e.expressionCc, 127);
    page(e.expressionNote, 127);
    page(e.expressionPitch, 16383);
    page(e.expressionPressure, 127);
    e.expressionTriggerLevel = pick(r, e.expressionEvent == EventPitchBend ? 16383 : 127);
    e.expressionPressNote = pick(r, 127);
    e.expressionReleaseNote = pick(r, 127);
    e.expressionInverted = r.bounded(2);
    e.switchEvent = switchEvents[pick(r, 6)];
    switchPage(e.switchCc);
    switchPage(e.switchNote);
    switchPage(e.switchPc);
    // The shown switch page's mode: only CC, NOTE and PC offer more than "Single".
    e.switchShownMode = e.switchEvent == EventCc ? e.switchCc.mode
                        : e.switchEvent == EventNote ? e.switchNote.mode
                        : e.switchEvent == EventProgramChange ? e.switchPc.mode
                                                              : 0;
    if (e.pedalType != PedalTypeSwitch)
        e.switchShownMode = pick(r, 4);
    e.switchInverted = r.bounded(2);
    e.hatEvent = r.bounded(2) ? EventCc : EventNote;
    page(e.hatCc, 127);
    page(e.hatNote, 127);
    e.hatTriggerLevel = pick(r, 127);
    e.hatPressNote = pick(r, 127);
    e.hatReleaseNote = pick(r, 127);
    e.hatInverted = r.bounded(2);
    return ConfigCommands::buildPedalMessage(e);
}

ControllerBackup randomBackup(QRandomGenerator &r)
{
    ControllerBackup b;
    b.model = QStringLiteral("QRX-%1").arg(pick(r, 99));
    b.firmwareVersion = QStringLiteral("%1.%2.%3").arg(pick(r, 9)).arg(pick(r, 9)).arg(pick(r, 9));
    b.created = QDateTime::fromSecsSinceEpoch(1700000000 + pick(r, 100000000), Qt::UTC);
    b.pedalCount = 1 + pick(r, ControllerBackup::MaxPedals - 1);
    b.partial = r.bounded(2);
    QList<int> places;
    for (int i = 0; i < b.pedalCount * ControllerBackup::SlotCount; ++i)
        places.append(i);
    std::shuffle(places.begin(), places.end(), r);
    places = places.mid(0, pick(r, places.size()));
    for (int place : qAsConst(places)) {
        const int p = place / ControllerBackup::SlotCount;
        const int s = place % ControllerBackup::SlotCount;
        const bool empty = r.bounded(5) == 0;
        b.entries.append({p, s, empty, empty ? PedalMessage() : randomDefinition(r, p, s)});
    }
    return b;
}

} // namespace

class TestBackupFile : public QObject
{
    Q_OBJECT

private slots:
    void toJson_holdsBytesFieldsAndEmptySlots();
    void badFiles_refusedWithTheFirstProblemNamed();
    void randomBackups_roundTripExactly();
    void editorDefinitions_allPassTheRangeChecks();
    void save_writesAtomicallyAndReportsFailures();
    void load_refusesOversizedFilesUnread();
    void dataFiles_readAsWritten();
    void autoBackupNames_parseBackAndSortByTime_data();
    void autoBackupNames_parseBackAndSortByTime();
    void autoBackupNames_foreignNamesNotTaken();
    void autoBackupPrune_keepsTheNewestOfOneModelOnly();
};

void TestBackupFile::toJson_holdsBytesFieldsAndEmptySlots()
{
    const QJsonObject root = sampleRoot();
    QCOMPARE(root.value("formatVersion").toInt(), 1);
    QCOMPARE(root.value("model").toString(), QStringLiteral("ZT-3"));
    QCOMPARE(root.value("firmwareVersion").toString(), QStringLiteral("1.2.0"));
    QCOMPARE(root.value("date").toString(), QStringLiteral("2026-12-09T22:30:05Z"));
    QCOMPARE(root.value("pedalCount").toInt(), 2);
    QCOMPARE(root.value("partial").toBool(true), false);
    const QJsonArray entries = root.value("slots").toArray();
    QCOMPARE(entries.size(), 3);

    const QJsonObject cc = entries.at(0).toObject();
    QCOMPARE(cc.value("pedal").toInt(), 1);
    QCOMPARE(cc.value("message").toInt(), 1);
    QCOMPARE(cc.value("bytes").toString(),
             QStringLiteral("00 00 01 03 00 07 00 00 7F 00 32 05 28 29 2D 11 00"));
    const QJsonObject f = cc.value("fields").toObject();
    QCOMPARE(f.value("pedalType").toString(), QStringLiteral("Expression"));
    QCOMPARE(f.value("event").toString(), QStringLiteral("Continuous Controllers (CC)"));
    QCOMPARE(f.value("channel").toInt(), 4);
    QCOMPARE(f.value("number").toString(), QStringLiteral("7) Volume"));
    QCOMPARE(f.value("range").toArray(), (QJsonArray{0, 127}));
    QCOMPARE(f.value("gain").toInt(), 0);
    QCOMPARE(f.value("curve").toInt(), -5);
    QCOMPARE(f.value("triggerLevel").toInt(), 5);
    QCOMPARE(f.value("pressNote").toString(), QStringLiteral("40 / E2"));

    QCOMPARE(entries.at(1).toObject(), (QJsonObject{{"pedal", 1}, {"message", 2}, {"empty", true}}));

    const QJsonObject tempo = entries.at(2).toObject().value("fields").toObject();
    QCOMPARE(tempo.value("event").toString(), QStringLiteral("Tempo"));
    QCOMPARE(tempo.value("tempo").toInt(), 500);
    QCOMPARE(tempo.value("triggerMode").toString(), QStringLiteral("Single"));
    QVERIFY(!tempo.contains("channel"));

    // Pitch Bend: 14-bit ends and trigger level.
    const QJsonObject bend =
        ControllerBackup::describe(fromHex("00 00 01 00 03 7F 00 7F 00 00 32 2C 00 00 32 00 01"));
    QCOMPARE(bend.value("range").toArray(), (QJsonArray{16383, 0}));
    QCOMPARE(bend.value("triggerLevel").toInt(), 300);
}

void TestBackupFile::badFiles_refusedWithTheFirstProblemNamed()
{
    const auto raw = [](const QByteArray &bytes) { return [bytes] { return bytes; }; };
    const QByteArray good = sample().toJson();
    struct Row {
        const char *name;
        std::function<QByteArray()> file;
        QString problem;
    };
    const QList<Row> rows = {
        {"truncated JSON", raw(good.left(good.size() / 2)), "the file is not valid JSON"},
        {"empty file", raw(QByteArray()), "the file is not valid JSON"},
        {"an array", raw("[1, 2]"), "the file holds no backup object"},
        {"too large", raw(QByteArray(ControllerBackup::MaxFileSize + 1, ' ')),
         "the file is larger than 1024 KiB"},
        {"no format version", withRoot([](QJsonObject &o) { o.remove("formatVersion"); }),
         "the format version is missing"},
        {"unknown format version", withRoot([](QJsonObject &o) { o.insert("formatVersion", 2); }),
         "the format version 2 is not known (this program reads 1)"},
        {"fractional format version", withRoot([](QJsonObject &o) { o.insert("formatVersion", 1.5); }),
         "the format version is missing"},
        {"no model", withRoot([](QJsonObject &o) { o.insert("model", " "); }),
         "the controller model is missing"},
        {"bad date", withRoot([](QJsonObject &o) { o.insert("date", "yesterday"); }),
         "the date is missing or not an ISO 8601 time"},
        {"pedal count 10", withRoot([](QJsonObject &o) { o.insert("pedalCount", 10); }),
         "the pedal count is missing or not between 1 and 9"},
        {"partial not a bool", withRoot([](QJsonObject &o) { o.insert("partial", "no"); }),
         "the partial mark is missing"},
        {"no slots", withRoot([](QJsonObject &o) { o.remove("slots"); }),
         "the list of message slots is missing"},
        {"pedal beyond the count", withSlot(0, [](QJsonObject &e) { e.insert("pedal", 3); }),
         "slot entry 1: the pedal is missing or not between 1 and 2"},
        {"message 17", withSlot(2, [](QJsonObject &e) { e.insert("message", 17); }),
         "slot entry 3: the message is missing or not between 1 and 16"},
        {"duplicate slot", withSlot(1, [](QJsonObject &e) { e.insert("message", 1); }),
         "pedal 1, message 1 appears twice"},
        {"empty slot with bytes", withSlot(1, [](QJsonObject &e) { e.insert("bytes", "00"); }),
         "pedal 1, message 2 is marked empty yet holds a definition"},
        {"bad hex", withSlot(0, [](QJsonObject &e) {
             e.insert("bytes", "00 00 01 03 00 07 00 00 7G 00 32 05 28 29 2D 11 00");
         }),
         "pedal 1, message 1: the bytes are not 17 bytes of hexadecimal"},
        {"16 bytes", withSlot(0, [](QJsonObject &e) {
             e.insert("bytes", "00 00 01 03 00 07 00 00 7F 00 32 05 28 29 2D 11");
         }),
         "pedal 1, message 1: the bytes are not 17 bytes of hexadecimal"},
        {"18 bytes", withSlot(0, [](QJsonObject &e) {
             e.insert("bytes", "00 00 01 03 00 07 00 00 7F 00 32 05 28 29 2D 11 00 00");
         }),
         "pedal 1, message 1: the bytes are not 17 bytes of hexadecimal"},
        {"sign in hex", withSlot(0, [](QJsonObject &e) {
             e.insert("bytes", "00 00 01 03 00 07 00 00 +F 00 32 05 28 29 2D 11 00");
         }),
         "pedal 1, message 1: the bytes are not 17 bytes of hexadecimal"},
        {"bytes of another slot", withDefinition("00 05 01 03 00 07 00 00 7F 00 32 05 28 29 2D 11 00"),
         "pedal 1, message 1: the bytes name pedal 1, message 6"},
        {"pedal type 4", withDefinition("00 00 04 03 00 07 00 00 7F 00 32 05 28 29 2D 11 00"),
         "pedal 1, message 1: the pedal type 4 is not known"},
        {"Program Change on an expression pedal",
         withDefinition("00 00 01 03 01 07 00 00 7F 00 32 05 28 29 2D 11 00"),
         "pedal 1, message 1: the event 1 is not offered for a Expression pedal"},
        {"channel 17", withDefinition("00 00 01 10 00 07 00 00 7F 00 32 05 28 29 2D 11 00"),
         "pedal 1, message 1: the channel 17 is out of range (1 to 16)"},
        {"value 128", withDefinition("00 00 01 03 00 07 00 00 80 00 32 05 28 29 2D 11 00"),
         "pedal 1, message 1: the number or range value 128 is out of range (0 to 127)"},
        {"gain +51", withDefinition("00 00 01 03 00 07 00 00 7F 00 65 05 28 29 2D 11 00"),
         "pedal 1, message 1: the gain 51 is out of range (-50 to 50)"},
        {"trigger mode 5", withDefinition("00 00 01 03 00 07 00 00 7F 05 32 05 28 29 2D 11 00"),
         "pedal 1, message 1: the trigger mode 5 is not offered for Continuous Controllers (CC)"},
        {"Toggle on Stop", withDefinition("00 00 02 00 07 00 00 00 00 01 00 00 00 00 00 00 00"),
         "pedal 1, message 1: the trigger mode 1 is not offered for Stop"},
        {"Tempo of 600", withDefinition("00 00 02 00 08 00 00 02 58 00 00 00 00 00 00 00 00"),
         "pedal 1, message 1: the Tempo values 02 58 are neither 01 F4 nor 00 00"},
        {"Pitch Bend trigger above 16383",
         withDefinition("00 00 01 00 03 00 7F 00 7F 00 32 FF 00 00 32 00 40"),
         "pedal 1, message 1: the trigger level 16639 is out of range (0 to 16383)"},
        {"high trigger byte on CC", withDefinition("00 00 01 03 00 07 00 00 7F 00 32 05 28 29 2D 11 01"),
         "pedal 1, message 1: the trigger level's high byte is set outside Pitch Bend"},
        {"release note 200", withDefinition("00 00 03 03 00 07 00 00 7F 00 32 05 28 C8 2D 11 00"),
         "pedal 1, message 1: the release note 200 is out of range (0 to 127)"},
        {"fields edited by hand", withSlot(0, [](QJsonObject &e) {
             QJsonObject f = e.value("fields").toObject();
             f.insert("channel", 5);
             e.insert("fields", f);
         }),
         "pedal 1, message 1: the decoded fields do not match the bytes"},
    };
    for (const Row &row : rows) {
        const ControllerBackup::Reading r = ControllerBackup::fromJson(row.file());
        QVERIFY2(!r.ok, row.name);
        QVERIFY2(r.problem.startsWith(row.problem),
                 qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(row.name), r.problem)));
    }
    // The untouched sample and lower-case hex pass.
    QVERIFY(ControllerBackup::fromJson(good).ok);
    const auto lowerHex = withSlot(0, [](QJsonObject &e) {
        e.insert("bytes", e.value("bytes").toString().toLower());
    });
    QVERIFY(ControllerBackup::fromJson(lowerHex()).ok);
}

void TestBackupFile::randomBackups_roundTripExactly()
{
    QRandomGenerator r(18);
    for (int i = 0; i < 300; ++i) {
        const ControllerBackup b = randomBackup(r);
        const QByteArray json = b.toJson();
        const ControllerBackup::Reading read = ControllerBackup::fromJson(json);
        QVERIFY2(read.ok, qPrintable(read.problem));
        QVERIFY(read.backup == b);
        QCOMPARE(read.backup.toJson(), json);
    }
}

void TestBackupFile::editorDefinitions_allPassTheRangeChecks()
{
    QRandomGenerator r(7);
    for (int i = 0; i < 20000; ++i) {
        const PedalMessage m = randomDefinition(r, pick(r, 8), pick(r, 15));
        const QString problem = ControllerBackup::definitionProblem(m);
        QVERIFY2(problem.isEmpty(),
                 qPrintable(ControllerBackup::hexBytes(m) + QStringLiteral(": ") + problem));
    }
}

void TestBackupFile::save_writesAtomicallyAndReportsFailures()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("backup.json"));
    QString error;
    QVERIFY(sample().save(path, &error));
    const ControllerBackup::Reading read = ControllerBackup::load(path);
    QVERIFY2(read.ok, qPrintable(read.problem));
    QVERIFY(read.backup == sample());

    // A directory that does not exist: the failure is told, nothing claims success.
    QVERIFY(!sample().save(dir.filePath(QStringLiteral("missing/backup.json")), &error));
    QVERIFY(error.startsWith(QStringLiteral("cannot open the file")));
    // A read-only directory keeps the old file as it was.
    ControllerBackup other = sample();
    other.model = QStringLiteral("QRX-10");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool refused = !other.save(path, &error);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // (Root is not stopped by directory permissions; then only the old file is checked.)
    if (refused)
        QVERIFY(!error.isEmpty());
    QCOMPARE(ControllerBackup::load(path).backup.model,
             refused ? QStringLiteral("ZT-3") : QStringLiteral("QRX-10"));
}

void TestBackupFile::load_refusesOversizedFilesUnread()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.json"));
    QFile big(path);
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(64LL * 1024 * 1024));
    big.close();
    QCOMPARE(ControllerBackup::load(path).problem, QStringLiteral("the file is larger than 1024 KiB"));
    QVERIFY(ControllerBackup::load(dir.filePath(QStringLiteral("none.json")))
                .problem.startsWith(QStringLiteral("the file cannot be opened")));
}

void TestBackupFile::dataFiles_readAsWritten()
{
    const QDir dir(QStringLiteral(SW_TEST_DATA "/backup"));
    const QStringList files = dir.entryList({QStringLiteral("*.json")});
    QVERIFY(files.size() >= 2);
    for (const QString &name : files) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray contents = file.readAll();
        const ControllerBackup::Reading read = ControllerBackup::fromJson(contents);
        QVERIFY2(read.ok, qPrintable(name + QStringLiteral(": ") + read.problem));
        QCOMPARE(read.backup.toJson(), contents);
    }
}

void TestBackupFile::autoBackupNames_parseBackAndSortByTime_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("modelPart");
    QTest::addColumn<QString>("versionPart");
    QTest::newRow("plain") << "ZT-3" << "V1.2.0" << "ZT-3" << "V1.2.0";
    QTest::newRow("hub") << "WQM-30" << "1.0+b7" << "WQM-30" << "1.0+b7";
    QTest::newRow("separator inside") << "QRX_10" << "V1_2" << "QRX-10" << "V1-2";
    QTest::newRow("path and blanks") << "../ZT 1" << "V1/2 beta" << "..-ZT-1" << "V1-2-beta";
    QTest::newRow("not ascii") << QString::fromUtf8("ZT-3é") << "xx" << "ZT-3-" << "xx";
    QTest::newRow("empty") << "" << "" << "-" << "-";
}

void TestBackupFile::autoBackupNames_parseBackAndSortByTime()
{
    QFETCH(QString, model);
    QFETCH(QString, version);
    QFETCH(QString, modelPart);
    QFETCH(QString, versionPart);
    QRandomGenerator random(7);
    QStringList names;
    QList<QDateTime> times;
    for (int i = 0; i < 200; ++i) {
        // Any time from 2001 to 2286, to the millisecond, in any zone.
        const QDateTime t = QDateTime::fromMSecsSinceEpoch(
            qint64(random.bounded(1000000000)) * 9999 + random.bounded(1000), Qt::OffsetFromUTC,
            (random.bounded(27) - 13) * 3600);
        const QString name = AutoBackups::fileName(model, version, t);
        QVERIFY2(!name.contains('/') && name.count('_') == 2, qPrintable(name));
        const AutoBackups::Name n = AutoBackups::parse(name);
        QVERIFY2(n.ok, qPrintable(name));
        QCOMPARE(n.model, modelPart);
        QCOMPARE(n.version, versionPart);
        QCOMPARE(n.when.toMSecsSinceEpoch(), t.toMSecsSinceEpoch());
        names.append(name);
        times.append(t);
    }
    // One model's names sort as their times do.
    for (int i = 1; i < names.size(); ++i)
        QCOMPARE(names[i - 1] < names[i], times[i - 1] < times[i]);
}

void TestBackupFile::autoBackupNames_foreignNamesNotTaken()
{
    for (const char *name : {
             "notes.txt", "ZT-3_V1.2.0.json", "ZT-3_V1_2_20261209-231900-123.json",
             "ZT-3_V1.2.0_20261399-231900-123.json", "ZT-3_V1.2.0_20261209-231900.json",
             "ZT-3_V1.2.0_20261209-2319001-123.json", "ZT 3_V1_20261209-231900-123.json",
             "_V1_20261209-231900-123.json", "ZT-3__20261209-231900-123.json",
             "ZT-3_V1.2.0_20261209-231900-123.json.bak", "ZT-3-V1.2.0-20261209-231900.json",
             "ZT-3_V1.2_20261209-+31900-123.json", "ZT-3_V1.2_20261209- 31900-123.json",
             "ZT-3_V1.2_+0261209-231900-123.json", "ZT-3_V1.2_20261209-231900-+23.json"}) {
        QVERIFY2(!AutoBackups::parse(name).ok, qPrintable(name));
        QVERIFY(AutoBackups::toPrune({name}, "ZT-3", 0).isEmpty());
    }
}

void TestBackupFile::autoBackupPrune_keepsTheNewestOfOneModelOnly()
{
    QRandomGenerator random(11);
    const QStringList models{"ZT-1", "ZT-10", "ZT-3", "QRX_10"};
    for (int round = 0; round < 60; ++round) {
        QStringList names{"my own.json", "ZT-1.json", "readme.txt"};
        QMap<QString, QList<QPair<qint64, QString>>> byModel;
        const int count = random.bounded(25);
        for (int i = 0; i < count; ++i) {
            const QString model = models[random.bounded(models.size())];
            // Few distinct times: equal times happen and must not decide by listing order.
            const qint64 ms = 1765300000000 + random.bounded(12) * 1000;
            const QString version = QStringLiteral("V1.%1").arg(random.bounded(3));
            const QString name = AutoBackups::fileName(model, version,
                                                       QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC));
            if (names.contains(name))
                continue;
            names.append(name);
            byModel[model].append({ms, name});
        }
        for (const QString &model : models) {
            for (const int keep : {0, 1, AutoBackups::Keep}) {
                QList<QPair<qint64, QString>> ours = byModel.value(model);
                std::sort(ours.begin(), ours.end(), std::greater<>());
                QStringList expected;
                for (int i = keep; i < ours.size(); ++i)
                    expected.append(ours[i].second);
                std::shuffle(names.begin(), names.end(), random);
                QStringList pruned = AutoBackups::toPrune(names, model, keep);
                QCOMPARE(pruned, expected);
            }
        }
    }
    QCOMPARE(AutoBackups::Keep, 10);
}

QTEST_GUILESS_MAIN(TestBackupFile)
#include "tst_backupfile.moc"
