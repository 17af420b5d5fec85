#include "lists/ListEdits.h"

#include "lists/ListStore.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

bool StartsWithNoCase(const QString& text, qsizetype from, QLatin1String prefix)
{
    return QStringView(text).mid(from).startsWith(prefix, Qt::CaseInsensitive);
}

// True when the key was not in the set yet.
bool Insert(QSet<QString>& set, const QString& key)
{
    const auto size = set.size();
    set.insert(key);
    return set.size() != size;
}

QStringList SplitLines(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    return text.split(lineBreak);
}

} // namespace

QString ListFullText()
{
    return QStringLiteral("A list holds at most %1 entries.").arg(MaxListEntries);
}

QString NormalisePRURL(const QString& text)
{
    qsizetype rest = 0;
    QString scheme = QStringLiteral("http://www.");
    if (StartsWithNoCase(text, 0, QLatin1String("https://"))) {
        rest = 8;
        scheme = QStringLiteral("https://www.");
    } else if (StartsWithNoCase(text, 0, QLatin1String("http://"))) {
        rest = 7;
    }
    if (StartsWithNoCase(text, rest, QLatin1String("www.")))
        rest += 4;
    return scheme + text.mid(rest);
}

bool NamesAHost(const QString& address)
{
    if (address.contains(QLatin1Char('\n')) || address.contains(QLatin1Char('\r')))
        return false;
    const QString host = QUrl(NormalisePRURL(address)).host();
    const QLatin1String added("www.");
    if (!host.startsWith(added))
        return false;
    const QStringView name = QStringView(host).mid(added.size());
    return !name.contains(QLatin1Char(' ')) &&
           std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

EditResult AcceptPRURLText(ListState& state, SettingsStore& store, const QString& text, bool addMode)
{
    const QStringList lines = SplitLines(text);
    bool duplicateMet = false;
    QList<PRURLEntry> accepted;
    QSet<QString> listed; // lower-cased addresses, in Add mode
    if (addMode) {
        listed.reserve(state.PRURLCount() + lines.size());
        for (const PRURLEntry& entry : std::as_const(state.PRURLList))
            listed.insert(entry.URL.toLower());
    }
    for (const QString& rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty())
            continue;
        const QString url = NormalisePRURL(line);
        if (addMode && !Insert(listed, url.toLower())) {
            duplicateMet = true;
            continue;
        }
        accepted.append({url, 1});
    }
    const QList<PRURLEntry> before = state.PRURLList;
    if (addMode) {
        if (state.PRURLCount() + accepted.size() > MaxListEntries)
            return EditResult::ListFull;
        state.PRURLList.append(accepted);
    } else {
        if (accepted.size() > MaxListEntries)
            return EditResult::ListFull;
        // An address that was listed before, to the letter, keeps the flag of its first listing.
        QHash<QString, int> flags;
        flags.reserve(before.size());
        for (const PRURLEntry& old : before) {
            if (!flags.contains(old.URL))
                flags.insert(old.URL, old.Checked);
        }
        for (PRURLEntry& entry : accepted)
            entry.Checked = flags.value(entry.URL, 1);
        state.PRURLList = accepted;
    }
    if (!SavePRURLList(state, store)) {
        state.PRURLList = before;
        return EditResult::NotSaved;
    }
    return duplicateMet ? EditResult::DuplicateDropped : EditResult::Saved;
}

QString CompleteQuorvexURL(const QString& url)
{
    const QString lower = url.toLower();
    if (lower.contains(QLatin1String("http://")) || lower.contains(QLatin1String("https://")))
        return url;
    return QStringLiteral("http://") + url;
}

EditResult AcceptQuorvexEntry(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                              const QString& keyword, bool addMode, int selectedIndex)
{
    const QString address = CompleteQuorvexURL(url);
    QSet<std::pair<QString, QString>> listed;
    listed.reserve(state.QuorvexCount());
    for (int n = 1; n <= state.QuorvexCount(); ++n) {
        if (addMode || n != selectedIndex) {
            const QuorvexEntry& entry = state.QuorvexList.at(n - 1);
            listed.insert({entry.URL.toLower(), entry.Product.toLower()});
        }
    }
    if (listed.contains({address.toLower(), product.toLower()}))
        return EditResult::Duplicate;
    if (addMode)
        return MakeQUORVEXProject(state, store, address, product, keyword);
    if (selectedIndex < 1 || selectedIndex > state.QuorvexCount())
        return EditResult::Saved;
    QuorvexEntry& entry = state.QuorvexList[selectedIndex - 1];
    const QuorvexEntry before = entry;
    entry.URL = address;
    entry.Product = product;
    entry.Keyword = keyword;
    if (SaveQuorvexURLList(state, store))
        return EditResult::Saved;
    state.QuorvexList[selectedIndex - 1] = before;
    return EditResult::NotSaved;
}

EditResult MakeQUORVEXProject(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                              const QString& keyword)
{
    if (state.QuorvexCount() >= MaxListEntries)
        return EditResult::ListFull;
    state.QuorvexList.append({url, product, keyword, 1});
    if (SaveQuorvexURLList(state, store))
        return EditResult::Saved;
    state.QuorvexList.removeLast();
    return EditResult::NotSaved;
}
