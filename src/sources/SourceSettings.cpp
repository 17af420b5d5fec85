// The data sources' settings: names, defaults, checks, and their scrambled values in the store.

#include "sources/SourceSettings.h"

#include "base/Scrambler.h"
#include "base/SettingsStore.h"
#include "base/StoredValue.h"
#include "sources/RankList.h"
#include "sources/ServiceReplyCheck.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString SearchSourceName = u"SearchSource"_s;
const QString SearchDepthName = u"SearchDepth"_s;
const QString AuthoritySourceName = u"AuthoritySource"_s;
const QString TrafficSourceName = u"TrafficSource"_s;
const QString ListDownloadMaxName = u"ListDownloadMaxMiB"_s;

// Each service keeps its own key, endpoint and list, so that going back to it finds them again.
QString ServiceValue(const QString& service, const char* what)
{
    return service + QLatin1String(what);
}

QString Read(const SettingsStore& store, const QString& name)
{
    return ReadStoredValue(store, SourcesKey, name);
}

bool Write(SettingsStore& store, const QString& name, const QString& value)
{
    return WriteStoredValue(store, SourcesKey, name, value);
}

template <typename Kind, size_t N> std::optional<Kind> KindNamed(const QString& name, const Kind (&kinds)[N])
{
    for (const Kind kind : kinds) {
        if (SourceName(kind) == name)
            return kind;
    }
    return std::nullopt;
}

template <typename Kind, size_t N> QString ChoicesText(const Kind (&kinds)[N])
{
    QStringList names;
    for (const Kind kind : kinds)
        names.append(SourceName(kind));
    const QString last = names.takeLast();
    return names.join(u", "_s) + u" or "_s + last;
}

bool IsWebAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http"_s || scheme == u"https"_s) && !url.host().isEmpty();
}

// Keys go into headers and addresses: printable characters without blanks only.
bool IsKeyText(const QString& key)
{
    return !key.isEmpty() &&
           std::all_of(key.cbegin(), key.cend(), [](QChar c) { return c.unicode() > 32 && c.unicode() < 127; });
}

QString DepthsText()
{
    return u"10, 20, 50 or 100"_s;
}

// The checks of a key and an endpoint, for a service that needs a key or an endpoint of its own.
QString CheckKeyAndEndpoint(const QString& what, const QString& service, bool needsKey, bool needsEndpoint,
                            const QString& key, const QString& endpoint, const SourceChange& change)
{
    if (!needsKey && !change.Key.isNull())
        return u"The %1 source %2 takes no key"_s.arg(what, service);
    if (needsKey && key.isEmpty())
        return u"The %1 source %2 needs a key"_s.arg(what, service);
    if (needsKey && !IsKeyText(key))
        return u"A key holds printable characters only, without blanks"_s;
    if (!endpoint.isEmpty() && !IsWebAddress(endpoint))
        return u"The endpoint must be an absolute http or https address, not '%1'"_s.arg(endpoint);
    if (needsEndpoint && endpoint.isEmpty())
        return u"The %1 source %2 needs the address of your own instance as its endpoint"_s.arg(what, service);
    return {};
}

QString Given(const QString& given, const QString& stored)
{
    return given.isNull() ? stored : given.trimmed();
}

