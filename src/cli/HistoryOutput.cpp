#include "cli/HistoryOutput.h"

#include "app/TerminalText.h"
#include "history/HistoryStore.h"
#include "history/RunHistory.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled.
QString CsvField(const QString& field)
{
    static const QString special = u",\"\r\n"_s;
    if (std::none_of(field.cbegin(), field.cend(), [](QChar ch) { return special.contains(ch); }))
        return field;
    return QLatin1Char('"') + QString(field).replace(QLatin1Char('"'), u"\"\""_s) + QLatin1Char('"');
}

// The bytes a text may hold to be printed as it is: printable ASCII, in CSV but the comma and the quote.
constexpr std::array<bool, 256> PlainBytes(bool csv)
{
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7f; ++c)
        plain[size_t(c)] = !(csv && (c == ',' || c == '"'));
    return plain;
}
constexpr std::array<bool, 256> PlainInTable = PlainBytes(false);
constexpr std::array<bool, 256> PlainInCsv = PlainBytes(true);

// The rows of the table or the CSV, one per value and run, written as they are read in pieces of
// about a megabyte, so that a year of history is never held in memory. Columns: time, url,
// product, keyword, value, result, status, depth. A page gives a row for each of its five values,
// a keyword record one for its position and one for its top10.
class RowPrinter : public HistoryReader {
public:
    RowPrinter(QTextStream& out, bool csv) : out(out), csv(csv)
    {
        piece.reserve(Piece + 65536);
        for (const char* name : {"time", "url", "product", "keyword", "value", "result", "status", "depth"})
            Cell(name);
        EndRow();
    }
    ~RowPrinter() override { Write(); }

    void Run(const HistoryRun& run) override { time = HistoryTimeText(run.Time).toUtf8(); }
    void Page(const StoredPage& page) override
    {
        PageRow(page, "pagerank", page.PageRank, StatusWord(page.PageRankStatus));
        PageRow(page, "traffic rank", page.TrafficRank, StatusWord(page.TrafficStatus));
        PageRow(page, "title", page.Title, {});
        PageRow(page, "description", page.Description, {});
        PageRow(page, "keywords", page.Keywords, {});
    }
    void Position(const StoredPosition& value) override
    {
        RecordCells(value, "position");
        Cell(value.Status == ValueStatus::Found ? QByteArray::number(value.Position) : QByteArray());
        Cell(StatusWord(value.Status));
        Cell(QByteArray::number(value.Depth));
        EndRow();
        RecordCells(value, "top10");
        Text(Top10Line(value.Top10));
        Blank();
        Blank();
        EndRow();
    }

private:
    static constexpr qsizetype Piece = 1 << 20;

    void PageRow(const StoredPage& page, const char* value, QByteArrayView result, QLatin1StringView status)
    {
        Cell(time);
        Text(page.URL);
        Blank();
        Blank();
        Cell(value);
        Text(result);
        Cell(status);
        Blank();
        EndRow();
    }
    void RecordCells(const StoredPosition& value, const char* name)
    {
        Cell(time);
        Text(value.URL);
        Text(value.Product);
        Text(value.Keyword);
        Cell(name);
    }

    // A text of the history, UTF-8. Most are printable ASCII with nothing to quote, and go as they are.
    void Text(QByteArrayView text)
    {
        const std::array<bool, 256>& plainByte = csv ? PlainInCsv : PlainInTable;
        const bool plain = std::all_of(text.begin(), text.end(), [&](char c) { return plainByte[quint8(c)]; });
        if (plain) {
            Cell(text);
            return;
        }
        const QString safe = TerminalSafe(QString::fromUtf8(text));
        Cell((csv ? CsvField(safe) : safe).toUtf8());
    }
    // Bytes made here: names and numbers, which need neither escaping nor quoting.
    void Cell(QLatin1StringView name) { Cell(QByteArrayView(name.data(), name.size())); }
    void Blank() { Cell(QByteArrayView()); }
    void Cell(QByteArrayView bytes)
    {
        if (cells++ > 0)
            piece += csv ? ',' : '\t';
        piece += bytes;
    }
    void EndRow()
    {
        piece += csv ? "\r\n" : "\n";
        cells = 0;
        if (piece.size() >= Piece)
            Write();
    }
    void Write()
    {
        out.flush();
        if (QIODevice* device = out.device())
            device->write(piece);
        else
            out << QString::fromUtf8(piece);
        piece.clear();
    }

    QTextStream& out;
    const bool csv;
    QByteArray time;
    QByteArray piece;
    int cells = 0;
};

QJsonObject RunObject(const HistoryRun& run, RunPages pages, RunPositions positions)
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

bool PrintHistoryRows(HistoryStore& store, const HistoryFilter& filter, bool csv, QTextStream& out)
{
    RowPrinter printer(out, csv);
    return store.Scan(filter, printer);
}

void PrintHistoryJson(const HistoryData& history, QTextStream& out)
{
    QJsonArray runs;
    ForEachRun(history, [&](const HistoryRun& run, RunPages pages, RunPositions positions) {
        runs.append(RunObject(run, pages, positions));
    });
    out << TerminalJson(QJsonDocument(QJsonObject{{u"runs"_s, runs}})) << Qt::flush;
}

void PrintRunJson(const HistoryData& run, QTextStream& out)
{
    if (run.Runs.isEmpty())
        return;
    out << TerminalJson(
               QJsonDocument(RunObject(run.Runs.first(), RunPages(run.Pages.constData(), size_t(run.Pages.size())),
                                       RunPositions(run.Positions.constData(), size_t(run.Positions.size())))))
        << Qt::flush;
}
