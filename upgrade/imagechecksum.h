#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkReply;
class QObject;

/// Compares a downloaded image with the checksum the download server offers
/// beside it (the image's URL plus ".sha256"). A server that offers none
/// (404 or 410) is no error; a checksum file that is not one counts as a
/// mismatch; one the server has but could not deliver (another status, a
/// dropped connection, no answer in time) is Unavailable, and the image is
/// not taken on trust.
namespace ImageChecksum {

enum class Verdict { Matches, Missing, Mismatch, Unavailable };

struct Result {
    Verdict verdict = Verdict::Missing;
    QByteArray expected; ///< as the server gives it; empty when missing or unreadable
    QByteArray actual;   ///< of the image
    QString note;        ///< why it is missing or unavailable, in words for the user
};

/// Sends the request with a manager that is a child of context and calls done
/// once with the verdict, in context. The reply returned may be aborted by
/// its owner (done then reports Unavailable; owners that abort ignore it).
QNetworkReply *check(QObject *context, const QUrl &imageUrl, const QByteArray &image,
                     int timeoutMs, std::function<void(const Result &)> done);

} // namespace ImageChecksum
