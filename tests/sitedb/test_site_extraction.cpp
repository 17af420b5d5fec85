// The extraction of a keyword's sites batch by batch against the fake web: the order and pacing of
// the requests, the check boxes, the texts and numbers written, and what a stop or a failed write
// leaves.

#include "sitedb/SiteExtraction.h"
#include "support/SiteRunRig.h"
#include "web/NormaliseURL.h"

#include <QLocale>
#include <QSignalSpy>

namespace {

const QString Keyword = QStringLiteral("seo tools");

QStringList SiteURLs(int count)
{
    QStringList urls;
    for (int i = 0; i < count; ++i)
        urls << QStringLiteral("http://www.s%1.example/page%1").arg(i);
    return urls;
}

// The site number of an address of SiteURLs, wherever it stands in a request.
int SiteNumber(const QString& url)
{
    const qsizetype at = url.indexOf(QLatin1String("www.s"));
    return at < 0 ? -1 : url.mid(at + 5).section(QLatin1Char('.'), 0, 0).toInt();
}

// 'g' a PageRank query, 'a' a traffic-rank page, 'k' a site's own page.
QChar Kind(const QString& url)
{
    const QUrl address(url);
    if (address.path() == QLatin1String("/tbr"))
        return QLatin1Char('g');
    if (address.path().startsWith(QLatin1String("/siteinfo/")))
        return QLatin1Char('a');
    return QLatin1Char('k');
}

// Site 7 shows neither title nor keywords. Site pages take a while, so that page summaries pile up.
CannedReply SiteAnswer(const QUrl& url)
{
    const int site = SiteNumber(url.toString());
    CannedReply reply;
    switch (Kind(url.toString()).toLatin1()) {
    case 'g':
        reply.ContentType = "text/plain";
        reply.Body = "Rank_1:1:" + QByteArray::number(site % 11) + '\n';
        break;
    case 'a':
        reply.Body = "<html><body><div class=\"data up\">" + QLocale(QLocale::English).toString(12345 + site).toUtf8() +
                     "</a></div></body></html>";
        break;
    default:
        reply.DelayMs = 150;
        if (site == 7) {
            reply.Body = "<html><head><meta name=\"description\" content=\"Plain page\"></head><body>x</body></html>";
        } else {
            reply.Body = "<html><head><title>Site " + QByteArray::number(site) +
                         " Home</title><meta name=\"description\" content=\"About site " + QByteArray::number(site) +
                         "\"><meta name=\"keywords\" content=\"one, two\"></head><body><a href=\"/x\">x</a></body>"
                         "</html>";
        }
    }
    return reply;
}

// "tpa": Extract Title, PR, Alexa ticked.
ExtractChoice Ticked(const QString& boxes)
{
    return {boxes.contains(QLatin1Char('t')), boxes.contains(QLatin1Char('p')), boxes.contains(QLatin1Char('a'))};
}

} // namespace

class TestSiteExtraction : public QObject {
    Q_OBJECT

    struct Rig : SiteRunRig {
        SiteExtraction extraction{state, driver, prompter, clock};
        QList<bool> finished;
        QStringList written;
        explicit Rig(int sites)
        {
            folder.Collect(Keyword, QStringLiteral("tools"), SiteURLs(sites));
            web.SetFallback(SiteAnswer);
            QObject::connect(&extraction, &SiteExtraction::Finished, [this](bool done) { finished << done; });
            QObject::connect(&extraction, &SiteExtraction::Written,
                             [this](const QString& keyword) { written << keyword; });
        }
        // One click of "&Extract" with these boxes, and the batch until it is over.
        void Extract(const QString& top, const QString& bottom, const QString& boxes)
        {
            prompter.Answers = {true};
            const std::optional<ExtractionBatch> batch =
                PrepareExtraction(folder.Database(), Keyword, top, bottom, QStringLiteral("50"), prompter);
            QVERIFY(batch);
            const qsizetype before = finished.size();
            extraction.Start(*batch, Ticked(boxes));
            QVERIFY(extraction.IsRunning());
            QTRY_COMPARE_WITH_TIMEOUT(finished.size(), before + 1, 60000);
            QVERIFY(!extraction.IsRunning());
        }
        QString Kinds(qsizetype from = 0) const
        {
            QString kinds;
            for (qsizetype i = from; i < web.Requests().size(); ++i)
                kinds += Kind(web.Requests().at(i).Url);
            return kinds;
        }
        QString SearchNum() const { return Master(Keyword)->SearchNum.value_or(QString()); }
    };

