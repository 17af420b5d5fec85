// quorvex-sandbox as the demo and the end-to-end tests use it: the real program on a free port,
// answering from a fixture folder first and with generated pages of each kind otherwise.

#include "support/TestHome.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

struct Fetched {
    int Status = 0;
    QByteArray Body;
};

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// The first word of each cite element's text, tags inside it removed, as the result parsers read it.
QStringList CitedAddresses(const QString& page)
{
    static const QRegularExpression cite(QStringLiteral("<cite>(.*?)</cite>"));
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QStringList addresses;
    for (const QRegularExpressionMatch& match : cite.globalMatch(page))
        addresses.append(match.captured(1).remove(tag).section(QLatin1Char(' '), 0, 0));
    return addresses;
}

} // namespace

class TestSandbox : public QObject {
    Q_OBJECT

    QTemporaryDir fixtures;
    QProcess sandbox;
    QNetworkAccessManager network;

    Fetched Fetch(const QString& url)
    {
        QNetworkReply* reply = network.get(QNetworkRequest(QUrl(url)));
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!finished.wait(10000))
            qWarning("no answer for %s", qPrintable(url));
        Fetched fetched{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
        reply->deleteLater();
        return fetched;
    }
    QString Page(const QString& url)
    {
        const Fetched fetched = Fetch(url);
        if (fetched.Status != 200)
            qWarning("status %d for %s", fetched.Status, qPrintable(url));
        return QString::fromUtf8(fetched.Body);
    }
    static QString Search(const QString& keyword, int num, int start)
    {
        return QStringLiteral("http://www.google.com/search?hl=en&q=%1&btnG=Google+Search&num=%2&start=%3")
            .arg(keyword)
            .arg(num)
            .arg(start);
    }

private Q_SLOTS:
    void initTestCase()
    {
        WriteFile(fixtures.filePath(QStringLiteral("fixed.html")), "<html><title>Fixed page</title></html>");
        WriteFile(fixtures.filePath(QStringLiteral("routes.json")),
                  "[{\"url\": \"http://www.example.com/fixed\", \"file\": \"fixed.html\"},"
                  " {\"url\": \"http://www.example.com/gone\", \"file\": \"fixed.html\", \"status\": 404},"
                  " {\"url\": \"http://www.google.com/search?hl=en&q=pinned&num=10\", \"file\": \"fixed.html\","
                  " \"delay_ms\": 50}]");
        const QString portFile = fixtures.filePath(QStringLiteral("port"));
        sandbox.start(BinFolder() + QStringLiteral("/quorvex-sandbox"),
                      {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--fixtures"), fixtures.path(),
                       QStringLiteral("--port-file"), portFile});
        QVERIFY(sandbox.waitForStarted());
        QVERIFY(sandbox.waitForReadyRead(10000));
        bool ok = false;
        const QByteArray printed = sandbox.readLine();
        const quint16 port = printed.trimmed().toUShort(&ok);
        QVERIFY(ok && port > 0);
        // The port file is there, whole, by the time the port is printed.
        QFile written(portFile);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), printed);
        network.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port));
    }
    void cleanupTestCase()
    {
        sandbox.kill();
        sandbox.waitForFinished();
    }

    void answersFromRoutesFirst()
    {
        const Fetched fixed = Fetch(QStringLiteral("http://www.example.com/fixed"));
        QCOMPARE(fixed.Status, 200);
        QCOMPARE(fixed.Body, QByteArray("<html><title>Fixed page</title></html>"));
        QCOMPARE(Fetch(QStringLiteral("http://www.example.com/gone")).Status, 404);
        QCOMPARE(Fetch(QStringLiteral("http://www.google.com/search?hl=en&q=pinned&num=10")).Body, fixed.Body);
    }

    void refusesBadFixtures_data()
    {
        QTest::addColumn<QByteArray>("routes");
        QTest::newRow("not a list") << QByteArray("{\"url\": \"http://a.example/\"}");
        QTest::newRow("page outside the folder")
            << QByteArray("[{\"url\": \"http://a.example/\", \"file\": \"../x\"}]");
        QTest::newRow("missing page") << QByteArray("[{\"url\": \"http://a.example/\", \"file\": \"none.html\"}]");
        QTest::newRow("relative address") << QByteArray("[{\"url\": \"/page\", \"file\": \"fixed.html\"}]");
    }
    void refusesBadFixtures()
    {
        QFETCH(QByteArray, routes);
        QTemporaryDir bad;
        WriteFile(bad.filePath(QStringLiteral("routes.json")), routes);
        WriteFile(bad.filePath(QStringLiteral("fixed.html")), "x");
        QProcess process;
        process.start(BinFolder() + QStringLiteral("/quorvex-sandbox"),
                      {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--fixtures"), bad.path()});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardOutput().isEmpty());
        QVERIFY(process.readAllStandardError().contains("routes.json"));
    }

    void searchPagesAreStableAndPaged()
    {
        const QString hundred = Page(Search(QStringLiteral("seo+tools"), 100, 0));
        const QStringList all = CitedAddresses(hundred);
        QCOMPARE(all.size(), 100);
        QCOMPARE(hundred.count(QLatin1String("Similar pages")), 100);
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), 100);
        QVERIFY(all.first().contains(QLatin1String(".example/")));
        // Each result closes with its "Similar pages" link, after its cite.
        QVERIFY(hundred.indexOf(QLatin1String("<cite>")) < hundred.indexOf(QLatin1String("Similar pages")));

        QCOMPARE(Page(Search(QStringLiteral("seo+tools"), 100, 0)), hundred);
        QCOMPARE(CitedAddresses(Page(Search(QStringLiteral("seo+tools"), 10, 30))), all.mid(30, 10));
        QVERIFY(CitedAddresses(Page(Search(QStringLiteral("garden+chairs"), 100, 0))) != all);
        QVERIFY(CitedAddresses(Page(Search(QStringLiteral("seo+tools"), 100, 300))).isEmpty());
    }

    void pageRankRepliesDependOnTheAddress()
    {
        static const QRegularExpression reply(QStringLiteral("^Rank_1:1:(\\d+)\\n$"));
        const QString query =
            QStringLiteral("http://toolbarqueries.google.com/tbr?client=navclient-auto&ch=61234&features=Rank&q=info:");
        QSet<int> ranks;
        for (const QString& address :
             {QStringLiteral("http://www.example.com"), QStringLiteral("http://www.a.example"),
              QStringLiteral("http://www.b.example"), QStringLiteral("http://www.c.example")}) {
            const QString text = Page(query + address);
            const QRegularExpressionMatch match = reply.match(text);
            QVERIFY2(match.hasMatch(), qPrintable(text));
            QVERIFY(match.captured(1).toInt() <= 10);
            QCOMPARE(Page(query + address), text);
            ranks.insert(match.captured(1).toInt());
        }
        QVERIFY(ranks.size() > 1);
        QVERIFY(Page(QStringLiteral("http://toolbarqueries.google.com/tbr?features=Rank")).isEmpty());
    }

    void trafficRankPagesCarryTheDataDivision()
    {
        static const QRegularExpression data(QStringLiteral("<div class=\"data[^>]*>([0-9]{1,3}(,[0-9]{3})*)</a>"));
        const QString page = Page(QStringLiteral("http://www.alexa.com/siteinfo/http://www.example.com"));
        QVERIFY2(data.match(page).hasMatch(), qPrintable(page));
        QCOMPARE(Page(QStringLiteral("http://www.alexa.com/siteinfo/http://www.example.com")), page);
    }

    void sitePagesHaveTitleDescriptionAndKeywords()
    {
        const QString page = Page(QStringLiteral("http://www.bluefern.example/some/page.html"));
        QVERIFY(page.contains(QRegularExpression(QStringLiteral("<title>Blue Fern - [^<]+</title>"))));
        QVERIFY(page.contains(QRegularExpression(QStringLiteral("<meta name=\"description\" content=\"[^\"]+\">"))));
        QVERIFY(page.contains(QRegularExpression(QStringLiteral("<meta name=\"keywords\" content=\"[^\"]+\">"))));
        // The summary parsers stop at the first link, so the head comes before it.
        QVERIFY(page.indexOf(QLatin1String("keywords")) < page.indexOf(QLatin1String("<a ")));
    }

    // The list is served on any host and written by --write-tranco, the same bytes both ways.
    void servesAndWritesItsTrafficRankList()
    {
        const Fetched served = Fetch(QStringLiteral("http://lists.example/tranco-demo.csv"));
        QCOMPARE(served.Status, 200);
        QVERIFY(served.Body.count("\r\n") > 100);
        QCOMPARE(Fetch(QStringLiteral("http://another.example/tranco-demo.csv")).Body, served.Body);

        const QString written = fixtures.filePath(QStringLiteral("tranco_DEMO.csv"));
        QProcess process;
        process.start(BinFolder() + QStringLiteral("/quorvex-sandbox"), {QStringLiteral("--write-tranco"), written});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 0);
        QFile file(written);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), served.Body);

        process.start(BinFolder() + QStringLiteral("/quorvex-sandbox"),
                      {QStringLiteral("--write-tranco"), fixtures.filePath(QStringLiteral("none/list.csv"))});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("cannot write"));
    }
};

QUORVEX_TEST_MAIN_CORE(TestSandbox)
#include "test_sandbox.moc"
