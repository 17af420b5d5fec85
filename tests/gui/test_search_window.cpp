// The search window: what loading shows, the enabling rules and LoadingGuard, the list's display
// forms, the daily copy, the three extraction boxes and the starts of the two runs.
#include "SearchWindowRig.h"
#include "ToolTipAt.h"
#include "gui/frmSearch.h"
#include "sitedb/DailyCopy.h"
#include "sitedb/SearchTableModel.h"
#include "sitedb/SiteDbTexts.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextDocument>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {

QString LongTitle()
{
    return u"<b>silver craft</b> - news, guides and a friendly forum about every craft there is, with pictures"_s;
}

class Rig : public SearchWindowRig {
public:
    void Seed()
    {
        folder.Collect(u"web design"_s, u"tools"_s, {u"http://a.com"_s, u"http://b.com"_s, u"http://c.com"_s});
        folder.Collect(u"seo"_s, u"misc"_s, {u"http://s.com"_s, u"http://t.com"_s});
        SiteDatabase database(folder.Database());
        QVERIFY(database.UpdateProgress(u"seo"_s, 2, 2));
        QVERIFY(database.AddKeyword(u"added"_s, u"new"_s, u"added"_s));
    }
    // One step of a case: "set:TEXT" changes the keyword text at once (a paste), "keys:TEXT" types it
    // key by key, "category:TEXT" sets the category, "choose:N" picks item N of the keyword list.
    void Step(const QString& step) const
    {
        const QString verb = step.section(u':', 0, 0);
        const QString text = step.section(u':', 1);
        if (verb == u"set") {
            Keyword()->setEditText(text);
        } else if (verb == u"keys") {
            QTest::keyClicks(Keyword()->lineEdit(), text);
        } else if (verb == u"category") {
            Find<QLineEdit>(u"txtType"_s)->setText(text);
        } else if (verb == u"choose") {
            const int item = text.toInt();
            Keyword()->setCurrentIndex(item);
            Q_EMIT Keyword()->activated(item);
        } else {
            qFatal("unknown step %s", qPrintable(step));
        }
    }
};

} // namespace

class TestSearchWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layoutAndLoading()
    {
        Rig rig;
        rig.Seed();
        rig.Open();
        QCOMPARE(rig.window->windowTitle(), u"Get List of WebSites"_s);
        const QList<std::pair<QString, QString>> captions{{u"chkExtractTitle"_s, u"Extract Title"_s},
                                                          {u"chkExtractPR"_s, u"Extract PR"_s},
                                                          {u"chkExtractAlexa"_s, u"Extract Alexa"_s},
                                                          {u"cmdAdd"_s, u"&Add/Refresh"_s},
                                                          {u"cmdDelete"_s, u"&Delete"_s},
                                                          {u"cmdExtract"_s, u"&Extract"_s},
                                                          {u"cmdCompactDatabase"_s, u"Com&pact"_s},
                                                          {u"cmdCancel"_s, u"&Cancel"_s},
                                                          {u"cmdScan"_s, u"&Scan"_s},
                                                          {u"cmdReport"_s, u"Scan &Report"_s},
                                                          {u"cmdExportHTML"_s, u"Export &HTML"_s},
                                                          {u"cmdRecoverDatabase"_s, u"Reco&ver Database"_s}};
        int previousTop = -1;
        for (const auto& [name, caption] : captions) {
            auto* control = rig.Find<QAbstractButton>(name);
            QCOMPARE(control->text(), caption);
            // The column runs top to bottom in this order.
            QVERIFY2(control->y() > previousTop, qPrintable(name));
            previousTop = control->y();
        }
        QCOMPARE(rig.Keyword()->currentText(), u"web design"_s);
        QCOMPARE(rig.Keyword()->count(), 3);
        QCOMPARE(rig.Keyword()->itemText(2), u"added"_s);
        QCOMPARE(rig.Text(u"txtType"_s), u"tools"_s);
        QVERIFY(rig.Find<QLineEdit>(u"txtREnd"_s)->isReadOnly());
        auto* span = rig.Find<QComboBox>(u"cmbRSpan"_s);
        QCOMPARE(span->currentText(), u"50"_s);
        QCOMPARE(span->count(), 15);
        QCOMPARE(span->itemText(14), u"100"_s);
        auto* list = rig.Find<QTableView>(u"lstTitle"_s);
        QCOMPARE(list->model()->rowCount(), 3);
        QStringList headers;
        for (int column = 0; column < list->model()->columnCount(); ++column)
            headers.append(list->model()->headerData(column, Qt::Horizontal).toString());
        QCOMPARE(headers,
                 (QStringList{u"ID"_s, u"URL"_s, u"Title"_s, u"Description"_s, u"Keyword"_s, u"PR"_s, u"Alexa"_s}));
        QCOMPARE(rig.Find<QPushButton>(u"cmdCompactDatabase"_s)->isEnabled(), true);
        QVERIFY(rig.prompter.Messages.isEmpty());
    }

    void enablingRulesAndLoadingGuard_data()
    {
        QTest::addColumn<bool>("seeded");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("boxes"); // Top, Bottom, category
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("enabled");
        const QStringList loaded{u"cmdAdd"_s, u"cmdExtract"_s, u"cmdScan"_s};
        QTest::newRow("loading a filled database")
            << true << QStringList() << QStringList{u"1"_s, u"3"_s, u"tools"_s} << 3 << loaded;
        QTest::newRow("loading an empty database")
            << false << QStringList() << QStringList{u"0"_s, u"0"_s, u""_s} << 0 << QStringList{u"cmdScan"_s};
        QTest::newRow("known keyword with blanks keeps the list")
            << true << QStringList{u"set: seo "_s} << QStringList{u"2"_s, u"2"_s, u"misc"_s} << 3 << loaded;
        QTest::newRow("choosing a keyword refreshes the list")
            << true << QStringList{u"choose:1"_s} << QStringList{u"2"_s, u"2"_s, u"misc"_s} << 2 << loaded;
        QTest::newRow("never collected keyword shows empty boxes")
            << true << QStringList{u"choose:2"_s} << QStringList{u""_s, u""_s, u"new"_s} << 0 << loaded;
        QTest::newRow("unknown keyword resets")
            << true << QStringList{u"set:web designs"_s} << QStringList{u"0"_s, u"0"_s, u""_s} << 0 << QStringList();
        QTest::newRow("known keyword in other letter case is unknown")
            << true << QStringList{u"set:SEO"_s} << QStringList{u"0"_s, u"0"_s, u""_s} << 0 << QStringList();
        QTest::newRow("unknown keyword and a category")
            << true << QStringList{u"set:new one"_s, u"category:c"_s} << QStringList{u"0"_s, u"0"_s, u"c"_s} << 0
            << QStringList{u"cmdAdd"_s};
        QTest::newRow("emptied keyword") << true << QStringList{u"set:"_s} << QStringList{u"0"_s, u"0"_s, u""_s} << 0
                                         << QStringList{u"cmdScan"_s};
        QTest::newRow("category without keyword")
            << true << QStringList{u"set:"_s, u"category:c"_s} << QStringList{u"0"_s, u"0"_s, u"c"_s} << 0
            << QStringList{u"cmdScan"_s};
        QTest::newRow("guard: first change after an empty load resets nothing")
            << false << QStringList{u"keys:x"_s} << QStringList{u"0"_s, u"0"_s, u""_s} << 0
            << QStringList{u"cmdScan"_s};
        QTest::newRow("guard: the second change resets")
            << false << QStringList{u"keys:xy"_s} << QStringList{u"0"_s, u"0"_s, u""_s} << 0 << QStringList();
        QTest::newRow("guard: spent by loading a filled database")
            << true << QStringList{u"keys:x"_s} << QStringList{u"0"_s, u"0"_s, u""_s} << 0 << QStringList();
        QTest::newRow("typing a known keyword after an unknown one")
            << true << QStringList{u"set:x"_s, u"set:web design"_s} << QStringList{u"1"_s, u"3"_s, u"tools"_s} << 0
            << QStringList{u"cmdAdd"_s, u"cmdExtract"_s};
    }
    void enablingRulesAndLoadingGuard()
    {
        QFETCH(bool, seeded);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, boxes);
        QFETCH(int, rows);
        QFETCH(QStringList, enabled);
        Rig rig;
        if (seeded)
            rig.Seed();
        rig.Open();
        for (const QString& step : steps)
            rig.Step(step);
        QCOMPARE((QStringList{rig.Text(u"txtRHead"_s), rig.Text(u"txtREnd"_s), rig.Text(u"txtType"_s)}), boxes);
        QCOMPARE(rig.window->Rows().rowCount(), rows);
        QCOMPARE(rig.EnabledButtons(), enabled);
    }

    void displayForms_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<SqlText>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("NULL title") << int(SearchTableModel::Title) << SqlText() << QString();
        QTest::newRow("empty title") << int(SearchTableModel::Title) << SqlText(u""_s) << QString();
        QTest::newRow("Null text title") << int(SearchTableModel::Title) << SqlText(u"Null"_s) << u"Null"_s;
        QTest::newRow("title as stored") << int(SearchTableModel::Title) << SqlText(u"O'Neil & \"Co\" <b>"_s)
                                         << u"O'Neil & \"Co\" <b>"_s;
        QTest::newRow("PR") << int(SearchTableModel::PR) << SqlText(u"10"_s) << u"10"_s;
        QTest::newRow("NULL Alexa") << int(SearchTableModel::Alexa) << SqlText() << QString();
        QTest::newRow("Alexa zero") << int(SearchTableModel::Alexa) << SqlText(u"0"_s) << u"no data"_s;
        QTest::newRow("Alexa empty") << int(SearchTableModel::Alexa) << SqlText(u""_s) << QString();
        QTest::newRow("Alexa three digits") << int(SearchTableModel::Alexa) << SqlText(u"999"_s) << u"999"_s;
        QTest::newRow("Alexa four digits") << int(SearchTableModel::Alexa) << SqlText(u"1000"_s) << u"1,000"_s;
        QTest::newRow("Alexa seven digits") << int(SearchTableModel::Alexa) << SqlText(u"1234567"_s) << u"1,234,567"_s;
        QTest::newRow("Alexa not a number") << int(SearchTableModel::Alexa) << SqlText(u"n/a"_s) << u"n/a"_s;
    }
    void displayForms()
    {
        QFETCH(int, column);
        QFETCH(SqlText, stored);
        QFETCH(QString, shown);
        Rig rig;
        rig.folder.Collect(u"kw"_s, u"c"_s, {u"http://first.com"_s, u"http://a.com"_s});
        {
            SqliteConnection raw(rig.folder.Database(), SqliteConnection::Mode::ReadWrite);
            const QString name = column == SearchTableModel::Title ? u"Title"_s
                                 : column == SearchTableModel::PR  ? u"PR"_s
                                                                   : u"Alexa"_s;
            SqliteStatement update(raw, u"UPDATE kw SET "_s + name + u"=?1 WHERE URL='http://a.com'"_s);
            if (stored)
                update.Bind(1, *stored);
            else
                update.BindNull(1);
            QVERIFY(update.Run());
        }
        rig.Open();
        const SearchTableModel& rows = rig.window->Rows();
        QCOMPARE(rows.CellText(1, SearchTableModel::ID), u"2"_s);
        QCOMPARE(rows.CellText(1, SearchTableModel::URL), u"http://a.com"_s);
        QCOMPARE(rows.CellText(1, column), shown);
        const bool right = column == SearchTableModel::PR || column == SearchTableModel::Alexa;
        const auto alignment = rows.index(1, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        QCOMPARE(bool(alignment & Qt::AlignRight), right);
    }

    // A cell the column cuts off shows its text as a tooltip, in plain text; the numbers are never cut.
    void columnsFitTheirContents_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("tip"); // empty: no tooltip
        QTest::newRow("long title") << int(SearchTableModel::Title) << LongTitle();
        QTest::newRow("short address") << int(SearchTableModel::URL) << QString();
        QTest::newRow("ten-digit traffic rank") << int(SearchTableModel::Alexa) << QString();
        QTest::newRow("PageRank") << int(SearchTableModel::PR) << QString();
    }
    void columnsFitTheirContents()
    {
        QFETCH(int, column);
        QFETCH(QString, tip);
        Rig rig;
        rig.folder.Collect(u"kw"_s, u"c"_s, {u"http://first.com"_s, u"http://a.com"_s});
        {
            SqliteConnection raw(rig.folder.Database(), SqliteConnection::Mode::ReadWrite);
            SqliteStatement update(raw,
                                   u"UPDATE kw SET Title=?1,PR='10',Alexa='1234567890' WHERE URL='http://a.com'"_s);
            update.Bind(1, LongTitle());
            QVERIFY(update.Run());
        }
        rig.Open();
        auto* list = rig.Find<QTableView>(u"lstTitle"_s);
        QCOMPARE(rig.window->Rows().CellText(1, SearchTableModel::Alexa), u"1,234,567,890"_s);

        const QModelIndex cell = list->model()->index(1, column);
        QCOMPARE(list->sizeHintForIndex(cell).width() > list->columnWidth(column), !tip.isEmpty());

        QCOMPARE(ToolTipAt(list, cell), tip);
    }

    void dailyCopyOncePerDay()
    {
        Rig rig;
        rig.folder.Collect(u"kw"_s, u"c"_s, {u"http://a.com"_s});
        const QString first = DailyCopyPath(rig.folder.Path(), QDate(2024, 5, 1));
        const QString second = DailyCopyPath(rig.folder.Path(), QDate(2024, 5, 2));
        QVERIFY(first.endsWith(u"/Database/Quorvex_2024_05_01.mdb"_s));
        const auto keywords = [](const QString& path) {
            SiteDatabase database(path);
            QList<MasterRow> rows;
            database.ReadMaster(rows);
            QStringList names;
            for (const MasterRow& row : rows)
                names.append(row.Search.value_or(QString()));
            return names;
        };
        rig.Open();
        QVERIFY(QFile::exists(first));
        rig.folder.Collect(u"later"_s, u"c"_s, {u"http://b.com"_s});
        rig.Open();
        // The day's copy keeps the database as the first opening found it.
        QCOMPARE(keywords(first), QStringList{u"kw"_s});
        QVERIFY(!QFile::exists(second));
        rig.clock.now = rig.clock.now.addDays(1);
        rig.Open();
        QCOMPARE(keywords(second), (QStringList{u"kw"_s, u"later"_s}));
        QCOMPARE(keywords(first), QStringList{u"kw"_s});
        QCOMPARE(QDir(rig.folder.Path() + u"/Database"_s).entryList(QDir::Files | QDir::Hidden).size(), 3);
        QVERIFY(rig.prompter.Messages.isEmpty());
    }

    void lastExtractBoxStaysTicked()
    {
        Rig rig;
        rig.Open();
        rig.Click(u"chkExtractTitle"_s);
        rig.Click(u"chkExtractPR"_s);
        QVERIFY(rig.prompter.Messages.isEmpty());
        rig.Click(u"chkExtractAlexa"_s);
        QCOMPARE(rig.prompter.Messages.size(), 1);
        QCOMPARE(rig.prompter.Messages[0].Text, SiteDbTexts::OneBoxChecked);
        QCOMPARE(rig.prompter.Messages[0].Title, u"Quorvex"_s);
        QVERIFY(rig.Find<QCheckBox>(u"chkExtractAlexa"_s)->isChecked());
        QCOMPARE(rig.actions.Choices,
                 (QList<ExtractChoice>{{false, true, true}, {false, false, true}, {false, false, true}}));
    }

    void addAndExtractStartTheRuns()
    {
        Rig rig;
        rig.Seed();
        rig.Open();
        rig.Step(u"set:New KW"_s);
        rig.Step(u"category:Cat"_s);
        rig.Click(u"cmdAdd"_s);
        QCOMPARE(rig.actions.Collections.size(), 1);
        QCOMPARE(rig.actions.Collections[0].Keyword, u"new kw"_s);
        QCOMPARE(rig.actions.Collections[0].Category, u"cat"_s);
        QCOMPARE(rig.EnabledButtons(), QStringList{u"cmdAdd"_s});

        rig.folder.Collect(u"new kw"_s, u"cat"_s, {u"http://x.com"_s, u"http://y.com"_s});
        rig.actions.Written(true, u"new kw"_s);
        QCOMPARE(rig.Text(u"txtRHead"_s), u"1"_s);
        QCOMPARE(rig.Text(u"txtREnd"_s), u"2"_s);
        QCOMPARE(rig.Keyword()->itemText(rig.Keyword()->count() - 1), u"new kw"_s);
        QCOMPARE(rig.window->Rows().rowCount(), 2);
        QCOMPARE(rig.EnabledButtons(), (QStringList{u"cmdAdd"_s, u"cmdExtract"_s}));

        rig.Click(u"chkExtractTitle"_s);
        rig.prompter.Answers = {true};
        rig.Click(u"cmdExtract"_s);
        QCOMPARE(rig.actions.Batches.size(), 1);
        QCOMPARE(rig.actions.Batches[0].URLs, (QStringList{u"http://x.com"_s, u"http://y.com"_s}));
        QCOMPARE(rig.actions.Choices.last(), (ExtractChoice{false, true, true}));
        QCOMPARE(rig.EnabledButtons(), (QStringList{u"cmdAdd"_s, u"cmdExtract"_s, u"cmdScan"_s}));
        // Top moves when the batch is written, not before.
        QCOMPARE(rig.Text(u"txtRHead"_s), u"1"_s);
        {
            SiteDatabase database(rig.folder.Database());
            QVERIFY(database.WriteExtractionBatch(u"new kw"_s, u"new_kw"_s, {{u"http://x.com"_s, {}, {}, {}, 3, 0}}, {},
                                                  {false, true, true}, 3, 2));
        }
        rig.actions.Written(false, u"new kw"_s);
        QCOMPARE(rig.Text(u"txtRHead"_s), u"3"_s);
        QCOMPARE(rig.window->Rows().CellText(0, SearchTableModel::Alexa), u"no data"_s);

        // While a run goes, neither button starts another; closing the window stops it.
        rig.actions.running = true;
        rig.Click(u"cmdAdd"_s);
        rig.Click(u"cmdExtract"_s);
        QCOMPARE(rig.actions.Collections.size(), 1);
        QCOMPARE(rig.actions.Batches.size(), 1);
        QCOMPARE(rig.prompter.Messages.size(), 2);
        QCOMPARE(rig.prompter.Messages[1].Text, SiteDbTexts::RunGoing);
        rig.Click(u"cmdCancel"_s);
        QCOMPARE(rig.actions.Stops, 1);
        QVERIFY(!rig.window->isVisible());
    }
};

QUORVEX_TEST_MAIN(TestSearchWindow)
#include "test_search_window.moc"
