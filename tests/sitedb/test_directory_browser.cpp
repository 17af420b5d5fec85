// The exported directory as a real browser renders it: scripts/check-directory on a small export
// whose site texts and names try to become markup, under a web address and under the file:///
// address of its own folder. Skipped when chromium is not installed.
#include "sitedb/DirectoryExport.h"
#include "sitedb/DirectorySettings.h"
#include "support/SiteDbTestSupport.h"
#include "support/TestHome.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

const QString Script = u"<script>alert(1)</script>"_s;
const QString Image = u"\"><img src=x onerror=alert(2)>"_s;

} // namespace

class TestDirectoryBrowser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rendersAsWritten_data()
    {
        QTest::addColumn<bool>("onDisk");
        QTest::newRow("published address") << false;
        QTest::newRow("file address of the export") << true;
    }
    void rendersAsWritten()
    {
        QFETCH(bool, onDisk);
        SiteFolder folder;
        QString problem;
        const QString base = CheckDirectoryBase(onDisk ? QUrl::fromLocalFile(folder.Path() + u"/Database/"_s).toString()
                                                       : u"https://sites.example/directory/"_s,
                                                problem);
        QVERIFY2(!base.isEmpty(), qPrintable(problem));
        QFile::copy(QStringLiteral(QUORVEX_SOURCE_DIR "/resources/WebSiteRankList.txt"),
                    folder.Path() + u"/Database/"_s + TemplateFileName);
        ScanLists lists;
        const QList<std::pair<QString, QString>> keywords{{u"seo <b>tools</b> 'x'"_s, u"web & \"more\""_s},
                                                          {u"café #1?"_s, u"web & \"more\""_s},
                                                          {u"../up"_s, u".."_s}};
        for (const auto& [keyword, category] : keywords) {
            QStringList urls;
            QList<SiteDetails> details;
            for (int n = 1; n <= 14; ++n) {
                urls.append(u"http://s%1.example/?a=1&b='2'"_s.arg(n));
                details.append({urls.last(), Script + u" seo"_s, Image, u"k"_s, n % 11, n * 1000});
            }
            folder.Collect(keyword, category, urls);
            SiteDatabase database(folder.Database());
            QVERIFY(database.WriteExtractionBatch(keyword, SearchTableName(keyword), details, {}, {}, 13, 14));
            lists.AllSearches.append({keyword, category, {}, {}, {}});
            lists.PendingSearches.append({keyword, category, u"13/14"_s, u"2024-05-01"_s, u"N"_s});
        }
        const ExportResult result = ExportHTML(folder.Path(), lists, QDate(2024, 5, 1), base);
        QVERIFY2(result.Completed(), qPrintable(result.Error));

        QProcess check;
        check.start(QStringLiteral(QUORVEX_SOURCE_DIR "/scripts/check-directory"),
                    {folder.Path() + u"/Database"_s, base, u"--text"_s, Script, u"--text"_s, Image});
        QVERIFY(check.waitForFinished(240000));
        const QString output = QString::fromUtf8(check.readAllStandardOutput() + check.readAllStandardError());
        if (check.exitCode() == 77)
            QSKIP("chromium is not installed");
        QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0, qPrintable(output));
    }
};

QUORVEX_TEST_MAIN_CORE(TestDirectoryBrowser)
#include "test_directory_browser.moc"
