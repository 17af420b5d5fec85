#pragma once
// The site tables of the keyword site database's collection and extraction, indexed by site slot
// and filled by the parsers.

#include <QList>
#include <QString>
#include <QStringList>

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
