#pragma once
// The options of the command tables and how their usage and help show them, shared by the
// commands and the site database's sub-commands.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <span>

struct OptionEntry {
    unsigned flag;
    const char* name;
    const char* valueName; // nullptr for a switch
    const char* description;
};
using OptionTable = std::span<const OptionEntry>;

extern const QCommandLineOption HelpOption;

// The name of the option with that flag; the flag is always one of the table's.
QString OptionName(OptionTable table, unsigned flag);

// Adds the options of the set to the parser, and --help.
void AddOptions(QCommandLineParser& parser, OptionTable table, unsigned options);
// " [--name VALUE]" for every option of the set, in table order.
QString OptionsUsage(OptionTable table, unsigned options);
// "Options:" and a line for every option of the set, then --help.
QString OptionsHelp(OptionTable table, unsigned options);
// What COMMAND --help prints: "Usage: quorvex-cli " and the usage, the help text, the options.
QString CommandHelp(const QString& usage, const char* help, OptionTable table, unsigned options);
// What is wrong with a parsed command line beyond what the parser sees, or nothing: an option of
// the set that takes a value given twice, fewer positional arguments than minArguments, or more
// than maxArguments (-1: any number).
QString LineProblem(const QCommandLineParser& parser, OptionTable table, unsigned options, int minArguments,
                    int maxArguments);
// One line of a list of commands: the usage, then the summary in a column of its own.
QString CommandListLine(const QString& usage, const char* summary);
// Why the parser refused the command line; an unknown option is named as it was typed ("--jsn").
QString ParserProblem(const QCommandLineParser& parser);
