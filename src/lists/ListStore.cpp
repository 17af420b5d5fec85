#include "lists/ListStore.h"

#include "base/Names.h"
#include "base/Scrambler.h"
#include "base/SettingsStore.h"
#include "base/StoredValue.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace {

// Every value of one list key, read in one pass and unscrambled once: the numbered ones ("PRURL12")
// by their prefix and number, the others by name.
class StoredKey {
public:
    StoredKey(const SettingsStore& store, const QString& keyPath, std::initializer_list<QLatin1String> prefixes)
        : prefixes(prefixes), numbered(qsizetype(prefixes.size()))
    {
        store.ReadKey(keyPath, [this](const QString& name, const QString& data) { Take(name, data); });
    }
    QString Named(const QString& logicalName) const { return named.value(logicalName); }
    // The contents of prefix + 1, prefix + 2, ..., by number - 1, for the prefix given at this
    // place when the key was read; a missing one is empty.
    const QStringList& Numbered(int prefix) const { return numbered.at(prefix); }

private:
    void Take(const QString& storedName, const QString& storedData)
    {
        const QString logical = UnscrambleText(QLatin1String(ScrambleKey), storedName);
        const QString content = UnescapeStoredText(UnscrambleText(QLatin1String(ScrambleKey), storedData));
        qsizetype digits = logical.size();
        while (digits > 0 && logical.at(digits - 1).isDigit() && logical.at(digits - 1).unicode() < 128)
            --digits;
        const int n = digits < logical.size() && logical.at(digits) != QLatin1Char('0')
                          ? QStringView(logical).mid(digits).toInt()
                          : 0;
        const QStringView prefix = QStringView(logical).left(digits);
        const auto known = std::find(prefixes.cbegin(), prefixes.cend(), prefix);
        if (n < 1 || n > MaxListEntries || known == prefixes.cend()) {
            named.insert(logical, content);
            return;
        }
        QStringList& texts = numbered[known - prefixes.cbegin()];
        if (texts.size() < n)
            texts.resize(n);
        texts[n - 1] = content;
    }

    QList<QLatin1String> prefixes;
    QHash<QString, QString> named;
    QList<QStringList> numbered;
};

QString Numbered(const char* prefix, int n)
{
    return QLatin1String(prefix) + QString::number(n);
}

QString BoolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Counts and flags are 16-bit integers.
bool ToInteger(const QString& text, int& out)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < -32768 || value > 32767)
        return false;
    out = value;
    return true;
}

bool ToBoolean(const QString& text, bool& out)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        out = true;
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        out = false;
        return true;
    }
    int number = 0;
    if (!ToInteger(t, number))
        return false;
    out = number != 0;
    return true;
}

bool ToCount(const QString& text, int& out)
{
    return ToInteger(text, out) && out >= 0;
}

// A market read back is taken only whole and as the program stores it; anything else (damage, a
// hand-edited file) leaves the entry on the default market rather than searching a market that was
// never chosen.
Market ReadBackMarket(const Market& stored)
{
    return MarketProblem(stored).isEmpty() ? NormalisedMarket(stored) : Market{};
}

// Writes the fields that are set, each under prefix + its name + suffix ("QUORVEXCountry" + n beside
// the entries); an unset field is no value at all.
void WriteMarket(SettingsStore& store, const QString& keyPath, const QString& prefix, const QString& suffix,
                 const Market& market)
{
    const std::pair<const char*, const QString&> fields[] = {{"Country", market.Country},
                                                             {"Language", market.Language},
                                                             {"Device", market.Device},
                                                             {"Location", market.Location}};
    for (const auto& [name, text] : fields) {
        if (!text.isEmpty())
            WriteStoredValue(store, keyPath, prefix + QLatin1String(name) + suffix, text);
    }
}

} // namespace

bool ListsNeverStored(const SettingsStore& store)
{
    return !store.KeyExists(PRURLKey) && !store.KeyExists(QuorvexURLKey);
}

