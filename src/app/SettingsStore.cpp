#include "app/SettingsStore.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

SettingsStore::SettingsStore(QString filePath) : path(std::move(filePath)) {}

bool SettingsStore::Load()
{
    keys.clear();
    broken = false;
    QFile file(path);
    if (!file.exists())
        return true;
    const auto fail = [this] {
        keys.clear();
        broken = true;
        return false;
    };
    if (!file.open(QIODevice::ReadOnly))
        return fail();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return fail();
    const QJsonObject root = doc.object();
    for (auto key = root.begin(); key != root.end(); ++key) {
        if (!key->isObject())
            return fail();
        QHash<QString, QString>& values = keys[key.key()];
        const QJsonObject stored = key->toObject();
        for (auto value = stored.begin(); value != stored.end(); ++value) {
            if (!value->isString())
                return fail();
            values.insert(value.key(), value->toString());
        }
    }
    return true;
}

void SettingsStore::SetRegValue(const QString& keyPath, const QString& valueName, const QString& data)
{
    if (broken) {
        writeFailed = true;
        return;
    }
    keys[keyPath].insert(valueName, data);
    Changed();
}

QString SettingsStore::GetRegValue(const QString& keyPath, const QString& valueName) const
{
    const auto key = keys.constFind(keyPath);
    if (key == keys.cend())
        return {};
    return key->value(valueName);
}

void SettingsStore::DeleteRegKey(const QString& keyPath)
{
    if (broken || !keys.contains(keyPath))
        return;
    const QString subKeyPrefix = keyPath + QLatin1Char('\\');
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        if (it.key().startsWith(subKeyPrefix))
            return;
    }
    keys.remove(keyPath);
    Changed();
}

QStringList SettingsStore::ValueNames(const QString& keyPath) const
{
    return keys.value(keyPath).keys();
}

SettingsStore::Batch::~Batch()
{
    if (--store.batchDepth == 0 && store.dirty)
        store.WriteFile();
}

void SettingsStore::Changed()
{
    dirty = true;
    if (batchDepth == 0)
        WriteFile();
}

void SettingsStore::WriteFile()
{
    dirty = false;
    QJsonObject root;
    for (auto key = keys.cbegin(); key != keys.cend(); ++key) {
        QJsonObject values;
        for (auto value = key->cbegin(); value != key->cend(); ++value)
            values.insert(value.key(), value.value());
        root.insert(key.key(), values);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0 ||
        !file.commit())
        writeFailed = true;
}