QString ApplySearch(SourceSettings& settings, const SettingsStore& store, const SourceChange& change)
{
    const std::optional<SearchSourceKind> kind = KindNamed(change.Source, SearchKinds);
    if (!kind)
        return u"Unknown search source '%1': choose %2"_s.arg(change.Source, ChoicesText(SearchKinds));
    if (!change.List.isNull())
        return u"A search source takes no list"_s;
    if (*kind == SearchSourceKind::Historical) {
        if (!change.Key.isNull() || !change.Endpoint.isNull() || !change.Depth.isNull())
            return u"The historical search source takes no key, endpoint or depth"_s;
        settings.Search = {};
        return {};
    }
    SearchSourceSettings chosen;
    chosen.Kind = *kind;
    chosen.Key = Given(change.Key, Read(store, ServiceValue(change.Source, "Key")));
    chosen.Endpoint = Given(change.Endpoint, Read(store, ServiceValue(change.Source, "Endpoint")));
    chosen.Depth = settings.Search.Depth;
    const bool instance = *kind == SearchSourceKind::Searxng;
    if (QString refusal =
            CheckKeyAndEndpoint(u"search"_s, change.Source, SourceTakesKey(SourceColumn::Search, change.Source),
                                instance, chosen.Key, chosen.Endpoint, change);
        !refusal.isEmpty())
        return refusal;
    if (!change.Depth.isNull()) {
        bool ok = false;
        chosen.Depth = change.Depth.trimmed().toInt(&ok);
        if (!ok || std::find(std::begin(DepthChoices), std::end(DepthChoices), chosen.Depth) == std::end(DepthChoices))
            return u"The depth must be %1, not '%2'"_s.arg(DepthsText(), change.Depth);
    }
    settings.Search = chosen;
    return {};
}

QString ApplyAuthority(SourceSettings& settings, const SettingsStore& store, const SourceChange& change)
{
    const std::optional<AuthoritySourceKind> kind = KindNamed(change.Source, AuthorityKinds);
    if (!kind)
        return u"Unknown authority source '%1': choose %2"_s.arg(change.Source, ChoicesText(AuthorityKinds));
    if (!change.Depth.isNull() || !change.List.isNull())
        return u"An authority source takes no depth or list"_s;
    if (*kind == AuthoritySourceKind::Historical) {
        if (!change.Key.isNull() || !change.Endpoint.isNull())
            return u"The historical authority source takes no key or endpoint"_s;
        settings.Authority = {};
        return {};
    }
    AuthoritySourceSettings chosen;
    chosen.Kind = *kind;
    chosen.Key = Given(change.Key, Read(store, ServiceValue(change.Source, "Key")));
    chosen.Endpoint = Given(change.Endpoint, Read(store, ServiceValue(change.Source, "Endpoint")));
    if (QString refusal =
            CheckKeyAndEndpoint(u"authority"_s, change.Source, true, false, chosen.Key, chosen.Endpoint, change);
        !refusal.isEmpty())
        return refusal;
    settings.Authority = chosen;
    return {};
}

QString ApplyTraffic(SourceSettings& settings, const SettingsStore& store, const SourceChange& change)
{
    const std::optional<TrafficSourceKind> kind = KindNamed(change.Source, TrafficKinds);
    if (!kind)
        return u"Unknown traffic source '%1': choose %2"_s.arg(change.Source, ChoicesText(TrafficKinds));
    if (!change.Key.isNull() || !change.Endpoint.isNull() || !change.Depth.isNull())
        return u"A traffic source takes no key, endpoint or depth"_s;
    if (*kind == TrafficSourceKind::Historical) {
        if (!change.List.isNull())
            return u"The historical traffic source takes no list"_s;
        settings.Traffic = {};
        return {};
    }
    TrafficSourceSettings chosen;
    chosen.Kind = *kind;
    chosen.List = Read(store, ServiceValue(change.Source, "List"));
    if (!change.List.isNull()) {
        const QString list = change.List.trimmed();
        const QFileInfo file(list);
        if (IsWebAddress(list))
            chosen.List = list;
        else if (file.isFile() && file.isReadable())
            chosen.List = file.absoluteFilePath(); // the command may run from another folder next time
        else
            return u"The list must be a readable file or an http or https address, not '%1'"_s.arg(change.List);
    }
    settings.Traffic = chosen;
    return {};
}

QString EndpointText(const QString& endpoint, const QString& fallback)
{
    return endpoint.isEmpty() ? fallback + u" (default)"_s : endpoint;
}

} // namespace

QString SourceName(SearchSourceKind kind)
{
    switch (kind) {
    case SearchSourceKind::Historical:
        return u"historical"_s;
    case SearchSourceKind::SerpApi:
        return u"serpapi"_s;
    case SearchSourceKind::Serper:
        return u"serper"_s;
    case SearchSourceKind::Brave:
        return u"brave"_s;
    case SearchSourceKind::Searxng:
        return u"searxng"_s;
    }
    Q_UNREACHABLE();
}

