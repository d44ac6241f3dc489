// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/lockedfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
void closeFd(int fd)
{
    // The descriptor is gone after close() even when it reports EINTR: never retry.
    ::close(fd);
}
} // namespace

LockedFile::~LockedFile()
{
    close();
}

bool LockedFile::open(const QString &path, Mode mode)
{
    close();
    if (path.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK keeps a FIFO or device from blocking the open; such files are refused below.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (mode == Read ? O_RDONLY : O_RDWR);
    if (mode == Create)
        flags |= O_CREAT;
    int fd;
    do {
        fd = ::open(name.constData(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;

    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        closeFd(fd);
        return false;
    }
    int locked;
    do {
        locked = ::flock(fd, (mode == Read ? LOCK_SH : LOCK_EX) | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        closeFd(fd);
        return false;
    }
    if (mode == Create) {
        int cut;
        do {
            cut = ::ftruncate(fd, 0);
        } while (cut != 0 && errno == EINTR);
        if (cut != 0) {
            closeFd(fd);
            return false;
        }
    }
    m_fd = fd;
    return true;
}

void LockedFile::close()
{
    if (m_fd < 0)
        return;
    ::flock(m_fd, LOCK_UN);
    closeFd(m_fd);
    m_fd = -1;
}

std::int64_t LockedFile::size() const
{
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

bool LockedFile::readAt(std::int64_t offset, void *data, std::size_t n) const
{
    if (m_fd < 0 || offset < 0)
        return false;
    auto *p = static_cast<char *>(data);
    while (n > 0) {
        const ssize_t got = ::pread(m_fd, p, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        offset += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

bool LockedFile::writeAt(std::int64_t offset, const void *data, std::size_t n)
{
    if (m_fd < 0 || offset < 0)
        return false;
    const auto *p = static_cast<const char *>(data);
    while (n > 0) {
        const ssize_t put = ::pwrite(m_fd, p, n, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        p += put;
        offset += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}
