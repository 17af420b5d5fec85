#include "history/HistoryExport.h"

#include "base/CsvField.h"
#include "base/TerminalText.h"
#include "history/HistoryStore.h"
#include "history/RunHistory.h"
#include "history/WideHistory.h"

#include <QIODevice>

#include <algorithm>
#include <array>
#include <charconv>

namespace {

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

// Bytes for standard output, gathered in pieces of about a megabyte and each written to the device
// once full, so that a year of history is never held in memory.
class PieceWriter {
public:
    explicit PieceWriter(QTextStream& out) : out(out) { piece.reserve(Piece + 65536); }
    ~PieceWriter() { Write(); }
    PieceWriter(const PieceWriter&) = delete;
    PieceWriter& operator=(const PieceWriter&) = delete;

    QByteArray& Bytes() { return piece; }
    void WriteWhenFull()
    {
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

private:
    static constexpr qsizetype Piece = 1 << 20;

    QTextStream& out;
    QByteArray piece;
};

// The rows of the table or the CSV, one per value and run, written as they are read. Columns: time, url,
// product, keyword, market, value, result, status, depth. A page gives a row for each of its five
// values, a keyword record one for its position and one for its top10.
class RowPrinter : public HistoryReader {
public:
    RowPrinter(QTextStream& out, bool csv) : output(out), piece(output.Bytes()), csv(csv)
    {
        for (const char* name : {"time", "url", "product", "keyword", "market", "value", "result", "status", "depth"})
            Cell(name);
        EndRow();
    }
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
    void PageRow(const StoredPage& page, const char* value, QByteArrayView result, QLatin1StringView status)
    {
        Cell(time);
        Text(page.URL);
        Blank();
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
        Text(MarketCell(value));
        Cell(name);
    }
    // The market as MarketText names it. Most records of a history share a few markets, so the
    // text of the last one is kept for the next.
    QByteArrayView MarketCell(const StoredPosition& value)
    {
        const std::array<QByteArrayView, 4> fields{value.Country, value.Language, value.Device, value.Location};
        const auto same = [](QByteArrayView field, const QByteArray& kept) { return field == QByteArrayView(kept); };
        if (marketText.isEmpty() || !std::equal(fields.begin(), fields.end(), market.begin(), same)) {
            for (size_t field = 0; field < fields.size(); ++field)
                market[field] = fields[field].toByteArray();
            marketText = MarketText(StoredMarket(value)).toUtf8();
        }
        return marketText;
    }

    // A text of the history, UTF-8. Most are printable ASCII with nothing to quote that begin with a
    // letter or a digit, which no spreadsheet takes for a formula, and go as they are.
    void Text(QByteArrayView text)
    {
        const std::array<bool, 256>& plainByte = csv ? PlainInCsv : PlainInTable;
        const bool plain = std::all_of(text.begin(), text.end(), [&](char c) { return plainByte[quint8(c)]; }) &&
                           (!csv || text.isEmpty() || QChar::fromLatin1(text.front()).isLetterOrNumber());
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
        output.WriteWhenFull();
    }

    PieceWriter output;
    QByteArray& piece;
    const bool csv;
    QByteArray time;
    std::array<QByteArray, 4> market; // of the last keyword record, and its text
    QByteArray marketText;
    int cells = 0;
};

void AddNumber(QByteArray& out, qint64 number)
{
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr - digits);
}

// The runs as JSON, in the very bytes of the indented document of QJsonDocument (the keys of an
// object in the order of their names, four blanks a level) with the escapes of TerminalJson,
// written as they are read. A run's keyword records come before its pages in that order, so the
// pages of the run at hand are held back until its records are out.
class JsonPrinter : public HistoryReader {
public:
    // Every run inside {"runs": [...]}, or a single run alone.
    JsonPrinter(QTextStream& out, bool wholeHistory)
        : output(out), piece(output.Bytes()), level(wholeHistory ? 2 : 0), wholeHistory(wholeHistory)
    {
        if (wholeHistory)
            piece += "{\n    \"runs\": [\n";
    }

