// Reduces an address to the address of its site: scheme, "://" and host, nothing after.

#include "web/NormaliseURL.h"

#include "web/PageText.h"

namespace {

const QString Http = QStringLiteral("http://");
const QString Https = QStringLiteral("https://");

// The address's scheme and the text after it; an address without either scheme counts as http.
struct SchemeAndRest {
    const QString& Scheme;
    QStringView Rest;
};

SchemeAndRest SplitScheme(const QString& address)
{
    if (StartsWithFolded(address, QLatin1StringView("https://")))
        return {Https, QStringView(address).sliced(Https.size())};
    if (StartsWithFolded(address, QLatin1StringView("http://")))
        return {Http, QStringView(address).sliced(Http.size())};
    return {Http, QStringView(address)};
}

QStringView HostOf(QStringView rest)
{
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    return slash < 0 ? rest : rest.first(slash);
}

} // namespace

QString NormaliseURL(const QString& address)
{
    const SchemeAndRest parts = SplitScheme(address);
    return parts.Scheme + HostOf(parts.Rest).toString();
}

QString NormalisedHost(const QString& address)
{
    return HostOf(SplitScheme(address).Rest).toString();
}
