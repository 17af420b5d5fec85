#include "cli/CliCommands.h"

#include "base/Clock.h"
#include "base/Names.h"
#include "base/TerminalText.h"
#include "cli/CliOptions.h"
#include "cli/CliStart.h"
#include "cli/HistoryCommand.h"
#include "cli/ListOutput.h"
#include "cli/RankCommand.h"
#include "cli/SiteDbCommands.h"
#include "cli/SourceCommand.h"
#include "cli/TerminalPrompter.h"
#include "lists/ListEdits.h"
#include "lists/ListStore.h"
#include "model/AppState.h"
#include "sitedb/DirectorySettings.h"
#include "sources/SourceSettings.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <utility>

namespace {

// The options a command may take; each command of the table names its own.
enum Option : unsigned {
    Yes = 1u << 0,
    Json = 1u << 1,
    Product = 1u << 2,
    Verbose = 1u << 3,
    Open = 1u << 4,
    Key = 1u << 5,
    Endpoint = 1u << 6,
    Depth = 1u << 7,
    ListFile = 1u << 8,
    Force = 1u << 9,
    KeyFile = 1u << 10,
    Country = 1u << 11,
    Language = 1u << 12,
    Device = 1u << 13,
    Location = 1u << 14,
};

// The options that choose a market's fields.
constexpr unsigned MarketOptions = Country | Language | Device | Location;

const OptionEntry KnownOptions[] = {
    {Yes, "yes", nullptr, "answer Yes to the question"},
    {Json, "json", nullptr, "print JSON, for scripts"},
    {Product, "product", "NAME", "the product name"},
    {Verbose, "verbose", nullptr, "print the status texts too"},
    {Open, "open", nullptr, "show the report in the browser"},
    {Key, "key", "KEY", "the service's key, or - to read it from standard input (stored scrambled)"},
    {KeyFile, "key-file", "FILE", "reads the service's key from the first line of FILE"},
    {Endpoint, "endpoint", "URL", "the service's address, instead of its default"},
    {Depth, "depth", "N", "results looked through: 10, 20, 50 or 100"},
    {ListFile, "list", "FILE_OR_URL", "the traffic-rank list to import"},
    {Force, "force", nullptr, "import the list even when it looks too little like one"},
    {Country, "country", "CODE", "the country searched from, a two-letter ISO 3166-1 code such as fr"},
    {Language, "language", "CODE", "the language of the results, a two-letter ISO 639-1 code such as fr"},
    {Device, "device", "DEVICE", "the device searched on: desktop or mobile"},
    {Location, "location", "TEXT", "a city or region as the search services take it, such as \"Lyon, France\""},
};

QString OptionName(Option flag)
{
    return ::OptionName(KnownOptions, flag);
}

class Cli {
public:
    // A command that only reads takes no instance lock and writes nothing, so it works beside a
    // running window; some only read when they are given no arguments. A command with sub-commands
    // of its own decides for each of them.
    enum class Access { Writes, Reads, ReadsWithoutArguments };
    struct Command {
        const char* name;
        const char* arguments; // the positional arguments as the usage names them
        int minArguments;
        int maxArguments; // -1: any number
        unsigned options;
        Access access;
        const char* summary; // its line in the general usage
        const char* help;
        // nullptr: the command reads its own sub-commands and options, in own.
        int (Cli::*run)(const QStringList& args);
        // What follows the command's name, and whether --yes came before it; the exit code.
        int (*own)(const QStringList& arguments, bool assumeYes) = nullptr;

        QString Usage() const;
        QString Help() const;
    };
    static const Command Commands[];
    // The command of that name; nullptr for none.
    static const Command* Find(const QString& name);

