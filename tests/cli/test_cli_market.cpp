// The market on the command line: the default market ('set market'), each keyword entry's own
// (add-keyword, edit-keyword), how list shows them, and the codes that are refused.

#include "CliRunner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

QJsonObject ListJson(const QString& home)
{
    return QJsonDocument::fromJson(RunQuorvexCli(home, {u"list"_s, u"--json"_s}).Out.toUtf8()).object();
}

// A market of list --json as "country language device location", with the default's mark.
QString MarketOf(const QJsonObject& entry)
{
    const QJsonObject market = entry.value(u"market"_s).toObject();
    QStringList fields;
    for (const QString& name : {u"country"_s, u"language"_s, u"device"_s, u"location"_s})
        fields.append(market.value(name).toString());
    return fields.join(u'|') + (entry.value(u"market_is_default"_s).toBool() ? u" (default)"_s : QString());
}

QString EntryMarket(const QString& home, int n)
{
    return MarketOf(ListJson(home).value(u"keywords"_s).toArray().at(n - 1).toObject());
}

} // namespace

class TestCliMarket : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultAndOwnMarkets()
    {
        QTemporaryDir home;
        const QString path = home.path();
        QCOMPARE(RunQuorvexCli(path, {u"set"_s, u"market"_s, u"--country"_s, u"FR"_s, u"--language"_s, u"fr"_s,
                                      u"--device"_s, u"mobile"_s, u"--location"_s, u"Lyon, France"_s})
                     .ExitCode,
                 0);
        QCOMPARE(RunQuorvexCli(path, {u"add-keyword"_s, u"a.com"_s, u"k"_s}).ExitCode, 0);
        // The fields not given are the default's as it is now.
        QCOMPARE(RunQuorvexCli(
                     path, {u"add-keyword"_s, u"b.com"_s, u"k"_s, u"--product"_s, u"B"_s, u"--device"_s, u"desktop"_s})
                     .ExitCode,
                 0);

        const CliResult listed = RunQuorvexCli(path, {u"list"_s});
        QVERIFY2(listed.Out.contains(u"   1 [x] http://a.com  product:   keywords: k  market: default (fr fr mobile "
                                     "Lyon, France)\n"_s),
                 qPrintable(listed.Out));
        QVERIFY(listed.Out.contains(u"keywords: k  market: fr fr desktop Lyon, France\n"_s));
        QVERIFY(listed.Out.contains(u"Default market: fr fr mobile Lyon, France\n"_s));
        const QJsonObject json = ListJson(path);
        QCOMPARE(MarketOf(json.value(u"keywords"_s).toArray().at(0).toObject()),
                 u"fr|fr|mobile|Lyon, France (default)"_s);
        QCOMPARE(MarketOf(json.value(u"keywords"_s).toArray().at(1).toObject()), u"fr|fr|desktop|Lyon, France"_s);
        QCOMPARE(json.value(u"default_market"_s).toObject().value(u"location"_s).toString(), u"Lyon, France"_s);

        // edit-keyword changes the fields given and keeps the others, and the product.
        QCOMPARE(RunQuorvexCli(path, {u"edit-keyword"_s, u"2"_s, u"b.com"_s, u"k2"_s, u"--country"_s, u"de"_s,
                                      u"--location"_s, u"Berlin"_s})
                     .ExitCode,
                 0);
        QCOMPARE(EntryMarket(path, 2), u"de|fr|desktop|Berlin"_s);
        QCOMPARE(ListJson(path).value(u"keywords"_s).toArray().at(1).toObject().value(u"product"_s).toString(), u"B"_s);
        QCOMPARE(RunQuorvexCli(path, {u"edit-keyword"_s, u"2"_s, u"b.com"_s, u"k2"_s}).ExitCode, 0);
        QCOMPARE(EntryMarket(path, 2), u"de|fr|desktop|Berlin"_s);
        // Every field given empty: the entry follows the default again.
        QCOMPARE(RunQuorvexCli(path, {u"edit-keyword"_s, u"2"_s, u"b.com"_s, u"k2"_s, u"--country="_s, u"--language="_s,
                                      u"--device="_s, u"--location="_s})
                     .ExitCode,
                 0);
        QCOMPARE(EntryMarket(path, 2), u"fr|fr|mobile|Lyon, France (default)"_s);

        // Fields given replace the whole default; none given clears it.
        QCOMPARE(RunQuorvexCli(path, {u"set"_s, u"market"_s, u"--country"_s, u"us"_s}).ExitCode, 0);
        QCOMPARE(EntryMarket(path, 1), u"us||| (default)"_s);
        QCOMPARE(RunQuorvexCli(path, {u"set"_s, u"market"_s}).ExitCode, 0);
        QCOMPARE(EntryMarket(path, 1), u"||| (default)"_s);
        const CliResult cleared = RunQuorvexCli(path, {u"list"_s});
        QVERIFY(cleared.Out.contains(u"market: default (unspecified)\n"_s));
        QVERIFY(cleared.Out.contains(u"Default market: unspecified\n"_s));
    }

    // Each row starts from one keyword entry of its own market and a default market.
    void refusedMarketsChangeNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("told");
        QTest::newRow("set, unknown country") << QStringList{u"set"_s, u"market"_s, u"--country"_s, u"zz"_s}
                                              << u"Unknown country 'zz': give a two-letter ISO 3166-1 code"_s;
        QTest::newRow("set, language by name")
            << QStringList{u"set"_s, u"market"_s, u"--language"_s, u"french"_s} << u"Unknown language 'french'"_s;
        QTest::newRow("set, unknown device") << QStringList{u"set"_s, u"market"_s, u"--device"_s, u"tablet"_s}
                                             << u"Unknown device 'tablet': give desktop or mobile"_s;
        QTest::newRow("set, long location")
            << QStringList{u"set"_s, u"market"_s, u"--location"_s, QString(201, u'a')} << u"200 characters"_s;
        QTest::newRow("set, a second argument")
            << QStringList{u"set"_s, u"market"_s, u"fr"_s} << u"Unexpected argument 'fr'"_s;
        QTest::newRow("set, market options on another")
            << QStringList{u"set"_s, u"top10"_s, u"on"_s, u"--country"_s, u"fr"_s} << u"go with 'set market'"_s;
        QTest::newRow("set, an option without its value")
            << QStringList{u"set"_s, u"top10"_s} << u"Missing arguments"_s;
        QTest::newRow("add-keyword, unknown language")
            << QStringList{u"add-keyword"_s, u"c.com"_s, u"k"_s, u"--language"_s, u"xx"_s}
            << u"Unknown language 'xx'"_s;
        QTest::newRow("add-keyword, control character")
            << QStringList{u"add-keyword"_s, u"c.com"_s, u"k"_s, u"--location"_s, u"a\u0007b"_s}
            << u"control characters"_s;
        QTest::newRow("edit-keyword, unknown device")
            << QStringList{u"edit-keyword"_s, u"1"_s, u"c.com"_s, u"k"_s, u"--device"_s, u"phone"_s}
            << u"Unknown device 'phone'"_s;
    }
    void refusedMarketsChangeNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, told);
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {u"set"_s, u"market"_s, u"--country"_s, u"fr"_s}).ExitCode, 0);
        QCOMPARE(
            RunQuorvexCli(home.path(), {u"add-keyword"_s, u"a.com"_s, u"k"_s, u"--device"_s, u"mobile"_s}).ExitCode, 0);
        const QByteArray before = FileBytes(home.filePath(u"Settings.db"_s));

        const CliResult result = RunQuorvexCli(home.path(), args);
        QCOMPARE(result.ExitCode, 2);
        QVERIFY2(result.Err.contains(told), qPrintable(result.Err));
        QVERIFY(result.Err.contains(u"Usage: quorvex-cli "_s + args.first()));
        QCOMPARE(FileBytes(home.filePath(u"Settings.db"_s)), before);
    }
};

QUORVEX_TEST_MAIN_CORE(TestCliMarket)
#include "test_cli_market.moc"
