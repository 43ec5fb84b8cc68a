#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

/// The backups the tool makes by itself before a factory reset or a firmware
/// upgrade: where they go, how they are named, and which of them are old
/// enough to delete. Names and pruning are pure; only directory() asks the
/// system.
///
/// A name reads "<model>_<firmware version>_<yyyyMMdd-HHmmss-zzz>.json", the
/// time in UTC, so the names of one model sort by age. Characters of the
/// model and version other than letters, digits, '.', '-' and '+' become '-',
/// which keeps the three parts apart.
namespace AutoBackups {

/// Automatic backups kept per model; older ones are deleted.
constexpr int Keep = 10;

/// The folder of the automatic backups in the per-user data directory.
QString directory();

/// The name part of a model or version as it appears in a file name.
QString namePart(const QString &text);

QString fileName(const QString &model, const QString &firmwareVersion, const QDateTime &when);

/// A file name taken apart; ok is false for names this tool did not make.
struct Name {
    bool ok = false;
    QString model;   ///< as namePart() left it
    QString version; ///< as namePart() left it
    QDateTime when;  ///< UTC, to the millisecond
};
Name parse(const QString &fileName);

/// Of the names in a folder, the automatic backups of a model beyond the
/// `keep` newest; other models' and foreign names are never listed.
QStringList toPrune(const QStringList &fileNames, const QString &model, int keep = Keep);

} // namespace AutoBackups
