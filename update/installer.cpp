#include "update/installer.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

#include <optional>

namespace Installer {

namespace {

std::optional<Delivery> &chosenDelivery()
{
    static std::optional<Delivery> chosen;
    return chosen;
}

constexpr qint64 kMaxInstallerBytes = 256LL * 1024 * 1024;

qint64 &chosenMaxBytes()
{
    static qint64 chosen = kMaxInstallerBytes;
    return chosen;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("Installer", text);
}

} // namespace

Delivery delivery()
{
    if (chosenDelivery())
        return *chosenDelivery();
#ifdef Q_OS_WIN
    return Delivery::Installer;
#else
    return Delivery::DownloadPage;
#endif
}

void setDelivery(Delivery delivery)
{
    chosenDelivery() = delivery;
}

void resetDelivery()
{
    chosenDelivery().reset();
}

qint64 maxBytes()
{
    return chosenMaxBytes();
}

void setMaxBytes(qint64 bytes)
{
    chosenMaxBytes() = bytes;
}

void resetMaxBytes()
{
    chosenMaxBytes() = kMaxInstallerBytes;
}

QString downloadPagePath()
{
    return QStringLiteral("download/Product/Stompwright/");
}

QString save(const QString &path, const QByteArray &body)
{
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return tr("%1 cannot be written: %2").arg(shown, file.errorString());
    const qint64 written = file.write(body);
    if (written != body.size()) {
        const QString reason = written < 0 ? file.errorString()
                                           : tr("%1 of %2 bytes written").arg(written).arg(body.size());
        file.cancelWriting();
        return tr("%1 cannot be written: %2").arg(shown, reason);
    }
    if (!file.commit())
        return tr("%1 cannot be written: %2").arg(shown, file.errorString());
    // A fresh file has no execute permission on systems that have one.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner
                                    | QFileDevice::ExeUser);
    return QString();
}

QString startDetached(const QString &path)
{
    QProcess process;
    process.setProgram(path);
    process.setWorkingDirectory(QFileInfo(path).absolutePath());
    if (!process.startDetached())
        return tr("%1 cannot be started: %2")
            .arg(QDir::toNativeSeparators(path), process.errorString());
    return QString();
}

} // namespace Installer
