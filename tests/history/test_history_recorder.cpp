// The end of a rank run through the session: a run with a report is kept in History.db and the
// history page is written again; a stopped run keeps nothing; a history that cannot be written is
// told while the report stays.

#include "history/HistoryPage.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "history/RunHistory.h"
#include "model/AppState.h"
#include "run/RankReport.h"
#include "run/RankRun.h"
#include "session/Session.h"
#include "support/ScriptedPrompter.h"
#include "support/TestClock.h"
#include "support/TestHome.h"
#include "web/RequestDriver.h"

#include "support/ProxyWeb.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

// A results page of the historical layout: count results from first on, www.example.com at the
// 1-based position at when it falls among them.
QByteArray ResultsPage(int first, int count, int at)
{
    QByteArray page = "<html><body><ol>";
    for (int i = first; i < first + count; ++i) {
        const QByteArray site = i + 1 == at ? "www.example.com/" : "www.filler" + QByteArray::number(i) + ".net/";
        page += "<li class=g><div class=s>Snippet<br><cite>" + site +
                " - 3k - </cite><span class=gl><a href=\"/x\">Similar pages</a></span></div></li>";
    }
    return page + "</ol></body></html>";
}

struct Rig {
    Rig()
    {
        state.Lists.PRURLList = {{u"http://www.example.com"_s, 1}};
        auto owned = std::make_unique<TestClock>(QDateTime(QDate(2026, 3, 7), QTime(9, 30)));
        clock = owned.get();
        session = std::make_unique<Session>(state, prompter, std::move(owned));
        session->Requests().SetLeastPauseMs(0);
        QObject::connect(&session->Rank(), &RankRun::Finished, [this](bool written) { finished << written; });
        QObject::connect(&session->History(), &HistoryRecorder::Recorded,
                         [this](const HistoryData&, const QString& text) { texts << text; });
        web.SetFallback([this](const QUrl& url) {
            CannedReply reply;
            const QUrlQuery query(url);
            if (url.path() == u"/search") {
                const int at = Positions.value(query.queryItemValue(u"q"_s, QUrl::FullyDecoded));
                if (at < 0)
                    reply.Status = 500;
                else
                    reply.Body = ResultsPage(query.queryItemValue(u"start"_s).toInt(),
                                             query.queryItemValue(u"num"_s).toInt() == 100 ? 30 : 10, at);
            } else if (url.path() == u"/tbr") {
                reply.Body = "Rank_1:1:4\n";
            } else {
                reply.Body = "<html><head><title>Example</title></head></html>";
            }
            return reply;
        });
    }

    // A whole run on the given day; false when it did not end with a report.
    bool RankOn(int day, QTime time = {9, 30})
    {
        clock->now = QDateTime(QDate(2026, 3, day), time);
        const qsizetype before = finished.size();
        session->StartOrStopRank();
        if (!QTest::qWaitFor([&] { return finished.size() > before; }, 30000))
            return false;
        return finished.last();
    }

    HistoryData Stored()
    {
        HistoryData history;
        HistoryStore store(home.path());
        if (!store.Read({}, history))
            qWarning() << store.LastError();
        return history;
    }

    QTemporaryDir home;
    AppState state{home.path()};
    ScriptedPrompter prompter;
    TestClock* clock = nullptr;
    ProxyWeb web;
    std::unique_ptr<Session> session;
    QList<bool> finished;
    QStringList texts;
    // By keyword: the position of www.example.com, 0 for none, -1 for a failing search.
    QHash<QString, int> Positions;
};

} // namespace