    void Run(const HistoryRun& run) override
    {
        EndRun();
        if (runs++ > 0)
            piece += ",\n";
        Indent(piece, level);
        piece += "{\n";
        records = 0;
        pages.clear();
        pageCount = 0;
        runTail.clear();
        Key(runTail, level + 1, "report");
        AddTerminalJsonString(runTail, run.ReportFile.toUtf8());
        runTail += ",\n";
        Key(runTail, level + 1, "sources");
        AddTerminalJsonString(runTail, run.Sources.toUtf8());
        runTail += ",\n";
        Key(runTail, level + 1, "time");
        AddTerminalJsonString(runTail, HistoryTimeText(run.Time).toUtf8());
        runTail += '\n';
    }
    void Page(const StoredPage& page) override
    {
        if (pageCount++ > 0)
            pages += ",\n";
        const int fields = level + 3;
        Indent(pages, level + 2);
        pages += "{\n";
        Text(pages, fields, "description", page.Description);
        Text(pages, fields, "keywords", page.Keywords);
        Text(pages, fields, "pagerank", page.PageRank);
        Word(pages, fields, "pagerank_status", StatusWord(page.PageRankStatus));
        Text(pages, fields, "title", page.Title);
        Text(pages, fields, "traffic_rank", page.TrafficRank);
        Word(pages, fields, "traffic_status", StatusWord(page.TrafficStatus));
        Key(pages, fields, "url");
        AddTerminalJsonString(pages, page.URL);
        pages += '\n';
        Indent(pages, level + 2);
        pages += '}';
    }
    void Position(const StoredPosition& value) override
    {
        if (records++ == 0) {
            Key(piece, level + 1, "keyword_records");
            piece += "[\n";
        } else {
            piece += ",\n";
        }
        const int fields = level + 3;
        Indent(piece, level + 2);
        piece += "{\n";
        Key(piece, fields, "depth");
        AddNumber(piece, value.Depth);
        piece += ",\n";
        Text(piece, fields, "keyword", value.Keyword);
        Key(piece, fields, "market");
        piece += "{\n";
        Text(piece, fields + 1, "country", value.Country);
        Text(piece, fields + 1, "device", value.Device);
        Text(piece, fields + 1, "language", value.Language);
        Key(piece, fields + 1, "location");
        AddTerminalJsonString(piece, value.Location);
        piece += '\n';
        Indent(piece, fields);
        piece += "},\n";
        Key(piece, fields, "position");
        if (value.Status == ValueStatus::Found)
            AddNumber(piece, value.Position);
        else
            piece += "null";
        piece += ",\n";
        Text(piece, fields, "product", value.Product);
        Word(piece, fields, "status", StatusWord(value.Status));
        Key(piece, fields, "top10");
        piece += "[\n";
        int sites = 0;
        ForEachTop10Site(value.Top10, [&](QByteArrayView site) {
            if (sites++ > 0)
                piece += ",\n";
            Indent(piece, fields + 1);
            AddTerminalJsonString(piece, site);
        });
        if (sites > 0)
            piece += '\n';
        Indent(piece, fields);
        piece += "],\n";
        Key(piece, fields, "url");
        AddTerminalJsonString(piece, value.URL);
        piece += '\n';
        Indent(piece, level + 2);
        piece += '}';
        output.WriteWhenFull();
    }

    // Ends the document and writes what is left; without it the output stops where reading did.
    void Finish()
    {
        EndRun();
        if (runs > 0)
            piece += '\n';
        if (wholeHistory)
            piece += "    ]\n}\n";
        output.Write();
    }

private:
    static void Indent(QByteArray& out, int depth) { out.append(4 * depth, ' '); }
    static void Key(QByteArray& out, int depth, const char* name)
    {
        Indent(out, depth);
        out += '"';
        out += name;
        out += "\": ";
    }
    static void Text(QByteArray& out, int depth, const char* name, QByteArrayView text)
    {
        Key(out, depth, name);
        AddTerminalJsonString(out, text);
        out += ",\n";
    }
    static void Word(QByteArray& out, int depth, const char* name, QLatin1StringView word)
    {
        Key(out, depth, name);
        AddTerminalJsonString(out, QByteArrayView(word.data(), word.size()));
        out += ",\n";
    }

    void EndRun()
    {
        if (runTail.isEmpty())
            return;
        if (records == 0) {
            Key(piece, level + 1, "keyword_records");
            piece += "[\n";
        } else {
            piece += '\n';
        }
        Indent(piece, level + 1);
        piece += "],\n";
        Key(piece, level + 1, "pages");
        piece += "[\n";
        piece += pages;
        if (pageCount > 0)
            piece += '\n';
        Indent(piece, level + 1);
        piece += "],\n";
        piece += runTail;
        Indent(piece, level);
        piece += '}';
        runTail.clear();
        output.WriteWhenFull();
    }

    PieceWriter output;
    QByteArray& piece;
    const int level; // of each run object
    const bool wholeHistory;
    int runs = 0;
    int records = 0; // of the run at hand
    int pageCount = 0;
    QByteArray pages;   // of the run at hand, until its records are out
    QByteArray runTail; // its report, sources and time, the last of its keys
};

} // namespace

bool PrintHistoryRows(HistoryStore& store, const HistoryFilter& filter, bool csv, QTextStream& out)
{
    RowPrinter printer(out, csv);
    return store.Scan(filter, printer);
}

bool PrintWideHistoryCsv(HistoryStore& store, const HistoryFilter& filter, QTextStream& out)
{
    WideHistory wide;
    if (!store.Scan(filter, wide))
        return false;
    PieceWriter output(out);
    output.Bytes() = wide.Csv();
    return true;
}

bool PrintHistoryJson(HistoryStore& store, const HistoryFilter& filter, QTextStream& out)
{
    JsonPrinter printer(out, true);
    if (!store.Scan(filter, printer))
        return false;
    printer.Finish();
    return true;
}

void PrintRunJson(const HistoryData& run, QTextStream& out)
{
    if (run.Runs.isEmpty())
        return;
    JsonPrinter printer(out, false);
    Replay(run, printer);
    printer.Finish();
}
