// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "download/zip.h"

#include "common/cp1252.h"
#include "common/errors.h"
#include "common/safefile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

constexpr quint32 LocalHeaderSignature = 0x04034B50;   // "PK" 03 04
constexpr quint32 CentralHeaderSignature = 0x02014B50; // "PK" 01 02
constexpr quint32 EndRecordSignature = 0x06054B50;     // "PK" 05 06

// Bytes of each record after its signature.
constexpr qint64 LocalHeaderSize = 26;
constexpr qint64 CentralHeaderSize = 42;
constexpr qint64 EndRecordSize = 18;

constexpr quint32 Unknown32 = 0xFFFFFFFF;
constexpr quint16 DataDescriptorFlag = 0x0008;
constexpr quint16 Zip64ExtraId = 0x0001;

// Read-only view of the archive bytes whose every read is checked against the end.
class Bytes {
public:
    explicit Bytes(QByteArrayView data) : m_data(data) {}

    qint64 size() const { return m_data.size(); }
    // The n bytes at pos; the caller has checked holds(pos, n).
    QByteArrayView view(qint64 pos, qint64 n) const { return m_data.sliced(pos, n); }
    // All in memory already.
    void prefetch(qint64, qint64) const {}
    // True when n bytes from pos lie inside the data.
    bool holds(qint64 pos, qint64 n) const
    {
        return pos >= 0 && n >= 0 && pos <= size() && n <= size() - pos;
    }

    // Little-endian integers; 0 when the bytes are not all inside the data.
    quint64 le(qint64 pos, int n) const
    {
        if (!holds(pos, n))
            return 0;
        quint64 value = 0;
        for (int i = n - 1; i >= 0; --i)
            value = (value << 8) | byte(pos + i);
        return value;
    }
    quint16 u16(qint64 pos) const { return static_cast<quint16>(le(pos, 2)); }
    quint32 u32(qint64 pos) const { return static_cast<quint32>(le(pos, 4)); }
    quint64 u64(qint64 pos) const { return le(pos, 8); }

    // Position of the first known record signature at or after pos, or size() when none follows.
    qint64 nextSignature(qint64 pos) const
    {
        const char *data = m_data.data();
        while (pos >= 0 && pos + 4 <= size()) {
            const void *p = std::memchr(data + pos, 'P', static_cast<size_t>(size() - 3 - pos));
            if (!p)
                break;
            pos = static_cast<const char *>(p) - data;
            const quint32 sig = u32(pos);
            if (sig == LocalHeaderSignature || sig == CentralHeaderSignature || sig == EndRecordSignature)
                return pos;
            ++pos;
        }
        return size();
    }

private:
    unsigned char byte(qint64 pos) const { return static_cast<unsigned char>(m_data[pos]); }

    QByteArrayView m_data;
};

// A stored name: one character per byte, code page 1252, undefined bytes kept as their own value.
QString storedName(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out[i] = QChar(char16_t(b));
        } else {
            const char32_t code = cp1252::toUnicode(b);
            out[i] = QChar(static_cast<char16_t>(code != 0 ? code : b));
        }
    }
    return text;
}

// Replaces the sizes a central directory record marks as 0xFFFFFFFF with the 64-bit values of
// its zip64 extra field (uncompressed size first, then compressed size, each present only when
// marked). Values the field does not hold are left as they are.
template <typename Source>
void zip64Sizes(const Source &bytes, qint64 extra, qint64 extraLength, quint64 &uncompressed,
                quint64 &compressed)
{
    const qint64 end = std::min(extra + extraLength, bytes.size());
    qint64 pos = extra;
    while (pos + 4 <= end) {
        const quint16 id = bytes.u16(pos);
        const qint64 length = bytes.u16(pos + 2);
        const qint64 data = pos + 4;
        if (length > end - data)
            return;
        if (id == Zip64ExtraId) {
            qint64 field = data;
            for (quint64 *size : {&uncompressed, &compressed}) {
                if (*size != Unknown32)
                    continue;
                if (field + 8 > data + length)
                    return;
                *size = bytes.u64(field);
                field += 8;
            }
            return;
        }
        pos = data + length;
    }
}

