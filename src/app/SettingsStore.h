#pragma once
// The settings store: text values under key paths, kept in one JSON file and rewritten
// atomically after every change. It knows nothing of scrambling.

#include <QHash>
#include <QString>

class SettingsStore {
public:
    explicit SettingsStore(QString filePath);

    // Reads the file. False when it exists but cannot be read as a settings file; the store then
    // leaves the file alone and refuses every write.
    bool Load();

    void SetRegValue(const QString& keyPath, const QString& valueName, const QString& data);
    // Empty text for a key or value that does not exist; a read creates nothing.
    QString GetRegValue(const QString& keyPath, const QString& valueName) const;
    // Removes the key with all its values; a missing key, or one with sub-keys, is passed over.
    void DeleteRegKey(const QString& keyPath);

    bool KeyExists(const QString& keyPath) const { return keys.contains(keyPath); }
    QStringList ValueNames(const QString& keyPath) const;
    // True once a change could not be written to the file.
    bool WriteFailed() const { return writeFailed; }
    const QString& FilePath() const { return path; }

    // Holds back the file write until the outermost batch ends, so a list rewritten value by
    // value reaches the file in one piece.
    class Batch {
    public:
        explicit Batch(SettingsStore& store) : store(store) { ++store.batchDepth; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        SettingsStore& store;
    };

private:
    void Changed();
    void WriteFile();

    QString path;
    QHash<QString, QHash<QString, QString>> keys;
    bool broken = false;
    bool writeFailed = false;
    bool dirty = false;
    int batchDepth = 0;
};
