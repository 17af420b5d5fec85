// Reads the address a search result shows in its "cite" element.
//
// A cite start tag inside an earlier cite's text shares that element's "</cite". Rather than
// cleaning the same text again for each of them, the text is cleaned once: a start tag inside it
// is always removed whole by the cleaning of the earlier element, so the later element's cleaned
// text is a tail of the earlier one's, found by following the same steps up to its start.

#include "web/CiteReader.h"

#include "web/PageText.h"

#include <algorithm>

namespace {

const QString Nbsp = QStringLiteral("&nbsp;");

} // namespace

CiteReader::CiteReader(QStringView page) : page(page) {}

bool CiteReader::Step(Scan& scan, QChar* shown) const
{
    const QChar c = page[scan.Pos];
    if (c == u'\r') {
        ++scan.Pos;
        return false;
    }
    if (c == u'&' && page.sliced(scan.Pos, elementEnd - scan.Pos).startsWith(Nbsp)) {
        scan.Pos += Nbsp.size();
        return false;
    }
    if (c == u'<' && !scan.TagsOver) {
        const qsizetype gt = page.first(elementEnd).indexOf(u'>', scan.Pos + 1);
        if (gt >= 0) {
            scan.Pos = gt + 1;
            return false;
        }
        scan.TagsOver = true;
    }
    *shown = c;
    ++scan.Pos;
    return true;
}

std::optional<CiteWords> CiteReader::Read(qsizetype tagEnd)
{
    const qsizetype begin = tagEnd + 1;
    if (elementEnd < 0 || begin > elementEnd) {
        elementEnd = FindFolded(page, QLatin1StringView("</cite"), begin);
        if (elementEnd < 0)
            return std::nullopt;
        lead = Scan{begin};
        follow = Scan{begin};
        followCount = 0;
        cleaned.clear();
        blankSearchedTo = 0;
        blankAt = -1;
    }
    QChar shown;
    while (follow.Pos < begin) {
        if (Step(follow, &shown))
            ++followCount;
    }
    while (lead.Pos < follow.Pos) {
        if (Step(lead, &shown))
            cleaned.append(shown);
    }
    const qsizetype from = followCount;
    if (blankAt < from) {
        blankAt = cleaned.indexOf(u' ', std::max(from, blankSearchedTo));
        while (blankAt < 0 && lead.Pos < elementEnd) {
            if (Step(lead, &shown)) {
                cleaned.append(shown);
                if (shown == u' ')
                    blankAt = cleaned.size() - 1;
            }
        }
        blankSearchedTo = blankAt >= 0 ? blankAt + 1 : cleaned.size();
    }
    if (blankAt < 0)
        return CiteWords{QStringView(cleaned).sliced(from), false};
    return CiteWords{QStringView(cleaned).sliced(from, blankAt - from), true};
}
