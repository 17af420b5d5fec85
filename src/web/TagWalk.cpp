// The one walk over a page's tags that every parser makes.

#include "web/TagWalk.h"

#include "web/PageText.h"

namespace {

const QString Nbsp = QStringLiteral("&nbsp;");

// The tag name is the tag text up to its first blank; "&nbsp;" counts as a blank.
QStringView NameOf(QStringView inside)
{
    const QStringView text = TrimBlanks(inside);
    qsizetype i = 0;
    while (i < text.size() && text[i] != u' ' &&
           !(text[i] == u'&' && StartsWithFolded(text.sliced(i), QLatin1StringView("&nbsp;"))))
        ++i;
    return text.first(i);
}

} // namespace

TagWalk::TagWalk(QStringView page) : page(page) {}

bool TagWalk::Next()
{
    if (ended)
        return false;
    // The element a style or script tag opens is passed over up to the end of its closing tag.
    if (start >= 0) {
        const QLatin1StringView closing = NameIs(QLatin1StringView("style"))    ? QLatin1StringView("</style>")
                                          : NameIs(QLatin1StringView("script")) ? QLatin1StringView("</script>")
                                                                                : QLatin1StringView();
        if (!closing.isEmpty()) {
            const qsizetype at = FindFolded(page, closing, end + 1);
            if (at < 0) {
                ended = true;
                textBefore = {};
                return false;
            }
            resume = at + closing.size();
        } else {
            resume = end + 1;
        }
    }
    const qsizetype lt = page.indexOf(u'<', resume);
    const qsizetype gt = lt < 0 ? -1 : page.indexOf(u'>', lt + 1);
    textBefore = (start < 0 || lt < 0) ? QStringView() : page.sliced(resume, lt - resume);
    if (gt < 0) {
        ended = true;
        return false;
    }
    start = lt;
    end = gt;
    name = NameOf(page.sliced(lt + 1, gt - lt - 1));
    return true;
}

bool TagWalk::NameIs(QLatin1StringView lowerName) const
{
    return EqualsFolded(name, lowerName);
}

QString TagWalk::Text() const
{
    return LowerCase(TrimBlanks(page.sliced(start + 1, end - start - 1)).toString()).replace(Nbsp, QStringLiteral(" "));
}

QString VisibleText(QStringView page)
{
    QString text;
    TagWalk walk(page);
    while (walk.Next())
        AppendWithoutBreaks(text, walk.TextBefore());
    AppendWithoutBreaks(text, walk.TextBefore());
    return text;
}
