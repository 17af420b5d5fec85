// The generated pages. Every number on a page comes from a fingerprint of the request, so pages
// differ between addresses and keywords but never between two requests for the same address.

#include "PageGenerator.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {

// FNV-1a over the UTF-8 bytes of the lower-cased text.
quint32 Fingerprint(const QString& text)
{
    quint32 hash = 2166136261u;
    for (const char byte : text.toLower().toUtf8()) {
        hash ^= static_cast<quint8>(byte);
        hash *= 16777619u;
    }
    return hash;
}

// Search results come from a pool of invented hosts under the reserved .example domain.
constexpr std::array<const char*, 16> HostFirst = {"blue",  "red",   "green",  "silver", "north",  "sun",
                                                   "river", "stone", "maple",  "cedar",  "harbor", "bright",
                                                   "swift", "quiet", "golden", "iron"};
constexpr std::array<const char*, 15> HostSecond = {"fern",   "field", "works", "garden", "market",
                                                    "studio", "labs",  "point", "craft",  "trail",
                                                    "media",  "forge", "press", "nest",   "wave"};
constexpr int HostCount = int(HostFirst.size() * HostSecond.size());
// Steps prime to HostCount, so the first HostCount results of a keyword are all different hosts.
constexpr std::array<int, 16> HostSteps = {7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 49, 53, 59, 61};

// The day the searches are answered for: 0 unless SetGeneratedDay said otherwise.
int generatedDay = 0;

const QString SiteInfoPath = QStringLiteral("/siteinfo/");
const QString TrancoListPath = QStringLiteral("/tranco-demo.csv");

constexpr std::array<const char*, 8> Taglines = {
    "Tools and advice for every season", "Independent reviews since 1998", "Quality goods delivered to your door",
    "News, guides and a friendly forum", "Handmade in small batches",      "Your local experts",
    "Free quotes within a day",          "The community for enthusiasts"};
constexpr std::array<const char*, 12> Topics = {"garden", "tools",  "reviews", "prices", "repair", "travel",
                                                "design", "crafts", "outdoor", "home",   "music",  "books"};

QString Capitalised(const QString& word)
{
    return word.isEmpty() ? word : word.left(1).toUpper() + word.mid(1);
}

QString PoolHost(int index)
{
    return QStringLiteral("www.%1%2.example")
        .arg(QLatin1String(HostFirst[index / HostSecond.size()]), QLatin1String(HostSecond[index % HostSecond.size()]));
}

// "www.bluefern.example" reads "Blue Fern"; any other host its first name part, "www.example.com" "Example".
QString SiteName(const QString& host)
{
    for (int index = 0; index < HostCount; ++index) {
        if (PoolHost(index) == host)
            return Capitalised(QLatin1String(HostFirst[index / HostSecond.size()])) + QLatin1Char(' ') +
                   Capitalised(QLatin1String(HostSecond[index % HostSecond.size()]));
    }
    QStringList labels = host.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (labels.size() > 2 && labels.first() == QLatin1String("www"))
        labels.removeFirst();
    return labels.isEmpty() ? QStringLiteral("Home") : Capitalised(labels.first());
}

// A query value as a browser would have sent it: "+" for blanks, the rest percent-encoded.
QString QueryValue(const QUrl& url, const QString& key)
{
    const QStringList pairs = url.query(QUrl::FullyEncoded).split(QLatin1Char('&'));
    for (const QString& pair : pairs) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals < 0 || pair.left(equals) != key)
            continue;
        QString value = pair.mid(equals + 1);
        value.replace(QLatin1Char('+'), QLatin1Char(' '));
        return QUrl::fromPercentEncoding(value.toUtf8());
    }
    return {};
}

int QueryNumber(const QUrl& url, const QString& key, int fallback, int lowest, int highest)
{
    bool ok = false;
    const int value = QueryValue(url, key).toInt(&ok);
    return ok ? qBound(lowest, value, highest) : fallback;
}

CannedReply Page(const QString& html)
{
    CannedReply reply;
    reply.ContentType = "text/html; charset=utf-8";
    reply.Body = html.toUtf8();
    return reply;
}

// 201 to 239 results: a collection in pages of 100 reads three pages and ends with the fourth, and
// every result of a keyword is a different host of the pool.
int ResultCount(const QString& keyword)
{
    return 201 + int(Fingerprint(keyword) % (HostCount - 201));
}

