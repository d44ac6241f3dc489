#include "download/httpgetthread.h"

#include "common/errordisplay.h"

#include <QMetaObject>
#include <QMutex>
#include <QSaveFile>
#include <QSemaphore>

#include "curlapi.h"

#include <cctype>
#include <limits>
#include <memory>
#include <mutex>

namespace {

constexpr qint64 BlockSize = 1025;

QMutex g_connectToMutex;
QStringList g_connectTo;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

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
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') || c == QLatin1Char('-')
        || c == QLatin1Char('_');
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
            if (rest.size() >= 3 && std::isdigit(static_cast<unsigned char>(rest[0]))
                && std::isdigit(static_cast<unsigned char>(rest[1])) && std::isdigit(static_cast<unsigned char>(rest[2]))
                && (rest.size() == 3 || isBlank(rest[3])))
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
    if (colon <= 0 || m_hasContentLength)
        return;
    if (trimmed(line.first(colon)).compare("Content-Length", Qt::CaseInsensitive) == 0) {
        m_hasContentLength = true;
        m_contentLength = trimmed(line.sliced(colon + 1)).toByteArray();
    }
}

bool parseContentLength(QByteArrayView text, qint32 *value)
{
    text = trimmed(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return false;
    qint64 result = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
        if (result > qint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
    }
    if (negative)
        result = -result;
    if (result < std::numeric_limits<qint32>::min() || result > std::numeric_limits<qint32>::max())
        return false;
    *value = static_cast<qint32>(result);
    return true;
}

// ---- THTTPGetThread --------------------------------------------------------------------------

struct THTTPGetThread::Transfer {
    HttpResponseHead head;
    std::unique_ptr<QSaveFile> file;
    bool decided = false;
    bool failed = false;
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
        for (size_t at = 0; at < total; at += BlockSize) {
            const qint64 block = std::min<qint64>(BlockSize, static_cast<qint64>(total - at));
            if (!worker->takeBlock(data + at, block)) {
                t.failed = true;
                return 0;
            }
        }
        return total;
    }

    static int xfer(void *self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<THTTPGetThread *>(self)->m_stop.load() ? 1 : 0;
    }
};

THTTPGetThread::THTTPGetThread(const QString &AcceptTypes, const QString &Agent, const QString &URL,
                               const QString &FileName, const QString &UserName, const QString &Password,
                               const QString &PostQuery, const QString &Referer, bool BinaryData,
                               bool UseCache, TOnProgressEvent OnProgress, TOnTerminate OnTerminate)
    : AcceptTypes(AcceptTypes), Agent(Agent), URL(URL), FileName(FileName), UserName(UserName),
      Password(Password), PostQuery(PostQuery), Referer(Referer), BinaryData(BinaryData), UseCache(UseCache),
      m_onProgress(std::move(OnProgress)), m_onTerminate(std::move(OnTerminate))
{
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { CurlApi::global_init(CURL_GLOBAL_DEFAULT); });
    {
        QMutexLocker lock(&g_connectToMutex);
        m_connectTo = g_connectTo;
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

void THTTPGetThread::Terminate() { m_stop.store(true); }

void THTTPGetThread::setConnectTo(const QStringList &entries)
{
    QMutexLocker lock(&g_connectToMutex);
    g_connectTo = entries;
}

bool THTTPGetThread::SplitURL(const QString &url, QString *host, QString *object, bool *tls)
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
    if (host->isEmpty())
        return false;
    for (const QChar c : *host)
        if (!isHostCharacter(c))
            return false;
    return true;
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
        if (!parseContentLength(t.head.contentLength(), &size))
            return false;
        m_fileSize.store(size);
    } else if (BinaryData) {
        return false; // nothing is read
    }
    m_readed.store(0);
    t.file = std::make_unique<QSaveFile>(FileName);
    return t.file->open(QIODevice::WriteOnly);
}

bool THTTPGetThread::takeBlock(const char *data, qint64 size)
{
    if (m_stop.load())
        return false;
    const qint32 before = m_readed.load();
    if (size > qint64(std::numeric_limits<qint32>::max()) - before)
        return false;
    if (m_transfer->file->write(data, size) != size)
        return false;
    const auto readed = static_cast<qint32>(before + size);
    m_readed.store(readed);
    m_bytesRead.store(static_cast<quint32>(size));
    if (m_onProgress) {
        const qint32 total = m_fileSize.load();
        handToInterface([this, total, readed] { m_onProgress(this, total, readed); });
    }
    return true;
}

bool THTTPGetThread::transfer()
{
    QString host, object;
    bool tls = false;
    if (!SplitURL(URL, &host, &object, &tls))
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

    const QByteArray address = (tls ? QByteArrayLiteral("https://") : QByteArrayLiteral("http://")) + host.toUtf8() + '/';
    const QByteArray target = requestTarget(object);
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
    option(CurlApi::easy_setopt(h, CURLOPT_REQUEST_TARGET, target.constData()));
    option(CurlApi::easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https"));
    option(CurlApi::easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0)));
    option(CurlApi::easy_setopt(h, CURLOPT_NOSIGNAL, 1L));
    option(CurlApi::easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L));
    option(CurlApi::easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L));
    option(CurlApi::easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 30L));
    option(CurlApi::easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L));
    option(CurlApi::easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 60L));
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

    const CURLcode rc = CurlApi::easy_perform(h);
    if (rc != CURLE_OK || !t.decided || t.failed || !t.file || m_stop.load())
        return false; // the temporary file is discarded; an existing file keeps its contents
    if (m_fileSize.load() != m_readed.load())
        return false;
    return t.file->commit();
}

