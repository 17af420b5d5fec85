// The main window with its menu bar: the client area below it at its designed size, the menus and
// their keys, the history page, and the keyword site database window opened over the main window on
// the session.

#include "base/Names.h"
#include "gui/MainWindowFrame.h"
#include "gui/frmAbout.h"
#include "gui/frmHelp.h"
#include "gui/frmQuorvex.h"
#include "history/HistoryPage.h"
#include "history/HistoryStore.h"
#include "model/AppState.h"
#include "run/RankReport.h"
#include "session/Session.h"
#include "sitedb/SiteDbTexts.h"
#include "support/RecordingLauncher.h"
#include "support/ScriptedPrompter.h"
#include "support/SiteDbTestSupport.h"
#include "support/TestHome.h"

#include "support/ProxyWeb.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// The desktop's main window over a program folder with an empty site database.
struct Desk {
    Desk()
    {
        state.Lists.PRURLList = {{u"http://www.alpha.com"_s, 1}};
        frame.Client().DisplayPRURLList();
        frame.show();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
    }
    template <typename T> T* Find(const QString& name) const
    {
        T* found = frame.findChild<T*>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }
    QAction* Item(const QString& name) const { return Find<QAction>(name); }
    QDialog* SearchWindow() const { return frame.findChild<QDialog*>(u"frmSearch"_s); }

    SiteFolder folder;
    AppState state{folder.Path()};
    ScriptedPrompter prompter;
    Session session{state, prompter};
    RecordingLauncher launcher;
    MainWindowFrame frame{session, launcher};
};

// The letters that Alt takes to a control: the one after each single "&".
QString Mnemonic(const QString& caption)
{
    const qsizetype at = caption.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < caption.size() ? caption.mid(at + 1, 1).toLower() : QString();
}

} // namespace

class TestMainMenu : public QObject {
    Q_OBJECT

    ProxyWeb web;

private Q_SLOTS:
    void initTestCase()
    {
        // Every page is slow to come, so that a run started here stays going.
        web.SetFallback([](const QUrl&) {
            CannedReply reply;
            reply.Kind = CannedReply::Behaviour::NeverAnswer;
            return reply;
        });
    }

    void clientAreaKeepsItsSizeBelowTheMenuBar()
    {
        Desk desk;
        const int menuHeight = desk.frame.MenuBar().height();
        QVERIFY(menuHeight > 0);
        QCOMPARE(desk.frame.windowTitle(), AppTitle);
        QCOMPARE(desk.frame.size(), QSize(663, 320 + menuHeight));
        QCOMPARE(desk.frame.minimumSize(), QSize(663, 320 + menuHeight));
        QCOMPARE(desk.frame.Client().geometry(), QRect(0, menuHeight, 663, 320));
        QCOMPARE(desk.Find<QPushButton>(u"cmdRank"_s)->geometry(), QRect(544, 112, 105, 20));

        desk.frame.resize(900, 500 + menuHeight);
        QTRY_COMPARE(desk.frame.Client().size(), QSize(900, 500));
        QCOMPARE(desk.Find<QPushButton>(u"cmdExit"_s)->geometry(), QRect(781, 436, 105, 20));
        QVERIFY(!desk.Find<QPushButton>(u"cmdSearchKeyword"_s)->isVisible());
    }

