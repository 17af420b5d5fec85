#include "web/WebClient.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QUrl>

const QByteArray ProgramUserAgent = QByteArrayLiteral("Quorvex/" QUORVEX_VERSION);

namespace {

class SystemProxies : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override { return systemProxyForQuery(query); }
};

} // namespace

void UseSystemProxies(QNetworkAccessManager& network)
{
    network.setProxyFactory(new SystemProxies);
}

QString ProxyFor(const QUrl& url)
{
    const QNetworkProxy proxy = QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url)).value(0);
    if (proxy.type() == QNetworkProxy::NoProxy || proxy.type() == QNetworkProxy::DefaultProxy)
        return {};
    return proxy.hostName() + QLatin1Char(':') + QString::number(proxy.port());
}