class TestHistoryRecorder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each run with a report is kept with its day's report and written into the history page.
    void runsAreKeptAndThePageFollows()
    {
        Rig rig;
        QVERIFY(rig.RankOn(7));
        QVERIFY(rig.RankOn(8));
        const HistoryData history = rig.Stored();
        QCOMPARE(history.Runs.size(), 2);
        QCOMPARE(history.Runs[1].Time, QDateTime(QDate(2026, 3, 8), QTime(9, 30)));
        QCOMPARE(history.Runs[1].ReportFile, u"Runs/Report20260308-093000.htm"_s);
        QVERIFY(QFile::exists(rig.home.filePath(u"Report/"_s + history.Runs[1].ReportFile)));
        QCOMPARE(history.Pages.size(), 2);
        QCOMPARE(history.Pages[1].URL, u"http://www.example.com"_s);
        QCOMPARE(history.Pages[1].PageRank, u"4/10"_s);
        // A run of pages only has no keyword record to tell of.
        QCOMPARE(rig.texts, QStringList(2, u"Quorvex completed: 3 requests, 0 failed"_s));
        QCOMPARE(FileBytes(HistoryPagePath(rig.home.path())), HistoryPageHtml(history));
        QVERIFY(rig.prompter.Messages.isEmpty());
    }

    // Two runs whose positions move between them: the stored values, the moves in the status text
    // and the charts of the page.
    void positionsThatMove()
    {
        Rig rig;
        rig.state.Lists.QuorvexList = {{u"http://www.example.com"_s, {}, u"rise,fall,lost,failed"_s, 1}};
        rig.Positions = {{u"rise"_s, 9}, {u"fall"_s, 2}, {u"lost"_s, 5}, {u"failed"_s, 4}};
        QVERIFY(rig.RankOn(7));
        rig.Positions = {{u"rise"_s, 3}, {u"fall"_s, 8}, {u"lost"_s, 0}, {u"failed"_s, -1}};
        QVERIFY(rig.RankOn(8));

        const HistoryData history = rig.Stored();
        QCOMPARE(history.Runs.size(), 2);
        QStringList stored;
        for (const PositionHistoryValue& value : history.Positions)
            stored << u"%1 %2 %3"_s.arg(value.Keyword, StatusWord(value.Status)).arg(value.Position);
        QCOMPARE(stored,
                 (QStringList{u"rise found 9"_s, u"fall found 2"_s, u"lost found 5"_s, u"failed found 4"_s,
                              u"rise found 3"_s, u"fall found 8"_s, u"lost not ranked 0"_s, u"failed failed 0"_s}));
        QCOMPARE(history.Positions[4].Top10.size(), 10);
        QCOMPARE(rig.texts.size(), 2);
        QVERIFY2(rig.texts[0].endsWith(u" failed; 0 rose, 0 fell, 0 stayed"_s), qPrintable(rig.texts[0]));
        QVERIFY2(rig.texts[1].endsWith(u" failed; 1 rose, 2 fell, 0 stayed"_s), qPrintable(rig.texts[1]));

        const QString page = QString::fromUtf8(FileBytes(HistoryPagePath(rig.home.path())));
        QCOMPARE(page.count(u"<svg class=\"c\">"_s), 4);
        QVERIFY(page.contains(u"<g class=\"n\"><circle"_s));
        QVERIFY(page.contains(u"<g class=\"x\"><path"_s));
    }

    // The day's report is rewritten by every run of the day; each run keeps a copy of its own
    // beside it, which the history links, and which reads as well from its folder.
    void eachRunKeepsItsOwnReport()
    {
        Rig rig;
        rig.state.Lists.QuorvexList = {{u"http://www.example.com"_s, {}, u"seo"_s, 1}};
        rig.Positions.insert(u"seo"_s, 3);
        const QString reports = rig.home.filePath(u"Report"_s);
        QVERIFY(rig.RankOn(7, {9, 30}));
        const QByteArray morning = FileBytes(reports + u"/Report20260307.htm"_s);
        rig.Positions.insert(u"seo"_s, 5);
        QVERIFY(rig.RankOn(7, {14, 5, 9}));
        const QByteArray afternoon = FileBytes(reports + u"/Report20260307.htm"_s);
        QVERIFY(morning != afternoon);

        const HistoryData history = rig.Stored();
        QCOMPARE(history.Runs.size(), 2);
        QCOMPARE(history.Runs[0].ReportFile, u"Runs/Report20260307-093000.htm"_s);
        QCOMPARE(history.Runs[1].ReportFile, u"Runs/Report20260307-140509.htm"_s);
        QCOMPARE(FileBytes(reports + u"/Runs/Report20260307-093000.htm"_s), morning);
        QCOMPARE(FileBytes(reports + u"/Runs/Report20260307-140509.htm"_s), afternoon);
        // The copies are no day's report: the list of days stays one day long.
        QCOMPARE(FileBytes(reports + u"/Title.htm"_s).count("<A HREF="), 1);

        const QByteArray page = FileBytes(HistoryPagePath(rig.home.path()));
        QVERIFY(page.contains("<a href=\"Runs/Report20260307-093000.htm\">"));
        QVERIFY(page.contains("<a href=\"Runs/Report20260307-140509.htm\">"));

        // Every link of a copy names a place on the web, or a file that is there from its folder.
        const QDir runs(reports + u"/Runs"_s);
        static const QRegularExpression link(u"(?:HREF|SRC)\\s*=\\s*\"?([^\" >]+)"_s,
                                             QRegularExpression::CaseInsensitiveOption);
        int links = 0;
        for (const auto& match : link.globalMatch(QString::fromUtf8(afternoon))) {
            const QString target = match.captured(1);
            const QUrl url(target);
            QVERIFY2((url.scheme() == u"http" || url.scheme() == u"https") || runs.exists(url.path()),
                     qPrintable(target));
            ++links;
        }
        QVERIFY(links > 0);
    }

    // A copy that cannot be made is told; the run is kept all the same, linked to the day's report.
    void aCopyThatCannotBeMadeIsTold()
    {
        Rig rig;
        QVERIFY(QDir().mkpath(rig.home.filePath(u"Report"_s)));
        QFile blocker(rig.home.filePath(u"Report/Runs"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(rig.RankOn(7));
        QCOMPARE(rig.prompter.Messages.size(), 1);
        const QString text = rig.prompter.Messages[0].Text;
        QVERIFY2(text.startsWith(u"The run's report could not be copied to Report/Runs/Report20260307-093000.htm ("_s),
                 qPrintable(text));
        const HistoryData history = rig.Stored();
        QCOMPARE(history.Runs.size(), 1);
        QCOMPARE(history.Runs[0].ReportFile, u"Report20260307.htm"_s);
    }

    void aStoppedRunKeepsNothing()
    {
        Rig rig;
        rig.session->StartOrStopRank();
        rig.session->StartOrStopRank();
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished, QList<bool>{false}, 20000);
        QCOMPARE(rig.prompter.Messages.size(), 1);
        QCOMPARE(rig.prompter.Messages[0].Text, u"You press the stop button !"_s);
        QVERIFY(!QFileInfo::exists(HistoryStore(rig.home.path()).FilePath()));
        QVERIFY(!QFileInfo::exists(HistoryPagePath(rig.home.path())));
        QVERIFY(rig.texts.isEmpty());
    }

    // The report stands, the history's failure is told once, and the status text leaves out the moves.
    void aHistoryThatCannotBeWrittenIsTold()
    {
        Rig rig;
        rig.state.Lists.QuorvexList = {{u"http://www.example.com"_s, {}, u"seo"_s, 1}};
        rig.Positions.insert(u"seo"_s, 3);
        const QString path = HistoryStore(rig.home.path()).FilePath();
        QVERIFY(QDir().mkpath(path));
        QVERIFY(rig.RankOn(7));
        QVERIFY(QFile::exists(ReportIndexPath(rig.home.path())));
        QCOMPARE(rig.prompter.Messages.size(), 1);
        const QString text = rig.prompter.Messages[0].Text;
        QVERIFY2(text.startsWith(u"The history could not be written to "_s + path + u" ("_s), qPrintable(text));
        QCOMPARE(rig.texts.size(), 1);
        QVERIFY2(rig.texts[0].endsWith(u" failed"_s), qPrintable(rig.texts[0]));
        QVERIFY(!QFileInfo::exists(HistoryPagePath(rig.home.path())));
    }
};

QUORVEX_TEST_MAIN_CORE(TestHistoryRecorder)
#include "test_history_recorder.moc"
