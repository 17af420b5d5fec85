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

namespace {} // namespace

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
    connect(reply, &QNetworkReply::readyRead, this, &RankListDownload::Arrived);
    connect(reply, &QNetworkReply::finished, this, &RankListDownload::Done);
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 done, qint64 total) {
        if (total > bodyCap)
            Fail(QStringLiteral("%1 is larger than a rank list can be.").arg(pending.DisplayName));
        else if (pending.Progress)
            pending.Progress(RankListStage::Downloading, done, total);
    });
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this,
            [this] { Fail(QStringLiteral("%1 took too long to download.").arg(pending.DisplayName)); });
    deadline->start(totalTimeLimitMs);
}

void RankListDownload::Cancel()
{
    if (reply)
        Fail(QStringLiteral("The download of %1 was cancelled.").arg(pending.DisplayName));
}

void RankListDownload::Arrived()
{
    if (!reply)
        return;
    const QByteArray bytes = reply->readAll();
    received += bytes.size();
    if (received > bodyCap) {
        Fail(QStringLiteral("%1 is larger than a rank list can be.").arg(pending.DisplayName));
        return;
    }
    if (file->write(bytes) != bytes.size())
        Fail(QStringLiteral("%1 cannot be downloaded: %2").arg(pending.DisplayName, file->errorString()));
}

void RankListDownload::Done()
{
    if (!reply)
        return;
    if (reply->error() != QNetworkReply::NoError) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 400)
            Fail(QStringLiteral("%1 cannot be downloaded: the server answered %2.")
                     .arg(pending.DisplayName)
                     .arg(status));
        // Our own aborts disconnect first; a cancelled reply that still ends here was silent too long.
        else if (reply->error() == QNetworkReply::OperationCanceledError)
            Fail(QStringLiteral("%1 cannot be downloaded: nothing arrived for %2 seconds.")
                     .arg(pending.DisplayName, QString::number(transferTimeoutMs / 1000.0)));
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
