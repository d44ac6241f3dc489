// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsfile.h"

#include "common/cp1252.h"
#include "common/programfolder.h"
#include "common/safefile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include <algorithm>
#include <optional>

namespace {

QString decode(QByteArrayView bytes)
{
    return QString::fromStdString(
        cp1252::toUtf8(std::string_view(bytes.data(), static_cast<size_t>(bytes.size()))));
}

QByteArray encode(const QString &text)
{
    return QByteArray::fromStdString(cp1252::fromUtf8(text.toStdString()));
}

// One line of the file as it is on disk: its text and its ending ("\r\n", "\n" or none at the end).
struct Line {
    QByteArray text;
    QByteArray ending;
};

QList<Line> splitLines(const QByteArray &bytes)
{
    QList<Line> lines;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', at);
        if (lf < 0) {
            lines.append({bytes.mid(at), {}});
            break;
        }
        qsizetype end = lf;
        if (end > at && bytes[end - 1] == '\r')
            --end;
        lines.append({bytes.mid(at, end - at), bytes.mid(end, lf + 1 - end)});
        at = lf + 1;
    }
    return lines;
}

// The whole file; an empty file when it is missing; nullopt when it is refused or unreadable.
std::optional<QByteArray> readFile(const QString &file)
{
    SafeFile::Result r = SafeFile::read(file, SettingsFile::MaxSize);
    if (r.status == SafeFile::Status::Missing)
        return QByteArray();
    if (!r.ok())
        return std::nullopt;
    return std::move(r.bytes);
}

// The section name of a "[name]" line, or nullopt for another line.
std::optional<QString> sectionOf(const QString &line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// The key of a "key=value" line, or nullopt when the line has no "=".
std::optional<QString> keyOf(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return line.left(eq).trimmed();
}

} // namespace

QString SettingsFile::path()
{
    const QString program =
        QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    QString name = QFileInfo(program).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("quelvado");
    return ProgramFolder::writableFile(name.toLower() + QStringLiteral(".ini"));
}

QString SettingsFile::problem(const QString &file)
{
    const QString name = QFileInfo(file).fileName();
    switch (SafeFile::check(file, MaxSize)) {
    case SafeFile::Status::NotRegular:
        return QStringLiteral("O arquivo de configurações \"%1\" não é um arquivo comum e não será usado.")
            .arg(name);
    case SafeFile::Status::TooLarge:
        return QStringLiteral("O arquivo de configurações \"%1\" tem mais de 1 MiB e não será usado.")
            .arg(name);
    default:
        return QString();
    }
}

QString SettingsFile::readString(const QString &file, const QString &section, const QString &key,
                                 const QString &fallback)
{
    const std::optional<QByteArray> bytes = readFile(file);
    if (!bytes)
        return fallback;
    bool inSection = false;
    for (const Line &raw : splitLines(*bytes)) {
        const QString line = decode(raw.text);
        if (const std::optional<QString> name = sectionOf(line)) {
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        const std::optional<QString> k = keyOf(line);
        if (!k || !sameName(*k, key))
            continue;
        QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return fallback;
}

bool SettingsFile::writeString(const QString &file, const QString &section, const QString &key,
                               const QString &value)
{
    const std::optional<QByteArray> bytes = readFile(file);
    if (!bytes)
        return false;
    QList<Line> lines = splitLines(*bytes);
    // Lines added take the ending of the file's first line (CR LF in a new or one-line file).
    const QByteArray ending =
        !lines.isEmpty() && lines.first().ending == "\n" ? QByteArray("\n") : QByteArray("\r\n");
    const QByteArray entry = encode(key.trimmed() + QLatin1Char('=') + value);

    qsizetype sectionLine = -1;   // the "[section]" line
    qsizetype lastInSection = -1; // the last non-blank line of that section
    qsizetype keyLine = -1;
    for (qsizetype i = 0; i < lines.size() && keyLine < 0; ++i) {
        const QString line = decode(lines[i].text);
        if (const std::optional<QString> name = sectionOf(line)) {
            if (sectionLine >= 0)
                break; // the next section begins
            if (sameName(*name, section))
                sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (!line.trimmed().isEmpty())
            lastInSection = i;
        const std::optional<QString> k = keyOf(line);
        if (k && sameName(*k, key))
            keyLine = i;
    }

    if (keyLine >= 0) {
        lines[keyLine].text = entry; // its ending stays
    } else if (sectionLine >= 0) {
        if (lines[lastInSection].ending.isEmpty())
            lines[lastInSection].ending = ending;
        lines.insert(lastInSection + 1, Line{entry, ending});
    } else {
        if (!lines.isEmpty() && lines.last().ending.isEmpty())
            lines.last().ending = ending;
        if (!lines.isEmpty() && !decode(lines.last().text).trimmed().isEmpty())
            lines.append(Line{{}, ending});
        lines.append(Line{'[' + encode(section) + ']', ending});
        lines.append(Line{entry, ending});
    }

    QByteArray out;
    out.reserve(bytes->size() + entry.size() + section.size() + 8);
    for (const Line &line : lines)
        out += line.text + line.ending;

    // Written beside the old file and renamed over it only when complete. Unbuffered and flushed
    // before the commit: QSaveFile's commit does not itself notice a write that failed in its
    // buffer (a full disk), and would put a short file in place.
    QSaveFile save(file);
    if (!save.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (save.write(out) != out.size() || !save.flush() || save.error() != QFileDevice::NoError) {
        save.cancelWriting();
        save.commit();
        return false;
    }
    return save.commit();
}

void SettingsFile::removeLeftovers(const QString &file)
{
    const QFileInfo settings(file);
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-600);
    // QSaveFile's name for the new file: the file's name, a dot and six letters or digits.
    const QFileInfoList found =
        QDir(settings.absolutePath())
            .entryInfoList({settings.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &leftover : found) {
        const QString tail = leftover.fileName().right(6);
        const bool random = std::all_of(tail.begin(), tail.end(),
                                        [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); });
        if (random && !leftover.isSymLink() && leftover.lastModified().toUTC() < old)
            QFile::remove(leftover.filePath());
    }
}