// Letters and digits of the keyword joined by "-", for result page names.
QString Slug(const QString& keyword)
{
    QString slug;
    for (const QChar c : keyword.toLower()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c.isDigit())
            slug += c;
        else if (!slug.isEmpty() && !slug.endsWith(QLatin1Char('-')))
            slug += QLatin1Char('-');
    }
    while (slug.endsWith(QLatin1Char('-')))
        slug.chop(1);
    return slug.isEmpty() ? QStringLiteral("page") : slug;
}

// The host of the search result at 0-based position index for keyword. Each day later moves every
// result of a keyword the same few places up or down; a result moved above the first place comes
// back at the end of the list, beyond the results the keyword has.
QString ResultHost(const QString& keyword, int index)
{
    const quint32 print = Fingerprint(keyword);
    const int step = HostSteps[(print >> 8) % HostSteps.size()];
    const int drift = (int((print >> 20) % 5) - 2) * 5; // 10 or 5 places up or down a day, or none
    const qint64 first = (qint64(print % HostCount) + qint64(generatedDay) * drift * step) % HostCount;
    return PoolHost(int((first + HostCount + qint64(index) * step) % HostCount));
}

QString SearchResult(const QString& keyword, int index)
{
    const QString host = ResultHost(keyword, index);
    const quint32 print = Fingerprint(keyword + QLatin1Char('#') + QString::number(index));
    const QString page = print % 3 == 0 ? QString() : Slug(keyword) + QStringLiteral(".html");
    const QString shownPage = page.isEmpty() ? QString() : QStringLiteral("<b>%1</b>.html").arg(Slug(keyword));
    const QString address = host + QLatin1Char('/') + page;
    const QString name = SiteName(host);
    const QString words = keyword.toHtmlEscaped();
    return QStringLiteral("<li class=g><h3 class=r><a href=\"http://%1\" class=l>%2: <em>%3</em></a></h3>"
                          "<div class=\"s\"><em>%3</em> at %2. %4. Prices, guides and news about <em>%3</em>"
                          " <b>...</b><br><cite>%5/%6 - %7k - </cite><span class=gl>"
                          "<a href=\"/search?q=cache:%8:%1+%9&amp;hl=en\">Cached</a> - "
                          "<a href=\"/search?hl=en&amp;q=related:%1\">Similar pages</a></span></div>\n")
        .arg(address, name, words, QLatin1String(Taglines[print % Taglines.size()]), host, shownPage,
             QString::number(3 + print % 60), QString::number(print, 16),
             QString::fromLatin1(QUrl::toPercentEncoding(keyword)));
}

CannedReply SearchPage(const QUrl& url)
{
    const QString keyword = QueryValue(url, QStringLiteral("q")).simplified();
    const int num = QueryNumber(url, QStringLiteral("num"), 10, 1, 100);
    const int start = QueryNumber(url, QStringLiteral("start"), 0, 0, 1000);
    const int total = ResultCount(keyword);
    const int end = qMin(start + num, total);
    const QString words = keyword.toHtmlEscaped();

    QString html = QStringLiteral("<html><head><meta http-equiv=content-type content=\"text/html; charset=UTF-8\">"
                                  "<title>%1 - Search Results</title>\n"
                                  "<style>body,td,a,p{font-family:arial,sans-serif} .g{margin:1em 0} "
                                  "cite{color:#0E774A;font-style:normal}</style>\n"
                                  "<script>var page={id:\"%2\"};</script></head><body>\n")
                       .arg(words, QString::number(Fingerprint(keyword), 16));
    if (start >= total) {
        html += QStringLiteral("<p>Your search - <b>%1</b> - did not match any more documents.</p>\n").arg(words);
    } else {
        html += QStringLiteral("<div id=ssb><p>Results <b>%1</b> - <b>%2</b> of about <b>%3</b> for <b>%4</b>.</p>"
                               "</div>\n<div id=res><ol>\n")
                    .arg(QString::number(start + 1), QString::number(end), QString::number(total), words);
        for (int index = start; index < end; ++index)
            html += SearchResult(keyword, index);
        html += QStringLiteral("</ol></div>\n");
        if (end < total)
            html += QStringLiteral("<div id=nav><a href=\"/search?hl=en&amp;q=%1&amp;num=%2&amp;start=%3\">Next</a>"
                                   "</div>\n")
                        .arg(QString::fromLatin1(QUrl::toPercentEncoding(keyword)), QString::number(num),
                             QString::number(end));
    }
    html += QStringLiteral("</body></html>\n");
    return Page(html);
}

// The reply of the PageRank service for "q=info:" + address; no reply text for any other query.
CannedReply PageRankReply(const QUrl& url)
{
    CannedReply reply;
    reply.ContentType = "text/html; charset=ISO-8859-1";
    const QString query = QueryValue(url, QStringLiteral("q"));
    if (query.startsWith(QLatin1String("info:")) && query.size() > 5)
        reply.Body = "Rank_1:1:" + QByteArray::number(Fingerprint(query.mid(5)) % 11) + '\n';
    return reply;
}

