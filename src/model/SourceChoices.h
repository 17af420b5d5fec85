#pragma once
// Which source serves each data column (search positions and result sites, authority, traffic
// rank), with its key, endpoint, depth or list: the choice a run carries. Loading, checking and
// saving it live in sources/SourceSettings.h.

#include <QString>

enum class SearchSourceKind { Historical, SerpApi, Serper, Brave, Searxng };
enum class AuthoritySourceKind { Historical, OpenPageRank };
enum class TrafficSourceKind { Historical, Tranco, Majestic };

// Every source of each column, in the order they are offered.
inline constexpr SearchSourceKind SearchKinds[] = {SearchSourceKind::Historical, SearchSourceKind::SerpApi,
                                                   SearchSourceKind::Serper, SearchSourceKind::Brave,
                                                   SearchSourceKind::Searxng};
inline constexpr AuthoritySourceKind AuthorityKinds[] = {AuthoritySourceKind::Historical,
                                                         AuthoritySourceKind::OpenPageRank};
inline constexpr TrafficSourceKind TrafficKinds[] = {TrafficSourceKind::Historical, TrafficSourceKind::Tranco,
                                                     TrafficSourceKind::Majestic};

// The results a search source looks through for a keyword.
inline constexpr int DepthChoices[] = {10, 20, 50, 100};
inline constexpr int DefaultDepth = 100;

struct SearchSourceSettings {
    SearchSourceKind Kind = SearchSourceKind::Historical;
    QString Key;      // of the chosen service
    QString Endpoint; // of the chosen service; empty: its default
    int Depth = DefaultDepth;
};

struct AuthoritySourceSettings {
    AuthoritySourceKind Kind = AuthoritySourceKind::Historical;
    QString Key;
    QString Endpoint;
};

struct TrafficSourceSettings {
    TrafficSourceKind Kind = TrafficSourceKind::Historical;
    QString List; // the file or download address the list was imported from
};

struct SourceSettings {
    SearchSourceSettings Search;
    AuthoritySourceSettings Authority;
    TrafficSourceSettings Traffic;
};
