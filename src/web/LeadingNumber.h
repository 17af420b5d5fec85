#pragma once
// The numeric value of the start of a text, as the parsers read slot numbers from download keys
// and ranks from replies.

#include <QStringView>

#include <optional>

// Leading blanks are skipped, then an optional sign, digits and an optional fraction are read and
// rounded to the nearest whole number (halves to the even one); text without a leading number is 0.
// Empty when the number does not fit a 16-bit count, as the program's slots and ranks must.
std::optional<int> LeadingNumber(QStringView text);
