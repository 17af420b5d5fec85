#pragma once
// The local traffic-rank lists: which lists there are, what an import reports and what is kept of
// each list. The import, the lookups and the download live in the RankList* files beside this one.

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

// The file in the program folder that holds the imported lists.
inline const QString RankListsFileName = QStringLiteral("RankLists.db");
QString RankListsPath(const QString& programFolder);

// tranco: lines "rank,domain" without a header. majestic: a CSV with a header naming the columns
// GlobalRank and Domain.
enum class RankListKind { Tranco, Majestic };

// "tranco", "majestic": the names the settings and the command line use.
QString RankListName(RankListKind kind);
std::optional<RankListKind> RankListKindNamed(const QString& name);

// More rows than this and a list is refused.
constexpr qint64 MostRankListRows = 10'000'000;

// The bounds of a list download (the real lists are 10 to 80 MB): its size, which the setting
// list-download-max-mib changes within 1 to 2,048 MiB, its total time and its longest silence.
constexpr int DefaultListDownloadMiB = 256;
constexpr int MostListDownloadMiB = 2048;
constexpr int ListDownloadTimeLimitMs = 10 * 60 * 1000;
constexpr int ListDownloadSilenceMs = 30 * 1000;
// "256 MiB"; "1.5 seconds", "10 minutes": the bounds as the messages name them.
QString ListDownloadSizeText(qint64 bytes);
QString ListDownloadTimeText(int milliseconds);
// "list downloads: at most 256 MiB, 10 minutes, 30 seconds without data"
QString DescribeListDownloadBounds(int mostMiB);

struct RankListInfo {
    RankListKind Kind = RankListKind::Tranco;
    QString Id;         // the list's own ID when its file name carries one, else the import date
    qint64 Rows = 0;    // domains kept
    QString ImportedOn; // yyyy-MM-dd
    QString Source;     // the file name or address it came from
};

// "K2QVN, imported 2026-12-10, 1,000,000 domains, from tranco_K2QVN.csv"
QString DescribeRankList(const RankListInfo& info);

struct RankListImportResult {
    bool Ok = false;
    QString Message; // why it was refused, or what was imported
    RankListInfo Info;
    bool Overridable = false; // refused by a rule that Force sets aside
};

// Where an import stands: bytes downloaded, then bytes of the list read. total is -1 when unknown.
enum class RankListStage { Downloading, Importing };
using RankListProgress = std::function<void(RankListStage stage, qint64 done, qint64 total)>;

// What to import and how. The date names lists whose file carries no ID.
struct RankListImportRequest {
    RankListKind Kind = RankListKind::Tranco;
    QString Path;        // the file: a CSV, or a ZIP holding one CSV
    QString DisplayName; // the name the list came under (the file name, or the download address)
    QDate Today = QDate::currentDate();
    qint64 MostRows = MostRankListRows;
    bool Force = false;
    RankListProgress Progress;
};
