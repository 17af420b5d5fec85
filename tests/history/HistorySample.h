#pragma once
// A history of three daily runs whose keyword records rise, fall, get lost, fail, come new or are
// never found, and whose texts try to become markup.

#include "history/HistoryData.h"

inline HistoryData ThreeRunHistory()
{
    using namespace Qt::StringLiterals;
    using enum ValueStatus;
    HistoryData history;
    for (int day = 8; day <= 10; ++day) {
        const QDateTime time(QDate(2026, 12, day), QTime(9, 30));
        history.Runs.append({day, time, u"historical"_s, u"Report202612%1.htm"_s.arg(day, 2, 10, QLatin1Char('0'))});
    }
    struct Record {
        QString URL, Product, Keyword;
        QList<std::pair<int, ValueStatus>> Values; // positions of runs 8, 9 and 10, or fewer for the last runs
        int Depth = 100;
    };
    const QList<Record> records{
        {u"http://www.alpha.com"_s, u"Widget"_s, u"seo tools"_s, {{8, Found}, {5, Found}, {2, Found}}},
        {u"http://www.alpha.com"_s, u"Widget"_s, u"page rank"_s, {{3, Found}, {4, Found}, {6, Found}}},
        {u"http://beta.org/shop"_s, {}, u"blue widgets"_s, {{7, Found}, {9, Found}, {0, NotRanked}}, 10},
        {u"http://beta.org/shop"_s, {}, u"<script>\"x\"</script>"_s, {{0, NotRanked}, {0, Failed}, {4, Found}}},
        {u"http://gamma.net"_s, u"caf\u00E9"_s, u"cheap"_s, {{1, Found}, {1, Found}, {0, Failed}}},
        {u"http://gamma.net"_s, {}, u"nowhere"_s, {{0, NotRanked}, {0, NotRanked}, {0, NotRanked}}},
        {u"http://gamma.net"_s, {}, u"late"_s, {{12, Found}}},
    };
    for (int run = 0; run < 3; ++run) {
        const qint64 id = history.Runs.at(run).Id;
        // The authority of the last run could not be asked.
        const bool failed = run == 2;
        history.Pages.append({id,
                              u"http://www.alpha.com"_s,
                              failed ? u"Failed"_s : u"%1/10"_s.arg(3 + run),
                              failed ? Failed : Found,
                              u"12,34%1"_s.arg(run),
                              Found,
                              u"Alpha"_s,
                              {},
                              {}});
        history.Pages.append({id,
                              u"http://beta.org/shop"_s,
                              u"0/10"_s,
                              NotRanked,
                              u"not ranked"_s,
                              NotRanked,
                              u"<b>bold</b> & \"q\""_s,
                              {},
                              {}});
        for (const Record& record : records) {
            const qsizetype at = run - (3 - record.Values.size());
            if (at < 0)
                continue;
            const auto [position, status] = record.Values.at(at);
            history.Positions.append(
                {id, record.URL, record.Product, record.Keyword, {}, position, status, record.Depth, {}});
        }
    }
    return history;
}
