#pragma once
// What every source reads the same way in a service's reply: the HTTP status, a rate limit's
// Retry-After, the JSON body, and whether a failure is worth one more request after a wait.

#include "sources/SourceFailure.h"
#include "web/ServiceExchange.h"

#include <QDateTime>
#include <QJsonObject>
#include <QUrl>

#include <optional>
#include <variant>

// A 429 is waited out once, and only when the service asks for at most this long.
inline constexpr int MaxRetryWaitSeconds = 60;

// The failure that the reply's status, or the lack of a reply, stands for; nothing for 2xx.
// message is the service's own error text, when it gave one.
std::optional<SourceFailure> StatusFailure(const ServiceReply& reply, const QString& message,
                                           const QDateTime& now = QDateTime::currentDateTimeUtc());
// Retry-After as seconds or as an HTTP date; -1 when absent or unreadable.
int RetryAfterSeconds(const QByteArray& header, const QDateTime& now);
// The failure of a reply that is JSON, but not of the shape the service documents.
SourceFailure WrongShapeFailure(int httpStatus = 200);
// The body as a JSON object: Malformed when it is not JSON, WrongShape when it is not an object.
std::variant<QJsonObject, SourceFailure> JsonObjectOf(const QByteArray& body);
// The error text a service puts in its JSON body ("error", "message", or "error.code"); empty if none.
QString ServiceMessage(const QByteArray& body);
// The wait before asking again: a 429 that asked for at most MaxRetryWaitSeconds, not retried yet.
std::optional<int> RetryDelayMs(const SourceFailure& failure, bool alreadyRetried);
// The endpoint with query appended to any query of its own.
QUrl EndpointWithQuery(const QString& endpoint, const QString& query);
// The reason with every occurrence of the key replaced, so that no text shows it.
QString WithoutKey(QString reason, const QString& key);
// The key as it may be shown: "****" and its last four characters, or "****" alone when it is too
// short to show any part of it; "(none)" when there is none.
QString MaskedKey(const QString& key);
