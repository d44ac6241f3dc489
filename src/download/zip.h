// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The zip directory reader: lists the members of a zip archive (name, sizes, modification date and
// time) without extracting anything. The archive is read front to back as a sequence of records
// found by their 4-byte signatures; the central directory records give the entries.
//
// Every read is checked against the end of the data: lengths and sizes taken from the archive
// never move a read outside it, and a record cut off by the end of the data only ends the walk.

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

#include <vector>

// What the archive says about one member.
struct ZipEntryRecord {
    quint64 uncompressedSize = 0;
    quint64 compressedSize = 0;
    // Days since 30 December 1899, the fraction being the time of day; 0 for an invalid DOS date
    // or time.
    double dateTime = 0;

    friend bool operator==(const ZipEntryRecord &, const ZipEntryRecord &) = default;
};

struct ZipEntry {
    // The stored name, one character per byte (code page 1252; the five bytes that code page
    // leaves undefined keep their own value), path separators kept.
    QString name;
    ZipEntryRecord record;

    friend bool operator==(const ZipEntry &, const ZipEntry &) = default;
};

// A member name split at its last separator.
struct ZipNameParts {
    QString folder; // up to and including the last "/" or "\", empty when there is none
    QString file;   // the rest; empty for a folder entry
};

class TZip {
public:
    // The largest archive LoadArchive accepts (2 GiB); the whole file is held in memory.
    static constexpr qint64 MaxArchiveSize = qint64(1) << 31;

    // Reads the whole file and lists its members in central-directory order.
    // Throws EFOpenError when the file cannot be opened or is larger than MaxArchiveSize (checked
    // before reading), EInOutError when reading it fails; Entries are then left as they were.
    // A damaged, truncated or foreign file is no error: the walk ends early and the entries read
    // so far stay.
    void LoadArchive(const QString &fileName);
    // The same walk over bytes already in memory (data is not kept). Never throws for any content.
    void LoadFromMemory(QByteArrayView data);

    // The members found by the last load (plus any added with AddEntry), in archive order.
    const QList<ZipEntry> &Entries() const { return m_entries; }
    qsizetype Count() const { return m_entries.size(); }
    // Name and record at index; throw std::out_of_range for an index outside 0..Count()-1.
    const QString &Name(qsizetype index) const;
    const ZipEntryRecord &Record(qsizetype index) const;

    // True when the last walk reached the end of the data; false while loading and when a record
    // ran past the end (a truncated or damaged archive).
    bool Ok() const { return m_ok; }

    // Splits a member name at its last "/" or "\" (see ZipNameParts).
    static ZipNameParts SplitEntryName(const QString &name);

    // Appends an entry. The date-time is built from the DOS date and time; a combination that is
    // not a valid date or time gives 0 and the entry is still added.
    void AddEntry(const QString &name, quint64 uncompressedSize, quint16 dosTime, quint16 dosDate,
                  quint64 compressedSize);

    // The date-time value of a DOS date and time, or 0 when either is invalid.
    static double DosDateTimeToDateTime(quint16 dosDate, quint16 dosTime);
    // A date-time value as a local date and time to the millisecond (0 is 30 December 1899,
    // midnight).
    static QDateTime ToQDateTime(double dateTime);

private:
    friend class ZipListing;
    // Walks the records of bytes (the archive in memory or read from its file a window at a time);
    // entry(nameBytes, uncompressed, dosTime, dosDate, compressed) is called for every central
    // directory record. True when the walk reached the end of the data.
    template <typename Source, typename Entry> static bool walk(const Source &bytes, Entry &&entry);

    QList<ZipEntry> m_entries;
    bool m_ok = false;
};

// The text of the date-time values of a listing, as the download window shows them: the locale's
// short date, then its long time without a time-zone marker unless the time is exactly midnight;
// or ISO ("yyyy-MM-dd HH:mm:ss"). The text is the one QLocale gives for the local date and time of
// ToQDateTime, but the formats and the time zone are looked up once, when the object is made: the
// fields are formatted by hand, a format that cannot be (month names, say) by QLocale from the
// date and the time apart, without a local date-time (whose every making reads the zone again when
// TZ is unset), and only values on a day the zone changes its offset (or outside the years an
// archive holds) take the slow exact road through QDateTime and QLocale.
class ZipDateFormat {
public:
    enum class Style { Locale, Iso };
    explicit ZipDateFormat(Style style = Style::Locale, const QLocale &locale = QLocale());
    QString text(double dateTime) const;
    // The text through QDateTime and QLocale, value by value (what text() must equal).
    static QString exactText(double dateTime, Style style, const QLocale &locale);
    // The locale's long time format without its time-zone marker.
    static QString longTimeFormat(const QLocale &locale);

    struct Token {
        enum Kind : quint8 {
            Literal,
            Day,
            Month,
            MonthName,
            Year,
            Hour24,
            Hour12,
            Minute,
            Second,
            AmPm
        } kind;
        quint8 width; // digits (1 = as few as needed); 3 or 4 for a short or long month name; 0 for
                      // Literal and AmPm
        QString literal;
    };
    struct Fields {
        int year, month, day, hour, minute, second;
    };

private:
    // The value lies on a day whose local time is the wall time itself (no offset change near it),
    // within the years an archive holds.
    bool zoneFree(double dateTime) const;
    // The text through QLocale from the date and the time apart (for a zoneFree value).
    QString wallText(double dateTime) const;
    QString handText(const Fields &fields) const;
    QString exact(double dateTime) const { return exactText(dateTime, m_style, m_locale); }

    Style m_style;
    QLocale m_locale;
    bool m_fast = false;      // the formats hold only what is formatted by hand
    bool m_zoneKnown = false; // the system's time zone and its changes could be read
    QList<Token> m_date, m_time;
    QString m_am, m_pm;
    QStringList m_months;           // the locale's month names, short (0 to 11) then long (12 to 23)
    QString m_longTime;             // longTimeFormat(m_locale)
    std::vector<qint64> m_zoneDays; // Julian days on which the local offset changes, sorted
};

// The rows the download window lists for an archive, kept compact for archives of millions of
// members: the file part of every member that is not a folder (its stored bytes), its uncompressed
// size and its date-time value, in archive order. Filled by the same walk as TZip.
class ZipListing {
public:
    // Reads the archive; throws as TZip::LoadArchive does (a read error met during the walk too).
    // The file is read a window at a time, so the archive is never held whole in memory.
    void load(const QString &fileName);
    // Test seam: the bytes read at a time (at least what one record needs); 0 restores 4 MiB.
    static void setReadWindow(qint64 bytes);
    void loadFromMemory(QByteArrayView data);

    qsizetype count() const { return static_cast<qsizetype>(m_sizes.size()); }
    // False when the walk stopped at a record cut off by the end of the data (the rows before it
    // are kept).
    bool complete() const { return m_complete; }
    // The file part of the member's name (code page 1252, as TZip gives it).
    QString name(qsizetype row) const;
    quint64 uncompressedSize(qsizetype row) const { return m_sizes[static_cast<size_t>(row)]; }
    double dateTime(qsizetype row) const { return m_dates[static_cast<size_t>(row)]; }
    // Memory the rows take, in bytes.
    qsizetype bytesUsed() const;

    void append(QByteArrayView storedName, quint64 uncompressedSize, quint16 dosTime, quint16 dosDate);

private:
    void finish();

    QByteArray m_names;
    std::vector<quint32> m_nameEnds;
    std::vector<quint64> m_sizes;
    std::vector<double> m_dates;
    bool m_complete = false;
};
