#pragma once
// What every web request of the program shares: the system's proxy settings and the User-Agent.

#include <QByteArray>

class QNetworkAccessManager;
class QString;
class QUrl;

// "Quorvex/" and the version.
extern const QByteArray ProgramUserAgent;
// Most redirects a request follows before it counts as failed.
constexpr int MostRedirects = 20;

// Makes the manager ask the system's proxy settings (http_proxy and its kin) afresh for every request.
void UseSystemProxies(QNetworkAccessManager& network);
// The proxy ("host:port") that the system's settings name for this address; empty for a direct
// connection.
QString ProxyFor(const QUrl& url);
