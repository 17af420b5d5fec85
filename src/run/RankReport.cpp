#include "run/RankReport.h"

#include "base/CheckedFile.h"
#include "base/HtmlText.h"
#include "base/Names.h"
#include "model/AppState.h"
#include "run/RankRunSources.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString TableStart = QStringLiteral("<TABLE BORDER=1 CELLPADDING=5 CELLSPACING=2 WIDTH=90%>");

QString Header(const char* caption)
{
    return QStringLiteral("<FONT FACE=ARIAL SIZE=2 COLOR=#FF0000><B>") + QLatin1String(caption) +
           QStringLiteral("</B></FONT>");
}

QString Grey(const QString& value)
{
    return QStringLiteral("<FONT FACE=ARIAL SIZE=2 COLOR=#888888><B>") + HtmlText(value) +
           QStringLiteral("</B></FONT>");
}

// Black text on the black page: the cell looks empty.
QString Black(const QString& value)
{
    return QStringLiteral("<FONT FACE=ARIAL SIZE=2 COLOR=#000000><B>") + HtmlText(value) +
           QStringLiteral("</B></FONT>");
}

// The link goes to the page as it was typed; its text is the address as the list shows it.
QString PageLink(const RankRunState& run, int n)
{
    return QStringLiteral("<FONT FACE=ARIAL SIZE=2 COLOR=#888888><B><A HREF=") +
           HtmlUnquotedAttribute(run.PRJobPageURL.value(n)) + QStringLiteral(" TARGET='_blank'>") +
           HtmlText(run.PRJobURL.value(n)) + QStringLiteral("</A></B></FONT>");
}

QStringList Head()
{
    return {QStringLiteral("<HTML>"),   QStringLiteral("<HEAD>"), QStringLiteral("<TITLE>"), AppTitle,
            QStringLiteral("</TITLE>"), QStringLiteral("</HEAD>")};
}

// One table row of cells, each cell's content on a line of its own.
void AddRow(QStringList& lines, const QStringList& cells)
{
    lines << QStringLiteral("<TR>");
    for (const QString& cell : cells)
        lines << QStringLiteral("<TD>") << cell << QStringLiteral("</TD>");
    lines << QStringLiteral("</TR>");
}

// One report file; on failure failure says which file and why.
bool WriteLines(const QString& path, const QStringList& lines, QString* failure)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    QString error;
    if (WriteWholeFile(path, bytes, error))
        return true;
    if (failure)
        *failure = QFileInfo(path).fileName() + QStringLiteral(": ") + error;
    return false;
}

void AddPageRankTables(QStringList& lines, const AppState& state)
{
    const RankRunState& run = state.Run;
    lines << TableStart << QStringLiteral("<TR>") << QStringLiteral("<TD>") << Header("URL") << QStringLiteral("</TD>")
          << QStringLiteral("<TD WIDTH=20%>") << Header("Google Page Rank") << QStringLiteral("</TD>")
          << QStringLiteral("<TD WIDTH=20%>") << Header("Alexa Traffic Rank") << QStringLiteral("</TD>")
          << QStringLiteral("</TR>");
    for (int n = 0; n < run.PRJobCount; ++n)
        AddRow(lines, {PageLink(run, n), Grey(run.PRJobPageRank.value(n)), Grey(run.PRJobAlexa.value(n))});
    lines << QStringLiteral("</TABLE>") << QStringLiteral("<BR>");
    if (!state.Lists.CheckExtractKeyword)
        return;
    for (int n = 0; n < run.PRJobCount; ++n) {
        lines << TableStart;
        AddRow(lines, {Header("URL"), PageLink(run, n)});
        AddRow(lines, {Header("Title"), Grey(run.PRJobTitle.value(n))});
        AddRow(lines, {Header("Description"), Grey(run.PRJobDescription.value(n))});
        AddRow(lines, {Header("Keyword"), Grey(run.PRJobKeywords.value(n))});
        lines << QStringLiteral("</TABLE>") << QStringLiteral("<BR>");
    }
}

// Today's sources tell a miss within their depth apart from a failure.
QString PositionText(const PositionJob& job, bool todaysSource)
{
    if (job.Rank != 0)
        return QString::number(job.Rank);
    if (!todaysSource)
        return QStringLiteral("Not Found");
    return job.Status == ValueStatus::Failed ? FailedText : NotFoundInTopText(job.Depth);
}

