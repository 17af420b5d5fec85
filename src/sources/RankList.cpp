// The names of the rank lists and the place of their file.

#include "sources/RankList.h"

#include <QDir>
#include <QLocale>

QString RankListsPath(const QString& programFolder)
{
    return QDir(programFolder).filePath(RankListsFileName);
}

QString RankListName(RankListKind kind)
{
    return kind == RankListKind::Tranco ? QStringLiteral("tranco") : QStringLiteral("majestic");
}

std::optional<RankListKind> RankListKindNamed(const QString& name)
{
    for (const RankListKind kind : {RankListKind::Tranco, RankListKind::Majestic}) {
        if (name.compare(RankListName(kind), Qt::CaseInsensitive) == 0)
            return kind;
    }
    return std::nullopt;
}

QString DescribeRankList(const RankListInfo& info)
{
    return QStringLiteral("%1, imported %2, %3 domains, from %4")
        .arg(info.Id, info.ImportedOn, QLocale(QLocale::English).toString(info.Rows), info.Source);
}
