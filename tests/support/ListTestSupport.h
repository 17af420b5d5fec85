#pragma once
// Reading the stored lists back the way the program stores them, and a child process for the
// faults that need one (a file size limit, a killed copy).

#include "base/Names.h"
#include "base/Scrambler.h"
#include "base/SettingsStore.h"
#include "base/Sqlite.h"

#include <QFileInfo>
#include <QMap>
#include <QSet>

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// The logical names stored under a key, unscrambled.
inline QSet<QString> StoredNames(const SettingsStore& store, const QString& key)
{
    QSet<QString> names;
    for (const QString& name : store.ValueNames(key))
        names.insert(UnscrambleText(QLatin1String(ScrambleKey), name));
    return names;
}

// The unscrambled content of one logical value.
inline QString StoredValue(const SettingsStore& store, const QString& key, const QString& logical)
{
    return UnscrambleText(QLatin1String(ScrambleKey),
                          store.GetRegValue(key, ScrambleText(QLatin1String(ScrambleKey), logical)));
}

// Every row of a settings file as "key path|value name" to data, read straight from the file.
inline QMap<QString, QString> StoredRows(const QString& path)
{
    QMap<QString, QString> rows;
    SqliteConnection db(path, SqliteConnection::Mode::ReadOnly);
    SqliteStatement select(db, QStringLiteral("SELECT key_path, value_name, data FROM settings"));
    while (select.Next())
        rows.insert(select.Text(0) + QLatin1Char('|') + select.Text(1), select.Text(2));
    return rows;
}

// Runs work in a forked child and returns what it answered (empty when it could not run). With
// stays given, the child then waits until it is killed and *stays names it; otherwise it is reaped.
inline QByteArray AnswerOfChild(const std::function<QByteArray()>& work, pid_t* stays = nullptr)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const pid_t child = fork();
    if (child < 0)
        return {};
    if (child == 0) {
        ::close(channel[0]);
        const QByteArray answer = work();
        const bool told = ::write(channel[1], answer.constData(), size_t(answer.size())) == answer.size();
        ::close(channel[1]);
        while (stays)
            pause();
        _exit(told ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray answer;
    char buffer[256];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, got);
    ::close(channel[0]);
    if (stays)
        *stays = child;
    else
        waitpid(child, nullptr, 0);
    return answer;
}

// Leaves the SQLite file as a writer killed inside a transaction leaves it: a hot rollback journal
// beside a file that already holds part of the change (change, then enough new pages to spill the
// cache). False when no journal was left.
inline bool KillWriterInTransaction(const QString& path, const QString& change)
{
    pid_t child = 0;
    const QByteArray begun = AnswerOfChild(
        [&] {
            static SqliteConnection db(path, SqliteConnection::Mode::ReadWrite);
            const bool ok =
                db.Execute(QStringLiteral("PRAGMA cache_size=2; BEGIN IMMEDIATE;")) && db.Execute(change) &&
                db.Execute(QStringLiteral("CREATE TABLE spilled(x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                          "SELECT i + 1 FROM n WHERE i < 200) INSERT INTO spilled "
                                          "SELECT randomblob(4000) FROM n"));
            return QByteArray(ok ? "begun" : "failed");
        },
        &child);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return begun == "begun" && QFileInfo(path + QStringLiteral("-journal")).size() > 0;
}
