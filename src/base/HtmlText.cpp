#include "base/HtmlText.h"

namespace {

QString Escaped(const QString& text, bool unquotedAttribute)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        switch (c) {
        case '<':
            out += QLatin1String("&lt;");
            continue;
        case '>':
            out += QLatin1String("&gt;");
            continue;
        case '"':
            out += QLatin1String("&quot;");
            continue;
        default:
            break;
        }
        if (unquotedAttribute) {
            if (c == '\'' || c == '`') {
                out += QStringLiteral("&#%1;").arg(int(c));
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
                out += QLatin1Char('%') + QString::number(int(c), 16).rightJustified(2, QLatin1Char('0')).toUpper();
                continue;
            }
        }
        if (c < 127) {
            out += QChar(c);
            continue;
        }
        char32_t codePoint = c;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            codePoint = QChar::surrogateToUcs4(c, text.at(i + 1).unicode());
            ++i;
        }
        out += QStringLiteral("&#%1;").arg(uint(codePoint));
    }
    return out;
}

} // namespace

QString HtmlText(const QString& text)
{
    return Escaped(text, false);
}

QString HtmlUnquotedAttribute(const QString& text)
{
    return Escaped(text, true);
}
