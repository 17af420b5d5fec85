#include "cli/HistoryOutput.h"

#include "cli/TerminalText.h"
#include "history/RunHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <functional>
#include <span>

using namespace Qt::StringLiterals;

namespace {

using Row = std::array<QString, 8>;
using Pages = std::span<const PageHistoryValue>;
using Positions = std::span<const PositionHistoryValue>;

const Row Header{u"time"_s, u"url"_s, u"product"_s, u"keyword"_s, u"value"_s, u"result"_s, u"status"_s, u"depth"_s};

// The values of each run, run by run: the runs and the values are both in the order of the runs.
void ForEachRun(const HistoryData& history,
                const std::function<void(const HistoryRun& run, Pages pages, Positions positions)>& take)
{
    qsizetype page = 0;
    qsizetype position = 0;
    for (const HistoryRun& run : history.Runs) {
        const qsizetype firstPage = page;
        while (page < history.Pages.size() && history.Pages.at(page).RunId == run.Id)
            ++page;
        const qsizetype firstPosition = position;
        while (position < history.Positions.size() && history.Positions.at(position).RunId == run.Id)
            ++position;
        take(run, Pages(history.Pages.constData() + firstPage, size_t(page - firstPage)),
             Positions(history.Positions.constData() + firstPosition, size_t(position - firstPosition)));
    }
}

void ForEachRow(const HistoryData& history, const std::function<void(const Row&)>& take)
{
    const QString pageRank = u"pagerank"_s;
    const QString trafficRank = u"traffic rank"_s;
    const QString title = u"title"_s;
    const QString description = u"description"_s;
    const QString keywords = u"keywords"_s;
    const QString positionName = u"position"_s;
    const QString top10 = u"top10"_s;
    ForEachRun(history, [&](const HistoryRun& run, Pages pages, Positions positions) {
        const QString time = HistoryTimeText(run.Time);
        for (const PageHistoryValue& page : pages) {
            take({time, page.URL, {}, {}, pageRank, page.PageRank, StatusWord(page.PageRankStatus), {}});
            take({time, page.URL, {}, {}, trafficRank, page.TrafficRank, StatusWord(page.TrafficStatus), {}});
            take({time, page.URL, {}, {}, title, page.Title, {}, {}});
            take({time, page.URL, {}, {}, description, page.Description, {}, {}});
            take({time, page.URL, {}, {}, keywords, page.Keywords, {}, {}});
        }
        for (const PositionHistoryValue& value : positions) {
            const QString result = value.Status == ValueStatus::Found ? QString::number(value.Position) : QString();
            take({time, value.URL, value.Product, value.Keyword, positionName, result, StatusWord(value.Status),
                  QString::number(value.Depth)});
            take({time, value.URL, value.Product, value.Keyword, top10, value.Top10.join(QLatin1Char(' ')), {}, {}});
        }
    });
}

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled.
void AppendCsvField(QString& line, const QString& field)
{
    static const QString special = u",\"\r\n"_s;
    if (std::none_of(field.cbegin(), field.cend(), [](QChar ch) { return special.contains(ch); })) {
        line += field;
        return;
    }
    line += QLatin1Char('"');
    line += QString(field).replace(QLatin1Char('"'), u"\"\""_s);
    line += QLatin1Char('"');
}

// Rows are gathered and written in pieces, so that a year of history is not held twice.
class PieceWriter {
public:
    explicit PieceWriter(QTextStream& out) : out(out) { text.reserve(Piece + 4096); }
    ~PieceWriter() { out << text << Qt::flush; }
    QString& Text()
    {
        if (text.size() >= Piece) {
            out << text;
            text.clear();
        }
        return text;
    }

private:
    static constexpr qsizetype Piece = 1 << 20;
    QTextStream& out;
    QString text;
};

QJsonObject RunObject(const HistoryRun& run, Pages pages, Positions positions)
{
    QJsonArray pageArray;
    for (const PageHistoryValue& page : pages) {
        pageArray.append(QJsonObject{{u"url"_s, page.URL},
                                     {u"pagerank"_s, page.PageRank},
                                     {u"pagerank_status"_s, StatusWord(page.PageRankStatus)},
                                     {u"traffic_rank"_s, page.TrafficRank},
                                     {u"traffic_status"_s, StatusWord(page.TrafficStatus)},
                                     {u"title"_s, page.Title},
                                     {u"description"_s, page.Description},
                                     {u"keywords"_s, page.Keywords}});
    }
    QJsonArray records;
    for (const PositionHistoryValue& value : positions) {
        records.append(
            QJsonObject{{u"url"_s, value.URL},
                        {u"product"_s, value.Product},
                        {u"keyword"_s, value.Keyword},
                        {u"position"_s, value.Status == ValueStatus::Found ? QJsonValue(value.Position) : QJsonValue()},
                        {u"status"_s, StatusWord(value.Status)},
                        {u"depth"_s, value.Depth},
                        {u"top10"_s, QJsonArray::fromStringList(value.Top10)}});
    }
    return QJsonObject{{u"time"_s, HistoryTimeText(run.Time)},
                       {u"sources"_s, run.Sources},
                       {u"report"_s, run.ReportFile},
                       {u"pages"_s, pageArray},
                       {u"keyword_records"_s, records}};
}

} // namespace

void PrintHistoryTable(const HistoryData& history, QTextStream& out)
{
    PieceWriter writer(out);
    const auto line = [&](const Row& row) {
        QString& text = writer.Text();
        for (const QString& cell : row) {
            if (&cell != &row.front())
                text += QLatin1Char('\t');
            text += TerminalSafe(cell);
        }
        text += QLatin1Char('\n');
    };
    line(Header);
    ForEachRow(history, line);
}

void PrintHistoryCsv(const HistoryData& history, QTextStream& out)
{
    PieceWriter writer(out);
    const auto line = [&](const Row& row) {
        QString& text = writer.Text();
        for (const QString& cell : row) {
            if (&cell != &row.front())
                text += QLatin1Char(',');
            AppendCsvField(text, TerminalSafe(cell));
        }
        text += u"\r\n"_s;
    };
    line(Header);
    ForEachRow(history, line);
}

void PrintHistoryJson(const HistoryData& history, QTextStream& out)
{
    QJsonArray runs;
    ForEachRun(history, [&](const HistoryRun& run, Pages pages, Positions positions) {
        runs.append(RunObject(run, pages, positions));
    });
    out << TerminalJson(QJsonDocument(QJsonObject{{u"runs"_s, runs}})) << Qt::flush;
}

void PrintRunJson(const HistoryData& run, QTextStream& out)
{
    if (run.Runs.isEmpty())
        return;
    out << TerminalJson(
               QJsonDocument(RunObject(run.Runs.first(), Pages(run.Pages.constData(), size_t(run.Pages.size())),
                                       Positions(run.Positions.constData(), size_t(run.Positions.size())))))
        << Qt::flush;
}
