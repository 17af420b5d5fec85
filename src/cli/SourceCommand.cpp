// quorvex-cli source: shows the source of each data column, or chooses one with its key, endpoint,
// depth or list; the key may come from standard input, a file or the environment.

#include "cli/SourceCommand.h"

#include "base/TerminalText.h"
#include "cli/CliStart.h"
#include "cli/KeyInput.h"
#include "cli/TrafficListImport.h"
#include "model/AppState.h"
#include "sources/RankListStore.h"
#include "sources/SourceSettings.h"

int RunSourceCommand(AppState& state, const QStringList& args, const SourceCommandOptions& options,
                     const std::function<int(const QString&)>& usage)
{
    SourceSettings settings = LoadSourceSettings(state.Settings);
    if (args.isEmpty()) {
        for (const QString& line : DescribeSources(settings))
            Out() << TerminalSafe(line) << '\n';
        QString fault;
        for (const RankListInfo& list : RankListStore(RankListsPath(state.ProgramFolder)).ListInfo(&fault))
            Out() << TerminalSafe(QStringLiteral("list ") + RankListName(list.Kind) + QStringLiteral(": ") +
                                  DescribeRankList(list))
                  << '\n';
        Out() << TerminalSafe(DescribeListDownloadBounds(ReadListDownloadMaxMiB(state.Settings))) << Qt::endl;
        if (!fault.isEmpty()) {
            Err() << "quorvex-cli: " << TerminalSafe(fault) << Qt::endl;
            return Refused;
        }
        return Done;
    }
    if (args.size() != 2)
        return usage(QStringLiteral("Name a column (search, authority or traffic) and its source"));
    SourceChange change;
    if (args.at(0) == QLatin1String("search"))
        change.Column = SourceColumn::Search;
    else if (args.at(0) == QLatin1String("authority"))
        change.Column = SourceColumn::Authority;
    else if (args.at(0) == QLatin1String("traffic"))
        change.Column = SourceColumn::Traffic;
    else
        return usage(QStringLiteral("Unknown column '%1': choose search, authority or traffic").arg(args.at(0)));
    change.Source = args.at(1);
    // A value given twice is a mistake, not a choice of the last one.
    const auto given = [](const QStringList& values, QString& into) {
        if (values.size() == 1)
            into = values.first();
        return values.size() <= 1;
    };
    QString keyFile;
    if (!given(options.Key, change.Key) || !given(options.KeyFile, keyFile) ||
        !given(options.Endpoint, change.Endpoint) || !given(options.Depth, change.Depth) ||
        !given(options.List, change.List))
        return usage(QStringLiteral("Give each option once"));
    if (options.Force && (change.Column != SourceColumn::Traffic || change.List.isNull()))
        return usage(QStringLiteral("--force goes with a traffic list to import (--list)"));
    if (!change.Key.isNull() && !keyFile.isNull())
        return usage(QStringLiteral("Give the key once: with --key or with --key-file"));
    if (const QString problem = TakeKey(change.Key, keyFile, SourceTakesKey(change.Column, change.Source));
        !problem.isEmpty()) {
        Err() << "quorvex-cli: " << TerminalSafe(problem) << Qt::endl;
        return Refused;
    }
    if (const QString refusal = ApplySourceChange(settings, state.Settings, change); !refusal.isEmpty()) {
        Err() << "quorvex-cli: " << TerminalSafe(refusal) << Qt::endl;
        return Refused;
    }
    // A list that cannot be imported leaves the choice as it was.
    if (change.Column == SourceColumn::Traffic && !change.List.isNull()) {
        if (const int imported = ImportTrafficList(state.ProgramFolder, settings.Traffic,
                                                   ReadListDownloadMaxMiB(state.Settings), options.Force);
            imported != Done)
            return imported;
    }
    if (!SaveSourceSettings(settings, state.Settings, change.Column))
        return SettingsSaved(state.Settings);
    for (const QString& line : DescribeSources(settings)) {
        if (line.startsWith(args.at(0) + QLatin1Char(':')))
            Out() << TerminalSafe(line) << Qt::endl;
    }
    return Done;
}
