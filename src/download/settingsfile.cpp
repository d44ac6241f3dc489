#include "settingsfile.h"

#include "common/cp1252.h"
#include "common/programfolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <optional>

namespace {

QString decode(const QByteArray &bytes)
{
    return QString::fromStdString(cp1252::toUtf8(std::string_view(bytes.constData(), bytes.size())));
}

QByteArray encode(const QString &text)
{
    return QByteArray::fromStdString(cp1252::fromUtf8(text.toStdString()));
}

// The lines of the file without their line ends; nullopt when it exists but cannot be read.
std::optional<QStringList> readLines(const QString &file)
{
    QFile f(file);
    if (!f.exists())
        return QStringList();
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList lines = decode(f.readAll()).split(QLatin1Char('\n'));
    f.close();
    for (QString &line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
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

bool sameName(const QString &a, const QString &b) { return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0; }

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
    const QString program = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    QString name = QFileInfo(program).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("quelvado");
    return ProgramFolder::file(name.toLower() + QStringLiteral(".ini"));
}

QString SettingsFile::readString(const QString &file, const QString &section, const QString &key,
                                 const QString &fallback)
{
    const std::optional<QStringList> lines = readLines(file);
    if (!lines)
        return fallback;
    bool inSection = false;
    for (const QString &line : *lines) {
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
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
            && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return fallback;
}

bool SettingsFile::writeString(const QString &file, const QString &section, const QString &key, const QString &value)
{
    std::optional<QStringList> read = readLines(file);
    if (!read)
        return false;
    QStringList lines = *read;
    const QString entry = key.trimmed() + QLatin1Char('=') + value;

    qsizetype sectionLine = -1; // the "[section]" line
    qsizetype lastInSection = -1; // the last non-blank line of that section
    bool done = false;
    for (qsizetype i = 0; i < lines.size() && !done; ++i) {
        if (const std::optional<QString> name = sectionOf(lines[i])) {
            if (sectionLine >= 0)
                break; // the next section begins
            if (sameName(*name, section))
                sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (!lines[i].trimmed().isEmpty())
            lastInSection = i;
        const std::optional<QString> k = keyOf(lines[i]);
        if (k && sameName(*k, key)) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done) {
        if (sectionLine >= 0) {
            lines.insert(lastInSection + 1, entry);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QString();
            lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
        }
    }

    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += encode(line) + "\r\n";
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    return ok;
}
