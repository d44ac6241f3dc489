// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "download/httpgetthread.h"

#include "common/errordisplay.h"

#include <QMetaObject>
#include <QMutex>
#include <QSaveFile>
#include <QSemaphore>

#include "curlapi.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <limits>
#include <memory>
#include <mutex>

namespace {

constexpr qint64 BlockSize = 1025;

// The test seams' values, copied by each worker when it is made.
struct Seams {
    QStringList connectTo;
    QString caFile;
    int stallSeconds = 60;
    int graceSeconds = 2;
};
QMutex g_seamsMutex;
Seams g_seams;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

bool isHostCharacter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
           c == QLatin1Char('-') || c == QLatin1Char('_');
}

// The object name as it goes on the request line: bytes that cannot stand in a request line
// (controls, blanks, "#", anything outside ASCII) are percent-encoded; an empty name is "/".
QByteArray requestTarget(const QString &object)
{
    if (object.isEmpty())
        return QByteArrayLiteral("/");
    QByteArray out;
    for (const char ch : object.toUtf8()) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte <= 0x20 || byte >= 0x7F || byte == '#') {
            out += '%';
            out += QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
        } else {
            out += ch;
        }
    }
    return out;
}

// Frees a libcurl header list.
struct SlistDeleter {
    void operator()(curl_slist *list) const { CurlApi::slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

bool append(Slist &list, const QByteArray &line)
{
    curl_slist *grown = CurlApi::slist_append(list.get(), line.constData());
    if (!grown)
        return false;
    (void)list.release();
    list.reset(grown);
    return true;
}

struct EasyDeleter {
    void operator()(CURL *curl) const { CurlApi::easy_cleanup(curl); }
};

// Releases the semaphore when the last copy of the posted call is gone: after the call has run,
// or when the event carrying it is dropped without running (receiver or application gone).
struct Releaser {
    explicit Releaser(std::shared_ptr<QSemaphore> semaphore) : m_semaphore(std::move(semaphore)) {}
    ~Releaser() { m_semaphore->release(); }
    Releaser(const Releaser &) = delete;
    Releaser &operator=(const Releaser &) = delete;
    std::shared_ptr<QSemaphore> m_semaphore;
};

// Runs the transfer of a prepared handle to its end or to a stop.
CURLcode performUntilStop(CURL *handle, const std::atomic<bool> &stop)
{
    // Driven in steps of at most 50 ms, so that a stop ends the transfer at once even while the
    // server sends nothing.
    struct Multi {
        CURLM *multi = nullptr;
        CURL *handle = nullptr;
        bool added = false;
        ~Multi()
        {
            if (added)
                CurlApi::multi_remove_handle(multi, handle);
            if (multi)
                CurlApi::multi_cleanup(multi);
        }
    } m{CurlApi::multi_init(), handle};
    if (!m.multi || CurlApi::multi_add_handle(m.multi, handle) != CURLM_OK)
        return CURLE_FAILED_INIT;
    m.added = true;
    int running = 1;
    while (running > 0) {
        if (stop.load())
            return CURLE_ABORTED_BY_CALLBACK;
        if (CurlApi::multi_perform(m.multi, &running) != CURLM_OK)
            return CURLE_FAILED_INIT;
        if (running > 0 && CurlApi::multi_poll(m.multi, 50) != CURLM_OK)
            return CURLE_FAILED_INIT;
    }
    return CurlApi::multi_result(m.multi, handle);
}

} // namespace

// ---- HttpResponseHead ------------------------------------------------------------------------

void HttpResponseHead::feedLine(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);
    if (line.size() >= 5 && QByteArrayView(line.first(5)).compare("HTTP/", Qt::CaseInsensitive) == 0) {
        // A new response begins; whatever came before was an interim one.
        *this = HttpResponseHead();
        m_inHead = true;
        const qsizetype space = line.indexOf(' ');
        if (space > 0) {
            const QByteArrayView rest = trimmed(line.sliced(space + 1));
            if (rest.size() >= 3 && std::isdigit(static_cast<unsigned char>(rest[0])) &&
                std::isdigit(static_cast<unsigned char>(rest[1])) &&
                std::isdigit(static_cast<unsigned char>(rest[2])) && (rest.size() == 3 || isBlank(rest[3])))
                m_status = (rest[0] - '0') * 100 + (rest[1] - '0') * 10 + (rest[2] - '0');
        }
        return;
    }
    if (!m_inHead || m_complete)
        return;
    if (line.isEmpty()) {
        if (m_status >= 100 && m_status <= 199)
            m_inHead = false; // wait for the final response's status line
        else
            m_complete = true;
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return;
    if (trimmed(line.first(colon)).compare("Content-Length", Qt::CaseInsensitive) == 0) {
        const QByteArrayView value = trimmed(line.sliced(colon + 1));
        if (!m_hasContentLength) {
            m_hasContentLength = true;
            m_contentLength = value.toByteArray();
        } else if (value != QByteArrayView(m_contentLength)) {
            m_contentLengthConflict = true;
        }
    }
}

bool parseContentLength(QByteArrayView text, qint32 *value)
{
    text = trimmed(text);
    if (text.isEmpty())
        return false;
    qint64 result = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
        if (result > std::numeric_limits<qint32>::max())
            return false;
    }
    *value = static_cast<qint32>(result);
    return true;
}

