// The rank lists from ZIP archives: read to their end whatever made them, and refused when an
// entry unpacks to another size than the archive's directory gives.

#include "RankListTestSupport.h"
#include "sources/RankListRows.h"
#include "sources/RankListZip.h"
#include "support/TestHome.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

namespace {

// The ZIP that another archiver makes of the file csv: Python's zipfile module ("python stored",
// "python deflated") or Info-ZIP's zip ("zip -0", "zip -9"). Empty when that archiver is missing.
QString ZipMadeBy(const QString& maker, const QString& csv, const QString& zipPath)
{
    QString program;
    QStringList arguments;
    if (maker.startsWith(u"python"_s)) {
        program = QStandardPaths::findExecutable(u"python3"_s);
        arguments = {u"-c"_s,
                     u"import sys, zipfile\n"
                     "method = zipfile.ZIP_DEFLATED if sys.argv[3] == 'deflated' else zipfile.ZIP_STORED\n"
                     "with zipfile.ZipFile(sys.argv[1], 'w', method) as archive:\n"
                     "    archive.write(sys.argv[2], 'top-1m.csv')\n"_s,
                     zipPath, csv, maker.section(u' ', 1)};
    } else {
        program = QStandardPaths::findExecutable(u"zip"_s);
        arguments = {u"-q"_s, u"-j"_s, maker.section(u' ', 1), zipPath, csv};
    }
    if (program.isEmpty())
        return {};
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(maker), process.readAllStandardError().constData());
    return zipPath;
}

// A field of a ZIP's central directory (the first entry's), as libzip reports it from there.
void PatchCentralDirectory(const QString& zipPath, int fieldOffset, quint32 value)
{
    QFile file(zipPath);
    if (!file.open(QIODevice::ReadWrite))
        qFatal("cannot open the ZIP");
    const qsizetype header = file.readAll().lastIndexOf("PK\x01\x02");
    if (header < 0)
        qFatal("no central directory");
    const quint32 little = qToLittleEndian(value);
    const QByteArray bytes(reinterpret_cast<const char*>(&little), sizeof little);
    if (!file.seek(header + fieldOffset) || file.write(bytes) != bytes.size())
        qFatal("cannot patch the ZIP");
}

} // namespace

class TestRankListZips : public QObject, RankListRig {
    Q_OBJECT

private Q_SLOTS:
    void init() { Clear(); }