bool InitURLLists(ListState& state, SettingsStore& store)
{
    SettingsStore::Batch batch(store);
    WriteStoredValue(store, PRURLKey, QStringLiteral("PRURLNum"), QStringLiteral("0"));
    WriteStoredValue(store, PRURLKey, QStringLiteral("CheckExtractKeyword"), BoolText(false));
    WriteStoredValue(store, QuorvexURLKey, QStringLiteral("QUORVEXURLNum"), QStringLiteral("0"));
    WriteStoredValue(store, QuorvexURLKey, QStringLiteral("TOP10List"), BoolText(false));
    state.CheckExtractKeyword = false;
    state.TOP10List = false;
    return batch.End();
}

bool LoadURLLists(ListState& state, const SettingsStore& store)
{
    const StoredKey pages(store, PRURLKey,
                          {QLatin1String("PRURL"), QLatin1String("PRURLUnChecked"), QLatin1String("PRURLTyped")});
    const StoredKey keywords(store, QuorvexURLKey,
                             {QLatin1String("QUORVEXURL"), QLatin1String("QUORVEXURLUnChecked"),
                              QLatin1String("QUORVEXProduct"), QLatin1String("QUORVEXKeyword"),
                              QLatin1String("QUORVEXCountry"), QLatin1String("QUORVEXLanguage"),
                              QLatin1String("QUORVEXDevice"), QLatin1String("QUORVEXLocation")});
    ListState loaded = state;
    int count = 0;
    if (!ToCount(pages.Named(QStringLiteral("PRURLNum")), count))
        return false;
    {
        const QStringList& urls = pages.Numbered(0);
        const QStringList& flags = pages.Numbered(1);
        const QStringList& typed = pages.Numbered(2);
        loaded.PRURLList.clear();
        loaded.PRURLList.reserve(count);
        for (int i = 0; i < count; ++i) {
            PRURLEntry entry;
            entry.URL = urls.value(i);
            if (!ToInteger(flags.value(i), entry.Checked))
                return false;
            entry.TypedURL = typed.value(i);
            loaded.PRURLList.append(entry);
        }
    }
    if (!ToBoolean(pages.Named(QStringLiteral("CheckExtractKeyword")), loaded.CheckExtractKeyword))
        return false;
    if (!ToCount(keywords.Named(QStringLiteral("QUORVEXURLNum")), count))
        return false;
    {
        const QStringList& urls = keywords.Numbered(0);
        const QStringList& flags = keywords.Numbered(1);
        const QStringList& products = keywords.Numbered(2);
        const QStringList& keywordLists = keywords.Numbered(3);
        const QStringList& countries = keywords.Numbered(4);
        const QStringList& languages = keywords.Numbered(5);
        const QStringList& devices = keywords.Numbered(6);
        const QStringList& locations = keywords.Numbered(7);
        loaded.QuorvexList.clear();
        loaded.QuorvexList.reserve(count);
        for (int i = 0; i < count; ++i) {
            QuorvexEntry entry;
            entry.URL = urls.value(i);
            if (!ToInteger(flags.value(i), entry.Checked))
                return false;
            entry.Product = products.value(i);
            entry.Keyword = keywordLists.value(i);
            entry.OwnMarket =
                ReadBackMarket({countries.value(i), languages.value(i), devices.value(i), locations.value(i)});
            loaded.QuorvexList.append(entry);
        }
    }
    if (!ToBoolean(keywords.Named(QStringLiteral("TOP10List")), loaded.TOP10List))
        return false;
    const auto defaultField = [&store](const char* name) {
        return ReadStoredValue(store, MarketKey, QLatin1String(name));
    };
    loaded.DefaultMarket = ReadBackMarket(
        {defaultField("Country"), defaultField("Language"), defaultField("Device"), defaultField("Location")});
    state = loaded;
    return true;
}

bool SavePRURLList(const ListState& state, SettingsStore& store)
{
    SettingsStore::Batch batch(store);
    store.DeleteRegKey(PRURLKey);
    for (int n = 1; n <= state.PRURLCount(); ++n) {
        const PRURLEntry& entry = state.PRURLList.at(n - 1);
        WriteStoredValue(store, PRURLKey, Numbered("PRURL", n), entry.URL);
        WriteStoredValue(store, PRURLKey, Numbered("PRURLUnChecked", n), QString::number(entry.Checked));
        // A value of its own, which an earlier version passes over and drops with its next rewrite.
        if (!entry.TypedURL.isEmpty())
            WriteStoredValue(store, PRURLKey, Numbered("PRURLTyped", n), entry.TypedURL);
    }
    WriteStoredValue(store, PRURLKey, QStringLiteral("PRURLNum"), QString::number(state.PRURLCount()));
    WriteStoredValue(store, PRURLKey, QStringLiteral("CheckExtractKeyword"), BoolText(state.CheckExtractKeyword));
    return batch.End();
}

