// The local download server, fetched from as the application fetches from
// the vendor's server: with QNetworkAccessManager, and byte by byte with a
// plain socket.
#include "sim/localdownloadserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include "sim/pseudorandombytes.h"
#include <QTcpSocket>
#include <QtTest>

#include <memory>

namespace {

using Behaviour = LocalDownloadServer::Behaviour;

struct Fetched {
    bool finished = false;
    int error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QByteArray contentType;
    QByteArray location;
    int progressSignals = 0;
};

Fetched get(const QUrl &url, int transferTimeoutMs = 0)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    if (transferTimeoutMs > 0)
        request.setTransferTimeout(transferTimeoutMs);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    QSignalSpy progress(reply.get(), &QNetworkReply::downloadProgress);
    Fetched f;
    f.finished = finished.wait(10000);
    f.error = reply->error();
    f.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen())
        f.body = reply->readAll();
    f.contentType = reply->rawHeader("Content-Type");
    f.location = reply->rawHeader("Location");
    f.progressSignals = progress.size();
    return f;
}

} // namespace

class tst_DownloadServer : public QObject
{
    Q_OBJECT

private slots:
    void get_answersByRule_data();
    void get_answersByRule();
    void failNext_thenStandingRule_data();
    void failNext_thenStandingRule();
    void throttle_severalProgressSignals();
    void requests_recordedInOrder();
    void rawRequest_answeredAndClosed_data();
    void rawRequest_answeredAndClosed();
};

void tst_DownloadServer::get_answersByRule_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("served");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("servedStatus");
    QTest::addColumn<QString>("requested");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");

    const QString text = "download/Product/ZT-3/Update/ZT-3_Update.txt";
    const QByteArray notes = "ZT-3_V1.3.0\nUpdate content:\n- Faster expression response\n";
    const QByteArray image = pseudoRandomBytes(64 * 1024, 11);
    QTest::newRow("text") << "serve" << text << notes << 200 << text << int(QNetworkReply::NoError)
                          << 200 << QByteArray("text/plain");
    QTest::newRow("binary 64 KiB") << "serve" << "fw/ZT-3_V1.3.0.bin" << image << 200
                                   << "fw/ZT-3_V1.3.0.bin" << int(QNetworkReply::NoError) << 200
                                   << QByteArray("application/octet-stream");
    QTest::newRow("query ignored") << "serve" << "a.bin" << QByteArray("x") << 200
                                   << "a.bin?lang=de&v=2" << int(QNetworkReply::NoError) << 200
                                   << QByteArray("application/octet-stream");
    QTest::newRow("percent-encoded") << "serve" << QString::fromUtf8("Handbuch für ZT-3.txt")
                                     << QByteArray("y") << 200
                                     << QString::fromUtf8("Handbuch für ZT-3.txt")
                                     << int(QNetworkReply::NoError) << 200
                                     << QByteArray("text/plain");
    QTest::newRow("served 503") << "serve" << "busy.txt" << QByteArray("later\n") << 503
                                << "busy.txt" << int(QNetworkReply::ServiceUnavailableError)
                                << 503 << QByteArray("text/plain");
    QTest::newRow("unknown") << "serve" << "a.txt" << QByteArray("a") << 200 << "b.txt"
                             << int(QNetworkReply::ContentNotFoundError) << 404
                             << QByteArray("text/plain");
    QTest::newRow("removed") << "remove" << "a.txt" << QByteArray("a") << 200 << "a.txt"
                             << int(QNetworkReply::ContentNotFoundError) << 404
                             << QByteArray("text/plain");
    QTest::newRow("redirect") << "redirect" << "old.bin" << QByteArray("/new.bin") << 302
                              << "old.bin" << int(QNetworkReply::NoError) << 302
                              << QByteArray("text/plain");
    QTest::newRow("drop") << "drop" << "a.bin" << QByteArray() << 0 << "a.bin"
                          << int(QNetworkReply::RemoteHostClosedError) << 0 << QByteArray();
    QTest::newRow("stall") << "stall" << "a.bin" << QByteArray() << 0 << "a.bin"
                           << int(QNetworkReply::OperationCanceledError) << 0 << QByteArray();
}

void tst_DownloadServer::get_answersByRule()
{
    QFETCH(QString, rule);
    QFETCH(QString, served);
    QFETCH(QByteArray, body);
    QFETCH(int, servedStatus);
    QFETCH(QString, requested);
    QFETCH(int, error);
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);

    LocalDownloadServer server;
    QVERIFY(server.isListening());
    QCOMPARE(server.baseUrl(), QString("http://127.0.0.1:%1").arg(server.port()));
    if (rule == "redirect")
        server.redirect(served, QString::fromLatin1(body), servedStatus);
    else if (rule == "drop")
        server.drop(served);
    else if (rule == "stall")
        server.stall(served);
    else
        server.serve(served, body, servedStatus);
    if (rule == "remove")
        server.remove(served);

    const Fetched f = get(QUrl(server.baseUrl() + '/' + requested), 300);
    QVERIFY(f.finished);
    QCOMPARE(f.error, error);
    QCOMPARE(f.status, status);
    QCOMPARE(f.contentType, contentType);
    if (rule == "serve" && status != 404)
        QVERIFY(f.body == body); // no 64 KiB dump on failure
    if (rule == "redirect")
        QCOMPARE(f.location, body);
    QCOMPARE(server.requests().value(0), QUrl(requested).path());
}

