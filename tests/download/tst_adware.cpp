// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The download component and its worker against the small HTTP server of the test support, started
// on 127.0.0.1 (the worker's "connect-to" seam sends quelvado.test:80 there): the exact request sent,
// progress and completion on the interface thread in order, stop requests, hostile servers, file contents.

#include "download/adware.h"
#include "download/httpgetthread.h"

#include "fakes.h"
#include "files.h"
#include "httptestserver.h"

#include <QtTest>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLabel>

#include <memory>
#include <vector>

namespace {

QByteArray pattern(int size)
{
    QByteArray out(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        out[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return out;
}

QByteArray okHead(qint64 length)
{
    return HttpTestServer::okHead(length);
}

// The request's head lines after the request line, as "Name: value".
QStringList headerLines(const QByteArray &request)
{
    const QByteArray head = request.left(request.indexOf("\r\n\r\n"));
    QStringList lines = QString::fromLatin1(head).split(QStringLiteral("\r\n"));
    lines.removeFirst();
    return lines;
}

QByteArray requestLine(const QByteArray &request)
{
    return request.left(request.indexOf("\r\n"));
}
QByteArray requestBody(const QByteArray &request)
{
    return request.mid(request.indexOf("\r\n\r\n") + 4);
}

// One call a handler saw, in arrival order.
struct Call {
    QString kind; // "progress" or "done"
    QObject *sender;
    qint32 first;  // TotalSize or FileSize
    qint32 second; // Readed
    QString fileName;
    bool onInterfaceThread;
    bool workerWaiting; // the worker had not moved on while the handler ran
    bool senderIsWorker;
};

// Records every OnProgress and OnImageDone of a component.
struct Recorder {
    QList<Call> calls;
    explicit Recorder(TAdware &adware)
    {
        QObject::connect(&adware, &TAdware::OnProgress, &adware,
                         [this](QObject *sender, qint32 total, qint32 readed) {
                             auto *worker = qobject_cast<THTTPGetThread *>(sender);
                             calls << Call{QStringLiteral("progress"),
                                           sender,
                                           total,
                                           readed,
                                           {},
                                           QThread::currentThread() == qApp->thread(),
                                           worker && worker->Readed() == readed,
                                           worker != nullptr};
                         });
        QObject::connect(
            &adware, &TAdware::OnImageDone, &adware,
            [this, &adware](QObject *sender, const QString &name, qint32 size) {
                calls << Call{
                    QStringLiteral("done"), sender, size, 0, name, QThread::currentThread() == qApp->thread(),
                    adware.Downloading(),   false};
            });
    }
    int count(const QString &kind) const
    {
        return int(
            std::count_if(calls.begin(), calls.end(), [&kind](const Call &c) { return c.kind == kind; }));
    }
};

const QString Address = QStringLiteral("http://quelvado.test/dir/file.zip");

} // namespace

class TestAdware : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { HttpTestServer::bypassProxies(); }
    void cleanup() { THTTPGetThread::setConnectTo({}); }

    void defaults()
    {
        TAdware adware;
        QCOMPARE(adware.property("AcceptTypes").toString(), QStringLiteral("*/*"));
        for (const char *name : {"BinaryData", "UseCache", "WaitThread"})
            QCOMPARE(adware.property(name).toBool(), false);
        for (const char *name : {"LinkURL", "ImageURL", "UserName", "Password", "PostQuery", "Referer"})
            QVERIFY(adware.property(name).toString().isEmpty());
        QVERIFY(!adware.Image());
        QVERIFY(!adware.Downloading());
        QVERIFY(adware.setProperty("ImageURL", Address));
        QCOMPARE(adware.ImageURL(), Address);
    }

    void splitURL_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("object");
        QTest::addColumn<bool>("tls");
        QTest::addColumn<int>("port");
        QTest::newRow("plain") << Address << true << "quelvado.test"
                               << "/dir/file.zip" << false << 80;
        QTest::newRow("upper-case scheme") << "HTTP://Quelvado.Test/dir/file.zip" << true << "Quelvado.Test"
                                           << "/dir/file.zip" << false << 80;
        QTest::newRow("no scheme") << "quelvado.test/a.zip" << true << "quelvado.test"
                                   << "/a.zip" << false << 80;
        QTest::newRow("host only") << "http://quelvado.test" << true << "quelvado.test"
                                   << "" << false << 80;
        QTest::newRow("query kept") << "http://h/x.zip?a=1" << true << "h"
                                    << "/x.zip?a=1" << false << 80;
        QTest::newRow("tls") << "https://quelvado.test/f.zip" << true << "quelvado.test"
                             << "/f.zip" << true << 443;
        QTest::newRow("port") << "http://quelvado.test:8080/f" << true << "quelvado.test"
                              << "/f" << false << 8080;
        QTest::newRow("port over tls") << "https://h:8443/f" << true << "h"
                                       << "/f" << true << 8443;
        QTest::newRow("port without path") << "http://h:81" << true << "h"
                                           << "" << false << 81;
        QTest::newRow("port 0") << "http://h:0/f" << false << "h"
                                << "/f" << false << -1;
        QTest::newRow("port too large") << "http://h:65536/f" << false << "h"
                                        << "/f" << false << -1;
        QTest::newRow("port empty") << "http://h:/f" << false << "h"
                                    << "/f" << false << -1;
        QTest::newRow("port not a number") << "http://h:8o/f" << false << "h"
                                           << "/f" << false << -1;
        QTest::newRow("credentials in address") << "http://a:b@h/f" << false << "a"
                                                << "/f" << false << -1;
        QTest::newRow("empty") << "" << false << ""
                               << "" << false << 80;
        QTest::newRow("no host") << "http:///f.zip" << false << ""
                                 << "/f.zip" << false << 80;
    }
    void splitURL()
    {
        QFETCH(QString, url);
        QFETCH(bool, valid);
        QFETCH(QString, host);
        QFETCH(QString, object);
        QFETCH(bool, tls);
        QFETCH(int, port);
        QString gotHost, gotObject;
        bool gotTls = !tls;
        int gotPort = -1;
        QCOMPARE(THTTPGetThread::SplitURL(url, &gotHost, &gotObject, &gotTls, &gotPort), valid);
        QCOMPARE(gotHost, host);
        QCOMPARE(gotObject, object);
        QCOMPARE(gotTls, tls);
        if (valid)
            QCOMPARE(gotPort, port);
    }

