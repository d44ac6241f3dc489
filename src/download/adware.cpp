// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "download/adware.h"

#include "common/programfolder.h"
#include "download/httpgetthread.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaMethod>
#include <QPixmap>
#include <QScopeGuard>

TAdware::TAdware(QObject *parent) : QObject(parent) {}

TAdware::~TAdware()
{
    if (m_worker) {
        // The worker ends at its next check point and frees itself; it calls nothing here any more.
        m_worker->Detach();
        m_worker->Terminate();
        m_worker = nullptr;
    }
}

QString TAdware::LocalFileName(const QString &url)
{
    qsizetype last = -1;
    for (const QChar c : {QLatin1Char('.'), QLatin1Char('\\'), QLatin1Char(':'), QLatin1Char('/')})
        last = std::max(last, url.lastIndexOf(c));
    const QString extension = last >= 0 && url.at(last) == QLatin1Char('.') ? url.mid(last) : QString();
    return ProgramFolder::writableFile(QStringLiteral("temp") + extension);
}

bool TAdware::StartDownload()
{
    if (m_worker)
        return false;
    m_fileName = LocalFileName(m_imageURL);

    TOnProgressEvent progress;
    if (isSignalConnected(QMetaMethod::fromSignal(&TAdware::OnProgress)))
        progress = [this](QObject *sender, qint32 total, qint32 readed) {
            emit OnProgress(sender, total, readed);
        };
    m_worker =
        new THTTPGetThread(m_acceptTypes, QString::fromLatin1(Agent), m_imageURL, m_fileName, m_userName,
                           m_password, m_postQuery, m_referer, m_binaryData, m_useCache, std::move(progress),
                           [this](THTTPGetThread *worker) { DownloadFinished(worker); });

    if (m_waitThread) {
        const QPointer<TAdware> self(this);
        while (self && self->m_worker)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void TAdware::DownloadFinished(THTTPGetThread *worker)
{
    // The worker is cleared even when a handler fails, so the next StartDownload is accepted, and
    // not touched when a handler has destroyed this component.
    const QPointer<TAdware> self(this);
    const auto clear = qScopeGuard([this, self] {
        if (self)
            m_worker = nullptr;
    });

    m_succeeded = worker->Succeeded();
    if (!m_succeeded)
        return;
    emit OnImageDone(this, m_fileName, worker->FileSize());
    if (self && m_image) {
        // A file that is no readable picture leaves the control's picture as it was.
        QPixmap picture;
        if (picture.load(m_fileName, QFileInfo(m_fileName).suffix().toUpper().toLatin1().constData()))
            m_image->setPixmap(picture);
    }
}