    static void VerifyExtracted(const SiteRow& row, int site, bool title, bool pr, bool alexa)
    {
        if (!title) {
            QVERIFY(!row.Title && !row.Description && !row.Keyword);
        } else if (site == 7) {
            QCOMPARE(row.Title, SqlText(Keyword));
            QCOMPARE(row.Description, SqlText(QStringLiteral("plain page")));
            QCOMPARE(row.Keyword, SqlText(QStringLiteral("Null")));
        } else {
            QCOMPARE(row.Title, SqlText(QStringLiteral("site %1 home").arg(site)));
            QCOMPARE(row.Description, SqlText(QStringLiteral("about site %1").arg(site)));
            QCOMPARE(row.Keyword, SqlText(QStringLiteral("one,two")));
        }
        QCOMPARE(row.PR, pr ? SqlText(QString::number(site % 11)) : std::nullopt);
        QCOMPARE(row.Alexa, alexa ? SqlText(QString::number(12345 + site)) : std::nullopt);
    }

private Q_SLOTS:
    void threeBatchesOfOneHundredTwenty()
    {
        Rig rig(120);
        const QStringList urls = SiteURLs(120);

        rig.Extract(QStringLiteral("1"), QStringLiteral("120"), QStringLiteral("tpa"));
        QCOMPARE(rig.finished, QList<bool>{true});
        QCOMPARE(rig.SearchNum(), QStringLiteral("51/120"));
        QCOMPARE(rig.Kinds(),
                 QString(50, QLatin1Char('g')) + QString(50, QLatin1Char('a')) + QString(50, QLatin1Char('k')));
        const QList<RecordedRequest>& requests = rig.web.Requests();
        for (int i = 0; i < requests.size(); ++i) {
            const QString& url = requests.at(i).Url;
            const int slot = i % 50;
            if (i < 100) {
                // The normalised address ends the query; one request in flight.
                QVERIFY2(url.endsWith(NormaliseURL(urls.at(slot)).mid(7)), qPrintable(url));
                QVERIFY2(!url.endsWith(QLatin1String("/page") + QString::number(slot)), qPrintable(url));
                QCOMPARE(rig.pendingHtmlAt.at(i), 1);
            } else {
                // The site's own page as stored, only once the paced requests are over, six at most.
                QCOMPARE(url, urls.at(slot));
                QCOMPARE(rig.pendingHtmlAt.at(i), 0);
                QVERIFY(rig.pendingTitleAt.at(i) <= SiteExtraction::TitlesInFlight);
            }
        }
        QCOMPARE(*std::max_element(rig.pendingTitleAt.begin(), rig.pendingTitleAt.end()),
                 SiteExtraction::TitlesInFlight);

        QList<SiteRow> rows = rig.Rows(Keyword);
        QCOMPARE(rows.size(), 120);
        for (int i = 0; i < 120; ++i)
            VerifyExtracted(rows.at(i), i, i < 50, i < 50, i < 50);
        QCOMPARE(rig.written, QStringList{Keyword});
        QCOMPARE(rig.LastMessage(), QStringLiteral("You have gotten Title,Description,Keyword,PR,Alexa in "
                                                   "'seo_tools' table !\r\nTime consuming : 0 minutes"));
        QCOMPARE(rig.prompter.Messages.last().Title, SiteDbTitle);

        // The next two clicks with only "Extract Title" ticked, which send no paced request.
        rig.Extract(QStringLiteral("51"), QStringLiteral("120"), QStringLiteral("t"));
        QCOMPARE(rig.SearchNum(), QStringLiteral("101/120"));
        rig.Extract(QStringLiteral("101"), QStringLiteral("120"), QStringLiteral("t"));
        QCOMPARE(rig.SearchNum(), QStringLiteral("121/120"));
        QCOMPARE(rig.Kinds(150), QString(70, QLatin1Char('k')));
        rows = rig.Rows(Keyword);
        for (int i = 50; i < 120; ++i)
            VerifyExtracted(rows.at(i), i, true, false, false);
        QCOMPARE(rig.finished, (QList<bool>{true, true, true}));

        rig.prompter.Answers = {true};
        QVERIFY(!PrepareExtraction(rig.folder.Database(), Keyword, QStringLiteral("121"), QStringLiteral("120"),
                                   QStringLiteral("50"), rig.prompter));
        QCOMPARE(rig.LastMessage(),
                 QStringLiteral("You have extracted all title information from 'seo_tools' table !"));
    }

