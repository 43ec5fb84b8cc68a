#include "update/downloadcheck.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace DownloadCheck {

namespace {

QString failure(const QNetworkReply &reply, const QByteArray &body, int timeoutMs)
{
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

QString take(QNetworkReply &reply, QByteArray *body, int timeoutMs)
{
    *body = reply.isOpen() ? reply.readAll() : QByteArray();
    return failure(reply, *body, timeoutMs);
}

} // namespace DownloadCheck
