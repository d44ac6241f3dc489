// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TAdware: a non-visual component that fetches the file named by ImageURL over HTTP in a worker
// thread (THTTPGetThread) into "temp" + the address's extension in the program folder, reports
// progress, and raises OnImageDone after a successful download. Failures are silent.
//
// Signals arrive on the interface thread while the worker waits, so handlers may touch windows.
// Destroying the component during a download stops the worker (it ends at its next check point and
// frees itself); no signal is raised after destruction, and the destructor does not block.

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>

class THTTPGetThread;

class TAdware : public QObject {
    Q_OBJECT
    Q_PROPERTY(QLabel *Image READ Image WRITE setImage)
    Q_PROPERTY(QString LinkURL READ LinkURL WRITE setLinkURL)
    Q_PROPERTY(QString AcceptTypes READ AcceptTypes WRITE setAcceptTypes)
    Q_PROPERTY(bool BinaryData READ BinaryData WRITE setBinaryData)
    Q_PROPERTY(QString ImageURL READ ImageURL WRITE setImageURL)
    Q_PROPERTY(bool UseCache READ UseCache WRITE setUseCache)
    Q_PROPERTY(QString UserName READ UserName WRITE setUserName)
    Q_PROPERTY(QString Password READ Password WRITE setPassword)
    Q_PROPERTY(QString PostQuery READ PostQuery WRITE setPostQuery)
    Q_PROPERTY(QString Referer READ Referer WRITE setReferer)
    Q_PROPERTY(bool WaitThread READ WaitThread WRITE setWaitThread)

public:
    // The client name sent to the server.
    static constexpr const char *Agent = "Durel TAdware Component";

    explicit TAdware(QObject *parent = nullptr);
    ~TAdware() override;

    // Starts a download of ImageURL. Returns false and does nothing while a download of this
    // component is still running. With WaitThread, returns only after the download has ended,
    // dispatching the interface thread's events meanwhile.
    bool StartDownload();

    // The local file for an address: program folder + "temp" + the address's extension (the text
    // from the last ".", when no "\", "/" or ":" follows it).
    static QString LocalFileName(const QString &url);

    // Read-only views of the private state, for the caller and the tests.
    bool Downloading() const { return m_worker != nullptr; }
    bool LastSucceeded() const { return m_succeeded; }
    THTTPGetThread *Worker() const { return m_worker; }

    QLabel *Image() const { return m_image; }
    void setImage(QLabel *image) { m_image = image; }
    QString LinkURL() const { return m_linkURL; }
    void setLinkURL(const QString &value) { m_linkURL = value; }
    QString AcceptTypes() const { return m_acceptTypes; }
    void setAcceptTypes(const QString &value) { m_acceptTypes = value; }
    bool BinaryData() const { return m_binaryData; }
    void setBinaryData(bool value) { m_binaryData = value; }
    QString ImageURL() const { return m_imageURL; }
    void setImageURL(const QString &value) { m_imageURL = value; }
    bool UseCache() const { return m_useCache; }
    void setUseCache(bool value) { m_useCache = value; }
    QString UserName() const { return m_userName; }
    void setUserName(const QString &value) { m_userName = value; }
    QString Password() const { return m_password; }
    void setPassword(const QString &value) { m_password = value; }
    QString PostQuery() const { return m_postQuery; }
    void setPostQuery(const QString &value) { m_postQuery = value; }
    QString Referer() const { return m_referer; }
    void setReferer(const QString &value) { m_referer = value; }
    bool WaitThread() const { return m_waitThread; }
    void setWaitThread(bool value) { m_waitThread = value; }

signals:
    // After a successful download: Sender is this component, FileName the local file, FileSize the
    // announced Content-Length (0 when the response had none).
    void OnImageDone(QObject *Sender, const QString &FileName, qint32 FileSize);
    // After each block of at most 1025 bytes: Sender is the worker, TotalSize the announced
    // Content-Length (0 when none), Readed the bytes received so far.
    void OnProgress(QObject *Sender, qint32 TotalSize, qint32 Readed);

private:
    // Run on the interface thread when the worker has ended.
    void DownloadFinished(THTTPGetThread *worker);

    QPointer<QLabel> m_image;
    QString m_linkURL;
    QString m_acceptTypes = QStringLiteral("*/*");
    bool m_binaryData = false;
    QString m_imageURL;
    bool m_useCache = false;
    QString m_userName;
    QString m_password;
    QString m_postQuery;
    QString m_referer;
    bool m_waitThread = false;

    THTTPGetThread *m_worker = nullptr;
    QString m_fileName;
    bool m_succeeded = false;
};