QString nativeName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

[[noreturn]] void tooLarge(const QString &fileName)
{
    throw EFOpenError(
        QStringLiteral("Cannot open file \"%1\". The file is larger than 2 GiB.").arg(nativeName(fileName)));
}

[[noreturn]] void readError(const QString &fileName, const QFile &file)
{
    throw EInOutError(
        QStringLiteral("Read error in \"%1\". %2").arg(nativeName(fileName), file.errorString()));
}

// The whole content of a file of at most TZip::MaxArchiveSize bytes.
QByteArray readWholeFile(const QString &fileName)
{
    // Only a regular file is opened: a FIFO or a device under the archive's name would block or
    // never end.
    if (SafeFile::check(fileName, TZip::MaxArchiveSize) == SafeFile::Status::NotRegular)
        throw EFOpenError(
            QStringLiteral("Cannot open file \"%1\". Not a regular file").arg(nativeName(fileName)));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(nativeName(fileName), file.errorString()));
    QByteArray bytes;
    if (!file.isSequential() && file.size() > 0) {
        // The size is known: refuse before reading, then read the file as it was when opened.
        if (file.size() > TZip::MaxArchiveSize)
            tooLarge(fileName);
        bytes.resize(file.size());
        qint64 have = 0;
        while (have < bytes.size()) {
            const qint64 got = file.read(bytes.data() + have, bytes.size() - have);
            if (got < 0)
                readError(fileName, file);
            if (got == 0)
                break;
            have += got;
        }
        bytes.truncate(have);
        return bytes;
    }
    // No size known (a pipe, a device, a file that reports 0): read until the end, up to the limit.
    constexpr qint64 chunk = 1 << 16;
    for (;;) {
        const qint64 have = bytes.size();
        const qint64 want = std::min(chunk, TZip::MaxArchiveSize + 1 - have);
        bytes.resize(have + want);
        const qint64 got = file.read(bytes.data() + have, want);
        if (got < 0)
            readError(fileName, file);
        bytes.resize(have + got);
        if (bytes.size() > TZip::MaxArchiveSize)
            tooLarge(fileName);
        if (got == 0)
            return bytes;
    }
}

qint64 &readWindow()
{
    static qint64 bytes = 0;
    return bytes;
}

// The archive's file read a window at a time, with the interface of Bytes. Reads go forward; a
// read outside the window reads a new window from there. A read that fails throws EInOutError; a
// file that has become shorter reads as zeros past its end, which ends the walk.
class FileBytes {
public:
    FileBytes(QFile &file, const QString &fileName) : m_file(file), m_fileName(fileName), m_size(file.size())
    {
        m_window = readWindow() > 0 ? readWindow() : qint64(4) << 20;
    }

    qint64 size() const { return m_size; }
    bool holds(qint64 pos, qint64 n) const
    {
        return pos >= 0 && n >= 0 && pos <= m_size && n <= m_size - pos;
    }
    void prefetch(qint64 pos, qint64 n) const
    {
        if (pos >= 0 && pos < m_size)
            ensure(pos, std::min(n, m_size - pos));
    }
    QByteArrayView view(qint64 pos, qint64 n) const { return QByteArrayView(ensure(pos, n), n); }
    quint64 le(qint64 pos, int n) const
    {
        if (!holds(pos, n))
            return 0;
        const unsigned char *p = reinterpret_cast<const unsigned char *>(ensure(pos, n));
        quint64 value = 0;
        for (int i = n - 1; i >= 0; --i)
            value = (value << 8) | p[i];
        return value;
    }
    quint16 u16(qint64 pos) const { return static_cast<quint16>(le(pos, 2)); }
    quint32 u32(qint64 pos) const { return static_cast<quint32>(le(pos, 4)); }
    quint64 u64(qint64 pos) const { return le(pos, 8); }

