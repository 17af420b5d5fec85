// Lookups in an imported list. A run asks for thousands of hosts, so the common case (a plain ASCII
// host) is normalised without QUrl and the registrable domain is asked only when the host misses.

#include "sources/RankListLookup.h"

#include "app/Sqlite.h"
#include "sources/RankListStore.h"

#include <QFileInfo>
#include <QHash>
#include <QUrl>

#include <libpsl.h>

namespace {

// Letters, digits and the punctuation of host names and IPv6 addresses: nothing that JSON or SQL
// would have to escape.
bool IsPlainHost(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'.' ||
               u == u'-' || u == u'_' || u == u':';
    });
}

// IPv4 addresses end in a number and IPv6 addresses hold colons; no top-level domain does either.
bool IsAddressLiteral(const QString& host)
{
    if (host.contains(QLatin1Char(':')))
        return true;
    const qsizetype dot = host.lastIndexOf(QLatin1Char('.'));
    const QStringView last = QStringView(host).sliced(dot + 1);
    return !last.isEmpty() && std::all_of(last.begin(), last.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

QString RankListHost(const QString& hostOrAddress)
{
    const QString text = hostOrAddress.trimmed();
    QString host;
    if (IsPlainHost(text)) {
        host = text.toLower();
    } else {
        // Anything else goes through QUrl: a scheme, a path, a port, user info, a Unicode name.
        const QUrl address = text.contains(QLatin1String("://")) ? QUrl(text) : QUrl(QStringLiteral("http://") + text);
        host = QString::fromLatin1(QUrl::toAce(address.host()));
    }
    if (!IsPlainHost(host))
        return {};
    while (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    if (host.startsWith(QLatin1String("www.")) && host.indexOf(QLatin1Char('.'), 4) > 0)
        host.remove(0, 4);
    return host;
}

QString RegistrableDomain(const QString& host)
{
    if (host.isEmpty() || IsAddressLiteral(host))
        return {};
    const QByteArray name = host.toUtf8();
    const char* domain = psl_registrable_domain(psl_builtin(), name.constData());
    return domain ? QString::fromUtf8(domain) : QString();
}

RankListLookup::RankListLookup(const QString& databasePath, RankListKind kind)
{
    if (!QFileInfo::exists(databasePath)) {
        error = QStringLiteral("No %1 list has been imported.").arg(RankListName(kind));
        return;
    }
    db = std::make_unique<SqliteConnection>(databasePath, SqliteConnection::Mode::ReadOnly);
    if (!db->IsOpen()) {
        error = QStringLiteral("%1 cannot be opened: %2").arg(databasePath, db->LastError());
        return;
    }
    // The index pages of a large list stay in memory across the lookups of a run.
    db->Execute(QStringLiteral("PRAGMA cache_size=-65536; PRAGMA mmap_size=268435456"));
    auto statement = std::make_unique<SqliteStatement>(
        *db, QStringLiteral("SELECT list.domain, list.rank FROM json_each(?1) AS wanted JOIN %1 AS list ON "
                            "list.domain = wanted.value")
                 .arg(QuoteIdentifier(RankListStore::TableName(kind))));
    if (!statement->IsValid()) {
        error = QStringLiteral("No %1 list has been imported.").arg(RankListName(kind));
        return;
    }
    select = std::move(statement);
}

RankListLookup::~RankListLookup() = default;

bool RankListLookup::RanksOf(QStringList names, QHash<QString, qint64>& ranks)
{
    // The names in order, so that neighbouring lookups find their index pages still in the CPU's
    // caches; one statement for all of them instead of a statement each.
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    // RankListHost lets through no character that JSON escapes, so the array is written as it is;
    // QJsonArray takes many times longer for a batch of thousands.
    select->Bind(1, QStringLiteral("[\"") + names.join(QStringLiteral("\",\"")) + QStringLiteral("\"]"));
    while (select->Next()) {
        // A name listed twice keeps its better rank.
        const qint64 rank = select->Integer(1);
        const auto known = ranks.find(select->Text(0));
        if (known == ranks.end())
            ranks.insert(select->Text(0), rank);
        else
            *known = std::min(*known, rank);
    }
    const bool read = !select->Failed();
    if (!read)
        error = db->LastError();
    select->Reset();
    return read;
}

RankLookupResult RankListLookup::Failure() const
{
    RankLookupResult result;
    result.Error = error;
    return result;
}

RankLookupResult RankListLookup::Lookup(const QString& hostOrAddress)
{
    return Lookup(QStringList{hostOrAddress}).first();
}

QList<RankLookupResult> RankListLookup::Lookup(const QStringList& hostsOrAddresses)
{
    if (!select)
        return QList<RankLookupResult>(hostsOrAddresses.size(), Failure());
    RankLookupResult notRanked;
    notRanked.Result = RankLookupResult::Outcome::NotRanked;
    QList<RankLookupResult> results(hostsOrAddresses.size(), notRanked);

    // The hosts first, then the registrable domains of those that missed.
    QStringList hosts;
    hosts.reserve(hostsOrAddresses.size());
    for (const QString& hostOrAddress : hostsOrAddresses)
        hosts.append(RankListHost(hostOrAddress));
    QHash<QString, qint64> ranks;
    ranks.reserve(hosts.size());
    if (!RanksOf(hosts, ranks))
        return QList<RankLookupResult>(hostsOrAddresses.size(), Failure());

    QStringList domains(hosts.size());
    QStringList missed;
    for (qsizetype index = 0; index < hosts.size(); ++index) {
        const QString& host = hosts[index];
        // A name of two labels is its own registrable domain, or a public suffix.
        if (host.isEmpty() || ranks.contains(host) || host.count(QLatin1Char('.')) < 2)
            continue;
        QString registrable = RegistrableDomain(host);
        if (!registrable.isEmpty() && registrable != host) {
            missed.append(registrable);
            domains[index] = std::move(registrable);
        }
    }
    if (!missed.isEmpty() && !RanksOf(missed, ranks))
        return QList<RankLookupResult>(hostsOrAddresses.size(), Failure());

    for (qsizetype index = 0; index < hosts.size(); ++index) {
        for (const QString* name : {&hosts[index], &domains[index]}) {
            const auto found = ranks.constFind(*name);
            if (name->isEmpty() || found == ranks.cend())
                continue;
            results[index].Result = RankLookupResult::Outcome::Ranked;
            results[index].Rank = *found;
            results[index].Domain = *name;
            break;
        }
    }
    return results;
}
