#include "sitedb/SiteDbRequests.h"

#include "base/Names.h"
#include "base/Prompter.h"
#include "sitedb/SiteDbRules.h"
#include "sitedb/SiteDbTexts.h"

namespace {

template <typename T> std::optional<T> Refuse(Prompter& prompter, const QString& text)
{
    prompter.ShowMessage(text, MessageIcon::Exclamation, SiteDbTitle);
    return std::nullopt;
}

} // namespace

std::optional<CollectionRequest> PrepareCollection(const QString& databasePath, const QString& keywordText,
                                                   const QString& categoryText, Prompter& prompter)
{
    using Result = CollectionRequest;
    CollectionRequest request{StoredKeyword(keywordText), StoredKeyword(categoryText), {}, false};
    request.Table = SearchTableName(request.Keyword);
    const QString problem = KeywordProblem(request.Keyword, request.Category);
    if (!problem.isEmpty())
        return Refuse<Result>(prompter, problem);

    SiteDatabase database(databasePath, SiteDatabase::OpenMode::Checked);
    std::optional<MasterRow> row;
    if (!database.FindMaster(request.Keyword, row))
        return Refuse<Result>(prompter, database.LastError());
    if (row) {
        if (!prompter.AskOkCancel(SiteDbTexts::RenewQuestion(request.Table), SiteDbTitle))
            return std::nullopt;
        request.Renew = true;
        return request;
    }
    bool taken = true;
    if (!database.TableTaken(request.Table, taken))
        return Refuse<Result>(prompter, database.LastError());
    if (taken)
        return Refuse<Result>(prompter, SiteDbTexts::TableTaken(request.Table));
    if (!database.AddKeyword(request.Keyword, request.Category, request.Table))
        return Refuse<Result>(prompter, database.LastError());
    return request;
}

std::optional<ExtractionBatch> PrepareExtraction(const QString& databasePath, const QString& keywordText,
                                                 const QString& topText, const QString& bottomText,
                                                 const QString& spanText, Prompter& prompter)
{
    using Result = ExtractionBatch;
    if (!prompter.AskOkCancel(SiteDbTexts::ExtractQuestion, SiteDbTitle))
        return std::nullopt;
    ExtractionBatch batch;
    batch.Keyword = StoredKeyword(keywordText);
    batch.Table = SearchTableName(batch.Keyword);

    SiteDatabase database(databasePath, SiteDatabase::OpenMode::Checked);
    std::optional<MasterRow> row;
    if (!database.FindMaster(batch.Keyword, row))
        return Refuse<Result>(prompter, database.LastError());
    if (!row)
        return Refuse<Result>(prompter, SiteDbTexts::TableMissing(batch.Table));
    if (row->Updated == u"Y")
        return Refuse<Result>(prompter, SiteDbTexts::Processed(batch.Table));
    if (!row->SearchNum)
        return Refuse<Result>(prompter, SiteDbTexts::NotCollected(batch.Table));

    const BatchPlan plan = PlanBatch(topText, bottomText, spanText);
    if (!plan.Problem.isEmpty())
        return Refuse<Result>(prompter, plan.Problem);
    if (plan.AllDone)
        return Refuse<Result>(prompter, SiteDbTexts::AllExtracted(batch.Table));
    batch.Head = plan.Head;
    batch.Next = plan.Next;
    batch.End = plan.End;

    const int wanted = batch.Next - batch.Head;
    if (!database.ReadSearchURLs(batch.Table, batch.Head - 1, wanted, batch.URLs))
        return Refuse<Result>(prompter, database.LastError());
    if (batch.URLs.size() < wanted) {
        int rows = 0;
        if (!database.CountSites(batch.Table, rows))
            return Refuse<Result>(prompter, database.LastError());
        return Refuse<Result>(prompter, SiteDbTexts::TooFewRows(batch.Table, rows));
    }
    return batch;
}
