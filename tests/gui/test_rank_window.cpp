#include "base/Names.h"
#include "gui/StatusPanel.h"
#include "gui/WindowTestSupport.h"
#include "support/TestHome.h"

#include "support/ProxyWeb.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>

namespace {

CannedReply Answer(const QUrl& url)
{
    CannedReply reply;
    if (url.path() == QLatin1String("/tbr"))
        reply.Body = "Rank_1:1:7\n";
    else if (url.path().startsWith(QLatin1String("/siteinfo/")))
        reply.Body = "<div class=\"data up\">4321</a>";
    else if (url.path() == QLatin1String("/search"))
        reply.Body = "<html><body><cite>www.example.com/ - 3k - </cite><a href=/x>Similar pages</a></body></html>";
    return reply;
}

} // namespace

class TestRankWindow : public QObject {
    Q_OBJECT

    ProxyWeb web;

private Q_SLOTS:
    void initTestCase() { web.SetFallback(Answer); }

    void rankButtonRunsAndShowsTheReport()
    {
        Shell shell({{QStringLiteral("http://www.alpha.com"), 1}}, {KeywordEntry("http://example.com", "", "seo", 1)});
        QPushButton* rank = shell.Button("cmdRank");
        QVERIFY(!shell.Button("cmdViewReport")->isEnabled());
        auto* progress = shell.Find<QProgressBar>("prgBar");
        QVERIFY(!progress->isVisible());
        shell.Click("cmdRank");
        QCOMPARE(rank->text(), QStringLiteral("&Stop"));
        QVERIFY(progress->isVisible());
        QVERIFY(!shell.Button("cmdEdit")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(rank->text(), QStringLiteral("Ran&k"), 20000);

        QVERIFY(shell.prompter.Messages.isEmpty());
        const QString index = shell.dir.filePath(QStringLiteral("Report/Index.htm"));
        QCOMPARE(shell.launcher.BrowserTargets, QStringList{index});
        QVERIFY(shell.Button("cmdViewReport")->isEnabled());
        QVERIFY(rank->isEnabled());
        // The bar ends full and then makes way: the whole summary shows at the window's first size.
        QCOMPARE(progress->maximum(), 3 + 4 + 1);
        QCOMPARE(progress->value(), progress->maximum());
        QVERIFY(!progress->isVisible());
        QCOMPARE(shell.window->size(), QSize(663, 320));
        QVERIFY(shell.window->StatusText().startsWith(QStringLiteral("Quorvex completed: ")));
        QCOMPARE(shell.Find<StatusPanel>("sbStatusPanel")->ShownText(), shell.window->StatusText());
        QCOMPARE(shell.state.Run.PRJobPageRank, QStringList{QStringLiteral("7/10")});
        QCOMPARE(shell.state.Run.PositionJobs.at(0).Rank, 1);
    }

    // A field of a keyword's market that the source cannot send is said at the end of the summary.
    void unsentMarketFieldsEndTheSummary()
    {
        QuorvexEntry entry = KeywordEntry("http://example.com", "", "seo", 1);
        entry.OwnMarket = {QStringLiteral("fr"), QStringLiteral("fr"), QStringLiteral("mobile"), QString()};
        Shell shell({}, {entry});
        shell.Click("cmdRank");
        QTRY_COMPARE_WITH_TIMEOUT(shell.Button("cmdRank")->text(), QStringLiteral("Ran&k"), 20000);
        const QString status = shell.window->StatusText();
        QVERIFY2(status.startsWith(QStringLiteral("Quorvex completed: ")), qPrintable(status));
        QVERIFY2(status.endsWith(
                     QStringLiteral("; historical does not offer the device: 1 keyword record was asked without it")),
                 qPrintable(status));
        QCOMPARE(shell.state.Run.PositionJobs.at(0).Rank, 1);
    }

    // A run the history could not keep is said in a message box, not only in the status bar; the
    // report is shown all the same.
    void aHistoryThatCannotBeWrittenIsAMessage()
    {
        Shell shell({{QStringLiteral("http://www.alpha.com"), 1}});
        const QString history = shell.dir.filePath(QStringLiteral("History.db"));
        QVERIFY(QDir().mkpath(history));
        shell.Click("cmdRank");
        QTRY_COMPARE_WITH_TIMEOUT(shell.Button("cmdRank")->text(), QStringLiteral("Ran&k"), 20000);
        QCOMPARE(shell.prompter.Messages.size(), 1);
        const ScriptedPrompter::Shown& shown = shell.prompter.Messages.first();
        QVERIFY2(shown.Text.startsWith(QStringLiteral("The history could not be written to ") + history),
                 qPrintable(shown.Text));
        QCOMPARE(shown.Icon, MessageIcon::Exclamation);
        QCOMPARE(shown.Title, AppTitle);
        QCOMPARE(shell.launcher.BrowserTargets, QStringList{shell.dir.filePath(QStringLiteral("Report/Index.htm"))});
    }
};

QUORVEX_TEST_MAIN(TestRankWindow)
#include "test_rank_window.moc"
