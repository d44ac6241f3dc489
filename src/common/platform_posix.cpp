// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/platform.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray nativeName(const std::u16string &path)
{
    return QFile::encodeName(QString::fromStdU16String(path));
}

int descriptor(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

Platform::Status statusOf(const struct stat &info)
{
    Platform::Status result;
    result.kind = S_ISREG(info.st_mode) ? Platform::Kind::Regular : Platform::Kind::Other;
    result.size = static_cast<std::int64_t>(info.st_size);
    return result;
}

} // namespace

Platform::Status Platform::status(const std::u16string &path)
{
    struct stat info {};
    if (path.empty() || ::stat(nativeName(path).constData(), &info) != 0)
        return {};
    return statusOf(info);
}

Platform::File::~File()
{
    close();
}

Platform::File::Opened Platform::File::open(const std::u16string &path, Access access, bool ownerOnly,
                                            bool noLink)
{
    close();
    if (path.empty())
        return Opened::Missing;
    const QByteArray name = nativeName(path);
    // O_NONBLOCK keeps a FIFO or device from blocking the open; callers refuse such files after.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (access == Access::Read ? O_RDONLY : O_RDWR);
    if (access == Access::Create)
        flags |= O_CREAT;
    if (noLink)
        flags |= O_NOFOLLOW;
    int fd;
    do {
        fd = ::open(name.constData(), flags, ownerOnly ? 0600 : 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == ENOENT ? Opened::Missing : Opened::Failed;
    m_handle = fd;
    return Opened::Ok;
}

bool Platform::File::isOpen() const
{
    return m_handle >= 0;
}

void Platform::File::close()
{
    if (m_handle < 0)
        return;
    // The descriptor is gone after close() even when it reports EINTR: never retry. Closing
    // releases the lock.
    ::close(descriptor(m_handle));
    m_handle = -1;
}

Platform::Status Platform::File::status() const
{
    struct stat info {};
    if (m_handle < 0 || ::fstat(descriptor(m_handle), &info) != 0)
        return {};
    return statusOf(info);
}

Platform::File::Locked Platform::File::tryLock(bool exclusive)
{
    if (m_handle < 0)
        return Locked::Failed;
    int locked;
    do {
        locked = ::flock(descriptor(m_handle), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0)
        return Locked::Ok;
    return errno == EWOULDBLOCK ? Locked::HeldByAnother : Locked::Failed;
}

void Platform::File::unlock()
{
    if (m_handle >= 0)
        ::flock(descriptor(m_handle), LOCK_UN);
}

bool Platform::File::truncate(std::int64_t size)
{
    if (m_handle < 0)
        return false;
    int cut;
    do {
        cut = ::ftruncate(descriptor(m_handle), static_cast<off_t>(size));
    } while (cut != 0 && errno == EINTR);
    return cut == 0;
}

std::int64_t Platform::File::read(void *data, std::size_t n)
{
    if (m_handle < 0)
        return -1;
    ssize_t got;
    do {
        got = ::read(descriptor(m_handle), data, n);
    } while (got < 0 && errno == EINTR);
    return got;
}

std::int64_t Platform::File::readAt(std::int64_t offset, void *data, std::size_t n) const
{
    if (m_handle < 0 || offset < 0)
        return -1;
    ssize_t got;
    do {
        got = ::pread(descriptor(m_handle), data, n, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    return got;
}

std::int64_t Platform::File::writeAt(std::int64_t offset, const void *data, std::size_t n)
{
    if (m_handle < 0 || offset < 0)
        return -1;
    ssize_t put;
    do {
        put = ::pwrite(descriptor(m_handle), data, n, static_cast<off_t>(offset));
    } while (put < 0 && errno == EINTR);
    return put;
}

bool Platform::File::sync()
{
    return m_handle >= 0 && ::fsync(descriptor(m_handle)) == 0;
}

bool Platform::syncToDisk(const std::u16string &path, bool folder)
{
    const int fd =
        ::open(nativeName(path).constData(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok || folder;
}

bool Platform::replaceFile(const std::u16string &from, const std::u16string &to)
{
    return std::rename(nativeName(from).constData(), nativeName(to).constData()) == 0;
}

Platform::Link Platform::hardLink(const std::u16string &path, const std::u16string &link)
{
    if (::link(nativeName(path).constData(), nativeName(link).constData()) == 0)
        return Link::Made;
    return errno == EEXIST ? Link::Exists : Link::Failed;
}

bool Platform::writable(const std::u16string &path)
{
    return ::access(nativeName(path).constData(), W_OK) == 0;
}

bool Platform::ownedByThisUser(unsigned ownerId)
{
    return ownerId == ::geteuid();
}

bool Platform::removeEntry(const std::u16string &path)
{
    const QByteArray name = nativeName(path);
    return ::unlink(name.constData()) == 0 || ::rmdir(name.constData()) == 0;
}

void *Platform::loadLibrary(const std::string &name, int version)
{
    const std::string file = "lib" + name + ".so." + std::to_string(version);
    return ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void *Platform::librarySymbol(void *library, const char *name)
{
    return library ? ::dlsym(library, name) : nullptr;
}

void *Platform::loadModule(const std::u16string &folder, const std::string &name)
{
    // A path with a slash: dlopen takes that file and searches nowhere else.
    const QByteArray path = nativeName(folder) + "lib" + QByteArray::fromStdString(name) + ".so";
    return ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
}
