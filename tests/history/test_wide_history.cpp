// The wide table of the keyword records: a row per record, a column per run, each cell the run's
// value of the record or nothing where the run did not ask it.

#include "history/WideHistory.h"
#include "support/TestHome.h"

using namespace Qt::StringLiterals;

namespace {

HistoryRun RunAt(qint64 id, int day)
{
    return {id, QDateTime(QDate(2026, 3, day), QTime(9, 30)), u"historical"_s, u"Report.htm"_s};
}

PositionHistoryValue Value(qint64 run, const QString& keyword, const Market& market, ValueStatus status,
                           int position = 0)
{
    return {run, u"http://shop.example/"_s, u"B"_s, keyword, market, position, status, 100, {}};
}

} // namespace

class TestWideHistory : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Three runs: one keyword in two markets, a keyword asked only by the last two runs, a failure,
    // and texts that need quoting, escaping or a guard against formulas.
    void threeRuns()
    {
        const Market lyon{u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s};
        HistoryData history;
        history.Runs = {RunAt(1, 7), RunAt(2, 8), RunAt(3, 9)};
        history.Pages = {
            {1, u"http://www.shop.example"_s, u"4/10"_s, ValueStatus::Found, {}, ValueStatus::NotRanked, {}, {}, {}}};
        history.Positions = {Value(1, u"shoes"_s, {}, ValueStatus::Found, 12),
                             Value(1, u"shoes"_s, lyon, ValueStatus::NotRanked),
                             Value(2, u"shoes"_s, {}, ValueStatus::Found, 9),
                             Value(2, u"shoes"_s, lyon, ValueStatus::Found, 41),
                             Value(2, u"=cmd|\"a\"\x1b[2J"_s, {}, ValueStatus::Failed),
                             Value(3, u"shoes"_s, {}, ValueStatus::Failed),
                             Value(3, u"=cmd|\"a\"\x1b[2J"_s, {}, ValueStatus::Found, 3)};
        WideHistory wide;
        Replay(history, wide);
        QCOMPARE(wide.Csv(),
                 QByteArray("url,product,keyword,market,2026-03-07 09:30:00,2026-03-08 09:30:00,"
                            "2026-03-09 09:30:00\r\n"
                            "http://shop.example/,B,shoes,unspecified,12,9,failed\r\n"
                            "http://shop.example/,B,shoes,\"fr fr mobile Lyon, France\",not ranked,41,\r\n"
                            "http://shop.example/,B,\"'=cmd|\"\"a\"\"\\x1b[2J\",unspecified,,failed,3\r\n"));
    }

    void noRunsGiveTheHeaderAlone()
    {
        WideHistory wide;
        Replay({}, wide);
        QCOMPARE(wide.Csv(), QByteArray("url,product,keyword,market\r\n"));
    }
};

QUORVEX_TEST_MAIN_CORE(TestWideHistory)
#include "test_wide_history.moc"
