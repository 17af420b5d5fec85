#pragma once
// The runs the search window starts but does not perform: the collection and the extraction,
// which download, and their stop. The session performs them; tests record the calls.

#include "sitedb/SiteDatabase.h"
#include "sitedb/SiteDbRequests.h"

#include <QObject>

class SiteDatabaseActions : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether a collection, an extraction or a rank run is going; the window starts none then.
    virtual bool IsRunning() const = 0;
    virtual void StartCollection(const CollectionRequest& request) = 0;
    virtual void StartExtraction(const ExtractionBatch& batch, const ExtractChoice& choice) = 0;
    // The check boxes changed while a batch may be going; the extraction reads them on every pass.
    virtual void ChangeExtractChoice(const ExtractChoice& choice) = 0;
    virtual void Stop() = 0;

Q_SIGNALS:
    // The keyword's new rows and progress are written: the window shows them.
    void CollectionWritten(const QString& keyword);
    void ExtractionWritten(const QString& keyword);
};
