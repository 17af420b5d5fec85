#include "cli/CliOptions.h"

using namespace Qt::StringLiterals;

const QCommandLineOption HelpOption({u"h"_s, u"help"_s}, u"show this help"_s);

QString OptionName(OptionTable table, unsigned flag)
{
    for (const OptionEntry& entry : table) {
        if (entry.flag == flag)
            return QString::fromLatin1(entry.name);
    }
    Q_UNREACHABLE();
}

void AddOptions(QCommandLineParser& parser, OptionTable table, unsigned options)
{
    for (const OptionEntry& entry : table) {
        if (!(options & entry.flag))
            continue;
        const QString name = QString::fromLatin1(entry.name);
        const QString description = QString::fromLatin1(entry.description);
        parser.addOption(entry.valueName ? QCommandLineOption(name, description, QString::fromLatin1(entry.valueName))
                                         : QCommandLineOption(name, description));
    }
    parser.addOption(HelpOption);
}

namespace {

QString OptionText(const OptionEntry& entry)
{
    QString option = u"--"_s + QString::fromLatin1(entry.name);
    if (entry.valueName)
        option += QLatin1Char(' ') + QString::fromLatin1(entry.valueName);
    return option;
}

} // namespace

QString OptionsUsage(OptionTable table, unsigned options)
{
    QString usage;
    for (const OptionEntry& entry : table) {
        if (options & entry.flag)
            usage += u" ["_s + OptionText(entry) + QLatin1Char(']');
    }
    return usage;
}

QString OptionsHelp(OptionTable table, unsigned options)
{
    QString help = u"Options:\n"_s;
    for (const OptionEntry& entry : table) {
        if (options & entry.flag)
            help += u"  %1  %2\n"_s.arg(OptionText(entry), -16).arg(QString::fromLatin1(entry.description));
    }
    help += u"  %1  %2\n"_s.arg(u"-h, --help"_s, -16).arg(HelpOption.description());
    return help;
}

QString CommandHelp(const QString& usage, const char* help, OptionTable table, unsigned options)
{
    return u"Usage: quorvex-cli "_s + usage + u"\n\n"_s + QString::fromLatin1(help) + u"\n\n"_s +
           OptionsHelp(table, options);
}

QString LineProblem(const QCommandLineParser& parser, OptionTable table, unsigned options, int minArguments,
                    int maxArguments)
{
    for (const OptionEntry& entry : table) {
        const QString name = QString::fromLatin1(entry.name);
        if ((options & entry.flag) && entry.valueName && parser.values(name).size() > 1)
            return u"Give --%1 once"_s.arg(name);
    }
    const QStringList args = parser.positionalArguments();
    if (args.size() < minArguments)
        return u"Missing arguments"_s;
    if (maxArguments >= 0 && args.size() > maxArguments)
        return u"Unexpected argument '%1'"_s.arg(args.at(maxArguments));
    return {};
}

QString CommandListLine(const QString& usage, const char* summary)
{
    constexpr int column = 44;
    QString line = u"  "_s + usage;
    line += usage.size() < column ? QString(column - usage.size(), QLatin1Char(' '))
                                  : QLatin1Char('\n') + QString(column + 2, QLatin1Char(' '));
    return line + QString::fromLatin1(summary) + QLatin1Char('\n');
}

QString ParserProblem(const QCommandLineParser& parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    // The parser keeps the names without their dashes; a name of one letter was a short option.
    QStringList typed;
    for (const QString& name : unknown)
        typed.append(u'\'' + QString(name.size() == 1 ? u"-"_s : u"--"_s) + name + u'\'');
    return (unknown.size() == 1 ? u"Unknown option %1"_s : u"Unknown options %1"_s).arg(typed.join(u", "_s));
}
