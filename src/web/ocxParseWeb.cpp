// The download control: fetching, the list of pending download keys, routing to the parsers and
// the two completion signals.

#include "web/ocxParseWeb.h"

#include "web/PageDecoding.h"
#include "web/ParserTable.h"
#include "web/Parsers.h"
#include "web/StatusTexts.h"
#include "web/WebClient.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>

namespace {

const QString ProcessingText = QStringLiteral("Quorvex is processing ...");
const QString CanceledText = QStringLiteral("Quorvex canceled analysis ...");

// Why a read brought no page, in words that never quote the address (a key may be in it).
QString FailureReason(const QNetworkReply& reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // Through a proxy, the connection that was refused or whose host was not found is the proxy's.
    const QString proxy = ProxyFor(reply.url());
    switch (reply.error()) {
    case QNetworkReply::NoError:
        return QStringLiteral("the reply went past its size or time bounds");
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("too many redirects");
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::ProxyConnectionRefusedError:
        return proxy.isEmpty() ? QStringLiteral("the connection was refused")
                               : QStringLiteral("the proxy %1 refused the connection").arg(proxy);
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("the connection was closed before the reply was whole");
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyNotFoundError:
        return proxy.isEmpty() ? QStringLiteral("the host was not found")
                               : QStringLiteral("the proxy %1 was not found").arg(proxy);
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("no reply came in time");
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return QStringLiteral("the proxy %1 asks for a password").arg(proxy);
    default:
        break;
    }
    if (status.isValid())
        return QStringLiteral("HTTP status %1").arg(status.toInt());
    return QStringLiteral("the transfer failed (network error %1)").arg(int(reply.error()));
}

const QString NotAWebAddressReason = QStringLiteral("the address is not an http or https address");

} // namespace

bool IsTitleKey(const QString& propertyName)
{
    return propertyName.startsWith(QLatin1Char('K')) || propertyName.startsWith(QLatin1Char('k'));
}

ocxParseWeb::ocxParseWeb(ParseTables tables, DownloadCounters counters, Prompter& prompter, QObject* parent)
    : QObject(parent), tables(tables), counters(counters), prompter(prompter)
{
    UseSystemProxies(network);
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
    BeginServiceRequest({"GET", QNetworkRequest(QUrl(url)), {}}, propertyName, {});
}

void ocxParseWeb::BeginServiceRequest(const ServiceRequest& service, const QString& propertyName,
                                      std::function<void(const ServiceReply&)> take)
{
    pendingNames.append(propertyName);
    ++PendingCount(propertyName);

    const QUrl address = service.Request.url();
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        // The end comes from the event loop, after this call has returned, as for every download. The
        // key stays pending, as it always has, until the next CancelAllDownload.
        QMetaObject::invokeMethod(
            this,
            [this, propertyName, take, round = cancelRound] {
                if (round == cancelRound) {
                    if (take)
                        take({0, {}, {}, NotAWebAddressReason});
                    Q_EMIT DownloadFailed(propertyName, NotAWebAddressReason);
                    AnnounceEnd(propertyName);
                }
            },
            Qt::QueuedConnection);
        return;
    }
    StartRead(service.Request, service.Verb, service.Body, Read{propertyName, {}, std::move(take)});
}

void ocxParseWeb::StartRead(const QNetworkRequest& given, const QByteArray& verb, const QByteArray& body, Read read)
{
    QNetworkRequest request(given);
    request.setHeader(QNetworkRequest::UserAgentHeader, ProgramUserAgent);
    request.setTransferTimeout(transferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MostRedirects);

    QNetworkReply* reply = verb == "GET" ? network.get(request) : network.sendCustomRequest(request, verb, body);
    reads.insert(reply, std::move(read));
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
    counters.PendingHtmlCount = 0;
    counters.PendingTitleCount = 0;
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
    // A data service's error status is its answer: the source reads it.
    const auto pending = reads.constFind(reply);
    const bool serviceAnswered = pending != reads.cend() && pending->Take &&
                                 reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    // Refused connections, unknown hosts, error statuses, time-outs, cut bodies and redirect loops
    // all end here, as a failed download: no parser runs.
    if (reply->error() != QNetworkReply::NoError && !serviceAnswered) {
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
    if (done.Take) {
        done.Take({reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                   reply->rawHeaderPairs(),
                   done.Body,
                   {}});
        AnnounceEnd(done.PropertyName);
        return;
    }
    RunParser(done.Body, done.PropertyName);
}

// Ends a read at once without a page: what arrived is dropped and the connection closed.
void ocxParseWeb::ReadFailed(QNetworkReply* reply)
{
    const auto read = reads.find(reply);
    if (read == reads.end())
        return;
    const QString propertyName = read->PropertyName;
    const auto take = std::move(read->Take);
    const QString reason = FailureReason(*reply);
    reads.erase(read);
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    if (take)
        take({0, {}, {}, reason});
    RemoveBySearch(propertyName);
    Q_EMIT DownloadFailed(propertyName, reason);
    AnnounceEnd(propertyName);
}

void ocxParseWeb::RunParser(const QByteArray& bytes, const QString& propertyName)
{
    const ParserFunction parser = propertyName.isEmpty() ? nullptr : ParserFor(propertyName.front());
    if (!parser)
        return;
    ParseContext context{tables.Run, tables.Sites, counters.StopRequested,
                         [this](const QString& text) { Q_EMIT StatusText(text); }, prompter};
    try {
        parser(context, DecodePageBytes(bytes), propertyName);
    } catch (...) {
        // A parser that gives up keeps what it stored; the callers still hear that the download ended.
    }
    AnnounceEnd(propertyName);
}

qint32& ocxParseWeb::PendingCount(const QString& propertyName)
{
    return IsTitleKey(propertyName) ? counters.PendingTitleCount : counters.PendingHtmlCount;
}

void ocxParseWeb::AnnounceEnd(const QString& propertyName)
{
    qint32& pending = PendingCount(propertyName);
    pending = std::max(0, pending - 1);
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
