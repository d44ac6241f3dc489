#pragma once
// The folder of the running program, with its trailing separator. Every data file the program
// reads or writes (numprova.dat, cnt.rtf, the downloads, the settings file) lives there.

#include <QString>

namespace ProgramFolder {
// The folder, always ending in "/".
QString path();
// path() + name.
QString file(const QString &name);
// Points the program folder elsewhere (tests use a temporary folder); empty restores the default.
void set(const QString &folder);
} // namespace ProgramFolder
