// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/safefile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SafeFile::Status classify(const struct stat &info, qint64 maxSize)
{
    if (!S_ISREG(info.st_mode))
        return SafeFile::Status::NotRegular;
    if (info.st_size > maxSize)
        return SafeFile::Status::TooLarge;
    return SafeFile::Status::Ok;
}

// Closes a descriptor at the end of the scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

SafeFile::Status SafeFile::check(const QString &path, qint64 maxSize)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return Status::Missing;
    return classify(info, maxSize);
}

SafeFile::Result SafeFile::read(const QString &path, qint64 maxSize)
{
    Result result;
    if (path.isEmpty())
        return result;
    const QByteArray name = QFile::encodeName(path);
    // Looked at first, so that nothing but a regular file is ever opened (opening some devices has
    // effects of its own); O_NONBLOCK covers a FIFO put in its place meanwhile.
    result.status = check(path, maxSize);
    if (result.status != Status::Ok)
        return result;
    Descriptor file;
    file.fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file.fd < 0) {
        result.status = errno == ENOENT ? Status::Missing : Status::Unreadable;
        return result;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        result.status = Status::Unreadable;
        return result;
    }
    result.status = classify(info, maxSize);
    if (result.status != Status::Ok)
        return result;
    // Read up to one byte past the limit, so that a file that grew meanwhile is caught too.
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(info.st_size));
    char block[65536];
    for (;;) {
        const ssize_t got = ::read(file.fd, block, sizeof block);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            result.status = Status::Unreadable;
            return result;
        }
        if (got == 0)
            break;
        if (bytes.size() + got > maxSize) {
            result.status = Status::TooLarge;
            return result;
        }
        bytes.append(block, got);
    }
    result.bytes = std::move(bytes);
    return result;
}

bool SafeFile::syncToDisk(const QString &path, bool folder)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok || folder;
}
