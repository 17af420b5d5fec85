#include "sitedb/DirectoryPages.h"

#include "base/HtmlText.h"
#include "web/LeadingNumber.h"

#include <QLocale>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString CRLF = u"\r\n"_s;
const QString TableStart = u"<TABLE WIDTH=100%>\r\n<TR>\r\n"_s;
const QString TableEnd = u"</TABLE>\r\n<BR>\r\n\r\n"_s;
const QString IndexTitle = u"Various type of web sites with high page rank"_s;
constexpr qsizetype MaxNameBytes = 200;
constexpr qsizetype SitesPerPage = 10;
constexpr qsizetype KeywordsPerPage = 20;

QString Cap(const QString& text)
{
    QString capped = text;
    if (!capped.isEmpty())
        capped[0] = capped.at(0).toUpper();
    return capped;
}

int PageRankValue(const QString& pr)
{
    return LeadingNumber(pr).value_or(0);
}

// One folder or file name as a path segment of a link.
QString LinkSegment(const QString& folderName)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(folderName));
}

QString Href(const QString& address)
{
    return HtmlUnquotedAttribute(address);
}

QString KeywordFolderAddress(const QString& base, const QString& search, const QString& searchType)
{
    return base + LinkSegment(FolderName(searchType)) + QLatin1Char('/') + LinkSegment(FolderName(search)) +
           QLatin1Char('/');
}

QString PageAddress(const QString& base, const QString& search, const QString& searchType, int page)
{
    return KeywordFolderAddress(base, search, searchType) + LinkSegment(PageFileName(FolderName(search), page));
}

QString Heading(const QString& category)
{
    return u"<CENTER><FONT face=arial size=3><B>"_s + HtmlText(category) + u"</B></FONT></CENTER>"_s + CRLF;
}

QString IndexLink(const SearchRecord& entry, const QString& base)
{
    return u"<FONT face=arial size=2><B><A HREF="_s + Href(PageAddress(base, entry.Search, entry.SearchType, 1)) +
           QLatin1Char('>') + HtmlText(QString(entry.Search).replace(QLatin1Char(' '), QLatin1Char('_'))) +
           u"</A></B></FONT>"_s + CRLF;
}

// The cell that closes a row of `cells` empty places; a wrapped row spans them.
QString Filler(int cells, bool wrapped)
{
    QString filler = u"<TD WIDTH="_s + QString::number(2 * cells) + u"0%"_s;
    if (wrapped)
        filler += u" COLSPAN="_s + QString::number(cells);
    return filler + QLatin1Char('>') + CRLF;
}

QString Cell(const QString& link)
{
    return u"<TD WIDTH=20%>"_s + CRLF + link + u"</TD>"_s + CRLF;
}

QString TitleLine(const QString& title, const QString& search)
{
    const qsizetype k = title.indexOf(search);
    QString line = u"<FONT face=arial size=3>"_s;
    if (k < 0) {
        line += HtmlText(Cap(title));
    } else {
        line += HtmlText(Cap(title.left(k))) + u"<B>"_s + HtmlText(Cap(search)) + u"</B>"_s +
                HtmlText(title.mid(k + search.size()));
    }
    return line + u"</FONT><BR>"_s + CRLF;
}

QString AlexaText(const QString& alexa)
{
    bool number = false;
    const qlonglong value = alexa.toLongLong(&number);
    if (alexa.isEmpty() || (number && value == 0))
        return u",Alexa=no data"_s;
    if (!number)
        return u",Alexa="_s + HtmlText(alexa);
    QLocale grouped = QLocale::c();
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    return u",Alexa="_s + grouped.toString(value);
}

QString SiteBlock(const ExportSite& site, const QString& search)
{
    const QString rowBreak = u"</TD>\r\n</TR>\r\n<TR>\r\n<TD>\r\n"_s;
    return TableStart + u"<TD>"_s + CRLF + TitleLine(site.Title, search) + rowBreak + HtmlText(Cap(site.Description)) +
           CRLF + rowBreak + u"<FONT face=arial size=2 color=#008000>"_s + HtmlText(site.URL) +
           u"</FONT><FONT face=arial size=2 color=cornflowerblue> - PR="_s + HtmlText(site.PR) + AlexaText(site.Alexa) +
           u"</FONT>"_s + CRLF + u"</TD>\r\n</TR>\r\n"_s + TableEnd;
}

void CollectKeywords(const QString& keywordList, QStringList& keywords)
{
    if (keywordList.isEmpty() || keywordList == u"Null")
        return;
    for (const QString& word : keywordList.split(QLatin1Char(','))) {
        const QString trimmed = word.trimmed();
        if (!keywords.contains(trimmed))
            keywords.append(trimmed);
    }
}

} // namespace

bool SplitTemplate(const QString& text, QStringList& pieces)
{
    pieces = text.split(u"$$$"_s);
    if (pieces.size() < 5)
        return false;
    pieces.resize(5);
    return true;
}

QString FolderName(const QString& text)
{
    const QString spaced = QString(text).replace(QLatin1Char(' '), QLatin1Char('_'));
    if (spaced.isEmpty())
        return u"_"_s;
    const QString unsafe = u"/\\:*?\"<>|%"_s;
    QString name;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < spaced.size(); ++i) {
        const char16_t c = spaced.at(i).unicode();
        QString piece;
        if (QChar::isHighSurrogate(c) && i + 1 < spaced.size() && QChar::isLowSurrogate(spaced.at(i + 1).unicode())) {
            piece = spaced.mid(i, 2);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            piece = u"_"_s;
        } else if (c < 32 || c == 127 || unsafe.contains(QChar(c))) {
            piece = u"%%1"_s.arg(int(c), 2, 16, QLatin1Char('0')).toUpper();
        } else {
            piece = QChar(c);
        }
        bytes += piece.toUtf8().size();
        if (bytes > MaxNameBytes)
            break;
        name += piece;
    }
    // A name of dots only leads out of its folder, and some systems drop a trailing dot.
    if (name.endsWith(QLatin1Char('.'))) {
        name.chop(1);
        name += u"%2E"_s;
    }
    return name;
}