    void menusHoldTheirItems_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("File") << u"mnuFile"_s << u"&File"_s
                              << QStringList{u"mnuSettings|&Settings...|Ctrl+,"_s, u"|"_s, u"mnuExit|E&xit"_s};
        QTest::newRow("View") << u"mnuView"_s << u"V&iew"_s
                              << QStringList{u"mnuReport|&Report"_s, u"mnuHistory|&History"_s,
                                             u"mnuSaveHistoryCsv|Save history as &CSV..."_s,
                                             u"mnuSaveHistoryWideCsv|Save history as &wide CSV..."_s,
                                             u"mnuSiteDatabase|&Keyword site database...|Ctrl+G"_s};
        QTest::newRow("Help") << u"mnuHelp"_s << u"Hel&p"_s
                              << QStringList{u"mnuHelpTopics|&Help"_s, u"mnuAbout|&About"_s};
    }
    void menusHoldTheirItems()
    {
        QFETCH(QString, menu);
        QFETCH(QString, title);
        QFETCH(QStringList, items);
        Desk desk;
        QMenu* shown = desk.Find<QMenu>(menu);
        QCOMPARE(shown->title(), title);
        QStringList found;
        for (const QAction* action : shown->actions()) {
            QString text = action->objectName() + QLatin1Char('|') + action->text();
            if (!action->shortcut().isEmpty())
                text += QLatin1Char('|') + action->shortcut().toString();
            found << text;
        }
        QCOMPARE(found, items);

        // Alt with a menu's letter never means one of the window's buttons as well.
        for (const QPushButton* button : desk.frame.Client().findChildren<QPushButton*>()) {
            if (button->isVisibleTo(&desk.frame))
                QVERIFY2(Mnemonic(button->text()) != Mnemonic(title), qPrintable(button->text()));
        }
    }

    // The menu, Ctrl+G and the hidden button all open it, modal over the main window; it runs
    // through the session, so a rank run going keeps it from starting another run.
    void siteDatabaseOpensOverTheMainWindow_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("menu") << u"menu"_s;
        QTest::newRow("Ctrl+G") << u"Ctrl+G"_s;
        QTest::newRow("hidden button") << u"button"_s;
    }
    void siteDatabaseOpensOverTheMainWindow()
    {
        QFETCH(QString, way);
        Desk desk;
        desk.Find<QPushButton>(u"cmdRank"_s)->click();
        QVERIFY(desk.session.IsRunning());
        if (way == u"menu")
            desk.Item(u"mnuSiteDatabase"_s)->trigger();
        else if (way == u"Ctrl+G")
            QTest::keyClick(&desk.frame, Qt::Key_G, Qt::ControlModifier);
        else
            desk.Find<QPushButton>(u"cmdSearchKeyword"_s)->click();

        QPointer<QDialog> search = desk.SearchWindow();
        QVERIFY(search);
        QTRY_VERIFY(search->isVisible());
        QVERIFY(search->isModal());
        QCOMPARE(QApplication::activeModalWidget(), search.data());

        search->findChild<QComboBox*>(u"cmbSearch"_s)->setEditText(u"web design"_s);
        search->findChild<QLineEdit*>(u"txtType"_s)->setText(u"tools"_s);
        search->findChild<QPushButton*>(u"cmdAdd"_s)->click();
        QCOMPARE(desk.prompter.Messages.size(), 1);
        QCOMPARE(desk.prompter.Messages.at(0).Text, SiteDbTexts::RunGoing);
        QCOMPARE(desk.prompter.Messages.at(0).Title, SiteDbTitle);
        std::optional<MasterRow> row;
        QVERIFY(SiteDatabase(desk.folder.Database()).FindMaster(u"web design"_s, row));
        QVERIFY(!row);

        search->findChild<QPushButton*>(u"cmdCancel"_s)->click();
        QTRY_VERIFY(search.isNull());
        // The rank run was not the search window's to stop.
        QVERIFY(desk.session.IsRunning());
        QVERIFY(!desk.state.StopRequested);
    }

    void itemsDoWhatTheirButtonsDo()
    {
        Desk desk;
        QAction* report = desk.Item(u"mnuReport"_s);
        QMenu* view = desk.Find<QMenu>(u"mnuView"_s);
        Q_EMIT view->aboutToShow();
        QVERIFY(!report->isEnabled());
        report->trigger();
        QVERIFY(desk.launcher.BrowserTargets.isEmpty());

        const QString index = ReportIndexPath(desk.state.ProgramFolder);
        QVERIFY(QDir().mkpath(QFileInfo(index).path()));
        QFile page(index);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        desk.frame.Client().UpdateRankAndReportButtons();
        Q_EMIT view->aboutToShow();
        QVERIFY(report->isEnabled());
        report->trigger();
        QCOMPARE(desk.launcher.BrowserTargets, QStringList{index});

        desk.Item(u"mnuSettings"_s)->trigger();
        QPointer<QDialog> settings = desk.frame.findChild<QDialog*>(u"frmSettings"_s);
        QVERIFY(settings && settings->isModal());
        settings->close();
        QTRY_VERIFY(settings.isNull());
        desk.Item(u"mnuAbout"_s)->trigger();
        QPointer<frmAbout> about = desk.frame.findChild<frmAbout*>();
        QVERIFY(about && about->isModal());
        about->close();
        QTRY_VERIFY(about.isNull());
        desk.Item(u"mnuHelpTopics"_s)->trigger();
        QPointer<frmHelp> help = desk.frame.findChild<frmHelp*>();
        QVERIFY(help && help->isModal());
        help->close();
        QTRY_VERIFY(help.isNull());

        // Exit, like the close box and "E&xit", stops whatever goes and closes the window.
        desk.Find<QPushButton>(u"cmdRank"_s)->click();
        QVERIFY(desk.session.IsRunning());
        desk.Item(u"mnuExit"_s)->trigger();
        QVERIFY(desk.state.StopRequested);
        QVERIFY(!desk.frame.isVisible());
    }

    // The page of the runs so far opens in the browser; before the first run a message says why not.
    void historyOpensItsPage()
    {
        Desk desk;
        QAction* history = desk.Item(u"mnuHistory"_s);
        history->trigger();
        QVERIFY(desk.launcher.BrowserTargets.isEmpty());
        QCOMPARE(desk.prompter.Messages.size(), 1);
        QCOMPARE(desk.prompter.Messages.at(0).Text, u"No history yet: run a rank first."_s);
        QCOMPARE(desk.prompter.Messages.at(0).Icon, MessageIcon::Information);
        QCOMPARE(desk.prompter.Messages.at(0).Title, AppTitle);

        const QString page = HistoryPagePath(desk.state.ProgramFolder);
        QVERIFY(QDir().mkpath(QFileInfo(page).path()));
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        history->trigger();
        QCOMPARE(desk.launcher.BrowserTargets, QStringList{page});
        QCOMPARE(desk.prompter.Messages.size(), 1);
    }

    // Both forms of the CSV go to the file chosen; before the first run a message says why not.
    void historySavesAsCsv_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("csv");
        QTest::newRow("a row per value")
            << u"mnuSaveHistoryCsv"_s
            << QByteArray("time,url,product,keyword,market,value,result,status,depth\r\n"
                          "2026-03-07 09:30:00,http://example.com,,seo,unspecified,position,4,found,100\r\n"
                          "2026-03-07 09:30:00,http://example.com,,seo,unspecified,top10,,,\r\n");
        QTest::newRow("wide") << u"mnuSaveHistoryWideCsv"_s
                              << QByteArray("url,product,keyword,market,2026-03-07 09:30:00\r\n"
                                            "http://example.com,,seo,unspecified,4\r\n");
    }
    void historySavesAsCsv()
    {
        QFETCH(QString, item);
        QFETCH(QByteArray, csv);
        Desk desk;
        desk.Item(item)->trigger();
        QCOMPARE(desk.prompter.Messages.size(), 1);
        QCOMPARE(desk.prompter.Messages.at(0).Text, u"No history yet: run a rank first."_s);
        QVERIFY(!desk.frame.findChild<QFileDialog*>(u"dlgSaveHistory"_s));

        HistoryData run;
        run.Runs = {{0, QDateTime(QDate(2026, 3, 7), QTime(9, 30)), u"historical"_s, u"Report20260307.htm"_s}};
        run.Positions = {{0, u"http://example.com"_s, QString(), u"seo"_s, {}, 4, ValueStatus::Found, 100, {}}};
        HistoryStore store(desk.state.ProgramFolder);
        QVERIFY2(store.Record(run) > 0, qPrintable(store.LastError()));
        desk.Item(item)->trigger();
        auto* dialog = desk.frame.findChild<QFileDialog*>(u"dlgSaveHistory"_s);
        QVERIFY(dialog);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        const QString path = desk.folder.Path() + u"/saved.csv"_s;
        Q_EMIT dialog->fileSelected(path);
        QCOMPARE(FileBytes(path), csv);
        QCOMPARE(desk.prompter.Messages.size(), 1);
        dialog->reject();
    }
};

QUORVEX_TEST_MAIN(TestMainMenu)
#include "test_main_menu.moc"
