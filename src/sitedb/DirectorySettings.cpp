#include "sitedb/DirectorySettings.h"

#include "base/SettingsStore.h"
#include "base/StoredValue.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString BaseValueName = u"ExportBase"_s;

// A web address needs its host. A file:/// address of a local folder has none: the pages then link
// to each other on disk, so that the export can be looked at before it is published.
bool NamesAPlace(const QUrl& url)
{
    const QString scheme = url.scheme();
    if (scheme == u"http" || scheme == u"https")
        return !url.host().isEmpty();
    return scheme == u"file" && url.host().isEmpty() && url.path().startsWith(QLatin1Char('/'));
}

} // namespace

QString CheckDirectoryBase(const QString& text, QString& problem)
{
    problem.clear();
    const QString trimmed = text.trimmed();
    const QUrl url(trimmed, QUrl::StrictMode);
    if (url.isValid() && NamesAPlace(url) && !url.hasQuery() && !url.hasFragment() &&
        trimmed.endsWith(QLatin1Char('/')))
        return url.toString(QUrl::FullyEncoded);
    problem = u"The directory address must be an absolute http://, https:// or file:/// address ending in \"/\", "
              "such as %1 !"_s.arg(DefaultDirectoryBase);
    return {};
}

QString ReadDirectoryBase(const SettingsStore& store)
{
    const QString stored = ReadStoredValue(store, DirectoryKey, BaseValueName);
    QString problem;
    const QString base = CheckDirectoryBase(stored, problem);
    return base.isEmpty() ? DefaultDirectoryBase : base;
}

bool SaveDirectoryBase(SettingsStore& store, const QString& text, QString& problem)
{
    const QString base = CheckDirectoryBase(text, problem);
    if (base.isEmpty())
        return false;
    if (!WriteStoredValue(store, DirectoryKey, BaseValueName, base)) {
        problem = SettingsNotSavedText(store.LastError());
        return false;
    }
    return true;
}
