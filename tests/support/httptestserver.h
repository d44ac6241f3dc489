// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small servers the download tests start on 127.0.0.1 and stop themselves.
//
// HttpTestServer: a plain-socket HTTP server driven by the test's event loop. It records each
// request (head and body) and answers as told: the head and body at once, slowly in chunks, an
// endless body, nothing at all, a reset before or during the body, or on release(). It answers
// any request line, so it also stands in for a proxy.
//
// HttpsTestServer: "openssl s_server -HTTP" serving one file over TLS with a certificate the test
// makes (makeCertificate).

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>

#include <memory>
#include <vector>

class QSocketNotifier;
class QTimer;

class HttpTestServer : public QObject {
public:
    enum class Mode {
        Once,            // head + body, then close
        Slow,            // head, then the body in chunks of `chunk` bytes every `intervalMs`, then close
        Endless,         // head, then 'x' bytes without end (up to endlessLimit)
        Silent,          // reads the request, never answers
        ResetBeforeBody, // head, then the connection is reset
        ResetDuringBody, // head and the first resetAfter bytes of the body, then a reset
        Hold,            // head + body once release() is called, then close
    };
    QByteArray head = "HTTP/1.0 200 OK\r\n\r\n";
    QByteArray body;
    Mode mode = Mode::Once;
    int chunk = 200;
    int intervalMs = 15;
    qint64 endlessLimit = 64LL << 20; // bounded even when nobody stops it
    qint64 resetAfter = 1000;
    bool closeWhenDone = true; // Once, Slow, Hold: close after the answer (else keep the line open)

    QList<QByteArray> requests; // each complete request as received
    bool replied = false;       // something of an answer was sent
    bool clientGone = false;    // a client closed or reset its side

    HttpTestServer();
    ~HttpTestServer() override;
    bool listening() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    // The libcurl "connect-to" entry sending requests for hostAndPort ("host:port") here.
    QString connectTo(const QString &hostAndPort = QStringLiteral("quelvado.test:80")) const;
    // Hold mode: answers the requests waiting and every later one at once.
    void release();

    // "HTTP/1.0 200 OK" with a Content-Length of length.
    static QByteArray okHead(qint64 length);
    // Clears the system's proxy settings, which the worker honours, so requests come here directly.
    static void bypassProxies();

private:
    struct Client;
    void accept();
    void drop(Client &c, bool reset = false);
    void readFrom(Client &c);
    void send(Client &c, const QByteArray &bytes);
    void flush(Client &c);
    void respond(Client &c);
    void resetLater(Client &c);

    int m_fd = -1;
    quint16 m_port = 0;
    bool m_released = false;
    QSocketNotifier *m_acceptor = nullptr;
    std::vector<std::unique_ptr<Client>> m_clients;
};

class HttpsTestServer {
public:
    HttpsTestServer() = default;
    ~HttpsTestServer();
    HttpsTestServer(const HttpsTestServer &) = delete;
    HttpsTestServer &operator=(const HttpsTestServer &) = delete;

    // True when the openssl tool can be run.
    static bool available();
    // Makes a self-signed certificate for host: folder/cert.pem and folder/key.pem.
    static bool makeCertificate(const QString &folder, const QString &host);

    // Serves response (a whole HTTP response, head and body) as "/" + name from a folder of its
    // own, with the certificate and key given; false when the server did not start.
    bool start(const QString &cert, const QString &key, const QString &name, const QByteArray &response);
    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    QString m_folder;
    quint16 m_port = 0;
};
