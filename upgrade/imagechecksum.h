#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkReply;
class QObject;

/// Compares a downloaded image with the checksum the download server offers
/// beside it (the image's URL plus ".sha256"). A server that offers none is
/// no error; a checksum file that is not one counts as a mismatch.
namespace ImageChecksum {

enum class Verdict { Matches, Missing, Mismatch };

struct Result {
    Verdict verdict = Verdict::Missing;
    QByteArray expected; ///< as the server gives it; empty when missing or unreadable
    QByteArray actual;   ///< of the image
    QString note;        ///< why it is missing, for the log
};

/// Sends the request with a manager that is a child of context and calls done
/// once with the verdict, in context. The reply returned may be aborted by
/// its owner (done then reports Missing; owners that abort ignore it).
QNetworkReply *check(QObject *context, const QUrl &imageUrl, const QByteArray &image,
                     int timeoutMs, std::function<void(const Result &)> done);

} // namespace ImageChecksum
