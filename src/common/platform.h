// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program asks of the operating system beyond Qt: files opened without surprises, held
// under a lock, flushed to disk and renamed over others, hard links, and libraries loaded while it
// runs. One header, two implementations (platform_posix.cpp, platform_windows.cpp), chosen when
// the build is configured, so no other file needs to know which system it runs on.
//
// Paths are UTF-16, as QString holds them (QString::toStdU16String()); nothing here throws.

#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform {

enum class Kind : std::uint8_t {
    Missing, // nothing of that name (or it cannot be looked at)
    Regular, // a regular file
    Other,   // a folder, FIFO, device or socket
};

struct Status {
    Kind kind = Kind::Missing;
    std::int64_t size = 0; // bytes, for a regular file
};

// What stands at path, following a symbolic link; nothing is opened for reading.
Status status(const std::u16string &path);

// One open file. Opening never blocks (a FIFO put where a file was expected does not wait for a
// writer), never makes a terminal the controlling one, and the file is not inherited by programs
// the process starts. Closed by close() and the destructor, which release its lock too.
class File {
public:
    enum class Access : std::uint8_t {
        Read,      // reading only
        ReadWrite, // reading and writing an existing file
        Create,    // reading and writing, creating the file when missing (never emptying it)
    };
    enum class Opened : std::uint8_t { Ok, Missing, Failed };
    enum class Locked : std::uint8_t { Ok, HeldByAnother, Failed };

    File() = default;
    ~File();
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    // Opens path, closing whatever was open. ownerOnly: a created file is for its owner alone.
    // noLink: a symbolic link at path is refused.
    Opened open(const std::u16string &path, Access access, bool ownerOnly = false, bool noLink = false);
    bool isOpen() const;
    void close();

    // What the open file is (a regular file and its size, or something else).
    Status status() const;
    // A lock on the whole file, shared or exclusive, taken without waiting: HeldByAnother when
    // another open of the file (in this process or another) holds one that conflicts.
    Locked tryLock(bool exclusive);
    void unlock();
    // Cuts the file to size bytes (no bytes by default).
    bool truncate(std::int64_t size = 0);
    // Reads up to n bytes at the current position: the count read, 0 at the end, -1 on an error.
    std::int64_t read(void *data, std::size_t n);
    // Reads or writes up to n bytes at offset: the count, 0 at the end of the file for a read, -1
    // on an error. Where read() goes on afterwards differs between systems: use one or the other.
    std::int64_t readAt(std::int64_t offset, void *data, std::size_t n) const;
    std::int64_t writeAt(std::int64_t offset, const void *data, std::size_t n);
    // Writes everything to the disk.
    bool sync();

private:
    std::intptr_t m_handle = -1; // a descriptor, or a HANDLE
};

// Flushes the file at path, or with folder the folder (so that a rename in it stands), to disk.
// False when it cannot be opened or flushed; a folder the system does not flush counts as flushed.
bool syncToDisk(const std::u16string &path, bool folder);

// Renames from over to, replacing a file there, in one step that leaves one or the other whole,
// and written through to the disk before it returns where the system offers that. On Windows it
// fails while another program has the file at to open.
bool replaceFile(const std::u16string &from, const std::u16string &to);

enum class Link : std::uint8_t { Made, Exists, Failed };
// A second name, link, for the file at path: Exists when link is already taken.
Link hardLink(const std::u16string &path, const std::u16string &link);

// True when this process may write to the file at path (its permissions, and a read-only file system).
bool writable(const std::u16string &path);
// True when ownerId (as QFileInfo::ownerId() gives it) names the user this process runs as; on a
// system where files carry no such number, always true.
bool ownedByThisUser(unsigned ownerId);

// Removes the file, link or empty folder at path.
bool removeEntry(const std::u16string &path);

// Loads the shared library of the name and major version given ("curl", 4: libcurl.so.4, or
// libcurl-4.dll beside the program or in the system's folder); null when it cannot be loaded.
// A library stays loaded until the process ends.
void *loadLibrary(const std::string &name, int version);
// The function or variable of that name in a loaded library, or null.
void *librarySymbol(void *library, const char *name);
// Loads one of the program's own modules ("quelvado_sound": libquelvado_sound.so, or
// quelvado_sound.dll) from folder (ending in a separator) and nowhere else; null when it cannot.
// A module stays loaded until the process ends.
void *loadModule(const std::u16string &folder, const std::string &name);

} // namespace Platform
