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

bool IsTitleKey(const QString& propertyName)
{
    return propertyName.startsWith(QLatin1Char('K')) || propertyName.startsWith(QLatin1Char('k'));
}

} // namespace

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
                if (round == cancelRound)
                    AnnounceEnd(propertyName);
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
    reads.insert(reply);
    connect(reply, &QNetworkReply::redirected, this, [this] { Q_EMIT StatusText(ProcessingText); });
    connect(reply, &QNetworkReply::finished, this, [this, reply, propertyName] { ReadFinished(reply, propertyName); });
}

bool ocxParseWeb::CancelAllDownload()
{
    const QSet<QNetworkReply*> cancelled = std::exchange(reads, {});
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

void ocxParseWeb::ReadFinished(QNetworkReply* reply, const QString& propertyName)
{
    reads.remove(reply);
    reply->deleteLater();
    // Refused connections, unknown hosts, error statuses, time-outs, cut bodies and redirect loops
    // all end here, as a failed download: no parser runs.
    if (reply->error() != QNetworkReply::NoError) {
        RemoveBySearch(propertyName);
        AnnounceEnd(propertyName);
        return;
    }
    RemoveAtHead(propertyName);
    Q_EMIT StatusText(WorkingText);
    RunParser(reply->readAll(), propertyName);
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
