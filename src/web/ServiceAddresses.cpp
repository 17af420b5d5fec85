#include "web/ServiceAddresses.h"

#include "base/Scrambler.h"
#include "web/PageRankCheckSum.h"

#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace {

// Each address is kept as two scrambled pieces.
struct ScrambledPieces {
    const char* First;
    const char* Second;
};

constexpr ScrambledPieces SearchPrefixPieces{R"~(%:t33yE_d;:(:2FAN"ep])~", R"~(K9e$kN~'U0I&9HPq)~"};
constexpr ScrambledPieces PageRankPrefixPieces{R"~(%:t33yE\\3x#,5PJNfkfcWv.qV1TIa1^)~",
                                               R"~(K:b58N#QR2!]9$U8U]godVp4v^JR$;)~"};
constexpr ScrambledPieces PageRankMiddlePieces{R"~(B,e$m`)M``^"9.)~", R"~(B7=,gQ&")~"};
constexpr ScrambledPieces AlexaPieces{R"~(%:t33yE_d;:"7(W6vWqn)~", R"~(K9i7^T%N\R)~"};

QString Unscrambled(const ScrambledPieces& pieces)
{
    const QString key = QLatin1String(ScrambleKey);
    return UnscrambleText(key, QLatin1String(pieces.First)) + UnscrambleText(key, QLatin1String(pieces.Second));
}

// The prefix with its interface language in place of its own, the query keys in their order, so
// that the prefix still ends at the query parameter.
QString SearchPrefixIn(const QString& language)
{
    if (language.isEmpty())
        return SearchPrefix();
    QUrl url(SearchPrefix());
    QUrlQuery query(url);
    QList<std::pair<QString, QString>> items = query.queryItems();
    for (auto& [name, value] : items) {
        if (name == QLatin1String("hl"))
            value = language;
    }
    query.setQueryItems(items);
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

} // namespace

QString SearchPrefix()
{
    return Unscrambled(SearchPrefixPieces);
}

QString SearchQueryValue(const QString& keyword)
{
    QStringList words = keyword.split(QLatin1Char(' '));
    for (QString& word : words)
        word = QString::fromLatin1(QUrl::toPercentEncoding(word));
    return words.join(QLatin1Char('+'));
}

QString QueryItemsText(const QList<std::pair<QString, QString>>& items)
{
    QString text;
    for (const auto& [name, value] : items) {
        if (!value.isEmpty())
            text += QLatin1Char('&') + name + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(value));
    }
    return text;
}

QString SearchResultsURL(const QString& keyword, const Market& market, int num, int start)
{
    return SearchPrefixIn(market.Language) + SearchQueryValue(keyword) +
           QStringLiteral("&btnG=Google+Search&num=%1&start=%2").arg(num).arg(start) +
           QueryItemsText({{QStringLiteral("gl"), market.Country}});
}

QString PageRankQueryPrefix()
{
    return Unscrambled(PageRankPrefixPieces);
}

QString PageRankQueryMiddle()
{
    return Unscrambled(PageRankMiddlePieces);
}

QString PageRankQueryURL(const QString& address)
{
    return PageRankQueryPrefix() + GetPageRankCheckSum(address) + PageRankQueryMiddle() + address;
}

QString AlexaSiteInfoURL(const QString& address)
{
    return Unscrambled(AlexaPieces) + address;
}

QString MakerPageURL()
{
    return QStringLiteral("http://www.quorvex.example/");
}
