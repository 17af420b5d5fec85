#pragma once
// quorvex-cli source: without arguments it shows each column's source, the imported lists and the
// bounds of a list download; with a column and a source it chooses them.

#include <QString>
#include <QStringList>

#include <functional>

struct AppState;

// The values given for each option of the command, as often as they were given.
struct SourceCommandOptions {
    QStringList Key;
    QStringList KeyFile;
    QStringList Endpoint;
    QStringList Depth;
    QStringList List;
    bool Force = false;
};

// The exit code; usage reports a misuse with its problem and gives the exit code for it.
int RunSourceCommand(AppState& state, const QStringList& args, const SourceCommandOptions& options,
                     const std::function<int(const QString&)>& usage);
