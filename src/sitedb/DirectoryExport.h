#pragma once
// The export of the site database as a web directory: the copy taken before it changes anything,
// the index page, and for every keyword still due the pages of its best sites, after which the
// published sites leave the keyword's table.

#include "base/CheckedFile.h"
#include "sitedb/ScanLists.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

// Writes one whole page; false with the reason in error leaves the old file.
using PageWriter = std::function<bool(const QString& path, QByteArrayView bytes, QString& error)>;

struct ExportFailure {
    QString Search;
    QString Reason;
};

struct ExportResult {
    // Empty when the export ran to its end; otherwise why it stopped (SiteDbTexts::ExportError). What was
    // written and committed before stays.
    QString Error;
    QString IndexPath;
    int PagesWritten = 0;
    int KeywordsExported = 0;
    // Keywords whose pages could not all be written (SiteDbTexts::TrunkError): their sites stay in their
    // table, and the export went on with the next keyword.
    QList<ExportFailure> PageFailures;

    bool Completed() const { return Error.isEmpty(); }
};

// Exports into programFolder/Database: every keyword of lists.AllSearches on the index, the pages
// of every keyword of lists.PendingSearches still due today with its progress as stored.
ExportResult ExportHTML(const QString& programFolder, const ScanLists& lists, QDate today, const QString& base,
                        const PageWriter& write = WriteWholeFile);
