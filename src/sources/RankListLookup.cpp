// Lookups in an imported list. A run asks for thousands of hosts, so the common case (a plain ASCII
// host) is normalised without QUrl, the names of a batch are written one after another into one
// buffer that the statement and the public-suffix rules read in place, and the registrable domain is
// asked only when the host misses.

#include "sources/RankListLookup.h"

#include "base/Sqlite.h"
#include "sources/RankListStore.h"

#include <QUrl>
#include <QtEndian>

#include <libpsl.h>

#include <array>
#include <cstring>

namespace {

// Letters, digits and the punctuation of host names and IPv6 addresses: nothing that JSON or SQL
// would have to escape.
constexpr bool IsHostCharacter(char16_t u)
{
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'.' || u == u'-' ||
           u == u'_' || u == u':';
}

bool IsPlainHost(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return IsHostCharacter(c.unicode()); });
}

bool IsPlainHost(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return IsHostCharacter(quint8(c)); });
}

// IPv4 addresses end in a number and IPv6 addresses hold colons; no top-level domain does either.
bool IsAddressLiteral(QByteArrayView host)
{
    if (host.contains(':'))
        return true;
    const QByteArrayView last = host.sliced(host.lastIndexOf('.') + 1);
    return !last.isEmpty() && std::all_of(last.begin(), last.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct NamePlace {
    qsizetype Start = 0;
    qsizetype Size = 0; // 0 when the text names no host
};

// Appends the host as the lists spell it, and a NUL, to names.
NamePlace AppendListHost(const QString& hostOrAddress, QByteArray& names)
{
    const QStringView text = QStringView(hostOrAddress).trimmed();
    const qsizetype start = names.size();
    if (IsPlainHost(text)) {
        names.resize(start + text.size());
        char* out = names.data() + start;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            *out++ = char(u >= u'A' && u <= u'Z' ? u + (u'a' - u'A') : u);
        }
    } else {
        // Anything else goes through QUrl: a scheme, a path, a port, user info, a Unicode name.
        const QString address = text.toString();
        const QUrl url =
            address.contains(QLatin1String("://")) ? QUrl(address) : QUrl(QStringLiteral("http://") + address);
        names += QUrl::toAce(url.host());
        if (!IsPlainHost(QByteArrayView(names).sliced(start)))
            names.truncate(start);
    }
    while (names.size() > start && names.back() == '.')
        names.chop(1);
    NamePlace place{start, names.size() - start};
    const QByteArrayView host = QByteArrayView(names).sliced(start);
    if (host.startsWith("www.") && host.indexOf('.', 4) > 0) {
        place.Start += 4;
        place.Size -= 4;
    }
    names += '\0';
    return place;
}

// The registrable domain of a NUL-terminated host: a part of that same text, or none.
NamePlace RegistrablePart(const QByteArray& names, NamePlace host)
{
    const QByteArrayView name = QByteArrayView(names).sliced(host.Start, host.Size);
    if (name.isEmpty() || IsAddressLiteral(name))
        return {};
    const char* domain = psl_registrable_domain(psl_builtin(), name.data());
    if (!domain)
        return {};
    const qsizetype skipped = domain - name.data();
    return {host.Start + skipped, host.Size - skipped};
}

} // namespace

QString RankListHost(const QString& hostOrAddress)
{
    QByteArray names;
    const NamePlace host = AppendListHost(hostOrAddress, names);
    return QString::fromLatin1(QByteArrayView(names).sliced(host.Start, host.Size));
}

QString RegistrableDomain(const QString& host)
{
    const QByteArray name = host.toUtf8();
    const NamePlace domain = RegistrablePart(name, {0, name.size()});
    return QString::fromUtf8(QByteArrayView(name).sliced(domain.Start, domain.Size));
}

RankListLookup::RankListLookup(const QString& databasePath, RankListKind kind) : path(databasePath)
{
    // A damaged file is told as such, never as a list that was not imported.
    if (!RankListStore(databasePath).Info(kind, &error)) {
        if (error.isEmpty())
            error = QStringLiteral("No %1 list has been imported.").arg(RankListName(kind));
        return;
    }
    db = std::make_unique<SqliteConnection>(databasePath, SqliteConnection::Mode::ReadOnly);
    if (!db->IsOpen()) {
        error = RankListStore::ReadFault(*db, path);
        return;
    }
    // The index pages of a large list stay in memory across the lookups of a run.
    db->Execute(QStringLiteral("PRAGMA cache_size=-65536; PRAGMA mmap_size=268435456"));
    auto statement = std::make_unique<SqliteStatement>(
        *db, QStringLiteral("SELECT wanted.key, list.rank FROM json_each(?1) AS wanted JOIN %1 AS list ON "
                            "list.domain = wanted.value")
                 .arg(QuoteIdentifier(RankListStore::TableName(kind))));
    if (!statement->IsValid()) {
        error = RankListStore::ReadFault(*db, path);
        return;
    }
    select = std::move(statement);
}

RankListLookup::~RankListLookup() = default;