void tst_DownloadServer::failNext_thenStandingRule_data()
{
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("failedGets");

    QTest::newRow("not found") << int(Behaviour::NotFound)
                               << int(QNetworkReply::ContentNotFoundError) << 2;
    QTest::newRow("stall") << int(Behaviour::Stall) << int(QNetworkReply::OperationCanceledError)
                           << 2;
    // Qt resends a request once when the connection closes without an answer.
    QTest::newRow("drop, resent once") << int(Behaviour::Drop)
                                       << int(QNetworkReply::RemoteHostClosedError) << 1;
}

void tst_DownloadServer::failNext_thenStandingRule()
{
    QFETCH(int, behaviour);
    QFETCH(int, error);
    QFETCH(int, failedGets);

    LocalDownloadServer server;
    server.serve("u.txt", "update\n");
    server.failNext("u.txt", Behaviour(behaviour), 2);
    const QUrl url(server.baseUrl() + "/u.txt");
    for (int i = 0; i < failedGets; ++i) {
        const Fetched f = get(url, 300);
        QVERIFY(f.finished);
        QCOMPARE(f.error, error);
    }
    const Fetched f = get(url, 300);
    QCOMPARE(f.error, int(QNetworkReply::NoError));
    QCOMPARE(f.body, QByteArray("update\n"));
    QCOMPARE(server.requestCount("u.txt"), 3);
}

void tst_DownloadServer::throttle_severalProgressSignals()
{
    LocalDownloadServer server;
    const QByteArray image = pseudoRandomBytes(16 * 1024, 11);
    server.serve("fw.bin", image);
    // QNetworkReply reports progress at most every 100 ms: about 400 ms in all.
    server.setThrottle(1024, 25);
    const Fetched f = get(QUrl(server.baseUrl() + "/fw.bin"));
    QCOMPARE(f.error, int(QNetworkReply::NoError));
    QVERIFY(f.body == image);
    QVERIFY2(f.progressSignals > 2, qPrintable(QString::number(f.progressSignals)));
}

void tst_DownloadServer::requests_recordedInOrder()
{
    LocalDownloadServer server;
    server.serve("a.txt", "a");
    QSignalSpy received(&server, &LocalDownloadServer::requestReceived);
    for (const char *path : {"/a.txt", "/b.bin?x=1", "/a.txt"})
        QVERIFY(get(QUrl(server.baseUrl() + path)).finished);
    QCOMPARE(server.requests(), (QStringList{"a.txt", "b.bin", "a.txt"}));
    QCOMPARE(server.requestCount("a.txt"), 2);
    QCOMPARE(server.requestCount("b.bin"), 1);
    QCOMPARE(received.size(), 3);
    QCOMPARE(received.at(1).first().toString(), QString("b.bin"));
    server.clearRequests();
    QVERIFY(server.requests().isEmpty());
}

void tst_DownloadServer::rawRequest_answeredAndClosed_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("in three pieces")
        << QList<QByteArray>{"GE", "T /a.txt HTTP/1.1\r\nHost: 127.0.0.1\r\nAcc", "ept: */*\r\n\r\n"}
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 6\r\nContent-Type: text/plain\r\n"
                      "Connection: close\r\n\r\n")
        << QByteArray("hello\n");
    QTest::newRow("bare line feeds") << QList<QByteArray>{"GET /a.txt HTTP/1.0\n\n"}
                                     << QByteArray("HTTP/1.1 200 OK\r\n") << QByteArray("hello\n");
    QTest::newRow("post") << QList<QByteArray>{"POST /a.txt HTTP/1.1\r\nContent-Length: 0\r\n\r\n"}
                          << QByteArray("HTTP/1.1 405 Method Not Allowed\r\n")
                          << QByteArray("Method not allowed\n");
    QTest::newRow("no target") << QList<QByteArray>{"GET\r\n\r\n"}
                               << QByteArray("HTTP/1.1 400 Bad Request\r\n")
                               << QByteArray("Bad request\n");
}

void tst_DownloadServer::rawRequest_answeredAndClosed()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, body);

    LocalDownloadServer server;
    server.serve("a.txt", "hello\n");
    QTcpSocket socket;
    QByteArray answer;
    connect(&socket, &QTcpSocket::readyRead, this, [&] { answer += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(socket.waitForConnected(5000));
    QSignalSpy requests(&server, &LocalDownloadServer::requestReceived);
    // An unfinished request is not answered yet.
    for (int i = 0; i < pieces.size(); ++i) {
        socket.write(pieces.at(i));
        if (i + 1 < pieces.size())
            QVERIFY(!requests.wait(50));
    }
    QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
    QVERIFY2(answer.startsWith(head), answer.constData());
    QVERIFY(answer.endsWith("\r\n\r\n" + body));
}

QTEST_GUILESS_MAIN(tst_DownloadServer)
#include "tst_downloadserver.moc"
