// A libFuzzer target for one page parser, chosen at build time by QUORVEX_FUZZ_PARSER. The first
// byte of an input picks the slot of the download key (one of them outside the tables), the pass
// of the rank run and the stop flag; the rest is the page, decoded as a download is.

#include "base/SilentPrompter.h"
#include "model/AppState.h"
#include "web/PageDecoding.h"
#include "web/Parsers.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

constexpr int TableSize = 3;

void SizeTables(AppState& state)
{
    RankRunState& run = state.Run;
    run.PRJobPageRank = run.PRJobAlexa = run.PRJobTitle = run.PRJobDescription = run.PRJobKeywords =
        QStringList(TableSize, QString());
    run.PositionJobs = QList<PositionJob>(TableSize);
    for (PositionJob& job : run.PositionJobs) {
        job.URL = QStringLiteral("www.target.example");
        job.Product = QStringLiteral("widget");
        job.Keyword = QStringLiteral("widget tools");
    }
    SiteTables& sites = state.Sites;
    sites.WebSiteList = {QStringLiteral("http://known.example")};
    sites.WebSiteCount = 1;
    sites.SitePR = QList<int>(TableSize, 0);
    sites.SiteAlexa = QList<qint32>(TableSize, 0);
    sites.SiteTitle = sites.SiteDescription = sites.SiteKeyword = QStringList(TableSize, QString());
    sites.CurrentSearch = QStringLiteral("widget");
}

QString PropertyName(uint8_t choice)
{
    const char kind = QUORVEX_FUZZ_KIND;
    const int slot = choice % 4; // 3 lies outside the tables
    if (kind == 'T')
        return QStringLiteral("T%1$%2").arg(slot).arg((choice >> 2) % 11);
    return QLatin1Char(kind) + QString::number(slot);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static QTemporaryDir folder;
    static AppState state(folder.path());
    static SilentPrompter prompter;
    static ParseContext context{state.Run, state.Sites, state.StopRequested, [](const QString&) {}, prompter};
    const uint8_t choice = data[0];
    SizeTables(state);
    state.Run.RunPhase = (choice >> 4) % 3;
    state.StopRequested = (choice & 0x80) != 0 && (choice & 0x40) != 0;
    const QString page =
        DecodePageBytes(QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));
    QUORVEX_FUZZ_PARSER(context, page, PropertyName(choice));
    return 0;
}