QString SourceName(AuthoritySourceKind kind)
{
    return kind == AuthoritySourceKind::OpenPageRank ? u"openpagerank"_s : u"historical"_s;
}

QString SourceName(TrafficSourceKind kind)
{
    switch (kind) {
    case TrafficSourceKind::Historical:
        return u"historical"_s;
    case TrafficSourceKind::Tranco:
        return u"tranco"_s;
    case TrafficSourceKind::Majestic:
        return u"majestic"_s;
    }
    Q_UNREACHABLE();
}

QString SourceChoicesText(SourceColumn column)
{
    switch (column) {
    case SourceColumn::Search:
        return ChoicesText(SearchKinds);
    case SourceColumn::Authority:
        return ChoicesText(AuthorityKinds);
    case SourceColumn::Traffic:
        return ChoicesText(TrafficKinds);
    }
    Q_UNREACHABLE();
}

bool SourceTakesKey(SourceColumn column, const QString& source)
{
    switch (column) {
    case SourceColumn::Search: {
        const std::optional<SearchSourceKind> kind = KindNamed(source, SearchKinds);
        return kind && *kind != SearchSourceKind::Historical && *kind != SearchSourceKind::Searxng;
    }
    case SourceColumn::Authority:
        return KindNamed(source, AuthorityKinds) == AuthoritySourceKind::OpenPageRank;
    case SourceColumn::Traffic:
        return false;
    }
    Q_UNREACHABLE();
}

QString DefaultEndpoint(SearchSourceKind kind)
{
    switch (kind) {
    case SearchSourceKind::SerpApi:
        return u"https://serpapi.com/search.json"_s;
    case SearchSourceKind::Serper:
        return u"https://google.serper.dev/search"_s;
    case SearchSourceKind::Brave:
        return u"https://api.search.brave.com/res/v1/web/search"_s;
    case SearchSourceKind::Historical:
    case SearchSourceKind::Searxng:
        return {};
    }
    Q_UNREACHABLE();
}

QString DefaultEndpoint(AuthoritySourceKind kind)
{
    return kind == AuthoritySourceKind::OpenPageRank ? u"https://openpagerank.com/api/v1.0/getPageRank"_s : QString();
}

QString PositionNote(SearchSourceKind kind)
{
    if (kind == SearchSourceKind::Brave)
        return u"positions in Brave's own index, not Google's"_s;
    if (kind == SearchSourceKind::Searxng)
        return u"positions in the instance's merged metasearch order"_s;
    return {};
}

SourceSettings LoadSourceSettings(const SettingsStore& store)
{
    SourceSettings settings;
    if (const auto kind = KindNamed(Read(store, SearchSourceName), SearchKinds)) {
        settings.Search.Kind = *kind;
        const QString name = SourceName(*kind);
        settings.Search.Key = Read(store, ServiceValue(name, "Key"));
        settings.Search.Endpoint = Read(store, ServiceValue(name, "Endpoint"));
    }
    const int depth = Read(store, SearchDepthName).toInt();
    if (std::find(std::begin(DepthChoices), std::end(DepthChoices), depth) != std::end(DepthChoices))
        settings.Search.Depth = depth;
    if (const auto kind = KindNamed(Read(store, AuthoritySourceName), AuthorityKinds)) {
        settings.Authority.Kind = *kind;
        const QString name = SourceName(*kind);
        settings.Authority.Key = Read(store, ServiceValue(name, "Key"));
        settings.Authority.Endpoint = Read(store, ServiceValue(name, "Endpoint"));
    }
    if (const auto kind = KindNamed(Read(store, TrafficSourceName), TrafficKinds)) {
        settings.Traffic.Kind = *kind;
        settings.Traffic.List = Read(store, ServiceValue(SourceName(*kind), "List"));
    }
    return settings;
}

