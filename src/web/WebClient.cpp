#include "web/WebClient.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>

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
