// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "versioninfo.h"

#include "common/maker.h"

#include <QFile>
#include <QRegularExpression>

QString VersionInfo::raw()
{
    QFile f(QStringLiteral(":/version.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromLatin1(f.readAll()).trimmed();
    static const QRegularExpression fourNumbers(
        QStringLiteral("^\\d{1,5}\\.\\d{1,5}\\.\\d{1,5}\\.\\d{1,5}$"));
    return fourNumbers.match(text).hasMatch() ? text : QString();
}

QString VersionInfo::trimmed(const QString &version)
{
    if (version.isEmpty())
        return {};
    // Drop trailing zero numbers but keep at least "major.minor". Trimming characters instead
    // would cut "2.10.0.0" down to "2.1".
    QStringList parts = version.split(QLatin1Char('.'));
    while (parts.size() > 2 && parts.last() == QLatin1String("0"))
        parts.removeLast();
    if (parts.size() == 1)
        parts << QStringLiteral("0");
    return parts.join(QLatin1Char('.'));
}

QString VersionInfo::boxText(const QString &version)
{
    if (version.isEmpty())
        return {};
    const QStringList lines{
        QStringLiteral("Quelvado ") + trimmed(version),
        QString(),
        QStringLiteral("http://") + Maker::site,
        QStringLiteral("http://") + Maker::productSite,
        QString(),
        QStringLiteral("http://") + Maker::agendaSite,
        QStringLiteral("E-Mail:  ") + Maker::mail,
        Maker::brand,
        // The licences, after the maker's lines.
        QString(),
        QStringLiteral("Software livre: o programa sob a licença GNU GPL 3.0 ou posterior,"),
        QStringLiteral("o conteúdo (questões, textos e figuras) sob a CC BY-SA 4.0."),
    };
    return lines.join(QLatin1Char('\n'));
}
