#include "lists/ListEdits.h"

#include "lists/ListStore.h"

#include <QRegularExpression>

namespace {

bool StartsWithNoCase(const QString& text, qsizetype from, QLatin1String prefix)
{
    return QStringView(text).mid(from).startsWith(prefix, Qt::CaseInsensitive);
}

QStringList SplitLines(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    return text.split(lineBreak);
}

} // namespace

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

bool AcceptPRURLText(ListState& state, SettingsStore& store, const QString& text, bool addMode)
{
    bool duplicateMet = false;
    QList<PRURLEntry> edited;
    for (const QString& rawLine : SplitLines(text)) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty())
            continue;
        const QString url = NormalisePRURL(line);
        if (!addMode) {
            edited.append({url, 1});
            continue;
        }
        const bool listed = std::any_of(state.PRURLList.cbegin(), state.PRURLList.cend(), [&](const PRURLEntry& e) {
            return e.URL.compare(url, Qt::CaseInsensitive) == 0;
        });
        if (listed)
            duplicateMet = true;
        else
            state.PRURLList.append({url, 1});
    }
    if (!addMode) {
        // An address that was listed before, to the letter, keeps its flag.
        for (PRURLEntry& entry : edited) {
            for (const PRURLEntry& old : std::as_const(state.PRURLList)) {
                if (old.URL == entry.URL) {
                    entry.Checked = old.Checked;
                    break;
                }
            }
        }
        state.PRURLList = edited;
    }
    SavePRURLList(state, store);
    return duplicateMet;
}

QString CompleteQuorvexURL(const QString& url)
{
    const QString lower = url.toLower();
    if (lower.contains(QLatin1String("http://")) || lower.contains(QLatin1String("https://")))
        return url;
    return QStringLiteral("http://") + url;
}

bool AcceptQuorvexEntry(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                        const QString& keyword, bool addMode, int selectedIndex)
{
    const QString address = CompleteQuorvexURL(url);
    for (int n = 1; n <= state.QuorvexCount(); ++n) {
        if (!addMode && n == selectedIndex)
            continue;
        const QuorvexEntry& entry = state.QuorvexList.at(n - 1);
        if (entry.URL.toLower() == address.toLower() && entry.Product.toLower() == product.toLower())
            return false;
    }
    if (addMode) {
        MakeQUORVEXProject(state, store, address, product, keyword);
    } else if (selectedIndex >= 1 && selectedIndex <= state.QuorvexCount()) {
        QuorvexEntry& entry = state.QuorvexList[selectedIndex - 1];
        entry.URL = address;
        entry.Product = product;
        entry.Keyword = keyword;
        SaveQuorvexURLList(state, store);
    }
    return true;
}

void MakeQUORVEXProject(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                        const QString& keyword)
{
    state.QuorvexList.append({url, product, keyword, 1});
    SaveQuorvexURLList(state, store);
}
