// Pages of the historical shapes, grown to a given size, for the parser benchmarks.

#include "ParserPages.h"

namespace {

const QString Snippet = QStringLiteral("Widget <b>tools</b> &amp; hand&nbsp;made parts since 1990 <b>...</b> ");

QString Repeated(const QString& piece, int bytes)
{
    return piece.repeated(std::max<qsizetype>(1, bytes / piece.size()));
}

} // namespace

QString SearchResultsPage(int results, int resultBytes, int targetIndex)
{
    QString page = QStringLiteral("<html><head><title>widget tools - Search</title>"
                                  "<style>cite{color:green} .g{margin:0}</style>"
                                  "<script>var cite = '<cite>www.in-script.example/ - 1k - </cite>';</script>"
                                  "</head><body><div id=res><ol>\n");
    page.reserve(qsizetype(results) * (resultBytes + 400));
    const QString snippet = Repeated(Snippet, resultBytes);
    for (int i = 0; i < results; ++i) {
        const QString host =
            i == targetIndex ? QStringLiteral("www.target.example") : QStringLiteral("www.site%1.example").arg(i);
        page += QStringLiteral("<li class=g><h3 class=r><a href=\"http://%1/page%2.html\" class=l>Result %2 "
                               "<em>widget</em></a></h3><div class=\"s\">%3<br><cite>%1/<b>page</b>%2.html - 12k - "
                               "</cite><span class=gl><a href=\"/search?q=cache:%2\">Cached</a> - <a "
                               "href=\"/search?hl=en&amp;q=related:%1/\">Similar pages</a></span></div>\n")
                    .arg(host)
                    .arg(i)
                    .arg(snippet);
    }
    return page + QStringLiteral("</ol></div></body></html>\n");
}

QString PageRankReply(int bytes)
{
    return QStringLiteral("Rank_1:1:4\n") + Repeated(QStringLiteral("0123456789abcdef"), bytes);
}

QString AlexaPage(int bytes)
{
    return QStringLiteral("<html><head><title>Site info</title></head><body>") +
           Repeated(QStringLiteral("<table class=\"data-table\"><tr><td>") + Snippet +
                        QStringLiteral("</td></tr></table>\n"),
                    bytes) +
           QStringLiteral("<a href=\"/topsites\"><div class=\"data up\">1,234,567</a></body></html>");
}

QString SitePage(int bytes)
{
    return QStringLiteral("<html><head><title>Widget Tools &amp; Parts</title>"
                          "<meta name=\"keywords\" content=\"widgets, tools , parts\"></head><body>") +
           Repeated(QStringLiteral("<p>") + Snippet + QStringLiteral("</p>\r\n"), bytes) +
           QStringLiteral("<a href=\"/more\">More</a></body></html>");
}
