#include "app/CsvField.h"

#include <algorithm>

QString CsvField(const QString& text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(text.cbegin(), text.cend(), [](QChar ch) { return special.contains(ch); }))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}
