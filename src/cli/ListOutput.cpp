#include "cli/ListOutput.h"

#include "base/TerminalText.h"
#include "cli/CliStart.h"
#include "model/AppState.h"
#include "sitedb/DirectorySettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject MarketJson(const Market& market)
{
    return {{QStringLiteral("country"), market.Country},
            {QStringLiteral("language"), market.Language},
            {QStringLiteral("device"), market.Device},
            {QStringLiteral("location"), market.Location}};
}

// The market an entry is searched in, marked when it is the default's.
QString EntryMarketText(const QuorvexEntry& entry, const Market& fallback)
{
    return entry.OwnMarket.IsEmpty() ? QStringLiteral("default (%1)").arg(MarketText(fallback))
                                     : MarketText(entry.OwnMarket);
}

QString CheckMark(int flag)
{
    return flag == 1 ? QStringLiteral("[x]") : QStringLiteral("[ ]");
}

QString OnOff(bool value)
{
    return value ? QStringLiteral("on") : QStringLiteral("off");
}

} // namespace

void PrintLists(const AppState& state, bool json)
{
    const ListState& lists = state.Lists;
    if (json) {
        QJsonArray pages;
        for (int n = 1; n <= lists.PRURLCount(); ++n) {
            const PRURLEntry& e = lists.PRURLList.at(n - 1);
            pages.append(QJsonObject{{QStringLiteral("number"), n},
                                     {QStringLiteral("url"), e.URL},
                                     {QStringLiteral("checked"), e.Checked == 1}});
        }
        QJsonArray keywords;
        for (int n = 1; n <= lists.QuorvexCount(); ++n) {
            const QuorvexEntry& e = lists.QuorvexList.at(n - 1);
            keywords.append(
                QJsonObject{{QStringLiteral("number"), n},
                            {QStringLiteral("url"), e.URL},
                            {QStringLiteral("product"), e.Product},
                            {QStringLiteral("keywords"), e.Keyword},
                            {QStringLiteral("checked"), e.Checked == 1},
                            {QStringLiteral("market"), MarketJson(EffectiveMarket(e.OwnMarket, lists.DefaultMarket))},
                            {QStringLiteral("market_is_default"), e.OwnMarket.IsEmpty()}});
        }
        const QJsonObject root{{QStringLiteral("pages"), pages},
                               {QStringLiteral("keywords"), keywords},
                               {QStringLiteral("extract_keyword"), lists.CheckExtractKeyword},
                               {QStringLiteral("top10"), lists.TOP10List},
                               {QStringLiteral("default_market"), MarketJson(lists.DefaultMarket)},
                               {QStringLiteral("export_base"), ReadDirectoryBase(state.Settings)}};
        Out() << TerminalJson(QJsonDocument(root)) << Qt::flush;
        return;
    }
    Out() << "Page Rank (Extract Keyword: " << OnOff(lists.CheckExtractKeyword) << ")\n";
    for (int n = 1; n <= lists.PRURLCount(); ++n) {
        const PRURLEntry& e = lists.PRURLList.at(n - 1);
        Out() << QStringLiteral("%1 ").arg(n, 4) << CheckMark(e.Checked) << ' ' << TerminalSafe(e.URL) << '\n';
    }
    Out() << "QUORVEX (TOP 10 Sites List: " << OnOff(lists.TOP10List) << ")\n";
    for (int n = 1; n <= lists.QuorvexCount(); ++n) {
        const QuorvexEntry& e = lists.QuorvexList.at(n - 1);
        Out() << QStringLiteral("%1 ").arg(n, 4) << CheckMark(e.Checked) << ' ' << TerminalSafe(e.URL)
              << "  product: " << TerminalSafe(e.Product) << "  keywords: " << TerminalSafe(e.Keyword)
              << "  market: " << TerminalSafe(EntryMarketText(e, lists.DefaultMarket)) << '\n';
    }
    Out() << "Default market: " << TerminalSafe(MarketText(lists.DefaultMarket)) << '\n';
    Out() << "Directory address: " << TerminalSafe(ReadDirectoryBase(state.Settings)) << '\n';
    Out().flush();
}
