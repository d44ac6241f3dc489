#pragma once
// The program's settings file: a text file of "[section]" lines and "key=value" lines, read and
// written one value at a time. The file is opened for each access and closed at once. Text on disk
// is code page 1252; lines are written ending in CR LF, and lines ending in LF alone are read too.

#include <QString>

namespace SettingsFile {
// The settings file of the running program: the program folder, then the program file's name with
// its extension replaced by ".ini", that name in lower case.
QString path();

// The value of key in section (both compared without regard to case, surrounding blanks ignored;
// a value in matching single or double quotes loses them), or fallback when the file, the section
// or the key is missing.
QString readString(const QString &file, const QString &section, const QString &key,
                   const QString &fallback = QString());

// Sets key in section to value: an existing key line of the section is replaced, a missing key is
// added at the end of its section, a missing section is added at the end of the file; the other
// lines are kept. False when the file cannot be read or written.
bool writeString(const QString &file, const QString &section, const QString &key, const QString &value);
} // namespace SettingsFile
