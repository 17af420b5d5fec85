#pragma once
// The slot a download key names: the numeric value of everything after its kind letter.

#include <QString>

#include <optional>

// Empty when the number cannot be a slot at all (see LeadingNumber); the parser checks the range.
std::optional<int> PropertySlot(const QString& propertyName);

// Whether slot is an index of a table of size entries.
inline bool SlotInTable(std::optional<int> slot, qsizetype size)
{
    return slot && *slot >= 0 && *slot < size;
}
