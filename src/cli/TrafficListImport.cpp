#include "cli/TrafficListImport.h"

#include "base/TerminalText.h"
#include "cli/CliStart.h"
#include "cli/InterruptWatcher.h"
#include "cli/ProgressLine.h"
#include "sources/RankListDownload.h"
#include "sources/RankListStore.h"
#include "sources/SourceSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

#include <optional>

int ImportTrafficList(const QString& programFolder, const TrafficSourceSettings& traffic, int downloadMaxMiB,
                      bool force)
{
    const std::optional<RankListKind> kind = RankListKindNamed(SourceName(traffic.Kind));
    if (!kind) {
        Err() << "quorvex-cli: Only a tranco or majestic source takes a list" << Qt::endl;
        return BadUsage;
    }
    RankListImportRequest request;
    request.Kind = *kind;
    request.Path = traffic.List;
    request.DisplayName = QFileInfo(traffic.List).fileName();
    request.Force = force;
    // In MiB, one bar for the download and one for the reading of the list.
    std::optional<ProgressLine> progress;
    std::optional<RankListStage> shown;
    request.Progress = [&progress, &shown](RankListStage stage, qint64 done, qint64 total) {
        constexpr qint64 MiB = 1024 * 1024;
        if (stage != shown) {
            if (progress)
                progress->Finish();
            progress.emplace();
            progress->SetUnit(stage == RankListStage::Downloading ? QStringLiteral("MiB downloaded")
                                                                  : QStringLiteral("MiB read"));
            shown = stage;
        }
        progress->SetMaximum(total > 0 ? int((total + MiB - 1) / MiB) : 0);
        progress->SetValue(int(done / MiB));
    };
    RankListImportResult result;
    const QString store = RankListsPath(programFolder);
    if (IsRankListAddress(traffic.List)) {
        RankListDownload download(store);
        download.SetBodyCap(qint64(downloadMaxMiB) * 1024 * 1024);
        InterruptWatcher interrupt;
        QObject::connect(&interrupt, &InterruptWatcher::Interrupted, &download, &RankListDownload::Cancel);
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
    if (progress)
        progress->Finish();
    QString message = result.Message;
    if (result.Overridable)
        message += QStringLiteral(" Give --force to import it anyway.");
    Err() << "quorvex-cli: " << TerminalSafe(message) << Qt::endl;
    return result.Ok ? Done : Refused;
}
