// Report/History.htm from a history of three runs: one chart per keyword record with its marks in
// run order, 1 at the top and misses and failures apart; the summary texts; each market a record
// of its own; the pages over the runs; the escaping of texts from the data; and the page as
// headless Chromium renders it.

#include "HistorySample.h"
#include "history/HistoryPage.h"
#include "support/TestHome.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

const QString Page = QString::fromUtf8(HistoryPageHtml(ThreeRunHistory()));

// The text a browser shows for markup: tags become blanks, references their characters.
QString Text(const QString& markup)
{
    QString text = markup;
    text.replace(QRegularExpression(u"<[^>]*>"_s), u" "_s);
    static const QRegularExpression reference(u"&#(\\d+);"_s);
    for (auto match = reference.match(text); match.hasMatch(); match = reference.match(text))
        text.replace(match.capturedStart(), match.capturedLength(),
                     QString::fromUcs4(std::array{char32_t(match.captured(1).toUInt())}.data(), 1));
    text.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&quot;"_s, u"\""_s);
    return text.simplified();
}

// The markup of each row of the table with this id.
QStringList Rows(const QString& page, const QString& tableId)
{
    const qsizetype start = page.indexOf(u"<tbody>"_s, page.indexOf(u"id=\""_s + tableId + u'"'));
    const QString body = page.mid(start, page.indexOf(u"</tbody>"_s, start) - start);
    QStringList rows;
    static const QRegularExpression row(u"<tr>(.*?)</tr>\\n"_s, QRegularExpression::DotMatchesEverythingOption);
    for (const auto& match : row.globalMatch(body))
        rows << match.captured(1);
    return rows;
}

// The markup of a row's cells; no cell may hold a table.
QStringList Cells(const QString& row)
{
    QStringList cells;
    static const QRegularExpression cell(u"<td[^>]*>(.*?)</td>"_s, QRegularExpression::DotMatchesEverythingOption);
    for (const auto& match : cell.globalMatch(row))
        cells << match.captured(1);
    return cells;
}

QStringList KeywordRow(const QString& keyword)
{
    for (const QString& row : Rows(Page, u"keywords"_s)) {
        const QStringList cells = Cells(row);
        if (Text(cells.value(2)) == keyword)
            return cells;
    }
    qFatal("no row for %s", qPrintable(keyword));
}

struct Mark {
    QString Kind; // f found, n not found, x failed
    int X = 0;
    int Y = 0;
    QString Title;
};

// The marks of a chart, by their place from left to right.
QList<Mark> Marks(const QString& svg)
{
    QList<Mark> marks;
    QXmlStreamReader xml(svg);
    QString kind;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        const auto attributes = xml.attributes();
        if (name == u"g"_s) {
            kind = attributes.value(u"class"_s).toString();
        } else if (name == u"circle"_s) {
            marks.append({kind, attributes.value(u"cx"_s).toInt(), attributes.value(u"cy"_s).toInt(), {}});
        } else if (name == u"path"_s) {
            // "M x-3 y-3 ...": the cross around its point
            const QStringList start = attributes.value(u"d"_s).mid(1).toString().split(u' ');
            marks.append({kind, start.value(0).toInt() + 3, start.value(1).section(u'l', 0, 0).toInt() + 3, {}});
        } else if (name == u"title"_s && !marks.isEmpty()) {
            marks.last().Title = xml.readElementText();
        }
    }
    if (xml.hasError())
        qFatal("chart is not well-formed: %s", qPrintable(xml.errorString()));
    std::stable_sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) { return a.X < b.X; });
    return marks;
}

QStringList Charts(const QString& page)
{
    QStringList charts;
    static const QRegularExpression svg(u"<svg.*?</svg>"_s, QRegularExpression::DotMatchesEverythingOption);
    for (const auto& match : svg.globalMatch(page))
        charts << match.captured(0);
    return charts;
}

} // namespace