    qint64 nextSignature(qint64 pos) const
    {
        while (pos >= 0 && pos + 4 <= m_size) {
            // The rest of the window, with the three bytes a signature may run over.
            const qint64 n = std::min(m_size - pos, std::max<qint64>(m_window, 4));
            const char *data = ensure(pos, n);
            const Bytes part(QByteArrayView(data, n));
            const qint64 found = part.nextSignature(0);
            if (found < n)
                return pos + found;
            pos += n - 3;
        }
        return m_size;
    }

private:
    // The n bytes at pos (inside the file), read into the window when they are not there yet.
    const char *ensure(qint64 pos, qint64 n) const
    {
        if (pos < m_start || pos + n > m_start + m_buffer.size()) {
            const qint64 want = std::min(std::max(n, m_window), m_size - pos);
            m_buffer.resize(want);
            m_start = pos;
            qint64 have = 0;
            if (!m_file.seek(pos))
                readError(m_fileName, m_file);
            while (have < want) {
                const qint64 got = m_file.read(m_buffer.data() + have, want - have);
                if (got < 0)
                    readError(m_fileName, m_file);
                if (got == 0)
                    break;
                have += got;
            }
            std::memset(m_buffer.data() + have, 0, static_cast<size_t>(want - have));
        }
        return m_buffer.constData() + (pos - m_start);
    }

    QFile &m_file;
    QString m_fileName;
    qint64 m_size;
    qint64 m_window;
    mutable QByteArray m_buffer;
    mutable qint64 m_start = 0;
};

} // namespace

template <typename Source, typename Entry> bool TZip::walk(const Source &bytes, Entry &&entry)
{
    const qint64 size = bytes.size();
    bool ok = true;
    qint64 pos = 0;
    while (ok && pos < size) {
        const quint32 signature = bytes.holds(pos, 4) ? bytes.u32(pos) : 0;
        const qint64 fields = pos + 4;
        if (signature == CentralHeaderSignature) {
            // The whole record at hand at once (its three lengths are 16-bit).
            bytes.prefetch(fields, CentralHeaderSize + 3 * 0xFFFF);
            if (!bytes.holds(fields, CentralHeaderSize))
                return false;
            quint64 uncompressed = bytes.u32(fields + 20);
            quint64 compressed = bytes.u32(fields + 16);
            const qint64 nameLength = bytes.u16(fields + 24);
            const qint64 extraLength = bytes.u16(fields + 26);
            const qint64 commentLength = bytes.u16(fields + 28);
            const qint64 name = fields + CentralHeaderSize;
            if (!bytes.holds(name, nameLength))
                return false;
            const qint64 extra = name + nameLength;
            if (uncompressed == Unknown32 || compressed == Unknown32)
                zip64Sizes(bytes, extra, extraLength, uncompressed, compressed);
            const quint16 dosTime = bytes.u16(fields + 8);
            const quint16 dosDate = bytes.u16(fields + 10);
            entry(bytes.view(name, nameLength), uncompressed, dosTime, dosDate, compressed);
            pos = extra + extraLength + commentLength;
        } else if (signature == LocalHeaderSignature) {
            if (!bytes.holds(fields, LocalHeaderSize))
                return false;
            const quint16 flags = bytes.u16(fields + 2);
            const qint64 compressed = bytes.u32(fields + 14);
            const qint64 data = fields + LocalHeaderSize + bytes.u16(fields + 22) + bytes.u16(fields + 24);
            // Sizes left for a data descriptor or a zip64 field: the data is looked through for
            // the next record instead of being jumped over.
            const bool unknown = compressed == Unknown32 || (compressed == 0 && (flags & DataDescriptorFlag));
            pos = unknown ? data : data + compressed;
        } else if (signature == EndRecordSignature) {
            if (!bytes.holds(fields, EndRecordSize))
                return false;
            pos = fields + EndRecordSize + bytes.u16(fields + 16);
        } else {
            // Bytes that are no record (a data descriptor, data a local header did not size,
            // zip64 end records, foreign data): look for the next signature one byte on.
            pos = bytes.nextSignature(pos + 1);
        }
        if (pos > size)
            ok = false;
    }
    return ok;
}

