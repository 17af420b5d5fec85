#pragma once
// A cell of a CSV file the program writes, as RFC 4180 wants it.

#include <QString>

// The text as one CSV cell: a cell with a comma, a quote or a line break is quoted, its quotes doubled.
QString CsvField(const QString& text);
