#pragma once
// The address under which the exported site directory is published: every link between its pages
// starts with it. Kept scrambled in the settings store like every other setting.

#include <QString>

class SettingsStore;

inline const QString DirectoryKey = QStringLiteral("Software\\Quorvex 2.2\\Directory");
inline const QString DefaultDirectoryBase = QStringLiteral("http://www.quorvex.example/directory/");

// The address in the form the pages use (host in lower case, unsafe characters percent-encoded),
// or an empty text with the message in problem when it is no absolute http:// or https:// address,
// nor a file:/// address of a local folder, ending in "/" (without a query or a fragment).
QString CheckDirectoryBase(const QString& text, QString& problem);

// The stored address; the default while none, or no valid one, is stored.
QString ReadDirectoryBase(const SettingsStore& store);
// Stores the address after the check. False with the message in problem when it was refused, or
// when the store could not write it (the store has reported that too).
bool SaveDirectoryBase(SettingsStore& store, const QString& text, QString& problem);
