// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// THTTPGetThread: one HTTP/1.0 request in a worker thread of its own (libcurl), the response body
// streamed into a local file in blocks of at most 1025 bytes, each block reported to the interface
// thread. The worker frees itself when it has ended.
//
// Hand-offs to the interface thread (progress, completion) are synchronous: the worker posts the
// call to the interface thread's event queue and waits until it has run. The wait gives up as soon
// as a stop is requested, so the interface thread may ask for a stop and then wait() for the worker
// without dead-locking.
//
// The file is written beside the target under a temporary name and renamed over the target only
// when the download has succeeded: a failed or stopped download leaves an existing file untouched.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>

// Progress: Sender is the worker, TotalSize the announced Content-Length (0 when none),
// Readed the bytes received so far.
using TOnProgressEvent = std::function<void(QObject *Sender, qint32 TotalSize, qint32 Readed)>;

// The head of an HTTP response, fed one header line at a time as libcurl hands them over
// (status lines of interim 1xx responses and their headers are forgotten when the next status line
// arrives). Bytes come from the server and may be anything.
class HttpResponseHead {
public:
    // Feeds one line, with or without its CR LF. The blank line ends the head.
    void feedLine(QByteArrayView line);
    // The blank line has been seen after a final (not 1xx) status line.
    bool complete() const { return m_complete; }
    // The status code of the last status line; 0 when none was readable.
    int status() const { return m_status; }
    // The first Content-Length header was present.
    bool hasContentLength() const { return m_hasContentLength; }
    // The text of the first Content-Length header, spaces trimmed.
    const QByteArray &contentLength() const { return m_contentLength; }
    // A later Content-Length header of the same response said something else.
    bool contentLengthConflict() const { return m_contentLengthConflict; }

private:
    bool m_complete = false;
    bool m_inHead = false;
    int m_status = 0;
    bool m_hasContentLength = false;
    bool m_contentLengthConflict = false;
    QByteArray m_contentLength;
};

// Reads a Content-Length text as an unsigned decimal number that fits a 32-bit signed integer
// (digits only, surrounding blanks allowed). Returns false for anything else: a sign, other
// characters after the digits, an empty text, a value out of range.
bool parseContentLength(QByteArrayView text, qint32 *value);

class THTTPGetThread : public QThread {
    Q_OBJECT
public:
    // Run on the interface thread after the worker has ended, while it waits.
    using TOnTerminate = std::function<void(THTTPGetThread *worker)>;

    // Stores the values and starts the thread; the object frees itself after its completion.
    // Must be made on the interface thread (the thread whose event loop runs the hand-offs).
    THTTPGetThread(const QString &acceptTypes, const QString &agent, const QString &url,
                   const QString &fileName, const QString &userName, const QString &password,
                   const QString &postQuery, const QString &referer, bool binaryData, bool useCache,
                   TOnProgressEvent onProgress, TOnTerminate onTerminate);
    ~THTTPGetThread() override;

    const QString AcceptTypes, Agent, URL, FileName, UserName, Password, PostQuery, Referer;
    const bool BinaryData, UseCache;

    // Written by the worker.
    bool Succeeded() const { return m_succeeded.load(); }
    qint32 FileSize() const { return m_fileSize.load(); }
    qint32 Readed() const { return m_readed.load(); }
    quint32 BytesRead() const { return m_bytesRead.load(); }

    // Asks the worker to stop at its next check point (any thread). The download then fails.
    void Terminate();
    bool StopRequested() const { return m_stop.load(); }
    // Interface thread only: no progress or completion call reaches a handler any more.
    void Detach() { m_detached = true; }

    // Splits an address the way the worker does: an address whose lower-cased form contains
    // "http://" loses its first seven characters (one starting with "https://" loses eight and is
    // fetched over TLS); the host is the text before the first "/", the object name the rest, "/"
    // included. A port written after the host ("host:8080") is used; without one the port is 80,
    // or 443 over TLS. Returns false when the host is empty or holds characters no host name has,
    // or the port is not a number from 1 to 65535.
    static bool SplitURL(const QString &url, QString *host, QString *object, bool *tls = nullptr,
                         int *port = nullptr);

    // The proxy the system's settings name for a request to host (environment: http_proxy for
    // plain HTTP; https_proxy or HTTPS_PROXY over TLS; then all_proxy or ALL_PROXY), or empty when
    // there is none or no_proxy (NO_PROXY) exempts the host ("*", the host itself, or a domain it
    // lies in).
    static QString SystemProxy(const QString &host, bool tls);

    // Test seams, for every worker made afterwards:
    // libcurl "connect-to" entries ("HOST:PORT:CONNECT-TO-HOST:CONNECT-TO-PORT"); empty (the
    // default) connects to the named host.
    static void setConnectTo(const QStringList &entries);
    // A file of certificate authorities trusted over TLS instead of the system's; empty restores them.
    static void setCertificateAuthorities(const QString &file);
    // Seconds without a byte after which a transfer is given up (60 by default; 0 restores it).
    static void setStallSeconds(int seconds);
    // Seconds the worker waits, after the announced length has arrived, for the server to close
    // (more bytes then fail the download); 2 by default, 0 restores it.
    static void setCloseGraceSeconds(int seconds);

protected:
    void run() override;

private:
    bool transfer();
    // Runs call on the interface thread and waits for it; false when a stop cut the wait short.
    bool handToInterface(std::function<void()> call);

    // The response head has ended: decides whether the body is read and opens the file.
    bool headEnded();
    // Writes and hands on the whole blocks waiting, and with all the last shorter one too; false
    // ends the transfer.
    bool takeBlocks(bool all);
    friend struct CurlCallbacks;

    TOnProgressEvent m_onProgress;
    TOnTerminate m_onTerminate;
    QStringList m_connectTo;
    QString m_caFile;
    int m_stallSeconds = 60;
    int m_graceSeconds = 2;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_succeeded{false};
    std::atomic<qint32> m_fileSize{0};
    std::atomic<qint32> m_readed{0};
    std::atomic<quint32> m_bytesRead{0};
    bool m_detached = false; // interface thread only

    // Worker thread only, during transfer().
    struct Transfer;
    Transfer *m_transfer = nullptr;
};
