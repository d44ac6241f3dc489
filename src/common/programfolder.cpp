// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The share folder of an installed copy, relative to the folder the program is installed in.
// The build sets it from its install layout.
#ifndef QUELVADO_SHARE_FROM_BIN
#define QUELVADO_SHARE_FROM_BIN "../share/quelvado"
#endif

namespace {
QString g_override;

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString shareFolder()
{
    return withSeparator(QDir::cleanPath(ProgramFolder::path() + QStringLiteral(QUELVADO_SHARE_FROM_BIN)));
}

QString dataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty())
        return QString();
    QDir().mkpath(folder);
    return withSeparator(folder);
}
} // namespace

QString ProgramFolder::path()
{
    if (!g_override.isEmpty())
        return g_override;
    if (QCoreApplication::instance())
        return withSeparator(QCoreApplication::applicationDirPath());
    return withSeparator(QDir::currentPath());
}

bool ProgramFolder::installed()
{
    return g_override.isEmpty() && QFileInfo(shareFolder()).isDir();
}

QString ProgramFolder::file(const QString &name)
{
    return (installed() ? shareFolder() : path()) + name;
}

QString ProgramFolder::writablePath()
{
    if (!g_override.isEmpty())
        return g_override;
    if (!installed() && QFileInfo(path()).isWritable())
        return path();
    const QString folder = dataFolder();
    // Without a home there is nowhere better: writes beside the program fail and are reported.
    return folder.isEmpty() ? path() : folder;
}

QString ProgramFolder::writableFile(const QString &name)
{
    return writablePath() + name;
}

QString ProgramFolder::dataFile(const QString &name)
{
    if (!g_override.isEmpty())
        return g_override + name;
    const QString folder = dataFolder();
    return folder.isEmpty() ? QString() : folder + name;
}

void ProgramFolder::set(const QString &folder)
{
    g_override = folder.isEmpty() ? QString() : withSeparator(QDir::cleanPath(folder));
}
