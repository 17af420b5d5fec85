#pragma once
// The checks and arithmetic of the keyword site database that need no window: keyword and
// category validation, the progress text and the next extraction batch.

#include <QString>

#include <optional>

// The stored form of a typed keyword or category: blanks around it removed, lower case.
QString StoredKeyword(const QString& text);

// The message for a keyword or category that cannot be stored (both in their stored form), or an
// empty text when both may be.
QString KeywordProblem(const QString& keyword, const QString& category);

// SearchNum split at "/": Top, then Bottom. NULL gives two empty texts.
struct Progress {
    QString Top;
    QString Bottom;
};
Progress SplitSearchNum(const std::optional<QString>& searchNum);

// The next batch of rows from the Top, Bottom and Span texts: rows Head to Next - 1 of a table whose
// last row is End. Problem holds the message when the texts do not make a batch; AllDone is set
// when Top is past Bottom.
struct BatchPlan {
    int Head = 0;
    int End = 0;
    int Next = 0;
    bool AllDone = false;
    QString Problem;
};
BatchPlan PlanBatch(const QString& top, const QString& bottom, const QString& span);
