#include "sitedb/DirectorySettings.h"

#include "base/SettingsStore.h"
#include "base/StoredValue.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString BaseValueName = u"ExportBase"_s;

} // namespace

QString CheckDirectoryBase(const QString& text, QString& problem)
{
    problem.clear();
    const QString trimmed = text.trimmed();
    const QUrl url(trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty() && !url.hasQuery() &&
        !url.hasFragment() && trimmed.endsWith(QLatin1Char('/'))) {
        return url.toString(QUrl::FullyEncoded);
    }
    problem = u"The directory address must be an absolute http:// or https:// address ending in \"/\", "
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
