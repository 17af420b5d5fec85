#include "session/WorkingFolder.h"

#include "base/CheckedFile.h"
#include "base/Names.h"
#include "base/ProgramFolder.h"
#include "base/Sqlite.h"
#include "sitedb/SiteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The template, written under a temporary name and renamed, so a kill never leaves half a copy.
bool CopyTemplate(const QString& source, const QString& workingFolder, QString& reason)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = CannotReadText(source, file.errorString());
        return false;
    }
    const QString copy = workingFolder + QLatin1Char('/') + TemplateFileName;
    QString error;
    if (WriteWholeFile(copy, file.readAll(), error))
        return true;
    reason = CannotWriteText(copy, error);
    return false;
}

bool MakeMasterTable(const QString& path, SiteDatabase::OpenMode mode, QString& reason)
{
    SiteDatabase database(path, mode);
    if (database.IsOpen() && database.CreateMasterTable())
        return true;
    reason = database.LastError();
    return false;
}

// What a kill while the database was made leaves: a file of 0 bytes, or a database without any
// table. Anything else is the user's data, damaged or not, and is never touched here.
bool LacksMasterTable(const QString& path)
{
    if (QFileInfo(path).size() == 0)
        return true;
    SqliteConnection db(path, SqliteConnection::Mode::ReadOnly);
    SqliteStatement tables(db, QStringLiteral("SELECT count(*) FROM sqlite_schema"));
    return tables.Next() && tables.Integer(0) == 0;
}

bool MakeWorkingFolder(const QString& programFolder, const QString& workingFolder, QString& reason)
{
    const QString building = workingFolder + QStringLiteral(".new");
    if (!QDir(building).removeRecursively() || !QDir().mkdir(building)) {
        reason = FolderNotMadeText(building);
        return false;
    }
    if (!MakeMasterTable(building + QLatin1Char('/') + DatabaseFileName, SiteDatabase::OpenMode::Create, reason)) {
        QDir(building).removeRecursively();
        return false;
    }
    // Without the template the folder still goes into place with its database, and the start
    // fails; the next start finds the folder and goes on without the copy.
    const QString source = TemplateSourcePath(programFolder);
    if (source.isEmpty()) {
        reason = QStringLiteral("%1 was not found: it was looked for in %2")
                     .arg(TemplateFileName, TemplateSourceFolders(programFolder).join(QStringLiteral(", ")));
    } else if (!CopyTemplate(source, building, reason)) {
        QDir(building).removeRecursively();
        return false;
    }
    if (!QDir().rename(building, workingFolder)) {
        reason = CannotRenameText(building, workingFolder);
        QDir(building).removeRecursively();
        return false;
    }
    return !source.isEmpty();
}

bool MendWorkingFolder(const QString& programFolder, const QString& workingFolder, QString& reason)
{
    const QString database = workingFolder + QLatin1Char('/') + DatabaseFileName;
    if (!QFileInfo(database).isFile())
        return true;
    if (LacksMasterTable(database) && !MakeMasterTable(database, SiteDatabase::OpenMode::Existing, reason))
        return false;
    const QString source = TemplateSourcePath(programFolder);
    if (QFileInfo::exists(workingFolder + QLatin1Char('/') + TemplateFileName) || source.isEmpty())
        return true;
    return CopyTemplate(source, workingFolder, reason);
}

} // namespace

bool PrepareWorkingFolder(const QString& programFolder, QString& reason)
{
    const QString workingFolder = programFolder + QLatin1Char('/') + WorkingFolderName;
    if (QFileInfo(workingFolder).isDir())
        return MendWorkingFolder(programFolder, workingFolder, reason);
    return MakeWorkingFolder(programFolder, workingFolder, reason);
}
