// The download control against the fake web: pending download keys, completion signals, status
// texts, and every way a download can fail.

#include "model/AppState.h"
#include "session/DownloadParts.h"
#include "support/ProxyWeb.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"
#include "web/PageDecoding.h"
#include "web/ocxParseWeb.h"

#include <QSignalSpy>
#include <QTcpServer>

#include <memory>

namespace {

const QString Working = QStringLiteral("Quorvex is working ...");
const QString Processing = QStringLiteral("Quorvex is processing ...");
const QString Canceled = QStringLiteral("Quorvex canceled analysis ...");

CannedReply Answer(const QByteArray& body, int delayMs = 0)
{
    CannedReply reply;
    reply.Body = body;
    reply.DelayMs = delayMs;
    return reply;
}

CannedReply Status(int status)
{
    CannedReply reply;
    reply.Status = status;
    reply.Body = "<html><body>error page</body></html>";
    return reply;
}

CannedReply Behaving(CannedReply::Behaviour kind)
{
    CannedReply reply;
    reply.Kind = kind;
    reply.Body = QByteArray(4000, 'x');
    return reply;
}

CannedReply RedirectTo(const QString& location)
{
    CannedReply reply;
    reply.Status = 302;
    reply.Location = location;
    return reply;
}

// The fake web as proxy and a control, which keeps the two counters: up by one with each
// BeginDownload, down by one with each completion, never below 0.
struct Rig {
    ProxyWeb web;
    AppState state{qEnvironmentVariable("QUORVEX_HOME")};
    ScriptedPrompter prompter;
    std::unique_ptr<ocxParseWeb> control = std::make_unique<ocxParseWeb>(TablesOf(state), CountersOf(state), prompter);
    QSignalSpy html{control.get(), &ocxParseWeb::DownloadHtmlComplete};
    QSignalSpy title{control.get(), &ocxParseWeb::DownloadTitleComplete};
    QSignalSpy failed{control.get(), &ocxParseWeb::DownloadFailed};
    QStringList texts;

    Rig()
    {
        QObject::connect(control.get(), &ocxParseWeb::StatusText, [this](const QString& text) { texts.append(text); });
    }

    void Start(const QString& url, const QString& name) { control->BeginDownload(url, name); }
    int Ended() const { return int(html.count() + title.count()); }
};

} // namespace

