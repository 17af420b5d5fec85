// The export of the site database as a web directory: the index body, the composed pages byte for
// byte, the exchange order, what is published and what leaves the tables, failures that keep the
// sites, and names from the web or the user that must stay text and stay inside Database/.
#include "sitedb/DatabaseMaintenance.h"
#include "sitedb/DirectoryExport.h"
#include "sitedb/DirectoryPages.h"
#include "support/SiteDbTestSupport.h"
#include "support/TestHome.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString Base = u"http://d.example/dir/"_s;
const QStringList Pieces{u"[1]"_s, u"[2]"_s, u"[3]"_s, u"[4]"_s, u"[5]"_s};
const QDate Today(2024, 5, 1);

QString Lines(const QStringList& lines)
{
    return lines.join(u"\r\n"_s);
}

QString Link(const QString& folders, const QString& name)
{
    return u"<FONT face=arial size=2><B><A HREF=http://d.example/dir/"_s + folders + u"/"_s + name + u"/"_s + name +
           u"1.htm>"_s + name + u"</A></B></FONT>"_s;
}

// Keywords "k1", "k2", ... in the categories given.
QList<SearchRecord> Keywords(const QStringList& categories)
{
    QList<SearchRecord> records;
    for (qsizetype i = 0; i < categories.size(); ++i)
        records.append({u"k%1"_s.arg(i + 1), categories.at(i), {}, {}, {}});
    return records;
}

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A program folder with the template, and keywords collected today whose first rows are extracted:
// site n is http://sn.example/ with the title "Site n", PageRank n % 11 and traffic rank n.
class Rig {
public:
    Rig() { WriteBytes(Working(u"WebSiteRankList.txt"_s), Pieces.join(u"$$$"_s).toUtf8()); }

    QString Working(const QString& name = {}) const { return folder.Path() + u"/Database/"_s + name; }

    void Seed(const QString& keyword, const QString& category, int rows, int extracted,
              const std::function<SiteDetails(int)>& details = {})
    {
        QStringList urls;
        for (int n = 1; n <= rows; ++n)
            urls.append(u"http://s%1.example/"_s.arg(n));
        folder.Collect(keyword, category, urls, Today.toString(u"yyyy-MM-dd"_s));
        QList<SiteDetails> sites;
        for (int n = 1; n <= extracted; ++n) {
            sites.append(details ? details(n)
                                 : SiteDetails{urls.at(n - 1), u"Site %1"_s.arg(n), u"about %1"_s.arg(n),
                                               u"w%1"_s.arg(n), n % 11, n});
        }
        SiteDatabase database(folder.Database());
        QVERIFY(database.WriteExtractionBatch(keyword, SearchTableName(keyword), sites, {}, {}, extracted + 1, rows));
        lists.AllSearches.append({keyword, category, {}, {}, {}});
        std::optional<MasterRow> row = Master(keyword);
        lists.PendingSearches.append({keyword, category, *row->SearchNum, *row->SearchDate, *row->Updated});
    }

    ExportResult Export(const PageWriter& write = WriteWholeFile) const
    {
        return ExportHTML(folder.Path(), lists, Today, Base, write);
    }

    std::optional<MasterRow> Master(const QString& keyword) const
    {
        SiteDatabase database(folder.Database());
        std::optional<MasterRow> row;
        if (!database.FindMaster(keyword, row))
            qWarning() << database.LastError();
        return row;
    }
    QStringList URLs(const QString& keyword, const QString& file = {}) const
    {
        SiteDatabase database(file.isEmpty() ? folder.Database() : Working(file));
        QList<SiteRow> rows;
        database.ReadSearchTable(SearchTableName(keyword), rows);
        QStringList urls;
        for (const SiteRow& row : rows)
            urls.append(*row.URL);
        return urls;
    }
    QStringList PageFiles(const QString& folders) const
    {
        return QDir(Working(folders)).entryList(QDir::Files, QDir::Name);
    }

    SiteFolder folder;
    ScanLists lists;
};

QStringList Range(int first, int last)
{
    QStringList urls;
    for (int n = first; n <= last; ++n)
        urls.append(u"http://s%1.example/"_s.arg(n));
    return urls;
}