// ---- THTTPGetThread --------------------------------------------------------------------------

struct THTTPGetThread::Transfer {
    HttpResponseHead head;
    std::unique_ptr<QSaveFile> file;
    bool decided = false;
    bool failed = false;
    bool announced = false; // the response gave a valid Content-Length
    // When the announced length was complete (the server is then given a grace to close).
    std::chrono::steady_clock::time_point completeAt{};
    bool complete = false;
    bool closedByGrace = false;
    QByteArray pending; // received, not yet handed on (less than a block)
};

struct CurlCallbacks {
    static size_t header(char *data, size_t size, size_t count, void *self)
    {
        auto *worker = static_cast<THTTPGetThread *>(self);
        const size_t total = size * count;
        THTTPGetThread::Transfer &t = *worker->m_transfer;
        if (t.failed || worker->m_stop.load())
            return 0;
        const bool wasComplete = t.head.complete();
        t.head.feedLine(QByteArrayView(data, static_cast<qsizetype>(total)));
        if (!wasComplete && t.head.complete() && !worker->headEnded()) {
            t.failed = true;
            return 0;
        }
        return total;
    }

    static size_t write(char *data, size_t size, size_t count, void *self)
    {
        auto *worker = static_cast<THTTPGetThread *>(self);
        const size_t total = size * count;
        THTTPGetThread::Transfer &t = *worker->m_transfer;
        if (t.failed || !t.decided || !t.file)
            return 0;
        // Bytes are handed on in whole blocks of 1025, as a blocking read of that size gives them;
        // the rest waits for more, for the end of the announced length or for the end of the body.
        const qint64 have = qint64(worker->m_readed.load()) + t.pending.size();
        if (t.announced && have + qint64(total) > worker->m_fileSize.load()) {
            t.failed = true; // more than the server announced
            return 0;
        }
        t.pending.append(data, static_cast<qsizetype>(total));
        if (!worker->takeBlocks(t.announced && have + qint64(total) == worker->m_fileSize.load())) {
            t.failed = true;
            return 0;
        }
        return total;
    }

    static int xfer(void *self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        auto *worker = static_cast<THTTPGetThread *>(self);
        if (worker->m_stop.load())
            return 1;
        THTTPGetThread::Transfer &t = *worker->m_transfer;
        if (t.complete &&
            std::chrono::steady_clock::now() - t.completeAt >= std::chrono::seconds(worker->m_graceSeconds)) {
            // All that was announced has come and nothing more: the server merely keeps the line open.
            t.closedByGrace = true;
            return 1;
        }
        return 0;
    }
};

THTTPGetThread::THTTPGetThread(const QString &acceptTypes, const QString &agent, const QString &url,
                               const QString &fileName, const QString &userName, const QString &password,
                               const QString &postQuery, const QString &referer, bool binaryData,
                               bool useCache, TOnProgressEvent onProgress, TOnTerminate onTerminate)
    : AcceptTypes(acceptTypes), Agent(agent), URL(url), FileName(fileName), UserName(userName),
      Password(password), PostQuery(postQuery), Referer(referer), BinaryData(binaryData), UseCache(useCache),
      m_onProgress(std::move(onProgress)), m_onTerminate(std::move(onTerminate))
{
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { CurlApi::global_init(CURL_GLOBAL_DEFAULT); });
    {
        QMutexLocker lock(&g_seamsMutex);
        m_connectTo = g_seams.connectTo;
        m_caFile = g_seams.caFile;
        m_stallSeconds = g_seams.stallSeconds;
        m_graceSeconds = g_seams.graceSeconds;
    }
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start();
}

