// The slot a download key names: the numeric value of everything after its kind letter.

#include "web/PropertySlot.h"

#include "web/LeadingNumber.h"

#include <algorithm>

std::optional<int> PropertySlot(const QString& propertyName)
{
    return LeadingNumber(QStringView(propertyName).sliced(std::min<qsizetype>(1, propertyName.size())));
}
