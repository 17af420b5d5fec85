// Reading routes.json of a fixture folder into the stand-in web.

#include "RoutesFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

bool LoadRoutes(const QString& folder, FakeWeb& web, QString& error)
{
    const QDir dir(folder);
    QFile file(dir.filePath(QStringLiteral("routes.json")));
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isArray()) {
        error = QStringLiteral("%1: not a list of routes (%2)").arg(file.fileName(), parseError.errorString());
        return false;
    }
    const QString root = QDir::cleanPath(dir.absolutePath()) + QLatin1Char('/');
    const QJsonArray list = document.array();
    for (qsizetype n = 0; n < list.size(); ++n) {
        const QJsonObject route = list.at(n).toObject();
        const QString where = QStringLiteral("%1, route %2").arg(file.fileName()).arg(n + 1);
        const QUrl url(route.value(QLatin1String("url")).toString(), QUrl::StrictMode);
        if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty()) {
            error = where + QStringLiteral(": \"url\" must be an absolute http address");
            return false;
        }
        // Pages come from inside the fixture folder only.
        const QString pagePath = QDir::cleanPath(dir.absoluteFilePath(route.value(QLatin1String("file")).toString()));
        if (!pagePath.startsWith(root)) {
            error = where + QStringLiteral(": \"file\" must name a page inside the fixture folder");
            return false;
        }
        QFile page(pagePath);
        if (!page.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("%1: %2: %3").arg(where, pagePath, page.errorString());
            return false;
        }
        CannedReply reply;
        reply.Body = page.readAll();
        reply.Status = route.value(QLatin1String("status")).toInt(200);
        reply.DelayMs = qMax(0, route.value(QLatin1String("delay_ms")).toInt(0));
        web.AddRoute(url.toString(), reply);
    }
    return true;
}
