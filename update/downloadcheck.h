#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QNetworkReply;
class QNetworkRequest;
class QUrl;

/// The rules every download from the vendor's server follows: a GET with a
/// transfer time limit and the system's TLS checks, and a reply that counts
/// only when it has no error, HTTP status 200 and a body.
namespace DownloadCheck {

/// The product's limit for one request, in milliseconds.
constexpr int defaultTransferTimeoutMs = 30000;
/// The most a version or firmware text from the server may hold; real ones
/// are a few lines.
constexpr qint64 maxTextBytes = 1024 * 1024;

/// A request for url that is aborted when no data moves for timeoutMs.
QNetworkRequest request(const QUrl &url, int timeoutMs = defaultTransferTimeoutMs);

/// Aborts reply as soon as its announced length or the bytes received pass
/// maxBytes, so a runaway body never fills the memory; take() then names the
/// limit and oversize() says how much was seen.
void limitBody(QNetworkReply *reply, qint64 maxBytes);
/// The size that made limitBody() abort reply; -1 when it did not.
qint64 oversize(const QNetworkReply &reply);

/// Reads the whole body of a finished reply into body (nothing from one
/// aborted, which is closed) and says why the reply cannot be used, in words
/// for the user; empty when it can. A reply aborted by its time limit reads
/// as a timeout.
QString take(QNetworkReply &reply, QByteArray *body, int timeoutMs);

} // namespace DownloadCheck
