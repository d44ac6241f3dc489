// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/platform.h"

// Windows 10 and later, as Qt 6 itself.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

std::wstring wide(const std::u16string &path)
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 file names");
    return std::wstring(path.begin(), path.end());
}

HANDLE handleOf(std::intptr_t handle)
{
    // The file keeps its HANDLE as the number it was given as: no address is computed from it.
    return reinterpret_cast<HANDLE>(handle); // NOLINT(performance-no-int-to-ptr)
}

std::intptr_t fromHandle(HANDLE handle)
{
    return reinterpret_cast<std::intptr_t>(handle);
}

bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Files stay open to other openers for reading, writing, renaming and removal, as on POSIX
// systems: whether they may use the file is the lock's business.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

Platform::Status statusOf(HANDLE handle)
{
    Platform::Status result;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info)) {
        result.kind = Platform::Kind::Other;
        return result;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        result.kind = Platform::Kind::Other;
        return result;
    }
    result.kind = Platform::Kind::Regular;
    result.size =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    return result;
}

OVERLAPPED at(std::int64_t offset)
{
    OVERLAPPED place{};
    place.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFU);
    place.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return place;
}

// One call moves at most this much; callers loop for the rest.
DWORD chunk(std::size_t n)
{
    return static_cast<DWORD>(std::min<std::size_t>(n, std::size_t{1} << 30));
}

} // namespace

Platform::Status Platform::status(const std::u16string &path)
{
    if (path.empty())
        return {};
    // Asking for no access opens anything, a folder too (with backup semantics), without reading.
    HANDLE handle = ::CreateFileW(wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    const Status result = statusOf(handle);
    ::CloseHandle(handle);
    return result;
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
    // A file made in the user's own folders is the user's alone by the folder's inherited rights;
    // ownerOnly asks nothing more here. The handle is never inherited (no security attributes).
    (void)ownerOnly;
    const DWORD rights = access == Access::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD disposition = access == Access::Create ? OPEN_ALWAYS : OPEN_EXISTING;
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (noLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    HANDLE handle =
        ::CreateFileW(wide(path).c_str(), rights, kShareAll, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return isMissing(::GetLastError()) ? Opened::Missing : Opened::Failed;
    if (noLink) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(handle, &info) ||
            (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            ::CloseHandle(handle);
            return Opened::Failed;
        }
    }
    m_handle = fromHandle(handle);
    return Opened::Ok;
}

bool Platform::File::isOpen() const
{
    return m_handle != -1;
}

void Platform::File::close()
{
    if (m_handle == -1)
        return;
    // Closing the handle releases its locks.
    ::CloseHandle(handleOf(m_handle));
    m_handle = -1;
}

Platform::Status Platform::File::status() const
{
    if (m_handle == -1)
        return {};
    return statusOf(handleOf(m_handle));
}

Platform::File::Locked Platform::File::tryLock(bool exclusive)
{
    if (m_handle == -1)
        return Locked::Failed;
    OVERLAPPED whole = at(0);
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (::LockFileEx(handleOf(m_handle), flags, 0, MAXDWORD, MAXDWORD, &whole))
        return Locked::Ok;
    return ::GetLastError() == ERROR_LOCK_VIOLATION ? Locked::HeldByAnother : Locked::Failed;
}

void Platform::File::unlock()
{
    if (m_handle == -1)
        return;
    OVERLAPPED whole = at(0);
    ::UnlockFileEx(handleOf(m_handle), 0, MAXDWORD, MAXDWORD, &whole);
}

bool Platform::File::truncate(std::int64_t size)
{
    if (m_handle == -1)
        return false;
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    return ::SetFileInformationByHandle(handleOf(m_handle), FileEndOfFileInfo, &end, sizeof end) != 0;
}

std::int64_t Platform::File::read(void *data, std::size_t n)
{
    if (m_handle == -1)
        return -1;
    DWORD got = 0;
    if (!::ReadFile(handleOf(m_handle), data, chunk(n), &got, nullptr))
        return ::GetLastError() == ERROR_HANDLE_EOF || ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    return got;
}

std::int64_t Platform::File::readAt(std::int64_t offset, void *data, std::size_t n) const
{
    if (m_handle == -1 || offset < 0)
        return -1;
    OVERLAPPED place = at(offset);
    DWORD got = 0;
    if (!::ReadFile(handleOf(m_handle), data, chunk(n), &got, &place))
        return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return got;
}

std::int64_t Platform::File::writeAt(std::int64_t offset, const void *data, std::size_t n)
{
    if (m_handle == -1 || offset < 0)
        return -1;
    OVERLAPPED place = at(offset);
    DWORD put = 0;
    if (!::WriteFile(handleOf(m_handle), data, chunk(n), &put, &place))
        return -1;
    return put;
}

bool Platform::File::sync()
{
    return m_handle != -1 && ::FlushFileBuffers(handleOf(m_handle)) != 0;
}

bool Platform::syncToDisk(const std::u16string &path, bool folder)
{
    if (folder) {
        // Windows flushes no folder; the renames in it are written through (replaceFile).
        const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    HANDLE handle = ::CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ::FlushFileBuffers(handle) != 0;
    ::CloseHandle(handle);
    return ok;
}

bool Platform::replaceFile(const std::u16string &from, const std::u16string &to)
{
    return ::MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

Platform::Link Platform::hardLink(const std::u16string &path, const std::u16string &link)
{
    if (::CreateHardLinkW(wide(link).c_str(), wide(path).c_str(), nullptr))
        return Link::Made;
    const DWORD error = ::GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Link::Exists : Link::Failed;
}

bool Platform::writable(const std::u16string &path)
{
    // What the file's attributes say; a file the access lists refuse fails when it is opened.
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

bool Platform::ownedByThisUser(unsigned /*ownerId*/)
{
    return true;
}

bool Platform::removeEntry(const std::u16string &path)
{
    const std::wstring name = wide(path);
    return ::DeleteFileW(name.c_str()) != 0 || ::RemoveDirectoryW(name.c_str()) != 0;
}

void *Platform::loadLibrary(const std::string &name, int version)
{
    // The MinGW name of a library's DLL; looked for beside the program and in the system's folder
    // only, never in the current folder.
    const std::string file = "lib" + name + "-" + std::to_string(version) + ".dll";
    const std::wstring wideFile(file.begin(), file.end());
    return ::LoadLibraryExW(wideFile.c_str(), nullptr,
                            LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void *Platform::loadModule(const std::u16string &folder, const std::string &name)
{
    // A full path: the module's own dependencies are looked for in its folder and the system's.
    std::wstring path(folder.begin(), folder.end());
    path.append(name.begin(), name.end());
    path += L".dll";
    return ::LoadLibraryExW(path.c_str(), nullptr,
                            LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void *Platform::librarySymbol(void *library, const char *name)
{
    if (!library)
        return nullptr;
    const FARPROC found = ::GetProcAddress(static_cast<HMODULE>(library), name);
    void *symbol = nullptr;
    static_assert(sizeof symbol == sizeof found, "a function's address fits a pointer");
    std::memcpy(&symbol, &found, sizeof symbol);
    return symbol;
}
