#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

/// Receives the URLs the program hands to the desktop; install it with
/// QDesktopServices::setUrlHandler(scheme, &catcher, "open").
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};
