#pragma once
// Which source serves each data column (search positions and result sites, authority, traffic
// rank), with its key, endpoint, depth or list; kept scrambled in the settings store under its
// own key. Every column's default is the historical source.

#include "model/SourceChoices.h"

#include <QString>
#include <QStringList>

class SettingsStore;

inline const QString SourcesKey = QStringLiteral("Software\\Quorvex 2.2\\Sources");

enum class SourceColumn { Search, Authority, Traffic };

// A change asked for: the column, the source's name, and what is given of its key, endpoint,
// depth and list (a null text: not given, keep what is stored for that service).
struct SourceChange {
    SourceColumn Column = SourceColumn::Search;
    QString Source;
    QString Key;
    QString Endpoint;
    QString Depth;
    QString List;
};

QString SourceName(SearchSourceKind kind);
QString SourceName(AuthoritySourceKind kind);
QString SourceName(TrafficSourceKind kind);
// The names a column accepts, as "a, b or c".
QString SourceChoicesText(SourceColumn column);
// Whether the source of that name asks its service with a key of the user's.
bool SourceTakesKey(SourceColumn column, const QString& source);
// The address asked when no endpoint is set; empty for a source without one.
QString DefaultEndpoint(SearchSourceKind kind);
QString DefaultEndpoint(AuthoritySourceKind kind);
// What a reader of the positions must know about their order; empty when they are the engine's own.
QString PositionNote(SearchSourceKind kind);

// Every column as stored, defaults for what is absent or unreadable.
SourceSettings LoadSourceSettings(const SettingsStore& store);
// Checks the change against settings and the key and endpoint stored for the chosen service in
// store, and fills settings with the result. The refusal text when it cannot be made; settings
// are then unchanged.
QString ApplySourceChange(SourceSettings& settings, const SettingsStore& store, const SourceChange& change);
// Writes the column's choice and the chosen service's values in one transaction; false when the
// store refused (it has reported why).
bool SaveSourceSettings(const SourceSettings& settings, SettingsStore& store, SourceColumn column);
// One line per column: its source, endpoint, depth, list, the key masked, and the position note.
QStringList DescribeSources(const SourceSettings& settings);

// The most MiB a rank-list download may be (the setting list-download-max-mib); the default while
// none, or none in range, is stored.
int ReadListDownloadMaxMiB(const SettingsStore& store);
// Stores text, a whole number of MiB within range, as that setting. False with the message in
// problem when it was refused, or when the store could not write it (the store has said why too).
bool SaveListDownloadMaxMiB(SettingsStore& store, const QString& text, QString& problem);
