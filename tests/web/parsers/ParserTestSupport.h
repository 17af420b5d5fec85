#pragma once
// What the parser tests share: a program state with its tables, the status texts and messages a
// parser shows, and the fixture pages.

#include "model/AppState.h"
#include "support/ScriptedPrompter.h"
#include "web/Parsers.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

struct ParserBench {
    QTemporaryDir Folder;
    AppState State{Folder.path()};
    ScriptedPrompter Prompt;
    QStringList Statuses;
    ParseContext Context{State.Run, State.Sites, State.StopRequested,
                         [this](const QString& text) { Statuses.append(text); }, Prompt};
};

// A page of tests/fixtures/web, decoded as UTF-8.
inline QString FixturePage(const QString& name)
{
    QFile file(qEnvironmentVariable("QUORVEX_TEST_FIXTURES") + QStringLiteral("/web/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("fixture %s is missing", qPrintable(file.fileName()));
    return QString::fromUtf8(file.readAll());
}
