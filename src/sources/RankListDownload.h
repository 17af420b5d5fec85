#pragma once
// A rank list fetched from an http(s) address into a temporary file beside the lists' file, then
// imported like a file. Bounded as every download of the program: silence, size and total time
// (RankList.h gives the bounds); a download that passes one ends with its temporary file.

#include "sources/RankList.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

#include <memory>

class QNetworkReply;
class QTemporaryFile;

// True for an http or https address, the form a list argument takes when it is to be downloaded.
bool IsRankListAddress(const QString& fileOrAddress);

class RankListDownload : public QObject {
    Q_OBJECT
public:
    explicit RankListDownload(QString databasePath, QObject* parent = nullptr);
    ~RankListDownload() override;

    // Starts fetching address and importing what arrives as request.Kind (request.Path is not used;
    // request.DisplayName defaults to the address). Finished is always sent later from the event
    // loop, also when the fetch cannot start. One download at a time: a second Start while one runs
    // ends that one first, unannounced.
    void Start(const QUrl& address, RankListImportRequest request);
    // Ends the running download; it is announced as refused, and nothing is imported.
    void Cancel();
    bool IsRunning() const { return reply != nullptr; }

    // A fetch that transfers nothing for this long fails.
    void SetTransferTimeout(int milliseconds) { transferTimeoutMs = milliseconds; }
    // A body larger than this fails; one that announces a larger length fails before it is read.
    void SetBodyCap(qint64 bytes) { bodyCap = bytes; }
    // A fetch that takes longer than this in all fails.
    void SetTotalTimeLimit(int milliseconds) { totalTimeLimitMs = milliseconds; }

Q_SIGNALS:
    void Finished(const RankListImportResult& result);

private:
    void Answered();
    void Arrived();
    void Done();
    void Fail(const QString& message);
    QString TooLargeText() const;
    void Stop();

    QString databasePath;
    QNetworkAccessManager network;
    QNetworkReply* reply = nullptr;
    std::unique_ptr<QTemporaryFile> file;
    RankListImportRequest pending;
    QUrl address;
    qint64 received = 0;
    QString refusal;   // why the answer's head ended the download, which ends from the event loop
    quint64 round = 0; // raised by every Start, so that the failure of an earlier one stays silent
    int transferTimeoutMs = ListDownloadSilenceMs;
    qint64 bodyCap = qint64(DefaultListDownloadMiB) * 1024 * 1024;
    int totalTimeLimitMs = ListDownloadTimeLimitMs;
};
