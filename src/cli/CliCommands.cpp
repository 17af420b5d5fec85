#include "cli/CliCommands.h"

#include "app/AppState.h"
#include "app/Clock.h"
#include "app/Names.h"
#include "app/ProgramFolder.h"
#include "app/StartUp.h"
#include "cli/InterruptWatcher.h"
#include "cli/ProcessLauncher.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalPrompter.h"
#include "lists/ListEdits.h"
#include "lists/ListStore.h"
#include "run/RankRun.h"
#include "web/PendingCounters.h"
#include "web/ocxParseWeb.h"

#include <QCoreApplication>
#include <QTimer>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

enum ExitCode { Done = 0, Refused = 1, BadUsage = 2 };

const char GeneralUsage[] =
    "Usage: quorvex-cli [--yes] COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  list [--json]                               show both lists and both options\n"
    "  add-page URL...                             add pages to the Page Rank list\n"
    "  edit-pages                                  replace the Page Rank list with the lines of standard input\n"
    "  add-keyword URL KEYWORDS [--product NAME]   add a keyword-position entry\n"
    "  edit-keyword N URL KEYWORDS [--product NAME]\n"
    "                                              change keyword-position entry N\n"
    "  remove-keyword N                            remove keyword-position entry N\n"
    "  clear pages|keywords                        empty one list\n"
    "  check|uncheck pages|keywords N              tick or untick entry N of one list\n"
    "  set extract-keyword|top10 on|off            set an option\n"
    "  rank [--verbose] [--open]                   run the checked entries and write the report\n"
    "\n"
    "--yes answers Yes to every question. 'quorvex-cli COMMAND --help' shows one command.\n";

class Cli {
public:
    struct Command {
        const char* name;
        const char* usage;
        const char* help;
        int (Cli::*run)(const QStringList& args);
    };
    // The command of that name; nullptr for none.
    static const Command* Find(const QString& name);

    Cli(AppState& state, TerminalPrompter& prompter) : state(state), prompter(prompter) {}
    int Run(const Command& command, const QStringList& args);

private:
    static const Command Commands[];

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

    int Saved();
    int ListFull();
    int Usage(const QString& problem);
    static bool ListName(const QString& text, ListKind& list);
    static bool EntryNumber(const QString& text, int count, int& n);
    static bool TakeProduct(QStringList& args, QString& product, bool& given);

    AppState& state;
    TerminalPrompter& prompter;
    QString currentUsage;
};

QTextStream& Out()
{
    static QTextStream out(stdout);
    return out;
}

QTextStream& Err()
{
    static QTextStream err(stderr);
    return err;
}

const Cli::Command Cli::Commands[] = {
    {"list", "list [--json]", "Shows both lists with numbers and check marks, and both options.", &Cli::List},
    {"add-page", "add-page URL...",
     "Adds pages to the Page Rank list; an address already listed (ignoring case) is dropped.", &Cli::AddPage},
    {"edit-pages", "edit-pages",
     "Replaces the Page Rank list with the lines of standard input, one address a line;\n"
     "an address listed before keeps its check mark.",
     &Cli::EditPages},
    {"add-keyword", "add-keyword URL KEYWORDS [--product NAME]",
     "Adds a keyword-position entry; KEYWORDS are separated by \",\".", &Cli::AddKeyword},
    {"edit-keyword", "edit-keyword N URL KEYWORDS [--product NAME]",
     "Changes keyword-position entry N; without --product the entry keeps its product.", &Cli::EditKeyword},
    {"remove-keyword", "remove-keyword N", "Removes keyword-position entry N after confirmation.", &Cli::RemoveKeyword},
    {"clear", "clear pages|keywords", "Empties one list after confirmation.", &Cli::Clear},
    {"check", "check pages|keywords N", "Ticks entry N of one list.", &Cli::CheckEntry},
    {"uncheck", "uncheck pages|keywords N", "Unticks entry N of one list.", &Cli::UncheckEntry},
    {"set", "set extract-keyword|top10 on|off", "Sets an option.", &Cli::Set},
    {"rank", "rank [--verbose] [--open]",
     "Runs the checked entries of both lists through the web and writes the report; prints the path of\n"
     "its Index.htm. Progress goes to standard error, the status texts too with --verbose; --open shows\n"
     "the report in the browser. Ctrl+C stops the run the way \"&Stop\" does: no report, exit code 1.\n"
     "Requests go through the proxy that http_proxy names.",
     &Cli::Rank},
};

