#pragma once
// The Sources page's "Test": one request of a search or authority service through the session's
// download control, or one lookup in a local rank list, told in one line of plain text.

#include "sources/SourceSettings.h"
#include "web/ServiceExchange.h"

#include <QObject>

#include <functional>

class Session;

class SourcesPageProbe : public QObject {
    Q_OBJECT
public:
    explicit SourcesPageProbe(Session& session, QObject* parent = nullptr);

    // The first page of the keyword's results. Finished comes later, from the event loop; a reply
    // that arrives after the probe has gone is dropped.
    void TestSearch(const SearchSourceSettings& settings, const QString& keyword);
    // The authority of the domain of an address.
    void TestAuthority(const AuthoritySourceSettings& settings, const QString& address);
    // The rank of a host in the imported list of the kind; no request, answered at once.
    QString TestTraffic(TrafficSourceKind kind, const QString& host) const;
    bool IsBusy() const { return busy; }

Q_SIGNALS:
    void Finished(const QString& text);

private:
    void Send(const ServiceRequest& request, const QString& key, std::function<QString(const ServiceReply&)> read);

    Session& session;
    bool busy = false;
};
