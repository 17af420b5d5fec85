#include "app/TerminalText.h"

#include <algorithm>

namespace {

bool IsControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029 || c == 0x061c || c == 0x200e ||
           c == 0x200f || (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString TerminalSafe(const QString& text, TerminalStyle style)
{
    // Most text has nothing to escape; it is handed back shared, without a copy.
    if (std::none_of(text.cbegin(), text.cend(), [](QChar ch) { return IsControl(ch.unicode()); }))
        return text;
    QString shown;
    shown.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (!IsControl(c) || (style == TerminalStyle::Json && c == u'\n')) {
            shown.append(ch);
        } else if (c <= 0xff && style == TerminalStyle::Plain) {
            shown.append(QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0')));
        } else {
            shown.append(QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0')));
        }
    }
    return shown;
}

QString TerminalJson(const QJsonDocument& document)
{
    return TerminalSafe(QString::fromUtf8(document.toJson(QJsonDocument::Indented)), TerminalStyle::Json);
}