CannedReply TrafficRankPage(const QUrl& url)
{
    QString address = url.path(QUrl::FullyDecoded).mid(SiteInfoPath.size());
    if (url.hasQuery())
        address += QLatin1Char('?') + url.query(QUrl::FullyDecoded);
    const QString shown = address.toHtmlEscaped();
    QString html = QStringLiteral("<html><head><title>%1 - Site Information</title>\n"
                                  "<script>var site=\"%2\";</script></head><body>\n"
                                  "<h1>Site information for %1</h1>\n")
                       .arg(shown, QString::number(Fingerprint(address), 16));
    if (address.isEmpty()) {
        html += QStringLiteral("<p>No site given.</p>\n");
    } else {
        const quint32 print = Fingerprint(address);
        const qint64 rank = 1 + print % 2500000;
        html += QStringLiteral("<div id=\"trafficRank\"><h2>Traffic Rank</h2>\n"
                               "<a href=\"/siteinfo/%1#trafficstats\"><div class=\"data %2\">%3</a></div>\n"
                               "<p>Rank from three months of visits.</p></div>\n")
                    .arg(shown, print & 1 ? QStringLiteral("up") : QStringLiteral("down"),
                         QLocale(QLocale::English).toString(rank));
    }
    html += QStringLiteral("</body></html>\n");
    return Page(html);
}

CannedReply SitePage(const QUrl& url)
{
    const QString host = url.host().toLower();
    const QString name = SiteName(host).toHtmlEscaped();
    const quint32 print = Fingerprint(host);
    const QString tagline = QLatin1String(Taglines[print % Taglines.size()]);
    const QString topic = QLatin1String(Topics[print % Topics.size()]);
    const QString description =
        QStringLiteral("%1: %2. Everything about %3, with pictures and prices.").arg(name, tagline, topic);
    const QString keywords = QStringLiteral("%1, %2, %3 %4")
                                 .arg(name.toLower(), topic, QLatin1String(Topics[(print >> 8) % Topics.size()]),
                                      QLatin1String(Topics[(print >> 16) % Topics.size()]));
    return Page(QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
                               "<title>%1 - %2</title>\n"
                               "<meta name=\"description\" content=\"%3\">\n"
                               "<meta name=\"keywords\" content=\"%4\">\n"
                               "<style>body{font-family:sans-serif}</style></head>\n"
                               "<body><h1>%1</h1><p>%3</p>\n"
                               "<p><a href=\"/about.html\">About %1</a> | <a href=\"/contact.html\">Contact</a></p>\n"
                               "</body></html>\n")
                    .arg(name, tagline, description, keywords));
}

} // namespace

QByteArray GeneratedTrancoList()
{
    // The sites in the order of their fingerprints, ranks apart by a few thousand as in a list of a
    // million sites; about one site in nine is left out.
    QList<std::pair<quint32, QString>> sites;
    for (int index = 0; index < HostCount; ++index) {
        const QString domain = PoolHost(index).mid(4);
        sites.append({Fingerprint(domain), domain});
    }
    std::sort(sites.begin(), sites.end());
    QByteArray list;
    qint64 rank = 0;
    for (const auto& [print, domain] : sites) {
        rank += 1 + (print >> 8) % 4000;
        if (print % 9 != 0)
            list += QByteArray::number(rank) + ',' + domain.toLatin1() + "\r\n";
    }
    return list;
}

CannedReply GeneratedReply(const QUrl& url)
{
    const QString path = url.path();
    if (path == TrancoListPath) {
        CannedReply list;
        list.ContentType = "text/csv";
        list.Body = GeneratedTrancoList();
        return list;
    }
    if (path == QLatin1String("/search"))
        return SearchPage(url);
    if (path == QLatin1String("/tbr") && QueryValue(url, QStringLiteral("features")) == QLatin1String("Rank"))
        return PageRankReply(url);
    if (path.startsWith(SiteInfoPath))
        return TrafficRankPage(url);
    return SitePage(url);
}

void SetGeneratedDay(int day)
{
    generatedDay = day;
}

int GeneratedResultCount(const QString& keyword)
{
    return ResultCount(keyword);
}

QString GeneratedResultHost(const QString& keyword, int index)
{
    return ResultHost(keyword, index);
}

quint32 GeneratedFingerprint(const QString& text)
{
    return Fingerprint(text);
}
