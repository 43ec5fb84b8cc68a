#include "sim/localdownloadserver.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {

/// Longest request head read; a longer one is answered 400.
constexpr int maxRequestHead = 64 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 410: return "Gone";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return "Unknown";
    }
}

QByteArray contentTypeOf(const QString &path)
{
    if (path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return "text/plain";
    if (path.isEmpty() || path.endsWith(QLatin1Char('/'))
        || path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive))
        return "text/html; charset=utf-8";
    return "application/octet-stream";
}

/// The request target as a path: no leading slash, no query or fragment, decoded.
QString pathOf(QByteArray target)
{
    const int cut = target.indexOf('?') >= 0 ? target.indexOf('?') : target.indexOf('#');
    if (cut >= 0)
        target.truncate(cut);
    if (target.startsWith('/'))
        target.remove(0, 1);
    return QUrl::fromPercentEncoding(target);
}

} // namespace

LocalDownloadServer::LocalDownloadServer(QObject *parent)
    : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &LocalDownloadServer::onNewConnection);
    m_server->listen(QHostAddress::LocalHost, 0);
}

LocalDownloadServer::~LocalDownloadServer()
{
    // Sockets closed by the server's destruction must not call back into a
    // half-destroyed object.
    const QList<QTcpSocket *> sockets = m_server->findChildren<QTcpSocket *>();
    for (QTcpSocket *socket : sockets)
        socket->disconnect(this);
    delete m_server;
}

bool LocalDownloadServer::isListening() const
{
    return m_server->isListening();
}

quint16 LocalDownloadServer::port() const
{
    return m_server->serverPort();
}

QString LocalDownloadServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void LocalDownloadServer::serveWithChecksum(const QString &path, const QByteArray &body)
{
    serve(path, body);
    const QString name = path.section(QLatin1Char('/'), -1);
    serve(path + QStringLiteral(".sha256"),
          QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() + "  " + name.toUtf8()
              + '\n');
}

void LocalDownloadServer::serve(const QString &path, const QByteArray &body, int status)
{
    Rule rule;
    rule.behaviour = Behaviour::Serve;
    rule.body = body;
    rule.status = status;
    m_rules.insert(path, rule);
}

void LocalDownloadServer::redirect(const QString &path, const QString &location, int status)
{
    Rule rule;
    rule.behaviour = Behaviour::Redirect;
    rule.location = location;
    rule.status = status;
    m_rules.insert(path, rule);
}

void LocalDownloadServer::drop(const QString &path)
{
    Rule rule;
    rule.behaviour = Behaviour::Drop;
    m_rules.insert(path, rule);
}

void LocalDownloadServer::stall(const QString &path)
{
    Rule rule;
    rule.behaviour = Behaviour::Stall;
    m_rules.insert(path, rule);
}

void LocalDownloadServer::remove(const QString &path)
{
    m_rules.remove(path);
}

void LocalDownloadServer::failNext(const QString &path, Behaviour behaviour, int count)
{
    if (count > 0)
        m_failures.insert(path, {behaviour, count});
    else
        m_failures.remove(path);
}

void LocalDownloadServer::setThrottle(int bytes, int intervalMs)
{
    m_throttleBytes = bytes;
    m_throttleIntervalMs = intervalMs;
}

void LocalDownloadServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        m_pending.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalDownloadServer::onReadyRead(QTcpSocket *socket)
{
    const QByteArray bytes = socket->readAll();
    auto it = m_pending.find(socket);
    if (it == m_pending.end())
        return; // answered already; the rest is of no interest
    it->append(bytes);
    const QByteArray &head = *it;
    int end = head.indexOf("\r\n\r\n");
    if (end < 0)
        end = head.indexOf("\n\n");
    if (end < 0) {
        if (head.size() > maxRequestHead) {
            m_pending.erase(it);
            respond(socket, 400, "Bad request\n", "text/plain");
        }
        return;
    }
    const int lineEnd = head.indexOf('\n');
    const QList<QByteArray> parts = head.left(lineEnd).trimmed().split(' ');
    m_pending.erase(it);
    if (parts.size() < 2 || parts.at(0).isEmpty() || parts.at(1).isEmpty()) {
        respond(socket, 400, "Bad request\n", "text/plain");
        return;
    }
    const QString path = pathOf(parts.at(1));
    m_requests.append(path);
    emit requestReceived(path);
    answer(socket, parts.at(0), path);
}

void LocalDownloadServer::answer(QTcpSocket *socket, const QByteArray &method, const QString &path)
{
    if (method != "GET") {
        respond(socket, 405, "Method not allowed\n", "text/plain", "Allow: GET\r\n");
        return;
    }
    Rule rule = m_rules.value(path);
    auto failure = m_failures.find(path);
    if (failure != m_failures.end()) {
        const Behaviour behaviour = failure->behaviour;
        if (--failure->count <= 0)
            m_failures.erase(failure);
        if (behaviour == Behaviour::Drop || behaviour == Behaviour::Stall
            || behaviour == Behaviour::NotFound) {
            rule = Rule();
            rule.behaviour = behaviour;
        }
    }
    switch (rule.behaviour) {
    case Behaviour::Serve:
        respond(socket, rule.status, rule.body, contentTypeOf(path));
        break;
    case Behaviour::Redirect:
        respond(socket, rule.status, {}, "text/plain",
                "Location: " + rule.location.toUtf8() + "\r\n");
        break;
    case Behaviour::Drop:
        socket->disconnectFromHost();
        break;
    case Behaviour::Stall:
        break;
    case Behaviour::NotFound:
        respond(socket, 404, "Not found\n", "text/plain");
        break;
    }
}

void LocalDownloadServer::respond(QTcpSocket *socket, int status, const QByteArray &body,
                                  const QByteArray &contentType, const QByteArray &extraHeaders)
{
    const QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status)
                            + "\r\nContent-Length: " + QByteArray::number(body.size())
                            + "\r\nContent-Type: " + contentType
                            + "\r\nConnection: close\r\n" + extraHeaders + "\r\n";
    if (m_throttleBytes <= 0 || m_throttleIntervalMs <= 0 || body.size() <= m_throttleBytes) {
        socket->write(head + body);
        socket->disconnectFromHost();
        return;
    }
    socket->write(head);
    sendPiece(socket, body, m_throttleBytes, m_throttleIntervalMs);
}

void LocalDownloadServer::sendPiece(QTcpSocket *socket, QByteArray rest, int bytes, int intervalMs)
{
    socket->write(rest.left(bytes));
    rest.remove(0, bytes);
    if (rest.isEmpty()) {
        socket->disconnectFromHost();
        return;
    }
    QTimer::singleShot(intervalMs, socket, [this, socket, rest, bytes, intervalMs] {
        sendPiece(socket, rest, bytes, intervalMs);
    });
}
