// Plain text searches over downloaded pages as the parsers do them.

#include "web/PageText.h"

#include <algorithm>

namespace {

// Only letters A to Z change: the markers are plain ASCII, and a page lower-cased this way keeps
// its length, so a position found here is a position in the page.
char16_t FoldedAt(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

bool MatchesAt(QStringView text, qsizetype at, QLatin1StringView lowerNeedle)
{
    for (qsizetype k = 0; k < lowerNeedle.size(); ++k) {
        if (FoldedAt(text, at + k) != static_cast<unsigned char>(lowerNeedle[k].toLatin1()))
            return false;
    }
    return true;
}

} // namespace

qsizetype FindFolded(QStringView page, QLatin1StringView lowerNeedle, qsizetype from)
{
    if (lowerNeedle.isEmpty())
        return from <= page.size() ? from : -1;
    const QChar first = QLatin1Char(lowerNeedle[0].toLatin1());
    const QChar firstUpper = first.toUpper();
    const qsizetype last = page.size() - lowerNeedle.size();
    qsizetype i = from < 0 ? 0 : from;
    // The next first letter in either case; each is looked for again only once the walk has passed
    // it, so a letter that occurs rarely is not searched for over and over.
    qsizetype lower = page.indexOf(first, i);
    qsizetype upper = first == firstUpper ? -1 : page.indexOf(firstUpper, i);
    while (i <= last) {
        if (lower >= 0 && lower < i)
            lower = page.indexOf(first, i);
        if (upper >= 0 && upper < i)
            upper = page.indexOf(firstUpper, i);
        const qsizetype at = lower < 0 ? upper : (upper < 0 ? lower : std::min(lower, upper));
        if (at < 0 || at > last)
            return -1;
        if (MatchesAt(page, at, lowerNeedle))
            return at;
        i = at + 1;
    }
    return -1;
}

bool StartsWithFolded(QStringView text, QLatin1StringView lowerPrefix)
{
    return text.size() >= lowerPrefix.size() && MatchesAt(text, 0, lowerPrefix);
}

bool EqualsFolded(QStringView text, QLatin1StringView lowerWord)
{
    return text.size() == lowerWord.size() && MatchesAt(text, 0, lowerWord);
}

QStringView TrimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

void AppendWithoutBreaks(QString& out, QStringView piece)
{
    // "&nbsp;" goes first and a carriage return after it, so "&nb" CR "sp;" stays as "&nbsp;".
    static const QString Nbsp = QStringLiteral("&nbsp;");
    qsizetype kept = 0; // start of the run not yet appended
    for (qsizetype i = 0; i < piece.size();) {
        const QChar c = piece[i];
        const qsizetype dropped = c == u'\r' ? 1 : (c == u'&' && piece.sliced(i).startsWith(Nbsp) ? Nbsp.size() : 0);
        if (dropped == 0) {
            ++i;
            continue;
        }
        out.append(piece.sliced(kept, i - kept));
        i += dropped;
        kept = i;
    }
    out.append(piece.sliced(kept));
}

QString LowerCase(QString text)
{
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code < 0x80) {
            if (code >= u'A' && code <= u'Z')
                c = QChar(char16_t(code + (u'a' - u'A')));
        } else {
            c = c.toLower();
        }
    }
    return text;
}
