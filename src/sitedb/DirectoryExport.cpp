#include "sitedb/DirectoryExport.h"

#include "base/Names.h"
#include "sitedb/DatabaseMaintenance.h"
#include "sitedb/DatabaseScan.h"
#include "sitedb/DirectoryPages.h"
#include "sitedb/SiteDatabase.h"
#include "sitedb/SiteDbRules.h"
#include "web/PageDecoding.h"

#include <QDir>
#include <QFile>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxSitesPerKeyword = 100;

// The sites of the keywords whose pages are out leave their tables together, in one transaction
// at the end, whether the export ends or stops: the removal of a keyword's sites never comes before
// its pages, and a crash in between leaves them to be published again rather than lost.
ExportResult& Finish(ExportResult& result, SiteDatabase& database, const QList<PublishedSites>& published,
                     const QString& reason = {})
{
    result.Error = reason;
    if (!published.isEmpty() && !database.RemoveExportedSites(published))
        result.Error = reason.isEmpty() ? database.LastError() : reason + u"; "_s + database.LastError();
    return result;
}

// The scan's due rule, on the row as it is stored now.
bool StillDue(const MasterRow& row, QDate today)
{
    return row.Updated == u"N"_s && row.SearchDate && IsDue(*row.SearchDate, today);
}

bool ReadProgress(const SqlText& searchNum, int& top, int& bottom)
{
    const Progress progress = SplitSearchNum(searchNum);
    bool topOk = false;
    bool bottomOk = false;
    top = progress.Top.toInt(&topOk);
    bottom = progress.Bottom.toInt(&bottomOk);
    return topOk && bottomOk && bottom >= 0;
}

ExportSite SiteOf(const SiteRow& row)
{
    return {row.URL.value_or(QString()),     row.Title.value_or(QString()), row.Description.value_or(QString()),
            row.Keyword.value_or(QString()), row.PR.value_or(QString()),    row.Alexa.value_or(QString())};
}

// The keyword's pages into its folder, then every other file of the folder removed: a page that
// cannot be written leaves the pages published before. False with the reason.
bool CreateTrunkFile(const QString& folder, const QStringList& pages, const QString& folderName,
                     const PageWriter& write, QString& error)
{
    QSet<QString> written;
    for (qsizetype n = 1; n <= pages.size(); ++n) {
        const QString name = PageFileName(folderName, int(n));
        if (!write(folder + QLatin1Char('/') + name, pages.at(n - 1).toUtf8(), error))
            return false;
        written.insert(name);
    }
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!written.contains(name) && !QFile::remove(dir.filePath(name))) {
            error = u"the old page %1 cannot be removed"_s.arg(QDir::toNativeSeparators(dir.filePath(name)));
            return false;
        }
    }
    return true;
}

} // namespace

ExportResult ExportHTML(const QString& programFolder, const ScanLists& lists, QDate today, const QString& base,
                        const PageWriter& write)
{
    ExportResult result;
    QList<PublishedSites> published;
    const QString working = programFolder + QLatin1Char('/') + WorkingFolderName;
    SiteDatabase database(DatabasePath(programFolder), SiteDatabase::OpenMode::Checked);
    if (!database.CopyTo(working + QLatin1Char('/') + PreExportCopyName))
        return Finish(result, database, published, database.LastError());

    const QString templatePath = working + QLatin1Char('/') + TemplateFileName;
    QFile templateFile(templatePath);
    if (!templateFile.open(QIODevice::ReadOnly))
        return Finish(result, database, published,
                      u"the template %1 cannot be read: %2"_s.arg(QDir::toNativeSeparators(templatePath),
                                                                  templateFile.errorString()));
    QStringList pieces;
    if (!SplitTemplate(DecodePageBytes(templateFile.readAll()), pieces))
        return Finish(result, database, published,
                      u"the template %1 holds fewer than five pieces separated by \"$$$\""_s.arg(
                          QDir::toNativeSeparators(templatePath)));

    QString error;
    const QString indexPath = working + QLatin1Char('/') + IndexPageName;
    if (!write(indexPath, IndexPage(pieces, IndexBody(lists.AllSearches, base)).toUtf8(), error))
        return Finish(result, database, published, error);
    result.IndexPath = indexPath;

    for (const SearchRecord& entry : lists.PendingSearches) {
        const QString folderName = FolderName(entry.Search);
        const QString folder =
            working + QLatin1Char('/') + FolderName(entry.SearchType) + QLatin1Char('/') + folderName;
        if (!QDir().mkpath(folder))
            return Finish(result, database, published, FolderNotMadeText(QDir::toNativeSeparators(folder)));

        // The stored row, not the scan's copy of it: a keyword exported since the scan is not due.
        std::optional<MasterRow> row;
        if (!database.FindMaster(entry.Search, row))
            return Finish(result, database, published, database.LastError());
        if (!row || !StillDue(*row, today))
            continue;
        int top = 0;
        int bottom = 0;
        if (!ReadProgress(row->SearchNum, top, bottom))
            return Finish(result, database, published,
                          u"the progress \"%1\" of the keyword \"%2\" cannot be read"_s.arg(
                              row->SearchNum.value_or(QString()), entry.Search));
        const QString table = SearchTableName(entry.Search);
        QList<SiteRow> rows;
        if (!database.ReadSearchTable(table, rows))
            return Finish(result, database, published, database.LastError());
        if (rows.size() < bottom)
            return Finish(
                result, database, published,
                u"the table \"%1\" holds %2 rows, fewer than its Bottom %3"_s.arg(table).arg(rows.size()).arg(bottom));
        const int extracted = std::clamp(top - 1, 0, bottom);
        const int count = std::min(extracted, MaxSitesPerKeyword);
        // Nothing to publish: the pages published before stay, and the keyword is not marked.
        if (count == 0)
            continue;

        QList<ExportSite> sites;
        sites.reserve(count);
        for (int i = 0; i < count; ++i)
            sites.append(SiteOf(rows.at(i)));
        OrderByPageRank(sites, count);
        const QStringList pages = TrunkPages(pieces, sites, entry.Search, entry.SearchType, base);
        if (!CreateTrunkFile(folder, pages, folderName, write, error)) {
            result.PageFailures.append({entry.Search, error});
            continue;
        }
        result.PagesWritten += int(pages.size());
        ++result.KeywordsExported;
        if (count < bottom) {
            QStringList urls;
            urls.reserve(count);
            for (const ExportSite& site : sites)
                urls.append(site.URL);
            published.append({entry.Search, table, urls, extracted - count + 1, bottom - count});
        }
    }
    return Finish(result, database, published);
}
