#pragma once
// One value as the program keeps it in the settings store: its name and its data scrambled, the data
// first percent-escaped so that the scrambler carries any text whole.

#include <QString>

class SettingsStore;

// Stored text: every character outside codes 32 to 126, and "%" itself, as "%" and two hex
// digits per UTF-8 byte.
QString EscapeStoredText(const QString& text);
QString UnescapeStoredText(const QString& text);

// The value of name under keyPath, unscrambled and unescaped; empty when there is none.
QString ReadStoredValue(const SettingsStore& store, const QString& keyPath, const QString& name);
// True when the store took the value (otherwise it has reported why).
bool WriteStoredValue(SettingsStore& store, const QString& keyPath, const QString& name, const QString& content);
