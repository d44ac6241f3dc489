// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TBinaryDataSet: a small table store over one file of fixed-size records with typed fields,
// used as a cursor. Only the file header is kept in memory; each record is read or written when
// the cursor needs it.
//
// File layout (integers little-endian, 32-bit ones signed), three parts back to back:
// - header, 36 bytes: Magic "BDS" 0x1A, Version 13, RecordSize, RecordCount (live records),
//   FieldCount, Reserved (-1), FirstDeleted (1-based number of the record deleted last, -1 when
//   none), DeletedCount, StartData (36 + 41 × FieldCount);
// - FieldCount descriptors of 41 bytes: Name (27 characters at most, zero-terminated, zero-padded
//   to 28), DataType (1 byte), SlotSize, Size, Precision;
// - RecordCount + DeletedCount records of RecordSize bytes: DeletedLink (0 for a live record; for
//   a deleted one the FirstDeleted it replaced), then one slot per field in descriptor order.
// The file is valid only when its length is exactly StartData + (RecordCount + DeletedCount) ×
// RecordSize. RecordCount reaches the header only at close and at each delete.
//
// Failures are exceptions (common/errors.h): EBinaryDataSetError for the store's own checks,
// EDatabaseError for cursor misuse, EAssertionFailed for the two internal assertions,
// EFCreateError when the file cannot be created, EFOpenError when it cannot be opened, EStreamError
// for a short read or a failed write. A failed open leaves the store closed and the file as it was.
//
// Typical use:
//   TBinaryDataSet BDS;
//   TField &BDSNumero = BDS.AddField("Numero", ftString, 5);
//   BDS.SetTableName(ProgramFolder::writableFile("numprova.dat"));
//   if (!TBinaryDataSet::FileExists(BDS.TableName())) { BDS.CreateTable(); ... }
//   BDS.Open(); BDS.ShuffleRecords(); BDS.First();
//   for (...) { list << BDSNumero.AsString(); BDS.Next(); }
//   BDS.Close();

#include "store/field.h"
#include "store/lockedfile.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Exception;

enum TDataSetState : std::uint8_t { dsInactive, dsBrowse, dsEdit, dsInsert };
// What an error hook asks for: raise the error, abandon the operation silently, or try it again.
enum TDataAction : std::uint8_t { daFail, daAbort, daRetry };

class TBinaryDataSet;
using TDataSetNotifyEvent = std::function<void(TBinaryDataSet &)>;
using TDataSetErrorEvent = std::function<void(TBinaryDataSet &, const Exception &, TDataAction &)>;
using TFilterRecordEvent = std::function<void(TBinaryDataSet &, bool &accept)>;

class TBinaryDataSet {
public:
    // A record's bookmark: its 0-based physical index in the file.
    using TBookmark = std::int32_t;

    static constexpr std::int32_t Magic = 0x1A534442; // "BDS" 0x1A read little-endian
    static constexpr std::int32_t Version = 13;
    static constexpr int HeaderSize = 36;
    static constexpr int DescriptorSize = 41;
    static constexpr int MaxNameLength = 27;
    static constexpr int RecordPrefixSize = 4;

    TBinaryDataSet();
    // Closes the store if open; errors of that close are dropped.
    ~TBinaryDataSet();
    TBinaryDataSet(const TBinaryDataSet &) = delete;
    TBinaryDataSet &operator=(const TBinaryDataSet &) = delete;

    // True when path names an existing file (not a folder).
    static bool FileExists(const QString &path);

    // The store's name, used in field-binding messages ("BDS: Campo 'X' não encontrado").
    const QString &Name() const { return m_name; }
    void SetName(const QString &name) { m_name = name; }
    // Path of the file; a relative one is taken from the current directory. Closed stores only.
    const QString &TableName() const { return m_tableName; }
    void SetTableName(const QString &name);
    // Open the file for reading only, shared with other readers. Closed stores only.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    // True while the file is open; setting it opens or closes.
    bool Active() const { return m_state != dsInactive; }
    void SetActive(bool active);
    // Kept for the cursor's users; fetching never consults OnFilterRecord, so it changes nothing.
    bool Filtered() const { return m_filtered; }
    void SetFiltered(bool filtered) { m_filtered = filtered; }
    TDataSetState State() const { return m_state; }

    // Field definitions: those read from the file while open; before CreateTable, those to write
    // (when empty, CreateTable takes them from the declared data fields).
    const QList<TFieldDef> &FieldDefs() const { return m_fieldDefs; }
    void AddFieldDef(const QString &name, TFieldType type, int size = 0, bool required = false,
                     int precision = 0);
    void ClearFieldDefs();

    // Declares a field object, bound to the definition of the same name at open. The store owns
    // it; the reference stays valid for the store's life. Closed stores only.
    TField &AddField(const QString &name, TFieldType type, int size = 0, TFieldKind kind = fkData);
    // The fields in use: the declared ones, or while open without declared fields, one per
    // definition (those go away at close).
    int FieldCount() const;
    TField &Fields(int index) const;
    // The field of that name (case-insensitive), or nullptr.
    TField *FindField(const QString &name) const;
    // The field of that name; EDatabaseError "<store>: Campo '<name>' não encontrado" when missing.
    TField &FieldByName(const QString &name) const;

    // Creates (or, when the user confirms the overwrite question, replaces) the file with the
    // current field definitions and no records; the store stays closed. Fails when open
    // (EDatabaseError), when the file cannot be created (EFCreateError), on a type without a slot
    // (EBinaryDataSetError "InitFieldsDefs: Unsupported field type") or a failed write.
    void CreateTable();