    // 0.2 s between the queries, one at a time; the site pages only once the queries are over.
    void queriesArePaced()
    {
        Rig rig(4);
        rig.driver.SetLeastPauseMs(RequestDriver::UsualPauseMs);
        rig.Extract(QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("tpa"));
        QCOMPARE(rig.Kinds(), QStringLiteral("ggggaaaakkkk"));
        const QList<RecordedRequest>& requests = rig.web.Requests();
        for (int i = 1; i < 8; ++i) {
            QVERIFY2(requests.at(i).AtMs - requests.at(i - 1).AtMs >= 199, qPrintable(requests.at(i).Url));
            QCOMPARE(rig.pendingHtmlAt.at(i), 1);
        }
    }

    // The boxes as the batch starts, and as they are changed when the first request goes.
    void checkBoxesChooseWhatIsFetchedAndWritten_data()
    {
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("changedTo");
        QTest::addColumn<QString>("kinds");
        QTest::newRow("PR only") << "p"
                                 << ""
                                 << "ggg";
        QTest::newRow("Alexa only") << "a"
                                    << ""
                                    << "aaa";
        QTest::newRow("Title only") << "t"
                                    << ""
                                    << "kkk";
        QTest::newRow("PR unticked after the first query") << "tpa"
                                                           << "ta"
                                                           << "gaaakkk";
        QTest::newRow("Title ticked during the queries") << "p"
                                                         << "tp"
                                                         << "gggkkk";
    }
    void checkBoxesChooseWhatIsFetchedAndWritten()
    {
        QFETCH(QString, boxes);
        QFETCH(QString, changedTo);
        QFETCH(QString, kinds);
        Rig rig(3);
        QSignalSpy maximum(&rig.extraction, &SiteExtraction::ProgressMaximumChanged);
        QSignalSpy progress(&rig.extraction, &SiteExtraction::ProgressValueChanged);
        if (!changedTo.isEmpty())
            QObject::connect(&rig.web, &FakeWeb::RequestReceived, [&] {
                if (rig.web.Requests().size() == 1)
                    rig.extraction.ChangeChoice(Ticked(changedTo));
            });
        rig.Extract(QStringLiteral("1"), QStringLiteral("3"), boxes);
        QCOMPARE(rig.Kinds(), kinds);
        // The requests left out count as decided: the progress reaches its end before the write.
        QCOMPARE(maximum.size(), 1);
        QCOMPARE(progress.size() >= 2 ? progress.at(progress.size() - 2).at(0).toInt() : -1,
                 maximum.at(0).at(0).toInt());
        QCOMPARE(rig.SearchNum(), QStringLiteral("4/3"));
        const ExtractChoice written = Ticked(changedTo.isEmpty() ? boxes : changedTo);
        const QList<SiteRow> rows = rig.Rows(Keyword);
        for (int i = 0; i < 3; ++i) {
            const SiteRow& row = rows.at(i);
            if (written.Title)
                QCOMPARE(row.Title, SqlText(QStringLiteral("site %1 home").arg(i)));
            else
                QVERIFY(!row.Title && !row.Description && !row.Keyword);
            QCOMPARE(row.PR, written.PR ? SqlText(QString::number(i % 11)) : std::nullopt);
            QCOMPARE(row.Alexa, written.Alexa ? SqlText(QString::number(12345 + i)) : std::nullopt);
        }
    }

