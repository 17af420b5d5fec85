// The sub-commands of quorvex-cli sitedb: reading the master table and a keyword's sites, the
// collection and the extraction through the session, and the scan, export, compaction and recovery.

#include "cli/SiteDbCommands.h"

#include "base/Clock.h"
#include "base/Names.h"
#include "base/TerminalText.h"
#include "cli/CliOptions.h"
#include "cli/CliStart.h"
#include "cli/InterruptWatcher.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalPrompter.h"
#include "model/AppState.h"
#include "session/Session.h"
#include "session/SiteRuns.h"
#include "sitedb/DatabaseMaintenance.h"
#include "sitedb/DatabaseScan.h"
#include "sitedb/DirectoryExport.h"
#include "sitedb/DirectorySettings.h"
#include "sitedb/ScanReport.h"
#include "sitedb/SearchTableModel.h"
#include "sitedb/SiteDatabase.h"
#include "sitedb/SiteDbRequests.h"
#include "sitedb/SiteDbRules.h"
#include "sitedb/SiteDbTexts.h"
#include "sitedb/SiteExtraction.h"
#include "sitedb/WebSiteCollection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

enum Option : unsigned {
    Yes = 1u << 0,
    Json = 1u << 1,
    Category = 1u << 2,
    Span = 1u << 3,
    Only = 1u << 4,
    All = 1u << 5,
    Report = 1u << 6,
    Base = 1u << 7,
};

const OptionEntry KnownOptions[] = {
    {Yes, "yes", nullptr, "answer Yes to the question"},
    {Json, "json", nullptr, "print JSON, for scripts"},
    {Category, "category", "CATEGORY", "the keyword's category"},
    {Span, "span", "N", "rows in one batch (50 unless given)"},
    {Only, "only", "LIST", "extract only these, of title,pr,alexa"},
    {All, "all", nullptr, "batch after batch until every row is extracted"},
    {Report, "report", nullptr, "write ScanReport.txt and print it"},
    {Base, "base", "URL", "the directory's address (the stored one unless given)"},
};

QString OptionName(Option flag)
{
    return ::OptionName(KnownOptions, flag);
}

using ConcreteSiteRuns = SiteRunsOf<WebSiteCollection, SiteExtraction>;

class SiteDbCli {
public:
    struct Command {
        const char* name;
        const char* arguments;
        int minArguments;
        int maxArguments;
        unsigned options;
        // Only reads the database: no instance lock, so it works beside a running window.
        bool readOnly;
        const char* summary;
        const char* help;
        int (SiteDbCli::*run)(const QStringList& args);

        QString Usage() const;
        QString Help() const;
    };
    static const Command Commands[];
    static const Command* Find(const QString& name);

    SiteDbCli(AppState& state, TerminalPrompter& prompter, const Command& command, const QCommandLineParser& parser)
        : state(state), prompter(prompter), command(command), parser(parser)
    {}
    int Run(const QStringList& args) { return (this->*command.run)(args); }

private:
    int Keywords(const QStringList& args);
    int Sites(const QStringList& args);
    int Collect(const QStringList& args);
    int Extract(const QStringList& args);
    int Scan(const QStringList& args);
    int Export(const QStringList& args);
    int Compact(const QStringList& args);
    int Recover(const QStringList& args);

    bool IsSet(Option option) const { return parser.isSet(OptionName(option)); }
    QString Value(Option option) const { return parser.value(OptionName(option)); }
    int Usage(const QString& problem) const;
    // A message of the database's own, as the window would show it: the command is refused.
    int Fail(const QString& text) const;
    QString Database() const { return DatabasePath(state.ProgramFolder); }
    // The scan the window's "&Scan" makes, as of today; false after the message.
    bool ScanToday(ScanLists& lists) const;
    // Runs the session until finished gives the exit code: start begins the first run, finished
    // is called as each run ends and may start the next (then it gives no code). Progress goes to
    // standard error; Ctrl+C stops the run that goes as "&Stop" does.
    int RunDownloads(const std::function<void(Session&)>& start,
                     const std::function<std::optional<int>(Session&, ConcreteSiteRuns&, bool written)>& finished);

    AppState& state;
    TerminalPrompter& prompter;
    const Command& command;
    const QCommandLineParser& parser;
};

