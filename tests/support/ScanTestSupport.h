#pragma once
// Keywords written into a test's site database exactly as given: any master row, any site rows;
// whole files read and written.

#include "sitedb/SiteDatabase.h"
#include "support/TestHome.h"

#include <QtTest>

inline SqlText Text(const char* text)
{
    return text ? SqlText(QString::fromUtf8(text)) : std::nullopt;
}

// A site row of the given title, description, PR and traffic rank; nullptr stands for NULL.
inline SiteRow Site(const QString& url, const char* title = "T", const char* description = "D", const char* pr = "3",
                    const char* alexa = "1200")
{
    return {url, Text(title), Text(description), Text("k"), Text(pr), Text(alexa)};
}

// n sites named http://s1.com ... that no scan removes.
inline QList<SiteRow> Sites(int n)
{
    QList<SiteRow> sites;
    for (int i = 1; i <= n; ++i)
        sites.append(Site(QStringLiteral("http://s%1.com").arg(i)));
    return sites;
}

// The master row and the search table with these rows, in this order.
inline void AddRows(const QString& databasePath, const MasterRow& row, const QList<SiteRow>& sites)
{
    SiteDatabase database(databasePath);
    QVERIFY(database.InsertMasterRow(row));
    const QString table = SearchTableName(row.Search.value_or(QString()));
    QVERIFY(database.CreateSearchTable(table));
    SqliteConnection raw(databasePath, SqliteConnection::Mode::ReadWrite);
    SqliteStatement insert(raw,
                           QStringLiteral("INSERT INTO ") + QuoteIdentifier(table) +
                               QStringLiteral("(URL,Title,Description,Keyword,PR,Alexa) VALUES(?1,?2,?3,?4,?5,?6)"));
    for (const SiteRow& site : sites) {
        int index = 1;
        for (const SqlText& value : {site.URL, site.Title, site.Description, site.Keyword, site.PR, site.Alexa}) {
            if (value)
                insert.Bind(index++, *value);
            else
                insert.BindNull(index++);
        }
        QVERIFY(insert.Run());
    }
}

inline QStringList URLs(const QList<SiteRow>& sites)
{
    QStringList urls;
    for (const SiteRow& site : sites)
        urls.append(site.URL.value_or(QString()));
    return urls;
}

inline void WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The file with its last page zeroed, as a write cut short by a crash can leave it.
inline void ZeroLastPage(const QString& path)
{
    QByteArray bytes = FileBytes(path);
    QVERIFY(bytes.size() >= 100);
    // The page size is the header's big-endian 16-bit number at offset 16.
    const int pageSize = (uchar(bytes.at(16)) << 8) | uchar(bytes.at(17));
    QVERIFY(pageSize >= 512 && bytes.size() >= 2 * pageSize);
    bytes.replace(bytes.size() - pageSize, pageSize, QByteArray(pageSize, '\0'));
    WriteFileBytes(path, bytes);
}
