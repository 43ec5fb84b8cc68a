#include "update/downloadserver.h"

namespace {

const QUrl &vendorHost()
{
    static const QUrl host(QStringLiteral("https://download.veltrano.com"));
    return host;
}

QUrl &currentBase()
{
    static QUrl base = vendorHost();
    return base;
}

} // namespace

namespace DownloadServer {

QUrl base()
{
    return currentBase();
}

void setBase(const QUrl &newBase)
{
    currentBase() = newBase.isEmpty() ? vendorHost() : newBase;
}

QUrl url(const QString &path)
{
    QString text = currentBase().toString();
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    int skip = 0;
    while (skip < path.size() && path.at(skip) == QLatin1Char('/'))
        ++skip;
    return QUrl(text + QLatin1Char('/') + path.mid(skip));
}

} // namespace DownloadServer
