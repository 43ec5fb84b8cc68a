#include "upgrade/updatetext.h"

#include <QRegularExpression>

namespace UpdateText {

QList<int> parseVersionNumbers(const QString &text)
{
    QList<int> numbers;
    const int v = text.indexOf(QLatin1Char('V'));
    if (v < 0)
        return numbers;
    const QStringList parts = text.mid(v + 1).split(QLatin1Char('.'));
    numbers.reserve(parts.size());
    for (const QString &part : parts)
        numbers.append(part.toInt(nullptr, 10));
    return numbers;
}

int compareVersionNumbers(const QList<int> &a, const QList<int> &b)
{
    const int n = qMax(a.size(), b.size());
    for (int i = 0; i < n; ++i) {
        const int x = a.value(i, 0);
        const int y = b.value(i, 0);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

QString versionToken(const QString &text, const QString &product)
{
    const QRegularExpression pattern(
        QStringLiteral("^(%1_V[\\d\\.]+)").arg(QRegularExpression::escape(product)));
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString description(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("Update content:\\s*(.*)"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

const QList<OnlineModel> &onlineModels()
{
    static const QList<OnlineModel> models = [] {
        const auto row = [](const char *key, const char *textFile) {
            const QString k = QString::fromLatin1(key);
            return OnlineModel{k, k, updateTextPath(k, QString::fromLatin1(textFile))};
        };
        // The single-pedal model's text file carries its old name.
        return QList<OnlineModel>{row("QRX-10", "QRX-10"), row("QRX-20", "QRX-20"),
                                  row("ZT-3", "ZT-3"), row("ZT-1", "ZT-UNO"),
                                  row("WQM-30", "WQM-30")};
    }();
    return models;
}

const OnlineModel *onlineModelFor(const QString &productModel)
{
    for (const OnlineModel &model : onlineModels()) {
        if (productModel.contains(model.key))
            return &model;
    }
    return nullptr;
}

QString updateTextPath(const QString &folder, const QString &fileStem)
{
    return QStringLiteral("download/Product/%1/Update/%2_Update.txt").arg(folder, fileStem);
}

QString firmwarePath(const QString &product, const QString &token)
{
    return QStringLiteral("download/Product/%1/Update/%2.bin").arg(product, token);
}

} // namespace UpdateText
