#include "base/HtmlText.h"
#include "model/AppState.h"
#include "run/RankReport.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>

class TestRankReport : public QObject {
    Q_OBJECT

    static QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QString Fixture(const char* name)
    {
        return qEnvironmentVariable("QUORVEX_TEST_FIXTURES") + QStringLiteral("/run/") + QLatin1String(name);
    }
    static void AddPRJob(RankRunState& run, const QString& url, const QString& pr, const QString& alexa,
                         const QString& title, const QString& description, const QString& keywords)
    {
        run.PRJobURL << url;
        run.PRJobPageURL << url;
        run.PRJobPageRank << pr;
        run.PRJobAlexa << alexa;
        run.PRJobTitle << title;
        run.PRJobDescription << description;
        run.PRJobKeywords << keywords;
        ++run.PRJobCount;
    }
    static PositionJob Record(const char* url, const char* product, const char* keyword, int rank, const char* view)
    {
        PositionJob job;
        job.URL = QLatin1String(url);
        job.Product = QLatin1String(product);
        job.Keyword = QLatin1String(keyword);
        job.Rank = rank;
        job.ViewURL = QLatin1String(view);
        return job;
    }

private Q_SLOTS:
    void writesTheThreeFilesExactly()
    {
        QTemporaryDir home;
        AppState state(home.path());
        state.Lists.CheckExtractKeyword = true;
        state.Lists.TOP10List = true;
        state.Lists.PRURLList = {{QStringLiteral("http://www.example.com"), 1}};
        RankRunState& run = state.Run;
        AddPRJob(run, QStringLiteral("http://www.example.com"), QStringLiteral("5/10"), QStringLiteral("1,234"),
                 QStringLiteral("Caf\u00e9 <script>alert(1)</script>"), QStringLiteral("Fish &amp; chips"),
                 QStringLiteral("a,b"));
        AddPRJob(run, QStringLiteral("http://www.other.org/a b"), QStringLiteral("0/10"),
                 QStringLiteral("Not Available"), QString(), QString(), QString());
        run.PositionJobs = {Record("http://example.com", "Widget", "seo", 12,
                                   "http://www.google.com/search?hl=en&q=seo&btnG=Google+Search&num=10&start=10"),
                            Record("http://example.com", "Widget", "page rank", 0, ""),
                            Record("http://other.org", "Widget", "seo", 3,
                                   "http://www.google.com/search?hl=en&q=seo&btnG=Google+Search&num=10&start=0")};
        run.PositionJobs[0].Top10[0] = QStringLiteral("www.a.com/x");
        run.PositionJobs[0].Top10[1] = QStringLiteral("en.wikipedia.org/wiki/Seo");
        run.PositionJobs[1].Top10[0] = QStringLiteral("www.b.com");
        run.PositionJobs[2].Top10[0] = QStringLiteral("www.not-shown.com"); // its keyword came before
        run.PositionJobCount = 3;

        // An earlier day's report, and files that are no reports.
        const QString folder = home.filePath(QStringLiteral("Report"));
        QVERIFY(QDir().mkpath(folder));
        for (const char* name : {"Report20251231.htm", "notes.txt", "Index.htm"}) {
            QFile file(folder + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        QVERIFY(GetReport(state, QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9))));
        QCOMPARE(Bytes(folder + QStringLiteral("/Report20260307.htm")), Bytes(Fixture("Report20260307.htm")));
        QCOMPARE(Bytes(folder + QStringLiteral("/Index.htm")), Bytes(Fixture("Index.htm")));
        QCOMPARE(Bytes(folder + QStringLiteral("/Title.htm")), Bytes(Fixture("Title.htm")));
        QCOMPARE(ReportIndexPath(home.path()), folder + QStringLiteral("/Index.htm"));
    }

    void optionsDecideTheTables_data()
    {
        QTest::addColumn<bool>("withPageRankJob");
        QTest::addColumn<bool>("extractKeyword");
        QTest::addColumn<bool>("top10");
        QTest::addColumn<int>("tables");
        QTest::newRow("positions only") << false << true << false << 1;
        QTest::newRow("positions and top ten") << false << false << true << 2;
        QTest::newRow("page rank without summaries") << true << false << false << 2;
        QTest::newRow("page rank with summaries") << true << true << false << 3;
    }
    void optionsDecideTheTables()
    {
        QFETCH(bool, withPageRankJob);
        QFETCH(bool, extractKeyword);
        QFETCH(bool, top10);
        QFETCH(int, tables);
        QTemporaryDir home;
        AppState state(home.path());
        state.Lists.CheckExtractKeyword = extractKeyword;
        state.Lists.TOP10List = top10;
        if (withPageRankJob)
            AddPRJob(state.Run, QStringLiteral("http://www.a.com"), QStringLiteral("0/10"),
                     QStringLiteral("Not Available"), QString(), QString(), QString());
        state.Run.PositionJobs = {Record("http://b.com", "", "k", 0, "")};
        state.Run.PositionJobCount = 1;
        const QDateTime now(QDate(2026, 1, 2), QTime(3, 4, 5));
        QVERIFY(GetReport(state, now));
        const QByteArray report = Bytes(home.filePath(QStringLiteral("Report/Report20260102.htm")));
        QCOMPARE(int(report.count("<TABLE ")), tables);
        QCOMPARE(report.contains("Google Page Rank"), withPageRankJob);
        QVERIFY(report.contains("Not Found"));
        QVERIFY(report.endsWith("</CENTER>\r\n</BODY>\r\n</HTML>\r\n"));
    }

    void webTextCannotBecomeMarkup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("attribute");
        QTest::newRow("tag") << "<b>x</b>"
                             << "&lt;b&gt;x&lt;/b&gt;"
                             << "&lt;b&gt;x&lt;/b&gt;";
        QTest::newRow("quote and blank") << "a\" onclick=x b"
                                         << "a&quot; onclick=x b"
                                         << "a&quot;%20onclick=x%20b";
        QTest::newRow("apostrophe start") << "'x"
                                          << "'x"
                                          << "&#39;x";
        QTest::newRow("entity kept") << "Fish &amp; chips"
                                     << "Fish &amp; chips"
                                     << "Fish%20&amp;%20chips";
        QTest::newRow("beyond ascii") << "\u00e9\U0001F600"
                                      << "&#233;&#128512;"
                                      << "&#233;&#128512;";
    }
    void webTextCannotBecomeMarkup()
    {
        QFETCH(QString, text);
        QFETCH(QString, content);
        QFETCH(QString, attribute);
        QCOMPARE(HtmlText(text), content);
        QCOMPARE(HtmlUnquotedAttribute(text), attribute);
    }
};

QUORVEX_TEST_MAIN_CORE(TestRankReport)
#include "test_rank_report.moc"
