#pragma once
// Reads the address a search result shows in its "cite" element: the element's text up to
// "</cite", without "&nbsp;", carriage returns and the tags inside it, cut at its first blank.

#include <QString>
#include <QStringView>

#include <optional>

struct CiteWords {
    QStringView FirstWord; // valid until the next Read
    bool MoreWords;        // a blank follows the first word
};

class CiteReader {
public:
    explicit CiteReader(QStringView page);

    // The first word of the cite element whose start tag ends at tagEnd; nothing when no "</cite"
    // follows. Elements must be read in page order.
    std::optional<CiteWords> Read(qsizetype tagEnd);

private:
    // One left-to-right pass over the element's text that drops what the cleaning removes.
    struct Scan {
        qsizetype Pos = 0;
        bool TagsOver = false; // a "<" without a ">" up to the element's end: no tag is removed after it
    };
    // Advances scan by one step; true with *shown set when the step keeps a character.
    bool Step(Scan& scan, QChar* shown) const;

    QStringView page;
    qsizetype elementEnd = -1; // the "</cite" that ends the elements read since the last reset
    Scan lead;                 // has built `cleaned` up to here
    Scan follow;               // the start of the element being read, counted in `cleaned`
    qsizetype followCount = 0;
    QString cleaned;
    qsizetype blankSearchedTo = 0; // `cleaned` holds no blank before here but blankAt
    qsizetype blankAt = -1;
};
