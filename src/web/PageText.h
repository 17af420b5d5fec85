#pragma once
// Plain text searches over downloaded pages as the parsers do them: markers are matched against the
// page as if it were lower-cased, letter by letter, so positions stay those of the page itself.

#include <QLatin1StringView>
#include <QStringView>

// The first position at or after from where the page, lower-cased, holds lowerNeedle; -1 when none.
qsizetype FindFolded(QStringView page, QLatin1StringView lowerNeedle, qsizetype from = 0);
// True when text, lower-cased, begins with lowerPrefix.
bool StartsWithFolded(QStringView text, QLatin1StringView lowerPrefix);
// True when text, lower-cased, is exactly lowerWord.
bool EqualsFolded(QStringView text, QLatin1StringView lowerWord);
// The text without blanks at either end (only blanks: other white space stays, as the program
// always trimmed).
QStringView TrimBlanks(QStringView text);
// Appends piece to out without its "&nbsp;" entities and carriage returns, the way the parsers
// clean what a page shows.
void AppendWithoutBreaks(QString& out, QStringView piece);
// The text with each letter lower-cased on its own, so that it keeps its length; ASCII goes fast.
QString LowerCase(QString text);
