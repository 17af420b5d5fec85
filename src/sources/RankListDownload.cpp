// The list download. The body goes to disk as it arrives: a list of ten million rows is far larger
// than a page, and is never held in memory.

#include "sources/RankListDownload.h"

#include "sources/RankListStore.h"
#include "web/WebClient.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QTimer>

bool IsRankListAddress(const QString& fileOrAddress)
{
    const QUrl address(fileOrAddress.trimmed());
    const QString scheme = address.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !address.host().isEmpty();
}

RankListDownload::RankListDownload(QString databasePath, QObject* parent)
    : QObject(parent), databasePath(std::move(databasePath))
{
    UseSystemProxies(network);
}

RankListDownload::~RankListDownload()
{
    Stop();
}

void RankListDownload::Start(const QUrl& from, RankListImportRequest request)
{
    Stop();
    ++round;
    address = from;
    pending = std::move(request);
    if (pending.DisplayName.isEmpty())
        pending.DisplayName = address.toDisplayString();
    received = 0;
    refusal.clear();

    if (!IsRankListAddress(address.toString())) {
        Fail(QStringLiteral("%1 is not an http or https address.").arg(pending.DisplayName));
        return;
    }
    // The temporary file lies beside the lists' file, on the same disk the import writes to.
    file = std::make_unique<QTemporaryFile>(
        QFileInfo(databasePath).absoluteDir().filePath(QStringLiteral("RankListDownload-XXXXXX")));
    if (!file->open()) {
        Fail(QStringLiteral("%1 cannot be downloaded: no temporary file (%2).")
                 .arg(pending.DisplayName, file->errorString()));
        return;
    }

    QNetworkRequest get(address);
    get.setHeader(QNetworkRequest::UserAgentHeader, ProgramUserAgent);
    get.setTransferTimeout(transferTimeoutMs);
    get.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    get.setMaximumRedirectsAllowed(MostRedirects);
    reply = network.get(get);
    connect(reply, &QNetworkReply::metaDataChanged, this, &RankListDownload::Answered);
    connect(reply, &QNetworkReply::readyRead, this, &RankListDownload::Arrived);
    connect(reply, &QNetworkReply::finished, this, &RankListDownload::Done);
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 done, qint64 total) {
        if (pending.Progress)
            pending.Progress(RankListStage::Downloading, done, total);
    });
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this] {
        Fail(QStringLiteral("%1 took longer than %2 to download.")
                 .arg(pending.DisplayName, ListDownloadTimeText(totalTimeLimitMs)));
    });
    deadline->start(totalTimeLimitMs);
}

void RankListDownload::Cancel()
{
    if (reply)
        Fail(QStringLiteral("The download of %1 was cancelled.").arg(pending.DisplayName));
}

// The answer's head: an error, or a length over the cap, ends the download before its body is read.
// The reply is ended from the event loop, not from inside its own signal, where Qt is still busy
// with it; until then nothing of its body is kept.
void RankListDownload::Answered()
{
    if (!reply)
        return;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (status >= 400)
        refusal =
            QStringLiteral("%1 cannot be downloaded: the server answered %2.").arg(pending.DisplayName).arg(status);
    else if (length.isValid() && length.toLongLong() > bodyCap)
        refusal = TooLargeText();
    else
        return;
    QMetaObject::invokeMethod(
        this,
        [this, startedAs = round] {
            if (startedAs == round && reply)
                Fail(refusal);
        },
        Qt::QueuedConnection);
}

void RankListDownload::Arrived()
{
    if (!reply || !refusal.isEmpty())
        return;
    const QByteArray bytes = reply->readAll();
    received += bytes.size();
    if (received > bodyCap) {
        Fail(TooLargeText());
        return;
    }
    if (file->write(bytes) != bytes.size())
        Fail(QStringLiteral("%1 cannot be downloaded: %2").arg(pending.DisplayName, file->errorString()));
}

void RankListDownload::Done()
{
    if (!reply)
        return;
    if (!refusal.isEmpty()) {
        Fail(refusal);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 400)
            Fail(QStringLiteral("%1 cannot be downloaded: the server answered %2.")
                     .arg(pending.DisplayName)
                     .arg(status));
        // Our own aborts disconnect first; a cancelled reply that still ends here was silent too long.
        else if (reply->error() == QNetworkReply::OperationCanceledError)
            Fail(QStringLiteral("%1 cannot be downloaded: nothing arrived for %2.")
                     .arg(pending.DisplayName, ListDownloadTimeText(transferTimeoutMs)));
        else
            Fail(QStringLiteral("%1 cannot be downloaded: %2").arg(pending.DisplayName, reply->errorString()));
        return;
    }
    Arrived();
    if (!reply)
        return;
    if (!file->flush()) {
        Fail(QStringLiteral("%1 cannot be downloaded: %2").arg(pending.DisplayName, file->errorString()));
        return;
    }
    reply->disconnect(this);
    reply->deleteLater();
    reply = nullptr;

    pending.Path = file->fileName();
    const RankListImportResult result = RankListStore(databasePath).Import(pending);
    file.reset();
    Q_EMIT Finished(result);
}

void RankListDownload::Fail(const QString& message)
{
    Stop();
    const RankListImportResult result{false, message, {}};
    // Never from inside Start: the caller hears the end once it is back in the event loop. A later
    // Start silences it.
    QMetaObject::invokeMethod(
        this,
        [this, result, startedAs = round] {
            if (startedAs == round)
                Q_EMIT Finished(result);
        },
        Qt::QueuedConnection);
}

QString RankListDownload::TooLargeText() const
{
    return QStringLiteral("%1 is larger than %2, the most a list download may be (the setting list-download-max-mib "
                          "raises it).")
        .arg(pending.DisplayName, ListDownloadSizeText(bodyCap));
}

void RankListDownload::Stop()
{
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
        reply = nullptr;
    }
    file.reset();
}
