// The search address carries any keyword as one value of its query parameter.

#include "support/TestHome.h"
#include "web/ServiceAddresses.h"

#include <QUrlQuery>

class TestServiceAddresses : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keywordIsOneQueryValue_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("value");
        QTest::newRow("blank") << "seo tools"
                               << "seo+tools";
        QTest::newRow("hash") << "c#"
                              << "c%23";
        QTest::newRow("ampersand") << "a&b"
                                   << "a%26b";
        QTest::newRow("plus, equals, percent") << "c++ =100%"
                                               << "c%2B%2B+%3D100%25";
        QTest::newRow("leading and double blanks") << " a  b"
                                                   << "+a++b";
        QTest::newRow("beyond ascii, as utf-8") << "caf\u00e9 \u00fcber"
                                                << "caf%C3%A9+%C3%BCber";
        QTest::newRow("empty") << ""
                               << "";
    }
    void keywordIsOneQueryValue()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, value);
        QCOMPARE(SearchQueryValue(keyword), value);

        const QString address = SearchResultsURL(keyword, {}, 10, 20);
        QVERIFY(address.startsWith(SearchPrefix() + value + QStringLiteral("&btnG=")));
        // The fixed parameters stay whole whatever the keyword holds.
        const QUrlQuery query{QUrl(address)};
        QCOMPARE(query.queryItemValue(QStringLiteral("num")), QStringLiteral("10"));
        QCOMPARE(query.queryItemValue(QStringLiteral("start")), QStringLiteral("20"));
        QCOMPARE(QUrl::fromPercentEncoding(query.queryItemValue(QStringLiteral("q"), QUrl::FullyEncoded)
                                               .replace(QLatin1Char('+'), QLatin1Char(' '))
                                               .toUtf8()),
                 keyword);
    }

    // The market's language takes the place of the address's own interface language and its
    // country follows the fixed parameters; the device and the location are not sent, and an empty
    // market leaves the historical address as it was.
    void marketOnTheSearchAddress_data()
    {
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("hl");
        QTest::addColumn<QString>("tail");
        QTest::newRow("none") << QString() << QString() << "en"
                              << "";
        QTest::newRow("language") << QString() << "fr"
                                  << "fr"
                                  << "";
        QTest::newRow("country") << "ch" << QString() << "en"
                                 << "&gl=ch";
        QTest::newRow("both") << "ch"
                              << "de"
                              << "de"
                              << "&gl=ch";
    }
    void marketOnTheSearchAddress()
    {
        QFETCH(QString, country);
        QFETCH(QString, language);
        QFETCH(QString, hl);
        QFETCH(QString, tail);
        const QString historical = SearchPrefix();
        QVERIFY(historical.endsWith(QStringLiteral("?hl=en&q=")));
        const QString prefix = historical.chopped(9) + QStringLiteral("?hl=") + hl + QStringLiteral("&q=");
        const Market market{country, language, QStringLiteral("mobile"), QStringLiteral("Lyon, France")};
        QCOMPARE(SearchResultsURL(QStringLiteral("seo tools"), market, 100, 0),
                 prefix + QStringLiteral("seo+tools&btnG=Google+Search&num=100&start=0") + tail);
    }
};

QUORVEX_TEST_MAIN_CORE(TestServiceAddresses)
#include "test_service_addresses.moc"
