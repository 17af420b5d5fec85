// Traffic ranks as the site shows them and as the program keeps them.

#include "web/ThousandsText.h"

#include <cmath>
#include <limits>

namespace {

// Larger numbers are not ranks; they are left as text.
constexpr int MaxDigits = 15;

std::optional<qint64> ReadNumber(const QString& text)
{
    const QString number = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < number.size() && (number[i] == u'-' || number[i] == u'+')) {
        negative = number[i] == u'-';
        ++i;
    }
    double value = 0;
    int digits = 0;
    bool wholeDigits = false;
    for (; i < number.size(); ++i) {
        const QChar c = number[i];
        if (c >= u'0' && c <= u'9') {
            value = value * 10 + (c.unicode() - u'0');
            wholeDigits = true;
            if (++digits > MaxDigits)
                return std::nullopt;
        } else if (c != u',' || !wholeDigits) {
            break;
        }
    }
    bool fractionDigits = false;
    if (i < number.size() && number[i] == u'.') {
        double scale = 0.1;
        for (++i; i < number.size() && number[i] >= u'0' && number[i] <= u'9'; ++i, scale /= 10) {
            value += (number[i].unicode() - u'0') * scale;
            fractionDigits = true;
        }
    }
    if (i != number.size() || !(wholeDigits || fractionDigits))
        return std::nullopt;
    const qint64 whole = static_cast<qint64>(std::round(value));
    return negative ? -whole : whole;
}

} // namespace

QString ThousandsText(const QString& text)
{
    const std::optional<qint64> value = ReadNumber(text);
    if (!value)
        return text;
    const QString digits = QString::number(*value < 0 ? -*value : *value);
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped.append(u',');
        grouped.append(digits[i]);
    }
    return *value < 0 ? QLatin1Char('-') + grouped : grouped;
}

std::optional<qint32> ThousandsNumber(const QString& text)
{
    const std::optional<qint64> value = ReadNumber(text);
    if (!value || *value < std::numeric_limits<qint32>::min() || *value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(*value);
}
