#include "lists/ListEdits.h"

#include "lists/ListStore.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <utility>

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

// True when the address names its own scheme. A host and a port ("localhost:8080") read as a
// scheme and a path too, so an address that also reads as a host with a port names none.
bool NamesScheme(const QString& address)
{
    const QUrl asTyped(address);
    return asTyped.isValid() && !asTyped.scheme().isEmpty() && QUrl(QStringLiteral("http://") + address).port() == -1;
}

// The address as the user meant it: http when it names no scheme.
QString WithScheme(const QString& address)
{
    return NamesScheme(address) ? address : QStringLiteral("http://") + address;
}

// The market an entry keeps of the fields chosen for it. A field that is not chosen shows the
// default's in the dialog, so it takes the default's; the entry is searched in its own market whole.
Market ChosenMarket(const Market& chosen, const Market& fallback)
{
    const Market given = NormalisedMarket(chosen);
    if (given.IsEmpty())
        return {};
    const auto either = [](const QString& own, const QString& other) { return own.isEmpty() ? other : own; };
    return {either(given.Country, fallback.Country), either(given.Language, fallback.Language),
            either(given.Device, fallback.Device), either(given.Location, fallback.Location)};
}

} // namespace

QString RefusedAddressText(const QString& address)
{
    return QStringLiteral("'%1' is not a web address (http or https, with a host name).").arg(address);
}

QString ListFullText()
{
    return QStringLiteral("A list holds at most %1 entries.").arg(MaxListEntries);
}

QString DuplicateEntryText()
{
    return QStringLiteral("Duplicate URL and Product Enter !");
}

QString DuplicateDroppedText()
{
    return QStringLiteral("Duplicate URL has been deleted !");
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

bool IsWebAddress(const QString& address)
{
    // One line: a tolerant parse would take a line break into the path.
    if (std::any_of(address.begin(), address.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; }))
        return false;
    const QUrl url(WithScheme(address));
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return false;
    QStringView name = url.host();
    if (name.startsWith(QLatin1String("www.")))
        name = name.mid(4);
    return std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

EditResult AcceptPRURLText(ListState& state, SettingsStore& store, const QString& text, bool addMode, QString* refused)
{
    const QStringList lines = SplitLines(text);
    bool duplicateMet = false;
    QList<PRURLEntry> accepted;
    QStringList acceptedLines; // as typed, beside accepted
    QSet<QString> listed;      // lower-cased addresses, in Add mode
    if (addMode) {
        listed.reserve(state.PRURLCount() + lines.size());
        for (const PRURLEntry& entry : std::as_const(state.PRURLList))
            listed.insert(entry.URL.toLower());
    }
    for (const QString& rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty())
            continue;
        if (!IsWebAddress(line)) {
            if (refused)
                *refused = line;
            return EditResult::NotAnAddress;
        }
        const QString url = NormalisePRURL(line);
        if (addMode && !Insert(listed, url.toLower())) {
            duplicateMet = true;
            continue;
        }
        accepted.append({url, 1, WithScheme(line)});
        acceptedLines.append(line);
    }
    const QList<PRURLEntry> before = state.PRURLList;
    if (addMode) {
        if (state.PRURLCount() + accepted.size() > MaxListEntries)
            return EditResult::ListFull;
        state.PRURLList.append(accepted);
    } else {
        if (accepted.size() > MaxListEntries)
            return EditResult::ListFull;
        // An address that was listed before, to the letter, keeps the flag of its first listing; a
        // line left as the list shows it keeps what was typed for that entry, which the line no
        // longer tells.
        QHash<QString, const PRURLEntry*> listedBefore;
        listedBefore.reserve(before.size());
        for (const PRURLEntry& old : before) {
            if (!listedBefore.contains(old.URL))
                listedBefore.insert(old.URL, &old);
        }
        for (qsizetype i = 0; i < accepted.size(); ++i) {
            PRURLEntry& entry = accepted[i];
            const PRURLEntry* old = listedBefore.value(entry.URL);
            entry.Checked = old ? old->Checked : 1;
            if (old && acceptedLines.at(i) == old->URL)
                entry.TypedURL = old->TypedURL;
        }
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
                              const QString& keyword, const Market& market, bool addMode, int selectedIndex)
{
    if (!IsWebAddress(url))
        return EditResult::NotAnAddress;
    if (!MarketProblem(market).isEmpty())
        return EditResult::BadMarket;
    const Market own = ChosenMarket(market, state.DefaultMarket);
    const QString address = CompleteQuorvexURL(url);
    // One address and product may be tracked in several markets, as entries of their own.
    const auto entryKey = [](const QString& url, const QString& product, const Market& own) {
        return url.toLower() + QLatin1Char('\n') + product.toLower() + QLatin1Char('\n') +
               (own.IsEmpty() ? QString() : MarketText(own));
    };
    QSet<QString> listed;
    listed.reserve(state.QuorvexCount());
    for (int n = 1; n <= state.QuorvexCount(); ++n) {
        if (addMode || n != selectedIndex) {
            const QuorvexEntry& entry = state.QuorvexList.at(n - 1);
            listed.insert(entryKey(entry.URL, entry.Product, entry.OwnMarket));
        }
    }
    if (listed.contains(entryKey(address, product, own)))
        return EditResult::Duplicate;
    if (addMode)
        return MakeQUORVEXProject(state, store, address, product, keyword, own);
    if (selectedIndex < 1 || selectedIndex > state.QuorvexCount())
        return EditResult::Saved;
    QuorvexEntry& entry = state.QuorvexList[selectedIndex - 1];
    const QuorvexEntry before = entry;
    entry.URL = address;
    entry.Product = product;
    entry.Keyword = keyword;
    entry.OwnMarket = own;
    if (SaveQuorvexURLList(state, store))
        return EditResult::Saved;
    state.QuorvexList[selectedIndex - 1] = before;
    return EditResult::NotSaved;
}

EditResult MakeQUORVEXProject(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                              const QString& keyword, const Market& market)
{
    if (state.QuorvexCount() >= MaxListEntries)
        return EditResult::ListFull;
    state.QuorvexList.append({url, product, keyword, 1, market});
    if (SaveQuorvexURLList(state, store))
        return EditResult::Saved;
    state.QuorvexList.removeLast();
    return EditResult::NotSaved;
}

EditResult AcceptDefaultMarket(ListState& state, SettingsStore& store, const Market& market)
{
    if (!MarketProblem(market).isEmpty())
        return EditResult::BadMarket;
    const Market before = std::exchange(state.DefaultMarket, NormalisedMarket(market));
    if (SaveDefaultMarket(state, store))
        return EditResult::Saved;
    state.DefaultMarket = before;
    return EditResult::NotSaved;
}