void TZip::LoadArchive(const QString &fileName)
{
    m_ok = false;
    const QByteArray bytes = readWholeFile(fileName);
    LoadFromMemory(bytes);
}

void TZip::LoadFromMemory(QByteArrayView data)
{
    m_entries.clear();
    m_ok = false;
    m_ok = walk(Bytes(data), [this](QByteArrayView name, quint64 uncompressed, quint16 dosTime,
                                    quint16 dosDate, quint64 compressed) {
        AddEntry(storedName(name), uncompressed, dosTime, dosDate, compressed);
    });
}

const QString &TZip::Name(qsizetype index) const
{
    if (index < 0 || index >= m_entries.size())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return m_entries[index].name;
}

const ZipEntryRecord &TZip::Record(qsizetype index) const
{
    if (index < 0 || index >= m_entries.size())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return m_entries[index].record;
}

ZipNameParts TZip::SplitEntryName(const QString &name)
{
    const qsizetype cut =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1;
    return {name.left(cut), name.mid(cut)};
}

void TZip::AddEntry(const QString &name, quint64 uncompressedSize, quint16 dosTime, quint16 dosDate,
                    quint64 compressedSize)
{
    m_entries.append({name, {uncompressedSize, compressedSize, DosDateTimeToDateTime(dosDate, dosTime)}});
}

double TZip::DosDateTimeToDateTime(quint16 dosDate, quint16 dosTime)
{
    const int year = 1980 + (dosDate >> 9);
    const int month = (dosDate >> 5) & 0x0F;
    const int day = dosDate & 0x1F;
    const int hour = dosTime >> 11;
    const int minute = (dosTime >> 5) & 0x3F;
    const int second = 2 * (dosTime & 0x1F);
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return 0;
    const qint64 days = QDate(year, month, day).toJulianDay() - QDate(1899, 12, 30).toJulianDay();
    const int msecs = ((hour * 60 + minute) * 60 + second) * 1000;
    return static_cast<double>(days) + msecs / 86400000.0;
}

namespace {
// The date and the time of day of a date-time value, as ToQDateTime takes them; false for a value
// no archive can hold (beyond a million days either way).
bool splitDateTime(double dateTime, QDate &date, QTime &time)
{
    if (!(std::abs(dateTime) < 1e6))
        return false;
    double whole = std::floor(dateTime);
    qint64 msecs = std::llround((dateTime - whole) * 86400000.0);
    if (msecs >= 86400000) {
        whole += 1;
        msecs -= 86400000;
    }
    date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs));
    return true;
}
} // namespace

QDateTime TZip::ToQDateTime(double dateTime)
{
    QDate date;
    QTime time;
    if (!splitDateTime(dateTime, date, time))
        return QDateTime();
    return QDateTime(date, time);
}

// ---- Dates of a listing ----

