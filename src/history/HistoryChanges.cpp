#include "history/HistoryChanges.h"

Trend CompareValues(ValueStatus before, int positionBefore, ValueStatus now, int positionNow)
{
    if (before == ValueStatus::Failed || now == ValueStatus::Failed)
        return Trend::Unknown;
    if (before == ValueStatus::NotRanked)
        return now == ValueStatus::Found ? Trend::Rose : Trend::Stayed;
    if (now == ValueStatus::NotRanked)
        return Trend::Fell;
    // Position 1 is the top.
    return positionNow < positionBefore ? Trend::Rose : positionNow > positionBefore ? Trend::Fell : Trend::Stayed;
}

void RankChanges::Count(Trend trend)
{
    switch (trend) {
    case Trend::Rose:
        ++Rose;
        break;
    case Trend::Fell:
        ++Fell;
        break;
    case Trend::Stayed:
        ++Stayed;
        break;
    case Trend::Unknown:
        break;
    }
}

QString ChangesText(const RankChanges& changes)
{
    return QStringLiteral("%1 rose, %2 fell, %3 stayed").arg(changes.Rose).arg(changes.Fell).arg(changes.Stayed);
}
