// The two parsers of a site's own page: its title, meta description and meta keywords, read up to
// the page's first link, for the rank run ("K", stored almost as found) and for the site database
// ("k", cleaned and shortened).

#include "web/Parsers.h"

#include "base/Names.h"
#include "base/Prompter.h"
#include "model/RankRunState.h"
#include "model/SiteTables.h"
#include "web/PageText.h"
#include "web/PropertySlot.h"
#include "web/SiteTextCleaning.h"
#include "web/StatusTexts.h"
#include "web/TagWalk.h"

#include <optional>

namespace {

const QString ExtractTitleErrorText = QStringLiteral("Extract Title error !");

// The value of the tag's content attribute: everything after "content=" but its first character
// (the opening quote), without quotes and slashes, so later attributes stay in it.
QString GetMetaContent(const QString& tagText)
{
    const qsizetype at = tagText.indexOf(QStringLiteral("content="));
    if (at < 0)
        return {};
    QString value = tagText.mid(at + 9);
    value.remove(u'"').remove(u'\'').remove(u'/');
    return TrimBlanks(value).toString();
}

enum class SummaryField { Title, Description, Keywords };

enum class WalkResult { Done, Stopped, Failed };

// Walks the page's tags up to its first link and hands each title, description and keywords value
// over as it is found. A title without a "<" after it has no end: the walk fails there.
template <typename OnValue> WalkResult WalkSummary(ParseContext& context, const QString& page, OnValue onValue)
{
    TagWalk walk(page);
    while (walk.Next()) {
        if (context.StopRequested)
            return WalkResult::Stopped;
        if (walk.NameIs(QLatin1StringView("a")))
            break;
        if (walk.NameIs(QLatin1StringView("meta"))) {
            const QString tagText = walk.Text();
            if (tagText.contains(QStringLiteral("keywords")))
                onValue(SummaryField::Keywords, GetMetaContent(tagText));
            else if (tagText.contains(QStringLiteral("description")))
                onValue(SummaryField::Description, GetMetaContent(tagText));
        } else if (walk.NameIs(QLatin1StringView("title"))) {
            const qsizetype next = page.indexOf(u'<', walk.End() + 1);
            if (next < 0)
                return WalkResult::Failed;
            onValue(SummaryField::Title, page.mid(walk.End() + 1, next - walk.End() - 1));
        }
    }
    return WalkResult::Done;
}

QString StoredSiteText(const QString& value)
{
    return LowerCase(TrimBlanks(value).toString());
}

QString SiteDescriptionOf(QString value)
{
    value.remove(u'\'');
    if (value.contains(u'<') || value.contains(u'>'))
        return {};
    return StoredSiteText(ShortenAtBlank(CleanSiteText(value), DescriptionLimit));
}

QString SiteKeywordsOf(QString value)
{
    value.remove(u'\'');
    QStringList pieces = CleanSiteText(value).split(u',');
    for (QString& piece : pieces)
        piece = TrimBlanks(piece).toString();
    return StoredSiteText(ShortenKeywords(pieces.join(u',')));
}

QString SiteTitleOf(QString value)
{
    value.remove(u'\'');
    return StoredSiteText(ShortenAtBlank(CleanSiteText(value), TitleLimit));
}

} // namespace

bool ExtractTitle(ParseContext& context, const QString& text, const QString& propertyName)
{
    context.ShowStatus(WorkingText);
    RankRunState& run = context.Run;
    const std::optional<int> slot = PropertySlot(propertyName);
    bool stored = true;
    const WalkResult walked = WalkSummary(context, text, [&](SummaryField field, const QString& value) {
        QStringList& table = field == SummaryField::Title         ? run.PRJobTitle
                             : field == SummaryField::Description ? run.PRJobDescription
                                                                  : run.PRJobKeywords;
        if (!stored || !SlotInTable(slot, table.size())) {
            stored = false;
            return;
        }
        table[*slot] = value;
    });
    if (walked != WalkResult::Done || !stored)
        return false;
    context.ShowStatus(CompletedAnalysisText);
    return true;
}

bool ExtractTitle1(ParseContext& context, const QString& text, const QString& propertyName)
{
    SiteTables& sites = context.Sites;
    const std::optional<int> slot = PropertySlot(propertyName);
    const bool slotValid = SlotInTable(slot, sites.SiteTitle.size()) &&
                           SlotInTable(slot, sites.SiteDescription.size()) &&
                           SlotInTable(slot, sites.SiteKeyword.size());
    const auto failed = [&] {
        context.Prompt.ShowMessage(ExtractTitleErrorText, MessageIcon::Exclamation, AppTitle);
        return false;
    };
    if (!slotValid)
        return failed();
    const int s = *slot;
    const WalkResult walked = WalkSummary(context, text, [&](SummaryField field, const QString& value) {
        switch (field) {
        case SummaryField::Title:
            sites.SiteTitle[s] = SiteTitleOf(value);
            break;
        case SummaryField::Description:
            sites.SiteDescription[s] = SiteDescriptionOf(value);
            break;
        case SummaryField::Keywords:
            sites.SiteKeyword[s] = SiteKeywordsOf(value);
            break;
        }
    });
    if (walked == WalkResult::Stopped)
        return false;
    if (walked == WalkResult::Failed)
        return failed();
    if (sites.SiteTitle[s].isEmpty())
        sites.SiteTitle[s] = StoredSiteText(sites.CurrentSearch);
    // A page without a description is described by the text it shows.
    if (sites.SiteDescription[s].isEmpty())
        sites.SiteDescription[s] = SiteDescriptionOf(VisibleText(text));
    ++sites.TitlesDone;
    context.ShowStatus(CompletedTitleText + QString::number(sites.TitlesDone) + QLatin1Char('/') +
                       QString::number(sites.WebSiteCount));
    return true;
}
