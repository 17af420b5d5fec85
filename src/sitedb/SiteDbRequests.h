#pragma once
// What "&Add/Refresh" and "&Extract" do before any download: the checks, the questions and the
// master row of a new keyword. The window and the command line both start their runs from here.

#include "sitedb/SiteDatabase.h"

#include <QString>
#include <QStringList>

#include <optional>

class Prompter;

// A collection to start: the keyword's master row and search table exist.
struct CollectionRequest {
    QString Keyword;
    QString Category;
    QString Table;
    // An existing keyword: its old rows and progress stay until the new collection is written.
    bool Renew = false;
};

// An extraction batch to start: rows Head to Next - 1 of the table (URLs in that order), after
// which the progress becomes Next / End.
struct ExtractionBatch {
    QString Keyword;
    QString Table;
    int Head = 0;
    int Next = 0;
    int End = 0;
    QStringList URLs;
};

// Checks the typed keyword and category, adds a new keyword (master row and empty table) or asks
// whether to renew a known one. Every refusal is shown through the prompter; none writes anything.
std::optional<CollectionRequest> PrepareCollection(const QString& databasePath, const QString& keywordText,
                                                   const QString& categoryText, Prompter& prompter);

// Asks whether to extract, checks the keyword's master row and the Top, Bottom and Span texts, and
// reads the batch's URLs. Writes nothing; every refusal is shown through the prompter.
std::optional<ExtractionBatch> PrepareExtraction(const QString& databasePath, const QString& keywordText,
                                                 const QString& topText, const QString& bottomText,
                                                 const QString& spanText, Prompter& prompter);
