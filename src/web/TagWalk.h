#pragma once
// The one walk over a page's tags that every parser makes: from each "<" to the next ">", with
// style and script elements passed over whole, and the text that stands between the tags.

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

class TagWalk {
public:
    explicit TagWalk(QStringView page);

    // Moves to the next tag; false once the walk has ended: no "<" or no ">" after it, or a style
    // or script element without its closing tag.
    bool Next();

    // Positions of the current tag's "<" and ">" in the page.
    qsizetype Start() const { return start; }
    qsizetype End() const { return end; }
    // True when the current tag's name, lower-cased, is name.
    bool NameIs(QLatin1StringView name) const;
    // The tag text: trimmed of blanks, lower-cased, each "&nbsp;" as a blank.
    QString Text() const;
    // The page text between the end of the previous tag (or of the style or script element it
    // opened) and the "<" of the current tag; empty before the first tag. Once Next() has returned
    // false it holds what stood between the last tag and a final "<" that no ">" follows.
    QStringView TextBefore() const { return textBefore; }

private:
    QStringView page;
    qsizetype start = -1;
    qsizetype end = -1;
    qsizetype resume = 0; // where the search for the next "<" begins
    bool ended = false;
    QStringView name;
    QStringView textBefore;
};

// The text a page shows: what stands between the end of each tag and the next "<", style and
// script passed over, each piece without "&nbsp;" and carriage returns.
QString VisibleText(QStringView page);
