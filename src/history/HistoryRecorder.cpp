#include "history/HistoryRecorder.h"

#include "base/CheckedFile.h"
#include "base/Clock.h"
#include "base/Names.h"
#include "base/Prompter.h"
#include "history/HistoryPage.h"
#include "history/HistoryStore.h"
#include "history/RunHistory.h"
#include "model/AppState.h"
#include "run/RankReport.h"
#include "run/RankRun.h"

#include <QDir>
#include <QFileInfo>

HistoryRecorder::HistoryRecorder(AppState& state, RankRun& run, Prompter& prompter, const Clock& clock, QObject* parent)
    : QObject(parent), state(state), run(run), prompter(prompter), clock(clock)
{
    connect(&run, &RankRun::Finished, this, &HistoryRecorder::RunFinished);
}

void HistoryRecorder::RunFinished(bool reportWritten)
{
    if (!reportWritten)
        return;
    const QDateTime time = clock.Now();
    const HistoryData values = RunHistory(state.Run, time, ReportFileName(time.date()));
    QString statusText = run.Tally().CompletedText();
    HistoryStore store(state.ProgramFolder);
    if (store.Record(values) == 0) {
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
    Q_EMIT Recorded(values, statusText);
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
        error = ReportFolderName + QStringLiteral(": the folder could not be made");
        return false;
    }
    return WriteWholeFile(path, html, error);
}
