// The rank lists: imports of each form, the refusals that change nothing, the lookups and the
// download of a list from the fake web.

#include "RankListTestSupport.h"
#include "sources/RankListDownload.h"
#include "sources/RankListRows.h"
#include "support/FileDamage.h"
#include "support/ProxyWeb.h"
#include "support/TestHome.h"

#include <QSignalSpy>

Q_DECLARE_METATYPE(Entries)
Q_DECLARE_METATYPE(CannedReply)
Q_DECLARE_METATYPE(RankListImportResult)

class TestRankLists : public QObject, RankListRig {
    Q_OBJECT

private Q_SLOTS:
    void init() { Clear(); }

    void importsEachForm_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<bool>("zipped");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("message");

        const QByteArray majestic = "GlobalRank,TldRank,Domain,TLD,RefSubNets,RefIPs\r\n"
                                    "1,1,example.com,com,100,200\r\n2,1,bbc.co.uk,uk,90,180\r\n"
                                    "3,2,example.org,org,80,150\r\n";
        const int tranco = int(RankListKind::Tranco);
        QTest::newRow("tranco LF, ID in the name")
            << tranco << u"tranco_K2QVN.csv"_s << QByteArray("1,example.com\n2,bbc.co.uk\n3,example.org\n") << false
            << u"K2QVN"_s << u"Imported the tranco list K2QVN: 3 domains."_s;
        QTest::newRow("tranco CRLF, no final line end, dated")
            << tranco << u"top-1m.csv"_s << QByteArray("1,example.com\r\n2,bbc.co.uk\r\n3,example.org") << false
            << u"2025-03-14"_s << u"Imported the tranco list 2025-03-14: 3 domains."_s;
        QTest::newRow("tranco in a ZIP") << tranco << u"tranco_Z9XY1-1m.csv.zip"_s
                                         << QByteArray("1,example.com\n2,bbc.co.uk\n3,example.org\n") << true
                                         << u"Z9XY1"_s << u"Imported the tranco list Z9XY1: 3 domains."_s;
        QTest::newRow("tranco with stray lines")
            << tranco << u"list.csv"_s
            << QByteArray("rank,domain\n\n1,example.com\n2,bbc.co.uk\nnonsense\n3,example.org\n") << false
            << u"2025-03-14"_s
            << u"Imported the tranco list 2025-03-14: 3 domains. 2 lines that are not rows were skipped."_s;
        QTest::newRow("majestic with its header")
            << int(RankListKind::Majestic) << u"majestic_million.csv"_s << majestic << false << u"2025-03-14"_s
            << u"Imported the majestic list 2025-03-14: 3 domains."_s;
        QTest::newRow("majestic, columns elsewhere, in a ZIP")
            << int(RankListKind::Majestic) << u"majestic.zip"_s
            << QByteArray("\xEF\xBB\xBF\"Domain\",\"GlobalRank\"\n\"example.com\",\"1\"\n\"bbc.co.uk\",\"2\"\n"
                          "\"example.org\",\"3\"\n")
            << true << u"2025-03-14"_s << u"Imported the majestic list 2025-03-14: 3 domains."_s;
    }
    void importsEachForm()
    {
        QFETCH(int, kind);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, csv);
        QFETCH(bool, zipped);
        QFETCH(QString, id);
        QFETCH(QString, message);
        const auto listKind = RankListKind(kind);

        const QString path = zipped ? WriteZip(File(fileName), {{u"top-1m.csv"_s, csv}}) : Write(File(fileName), csv);
        const RankListImportResult result = Import(listKind, path);
        QVERIFY2(result.Ok, qPrintable(result.Message));
        QCOMPARE(result.Message, message);

        const std::optional<RankListInfo> info = RankListStore(DatabasePath()).Info(listKind);
        QVERIFY(info);
        QCOMPARE(info->Id, id);
        QCOMPARE(info->Rows, 3);
        QCOMPARE(info->ImportedOn, u"2025-03-14"_s);
        QCOMPARE(info->Source, fileName);
        QCOMPARE(Rank(listKind, u"example.com"_s), u"1"_s);
        QCOMPARE(Rank(listKind, u"example.org"_s), u"3"_s);
        const RankListKind other = listKind == RankListKind::Tranco ? RankListKind::Majestic : RankListKind::Tranco;
        QVERIFY(Rank(other, u"example.com"_s).startsWith(u"failed: "_s));
    }

    void refusalsChangeNothing_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("kind");
        QTest::addColumn<Entries>("zipEntries"); // empty: the file is csv itself
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<qint64>("mostRows");
        QTest::addColumn<QString>("message");

        const int tranco = int(RankListKind::Tranco);
        const int majestic = int(RankListKind::Majestic);
        const QByteArray fine = "1,a.example\n2,b.example\n";
        QTest::newRow("empty") << u"empty.csv"_s << tranco << Entries{} << QByteArray() << MostRankListRows
                               << u"empty.csv is empty."_s;
        QTest::newRow("blank lines only") << u"blank.csv"_s << tranco << Entries{} << QByteArray("\r\n\n  \n")
                                          << MostRankListRows << u"blank.csv is empty."_s;
        QTest::newRow("a web page") << u"page.csv"_s << tranco << Entries{}
                                    << QByteArray("<html>\n<body>Not found</body>\n</html>\n") << MostRankListRows
                                    << u"page.csv is not a tranco list: no line reads \"rank,domain\"."_s;
        QTest::newRow("a majestic file as tranco")
            << u"m.csv"_s << tranco << Entries{} << QByteArray("GlobalRank,TldRank,Domain\n1,1,a.example\n")
            << MostRankListRows << u"m.csv is not a tranco list: no line reads \"rank,domain\"."_s;
        QTest::newRow("ranks not increasing")
            << u"down.csv"_s << tranco << Entries{} << QByteArray("1,a.example\n2,b.example\n2,c.example\n")
            << MostRankListRows
            << u"down.csv is not a tranco list: the rank 2 on line 3 does not follow the rank 2 on "
               "line 2."_s;
        QTest::newRow("more rows than a list may hold")
            << u"long.csv"_s << tranco << Entries{} << QByteArray("1,a.example\n2,b.example\n3,c.example\n")
            << qint64(2) << u"long.csv holds more than 2 rows; a rank list may hold at most 2."_s;
        QTest::newRow("majestic without its columns")
            << u"m.csv"_s << majestic << Entries{} << QByteArray("Rank,Site\n1,a.example\n") << MostRankListRows
            << u"m.csv is not a majestic list: its first line names no GlobalRank and Domain columns."_s;
        QTest::newRow("majestic header alone")
            << u"m.csv"_s << majestic << Entries{} << QByteArray("GlobalRank,Domain\n") << MostRankListRows
            << u"m.csv is not a majestic list: no line below its header holds a rank and a domain."_s;
        QTest::newRow("ZIP without a CSV") << u"l.zip"_s << tranco << Entries{{u"readme.txt"_s, fine}} << QByteArray()
                                           << MostRankListRows << u"l.zip holds no CSV file."_s;
        QTest::newRow("ZIP with two CSV files")
            << u"l.zip"_s << tranco << Entries{{u"a.csv"_s, fine}, {u"b.CSV"_s, fine}} << QByteArray()
            << MostRankListRows << u"l.zip holds 2 CSV files; it must hold only one."_s;
        QTest::newRow("ZIP of an empty CSV") << u"l.zip"_s << tranco << Entries{{u"folder/"_s, {}}, {u"a.csv"_s, {}}}
                                             << QByteArray() << MostRankListRows << u"l.zip is empty."_s;
    }
    void refusalsChangeNothing()
    {
        QFETCH(QString, fileName);
        QFETCH(int, kind);
        QFETCH(Entries, zipEntries);
        QFETCH(QByteArray, csv);
        QFETCH(qint64, mostRows);
        QFETCH(QString, message);
        const auto listKind = RankListKind(kind);

        // Without a list yet, a refusal leaves no file behind.
        const QString path = zipEntries.isEmpty() ? Write(File(fileName), csv) : WriteZip(File(fileName), zipEntries);
        RankListImportResult result = Import(listKind, path, mostRows);
        QVERIFY(!result.Ok);
        QCOMPARE(result.Message, message);
        QVERIFY(!QFileInfo::exists(DatabasePath()));

        // With a list of that kind, the refusal leaves it as it was.
        const QString earlier = listKind == RankListKind::Tranco
                                    ? Write(File(u"tranco_OLD01.csv"_s), "1,old.example\n2,older.example\n")
                                    : Write(File(u"old.csv"_s), "GlobalRank,Domain\n1,old.example\n2,older.example\n");
        QVERIFY(Import(listKind, earlier).Ok);
        const QList<RankListInfo> before = RankListStore(DatabasePath()).ListInfo();
        result = Import(listKind, path, mostRows);
        QVERIFY(!result.Ok);
        QCOMPARE(result.Message, message);
        const QList<RankListInfo> after = RankListStore(DatabasePath()).ListInfo();
        QCOMPARE(after.size(), 1);
        QCOMPARE(after.first().Id, before.first().Id);
        QCOMPARE(after.first().Rows, 2);
        QCOMPARE(Rank(listKind, u"older.example"_s), u"2"_s);
    }

    void failureHalfWayKeepsTheOldList_data()
    {
        QTest::addColumn<QByteArray>("tail"); // what follows 5,000 good rows
        QTest::newRow("a rank out of order") << QByteArray("17,late.example\n");
        QTest::newRow("too many rows") << Generated(6000).mid(Generated(5000).size());
    }
    void failureHalfWayKeepsTheOldList()
    {
        QFETCH(QByteArray, tail);
        QVERIFY(Import(RankListKind::Tranco, Write(File(u"tranco_OLD01.csv"_s), Small)).Ok);
        RankListLookup openDuringTheImport(DatabasePath(), RankListKind::Tranco);
        QVERIFY(openDuringTheImport.IsReady());

        const QString broken = Write(File(u"tranco_NEW02.csv"_s), Generated(5000) + tail);
        QVERIFY(!Import(RankListKind::Tranco, broken, 5500).Ok);
        QCOMPARE(RankListStore(DatabasePath()).Info(RankListKind::Tranco)->Id, u"OLD01"_s);
        QCOMPARE(Rank(RankListKind::Tranco, u"bbc.co.uk"_s), u"2"_s);
        QCOMPARE(Rank(RankListKind::Tranco, u"site1.example"_s), u"not ranked"_s);
        QCOMPARE(openDuringTheImport.Lookup(u"example.org"_s).Rank, 3);

        // A complete import replaces the list, also for a lookup that was open before it.
        QVERIFY(Import(RankListKind::Tranco, Write(File(u"tranco_NEW03.csv"_s), Generated(5000))).Ok);
        QCOMPARE(RankListStore(DatabasePath()).Info(RankListKind::Tranco)->Rows, 5000);
        QCOMPARE(openDuringTheImport.Lookup(u"site4999.example"_s).Rank, 4999);
        QCOMPARE(openDuringTheImport.Lookup(u"example.org"_s).Result, RankLookupResult::Outcome::NotRanked);
    }

    // A file that is mostly not a list, or a list far shorter than the one it would replace, is
    // refused unless forced; the earlier list stays.
    void mostlyJunkIsRefused_data()
    {
        QTest::addColumn<int>("kept");        // rows of the earlier list; 0 for none
        QTest::addColumn<QByteArray>("csv");  // imported as tranco_NEW02.csv
        QTest::addColumn<QString>("refusal"); // empty: imported

        const QByteArray row = "21,example.com\n";
        QByteArray notUtf8;
        QByteArray controls;
        for (int i = 1; i <= 20; ++i) {
            notUtf8 += QByteArray::number(i) + ",\xff\xfe\xc3\x28.example\n";
            controls += QByteArray::number(i) + ",evil\x1b[2J\x1b]0;title\x07.example\n";
        }
        const QString twentyOfTwentyOne =
            u"tranco_NEW02.csv is refused: 20 of its 21 non-blank lines are not rows of a tranco list (more "
            "than 1%)."_s;
        QTest::newRow("20 lines of 1 MB")
            << 220 << QByteArray(1 << 20, 'x').append('\n').repeated(20) + row << twentyOfTwentyOne;
        QTest::newRow("20 lines of NUL") << 220 << QByteArray(64, '\0').append('\n').repeated(20) + row
                                         << twentyOfTwentyOne;
        QTest::newRow("20 lines not UTF-8") << 220 << notUtf8 + row << twentyOfTwentyOne;
        QTest::newRow("20 lines of control sequences") << 220 << controls + row << twentyOfTwentyOne;
        QTest::newRow("junk without an earlier list")
            << 0 << QByteArray("junk\n").repeated(20) + row << twentyOfTwentyOne;
        QTest::newRow("1% of the lines") << 0 << Generated(1980) + QByteArray("junk\n").repeated(20) << QString();
        QTest::newRow("more than 1%")
            << 0 << Generated(1979) + QByteArray("junk\n").repeated(21)
            << u"tranco_NEW02.csv is refused: 21 of its 2,000 non-blank lines are not rows of a tranco list (more "
               "than 1%)."_s;
        QTest::newRow("10 lines of 11") << 0 << QByteArray("junk\n").repeated(10) + row << QString();
        QTest::newRow("11 lines of 12")
            << 0 << QByteArray("junk\n").repeated(11) + row
            << u"tranco_NEW02.csv is refused: 11 of its 12 non-blank lines are not rows of a tranco list (more "
               "than 1%)."_s;
        QTest::newRow("99 rows for 1,001")
            << 1001 << Generated(99)
            << u"tranco_NEW02.csv is refused: it holds 99 domains, and the tranco list it would replace holds "
               "1,001 (a list of fewer than 100 domains does not replace one of more than 1,000)."_s;
        QTest::newRow("100 rows for 1,001") << 1001 << Generated(100) << QString();
        QTest::newRow("1 row for 1,000") << 1000 << Generated(1) << QString();
    }
    void mostlyJunkIsRefused()
    {
        QFETCH(int, kept);
        QFETCH(QByteArray, csv);
        QFETCH(QString, refusal);
        if (kept > 0)
            QVERIFY(Import(RankListKind::Tranco, Write(File(u"tranco_OLD01.csv"_s), Generated(kept))).Ok);
        RankListImportRequest request;
        request.Kind = RankListKind::Tranco;
        request.Path = Write(File(u"tranco_NEW02.csv"_s), csv);
        request.Today = Today;
        RankListImportResult result = RankListStore(DatabasePath()).Import(request);
        if (refusal.isEmpty()) {
            QVERIFY2(result.Ok, qPrintable(result.Message));
            QCOMPARE(RankListStore(DatabasePath()).Info(RankListKind::Tranco)->Id, u"NEW02"_s);
            return;
        }
        QVERIFY(!result.Ok);
        QCOMPARE(result.Message, refusal);
        QVERIFY(result.Overridable);
        const std::optional<RankListInfo> earlier = RankListStore(DatabasePath()).Info(RankListKind::Tranco);
        QCOMPARE(bool(earlier), kept > 0);
        if (earlier) {
            QCOMPARE(earlier->Id, u"OLD01"_s);
            QCOMPARE(earlier->Rows, kept);
            QCOMPARE(Rank(RankListKind::Tranco, u"site%1.example"_s.arg(kept)), QString::number(kept));
        }

        // Forced, the same file is imported, its junk skipped.
        request.Force = true;
        result = RankListStore(DatabasePath()).Import(request);
        QVERIFY2(result.Ok, qPrintable(result.Message));
        QCOMPARE(RankListStore(DatabasePath()).Info(RankListKind::Tranco)->Id, u"NEW02"_s);
    }

    // A damaged file is named as such, in the lists' description and in every lookup, never taken
    // for a missing list.
    void damagedFileIsNamed_data()
    {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<QByteArray>("bytes");  // empty: zeros to the end of the file
        QTest::addColumn<QString>("listFault"); // what the description of the lists says
        QTest::addColumn<QString>("lookupFault");
        const QString notADatabase = u"RankLists.db is damaged: file is not a database"_s;
        const QString malformed = u"RankLists.db is damaged: database disk image is malformed"_s;
        QTest::newRow("its header") << qint64(0) << QByteArray("not a database!!").repeated(4) << notADatabase
                                    << notADatabase;
        // The table of the lists is the first one made, on the second page.
        QTest::newRow("the page of the lists") << qint64(4096) << QByteArray(4096, '\0') << malformed << malformed;
        QTest::newRow("the pages of the rows") << qint64(2 * 4096) << QByteArray() << QString() << malformed;
    }
    void damagedFileIsNamed()
    {
        QFETCH(qint64, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, listFault);
        QFETCH(QString, lookupFault);
        QVERIFY(Import(RankListKind::Tranco, Write(File(u"tranco_OLD01.csv"_s), Generated(20000))).Ok);
        const qint64 size = QFileInfo(DatabasePath()).size();
        QVERIFY(size > offset + bytes.size());
        OverwriteBytes(DatabasePath(), offset, bytes.isEmpty() ? QByteArray(size - offset, '\0') : bytes);

        QString fault;
        const QList<RankListInfo> lists = RankListStore(DatabasePath()).ListInfo(&fault);
        QCOMPARE(fault, listFault);
        QCOMPARE(lists.isEmpty(), !listFault.isEmpty());
        RankListLookup lookup(DatabasePath(), RankListKind::Tranco);
        const RankLookupResult result = lookup.IsReady() ? lookup.Lookup(u"site19999.example"_s) : RankLookupResult{};
        QCOMPARE(result.Result, RankLookupResult::Outcome::Failed);
        QCOMPARE(lookup.IsReady() ? result.Error : lookup.Error(), lookupFault);
    }

    void lookups_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("rank");
        QTest::newRow("plain") << u"example.com"_s << u"1"_s;
        QTest::newRow("www.") << u"www.example.com"_s << u"1"_s;
        QTest::newRow("upper case") << u"WWW.Example.COM"_s << u"1"_s;
        QTest::newRow("an address") << u"https://www.example.com:8080/page?q=1"_s << u"1"_s;
        QTest::newRow("trailing dot") << u"example.com."_s << u"1"_s;
        QTest::newRow("registrable domain") << u"news.bbc.co.uk"_s << u"2"_s;
        QTest::newRow("registrable domain, deeper") << u"a.b.news.bbc.co.uk"_s << u"2"_s;
        QTest::newRow("the host itself first") << u"blog.example.org"_s << u"4"_s;
        QTest::newRow("a host of a listed domain") << u"shop.example.org"_s << u"3"_s;
        QTest::newRow("IDN host") << u"www.Bücher.example"_s << u"5"_s;
        QTest::newRow("missing domain") << u"missing.example"_s << u"not ranked"_s;
        QTest::newRow("a public suffix") << u"co.uk"_s << u"not ranked"_s;
        QTest::newRow("an IP address is no domain") << u"192.168.1.1"_s << u"not ranked"_s;
        QTest::newRow("nothing") << u""_s << u"not ranked"_s;
    }
    void lookups()
    {
        QFETCH(QString, host);
        QFETCH(QString, rank);
        if (!QFileInfo::exists(DatabasePath()))
            QVERIFY(Import(RankListKind::Tranco, Write(File(u"tranco_K2QVN.csv"_s), Small)).Ok);
        QCOMPARE(Rank(RankListKind::Tranco, host), rank);
    }

    void batchLookupOnOneConnection()
    {
        QVERIFY(Import(RankListKind::Tranco, Write(File(u"tranco_K2QVN.csv"_s), Small)).Ok);
        RankListLookup lookup(DatabasePath(), RankListKind::Tranco);
        const QList<RankLookupResult> results =
            lookup.Lookup(QStringList{u"news.bbc.co.uk"_s, u"missing.example"_s, u"www.example.com"_s});
        QCOMPARE(results.size(), 3);
        QCOMPARE(results[0].Rank, 2);
        QCOMPARE(results[0].Domain, u"bbc.co.uk"_s);
        QCOMPARE(results[1].Result, RankLookupResult::Outcome::NotRanked);
        QCOMPARE(results[1].Rank, 0);
        QCOMPARE(results[2].Domain, u"example.com"_s);
    }

    void lookupWithoutAListFails()
    {
        QCOMPARE(Rank(RankListKind::Tranco, u"example.com"_s), u"failed: No tranco list has been imported."_s);
    }

    void download_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<CannedReply>("reply");
        QTest::addColumn<QString>("message");

        CannedReply csv;
        csv.Body = Generated(3);
        csv.ContentType = "text/csv";
        QTest::newRow("CSV") << u"http://lists.example/tranco_DL001.csv"_s << csv
                             << u"Imported the tranco list DL001: 3 domains."_s;

        const QString zipPath = WriteZip(dir.filePath(u"download.zip"_s), {{u"top-1m.csv"_s, Generated(5000)}});
        QFile zipFile(zipPath);
        QVERIFY(zipFile.open(QIODevice::ReadOnly));
        CannedReply zipped;
        zipped.Body = zipFile.readAll();
        zipped.ContentType = "application/zip";
        QTest::newRow("ZIP") << u"http://lists.example/top-1m.csv.zip"_s << zipped
                             << u"Imported the tranco list 2025-03-14: 5,000 domains."_s;

        CannedReply missing;
        missing.Status = 404;
        missing.Body = "<html>gone</html>";
        QTest::newRow("404")
            << u"http://lists.example/tranco_DL001.csv"_s << missing
            << u"http://lists.example/tranco_DL001.csv cannot be downloaded: the server answered 404."_s;
        // The body of an error is not the list: it is not read.
        CannedReply endlessError;
        endlessError.Status = 404;
        endlessError.Kind = CannedReply::Behaviour::Endless;
        QTest::newRow("404 with an endless body")
            << u"http://lists.example/tranco_DL001.csv"_s << endlessError
            << u"http://lists.example/tranco_DL001.csv cannot be downloaded: the server answered 404."_s;

        CannedReply page;
        page.Body = "<html>\n<body>Sign in to download</body>\n</html>\n";
        QTest::newRow("a page instead") << u"http://lists.example/list.csv"_s << page
                                        << u"http://lists.example/list.csv is not a tranco list: no line reads "
                                           "\"rank,domain\"."_s;

        const QString tooLarge = u" is larger than 1 MiB, the most a list download may be (the setting "
                                 "list-download-max-mib raises it)."_s;
        CannedReply huge;
        huge.Body = Generated(60000);
        QTest::newRow("over the size cap")
            << u"http://lists.example/big.csv"_s << huge << u"http://lists.example/big.csv"_s + tooLarge;

        CannedReply announced;
        announced.Kind = CannedReply::Behaviour::Endless;
        announced.Headers = {{"Content-Length", "52428800"}};
        QTest::newRow("announced over the size cap") << u"http://lists.example/announced.csv"_s << announced
                                                     << u"http://lists.example/announced.csv"_s + tooLarge;

        CannedReply endless;
        endless.Kind = CannedReply::Behaviour::Endless;
        QTest::newRow("endless") << u"http://lists.example/endless.csv"_s << endless
                                 << u"http://lists.example/endless.csv"_s + tooLarge;

        CannedReply silent;
        silent.Kind = CannedReply::Behaviour::NeverAnswer;
        QTest::newRow("silent")
            << u"http://lists.example/silent.csv"_s << silent
            << u"http://lists.example/silent.csv cannot be downloaded: nothing arrived for 0.5 seconds."_s;

        CannedReply drip;
        drip.Kind = CannedReply::Behaviour::Drip;
        drip.DripMs = 50;
        QTest::newRow("too slow") << u"http://lists.example/drip.csv"_s << drip
                                  << u"http://lists.example/drip.csv took longer than 1.5 seconds to download."_s;

        QTest::newRow("not a web address") << u"ftp://lists.example/x.csv"_s << CannedReply{}
                                           << u"ftp://lists.example/x.csv is not an http or https address."_s;
    }
    void download()
    {
        QFETCH(QString, address);
        QFETCH(CannedReply, reply);
        QFETCH(QString, message);

        ProxyWeb web;
        web.AddRoute(address, reply);
        // An earlier list that a failed download must leave alone.
        QVERIFY(Import(RankListKind::Tranco, Write(File(u"tranco_OLD01.csv"_s), Small)).Ok);

        RankListDownload download(DatabasePath());
        download.SetBodyCap(1024 * 1024);
        download.SetTransferTimeout(500);
        download.SetTotalTimeLimit(1500);
        QSignalSpy finished(&download, &RankListDownload::Finished);
        QList<RankListStage> stages;
        RankListImportRequest request;
        request.Today = Today;
        request.Progress = [&stages](RankListStage stage, qint64, qint64) { stages.append(stage); };
        download.Start(QUrl(address), request);
        QCOMPARE(finished.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);

        const auto result = finished.first().first().value<RankListImportResult>();
        QCOMPARE(result.Message, message);
        const std::optional<RankListInfo> info = RankListStore(DatabasePath()).Info(RankListKind::Tranco);
        if (result.Ok) {
            QVERIFY(stages.contains(RankListStage::Downloading));
            QCOMPARE(info->Source, address);
            QCOMPARE(Rank(RankListKind::Tranco, u"site2.example"_s), u"2"_s);
        } else {
            QCOMPARE(info->Id, u"OLD01"_s);
            QCOMPARE(Rank(RankListKind::Tranco, u"bbc.co.uk"_s), u"2"_s);
        }
        // The temporary file of the download is gone either way.
        QCOMPARE(QDir(dir.path()).entryList({u"RankListDownload-*"_s}, QDir::Files), QStringList{});
        QTest::qWait(100);
        QCOMPARE(finished.count(), 1);
    }
};

QUORVEX_TEST_MAIN_CORE(TestRankLists)
#include "test_rank_lists.moc"