    // The lists as the archivers people use make them, each read to its last row and swapping out
    // the list that was there: a ZIP is read through its whole entry, not a buffer's worth of it.
    void zipListsImportWhole_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("maker");
        const int tranco = int(RankListKind::Tranco);
        for (const QString& maker : {u"python stored"_s, u"python deflated"_s, u"zip -0"_s, u"zip -9"_s})
            QTest::newRow(qPrintable(maker)) << tranco << maker;
        QTest::newRow("majestic, zip -9") << int(RankListKind::Majestic) << u"zip -9"_s;
    }
    void zipListsImportWhole()
    {
        QFETCH(int, kind);
        QFETCH(QString, maker);
        const auto listKind = RankListKind(kind);
        const bool tranco = listKind == RankListKind::Tranco;
        QVERIFY(Import(listKind, Write(File(u"earlier.csv"_s), tranco ? Small : GeneratedMajestic(3))).Ok);

        QDir(dir.path()).mkdir(u"csv"_s);
        const QString csv =
            Write(dir.filePath(u"csv/top-1m.csv"_s), tranco ? Generated(5000) : GeneratedMajestic(5000));
        const QString zip = ZipMadeBy(maker, csv, File(u"top-1m.csv.zip"_s));
        if (zip.isEmpty())
            QSKIP("the archiver is not installed (scripts/setup installs it)");
        const RankListImportResult result = Import(listKind, zip);
        QVERIFY2(result.Ok, qPrintable(result.Message));
        QCOMPARE(result.Message, u"Imported the %1 list 2025-03-14: 5,000 domains."_s.arg(RankListName(listKind)));
        QCOMPARE(RankListStore(DatabasePath()).Info(listKind)->Rows, 5000);
        QCOMPARE(Rank(listKind, u"site5000.example"_s), u"5000"_s);
        QCOMPARE(Rank(listKind, u"site1.example"_s), u"1"_s);
    }

    // A million-line list, the size of the real ones, read out of its archive to the last row.
    void millionLineZipsReadWhole_data()
    {
        QTest::addColumn<QString>("maker");
        for (const QString& maker : {u"python stored"_s, u"python deflated"_s, u"zip -9"_s})
            QTest::newRow(qPrintable(maker)) << maker;
    }
    void millionLineZipsReadWhole()
    {
        QFETCH(QString, maker);
        QDir(dir.path()).mkdir(u"csv"_s);
        const QByteArray csv = Generated(1'000'000);
        const QString zip = ZipMadeBy(maker, Write(dir.filePath(u"csv/top-1m.csv"_s), csv), File(u"top-1m.csv.zip"_s));
        if (zip.isEmpty())
            QSKIP("the archiver is not installed (scripts/setup installs it)");
        RankListZip device;
        QVERIFY2(device.OpenArchive(zip, u"top-1m.csv.zip"_s), qPrintable(device.ErrorText()));
        QCOMPARE(device.EntrySize(), csv.size());
        qint64 lastRank = 0;
        QString lastDomain;
        const RankListReadOutcome read = ReadRankListRows(device, RankListKind::Tranco, u"top-1m.csv.zip"_s,
                                                          MostRankListRows, [&](qint64 rank, const QString& domain) {
                                                              lastRank = rank;
                                                              lastDomain = domain;
                                                              return true;
                                                          });
        QVERIFY2(read.Ok, qPrintable(read.Message));
        QCOMPARE(read.Rows, 1'000'000);
        QCOMPARE(read.Skipped, 0);
        QCOMPARE(lastRank, 1'000'000);
        QCOMPARE(lastDomain, u"site1000000.example"_s);
    }

    // An entry that unpacks to another size than the archive's directory gives is refused whole,
    // whichever way it differs; the earlier list stays.
    void zipEntryOfAnotherSizeIsRefused_data()
    {
        QTest::addColumn<QString>("maker");
        QTest::addColumn<qint64>("change"); // added to the size the directory gives
        QTest::newRow("stored, larger") << u"python stored"_s << qint64(1000);
        QTest::newRow("stored, smaller") << u"python stored"_s << qint64(-1000);
        QTest::newRow("deflated, larger") << u"python deflated"_s << qint64(1000);
        QTest::newRow("deflated, smaller") << u"python deflated"_s << qint64(-1000);
    }
    void zipEntryOfAnotherSizeIsRefused()
    {
        QFETCH(QString, maker);
        QFETCH(qint64, change);
        QVERIFY(Import(RankListKind::Tranco, Write(File(u"tranco_OLD01.csv"_s), Small)).Ok);
        QDir(dir.path()).mkdir(u"csv"_s);
        const QByteArray csv = Generated(5000);
        const QString zip = ZipMadeBy(maker, Write(dir.filePath(u"csv/top-1m.csv"_s), csv), File(u"top-1m.csv.zip"_s));
        if (zip.isEmpty())
            QSKIP("the archiver is not installed (scripts/setup installs it)");
        PatchCentralDirectory(zip, 24, quint32(csv.size() + change)); // the uncompressed size

        const RankListImportResult result = Import(RankListKind::Tranco, zip);
        QVERIFY(!result.Ok);
        QCOMPARE(result.Message, u"top-1m.csv.zip could not be read to its end: top-1m.csv unpacks to %1 bytes "
                                 "where the archive's directory gives %2"_s.arg(
                                     QLocale(QLocale::English).toString(csv.size()),
                                     QLocale(QLocale::English).toString(csv.size() + change)));
        QCOMPARE(RankListStore(DatabasePath()).Info(RankListKind::Tranco)->Id, u"OLD01"_s);
        QCOMPARE(Rank(RankListKind::Tranco, u"bbc.co.uk"_s), u"2"_s);
    }
};

QUORVEX_TEST_MAIN_CORE(TestRankListZips)
#include "test_rank_list_zips.moc"
