// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One open file of the table store, held under a lock for as long as it is open,
// so that stores in this and in other processes keep out of each other's way:
// - Read: opened for reading only under a shared lock; other readers may open it, writers may not.
// - ReadWrite: opened for reading and writing under an exclusive lock; nobody else may open it.
// - Create: like ReadWrite, creating the file when missing and emptying it once the lock is held
//   (never before, so a file another store holds is left intact).
// Only regular files are opened. The lock goes with the open file: close() and the destructor
// release both.

#include "common/platform.h"

#include <QString>
#include <cstddef>
#include <cstdint>

class LockedFile {
public:
    enum Mode { Read, ReadWrite, Create };

    LockedFile() = default;
    ~LockedFile();
    LockedFile(const LockedFile &) = delete;
    LockedFile &operator=(const LockedFile &) = delete;

    // Opens path in mode, closing whatever was open. Returns false, with nothing left open, when
    // the file cannot be opened or created, is not a regular file, or another opener holds a
    // conflicting lock.
    bool open(const QString &path, Mode mode);
    // Releases the lock and the descriptor; does nothing when nothing is open.
    void close();
    bool isOpen() const { return m_file.isOpen(); }

    // The file's length in bytes, or -1 when it cannot be asked.
    std::int64_t size() const;
    // Reads exactly n bytes at offset into data. False on a negative offset, a short read or an error.
    bool readAt(std::int64_t offset, void *data, std::size_t n) const;
    // Writes exactly n bytes at offset. False on a negative offset or any failure (including a file
    // opened for reading only).
    bool writeAt(std::int64_t offset, const void *data, std::size_t n);

private:
    Platform::File m_file;
};
