// The directory address setting: which addresses it takes, its scrambled storage, the settings
// dialog's page and the command line's "set export-base".
#include "base/Names.h"
#include "base/SettingsStore.h"
#include "cli/CliRunner.h"
#include "gui/MarketFields.h"
#include "gui/frmSettings.h"
#include "lists/ListStore.h"
#include "model/AppState.h"
#include "session/Session.h"
#include "sitedb/DirectorySettings.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace Qt::StringLiterals;

class TestSettingsDialog : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString StorePath() const { return dir.filePath(SettingsFileName); }

private Q_SLOTS:
    void init() { QFile::remove(StorePath()); }

    void addresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::newRow("default") << DefaultDirectoryBase << DefaultDirectoryBase;
        QTest::newRow("https, blanks around") << u"  https://sites.example/a/b/ "_s << u"https://sites.example/a/b/"_s;
        QTest::newRow("host case, port") << u"http://Sites.Example:8080/"_s << u"http://sites.example:8080/"_s;
        QTest::newRow("no final slash") << u"http://sites.example/dir"_s << QString();
        QTest::newRow("relative") << u"/dir/"_s << QString();
        QTest::newRow("no scheme") << u"sites.example/dir/"_s << QString();
        QTest::newRow("other scheme") << u"ftp://sites.example/"_s << QString();
        QTest::newRow("local folder") << u"file:///home/me/Database/"_s << u"file:///home/me/Database/"_s;
        QTest::newRow("local folder, encoded")
            << u"file:///home/me/My%20Export/"_s << u"file:///home/me/My%20Export/"_s;
        QTest::newRow("file, no final slash") << u"file:///home/me/Database"_s << QString();
        QTest::newRow("file on a host") << u"file://server/share/"_s << QString();
        QTest::newRow("file, relative") << u"file:Database/"_s << QString();
        QTest::newRow("script") << u"javascript:alert(1)//"_s << QString();
        QTest::newRow("no host") << u"http:///dir/"_s << QString();
        QTest::newRow("query") << u"http://sites.example/?a=/"_s << QString();
        QTest::newRow("fragment") << u"http://sites.example/#/"_s << QString();
        QTest::newRow("blank inside") << u"http://sites.example/a b/"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void addresses()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        QString problem;
        QCOMPARE(CheckDirectoryBase(text, problem), stored);
        QCOMPARE(problem.isEmpty(), !stored.isEmpty());

        SettingsStore store(StorePath());
        QVERIFY(store.Load());
        QCOMPARE(ReadDirectoryBase(store), DefaultDirectoryBase);
        const QString before = u"https://before.example/"_s;
        QVERIFY(SaveDirectoryBase(store, before, problem));
        QCOMPARE(SaveDirectoryBase(store, text, problem), !stored.isEmpty());
        QCOMPARE(ReadDirectoryBase(store), stored.isEmpty() ? before : stored);
        // Scrambled like every stored value.
        QVERIFY(!FileBytes(StorePath()).contains("example"));
    }

    void dialogPage()
    {
        AppState state(dir.path());
        SettingsStore& store = state.Settings;
        QVERIFY(store.Load());
        ScriptedPrompter prompter;
        Session session(state, prompter);
        frmSettings dialog(session, prompter);
        dialog.show();
        QCOMPARE(dialog.objectName(), u"frmSettings"_s);
        QCOMPARE(dialog.Pages()->tabText(0), u"Directory"_s);
        auto* address = dialog.findChild<QLineEdit*>(u"txtDirectoryBase"_s);
        QVERIFY(address);
        QCOMPARE(address->text(), DefaultDirectoryBase);
        QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);

        // A refused address is told and the dialog stays open with it.
        address->setText(u"www.sites.example"_s);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(prompter.Messages.size(), 1);
        QVERIFY(prompter.Messages.first().Text.contains(u"ending in \"/\""_s));
        QCOMPARE(prompter.Messages.first().Title, AppTitle);
        QVERIFY(dialog.isVisible());
        QCOMPARE(ReadDirectoryBase(store), DefaultDirectoryBase);

        address->setText(u"https://sites.example/dir/"_s);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(ReadDirectoryBase(store), u"https://sites.example/dir/"_s);

        // Cancel leaves the stored address.
        frmSettings again(session, prompter);
        again.show();
        again.findChild<QLineEdit*>(u"txtDirectoryBase"_s)->setText(u"https://other.example/"_s);
        QTest::mouseClick(again.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        QCOMPARE(again.result(), int(QDialog::Rejected));
        QCOMPARE(ReadDirectoryBase(store), u"https://sites.example/dir/"_s);
    }

    // The default market's page: stored with OK like the other pages, a location the services cannot
    // take told and kept out, Cancel leaving the stored market.
    void defaultMarketPage()
    {
        AppState state(dir.path());
        QVERIFY(state.Settings.Load());
        QVERIFY(InitURLLists(state.Lists, state.Settings));
        ScriptedPrompter prompter;
        Session session(state, prompter);
        frmSettings dialog(session, prompter);
        dialog.show();
        auto* market = dialog.findChild<MarketFields*>();
        QVERIFY(market);
        QCOMPARE(market->parentWidget()->objectName(), u"grpDefaultMarket"_s);
        auto* country = market->findChild<QComboBox*>(u"cmbCountry"_s);
        QCOMPARE(country->itemText(0), u"None"_s);
        country->setCurrentIndex(country->findText(u"France (fr)"_s));
        auto* device = market->findChild<QComboBox*>(u"cmbDevice"_s);
        device->setCurrentIndex(device->findData(u"mobile"_s));
        auto* location = market->findChild<QLineEdit*>(u"txtLocation"_s);
        location->setText(u"Lyon\tFrance"_s);
        QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(prompter.Messages.size(), 1);
        QCOMPARE(prompter.Messages.first().Text, u"The location must not hold control characters"_s);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.Pages()->currentWidget()->objectName(), u"Market"_s);
        QVERIFY(state.Lists.DefaultMarket.IsEmpty());

        location->setText(u"Lyon, France"_s);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const Market lyon{u"fr"_s, {}, u"mobile"_s, u"Lyon, France"_s};
        QCOMPARE(state.Lists.DefaultMarket, lyon);
        ListState stored;
        QVERIFY(LoadURLLists(stored, state.Settings));
        QCOMPARE(stored.DefaultMarket, lyon);

        frmSettings again(session, prompter);
        again.show();
        auto* shown = again.findChild<MarketFields*>();
        QCOMPARE(shown->Value(), lyon);
        shown->SetValue({});
        QTest::mouseClick(again.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        QCOMPARE(state.Lists.DefaultMarket, lyon);
        QVERIFY(LoadURLLists(stored, state.Settings));
        QCOMPARE(stored.DefaultMarket, lyon);
    }

    void commandLine()
    {
        QTemporaryDir home;
        const CliResult set = RunQuorvexCli(home.path(), {u"set"_s, u"export-base"_s, u"https://sites.example/d/"_s});
        QCOMPARE(set.ExitCode, 0);
        QVERIFY(RunQuorvexCli(home.path(), {u"list"_s}).Out.contains(u"https://sites.example/d/"_s));
        const CliResult bad = RunQuorvexCli(home.path(), {u"set"_s, u"export-base"_s, u"sites.example/d"_s});
        QCOMPARE(bad.ExitCode, 2);
        QVERIFY(bad.Err.contains(u"ending in \"/\""_s));
        QVERIFY(RunQuorvexCli(home.path(), {u"list"_s, u"--json"_s})
                    .Out.contains(u"\"export_base\": \"https://sites.example/d/\""_s));
    }
};

QUORVEX_TEST_MAIN(TestSettingsDialog)
#include "test_settings_dialog.moc"
