// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "httptestserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

struct HttpTestServer::Client {
    int fd = -1;
    QSocketNotifier *reader = nullptr;
    QSocketNotifier *writer = nullptr;
    QTimer *timer = nullptr;
    QByteArray in, out;
    bool answered = false;
    bool held = false;
    bool closeWhenSent = false;
    bool resetWhenSent = false;
    bool endless = false;
    qint64 sent = 0;
};

namespace {
// The request is complete: its head has ended and as many body bytes as it announced are here.
bool complete(const QByteArray &request)
{
    const qsizetype end = request.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    qint64 length = 0;
    for (const QByteArray &line : request.left(end).split('\n'))
        if (line.toLower().startsWith("content-length:"))
            length = line.mid(15).trimmed().toLongLong();
    return request.size() >= end + 4 + length;
}
} // namespace

HttpTestServer::HttpTestServer()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::listen(m_fd, 8) != 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    m_acceptor = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_acceptor, &QSocketNotifier::activated, this, &HttpTestServer::accept);
}

HttpTestServer::~HttpTestServer()
{
    for (auto &client : m_clients)
        drop(*client);
    if (m_fd >= 0)
        ::close(m_fd);
}

QString HttpTestServer::connectTo(const QString &hostAndPort) const
{
    return hostAndPort + QStringLiteral(":127.0.0.1:%1").arg(m_port);
}

QByteArray HttpTestServer::okHead(qint64 length)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: application/zip\r\nContent-Length: " +
           QByteArray::number(length) + "\r\n\r\n";
}

