#pragma once
// Fixed names of the program: its title, the settings keys and the files of the program folder.

#include <QString>

inline const QString AppTitle = QStringLiteral("Quorvex 2.2");
inline const QString SiteDbTitle = QStringLiteral("Quorvex");
inline const QString PRURLKey = QStringLiteral("Software\\Quorvex 2.2\\PRURL");
inline const QString QuorvexURLKey = QStringLiteral("Software\\Quorvex 2.2\\QUORVEXURL");

inline const QString SettingsFileName = QStringLiteral("Settings.db");
// The earlier version kept the settings in this file; it is imported once.
inline const QString ImportedSettingsFileName = QStringLiteral("Settings.json");
inline const QString WorkingFolderName = QStringLiteral("Database");
inline const QString DatabaseFileName = QStringLiteral("Quorvex.mdb");
inline const QString TemplateFileName = QStringLiteral("WebSiteRankList.txt");
inline const QString ReportFolderName = QStringLiteral("Report");

inline const QString SevereErrorText = QStringLiteral("Severe error has occured !");
