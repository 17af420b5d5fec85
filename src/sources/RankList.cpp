// The names of the rank lists and the place of their file.

#include "sources/RankList.h"

#include <QDir>
#include <QLocale>

using namespace Qt::StringLiterals;

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

QString ListDownloadSizeText(qint64 bytes)
{
    constexpr qint64 MiB = 1024 * 1024;
    if (bytes % MiB == 0)
        return u"%1 MiB"_s.arg(bytes / MiB);
    return QLocale(QLocale::English).formattedDataSize(bytes, 1, QLocale::DataSizeIecFormat);
}

QString ListDownloadTimeText(int milliseconds)
{
    if (milliseconds % 60000 == 0)
        return milliseconds == 60000 ? u"1 minute"_s : u"%1 minutes"_s.arg(milliseconds / 60000);
    return u"%1 seconds"_s.arg(QString::number(milliseconds / 1000.0));
}

QString DescribeListDownloadBounds(int mostMiB)
{
    return u"list downloads: at most %1, %2, %3 without data"_s.arg(ListDownloadSizeText(qint64(mostMiB) << 20),
                                                                    ListDownloadTimeText(ListDownloadTimeLimitMs),
                                                                    ListDownloadTimeText(ListDownloadSilenceMs));
}

QString DescribeRankList(const RankListInfo& info)
{
    return QStringLiteral("%1, imported %2, %3 domains, from %4")
        .arg(info.Id, info.ImportedOn, QLocale(QLocale::English).toString(info.Rows), info.Source);
}
