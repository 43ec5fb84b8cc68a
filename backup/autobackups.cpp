#include "backup/autobackups.h"

#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");
const QString kSuffix = QStringLiteral(".json");

} // namespace

namespace AutoBackups {

QString directory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
           + QStringLiteral("/backups");
}

QString namePart(const QString &text)
{
    QString out = text.isEmpty() ? QStringLiteral("-") : text;
    for (QChar &c : out) {
        const bool kept = (c.unicode() < 128 && c.isLetterOrNumber()) || c == QLatin1Char('.')
                          || c == QLatin1Char('-') || c == QLatin1Char('+');
        if (!kept)
            c = QLatin1Char('-');
    }
    return out;
}

QString fileName(const QString &model, const QString &firmwareVersion, const QDateTime &when)
{
    return namePart(model) + QLatin1Char('_') + namePart(firmwareVersion) + QLatin1Char('_')
           + when.toUTC().toString(kTimeFormat) + kSuffix;
}

Name parse(const QString &fileName)
{
    Name name;
    if (!fileName.endsWith(kSuffix))
        return name;
    const QStringList parts = fileName.chopped(kSuffix.size()).split(QLatin1Char('_'));
    if (parts.size() != 3 || parts[0].isEmpty() || parts[1].isEmpty()
        || parts[0] != namePart(parts[0]) || parts[1] != namePart(parts[1]))
        return name;
    // Qt's parser also takes signs and blanks in a number ("-+31900-" reads
    // as 03:19:00); only the name this tool writes for that time is one of its.
    QDateTime when = QDateTime::fromString(parts[2], kTimeFormat);
    if (!when.isValid() || when.toString(kTimeFormat) != parts[2])
        return name;
    when.setTimeSpec(Qt::UTC);
    name.ok = true;
    name.model = parts[0];
    name.version = parts[1];
    name.when = when;
    return name;
}

QStringList toPrune(const QStringList &fileNames, const QString &model, int keep)
{
    const QString wanted = namePart(model);
    QList<QPair<QDateTime, QString>> ours;
    for (const QString &f : fileNames) {
        const Name n = parse(f);
        if (n.ok && n.model == wanted)
            ours.append({n.when, f});
    }
    // Newest first; the name decides between equal times, so the choice
    // does not depend on the order the folder listed them in.
    std::sort(ours.begin(), ours.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second > b.second;
    });
    QStringList out;
    for (int i = std::max(keep, 0); i < ours.size(); ++i)
        out.append(ours[i].second);
    return out;
}

} // namespace AutoBackups
