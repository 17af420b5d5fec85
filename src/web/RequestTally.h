#pragma once
// What one run asked of the web: the requests it sent and, by kind letter, those that ended
// without a page. A run shows it at its end, so that a run whose requests failed does not pass
// for a run of unranked pages.

#include <QChar>
#include <QMap>
#include <QString>

#include <numeric>

struct RequestTally {
    int Sent = 0;
    QMap<QChar, int> FailedByKind; // by the first letter of the download key

    void CountSent() { ++Sent; }
    void CountFailed(const QString& propertyName)
    {
        if (!propertyName.isEmpty())
            ++FailedByKind[propertyName.front()];
    }
    int Failed() const { return std::accumulate(FailedByKind.cbegin(), FailedByKind.cend(), 0); }
    int FailedOfKind(QChar kind) const { return FailedByKind.value(kind); }
    // "Quorvex completed: N requests, K failed"
    QString CompletedText() const
    {
        return QStringLiteral("Quorvex completed: %1 requests, %2 failed").arg(Sent).arg(Failed());
    }
};
