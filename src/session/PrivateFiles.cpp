#include "session/PrivateFiles.h"

#include "base/Names.h"
#include "history/HistoryStore.h"
#include "sitedb/DatabaseMaintenance.h"
#include "sitedb/SiteDatabase.h"
#include "sources/RankList.h"

#include <QFile>

#ifndef _WIN32
#include <sys/stat.h>
#endif

void MakeNewFilesPrivate()
{
#ifndef _WIN32
    umask(S_IRWXG | S_IRWXO);
#endif
}

void TightenProgramFiles(const QString& programFolder)
{
    constexpr QFileDevice::Permissions Others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;
    QStringList paths{programFolder, programFolder + QLatin1Char('/') + WorkingFolderName};
    for (const QString& database :
         {QString(programFolder + QLatin1Char('/') + SettingsFileName), HistoryStore(programFolder).FilePath(),
          RankListsPath(programFolder), DatabasePath(programFolder), PreExportCopyPath(programFolder)}) {
        // SQLite's journal, write-ahead log and shared memory hold the database's pages too.
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            paths.append(database + QLatin1String(suffix));
    }
    for (const QString& path : std::as_const(paths)) {
        const QFileDevice::Permissions permissions = QFile::permissions(path);
        if (permissions & Others)
            QFile::setPermissions(path, permissions & ~Others);
    }
}
