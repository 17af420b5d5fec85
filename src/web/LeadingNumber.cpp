// The numeric value of the start of a text, as the parsers read slot numbers and ranks.

#include "web/LeadingNumber.h"

#include <cmath>

std::optional<int> LeadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    double value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > 1e6)
            return std::nullopt;
    }
    if (i < text.size() && text[i] == u'.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, scale /= 10)
            value += (text[i].unicode() - u'0') * scale;
    }
    const double rounded = std::nearbyint(negative ? -value : value);
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return static_cast<int>(rounded);
}