bool RankListLookup::RanksOf(const QByteArray& names, const std::vector<Wanted>& wanted, std::vector<qint64>& ranks)
{
    // The names in the order of the index, so that neighbouring lookups find their index pages still
    // in the CPU's caches; one statement for all of them instead of a statement each. Their first
    // sixteen bytes as two numbers are order enough: names that share them sit side by side anyway.
    auto nameOf = [&names](const Wanted& name) { return QByteArrayView(names).sliced(name.Start, name.Size); };
    struct SortKey {
        quint64 High;
        quint64 Low;
        Wanted Name;
    };
    std::vector<SortKey> order;
    order.reserve(wanted.size());
    for (const Wanted& one : wanted) {
        const QByteArrayView name = nameOf(one);
        auto bytesFrom = [name](qsizetype start) {
            std::array<char, 8> bytes{};
            if (start < name.size())
                std::memcpy(bytes.data(), name.data() + start, size_t(std::min<qsizetype>(8, name.size() - start)));
            return qFromBigEndian<quint64>(bytes.data());
        };
        order.push_back({bytesFrom(0), bytesFrom(8), one});
    }
    std::sort(order.begin(), order.end(),
              [](const SortKey& a, const SortKey& b) { return a.High != b.High ? a.High < b.High : a.Low < b.Low; });
    // Host names hold no character that JSON escapes, so the array is written as it is;
    // QJsonArray takes many times longer for a batch of thousands.
    QByteArray array;
    array.reserve(names.size() + 3 * qsizetype(wanted.size()) + 2);
    array += '[';
    for (const SortKey& key : order) {
        if (array.size() > 1)
            array += ',';
        array += '"';
        array += nameOf(key.Name);
        array += '"';
    }
    array += ']';
    select->Bind(1, QString::fromLatin1(array));
    // Each row names its place in the array, so no name comes back as text. The ranks are kept in
    // that order and handed to their slots after the statement, in a loop of its own that the CPU
    // runs without waiting on each slot.
    std::vector<qint64> found(order.size(), 0);
    while (select->Next()) {
        const auto place = size_t(select->Integer(0));
        const qint64 rank = select->Integer(1);
        // A name listed twice keeps its better rank.
        if (place < found.size() && (found[place] == 0 || rank < found[place]))
            found[place] = rank;
    }
    for (size_t place = 0; place < order.size(); ++place) {
        if (found[place] > 0)
            ranks[size_t(order[place].Name.Slot)] = found[place];
    }
    const bool read = !select->Failed();
    if (!read)
        error = RankListStore::ReadFault(*db, path);
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
    const qsizetype count = hostsOrAddresses.size();
    if (!select)
        return QList<RankLookupResult>(count, Failure());

    // The hosts first, then the registrable domains of those that missed. Ranks start at 1, so 0
    // stands for a name the list does not hold.
    QByteArray names;
    qsizetype length = 0;
    for (const QString& hostOrAddress : hostsOrAddresses)
        length += hostOrAddress.size() + 1;
    names.reserve(length);
    std::vector<Wanted> hosts;
    hosts.reserve(size_t(count));
    for (qsizetype index = 0; index < count; ++index) {
        const NamePlace host = AppendListHost(hostsOrAddresses[index], names);
        hosts.push_back({host.Start, host.Size, index});
    }
    std::vector<qint64> hostRanks(size_t(count), 0);
    if (!RanksOf(names, hosts, hostRanks))
        return QList<RankLookupResult>(count, Failure());

    std::vector<Wanted> domains;
    for (const Wanted& host : hosts) {
        // A name of two labels is its own registrable domain, or a public suffix.
        if (hostRanks[size_t(host.Slot)] > 0 || QByteArrayView(names).sliced(host.Start, host.Size).count('.') < 2)
            continue;
        const NamePlace domain = RegistrablePart(names, {host.Start, host.Size});
        if (domain.Size > 0 && domain.Size < host.Size)
            domains.push_back({domain.Start, domain.Size, host.Slot});
    }
    std::vector<qint64> domainRanks(size_t(count), 0);
    if (!domains.empty() && !RanksOf(names, domains, domainRanks))
        return QList<RankLookupResult>(count, Failure());

    RankLookupResult notRanked;
    notRanked.Result = RankLookupResult::Outcome::NotRanked;
    QList<RankLookupResult> results(count, notRanked);
    auto ranked = [&results, &names](const Wanted& name, qint64 rank) {
        RankLookupResult& result = results[name.Slot];
        result.Result = RankLookupResult::Outcome::Ranked;
        result.Rank = rank;
        result.Domain = QString::fromLatin1(QByteArrayView(names).sliced(name.Start, name.Size));
    };
    for (const Wanted& host : hosts) {
        if (hostRanks[size_t(host.Slot)] > 0)
            ranked(host, hostRanks[size_t(host.Slot)]);
    }
    for (const Wanted& domain : domains) {
        if (domainRanks[size_t(domain.Slot)] > 0)
            ranked(domain, domainRanks[size_t(domain.Slot)]);
    }
    return results;
}
