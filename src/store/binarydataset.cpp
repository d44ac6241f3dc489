// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/binarydataset.h"

#include "common/cp1252.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "store/random.h"

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {
const QString kNotFound = QStringLiteral("Abrir: Arquivo não encontrado");
const QString kNotBinary = QStringLiteral("Não é um arquivo do tipo binário.");
const QString kBadVersion = QStringLiteral("Versão do arquivo de dados inválida.");
const QString kSizeMismatch = QStringLiteral("Internal open: File record size mismatch.");
const QString kBadFieldCount = QStringLiteral("Invalid number of fields.");
const QString kNoStream = QStringLiteral("fStream=Nil");
const QString kUnsupported = QStringLiteral("InitFieldsDefs: Unsupported field type");
const QString kInvalidRecord = QStringLiteral("GetRecord: Invalid record");
const QString kOpenDataSet = QStringLiteral("Não posso executar esta operação num 'dataset' aberto");
const QString kClosedDataSet = QStringLiteral("Não posso executar esta operação num 'dataset' fechado");
const QString kEmptyDataSet = QStringLiteral("Não posso executar esta operação num 'dataset' vazio");
const QString kNotEditing = QStringLiteral("Dataset não está em modo de edição ou inserção");
const QString kReadError = QStringLiteral("Erro de leitura a 'stream'");
const QString kWriteError = QStringLiteral("Erro de escrita a 'stream'");

// The largest slot any field type takes: a string of 65 535 characters.
constexpr std::int64_t kMaxSlotSize = 0xFFFF + 4;

std::int32_t get32(const unsigned char *p)
{
    return qFromLittleEndian<qint32>(p);
}
void put32(unsigned char *p, std::int32_t v)
{
    qToLittleEndian<qint32>(v, p);
}
} // namespace

std::array<unsigned char, TBinaryDataSet::HeaderSize> TBinaryDataSet::encodeHeader(const Header &h)
{
    std::array<unsigned char, HeaderSize> raw{};
    const std::int32_t values[] = {h.Magic,    h.Version,      h.RecordSize,   h.RecordCount, h.FieldCount,
                                   h.Reserved, h.FirstDeleted, h.DeletedCount, h.StartData};
    for (std::size_t k = 0; k < std::size(values); ++k)
        put32(raw.data() + 4 * k, values[k]);
    return raw;
}

TBinaryDataSet::TBinaryDataSet() = default;

TBinaryDataSet::~TBinaryDataSet()
{
    try {
        Close();
    } catch (...) {
        releaseCursor();
    }
}

bool TBinaryDataSet::FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

void TBinaryDataSet::SetTableName(const QString &name)
{
    if (name == m_tableName)
        return;
    checkInactive();
    m_tableName = name;
}

void TBinaryDataSet::SetReadOnly(bool readOnly)
{
    if (readOnly == m_readOnly)
        return;
    checkInactive();
    m_readOnly = readOnly;
}

void TBinaryDataSet::SetActive(bool active)
{
    if (active)
        Open();
    else
        Close();
}

// ---- fields ------------------------------------------------------------------------------------

void TBinaryDataSet::AddFieldDef(const QString &name, TFieldType type, int size, bool required, int precision)
{
    checkInactive();
    TFieldDef def;
    def.Name = name;
    def.DataType = type;
    def.Size = size;
    def.Required = required;
    def.Precision = precision;
    def.FieldNo = static_cast<int>(m_fieldDefs.size()) + 1;
    m_fieldDefs.append(def);
}

void TBinaryDataSet::ClearFieldDefs()
{
    checkInactive();
    m_fieldDefs.clear();
}

TField &TBinaryDataSet::AddField(const QString &name, TFieldType type, int size, TFieldKind kind)
{
    checkInactive();
    m_declared.push_back(std::make_unique<TField>(*this, name, type, size, kind));
    return *m_declared.back();
}

int TBinaryDataSet::FieldCount() const
{
    return static_cast<int>(m_declared.empty() ? m_made.size() : m_declared.size());
}

