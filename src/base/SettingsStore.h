#pragma once
// The settings store: text values under key paths, one row each in the SQLite file Settings.db.
// Every primitive is one statement; a batch is one transaction. It knows nothing of scrambling.

#include "base/Sqlite.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class SettingsStore {
public:
    // filePath is the SQLite file. importPath names the settings file of the earlier version: while
    // filePath does not exist, Load() takes that file's values over once.
    explicit SettingsStore(QString filePath, QString importPath = {});

    // Opens the file, making it when it is absent or holds 0 bytes, as a kill during the very first
    // start leaves it (with the import, in one transaction, under a temporary name that is renamed
    // into place). False when the file, or the file to import, cannot be read as settings whole
    // (damaged, another program's, locked by another program); nothing is written then and every
    // write is refused.
    bool Load();
    // Opens for reading only: nothing is made, imported into the file or written. A file to import
    // is read into memory instead; with neither file, or one of 0 bytes, the store reads as empty.
    // A file that Load() refuses is refused here too. Writes are refused.
    bool LoadReadOnly();

    // The writes return false when the change was refused or failed; the store has recorded and
    // reported it. Inside a batch, true only says that the batch goes on.
    bool SetRegValue(const QString& keyPath, const QString& valueName, const QString& data);
    // Empty text for a key or value that does not exist; a read creates nothing.
    QString GetRegValue(const QString& keyPath, const QString& valueName) const;
    // Removes the key with all its values; a missing key, or one with sub-keys, is passed over.
    bool DeleteRegKey(const QString& keyPath);

    // A key exists while it holds a value.
    bool KeyExists(const QString& keyPath) const;
    QStringList ValueNames(const QString& keyPath) const;
    // Hands every value of one key, name and data, to take: one statement for the whole key.
    void ReadKey(const QString& keyPath,
                 const std::function<void(const QString& name, const QString& data)>& take) const;

    // True once a change could not be written; LastError() tells why the last one failed.
    bool WriteFailed() const { return writeFailed; }
    const QString& LastError() const { return lastError; }
    const QString& FilePath() const { return path; }
    // Told at once of every failed write (a batch reports once, when it is rolled back).
    void SetFailureHandler(std::function<void(const QString& reason)> handler) { onFailure = std::move(handler); }

    // Makes the writes until the outermost batch ends one transaction: all of them reach the file,
    // or, when one fails or the commit fails, none does.
    class Batch {
    public:
        explicit Batch(SettingsStore& store);
        ~Batch() { End(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        // Ends the batch before its scope does. True when every write in it succeeded and, for the
        // outermost batch, the commit too.
        bool End();

    private:
        SettingsStore& store;
        bool ended = false;
        bool succeeded = false;
    };

private:
    bool Open(const QString& filePath, SqliteConnection::Mode mode);
    // Opens the existing file after the check of every page; false with the reason.
    bool OpenStored(SqliteConnection::Mode mode);
    bool CreateAndImport(bool readOnly);
    bool Prepare();
    void Close();
    // True when the statement ran; otherwise the failure is recorded and reported.
    bool Write(SqliteStatement& statement);
    void Failed(const QString& reason);
    bool Refused();

    QString path;
    QString importPath;
    bool readOnly = false;
    std::unique_ptr<SqliteConnection> db;
    std::unique_ptr<SqliteStatement> setValue, getValue, deleteKey, keyExists, keyValues;
    std::unique_ptr<SqliteTransaction> transaction;
    int batchDepth = 0;
    bool batchFailed = false;
    bool writeFailed = false;
    QString lastError;
    std::function<void(const QString&)> onFailure;
};

// What the windows and the command line say when a change could not be saved.
QString SettingsNotSavedText(const QString& reason);
