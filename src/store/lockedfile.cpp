// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/lockedfile.h"

LockedFile::~LockedFile()
{
    close();
}

bool LockedFile::open(const QString &path, Mode mode)
{
    close();
    if (path.isEmpty())
        return false;
    // The open never blocks on a FIFO or device; such files are refused below.
    const auto access = mode == Read     ? Platform::File::Access::Read
                        : mode == Create ? Platform::File::Access::Create
                                         : Platform::File::Access::ReadWrite;
    if (m_file.open(path.toStdU16String(), access) != Platform::File::Opened::Ok)
        return false;
    if (m_file.status().kind != Platform::Kind::Regular ||
        m_file.tryLock(mode != Read) != Platform::File::Locked::Ok ||
        (mode == Create && !m_file.truncate())) {
        m_file.close();
        return false;
    }
    return true;
}

void LockedFile::close()
{
    if (!m_file.isOpen())
        return;
    m_file.unlock();
    m_file.close();
}

std::int64_t LockedFile::size() const
{
    const Platform::Status status = m_file.status();
    return status.kind == Platform::Kind::Missing ? -1 : status.size;
}

bool LockedFile::readAt(std::int64_t offset, void *data, std::size_t n) const
{
    if (!m_file.isOpen() || offset < 0)
        return false;
    auto *p = static_cast<char *>(data);
    while (n > 0) {
        const std::int64_t got = m_file.readAt(offset, p, n);
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
    if (!m_file.isOpen() || offset < 0)
        return false;
    const auto *p = static_cast<const char *>(data);
    while (n > 0) {
        const std::int64_t put = m_file.writeAt(offset, p, n);
        if (put <= 0)
            return false;
        p += put;
        offset += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}
