// A keyword collected and a batch of its sites extracted against the generated pages, as the demo
// and the command line meet them.

#include "PageGenerator.h"
#include "sitedb/SiteExtraction.h"
#include "sitedb/WebSiteCollection.h"
#include "support/SiteRunRig.h"

class TestGeneratedSiteDatabase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void collectThenExtractABatch()
    {
        SiteRunRig rig;
        rig.web.SetFallback(&GeneratedReply);
        const QString keyword = QStringLiteral("garden tools");
        QList<bool> finished;

        WebSiteCollection collection(rig.state, rig.driver, rig.prompter, rig.clock);
        QObject::connect(&collection, &WebSiteCollection::Finished, [&](bool done) { finished << done; });
        const std::optional<CollectionRequest> request =
            PrepareCollection(rig.folder.Database(), keyword, QStringLiteral("tools"), rig.prompter);
        QVERIFY(request);
        collection.Start(*request);
        QTRY_COMPARE_WITH_TIMEOUT(finished, QList<bool>{true}, 20000);
        // Three pages of results, and the fourth that brings nothing.
        QCOMPARE(rig.web.Requests().size(), 4);
        const int count = int(rig.Rows(keyword).size());
        QVERIFY2(count > 200 && count < 240, qPrintable(QString::number(count)));
        QCOMPARE(rig.Master(keyword)->SearchNum, SqlText(QStringLiteral("1/%1").arg(count)));

        SiteExtraction extraction(rig.state, rig.driver, rig.prompter, rig.clock);
        QObject::connect(&extraction, &SiteExtraction::Finished, [&](bool done) { finished << done; });
        rig.prompter.Answers = {true};
        const std::optional<ExtractionBatch> batch =
            PrepareExtraction(rig.folder.Database(), keyword, QStringLiteral("1"), QString::number(count),
                              QStringLiteral("5"), rig.prompter);
        QVERIFY(batch);
        extraction.Start(*batch, ExtractChoice{});
        QTRY_COMPARE_WITH_TIMEOUT(finished, (QList<bool>{true, true}), 20000);
        QCOMPARE(rig.Master(keyword)->SearchNum, SqlText(QStringLiteral("6/%1").arg(count)));
        const QList<SiteRow> rows = rig.Rows(keyword);
        for (int i = 0; i < count; ++i) {
            const SiteRow& row = rows.at(i);
            if (i >= 5) {
                QVERIFY(!row.Title && !row.PR && !row.Alexa);
                continue;
            }
            QVERIFY2(row.Title && !row.Title->isEmpty() && *row.Title != QLatin1String("Null") && *row.Title != keyword,
                     qPrintable(row.Title.value_or(QString())));
            QVERIFY(row.Description && !row.Description->isEmpty() && *row.Description != QLatin1String("Null"));
            QVERIFY(row.Keyword && !row.Keyword->contains(QLatin1String(", ")));
            QVERIFY(row.PR && row.PR->toInt() >= 0 && row.PR->toInt() <= 10);
            QVERIFY(row.Alexa && row.Alexa->toInt() > 0);
        }
    }
};

QUORVEX_TEST_MAIN_CORE(TestGeneratedSiteDatabase)
#include "test_generated_site_database.moc"
