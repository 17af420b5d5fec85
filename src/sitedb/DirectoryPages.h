#pragma once
// The pages of the exported site directory, composed as text: the index of every keyword by
// category and the paged list of one keyword's best sites. Nothing here touches a file.

#include "sitedb/ScanLists.h"

#include <QList>
#include <QString>
#include <QStringList>

// The index page, beside the keywords' pages.
inline const QString IndexPageName = QStringLiteral("WebSiteRankList.htm");

// The template's five pieces, split at "$$$"; false when it has fewer (anything after a fifth
// separator is ignored).
bool SplitTemplate(const QString& text, QStringList& pieces);

// A category or keyword as one folder or file name: blanks as "_", as in the table names; every
// character a file name cannot hold, and "%" itself, as "%" and two hex digits per UTF-8 byte;
// "." and ".." never a whole name; never empty; at most 200 bytes.
QString FolderName(const QString& text);
// "S" + page + ".htm" for the keyword's folder name S.
QString PageFileName(const QString& folderName, int page);

QString IndexBody(const QList<SearchRecord>& allSearches, const QString& base);
QString IndexPage(const QStringList& pieces, const QString& body);

// One site of a keyword's search table as the pages show it; NULL columns read as empty text.
struct ExportSite {
    QString URL;
    QString Title;
    QString Description;
    QString Keyword;
    QString PR;
    QString Alexa;
};

// Entries 0 to count - 1 by PageRank, highest first, by the program's exchange order (sites of the
// same PageRank do not keep their order).
void OrderByPageRank(QList<ExportSite>& sites, qsizetype count);

// The pages of one keyword, ten sites a page: the text of page n at index n - 1.
QStringList TrunkPages(const QStringList& pieces, const QList<ExportSite>& sites, const QString& search,
                       const QString& searchType, const QString& base);
