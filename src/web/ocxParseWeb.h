#pragma once
// The download control: the program's only way to the network. It fetches a page for a caller's
// download key, hands it to the parser of the key's first letter and announces the end.

#include "web/DownloadCounters.h"
#include "web/Parsers.h"
#include "web/ServiceExchange.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QObject>
#include <QStringList>

#include <functional>

class Prompter;
class QNetworkReply;

// A page-summary key ("K", "k"): its end is DownloadTitleComplete and PendingTitleCount counts
// it; every other key ends with DownloadHtmlComplete and counts in PendingHtmlCount. The control
// raises the counter when a download starts and lowers it, never below 0, just before its end is
// announced.
bool IsTitleKey(const QString& propertyName);

class ocxParseWeb : public QObject {
    Q_OBJECT
public:
    ocxParseWeb(ParseTables tables, DownloadCounters counters, Prompter& prompter, QObject* parent = nullptr);
    ~ocxParseWeb() override; // cancels what is pending

    // Starts fetching url for the download key propertyName. Its end is always announced later, from
    // the event loop, even when the fetch cannot start.
    void BeginDownload(const QString& url, const QString& propertyName);
    // A request of a data service: its own method, headers and body; no parser runs. The reply,
    // whatever its HTTP status, or the reason none came, goes to take just before the end is
    // announced. DownloadFailed is sent only when no reply came.
    void BeginServiceRequest(const ServiceRequest& request, const QString& propertyName,
                             std::function<void(const ServiceReply&)> take);
    bool CancelAllDownload();                                 // always true; zeroes both counters
    QStringList PendingNames() const { return pendingNames; } // slots 1..n, without the placeholder

    // A fetch that transfers nothing for this long ends as failed (30 s unless changed).
    void SetTransferTimeout(int milliseconds) { transferTimeoutMs = milliseconds; }
    // A fetch whose body grows past this many bytes ends as failed (8 MiB unless changed).
    void SetBodyCap(qint64 bytes) { bodyCap = bytes; }
    // A fetch that takes longer than this in all ends as failed (120 s unless changed).
    void SetTotalTimeLimit(int milliseconds) { totalTimeLimitMs = milliseconds; }

Q_SIGNALS:
    void DownloadHtmlComplete();
    void DownloadTitleComplete();
    // A download ended without a page (an error, an error status, a time-out, a cap, a start that
    // failed), and why, in words; sent just before its completion signal. Cancelled downloads are
    // not failures.
    void DownloadFailed(const QString& propertyName, const QString& reason);
    void StatusText(const QString& text); // every status text of the control and its parsers

private:
    struct Read {
        QString PropertyName;
        QByteArray Body;                               // what has arrived so far, never more than the cap
        std::function<void(const ServiceReply&)> Take; // set for a service request
    };

    void StartRead(const QNetworkRequest& request, const QByteArray& verb, const QByteArray& body, Read read);

    void ReadArrived(QNetworkReply* reply);
    void ReadFinished(QNetworkReply* reply);
    void ReadFailed(QNetworkReply* reply);
    void RunParser(const QByteArray& bytes, const QString& propertyName);
    qint32& PendingCount(const QString& propertyName);
    void AnnounceEnd(const QString& propertyName);
    void RemoveBySearch(const QString& propertyName);
    void RemoveAtHead(const QString& propertyName);

    ParseTables tables;
    DownloadCounters counters;
    Prompter& prompter;
    QNetworkAccessManager network;
    QStringList pendingNames;
    QHash<QNetworkReply*, Read> reads;
    // Raised by every CancelAllDownload, so that a failed start queued before it stays silent.
    quint64 cancelRound = 0;
    int transferTimeoutMs = 30000;
    qint64 bodyCap = 8 * 1024 * 1024;
    int totalTimeLimitMs = 120000;
};