    // The system's proxy settings, as libcurl reads them, and the hosts no_proxy exempts.
    void systemProxy()
    {
        const QByteArray names[] = {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy",
                                    "ALL_PROXY",  "no_proxy",    "NO_PROXY",    "HTTP_PROXY"};
        const auto restore = qScopeGuard([&names] {
            for (const QByteArray &name : names)
                qunsetenv(name.constData());
            qputenv("no_proxy", "*");
        });
        for (const QByteArray &name : names)
            qunsetenv(name.constData());
        QVERIFY(THTTPGetThread::SystemProxy(QStringLiteral("h"), false).isEmpty());
        qputenv("HTTP_PROXY", "http://upper:1"); // not trusted
        QVERIFY(THTTPGetThread::SystemProxy(QStringLiteral("h"), false).isEmpty());
        qputenv("http_proxy", "http://p:3128");
        QCOMPARE(THTTPGetThread::SystemProxy(QStringLiteral("h"), false), QStringLiteral("http://p:3128"));
        QVERIFY(THTTPGetThread::SystemProxy(QStringLiteral("h"), true).isEmpty());
        qputenv("HTTPS_PROXY", "http://s:1");
        QCOMPARE(THTTPGetThread::SystemProxy(QStringLiteral("h"), true), QStringLiteral("http://s:1"));
        qputenv("all_proxy", "http://a:2");
        qunsetenv("HTTPS_PROXY");
        QCOMPARE(THTTPGetThread::SystemProxy(QStringLiteral("h"), true), QStringLiteral("http://a:2"));
        qputenv("no_proxy", "localhost, .example.com,quelvado.test:80");
        QVERIFY(THTTPGetThread::SystemProxy(QStringLiteral("www.example.com"), false).isEmpty());
        QVERIFY(THTTPGetThread::SystemProxy(QStringLiteral("EXAMPLE.com"), false).isEmpty());
        QVERIFY(THTTPGetThread::SystemProxy(QStringLiteral("quelvado.test"), false).isEmpty());
        QVERIFY(THTTPGetThread::SystemProxy(QStringLiteral("notexample.com"), false) ==
                QStringLiteral("http://p:3128"));
        qputenv("no_proxy", "*");
        QVERIFY(THTTPGetThread::SystemProxy(QStringLiteral("h"), false).isEmpty());
    }

