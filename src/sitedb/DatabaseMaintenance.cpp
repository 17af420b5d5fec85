// Compaction and recovery of the site database file.

#include "sitedb/DatabaseMaintenance.h"

#include "base/Names.h"
#include "sitedb/SiteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString WorkingFile(const QString& programFolder, const QString& name)
{
    return programFolder + QLatin1Char('/') + WorkingFolderName + QLatin1Char('/') + name;
}

} // namespace

QString CompactionTargetPath(const QString& programFolder)
{
    return WorkingFile(programFolder, u"QuorvexBak.mdb"_s);
}

QString PreExportCopyPath(const QString& programFolder)
{
    return WorkingFile(programFolder, PreExportCopyName);
}

bool CompactDatabase(const QString& programFolder, QString& error)
{
    const QString target = CompactionTargetPath(programFolder);
    QFile stale(target);
    if (QFileInfo(target).exists() && !stale.remove()) {
        error = u"the file %1, left by an earlier compaction, cannot be removed: %2"_s.arg(
            QDir::toNativeSeparators(target), stale.errorString());
        return false;
    }
    const QString databasePath = DatabasePath(programFolder);
    {
        // The connection is closed before the rename, so no handle is left on the old file.
        SiteDatabase database(databasePath, SiteDatabase::OpenMode::Checked);
        if (!database.CopyTo(target)) {
            error = database.LastError();
            return false;
        }
    }
    if (!RenameOver(target, databasePath, error)) {
        QFile::remove(target);
        return false;
    }
    return true;
}

bool HasPreExportCopy(const QString& programFolder)
{
    return QFileInfo(PreExportCopyPath(programFolder)).isFile();
}

bool RecoverPreExportCopy(const QString& programFolder, QString& error)
{
    // Copied through the database engine, so a pre-export copy that is not a whole database is
    // refused before it replaces anything.
    SiteDatabase copy(PreExportCopyPath(programFolder), SiteDatabase::OpenMode::Checked);
    if (copy.CopyTo(DatabasePath(programFolder)))
        return true;
    error = copy.LastError();
    return false;
}
