#pragma once
// A program folder with an empty site database, a settable clock and a fake of the runs the search
// window starts, recording every call.

#include "base/Clock.h"
#include "base/Names.h"
#include "sitedb/SiteDatabase.h"
#include "sitedb/SiteDatabaseActions.h"
#include "support/TestClock.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// A folder whose Database/Quorvex.mdb holds the master table only.
class SiteFolder {
public:
    SiteFolder()
    {
        QDir().mkpath(dir.filePath(WorkingFolderName));
        SiteDatabase database(Database(), SiteDatabase::OpenMode::Create);
        if (!database.IsOpen() || !database.CreateMasterTable())
            qFatal("no site database");
    }
    QString Path() const { return dir.path(); }
    QString Database() const { return DatabasePath(dir.path()); }

    // A keyword collected with these sites, as a finished collection leaves it.
    void Collect(const QString& keyword, const QString& category, const QStringList& urls,
                 const QString& date = QStringLiteral("2024-05-01")) const
    {
        SiteDatabase database(Database());
        std::optional<MasterRow> row;
        QVERIFY(database.FindMaster(keyword, row));
        if (!row)
            QVERIFY(database.AddKeyword(keyword, category, SearchTableName(keyword)));
        QVERIFY(database.ReplaceSearchRows(keyword, SearchTableName(keyword), urls, date));
    }

private:
    QTemporaryDir dir;
};

class FakeActions : public SiteDatabaseActions {
public:
    bool IsRunning() const override { return running; }
    void StartCollection(const CollectionRequest& request) override { Collections.append(request); }
    void StartExtraction(const ExtractionBatch& batch, const ExtractChoice& choice) override
    {
        Batches.append(batch);
        Choices.append(choice);
    }
    void ChangeExtractChoice(const ExtractChoice& choice) override { Choices.append(choice); }
    void Stop() override { ++Stops; }

    void Written(bool collection, const QString& keyword)
    {
        if (collection)
            Q_EMIT CollectionWritten(keyword);
        else
            Q_EMIT ExtractionWritten(keyword);
    }

    bool running = false;
    QList<CollectionRequest> Collections;
    QList<ExtractionBatch> Batches;
    QList<ExtractChoice> Choices;
    int Stops = 0;
};
