#include "upgrade/imagechecksum.h"

#include "core/logging.h"
#include "update/downloadcheck.h"
#include "upgrade/firmwareimage.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace ImageChecksum {

QNetworkReply *check(QObject *context, const QUrl &imageUrl, const QByteArray &image,
                     int timeoutMs, std::function<void(const Result &)> done)
{
    QUrl url = imageUrl;
    url.setPath(FirmwareImage::checksumPath(url.path()));
    auto *manager = new QNetworkAccessManager(context);
    QNetworkReply *reply = manager->get(DownloadCheck::request(url, timeoutMs));
    DownloadCheck::limitBody(reply, FirmwareImage::maxChecksumFileBytes);
    QObject::connect(reply, &QNetworkReply::finished, context,
                     [reply, manager, image, timeoutMs, done] {
                         reply->deleteLater();
                         manager->deleteLater();
                         Result result;
                         result.actual = FirmwareImage::sha256Hex(image);
                         QByteArray body;
                         const QString failure = DownloadCheck::take(*reply, &body, timeoutMs);
                         const bool oversized = DownloadCheck::oversize(*reply) >= 0;
                         if (!oversized && !failure.isEmpty()) {
                             const int status =
                                 reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                             result.note = failure;
                             if (status != 404 && status != 410)
                                 result.verdict = Verdict::Unavailable;
                             qCDebug(lcUpgrade) << "no checksum at" << reply->url() << failure;
                             done(result);
                             return;
                         }
                         result.expected = oversized ? QByteArray() : FirmwareImage::checksumFrom(body);
                         result.verdict = !result.expected.isEmpty() && result.expected == result.actual
                                              ? Verdict::Matches
                                              : Verdict::Mismatch;
                         done(result);
                     });
    return reply;
}

} // namespace ImageChecksum
