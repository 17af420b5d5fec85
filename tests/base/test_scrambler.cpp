#include "base/Random24.h"
#include "base/Scrambler.h"
#include "support/TestHome.h"

class TestScrambler : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reseedLeavesKnownState()
    {
        Random24 generator;
        for (uint32_t before : {0u, 1u, 0xFFFFFFu, 0x123456u}) {
            generator.SetState(before);
            generator.ReseedMinusOne();
            QCOMPARE(generator.State(), 3758214u);
        }
        QCOMPARE(double(3758214.0f / 16777216.0f), 0.2240070104598999);
    }

    void stepAndSeedArithmetic()
    {
        Random24 generator;
        generator.SetState(0);
        generator.Step();
        QCOMPARE(generator.State(), 12820163u); // the increment alone
        generator.SetState(0x0000AB);
        generator.Seed(1.0); // upper word 0x3FF00000 folds to 0x3FF0
        QCOMPARE(generator.State(), (0x3FF0u << 8) | 0xABu);
    }

    void seedOfKey()
    {
        QCOMPARE(ScrambleSeed(QString()), 0);
        QCOMPARE(ScrambleSeed(QStringLiteral("A")), 0); // the first character's two terms cancel
        // "AB": second character shifted by 7 and by 13.
        QCOMPARE(ScrambleSeed(QStringLiteral("AB")), (66 << 7) ^ (66 << 13));
        QVERIFY(ScrambleSeed(QLatin1String(ScrambleKey)) >= 0);
    }

    void roundTripOverAlphabet()
    {
        QString all;
        for (int c = 32; c <= 126; ++c)
            all.append(QChar(c));
        const QString scrambled = ScrambleText(QLatin1String(ScrambleKey), all);
        QCOMPARE(scrambled.size(), all.size());
        for (QChar c : scrambled)
            QVERIFY(c.unicode() >= 32 && c.unicode() <= 126);
        QVERIFY(scrambled != all);
        QCOMPARE(UnscrambleText(QLatin1String(ScrambleKey), scrambled), all);
        // Every key works the same way.
        QCOMPARE(UnscrambleText(QStringLiteral("OTHERKEY12"), ScrambleText(QStringLiteral("OTHERKEY12"), all)), all);
    }

    void charactersOutsideAlphabetAreDropped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("only outside") << QStringLiteral("\t\r\n\u00e9\u4e2d") << QString();
        QTest::newRow("mixed") << QStringLiteral("a\tb\ncaf\u00e9 \u4e2d!") << QStringLiteral("abcaf !");
    }
    void charactersOutsideAlphabetAreDropped()
    {
        QFETCH(QString, text);
        QFETCH(QString, kept);
        const QString key = QLatin1String(ScrambleKey);
        const QString scrambled = ScrambleText(key, text);
        QCOMPARE(scrambled.size(), kept.size());
        QCOMPARE(UnscrambleText(key, scrambled), kept);
        QCOMPARE(UnscrambleText(key, text).size(), kept.size());
    }

    void equalInputsGiveEqualOutputs()
    {
        const QString key = QLatin1String(ScrambleKey);
        QCOMPARE(ScrambleText(key, QStringLiteral("PRURL12")), ScrambleText(key, QStringLiteral("PRURL12")));
        QVERIFY(ScrambleText(key, QStringLiteral("PRURL1")) != ScrambleText(key, QStringLiteral("PRURL2")));
        // The substitute depends on the position: equal characters generally scramble differently.
        const QString twice = ScrambleText(key, QStringLiteral("aaaaaaaa"));
        QVERIFY(twice.count(twice.at(0)) < twice.size());
        // Another key gives another text.
        QVERIFY(ScrambleText(QStringLiteral("ZZZZZZZZZZ"), QStringLiteral("PRURLNum")) !=
                ScrambleText(key, QStringLiteral("PRURLNum")));
    }
};

QUORVEX_TEST_MAIN_CORE(TestScrambler)
#include "test_scrambler.moc"
