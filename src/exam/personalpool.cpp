// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "personalpool.h"

#include "common/clock.h"
#include "common/errors.h"
#include "common/platform.h"
#include "common/safefile.h"
#include "store/binarydataset.h"
#include "store/field.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdint>
#include <exception>

namespace {
// Removes the work copies a draw killed midway left beside path (path.novo-…, and path.novo of
// earlier versions); one younger than ten minutes may be another copy's draw in progress.
void removeLeftovers(const QString &path)
{
    const QFileInfo pool(path);
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-600);
    const QFileInfoList found = QDir(pool.absolutePath())
                                    .entryInfoList({pool.fileName() + QStringLiteral(".novo"),
                                                    pool.fileName() + QStringLiteral(".novo-*")},
                                                   QDir::Files | QDir::Hidden);
    for (const QFileInfo &file : found)
        if (!file.isSymLink() && file.lastModified().toUTC() < old)
            QFile::remove(file.filePath());
}

void closeQuietly(TBinaryDataSet &bds)
{
    try {
        if (bds.Active())
            bds.Close();
    } catch (...) {
    }
}

// Leaves the store closed, writable and without field definitions. The store takes a file's
// definitions when it opens one (and keeps them when the open fails): cleared, the next pool it
// creates takes them from the declared field, never from the last file it read.
void reset(TBinaryDataSet &bds) noexcept
{
    closeQuietly(bds);
    try {
        bds.SetReadOnly(false);
        bds.ClearFieldDefs();
    } catch (...) {
    }
}

// What the file at the pool's path is to a draw.
enum class Condition : std::uint8_t {
    Absent,        // nothing there, or not a regular file: a new pool takes its place
    Sound,         // used as it is
    Unusable,      // a regular file the exam cannot use whole: set aside, and a new pool made
    ForeignFields, // a store file whose fields are not the pool's: the store's error, file kept
};

struct Inspection {
    Condition condition = Condition::Absent;
    std::exception_ptr error; // the store's error, for ForeignFields
};

Inspection inspect(TBinaryDataSet &bds, TField &numero, const QString &path, const QSet<int> &known) noexcept
{
    Inspection result;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return result;
    result.condition = Condition::Unusable;
    if (info.size() > PersonalPool::kMaxFileSize)
        return result;
    reset(bds);
    try {
        bds.SetTableName(path);
        bds.SetReadOnly(true);
        try {
            bds.Open();
        } catch (const EDatabaseError &) {
            // Opening a file fails with this class only when its fields do not bind to the
            // declared one: the file is the store's, but not a pool ("Campo 'Numero' não
            // encontrado").
            result.condition = Condition::ForeignFields;
            result.error = std::current_exception();
            reset(bds);
            return result;
        }
        QSet<int> seen;
        bool sound = bds.RecordCount() > 0;
        for (bds.First(); sound && !bds.Eof(); bds.Next()) {
            bool ok = false;
            const int n = numero.AsString().trimmed().toInt(&ok);
            sound = ok && known.contains(n) && !seen.contains(n);
            seen.insert(n);
        }
        bds.Close();
        if (sound)
            result.condition = Condition::Sound;
    } catch (...) {
    }
    reset(bds);
    return result;
}

// Makes a new pool file at path holding pool in order.
void create(TBinaryDataSet &bds, TField &numero, const QString &path, const QStringList &pool)
{
    QFile::remove(path);
    reset(bds);
    bds.SetTableName(path);
    bds.CreateTable();
    bds.Open();
    bds.First();
    for (const QString &n : pool) {
        bds.Insert();
        numero.SetAsString(n);
        bds.Post();
        bds.Next();
    }
    bds.Close(); // the header with the record count is written here
}

// Keeps the pool file at path, as it is, under a name of its own beside it
// ("numprova.dat.danificado-<date>", as the study history keeps a file it cannot use), so the
// user's edits are not lost when a new pool replaces it. A hard link, so the file stays at path
// until the new pool is renamed over it; a copy on a file system without links. EFCreateError
// when neither can be made.
void setAside(const QString &path)
{
    const QString stamp = Clock::current().localNow().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = path + QStringLiteral(".danificado-") + stamp;
    for (int n = 1;; ++n) {
        const QString aside = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        if (QFileInfo::exists(aside) || QFileInfo(aside).isSymLink())
            continue;
        const Platform::Link linked = Platform::hardLink(path.toStdU16String(), aside.toStdU16String());
        if (linked == Platform::Link::Made)
            return;
        if (linked == Platform::Link::Exists)
            continue;
        if (QFile::copy(path, aside)) {
            SafeFile::syncToDisk(aside);
            return;
        }
        QFile::remove(aside);
        throw EFCreateError(QStringLiteral("Não posso criar o arquivo ") + aside);
    }
}
} // namespace

bool PersonalPool::isSound(TBinaryDataSet &bds, TField &numero, const QString &path, const QSet<int> &known)
{
    return inspect(bds, numero, path, known).condition == Condition::Sound;
}

QStringList PersonalPool::draw(TBinaryDataSet &bds, TField &numero, const QString &path,
                               const QStringList &pool, const QSet<int> &known, int count)
{
    reset(bds);
    removeLeftovers(path);
    // A name of this draw's own: two copies of the program drawing in one folder never share it.
    const QString work = path + QStringLiteral(".novo-%1-%2")
                                    .arg(QCoreApplication::applicationPid())
                                    .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    QStringList drawn;
    try {
        // The work copy: the pool as it stands, or a new one from the whole default pool.
        const Inspection found = inspect(bds, numero, path, known);
        if (found.condition == Condition::ForeignFields)
            std::rethrow_exception(found.error);
        if (found.condition == Condition::Sound) {
            if (!QFile::copy(path, work))
                throw EFCreateError(QStringLiteral("Não posso criar o arquivo ") + work);
        } else {
            create(bds, numero, work, pool);
        }
        bds.SetTableName(work);
        bds.Open();
        bds.ShuffleRecords();
        bds.First();
        for (int i = 0; i < count; ++i) {
            drawn << numero.AsString();
            bds.Next();
        }
        bds.Close();
        if (!SafeFile::syncToDisk(work))
            throw EFCreateError(QStringLiteral("Não posso criar o arquivo ") + path);
        if (found.condition == Condition::Unusable)
            setAside(path);
        if (!Platform::replaceFile(work.toStdU16String(), path.toStdU16String()))
            throw EFCreateError(QStringLiteral("Não posso criar o arquivo ") + path);
        SafeFile::syncToDisk(QFileInfo(path).absolutePath(), true);
        bds.SetTableName(path);
    } catch (...) {
        reset(bds);
        QFile::remove(work);
        bds.SetTableName(path);
        throw;
    }
    return drawn;
}
