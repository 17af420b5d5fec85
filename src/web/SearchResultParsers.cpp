// The two parsers of search result pages: the site list of the keyword site database ("W") and the
// position of a monitored site among a keyword's results ("T").

#include "web/Parsers.h"

#include "model/RankRunState.h"
#include "model/SiteTables.h"
#include "web/CiteReader.h"
#include "web/LeadingNumber.h"
#include "web/NormaliseURL.h"
#include "web/PageText.h"
#include "web/ServiceAddresses.h"
#include "web/StatusTexts.h"
#include "web/TagWalk.h"

#include <QSet>

#include <algorithm>
#include <optional>

namespace {

const QString SimilarPages = QStringLiteral("similar pages");

// Encyclopaedia articles, videos and the search engine's own pages are no sites to collect for a
// keyword.
bool IsExcludedSite(QStringView firstWord)
{
    return firstWord.contains(u"en.wikipedia.org") || firstWord.contains(u"www.youtube.com") ||
           firstWord.contains(u"google");
}

// The first word of each cite element in page order; false when one has no "</cite" after it.
template <typename OnCite> bool ForEachCite(const QString& page, OnCite onCite)
{
    TagWalk walk(page);
    CiteReader cites(page);
    while (walk.Next()) {
        if (!walk.NameIs(QLatin1StringView("cite")))
            continue;
        const std::optional<CiteWords> words = cites.Read(walk.End());
        if (!words)
            return false;
        if (!onCite(*words))
            break;
    }
    return true;
}

struct SearchTag {
    int Record;
    int Page;
};

// "T" r "$" p: the record number and the page of ten.
std::optional<SearchTag> ReadSearchTag(const QString& propertyName)
{
    const qsizetype dollar = propertyName.indexOf(u'$');
    if (dollar < 1)
        return std::nullopt;
    const QStringView name(propertyName);
    const std::optional<int> record = LeadingNumber(name.sliced(1, dollar - 1));
    const std::optional<int> page = LeadingNumber(name.sliced(dollar + 1));
    if (!record || !page)
        return std::nullopt;
    return SearchTag{*record, *page};
}

// The 0-based index of the result that holds the match: the "similar pages" links that begin at
// or before it. Nothing when no such link begins after it (the match lies past the last result).
std::optional<int> ResultIndex(const QString& visible, qsizetype match)
{
    int count = 0;
    for (qsizetype at = visible.indexOf(SimilarPages); at >= 0; at = visible.indexOf(SimilarPages, at + 1)) {
        if (at > match)
            return count;
        ++count;
    }
    return std::nullopt;
}

void StorePosition(RankRunState& run, PositionJob& job, const QString& keyword, int page, int index)
{
    if (run.RunPhase == 0) {
        job.Page1 = index / 10;
        const int d = index - 10 * job.Page1;
        const int below = job.Page1 == 0 ? 0 : job.Page1 - 1;
        // The neighbour page read second is the one nearer to where the site stands on its page.
        if (d > 4) {
            job.Page2 = job.Page1 + 1;
            job.Page3 = below;
        } else {
            job.Page2 = below;
            job.Page3 = job.Page1 + 1;
        }
        return;
    }
    if (run.RunPhase == 1)
        job.Page2 = -1;
    job.Page3 = -1;
    job.Rank = page * 10 + index + 1;
    job.ViewURL = SearchResultsURL(keyword, job.SearchMarket, 10, page * 10);
}

} // namespace

bool ParseGoogleWebSiteList(ParseContext& context, const QString& text, const QString&)
{
    context.ShowStatus(WorkingText);
    SiteTables& sites = context.Sites;
    // The list holds exactly the counted sites; new ones go at index WebSiteCount.
    sites.WebSiteCount = std::max(sites.WebSiteCount, 0);
    sites.WebSiteList.resize(sites.WebSiteCount);
    QSet<QString> known;
    for (const QString& address : std::as_const(sites.WebSiteList))
        known.insert(NormaliseURL(address));
    const bool complete = ForEachCite(text, [&](const CiteWords& words) {
        if (!words.MoreWords || !words.FirstWord.contains(u'.') || IsExcludedSite(words.FirstWord))
            return true;
        const QString address = words.FirstWord.contains(u"http://") || words.FirstWord.contains(u"https://")
                                    ? words.FirstWord.toString()
                                    : QStringLiteral("http://") + words.FirstWord.toString();
        const QString site = NormaliseURL(address);
        if (!known.contains(site)) {
            known.insert(site);
            sites.WebSiteList.append(address);
            ++sites.WebSiteCount;
        }
        return true;
    });
    if (!complete)
        return false;
    context.ShowStatus(CompletedAnalysisText);
    return true;
}

bool ParseGoogleQUORVEX(ParseContext& context, const QString& text, const QString& propertyName)
{
    context.ShowStatus(WorkingText);
    RankRunState& run = context.Run;
    const std::optional<SearchTag> tag = ReadSearchTag(propertyName);
    if (!tag || tag->Record < 0 || tag->Record >= run.PositionJobs.size())
        return false;
    PositionJob& job = run.PositionJobs[tag->Record];
    // Result pages show addresses without their scheme, so the site is looked for by its host.
    const QString target = LowerCase(TrimBlanks(NormalisedHost(job.URL)).toString());
    const QString product = LowerCase(TrimBlanks(job.Product).toString());
    const QString keyword = LowerCase(TrimBlanks(job.Keyword).toString());

    if (run.RunPhase == 0) {
        int stored = 0;
        QString lastSite;
        const bool complete = ForEachCite(text, [&](const CiteWords& words) {
            if (!words.MoreWords)
                return true;
            const QString site = NormaliseURL(words.FirstWord.toString());
            if (stored == 0 || site != lastSite) {
                job.Top10[stored++] = words.FirstWord.toString();
                lastSite = site;
            }
            return stored < int(job.Top10.size());
        });
        if (!complete)
            return false;
    }

    const QString visible = LowerCase(VisibleText(text));
    qsizetype match = product.isEmpty() ? -1 : visible.indexOf(product);
    const qsizetype siteAt = target.isEmpty() ? -1 : visible.indexOf(target);
    if (siteAt >= 0 && (match < 0 || siteAt < match))
        match = siteAt;
    if (match >= 0) {
        if (const std::optional<int> index = ResultIndex(visible, match))
            StorePosition(run, job, keyword, tag->Page, *index);
    }
    context.ShowStatus(CompletedAnalysisText);
    return true;
}
