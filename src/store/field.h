// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Field types, field definitions and the field objects through which a table store's values are
// read and written.

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <functional>

class TBinaryDataSet;

// Type codes as stored in a field descriptor (the ordinals of the field type enumeration).
// The store keeps values of ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat,
// ftCurrency, ftDate, ftTime and ftDateTime; the other codes only name types.
enum TFieldType : std::uint8_t {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor
};

// Data fields have a slot in every record; calculated and lookup fields have none.
enum TFieldKind : std::uint8_t { fkData, fkCalculated, fkLookup };

// Bytes a field of this type takes in every record: size + 4 for a string, the value's width for
// the other supported types; -1 for a type the store does not support (and for a string size
// outside 0 .. 65535, which the descriptor cannot carry).
int SlotSizeOf(TFieldType type, int size);

// One field definition: what a descriptor of the file holds.
struct TFieldDef {
    QString Name;
    TFieldType DataType = ftUnknown;
    int Size = 0; // maximum characters of a string; 0 for the other types
    bool Required = false;
    int Precision = 0;
    int FieldNo = 0; // 1 for the first definition, counting up
};

// A field object: declared on a store (TBinaryDataSet::AddField) or made by the store at open for
// each definition when none is declared. While the store is open and the field is bound to a
// definition it reads and writes that definition's slot of the current record.
//
// Reading: with no current record, or for a field without a slot, the field has no value: Value()
// is null, AsString() empty, the numbers 0, AsBoolean() false, AsDateTime() invalid.
// Writing needs the store in edit or insert mode (EDatabaseError otherwise); text that does not
// convert to the field's type, or a number out of its range, fails with EConvertError. A string
// is cut to the field's size; strings are stored in code page 1252.
// A date is stored as its day number (0001-01-01 is day 1), a time as milliseconds since midnight,
// a date-time as a double: day number × 86 400 000 plus the milliseconds of its time.
class TField {
public:
    TField(TBinaryDataSet &dataSet, const QString &name, TFieldType type, int size, TFieldKind kind);
    TField(const TField &) = delete;
    TField &operator=(const TField &) = delete;

    const QString &FieldName() const { return m_name; }
    TFieldType DataType() const { return m_type; }
    int Size() const { return m_size; }
    TFieldKind FieldKind() const { return m_kind; }
    bool Required() const { return m_required; }
    void SetRequired(bool required) { m_required = required; }
    // The bound definition's number (1-based) while the store is open; 0 otherwise.
    int FieldNo() const { return m_fieldNo; }
    TBinaryDataSet &DataSet() const { return m_dataSet; }

    // The value as QString (ftString), int (ftSmallint, ftInteger, ftWord), bool (ftBoolean),
    // double (ftFloat, ftCurrency), QDate, QTime or QDateTime; null when there is none and for the
    // types the store does not keep.
    QVariant Value() const;
    // Converts v to the field's type and stores it; a null v clears the field.
    void SetValue(const QVariant &v);

    QString AsString() const;
    void SetAsString(const QString &text);
    // The value as an integer; EConvertError when it is not one (a float is rounded).
    std::int32_t AsInteger() const;
    void SetAsInteger(std::int32_t v);
    // The value as a number; EConvertError when it is not one.
    double AsFloat() const;
    void SetAsFloat(double v);
    // The value as a Boolean; EConvertError for text other than True/False.
    bool AsBoolean() const;
    void SetAsBoolean(bool v);
    // The value as a date and time: a date at midnight, a time on 0001-01-01; invalid when there
    // is none. EConvertError for a value that is not a date or time.
    QDateTime AsDateTime() const;
    void SetAsDateTime(const QDateTime &v);

    // True when the field has no value (no current record, or no slot). For a field with a value
    // of a type other than ftBoolean an information box "very bad error in get field data" is
    // shown first.
    bool IsNull() const;
    // Sets the field to no value: an ftBoolean field stores 0; for any other type an information
    // box "very bad error in setfield data" is shown and the slot is left as it was. The views are
    // notified in both cases.
    void Clear();

    // Called after every write of the field's value.
    std::function<void(TField &)> OnChange;

private:
    friend class TBinaryDataSet;

    // Bytes of the value in the record: size + 1 for a string, the value's width otherwise;
    // 0 for the types the store does not keep.
    int dataLength() const;
    // Copies the value's bytes (dataLength(), zero-filled past the slot) into out; false when the
    // field has no value.
    bool readBytes(QByteArray &out) const;
    // Copies bytes (dataLength() of them) into the current record's slot, then notifies.
    void writeBytes(const QByteArray &bytes);
    QVariant convertForType(const QVariant &v) const;
    [[noreturn]] void conversionError(const QVariant &v) const;

    TBinaryDataSet &m_dataSet;
    QString m_name;
    TFieldType m_type;
    int m_size;
    TFieldKind m_kind;
    bool m_required = false;
    // Binding to the open file's definition.
    int m_fieldNo = 0;
    int m_slotOffset = 0;
    int m_slotSize = 0;
};