    Cli(AppState& state, TerminalPrompter& prompter, const Command& command, const QCommandLineParser& parser)
        : state(state), prompter(prompter), command(command), parser(parser)
    {}
    int Run(const QStringList& args) { return (this->*command.run)(args); }

private:
    int List(const QStringList& args);
    int AddPage(const QStringList& args);
    int EditPages(const QStringList& args);
    int AddKeyword(const QStringList& args);
    int EditKeyword(const QStringList& args);
    int RemoveKeyword(const QStringList& args);
    int Clear(const QStringList& args);
    int CheckEntry(const QStringList& args) { return Check(args, 1); }
    int UncheckEntry(const QStringList& args) { return Check(args, 0); }
    int Check(const QStringList& args, int flag);
    int Set(const QStringList& args);
    int Rank(const QStringList& args);
    int Source(const QStringList& args);

    bool IsSet(Option option) const { return parser.isSet(OptionName(option)); }
    bool AnyMarketOption() const;
    // The market with the fields given on the command line put in, each as given (an empty one too).
    Market GivenMarket(Market market) const;
    // False, after the usage message, when the product is given more than once.
    bool TakeProduct(QString& product, bool& given);
    int Saved();
    int ListFull();
    int Usage(const QString& problem) const;
    static bool ListName(const QString& text, ListKind& list);
    static bool EntryNumber(const QString& text, int count, int& n);

