// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's settings file: a text file of "[section]" lines and "key=value" lines, read and
// written one value at a time. The file is opened for each access and closed at once. Text on disk
// is code page 1252; lines ending in CR LF or in LF alone are read.
//
// Only a regular file of at most MaxSize bytes is read or rewritten (a FIFO, a device or a folder
// under the name is left alone and never blocks). Writing a value changes that one key line and
// nothing else: every other byte of the file stays as it was, and the new file replaces the old
// one in a single rename, so a failure or a crash leaves the old file whole.

#include <QString>

namespace SettingsFile {
// The largest settings file read or rewritten (1 MiB).
inline constexpr qint64 MaxSize = qint64(1) << 20;

// The settings file of the running program: the program folder, then the program file's name with
// its extension replaced by ".ini", that name in lower case.
QString path();

// Why the file cannot serve as the settings file, as a message for the user; empty when it is
// fine or simply missing.
QString problem(const QString &file);

// The value of key in section (both compared without regard to case, surrounding blanks ignored;
// a value in matching single or double quotes loses them), or fallback when the file, the section
// or the key is missing, or the file is refused (see problem()).
QString readString(const QString &file, const QString &section, const QString &key,
                   const QString &fallback = QString());

// Sets key in section to value: the first key line of the section is replaced, a missing key is
// added after the last non-blank line of its section, a missing section is added at the end of the
// file; added lines end as the file's first line does (CR LF in a new file). False, with the file
// unchanged, when it is refused (see problem()), cannot be read, or the new file cannot be written.
bool writeString(const QString &file, const QString &section, const QString &key, const QString &value);

// Removes the unfinished new files a write killed midway left beside file (file.XXXXXX, six
// letters or digits), those older than ten minutes (a younger one may be a write in progress).
// The start-up runs it.
void removeLeftovers(const QString &file);
} // namespace SettingsFile