class TestHistoryPage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chartFollowsTheRuns_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QStringList>("marks"); // kind and title, left to right
        QTest::newRow("rises") << u"seo tools"_s
                               << QStringList{u"f 2026-12-08: 8"_s, u"f 2026-12-09: 5"_s, u"f 2026-12-10: 2"_s};
        QTest::newRow("lost") << u"blue widgets"_s
                              << QStringList{u"f 2026-12-08: 7"_s, u"f 2026-12-09: 9"_s,
                                             u"n 2026-12-10: Not Found in top 10"_s};
        QTest::newRow("failed between") << u"<script>\"x\"</script>"_s
                                        << QStringList{u"n 2026-12-08: Not Found in top 100"_s,
                                                       u"x 2026-12-09: Failed"_s, u"f 2026-12-10: 4"_s};
        QTest::newRow("only the last run") << u"late"_s << QStringList{u"f 2026-12-10: 12"_s};
    }
    void chartFollowsTheRuns()
    {
        QFETCH(QString, keyword);
        QFETCH(QStringList, marks);
        const QList<Mark> drawn = Marks(KeywordRow(keyword).value(4));
        QStringList found;
        for (const Mark& mark : drawn)
            found << mark.Kind + u' ' + mark.Title;
        QCOMPARE(found, marks);

        // The runs share one time axis: the last run is at the right end of every chart.
        const QList<Mark> full = Marks(KeywordRow(u"page rank"_s).value(4));
        QCOMPARE(drawn.last().X, full.last().X);
        for (qsizetype i = 1; i < drawn.size(); ++i)
            QVERIFY(drawn.at(i).X > drawn.at(i - 1).X);
    }

    void positionOneIsAtTheTopAndMissesApart()
    {
        QList<Mark> all;
        for (const QString& chart : Charts(Page))
            all += Marks(chart);
        int topFound = INT_MAX;
        int lowestFound = 0;
        for (const Mark& mark : std::as_const(all)) {
            if (mark.Kind == u"f"_s) {
                topFound = std::min(topFound, mark.Y);
                lowestFound = std::max(lowestFound, mark.Y);
            }
        }
        for (const Mark& mark : std::as_const(all)) {
            if (mark.Title.endsWith(u": 1"_s))
                QCOMPARE(mark.Y, topFound);
            if (mark.Kind != u"f"_s)
                QVERIFY2(mark.Y > lowestFound, qPrintable(mark.Title));
        }
        // A better position is drawn higher; the same place on a shallower look lies lower.
        const QList<Mark> falls = Marks(KeywordRow(u"page rank"_s).value(4));
        QVERIFY(falls.at(0).Y < falls.at(1).Y && falls.at(1).Y < falls.at(2).Y);
        const QList<Mark> shallow = Marks(KeywordRow(u"blue widgets"_s).value(4));
        QVERIFY(shallow.at(1).Y > falls.at(2).Y);
        // Found positions are joined, and the line breaks at a run that found none.
        QCOMPARE(KeywordRow(u"seo tools"_s).value(4).count(u"<polyline"_s), 1);
        QVERIFY(!KeywordRow(u"<script>\"x\"</script>"_s).value(4).contains(u"<polyline"_s));
    }

    void summaryTexts_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("latest");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("best");
        QTest::newRow("rise") << u"seo tools"_s << u"2"_s << u"\u25B2 3"_s << u"2 2026-12-10"_s;
        QTest::newRow("fall") << u"page rank"_s << u"6"_s << u"\u25BC 2"_s << u"3 2026-12-08"_s;
        QTest::newRow("lost") << u"blue widgets"_s << u"Not Found in top 10"_s << u"lost"_s << u"7 2026-12-08"_s;
        QTest::newRow("found after a failure")
            << u"<script>\"x\"</script>"_s << u"4"_s << u"new"_s << u"4 2026-12-10"_s;
        QTest::newRow("failed now") << u"cheap"_s << u"Failed"_s << u"\u2013"_s << u"1 2026-12-08"_s;
        QTest::newRow("never found") << u"nowhere"_s << u"Not Found in top 100"_s << u"="_s << u"\u2013"_s;
        QTest::newRow("first run") << u"late"_s << u"12"_s << u"new"_s << u"12 2026-12-10"_s;
    }
    void summaryTexts()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, latest);
        QFETCH(QString, change);
        QFETCH(QString, best);
        const QStringList row = KeywordRow(keyword);
        QCOMPARE(row.size(), 8);
        QCOMPARE(Text(row.at(3)), u"unspecified"_s);
        QCOMPARE(Text(row.at(5)), latest);
        QCOMPARE(Text(row.at(6)), change);
        QCOMPARE(Text(row.at(7)), best);
    }

    // The same keyword of an address searched in two markets is two records, each named by its
    // market beside the keyword, with a chart and a change of its own.
    void eachMarketIsARecordOfItsOwn()
    {
        using enum ValueStatus;
        const Market lyon{u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon <Rh\u00F4ne>"_s};
        HistoryData history;
        for (int run = 1; run <= 2; ++run) {
            history.Runs.append({run, QDateTime(QDate(2026, 12, run), QTime(9, 30)), u"historical"_s, {}});
            history.Positions.append({run, u"http://a.com"_s, {}, u"seo"_s, {}, run == 1 ? 4 : 6, Found, 100, {}});
            history.Positions.append({run, u"http://a.com"_s, {}, u"seo"_s, lyon, run == 1 ? 9 : 2, Found, 100, {}});
        }
        const QString page = QString::fromUtf8(HistoryPageHtml(history));
        QVERIFY(page.contains(u"<th>Keyword</th><th>Market</th>"_s));
        QVERIFY(page.contains(u"fr fr mobile Lyon &lt;Rh&#244;ne&gt;"_s));
        QStringList records;
        for (const QString& row : Rows(page, u"keywords"_s)) {
            const QStringList cells = Cells(row);
            records << Text(cells.value(3)) + u": "_s + Text(cells.value(5)) + u", "_s + Text(cells.value(6));
        }
        QCOMPARE(records,
                 (QStringList{u"unspecified: 6, \u25BC 2"_s, u"fr fr mobile Lyon <Rh\u00F4ne>: 2, \u25B2 7"_s}));
    }

    void pagesOverTheRuns()
    {
        const QStringList pages = Rows(Page, u"pages"_s);
        QCOMPARE(pages.size(), 2);
        // The latest values, then the runs oldest first, each dated and linked to its daily report.
        QCOMPARE(Text(pages.at(0)), u"http://www.alpha.com Alpha Failed 12,342 3 runs Run Authority Traffic rank "
                                    "2026-12-08 3/10 12,340 2026-12-09 4/10 12,341 2026-12-10 Failed 12,342"_s);
        for (const char* day : {"08", "09", "10"})
            QVERIFY(pages.at(0).contains(u"<a href=\"Report202612%1.htm\">2026-12-%1</a>"_s.arg(QLatin1String(day))));
        QVERIFY(Text(pages.at(1)).startsWith(u"http://beta.org/shop <b>bold</b> & \"q\" 0/10 not ranked 3 runs"_s));
    }

    // Texts of the user and the web stay text, also as an attribute or a link; the page is ASCII.
    void textFromTheDataStaysText()
    {
        HistoryData history = ThreeRunHistory();
        history.Runs[0].ReportFile = u"javascript:alert(1)"_s;
        history.Runs[1].ReportFile = u"../../x\" onclick=\"y"_s;
        const QByteArray page = HistoryPageHtml(history);
        QVERIFY(std::all_of(page.cbegin(), page.cend(), [](char c) { return uchar(c) < 128; }));
        QVERIFY(!page.contains("<script>\"x\""));
        QVERIFY(!page.contains("<b>bold"));
        QVERIFY(!page.contains("\" onclick"));
        QCOMPARE(page.count("<script"), 1); // the table sorting
        QVERIFY(page.contains("&lt;script&gt;&quot;x&quot;&lt;/script&gt;"));
        QVERIFY(page.contains("caf&#233;"));
        QVERIFY(page.contains("href=\"javascript%3Aalert%281%29\""));
        QVERIFY(page.contains("href=\"..%2F..%2Fx%22%20onclick%3D%22y\""));
    }

    // Control characters stored in the history show escaped, as on the terminal, wherever a text
    // of the data lands: a keyword, a product, an address, a title, a report's caption.
    void controlCharactersShowEscaped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("escape sequence") << u"a\u001b[2Jb"_s << u"a\\x1b[2Jb"_s;
        QTest::newRow("tab and line break") << u"a\tb\nc"_s << u"a\\x09b\\x0ac"_s;
        QTest::newRow("DEL and C1") << u"a\u007f\u0085b"_s << u"a\\x7f\\x85b"_s;
        QTest::newRow("direction override") << u"a\u202eb\u2066c"_s << u"a\\u202eb\\u2066c"_s;
        QTest::newRow("line separator") << u"a\u2028b"_s << u"a\\u2028b"_s;
    }
    void controlCharactersShowEscaped()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        HistoryData history;
        history.Runs.append({1, QDateTime(QDate(2026, 12, 8), QTime(9, 30)), text, text});
        history.Pages.append({1, text, text, ValueStatus::Found, text, ValueStatus::Found, text, {}, {}});
        history.Positions.append({1, text, text, text, {{}, {}, {}, text}, 3, ValueStatus::Found, 100, {}});
        const QByteArray page = HistoryPageHtml(history);
        const QString escaped = QString::fromLatin1(page);
        QVERIFY(!page.contains(text.toUtf8()));
        for (const char c : page)
            QVERIFY2((uchar(c) >= 0x20 && uchar(c) < 0x7f) || c == '\n', qPrintable(QString::number(uchar(c))));
        QVERIFY2(escaped.count(shown) >= 8, qPrintable(escaped.section(u"<h2>"_s, 1)));
        QVERIFY(!escaped.contains(u"&#133;"_s) && !escaped.contains(u"&#8238;"_s) && !escaped.contains(u"&#8232;"_s));
    }

    // A run links its own copy of the report in the Runs folder, an older run the day's report;
    // no stored name leads out of the Report folder or names a scheme.
    void reportLinks_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("href");
        QTest::newRow("the run's own") << u"Runs/Report20261208-093000.htm"_s << u"Runs/Report20261208-093000.htm"_s;
        QTest::newRow("the day's") << u"Report20261208.htm"_s << u"Report20261208.htm"_s;
        QTest::newRow("out of the folder") << u"Runs/../../x.htm"_s << u"Runs/..%2F..%2Fx.htm"_s;
        QTest::newRow("a scheme") << u"javascript:alert(1)"_s << u"javascript%3Aalert%281%29"_s;
        QTest::newRow("another folder") << u"Other/x.htm"_s << u"Other%2Fx.htm"_s;
    }
    void reportLinks()
    {
        QFETCH(QString, file);
        QFETCH(QString, href);
        HistoryData history;
        history.Runs.append({1, QDateTime(QDate(2026, 12, 8), QTime(9, 30)), u"historical"_s, file});
        history.Pages.append(
            {1, u"http://a.com"_s, u"1/10"_s, ValueStatus::Found, {}, ValueStatus::NotRanked, {}, {}, {}});
        const QString page = QString::fromLatin1(HistoryPageHtml(history));
        QCOMPARE(page.count(u"<a href=\""_s + href + u"\">"_s), 2); // in the page's runs and in the list of runs
        QCOMPARE(page.count(u"<a href="_s), 2);
    }

    void chartsStaySmall()
    {
        const QStringList charts = Charts(Page);
        QCOMPARE(charts.size(), Rows(Page, u"keywords"_s).size());
        for (const QString& chart : charts)
            QVERIFY2(chart.toUtf8().size() < 1500, qPrintable(chart));
    }

    // Over many runs the line alone shows the found positions, misses and failures are ticks on the
    // band, a found position between two misses a dot, and no mark has a tooltip.
    void aLongHistoryKeepsItsChartsSmall()
    {
        HistoryData history;
        for (int run = 0; run < 365; ++run) {
            history.Runs.append({run + 1, QDateTime(QDate(2026, 1, 1).addDays(run), QTime(9, 0)), u"historical"_s, {}});
            using enum ValueStatus;
            const ValueStatus status = run == 40 || run == 42 ? NotRanked : run == 200 ? Failed : Found;
            history.Positions.append({run + 1, u"http://a.com"_s, {}, u"seo"_s, {}, 1 + run % 50, status, 100, {}});
        }
        const QStringList charts = Charts(QString::fromUtf8(HistoryPageHtml(history)));
        QCOMPARE(charts.size(), 1);
        const QString chart = charts.first();
        QVERIFY2(chart.toUtf8().size() < 365 * 9, qPrintable(QString::number(chart.size())));
        QVERIFY(!chart.contains(u"<title>"_s));
        QCOMPARE(chart.count(u"<polyline"_s), 3); // before the misses, up to the failure, after it
        QCOMPARE(chart.count(u"<circle"_s), 1);   // run 41, alone between the misses
        QVERIFY(chart.contains(u"<g class=\"n\"><path d=\"M"_s));
        QVERIFY(chart.contains(u"<g class=\"x\"><path d=\"M"_s));
        const QString misses = chart.section(u"<g class=\"n\"><path d=\""_s, 1).section(u'"', 0, 0);
        QCOMPARE(misses.count(u'M'), 2);
    }

    void emptyHistorySaysSo()
    {
        const QString page = QString::fromUtf8(HistoryPageHtml({}));
        QVERIFY(page.startsWith(u"<!DOCTYPE html>"_s));
        QVERIFY(Text(page).contains(u"No rank run has been recorded yet"_s));
        QVERIFY(!page.contains(u"<svg"_s));
        QVERIFY(!page.contains(u"<table"_s));
        QCOMPARE(HistoryPagePath(u"/p"_s), u"/p/Report/History.htm"_s);
    }

    // Headless Chromium from Debian on the file, with a profile of its own and no way out.
    void opensInABrowser()
    {
        const QString browser = QStandardPaths::findExecutable(u"chromium"_s);
        if (browser.isEmpty())
            QSKIP("chromium is not installed");
        QTemporaryDir folder;
        const QString path = HistoryPagePath(folder.path());
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(HistoryPageHtml(ThreeRunHistory()));
        file.close();

        QProcess chromium;
        chromium.start(browser,
                       {u"--headless"_s, u"--no-sandbox"_s, u"--disable-gpu"_s, u"--no-first-run"_s,
                        u"--disable-background-networking"_s, u"--disable-extensions"_s,
                        u"--proxy-server=http://127.0.0.1:9"_s, u"--user-data-dir="_s + folder.path() + u"/profile"_s,
                        u"--dump-dom"_s, QUrl::fromLocalFile(path).toString()});
        QVERIFY(chromium.waitForFinished(120000));
        const QString dom = QString::fromUtf8(chromium.readAllStandardOutput());
        QVERIFY2(chromium.exitCode() == 0 && !dom.isEmpty(), chromium.readAllStandardError().constData());
        QCOMPARE(dom.count(u"<svg"_s), 7);
        QCOMPARE(dom.count(u"<script"_s), 1);
        QCOMPARE(dom.count(u"<tr>"_s) >= 7, true);
        QVERIFY(dom.contains(u"&lt;script&gt;\"x\"&lt;/script&gt;"_s));
    }
};

QUORVEX_TEST_MAIN_CORE(TestHistoryPage)
#include "test_history_page.moc"
