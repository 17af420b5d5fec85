#include "base/ProgramFolder.h"

#include "base/Names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString WithoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

QString ProgramFolder()
{
    const QString home = qEnvironmentVariable("QUORVEX_HOME");
    if (!home.isEmpty())
        return WithoutTrailingSeparator(QDir::cleanPath(QDir(home).absolutePath()));
    const QString executableFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(executableFolder).isWritable())
        return WithoutTrailingSeparator(executableFolder);
    const QString dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/quorvex");
    QDir().mkpath(dataFolder);
    return WithoutTrailingSeparator(dataFolder);
}

QStringList TemplateSourceFolders(const QString& programFolder)
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    return {programFolder, executableFolder, QDir::cleanPath(executableFolder + QStringLiteral("/../share/quorvex"))};
}

QString TemplateSourcePath(const QString& programFolder)
{
    for (const QString& folder : TemplateSourceFolders(programFolder)) {
        const QString candidate = folder + QLatin1Char('/') + TemplateFileName;
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}
