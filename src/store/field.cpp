// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/field.h"

#include "common/cp1252.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "store/binarydataset.h"

#include <QTimeZone>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
// Julian day of day 0 of the stored day numbers (0001-01-01 is day 1).
constexpr qint64 kDayZeroJulian = 1721425;
constexpr qint64 kMSecsPerDay = 86400000;

QDate dateFromDayNumber(qint64 day)
{
    return QDate::fromJulianDay(day + kDayZeroJulian);
}

// The day number of a valid date, or nothing when it does not fit 32 bits.
std::optional<std::int32_t> dayNumberOf(const QDate &d)
{
    if (!d.isValid())
        return std::nullopt;
    const qint64 day = d.toJulianDay() - kDayZeroJulian;
    if (day < std::numeric_limits<std::int32_t>::min() || day > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(day);
}

QTime timeFromMSecs(qint64 ms)
{
    if (ms < 0 || ms >= kMSecsPerDay)
        return {};
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}

QDateTime dateTimeFromMSecs(double v)
{
    // Beyond ±1e17 ms (about three million years) the day number leaves any date Qt can show.
    if (!std::isfinite(v) || std::fabs(v) > 1e17)
        return {};
    double days = std::floor(v / static_cast<double>(kMSecsPerDay));
    auto ms = std::llround(v - days * static_cast<double>(kMSecsPerDay));
    if (ms >= kMSecsPerDay) {
        days += 1;
        ms -= kMSecsPerDay;
    }
    const QDate date = dateFromDayNumber(static_cast<qint64>(days));
    const QTime time = timeFromMSecs(ms);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, QTimeZone::utc());
}