void HttpTestServer::bypassProxies()
{
    for (const char *name :
         {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(name);
    qputenv("no_proxy", "*");
}

void HttpTestServer::release()
{
    m_released = true;
    for (auto &client : m_clients)
        if (client->held && client->fd >= 0) {
            client->held = false;
            client->closeWhenSent = closeWhenDone;
            replied = true;
            send(*client, head + body);
        }
}

void HttpTestServer::accept()
{
    for (;;) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        auto client = std::make_unique<Client>();
        Client *c = client.get();
        c->fd = fd;
        c->reader = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        c->writer = new QSocketNotifier(fd, QSocketNotifier::Write, this);
        c->writer->setEnabled(false);
        connect(c->reader, &QSocketNotifier::activated, this, [this, c] { readFrom(*c); });
        connect(c->writer, &QSocketNotifier::activated, this, [this, c] { flush(*c); });
        m_clients.push_back(std::move(client));
    }
}

void HttpTestServer::drop(Client &c, bool reset)
{
    if (c.fd < 0)
        return;
    delete c.reader;
    delete c.writer;
    delete c.timer;
    c.reader = c.writer = nullptr;
    c.timer = nullptr;
    if (reset) {
        // Closing with a zero linger time sends a reset instead of an orderly end.
        const linger abort{1, 0};
        ::setsockopt(c.fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    ::close(c.fd);
    c.fd = -1;
}

void HttpTestServer::readFrom(Client &c)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            c.in.append(buffer, n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        clientGone = true;
        drop(c);
        return;
    }
    if (!c.answered && complete(c.in)) {
        c.answered = true;
        requests << c.in;
        respond(c);
    }
}

void HttpTestServer::send(Client &c, const QByteArray &bytes)
{
    c.out += bytes;
    flush(c);
}

void HttpTestServer::flush(Client &c)
{
    while (c.fd >= 0) {
        while (!c.out.isEmpty()) {
            const ssize_t n = ::send(c.fd, c.out.constData(), size_t(c.out.size()), MSG_NOSIGNAL);
            if (n > 0) {
                c.out.remove(0, n);
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                c.writer->setEnabled(true);
                return;
            }
            clientGone = true;
            drop(c);
            return;
        }
        c.writer->setEnabled(false);
        if (c.endless && c.sent < endlessLimit) {
            c.out = QByteArray(16384, 'x');
            c.sent += c.out.size();
            continue;
        }
        if (c.resetWhenSent) {
            c.resetWhenSent = false;
            resetLater(c);
        } else if (c.closeWhenSent) {
            drop(c);
        }
        return;
    }
}

// Resets the connection a moment after the last bytes went out, so the client has read them.
void HttpTestServer::resetLater(Client &c)
{
    delete c.timer;
    c.timer = new QTimer(this);
    c.timer->setSingleShot(true);
    connect(c.timer, &QTimer::timeout, this, [this, &c] { drop(c, true); });
    c.timer->start(100);
}

void HttpTestServer::respond(Client &c)
{
    switch (mode) {
    case Mode::Silent:
        return;
    case Mode::Once:
        c.closeWhenSent = closeWhenDone;
        replied = true;
        send(c, head + body);
        return;
    case Mode::Hold:
        if (!m_released) {
            c.held = true;
            return;
        }
        c.closeWhenSent = closeWhenDone;
        replied = true;
        send(c, head + body);
        return;
    case Mode::ResetBeforeBody:
        c.resetWhenSent = true;
        replied = true;
        send(c, head);
        return;
    case Mode::ResetDuringBody:
        c.resetWhenSent = true;
        replied = true;
        send(c, head + body.left(resetAfter));
        return;
    case Mode::Slow:
        send(c, head);
        c.timer = new QTimer(this);
        connect(c.timer, &QTimer::timeout, this, [this, &c] {
            send(c, body.mid(c.sent, chunk));
            c.sent += chunk;
            replied = true;
            if (c.sent >= body.size() && c.timer) {
                c.timer->stop();
                c.closeWhenSent = closeWhenDone;
                flush(c);
            }
        });
        c.timer->start(intervalMs);
        return;
    case Mode::Endless:
        c.endless = true;
        replied = true;
        send(c, head);
        return;
    }
}

// ---- HttpsTestServer ---------------------------------------------------------------------------

namespace {
QString openssl()
{
    return QStandardPaths::findExecutable(QStringLiteral("openssl"));
}

bool run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
} // namespace

HttpsTestServer::~HttpsTestServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    if (!m_folder.isEmpty())
        QDir(m_folder).removeRecursively();
}

bool HttpsTestServer::available()
{
    return !openssl().isEmpty();
}

bool HttpsTestServer::makeCertificate(const QString &folder, const QString &host)
{
    // An elliptic-curve key: made in a moment, unlike an RSA one.
    return run(
        openssl(),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
         QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
         QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=") + host,
         QStringLiteral("-addext"), QStringLiteral("subjectAltName=DNS:") + host, QStringLiteral("-keyout"),
         folder + QStringLiteral("/key.pem"), QStringLiteral("-out"), folder + QStringLiteral("/cert.pem")});
}

bool HttpsTestServer::start(const QString &cert, const QString &key, const QString &name,
                            const QByteArray &response)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return false;
    folder.setAutoRemove(false);
    m_folder = folder.path();
    QFile file(m_folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(response) != response.size())
        return false;
    file.close();
    m_process.setWorkingDirectory(m_folder);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(openssl(), {QStringLiteral("s_server"), QStringLiteral("-HTTP"),
                                QStringLiteral("-accept"), QStringLiteral("127.0.0.1:0"),
                                QStringLiteral("-cert"), cert, QStringLiteral("-key"), key});
    if (!m_process.waitForStarted(10000))
        return false;
    // The tool says where it listens: "ACCEPT 127.0.0.1:PORT".
    static const QRegularExpression accept(QStringLiteral("ACCEPT [^\\s]*:(\\d+)"));
    QByteArray said;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(100);
        said += m_process.readAll();
        const QRegularExpressionMatch match = accept.match(QString::fromLatin1(said));
        if (match.hasMatch()) {
            m_port = static_cast<quint16>(match.captured(1).toUInt());
            return m_port != 0;
        }
    }
    return false;
}
