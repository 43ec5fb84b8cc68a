#pragma once

#include <QString>
#include <QUrl>

/// Where the vendor's download server lives: manuals, firmware images and
/// update texts, and the application's installer are all fetched from URLs
/// built here. Tests and the demo point the base at a local server.
namespace DownloadServer {

/// The server's base URL; the vendor's HTTPS host unless setBase() changed it.
QUrl base();
/// Replaces the base; an empty URL restores the vendor's host.
void setBase(const QUrl &base);
/// The base joined with path by exactly one slash, whether or not path
/// starts with one. Characters outside ASCII are percent-encoded on the wire.
QUrl url(const QString &path);

} // namespace DownloadServer