QDateTime dateTimeFromText(const QString &text)
{
    const QString t = text.trimmed();
    QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(t, Qt::ISODate);
        if (d.isValid())
            dt = QDateTime(d, QTime(0, 0));
    }
    return dt.isValid() ? QDateTime(dt.date(), dt.time(), QTimeZone::utc()) : QDateTime();
}

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isFloat(const QVariant &v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

// Text "True"/"False" (or "T"/"F"), any case.
std::optional<bool> booleanFromText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("t"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("f"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}
} // namespace

int SlotSizeOf(TFieldType type, int size)
{
    switch (type) {
    case ftString:
        return size >= 0 && size <= 0xFFFF ? size + 4 : -1;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
        return 2;
    case ftInteger:
    case ftDate:
    case ftTime:
        return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
        return 8;
    default:
        return -1;
    }
}

TField::TField(TBinaryDataSet &dataSet, const QString &name, TFieldType type, int size, TFieldKind kind)
    : m_dataSet(dataSet), m_name(name), m_type(type), m_size(size), m_kind(kind)
{
}

int TField::dataLength() const
{
    if (m_type == ftString)
        return std::max(m_size, 0) + 1;
    const int slot = SlotSizeOf(m_type, m_size);
    return slot < 0 ? 0 : slot;
}

bool TField::readBytes(QByteArray &out) const
{
    if (m_fieldNo < 1 || m_kind != fkData)
        return false;
    const unsigned char *record = m_dataSet.activeRecord();
    const int length = dataLength();
    if (!record || length <= 0)
        return false;
    out = QByteArray(length, '\0');
    // A slot smaller than the value (a descriptor that says so) gives only its own bytes.
    std::memcpy(out.data(), record + m_slotOffset, static_cast<std::size_t>(std::min(length, m_slotSize)));
    return true;
}

void TField::writeBytes(const QByteArray &bytes)
{
    unsigned char *record = m_dataSet.editableRecord();
    if (m_fieldNo >= 1 && m_kind == fkData) {
        const auto n = std::min<qsizetype>(bytes.size(), m_slotSize);
        std::memcpy(record + m_slotOffset, bytes.constData(), static_cast<std::size_t>(n));
    }
    m_dataSet.fieldChanged(*this);
}

QVariant TField::Value() const
{
    QByteArray b;
    if (!readBytes(b))
        return {};
    const auto *p = reinterpret_cast<const uchar *>(b.constData());
    switch (m_type) {
    case ftString: {
        const auto *end =
            static_cast<const char *>(std::memchr(b.constData(), 0, static_cast<std::size_t>(m_size)));
        const qsizetype n = end ? end - b.constData() : m_size;
        return QString::fromStdString(
            cp1252::toUtf8(std::string_view(b.constData(), static_cast<std::size_t>(n))));
    }
    case ftSmallint:
        return int(qFromLittleEndian<qint16>(p));
    case ftInteger:
        return int(qFromLittleEndian<qint32>(p));
    case ftWord:
        return int(qFromLittleEndian<quint16>(p));
    case ftBoolean:
        return qFromLittleEndian<quint16>(p) != 0;
    case ftFloat:
    case ftCurrency:
        return std::bit_cast<double>(qFromLittleEndian<quint64>(p));
    case ftDate:
        return dateFromDayNumber(qFromLittleEndian<qint32>(p));
    case ftTime:
        return timeFromMSecs(qFromLittleEndian<qint32>(p));
    case ftDateTime:
        return dateTimeFromMSecs(std::bit_cast<double>(qFromLittleEndian<quint64>(p)));
    default:
        return {};
    }
}

void TField::conversionError(const QVariant &v) const
{
    throw EConvertError(
        QStringLiteral("'%1' não é um valor válido para o campo '%2'").arg(v.toString(), m_name));
}

QVariant TField::convertForType(const QVariant &v) const
{
    switch (m_type) {
    case ftString: {
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return v.toString();
    }
    case ftSmallint:
    case ftInteger:
    case ftWord: {
        qint64 x = 0;
        bool ok = false;
        if (isFloat(v)) {
            const double d = v.toDouble();
            ok = std::isfinite(d) && std::fabs(d) < 1e18;
            if (ok)
                x = std::llround(d);
        } else if (v.typeId() == QMetaType::QString || isNumber(v)) {
            x = v.toLongLong(&ok);
        }
        const qint64 lo = m_type == ftSmallint ? -32768
                          : m_type == ftWord   ? 0
                                               : std::numeric_limits<std::int32_t>::min();
        const qint64 hi = m_type == ftSmallint ? 32767
                          : m_type == ftWord   ? 65535
                                               : std::numeric_limits<std::int32_t>::max();
        if (!ok || x < lo || x > hi)
            conversionError(v);
        return int(x);
    }
    case ftBoolean: {
        if (v.typeId() == QMetaType::Bool)
            return v.toBool();
        if (isNumber(v))
            return v.toLongLong() != 0;
        if (v.typeId() == QMetaType::QString)
            if (const auto b = booleanFromText(v.toString()))
                return *b;
        conversionError(v);
    }
    case ftFloat:
    case ftCurrency: {
        bool ok = false;
        const double d =
            (isFloat(v) || isNumber(v) || v.typeId() == QMetaType::QString) ? v.toDouble(&ok) : 0.0;
        if (!ok)
            conversionError(v);
        return d;
    }
    case ftDate: {
        QDate d;
        if (v.typeId() == QMetaType::QDate)
            d = v.toDate();
        else if (v.typeId() == QMetaType::QDateTime)
            d = v.toDateTime().date();
        else if (v.typeId() == QMetaType::QString)
            d = dateTimeFromText(v.toString()).date();
        if (!dayNumberOf(d))
            conversionError(v);
        return d;
    }
    case ftTime: {
        QTime t;
        if (v.typeId() == QMetaType::QTime)
            t = v.toTime();
        else if (v.typeId() == QMetaType::QDateTime)
            t = v.toDateTime().time();
        else if (v.typeId() == QMetaType::QString)
            t = QTime::fromString(v.toString().trimmed(), Qt::ISODateWithMs);
        if (!t.isValid())
            conversionError(v);
        return t;
    }
    case ftDateTime: {
        QDateTime dt;
        if (v.typeId() == QMetaType::QDateTime)
            dt = v.toDateTime();
        else if (v.typeId() == QMetaType::QDate)
            dt = QDateTime(v.toDate(), QTime(0, 0));
        else if (v.typeId() == QMetaType::QString)
            dt = dateTimeFromText(v.toString());
        if (!dt.isValid() || !dayNumberOf(dt.date()))
            conversionError(v);
        return QDateTime(dt.date(), dt.time(), QTimeZone::utc());
    }
    default:
        conversionError(v);
    }
}

void TField::SetValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull()) {
        Clear();
        return;
    }
    m_dataSet.editableRecord(); // fails before any conversion when not editing
    const QVariant c = convertForType(v);
    QByteArray b(dataLength(), '\0');
    auto *p = reinterpret_cast<uchar *>(b.data());
    switch (m_type) {
    case ftString: {
        std::string bytes = cp1252::fromUtf8(c.toString().toStdString());
        bytes.resize(std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(std::max(m_size, 0))));
        // Cut at an embedded zero too: the value ends at the first zero byte.
        bytes.resize(std::strlen(bytes.c_str()));
        std::memcpy(b.data(), bytes.data(), bytes.size());
        break;
    }
    case ftSmallint:
        qToLittleEndian<qint16>(static_cast<qint16>(c.toInt()), p);
        break;
    case ftInteger:
        qToLittleEndian<qint32>(c.toInt(), p);
        break;
    case ftWord:
        qToLittleEndian<quint16>(static_cast<quint16>(c.toInt()), p);
        break;
    case ftBoolean:
        qToLittleEndian<quint16>(c.toBool() ? 1 : 0, p);
        break;
    case ftFloat:
    case ftCurrency:
        qToLittleEndian<quint64>(std::bit_cast<quint64>(c.toDouble()), p);
        break;
    case ftDate:
        qToLittleEndian<qint32>(*dayNumberOf(c.toDate()), p);
        break;
    case ftTime:
        qToLittleEndian<qint32>(c.toTime().msecsSinceStartOfDay(), p);
        break;
    case ftDateTime: {
        const QDateTime dt = c.toDateTime();
        const double msecs =
            static_cast<double>(*dayNumberOf(dt.date())) * static_cast<double>(kMSecsPerDay) +
            dt.time().msecsSinceStartOfDay();
        qToLittleEndian<quint64>(std::bit_cast<quint64>(msecs), p);
        break;
    }
    default:
        break;
    }
    writeBytes(b);
}