    AppState& state;
    TerminalPrompter& prompter;
    const Command& command;
    const QCommandLineParser& parser;
};

const Cli::Command Cli::Commands[] = {
    {"list", "", 0, 0, Json, Access::Reads, "show both lists and both options",
     "Shows both lists with numbers and check marks, both options, the default market and the market\n"
     "of each keyword-position entry: its own, or \"default (...)\" for one searched in the default\n"
     "market. It only reads, so it works while the window runs.",
     &Cli::List},
    {"add-page", "URL...", 1, -1, 0, Access::Writes, "add pages to the Page Rank list",
     "Adds pages to the Page Rank list, each stored as http://www. or https://www. and the rest.\n"
     "An address already listed (ignoring case) is dropped with the message \"Duplicate URL has been\n"
     "deleted !\"; the others are still added. An address that is no web address (http or https, with a\n"
     "host name; \"localhost:8080\" is a host and a port) adds nothing at all.",
     &Cli::AddPage},
    {"edit-pages", "", 0, 0, Yes, Access::Writes, "replace the Page Rank list from standard input",
     "Replaces the Page Rank list with the lines of standard input, one address a line; an address\n"
     "listed before keeps its check mark. Input without any address empties the list after\n"
     "confirmation.",
     &Cli::EditPages},
    {"add-keyword", "URL KEYWORDS", 2, 2, Product | MarketOptions, Access::Writes, "add a keyword-position entry",
     "Adds a keyword-position entry; KEYWORDS are separated by \",\". Without --country, --language,\n"
     "--device and --location the entry is searched in the default market ('set market'), and follows\n"
     "it when it changes; with any of them the entry has a market of its own, the fields not given as\n"
     "the default market has them now. An unknown code is refused and nothing is stored.",
     &Cli::AddKeyword},
    {"edit-keyword", "N URL KEYWORDS", 3, 3, Product | MarketOptions, Access::Writes, "change keyword-position entry N",
     "Changes keyword-position entry N; without --product the entry keeps its product. --country,\n"
     "--language, --device and --location change those fields of the entry's market and keep the\n"
     "others; an empty value (--location \"\") takes its field from the default market, and an entry\n"
     "whose four fields are all given empty is searched in the default market again.",
     &Cli::EditKeyword},
    {"remove-keyword", "N", 1, 1, Yes, Access::Writes, "remove keyword-position entry N",
     "Removes keyword-position entry N after confirmation.", &Cli::RemoveKeyword},
    {"clear", "pages|keywords", 1, 1, Yes, Access::Writes, "empty one list", "Empties one list after confirmation.",
     &Cli::Clear},
    {"check", "pages|keywords N", 2, 2, 0, Access::Writes, "tick entry N of one list", "Ticks entry N of one list.",
     &Cli::CheckEntry},
    {"uncheck", "pages|keywords N", 2, 2, 0, Access::Writes, "untick entry N of one list",
     "Unticks entry N of one list.", &Cli::UncheckEntry},
    {"set", "extract-keyword|top10 on|off, export-base URL, list-download-max-mib N, or market", 1, 2, MarketOptions,
     Access::Writes, "set an option or the default market",
     "Sets an option on or off, or export-base: the address under which the exported directory is\n"
     "published, an absolute http:// or https:// address ending in \"/\" (or file:/// and the export's\n"
     "folder, to look at the pages on disk before they are published), or list-download-max-mib: the\n"
     "most MiB a traffic-rank list download may be, a whole number from 1 to 2048 (256 unless set), or\n"
     "market: the default market, in which every keyword-position entry without a market of its own is\n"
     "searched, made of the fields given (a field not given is not asked for, so the service uses its\n"
     "own); 'set market' alone clears it. An unknown code is refused and nothing is stored:\n"
     "  set market --country fr --language fr --device mobile --location \"Lyon, France\"",
     &Cli::Set},
    {"rank", "", 0, 0, Verbose | Open | Json, Access::Writes, "run the checked entries and write the report",
     "Runs the checked entries of both lists through the web, writes the report and keeps the run in\n"
     "the history; prints the path of its Index.htm, or with --json the run's results. Progress goes to\n"
     "standard error, the status texts too with --verbose, and at the end how many requests failed and\n"
     "how many keyword records rose, fell and stayed since the run before; --open shows the report in\n"
     "the browser. Ctrl+C stops the run the way \"Stop\" does: no report, nothing kept, exit code 1.\n"
     "Requests go through the proxy that http_proxy names.",
     &Cli::Rank},
    {"source", "[search|authority|traffic SOURCE]", 0, 2, Key | KeyFile | Endpoint | Depth | ListFile | Force,
     Access::ReadsWithoutArguments, "show or choose the data sources",
     "Without arguments, shows the source of each data column with its endpoint, depth, list and the\n"
     "last four characters of its key, the imported lists and the bounds of a list download. With a\n"
     "column and a source, chooses it:\n"
     "  source search historical|serpapi|serper|brave|searxng [--key KEY|-] [--endpoint URL] [--depth N]\n"
     "  source authority historical|openpagerank [--key KEY|-] [--endpoint URL]\n"
     "  source traffic historical|tranco|majestic [--list FILE_OR_URL [--force]]\n"
     "A service keeps its own key and endpoint: choosing it again finds them. searxng needs the\n"
     "address of your own instance. A missing key, an endpoint that is not an http or https address or\n"
     "a depth other than 10, 20, 50 or 100 is refused and nothing is changed. A list of which more than\n"
     "1% of the lines (and more than 10) are not rows, or one of fewer than 100 rows in place of a list\n"
     "of more than 1,000, is refused unless --force is given. A list download ends at the size that\n"
     "'set list-download-max-mib' sets, after 10 minutes, or after 30 seconds without data.\n"
     "A key on the command line can be read by other users of the machine; give it instead with\n"
     "--key - (a line of standard input, not shown at a terminal), --key-file FILE (its first line),\n"
     "or in the environment variable QUORVEX_KEY, which a service that takes a key gets when neither\n"
     "option is given. Without arguments the command only reads, so it works while the window runs.",
     &Cli::Source},
    {"history", "[prune] [OPTIONS]", 0, -1, 0, Access::Writes, "the values of every run kept ('history --help')", "",
     nullptr, RunHistory},
    {"sitedb", "SUBCOMMAND [ARGUMENTS]", 1, -1, 0, Access::Writes, "the keyword site database ('sitedb --help')", "",
     nullptr, RunSiteDb},
};

QString Cli::Command::Usage() const
{
    QString usage = QString::fromLatin1(name);
    if (*arguments)
        usage += QLatin1Char(' ') + QString::fromLatin1(arguments);
    return usage + OptionsUsage(KnownOptions, options);
}

QString Cli::Command::Help() const
{
    return CommandHelp(Usage(), help, KnownOptions, options);
}

QString GeneralUsage()
{
    QString usage = QStringLiteral("Usage: quorvex-cli [--yes] COMMAND [ARGUMENTS]\n"
                                   "       quorvex-cli --help | --version\n"
                                   "\n"
                                   "Commands:\n");
    for (const Cli::Command& command : Cli::Commands)
        usage += CommandListLine(command.Usage(), command.summary);
    usage +=
        QStringLiteral("\n--yes answers Yes to every question. 'quorvex-cli COMMAND --help' shows one command.\n"
                       "Exit codes: 0 done, 1 refused, stopped or not written, 2 bad usage, 3 (rank) a report was\n"
                       "written but some request failed.\n");
    return usage;
}

const Cli::Command* Cli::Find(const QString& name)
{
    for (const Command& command : Commands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

int UsageError(const Cli::Command* command, const QString& problem)
{
    return UsageProblem(problem, command ? QStringLiteral("Usage: quorvex-cli ") + command->Usage() + u'\n'
                                         : u'\n' + GeneralUsage());
}

int Cli::Usage(const QString& problem) const
{
    return UsageError(&command, problem);
}

int Cli::Saved()
{
    return SettingsSaved(state.Settings);
}

int Cli::ListFull()
{
    Err() << "quorvex-cli: " << ListFullText() << Qt::endl;
    return Refused;
}

bool Cli::ListName(const QString& text, ListKind& list)
{
    if (text == QLatin1String("pages"))
        list = ListKind::PageRank;
    else if (text == QLatin1String("keywords"))
        list = ListKind::Quorvex;
    else
        return false;
    return true;
}

bool Cli::EntryNumber(const QString& text, int count, int& n)
{
    bool ok = false;
    n = text.toInt(&ok);
    return ok && n >= 1 && n <= count;
}

bool Cli::TakeProduct(QString& product, bool& given)
{
    const QStringList values = parser.values(OptionName(Product));
    given = !values.isEmpty();
    if (values.size() > 1)
        return false;
    if (given)
        product = values.first().trimmed();
    return true;
}

bool Cli::AnyMarketOption() const
{
    return IsSet(Country) || IsSet(Language) || IsSet(Device) || IsSet(Location);
}

Market Cli::GivenMarket(Market market) const
{
    const std::pair<Option, QString*> fields[] = {{Country, &market.Country},
                                                  {Language, &market.Language},
                                                  {Device, &market.Device},
                                                  {Location, &market.Location}};
    for (const auto& [option, field] : fields) {
        if (IsSet(option))
            *field = parser.value(OptionName(option));
    }
    return market;
}

int Cli::List(const QStringList&)
{
    PrintLists(state, IsSet(Json));
    return Done;
}

int Cli::AddPage(const QStringList& args)
{
    for (const QString& arg : args) {
        const QString address = arg.trimmed();
        if (address.isEmpty())
            return Usage(QStringLiteral("An empty address cannot be added"));
        // Each argument is one address, even when it holds a line break.
        if (!IsWebAddress(address))
            return Usage(RefusedAddressText(address));
    }
    const EditResult result = AcceptPRURLText(state.Lists, state.Settings, args.join(QLatin1Char('\n')), true);
    if (result == EditResult::ListFull)
        return ListFull();
    if (result == EditResult::DuplicateDropped)
        prompter.ShowMessage(DuplicateDroppedText(), MessageIcon::Exclamation, AppTitle);
    return Saved();
}

int Cli::EditPages(const QStringList&)
{
    const QString text = QTextStream(stdin).readAll().trimmed();
    if (text.isEmpty()) {
        Err() << "quorvex-cli: Standard input holds no address; the Page Rank list will be emptied." << Qt::endl;
        if (!prompter.AskYesNo(ContinueQuestion, AppTitle))
            return Refused;
    }
    QString refused;
    const EditResult result = AcceptPRURLText(state.Lists, state.Settings, text, false, &refused);
    if (result == EditResult::NotAnAddress)
        return Usage(RefusedAddressText(refused));
    if (result == EditResult::ListFull)
        return ListFull();
    return Saved();
}

int Cli::AddKeyword(const QStringList& args)
{
    QString product;
    bool productGiven = false;
    if (!TakeProduct(product, productGiven))
        return Usage(QStringLiteral("Give --product once"));
    const QString url = args.at(0).trimmed();
    const QString keyword = args.at(1).trimmed();
    if (url.isEmpty() || keyword.isEmpty())
        return Usage(QStringLiteral("The address and the keywords may not be empty"));
    const Market market = GivenMarket({});
    const EditResult result = AcceptQuorvexEntry(state.Lists, state.Settings, url, product, keyword, market, true, 0);
    if (result == EditResult::NotAnAddress)
        return Usage(RefusedAddressText(url));
    if (result == EditResult::BadMarket)
        return Usage(MarketProblem(market));
    if (result == EditResult::ListFull)
        return ListFull();
    if (result == EditResult::Duplicate) {
        prompter.ShowMessage(DuplicateEntryText(), MessageIcon::Exclamation, AppTitle);
        return Refused;
    }
    return Saved();
}

int Cli::EditKeyword(const QStringList& args)
{
    QString product;
    bool productGiven = false;
    int n = 0;
    if (!TakeProduct(product, productGiven))
        return Usage(QStringLiteral("Give --product once"));
    if (!EntryNumber(args.at(0), state.Lists.QuorvexCount(), n))
        return Usage(QStringLiteral("There is no keyword-position entry %1").arg(args.at(0)));
    const QString url = args.at(1).trimmed();
    const QString keyword = args.at(2).trimmed();
    if (url.isEmpty() || keyword.isEmpty())
        return Usage(QStringLiteral("The address and the keywords may not be empty"));
    const QuorvexEntry& entry = state.Lists.QuorvexList.at(n - 1);
    if (!productGiven)
        product = entry.Product;
    const Market market = GivenMarket(entry.OwnMarket);
    const EditResult result = AcceptQuorvexEntry(state.Lists, state.Settings, url, product, keyword, market, false, n);
    if (result == EditResult::NotAnAddress)
        return Usage(RefusedAddressText(url));
    if (result == EditResult::BadMarket)
        return Usage(MarketProblem(market));
    if (result == EditResult::Duplicate) {
        prompter.ShowMessage(DuplicateEntryText(), MessageIcon::Exclamation, AppTitle);
        return Refused;
    }
    return Saved();
}

int Cli::RemoveKeyword(const QStringList& args)
{
    int n = 0;
    if (!EntryNumber(args.at(0), state.Lists.QuorvexCount(), n))
        return Usage(QStringLiteral("There is no keyword-position entry %1").arg(args.at(0)));
    if (!prompter.AskYesNo(ContinueQuestion, AppTitle))
        return Refused;
    RemoveQuorvexEntry(state.Lists, state.Settings, n);
    return Saved();
}

int Cli::Clear(const QStringList& args)
{
    ListKind list{};
    if (!ListName(args.at(0), list))
        return Usage(QStringLiteral("Name the list: pages or keywords"));
    if (!prompter.AskYesNo(ContinueQuestion, AppTitle))
        return Refused;
    RemoveAllEntries(state.Lists, state.Settings, list);
    return Saved();
}

int Cli::Check(const QStringList& args, int flag)
{
    ListKind list{};
    int n = 0;
    if (!ListName(args.at(0), list))
        return Usage(QStringLiteral("Name the list (pages or keywords) and the entry number"));
    const int count = list == ListKind::PageRank ? state.Lists.PRURLCount() : state.Lists.QuorvexCount();
    if (!EntryNumber(args.at(1), count, n))
        return Usage(QStringLiteral("There is no entry %1 in that list").arg(args.at(1)));
    if (list == ListKind::PageRank)
        state.Lists.PRURLList[n - 1].Checked = flag;
    else
        state.Lists.QuorvexList[n - 1].Checked = flag;
    SaveEntryChecked(state.Lists, state.Settings, list, n);
    return Saved();
}

int Cli::Set(const QStringList& args)
{
    if (args.at(0) == QLatin1String("market")) {
        if (args.size() > 1)
            return Usage(QStringLiteral("Unexpected argument '%1'").arg(args.at(1)));
        const Market market = GivenMarket({});
        if (AcceptDefaultMarket(state.Lists, state.Settings, market) == EditResult::BadMarket)
            return Usage(MarketProblem(market));
        return Saved();
    }
    if (AnyMarketOption())
        return Usage(QStringLiteral("--country, --language, --device and --location go with 'set market'"));
    if (args.size() < 2)
        return Usage(QStringLiteral("Missing arguments"));
    if (args.at(0) == QLatin1String("export-base")) {
        QString problem;
        if (CheckDirectoryBase(args.at(1), problem).isEmpty())
            return Usage(problem);
        SaveDirectoryBase(state.Settings, args.at(1), problem);
        return Saved();
    }
    if (args.at(0) == QLatin1String("list-download-max-mib")) {
        QString problem;
        if (!SaveListDownloadMaxMiB(state.Settings, args.at(1), problem) && !state.Settings.WriteFailed())
            return Usage(problem);
        return Saved();
    }
    if (args.at(1) != QLatin1String("on") && args.at(1) != QLatin1String("off"))
        return Usage(QStringLiteral("Name the option and give on or off"));
    const bool on = args.at(1) == QLatin1String("on");
    if (args.at(0) == QLatin1String("extract-keyword")) {
        state.Lists.CheckExtractKeyword = on;
        SaveOption(state.Lists, state.Settings, ListKind::PageRank);
    } else if (args.at(0) == QLatin1String("top10")) {
        state.Lists.TOP10List = on;
        SaveOption(state.Lists, state.Settings, ListKind::Quorvex);
    } else {
        return Usage(QStringLiteral("Unknown option '%1'").arg(args.at(0)));
    }
    return Saved();
}

int Cli::Rank(const QStringList&)
{
    return RunRankCommand(state, prompter, {.Verbose = IsSet(Verbose), .Open = IsSet(Open), .Json = IsSet(Json)});
}

int Cli::Source(const QStringList& args)
{
    const auto values = [this](Option option) { return parser.values(OptionName(option)); };
    const SourceCommandOptions options{values(Key),   values(KeyFile),  values(Endpoint),
                                       values(Depth), values(ListFile), IsSet(Force)};
    return RunSourceCommand(state, args, options, [this](const QString& problem) { return Usage(problem); });
}

} // namespace

int RunCli(const QStringList& arguments)
{
    // Options before the command belong to the program; everything from the command on is the
    // command's, parsed by the options it declares.
    QCommandLineParser global;
    global.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption yesOption(QStringLiteral("yes"), QStringLiteral("answer Yes to every question"));
    const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("show the version"));
    global.addOptions({yesOption, versionOption, HelpOption});
    if (!global.parse(arguments))
        return UsageError(nullptr, ParserProblem(global));
    if (global.isSet(versionOption)) {
        Out() << "quorvex-cli " << QUORVEX_VERSION << Qt::endl;
        return Done;
    }
    if (global.isSet(HelpOption)) {
        Out() << GeneralUsage() << Qt::flush;
        return Done;
    }
    const QStringList commandLine = global.positionalArguments();
    if (commandLine.isEmpty()) {
        Err() << GeneralUsage() << Qt::flush;
        return BadUsage;
    }
    const Cli::Command* command = Cli::Find(commandLine.first());
    if (!command)
        return UsageError(nullptr, QStringLiteral("Unknown command '%1'").arg(commandLine.first()));
    if (!command->run)
        return command->own(commandLine.mid(1), global.isSet(yesOption));

    QCommandLineParser parser;
    AddOptions(parser, KnownOptions, command->options);
    if (!parser.parse(commandLine))
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

    const bool assumeYes = global.isSet(yesOption) || ((command->options & Yes) && parser.isSet(yesOption));
    const bool readOnly = command->access == Cli::Access::Reads ||
                          (command->access == Cli::Access::ReadsWithoutArguments && args.isEmpty());
    CommandStart start(readOnly, assumeYes);
    if (!start.Ready())
        return Refused;
    Cli cli(start.State, start.Prompter, *command, parser);
    return cli.Run(args);
}
