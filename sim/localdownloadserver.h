#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

/// A small HTTP/1.1 server on 127.0.0.1 standing in for the vendor's download
/// server: it answers GET requests for the paths it was given, one request
/// per connection (Connection: close), and can be told to misbehave per path.
/// Paths are without the leading slash, percent-decoded, and without query.
class LocalDownloadServer : public QObject
{
    Q_OBJECT

public:
    enum class Behaviour { Serve, NotFound, Redirect, Drop, Stall };

    /// Listens at once on a free port.
    explicit LocalDownloadServer(QObject *parent = nullptr);
    ~LocalDownloadServer() override;

    bool isListening() const;
    quint16 port() const;
    /// "http://127.0.0.1:<port>", no trailing slash.
    QString baseUrl() const;

    /// Paths are without the leading slash, e.g.
    /// "download/Product/ZT-3/Update/ZT-3_Update.txt"; query strings are ignored.
    void serve(const QString &path, const QByteArray &body, int status = 200);
    /// Serves body at path and its SHA-256 at path + ".sha256", one line of
    /// 64 hexadecimal digits followed by the file's name, as checksum tools write it.
    void serveWithChecksum(const QString &path, const QByteArray &body);
    void redirect(const QString &path, const QString &location, int status = 302);
    /// Reads the request, then closes the connection without any answer.
    /// (QNetworkAccessManager then resends the request once before it
    /// reports RemoteHostClosedError: one failed get is two requests here.)
    void drop(const QString &path);
    /// Reads the request and never answers; the connection stays open until
    /// the client closes it or the server is destroyed.
    void stall(const QString &path);
    /// Back to the default: 404 with a short body.
    void remove(const QString &path);
    /// The next `count` requests of path behave like this (Drop, Stall or
    /// NotFound; Serve and Redirect mean the standing rule), then the
    /// standing rule applies again.
    void failNext(const QString &path, Behaviour behaviour, int count);
    /// Bodies are sent in pieces of `bytes` every `intervalMs` (0 = all at once).
    void setThrottle(int bytes, int intervalMs);

    /// Paths requested, in order, whatever the method.
    QStringList requests() const { return m_requests; }
    int requestCount(const QString &path) const { return m_requests.count(path); }
    void clearRequests() { m_requests.clear(); }

signals:
    void requestReceived(const QString &path);

private:
    struct Rule {
        Behaviour behaviour = Behaviour::NotFound;
        QByteArray body;
        QString location;
        int status = 404;
    };
    struct Failure {
        Behaviour behaviour = Behaviour::NotFound;
        int count = 0;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &method, const QString &path);
    void respond(QTcpSocket *socket, int status, const QByteArray &body,
                 const QByteArray &contentType, const QByteArray &extraHeaders = {});
    void sendPiece(QTcpSocket *socket, QByteArray rest, int bytes, int intervalMs);

    QTcpServer *m_server = nullptr;
    QHash<QString, Rule> m_rules;
    QHash<QString, Failure> m_failures;
    QHash<QTcpSocket *, QByteArray> m_pending; // sockets whose request is incomplete
    QStringList m_requests;
    int m_throttleBytes = 0;
    int m_throttleIntervalMs = 0;
};