QString TField::AsString() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return {};
    switch (m_type) {
    case ftBoolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ftFloat:
    case ftCurrency:
        return QString::number(v.toDouble(), 'g', 15);
    case ftDate:
        return v.toDate().toString(Qt::ISODate);
    case ftTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case ftDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return v.toString();
    }
}

void TField::SetAsString(const QString &text)
{
    SetValue(text);
}

std::int32_t TField::AsInteger() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return 0;
    if (isFloat(v)) {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d < -2147483648.5 || d >= 2147483647.5)
            conversionError(v);
        return static_cast<std::int32_t>(std::llround(d));
    }
    bool ok = false;
    const qint64 x = (isNumber(v) || v.typeId() == QMetaType::QString) ? v.toLongLong(&ok) : 0;
    if (!ok || x < std::numeric_limits<std::int32_t>::min() || x > std::numeric_limits<std::int32_t>::max())
        conversionError(v);
    return static_cast<std::int32_t>(x);
}

void TField::SetAsInteger(std::int32_t v)
{
    SetValue(int(v));
}

double TField::AsFloat() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return 0.0;
    bool ok = false;
    const double d = (isFloat(v) || isNumber(v) || v.typeId() == QMetaType::QString) ? v.toDouble(&ok) : 0.0;
    if (!ok)
        conversionError(v);
    return d;
}

void TField::SetAsFloat(double v)
{
    SetValue(v);
}

bool TField::AsBoolean() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return false;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (isNumber(v))
        return v.toLongLong() != 0;
    if (v.typeId() == QMetaType::QString)
        if (const auto b = booleanFromText(v.toString()))
            return *b;
    conversionError(v);
}

void TField::SetAsBoolean(bool v)
{
    SetValue(v);
}

QDateTime TField::AsDateTime() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return {};
    switch (v.typeId()) {
    case QMetaType::QDate:
        return QDateTime(v.toDate(), QTime(0, 0), QTimeZone::utc());
    case QMetaType::QTime:
        return QDateTime(QDate(1, 1, 1), v.toTime(), QTimeZone::utc());
    case QMetaType::QDateTime:
        return v.toDateTime();
    case QMetaType::QString: {
        const QString text = v.toString();
        if (text.isEmpty())
            return {};
        QDateTime dt = dateTimeFromText(text);
        if (!dt.isValid())
            conversionError(v);
        return dt;
    }
    default:
        conversionError(v);
    }
}

void TField::SetAsDateTime(const QDateTime &v)
{
    SetValue(v);
}

bool TField::IsNull() const
{
    if (m_fieldNo < 1 || m_kind != fkData || !m_dataSet.activeRecord())
        return true;
    if (m_type != ftBoolean)
        Dialogs::information(QStringLiteral("very bad error in get field data"));
    return false;
}

void TField::Clear()
{
    unsigned char *record = m_dataSet.editableRecord();
    if (m_fieldNo >= 1 && m_kind == fkData) {
        if (m_type == ftBoolean) {
            const auto n = static_cast<std::size_t>(std::min(2, m_slotSize));
            std::memset(record + m_slotOffset, 0, n);
        } else {
            Dialogs::information(QStringLiteral("very bad error in setfield data"));
        }
    }
    m_dataSet.fieldChanged(*this);
}
