#include "cli/TrafficListImport.h"

#include "app/TerminalText.h"
#include "cli/CliStart.h"
#include "cli/ProgressLine.h"
#include "sources/RankListDownload.h"
#include "sources/RankListStore.h"
#include "sources/SourceSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

int ImportTrafficList(const QString& programFolder, const TrafficSourceSettings& traffic)
{
    const std::optional<RankListKind> kind = RankListKindNamed(SourceName(traffic.Kind));
    if (!kind) {
        Err() << "quorvex-cli: only a tranco or majestic source takes a list" << Qt::endl;
        return BadUsage;
    }
    RankListImportRequest request;
    request.Kind = *kind;
    request.Path = traffic.List;
    request.DisplayName = QFileInfo(traffic.List).fileName();
    ProgressLine progress;
    request.Progress = [&progress](RankListStage, qint64 done, qint64 total) {
        if (total > 0) {
            progress.SetMaximum(int(total / 1024));
            progress.SetValue(int(done / 1024));
        }
    };
    RankListImportResult result;
    const QString store = RankListsPath(programFolder);
    if (IsRankListAddress(traffic.List)) {
        RankListDownload download(store);
        QObject::connect(&download, &RankListDownload::Finished, [&](const RankListImportResult& finished) {
            result = finished;
            QCoreApplication::exit(0);
        });
        request.DisplayName.clear();
        download.Start(QUrl(traffic.List), request);
        QCoreApplication::exec();
    } else {
        result = RankListStore(store).Import(request);
    }
    progress.Finish();
    Err() << "quorvex-cli: " << TerminalSafe(result.Message) << Qt::endl;
    return result.Ok ? Done : Refused;
}
