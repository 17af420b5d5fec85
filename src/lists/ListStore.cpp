#include "lists/ListStore.h"

#include "app/Names.h"
#include "app/Scrambler.h"
#include "app/SettingsStore.h"

namespace {

QString StoredName(const QString& logicalName)
{
    return ScrambleText(QLatin1String(ScrambleKey), logicalName);
}

void WriteValue(SettingsStore& store, const QString& keyPath, const QString& logicalName, const QString& content)
{
    store.SetRegValue(keyPath, StoredName(logicalName),
                      ScrambleText(QLatin1String(ScrambleKey), EscapeStoredText(content)));
}

QString ReadValue(const SettingsStore& store, const QString& keyPath, const QString& logicalName)
{
    return UnescapeStoredText(
        UnscrambleText(QLatin1String(ScrambleKey), store.GetRegValue(keyPath, StoredName(logicalName))));
}

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

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

QString EscapeStoredText(const QString& text)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(text.size());
    const QByteArray utf8 = text.toUtf8();
    for (const char ch : utf8) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 32 && byte <= 126 && byte != '%') {
            out.append(QLatin1Char(ch));
        } else {
            out.append(QLatin1Char('%'));
            out.append(QLatin1Char(hex[byte >> 4]));
            out.append(QLatin1Char(hex[byte & 0xF]));
        }
    }
    return out;
}

QString UnescapeStoredText(const QString& text)
{
    if (!text.contains(QLatin1Char('%')))
        return text;
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%') && i + 2 < text.size() && HexValue(text.at(i + 1)) >= 0 &&
            HexValue(text.at(i + 2)) >= 0) {
            bytes.append(char(HexValue(text.at(i + 1)) * 16 + HexValue(text.at(i + 2))));
            i += 2;
        } else {
            bytes.append(c.toLatin1());
        }
    }
    return QString::fromUtf8(bytes);
}

bool ListsNeverStored(const SettingsStore& store)
{
    return store.GetRegValue(PRURLKey, StoredName(QStringLiteral("PRURLNum"))).isEmpty();
}

void InitURLLists(ListState& state, SettingsStore& store)
{
    SettingsStore::Batch batch(store);
    WriteValue(store, PRURLKey, QStringLiteral("PRURLNum"), QStringLiteral("0"));
    WriteValue(store, PRURLKey, QStringLiteral("CheckExtractKeyword"), BoolText(false));
    WriteValue(store, QuorvexURLKey, QStringLiteral("QUORVEXURLNum"), QStringLiteral("0"));
    WriteValue(store, QuorvexURLKey, QStringLiteral("TOP10List"), BoolText(false));
    state.CheckExtractKeyword = false;
    state.TOP10List = false;
}

bool LoadURLLists(ListState& state, const SettingsStore& store)
{
    ListState loaded = state;
    int count = 0;
    if (!ToCount(ReadValue(store, PRURLKey, QStringLiteral("PRURLNum")), count))
        return false;
    loaded.PRURLList.clear();
    for (int n = 1; n <= count; ++n) {
        PRURLEntry entry;
        entry.URL = ReadValue(store, PRURLKey, Numbered("PRURL", n));
        if (!ToInteger(ReadValue(store, PRURLKey, Numbered("PRURLUnChecked", n)), entry.Checked))
            return false;
        loaded.PRURLList.append(entry);
    }
    if (!ToBoolean(ReadValue(store, PRURLKey, QStringLiteral("CheckExtractKeyword")), loaded.CheckExtractKeyword))
        return false;
    if (!ToCount(ReadValue(store, QuorvexURLKey, QStringLiteral("QUORVEXURLNum")), count))
        return false;
    loaded.QuorvexList.clear();
    for (int n = 1; n <= count; ++n) {
        QuorvexEntry entry;
        entry.URL = ReadValue(store, QuorvexURLKey, Numbered("QUORVEXURL", n));
        if (!ToInteger(ReadValue(store, QuorvexURLKey, Numbered("QUORVEXURLUnChecked", n)), entry.Checked))
            return false;
        entry.Product = ReadValue(store, QuorvexURLKey, Numbered("QUORVEXProduct", n));
        entry.Keyword = ReadValue(store, QuorvexURLKey, Numbered("QUORVEXKeyword", n));
        loaded.QuorvexList.append(entry);
    }
    if (!ToBoolean(ReadValue(store, QuorvexURLKey, QStringLiteral("TOP10List")), loaded.TOP10List))
        return false;
    state = loaded;
    return true;
}

