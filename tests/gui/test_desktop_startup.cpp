// Start-up of the desktop program: the main window with the stored lists, closing it, and a second copy.

#include "gui/frmQuorvex.h"
#include "lists/ListStore.h"
#include "model/AppState.h"
#include "session/Session.h"
#include "session/StartUp.h"
#include "support/RecordingLauncher.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QProcess>
#include <QTreeWidget>

class TestDesktopStartUp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mainWindowShowsTheStoredLists()
    {
        QTemporaryDir home;
        {
            AppState first(home.path());
            ScriptedPrompter prompter;
            StartUp startUp(first.ProgramFolder);
            QCOMPARE(startUp.Run(first, prompter), StartUpResult::Ready);
            first.Lists.PRURLList = {{QStringLiteral("http://www.one.com"), 1},
                                     {QStringLiteral("http://www.two.com"), 0}};
            first.Lists.QuorvexList = {{QStringLiteral("http://a.com"), QStringLiteral("A"), QStringLiteral("k"), 1}};
            first.Lists.CheckExtractKeyword = true;
            SavePRURLList(first.Lists, first.Settings);
            SaveQuorvexURLList(first.Lists, first.Settings);
        }
        AppState state(home.path());
        ScriptedPrompter prompter;
        RecordingLauncher launcher;
        StartUp startUp(state.ProgramFolder);
        QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
        Session session(state, prompter);
        frmQuorvex window(session, launcher);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        auto* pages = window.findChild<QTreeWidget*>(QStringLiteral("lstPR"));
        QVERIFY(pages->isVisible());
        QCOMPARE(pages->topLevelItemCount(), 2);
        QCOMPARE(pages->topLevelItem(1)->text(1), QStringLiteral("http://www.two.com"));
        QCOMPARE(pages->topLevelItem(1)->checkState(0), Qt::Unchecked);
        QVERIFY(window.findChild<QCheckBox*>(QStringLiteral("chkExtractKeyword"))->isChecked());
        QVERIFY(!window.findChild<QCheckBox*>(QStringLiteral("chkTOP10List"))->isChecked());

        QVERIFY(!state.StopRequested);
        window.close();
        QVERIFY(state.StopRequested);
    }

    // The desktop program itself: a second copy for the same program folder leaves without a word.
    void secondCopyEndsSilently()
    {
        QTemporaryDir home;
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUORVEX_HOME"), home.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        const QString program = BinFolder() + QStringLiteral("/quorvex");

        QProcess running;
        running.setProcessEnvironment(environment);
        running.start(program, {});
        QVERIFY(running.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(home.filePath(QStringLiteral("Settings.db"))), 20000);

        QProcess second;
        second.setProcessEnvironment(environment);
        second.start(program, {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardError(), QByteArray());
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QCOMPARE(running.state(), QProcess::Running);

        running.kill();
        QVERIFY(running.waitForFinished(20000));
    }
};

QUORVEX_TEST_MAIN(TestDesktopStartUp)
#include "test_desktop_startup.moc"