    // A value that did not come is no value: the row keeps what it had and goes behind the rest of the
    // table, Top moves past the rows read only, and a later batch comes back to it.
    void failedValuesLeaveTheirRows_data()
    {
        QTest::addColumn<QChar>("failing"); // the kind of request that fails for sites 1 and 3
        QTest::addColumn<bool>("offline");
        QTest::newRow("PR queries") << QChar(u'g') << false;
        QTest::newRow("traffic-rank pages") << QChar(u'a') << false;
        QTest::newRow("site pages") << QChar(u'k') << false;
        QTest::newRow("offline") << QChar() << true;
    }
    void failedValuesLeaveTheirRows()
    {
        QFETCH(QChar, failing);
        QFETCH(bool, offline);
        Rig rig(5);
        bool failures = true;
        rig.web.SetFallback([&](const QUrl& url) {
            CannedReply reply = SiteAnswer(url);
            const int site = SiteNumber(url.toString());
            if (failures && Kind(url.toString()) == failing && (site == 1 || site == 3))
                reply.Status = 503;
            return reply;
        });
        if (offline)
            qputenv("http_proxy", "http://127.0.0.1:9");
        rig.Extract(QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("tpa"));
        qputenv("http_proxy", rig.web.ProxyUrl().toUtf8());

        const int failed = offline ? 15 : 2;
        QCOMPARE(rig.finished, QList<bool>{true});
        QCOMPARE(rig.extraction.FailedValueCount(), failed);
        QVERIFY2(rig.LastMessage().contains(QStringLiteral("\r\nFailed values : %1 (").arg(failed)),
                 qPrintable(rig.LastMessage()));
        const QList<int> order = offline ? QList<int>{0, 1, 2, 3, 4} : QList<int>{0, 2, 4, 1, 3};
        const QStringList urls = SiteURLs(5);
        QList<SiteRow> rows = rig.Rows(Keyword);
        QCOMPARE(rows.size(), 5);
        const int read = offline ? 0 : 3;
        for (int i = 0; i < 5; ++i) {
            const int site = order.at(i);
            QCOMPARE(rows.at(i).URL, SqlText(urls.at(site)));
            if (i < read)
                VerifyExtracted(rows.at(i), site, true, true, true);
            else
                QCOMPARE(rows.at(i), (SiteRow{urls.at(site), {}, {}, {}, {}, {}}));
        }
        QCOMPARE(rig.SearchNum(), QStringLiteral("%1/5").arg(read + 1));
        if (offline)
            return;

        failures = false;
        rig.Extract(QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("tpa"));
        QCOMPARE(rig.extraction.FailedValueCount(), 0);
        QCOMPARE(rig.SearchNum(), QStringLiteral("6/5"));
        rows = rig.Rows(Keyword);
        for (int i = 0; i < 5; ++i)
            VerifyExtracted(rows.at(i), order.at(i), true, true, true);
    }

    void stopOrFailedWriteLeavesTop_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::newRow("stop") << true;
        QTest::newRow("failed write") << false;
    }
    void stopOrFailedWriteLeavesTop()
    {
        QFETCH(bool, stop);
        Rig rig(3);
        QObject::connect(&rig.web, &FakeWeb::RequestReceived, [&](const QString& url) {
            if (Kind(url) != QLatin1Char('a') || SiteNumber(url) != 0)
                return;
            if (stop) {
                rig.extraction.Stop();
            } else {
                SqliteConnection connection(rig.folder.Database(), SqliteConnection::Mode::ReadWrite);
                QVERIFY(connection.Execute(QStringLiteral("DROP TABLE seo_tools")));
            }
        });
        rig.Extract(QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("tpa"));
        QCOMPARE(rig.finished, QList<bool>{false});
        QVERIFY(rig.written.isEmpty());
        QCOMPARE(rig.SearchNum(), QStringLiteral("1/3"));
        if (stop) {
            QCOMPARE(rig.Kinds(), QStringLiteral("ggga"));
            QCOMPARE(rig.LastMessage(), QStringLiteral("You press the stop button !"));
            QCOMPARE(rig.prompter.Messages.last().Title, AppTitle);
            for (const SiteRow& row : rig.Rows(Keyword))
                QVERIFY(!row.Title && !row.PR && !row.Alexa);
        } else {
            QVERIFY2(rig.LastMessage().startsWith(QLatin1String("SQL error !\r\n")), qPrintable(rig.LastMessage()));
        }
        QCOMPARE(rig.state.PendingHtmlCount + rig.state.PendingTitleCount, 0);
    }

    void timeConsumingText_data()
    {
        QTest::addColumn<qint64>("milliseconds");
        QTest::addColumn<QString>("minutes");
        QTest::newRow("none") << qint64(0) << "0";
        QTest::newRow("a minute and a half") << qint64(90000) << "1.5";
        QTest::newRow("one second") << qint64(1000) << "0.01666667";
        QTest::newRow("an hour") << qint64(3600000) << "60";
        QTest::newRow("ten seconds") << qint64(10000) << "0.1666667";
    }
    void timeConsumingText()
    {
        QFETCH(qint64, milliseconds);
        QFETCH(QString, minutes);
        QCOMPARE(ExtractionDoneText(QStringLiteral("t"), milliseconds),
                 QStringLiteral("You have gotten Title,Description,Keyword,PR,Alexa in 't' table !\r\n"
                                "Time consuming : ") +
                     minutes + QStringLiteral(" minutes"));
    }
};

QUORVEX_TEST_MAIN_CORE(TestSiteExtraction)
#include "test_site_extraction.moc"