    // Opens the file, reads header and descriptors, binds the fields and makes the first live
    // record current. Nothing happens when already open. Besides a wrong length, a layout no
    // store writes (a slot negative or larger than any type takes, a negative count, StartData
    // not right after the descriptors) fails with "Internal open: Invalid record size." and its
    // figures. On failure the store stays closed, the file released and unchanged.
    void Open();
    // Writes the header back if needed and closes the file; pending edits are dropped. Nothing
    // happens when closed. The file is released even when the header write fails.
    void Close();

    // Cursor movement; each first posts (when modified) or cancels a pending edit or insert.
    void First();
    void Last();
    void Next();
    void Prior();
    // True after a move past the last / before the first record (both when there is none).
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    // True when there is no current record (always when closed; never while inserting).
    bool IsEmpty() const;

    // The live record count.
    int RecordCount() const;
    // The current record's physical number (position + 1); 1 before the first record.
    int RecNo() const;
    // Makes physical record n current when 1 <= n <= RecordCount(); any other n does nothing.
    // A deleted record n gives way to the next live one (or the previous).
    void SetRecNo(int n);

    // Starts a new record (all bytes zero); Post writes it at the end of the file.
    void Insert();
    void Append();
    // Starts editing the current record (inserts when the store is empty).
    void Edit();
    // Writes the record being edited in place, or the new one at the end of the file.
    void Post();
    // Drops the pending edit or insert.
    void Cancel();
    // Marks the current record deleted (it stays in the file); the next live record becomes current.
    void Delete();

    // The current record's bookmark, or none when there is no current record.
    std::optional<TBookmark> GetBookmark() const;
    // Makes the record at that bookmark current: EBinaryDataSetError "Bookmark n not found" when
    // outside the file, "GetRecord: Invalid record" when the record is deleted.
    void GotoBookmark(TBookmark bookmark);

    // Reorders the live part of the file at random: after moving to the first record and setting
    // the shared generator from the clock, for i = 0 .. N (N = RecordCount()) exchanges physical
    // records i and j (1-based), j drawn in 0 .. N; number 0 exchanges nothing. Ends on the first
    // record.
    void ShuffleRecords();

    // Notification hooks; none is required.
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeInsert, AfterInsert, BeforeEdit,
        AfterEdit, BeforePost, AfterPost, BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll,
        AfterScroll, OnCalcFields, OnNewRecord;
    TDataSetErrorEvent OnDeleteError, OnEditError, OnPostError;
    TFilterRecordEvent OnFilterRecord;

private:
    friend class TField;

    struct Header {
        std::int32_t Magic = 0;
        std::int32_t Version = 0;
        std::int32_t RecordSize = 0;
        std::int32_t RecordCount = 0;
        std::int32_t FieldCount = 0;
        std::int32_t Reserved = -1;
        std::int32_t FirstDeleted = -1;
        std::int32_t DeletedCount = 0;
        std::int32_t StartData = -1;
    };
    enum class GetMode { Current, Next, Prior };
    enum class GetResult { Ok, BeforeFirst, AfterLast, InvalidRecord };
    enum BookmarkFlag : std::uint8_t { bfCurrent, bfBOF, bfEOF, bfInserted };
    using Buffer = std::vector<unsigned char>;

    void checkActive() const;
    void checkInactive() const;
    void checkBrowseMode();
    void internalOpen();
    void bindFields();
    void releaseCursor();
    // Writes header at offset 0: EAssertionFailed "fStream=Nil" with no open file, EStreamError on
    // a failed write.
    void writeHeader(const Header &header);
    static std::array<unsigned char, HeaderSize> encodeHeader(const Header &header);
    void readRecord(std::int64_t index, Buffer &buffer) const;
    void writeRecord(std::int64_t index, const Buffer &buffer);
    Buffer newBuffer() const;
    std::int64_t totalRecords() const;
    GetResult getRecord(Buffer &buffer, GetMode mode, bool check);
    void syncPosition();
    void resync(bool exact);
    bool fetchInto(GetMode mode);
    void calcFields();
    void startNewRecord(BookmarkFlag flag);
    void exchangeRecords(std::int64_t a, std::int64_t b);
    bool withErrorEvent(const TDataSetErrorEvent &event, const std::function<void()> &operation);
    static void notify(const TDataSetNotifyEvent &event, TBinaryDataSet &self);

    // Field access for TField: the current record (nullptr when none) and the same for writing
    // (EDatabaseError unless editing or inserting).
    const unsigned char *activeRecord() const;
    unsigned char *editableRecord();
    void fieldChanged(TField &field);

    QString m_name;
    QString m_tableName;
    bool m_readOnly = false;
    bool m_filtered = false;
    TDataSetState m_state = dsInactive;

    QList<TFieldDef> m_fieldDefs;
    std::vector<std::unique_ptr<TField>> m_declared;
    std::vector<std::unique_ptr<TField>> m_made; // one per definition, while open without declared fields

    // Open state.
    LockedFile m_file;
    Header m_header;
    std::int32_t m_recordCount = 0; // live records
    std::int32_t m_recordSize = 0;  // 4 + the descriptors' slot sizes
    std::int64_t m_position = -1;   // 0-based physical index; -1 before the first record
    std::vector<std::int32_t> m_slotOffsets;
    std::vector<std::int32_t> m_slotSizes;
    Buffer m_buffer; // the current record plus bookmark and flag; empty when none
    bool m_bof = true;
    bool m_eof = true;
    bool m_modified = false;
};
