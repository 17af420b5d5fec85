#include "app/DirectorySettings.h"

#include "app/Scrambler.h"
#include "app/SettingsStore.h"
#include "lists/ListStore.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString BaseValueName = u"ExportBase"_s;

QString Scrambled(const QString& text)
{
    return ScrambleText(QLatin1String(ScrambleKey), text);
}

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
    const QString stored = UnescapeStoredText(
        UnscrambleText(QLatin1String(ScrambleKey), store.GetRegValue(DirectoryKey, Scrambled(BaseValueName))));
    QString problem;
    const QString base = CheckDirectoryBase(stored, problem);
    return base.isEmpty() ? DefaultDirectoryBase : base;
}

bool SaveDirectoryBase(SettingsStore& store, const QString& text, QString& problem)
{
    const QString base = CheckDirectoryBase(text, problem);
    if (base.isEmpty())
        return false;
    if (!store.SetRegValue(DirectoryKey, Scrambled(BaseValueName), Scrambled(EscapeStoredText(base)))) {
        problem = SettingsNotSavedText(store.LastError());
        return false;
    }
    return true;
}
