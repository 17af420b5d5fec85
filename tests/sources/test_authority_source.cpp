// The authority source against the fake web's replica: one request for a batch of 100 domains,
// values, "not ranked" items, and replies that fail every domain of the batch.

#include "PageGenerator.h"
#include "ServiceRig.h"
#include "sources/OpenPageRank.h"
#include "sources/ServiceReplyCheck.h"
#include "support/TestHome.h"

using namespace Qt::StringLiterals;

namespace {

AuthoritySourceSettings Settings(const QString& key = u"opr-key-0042"_s)
{
    return {AuthoritySourceKind::OpenPageRank, key, u"http://openpagerank.com/api/v1.0/getPageRank"_s};
}

} // namespace

class TestAuthoritySource : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void batchOfAHundred()
    {
        QStringList addresses;
        for (int n = 0; n < 150; ++n)
            addresses.append(u"http://www.site%1.example/page"_s.arg(n));
        addresses.append(u"https://SITE7.example"_s); // the same domain again
        QStringList domains;
        for (const QString& address : addresses)
            domains.append(AuthorityDomain(address));
        const QList<QStringList> batches = OpenPageRank::Batches(domains);
        QCOMPARE(batches.size(), 2);
        QCOMPARE(batches.at(0).size(), 100);
        QCOMPARE(batches.at(1).size(), 50);
        QCOMPARE(batches.at(0).at(7), u"site7.example"_s);

        ServiceRig rig;
        const OpenPageRank source(Settings());
        const QList<AuthorityValue> values =
            source.ReadBatch(batches.at(0), rig.Exchange(source.BatchRequest(batches.at(0))));
        QCOMPARE(rig.web.Requests().size(), 1);
        const RecordedRequest& sent = rig.web.Requests().first();
        QCOMPARE(sent.Method, QByteArray("GET"));
        QCOMPARE(sent.Header("API-OPR"), QByteArray("opr-key-0042"));
        const QString query = QUrl(sent.Url).query(QUrl::FullyDecoded);
        QVERIFY2(query.startsWith(u"domains[]=site0.example&domains[]=site1.example&"_s), qPrintable(query));
        QCOMPARE(query.count(u"domains[]="_s), 100);
        QCOMPARE(values.size(), 100);
        for (int n = 0; n < 100; ++n) {
            QCOMPARE(values.at(n).Outcome, AuthorityValue::Kind::Value);
            QCOMPARE(values.at(n).PageRank, int(GeneratedFingerprint(batches.at(0).at(n)) % 11));
        }
    }

    void notRankedApartFromFailed()
    {
        ServiceRig rig;
        const OpenPageRank source(Settings());
        const QStringList domains{u"known.example"_s, u"nobody.unknown"_s};
        const QList<AuthorityValue> values = source.ReadBatch(domains, rig.Exchange(source.BatchRequest(domains)));
        QCOMPARE(values.at(0).Outcome, AuthorityValue::Kind::Value);
        QCOMPARE(values.at(1).Outcome, AuthorityValue::Kind::NotRanked);
        QVERIFY(!values.at(1).Failure);
    }

    void wholeReplyFails_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("kind");
        QTest::newRow("HTTP 401") << 401 << QByteArray(R"({"status_code":401,"error":"Unauthorized"})")
                                  << int(FailureKind::BadKey);
        QTest::newRow("HTTP 429") << 429 << QByteArray("{}") << int(FailureKind::RateLimited);
        QTest::newRow("own status") << 200 << QByteArray(R"({"status_code":400,"error":"Too many domains"})")
                                    << int(FailureKind::Refused);
        QTest::newRow("not JSON") << 200 << QByteArray("<html>") << int(FailureKind::Malformed);
        QTest::newRow("no response") << 200 << QByteArray(R"({"status_code":200})") << int(FailureKind::WrongShape);
        QTest::newRow("item missing") << 200 << QByteArray(R"({"status_code":200,"response":[]})")
                                      << int(FailureKind::WrongShape);
        QTest::newRow("rank out of range")
            << 200
            << QByteArray(
                   R"({"status_code":200,"response":[{"status_code":200,"page_rank_integer":11,"domain":"a.example"}]})")
            << int(FailureKind::WrongShape);
    }
    void wholeReplyFails()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, kind);
        const OpenPageRank source(Settings());
        const QList<AuthorityValue> values = source.ReadBatch({u"a.example"_s}, {status, {}, body, {}});
        QCOMPARE(values.size(), 1);
        QCOMPARE(values.at(0).Outcome, AuthorityValue::Kind::Failed);
        QCOMPARE(int(values.at(0).Failure->Kind), kind);
    }

    void badKeyAndRateLimitFromTheReplica()
    {
        ServiceRig rig;
        const OpenPageRank refused(Settings(u"bad-key"_s));
        const QStringList one{u"a.example"_s};
        const QList<AuthorityValue> failed = refused.ReadBatch(one, rig.Exchange(refused.BatchRequest(one)));
        QVERIFY(EndsSourceForRun(*failed.at(0).Failure));

        const OpenPageRank source(Settings());
        const QStringList limited{u"rate-limit.example"_s};
        const QList<AuthorityValue> first = source.ReadBatch(limited, rig.Exchange(source.BatchRequest(limited)));
        QCOMPARE(RetryDelayMs(*first.at(0).Failure, false), std::optional<int>(1000));
        QCOMPARE(RetryDelayMs(*first.at(0).Failure, true), std::nullopt);
        const QList<AuthorityValue> again = source.ReadBatch(limited, rig.Exchange(source.BatchRequest(limited)));
        QCOMPARE(again.at(0).Outcome, AuthorityValue::Kind::Value);
    }

    void retryAfterForms_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("seconds");
        QTest::newRow("seconds") << QByteArray("30") << 30;
        QTest::newRow("date") << QByteArray("Thu, 01 Jan 2026 00:00:45 GMT") << 45;
        QTest::newRow("past date") << QByteArray("Wed, 31 Dec 2025 23:00:00 GMT") << 0;
        QTest::newRow("unreadable") << QByteArray("soon") << -1;
        QTest::newRow("negative") << QByteArray("-5") << -1;
    }
    void retryAfterForms()
    {
        QFETCH(QByteArray, header);
        QFETCH(int, seconds);
        QCOMPARE(RetryAfterSeconds(header, QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC)), seconds);
    }
};

QUORVEX_TEST_MAIN_CORE(TestAuthoritySource)
#include "test_authority_source.moc"