void SavePRURLList(const ListState& state, SettingsStore& store)
{
    SettingsStore::Batch batch(store);
    store.DeleteRegKey(PRURLKey);
    for (int n = 1; n <= state.PRURLCount(); ++n) {
        const PRURLEntry& entry = state.PRURLList.at(n - 1);
        WriteValue(store, PRURLKey, Numbered("PRURL", n), entry.URL);
        WriteValue(store, PRURLKey, Numbered("PRURLUnChecked", n), QString::number(entry.Checked));
    }
    WriteValue(store, PRURLKey, QStringLiteral("PRURLNum"), QString::number(state.PRURLCount()));
    WriteValue(store, PRURLKey, QStringLiteral("CheckExtractKeyword"), BoolText(state.CheckExtractKeyword));
}

void SaveQuorvexURLList(const ListState& state, SettingsStore& store)
{
    SettingsStore::Batch batch(store);
    store.DeleteRegKey(QuorvexURLKey);
    for (int n = 1; n <= state.QuorvexCount(); ++n) {
        const QuorvexEntry& entry = state.QuorvexList.at(n - 1);
        WriteValue(store, QuorvexURLKey, Numbered("QUORVEXURL", n), entry.URL);
        WriteValue(store, QuorvexURLKey, Numbered("QUORVEXURLUnChecked", n), QString::number(entry.Checked));
        WriteValue(store, QuorvexURLKey, Numbered("QUORVEXProduct", n), entry.Product);
        WriteValue(store, QuorvexURLKey, Numbered("QUORVEXKeyword", n), entry.Keyword);
    }
    WriteValue(store, QuorvexURLKey, QStringLiteral("QUORVEXURLNum"), QString::number(state.QuorvexCount()));
    WriteValue(store, QuorvexURLKey, QStringLiteral("TOP10List"), BoolText(state.TOP10List));
}

void SaveEntryChecked(const ListState& state, SettingsStore& store, ListKind list, int n)
{
    if (list == ListKind::PageRank) {
        if (n >= 1 && n <= state.PRURLCount())
            WriteValue(store, PRURLKey, Numbered("PRURLUnChecked", n),
                       QString::number(state.PRURLList.at(n - 1).Checked));
    } else if (n >= 1 && n <= state.QuorvexCount()) {
        WriteValue(store, QuorvexURLKey, Numbered("QUORVEXURLUnChecked", n),
                   QString::number(state.QuorvexList.at(n - 1).Checked));
    }
}

void SaveOption(const ListState& state, SettingsStore& store, ListKind list)
{
    if (list == ListKind::PageRank)
        WriteValue(store, PRURLKey, QStringLiteral("CheckExtractKeyword"), BoolText(state.CheckExtractKeyword));
    else
        WriteValue(store, QuorvexURLKey, QStringLiteral("TOP10List"), BoolText(state.TOP10List));
}

void RemoveQuorvexEntry(ListState& state, SettingsStore& store, int n)
{
    if (n < 1 || n > state.QuorvexCount())
        return;
    state.QuorvexList.removeAt(n - 1);
    SaveQuorvexURLList(state, store);
}

void RemoveAllEntries(ListState& state, SettingsStore& store, ListKind list)
{
    if (list == ListKind::PageRank) {
        state.PRURLList.clear();
        SavePRURLList(state, store);
    } else {
        state.QuorvexList.clear();
        SaveQuorvexURLList(state, store);
    }
}