const SiteDbCli::Command SiteDbCli::Commands[] = {
    {"keywords", "", 0, 0, Json, true, "show the keywords of the site database",
     "Shows every keyword of the site database: keyword, category, Top, Bottom, the date of its\n"
     "collection and whether it was exported. An empty column (JSON null) was never written.",
     &SiteDbCli::Keywords},
    {"sites", "KEYWORD", 1, 1, Json, true, "show the sites of one keyword",
     "Shows the sites of one keyword as the search window's list does: ID, URL, Title, Description,\n"
     "Keyword, PR and Alexa (\"no data\" for a traffic rank of 0).",
     &SiteDbCli::Sites},
    {"collect", "KEYWORD", 1, 1, Yes | Category, false, "collect the sites of a keyword (--category needed)",
     "Adds the keyword under its category, or renews a known one after confirmation, and collects its\n"
     "sites from the search engine's result pages. Progress goes to standard error; Ctrl+C stops the\n"
     "collection the way \"Stop\" does: nothing is written, exit code 1. A result page that does not\n"
     "come (offline, an error status, a search service's failure) ends the collection: before any site\n"
     "is read nothing is written and the old sites stay (exit code 1); later the sites read before are\n"
     "written, with exit code 3.",
     &SiteDbCli::Collect},
    {"extract", "KEYWORD", 1, 1, Yes | Span | Only | All, false, "extract titles, PR and Alexa of one batch",
     "Extracts the title, description, keywords, PageRank and traffic rank of the keyword's next batch\n"
     "of sites after confirmation, as one click of \"Extract\"; --all goes on batch after batch until\n"
     "every site is extracted. Nothing left to extract is refused with exit code 1. Ctrl+C stops the\n"
     "batch the way \"Stop\" does: its rows are extracted again next time. Only values read are\n"
     "stored: a site with a value that did not come keeps its row as it was, moved behind the other\n"
     "rows for a later batch. Such values are counted in the message, the exit code is 3, and --all\n"
     "stops after a batch that read no site.",
     &SiteDbCli::Extract},
    {"scan", "", 0, 0, Report, false, "scan the database for today's export",
     "Groups the keywords by category, finds the keywords due today and removes their unwanted sites;\n"
     "prints how many keywords are pending and done. --report writes Database/ScanReport.txt and\n"
     "prints it.",
     &SiteDbCli::Scan},
    {"export", "", 0, 0, Base, false, "scan, then export the site directory",
     "Scans the database, then exports the directory of today's due keywords into Database/ and\n"
     "prints the path of its index page. The database is copied to Database/QuorvexBack.mdb first.",
     &SiteDbCli::Export},
    {"compact", "", 0, 0, 0, false, "compact the database file", "Compacts Database/Quorvex.mdb; its rows stay.",
     &SiteDbCli::Compact},
    {"recover", "", 0, 0, Yes, false, "put back the copy taken before the last export",
     "Puts Database/QuorvexBack.mdb, the copy the last export took, in place of the database after\n"
     "confirmation.",
     &SiteDbCli::Recover},
};

QString SiteDbCli::Command::Usage() const
{
    QString usage = u"sitedb "_s + QString::fromLatin1(name);
    if (*arguments)
        usage += QLatin1Char(' ') + QString::fromLatin1(arguments);
    return usage + OptionsUsage(KnownOptions, options);
}

QString SiteDbCli::Command::Help() const
{
    return CommandHelp(Usage(), help, KnownOptions, options);
}

QString SiteDbUsage()
{
    QString usage = u"Usage: quorvex-cli sitedb SUBCOMMAND [ARGUMENTS]\n\nSubcommands:\n"_s;
    for (const SiteDbCli::Command& command : SiteDbCli::Commands)
        usage += CommandListLine(command.Usage(), command.summary);
    usage += u"\n'quorvex-cli sitedb SUBCOMMAND --help' shows one subcommand.\n"_s;
    return usage;
}

