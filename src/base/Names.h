#pragma once
// Fixed names of the program: its title, the settings keys, the files of the program folder, and
// the texts that the lists, the runs and the command line share.

#include <QString>

inline const QString AppTitle = QStringLiteral("Quorvex 2.2");
inline const QString SiteDbTitle = QStringLiteral("Quorvex");
inline const QString PRURLKey = QStringLiteral("Software\\Quorvex 2.2\\PRURL");
inline const QString QuorvexURLKey = QStringLiteral("Software\\Quorvex 2.2\\QUORVEXURL");
// The market of every keyword entry that has none of its own.
inline const QString MarketKey = QStringLiteral("Software\\Quorvex 2.2\\Market");

inline const QString SettingsFileName = QStringLiteral("Settings.db");
// The earlier version kept the settings in this file; it is imported once.
inline const QString ImportedSettingsFileName = QStringLiteral("Settings.json");
inline const QString WorkingFolderName = QStringLiteral("Database");
inline const QString DatabaseFileName = QStringLiteral("Quorvex.mdb");
inline const QString TemplateFileName = QStringLiteral("WebSiteRankList.txt");
inline const QString ReportFolderName = QStringLiteral("Report");

inline const QString SevereErrorText = QStringLiteral("Severe error has occured !");
inline const QString ContinueQuestion = QStringLiteral("Do you want to continue ?");
inline const QString StopPressedText = QStringLiteral("You press the stop button !");

// Why a file or a folder could not be had, naming it.
inline QString CannotReadText(const QString& path, const QString& reason)
{
    return QStringLiteral("%1 cannot be read: %2").arg(path, reason);
}
inline QString CannotWriteText(const QString& path, const QString& reason)
{
    return QStringLiteral("%1 cannot be written: %2").arg(path, reason);
}
inline QString CannotRenameText(const QString& from, const QString& to)
{
    return QStringLiteral("%1 cannot be renamed to %2").arg(from, to);
}
inline QString FolderNotMadeText(const QString& folder)
{
    return QStringLiteral("the folder %1 cannot be made").arg(folder);
}