QString PageFileName(const QString& folderName, int page)
{
    return folderName + QString::number(page) + u".htm"_s;
}

QString IndexBody(const QList<SearchRecord>& allSearches, const QString& base)
{
    QString body;
    if (allSearches.isEmpty())
        return body;
    int col = 0;
    bool wrapped = false;
    for (qsizetype i = 0; i < allSearches.size(); ++i) {
        const SearchRecord& entry = allSearches.at(i);
        const QString link = IndexLink(entry, base);
        if (++col == 6) {
            body += u"</TR>"_s + CRLF;
            col = 1;
            wrapped = true;
        }
        if (i == 0) {
            body += Heading(entry.SearchType) + TableStart + Cell(link);
            wrapped = false;
            continue;
        }
        const bool sameCategory = entry.SearchType == allSearches.at(i - 1).SearchType;
        if (col == 1) {
            if (sameCategory) {
                body += CRLF + u"<TR>"_s + CRLF + Cell(link);
            } else {
                body += TableEnd + Heading(entry.SearchType) + TableStart + Cell(link);
                wrapped = false;
            }
        } else if (sameCategory) {
            body += Cell(link);
        } else {
            body += Filler(6 - col, wrapped) + u"</TD>\r\n</TR>\r\n"_s + TableEnd + Heading(entry.SearchType) +
                    TableStart + Cell(link);
            col = 1;
            wrapped = false;
        }
    }
    if (col < 5)
        body += Filler(5 - col, wrapped) + u"</TD>"_s + CRLF;
    return body + u"</TR>"_s + CRLF + u"</TABLE>"_s;
}

QString IndexPage(const QStringList& pieces, const QString& body)
{
    return pieces.at(0) + u"<TITLE>"_s + IndexTitle + u"</TITLE>"_s + pieces.at(1) +
           u"<META name=\"description\" content=\"various type of web sites with google high Page Rank and alexa "
           "traffic rank\">"_s +
           CRLF +
           u"<META name=\"keywords\" content=\"page rank,alexa traffic rank,web position,web promotion,link "
           "exchange\">"_s +
           pieces.at(2) + IndexTitle + pieces.at(3) + body + pieces.at(4);
}

void OrderByPageRank(QList<ExportSite>& sites, qsizetype count)
{
    count = std::min(count, sites.size());
    for (qsizetype a = 0; a + 1 < count; ++a) {
        int p = PageRankValue(sites.at(a).PR);
        for (qsizetype b = a + 1; b < count; ++b) {
            if (PageRankValue(sites.at(b).PR) > p) {
                sites.swapItemsAt(a, b);
                p = PageRankValue(sites.at(a).PR);
            }
        }
    }
}

QStringList TrunkPages(const QStringList& pieces, const QList<ExportSite>& sites, const QString& search,
                       const QString& searchType, const QString& base)
{
    QStringList pages;
    const qsizetype count = sites.size();
    const int pageCount = int((count + SitesPerPage - 1) / SitesPerPage);
    const QString trail = TableStart + u"<TD>"_s + CRLF + u"<A HREF='"_s + Href(base + IndexPageName) + u"'>"_s +
                          IndexTitle + u"</A> >> "_s + HtmlText(search) + CRLF + u"</TD>\r\n</TR>\r\n"_s + TableEnd;
    QStringList keywords;
    QString blocks;
    qsizetype first = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const ExportSite& site = sites.at(i);
        CollectKeywords(site.Keyword, keywords);
        blocks += SiteBlock(site, search);
        if (i - first + 1 < SitesPerPage && i + 1 < count)
            continue;
        const int page = int(pages.size()) + 1;
        const ExportSite& f = sites.at(first);
        const ExportSite& l = site;
        QString text = pieces.at(0) + u"<TITLE>"_s + HtmlText(f.Title) + u"</TITLE>"_s + pieces.at(1) +
                       u"<META name=\"description\" content=\""_s + HtmlText(f.Description) + u"\">"_s + CRLF +
                       u"<META name=\"keywords\" content=\""_s + HtmlText(keywords.mid(0, KeywordsPerPage).join(u',')) +
                       u"\">"_s;
        text += pieces.at(2) + u"Web sites related to \""_s + HtmlText(Cap(search)) + QLatin1Char('"');
        if (PageRankValue(f.PR) != PageRankValue(l.PR))
            text += u" ranking from "_s + HtmlText(f.PR) + u" to "_s + HtmlText(l.PR);
        else
            text += u" ranking "_s + HtmlText(f.PR);
        text += pieces.at(3) + trail + blocks;
        text += TableStart + u"<TD WIDTH=70%>\r\n</TD>\r\n<TD ALIGN=RIGHT>\r\nGo to page "_s;
        for (int n = 1; n <= pageCount; ++n) {
            if (n == page)
                text += QString::number(n) + u"  "_s;
            else
                text += u"<A HREF='"_s + Href(PageAddress(base, search, searchType, n)) + u"'>"_s + QString::number(n) +
                        u"</A> "_s;
        }
        text += CRLF + u"</TD>\r\n</TR>\r\n</TABLE>"_s + pieces.at(4);
        pages.append(text);
        keywords.clear();
        blocks.clear();
        first = i + 1;
    }
    return pages;
}
