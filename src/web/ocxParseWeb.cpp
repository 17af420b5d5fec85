// The download control: fetching, the list of pending download keys, routing to the parsers and
// the two completion signals.

#include "web/ocxParseWeb.h"

#include "app/AppState.h"
#include "web/PageDecoding.h"
#include "web/ParserTable.h"
#include "web/Parsers.h"
#include "web/StatusTexts.h"

#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

const QString ProcessingText = QStringLiteral("Quorvex is processing ...");
const QString CanceledText = QStringLiteral("Quorvex canceled analysis ...");

const QByteArray UserAgent = QByteArrayLiteral("Quorvex/" QUORVEX_VERSION);
constexpr int MostRedirects = 20;

// The proxy settings of the system (http_proxy and its kin), read afresh for every request.
class SystemProxies : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override { return systemProxyForQuery(query); }
};

} // namespace

bool IsTitleKey(const QString& propertyName)
{
    return propertyName.startsWith(QLatin1Char('K')) || propertyName.startsWith(QLatin1Char('k'));
}

ocxParseWeb::ocxParseWeb(AppState& state, Prompter& prompter, QObject* parent)
    : QObject(parent), state(state), prompter(prompter)
{
    network.setProxyFactory(new SystemProxies);
}

ocxParseWeb::~ocxParseWeb()
{
    // Whoever listened may already be going away with us: cancel without a word.
    if (!pendingNames.isEmpty() || !reads.isEmpty()) {
        const QSignalBlocker quiet(this);
        CancelAllDownload();
    }
}

void ocxParseWeb::BeginDownload(const QString& url, const QString& propertyName)
{
    pendingNames.append(propertyName);

    const QUrl address(url);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        // The caller raises its counter after this call returns, so the end must come later. The
        // key stays pending, as it always has, until the next CancelAllDownload.
        QMetaObject::invokeMethod(
            this,
            [this, propertyName, round = cancelRound] {
                if (round == cancelRound) {
                    Q_EMIT DownloadFailed(propertyName);
                    AnnounceEnd(propertyName);
                }
            },
            Qt::QueuedConnection);
        return;
    }

    QNetworkRequest request(address);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent);
    request.setTransferTimeout(transferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MostRedirects);

    QNetworkReply* reply = network.get(request);
    reads.insert(reply, Read{propertyName, {}});
    connect(reply, &QNetworkReply::redirected, this, [this] { Q_EMIT StatusText(ProcessingText); });
    // The body is taken as it arrives, so that a body over the cap is never held whole.
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { ReadArrived(reply); });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64, qint64 announced) {
        if (announced > bodyCap)
            ReadFailed(reply);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { ReadFinished(reply); });
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this, reply] { ReadFailed(reply); });
    deadline->start(totalTimeLimitMs);
}

bool ocxParseWeb::CancelAllDownload()
{
    const QList<QNetworkReply*> cancelled = std::exchange(reads, {}).keys();
    for (QNetworkReply* reply : cancelled) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    ++cancelRound;
    const QStringList names = std::exchange(pendingNames, {});
    for (qsizetype n = 0; n < names.size(); ++n)
        Q_EMIT StatusText(CanceledText);
    state.PendingHtmlCount = 0;
    state.PendingTitleCount = 0;
    return true;
}

void ocxParseWeb::ReadArrived(QNetworkReply* reply)
{
    const auto read = reads.find(reply);
    if (read == reads.end())
        return;
    if (read->Body.size() + reply->bytesAvailable() > bodyCap) {
        ReadFailed(reply);
        return;
    }
    read->Body += reply->readAll();
}

void ocxParseWeb::ReadFinished(QNetworkReply* reply)
{
    // Refused connections, unknown hosts, error statuses, time-outs, cut bodies and redirect loops
    // all end here, as a failed download: no parser runs.
    if (reply->error() != QNetworkReply::NoError) {
        ReadFailed(reply);
        return;
    }
    ReadArrived(reply);
    const auto read = reads.find(reply);
    if (read == reads.end())
        return;
    const Read done = std::move(*read);
    reads.erase(read);
    reply->deleteLater();
    RemoveAtHead(done.PropertyName);
    Q_EMIT StatusText(WorkingText);
    RunParser(done.Body, done.PropertyName);
}

// Ends a read at once without a page: what arrived is dropped and the connection closed.
void ocxParseWeb::ReadFailed(QNetworkReply* reply)
{
    const auto read = reads.find(reply);
    if (read == reads.end())
        return;
    const QString propertyName = read->PropertyName;
    reads.erase(read);
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    DownloadEndedWithoutPage(propertyName);
}

void ocxParseWeb::DownloadEndedWithoutPage(const QString& propertyName)
{
    RemoveBySearch(propertyName);
    Q_EMIT DownloadFailed(propertyName);
    AnnounceEnd(propertyName);
}

void ocxParseWeb::RunParser(const QByteArray& bytes, const QString& propertyName)
{
    const ParserFunction parser = propertyName.isEmpty() ? nullptr : ParserFor(propertyName.front());
    if (!parser)
        return;
    ParseContext context{state, [this](const QString& text) { Q_EMIT StatusText(text); }, prompter};
    try {
        parser(context, DecodePageBytes(bytes), propertyName);
    } catch (...) {
        // A parser that gives up keeps what it stored; the callers still hear that the download ended.
    }
    AnnounceEnd(propertyName);
}

void ocxParseWeb::AnnounceEnd(const QString& propertyName)
{
    if (IsTitleKey(propertyName))
        Q_EMIT DownloadTitleComplete();
    else
        Q_EMIT DownloadHtmlComplete();
}

void ocxParseWeb::RemoveBySearch(const QString& propertyName)
{
    pendingNames.removeOne(propertyName);
}

void ocxParseWeb::RemoveAtHead(const QString& propertyName)
{
    if (!pendingNames.isEmpty() && pendingNames.first() == propertyName)
        pendingNames.removeFirst();
}
