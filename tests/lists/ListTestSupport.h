#pragma once
// Reading the stored lists back the way the program stores them.

#include "app/Names.h"
#include "app/Scrambler.h"
#include "app/SettingsStore.h"
#include "app/Sqlite.h"

#include <QMap>
#include <QSet>

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
