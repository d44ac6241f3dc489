#include "download/zip.h"

#include "common/cp1252.h"
#include "common/errors.h"
#include "common/safefile.h"

#include <QDir>
#include <QFile>

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
    // True when n bytes from pos lie inside the data.
    bool holds(qint64 pos, qint64 n) const { return pos >= 0 && n >= 0 && pos <= size() && n <= size() - pos; }

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

    // The stored name at pos: one character per byte, code page 1252, undefined bytes kept as
    // their own value. The caller has checked holds(pos, n).
    QString name(qint64 pos, qint64 n) const
    {
        QString text(n, Qt::Uninitialized);
        for (qint64 i = 0; i < n; ++i) {
            const unsigned char b = byte(pos + i);
            const char32_t code = cp1252::toUnicode(b);
            text[i] = QChar(static_cast<char16_t>(code != 0 ? code : b));
        }
        return text;
    }

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

// Replaces the sizes a central directory record marks as 0xFFFFFFFF with the 64-bit values of
// its zip64 extra field (uncompressed size first, then compressed size, each present only when
// marked). Values the field does not hold are left as they are.
void zip64Sizes(const Bytes &bytes, qint64 extra, qint64 extraLength, quint64 *uncompressed,
                quint64 *compressed)
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
            for (quint64 *size : {uncompressed, compressed}) {
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

QString nativeName(const QString &fileName) { return QDir::toNativeSeparators(fileName); }

[[noreturn]] void tooLarge(const QString &fileName)
{
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". The file is larger than 2 GiB.")
                          .arg(nativeName(fileName)));
}

[[noreturn]] void readError(const QString &fileName, const QFile &file)
{
    throw EInOutError(QStringLiteral("Read error in \"%1\". %2").arg(nativeName(fileName), file.errorString()));
}

// The whole content of a file of at most TZip::MaxArchiveSize bytes.
QByteArray readWholeFile(const QString &fileName)
{
    // Only a regular file is opened: a FIFO or a device under the archive's name would block or
    // never end.
    if (SafeFile::check(fileName, TZip::MaxArchiveSize) == SafeFile::Status::NotRegular)
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". Not a regular file").arg(nativeName(fileName)));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(nativeName(fileName), file.errorString()));
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

} // namespace

void TZip::LoadArchive(const QString &fileName)
{
    m_ok = false;
    const QByteArray bytes = readWholeFile(fileName);
    walk(bytes);
}

void TZip::LoadFromMemory(QByteArrayView data)
{
    m_ok = false;
    walk(data);
}

void TZip::walk(QByteArrayView data)
{
    const Bytes bytes(data);
    const qint64 size = bytes.size();
    m_entries.clear();
    m_ok = true;
    qint64 pos = 0;
    while (m_ok && pos < size) {
        const quint32 signature = bytes.holds(pos, 4) ? bytes.u32(pos) : 0;
        const qint64 fields = pos + 4;
        if (signature == CentralHeaderSignature) {
            if (!bytes.holds(fields, CentralHeaderSize)) {
                m_ok = false;
                break;
            }
            quint64 uncompressed = bytes.u32(fields + 20);
            quint64 compressed = bytes.u32(fields + 16);
            const qint64 nameLength = bytes.u16(fields + 24);
            const qint64 extraLength = bytes.u16(fields + 26);
            const qint64 commentLength = bytes.u16(fields + 28);
            const qint64 name = fields + CentralHeaderSize;
            if (!bytes.holds(name, nameLength)) {
                m_ok = false;
                break;
            }
            const qint64 extra = name + nameLength;
            if (uncompressed == Unknown32 || compressed == Unknown32)
                zip64Sizes(bytes, extra, extraLength, &uncompressed, &compressed);
            AddEntry(bytes.name(name, nameLength), uncompressed, bytes.u16(fields + 8),
                     bytes.u16(fields + 10), compressed);
            pos = extra + extraLength + commentLength;
        } else if (signature == LocalHeaderSignature) {
            if (!bytes.holds(fields, LocalHeaderSize)) {
                m_ok = false;
                break;
            }
            const quint16 flags = bytes.u16(fields + 2);
            const qint64 compressed = bytes.u32(fields + 14);
            const qint64 data = fields + LocalHeaderSize + bytes.u16(fields + 22) + bytes.u16(fields + 24);
            // Sizes left for a data descriptor or a zip64 field: the data is looked through for
            // the next record instead of being jumped over.
            const bool unknown = compressed == Unknown32 || (compressed == 0 && (flags & DataDescriptorFlag));
            pos = unknown ? data : data + compressed;
        } else if (signature == EndRecordSignature) {
            if (!bytes.holds(fields, EndRecordSize)) {
                m_ok = false;
                break;
            }
            pos = fields + EndRecordSize + bytes.u16(fields + 16);
        } else {
            // Bytes that are no record (a data descriptor, data a local header did not size,
            // zip64 end records, foreign data): look for the next signature one byte on.
            pos = bytes.nextSignature(pos + 1);
        }
        if (pos > size)
            m_ok = false;
    }
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
    const qsizetype cut = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1;
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

QDateTime TZip::ToQDateTime(double dateTime)
{
    // Beyond a million days either way lies no date a zip archive can hold.
    if (!(std::abs(dateTime) < 1e6))
        return QDateTime();
    double whole = std::floor(dateTime);
    qint64 msecs = std::llround((dateTime - whole) * 86400000.0);
    if (msecs >= 86400000) {
        whole += 1;
        msecs -= 86400000;
    }
    return QDateTime(QDate(1899, 12, 30).addDays(static_cast<qint64>(whole)),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)));
}
