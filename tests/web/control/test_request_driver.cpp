// The request driver against the fake web: order and pause of the paced lane, the limits and the
// rule of the side lane, the stop, and the give-up of side requests that never end.

#include "model/AppState.h"
#include "session/DownloadParts.h"
#include "support/ProxyWeb.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"
#include "web/RequestDriver.h"
#include "web/ocxParseWeb.h"

#include <QSignalSpy>

namespace {

QString Paced(int n)
{
    return QStringLiteral("http://paced.example/%1").arg(n);
}

QString Side(int n)
{
    return QStringLiteral("http://side.example/%1").arg(n);
}

// The fake web answers paced requests at once and side requests after sideDelayMs (never when -1).
struct Rig {
    ProxyWeb web;
    AppState state{qEnvironmentVariable("QUORVEX_HOME")};
    ScriptedPrompter prompter;
    ocxParseWeb control{TablesOf(state), CountersOf(state), prompter};
    RequestDriver driver{CountersOf(state), control};
    QSignalSpy drained{&driver, &RequestDriver::Drained};
    QSignalSpy stopped{&driver, &RequestDriver::Stopped};
    QSignalSpy gaveUp{&driver, &RequestDriver::GaveUp};
    int maxPendingHtml = 0;
    int maxPendingTitle = 0;

    explicit Rig(int sideDelayMs)
    {
        web.SetFallback([sideDelayMs](const QUrl& url) {
            CannedReply reply;
            reply.Body = "<html><title>page</title></html>";
            if (url.host() == QLatin1String("side.example")) {
                reply.DelayMs = std::max(0, sideDelayMs);
                if (sideDelayMs < 0)
                    reply.Kind = CannedReply::Behaviour::NeverAnswer;
            }
            return reply;
        });
        QObject::connect(&web, &FakeWeb::RequestReceived, [this] {
            maxPendingHtml = std::max(maxPendingHtml, int(state.PendingHtmlCount));
            maxPendingTitle = std::max(maxPendingTitle, int(state.PendingTitleCount));
        });
        state.Run.PRJobPageRank = QStringList(20);
        state.Run.PRJobTitle = state.Run.PRJobDescription = state.Run.PRJobKeywords = QStringList(20);
    }
    void Queue(int pacedCount, int sideCount)
    {
        for (int n = 0; n < pacedCount; ++n)
            driver.AddPaced(RequestDriver::Download(Paced(n), QStringLiteral("G%1").arg(n)));
        for (int n = 0; n < sideCount; ++n)
            driver.AddSide(RequestDriver::Download(Side(n), QStringLiteral("K%1").arg(n)));
    }
    QList<RecordedRequest> RequestsTo(const QString& host) const
    {
        QList<RecordedRequest> found;
        for (const RecordedRequest& request : web.Requests())
            if (QUrl(request.Url).host() == host)
                found << request;
        return found;
    }
};

} // namespace

