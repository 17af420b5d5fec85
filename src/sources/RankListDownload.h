#pragma once
// A rank list fetched from an http(s) address into a temporary file beside the lists' file, then
// imported like a file. Bounded as every download of the program: silence, size and total time.

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

    // A fetch that transfers nothing for this long fails (30 s unless changed).
    void SetTransferTimeout(int milliseconds) { transferTimeoutMs = milliseconds; }
    // A body larger than this fails (2 GiB unless changed: a majestic list of 10 million rows).
    void SetBodyCap(qint64 bytes) { bodyCap = bytes; }
    // A fetch that takes longer than this in all fails (30 minutes unless changed).
    void SetTotalTimeLimit(int milliseconds) { totalTimeLimitMs = milliseconds; }

Q_SIGNALS:
    void Finished(const RankListImportResult& result);

private:
    void Arrived();
    void Done();
    void Fail(const QString& message);
    void Stop();

    QString databasePath;
    QNetworkAccessManager network;
    QNetworkReply* reply = nullptr;
    std::unique_ptr<QTemporaryFile> file;
    RankListImportRequest pending;
    QUrl address;
    qint64 received = 0;
    quint64 round = 0; // raised by every Start, so that the failure of an earlier one stays silent
    int transferTimeoutMs = 30000;
    qint64 bodyCap = qint64(2) * 1024 * 1024 * 1024;
    int totalTimeLimitMs = 30 * 60 * 1000;
};
