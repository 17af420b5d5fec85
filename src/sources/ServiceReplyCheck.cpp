// The checks every source makes on a service's reply.

#include "sources/ServiceReplyCheck.h"

#include <QJsonDocument>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype MostMessageLength = 200;

QString WithMessage(const QString& reason, const QString& message)
{
    return message.isEmpty() ? reason : reason + u": "_s + message;
}

} // namespace

std::optional<SourceFailure> StatusFailure(const ServiceReply& reply, const QString& message, const QDateTime& now)
{
    const int status = reply.HttpStatus;
    if (status == 0)
        return SourceFailure{FailureKind::NoReply, u"no reply: "_s + reply.TransportError, 0, -1};
    if (status >= 200 && status < 300)
        return std::nullopt;
    if (status == 401 || status == 403)
        return SourceFailure{FailureKind::BadKey,
                             WithMessage(u"the service refused the key (HTTP %1)"_s.arg(status), message), status, -1};
    if (status == 429) {
        const int wait = RetryAfterSeconds(reply.Header("Retry-After"), now);
        const QString reason =
            wait >= 0 ? u"rate limited (HTTP 429, retry after %1 s)"_s.arg(wait) : u"rate limited (HTTP 429)"_s;
        return SourceFailure{FailureKind::RateLimited, reason, status, wait};
    }
    return SourceFailure{FailureKind::HttpError, WithMessage(u"HTTP error %1"_s.arg(status), message), status, -1};
}

int RetryAfterSeconds(const QByteArray& header, const QDateTime& now)
{
    const QByteArray text = header.trimmed();
    if (text.isEmpty())
        return -1;
    bool ok = false;
    const int seconds = text.toInt(&ok);
    if (ok)
        return seconds >= 0 ? seconds : -1;
    // HTTP dates end in "GMT", which the RFC 2822 reading wants as an offset.
    QString date = QString::fromLatin1(text);
    if (date.endsWith(u" GMT"_s))
        date = date.chopped(3) + u"+0000"_s;
    const QDateTime at = QDateTime::fromString(date, Qt::RFC2822Date);
    if (!at.isValid())
        return -1;
    return int(qMax<qint64>(0, now.secsTo(at)));
}

std::variant<QJsonObject, SourceFailure> JsonObjectOf(const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return SourceFailure{FailureKind::Malformed, u"the reply is not JSON"_s, 200, -1};
    if (!document.isObject())
        return WrongShapeFailure();
    return document.object();
}

SourceFailure WrongShapeFailure(int httpStatus)
{
    return SourceFailure{FailureKind::WrongShape, u"the reply is JSON of another shape"_s, httpStatus, -1};
}

QString ServiceMessage(const QByteArray& body)
{
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    QString message;
    for (const QString& name : {u"error"_s, u"message"_s}) {
        const QJsonValue value = object.value(name);
        if (value.isString() && !value.toString().isEmpty()) {
            message = value.toString();
            break;
        }
        if (value.isObject() && value.toObject().value(u"code"_s).isString()) {
            message = value.toObject().value(u"code"_s).toString();
            break;
        }
    }
    return message.simplified().left(MostMessageLength);
}

std::optional<int> RetryDelayMs(const SourceFailure& failure, bool alreadyRetried)
{
    if (failure.Kind != FailureKind::RateLimited || alreadyRetried || failure.RetryAfterSeconds < 0 ||
        failure.RetryAfterSeconds > MaxRetryWaitSeconds)
        return std::nullopt;
    return failure.RetryAfterSeconds * 1000;
}

QUrl EndpointWithQuery(const QString& endpoint, const QString& query)
{
    QUrl url(endpoint);
    const QString own = url.query(QUrl::FullyEncoded);
    url.setQuery(own.isEmpty() ? query : own + u'&' + query, QUrl::StrictMode);
    return url;
}

QString WithoutKey(QString reason, const QString& key)
{
    if (!key.isEmpty()) {
        reason.replace(key, MaskedKey(key));
        reason.replace(QString::fromLatin1(QUrl::toPercentEncoding(key)), MaskedKey(key));
    }
    return reason;
}

QString MaskedKey(const QString& key)
{
    constexpr qsizetype shown = 4;
    if (key.isEmpty())
        return u"(none)"_s;
    // A key of fewer than eight characters would give too much of itself away.
    return key.size() < 2 * shown ? u"****"_s : u"****"_s + key.right(shown);
}
