#include "history/HistoryRecorder.h"

#include "base/CheckedFile.h"
#include "base/Clock.h"
#include "base/Names.h"
#include "base/Prompter.h"
#include "history/HistoryPage.h"
#include "history/HistoryStore.h"
#include "history/RunHistory.h"
#include "history/RunReports.h"
#include "model/AppState.h"
#include "run/RankReport.h"
#include "run/RankRun.h"

#include <QDir>
#include <QFileInfo>

HistoryRecorder::HistoryRecorder(AppState& state, RankRun& run, Prompter& prompter, QObject* parent)
    : QObject(parent), state(state), run(run), prompter(prompter)
{
    connect(&run, &RankRun::Finished, this, &HistoryRecorder::RunFinished);
}

void HistoryRecorder::RunFinished(bool reportWritten)
{
    if (!reportWritten)
        return;
    const QDateTime time = run.ReportTime();
    // A run whose copy could not be made links the day's report, as the runs before the copies did.
    QString reportFile = RunReportFile(time);
    QString copyError;
    if (!KeepRunReport(state.ProgramFolder, time, copyError)) {
        prompter.ShowMessage(QStringLiteral("The run's report could not be copied to ") + ReportFolderName +
                                 QLatin1Char('/') + reportFile + QStringLiteral(" (") + copyError + QLatin1Char(')'),
                             MessageIcon::Exclamation, AppTitle);
        reportFile = ReportFileName(time.date());
    }
    const HistoryData values = RunHistory(state.Run, time, reportFile);
    QString statusText = run.Tally().CompletedText();
    HistoryStore store(state.ProgramFolder);
    const bool stored = store.Record(values) != 0;
    if (!stored) {
        prompter.ShowMessage(QStringLiteral("The history could not be written to ") + store.FilePath() +
                                 QStringLiteral(" (") + store.LastError() + QLatin1Char(')'),
                             MessageIcon::Exclamation, AppTitle);
    } else {
        if (!values.Positions.isEmpty())
            statusText += QStringLiteral("; ") + ChangesText(store.Changes());
        QString error;
        if (!WriteHistoryPage(state.ProgramFolder, error))
            prompter.ShowMessage(QStringLiteral("The history page could not be written to ") +
                                     HistoryPagePath(state.ProgramFolder) + QStringLiteral(" (") + error +
                                     QLatin1Char(')'),
                                 MessageIcon::Exclamation, AppTitle);
    }
    Q_EMIT Recorded(values, statusText, stored);
}

bool WriteHistoryPage(const QString& programFolder, QString& error)
{
    HistoryStore store(programFolder);
    QByteArray html;
    if (!HistoryPageHtml(store, html)) {
        error = store.LastError();
        return false;
    }
    const QString path = HistoryPagePath(programFolder);
    if (!QDir().mkpath(QFileInfo(path).path())) {
        error = FolderNotMadeText(ReportFolderName);
        return false;
    }
    return WriteWholeFile(path, html, error);
}
