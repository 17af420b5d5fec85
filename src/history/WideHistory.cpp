// The wide table of the keyword records: gathered as the history is read, then written at once.

#include "history/WideHistory.h"

#include "base/CsvField.h"
#include "base/TerminalText.h"
#include "history/RunHistory.h"

namespace {

// A text of the history as a cell, its control characters shown escaped as the command line's
// other tables show them.
QByteArray Cell(const QString& text)
{
    return CsvField(TerminalSafe(text)).toUtf8();
}

void AddCell(QByteArray& line, const QString& text)
{
    line += ',';
    line += Cell(text);
}

} // namespace

void WideHistory::Run(const HistoryRun& run)
{
    times.append(HistoryTimeText(run.Time));
}

void WideHistory::Position(const StoredPosition& value)
{
    // The four key fields and the market's, each closed by a zero byte, which no stored text holds.
    QByteArray key;
    for (const QByteArrayView field :
         {value.URL, value.Product, value.Keyword, value.Country, value.Language, value.Device, value.Location}) {
        key += field;
        key += '\0';
    }
    auto found = recordOf.constFind(key);
    if (found == recordOf.constEnd()) {
        found = recordOf.insert(key, records.size());
        records.append({{QString::fromUtf8(value.URL), QString::fromUtf8(value.Product),
                         QString::fromUtf8(value.Keyword), MarketText(StoredMarket(value))},
                        {}});
    }
    std::vector<int>& cells = records[found.value()].Cells;
    cells.resize(size_t(times.size()), NotAsked);
    switch (value.Status) {
    case ValueStatus::Found:
        cells.back() = value.Position;
        break;
    case ValueStatus::NotRanked:
        cells.back() = NotRanked;
        break;
    case ValueStatus::Failed:
        cells.back() = Failed;
        break;
    }
}

QByteArray WideHistory::Csv() const
{
    QByteArray csv = "url,product,keyword,market";
    for (const QString& time : times)
        AddCell(csv, time);
    csv += "\r\n";
    for (const Record& record : records) {
        csv += Cell(record.Texts.at(0));
        for (qsizetype field = 1; field < record.Texts.size(); ++field)
            AddCell(csv, record.Texts.at(field));
        for (qsizetype run = 0; run < times.size(); ++run) {
            csv += ',';
            const int cell = size_t(run) < record.Cells.size() ? record.Cells[size_t(run)] : NotAsked;
            if (cell > 0)
                csv += QByteArray::number(cell);
            else if (cell == NotRanked)
                csv += "not ranked";
            else if (cell == Failed)
                csv += "failed";
        }
        csv += "\r\n";
    }
    return csv;
}