TField &TBinaryDataSet::Fields(int index) const
{
    const auto &list = m_declared.empty() ? m_made : m_declared;
    return *list.at(static_cast<std::size_t>(index));
}

TField *TBinaryDataSet::FindField(const QString &name) const
{
    const auto &list = m_declared.empty() ? m_made : m_declared;
    for (const auto &f : list)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TField &TBinaryDataSet::FieldByName(const QString &name) const
{
    if (TField *f = FindField(name))
        return *f;
    const QString text = QStringLiteral("Campo '%1' não encontrado").arg(name);
    throw EDatabaseError(m_name.isEmpty() ? text : m_name + QStringLiteral(": ") + text);
}

const unsigned char *TBinaryDataSet::activeRecord() const
{
    return (m_state == dsInactive || m_buffer.empty()) ? nullptr : m_buffer.data();
}

unsigned char *TBinaryDataSet::editableRecord()
{
    checkActive();
    if (m_state != dsEdit && m_state != dsInsert)
        throw EDatabaseError(kNotEditing);
    return m_buffer.data();
}

void TBinaryDataSet::fieldChanged(TField &field)
{
    if (field.FieldKind() == fkData)
        m_modified = true;
    if (field.OnChange)
        field.OnChange(field);
}

// ---- state checks and hooks --------------------------------------------------------------------

void TBinaryDataSet::checkActive() const
{
    if (m_state == dsInactive)
        throw EDatabaseError(kClosedDataSet);
}

void TBinaryDataSet::checkInactive() const
{
    if (m_state != dsInactive)
        throw EDatabaseError(kOpenDataSet);
}

void TBinaryDataSet::checkBrowseMode()
{
    checkActive();
    if (m_state == dsEdit || m_state == dsInsert) {
        if (m_modified)
            Post();
        else
            Cancel();
    }
}

void TBinaryDataSet::notify(const TDataSetNotifyEvent &event, TBinaryDataSet &self)
{
    if (event)
        event(self);
}

bool TBinaryDataSet::withErrorEvent(const TDataSetErrorEvent &event, const std::function<void()> &operation)
{
    for (;;) {
        try {
            operation();
            return true;
        } catch (const Exception &e) {
            if (!event)
                throw;
            TDataAction action = daFail;
            event(*this, e, action);
            if (action == daFail)
                throw;
            if (action == daAbort)
                return false;
        }
    }
}

void TBinaryDataSet::calcFields()
{
    if (!OnCalcFields)
        return;
    if (std::any_of(m_declared.begin(), m_declared.end(),
                    [](const auto &f) { return f->FieldKind() != fkData; }))
        OnCalcFields(*this);
}

// ---- file access -------------------------------------------------------------------------------

void TBinaryDataSet::writeHeader(const Header &header)
{
    if (!m_file.isOpen())
        throw EAssertionFailed(kNoStream);
    const auto raw = encodeHeader(header);
    if (!m_file.writeAt(0, raw.data(), raw.size()))
        throw EStreamError(kWriteError);
}

std::int64_t TBinaryDataSet::totalRecords() const
{
    return static_cast<std::int64_t>(m_recordCount) + m_header.DeletedCount;
}

TBinaryDataSet::Buffer TBinaryDataSet::newBuffer() const
{
    return Buffer(static_cast<std::size_t>(m_recordSize) + 8, 0);
}

void TBinaryDataSet::readRecord(std::int64_t index, Buffer &buffer) const
{
    const std::int64_t offset = m_header.StartData + index * m_recordSize;
    if (index < 0 || !m_file.readAt(offset, buffer.data(), static_cast<std::size_t>(m_recordSize)))
        throw EStreamError(kReadError);
}

void TBinaryDataSet::writeRecord(std::int64_t index, const Buffer &buffer)
{
    const std::int64_t offset = m_header.StartData + index * m_recordSize;
    if (index < 0 || !m_file.writeAt(offset, buffer.data(), static_cast<std::size_t>(m_recordSize)))
        throw EStreamError(kWriteError);
}

// ---- create, open, close -----------------------------------------------------------------------

void TBinaryDataSet::CreateTable()
{
    checkInactive();
    if (FileExists(m_tableName) && !Dialogs::question(QStringLiteral("File ") + m_tableName +
                                                      QStringLiteral(" already exists. OK to override?")))
        return;
    if (m_fieldDefs.isEmpty())
        for (const auto &f : m_declared)
            if (f->FieldKind() == fkData)
                AddFieldDef(f->FieldName(), f->DataType(), f->Size(), f->Required());

    LockedFile file; // closed on every way out
    if (!file.open(m_tableName, LockedFile::Create))
        throw EFCreateError(QStringLiteral("Não posso criar o arquivo ") + m_tableName);

    Header h;
    h.Magic = Magic;
    h.Version = Version;
    h.RecordSize = 0;
    h.RecordCount = 0;
    h.FieldCount = static_cast<std::int32_t>(m_fieldDefs.size());
    h.Reserved = -1;
    h.FirstDeleted = -1;
    h.DeletedCount = 0;
    h.StartData = -1;
    auto writeHeaderTo = [&file](const Header &header) {
        const auto raw = encodeHeader(header);
        if (!file.writeAt(0, raw.data(), raw.size()))
            throw EStreamError(kWriteError);
    };
    writeHeaderTo(h);

    std::int64_t recordSize = RecordPrefixSize;
    std::int64_t offset = HeaderSize;
    for (const TFieldDef &def : m_fieldDefs) {
        const int slot = SlotSizeOf(def.DataType, def.Size);
        if (slot < 0 || recordSize + slot > std::numeric_limits<std::int32_t>::max())
            throw EBinaryDataSetError(kUnsupported);
        std::array<unsigned char, DescriptorSize> d{};
        std::string name = cp1252::fromUtf8(def.Name.toStdString());
        name.resize(std::min<std::size_t>(name.size(), MaxNameLength)); // byte 27 stays the terminator
        std::memcpy(d.data(), name.data(), name.size());
        d[28] = static_cast<unsigned char>(def.DataType);
        put32(d.data() + 29, slot);
        put32(d.data() + 33, def.Size);
        put32(d.data() + 37, def.Precision);
        if (!file.writeAt(offset, d.data(), d.size()))
            throw EStreamError(kWriteError);
        offset += DescriptorSize;
        recordSize += slot;
    }
    h.StartData = static_cast<std::int32_t>(offset);
    h.RecordSize = static_cast<std::int32_t>(recordSize);
    writeHeaderTo(h);
}

void TBinaryDataSet::Open()
{
    if (Active())
        return;
    notify(BeforeOpen, *this);
    try {
        internalOpen();
        m_state = dsBrowse;
        m_position = -1;
        m_buffer.clear();
        m_eof = !fetchInto(GetMode::Next);
        m_bof = true;
    } catch (...) {
        releaseCursor();
        throw;
    }
    notify(AfterOpen, *this);
}

void TBinaryDataSet::internalOpen()
{
    if (!FileExists(m_tableName))
        throw EBinaryDataSetError(kNotFound);
    if (!m_file.open(m_tableName, m_readOnly ? LockedFile::Read : LockedFile::ReadWrite))
        throw EFOpenError(QStringLiteral("Não posso abrir o arquivo ") + m_tableName);

    std::array<unsigned char, HeaderSize> raw{};
    if (!m_file.readAt(0, raw.data(), raw.size()))
        throw EStreamError(kReadError);
    m_header.Magic = get32(raw.data());
    m_header.Version = get32(raw.data() + 4);
    m_header.RecordSize = get32(raw.data() + 8);
    m_header.RecordCount = get32(raw.data() + 12);
    m_header.FieldCount = get32(raw.data() + 16);
    m_header.Reserved = get32(raw.data() + 20);
    m_header.FirstDeleted = get32(raw.data() + 24);
    m_header.DeletedCount = get32(raw.data() + 28);
    m_header.StartData = get32(raw.data() + 32);
    if (m_header.Magic != Magic)
        throw EBinaryDataSetError(kNotBinary);
    if (m_header.Version != Version)
        throw EBinaryDataSetError(kBadVersion);

    // Descriptors. They are read in one go, and only when the file is long enough to hold them,
    // so a huge FieldCount costs nothing before it fails as the short read it is.
    m_fieldDefs.clear();
    if (m_header.FieldCount <= 0)
        throw EAssertionFailed(kBadFieldCount);
    const std::int64_t length = m_file.size();
    const std::int64_t descriptorBytes = static_cast<std::int64_t>(m_header.FieldCount) * DescriptorSize;
    if (length < HeaderSize + descriptorBytes)
        throw EStreamError(kReadError);
    Buffer descriptors(static_cast<std::size_t>(descriptorBytes));
    if (!m_file.readAt(HeaderSize, descriptors.data(), descriptors.size()))
        throw EStreamError(kReadError);

    // Slot sizes come from the file. Their sum cannot overflow 64 bits (at most 2^31 slots of at
    // most 2^31 bytes); slots that are negative or larger than any type takes make the layout
    // invalid, which the length check below reports.
    std::int64_t recordSize = RecordPrefixSize;
    bool slotsValid = true;
    m_slotOffsets.clear();
    m_slotSizes.clear();
    m_slotOffsets.reserve(static_cast<std::size_t>(m_header.FieldCount));
    m_slotSizes.reserve(static_cast<std::size_t>(m_header.FieldCount));
    for (std::int32_t k = 0; k < m_header.FieldCount; ++k) {
        const unsigned char *d = descriptors.data() + static_cast<std::size_t>(k) * DescriptorSize;
        const auto *nameEnd = static_cast<const unsigned char *>(std::memchr(d, 0, 28));
        const std::size_t nameLength = nameEnd ? static_cast<std::size_t>(nameEnd - d) : 28;
        TFieldDef def;
        def.Name = QString::fromStdString(
            cp1252::toUtf8(std::string_view(reinterpret_cast<const char *>(d), nameLength)));
        def.DataType = static_cast<TFieldType>(d[28]);
        def.Size = qFromLittleEndian<quint16>(d + 33); // only the low 16 bits count
        def.Required = false;
        def.Precision = 0;
        def.FieldNo = k + 1;
        m_fieldDefs.append(def);

        const std::int32_t slot = get32(d + 29);
        if (slot < 0 || slot > kMaxSlotSize)
            slotsValid = false;
        m_slotOffsets.push_back(slotsValid ? static_cast<std::int32_t>(std::min<std::int64_t>(
                                                 recordSize, std::numeric_limits<std::int32_t>::max()))
                                           : 0);
        m_slotSizes.push_back(slotsValid ? slot : 0);
        recordSize += slot;
    }

    bindFields();

    m_recordCount = m_header.RecordCount;
    if (m_recordCount > 0 && m_header.RecordSize != recordSize)
        throw EBinaryDataSetError(kSizeMismatch);

    // The length check, with the layout checks that keep every record inside the file and every
    // figure inside 32 bits: slots as above, counts not negative, StartData right after the
    // descriptors.
    const std::int64_t deleted = m_header.DeletedCount;
    const std::int64_t live = m_recordCount;
    bool valid = slotsValid && recordSize <= std::numeric_limits<std::int32_t>::max() && live >= 0 &&
                 deleted >= 0 && live + deleted <= std::numeric_limits<std::int32_t>::max() &&
                 m_header.StartData == HeaderSize + descriptorBytes;
    if (valid)
        valid = length == (live + deleted) * recordSize + m_header.StartData;
    if (!valid)
        throw EBinaryDataSetError(QStringLiteral("Internal open: Invalid record size.\rStartData   : ") +
                                  QString::number(m_header.StartData) + QStringLiteral("\rfRecordCount: ") +
                                  QString::number(live) + QStringLiteral("\rfRecordSize : ") +
                                  QString::number(recordSize) + QStringLiteral("\rfStream.SIze: ") +
                                  QString::number(length));

    m_recordSize = static_cast<std::int32_t>(recordSize);
    m_position = -1;
}

void TBinaryDataSet::bindFields()
{
    auto bind = [this](TField &field, std::size_t k) {
        field.m_fieldNo = static_cast<int>(k) + 1;
        field.m_slotOffset = m_slotOffsets[k];
        field.m_slotSize = m_slotSizes[k];
    };
    if (m_declared.empty()) {
        m_made.reserve(static_cast<std::size_t>(m_fieldDefs.size()));
        for (qsizetype k = 0; k < m_fieldDefs.size(); ++k) {
            const TFieldDef &def = m_fieldDefs[k];
            m_made.push_back(std::make_unique<TField>(*this, def.Name, def.DataType, def.Size, fkData));
            bind(*m_made.back(), static_cast<std::size_t>(k));
        }
        return;
    }
    for (const auto &field : m_declared) {
        if (field->FieldKind() != fkData)
            continue;
        const auto def = std::find_if(m_fieldDefs.cbegin(), m_fieldDefs.cend(), [&field](const TFieldDef &d) {
            return d.Name.compare(field->FieldName(), Qt::CaseInsensitive) == 0;
        });
        if (def == m_fieldDefs.cend()) {
            const QString text = QStringLiteral("Campo '%1' não encontrado").arg(field->FieldName());
            throw EDatabaseError(m_name.isEmpty() ? text : m_name + QStringLiteral(": ") + text);
        }
        if (def->DataType != field->DataType() || def->Size != field->Size())
            throw EDatabaseError(QStringLiteral("Campo '%1' não é do tipo esperado").arg(field->FieldName()));
        bind(*field, static_cast<std::size_t>(def - m_fieldDefs.cbegin()));
    }
}

void TBinaryDataSet::Close()
{
    if (!Active())
        return;
    notify(BeforeClose, *this);
    m_state = dsBrowse; // a pending edit or insert is dropped
    try {
        if (m_header.RecordCount != m_recordCount || m_header.RecordSize == 0) {
            Header h = m_header;
            h.RecordSize = m_recordSize;
            h.RecordCount = m_recordCount;
            writeHeader(h);
            m_header = h;
        }
    } catch (...) {
        releaseCursor();
        throw;
    }
    releaseCursor();
    notify(AfterClose, *this);
}

void TBinaryDataSet::releaseCursor()
{
    m_file.close();
    for (const auto &field : m_declared) {
        field->m_fieldNo = 0;
        field->m_slotOffset = 0;
        field->m_slotSize = 0;
    }
    m_made.clear();
    m_slotOffsets.clear();
    m_slotSizes.clear();
    m_buffer.clear();
    m_state = dsInactive;
    m_recordCount = 0;
    m_recordSize = 0;
    m_position = -1;
    m_bof = m_eof = true;
    m_modified = false;
}

// ---- fetching ----------------------------------------------------------------------------------

TBinaryDataSet::GetResult TBinaryDataSet::getRecord(Buffer &buffer, GetMode mode, bool check)
{
    if (m_recordCount < 1)
        return GetResult::AfterLast;
    const std::int64_t total = totalRecords();
    for (;;) {
        std::optional<GetResult> answer;
        switch (mode) {
        case GetMode::Current:
            if (m_position < 0 || m_position >= total)
                answer = GetResult::InvalidRecord;
            break;
        case GetMode::Next:
            if (m_position < total - 1)
                ++m_position;
            else
                answer = GetResult::AfterLast;
            break;
        case GetMode::Prior:
            if (m_position > 0)
                --m_position;
            else
                answer = GetResult::BeforeFirst;
            break;
        }
        if (answer) {
            if (*answer == GetResult::InvalidRecord && check)
                throw EBinaryDataSetError(kInvalidRecord);
            return *answer;
        }
        readRecord(m_position, buffer);
        put32(buffer.data() + m_recordSize, static_cast<std::int32_t>(m_position));
        buffer[static_cast<std::size_t>(m_recordSize) + 4] = bfCurrent;
        if (get32(buffer.data()) == 0)
            return GetResult::Ok;
        if (mode == GetMode::Current)
            return GetResult::InvalidRecord;
    }
}

bool TBinaryDataSet::fetchInto(GetMode mode)
{
    Buffer b = newBuffer();
    if (getRecord(b, mode, false) != GetResult::Ok)
        return false;
    m_buffer.swap(b);
    calcFields();
    return true;
}

// Puts the file position back on the current record: a fetch that failed may have moved it.
void TBinaryDataSet::syncPosition()
{
    if (!m_buffer.empty() && m_buffer[static_cast<std::size_t>(m_recordSize) + 4] == bfCurrent)
        m_position = get32(m_buffer.data() + m_recordSize);
}

// Makes the record at the file position current. Exact: that record or an error; otherwise the
// next live record, else the previous one, else none.
void TBinaryDataSet::resync(bool exact)
{
    if (exact) {
        Buffer b = newBuffer();
        if (getRecord(b, GetMode::Current, true) != GetResult::Ok)
            throw EBinaryDataSetError(kInvalidRecord);
        m_buffer.swap(b);
        calcFields();
        m_bof = m_eof = false;
        return;
    }
    if (fetchInto(GetMode::Current) || fetchInto(GetMode::Next) || fetchInto(GetMode::Prior)) {
        m_bof = m_eof = false;
        return;
    }
    m_buffer.clear();
    m_bof = m_eof = true;
}

// ---- navigation --------------------------------------------------------------------------------

void TBinaryDataSet::First()
{
    checkBrowseMode();
    notify(BeforeScroll, *this);
    m_buffer.clear();
    m_position = -1;
    m_eof = !fetchInto(GetMode::Next);
    m_bof = true;
    notify(AfterScroll, *this);
}

void TBinaryDataSet::Last()
{
    checkBrowseMode();
    notify(BeforeScroll, *this);
    m_buffer.clear();
    m_position = totalRecords();
    m_bof = !fetchInto(GetMode::Prior);
    m_eof = true;
    notify(AfterScroll, *this);
}

void TBinaryDataSet::Next()
{
    checkBrowseMode();
    if (m_eof)
        return;
    notify(BeforeScroll, *this);
    syncPosition();
    if (fetchInto(GetMode::Next))
        m_bof = false;
    else
        m_eof = true;
    notify(AfterScroll, *this);
}

void TBinaryDataSet::Prior()
{
    checkBrowseMode();
    if (m_bof)
        return;
    notify(BeforeScroll, *this);
    syncPosition();
    if (fetchInto(GetMode::Prior))
        m_eof = false;
    else
        m_bof = true;
    notify(AfterScroll, *this);
}

bool TBinaryDataSet::IsEmpty() const
{
    return m_state == dsInactive || m_buffer.empty();
}

int TBinaryDataSet::RecordCount() const
{
    checkActive();
    return m_recordCount;
}

int TBinaryDataSet::RecNo() const
{
    checkActive();
    std::int64_t position = m_position;
    if (!m_buffer.empty() && m_buffer[static_cast<std::size_t>(m_recordSize) + 4] == bfCurrent)
        position = get32(m_buffer.data() + m_recordSize);
    return position < 0 ? 1 : static_cast<int>(position + 1);
}

void TBinaryDataSet::SetRecNo(int n)
{
    checkBrowseMode();
    if (n < 1 || n > m_recordCount)
        return;
    notify(BeforeScroll, *this);
    m_position = n - 1;
    resync(false);
    notify(AfterScroll, *this);
}

std::optional<TBinaryDataSet::TBookmark> TBinaryDataSet::GetBookmark() const
{
    if (m_state == dsInactive || m_state == dsInsert || m_buffer.empty() ||
        m_buffer[static_cast<std::size_t>(m_recordSize) + 4] != bfCurrent)
        return std::nullopt;
    return get32(m_buffer.data() + m_recordSize);
}

void TBinaryDataSet::GotoBookmark(TBookmark bookmark)
{
    checkBrowseMode();
    notify(BeforeScroll, *this);
    if (bookmark < 0 || bookmark >= totalRecords())
        throw EBinaryDataSetError(QStringLiteral("Bookmark %1 not found").arg(bookmark));
    m_position = bookmark;
    resync(true);
    notify(AfterScroll, *this);
}

// ---- changes -----------------------------------------------------------------------------------

void TBinaryDataSet::startNewRecord(BookmarkFlag flag)
{
    checkBrowseMode();
    notify(BeforeInsert, *this);
    notify(BeforeScroll, *this);
    syncPosition(); // Cancel comes back to the record that was current
    Buffer b = newBuffer();
    b[static_cast<std::size_t>(m_recordSize) + 4] = flag;
    m_buffer.swap(b);
    m_state = dsInsert;
    notify(OnNewRecord, *this);
    m_modified = false;
    notify(AfterInsert, *this);
    notify(AfterScroll, *this);
}

void TBinaryDataSet::Insert()
{
    startNewRecord(bfInserted);
}

void TBinaryDataSet::Append()
{
    startNewRecord(bfEOF);
}

void TBinaryDataSet::Edit()
{
    checkActive();
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    if (m_buffer.empty()) {
        Insert();
        return;
    }
    notify(BeforeEdit, *this);
    if (!withErrorEvent(OnEditError, [] {}))
        return;
    m_state = dsEdit;
    m_modified = false;
    notify(AfterEdit, *this);
}

void TBinaryDataSet::Post()
{
    checkActive();
    if (m_state != dsEdit && m_state != dsInsert)
        throw EDatabaseError(kNotEditing);
    notify(BeforePost, *this);
    const bool posted = withErrorEvent(OnPostError, [this] {
        if (m_state == dsEdit) {
            const std::int64_t index = get32(m_buffer.data() + m_recordSize);
            writeRecord(index, m_buffer);
            m_position = index;
        } else {
            const std::int64_t total = totalRecords();
            if (total >= std::numeric_limits<std::int32_t>::max())
                throw EStreamError(kWriteError);
            writeRecord(total, m_buffer);
            m_position = total;
            ++m_recordCount;
        }
    });
    if (!posted)
        return;
    m_state = dsBrowse;
    m_modified = false;
    resync(false);
    notify(AfterPost, *this);
}

void TBinaryDataSet::Cancel()
{
    checkActive();
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    notify(BeforeCancel, *this);
    syncPosition();
    m_state = dsBrowse;
    m_modified = false;
    resync(false);
    notify(AfterCancel, *this);
}

void TBinaryDataSet::Delete()
{
    checkActive();
    if (m_state == dsInsert) {
        Cancel();
        return;
    }
    if (m_buffer.empty())
        throw EDatabaseError(kEmptyDataSet);
    notify(BeforeDelete, *this);
    notify(BeforeScroll, *this);
    const bool deleted = withErrorEvent(OnDeleteError, [this] {
        syncPosition();
        Buffer marked = m_buffer;
        put32(marked.data(), m_header.FirstDeleted);
        writeRecord(m_position, marked);
        Header h = m_header;
        h.FirstDeleted = static_cast<std::int32_t>(m_position + 1);
        ++h.DeletedCount;
        h.RecordCount = m_recordCount - 1;
        writeHeader(h);
        m_header = h;
        m_recordCount = h.RecordCount;
    });
    if (!deleted)
        return;
    m_state = dsBrowse;
    m_modified = false;
    resync(false);
    notify(AfterDelete, *this);
    notify(AfterScroll, *this);
}

// ---- shuffle -----------------------------------------------------------------------------------

void TBinaryDataSet::exchangeRecords(std::int64_t a, std::int64_t b)
{
    if (a < 1 || b < 1)
        return;
    Buffer first = newBuffer();
    Buffer second = newBuffer();
    readRecord(a - 1, first);
    readRecord(b - 1, second);
    writeRecord(b - 1, first);
    writeRecord(a - 1, second);
}

void TBinaryDataSet::ShuffleRecords()
{
    First();
    TRandom &random = TRandom::Shared();
    random.Randomize();
    const std::int64_t n = m_recordCount;
    for (std::int64_t i = 0; i <= n; ++i)
        exchangeRecords(i, random.Random(static_cast<std::uint32_t>(n + 1)));
    First();
}