// A keyword as the report names its record: with the market it was searched in, when it has one,
// so that the records of one keyword in two markets are told apart; as before when it has none.
QString KeywordInMarket(const PositionJob& job)
{
    if (job.SearchMarket.IsEmpty())
        return job.Keyword;
    return job.Keyword + QStringLiteral(" (") + MarketText(job.SearchMarket) + QLatin1Char(')');
}

// The historical TOP 10 holds sites without their scheme; today's sources give whole addresses.
QString TopTenAddress(const QString& site, bool todaysSource)
{
    return todaysSource ? site : QStringLiteral("http://") + site;
}

void AddPositionTable(QStringList& lines, const RankRunState& run)
{
    lines << TableStart << QStringLiteral("<TR>") << QStringLiteral("<TD>") << Header("URL") << QStringLiteral("</TD>")
          << QStringLiteral("<TD>") << Header("Product") << QStringLiteral("</TD>") << QStringLiteral("<TD>")
          << Header("Keyword") << QStringLiteral("</TD>") << QStringLiteral("<TD WIDTH=15%>") << Header("Quorvex")
          << QStringLiteral("</TD>") << QStringLiteral("<TD WIDTH=10%>") << Header("View") << QStringLiteral("</TD>")
          << QStringLiteral("</TR>");
    for (int i = 0; i < run.PositionJobCount; ++i) {
        const PositionJob& job = run.PositionJobs.at(i);
        const PositionJob* previous = i > 0 ? &run.PositionJobs.at(i - 1) : nullptr;
        // A row that repeats the address or product of the row above shows it invisibly.
        const QString url = previous && job.URL == previous->URL ? Black(job.URL) : Grey(job.URL);
        const QString product = previous && job.Product == previous->Product ? Black(job.Product) : Grey(job.Product);
        const QString position = Grey(PositionText(job, run.Sources.Search.Kind != SearchSourceKind::Historical));
        const QString view = job.Rank != 0
                                 ? QStringLiteral("<FONT FACE=ARIAL SIZE=2><B><A TARGET=\"_BLANK\" HREF=") +
                                       HtmlUnquotedAttribute(job.ViewURL) + QStringLiteral(">View Page</A></B></FONT>")
                                 : QStringLiteral("<FONT FACE=ARIAL SIZE=2 COLOR=#000000><B>B</B></FONT>");
        AddRow(lines, {url, product, Grey(KeywordInMarket(job)), position, view});
    }
    lines << QStringLiteral("</TABLE>") << QStringLiteral("<BR>");
}

void AddTopTenTables(QStringList& lines, const RankRunState& run)
{
    for (int i = 0; i < run.PositionJobCount; ++i) {
        const PositionJob& job = run.PositionJobs.at(i);
        const bool seenBefore =
            std::any_of(run.PositionJobs.cbegin(), run.PositionJobs.cbegin() + i, [&](const PositionJob& earlier) {
                return earlier.Keyword == job.Keyword && earlier.SearchMarket == job.SearchMarket;
            });
        if (seenBefore)
            continue;
        lines << TableStart << QStringLiteral("<TR>") << QStringLiteral("<TD WIDTH=15>") << Header("RANK")
              << QStringLiteral("</TD>") << QStringLiteral("<TD>")
              << QStringLiteral("<FONT FACE=ARIAL SIZE=2 COLOR=#FF0000><B>URL<FONT FACE=ARIAL SIZE=2 COLOR=#FFFF00>"
                                " Keyword=") +
                     HtmlText(KeywordInMarket(job)) + QStringLiteral("</FONT></B></FONT>")
              << QStringLiteral("</TD>") << QStringLiteral("</TR>");
        const bool todaysSource = run.Sources.Search.Kind != SearchSourceKind::Historical;
        for (int k = 1; k <= 10; ++k) {
            const QString& site = job.Top10.at(k - 1);
            AddRow(lines, {Grey(QString::number(k)),
                           QStringLiteral("<FONT FACE=ARIAL SIZE=2 COLOR=#888888><B><A TARGET=\"_BLANK\" HREF=") +
                               HtmlUnquotedAttribute(TopTenAddress(site, todaysSource)) + QLatin1Char('>') +
                               HtmlText(site) + QStringLiteral("</A></B></FONT>")});
        }
        lines << QStringLiteral("</TABLE>") << QStringLiteral("<BR>");
    }
}