namespace {

constexpr qint64 kDay0 = 2415019; // Julian day of 30 December 1899

// The tokens of a date or time format, as QLocale reads them; false when the format holds
// anything not formatted by hand here (names of months and days, milliseconds, time zones, odd
// widths, letters of no meaning).
bool parseFormat(const QString &format, QList<ZipDateFormat::Token> &out)
{
    using Token = ZipDateFormat::Token;
    const bool twelveHours = format.contains(QLatin1Char('a'), Qt::CaseInsensitive);
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            // Quoted text; '' inside or outside quotes is one quote.
            QString text;
            ++i;
            if (i < format.size() && format[i] == QLatin1Char('\'')) {
                out.append({Token::Literal, 0, QStringLiteral("'")});
                ++i;
                continue;
            }
            while (i < format.size()) {
                if (format[i] == QLatin1Char('\'')) {
                    if (i + 1 < format.size() && format[i + 1] == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    break;
                }
                text += format[i++];
            }
            if (i >= format.size())
                return false; // an unclosed quote: left to QLocale
            ++i;
            out.append({Token::Literal, 0, text});
            continue;
        }
        if (!c.isLetter()) {
            if (!out.isEmpty() && out.last().kind == Token::Literal)
                out.last().literal += c;
            else
                out.append({Token::Literal, 0, QString(c)});
            ++i;
            continue;
        }
        qsizetype repeat = 1;
        while (i + repeat < format.size() && format[i + repeat] == c)
            ++repeat;
        const char16_t u = c.unicode();
        if ((u == u'a' || u == u'A') && repeat == 1) {
            const bool pair = i + 1 < format.size() && format[i + 1].toLower() == QLatin1Char('p');
            // "AP" and "A" upper-case the locale's text, "ap" and "a" lower-case it; mixed case
            // ("Ap", "aP") keeps it as it is in newer Qt versions and is left to QLocale.
            if (pair && format[i + 1].isUpper() != c.isUpper())
                return false;
            out.append({Token::AmPm, static_cast<quint8>(c.isUpper() ? 1 : 0), QString()});
            i += pair ? 2 : 1;
            continue;
        }
        Token::Kind kind;
        switch (u) {
        case u'd':
            kind = Token::Day;
            break;
        case u'M':
            kind = repeat >= 3 ? Token::MonthName : Token::Month;
            break;
        case u'y':
            kind = Token::Year;
            break;
        case u'h':
            kind = twelveHours ? Token::Hour12 : Token::Hour24;
            break;
        case u'H':
            kind = Token::Hour24;
            break;
        case u'm':
            kind = Token::Minute;
            break;
        case u's':
            kind = Token::Second;
            break;
        default:
            return false;
        }
        const bool width = kind == Token::Year        ? repeat == 2 || repeat == 4
                           : kind == Token::MonthName ? repeat == 3 || repeat == 4
                                                      : repeat <= 2;
        if (!width)
            return false;
        out.append({kind, static_cast<quint8>(repeat), QString()});
        i += repeat;
    }
    return true;
}

void appendNumber(QString &out, int value, int width)
{
    char16_t digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int k = n; k < width; ++k)
        out += QLatin1Char('0');
    while (n > 0)
        out += QChar(digits[--n]);
}

using Fields = ZipDateFormat::Fields;

void appendTokens(QString &out, const QList<ZipDateFormat::Token> &tokens, const Fields &f, const QString &am,
                  const QString &pm, const QStringList &months)
{
    using Token = ZipDateFormat::Token;
    for (const Token &t : tokens) {
        switch (t.kind) {
        case Token::Literal:
            out += t.literal;
            break;
        case Token::Day:
            appendNumber(out, f.day, t.width);
            break;
        case Token::Month:
            appendNumber(out, f.month, t.width);
            break;
        case Token::MonthName:
            out += months.value((t.width == 4 ? 12 : 0) + f.month - 1);
            break;
        case Token::Year:
            appendNumber(out, t.width == 2 ? f.year % 100 : f.year, t.width);
            break;
        case Token::Hour24:
            appendNumber(out, f.hour, t.width);
            break;
        case Token::Hour12:
            appendNumber(out, f.hour % 12 == 0 ? 12 : f.hour % 12, t.width);
            break;
        case Token::Minute:
            appendNumber(out, f.minute, t.width);
            break;
        case Token::Second:
            appendNumber(out, f.second, t.width);
            break;
        case Token::AmPm:
            out += f.hour < 12 ? am : pm;
            break;
        }
    }
}

// The date and time fields of a value, as the calendar gives them (no time zone).
bool fieldsOf(double dateTime, Fields &f)
{
    if (!(std::abs(dateTime) < 1e6))
        return false;
    double whole = std::floor(dateTime);
    qint64 msecs = std::llround((dateTime - whole) * 86400000.0);
    if (msecs >= 86400000) {
        whole += 1;
        msecs -= 86400000;
    }
    if (msecs % 1000 != 0)
        return false; // milliseconds never come from a DOS time
    // The calendar worked out once, not once per field.
    int year = 0, month = 0, day = 0;
    QDate::fromJulianDay(kDay0 + static_cast<qint64>(whole)).getDate(&year, &month, &day);
    const int seconds = static_cast<int>(msecs / 1000);
    f = {year, month, day, seconds / 3600, seconds / 60 % 60, seconds % 60};
    return true;
}

} // namespace

