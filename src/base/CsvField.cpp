#include "base/CsvField.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

bool MayBeFormula(const QString& text)
{
    static const QString leads = QStringLiteral("=+-@\t\r");
    static const QRegularExpression plainNumber(QStringLiteral("^[+-]?[0-9]+(\\.[0-9]+)?$"));
    return !text.isEmpty() && leads.contains(text.front()) && !plainNumber.match(text).hasMatch();
}

} // namespace

QString CsvField(const QString& text)
{
    const QString cell = MayBeFormula(text) ? QLatin1Char('\'') + text : text;
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(cell.cbegin(), cell.cend(), [](QChar ch) { return special.contains(ch); }))
        return cell;
    return QLatin1Char('"') + QString(cell).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}