const Cli::Command* Cli::Find(const QString& name)
{
    for (const Command& command : Commands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

int Cli::Run(const Command& command, const QStringList& args)
{
    currentUsage = QLatin1String(command.usage);
    return (this->*command.run)(args);
}

int Cli::Usage(const QString& problem)
{
    Err() << "quorvex-cli: " << problem << "\nUsage: quorvex-cli " << currentUsage << Qt::endl;
    return BadUsage;
}

int Cli::Saved()
{
    if (state.Settings.WriteFailed()) {
        Err() << "quorvex-cli: the settings could not be written to " << state.Settings.FilePath() << Qt::endl;
        return Refused;
    }
    return Done;
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

bool Cli::TakeProduct(QStringList& args, QString& product, bool& given)
{
    given = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--product")) {
            if (i + 1 >= args.size() || given)
                return false;
            product = args.at(i + 1).trimmed();
            given = true;
            args.remove(i, 2);
            --i;
        } else if (args.at(i).startsWith(QLatin1String("--product="))) {
            if (given)
                return false;
            product = args.at(i).mid(10).trimmed();
            given = true;
            args.remove(i);
            --i;
        }
    }
    return true;
}

QString CheckMark(int flag)
{
    return flag == 1 ? QStringLiteral("[x]") : QStringLiteral("[ ]");
}

QString OnOff(bool value)
{
    return value ? QStringLiteral("on") : QStringLiteral("off");
}

int Cli::List(const QStringList& args)
{
    const ListState& lists = state.Lists;
    if (args == QStringList{QStringLiteral("--json")}) {
        QJsonArray pages;
        for (int n = 1; n <= lists.PRURLCount(); ++n) {
            const PRURLEntry& e = lists.PRURLList.at(n - 1);
            pages.append(QJsonObject{{QStringLiteral("number"), n},
                                     {QStringLiteral("url"), e.URL},
                                     {QStringLiteral("checked"), e.Checked == 1}});
        }
        QJsonArray keywords;
        for (int n = 1; n <= lists.QuorvexCount(); ++n) {
            const QuorvexEntry& e = lists.QuorvexList.at(n - 1);
            keywords.append(QJsonObject{{QStringLiteral("number"), n},
                                        {QStringLiteral("url"), e.URL},
                                        {QStringLiteral("product"), e.Product},
                                        {QStringLiteral("keywords"), e.Keyword},
                                        {QStringLiteral("checked"), e.Checked == 1}});
        }
        const QJsonObject root{{QStringLiteral("pages"), pages},
                               {QStringLiteral("keywords"), keywords},
                               {QStringLiteral("extract_keyword"), lists.CheckExtractKeyword},
                               {QStringLiteral("top10"), lists.TOP10List}};
        Out() << QJsonDocument(root).toJson(QJsonDocument::Indented);
        Out().flush();
        return Done;
    }
    if (!args.isEmpty())
        return Usage(QStringLiteral("unexpected argument '%1'").arg(args.first()));
    Out() << "Page Rank (Extract Keyword: " << OnOff(lists.CheckExtractKeyword) << ")\n";
    for (int n = 1; n <= lists.PRURLCount(); ++n) {
        const PRURLEntry& e = lists.PRURLList.at(n - 1);
        Out() << QStringLiteral("%1 ").arg(n, 4) << CheckMark(e.Checked) << ' ' << e.URL << '\n';
    }
    Out() << "QUORVEX (TOP 10 Sites List: " << OnOff(lists.TOP10List) << ")\n";
    for (int n = 1; n <= lists.QuorvexCount(); ++n) {
        const QuorvexEntry& e = lists.QuorvexList.at(n - 1);
        Out() << QStringLiteral("%1 ").arg(n, 4) << CheckMark(e.Checked) << ' ' << e.URL << "  product: " << e.Product
              << "  keywords: " << e.Keyword << '\n';
    }
    Out().flush();
    return Done;
}

int Cli::AddPage(const QStringList& args)
{
    if (args.isEmpty())
        return Usage(QStringLiteral("no address given"));
    const EditResult result = AcceptPRURLText(state.Lists, state.Settings, args.join(QLatin1Char('\n')), true);
    if (result == EditResult::ListFull)
        return ListFull();
    if (result == EditResult::DuplicateDropped)
        prompter.ShowMessage(QStringLiteral("Duplicate URL has been deleted !"), MessageIcon::Exclamation, AppTitle);
    return Saved();
}

int Cli::EditPages(const QStringList& args)
{
    if (!args.isEmpty())
        return Usage(QStringLiteral("the addresses come from standard input"));
    const QString text = QTextStream(stdin).readAll();
    if (AcceptPRURLText(state.Lists, state.Settings, text.trimmed(), false) == EditResult::ListFull)
        return ListFull();
    return Saved();
}

int Cli::AddKeyword(const QStringList& arguments)
{
    QStringList args = arguments;
    QString product;
    bool productGiven = false;
    if (!TakeProduct(args, product, productGiven) || args.size() != 2)
        return Usage(QStringLiteral("give one address and one keyword list"));
    const QString url = args.at(0).trimmed();
    const QString keyword = args.at(1).trimmed();
    if (url.isEmpty() || keyword.isEmpty())
        return Usage(QStringLiteral("the address and the keywords may not be empty"));
    const EditResult result = AcceptQuorvexEntry(state.Lists, state.Settings, url, product, keyword, true, 0);
    if (result == EditResult::ListFull)
        return ListFull();
    if (result == EditResult::Duplicate) {
        prompter.ShowMessage(QStringLiteral("Duplicate URL and Product Enter !"), MessageIcon::Exclamation, AppTitle);
        return Refused;
    }
    return Saved();
}

int Cli::EditKeyword(const QStringList& arguments)
{
    QStringList args = arguments;
    QString product;
    bool productGiven = false;
    int n = 0;
    if (!TakeProduct(args, product, productGiven) || args.size() != 3)
        return Usage(QStringLiteral("give an entry number, one address and one keyword list"));
    if (!EntryNumber(args.at(0), state.Lists.QuorvexCount(), n))
        return Usage(QStringLiteral("there is no keyword-position entry %1").arg(args.at(0)));
    const QString url = args.at(1).trimmed();
    const QString keyword = args.at(2).trimmed();
    if (url.isEmpty() || keyword.isEmpty())
        return Usage(QStringLiteral("the address and the keywords may not be empty"));
    if (!productGiven)
        product = state.Lists.QuorvexList.at(n - 1).Product;
    if (AcceptQuorvexEntry(state.Lists, state.Settings, url, product, keyword, false, n) == EditResult::Duplicate) {
        prompter.ShowMessage(QStringLiteral("Duplicate URL and Product Enter !"), MessageIcon::Exclamation, AppTitle);
        return Refused;
    }
    return Saved();
}

int Cli::RemoveKeyword(const QStringList& args)
{
    int n = 0;
    if (args.size() != 1 || !EntryNumber(args.at(0), state.Lists.QuorvexCount(), n))
        return Usage(args.size() == 1 ? QStringLiteral("there is no keyword-position entry %1").arg(args.at(0))
                                      : QStringLiteral("give one entry number"));
    if (!prompter.AskYesNo(QStringLiteral("Do you want to continue ?"), AppTitle))
        return Refused;
    RemoveQuorvexEntry(state.Lists, state.Settings, n);
    return Saved();
}

int Cli::Clear(const QStringList& args)
{
    ListKind list{};
    if (args.size() != 1 || !ListName(args.at(0), list))
        return Usage(QStringLiteral("name the list: pages or keywords"));
    if (!prompter.AskYesNo(QStringLiteral("Do you want to continue ?"), AppTitle))
        return Refused;
    RemoveAllEntries(state.Lists, state.Settings, list);
    return Saved();
}

int Cli::Check(const QStringList& args, int flag)
{
    ListKind list{};
    int n = 0;
    if (args.size() != 2 || !ListName(args.at(0), list))
        return Usage(QStringLiteral("name the list (pages or keywords) and the entry number"));
    const int count = list == ListKind::PageRank ? state.Lists.PRURLCount() : state.Lists.QuorvexCount();
    if (!EntryNumber(args.at(1), count, n))
        return Usage(QStringLiteral("there is no entry %1 in that list").arg(args.at(1)));
    if (list == ListKind::PageRank)
        state.Lists.PRURLList[n - 1].Checked = flag;
    else
        state.Lists.QuorvexList[n - 1].Checked = flag;
    SaveEntryChecked(state.Lists, state.Settings, list, n);
    return Saved();
}

int Cli::Set(const QStringList& args)
{
    if (args.size() != 2 || (args.at(1) != QLatin1String("on") && args.at(1) != QLatin1String("off")))
        return Usage(QStringLiteral("name the option and give on or off"));
    const bool on = args.at(1) == QLatin1String("on");
    if (args.at(0) == QLatin1String("extract-keyword")) {
        state.Lists.CheckExtractKeyword = on;
        SaveOption(state.Lists, state.Settings, ListKind::PageRank);
    } else if (args.at(0) == QLatin1String("top10")) {
        state.Lists.TOP10List = on;
        SaveOption(state.Lists, state.Settings, ListKind::Quorvex);
    } else {
        return Usage(QStringLiteral("unknown option '%1'").arg(args.at(0)));
    }
    return Saved();
}

int Cli::Rank(const QStringList& args)
{
    bool verbose = false;
    bool open = false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--verbose"))
            verbose = true;
        else if (arg == QLatin1String("--open"))
            open = true;
        else
            return Usage(QStringLiteral("unexpected argument '%1'").arg(arg));
    }
    ocxParseWeb control(state, prompter);
    ConnectPendingCounters(control, state);
    const Clock clock;
    RankRun run(state, control, prompter, clock);
    ProgressLine progress;
    ProcessLauncher launcher;
    InterruptWatcher interrupt;

    QObject::connect(&run, &RankRun::ProgressMaximumChanged, [&](int maximum) { progress.SetMaximum(maximum); });
    QObject::connect(&run, &RankRun::ProgressValueChanged, [&](int value) { progress.SetValue(value); });
    if (verbose) {
        QObject::connect(&control, &ocxParseWeb::StatusText, [&](const QString& text) {
            progress.Finish();
            Err() << text << Qt::endl;
        });
    }
    QObject::connect(&run, &RankRun::ReportWritten, [&](const QString& indexPath) {
        progress.Finish();
        Out() << indexPath << Qt::endl;
        if (open)
            launcher.OpenInBrowser(indexPath);
    });
    QObject::connect(&run, &RankRun::Finished, [&](bool written) {
        progress.Finish();
        QCoreApplication::exit(written ? Done : Refused);
    });
    // Ctrl+C does what "&Stop" does.
    QObject::connect(&interrupt, &InterruptWatcher::Interrupted, [&] {
        if (run.IsRunning())
            run.cmdRank_Click();
    });
    QTimer::singleShot(0, &run, [&] { run.cmdRank_Click(); });
    return QCoreApplication::exec();
}

} // namespace

int RunCli(const QStringList& arguments)
{
    QStringList args = arguments.mid(1);
    const bool assumeYes = args.removeAll(QStringLiteral("--yes")) > 0;
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        (args.isEmpty() ? Err() : Out()) << GeneralUsage;
        return args.isEmpty() ? BadUsage : Done;
    }
    const QString name = args.takeFirst();
    const Cli::Command* command = Cli::Find(name);
    if (!command) {
        Err() << "quorvex-cli: unknown command '" << name << "'\n\n" << GeneralUsage;
        return BadUsage;
    }
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        Out() << "Usage: quorvex-cli " << command->usage << "\n\n" << command->help << '\n';
        return Done;
    }

    AppState state(ProgramFolder());
    TerminalPrompter prompter(assumeYes);
    StartUp startUp(state.ProgramFolder);
    switch (startUp.Run(state, prompter)) {
    case StartUpResult::Ready:
        break;
    case StartUpResult::AlreadyRunning:
        Err() << "quorvex-cli: Quorvex is already running on " << state.ProgramFolder << Qt::endl;
        return Refused;
    case StartUpResult::Failed:
        return Refused;
    }
    Cli cli(state, prompter);
    return cli.Run(*command, args);
}
