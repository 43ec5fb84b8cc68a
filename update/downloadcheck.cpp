#include "update/downloadcheck.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace DownloadCheck {

namespace {

/// Set on a reply limitBody() aborted: the size seen (announced or received).
constexpr char kOversize[] = "downloadCheckOversize";
constexpr char kLimit[] = "downloadCheckLimit";

QString failure(const QNetworkReply &reply, const QByteArray &body, int timeoutMs)
{
    if (oversize(reply) >= 0)
        return QCoreApplication::translate("DownloadCheck", "The download is larger than %1 bytes")
            .arg(reply.property(kLimit).toLongLong());
    if (reply.error() == QNetworkReply::OperationCanceledError
        || reply.error() == QNetworkReply::TimeoutError)
        return QCoreApplication::translate("DownloadCheck", "No answer within %1 s")
            .arg(timeoutMs / 1000.0);
    if (reply.error() != QNetworkReply::NoError)
        return reply.errorString();
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        const QString reason =
            reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return QCoreApplication::translate("DownloadCheck", "HTTP status %1 %2")
            .arg(status)
            .arg(reason)
            .trimmed();
    }
    if (body.isEmpty())
        return QCoreApplication::translate("DownloadCheck", "Empty reply");
    return QString();
}

} // namespace

QNetworkRequest request(const QUrl &url, int timeoutMs)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    return request;
}

void limitBody(QNetworkReply *reply, qint64 maxBytes)
{
    reply->setProperty(kLimit, maxBytes);
    const auto refuse = [reply, maxBytes](qint64 seen) {
        if (seen > maxBytes && oversize(*reply) < 0) {
            reply->setProperty(kOversize, seen);
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, refuse] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            refuse(length.toLongLong());
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [refuse](qint64 received, qint64) { refuse(received); });
}

qint64 oversize(const QNetworkReply &reply)
{
    const QVariant seen = reply.property(kOversize);
    return seen.isValid() ? seen.toLongLong() : -1;
}

QString take(QNetworkReply &reply, QByteArray *body, int timeoutMs)
{
    *body = reply.isOpen() ? reply.readAll() : QByteArray();
    return failure(reply, *body, timeoutMs);
}

} // namespace DownloadCheck
