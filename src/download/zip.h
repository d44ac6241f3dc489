#pragma once
// The zip directory reader: lists the members of a zip archive (name, sizes, modification date and
// time) without extracting anything. The archive is read front to back as a sequence of records
// found by their 4-byte signatures; the central directory records give the entries.
//
// Every read is checked against the end of the data: lengths and sizes taken from the archive
// never move a read outside it, and a record cut off by the end of the data only ends the walk.

#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

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
    void walk(QByteArrayView data);

    QList<ZipEntry> m_entries;
    bool m_ok = false;
};
