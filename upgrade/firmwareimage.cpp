#include "upgrade/firmwareimage.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QList>
#include <QPair>

namespace FirmwareImage {

QString sizeProblem(qint64 size)
{
    if (size <= 0)
        return QCoreApplication::translate("FirmwareImage", "The firmware image is empty.");
    if (size > maxBytes)
        return QCoreApplication::translate(
                   "FirmwareImage",
                   "The firmware image has %1 bytes; a firmware image has at most %2 bytes (1 MiB).")
            .arg(size)
            .arg(maxBytes);
    return QString();
}

QString modelNamedIn(const QString &text)
{
    /// Spelling in a name, and the model it means.
    static const QList<QPair<QString, QString>> words = {
        {QStringLiteral("QRX-10"), QStringLiteral("QRX-10")},
        {QStringLiteral("QRX-20"), QStringLiteral("QRX-20")},
        {QStringLiteral("QRX-30"), QStringLiteral("QRX-30")},
        {QStringLiteral("WQM-30"), QStringLiteral("WQM-30")},
        {QStringLiteral("ZT-UNO"), QStringLiteral("ZT-1")},
        {QStringLiteral("ZT-3"), QStringLiteral("ZT-3")},
        {QStringLiteral("ZT-1"), QStringLiteral("ZT-1")},
    };
    int first = -1;
    QString model;
    for (const auto &word : words) {
        const int at = text.indexOf(word.first, 0, Qt::CaseInsensitive);
        if (at >= 0 && (first < 0 || at < first)) {
            first = at;
            model = word.second;
        }
    }
    return model;
}

QString otherModelNamed(const QString &fileName, const QString &deviceModel)
{
    const QString named = modelNamedIn(fileName);
    const QString device = modelNamedIn(deviceModel);
    if (named.isEmpty() || device.isEmpty() || named == device)
        return QString();
    return named;
}

QByteArray checksumFrom(const QByteArray &file)
{
    const int end = file.indexOf('\n');
    const QByteArray line = (end < 0 ? file : file.left(end)).trimmed();
    QByteArray word = line;
    for (int i = 0; i < line.size(); ++i) {
        if (line.at(i) == ' ' || line.at(i) == '\t') {
            word = line.left(i);
            break;
        }
    }
    if (word.size() != 64)
        return QByteArray();
    for (char c : word) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex)
            return QByteArray();
    }
    return word.toLower();
}

QByteArray sha256Hex(const QByteArray &image)
{
    return QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex();
}

QString checksumPath(const QString &imagePath)
{
    return imagePath + QStringLiteral(".sha256");
}

} // namespace FirmwareImage
