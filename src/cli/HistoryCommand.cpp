#include "cli/HistoryCommand.h"

#include "base/Names.h"
#include "base/TerminalText.h"
#include "cli/CliOptions.h"
#include "cli/CliStart.h"
#include "cli/ProcessLauncher.h"
#include "history/HistoryExport.h"
#include "history/HistoryPage.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "history/RunReports.h"
#include "model/AppState.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

enum Option : unsigned {
    Keyword = 1u << 0,
    Url = 1u << 1,
    Since = 1u << 2,
    Csv = 1u << 3,
    Json = 1u << 4,
    Html = 1u << 5,
    Open = 1u << 6,
    Before = 1u << 7,
    Yes = 1u << 8,
    Wide = 1u << 9,
};

const OptionEntry KnownOptions[] = {
    {Keyword, "keyword", "K", "only the keyword records of this keyword"},
    {Url, "url", "U", "only the values of this address (with or without http:// and www.)"},
    {Since, "since", "yyyy-MM-dd", "only the runs of this day and later"},
    {Csv, "csv", nullptr, "print CSV with a header line"},
    {Json, "json", nullptr, "print JSON, for scripts"},
    {Wide, "wide", nullptr, "with --csv: a row per keyword record and a column per run"},
    {Html, "html", nullptr, "write Report/History.htm and print its path"},
    {Open, "open", nullptr, "show the history page in the browser"},
    {Before, "before", "yyyy-MM-dd", "the first day to keep"},
    {Yes, "yes", nullptr, "answer Yes to the question"},
};
constexpr unsigned ListOptions = Keyword | Url | Since | Csv | Json | Wide;
constexpr unsigned PageOptions = Html | Open;
constexpr unsigned PruneOptions = Before | Yes;

const char* const Help =
    "Shows every value of every run kept in History.db, one row per value and run: for a page its\n"
    "pagerank, traffic rank, title, description and keywords, for a keyword record its position\n"
    "(with its status: found, not ranked or failed, and the results looked through) and its top10.\n"
    "A keyword record is its address, product, keyword and market (country, language, device and\n"
    "location; \"unspecified\" for the runs kept before markets): one keyword in two markets is two.\n"
    "The columns are tab-separated by default; --csv prints CSV (RFC 4180), --json the runs with\n"
    "their values. --csv --wide prints the keyword records alone, a row each and a column per run\n"
    "(its time as the header; the position, \"not ranked\", \"failed\", or empty where the run did not\n"
    "ask the record). --keyword and --url ignore case and the blanks around a keyword.\n"
    "--html writes Report/History.htm from the whole history and prints its path; --open shows it.\n"
    "Each run links its own copy of the report, kept in Report/Runs.\n"
    "'history prune --before yyyy-MM-dd' deletes the runs before that day, with their copies of the\n"
    "report, after confirmation.";

QString OptionName(Option flag)
{
    return ::OptionName(KnownOptions, flag);
}

QString Usage()
{
    return u"Usage: quorvex-cli history [--keyword K] [--url U] [--since yyyy-MM-dd] [--csv [--wide]|--json]\n"
           "       quorvex-cli history --html [--open]\n"
           "       quorvex-cli history prune --before yyyy-MM-dd [--yes]\n"_s;
}

int UsageError(const QString& problem)
{
    return UsageProblem(problem, Usage());
}

int Fail(const QString& text)
{
    Err() << "quorvex-cli: " << TerminalSafe(text) << Qt::endl;
    return Refused;
}

// A day as yyyy-MM-dd, all ten characters, or an invalid date.
QDate Day(const QString& text)
{
    return text.size() == 10 ? QDate::fromString(text, u"yyyy-MM-dd"_s) : QDate();
}

int WritePage(const AppState& state, bool open)
{
    QString error;
    if (!WriteHistoryPage(state.ProgramFolder, error))
        return Fail(
            u"The history page could not be written to %1 (%2)"_s.arg(HistoryPagePath(state.ProgramFolder), error));
    const QString path = HistoryPagePath(state.ProgramFolder);
    Out() << TerminalSafe(path) << Qt::endl;
    if (open)
        ProcessLauncher().OpenInBrowser(path);
    return Done;
}