int Blocks(const QString& page)
{
    return int(page.count(u"color=#008000>"_s));
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void indexBody_data()
    {
        QTest::addColumn<QList<SearchRecord>>("entries");
        QTest::addColumn<QString>("body");
        const QString head = u"<CENTER><FONT face=arial size=3><B>%1</B></FONT></CENTER>"_s;
        const QStringList open{u"<TABLE WIDTH=100%>"_s, u"<TR>"_s};
        const QStringList close{u"</TD>"_s, u"</TR>"_s, u"</TABLE>"_s};
        auto cell = [](const QString& folders, const QString& name) {
            return QStringList{u"<TD WIDTH=20%>"_s, Link(folders, name), u"</TD>"_s};
        };

        QList<SearchRecord> aab = Keywords({u"a"_s, u"a"_s, u"b b"_s});
        aab[1].Search = u"web design"_s;
        QTest::newRow("a, a, b") << aab
                                 << Lines(QStringList{head.arg(u"a"_s)} + open + cell(u"a"_s, u"k1"_s) +
                                          cell(u"a"_s, u"web_design"_s) + QStringList{u"<TD WIDTH=60%>"_s} + close +
                                          QStringList{u"<BR>"_s, u""_s, head.arg(u"b b"_s)} + open +
                                          cell(u"b_b"_s, u"k3"_s) + QStringList{u"<TD WIDTH=80%>"_s} + close);

        QStringList seven = QStringList{head.arg(u"c"_s)} + open;
        for (int n = 1; n <= 5; ++n)
            seven += cell(u"c"_s, u"k%1"_s.arg(n));
        seven += QStringList{u"</TR>"_s, u""_s, u"<TR>"_s} + cell(u"c"_s, u"k6"_s) + cell(u"c"_s, u"k7"_s) +
                 QStringList{u"<TD WIDTH=60% COLSPAN=3>"_s} + close;
        QTest::newRow("seven of one category") << Keywords(QStringList(7, u"c"_s)) << Lines(seven);

        // A category that ends inside a wrapped row closes it with a spanning filler.
        QStringList wrappedChange = QStringList{head.arg(u"c"_s)} + open;
        for (int n = 1; n <= 5; ++n)
            wrappedChange += cell(u"c"_s, u"k%1"_s.arg(n));
        wrappedChange += QStringList{u"</TR>"_s, u""_s, u"<TR>"_s} + cell(u"c"_s, u"k6"_s) +
                         QStringList{u"<TD WIDTH=80% COLSPAN=4>"_s} + close +
                         QStringList{u"<BR>"_s, u""_s, head.arg(u"d"_s)} + open + cell(u"d"_s, u"k7"_s) +
                         QStringList{u"<TD WIDTH=80%>"_s} + close;
        QTest::newRow("category change in a wrapped row")
            << Keywords(QStringList(6, u"c"_s) + QStringList{u"d"_s}) << Lines(wrappedChange);

        QStringList five = QStringList{head.arg(u"c"_s)} + open;
        for (int n = 1; n <= 5; ++n)
            five += cell(u"c"_s, u"k%1"_s.arg(n));
        QTest::newRow("one full row") << Keywords(QStringList(5, u"c"_s))
                                      << Lines(five + QStringList{u"</TR>"_s, u"</TABLE>"_s});
    }
    void indexBody()
    {
        QFETCH(QList<SearchRecord>, entries);
        QFETCH(QString, body);
        QCOMPARE(IndexBody(entries, Base), body);
    }

    void pageByteForByte()
    {
        const QList<ExportSite> sites{
            {u"http://a.example/"_s, u"seo tools"_s, u"tools for seo"_s, u"seo, tools"_s, u"5"_s, u"1234567"_s},
            {u"http://b.example/"_s, u"Best seo guide"_s, u"guide"_s, u"Null"_s, u"5"_s, u"0"_s},
        };
        const QStringList pages = TrunkPages(Pieces, sites, u"seo"_s, u"web tools"_s, Base);
        QCOMPARE(pages.size(), 1);
        const QStringList blockEnd{u"</TD>"_s, u"</TR>"_s, u"</TABLE>"_s, u"<BR>"_s, u""_s};
        const QStringList rowBreak{u"</TD>"_s, u"</TR>"_s, u"<TR>"_s, u"<TD>"_s};
        const QStringList start{u"<TABLE WIDTH=100%>"_s, u"<TR>"_s, u"<TD>"_s};
        const QString expected =
            u"[1]<TITLE>seo tools</TITLE>[2]<META name=\"description\" content=\"tools for seo\">\r\n"
            "<META name=\"keywords\" content=\"seo,tools\">[3]Web sites related to \"Seo\" ranking 5[4]"_s +
            Lines(start +
                  QStringList{u"<A HREF='http://d.example/dir/WebSiteRankList.htm'>Various type of web sites with "
                              "high page rank</A> >> seo"_s} +
                  blockEnd + start + QStringList{u"<FONT face=arial size=3><B>Seo</B> tools</FONT><BR>"_s} + rowBreak +
                  QStringList{u"Tools for seo"_s} + rowBreak +
                  QStringList{u"<FONT face=arial size=2 color=#008000>http://a.example/</FONT><FONT face=arial "
                              "size=2 color=cornflowerblue> - PR=5,Alexa=1,234,567</FONT>"_s} +
                  blockEnd + start + QStringList{u"<FONT face=arial size=3>Best <B>Seo</B> guide</FONT><BR>"_s} +
                  rowBreak + QStringList{u"Guide"_s} + rowBreak +
                  QStringList{u"<FONT face=arial size=2 color=#008000>http://b.example/</FONT><FONT face=arial "
                              "size=2 color=cornflowerblue> - PR=5,Alexa=no data</FONT>"_s} +
                  blockEnd +
                  QStringList{u"<TABLE WIDTH=100%>"_s, u"<TR>"_s, u"<TD WIDTH=70%>"_s, u"</TD>"_s,
                              u"<TD ALIGN=RIGHT>"_s, u"Go to page 1  "_s, u"</TD>"_s, u"</TR>"_s, u"</TABLE>[5]"_s});
        QCOMPARE(pages.first(), expected);
    }

    void pieceOfAPage_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("lastPR");
        QTest::addColumn<QString>("alexa");
        QTest::addColumn<QString>("expected");
        QTest::newRow("same PageRank") << u"x"_s << u"5"_s << u"1"_s << u"\"Seo\" ranking 5[4]"_s;
        QTest::newRow("PageRank range") << u"x"_s << u"4"_s << u"1"_s << u"\"Seo\" ranking from 7 to 4[4]"_s;
        QTest::newRow("title starts with keyword")
            << u"seo-guide"_s << u"7"_s << u"1"_s << u"size=3><B>Seo</B>-guide</FONT><BR>\r\n"_s;
        QTest::newRow("keyword in the title, other case")
            << u"SEO guide"_s << u"7"_s << u"1"_s << u"size=3>SEO guide</FONT><BR>\r\n"_s;
        QTest::newRow("no traffic rank") << u"x"_s << u"7"_s << u"0"_s << u" - PR=7,Alexa=no data</FONT>\r\n"_s;
        QTest::newRow("three digit groups")
            << u"x"_s << u"7"_s << u"1000000"_s << u" - PR=7,Alexa=1,000,000</FONT>\r\n"_s;
        QTest::newRow("traffic rank not extracted") << u"x"_s << u"7"_s << u""_s << u",Alexa=no data</FONT>"_s;
    }
    void pieceOfAPage()
    {
        QFETCH(QString, title);
        QFETCH(QString, lastPR);
        QFETCH(QString, alexa);
        QFETCH(QString, expected);
        const QList<ExportSite> sites{{u"http://a.example/"_s, u"first"_s, u"d"_s, u""_s, u"7"_s, u"1"_s},
                                      {u"http://b.example/"_s, title, u"d"_s, u""_s, lastPR, alexa}};
        QList<ExportSite> one = sites;
        if (lastPR == u"5")
            one[0].PR = u"5"_s;
        const QString page = TrunkPages(Pieces, one, u"seo"_s, u"t"_s, Base).first();
        QVERIFY2(page.contains(expected), qPrintable(page));
    }

    void exchangeOrder_data()
    {
        QTest::addColumn<QStringList>("pageRanks");
        QTest::addColumn<QStringList>("order");
        // Equal PageRanks need not keep their order: the exchanges move them.
        QTest::newRow("exchanges") << QStringList{u"1"_s, u"5"_s, u"5"_s, u"9"_s}
                                   << QStringList{u"s4"_s, u"s3"_s, u"s2"_s, u"s1"_s};
        QTest::newRow("by value, not text")
            << QStringList{u"9"_s, u"10"_s, u"2"_s} << QStringList{u"s2"_s, u"s1"_s, u"s3"_s};
        QTest::newRow("not extracted reads as 0") << QStringList{u""_s, u"1"_s} << QStringList{u"s2"_s, u"s1"_s};
    }
    void exchangeOrder()
    {
        QFETCH(QStringList, pageRanks);
        QFETCH(QStringList, order);
        QList<ExportSite> sites;
        for (qsizetype i = 0; i < pageRanks.size(); ++i)
            sites.append({u"s%1"_s.arg(i + 1), {}, {}, {}, pageRanks.at(i), {}});
        OrderByPageRank(sites, sites.size());
        QStringList urls;
        for (const ExportSite& site : sites)
            urls.append(site.URL);
        QCOMPARE(urls, order);
    }

    void publishing_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("extracted");
        QTest::addColumn<QList<int>>("sitesPerPage");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("searchNum");
        QTest::addColumn<QString>("updated");
        QTest::newRow("135 of 300") << 300 << 135 << QList<int>(10, 10) << Range(101, 300) << u"36/200"_s << u"Y"_s;
        QTest::newRow("23 of 23") << 23 << 23 << QList<int>{10, 10, 3} << Range(1, 23) << u"24/23"_s << u"N"_s;
        QTest::newRow("12 of 40") << 40 << 12 << QList<int>{10, 2} << Range(13, 40) << u"1/28"_s << u"Y"_s;
    }
    void publishing()
    {
        QFETCH(int, rows);
        QFETCH(int, extracted);
        QFETCH(QList<int>, sitesPerPage);
        QFETCH(QStringList, left);
        QFETCH(QString, searchNum);
        QFETCH(QString, updated);
        Rig rig;
        rig.Seed(u"web design"_s, u"home tools"_s, rows, extracted);
        // A page of an earlier export with more pages goes; the others are rewritten.
        QDir().mkpath(rig.Working(u"home_tools/web_design"_s));
        WriteBytes(rig.Working(u"home_tools/web_design/web_design11.htm"_s), "old");

        const ExportResult result = rig.Export();
        QVERIFY2(result.Completed(), qPrintable(result.Error));
        QCOMPARE(result.PagesWritten, sitesPerPage.size());
        QCOMPARE(result.KeywordsExported, 1);
        QVERIFY(result.PageFailures.isEmpty());
        QCOMPARE(result.IndexPath, rig.Working(u"WebSiteRankList.htm"_s));

        QStringList names;
        for (qsizetype n = 1; n <= sitesPerPage.size(); ++n)
            names.append(u"web_design%1.htm"_s.arg(n));
        names.sort();
        QCOMPARE(rig.PageFiles(u"home_tools/web_design"_s), names);
        for (qsizetype n = 1; n <= sitesPerPage.size(); ++n) {
            const QString page = ReadText(rig.Working(u"home_tools/web_design/web_design%1.htm"_s.arg(n)));
            QCOMPARE(Blocks(page), sitesPerPage.at(n - 1));
            QVERIFY(page.endsWith(u"</TABLE>[5]"_s));
            QVERIFY(page.contains(u"%1  "_s.arg(n)));
        }
        QVERIFY(ReadText(rig.Working(u"home_tools/web_design/web_design2.htm"_s))
                    .contains(u"<A HREF='http://d.example/dir/home_tools/web_design/web_design1.htm'>1</A> 2  "_s));
        QCOMPARE(rig.URLs(u"web design"_s), left);
        const std::optional<MasterRow> row = rig.Master(u"web design"_s);
        QCOMPARE(row->SearchNum, searchNum);
        QCOMPARE(row->Updated, updated);
        // The copy taken before: every site still there.
        QCOMPARE(rig.URLs(u"web design"_s, PreExportCopyName), Range(1, rows));
        QVERIFY(ReadText(result.IndexPath).startsWith(u"[1]<TITLE>Various type of web sites with high page rank"_s));
    }

    void keywordNoLongerDue_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("updated");
        QTest::addColumn<bool>("exported");
        QTest::newRow("today") << u"2024-05-01"_s << u"N"_s << true;
        QTest::newRow("15 days back") << u"2024-04-16"_s << u"N"_s << true;
        QTest::newRow("14 days back") << u"2024-04-17"_s << u"N"_s << false;
        QTest::newRow("exported since the scan") << u"2024-05-01"_s << u"Y"_s << false;
    }
    void keywordNoLongerDue()
    {
        QFETCH(QString, date);
        QFETCH(QString, updated);
        QFETCH(bool, exported);
        Rig rig;
        rig.Seed(u"k"_s, u"c"_s, 30, 20);
        SiteDatabase database(rig.folder.Database());
        QVERIFY(database.RebuildMaster({{u"k"_s, u"c"_s, u"21/30"_s, date, updated}}));
        const ExportResult result = rig.Export();
        QVERIFY(result.Completed());
        QCOMPARE(result.KeywordsExported, exported ? 1 : 0);
        QCOMPARE(rig.URLs(u"k"_s).size(), exported ? 10 : 30);
    }

    void failedPageKeepsTheSites()
    {
        Rig rig;
        rig.Seed(u"first"_s, u"c"_s, 40, 30);
        rig.Seed(u"second"_s, u"c"_s, 40, 30);
        QDir().mkpath(rig.Working(u"c/first"_s));
        WriteBytes(rig.Working(u"c/first/first1.htm"_s), "published before");
        WriteBytes(rig.Working(u"c/first/first3.htm"_s), "published before");
        const PageWriter failSecondPage = [](const QString& path, QByteArrayView bytes, QString& error) {
            if (path.endsWith(u"/first2.htm"_s)) {
                error = u"disk full"_s;
                return false;
            }
            return WriteWholeFile(path, bytes, error);
        };
        const ExportResult result = rig.Export(failSecondPage);
        QVERIFY(result.Completed());
        QCOMPARE(result.PageFailures.size(), 1);
        QCOMPARE(result.PageFailures.first().Search, u"first"_s);
        QCOMPARE(result.PageFailures.first().Reason, u"disk full"_s);
        // Its sites and progress stay for the next export; no page published before is removed.
        QCOMPARE(rig.URLs(u"first"_s), Range(1, 40));
        QCOMPARE(rig.Master(u"first"_s)->SearchNum, u"31/40"_s);
        QCOMPARE(rig.Master(u"first"_s)->Updated, u"N"_s);
        QCOMPARE(ReadText(rig.Working(u"c/first/first3.htm"_s)), u"published before"_s);
        // The export went on with the next keyword.
        QCOMPARE(result.KeywordsExported, 1);
        QCOMPARE(rig.URLs(u"second"_s), Range(31, 40));
        QCOMPARE(rig.Master(u"second"_s)->SearchNum, u"1/10"_s);
    }

    void exportStops_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        // Whether the keyword before the fault was published, and its sites left their table.
        QTest::addColumn<bool>("firstPublished");
        QTest::newRow("no template") << u"no template"_s << u"cannot be read"_s << false;
        QTest::newRow("four pieces") << u"four pieces"_s << u"fewer than five pieces"_s << false;
        QTest::newRow("fewer rows than Bottom") << u"short table"_s << u"fewer than its Bottom 50"_s << true;
        QTest::newRow("folder cannot be made") << u"folder"_s << u"cannot be made"_s << true;
    }
    void exportStops()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        QFETCH(bool, firstPublished);
        Rig rig;
        rig.Seed(u"first"_s, u"c"_s, 30, 20);
        rig.Seed(u"k"_s, u"c"_s, 30, 20);
        const QString templatePath = rig.Working(u"WebSiteRankList.txt"_s);
        if (fault == u"no template")
            QVERIFY(QFile::remove(templatePath));
        if (fault == u"four pieces")
            WriteBytes(templatePath, "a$$$b$$$c$$$d");
        if (fault == u"short table") {
            SiteDatabase database(rig.folder.Database());
            QVERIFY(database.UpdateProgress(u"k"_s, 21, 50));
        }
        if (fault == u"folder") {
            QDir().mkpath(rig.Working(u"c"_s));
            WriteBytes(rig.Working(u"c/k"_s), "a file where the folder goes");
        }
        const ExportResult result = rig.Export();
        QVERIFY(!result.Completed());
        QVERIFY2(result.Error.contains(reason), qPrintable(result.Error));
        QCOMPARE(rig.URLs(u"k"_s), Range(1, 30));
        QVERIFY(QFile::exists(rig.Working(PreExportCopyName)));
        QCOMPARE(rig.URLs(u"first"_s), firstPublished ? Range(21, 30) : Range(1, 30));
        QCOMPARE(QFile::exists(rig.Working(u"c/first/first2.htm"_s)), firstPublished);
    }

    void namesFromTheWebStayText_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("category");
        QTest::newRow("dots") << u".."_s << u".."_s;
        QTest::newRow("slashes") << u"../../x"_s << u"/etc"_s;
        QTest::newRow("backslash and colon") << u"a\\b:c"_s << u"..\\.."_s;
        QTest::newRow("quotes and markup") << u"o'neil \"<b>x</b>\""_s << u"`a` 'b'"_s;
        QTest::newRow("percent and hash") << u"100% #1?"_s << u"a&amp;b"_s;
        QTest::newRow("non-ASCII") << u"café 日本"_s << u"ü"_s;
        QTest::newRow("a trailing dot") << u"end."_s << u"."_s;
    }
    void namesFromTheWebStayText()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, category);
        Rig rig;
        rig.Seed(keyword, category, 15, 12, [](int n) {
            return SiteDetails{u"http://s%1.example/"_s.arg(n),
                               u"<script>alert(1)</script> caf\u00e9 &amp;"_s,
                               u"\"><img src=x>"_s,
                               u"k"_s,
                               3,
                               0};
        });
        const ExportResult result = rig.Export();
        QVERIFY2(result.Completed(), qPrintable(result.Error));
        QCOMPARE(result.PagesWritten, 2);

        // Every file is inside Database/ and nothing of the names is markup.
        QStringList pages;
        QDirIterator files(rig.folder.Path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QVERIFY2(path.startsWith(rig.Working()), qPrintable(path));
            if (path.endsWith(u".htm"_s))
                pages.append(path);
        }
        QCOMPARE(pages.size(), 3);
        for (const QString& path : pages) {
            const QString page = ReadText(path);
            for (const QString& markup : {u"<script"_s, u"<img"_s, u"<b>"_s, u"\"<"_s})
                QVERIFY2(!page.contains(markup), qPrintable(markup));
            for (QChar c : page)
                QVERIFY(c.unicode() < 128);
        }
        const QString page = ReadText(rig.Working(IndexPageName));
        const auto firstPage = std::find_if(pages.cbegin(), pages.cend(), [](const QString& path) {
            return !path.endsWith(IndexPageName) && path.endsWith(u"1.htm"_s);
        });
        QVERIFY(firstPage != pages.cend());
        const QString first = ReadText(*firstPage);
        QVERIFY(first.contains(u"&lt;script&gt;alert(1)&lt;/script&gt; caf&#233; &amp;"_s));

        // The links of the index and of the pages lead to the files written.
        QRegularExpression href(u"HREF='?([^ '>]+)"_s);
        for (const QString& text : {page, first}) {
            auto links = href.globalMatch(text);
            while (links.hasNext()) {
                const QString link = links.next().captured(1);
                QVERIFY2(link.startsWith(Base), qPrintable(link));
                const QString file = QUrl::fromPercentEncoding(link.mid(Base.size()).toLatin1());
                QVERIFY2(QFile::exists(rig.Working(file)), qPrintable(file));
            }
        }
        // The database keeps the names as they were.
        QVERIFY(rig.Master(keyword));
        QCOMPARE(rig.URLs(keyword), Range(13, 15));
    }
};

QUORVEX_TEST_MAIN_CORE(TestExport)
#include "test_export.moc"
