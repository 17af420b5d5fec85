// Lookups in an imported list. A run asks for thousands of hosts, so the common case (a plain ASCII
// host) is normalised without QUrl and the registrable domain is asked only when the host misses.

#include "sources/RankListLookup.h"

#include "app/Sqlite.h"
#include "sources/RankListStore.h"

#include <QFileInfo>
#include <QUrl>

#include <libpsl.h>

namespace {

bool IsPlainHost(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
                             u == u'.' || u == u'-' || u == u'_';
        if (!allowed)
            return false;
    }
    return true;
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
        *db, QStringLiteral("SELECT rank FROM %1 WHERE domain = ?1 ORDER BY rank LIMIT 1")
                 .arg(QuoteIdentifier(RankListStore::TableName(kind))));
    if (!statement->IsValid()) {
        error = QStringLiteral("No %1 list has been imported.").arg(RankListName(kind));
        return;
    }
    select = std::move(statement);
}

RankListLookup::~RankListLookup() = default;

qint64 RankListLookup::RankOf(const QString& domain)
{
    select->Bind(1, domain);
    qint64 rank = 0;
    if (select->Next())
        rank = select->Integer(0);
    else if (select->Failed())
        rank = -1;
    if (rank < 0)
        error = db->LastError();
    select->Reset();
    return rank;
}

RankLookupResult RankListLookup::Failure() const
{
    RankLookupResult result;
    result.Error = error;
    return result;
}

RankLookupResult RankListLookup::Lookup(const QString& hostOrAddress)
{
    if (!select)
        return Failure();
    RankLookupResult result;
    result.Result = RankLookupResult::Outcome::NotRanked;
    const QString host = RankListHost(hostOrAddress);
    if (host.isEmpty())
        return result;
    QString domain = host;
    qint64 rank = RankOf(domain);
    if (rank == 0) {
        domain = RegistrableDomain(host);
        if (!domain.isEmpty() && domain != host)
            rank = RankOf(domain);
    }
    if (rank < 0)
        return Failure();
    if (rank > 0) {
        result.Result = RankLookupResult::Outcome::Ranked;
        result.Rank = rank;
        result.Domain = domain;
    }
    return result;
}

QList<RankLookupResult> RankListLookup::Lookup(const QStringList& hostsOrAddresses)
{
    QList<RankLookupResult> results;
    results.reserve(hostsOrAddresses.size());
    for (const QString& host : hostsOrAddresses)
        results.append(Lookup(host));
    return results;
}
