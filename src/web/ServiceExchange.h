#pragma once
// One request to a data service as its source built it, and the service's reply whole, whatever
// its status, so that the source itself can tell a value, a miss and a failure apart.

#include <QByteArray>
#include <QList>
#include <QNetworkRequest>
#include <QString>

#include <utility>

struct ServiceRequest {
    QByteArray Verb = "GET";
    QNetworkRequest Request; // the address with its query, and the service's headers
    QByteArray Body;
};

struct ServiceReply {
    int HttpStatus = 0; // 0: no reply came (refused, unknown host, time-out, over the bounds)
    QList<std::pair<QByteArray, QByteArray>> Headers;
    QByteArray Body;
    QString TransportError; // why no reply came; never the address, which may carry a key

    // The first header of that name, compared without case; empty when absent.
    QByteArray Header(const QByteArray& name) const
    {
        for (const auto& [key, value] : Headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return {};
    }
};
