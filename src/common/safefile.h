// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a data file of the program folder without surprises: only a regular file is opened (a
// FIFO, a device or a folder under the expected name is refused without blocking), and a file
// larger than the caller's limit is refused before anything is read.

#include <QByteArray>
#include <QString>

namespace SafeFile {

enum class Status {
    Ok,         // the whole file was read
    Missing,    // no file of that name
    NotRegular, // a FIFO, device, socket or folder under that name
    TooLarge,   // larger than the limit
    Unreadable, // exists but cannot be opened or read
};

struct Result {
    Status status = Status::Missing;
    QByteArray bytes; // the contents when status is Ok
    bool ok() const { return status == Status::Ok; }
};

// Reads the whole of path when it is a regular file (a symbolic link to one counts) of at most
// maxSize bytes. The open never blocks: it does not wait for a writer on a FIFO.
Result read(const QString &path, qint64 maxSize);

// What path is, without opening it: Ok for a regular file of at most maxSize bytes, otherwise
// Missing, NotRegular or TooLarge.
Status check(const QString &path, qint64 maxSize);

// Flushes the file (or, with folder, the folder) at path to disk, as a replacing write does before
// and after its rename; false when the file cannot be opened or flushed (a folder some file systems
// refuse to flush counts as flushed: the rename stands either way).
bool syncToDisk(const QString &path, bool folder = false);

} // namespace SafeFile