int List(const AppState& state, const QCommandLineParser& parser, const HistoryFilter& filter)
{
    HistoryStore store(state.ProgramFolder);
    const bool read = parser.isSet(OptionName(Wide)) ? PrintWideHistoryCsv(store, filter, Out())
                      : parser.isSet(OptionName(Json))
                          ? PrintHistoryJson(store, filter, Out())
                          : PrintHistoryRows(store, filter, parser.isSet(OptionName(Csv)), Out());
    if (!read)
        return Fail(u"The history could not be read from %1 (%2)"_s.arg(store.FilePath(), store.LastError()));
    return Done;
}

int Prune(AppState& state, Prompter& prompter, const QDate& before)
{
    HistoryStore store(state.ProgramFolder);
    int count = 0;
    if (!store.CountRunsBefore(before, count))
        return Fail(u"The history could not be read from %1 (%2)"_s.arg(store.FilePath(), store.LastError()));
    const QString day = before.toString(Qt::ISODate);
    if (count == 0) {
        Err() << "quorvex-cli: The history holds no run before " << day << Qt::endl;
        return Done;
    }
    Err() << "quorvex-cli: " << count << " runs before " << day << " will be deleted from the history." << Qt::endl;
    if (!prompter.AskYesNo(ContinueQuestion, AppTitle))
        return Refused;
    int removed = 0;
    if (!store.Prune(before, removed))
        return Fail(u"The history could not be written to %1 (%2)"_s.arg(store.FilePath(), store.LastError()));
    // The page shows what is kept.
    QString error;
    if (!RemoveRunReportsBefore(state.ProgramFolder, before, error))
        return Fail(u"the reports of the deleted runs could not be deleted (%1)"_s.arg(error));
    // The page shows what is kept.
    if (!WriteHistoryPage(state.ProgramFolder, error))
        return Fail(
            u"The history page could not be written to %1 (%2)"_s.arg(HistoryPagePath(state.ProgramFolder), error));
    return Done;
}

} // namespace

int RunHistory(const QStringList& arguments, bool assumeYes)
{
    QCommandLineParser parser;
    AddOptions(parser, KnownOptions, ListOptions | PageOptions | PruneOptions);
    // The parser takes its first argument for the program's name.
    if (!parser.parse(QStringList{u"history"_s} + arguments))
        return UsageError(ParserProblem(parser));
    if (parser.isSet(HelpOption)) {
        Out() << Usage() << '\n' << Help << "\n\n" << OptionsHelp(KnownOptions, ~0u) << Qt::flush;
        return Done;
    }
    const bool prune = parser.positionalArguments().value(0) == u"prune";
    const QString problem = LineProblem(parser, KnownOptions, ~0u, 0, prune ? 1 : 0);
    if (!problem.isEmpty())
        return UsageError(problem);
    unsigned given = 0;
    for (const OptionEntry& entry : KnownOptions) {
        if (parser.isSet(QString::fromLatin1(entry.name)))
            given |= entry.flag;
    }
    // --yes answers the question of prune only; elsewhere it changes nothing and is let pass.
    if (prune && (given & ~PruneOptions))
        return UsageError(u"History prune takes only --before and --yes"_s);
    if (!prune && (given & Html) && (given & ~(PageOptions | Yes)))
        return UsageError(u"--html writes the whole history; it goes only with --open"_s);
    if (!prune && (given & Before))
        return UsageError(u"--before goes with prune"_s);
    if (!(given & Html) && (given & Open))
        return UsageError(u"--open goes with --html"_s);
    if ((given & Wide) && !(given & Csv))
        return UsageError(u"--wide goes with --csv"_s);
    if ((given & Csv) && (given & Json))
        return UsageError(u"Choose --csv or --json"_s);
    if (prune && !(given & Before))
        return UsageError(u"Give the first day to keep with --before yyyy-MM-dd"_s);
    HistoryFilter filter;
    filter.Keyword = parser.value(OptionName(Keyword));
    filter.URL = parser.value(OptionName(Url));
    const QString dayText = parser.value(OptionName(prune ? Before : Since));
    const QDate day = Day(dayText);
    if ((given & (Since | Before)) && !day.isValid())
        return UsageError(u"'%1' is not a date of the form yyyy-MM-dd"_s.arg(dayText));
    filter.Since = day;

    // Listing only reads, so it works beside a running window; the page and pruning write.
    CommandStart start(!prune && !(given & Html), assumeYes || (given & Yes));
    if (!start.Ready())
        return Refused;
    if (prune)
        return Prune(start.State, start.Prompter, day);
    if (given & Html)
        return WritePage(start.State, given & Open);
    return List(start.State, parser, filter);
}
