#include "upgrade/autoupgrade.h"

#include "upgrade/updatetext.h"

#include <QStringList>

namespace AutoUpgrade {

CheckModel checkModelFor(const QString &deviceModel)
{
    static const QList<CheckModel> models = [] {
        const auto row = [](int index, const char *word, const char *textFile) {
            const QString w = QString::fromLatin1(word);
            return CheckModel{index, w, UpdateText::updateTextPath(w, QString::fromLatin1(textFile))};
        };
        return QList<CheckModel>{row(1, "QRX-10", "QRX-10"), row(2, "QRX-20", "QRX-20"),
                                 row(3, "QRX-30", "QRX-30"), row(4, "ZT-3", "ZT-3"),
                                 row(5, "ZT-1", "ZT-UNO")};
    }();
    for (const CheckModel &model : models) {
        if (deviceModel.contains(model.word))
            return model;
    }
    return CheckModel();
}

bool newerMajorMinor(const QString &deviceVersion, const QString &token)
{
    const QList<int> have = UpdateText::parseVersionNumbers(deviceVersion);
    const QList<int> offered = UpdateText::parseVersionNumbers(token);
    const int major = offered.value(0, 0);
    const int minor = offered.value(1, 0);
    return major > have.value(0, 0) || (major == have.value(0, 0) && minor > have.value(1, 0));
}

bool isBootloaderName(const QString &text)
{
    static const QStringList models = {QStringLiteral("QRX-10"), QStringLiteral("QRX-20"),
                                       QStringLiteral("ZT-3"), QStringLiteral("ZT-1")};
    static const QStringList marks = {QStringLiteral("BootLoad"), QStringLiteral("Bootloader"),
                                      QStringLiteral(" B")};
    const auto any = [&text](const QStringList &words) {
        for (const QString &w : words) {
            if (text.contains(w, Qt::CaseInsensitive))
                return true;
        }
        return false;
    };
    return any(models) && any(marks);
}

QList<UpgradePort> newCandidates(const QList<UpgradePort> &present, const QStringList &before)
{
    QList<UpgradePort> out;
    for (const UpgradePort &port : present) {
        if (isBootloaderName(port.name) && !port.portName.isEmpty()
            && !before.contains(port.portName))
            out.append(port);
    }
    return out;
}

QString offerText(const QString &word, const QString &deviceVersion, const QString &token,
                  const QString &description)
{
    return QStringLiteral("The current version is %1_%2\n").arg(word, deviceVersion)
           + QStringLiteral("A new version is available: %1\n\n%2")
                 .arg(token, QStringLiteral("Update Content:\n") + description);
}

QByteArray enterUpgradeCommand()
{
    return QByteArray::fromHex("AA CC 02 00 09 0D 0A");
}

} // namespace AutoUpgrade
