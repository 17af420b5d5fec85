#pragma once
// What the rank-list tests share: a folder of their own for RankLists.db and the files imported,
// the import and the lookup as one call each, and the lists they are made from.

#include "sources/RankListLookup.h"
#include "sources/RankListStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

using namespace Qt::StringLiterals;

using Entries = QList<std::pair<QString, QByteArray>>;

inline const QDate Today(2025, 3, 14);

// The small list most tests start from.
inline const QByteArray Small =
    "1,example.com\n2,bbc.co.uk\n3,example.org\n4,blog.example.org\n5,xn--bcher-kva.example\n"
    "6,1.1\n";

inline QString Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the fixture");
    return path;
}

// A ZIP of our own with the given entries, made with the library the import reads it with.
inline QString WriteZip(const QString& path, const Entries& entries)
{
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        qFatal("cannot make the ZIP");
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE) < 0)
            qFatal("cannot add to the ZIP");
    }
    if (zip_close(archive) != 0)
        qFatal("cannot write the ZIP");
    return path;
}

// n rows "i,site<i>.example".
inline QByteArray Generated(int rows)
{
    QByteArray text;
    for (int i = 1; i <= rows; ++i)
        text += QByteArray::number(i) + ",site" + QByteArray::number(i) + ".example\n";
    return text;
}

// The same rows as a majestic list, with its header.
inline QByteArray GeneratedMajestic(int rows)
{
    QByteArray text = "GlobalRank,TldRank,Domain,TLD,RefSubNets,RefIPs\r\n";
    for (int i = 1; i <= rows; ++i)
        text += QByteArray::number(i) + ",1,site" + QByteArray::number(i) + ".example,example,10,20\r\n";
    return text;
}

struct RankListRig {
    QTemporaryDir dir;
    QString DatabasePath() const { return dir.filePath(RankListsFileName); }
    QString File(const QString& name) const { return dir.filePath(name); }

    RankListImportResult Import(RankListKind kind, const QString& path, qint64 mostRows = MostRankListRows) const
    {
        RankListImportRequest request;
        request.Kind = kind;
        request.Path = path;
        request.Today = Today;
        request.MostRows = mostRows;
        return RankListStore(DatabasePath()).Import(request);
    }

    // "rank" for a ranked host, "not ranked", or "failed: why".
    QString Rank(RankListKind kind, const QString& host) const
    {
        RankListLookup lookup(DatabasePath(), kind);
        const RankLookupResult result = lookup.Lookup(host);
        switch (result.Result) {
        case RankLookupResult::Outcome::Ranked:
            return QString::number(result.Rank);
        case RankLookupResult::Outcome::NotRanked:
            return u"not ranked"_s;
        case RankLookupResult::Outcome::Failed:
            break;
        }
        return u"failed: "_s + result.Error;
    }

    // Every test starts without a list.
    void Clear() const
    {
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(name));
    }
};
