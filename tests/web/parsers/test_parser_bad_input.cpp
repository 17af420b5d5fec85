// Routing by kind letter, and every parser on pages and download keys it was never meant for:
// each ends as it should and reads nothing outside the page.

#include "ParserTestSupport.h"
#include "support/TestHome.h"
#include "web/ParserTable.h"

#include <QRandomGenerator>

namespace {

const QString Kinds = QStringLiteral("WTGgAaKk");

// Tables of two slots everywhere, so slot 1 is in range and slot 2 is not.
void SizeEverything(AppState& state)
{
    RankRunState& run = state.Run;
    run.PRJobPageRank = run.PRJobAlexa = run.PRJobTitle = run.PRJobDescription = run.PRJobKeywords =
        QStringList(2, QStringLiteral("before"));
    run.PositionJobs = QList<PositionJob>(2);
    run.PositionJobs[1].URL = QStringLiteral("www.target.example");
    run.PositionJobs[1].Product = QStringLiteral("widget");
    SiteTables& sites = state.Sites;
    sites.WebSiteCount = 2;
    sites.WebSiteList = QStringList(2, QStringLiteral("http://a.example"));
    sites.SitePR = QList<int>(2, 0);
    sites.SiteAlexa = QList<qint32>(2, 0);
    sites.SiteTitle = sites.SiteDescription = sites.SiteKeyword = QStringList(2, QString());
}

QString KeyFor(QChar kind, const QString& slot)
{
    return kind == u'T' ? QString(kind) + slot + QStringLiteral("$1") : QString(kind) + slot;
}

void RunAll(ParserBench& bench, const QString& page, const QStringList& slots)
{
    for (const QString& slot : slots) {
        for (QChar kind : Kinds) {
            SizeEverything(bench.State);
            ParserFor(kind)(bench.Context, page, KeyFor(kind, slot));
            // The tables keep their size, and slot 0 is left as it was when the key names another
            // (a key that is no number reads as 0, as it always did).
            const RankRunState& run = bench.State.Run;
            const SiteTables& sites = bench.State.Sites;
            QCOMPARE(run.PRJobPageRank.size(), 2);
            QCOMPARE(sites.SiteTitle.size(), 2);
            if (slot.toInt() < 1)
                continue;
            for (const QStringList* values :
                 {&run.PRJobPageRank, &run.PRJobAlexa, &run.PRJobTitle, &run.PRJobDescription, &run.PRJobKeywords})
                QCOMPARE(values->at(0), QStringLiteral("before"));
            QCOMPARE(sites.SitePR.at(0), 0);
            QCOMPARE(sites.SiteAlexa.at(0), 0);
            QVERIFY(sites.SiteTitle.at(0).isEmpty() && sites.SiteDescription.at(0).isEmpty() &&
                    sites.SiteKeyword.at(0).isEmpty());
            QCOMPARE(run.PositionJobs.at(0).URL, QString());
        }
    }
}

} // namespace

class TestParserBadInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void routing()
    {
        QVERIFY(ParserFor(u'W') == &ParseGoogleWebSiteList);
        QVERIFY(ParserFor(u'T') == &ParseGoogleQUORVEX);
        QVERIFY(ParserFor(u'G') == &ParseGooglePR);
        QVERIFY(ParserFor(u'g') == &ParseGooglePR1);
        QVERIFY(ParserFor(u'A') == &ParseAlexaPR);
        QVERIFY(ParserFor(u'a') == &ParseAlexaPR1);
        QVERIFY(ParserFor(u'K') == &ExtractTitle);
        QVERIFY(ParserFor(u'k') == &ExtractTitle1);
        for (QChar other : QStringLiteral("XtwB0$ \u00c4"))
            QVERIFY(ParserFor(other) == nullptr);
    }

    void awkwardPages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("empty") << QString();
        QTest::newRow("one <") << QStringLiteral("<");
        QTest::newRow("one >") << QStringLiteral(">");
        QTest::newRow("truncated tag") << QStringLiteral("<html><head><title>x</title><meta name=descr");
        QTest::newRow("unclosed script") << QStringLiteral("<p>a</p><script>var x = '<cite>a.b c</cite>';");
        QTest::newRow("cite at the very end") << QStringLiteral("<cite>");
        QTest::newRow("cite with tag open to the end") << QStringLiteral("<cite>www.a.example <b </cite");
        QTest::newRow("meta at the end") << QStringLiteral("<meta content=");
        QTest::newRow("title at the end") << QStringLiteral("<title>");
        QTest::newRow("data division at the end") << QStringLiteral("<div class=\"data");
        QTest::newRow("numeric reference at the end") << QStringLiteral("<meta name=description content=\"a &#");
        QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + QStringLiteral("<cite>") + QChar(0xDC00) +
                                                QStringLiteral(" x</cite>");
        QTest::newRow("invalid UTF-8 decoded") << QString::fromUtf8("<title>\xff\xfe\xc3</title><cite>\x80 a</cite>");
        QTest::newRow("nested cites") << QStringLiteral("<cite>a.b <cite>c.d <cite>e.f</cite> g</cite>");
    }

    void awkwardPages()
    {
        QFETCH(QString, page);
        ParserBench bench;
        RunAll(bench, page, {QStringLiteral("1")});
    }

    void awkwardKeys()
    {
        const QString page =
            QStringLiteral("Rank_1:1:5\n<cite>www.a.example - 1k</cite><div class=\"data\">5</a>"
                           "<title>t</title><meta name=keywords content='k'>www.target.example similar pages");
        ParserBench bench;
        RunAll(bench, page,
               {QString(), QStringLiteral("2"), QStringLiteral("-1"), QStringLiteral("x"),
                QStringLiteral("99999999999999999999"), QStringLiteral("1.5"), QStringLiteral("$$")});
    }

    void randomBytes()
    {
        ParserBench bench;
        QRandomGenerator random(20261210);
        const QByteArray alphabet("<>/\"'=&#; abcdeiklmnoprstvy.:\r\n");
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes(int(random.bounded(1, 400)), Qt::Uninitialized);
            for (char& b : bytes)
                b = random.bounded(4) == 0 ? char(random.bounded(256)) : alphabet[random.bounded(alphabet.size())];
            RunAll(bench, QString::fromLatin1(bytes), {QStringLiteral("1")});
        }
    }

    void nestedCitesOnALargePage()
    {
        // A hundred thousand cite start tags that all end at one "</cite": each is read without
        // cleaning the text they share again.
        QString page;
        for (int i = 0; i < 100000; ++i)
            page += QStringLiteral("<cite>s%1.example <b>x</b>").arg(i);
        page += QStringLiteral("</cite>");
        ParserBench bench;
        QVERIFY(ParseGoogleWebSiteList(bench.Context, page, QStringLiteral("W0")));
        QCOMPARE(bench.State.Sites.WebSiteCount, 100000);
        QCOMPARE(bench.State.Sites.WebSiteList.last(), QStringLiteral("http://s99999.example"));
    }
};

QUORVEX_TEST_MAIN_CORE(TestParserBadInput)
#include "test_parser_bad_input.moc"
