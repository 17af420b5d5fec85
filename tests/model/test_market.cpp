// A keyword's market: what is refused with the forms that are taken, the codes in lower case, the
// country names from the locale data, and how a market is named.

#include "model/Market.h"
#include "support/TestHome.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Market)

class TestMarket : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void problems_data()
    {
        QTest::addColumn<Market>("market");
        QTest::addColumn<QString>("problem"); // the start of the refusal; empty: taken
        QTest::newRow("nothing set") << Market{} << QString();
        QTest::newRow("all set") << Market{u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s} << QString();
        QTest::newRow("upper case and blanks") << Market{u" DE "_s, u"De"_s, u"Desktop"_s, u"  Berlin "_s} << QString();
        QTest::newRow("unknown country") << Market{u"xx"_s, {}, {}, {}} << u"Unknown country 'xx'"_s;
        QTest::newRow("three letters") << Market{u"fra"_s, {}, {}, {}} << u"Unknown country 'fra'"_s;
        QTest::newRow("numeric region") << Market{u"41"_s, {}, {}, {}} << u"Unknown country '41'"_s;
        QTest::newRow("unknown language") << Market{{}, u"qq"_s, {}, {}} << u"Unknown language 'qq'"_s;
        QTest::newRow("language with region") << Market{{}, u"fr-FR"_s, {}, {}} << u"Unknown language 'fr-FR'"_s;
        QTest::newRow("unknown device") << Market{{}, {}, u"tablet"_s, {}}
                                        << u"Unknown device 'tablet': give desktop or mobile"_s;
        QTest::newRow("control character")
            << Market{{}, {}, {}, u"Lyon\nFrance"_s} << u"The location must not hold control"_s;
        QTest::newRow("location of 200") << Market{{}, {}, {}, QString(200, u'a')} << QString();
        QTest::newRow("location of 201") << Market{{}, {}, {}, QString(201, u'a')}
                                         << u"The location must not be longer than 200"_s;
    }
    void problems()
    {
        QFETCH(Market, market);
        QFETCH(QString, problem);
        const QString refusal = MarketProblem(market);
        if (problem.isEmpty())
            QCOMPARE(refusal, QString());
        else
            QVERIFY2(refusal.startsWith(problem), qPrintable(refusal));
    }

    void normalisedKeepsTheLocationsCase()
    {
        QCOMPARE(NormalisedMarket({u" FR"_s, u"EN "_s, u"MOBILE"_s, u" Lyon, France "_s}),
                 (Market{u"fr"_s, u"en"_s, u"mobile"_s, u"Lyon, France"_s}));
    }

    void countriesHaveNamesAndTwoLetterCodes()
    {
        QCOMPARE(CountryName(u"fr"_s), u"France"_s);
        QCOMPARE(CountryName(u"gb"_s), u"United Kingdom"_s);
        QCOMPARE(CountryName(u"FR"_s), QString()); // codes are kept in lower case
        const QList<std::pair<QString, QString>> countries = Countries();
        QVERIFY(countries.size() > 200);
        QVERIFY(countries.contains(std::pair(u"de"_s, u"Germany"_s)));
        for (qsizetype i = 0; i < countries.size(); ++i) {
            QCOMPARE(countries.at(i).first.size(), 2);
            QCOMPARE(CountryName(countries.at(i).first), countries.at(i).second);
            if (i > 0)
                QVERIFY(QString::localeAwareCompare(countries.at(i - 1).second, countries.at(i).second) <= 0);
        }
    }

    void languagesHaveNamesAndOneEntryACode()
    {
        QCOMPARE(LanguageName(u"fr"_s), u"French"_s);
        QCOMPARE(LanguageName(u"qq"_s), QString());
        const QList<std::pair<QString, QString>> languages = Languages();
        QVERIFY(languages.contains(std::pair(u"de"_s, u"German"_s)));
        QSet<QString> codes;
        for (const auto& [code, name] : languages) {
            QVERIFY2(!codes.contains(code), qPrintable(code));
            codes.insert(code);
            QCOMPARE(LanguageName(code), name);
            QCOMPARE(MarketProblem({{}, code, {}, {}}), QString());
        }
    }

    void namesAndTheDefault()
    {
        QCOMPARE(MarketText({}), u"unspecified"_s);
        QCOMPARE(MarketText({u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s}), u"fr fr mobile Lyon, France"_s);
        QCOMPARE(MarketText({{}, {}, u"mobile"_s, {}}), u"mobile"_s);
        const Market fallback{u"us"_s, u"en"_s, {}, {}};
        QCOMPARE(EffectiveMarket({}, fallback), fallback);
        QCOMPARE(EffectiveMarket({{}, {}, u"mobile"_s, {}}, fallback), (Market{{}, {}, u"mobile"_s, {}}));
    }
};

QUORVEX_TEST_MAIN_CORE(TestMarket)
#include "test_market.moc"