THTTPGetThread::~THTTPGetThread()
{
    // Normally reached through deleteLater() after the end; never leave a running thread behind.
    Terminate();
    wait();
}

void THTTPGetThread::Terminate()
{
    m_stop.store(true);
}

void THTTPGetThread::setConnectTo(const QStringList &entries)
{
    QMutexLocker lock(&g_seamsMutex);
    g_seams.connectTo = entries;
}

void THTTPGetThread::setCertificateAuthorities(const QString &file)
{
    QMutexLocker lock(&g_seamsMutex);
    g_seams.caFile = file;
}

void THTTPGetThread::setStallSeconds(int seconds)
{
    QMutexLocker lock(&g_seamsMutex);
    g_seams.stallSeconds = seconds > 0 ? seconds : 60;
}

void THTTPGetThread::setCloseGraceSeconds(int seconds)
{
    QMutexLocker lock(&g_seamsMutex);
    g_seams.graceSeconds = seconds > 0 ? seconds : 2;
}

QString THTTPGetThread::SystemProxy(const QString &host, bool tls)
{
    const auto variable = [](const char *name) { return qEnvironmentVariable(name).trimmed(); };
    // As libcurl reads them: the upper-case HTTP_PROXY is not trusted (a CGI program's request
    // header can set it).
    QString proxy = tls ? variable("https_proxy") : variable("http_proxy");
    if (proxy.isEmpty() && tls)
        proxy = variable("HTTPS_PROXY");
    if (proxy.isEmpty())
        proxy = variable("all_proxy");
    if (proxy.isEmpty())
        proxy = variable("ALL_PROXY");
    if (proxy.isEmpty())
        return QString();
    QString exempt = variable("no_proxy");
    if (exempt.isEmpty())
        exempt = variable("NO_PROXY");
    const QString name = host.toLower();
    for (QString entry : exempt.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        entry = entry.trimmed().toLower();
        if (entry == QLatin1String("*"))
            return QString();
        if (entry.startsWith(QLatin1Char('.')))
            entry.remove(0, 1);
        if (const qsizetype colon = entry.indexOf(QLatin1Char(':')); colon >= 0)
            entry.truncate(colon);
        if (entry.isEmpty())
            continue;
        if (name == entry || name.endsWith(QLatin1Char('.') + entry))
            return QString();
    }
    return proxy;
}

bool THTTPGetThread::SplitURL(const QString &url, QString *host, QString *object, bool *tls, int *port)
{
    QString rest = url;
    const QString lower = url.toLower();
    const bool secure = lower.startsWith(QLatin1String("https://"));
    if (secure)
        rest = url.mid(8);
    else if (lower.contains(QLatin1String("http://")))
        rest = url.mid(7);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    *host = slash < 0 ? rest : rest.left(slash);
    *object = slash < 0 ? QString() : rest.mid(slash);
    if (tls)
        *tls = secure;
    int number = secure ? 443 : 80;
    if (const qsizetype colon = host->indexOf(QLatin1Char(':')); colon >= 0) {
        const QString digits = host->mid(colon + 1);
        host->truncate(colon);
        if (digits.isEmpty() || digits.size() > 5)
            return false;
        number = 0;
        for (const QChar c : digits) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
            number = number * 10 + (c.unicode() - '0');
        }
        if (number < 1 || number > 65535)
            return false;
    }
    if (port)
        *port = number;
    if (host->isEmpty())
        return false;
    return std::ranges::all_of(*host, isHostCharacter);
}

bool THTTPGetThread::handToInterface(std::function<void()> call)
{
    auto done = std::make_shared<QSemaphore>(0);
    auto releaser = std::make_shared<Releaser>(done);
    QMetaObject::invokeMethod(
        this,
        [this, call = std::move(call), releaser]() {
            // The worker waits meanwhile (unless stopped); no error may cross the event loop.
            if (!m_detached)
                guarded(call);
        },
        Qt::QueuedConnection);
    releaser.reset();
    while (!done->tryAcquire(1, 20)) {
        if (m_stop.load())
            return false;
    }
    return true;
}

void THTTPGetThread::run()
{
    bool ok = false;
    try {
        ok = transfer();
    } catch (...) {
        ok = false;
    }
    m_succeeded.store(ok && !m_stop.load());
    if (m_onTerminate)
        handToInterface([this] { m_onTerminate(this); });
}

