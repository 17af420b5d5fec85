// URL normalisation and the PageRank query checksum.

#include "support/TestHome.h"
#include "web/NormaliseURL.h"
#include "web/PageRankCheckSum.h"

class TestNormaliseChecksum : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void normaliseURL_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("host");
        QTest::newRow("no scheme, path dropped") << "www.example.com/a/b.html"
                                                 << "http://www.example.com"
                                                 << "www.example.com";
        QTest::newRow("upper-case scheme") << "HTTP://Example.COM/Path"
                                           << "http://Example.COM"
                                           << "Example.COM";
        QTest::newRow("https kept") << "https://secure.example/login"
                                    << "https://secure.example"
                                    << "secure.example";
        QTest::newRow("mixed-case https") << "HttpS://a.example"
                                          << "https://a.example"
                                          << "a.example";
        QTest::newRow("scheme alone") << "http://"
                                      << "http://"
                                      << "";
        QTest::newRow("empty") << ""
                               << "http://"
                               << "";
        QTest::newRow("https alone") << "https://"
                                     << "https://"
                                     << "";
        QTest::newRow("query without slash") << "example.com?q=1&r=2"
                                             << "http://example.com?q=1&r=2"
                                             << "example.com?q=1&r=2";
        QTest::newRow("port and user stay") << "http://user@example.com:8080/x"
                                            << "http://user@example.com:8080"
                                            << "user@example.com:8080";
        QTest::newRow("blanks are not trimmed") << " example.com"
                                                << "http:// example.com"
                                                << " example.com";
        QTest::newRow("ftp is taken for a host") << "ftp://files.example/x"
                                                 << "http://ftp:"
                                                 << "ftp:";
    }

    void normaliseURL()
    {
        QFETCH(QString, address);
        QFETCH(QString, site);
        QFETCH(QString, host);
        QCOMPARE(NormaliseURL(address), site);
        QCOMPARE(NormalisedHost(address), host);
    }

    void checkSum_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("checkSum");
        // Expected values come from a separate implementation of the same hash.
        QTest::newRow("empty URL hashes info: alone") << ""
                                                      << "6-406626730";
        QTest::newRow("7 characters: one full block") << "abcdefg"
                                                      << "6-692410245";
        QTest::newRow("one character") << "x"
                                       << "6600881105";
        QTest::newRow("site") << "http://www.example.com"
                              << "6327330300";
        QTest::newRow("trailing slash differs, top bit set") << "http://www.example.com/"
                                                             << "6-6138269";
        QTest::newRow("two blocks and a tail") << "http://a.b/c?d=e&f"
                                               << "6-1955704583";
    }

    void checkSum()
    {
        QFETCH(QString, url);
        QFETCH(QString, checkSum);
        QCOMPARE(GetPageRankCheckSum(url), checkSum);
    }

    void checkSumSignFollowsTopBit()
    {
        QCOMPARE(HashQueryText(QStringLiteral("info:http://www.example.com/")), 0xFFA25663u);
        QCOMPARE(HashQueryText(QStringLiteral("info:http://www.example.com")), 0x1382A9FCu);
    }

    void mixWordsSteps()
    {
        // All three words zero stay zero: every step subtracts and shifts zeros.
        const HashWords zero = MixWords(0, 0, 0);
        QCOMPARE(zero.A, 0u);
        QCOMPARE(zero.B, 0u);
        QCOMPARE(zero.C, 0u);
        // A single set bit wraps around below zero in the first step and spreads through all three.
        const HashWords one = MixWords(0, 0, 1);
        QCOMPARE(one.A, 0xFDB806C3u);
        QCOMPARE(one.B, 0x1A7101ADu);
        QCOMPARE(one.C, 0xED37D444u);
    }
};

QUORVEX_TEST_MAIN_CORE(TestNormaliseChecksum)
#include "test_normalise_checksum.moc"
