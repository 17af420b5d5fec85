#pragma once
// The site tables of the keyword site database's collection and extraction, indexed by site slot
// and filled by the parsers.

#include <QList>
#include <QString>
#include <QStringList>

// An extraction's PageRank or traffic rank that has not come in: a failed request is no value, while
// a page read without a rank gives 0. A page summary read always brings a title (the page's own, else
// the keyword), so an empty SiteTitle is a summary not read.
inline constexpr int NotRead = -1;

struct SiteTables {
    QStringList WebSiteList;
    int WebSiteCount = 0;
    QList<int> SitePR;
    QList<qint32> SiteAlexa;
    QStringList SiteTitle;
    QStringList SiteDescription;
    QStringList SiteKeyword;
    QString CurrentSearch;
    int TitlesDone = 0;
};
