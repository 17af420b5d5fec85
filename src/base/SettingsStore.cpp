#include "base/SettingsStore.h"

#include "base/Names.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString MemoryDatabase = QStringLiteral(":memory:");

// One row per value; a key exists while it has a row.
const QString CreateTable =
    QStringLiteral("CREATE TABLE IF NOT EXISTS settings(key_path TEXT NOT NULL, value_name TEXT NOT NULL, "
                   "data TEXT NOT NULL, PRIMARY KEY(key_path, value_name)) WITHOUT ROWID");

// What lies at the store's path. A symbolic link counts as a file even where it leads nowhere, so
// that it is refused rather than replaced.
enum class StoredFile { Absent, Empty, Present };

StoredFile Examine(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return StoredFile::Present;
    if (!info.exists())
        return StoredFile::Absent;
    return info.isFile() && info.size() == 0 ? StoredFile::Empty : StoredFile::Present;
}

using ImportedKeys = QList<std::pair<QString, QList<std::pair<QString, QString>>>>;

// The earlier version's file: one JSON object of key paths, each an object of value names and text.
bool ReadImportFile(const QString& path, ImportedKeys& keys, QString& error)
{
    keys.clear();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return true;
    error = QStringLiteral("%1 cannot be read").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject root = doc.object();
    for (auto key = root.begin(); key != root.end(); ++key) {
        if (!key->isObject())
            return false;
        QList<std::pair<QString, QString>> values;
        const QJsonObject stored = key->toObject();
        for (auto value = stored.begin(); value != stored.end(); ++value) {
            if (!value->isString())
                return false;
            values.append({value.key(), value->toString()});
        }
        keys.append({key.key(), values});
    }
    error.clear();
    return true;
}

bool WriteImported(SqliteConnection& db, const ImportedKeys& keys)
{
    SqliteTransaction transaction(db);
    if (!transaction.IsActive() || !db.Execute(CreateTable))
        return false;
    SqliteStatement insert(db, QStringLiteral("INSERT INTO settings(key_path, value_name, data) VALUES(?1, ?2, ?3)"));
    for (const auto& [keyPath, values] : keys) {
        for (const auto& [name, data] : values) {
            insert.Bind(1, keyPath);
            insert.Bind(2, name);
            insert.Bind(3, data);
            if (!insert.Run())
                return false;
        }
    }
    return transaction.Commit();
}

} // namespace

QString SettingsNotSavedText(const QString& reason)
{
    return QStringLiteral("The settings could not be saved: %1").arg(reason);
}

SettingsStore::SettingsStore(QString filePath, QString importPath)
    : path(std::move(filePath)), importPath(std::move(importPath))
{}

void SettingsStore::Close()
{
    transaction.reset();
    setValue.reset();
    getValue.reset();
    deleteKey.reset();
    keyExists.reset();
    keyValues.reset();
    db.reset();
    batchDepth = 0;
    batchFailed = false;
}

bool SettingsStore::Open(const QString& filePath, SqliteConnection::Mode mode)
{
    db = std::make_unique<SqliteConnection>(filePath, mode);
    if (!db->IsOpen()) {
        lastError = db->LastError();
        db.reset();
        return false;
    }
    return true;
}

bool SettingsStore::OpenStored(SqliteConnection::Mode mode)
{
    // Every page is checked before anything is read: a damaged page would otherwise read as
    // missing values, and the lists as never stored.
    bool ok = Open(path, mode) && db->CheckIntegrity();
    // A rollback journal, synced in full: a kill or a power cut leaves the last committed state.
    if (ok && mode != SqliteConnection::Mode::ReadOnly)
        ok = db->Execute(QStringLiteral("PRAGMA journal_mode=TRUNCATE; PRAGMA synchronous=FULL;"));
    ok = ok && Prepare();
    if (!ok) {
        const QString reason = db ? db->LastError() : lastError;
        lastError = db && db->WasBusy()
                        ? QStringLiteral("%1 is busy: another program holds a lock on it. Try again when it has "
                                         "finished.")
                              .arg(path)
                        : CannotReadText(path, reason);
        Close();
    }
    return ok;
}

bool SettingsStore::Load()
{
    Close();
    readOnly = false;
    // A file of 0 bytes holds nothing yet: it is made anew, as a missing one is.
    if (Examine(path) != StoredFile::Present && !CreateAndImport(false))
        return false;
    return OpenStored(SqliteConnection::Mode::ReadWrite);
}

bool SettingsStore::LoadReadOnly()
{
    Close();
    readOnly = true;
    if (Examine(path) == StoredFile::Present)
        return OpenStored(SqliteConnection::Mode::ReadOnly);
    if (CreateAndImport(true) && Prepare())
        return true;
    if (db)
        lastError = db->LastError();
    Close();
    return false;
}

bool SettingsStore::CreateAndImport(bool inMemory)
{
    ImportedKeys keys;
    if (!ReadImportFile(importPath, keys, lastError))
        return false;
    if (inMemory)
        return Open(MemoryDatabase, SqliteConnection::Mode::Create) && WriteImported(*db, keys);

    // Filled under a temporary name and renamed: a full disk or a kill during the import leaves no
    // Settings.db, so the next start imports again.
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    QFile::remove(building + QStringLiteral("-journal"));
    bool ok = false;
    {
        SqliteConnection fresh(building, SqliteConnection::Mode::Create);
        ok = fresh.IsOpen() && fresh.Execute(QStringLiteral("PRAGMA synchronous=FULL;")) && WriteImported(fresh, keys);
        if (!ok)
            lastError = fresh.LastError();
    }
    // A file of 0 bytes in the way holds nothing, and a journal beside it belongs to no committed
    // state: left there, SQLite would roll it back into the new file.
    QFile::remove(path + QStringLiteral("-journal"));
    if (ok && Examine(path) == StoredFile::Empty)
        QFile::remove(path);
    if (ok && !QFile::rename(building, path)) {
        lastError = CannotRenameText(building, path);
        ok = false;
    }
    if (!ok)
        QFile::remove(building);
    return ok;
}

