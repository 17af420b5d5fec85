#include "sitedb/DailyCopy.h"

#include "base/Names.h"
#include "sitedb/SiteDatabase.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

QString DailyCopyPath(const QString& programFolder, QDate day)
{
    return programFolder + QLatin1Char('/') + WorkingFolderName + u"/Quorvex_"_s + day.toString(u"yyyy_MM_dd"_s) +
           u".mdb"_s;
}

bool MakeDailyCopy(const QString& programFolder, QDate day, QString& error)
{
    const QString target = DailyCopyPath(programFolder, day);
    if (QFileInfo::exists(target))
        return true;
    SiteDatabase database(DatabasePath(programFolder));
    if (database.CopyTo(target))
        return true;
    error = database.LastError();
    return false;
}
