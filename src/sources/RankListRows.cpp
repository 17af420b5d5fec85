// The line reader of the rank lists. Lists run to millions of lines, so a line is taken apart as
// bytes and only its domain becomes text.

#include "sources/RankListRows.h"

#include <QIODevice>
#include <QLocale>
#include <QUrl>

#include <array>

namespace {

// Longer lines are no rows of a rank list; they are skipped whole.
constexpr qint64 LongestLine = 4096;
constexpr qint64 ProgressEveryBytes = 4 * 1024 * 1024;

QByteArrayView Trimmed(QByteArrayView field)
{
    field = field.trimmed();
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = field.sliced(1, field.size() - 2).trimmed();
    return field;
}

// A positive decimal number of at most 18 digits, or 0.
qint64 RankOf(QByteArrayView field)
{
    field = Trimmed(field);
    if (field.isEmpty() || field.size() > 18)
        return 0;
    qint64 rank = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return 0;
        rank = rank * 10 + (c - '0');
    }
    return rank;
}

// The domain lower-cased and IDNA-encoded, as the lookups ask for it; empty when the field is no
// domain name.
QString DomainOf(QByteArrayView field)
{
    field = Trimmed(field);
    while (field.endsWith('.'))
        field.chop(1);
    if (field.isEmpty() || field.size() > 253 || field.front() == '.')
        return {};
    bool ascii = true;
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            ascii = false;
            continue;
        }
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                             c == '-' || c == '_';
        if (!allowed)
            return {};
    }
    if (ascii)
        return QString::fromLatin1(field).toLower();
    return QString::fromLatin1(QUrl::toAce(QString::fromUtf8(field)));
}

QString Number(qint64 value)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value);
}

// The columns of a majestic list, found by their names in the header.
struct Columns {
    qsizetype Rank = -1;
    qsizetype Domain = -1;
};

Columns HeaderColumns(QByteArrayView header)
{
    if (header.startsWith("\xEF\xBB\xBF"))
        header = header.sliced(3);
    Columns columns;
    qsizetype index = 0;
    for (qsizetype start = 0; start <= header.size(); ++index) {
        qsizetype comma = header.indexOf(',', start);
        if (comma < 0)
            comma = header.size();
        const QByteArray name = Trimmed(header.sliced(start, comma - start)).toByteArray().toLower();
        if (name == "globalrank" && columns.Rank < 0)
            columns.Rank = index;
        else if (name == "domain" && columns.Domain < 0)
            columns.Domain = index;
        start = comma + 1;
    }
    return columns;
}

// The fields at two indexes of a comma-separated line; false when the line is shorter.
bool TwoFields(QByteArrayView line, const Columns& columns, QByteArrayView& rank, QByteArrayView& domain)
{
    const qsizetype last = std::max(columns.Rank, columns.Domain);
    qsizetype start = 0;
    int found = 0;
    for (qsizetype index = 0; index <= last; ++index) {
        if (start > line.size())
            return false;
        qsizetype comma = line.indexOf(',', start);
        if (comma < 0)
            comma = line.size();
        const QByteArrayView field = line.sliced(start, comma - start);
        if (index == columns.Rank) {
            rank = field;
            ++found;
        }
        if (index == columns.Domain) {
            domain = field;
            ++found;
        }
        start = comma + 1;
    }
    return found == 2;
}

} // namespace

RankListReadOutcome ReadRankListRows(QIODevice& device, RankListKind kind, const QString& name, qint64 mostRows,
                                     const std::function<bool(qint64 rank, const QString& domain)>& row,
                                     const std::function<void(qint64 bytesRead)>& bytesRead)
{
    RankListReadOutcome outcome;
    auto refuse = [&outcome](const QString& message) {
        outcome.Ok = false;
        outcome.Message = message;
        return outcome;
    };

    std::array<char, LongestLine + 2> buffer{};
    qint64 lineNumber = 0;
    qint64 totalBytes = 0;
    qint64 reportedAt = 0;
    qint64 lastRank = 0;
    qint64 lastRankLine = 0;
    bool anyText = false;
    bool headerRead = false;
    Columns columns{0, 1};
    bool skipping = false; // inside a line that is too long

    for (;;) {
        const qint64 length = device.readLine(buffer.data(), qint64(buffer.size()));
        if (length <= 0) {
            // A device reports a real end by atEnd(); anything else is a read that failed.
            if (device.atEnd())
                break;
            return refuse(QStringLiteral("%1 could not be read to its end: %2").arg(name, device.errorString()));
        }
        totalBytes += length;
        if (bytesRead && totalBytes - reportedAt >= ProgressEveryBytes) {
            reportedAt = totalBytes;
            bytesRead(totalBytes);
        }
        QByteArrayView line(buffer.data(), length);
        const bool complete = line.endsWith('\n');
        if (skipping) {
            skipping = !complete;
            continue;
        }
        ++lineNumber;
        if (!complete && length >= qint64(buffer.size()) - 1) {
            // Longer than any row: skip it to its end.
            skipping = true;
            anyText = true;
            ++outcome.Skipped;
            continue;
        }
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        anyText = true;

        if (kind == RankListKind::Majestic && !headerRead) {
            headerRead = true;
            columns = HeaderColumns(line);
            if (columns.Rank < 0 || columns.Domain < 0)
                return refuse(QStringLiteral("%1 is not a majestic list: its first line names no GlobalRank and "
                                             "Domain columns.")
                                  .arg(name));
            continue;
        }

        QByteArrayView rankField;
        QByteArrayView domainField;
        if (kind == RankListKind::Tranco) {
            const qsizetype comma = line.indexOf(',');
            if (comma < 0) {
                ++outcome.Skipped;
                continue;
            }
            rankField = line.first(comma);
            domainField = line.sliced(comma + 1);
        } else if (!TwoFields(line, columns, rankField, domainField)) {
            ++outcome.Skipped;
            continue;
        }
        const qint64 rank = RankOf(rankField);
        const QString domain = rank > 0 ? DomainOf(domainField) : QString();
        if (domain.isEmpty()) {
            ++outcome.Skipped;
            continue;
        }
        if (kind == RankListKind::Tranco && rank <= lastRank)
            return refuse(QStringLiteral("%1 is not a tranco list: the rank %2 on line %3 does not follow the rank %4 "
                                         "on line %5.")
                              .arg(name, Number(rank), Number(lineNumber), Number(lastRank), Number(lastRankLine)));
        lastRank = rank;
        lastRankLine = lineNumber;
        if (outcome.Rows == mostRows)
            return refuse(QStringLiteral("%1 holds more than %2 rows; a rank list may hold at most %2.")
                              .arg(name, Number(mostRows)));
        ++outcome.Rows;
        if (!row(rank, domain)) {
            outcome.Message.clear();
            return outcome;
        }
    }

    if (!anyText)
        return refuse(QStringLiteral("%1 is empty.").arg(name));
    if (outcome.Rows == 0) {
        if (kind == RankListKind::Tranco)
            return refuse(QStringLiteral("%1 is not a tranco list: no line reads \"rank,domain\".").arg(name));
        return refuse(
            QStringLiteral("%1 is not a majestic list: no line below its header holds a rank and a domain.").arg(name));
    }
    outcome.Ok = true;
    return outcome;
}
