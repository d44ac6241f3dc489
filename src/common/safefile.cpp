// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/safefile.h"

#include "common/platform.h"

#include <utility>

namespace {

SafeFile::Status classify(const Platform::Status &info, qint64 maxSize)
{
    if (info.kind == Platform::Kind::Missing)
        return SafeFile::Status::Missing;
    if (info.kind != Platform::Kind::Regular)
        return SafeFile::Status::NotRegular;
    if (info.size > maxSize)
        return SafeFile::Status::TooLarge;
    return SafeFile::Status::Ok;
}

} // namespace

SafeFile::Status SafeFile::check(const QString &path, qint64 maxSize)
{
    if (path.isEmpty())
        return Status::Missing;
    return classify(Platform::status(path.toStdU16String()), maxSize);
}

SafeFile::Result SafeFile::read(const QString &path, qint64 maxSize)
{
    Result result;
    if (path.isEmpty())
        return result;
    // Looked at first, so that nothing but a regular file is ever opened (opening some devices has
    // effects of its own); the open does not block either, for a FIFO put in its place meanwhile.
    result.status = check(path, maxSize);
    if (result.status != Status::Ok)
        return result;
    Platform::File file; // closed on every way out
    switch (file.open(path.toStdU16String(), Platform::File::Access::Read)) {
    case Platform::File::Opened::Ok:
        break;
    case Platform::File::Opened::Missing:
        result.status = Status::Missing;
        return result;
    case Platform::File::Opened::Failed:
        result.status = Status::Unreadable;
        return result;
    }
    const Platform::Status info = file.status();
    if (info.kind == Platform::Kind::Missing) {
        result.status = Status::Unreadable;
        return result;
    }
    result.status = classify(info, maxSize);
    if (result.status != Status::Ok)
        return result;
    // Read up to one byte past the limit, so that a file that grew meanwhile is caught too.
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(info.size));
    char block[65536];
    for (;;) {
        const std::int64_t got = file.read(block, sizeof block);
        if (got < 0) {
            result.status = Status::Unreadable;
            return result;
        }
        if (got == 0)
            break;
        if (bytes.size() + got > maxSize) {
            result.status = Status::TooLarge;
            return result;
        }
        bytes.append(block, static_cast<qsizetype>(got));
    }
    result.bytes = std::move(bytes);
    return result;
}

bool SafeFile::syncToDisk(const QString &path, bool folder)
{
    return Platform::syncToDisk(path.toStdU16String(), folder);
}
