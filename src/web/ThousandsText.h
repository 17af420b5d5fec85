#pragma once
// Traffic ranks as the site shows them and as the program keeps them: whole numbers with a comma
// between each group of three digits.

#include <QString>

#include <optional>

// Text that reads as a number (sign, digits with or without commas, a fraction) becomes that number
// rounded to whole and grouped in threes, "1234.6" giving "1,235"; any other text comes back as it is.
QString ThousandsText(const QString& text);
// The whole number that text reads as, commas allowed; empty when it is none or exceeds 32 bits.
std::optional<qint32> ThousandsNumber(const QString& text);
