#pragma once

#include <QString>
#include <QtGlobal>

class QByteArray;

/// How a newer release of the application reaches the user, and the saving
/// and starting of a downloaded installer. The installer on the server is a
/// Windows program: only a Windows build downloads and starts it; elsewhere
/// the user is sent to the download page.
namespace Installer {

enum class Delivery {
    Installer,    ///< download the installer and start it next to the tool
    DownloadPage, ///< open the product's download page in the browser
};

/// Installer on Windows, DownloadPage elsewhere, unless setDelivery() chose.
Delivery delivery();
/// Chooses the delivery regardless of the platform (tests run both on one
/// system); resetDelivery() returns to the platform's.
void setDelivery(Delivery delivery);
void resetDelivery();

/// The largest installer taken from the server (an installer of this tool is
/// tens of MiB; the body is held in memory until it is saved).
/// setMaxBytes() lets tests use a smaller bound; resetMaxBytes() goes back.
qint64 maxBytes();
void setMaxBytes(qint64 bytes);
void resetMaxBytes();

/// The product's download page, relative to the download server.
QString downloadPagePath();

/// Writes body to path atomically and makes it executable by its owner. On
/// any failure (the file cannot be created, a write error or short write,
/// the rename) nothing is left at path, a file there before is untouched,
/// and the result says why, for the user; empty on success.
QString save(const QString &path, const QByteArray &body);

/// Starts the program at path (passed whole, never split at blanks) as a
/// process of its own that survives the tool quitting. The result says why
/// it could not be started; empty on success.
QString startDetached(const QString &path);

} // namespace Installer
