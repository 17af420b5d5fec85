// The main window driven by clicks: layout, tabs, ticks, removal, options, button upkeep, closing.

#include "ToolTipAt.h"
#include "WindowTestSupport.h"
#include "base/Names.h"
#include "gui/StatusPanel.h"
#include "gui/frmAbout.h"
#include "gui/frmHelp.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTextDocument>
#include <QToolTip>

namespace {

QList<int> ColumnTops(const Shell& shell)
{
    return {shell.Button("cmdRemoveAll")->y(), shell.Button("cmdRank")->y(), shell.Button("cmdViewReport")->y()};
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controlsSitAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        QTest::newRow("tab strip") << "tabSearch" << QRect(8, 8, 649, 281) << QString();
        QTest::newRow("page list") << "lstPR" << QRect(16, 40, 521, 217) << QString();
        QTest::newRow("keyword list") << "lstQUORVEX" << QRect(16, 40, 521, 217) << QString();
        QTest::newRow("add") << "cmdAdd" << QRect(544, 40, 105, 20) << "&Add";
        QTest::newRow("edit") << "cmdEdit" << QRect(544, 64, 105, 20) << "&Edit/Remove";
        QTest::newRow("remove all") << "cmdRemoveAll" << QRect(544, 88, 105, 20) << "Remove A&ll";
        QTest::newRow("rank") << "cmdRank" << QRect(544, 112, 105, 20) << "Ran&k";
        QTest::newRow("view report") << "cmdViewReport" << QRect(544, 136, 105, 20) << "&View Report";
        QTest::newRow("help") << "cmdHelp" << QRect(544, 184, 105, 20) << "&Help";
        QTest::newRow("about") << "cmdAbout" << QRect(544, 208, 105, 20) << "A&bout";
        QTest::newRow("exit") << "cmdExit" << QRect(544, 256, 105, 20) << "E&xit";
        QTest::newRow("site database") << "cmdSearchKeyword" << QRect(16, 260, 105, 20) << "&Get WebSites List";
        QTest::newRow("status bar") << "sbStatus" << QRect(0, 295, 663, 25) << QString();
        QTest::newRow("progress bar") << "prgBar" << QRect(392, 300, 257, 14) << QString();
    }
    void controlsSitAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        Shell shell;
        QWidget* control = shell.window->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget(), shell.window.get());
        QCOMPARE(control->geometry(), place);
        if (auto* button = qobject_cast<QPushButton*>(control))
            QCOMPARE(button->text(), caption);
    }

    // A larger window gives its room to the tab strip and the lists; back at the designed size every
    // control is exactly where it was.
    void controlsFollowTheEdges_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("design");
        QTest::addColumn<QRect>("grown");
        QTest::newRow("tab strip") << "tabSearch" << QRect(8, 8, 649, 281) << QRect(8, 8, 886, 461);
        QTest::newRow("page list") << "lstPR" << QRect(16, 40, 521, 217) << QRect(16, 40, 758, 397);
        QTest::newRow("keyword list") << "lstQUORVEX" << QRect(16, 40, 521, 217) << QRect(16, 40, 758, 397);
        QTest::newRow("add") << "cmdAdd" << QRect(544, 40, 105, 20) << QRect(781, 40, 105, 20);
        QTest::newRow("edit") << "cmdEdit" << QRect(544, 64, 105, 20) << QRect(781, 64, 105, 20);
        QTest::newRow("remove all") << "cmdRemoveAll" << QRect(544, 88, 105, 20) << QRect(781, 88, 105, 20);
        QTest::newRow("view report") << "cmdViewReport" << QRect(544, 136, 105, 20) << QRect(781, 136, 105, 20);
        QTest::newRow("about") << "cmdAbout" << QRect(544, 208, 105, 20) << QRect(781, 208, 105, 20);
        QTest::newRow("exit") << "cmdExit" << QRect(544, 256, 105, 20) << QRect(781, 436, 105, 20);
        QTest::newRow("site database") << "cmdSearchKeyword" << QRect(16, 260, 105, 20) << QRect(16, 440, 105, 20);
        QTest::newRow("extract keyword") << "chkExtractKeyword" << QRect(16, 264, 136, 17) << QRect(16, 444, 136, 17);
        QTest::newRow("top 10") << "chkTOP10List" << QRect(168, 264, 136, 17) << QRect(168, 444, 136, 17);
        QTest::newRow("status bar") << "sbStatus" << QRect(0, 295, 663, 25) << QRect(0, 475, 900, 25);
        QTest::newRow("progress bar") << "prgBar" << QRect(392, 300, 257, 14) << QRect(629, 480, 257, 14);
    }
    void controlsFollowTheEdges()
    {
        QFETCH(QString, name);
        QFETCH(QRect, design);
        QFETCH(QRect, grown);
        Shell shell(TwoPages(), ThreeKeywordEntries());
        QCOMPARE(shell.window->minimumSize(), QSize(663, 320));
        QWidget* control = shell.window->findChild<QWidget*>(name);
        QVERIFY(control);
        QTreeWidget* pages = shell.List("lstPR");
        QTreeWidget* keywords = shell.List("lstQUORVEX");

        shell.window->resize(900, 500);
        QTRY_COMPARE(shell.window->size(), QSize(900, 500));
        QCOMPARE(control->geometry(), grown);
        QCOMPARE(pages->columnWidth(1), 460 + 237);
        QCOMPARE(keywords->columnWidth(1) + keywords->columnWidth(3), 180 + 160 + 237);
        QCOMPARE(keywords->columnWidth(2), 120);
        shell.ClickTab(QStringLiteral("QUORVEX"));
        QCOMPARE(shell.Button("cmdRemove")->geometry(), QRect(781, 88, 105, 20));
        QCOMPARE(ColumnTops(shell), (QList<int>{112, 136, 160}));
        QCOMPARE(shell.Button("cmdRank")->x(), 781);
        shell.ClickTab(QStringLiteral("Page Rank"));

        // Never smaller than designed.
        shell.window->resize(500, 200);
        QTRY_COMPARE(shell.window->size(), QSize(663, 320));
        QCOMPARE(control->geometry(), design);
        QCOMPARE(pages->columnWidth(1), 460);
        QCOMPARE(keywords->columnWidth(1), 180);
        QCOMPARE(keywords->columnWidth(3), 160);
        QCOMPARE(ColumnTops(shell), (QList<int>{88, 112, 136}));
    }

    void startsOnPageRankWithTheStoredLists()
    {
        Shell shell(TwoPages(), ThreeKeywordEntries());
        QCOMPARE(shell.window->windowTitle(), QStringLiteral("Quorvex 2.2"));
        QCOMPARE(shell.window->size(), QSize(663, 320));
        QTreeWidget* pages = shell.List("lstPR");
        QVERIFY(pages->isVisible());
        QVERIFY(!shell.List("lstQUORVEX")->isVisible());
        QCOMPARE(pages->headerItem()->text(0), QStringLiteral("#"));
        QCOMPARE(pages->columnWidth(0), 45);
        QCOMPARE(pages->columnWidth(1), 460);
        QCOMPARE(pages->topLevelItemCount(), 2);
        QCOMPARE(pages->topLevelItem(1)->text(0), QStringLiteral("2"));
        QCOMPARE(pages->topLevelItem(1)->text(1), QStringLiteral("http://www.two.com"));
        QCOMPARE(Shell::Tick(pages, 0), Qt::Checked);
        QCOMPARE(Shell::Tick(pages, 1), Qt::Unchecked);
        QVERIFY(!shell.Button("cmdRemove")->isVisible());
        QVERIFY(!shell.Button("cmdSearchKeyword")->isVisible());
        QVERIFY(!shell.Button("cmdEdit")->isEnabled());
        QCOMPARE(shell.window->StatusText(), QStringLiteral("Ready"));
        QCOMPARE(shell.window->ProgressBar(), shell.Find<QProgressBar>("prgBar"));
        // The focus keeper lies outside what the user sees.
        QVERIFY(!shell.window->rect().intersects(shell.Find<QLineEdit>("txtDumb")->geometry()));
        for (const char* timer : {"tmrDelay", "tmrSetFocus", "tmrReady"})
            QVERIFY2(shell.window->findChild<QTimer*>(QLatin1String(timer)), timer);
    }

    void optionsShowAndSaveOnlyThemselves()
    {
        Shell shell(TwoPages());
        QVERIFY(!shell.Find<QCheckBox>("chkExtractKeyword")->isChecked());
        const QMap<QString, QString> before = shell.StoredValues();
        QTest::mouseClick(shell.Find<QCheckBox>("chkExtractKeyword"), Qt::LeftButton);
        QTest::mouseClick(shell.Find<QCheckBox>("chkTOP10List"), Qt::LeftButton);
        QMap<QString, QString> expected = before;
        expected[PRURLKey + QStringLiteral("|CheckExtractKeyword")] = QStringLiteral("True");
        expected[QuorvexURLKey + QStringLiteral("|TOP10List")] = QStringLiteral("True");
        QCOMPARE(shell.StoredValues(), expected);
        QVERIFY(shell.state.Lists.CheckExtractKeyword && shell.state.Lists.TOP10List);

        shell.state.Lists.TOP10List = false;
        frmQuorvex window(shell.session, shell.launcher);
        QVERIFY(window.findChild<QCheckBox*>(QStringLiteral("chkExtractKeyword"))->isChecked());
        QVERIFY(!window.findChild<QCheckBox*>(QStringLiteral("chkTOP10List"))->isChecked());
    }

    void tabSwitchMovesTheButtonColumn()
    {
        Shell shell(TwoPages(), ThreeKeywordEntries());
        QCOMPARE(ColumnTops(shell), (QList<int>{88, 112, 136}));
        shell.ClickTab(QStringLiteral("QUORVEX"));
        QCOMPARE(ColumnTops(shell), (QList<int>{112, 136, 160}));
        QCOMPARE(shell.Button("cmdEdit")->text(), QStringLiteral("&Edit"));
        QVERIFY(shell.Button("cmdRemove")->isVisible());
        QVERIFY(shell.List("lstQUORVEX")->isVisible());
        QVERIFY(!shell.List("lstPR")->isVisible());
        QTreeWidget* keywords = shell.List("lstQUORVEX");
        QCOMPARE(keywords->topLevelItemCount(), 3);
        QCOMPARE(keywords->topLevelItem(1)->text(3), QStringLiteral("k2,k3"));
        QCOMPARE(keywords->topLevelItem(2)->text(2), QStringLiteral("C"));
        QCOMPARE(Shell::Tick(keywords, 1), Qt::Unchecked);

        // An item clicked on one tab leaves no edit button enabled on the other.
        Shell::ClickItem(keywords, 0);
        QVERIFY(shell.Button("cmdRemove")->isEnabled());
        shell.ClickTab(QStringLiteral("Page Rank"));
        QCOMPARE(ColumnTops(shell), (QList<int>{88, 112, 136}));
        QCOMPARE(shell.Button("cmdEdit")->text(), QStringLiteral("&Edit/Remove"));
        QVERIFY(!shell.Button("cmdEdit")->isEnabled());
        QVERIFY(!shell.Button("cmdRemove")->isVisible());
        QVERIFY(shell.List("lstPR")->isVisible());
    }

    void tickingAnItemSavesOnlyThatFlag()
    {
        Shell shell(TwoPages(), ThreeKeywordEntries());
        QMap<QString, QString> expected = shell.StoredValues();
        Shell::ClickCheckBox(shell.List("lstPR"), 1);
        QCOMPARE(Shell::Tick(shell.List("lstPR"), 1), Qt::Checked);
        QCOMPARE(shell.state.Lists.PRURLList.at(1).Checked, 1);
        expected[PRURLKey + QStringLiteral("|PRURLUnChecked2")] = QStringLiteral("1");
        QCOMPARE(shell.StoredValues(), expected);

        shell.ClickTab(QStringLiteral("QUORVEX"));
        Shell::ClickCheckBox(shell.List("lstQUORVEX"), 2);
        QCOMPARE(shell.state.Lists.QuorvexList.at(2).Checked, 0);
        expected[QuorvexURLKey + QStringLiteral("|QUORVEXURLUnChecked3")] = QStringLiteral("0");
        QCOMPARE(shell.StoredValues(), expected);
    }

    void rankIsEnabledExactlyWhenAnEntryIsChecked()
    {
        Shell empty;
        QVERIFY(!empty.Button("cmdRank")->isEnabled());
        QVERIFY(!empty.Button("cmdRemoveAll")->isEnabled());

        // Only a keyword entry is checked and the page list is empty: the run still has work.
        Shell keywordsOnly({}, {KeywordEntry("http://a.com", "", "k", 1)});
        QVERIFY(keywordsOnly.Button("cmdRank")->isEnabled());
        QVERIFY(!keywordsOnly.Button("cmdRemoveAll")->isEnabled());

        Shell shell({{QStringLiteral("http://www.one.com"), 1}}, {KeywordEntry("http://a.com", "", "k", 0)});
        QPushButton* rank = shell.Button("cmdRank");
        QVERIFY(rank->isEnabled());
        Shell::ClickCheckBox(shell.List("lstPR"), 0);
        QVERIFY(!rank->isEnabled());
        shell.ClickTab(QStringLiteral("QUORVEX"));
        QVERIFY(!rank->isEnabled());
        Shell::ClickCheckBox(shell.List("lstQUORVEX"), 0);
        QVERIFY(rank->isEnabled());
        // The keyboard ticks as well as the mouse.
        shell.List("lstQUORVEX")->setFocus();
        QTest::keyClick(shell.List("lstQUORVEX"), Qt::Key_Space);
        QCOMPARE(shell.state.Lists.QuorvexList.at(0).Checked, 0);
        QVERIFY(!rank->isEnabled());

        // A click starts a run and the next one stops it, before any request has gone out.
        Shell::ClickCheckBox(shell.List("lstQUORVEX"), 0);
        shell.Click("cmdRank");
        QCOMPARE(rank->text(), QStringLiteral("&Stop"));
        QVERIFY(shell.window->RunGoing());
        shell.Click("cmdRank");
        QCOMPARE(rank->text(), QStringLiteral("Ran&k"));
        QTRY_COMPARE(shell.prompter.Messages.size(), 1);
        QCOMPARE(shell.prompter.Messages.at(0).Text, QStringLiteral("You press the stop button !"));
        QVERIFY(shell.state.StopRequested);
    }

    void viewReportFollowsTheIndexPage()
    {
        Shell shell(TwoPages());
        QPushButton* view = shell.Button("cmdViewReport");
        QVERIFY(!view->isEnabled());
        QVERIFY(QDir(shell.dir.path()).mkdir(QStringLiteral("Report")));
        const QString index = shell.dir.filePath(QStringLiteral("Report/Index.htm"));
        QFile page(index);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        shell.ClickTab(QStringLiteral("QUORVEX"));
        QVERIFY(view->isEnabled());
        shell.Click("cmdViewReport");
        QCOMPARE(shell.launcher.BrowserTargets, QStringList{index});

        QVERIFY(QFile::remove(index));
        shell.window->UpdateRankAndReportButtons();
        QVERIFY(!view->isEnabled());
    }

    void removeAllAsksFirst_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("tab");
        QTest::newRow("No on Page Rank") << false << "Page Rank";
        QTest::newRow("Yes on Page Rank") << true << "Page Rank";
        QTest::newRow("No on QUORVEX") << false << "QUORVEX";
        QTest::newRow("Yes on QUORVEX") << true << "QUORVEX";
    }
    void removeAllAsksFirst()
    {
        QFETCH(bool, yes);
        QFETCH(QString, tab);
        Shell shell(TwoPages(), ThreeKeywordEntries());
        shell.ClickTab(tab);
        const bool pageRank = tab == QStringLiteral("Page Rank");
        const QMap<QString, QString> before = shell.StoredValues();
        shell.prompter.Answers = {yes};
        shell.Click("cmdRemoveAll");

        QCOMPARE(shell.prompter.Questions.size(), 1);
        QCOMPARE(shell.prompter.Questions.at(0).Text, QStringLiteral("Do you want to continue ?"));
        QCOMPARE(shell.prompter.Questions.at(0).Title, QStringLiteral("Quorvex 2.2"));
        QTreeWidget* shown = shell.List(pageRank ? "lstPR" : "lstQUORVEX");
        if (!yes) {
            QCOMPARE(shell.StoredValues(), before);
            QCOMPARE(shown->topLevelItemCount(), pageRank ? 2 : 3);
            return;
        }
        QCOMPARE(shown->topLevelItemCount(), 0);
        QVERIFY(!shell.Button("cmdRemoveAll")->isEnabled());
        // The other list is untouched, in memory and stored.
        QCOMPARE(shell.state.Lists.PRURLCount(), pageRank ? 0 : 2);
        QCOMPARE(shell.state.Lists.QuorvexCount(), pageRank ? 3 : 0);
        const QString otherKey = pageRank ? QuorvexURLKey : PRURLKey;
        const QMap<QString, QString> after = shell.StoredValues();
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (it.key().startsWith(otherKey + QLatin1Char('|')))
                QCOMPARE(after.value(it.key()), it.value());
        }
        QCOMPARE(shell.Stored(pageRank ? PRURLKey : QuorvexURLKey, pageRank ? "PRURLNum" : "QUORVEXURLNum"),
                 QStringLiteral("0"));
    }

    void removingKeywordEntryOneOfThree()
    {
        Shell shell({}, ThreeKeywordEntries());
        shell.ClickTab(QStringLiteral("QUORVEX"));
        QTreeWidget* keywords = shell.List("lstQUORVEX");

        Shell::ClickItem(keywords, 0);
        shell.prompter.Answers = {false};
        shell.Click("cmdRemove");
        QCOMPARE(shell.state.Lists.QuorvexCount(), 3);
        QVERIFY(!shell.Button("cmdRemove")->isEnabled());

        Shell::ClickItem(keywords, 0);
        QCOMPARE(shell.state.Lists.SelectedQuorvexIndex, 1);
        shell.prompter.Answers = {true};
        shell.Click("cmdRemove");
        QCOMPARE(keywords->topLevelItemCount(), 2);
        QCOMPARE(keywords->topLevelItem(0)->text(0), QStringLiteral("1"));
        QCOMPARE(keywords->topLevelItem(0)->text(1), QStringLiteral("http://b.com"));
        QCOMPARE(Shell::Tick(keywords, 0), Qt::Unchecked);
        QCOMPARE(keywords->topLevelItem(1)->text(2), QStringLiteral("C"));
        QVERIFY(!shell.Button("cmdEdit")->isEnabled());
        QVERIFY(!shell.Button("cmdRemove")->isEnabled());

        QMap<QString, QString> stored = shell.StoredValues();
        const QString k = QuorvexURLKey + QLatin1Char('|');
        const auto keywordValues =
            std::count_if(stored.keyBegin(), stored.keyEnd(), [&](const QString& name) { return name.startsWith(k); });
        QCOMPARE(keywordValues, 2 * 4 + 2);
        QCOMPARE(stored.value(k + QStringLiteral("QUORVEXURLNum")), QStringLiteral("2"));
        QCOMPARE(stored.value(k + QStringLiteral("QUORVEXURL1")), QStringLiteral("http://b.com"));
        QCOMPARE(stored.value(k + QStringLiteral("QUORVEXURLUnChecked1")), QStringLiteral("0"));
        QCOMPARE(stored.value(k + QStringLiteral("QUORVEXKeyword1")), QStringLiteral("k2,k3"));
        QCOMPARE(stored.value(k + QStringLiteral("QUORVEXURL2")), QStringLiteral("http://c.com"));
        QCOMPARE(stored.value(k + QStringLiteral("QUORVEXProduct2")), QStringLiteral("C"));
        QCOMPARE(stored.value(k + QStringLiteral("QUORVEXURLUnChecked2")), QStringLiteral("1"));
    }

    // The whole text of a cut-off cell, as plain text even when it looks like markup.
    void cutOffCellsShowTheirTextAsTooltip_data()
    {
        const QString longAddress = QStringLiteral("http://www.example.com/") + QString(120, QLatin1Char('a'));
        QTest::addColumn<QString>("tab");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("tip"); // empty: no tooltip
        QTest::newRow("long address") << "Page Rank" << 1 << 1 << longAddress;
        QTest::newRow("short address") << "Page Rank" << 0 << 1 << QString();
        QTest::newRow("number") << "Page Rank" << 1 << 0 << QString();
        QTest::newRow("long keyword address") << "QUORVEX" << 0 << 1 << longAddress;
        QTest::newRow("product that looks like markup")
            << "QUORVEX" << 0 << 2 << "<b>Widgets</b> & <i>gadgets</i> for every home";
        QTest::newRow("short keywords") << "QUORVEX" << 0 << 3 << QString();
    }
    void cutOffCellsShowTheirTextAsTooltip()
    {
        QFETCH(QString, tab);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, tip);
        const QString longAddress = QStringLiteral("http://www.example.com/") + QString(120, QLatin1Char('a'));
        Shell shell({{QStringLiteral("http://www.one.com"), 1}, {longAddress, 1}},
                    {{longAddress, QStringLiteral("<b>Widgets</b> & <i>gadgets</i> for every home"),
                      QStringLiteral("seo"), 1}});
        QTreeWidget* list = shell.ShowTab(tab);
        QCOMPARE(ToolTipAt(list, list->model()->index(row, column)), tip);
    }

    // The status text gives way to the progress bar while the bar shows; text cut off shows whole
    // as a tooltip, as it stands.
    void statusTextGivesWayToTheProgressBar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("barShown");
        QTest::addColumn<bool>("cut");
        const QString summary =
            QStringLiteral("Quorvex completed: 123 requests, 45 failed; 10 rose, 20 fell, 30 stayed");
        const QString endless = QStringLiteral("<b>Quorvex</b> ") + QString(200, QLatin1Char('x'));
        QTest::newRow("short, bar shown") << QStringLiteral("Ready") << true << false;
        QTest::newRow("summary, bar gone") << summary << false << false;
        QTest::newRow("long, bar shown") << endless << true << true;
        QTest::newRow("long, bar gone") << endless << false << true;
    }
    void statusTextGivesWayToTheProgressBar()
    {
        QFETCH(QString, text);
        QFETCH(bool, barShown);
        QFETCH(bool, cut);
        Shell shell;
        QProgressBar* bar = shell.window->ProgressBar();
        bar->setVisible(barShown);
        shell.window->SetStatusText(text);
        auto* panel = shell.Find<StatusPanel>("sbStatusPanel");
        QCOMPARE(shell.window->StatusText(), text);
        const QString shown = panel->ShownText();
        QCOMPARE(shown != text, cut);
        const int left = panel->mapTo(shell.window.get(), QPoint()).x();
        const int room = barShown ? bar->x() - left : panel->width();
        QVERIFY2(panel->fontMetrics().horizontalAdvance(shown) <= room, qPrintable(shown));

        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        const QPoint at(4, panel->height() / 2);
        QHelpEvent help(QEvent::ToolTip, at, panel->mapToGlobal(at));
        QApplication::sendEvent(panel, &help);
        if (!cut) {
            QVERIFY(!QToolTip::isVisible());
            return;
        }
        QTRY_VERIFY(QToolTip::isVisible());
        QTextDocument tip;
        tip.setHtml(QToolTip::text());
        QCOMPARE(tip.toPlainText(), text);
    }

    void aRunGoingIgnoresListClicksAndTicks()
    {
        Shell shell(TwoPages());
        shell.window->RankButton()->setText(QStringLiteral("&Stop"));
        QVERIFY(shell.window->RunGoing());
        const QMap<QString, QString> before = shell.StoredValues();
        Shell::ClickCheckBox(shell.List("lstPR"), 1);
        QCOMPARE(Shell::Tick(shell.List("lstPR"), 1), Qt::Unchecked);
        QCOMPARE(shell.state.Lists.PRURLList.at(1).Checked, 0);
        Shell::ClickItem(shell.List("lstPR"), 0);
        QVERIFY(!shell.Button("cmdEdit")->isEnabled());
        QCOMPARE(shell.StoredValues(), before);

        // The other buttons stay usable, and the stop button stays on whatever they do.
        shell.prompter.Answers = {true};
        shell.Click("cmdRemoveAll");
        QCOMPARE(shell.state.Lists.PRURLCount(), 0);
        QVERIFY(shell.window->RankButton()->isEnabled());
    }

    void aboutAndHelpOpenAsModalWindows()
    {
        Shell shell;
        shell.Click("cmdAbout");
        QPointer<frmAbout> about = shell.window->findChild<frmAbout*>();
        QVERIFY(about && about->isVisible() && about->isModal());
        QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QTRY_VERIFY(about.isNull());

        shell.Click("cmdHelp");
        QPointer<frmHelp> help = shell.window->findChild<frmHelp*>();
        QVERIFY(help && help->isVisible() && help->isModal());
        QTest::mouseClick(help->findChild<QLabel*>(QStringLiteral("lblHelp")), Qt::LeftButton);
        QTRY_VERIFY(help.isNull());
        QCOMPARE(shell.launcher.BrowserTargets.size(), 1);
        QVERIFY(shell.launcher.BrowserTargets.at(0).endsWith(QStringLiteral("/README.md")));
    }

    void statusNoteReturnsToReady()
    {
        Shell shell;
        shell.window->ShowStatusNote(QStringLiteral("Quorvex is busy"));
        QCOMPARE(shell.window->StatusText(), QStringLiteral("Quorvex is busy"));
        QTRY_COMPARE(shell.window->StatusText(), QStringLiteral("Ready"));
    }

    void closingStopsTheProgram_data()
    {
        QTest::addColumn<bool>("exitButton");
        QTest::newRow("E&xit") << true;
        QTest::newRow("close box") << false;
    }
    void closingStopsTheProgram()
    {
        QFETCH(bool, exitButton);
        Shell shell(TwoPages());
        if (exitButton)
            shell.Click("cmdExit");
        else
            QVERIFY(shell.window->close());
        QVERIFY(shell.state.StopRequested);
        QVERIFY(!shell.window->isVisible());
    }
};

QUORVEX_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
