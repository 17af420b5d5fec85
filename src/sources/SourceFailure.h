#pragma once
// How a data source tells a failure apart from "not found": what went wrong, in words for the
// status bar and the command line (never holding a key), and the wait a rate limit asked for.

#include <QString>

enum class FailureKind {
    NoReply,     // refused, unknown host, time-out, over the download's bounds
    HttpError,   // an error status other than those below
    BadKey,      // 401 or 403: the service refuses the key (or, for a metasearch instance, the format)
    RateLimited, // 429
    Malformed,   // the body is not JSON
    WrongShape,  // JSON, but not of the service's shape
    NoAddress,   // a result without its address
    Refused,     // the service answered, but said it could not serve the request
};

struct SourceFailure {
    FailureKind Kind = FailureKind::HttpError;
    QString Reason;
    int HttpStatus = 0;
    int RetryAfterSeconds = -1; // a 429's Retry-After; -1 when none was given or it was unreadable
};

// After such a failure the source gets no more requests in that run: the caller keeps that flag.
inline bool EndsSourceForRun(const SourceFailure& failure)
{
    return failure.Kind == FailureKind::BadKey;
}
