#include "history/HistoryChart.h"

#include <algorithm>

namespace {

// The drawing area in pixels; the page's style gives the SVG this size and the marks their look.
constexpr int Left = 24;
constexpr int Right = 256;
constexpr int Top = 6;
constexpr int Bottom = 105; // where the deepest position lies: a pixel a place at the usual depth of 100
constexpr int Band = 118;   // misses and failures

int X(int runIndex, int runCount)
{
    if (runCount <= 1)
        return (Left + Right) / 2;
    return Left + int((qint64(runIndex) * (Right - Left) + (runCount - 1) / 2) / (runCount - 1));
}

int Y(int position, int depth)
{
    return Top + int((qint64(position - 1) * (Bottom - Top) + (depth - 1) / 2) / (depth - 1));
}

QString Tooltip(const ChartPoint& point)
{
    return QStringLiteral("<title>") + point.Day.toString(Qt::ISODate) + QStringLiteral(": ") +
           PositionText(point.Position, point.Status, point.Depth) + QStringLiteral("</title>");
}

QString Group(const char* kind, const QString& marks)
{
    if (marks.isEmpty())
        return {};
    return QStringLiteral("<g class=\"") + QLatin1String(kind) + QStringLiteral("\">") + marks + QStringLiteral("</g>");
}

} // namespace

QString PositionText(int position, ValueStatus status, int depth)
{
    switch (status) {
    case ValueStatus::Found:
        return QString::number(position);
    case ValueStatus::NotRanked:
        return QStringLiteral("Not Found in top ") + QString::number(depth);
    case ValueStatus::Failed:
        break;
    }
    return QStringLiteral("Failed");
}

QString PositionChart(const QList<ChartPoint>& points, int runCount)
{
    // One scale for the whole chart, the deepest look of the record.
    int depth = 2;
    for (const ChartPoint& point : points) {
        if (point.Status == ValueStatus::Found)
            depth = std::max({depth, point.Depth, point.Position});
        else
            depth = std::max(depth, point.Depth);
    }

    QString lines;
    QString line;
    QString found;
    QString missed;
    QString failed;
    const auto endLine = [&] {
        if (line.contains(QLatin1Char(' ')))
            lines += QStringLiteral("<polyline points=\"") + line + QStringLiteral("\"/>");
        line.clear();
    };
    for (const ChartPoint& point : points) {
        const QString x = QString::number(X(point.RunIndex, runCount));
        if (point.Status != ValueStatus::Found) {
            // A line across a run that found nothing would claim a position there.
            endLine();
            if (point.Status == ValueStatus::NotRanked) {
                missed += QStringLiteral("<circle cx=\"") + x + QStringLiteral("\" cy=\"") + QString::number(Band) +
                          QStringLiteral("\">") + Tooltip(point) + QStringLiteral("</circle>");
            } else {
                failed += QStringLiteral("<path d=\"M") + QString::number(X(point.RunIndex, runCount) - 3) +
                          QLatin1Char(' ') + QString::number(Band - 3) + QStringLiteral("l6 6m0-6l-6 6\">") +
                          Tooltip(point) + QStringLiteral("</path>");
            }
            continue;
        }
        const QString y = QString::number(Y(point.Position, depth));
        if (!line.isEmpty())
            line += QLatin1Char(' ');
        line += x + QLatin1Char(',') + y;
        found += QStringLiteral("<circle cx=\"") + x + QStringLiteral("\" cy=\"") + y + QStringLiteral("\">") +
                 Tooltip(point) + QStringLiteral("</circle>");
    }
    endLine();

    return QStringLiteral("<svg class=\"c\"><text x=\"2\" y=\"") + QString::number(Top + 4) +
           QStringLiteral("\">1</text><text x=\"2\" y=\"") + QString::number(Bottom + 4) + QStringLiteral("\">") +
           QString::number(depth) + QStringLiteral("</text><rect x=\"") + QString::number(Left - 4) +
           QStringLiteral("\" y=\"") + QString::number(Band - 6) + QStringLiteral("\" width=\"") +
           QString::number(Right - Left + 8) + QStringLiteral("\" height=\"12\"/>") + lines + Group("f", found) +
           Group("n", missed) + Group("x", failed) + QStringLiteral("</svg>");
}