QString ApplySourceChange(SourceSettings& settings, const SettingsStore& store, const SourceChange& change)
{
    SourceSettings changed = settings;
    QString refusal;
    switch (change.Column) {
    case SourceColumn::Search:
        refusal = ApplySearch(changed, store, change);
        break;
    case SourceColumn::Authority:
        refusal = ApplyAuthority(changed, store, change);
        break;
    case SourceColumn::Traffic:
        refusal = ApplyTraffic(changed, store, change);
        break;
    }
    if (refusal.isEmpty())
        settings = changed;
    return refusal;
}

bool SaveSourceSettings(const SourceSettings& settings, SettingsStore& store, SourceColumn column)
{
    SettingsStore::Batch batch(store);
    switch (column) {
    case SourceColumn::Search: {
        const QString name = SourceName(settings.Search.Kind);
        Write(store, SearchSourceName, name);
        Write(store, SearchDepthName, QString::number(settings.Search.Depth));
        if (settings.Search.Kind != SearchSourceKind::Historical) {
            Write(store, ServiceValue(name, "Key"), settings.Search.Key);
            Write(store, ServiceValue(name, "Endpoint"), settings.Search.Endpoint);
        }
        break;
    }
    case SourceColumn::Authority: {
        const QString name = SourceName(settings.Authority.Kind);
        Write(store, AuthoritySourceName, name);
        if (settings.Authority.Kind != AuthoritySourceKind::Historical) {
            Write(store, ServiceValue(name, "Key"), settings.Authority.Key);
            Write(store, ServiceValue(name, "Endpoint"), settings.Authority.Endpoint);
        }
        break;
    }
    case SourceColumn::Traffic: {
        const QString name = SourceName(settings.Traffic.Kind);
        Write(store, TrafficSourceName, name);
        if (settings.Traffic.Kind != TrafficSourceKind::Historical)
            Write(store, ServiceValue(name, "List"), settings.Traffic.List);
        break;
    }
    }
    return batch.End();
}

QStringList DescribeSources(const SourceSettings& settings)
{
    QStringList lines;
    const SearchSourceSettings& search = settings.Search;
    QString line = u"search: "_s + SourceName(search.Kind);
    if (search.Kind != SearchSourceKind::Historical) {
        line += u", endpoint "_s + EndpointText(search.Endpoint, DefaultEndpoint(search.Kind));
        line += u", depth %1"_s.arg(search.Depth);
        if (search.Kind != SearchSourceKind::Searxng)
            line += u", key "_s + MaskedKey(search.Key);
        if (const QString note = PositionNote(search.Kind); !note.isEmpty())
            line += u" (%1)"_s.arg(note);
    }
    lines.append(line);

    const AuthoritySourceSettings& authority = settings.Authority;
    line = u"authority: "_s + SourceName(authority.Kind);
    if (authority.Kind != AuthoritySourceKind::Historical)
        line += u", endpoint "_s + EndpointText(authority.Endpoint, DefaultEndpoint(authority.Kind)) + u", key "_s +
                MaskedKey(authority.Key);
    lines.append(line);

    line = u"traffic: "_s + SourceName(settings.Traffic.Kind);
    if (settings.Traffic.Kind != TrafficSourceKind::Historical)
        line += u", list "_s + (settings.Traffic.List.isEmpty() ? u"(none given)"_s : settings.Traffic.List);
    lines.append(line);
    return lines;
}

int ReadListDownloadMaxMiB(const SettingsStore& store)
{
    bool number = false;
    const int mib = Read(store, ListDownloadMaxName).toInt(&number);
    return number && mib >= 1 && mib <= MostListDownloadMiB ? mib : DefaultListDownloadMiB;
}

bool SaveListDownloadMaxMiB(SettingsStore& store, const QString& text, QString& problem)
{
    bool number = false;
    const int mib = text.trimmed().toInt(&number);
    if (!number || mib < 1 || mib > MostListDownloadMiB) {
        problem = u"list-download-max-mib takes a whole number of MiB from 1 to %1, not '%2'"_s.arg(
            QString::number(MostListDownloadMiB), text);
        return false;
    }
    if (!Write(store, ListDownloadMaxName, QString::number(mib))) {
        problem = SettingsNotSavedText(store.LastError());
        return false;
    }
    problem.clear();
    return true;
}