bool SettingsStore::Prepare()
{
    setValue = std::make_unique<SqliteStatement>(
        *db, QStringLiteral("INSERT INTO settings(key_path, value_name, data) VALUES(?1, ?2, ?3) "
                            "ON CONFLICT(key_path, value_name) DO UPDATE SET data = excluded.data"));
    getValue = std::make_unique<SqliteStatement>(
        *db, QStringLiteral("SELECT data FROM settings WHERE key_path = ?1 AND value_name = ?2"));
    // A key with sub-keys stays: those are the rows whose path lies between "key\" and "key]".
    deleteKey = std::make_unique<SqliteStatement>(
        *db, QStringLiteral("DELETE FROM settings WHERE key_path = ?1 AND NOT EXISTS "
                            "(SELECT 1 FROM settings WHERE key_path >= ?2 AND key_path < ?3)"));
    keyExists = std::make_unique<SqliteStatement>(
        *db, QStringLiteral("SELECT EXISTS(SELECT 1 FROM settings WHERE key_path = ?1)"));
    keyValues = std::make_unique<SqliteStatement>(
        *db, QStringLiteral("SELECT value_name, data FROM settings WHERE key_path = ?1"));
    return setValue->IsValid() && getValue->IsValid() && deleteKey->IsValid() && keyExists->IsValid() &&
           keyValues->IsValid();
}

void SettingsStore::Failed(const QString& reason)
{
    writeFailed = true;
    lastError = reason;
    if (batchDepth > 0) {
        // Reported once, when the batch is rolled back.
        batchFailed = true;
        return;
    }
    if (onFailure)
        onFailure(reason);
}

bool SettingsStore::Refused()
{
    if (batchDepth > 0 && batchFailed)
        return true; // the batch is lost already: nothing more of it may reach the file
    if (!db || readOnly) {
        Failed(readOnly ? QStringLiteral("the settings are open for reading only")
                        : QStringLiteral("the settings could not be read"));
        return true;
    }
    return false;
}

bool SettingsStore::Write(SqliteStatement& statement)
{
    if (statement.Run())
        return true;
    Failed(db->LastError());
    return false;
}

bool SettingsStore::SetRegValue(const QString& keyPath, const QString& valueName, const QString& data)
{
    if (Refused())
        return false;
    setValue->Bind(1, keyPath);
    setValue->Bind(2, valueName);
    setValue->Bind(3, data);
    return Write(*setValue);
}

QString SettingsStore::GetRegValue(const QString& keyPath, const QString& valueName) const
{
    if (!db)
        return {};
    getValue->Bind(1, keyPath);
    getValue->Bind(2, valueName);
    const QString data = getValue->Next() ? getValue->Text(0) : QString();
    getValue->Reset();
    return data;
}

bool SettingsStore::DeleteRegKey(const QString& keyPath)
{
    if (Refused())
        return false;
    deleteKey->Bind(1, keyPath);
    deleteKey->Bind(2, keyPath + QLatin1Char('\\'));
    deleteKey->Bind(3, keyPath + QLatin1Char(']'));
    return Write(*deleteKey);
}

bool SettingsStore::KeyExists(const QString& keyPath) const
{
    if (!db)
        return false;
    keyExists->Bind(1, keyPath);
    const bool exists = keyExists->Next() && keyExists->Integer(0) != 0;
    keyExists->Reset();
    return exists;
}

QStringList SettingsStore::ValueNames(const QString& keyPath) const
{
    QStringList names;
    ReadKey(keyPath, [&names](const QString& name, const QString&) { names.append(name); });
    return names;
}

void SettingsStore::ReadKey(const QString& keyPath,
                            const std::function<void(const QString& name, const QString& data)>& take) const
{
    if (!db)
        return;
    keyValues->Bind(1, keyPath);
    while (keyValues->Next())
        take(keyValues->Text(0), keyValues->Text(1));
    keyValues->Reset();
}

SettingsStore::Batch::Batch(SettingsStore& store) : store(store)
{
    if (store.batchDepth++ > 0)
        return;
    store.batchFailed = false;
    if (!store.db || store.readOnly)
        return; // every write of the batch is refused and recorded
    store.transaction = std::make_unique<SqliteTransaction>(*store.db);
    if (!store.transaction->IsActive()) {
        store.transaction.reset();
        store.Failed(store.db->LastError());
    }
}

bool SettingsStore::Batch::End()
{
    if (ended)
        return succeeded;
    ended = true;
    if (--store.batchDepth > 0)
        return succeeded = !store.batchFailed;
    bool ok = !store.batchFailed;
    if (ok && store.transaction && !store.transaction->Commit()) {
        ok = false;
        store.lastError = store.db->LastError();
    }
    store.transaction.reset(); // rolls back what a failed batch wrote
    if (!ok) {
        store.writeFailed = true;
        if (store.onFailure)
            store.onFailure(store.lastError);
    }
    return succeeded = ok;
}
