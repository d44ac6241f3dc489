#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString g_override;

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
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

QString ProgramFolder::file(const QString &name) { return path() + name; }

void ProgramFolder::set(const QString &folder)
{
    g_override = folder.isEmpty() ? QString() : withSeparator(QDir::cleanPath(folder));
}