    void localFileName_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("name");
        QTest::newRow("zip") << Address << "temp.zip";
        QTest::newRow("upper-case scheme") << "HTTP://quelvado.test/dir/file.zip"
                                           << "temp.zip";
        QTest::newRow("no extension") << "http://quelvado.test/dir/file"
                                      << "temp";
        QTest::newRow("dot in folder only") << "http://quelvado.test/dir.d/file"
                                            << "temp";
        QTest::newRow("host only") << "http://quelvado.test"
                                   << "temp.test";
        QTest::newRow("base address") << "http://quelvado.test/dir/"
                                      << "temp";
        QTest::newRow("empty") << ""
                               << "temp";
    }
    void localFileName()
    {
        QFETCH(QString, url);
        QFETCH(QString, name);
        TempProgramFolder folder;
        QCOMPARE(TAdware::LocalFileName(url), folder.file(name));
    }

    void contentLength_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QByteArray("3000") << true << 3000;
        QTest::newRow("blanks") << QByteArray(" \t42 ") << true << 42;
        QTest::newRow("zero") << QByteArray("0") << true << 0;
        QTest::newRow("negative") << QByteArray("-5") << false << 0;
        QTest::newRow("plus sign") << QByteArray("+54622") << false << 0;
        QTest::newRow("letters after") << QByteArray("54622abc") << false << 0;
        QTest::newRow("leading zeros") << QByteArray("007") << true << 7;
        QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647;
        QTest::newRow("too large") << QByteArray("2147483648") << false << 0;
        QTest::newRow("absurd") << QByteArray("99999999999999999999999999") << false << 0;
        QTest::newRow("letters") << QByteArray("abc") << false << 0;
        QTest::newRow("two numbers") << QByteArray("1 2") << false << 0;
        QTest::newRow("empty") << QByteArray("") << false << 0;
        QTest::newRow("sign only") << QByteArray("+") << false << 0;
    }
    void contentLength()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        qint32 parsed = 123;
        QCOMPARE(parseContentLength(text, &parsed), valid);
        if (valid)
            QCOMPARE(parsed, value);
    }

    void responseHead()
    {
        HttpResponseHead head;
        for (const char *line : {"HTTP/1.1 100 Continue\r\n", "Content-Length: 7\r\n", "\r\n"})
            head.feedLine(line);
        QVERIFY(!head.complete()); // an interim response is forgotten
        for (const char *line : {"HTTP/1.0 200 OK\r\n", "content-LENGTH :  3000 \r\n",
                                 "Content-Length: 9\r\n", "X-Odd line without colon\r\n", "\r\n"})
            head.feedLine(line);
        QVERIFY(head.complete());
        QCOMPARE(head.status(), 200);
        QVERIFY(head.hasContentLength());
        QCOMPARE(head.contentLength(), QByteArray("3000")); // the first one is kept
        QVERIFY(head.contentLengthConflict());              // and the second differs

        HttpResponseHead twice;
        for (const char *line :
             {"HTTP/1.0 200 OK\r\n", "Content-Length: 12\r\n", "Content-Length:12 \r\n", "\r\n"})
            twice.feedLine(line);
        QVERIFY(twice.complete());
        QVERIFY(!twice.contentLengthConflict()); // the same value twice is no conflict

        HttpResponseHead garbage;
        for (const char *line : {"HTTP/1.0 2x0 Fine\r\n", "\r\n"})
            garbage.feedLine(line);
        QVERIFY(garbage.complete());
        QCOMPARE(garbage.status(), 0);
        QVERIFY(!garbage.hasContentLength());
    }

    // The request as the server receives it.
    void request_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("accept");
        QTest::addColumn<QString>("referer");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("post");
        QTest::addColumn<bool>("useCache");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QByteArray>("body");

        const QString agent = QStringLiteral("User-Agent: Durel TAdware Component");
        const QString host = QStringLiteral("Host: quelvado.test");
        const QStringList noCache{QStringLiteral("Pragma: no-cache"),
                                  QStringLiteral("Cache-Control: no-cache")};
        QTest::newRow("default GET") << Address << "*/*"
                                     << ""
                                     << ""
                                     << ""
                                     << "" << false << QByteArray("GET /dir/file.zip HTTP/1.0")
                                     << (QStringList{host, agent, "Accept: */*"} + noCache) << QByteArray();
        QTest::newRow("upper-case scheme")
            << "HTTP://quelvado.test/dir/file.zip"
            << "*/*"
            << ""
            << ""
            << ""
            << "" << false << QByteArray("GET /dir/file.zip HTTP/1.0")
            << (QStringList{host, agent, "Accept: */*"} + noCache) << QByteArray();
        QTest::newRow("cache, referrer, accept")
            << "http://quelvado.test/banner.gif"
            << "image/gif"
            << "http://quelvado.test/index.html"
            << ""
            << ""
            << "" << true << QByteArray("GET /banner.gif HTTP/1.0")
            << QStringList{host, agent, "Accept: image/gif", "Referer: http://quelvado.test/index.html"}
            << QByteArray();
        QTest::newRow("credentials") << Address << "*/*"
                                     << ""
                                     << "ana"
                                     << "segredo"
                                     << "" << true << QByteArray("GET /dir/file.zip HTTP/1.0")
                                     << QStringList{host,
                                                    "Authorization: Basic " +
                                                        QString::fromLatin1(
                                                            QByteArray("ana:segredo").toBase64()),
                                                    agent, "Accept: */*"}
                                     << QByteArray();
        QTest::newRow("POST") << "http://quelvado.test/form"
                              << "*/*"
                              << ""
                              << ""
                              << ""
                              << "a=1" << false << QByteArray("POST /form HTTP/1.0")
                              << (QStringList{host, agent, "Accept: */*"} + noCache +
                                  QStringList{"Content-Type: application/x-www-form-urlencoded",
                                              "Content-Length: 3"})
                              << QByteArray("a=1");
        QTest::newRow("blank in object name")
            << "http://quelvado.test/meus arquivos/a.zip"
            << "*/*"
            << ""
            << ""
            << ""
            << "" << true << QByteArray("GET /meus%20arquivos/a.zip HTTP/1.0")
            << QStringList{host, agent, "Accept: */*"} << QByteArray();
    }
    void request()
    {
        QFETCH(QString, url);
        QFETCH(QString, accept);
        QFETCH(QString, referer);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, post);
        QFETCH(bool, useCache);
        QFETCH(QByteArray, line);
        QFETCH(QStringList, headers);
        QFETCH(QByteArray, body);

        TempProgramFolder folder;
        HttpTestServer server;
        QVERIFY(server.listening());
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.head = okHead(2);
        server.body = "ok";
        TAdware adware;
        adware.setImageURL(url);
        adware.setAcceptTypes(accept);
        adware.setReferer(referer);
        adware.setUserName(user);
        adware.setPassword(password);
        adware.setPostQuery(post);
        adware.setUseCache(useCache);
        QVERIFY(adware.StartDownload());
        QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 10000);
        QVERIFY(adware.LastSucceeded());

        QCOMPARE(server.requests.size(), 1);
        const QByteArray request = server.requests.first();
        QCOMPARE(requestLine(request), line);
        QStringList sent = headerLines(request);
        sent.sort();
        headers.sort();
        QCOMPARE(sent, headers);
        QCOMPARE(requestBody(request), body);
    }

    // 3000 bytes announced and sent: progress in blocks of at most 1025, then completion, all on
    // the interface thread while the worker waits; the file holds the body byte for byte.
    void downloadInBlocks()
    {
        TempProgramFolder folder;
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        const QByteArray body = pattern(3000);
        server.head = okHead(3000);
        server.body = body;
        TAdware adware;
        adware.setImageURL(Address);
        Recorder recorder(adware);
        QVERIFY(adware.StartDownload());
        QVERIFY(adware.Downloading());
        const QPointer<THTTPGetThread> alive(adware.Worker());
        QVERIFY(alive);
        QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 10000);

        QVERIFY(recorder.count(QStringLiteral("progress")) >= 3);
        QCOMPARE(recorder.count(QStringLiteral("done")), 1);
        QCOMPARE(recorder.calls.last().kind, QStringLiteral("done"));
        qint32 previous = 0;
        QObject *worker = recorder.calls.first().sender;
        QVERIFY(recorder.calls.first().senderIsWorker);
        for (const Call &call : recorder.calls) {
            QVERIFY(call.onInterfaceThread);
            QVERIFY(call.workerWaiting);
            if (call.kind != QLatin1String("progress"))
                continue;
            QCOMPARE(call.sender, worker);
            QCOMPARE(call.first, 3000);
            QVERIFY(call.second > previous);
            QVERIFY(call.second - previous <= 1025);
            // Whole blocks of 1025 bytes, however the body arrives; only the end is shorter.
            QVERIFY2(call.second == 3000 || call.second % 1025 == 0,
                     qPrintable(QString::number(call.second)));
            previous = call.second;
        }
        QCOMPARE(previous, 3000);
        const Call done = recorder.calls.last();
        QCOMPARE(done.sender, &adware);
        QCOMPARE(done.fileName, folder.file(QStringLiteral("temp.zip")));
        QCOMPARE(done.first, 3000);
        QVERIFY(adware.LastSucceeded());
        QCOMPARE(readFile(folder.file(QStringLiteral("temp.zip"))), body);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"temp.zip"});
        // The worker frees itself.
        QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), 5000);
    }

    // With nobody listening to OnProgress the worker makes no hand-off per block.
    void downloadWithoutProgressHandler()
    {
        TempProgramFolder folder;
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        const QByteArray body = pattern(100000);
        server.head = okHead(body.size());
        server.body = body;
        TAdware adware;
        adware.setImageURL(Address);
        QSignalSpy done(&adware, &TAdware::OnImageDone);
        QVERIFY(adware.StartDownload());
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 10000);
        QCOMPARE(done.first().at(2).toInt(), 100000);
        QCOMPARE(readFile(folder.file(QStringLiteral("temp.zip"))), body);
    }

    void noContentLength_data()
    {
        QTest::addColumn<bool>("binaryData");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<int>("progressCalls");
        QTest::newRow("binary: nothing read") << true << pattern(3000) << false << 0;
        QTest::newRow("binary, empty body") << true << QByteArray() << false << 0;
        QTest::newRow("text: length differs") << false << pattern(500) << false << 1;
        QTest::newRow("text, empty body") << false << QByteArray() << true << 0;
    }
    void noContentLength()
    {
        QFETCH(bool, binaryData);
        QFETCH(QByteArray, body);
        QFETCH(bool, succeeds);
        QFETCH(int, progressCalls);
        TempProgramFolder folder;
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.head = "HTTP/1.0 200 OK\r\nContent-Type: application/zip\r\n\r\n";
        server.body = body;
        TAdware adware;
        adware.setImageURL(Address);
        adware.setBinaryData(binaryData);
        Recorder recorder(adware);
        QVERIFY(adware.StartDownload());
        QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 10000);
        QCOMPARE(adware.LastSucceeded(), succeeds);
        QCOMPARE(recorder.count(QStringLiteral("progress")), progressCalls);
        QCOMPARE(recorder.count(QStringLiteral("done")), succeeds ? 1 : 0);
        if (succeeds) {
            QCOMPARE(recorder.calls.last().first, 0);
            QCOMPARE(readFile(folder.file(QStringLiteral("temp.zip"))), QByteArray());
        } else {
            QVERIFY(QDir(folder.path()).entryList(QDir::Files).isEmpty());
        }
    }

    void startTwice()
    {
        TempProgramFolder folder;
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.mode = HttpTestServer::Mode::Slow;
        server.body = pattern(4000);
        server.head = okHead(4000);
        TAdware adware;
        adware.setImageURL(Address);
        Recorder recorder(adware);
        QVERIFY(adware.StartDownload());
        THTTPGetThread *first = adware.Worker();
        QVERIFY(!adware.StartDownload());
        QCOMPARE(adware.Worker(), first);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.count(QStringLiteral("progress")) >= 1, 10000);
        QVERIFY(!adware.StartDownload()); // still refused in the middle of the body
        QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 10000);
        QCOMPARE(recorder.count(QStringLiteral("done")), 1);
        QCOMPARE(server.requests.size(), 1);
        QCOMPARE(readFile(folder.file(QStringLiteral("temp.zip"))), server.body);
        // Idle again: a new download is accepted.
        QVERIFY(adware.StartDownload());
        QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 10000);
    }

    void waitThread()
    {
        TempProgramFolder folder;
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.mode = HttpTestServer::Mode::Slow;
        server.body = pattern(2500);
        server.head = okHead(2500);
        TAdware adware;
        adware.setImageURL(Address);
        adware.setWaitThread(true);
        Recorder recorder(adware);
        QVERIFY(adware.StartDownload());
        // Returned only after the end; progress and completion ran inside the call.
        QVERIFY(!adware.Downloading());
        QCOMPARE(recorder.count(QStringLiteral("done")), 1);
        QVERIFY(recorder.count(QStringLiteral("progress")) >= 3);
        QCOMPARE(readFile(folder.file(QStringLiteral("temp.zip"))), server.body);
    }

    // Failures are silent and keep an existing file intact; no stray files are left behind.
    void serverFailures_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("404") << QByteArray("HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\n")
                             << QByteArray("not found");
        QTest::newRow("500") << QByteArray("HTTP/1.0 500 Oops\r\nContent-Length: 4\r\n\r\n")
                             << QByteArray("oops");
        QTest::newRow("redirect")
            << QByteArray("HTTP/1.0 302 Found\r\nLocation: /other.zip\r\nContent-Length: 0\r\n\r\n")
            << QByteArray();
        QTest::newRow("closes early") << okHead(5000) << pattern(2000);
        QTest::newRow("length letters")
            << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: abc\r\n\r\n") << QByteArray("abc");
        QTest::newRow("length absurd")
            << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 99999999999999\r\n\r\n") << pattern(100);
        QTest::newRow("length negative")
            << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\n") << pattern(100);
        QTest::newRow("huge header") << "HTTP/1.0 200 OK\r\nX-Filler: " + QByteArray(300000, 'a') +
                                            "\r\nContent-Length: 3\r\n\r\n"
                                     << QByteArray("abc");
        QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << pattern(50);
        QTest::newRow("nothing") << QByteArray() << QByteArray();
    }
    void serverFailures()
    {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, body);
        TempProgramFolder folder;
        const QString target = folder.file(QStringLiteral("temp.zip"));
        QVERIFY(writeFile(target, "GOOD OLD FILE"));
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.head = head;
        server.body = body;
        TAdware adware;
        adware.setImageURL(Address);
        Recorder recorder(adware);
        QVERIFY(adware.StartDownload());
        QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 15000);
        QVERIFY(!adware.LastSucceeded());
        QCOMPARE(recorder.count(QStringLiteral("done")), 0);
        QCOMPARE(readFile(target), QByteArray("GOOD OLD FILE"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"temp.zip"});
    }

    // After the announced length the server may keep the line open: the download then succeeds
    // once a short grace has passed; bytes beyond the length within the grace fail it.
    void afterTheAnnouncedLength_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("line kept open, nothing more") << pattern(3000) << true;
        QTest::newRow("more bytes a moment later") << pattern(3300) << false;
    }
    void afterTheAnnouncedLength()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, succeeds);
        TempProgramFolder folder;
        THTTPGetThread::setCloseGraceSeconds(1);
        const auto grace = qScopeGuard([] { THTTPGetThread::setCloseGraceSeconds(0); });
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.mode = HttpTestServer::Mode::Slow;
        server.closeWhenDone = false;
        server.chunk = 3000;
        server.intervalMs = 300;
        server.head = okHead(3000);
        server.body = body;
        TAdware adware;
        adware.setImageURL(Address);
        Recorder recorder(adware);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(adware.StartDownload());
        QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 5000);
        QCOMPARE(adware.LastSucceeded(), succeeds);
        QCOMPARE(recorder.count(QStringLiteral("done")), succeeds ? 1 : 0);
        if (succeeds) {
            QVERIFY(clock.elapsed() >= 1000); // the grace was waited for
            QCOMPARE(readFile(folder.file(QStringLiteral("temp.zip"))), body);
        } else {
            QVERIFY(!QFile::exists(folder.file(QStringLiteral("temp.zip"))));
        }
    }

    void unreachable()
    {
        TempProgramFolder folder;
        quint16 closedPort = 0;
        {
            HttpTestServer probe;
            QVERIFY(probe.listening());
            closedPort = probe.port();
        }
        THTTPGetThread::setConnectTo({QStringLiteral("quelvado.test:80:127.0.0.1:%1").arg(closedPort)});
        TAdware adware;
        adware.setImageURL(Address);
        Recorder recorder(adware);
        QVERIFY(adware.StartDownload());
        QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 15000);
        QVERIFY(!adware.LastSucceeded());
        QVERIFY(recorder.calls.isEmpty());

        // The port written in the address is used: nothing listens there either.
        THTTPGetThread::setConnectTo({});
        adware.setImageURL(QStringLiteral("http://127.0.0.1:%1/f.zip").arg(closedPort));
        QVERIFY(adware.StartDownload());
        QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 5000);
        QVERIFY(!adware.LastSucceeded());
        QVERIFY(QDir(folder.path()).entryList(QDir::Files).isEmpty());
    }

    // An endless body: with a Content-Length it fails as soon as more than that comes; without
    // one and BinaryData (the window's setting) nothing is read at all.
    void endlessBody()
    {
        TempProgramFolder folder;
        {
            HttpTestServer server;
            THTTPGetThread::setConnectTo({server.connectTo()});
            server.mode = HttpTestServer::Mode::Endless;
            server.head = okHead(5000);
            TAdware adware;
            adware.setImageURL(Address);
            QSignalSpy done(&adware, &TAdware::OnImageDone);
            QVERIFY(adware.StartDownload());
            QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 10000);
            QCOMPARE(done.size(), 0);
            QVERIFY(!adware.LastSucceeded());
            QVERIFY(!QFile::exists(folder.file(QStringLiteral("temp.zip"))));
        }
        {
            HttpTestServer server;
            THTTPGetThread::setConnectTo({server.connectTo()});
            server.mode = HttpTestServer::Mode::Endless;
            server.head = "HTTP/1.0 200 OK\r\n\r\n";
            TAdware adware;
            adware.setImageURL(QStringLiteral("http://quelvado.test/other.bin"));
            adware.setBinaryData(true);
            Recorder recorder(adware);
            QVERIFY(adware.StartDownload());
            QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 10000);
            QVERIFY(recorder.calls.isEmpty());
            QVERIFY(!QFile::exists(folder.file(QStringLiteral("temp.bin"))));
        }
        {
            // A header line that never ends.
            HttpTestServer server;
            THTTPGetThread::setConnectTo({server.connectTo()});
            server.mode = HttpTestServer::Mode::Endless;
            server.head = "HTTP/1.0 200 OK\r\nContent-Length: 3\r\nX-Endless: ";
            TAdware adware;
            adware.setImageURL(Address);
            Recorder recorder(adware);
            QVERIFY(adware.StartDownload());
            QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 10000);
            QVERIFY(!adware.LastSucceeded());
            QVERIFY(recorder.calls.isEmpty());
            QVERIFY(QDir(folder.path()).entryList(QDir::Files).isEmpty());
        }
    }

    // Destroying the component stops the worker promptly: while the body streams (endless or
    // slow) and while the server keeps silent; nothing is called back, the old file survives.
    void destroyWhileDownloading_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("slow body") << int(HttpTestServer::Mode::Slow);
        QTest::newRow("endless body") << int(HttpTestServer::Mode::Endless);
        QTest::newRow("silent server") << int(HttpTestServer::Mode::Silent);
    }
    void destroyWhileDownloading()
    {
        QFETCH(int, mode);
        TempProgramFolder folder;
        const QString target = folder.file(QStringLiteral("temp.zip"));
        QVERIFY(writeFile(target, "GOOD OLD FILE"));
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.mode = HttpTestServer::Mode(mode);
        server.head = server.mode == HttpTestServer::Mode::Endless ? QByteArray("HTTP/1.0 200 OK\r\n\r\n")
                                                                   : okHead(200000);
        server.body = pattern(200000);
        int calls = 0;
        QObject context;
        auto adware = std::make_unique<TAdware>();
        adware->setImageURL(Address);
        connect(adware.get(), &TAdware::OnProgress, &context, [&calls] { ++calls; });
        connect(adware.get(), &TAdware::OnImageDone, &context, [&calls] { calls += 1000; });
        QVERIFY(adware->StartDownload());
        QPointer<THTTPGetThread> worker(adware->Worker());
        if (server.mode == HttpTestServer::Mode::Silent)
            QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 1, 10000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(calls >= 3, 10000);

        QElapsedTimer clock;
        clock.start();
        adware.reset();
        QVERIFY(clock.elapsed() < 100); // the destructor does not wait
        const int seen = calls;
        QTRY_VERIFY_WITH_TIMEOUT(worker.isNull(), 3000); // ended and freed itself
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(50); // no call comes: the wait is what is checked
        QCOMPARE(calls, seen);
        QCOMPARE(readFile(target), QByteArray("GOOD OLD FILE"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"temp.zip"});
        QTRY_VERIFY_WITH_TIMEOUT(server.clientGone, 3000);
    }

    // The interface thread asks for a stop and waits for the worker while the worker is waiting
    // for the interface thread to run a progress call: no dead-lock, the wait is short, and the
    // completion still arrives (with failure) once events flow again.
    void stopThenWait()
    {
        TempProgramFolder folder;
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.mode = HttpTestServer::Mode::Endless; // never ends by itself
        server.head = "HTTP/1.0 200 OK\r\n\r\n";
        struct Seen {
            int progress = 0;
            int completions = 0;
            bool succeeded = true;
            bool onInterfaceThread = false;
        };
        auto seen = std::make_shared<Seen>();
        auto *worker = new THTTPGetThread(
            QStringLiteral("*/*"), QString::fromLatin1(TAdware::Agent), Address,
            folder.file(QStringLiteral("temp.zip")), {}, {}, {}, {}, false, false,
            [seen](QObject *, qint32, qint32) { ++seen->progress; },
            [seen](THTTPGetThread *w) {
                ++seen->completions;
                seen->succeeded = w->Succeeded();
                seen->onInterfaceThread = QThread::currentThread() == qApp->thread();
            });
        QPointer<THTTPGetThread> alive(worker);
        // Should a check fail, the worker still stops and calls nothing more.
        const auto stop = qScopeGuard([alive] {
            if (alive) {
                alive->Detach();
                alive->Terminate();
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(server.replied && seen->progress >= 1, 10000);
        // No events on purpose (the situation checked): the worker now sits in its next hand-off.
        QThread::msleep(200);
        QVERIFY(worker->isRunning());
        QElapsedTimer clock;
        clock.start();
        worker->Terminate();
        QVERIFY(worker->wait(3000));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!worker->Succeeded());
        QTRY_COMPARE_WITH_TIMEOUT(seen->completions, 1, 3000);
        QVERIFY(!seen->succeeded);
        QVERIFY(seen->onInterfaceThread);
        QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), 3000);
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("temp.zip"))));
    }

    // A handler that throws does not leave the component busy or the worker stuck.
    void throwingHandler()
    {
        TempProgramFolder folder;
        FakeDialogs dialogs;
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.body = pattern(1500);
        server.head = okHead(1500);
        TAdware adware;
        adware.setImageURL(Address);
        connect(&adware, &TAdware::OnImageDone, &adware, [] { throw std::runtime_error("handler failed"); });
        QVERIFY(adware.StartDownload());
        QTRY_VERIFY_WITH_TIMEOUT(!adware.Downloading(), 10000);
        QVERIFY(adware.LastSucceeded());
        QCOMPARE(dialogs.boxes.size(), 1);
    }

    // A handler may destroy the component (its window closing): nothing runs on the dead object.
    void destroyedByHandler_data()
    {
        QTest::addColumn<bool>("inProgress");
        QTest::newRow("in OnProgress") << true;
        QTest::newRow("in OnImageDone") << false;
    }
    void destroyedByHandler()
    {
        QFETCH(bool, inProgress);
        TempProgramFolder folder;
        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.body = pattern(5000);
        server.head = okHead(5000);
        QLabel label;
        auto adware = std::make_unique<TAdware>();
        adware->setImage(&label);
        adware->setImageURL(Address);
        int calls = 0;
        QObject context;
        const auto destroy = [&calls, &adware] {
            ++calls;
            adware.reset();
        };
        if (inProgress)
            connect(adware.get(), &TAdware::OnProgress, &context, destroy);
        else
            connect(adware.get(), &TAdware::OnImageDone, &context, destroy);
        QVERIFY(adware->StartDownload());
        QPointer<THTTPGetThread> worker(adware->Worker());
        QTRY_VERIFY_WITH_TIMEOUT(!adware, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(worker.isNull(), 5000);
        QCOMPARE(calls, 1);
    }

    // An attached picture control receives the downloaded picture; a file that is no picture
    // leaves it as it was and still raises OnImageDone.
    void pictureControl()
    {
        TempProgramFolder folder;
        QImage image(12, 7, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(image.save(&buffer, "PNG"));

        HttpTestServer server;
        THTTPGetThread::setConnectTo({server.connectTo()});
        server.head = okHead(png.size());
        server.body = png;
        QLabel label;
        TAdware adware;
        adware.setImage(&label);
        adware.setImageURL(QStringLiteral("http://quelvado.test/banner.png"));
        QSignalSpy done(&adware, &TAdware::OnImageDone);
        QVERIFY(adware.StartDownload());
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 10000);
        QCOMPARE(done.first().at(1).toString(), folder.file(QStringLiteral("temp.png")));
        QCOMPARE(label.pixmap().size(), QSize(12, 7));

        server.head = okHead(5);
        server.body = "12345";
        adware.setImageURL(QStringLiteral("http://quelvado.test/broken.png"));
        QVERIFY(adware.StartDownload());
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 10000);
        QCOMPARE(label.pixmap().size(), QSize(12, 7));
    }
};

QTEST_MAIN(TestAdware)
#include "tst_adware.moc"
