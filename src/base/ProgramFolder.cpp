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

QString TemplateSourcePath(const QString& programFolder)
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString candidates[] = {
        programFolder + QLatin1Char('/') + TemplateFileName,
        executableFolder + QLatin1Char('/') + TemplateFileName,
        executableFolder + QStringLiteral("/../share/quorvex/") + TemplateFileName,
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}