QString ZipDateFormat::longTimeFormat(const QLocale &locale)
{
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(zone);
    return format.trimmed();
}

QString ZipDateFormat::exactText(double dateTime, Style style, const QLocale &locale)
{
    const QDateTime when = TZip::ToQDateTime(dateTime);
    if (style == Style::Iso)
        return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QString text = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(when.time(), longTimeFormat(locale));
    return text;
}

ZipDateFormat::ZipDateFormat(Style style, const QLocale &locale)
    : m_style(style), m_locale(locale), m_longTime(longTimeFormat(locale))
{
    if (style == Style::Iso) {
        m_fast = parseFormat(QStringLiteral("yyyy-MM-dd"), m_date) &&
                 parseFormat(QStringLiteral("HH:mm:ss"), m_time);
    } else {
        m_am = locale.amText();
        m_pm = locale.pmText();
        for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat})
            for (int month = 1; month <= 12; ++month)
                m_months << locale.monthName(month, type);
        m_fast = parseFormat(locale.dateFormat(QLocale::ShortFormat), m_date) &&
                 parseFormat(longTimeFormat(locale), m_time);
        for (Token &t : m_date)
            if (t.kind == Token::AmPm)
                m_fast = false; // a marker in a date format: left to QLocale
        for (Token &t : m_time)
            if (t.kind == Token::AmPm) {
                if (t.width == 1) {
                    m_am = m_am.toUpper(), m_pm = m_pm.toUpper();
                } else {
                    m_am = m_am.toLower(), m_pm = m_pm.toLower();
                }
            }
    }
    // The days on which the local time zone changes its offset: a local date-time there may not
    // exist, and QDateTime moves it. Those days take the exact road.
    const QTimeZone zone = QTimeZone::systemTimeZone();
    if (!zone.isValid()) {
        m_fast = false;
        return;
    }
    m_zoneKnown = true;
    const QDateTime from(QDate(1979, 12, 1), QTime(0, 0), Qt::UTC);
    const QDateTime to(QDate(2108, 2, 1), QTime(0, 0), Qt::UTC);
    for (const QTimeZone::OffsetData &change : zone.transitions(from, to)) {
        const qint64 utcDay = change.atUtc.date().toJulianDay();
        for (qint64 day = utcDay - 2; day <= utcDay + 2; ++day)
            m_zoneDays.push_back(day);
    }
    std::sort(m_zoneDays.begin(), m_zoneDays.end());
    m_zoneDays.erase(std::unique(m_zoneDays.begin(), m_zoneDays.end()), m_zoneDays.end());
    // What is done by hand must give what QLocale gives: checked once on a few values with one-
    // and two-digit fields, morning and afternoon.
    for (const auto &[date, time] :
         {std::pair{QDate(1985, 1, 2), QTime(3, 4, 6)}, std::pair{QDate(2019, 11, 23), QTime(13, 45, 58)},
          std::pair{QDate(2107, 12, 31), QTime(23, 59, 58)}, std::pair{QDate(2000, 10, 9), QTime(0, 0, 0)},
          std::pair{QDate(1980, 7, 31), QTime(12, 0, 2)}}) {
        if (!m_fast)
            break;
        const Fields f{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
        const QString expected =
            style == Style::Iso
                ? QDateTime(date, time, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                : locale.toString(date, QLocale::ShortFormat) +
                      (time == QTime(0, 0)
                           ? QString()
                           : QLatin1Char(' ') + locale.toString(time, longTimeFormat(locale)));
        m_fast = handText(f) == expected;
    }
}

bool ZipDateFormat::zoneFree(double dateTime) const
{
    if (!m_zoneKnown || !(dateTime >= 29221.0 && dateTime < 76701.0)) // 1 January 1980 to 1 January 2110
        return false;
    const qint64 day = kDay0 + static_cast<qint64>(std::floor(dateTime));
    return !std::binary_search(m_zoneDays.begin(), m_zoneDays.end(), day);
}

QString ZipDateFormat::handText(const Fields &f) const
{
    QString out;
    out.reserve(24);
    appendTokens(out, m_date, f, m_am, m_pm, m_months);
    if (m_style == Style::Iso || f.hour != 0 || f.minute != 0 || f.second != 0) {
        out += QLatin1Char(' ');
        appendTokens(out, m_time, f, m_am, m_pm, m_months);
    }
    return out;
}

QString ZipDateFormat::wallText(double dateTime) const
{
    QDate date;
    QTime time;
    if (!splitDateTime(dateTime, date, time))
        return exact(dateTime);
    if (m_style == Style::Iso)
        return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
               time.toString(QStringLiteral("HH:mm:ss"));
    QString text = m_locale.toString(date, QLocale::ShortFormat);
    if (time != QTime(0, 0))
        text += QLatin1Char(' ') + m_locale.toString(time, m_longTime);
    return text;
}

QString ZipDateFormat::text(double dateTime) const
{
    if (!zoneFree(dateTime))
        return exact(dateTime);
    Fields f{};
    if (m_fast && fieldsOf(dateTime, f))
        return handText(f);
    return wallText(dateTime);
}

// ---- The window's rows ----

void ZipListing::append(QByteArrayView storedName, quint64 uncompressedSize, quint16 dosTime, quint16 dosDate)
{
    qsizetype cut = storedName.size();
    while (cut > 0 && storedName[cut - 1] != '/' && storedName[cut - 1] != '\\')
        --cut;
    if (cut == storedName.size())
        return; // a folder
    m_names.append(storedName.sliced(cut));
    m_nameEnds.push_back(static_cast<quint32>(m_names.size()));
    m_sizes.push_back(uncompressedSize);
    m_dates.push_back(TZip::DosDateTimeToDateTime(dosDate, dosTime));
}

void ZipListing::setReadWindow(qint64 bytes)
{
    readWindow() = bytes;
}

void ZipListing::load(const QString &fileName)
{
    // Only a regular file of a known size is read a window at a time; anything else is read whole
    // (with the checks and limits of TZip).
    if (SafeFile::check(fileName, TZip::MaxArchiveSize) == SafeFile::Status::Ok) {
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly) && !file.isSequential() && file.size() > 0) {
            *this = ZipListing();
            m_complete =
                TZip::walk(FileBytes(file, fileName),
                           [this](QByteArrayView name, quint64 uncompressed, quint16 dosTime, quint16 dosDate,
                                  quint64) { append(name, uncompressed, dosTime, dosDate); });
            finish();
            return;
        }
    }
    const QByteArray bytes = readWholeFile(fileName);
    loadFromMemory(bytes);
}

void ZipListing::loadFromMemory(QByteArrayView data)
{
    *this = ZipListing();
    m_complete = TZip::walk(Bytes(data), [this](QByteArrayView name, quint64 uncompressed, quint16 dosTime,
                                                quint16 dosDate,
                                                quint64) { append(name, uncompressed, dosTime, dosDate); });
    finish();
}

void ZipListing::finish()
{
    m_names.squeeze();
    m_nameEnds.shrink_to_fit();
    m_sizes.shrink_to_fit();
    m_dates.shrink_to_fit();
}

QString ZipListing::name(qsizetype row) const
{
    const quint32 end = m_nameEnds[static_cast<size_t>(row)];
    const quint32 start = row > 0 ? m_nameEnds[static_cast<size_t>(row - 1)] : 0;
    return storedName(QByteArrayView(m_names).sliced(start, end - start));
}

qsizetype ZipListing::bytesUsed() const
{
    return m_names.capacity() +
           static_cast<qsizetype>(m_nameEnds.capacity() * sizeof(quint32) +
                                  m_sizes.capacity() * sizeof(quint64) + m_dates.capacity() * sizeof(double));
}
