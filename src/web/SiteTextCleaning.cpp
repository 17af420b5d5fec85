// Cleaning and shortening of a site's title, description and keywords before they go into the site
// database.

#include "web/SiteTextCleaning.h"

namespace {

QString ReplaceCommonEntities(QString value)
{
    return value.replace(QStringLiteral("&amp;"), QStringLiteral("&"))
        .replace(QStringLiteral("&#038;"), QStringLiteral("&"))
        .replace(QStringLiteral("&#38;"), QStringLiteral("&"))
        .replace(QStringLiteral("&#10;"), QStringLiteral(" "))
        .replace(QStringLiteral("&nbsp;"), QStringLiteral(" "))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"));
}

// Each "&#" up to the next ";" goes, always the first that is left; removing one can join an "&"
// before it with a "#" after it into a new reference. One without a ";" ends the text after its "&".
QString RemoveNumericReferences(const QString& value)
{
    QString kept(value.size(), Qt::Uninitialized);
    QChar* out = kept.data();
    qsizetype size = 0;
    qsizetype semicolon = -1; // the next ";" at or after the current position, once looked for
    bool semicolonsLeft = true;
    const auto semicolonFrom = [&](qsizetype from) {
        if (semicolonsLeft && semicolon < from) {
            semicolon = value.indexOf(u';', from);
            semicolonsLeft = semicolon >= 0;
        }
        return semicolonsLeft ? semicolon : qsizetype(-1);
    };
    qsizetype i = 0;
    while (i < value.size()) {
        const bool joined = value[i] == u'#' && size > 0 && out[size - 1] == u'&';
        const bool starts = value[i] == u'&' && i + 1 < value.size() && value[i + 1] == u'#';
        if (!joined && !starts) {
            out[size++] = value[i++];
            continue;
        }
        const qsizetype end = semicolonFrom(joined ? i + 1 : i + 2);
        if (end < 0) {
            if (starts)
                out[size++] = u'&';
            break;
        }
        if (joined)
            --size;
        i = end + 1;
    }
    kept.truncate(size);
    return kept;
}

// Control characters, the grave accent and everything beyond ASCII become blanks, and each run of
// blanks one blank.
QString PrintableWithSingleBlanks(const QString& value)
{
    QString printable(value.size(), Qt::Uninitialized);
    QChar* out = printable.data();
    qsizetype size = 0;
    for (const QChar c : value) {
        const char16_t code = c.unicode();
        const bool blank = code < 33 || code == 96 || code > 126;
        if (!blank)
            out[size++] = c;
        else if (size == 0 || out[size - 1] != u' ')
            out[size++] = u' ';
    }
    printable.truncate(size);
    return printable;
}

} // namespace

QString CleanSiteText(const QString& value)
{
    return PrintableWithSingleBlanks(RemoveNumericReferences(ReplaceCommonEntities(value)));
}

QString ShortenAtBlank(const QString& value, qsizetype limit)
{
    if (value.size() <= limit)
        return value;
    const QString cut = value.left(limit);
    const qsizetype blank = cut.lastIndexOf(u' ');
    return (blank < 0 ? cut : cut.left(blank)) + QStringLiteral("...");
}

QString ShortenKeywords(const QString& value)
{
    if (value.size() <= KeywordsLimit)
        return value;
    const QString cut = value.left(KeywordsLimit);
    const qsizetype comma = cut.lastIndexOf(u',');
    return comma > 0 ? cut.left(comma) : cut;
}