class TestRequestDriver : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pacedInOrderWithAPauseBeforeEach()
    {
        Rig rig(0);
        rig.Queue(4, 0);
        QElapsedTimer sinceStart;
        sinceStart.start();
        rig.driver.Start();
        QVERIFY(rig.driver.IsActive());
        QVERIFY(rig.web.Requests().isEmpty()); // the first request waits for its pause too
        QTRY_COMPARE_WITH_TIMEOUT(rig.drained.count(), 1, 10000);
        QVERIFY(!rig.driver.IsActive());
        QVERIFY(sinceStart.elapsed() >= 4 * 200);

        const QList<RecordedRequest> paced = rig.RequestsTo(QStringLiteral("paced.example"));
        QCOMPARE(paced.size(), 4);
        for (int n = 0; n < 4; ++n) {
            QCOMPARE(paced.at(n).Url, Paced(n));
            if (n > 0)
                QVERIFY2(paced.at(n).AtMs - paced.at(n - 1).AtMs >= 199, qPrintable(paced.at(n).Url));
        }
        QCOMPARE(rig.maxPendingHtml, 1);
        QCOMPARE(rig.state.PendingHtmlCount, 0);
    }

    void sideLaneLimitAndRule_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("afterPaced");
        QTest::newRow("ten beside the paced lane") << 10 << false;
        QTest::newRow("six after the paced lane") << 6 << true;
    }
    void sideLaneLimitAndRule()
    {
        QFETCH(int, limit);
        QFETCH(bool, afterPaced);
        Rig rig(800);
        rig.driver.SetRules({.SideLimit = limit, .SideAfterPaced = afterPaced, .IdleGiveUpMs = 0});
        rig.Queue(3, 14);
        rig.driver.Start();
        QTRY_COMPARE_WITH_TIMEOUT(rig.drained.count(), 1, 20000);

        const QList<RecordedRequest> paced = rig.RequestsTo(QStringLiteral("paced.example"));
        const QList<RecordedRequest> side = rig.RequestsTo(QStringLiteral("side.example"));
        QCOMPARE(paced.size(), 3);
        QCOMPARE(side.size(), 14);
        QCOMPARE(rig.maxPendingTitle, limit);
        QCOMPARE(rig.maxPendingHtml, 1);
        // Beside the paced lane the side lane starts at once; after it, only once the last paced
        // request has been answered.
        QCOMPARE(side.first().AtMs < paced.last().AtMs, !afterPaced);
        QCOMPARE(rig.state.PendingTitleCount, 0);
        QCOMPARE(rig.gaveUp.count(), 0);
    }

    void unwantedRequestsAreDropped()
    {
        Rig rig(0);
        bool wanted = false;
        RequestDriver::Request paced = RequestDriver::Download(Paced(0), QStringLiteral("G0"));
        paced.Wanted = [&wanted] { return wanted; };
        RequestDriver::Request side = RequestDriver::Download(Side(0), QStringLiteral("K0"));
        side.Wanted = [&wanted] { return wanted; };
        rig.driver.AddPaced(paced);
        rig.driver.AddSide(side);
        rig.Queue(1, 0);
        rig.driver.Start();
        QTRY_COMPARE_WITH_TIMEOUT(rig.drained.count(), 1, 10000);
        QCOMPARE(rig.web.Requests().size(), 1);
        QCOMPARE(rig.web.Requests().at(0).Url, Paced(0));
    }

    // A request asked again after a rate limit goes first, after the longer pause it asked for.
    void longerPauseAheadOfTheLane()
    {
        Rig rig(0);
        rig.Queue(2, 0);
        RequestDriver::Request again =
            RequestDriver::Download(QStringLiteral("http://paced.example/again"), QStringLiteral("G9"));
        again.PauseMs = 700;
        rig.driver.AddPacedFirst(again);
        QElapsedTimer sinceStart;
        sinceStart.start();
        rig.driver.Start();
        QTRY_COMPARE_WITH_TIMEOUT(rig.drained.count(), 1, 10000);
        const QList<RecordedRequest> paced = rig.RequestsTo(QStringLiteral("paced.example"));
        QCOMPARE(paced.size(), 3);
        QCOMPARE(paced.at(0).Url, QStringLiteral("http://paced.example/again"));
        QCOMPARE(paced.at(1).Url, Paced(0));
        QVERIFY(sinceStart.elapsed() >= 700 + 2 * 200);
        QVERIFY(paced.at(2).AtMs - paced.at(1).AtMs >= 199);
    }

    void stopCancelsEverything()
    {
        Rig rig(-1);
        rig.Queue(3, 4);
        rig.driver.Start();
        QTRY_COMPARE_WITH_TIMEOUT(rig.RequestsTo(QStringLiteral("side.example")).size(), 4, 5000);
        rig.state.StopRequested = true;
        rig.driver.ScheduleTurn();
        QTRY_COMPARE(rig.stopped.count(), 1);
        QVERIFY(!rig.driver.IsActive());
        QVERIFY(rig.control.PendingNames().isEmpty());
        QCOMPARE(rig.state.PendingHtmlCount, 0);
        QCOMPARE(rig.state.PendingTitleCount, 0);
        const qsizetype sent = rig.web.Requests().size();
        QTest::qWait(600);
        QCOMPARE(rig.web.Requests().size(), sent);
        QCOMPARE(rig.drained.count(), 0);
    }

    void idleSideRequestsAreGivenUp()
    {
        Rig rig(-1);
        rig.driver.SetRules({.SideLimit = 6, .SideAfterPaced = true, .IdleGiveUpMs = 300});
        rig.Queue(1, 3);
        rig.driver.Start();
        QTRY_COMPARE_WITH_TIMEOUT(rig.drained.count(), 1, 10000);
        QCOMPARE(rig.gaveUp.count(), 1);
        QCOMPARE(rig.gaveUp.at(0).at(0).toInt(), 3);
        QCOMPARE(rig.RequestsTo(QStringLiteral("side.example")).size(), 3);
        QVERIFY(rig.control.PendingNames().isEmpty());
        QCOMPARE(rig.state.PendingTitleCount, 0);
    }
};

QUORVEX_TEST_MAIN_CORE(TestRequestDriver)
#include "test_request_driver.moc"