const SiteDbCli::Command* SiteDbCli::Find(const QString& name)
{
    for (const Command& command : Commands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

int UsageError(const SiteDbCli::Command* command, const QString& problem)
{
    return UsageProblem(problem, command ? u"Usage: quorvex-cli "_s + command->Usage() + u'\n' : u'\n' + SiteDbUsage());
}

int SiteDbCli::Usage(const QString& problem) const
{
    return UsageError(&command, problem);
}

int SiteDbCli::Fail(const QString& text) const
{
    prompter.ShowMessage(text, MessageIcon::Exclamation, SiteDbTitle);
    return Refused;
}

void PrintJson(const QJsonArray& rows)
{
    Out() << TerminalJson(QJsonDocument(rows)) << Qt::flush;
}

QJsonValue JsonText(const SqlText& text)
{
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

void PrintTabbed(const QStringList& cells)
{
    QStringList shown;
    for (const QString& cell : cells)
        shown << TerminalSafe(cell);
    Out() << shown.join(QLatin1Char('\t')) << '\n';
}

int SiteDbCli::Keywords(const QStringList&)
{
    SiteDatabase database(Database());
    QList<MasterRow> rows;
    if (!database.ReadMaster(rows))
        return Fail(database.LastError());
    if (IsSet(Json)) {
        QJsonArray keywords;
        for (const MasterRow& row : rows) {
            const Progress progress = SplitSearchNum(row.SearchNum);
            const QJsonValue none(QJsonValue::Null);
            keywords.append(QJsonObject{{u"keyword"_s, JsonText(row.Search)},
                                        {u"category"_s, JsonText(row.SearchType)},
                                        {u"top"_s, row.SearchNum ? QJsonValue(progress.Top) : none},
                                        {u"bottom"_s, row.SearchNum ? QJsonValue(progress.Bottom) : none},
                                        {u"date"_s, JsonText(row.SearchDate)},
                                        {u"updated"_s, JsonText(row.Updated)}});
        }
        PrintJson(keywords);
        return Done;
    }
    PrintTabbed({u"Keyword"_s, u"Category"_s, u"Top"_s, u"Bottom"_s, u"Date"_s, u"Updated"_s});
    for (const MasterRow& row : rows) {
        const Progress progress = SplitSearchNum(row.SearchNum);
        PrintTabbed({row.Search.value_or(QString()), row.SearchType.value_or(QString()), progress.Top, progress.Bottom,
                     row.SearchDate.value_or(QString()), row.Updated.value_or(QString())});
    }
    Out().flush();
    return Done;
}

int SiteDbCli::Sites(const QStringList& args)
{
    const QString keyword = StoredKeyword(args.at(0));
    const QString table = SearchTableName(keyword);
    SiteDatabase database(Database());
    std::optional<MasterRow> master;
    if (!database.FindMaster(keyword, master))
        return Fail(database.LastError());
    if (!master)
        return Fail(SiteDbTexts::TableMissing(table));
    QList<SiteRow> rows;
    if (!database.ReadSearchTable(table, rows))
        return Fail(database.LastError());
    SearchTableModel shown;
    shown.ShowRows(rows);
    if (IsSet(Json)) {
        static const QStringList keys{u"id"_s,      u"url"_s, u"title"_s, u"description"_s,
                                      u"keyword"_s, u"pr"_s,  u"alexa"_s};
        QJsonArray sites;
        for (int row = 0; row < shown.rowCount(); ++row) {
            const SiteRow& stored = rows.at(row);
            const SqlText columns[] = {stored.URL,     stored.Title, stored.Description,
                                       stored.Keyword, stored.PR,    stored.Alexa};
            QJsonObject site{{keys.at(0), row + 1}};
            for (int column = SearchTableModel::URL; column < SearchTableModel::ColumnCount; ++column) {
                site.insert(keys.at(column), columns[column - 1] ? QJsonValue(shown.CellText(row, column))
                                                                 : QJsonValue(QJsonValue::Null));
            }
            sites.append(site);
        }
        PrintJson(sites);
        return Done;
    }
    QStringList header;
    for (int column = 0; column < SearchTableModel::ColumnCount; ++column)
        header << shown.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    PrintTabbed(header);
    for (int row = 0; row < shown.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < SearchTableModel::ColumnCount; ++column)
            cells << shown.CellText(row, column);
        PrintTabbed(cells);
    }
    Out().flush();
    return Done;
}

int SiteDbCli::RunDownloads(
    const std::function<void(Session&)>& start,
    const std::function<std::optional<int>(Session&, ConcreteSiteRuns&, bool written)>& finished)
{
    ConcreteSiteRuns* runs = nullptr;
    Session session(state, prompter, {}, [&runs](AppState& s, RequestDriver& d, Prompter& p, const Clock& c) {
        auto made = std::make_unique<ConcreteSiteRuns>(s, d, p, c);
        runs = made.get();
        return std::unique_ptr<SiteRuns>(std::move(made));
    });
    ProgressLine progress;
    InterruptWatcher interrupt;
    const auto showProgress = [&](SiteDbRun& run) {
        QObject::connect(&run, &SiteDbRun::ProgressMaximumChanged, [&](int maximum) { progress.SetMaximum(maximum); });
        QObject::connect(&run, &SiteDbRun::ProgressValueChanged, [&](int value) { progress.SetValue(value); });
        QObject::connect(&run, &SiteDbRun::Written, [&] { progress.Finish(); });
    };
    showProgress(runs->CollectionRun());
    showProgress(runs->ExtractionRun());
    const auto ended = [&](bool written) {
        progress.Finish();
        // The next run starts once the one that ended has let go of the driver.
        QTimer::singleShot(0, &session, [&, written] {
            if (const std::optional<int> code = finished(session, *runs, written))
                QCoreApplication::exit(*code);
        });
    };
    QObject::connect(&session, &Session::CollectionFinished, ended);
    QObject::connect(&session, &Session::ExtractionFinished, ended);
    QObject::connect(&interrupt, &InterruptWatcher::Interrupted, &session, [&] { session.Stop(); });
    QTimer::singleShot(0, &session, [&] {
        start(session);
        // A start the session refused has shown its message already.
        if (!session.IsRunning())
            QCoreApplication::exit(Refused);
    });
    return QCoreApplication::exec();
}

int SiteDbCli::Collect(const QStringList& args)
{
    if (!IsSet(Category))
        return Usage(u"Give the keyword's category with --category"_s);
    const std::optional<CollectionRequest> request =
        PrepareCollection(Database(), args.at(0), Value(Category), prompter);
    if (!request)
        return Refused;
    return RunDownloads([&](Session& session) { session.StartCollection(*request); },
                        [](Session&, ConcreteSiteRuns& runs, bool written) -> std::optional<int> {
                            if (!written)
                                return Refused;
                            return runs.CollectionRun().Failure() ? PartlyFailed : Done;
                        });
}

int SiteDbCli::Extract(const QStringList& args)
{
    QString span = u"50"_s;
    if (IsSet(Span)) {
        bool ok = false;
        span = Value(Span);
        if (span.toInt(&ok) < 1 || !ok)
            return Usage(u"--span takes a whole number of at least 1"_s);
    }
    ExtractChoice choice;
    if (IsSet(Only)) {
        choice = {false, false, false};
        for (const QString& part : Value(Only).split(QLatin1Char(','))) {
            const QString name = part.trimmed().toLower();
            if (name == u"title")
                choice.Title = true;
            else if (name == u"pr")
                choice.PR = true;
            else if (name == u"alexa")
                choice.Alexa = true;
            else
                return Usage(u"--only takes title, pr and alexa, separated by \",\""_s);
        }
    }
    const bool all = IsSet(All);
    const QString keyword = args.at(0);
    // The Top and Bottom boxes, as the window fills them from the keyword's master row.
    const auto progressNow = [&]() -> std::optional<Progress> {
        SiteDatabase database(Database());
        std::optional<MasterRow> row;
        if (!database.FindMaster(StoredKeyword(keyword), row)) {
            Fail(database.LastError());
            return std::nullopt;
        }
        return SplitSearchNum(row ? row->SearchNum : std::nullopt);
    };
    const auto prepare = [&](Prompter& asked) -> std::optional<ExtractionBatch> {
        const std::optional<Progress> now = progressNow();
        if (!now)
            return std::nullopt;
        return PrepareExtraction(Database(), keyword, now->Top, now->Bottom, span, asked);
    };
    const std::optional<ExtractionBatch> first = prepare(prompter);
    if (!first)
        return Refused;
    int head = first->Head;
    // The question was answered once for the whole of --all.
    TerminalPrompter answered(true);
    bool valuesFailed = false;
    return RunDownloads([&](Session& session) { session.StartExtraction(*first, choice); },
                        [&](Session& session, ConcreteSiteRuns& runs, bool written) -> std::optional<int> {
                            if (!written)
                                return Refused;
                            valuesFailed = valuesFailed || runs.ExtractionRun().FailedValueCount() > 0;
                            const int done = valuesFailed ? PartlyFailed : Done;
                            if (!all)
                                return done;
                            const std::optional<Progress> now = progressNow();
                            if (!now)
                                return Refused;
                            // A batch that read no site leaves Top where it was; --all ends there
                            // rather than go round the table with a source that gives nothing.
                            const BatchPlan plan = PlanBatch(now->Top, now->Bottom, span);
                            if (plan.AllDone || plan.Head == head)
                                return done;
                            const std::optional<ExtractionBatch> next = prepare(answered);
                            if (!next)
                                return Refused;
                            head = next->Head;
                            session.StartExtraction(*next, choice);
                            if (!session.IsRunning())
                                return Refused;
                            return std::nullopt;
                        });
}

bool SiteDbCli::ScanToday(ScanLists& lists) const
{
    QString error;
    if (RunScan(Database(), Clock().Now().date(), lists, error))
        return true;
    Err() << "quorvex-cli: " << ScanErrorText << ": " << TerminalSafe(error) << Qt::endl;
    return false;
}

int SiteDbCli::Scan(const QStringList&)
{
    ScanLists lists;
    if (!ScanToday(lists))
        return Refused;
    if (!IsSet(Report)) {
        Out() << lists.AllSearches.size() << " keywords: " << lists.PendingSearches.size() << " to export, "
              << lists.DoneSearches.size() << " exported" << Qt::endl;
        return Done;
    }
    QString error;
    if (!WriteScanReport(state.ProgramFolder, lists, error))
        return Fail(ScanReportErrorText(error));
    // The file ends its lines with CR LF for the editors that want it; the terminal gets plain lines.
    QString text = QString::fromUtf8(ScanReportText(lists));
    text.replace(u"\r\n"_s, u"\n"_s);
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (const QString& line : lines)
        Out() << TerminalSafe(line) << '\n';
    Out().flush();
    return Done;
}

int SiteDbCli::Export(const QStringList&)
{
    QString base = ReadDirectoryBase(state.Settings);
    if (IsSet(Base)) {
        QString problem;
        base = CheckDirectoryBase(Value(Base), problem);
        if (base.isEmpty())
            return Usage(problem);
    }
    ScanLists lists;
    if (!ScanToday(lists))
        return Refused;
    const ExportResult result = ExportHTML(state.ProgramFolder, lists, Clock().Now().date(), base);
    for (const ExportFailure& failure : result.PageFailures) {
        Err() << "quorvex-cli: " << SiteDbTexts::TrunkError << ": " << TerminalSafe(failure.Search) << ": "
              << TerminalSafe(failure.Reason) << Qt::endl;
    }
    if (!result.Completed()) {
        Err() << "quorvex-cli: " << SiteDbTexts::ExportError << ": " << TerminalSafe(result.Error) << Qt::endl;
        return Refused;
    }
    Out() << TerminalSafe(result.IndexPath) << Qt::endl;
    return result.PageFailures.isEmpty() ? Done : Refused;
}

int SiteDbCli::Compact(const QStringList&)
{
    QString error;
    if (!CompactDatabase(state.ProgramFolder, error))
        return Fail(SiteDbTexts::CompactionFailed(error));
    prompter.ShowMessage(SiteDbTexts::Compacted, MessageIcon::Exclamation, SiteDbTitle);
    return Done;
}

int SiteDbCli::Recover(const QStringList&)
{
    if (!HasPreExportCopy(state.ProgramFolder))
        return Fail(SiteDbTexts::NothingToRecover);
    if (!prompter.AskYesNo(SiteDbTexts::RecoverQuestion, SiteDbTitle))
        return Refused;
    QString error;
    if (!RecoverPreExportCopy(state.ProgramFolder, error))
        return Fail(SiteDbTexts::RecoveryFailed(error));
    return Done;
}

} // namespace

int RunSiteDb(const QStringList& arguments, bool assumeYes)
{
    if (arguments.isEmpty()) {
        Err() << SiteDbUsage() << Qt::flush;
        return BadUsage;
    }
    if (arguments.first() == u"--help" || arguments.first() == u"-h") {
        Out() << SiteDbUsage() << Qt::flush;
        return Done;
    }
    const SiteDbCli::Command* command = SiteDbCli::Find(arguments.first());
    if (!command)
        return UsageError(nullptr, u"Unknown sitedb subcommand '%1'"_s.arg(arguments.first()));

    QCommandLineParser parser;
    AddOptions(parser, KnownOptions, command->options);
    // The parser takes its first argument for the program's name.
    if (!parser.parse(QStringList{u"sitedb"_s} + arguments.mid(1)))
        return UsageError(command, ParserProblem(parser));
    if (parser.isSet(HelpOption)) {
        Out() << command->Help() << Qt::flush;
        return Done;
    }
    const QString problem =
        LineProblem(parser, KnownOptions, command->options, command->minArguments, command->maxArguments);
    if (!problem.isEmpty())
        return UsageError(command, problem);
    const QStringList args = parser.positionalArguments();

    const bool yes = assumeYes || ((command->options & Yes) && parser.isSet(u"yes"_s));
    CommandStart start(command->readOnly, yes);
    if (!start.Ready())
        return Refused;
    SiteDbCli cli(start.State, start.Prompter, *command, parser);
    return cli.Run(args);
}
