#include "device/identity.h"

#include <QRegularExpression>

namespace Identity {

namespace {
const QByteArray kCrLf("\r\n", 2);
const QByteArray kVersionMarker("\xAA\xCC\x06", 3);
const QByteArray kVersionReply("\xAA\xCC\x06\x56", 4);
} // namespace

QByteArray identityQuery()
{
    return QByteArray::fromHex("AA CC 02 00 01 0D 0A");
}

QByteArray versionQuery()
{
    return QByteArray::fromHex("AA CC 02 00 03 0D 0A");
}

LinkReading readForLink(const QByteArray &data)
{
    LinkReading reading;
    if (data.contains(kVersionReply)) {
        reading.kind = LinkReading::PartialVersion;
        const int v = data.indexOf('V');
        const int end = v < 0 ? -1 : data.indexOf(kCrLf, v);
        if (end >= 0) {
            reading.kind = LinkReading::Version;
            reading.text = QString::fromUtf8(data.mid(v, end - v));
        }
        return reading;
    }
    static const QRegularExpression model(QStringLiteral("([A-Za-z0-9]+-\\d+)"));
    const QRegularExpressionMatch match = model.match(QString::fromUtf8(data));
    if (match.hasMatch()) {
        reading.kind = LinkReading::Model;
        reading.text = match.captured(1);
    }
    return reading;
}

bool byteSixIsO(const QByteArray &data)
{
    return data.size() > 6 && data.at(6) == 'o';
}

WindowReading readForWindow(const QByteArray &data)
{
    WindowReading reading;
    if (data.contains("ERASE END") || data.size() == 7 || data.contains("Reset")) {
        reading.ignored = true;
        return reading;
    }
    const int zt = data.indexOf("ZT-");
    const int start = zt >= 0 ? zt : data.indexOf("QRX-");
    if (start < 0) {
        const int marker = data.indexOf(kVersionMarker);
        if (marker >= 0 && !byteSixIsO(data)) {
            const int from = marker + kVersionMarker.size();
            const int end = data.indexOf(kCrLf, from);
            if (end >= 0) {
                reading.hasVersion = true;
                reading.version = QString::fromUtf8(data.mid(from, end - from));
            }
        }
        return reading;
    }
    const int end = data.indexOf(kCrLf, start);
    if (end >= 0) {
        reading.hasModel = true;
        reading.model = QString::fromUtf8(data.mid(start, end - start));
    }
    return reading;
}

int modelVariant(const QString &model)
{
    return model.contains(QLatin1String("30")) ? 2 : 1;
}

} // namespace Identity
