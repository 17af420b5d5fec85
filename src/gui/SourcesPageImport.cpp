// The list import off the window's thread: the file is read there, and a download runs there
// with its own network access, so that its import after the transfer does not stop the window.

#include "gui/SourcesPageImport.h"

#include "sources/RankListDownload.h"
#include "sources/RankListStore.h"

#include <QUrl>

SourcesPageImport::SourcesPageImport(QString databasePath, QObject* parent)
    : QObject(parent), databasePath(std::move(databasePath)), worker(new QObject)
{
    thread.setObjectName(QStringLiteral("RankListImport"));
    worker->moveToThread(&thread);
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    thread.start();
}

SourcesPageImport::~SourcesPageImport()
{
    thread.quit();
    thread.wait();
}

void SourcesPageImport::Start(const QString& fileOrAddress, RankListImportRequest request, int downloadMaxMiB)
{
    if (running)
        return;
    running = true;
    // Called on the import's thread: the window hears it through its own event loop.
    request.Progress = [this](RankListStage stage, qint64 done, qint64 total) {
        QMetaObject::invokeMethod(
            this, [this, stage, done, total] { Q_EMIT Progress(stage, done, total); }, Qt::QueuedConnection);
    };
    const QString path = databasePath;
    if (IsRankListAddress(fileOrAddress)) {
        QMetaObject::invokeMethod(worker, [this, path, fileOrAddress, request, downloadMaxMiB] {
            auto* download = new RankListDownload(path, worker);
            download->SetBodyCap(qint64(downloadMaxMiB) * 1024 * 1024);
            connect(download, &RankListDownload::Finished, worker, [this, download](const RankListImportResult& done) {
                download->deleteLater();
                Report(done);
            });
            download->Start(QUrl(fileOrAddress.trimmed()), request);
        });
        return;
    }
    request.Path = fileOrAddress;
    QMetaObject::invokeMethod(worker, [this, path, request] { Report(RankListStore(path).Import(request)); });
}

void SourcesPageImport::Report(const RankListImportResult& result)
{
    QMetaObject::invokeMethod(
        this,
        [this, result] {
            running = false;
            Q_EMIT Finished(result);
        },
        Qt::QueuedConnection);
}
