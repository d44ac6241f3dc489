#include "personalpool.h"

#include "common/errors.h"
#include "store/binarydataset.h"
#include "store/field.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Flushes the file (or folder) at path to disk; false when it cannot be opened or flushed.
bool syncToDisk(const QString &path, bool folder = false)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok || folder; // some file systems refuse to sync a folder; the rename still stands
}

void closeQuietly(TBinaryDataSet &bds)
{
    try {
        if (bds.Active())
            bds.Close();
    } catch (...) {
    }
}

// Makes a new pool file at path holding pool in order.
void create(TBinaryDataSet &bds, TField &numero, const QString &path, const QStringList &pool)
{
    QFile::remove(path);
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
} // namespace

bool PersonalPool::isSound(TBinaryDataSet &bds, TField &numero, const QString &path, const QSet<int> &known)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || info.size() > kMaxFileSize)
        return false;
    closeQuietly(bds);
    try {
        bds.SetTableName(path);
        bds.SetReadOnly(true);
        bds.Open();
        QSet<int> seen;
        bool sound = bds.RecordCount() > 0;
        for (bds.First(); sound && !bds.Eof(); bds.Next()) {
            bool ok = false;
            const int n = numero.AsString().trimmed().toInt(&ok);
            sound = ok && known.contains(n) && !seen.contains(n);
            seen.insert(n);
        }
        bds.Close();
        bds.SetReadOnly(false);
        return sound;
    } catch (...) {
        closeQuietly(bds);
        bds.SetReadOnly(false);
        return false;
    }
}

QStringList PersonalPool::draw(TBinaryDataSet &bds, TField &numero, const QString &path,
                               const QStringList &pool, const QSet<int> &known, int count)
{
    closeQuietly(bds);
    const QString work = path + QStringLiteral(".novo");
    QStringList drawn;
    try {
        // The work copy: the pool as it stands, or a new one from the whole default pool.
        QFile::remove(work);
        if (isSound(bds, numero, path, known)) {
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
        if (!syncToDisk(work) ||
            std::rename(QFile::encodeName(work).constData(), QFile::encodeName(path).constData()) != 0)
            throw EFCreateError(QStringLiteral("Não posso criar o arquivo ") + path);
        syncToDisk(QFileInfo(path).absolutePath(), true);
        bds.SetTableName(path);
    } catch (...) {
        closeQuietly(bds);
        QFile::remove(work);
        bds.SetTableName(path);
        throw;
    }
    return drawn;
}
