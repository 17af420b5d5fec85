#pragma once
// The database file as a whole: compaction into a new file put in place of the old one, and the
// recovery of the copy the export makes before it changes the database. The search window's
// "Com&pact" and "Reco&ver Database" and the command line call these.

#include <QString>

inline const QString PreExportCopyName = QStringLiteral("QuorvexBack.mdb");

// program folder + "/Database/QuorvexBak.mdb": the compacted file, there only until it replaces
// the database.
QString CompactionTargetPath(const QString& programFolder);
// program folder + "/Database/QuorvexBack.mdb": the copy the export makes before it changes the
// database.
QString PreExportCopyPath(const QString& programFolder);

// Compacts Database/Quorvex.mdb: a compaction target left by an interrupted compaction is removed,
// the database is copied compacted into the target (every table's rows keep their order), and the
// target is renamed over the database in one step. False, with the reason in error, leaves the
// database file as it was and no target behind.
bool CompactDatabase(const QString& programFolder, QString& error);

// Whether there is a pre-export copy to recover.
bool HasPreExportCopy(const QString& programFolder);

// Puts a copy of the pre-export copy in place of the database in one step; the pre-export copy
// stays. False, with the reason in error, leaves the database file as it was.
bool RecoverPreExportCopy(const QString& programFolder, QString& error);
