// The main window from the keyboard: selection, Tab order, Enter and Delete on the lists, and the
// edit buttons that follow the focus.

#include "WindowTestSupport.h"
#include "base/Names.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPointer>

class TestMainWindowKeys : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void editButtonsGoOffShortlyAfterTheListLosesFocus()
    {
        Shell shell({}, ThreeKeywordEntries());
        shell.ClickTab(QStringLiteral("QUORVEX"));
        QTreeWidget* keywords = shell.List("lstQUORVEX");
        Shell::ClickItem(keywords, 1);
        QVERIFY(keywords->hasFocus());
        QVERIFY(shell.Button("cmdEdit")->isEnabled());
        QVERIFY(shell.Button("cmdRemove")->isEnabled());
        QCOMPARE(shell.state.Lists.CurrentQuorvexKeyword, QStringLiteral("k2,k3"));

        shell.Find<QCheckBox>("chkTOP10List")->setFocus();
        QVERIFY(shell.Button("cmdEdit")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!shell.Button("cmdEdit")->isEnabled() && !shell.Button("cmdRemove")->isEnabled(),
                                 2000);

        // A click on Remove itself takes the focus from the list, yet arrives while Remove is on.
        Shell::ClickItem(keywords, 1);
        shell.prompter.Answers = {true};
        shell.Click("cmdRemove");
        QCOMPARE(shell.prompter.Questions.size(), 1);
        QCOMPARE(shell.state.Lists.QuorvexCount(), 2);
    }

    // Keys on a list, after a click on row 0 has given it the focus: what becomes of the edit buttons.
    void keyboardSelectsAsTheClickDoes_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("runGoing");
        QTest::addColumn<int>("selected"); // entry number, 0 for none
        QTest::newRow("Up on Page Rank") << "Page Rank" << int(Qt::Key_Up) << false << 1;
        QTest::newRow("Home on Page Rank") << "Page Rank" << int(Qt::Key_Home) << false << 1;
        QTest::newRow("Down on QUORVEX") << "QUORVEX" << int(Qt::Key_Down) << false << 3;
        QTest::newRow("End on QUORVEX") << "QUORVEX" << int(Qt::Key_End) << false << 3;
        QTest::newRow("Down while a run is going") << "QUORVEX" << int(Qt::Key_Down) << true << 0;
    }
    void keyboardSelectsAsTheClickDoes()
    {
        QFETCH(QString, tab);
        QFETCH(int, key);
        QFETCH(bool, runGoing);
        QFETCH(int, selected);
        Shell shell(TwoPages(), ThreeKeywordEntries());
        QTreeWidget* list = shell.ShowTab(tab);
        const bool pageRank = list == shell.List("lstPR");
        // Start from the second entry, its buttons already gone off, as after a while away.
        Shell::ClickItem(list, 1);
        shell.Button("cmdEdit")->setEnabled(false);
        shell.Button("cmdRemove")->setEnabled(false);
        if (runGoing)
            shell.window->RankButton()->setText(QStringLiteral("&Stop"));
        QTest::keyClick(list, Qt::Key(key));

        QCOMPARE(shell.Button("cmdEdit")->isEnabled(), selected > 0);
        QCOMPARE(shell.Button("cmdRemove")->isEnabled(), selected > 0 && !pageRank);
        if (selected == 0)
            return;
        if (pageRank) {
            QCOMPARE(shell.state.Lists.SelectedPRIndex, selected);
            QCOMPARE(shell.state.Lists.CurrentPRText, TwoPages().at(selected - 1).URL);
        } else {
            QCOMPARE(shell.state.Lists.SelectedQuorvexIndex, selected);
            QCOMPARE(shell.state.Lists.CurrentQuorvexURL, ThreeKeywordEntries().at(selected - 1).URL);
            QCOMPARE(shell.state.Lists.CurrentQuorvexKeyword, ThreeKeywordEntries().at(selected - 1).Keyword);
        }
    }

    void tabFromTheListReachesEditAndRemove()
    {
        Shell shell({}, ThreeKeywordEntries());
        shell.ClickTab(QStringLiteral("QUORVEX"));
        QTreeWidget* keywords = shell.List("lstQUORVEX");
        auto* tmrDelay = shell.Find<QTimer>("tmrDelay");
        keywords->setFocus();
        QTest::keyClick(keywords, Qt::Key_End);
        QTest::keyClick(keywords, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), shell.Button("cmdEdit"));
        QTest::keyClick(shell.Button("cmdEdit"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), shell.Button("cmdRemove"));
        QVERIFY(!tmrDelay->isActive());
        QVERIFY(shell.Button("cmdRemove")->isEnabled());

        // Space on Remove asks and removes the third entry.
        shell.prompter.Answers = {true};
        QTest::keyClick(shell.Button("cmdRemove"), Qt::Key_Space);
        QCOMPARE(shell.prompter.Questions.size(), 1);
        QCOMPARE(shell.state.Lists.QuorvexCount(), 2);
        QCOMPARE(shell.state.Lists.QuorvexList.at(1).URL, QStringLiteral("http://b.com"));
        QTRY_VERIFY(!shell.Button("cmdEdit")->isEnabled() && !shell.Button("cmdRemove")->isEnabled());

        // Back on the list, a new selection, Tab to Edit and Space opens that entry.
        keywords->setFocus();
        QTest::keyClick(keywords, Qt::Key_Down);
        QTest::keyClick(keywords, Qt::Key_Tab);
        QVERIFY(!tmrDelay->isActive());
        QTest::keyClick(shell.Button("cmdEdit"), Qt::Key_Space);
        QPointer<QDialog> dialog = shell.window->findChild<QDialog*>(QStringLiteral("frmQUORVEXURL"));
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit URL"));
        QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("txtQUORVEXURL"))->text(),
                 QStringLiteral("http://b.com"));
        dialog->reject();
        QTRY_VERIFY(dialog.isNull());
        shell.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shell.window.get()));

        // Going on past the two buttons turns them off as leaving the list does.
        keywords->setFocus();
        QTest::keyClick(keywords, Qt::Key_Up);
        QTest::keyClick(keywords, Qt::Key_Tab);
        QTest::keyClick(shell.Button("cmdEdit"), Qt::Key_Tab);
        QTest::keyClick(shell.Button("cmdRemove"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), shell.Button("cmdAdd"));
        QTRY_VERIFY(!shell.Button("cmdEdit")->isEnabled() && !shell.Button("cmdRemove")->isEnabled());
    }

    // A double-click or Enter on an entry opens it for editing, under the rules of the click.
    void doubleClickOrEnterEdits_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<bool>("enterKey");
        QTest::addColumn<bool>("runGoing");
        QTest::newRow("double-click on Page Rank") << "Page Rank" << false << false;
        QTest::newRow("double-click on QUORVEX") << "QUORVEX" << false << false;
        QTest::newRow("Enter on QUORVEX") << "QUORVEX" << true << false;
        QTest::newRow("double-click while a run is going") << "QUORVEX" << false << true;
        QTest::newRow("Enter while a run is going") << "Page Rank" << true << true;
    }
    void doubleClickOrEnterEdits()
    {
        QFETCH(QString, tab);
        QFETCH(bool, enterKey);
        QFETCH(bool, runGoing);
        Shell shell(TwoPages(), ThreeKeywordEntries());
        QTreeWidget* list = shell.ShowTab(tab);
        const bool pageRank = list == shell.List("lstPR");
        if (runGoing)
            shell.window->RankButton()->setText(QStringLiteral("&Stop"));
        if (enterKey) {
            // The focus makes entry 1 current without selecting it; Down selects entry 2.
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            Shell::DoubleClickItem(list, 1);
        }

        QPointer<QDialog> dialog =
            shell.window->findChild<QDialog*>(pageRank ? QStringLiteral("frmPRURL") : QStringLiteral("frmQUORVEXURL"));
        if (runGoing) {
            QVERIFY(!dialog || !dialog->isVisible());
            return;
        }
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit URL"));
        QVERIFY(!shell.state.Lists.AddMode);
        if (pageRank) {
            QCOMPARE(dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtPRURL"))->toPlainText(),
                     QStringLiteral("http://www.one.com\nhttp://www.two.com"));
        } else {
            QCOMPARE(shell.state.Lists.SelectedQuorvexIndex, 2);
            QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("txtQUORVEXKeyword"))->text(),
                     QStringLiteral("k2,k3"));
        }
        dialog->reject();
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(shell.window->focusWidget(), list);
    }

    void deleteKeyRemovesAKeywordEntry_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<bool>("runGoing");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("pagesAfter");
        QTest::addColumn<int>("keywordEntriesAfter");
        QTest::newRow("Yes") << "QUORVEX" << false << QList<bool>{true} << 2 << 2;
        QTest::newRow("No") << "QUORVEX" << false << QList<bool>{false} << 2 << 3;
        QTest::newRow("Page Rank asks nothing") << "Page Rank" << false << QList<bool>{} << 2 << 3;
        QTest::newRow("while a run is going") << "QUORVEX" << true << QList<bool>{} << 2 << 3;
    }
    void deleteKeyRemovesAKeywordEntry()
    {
        QFETCH(QString, tab);
        QFETCH(bool, runGoing);
        QFETCH(QList<bool>, answers);
        QFETCH(int, pagesAfter);
        QFETCH(int, keywordEntriesAfter);
        Shell shell(TwoPages(), ThreeKeywordEntries());
        QTreeWidget* list = shell.ShowTab(tab);
        Shell::ClickItem(list, 1);
        if (runGoing)
            shell.window->RankButton()->setText(QStringLiteral("&Stop"));
        const QMap<QString, QString> before = shell.StoredValues();
        shell.prompter.Answers = answers;
        QTest::keyClick(list, Qt::Key_Delete);

        QCOMPARE(shell.prompter.Questions.size(), answers.size());
        if (!answers.isEmpty())
            QCOMPARE(shell.prompter.Questions.at(0).Text, QStringLiteral("Do you want to continue ?"));
        QCOMPARE(shell.state.Lists.PRURLCount(), pagesAfter);
        QCOMPARE(shell.state.Lists.QuorvexCount(), keywordEntriesAfter);
        QCOMPARE(list->topLevelItemCount(), list == shell.List("lstPR") ? pagesAfter : keywordEntriesAfter);
        if (keywordEntriesAfter == 3) {
            QCOMPARE(shell.StoredValues(), before);
            return;
        }
        QCOMPARE(shell.state.Lists.QuorvexList.at(1).URL, QStringLiteral("http://c.com"));
        QCOMPARE(shell.Stored(QuorvexURLKey, "QUORVEXURLNum"), QStringLiteral("2"));
        QCOMPARE(QApplication::focusWidget(), list);
        QTRY_VERIFY(!shell.Button("cmdRemove")->isEnabled());
    }
};

QUORVEX_TEST_MAIN(TestMainWindowKeys)
#include "test_main_window_keys.moc"
