// The four parsers of rank replies: the PageRank service's reply ("G" for the rank run, "g" for
// the site database) and the traffic-rank site's site-information page ("A" and "a").

#include "web/Parsers.h"

#include "model/RankRunState.h"
#include "model/SiteTables.h"
#include "web/LeadingNumber.h"
#include "web/PageText.h"
#include "web/PropertySlot.h"
#include "web/StatusTexts.h"
#include "web/ThousandsText.h"

#include <optional>

namespace {

// The third colon-separated field of a reply that begins with "rank", without its line feeds,
// followed by suffix. Built in one piece: the field runs to the end of a reply without a third colon.
std::optional<QString> PageRankField(const QString& reply, QStringView suffix = {})
{
    if (!StartsWithFolded(reply, QLatin1StringView("rank")))
        return std::nullopt;
    const qsizetype first = reply.indexOf(u':');
    const qsizetype second = first < 0 ? -1 : reply.indexOf(u':', first + 1);
    if (second < 0)
        return std::nullopt;
    const qsizetype third = reply.indexOf(u':', second + 1);
    const QStringView field = QStringView(reply).sliced(second + 1, (third < 0 ? reply.size() : third) - second - 1);
    QString text;
    text.reserve(field.size() + suffix.size());
    for (QStringView rest = field; !rest.isEmpty();) {
        const qsizetype lineFeed = rest.indexOf(u'\n');
        text.append(rest.first(lineFeed < 0 ? rest.size() : lineFeed));
        rest = rest.sliced(lineFeed < 0 ? rest.size() : lineFeed + 1);
    }
    return text.append(suffix);
}

// The text between the end of the traffic-rank data division's start tag and the next "</a>".
std::optional<QString> AlexaRankText(const QString& page)
{
    const qsizetype match = FindFolded(page, QLatin1StringView("<div class=\"data"));
    if (match < 0)
        return std::nullopt;
    const qsizetype tagEnd = page.indexOf(u'>', match + 1);
    const qsizetype linkEnd = FindFolded(page, QLatin1StringView("</a>"), match);
    if (tagEnd < 0 || linkEnd < tagEnd + 1)
        return std::nullopt;
    return page.mid(tagEnd + 1, linkEnd - tagEnd - 1);
}

QString Counted(int slot, int total)
{
    return QString::number(slot + 1) + QLatin1Char('/') + QString::number(total) + QLatin1Char(' ');
}

} // namespace

bool ParseGooglePR(ParseContext& context, const QString& text, const QString& propertyName)
{
    context.ShowStatus(AnalysingPageRankText);
    QStringList& table = context.Run.PRJobPageRank;
    const std::optional<int> slot = PropertySlot(propertyName);
    if (!SlotInTable(slot, table.size()))
        return false;
    std::optional<QString> field = PageRankField(text, u"/10");
    if (!field) {
        table[*slot] = QStringLiteral("0");
        return false;
    }
    table[*slot] = std::move(*field);
    context.ShowStatus(GotPageRankText);
    return true;
}

bool ParseGooglePR1(ParseContext& context, const QString& text, const QString& propertyName)
{
    SiteTables& sites = context.Sites;
    const std::optional<int> slot = PropertySlot(propertyName);
    if (!SlotInTable(slot, sites.SitePR.size()))
        return false;
    const std::optional<QString> field = PageRankField(text);
    const std::optional<int> rank = field ? LeadingNumber(*field) : std::nullopt;
    if (!rank) {
        sites.SitePR[*slot] = 0;
        return false;
    }
    sites.SitePR[*slot] = *rank;
    context.ShowStatus(GotPageRankText + QLatin1Char(' ') + Counted(*slot, sites.WebSiteCount) +
                       QString::number(*rank) + QStringLiteral("/10"));
    return true;
}

bool ParseAlexaPR(ParseContext& context, const QString& text, const QString& propertyName)
{
    context.ShowStatus(AnalysingAlexaText);
    QStringList& table = context.Run.PRJobAlexa;
    const std::optional<int> slot = PropertySlot(propertyName);
    if (!SlotInTable(slot, table.size()))
        return false;
    const std::optional<QString> rankText = AlexaRankText(text);
    if (!rankText) {
        table[*slot] = QStringLiteral("0");
        return false;
    }
    table[*slot] = ThousandsText(*rankText);
    context.ShowStatus(GotAlexaText);
    return true;
}

bool ParseAlexaPR1(ParseContext& context, const QString& text, const QString& propertyName)
{
    SiteTables& sites = context.Sites;
    const std::optional<int> slot = PropertySlot(propertyName);
    if (!SlotInTable(slot, sites.SiteAlexa.size()))
        return false;
    const std::optional<QString> rankText = AlexaRankText(text);
    const std::optional<qint32> rank = rankText ? ThousandsNumber(ThousandsText(*rankText)) : std::nullopt;
    if (!rank) {
        sites.SiteAlexa[*slot] = 0;
        return false;
    }
    sites.SiteAlexa[*slot] = *rank;
    context.ShowStatus(GotAlexaText + QLatin1Char(' ') + Counted(*slot, sites.WebSiteCount) + QString::number(*rank));
    return true;
}