QStringList ReportLines(const AppState& state, const QDateTime& now)
{
    QStringList lines = Head();
    lines << QStringLiteral("<BODY BGCOLOR=#000000 TEXT=#FFFFFF LINK=#888888 ALINK=#888888 VLINK=#888888>")
          << QStringLiteral("<CENTER>") << QStringLiteral("<H2><B>") + AppTitle + QStringLiteral("</B></H2>")
          << QStringLiteral("<H4><B>") + now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                 QStringLiteral("</B></H4>");
    // The historical report names no source; a report of today's sources says which were asked.
    if (state.Run.SourcesText != QStringLiteral("historical") && !state.Run.SourcesText.isEmpty())
        lines << QStringLiteral("<H5><B>Sources: ") + HtmlText(state.Run.SourcesText) + QStringLiteral("</B></H5>");
    if (state.Run.PRJobCount >= 1)
        AddPageRankTables(lines, state);
    if (state.Run.PositionJobCount >= 1) {
        AddPositionTable(lines, state.Run);
        if (state.Lists.TOP10List)
            AddTopTenTables(lines, state.Run);
    }
    lines << QStringLiteral("</CENTER>") << QStringLiteral("</BODY>") << QStringLiteral("</HTML>");
    return lines;
}

QStringList IndexLines(const QDate& day)
{
    return Head() << QStringLiteral("<FRAMESET COLS=110,* ROWS=\"*\"> ")
                  << QStringLiteral("<FRAME SRC=\"Title.htm\" NAME=\"Title\" NORESIZE>")
                  << QStringLiteral("<FRAME SRC=\"") + ReportFileName(day) + QStringLiteral("\" NAME=\"BASE\">")
                  << QStringLiteral("</FRAMESET>") << QStringLiteral("</HTML>");
}

QStringList TitleLines(const QString& folder)
{
    QStringList lines = Head();
    lines << QStringLiteral("<BODY BGCOLOR=#000000 TEXT=#FFFFFF>") << QStringLiteral("<CENTER>");
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    for (const QString& name : files) {
        const QString lower = name.toLower();
        if (!lower.contains(QLatin1String("report")) || !lower.contains(QLatin1String(".htm")))
            continue;
        const QString digits = QString(lower).remove(QLatin1String("report")).remove(QLatin1String(".htm"));
        const QString label = digits.left(4) + QLatin1Char('-') + digits.mid(4, 2) + QLatin1Char('-') + digits.right(2);
        lines << QStringLiteral("<FONT FACE=ARIAL SIZE=2><B><A HREF=") + HtmlUnquotedAttribute(name) +
                     QStringLiteral(" TARGET=\"BASE\">") + HtmlText(label) + QStringLiteral("</A></B></FONT><BR>");
    }
    lines << QStringLiteral("</CENTER>") << QStringLiteral("</BODY>") << QStringLiteral("</HTML>");
    return lines;
}

} // namespace

QString ReportFileName(const QDate& day)
{
    return QStringLiteral("Report") + day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".htm");
}

QString ReportIndexPath(const QString& programFolder)
{
    return programFolder + QLatin1Char('/') + ReportFolderName + QStringLiteral("/Index.htm");
}

bool GetReport(const AppState& state, const QDateTime& now, QString* failure)
{
    const QString folder = state.ProgramFolder + QLatin1Char('/') + ReportFolderName;
    if (!QDir().mkpath(folder)) {
        if (failure)
            *failure = FolderNotMadeText(ReportFolderName);
        return false;
    }
    const QDate day = now.date();
    return WriteLines(folder + QLatin1Char('/') + ReportFileName(day), ReportLines(state, now), failure) &&
           WriteLines(folder + QStringLiteral("/Index.htm"), IndexLines(day), failure) &&
           WriteLines(folder + QStringLiteral("/Title.htm"), TitleLines(folder), failure);
}
