#pragma once
// A cell of a CSV file the program writes. Its texts come from the web and the lists, and a
// spreadsheet opening the file must show them, never run them as formulas.

#include <QString>

// The text as one CSV cell. A text a spreadsheet would take for a formula (one that starts with
// "=", "+", "-", "@", a tab or a carriage return and is not a plain number such as -1 or +2.5)
// gets an apostrophe in front, so that it shows as it is; then a cell with a comma, a quote or a
// line break is quoted, its quotes doubled (RFC 4180).
QString CsvField(const QString& text);
