#include "history/HistoryChart.h"

#include "base/HtmlBytes.h"

#include <algorithm>

namespace {

// The drawing area in pixels; the page's style gives the SVG its size and the marks their look.
constexpr int Left = 24;
constexpr int Right = 256;
constexpr int Top = 6;
constexpr int Bottom = 105; // where the deepest position lies: a pixel a place at the usual depth of 100
constexpr int Band = 118;   // misses and failures
// Beyond this many runs the marks of neighbouring runs would touch: each found position is then
// only a point of the line, and a miss or a failure a tick on the band, none with a tooltip.
constexpr int MarkedRuns = 60;

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

void AddTooltip(QByteArray& out, const ChartPoint& point, const QList<QByteArray>& runDays)
{
    Add(out, "<title>", runDays.at(point.RunIndex), ": ");
    AddPositionText(out, point.Position, point.Status, point.Depth);
    Add(out, "</title>");
}

void AddGroup(QByteArray& out, const char* kind, const QByteArray& marks)
{
    if (!marks.isEmpty())
        Add(out, "<g class=\"", kind, "\">", marks, "</g>");
}

} // namespace

void AddPositionText(QByteArray& out, int position, ValueStatus status, int depth)
{
    switch (status) {
    case ValueStatus::Found:
        return Add(out, position);
    case ValueStatus::NotRanked:
        return Add(out, "Not Found in top ", depth);
    case ValueStatus::Failed:
        break;
    }
    Add(out, "Failed");
}

void AddPositionChart(QByteArray& out, const QList<ChartPoint>& points, const QList<QByteArray>& runDays)
{
    // One scale for the whole chart, the deepest look of the record.
    int depth = 2;
    for (const ChartPoint& point : points) {
        depth = std::max(depth, point.Depth);
        if (point.Status == ValueStatus::Found)
            depth = std::max(depth, point.Position);
    }

    const int runCount = int(runDays.size());
    const bool marked = runCount <= MarkedRuns;
    QByteArray lines;
    QByteArray line;
    QByteArray lonePoint; // the one point of a line that has no second
    QByteArray found;
    QByteArray missed;
    QByteArray failed;
    const auto endLine = [&] {
        if (line.contains(' '))
            Add(lines, "<polyline points=\"", line, "\"/>");
        else if (!marked && !line.isEmpty())
            found += lonePoint;
        line.clear();
    };
    for (const ChartPoint& point : points) {
        const int x = X(point.RunIndex, runCount);
        if (point.Status != ValueStatus::Found)
            endLine(); // a line across a run that found nothing would claim a position there
        if (!marked && point.Status != ValueStatus::Found) {
            Add(point.Status == ValueStatus::NotRanked ? missed : failed, "M", x, ' ', Band - 4, "v8");
        } else if (point.Status == ValueStatus::NotRanked) {
            Add(missed, "<circle cx=\"", x, "\" cy=\"", Band, "\">");
            AddTooltip(missed, point, runDays);
            Add(missed, "</circle>");
        } else if (point.Status == ValueStatus::Failed) {
            Add(failed, "<path d=\"M", x - 3, ' ', Band - 3, "l6 6m0-6l-6 6\">");
            AddTooltip(failed, point, runDays);
            Add(failed, "</path>");
        } else {
            const int y = Y(point.Position, depth);
            Add(line, line.isEmpty() ? "" : " ", x, ',', y);
            if (marked) {
                Add(found, "<circle cx=\"", x, "\" cy=\"", y, "\">");
                AddTooltip(found, point, runDays);
                Add(found, "</circle>");
            } else {
                lonePoint.clear();
                Add(lonePoint, "<circle cx=\"", x, "\" cy=\"", y, "\"/>");
            }
        }
    }
    endLine();
    if (!marked) {
        // All the ticks of a kind are one path.
        for (QByteArray* ticks : {&missed, &failed}) {
            if (!ticks->isEmpty())
                *ticks = "<path d=\"" + *ticks + "\"/>";
        }
    }

    Add(out, "<svg class=\"c\"><text x=\"2\" y=\"", Top + 4, "\">1</text><text x=\"2\" y=\"", Bottom + 4, "\">", depth,
        "</text><rect x=\"", Left - 4, "\" y=\"", Band - 6, "\" width=\"", Right - Left + 8, "\" height=\"12\"/>",
        lines);
    AddGroup(out, "f", found);
    AddGroup(out, "n", missed);
    AddGroup(out, "x", failed);
    Add(out, "</svg>");
}
