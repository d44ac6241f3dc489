// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program's files live. One rule for all of them:
//
// - The program's own read-only files (cnt.rtf, the help file Quelvado.html) are found by file():
//   in the share folder of an installed copy (<prefix>/share/quelvado beside <prefix>/bin), and
//   beside the program otherwise (the build folder, a copy unpacked anywhere).
// - Every file the program writes, and reads back later (numprova.dat, the settings file,
//   temp.zip, the downloaded archives), is found by writableFile(): beside the
//   program when that is not an installed copy and its folder is writable, otherwise in the user's
//   data folder (QStandardPaths::AppDataLocation, ~/.local/share/Quelvado on Linux), which is made
//   when first asked for. An installed copy never writes under its install root, not even when run
//   by a user allowed to write there.
// - The study history, which belongs to the person studying and not to a copy of the program, is
//   found by dataFile(): always in the user's data folder, wherever the program runs from.
//
// A copy counts as installed when the share folder exists beside its bin folder. Tests point
// everything at one temporary folder with set().

#include <QString>

namespace ProgramFolder {
// The folder of the running program, always ending in "/".
QString path();
// The full name of one of the program's own read-only files.
QString file(const QString &name);
// The folder that holds the files the program writes, ending in "/". Made when it is the user's
// data folder and does not exist yet (it may still fail to exist: the caller's write then fails
// and says so).
QString writablePath();
// writablePath() + name.
QString writableFile(const QString &name);
// The full name of a file kept in the user's data folder (made when first asked for); empty when
// there is no such folder (no home). Under set() the file is inside the folder set.
QString dataFile(const QString &name);
// True when the program runs from an installed copy (see above).
bool installed();
// Points the program folder elsewhere (tests use a temporary folder): file() and writableFile()
// both answer inside it. Empty restores the default.
void set(const QString &folder);
} // namespace ProgramFolder