class TestDownloadControl : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void successEndsAtHeadAndKeepsLaterEnds()
    {
        // A1 ends while A0 is still at the head: it stays pending; A0's end then removes A0 alone.
        Rig rig;
        rig.web.AddRoute(QStringLiteral("http://www.alexa.com/siteinfo/a0"), Answer("<html>slow</html>", 1500));
        rig.web.AddRoute(QStringLiteral("http://www.alexa.com/siteinfo/a1"), Answer("<html>fast</html>"));
        rig.Start(QStringLiteral("http://www.alexa.com/siteinfo/a0"), QStringLiteral("A0"));
        rig.Start(QStringLiteral("http://www.alexa.com/siteinfo/a1"), QStringLiteral("A1"));
        QCOMPARE(rig.control->PendingNames(), (QStringList{QStringLiteral("A0"), QStringLiteral("A1")}));

        QTRY_COMPARE(rig.html.count(), 1);
        QCOMPARE(rig.control->PendingNames(), (QStringList{QStringLiteral("A0"), QStringLiteral("A1")}));
        QCOMPARE(rig.texts.first(), Working);
        QTRY_COMPARE(rig.html.count(), 2);
        QCOMPARE(rig.control->PendingNames(), QStringList{QStringLiteral("A1")});
        QCOMPARE(rig.state.PendingHtmlCount, 0);
        QCOMPARE(rig.title.count(), 0);

        QCOMPARE(rig.web.Requests().size(), 2);
        QCOMPARE(rig.web.Requests().at(0).Url, QStringLiteral("http://www.alexa.com/siteinfo/a0"));
        QCOMPARE(rig.web.Requests().at(0).UserAgent, QByteArray("Quorvex/" QUORVEX_VERSION));
    }

    void failureLeavesByItsName()
    {
        // k12 fails while G1 is at the head: k12 leaves at once, with the title signal.
        Rig rig;
        rig.web.AddRoute(QStringLiteral("http://www.example.com/g1"), Answer("Rank_1:1:4\n", 1500));
        rig.web.AddRoute(QStringLiteral("http://www.example.com/k12"), Status(404));
        rig.Start(QStringLiteral("http://www.example.com/g1"), QStringLiteral("G1"));
        rig.Start(QStringLiteral("http://www.example.com/k12"), QStringLiteral("k12"));

        QTRY_COMPARE(rig.title.count(), 1);
        QCOMPARE(rig.html.count(), 0);
        QCOMPARE(rig.control->PendingNames(), QStringList{QStringLiteral("G1")});
        QCOMPARE(rig.state.PendingTitleCount, 0);
        QCOMPARE(rig.state.PendingHtmlCount, 1);

        QTRY_COMPARE(rig.html.count(), 1);
        QVERIFY(rig.control->PendingNames().isEmpty());
        QCOMPARE(rig.state.PendingHtmlCount, 0);
    }

    void unknownKindRunsNothing()
    {
        Rig rig;
        rig.web.AddRoute(QStringLiteral("http://www.example.com/"), Answer("<html><title>x</title></html>"));
        rig.control->BeginDownload(QStringLiteral("http://www.example.com/"), QStringLiteral("X1"));
        QTRY_COMPARE(rig.texts, QStringList{Working});
        QTest::qWait(50);
        QCOMPARE(rig.Ended(), 0);
        QVERIFY(rig.control->PendingNames().isEmpty());
    }

    void redirectOnlyShowsProcessing()
    {
        Rig rig;
        rig.web.AddRoute(QStringLiteral("http://www.example.com/old"),
                         RedirectTo(QStringLiteral("http://www.example.com/new")));
        rig.web.AddRoute(QStringLiteral("http://www.example.com/new"), Answer("<html>moved</html>", 1000));
        rig.Start(QStringLiteral("http://www.example.com/old"), QStringLiteral("K0"));
        QTRY_COMPARE(rig.texts, QStringList{Processing});
        QCOMPARE(rig.control->PendingNames(), QStringList{QStringLiteral("K0")});
        QCOMPARE(rig.Ended(), 0);

        QTRY_COMPARE(rig.title.count(), 1);
        QCOMPARE(rig.texts.at(1), Working);
        QCOMPARE(rig.web.Requests().size(), 2);
        QCOMPARE(rig.web.Requests().at(1).Url, QStringLiteral("http://www.example.com/new"));
        QVERIFY(rig.control->PendingNames().isEmpty());
        QCOMPARE(rig.state.PendingTitleCount, 0);
    }

    void routesByKindLetter_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("stored");
        const QByteArray rank = "Rank_1:1:4\n";
        const QByteArray traffic = "<html><div class=\"data up\">1,234</a></div></html>";
        QTest::newRow("G3") << "G3" << rank << "PRJobPageRank 4/10";
        QTest::newRow("g3") << "g3" << rank << "SitePR 4";
        QTest::newRow("A3") << "A3" << traffic << "PRJobAlexa 1,234";
        QTest::newRow("a3") << "a3" << traffic << "SiteAlexa 1234";
        QTest::newRow("K3 in Latin-1") << "K3" << QByteArray("<title>Caf\xe9 au lait</title>")
                                       << "PRJobTitle Caf\u00e9 au lait";
        QTest::newRow("K3 in UTF-8") << "K3" << QByteArray("<title>Caf\xc3\xa9 au lait</title>")
                                     << "PRJobTitle Caf\u00e9 au lait";
        QTest::newRow("k3") << "k3" << QByteArray("<title>Corner Shop</title>") << "SiteTitle corner shop";
    }
    void routesByKindLetter()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, page);
        QFETCH(QString, stored);
        Rig rig;
        RankRunState& run = rig.state.Run;
        SiteTables& sites = rig.state.Sites;
        run.PRJobPageRank = QStringList(4, QStringLiteral("0/10"));
        run.PRJobAlexa = QStringList(4, QStringLiteral("Not Available"));
        run.PRJobTitle = run.PRJobDescription = run.PRJobKeywords = QStringList(4);
        sites.WebSiteCount = 4;
        sites.SitePR = QList<int>(4);
        sites.SiteAlexa = QList<qint32>(4);
        sites.SiteTitle = sites.SiteDescription = sites.SiteKeyword = QStringList(4);
        rig.web.AddRoute(QStringLiteral("http://www.example.com/"), Answer(page));
        rig.Start(QStringLiteral("http://www.example.com/"), name);
        QTRY_COMPARE(rig.Ended(), 1);
        QCOMPARE(rig.title.count(), IsTitleKey(name) ? 1 : 0);

        const QString table = stored.section(QLatin1Char(' '), 0, 0);
        const QString value = stored.section(QLatin1Char(' '), 1);
        const QHash<QString, QString> slot3 = {
            {QStringLiteral("PRJobPageRank"), run.PRJobPageRank.at(3)},
            {QStringLiteral("PRJobAlexa"), run.PRJobAlexa.at(3)},
            {QStringLiteral("PRJobTitle"), run.PRJobTitle.at(3)},
            {QStringLiteral("SitePR"), QString::number(sites.SitePR.at(3))},
            {QStringLiteral("SiteAlexa"), QString::number(sites.SiteAlexa.at(3))},
            {QStringLiteral("SiteTitle"), sites.SiteTitle.at(3)},
        };
        QCOMPARE(slot3.value(table), value);
        QCOMPARE(rig.texts.first(), Working);
        QCOMPARE(rig.failed.count(), 0);
    }

    void cancelWithNothingPending()
    {
        Rig rig;
        rig.state.PendingHtmlCount = 3;
        rig.state.PendingTitleCount = 2;
        QVERIFY(rig.control->CancelAllDownload());
        QVERIFY(rig.texts.isEmpty());
        QCOMPARE(rig.state.PendingHtmlCount, 0);
        QCOMPARE(rig.state.PendingTitleCount, 0);
    }

    void cancelEndsEveryPendingRead()
    {
        Rig rig;
        rig.web.AddRoute(QStringLiteral("http://www.example.com/silent"),
                         Behaving(CannedReply::Behaviour::NeverAnswer));
        rig.Start(QStringLiteral("http://www.example.com/silent"), QStringLiteral("G0"));
        rig.Start(QStringLiteral("http://www.example.com/silent"), QStringLiteral("K1"));
        QTRY_COMPARE(rig.web.Requests().size(), 2);
        // A start that fails is announced later, unless a cancel comes first.
        rig.Start(QStringLiteral("no address"), QStringLiteral("A2"));

        QVERIFY(rig.control->CancelAllDownload());
        QCOMPARE(rig.texts, (QStringList{Canceled, Canceled, Canceled}));
        QVERIFY(rig.control->PendingNames().isEmpty());
        QCOMPARE(rig.state.PendingHtmlCount, 0);
        QCOMPARE(rig.state.PendingTitleCount, 0);
        QTest::qWait(200);
        QCOMPARE(rig.Ended(), 0);
    }

    void destructionCancelsQuietly()
    {
        Rig rig;
        rig.web.AddRoute(QStringLiteral("http://www.example.com/silent"),
                         Behaving(CannedReply::Behaviour::NeverAnswer));
        rig.Start(QStringLiteral("http://www.example.com/silent"), QStringLiteral("T0$0"));
        QTRY_COMPARE(rig.web.Requests().size(), 1);
        rig.control.reset();
        QCOMPARE(rig.state.PendingHtmlCount, 0);
        QVERIFY(rig.texts.isEmpty());
        QCOMPARE(rig.Ended(), 0);
    }

    void failedDownloadEndsOnce_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason"); // told with the failure, in words
        QTest::newRow("404") << "404"
                             << "G0"
                             << "HTTP status 404";
        QTest::newRow("500") << "500"
                             << "k0"
                             << "HTTP status 500";
        QTest::newRow("never answers") << "never answers"
                                       << "T0$0"
                                       << "no reply came in time";
        QTest::newRow("reset in mid-body") << "reset"
                                           << "K0"
                                           << "the connection was closed before the reply was whole";
        QTest::newRow("redirect loop") << "redirect loop"
                                       << "A0"
                                       << "too many redirects";
        QTest::newRow("connection refused") << "refused"
                                            << "k0"
                                            << "the proxy %1 refused the connection";
        QTest::newRow("unknown host") << "unknown host"
                                      << "g0"
                                      << "the host was not found";
        QTest::newRow("cannot start") << "cannot start"
                                      << "K0"
                                      << "the address is not an http or https address";
    }
    void failedDownloadEndsOnce()
    {
        QFETCH(QString, failure);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        Rig rig;
        rig.control->SetTransferTimeout(300);
        rig.state.Run.PRJobPageRank = QStringList{QStringLiteral("0/10")};
        rig.state.Sites.SiteTitle = QStringList{QString()};
        QString url = QStringLiteral("http://www.example.com/page");
        if (failure == QLatin1String("404") || failure == QLatin1String("500")) {
            rig.web.AddRoute(url, Status(failure.toInt()));
        } else if (failure == QLatin1String("never answers")) {
            rig.web.AddRoute(url, Behaving(CannedReply::Behaviour::NeverAnswer));
        } else if (failure == QLatin1String("reset")) {
            rig.web.AddRoute(url, Behaving(CannedReply::Behaviour::ResetMidBody));
        } else if (failure == QLatin1String("redirect loop")) {
            rig.web.AddRoute(url, RedirectTo(QStringLiteral("http://www.example.com/other")));
            rig.web.AddRoute(QStringLiteral("http://www.example.com/other"), RedirectTo(url));
        } else if (failure == QLatin1String("refused")) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort()).toUtf8());
            reason = reason.arg(QStringLiteral("127.0.0.1:%1").arg(closed.serverPort()));
        } else if (failure == QLatin1String("unknown host")) {
            qunsetenv("http_proxy");
            url = QStringLiteral("http://quorvex-test.invalid/");
        } else {
            url = QStringLiteral("ftp:/nowhere");
        }

        rig.Start(url, name);
        // Even a start that fails is announced only after BeginDownload has returned.
        QCOMPARE(rig.Ended(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(rig.Ended(), 1, 10000);
        QTest::qWait(100);
        QCOMPARE(rig.Ended(), 1);
        QCOMPARE(rig.title.count(), IsTitleKey(name) ? 1 : 0);
        QCOMPARE(rig.failed.count(), 1);
        QCOMPARE(rig.failed.at(0).at(0).toString(), name);
        QCOMPARE(rig.failed.at(0).at(1).toString(), reason);
        QCOMPARE(rig.state.PendingHtmlCount, 0);
        QCOMPARE(rig.state.PendingTitleCount, 0);
        QVERIFY(!rig.texts.contains(Working));
        QCOMPARE(rig.state.Run.PRJobPageRank, QStringList{QStringLiteral("0/10")});
        QCOMPARE(rig.state.Sites.SiteTitle, QStringList{QString()});
        // A read that never started keeps its key until the next cancel.
        QCOMPARE(rig.control->PendingNames(),
                 failure == QLatin1String("cannot start") ? QStringList{name} : QStringList{});
    }

    void boundedReads_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<qint64>("cap"); // 0: the control's own
        QTest::addColumn<int>("totalLimitMs");
        QTest::addColumn<bool>("fails");
        QTest::newRow("endless body, own cap") << "endless" << qint64(0) << 0 << true;
        QTest::newRow("endless body, small cap") << "endless" << qint64(64 * 1024) << 0 << true;
        QTest::newRow("announced length over the cap") << "100000" << qint64(10000) << 0 << true;
        QTest::newRow("body exactly at the cap") << "10000" << qint64(10000) << 0 << false;
        QTest::newRow("drip past the total limit") << "drip" << qint64(0) << 700 << true;
    }
    void boundedReads()
    {
        QFETCH(QString, body);
        QFETCH(qint64, cap);
        QFETCH(int, totalLimitMs);
        QFETCH(bool, fails);
        Rig rig;
        if (cap > 0)
            rig.control->SetBodyCap(cap);
        if (totalLimitMs > 0)
            rig.control->SetTotalTimeLimit(totalLimitMs);
        rig.state.Run.PRJobTitle = rig.state.Run.PRJobDescription = rig.state.Run.PRJobKeywords = QStringList(1);
        CannedReply reply;
        if (body == QLatin1String("endless")) {
            reply.Kind = CannedReply::Behaviour::Endless;
        } else if (body == QLatin1String("drip")) {
            reply.Kind = CannedReply::Behaviour::Drip;
            reply.DripMs = 100;
        } else {
            const QByteArray page = "<title>Capped</title>";
            reply.Body = page + QByteArray(body.toInt() - page.size(), ' ');
        }
        rig.web.AddRoute(QStringLiteral("http://www.example.com/big"), reply);
        rig.web.AddRoute(QStringLiteral("http://www.example.com/next"), Answer("<title>Next</title>"));
        rig.Start(QStringLiteral("http://www.example.com/big"), QStringLiteral("K0"));
        QTRY_COMPARE_WITH_TIMEOUT(rig.title.count(), 1, 20000);
        QCOMPARE(rig.failed.count(), fails ? 1 : 0);
        QCOMPARE(rig.texts.contains(Working), !fails);
        QCOMPARE(rig.state.Run.PRJobTitle.at(0), fails ? QString() : QStringLiteral("Capped"));
        QVERIFY(rig.control->PendingNames().isEmpty());
        QCOMPARE(rig.state.PendingTitleCount, 0);

        // The control goes on with the next download.
        rig.Start(QStringLiteral("http://www.example.com/next"), QStringLiteral("K0"));
        QTRY_COMPARE(rig.title.count(), 2);
        QCOMPARE(rig.state.Run.PRJobTitle.at(0), QStringLiteral("Next"));
        QCOMPARE(rig.failed.count(), fails ? 1 : 0);
    }

    void decodesUtf8OrLatin1_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9") << QStringLiteral("caf\u00e9");
        QTest::newRow("latin-1") << QByteArray("caf\xe9") << QStringLiteral("caf\u00e9");
        QTest::newRow("utf-8 then a stray byte") << QByteArray("\xc3\xa9\xe9") << QStringLiteral("\u00c3\u00a9\u00e9");
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void decodesUtf8OrLatin1()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(DecodePageBytes(bytes), text);
    }
};

QUORVEX_TEST_MAIN_CORE(TestDownloadControl)
#include "test_download_control.moc"
