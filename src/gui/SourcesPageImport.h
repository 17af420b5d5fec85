#pragma once
// The Sources page's list import: a file (a CSV, or a ZIP holding one) or a download address read
// into the program folder's rank lists on a thread of its own, so that the window keeps answering.

#include "sources/RankList.h"

#include <QObject>
#include <QThread>

class SourcesPageImport : public QObject {
    Q_OBJECT
public:
    explicit SourcesPageImport(QString databasePath, QObject* parent = nullptr);
    // A download that goes is cancelled and nothing of it imported; a file being read is waited
    // for (a few seconds for a list of a million rows), since its import commits or leaves the
    // earlier list whole.
    ~SourcesPageImport() override;

    // Imports request.Kind from fileOrAddress (request.Path and request.Progress are set here), a
    // download up to downloadMaxMiB. Finished always comes later, from the event loop. One import
    // at a time.
    void Start(const QString& fileOrAddress, RankListImportRequest request, int downloadMaxMiB);
    bool IsRunning() const { return running; }

Q_SIGNALS:
    // total is -1 while unknown.
    void Progress(RankListStage stage, qint64 done, qint64 total);
    void Finished(const RankListImportResult& result);

private:
    void Report(const RankListImportResult& result);

    const QString databasePath;
    QThread thread;
    QObject* worker; // lives in thread; deleted there, with its download, when the thread ends
    bool running = false;
};