bool SaveQuorvexURLList(const ListState& state, SettingsStore& store)
{
    SettingsStore::Batch batch(store);
    store.DeleteRegKey(QuorvexURLKey);
    for (int n = 1; n <= state.QuorvexCount(); ++n) {
        const QuorvexEntry& entry = state.QuorvexList.at(n - 1);
        WriteStoredValue(store, QuorvexURLKey, Numbered("QUORVEXURL", n), entry.URL);
        WriteStoredValue(store, QuorvexURLKey, Numbered("QUORVEXURLUnChecked", n), QString::number(entry.Checked));
        WriteStoredValue(store, QuorvexURLKey, Numbered("QUORVEXProduct", n), entry.Product);
        WriteStoredValue(store, QuorvexURLKey, Numbered("QUORVEXKeyword", n), entry.Keyword);
        // Values of their own beside the historical four, which an earlier version passes over and
        // drops with its next rewrite; the key's deletion above takes those of a shifted entry.
        WriteMarket(store, QuorvexURLKey, QStringLiteral("QUORVEX"), QString::number(n), entry.OwnMarket);
    }
    WriteStoredValue(store, QuorvexURLKey, QStringLiteral("QUORVEXURLNum"), QString::number(state.QuorvexCount()));
    WriteStoredValue(store, QuorvexURLKey, QStringLiteral("TOP10List"), BoolText(state.TOP10List));
    return batch.End();
}

bool SaveDefaultMarket(const ListState& state, SettingsStore& store)
{
    SettingsStore::Batch batch(store);
    store.DeleteRegKey(MarketKey);
    WriteMarket(store, MarketKey, QString(), QString(), state.DefaultMarket);
    return batch.End();
}

bool SaveEntryChecked(const ListState& state, SettingsStore& store, ListKind list, int n)
{
    if (list == ListKind::PageRank) {
        if (n < 1 || n > state.PRURLCount())
            return true;
        return WriteStoredValue(store, PRURLKey, Numbered("PRURLUnChecked", n),
                                QString::number(state.PRURLList.at(n - 1).Checked));
    }
    if (n < 1 || n > state.QuorvexCount())
        return true;
    return WriteStoredValue(store, QuorvexURLKey, Numbered("QUORVEXURLUnChecked", n),
                            QString::number(state.QuorvexList.at(n - 1).Checked));
}

bool SaveOption(const ListState& state, SettingsStore& store, ListKind list)
{
    if (list == ListKind::PageRank)
        return WriteStoredValue(store, PRURLKey, QStringLiteral("CheckExtractKeyword"),
                                BoolText(state.CheckExtractKeyword));
    return WriteStoredValue(store, QuorvexURLKey, QStringLiteral("TOP10List"), BoolText(state.TOP10List));
}

bool RemoveQuorvexEntry(ListState& state, SettingsStore& store, int n)
{
    if (n < 1 || n > state.QuorvexCount())
        return true;
    const QuorvexEntry removed = state.QuorvexList.takeAt(n - 1);
    if (SaveQuorvexURLList(state, store))
        return true;
    state.QuorvexList.insert(n - 1, removed);
    return false;
}

bool RemoveAllEntries(ListState& state, SettingsStore& store, ListKind list)
{
    if (list == ListKind::PageRank) {
        const QList<PRURLEntry> before = std::exchange(state.PRURLList, {});
        if (SavePRURLList(state, store))
            return true;
        state.PRURLList = before;
        return false;
    }
    const QList<QuorvexEntry> before = std::exchange(state.QuorvexList, {});
    if (SaveQuorvexURLList(state, store))
        return true;
    state.QuorvexList = before;
    return false;
}