bool THTTPGetThread::headEnded()
{
    Transfer &t = *m_transfer;
    if (t.decided)
        return true;
    t.decided = true;
    if (m_stop.load())
        return false;
    if (t.head.status() < 200 || t.head.status() > 299)
        return false;
    if (t.head.hasContentLength()) {
        qint32 size = 0;
        if (t.head.contentLengthConflict() || !parseContentLength(t.head.contentLength(), &size))
            return false;
        m_fileSize.store(size);
        t.announced = true;
        if (size == 0) {
            t.complete = true;
            t.completeAt = std::chrono::steady_clock::now();
        }
    } else if (BinaryData) {
        return false; // nothing is read
    }
    m_readed.store(0);
    t.file = std::make_unique<QSaveFile>(FileName);
    // Unbuffered: a failed write (a full disk) fails its block at once; QSaveFile's commit does
    // not notice one that failed in its buffer and would keep a short file.
    return t.file->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool THTTPGetThread::takeBlocks(bool all)
{
    Transfer &t = *m_transfer;
    qsizetype whole = t.pending.size();
    if (!all)
        whole -= whole % BlockSize;
    if (whole == 0)
        return true;
    if (m_stop.load())
        return false;
    const qint32 before = m_readed.load();
    if (whole > qint64(std::numeric_limits<qint32>::max()) - before)
        return false;
    // More than the server announced: the response is not what it said it is.
    if (t.announced && before + whole > m_fileSize.load())
        return false;
    // One write for all the blocks that are whole (a write call per block costs more than the
    // transfer itself on a fast line); each block is still reported on its own.
    if (t.file->write(t.pending.constData(), whole) != whole)
        return false;
    t.pending.remove(0, whole);
    const auto after = static_cast<qint32>(before + whole);
    m_readed.store(after);
    m_bytesRead.store(static_cast<quint32>(whole - (whole - 1) / BlockSize * BlockSize)); // the last block
    if (t.announced && after == m_fileSize.load()) {
        t.complete = true;
        t.completeAt = std::chrono::steady_clock::now();
    }
    // The interface hears of every block, in order, in one visit (a visit per block made the
    // worker wait on the interface thread twenty thousand times for 20 MB). While it does, the
    // worker waits and Readed() and BytesRead() give the block being reported.
    if (m_onProgress) {
        const qint32 total = m_fileSize.load();
        handToInterface([this, total, before, whole] {
            for (qint64 at = 0; at < whole; at += BlockSize) {
                if (m_detached || m_stop.load())
                    return; // a handler let the worker go or stopped it: no more reports
                const qint64 size = std::min<qint64>(BlockSize, whole - at);
                const auto readed = static_cast<qint32>(before + at + size);
                m_readed.store(readed);
                m_bytesRead.store(static_cast<quint32>(size));
                m_onProgress(this, total, readed);
            }
        });
    }
    return true;
}

bool THTTPGetThread::transfer()
{
    QString host, object;
    bool tls = false;
    int port = 80;
    if (!SplitURL(URL, &host, &object, &tls, &port))
        return false;
    if (m_stop.load())
        return false;

    std::unique_ptr<CURL, EasyDeleter> curl(CurlApi::easy_init());
    if (!curl)
        return false;
    CURL *h = curl.get();
    Transfer t;
    m_transfer = &t;
    struct Reset {
        THTTPGetThread *w;
        ~Reset() { w->m_transfer = nullptr; }
    } reset{this};

    const QByteArray origin = (tls ? QByteArrayLiteral("https://") : QByteArrayLiteral("http://")) +
                              host.toUtf8() +
                              (port != (tls ? 443 : 80) ? ':' + QByteArray::number(port) : QByteArray());
    const QByteArray target = requestTarget(object);
    // Through a proxy, a plain HTTP request names the whole address (libcurl writes it); over TLS
    // the proxy only tunnels and the request inside keeps the origin form.
    const QByteArray proxy = SystemProxy(host, tls).toUtf8();
    const bool absoluteForm = !proxy.isEmpty() && !tls;
    const QByteArray address = absoluteForm ? QByteArray(origin + target) : QByteArray(origin + '/');
    const QByteArray caFile = QFile::encodeName(m_caFile);
    const QByteArray agent = Agent.toUtf8();
    const QByteArray referer = Referer.toUtf8();
    const QByteArray user = UserName.toUtf8();
    const QByteArray password = Password.toUtf8();
    const QByteArray body = PostQuery.toUtf8();

    Slist headers;
    if (!append(headers, "Accept: " + AcceptTypes.toUtf8()))
        return false;
    if (!UseCache && (!append(headers, "Pragma: no-cache") || !append(headers, "Cache-Control: no-cache")))
        return false;
    if (!body.isEmpty() && !append(headers, "Content-Type: application/x-www-form-urlencoded"))
        return false;
    if (!append(headers, "Expect:"))
        return false;
    Slist connectTo;
    for (const QString &entry : m_connectTo)
        if (!append(connectTo, entry.toUtf8()))
            return false;

    bool set = true;
    const auto option = [&set](CURLcode rc) { set = set && rc == CURLE_OK; };
    option(CurlApi::easy_setopt(h, CURLOPT_URL, address.constData()));
    if (!absoluteForm)
        option(CurlApi::easy_setopt(h, CURLOPT_REQUEST_TARGET, target.constData()));
    // The proxy decided above, and no other: libcurl does not look at the environment again.
    option(CurlApi::easy_setopt(h, CURLOPT_PROXY, proxy.constData()));
    option(CurlApi::easy_setopt(h, CURLOPT_NOPROXY, ""));
    // The length is judged here (exactly, and a longer body fails), not by libcurl.
    option(CurlApi::easy_setopt(h, CURLOPT_IGNORE_CONTENT_LENGTH, 1L));
    if (!caFile.isEmpty())
        option(CurlApi::easy_setopt(h, CURLOPT_CAINFO, caFile.constData()));
    option(CurlApi::easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https"));
    option(CurlApi::easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0)));
    option(CurlApi::easy_setopt(h, CURLOPT_NOSIGNAL, 1L));
    option(CurlApi::easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L));
    option(CurlApi::easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L));
    option(CurlApi::easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 30L));
    option(CurlApi::easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L));
    option(CurlApi::easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(m_stallSeconds)));
    option(CurlApi::easy_setopt(h, CURLOPT_HTTPHEADER, headers.get()));
    if (!agent.isEmpty())
        option(CurlApi::easy_setopt(h, CURLOPT_USERAGENT, agent.constData()));
    if (!referer.isEmpty())
        option(CurlApi::easy_setopt(h, CURLOPT_REFERER, referer.constData()));
    if (!user.isEmpty() || !password.isEmpty()) {
        option(CurlApi::easy_setopt(h, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC)));
        option(CurlApi::easy_setopt(h, CURLOPT_USERNAME, user.constData()));
        option(CurlApi::easy_setopt(h, CURLOPT_PASSWORD, password.constData()));
    }
    if (!body.isEmpty()) {
        option(CurlApi::easy_setopt(h, CURLOPT_POSTFIELDSIZE, long(body.size())));
        option(CurlApi::easy_setopt(h, CURLOPT_COPYPOSTFIELDS, body.constData()));
    } else {
        option(CurlApi::easy_setopt(h, CURLOPT_HTTPGET, 1L));
    }
    if (connectTo)
        option(CurlApi::easy_setopt(h, CURLOPT_CONNECT_TO, connectTo.get()));
    option(CurlApi::easy_setopt(h, CURLOPT_HEADERFUNCTION, &CurlCallbacks::header));
    option(CurlApi::easy_setopt(h, CURLOPT_HEADERDATA, this));
    option(CurlApi::easy_setopt(h, CURLOPT_WRITEFUNCTION, &CurlCallbacks::write));
    option(CurlApi::easy_setopt(h, CURLOPT_WRITEDATA, this));
    option(CurlApi::easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CurlCallbacks::xfer));
    option(CurlApi::easy_setopt(h, CURLOPT_XFERINFODATA, this));
    option(CurlApi::easy_setopt(h, CURLOPT_NOPROGRESS, 0L));
    if (!set)
        return false;

    const CURLcode rc = performUntilStop(h, m_stop);
    const bool ended = rc == CURLE_OK || (rc == CURLE_ABORTED_BY_CALLBACK && t.closedByGrace);
    if (!ended || !t.decided || t.failed || !t.file || m_stop.load())
        return false;      // the temporary file is discarded; an existing file keeps its contents
    if (!takeBlocks(true)) // the last, shorter block of a body without a length
        return false;
    if (m_fileSize.load() != m_readed.load())
        return false;
    if (!t.file->flush() || t.file->error() != QFileDevice::NoError)
        return false;
    return t.file->commit();
}
