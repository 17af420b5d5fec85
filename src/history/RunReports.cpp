#include "history/RunReports.h"

#include "base/CheckedFile.h"
#include "base/Names.h"
#include "run/RankReport.h"

#include <QDir>
#include <QFile>

namespace {

// "Report" + yyyyMMdd-HHmmss + ".htm": a copy's day is the eight digits after "Report".
const QString NamePrefix = QStringLiteral("Report");
const QString NameSuffix = QStringLiteral(".htm");
const QString StampFormat = QStringLiteral("yyyyMMdd-HHmmss");

QString ReportFolder(const QString& programFolder)
{
    return programFolder + QLatin1Char('/') + ReportFolderName;
}

} // namespace

QString RunReportFile(const QDateTime& time)
{
    return RunReportsFolderName + QLatin1Char('/') + NamePrefix + time.toString(StampFormat) + NameSuffix;
}

bool KeepRunReport(const QString& programFolder, const QDateTime& time, QString& error)
{
    const QString folder = ReportFolder(programFolder);
    QFile report(folder + QLatin1Char('/') + ReportFileName(time.date()));
    if (!report.open(QIODevice::ReadOnly)) {
        error = report.fileName() + QStringLiteral(": ") + report.errorString();
        return false;
    }
    const QByteArray bytes = report.readAll();
    if (report.error() != QFileDevice::NoError) {
        error = report.fileName() + QStringLiteral(": ") + report.errorString();
        return false;
    }
    if (!QDir(folder).mkpath(RunReportsFolderName)) {
        error = FolderNotMadeText(RunReportsFolderName);
        return false;
    }
    return WriteWholeFile(folder + QLatin1Char('/') + RunReportFile(time), bytes, error);
}

bool RemoveRunReportsBefore(const QString& programFolder, const QDate& day, QString& error)
{
    QDir runs(ReportFolder(programFolder) + QLatin1Char('/') + RunReportsFolderName);
    const qsizetype nameSize = NamePrefix.size() + StampFormat.size() + NameSuffix.size();
    for (const QString& name : runs.entryList({NamePrefix + QLatin1Char('*') + NameSuffix}, QDir::Files)) {
        const QDate made = QDate::fromString(name.mid(NamePrefix.size(), 8), QStringLiteral("yyyyMMdd"));
        if (name.size() != nameSize || !made.isValid() || made >= day)
            continue;
        if (!runs.remove(name)) {
            error = name + QStringLiteral(": the file could not be deleted");
            return false;
        }
    }
    return true;
}
