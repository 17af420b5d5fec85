#pragma once
// The lists in the settings store: scrambled value names and data, entries numbered 1..count,
// a list's key deleted before it is rewritten.

#include "lists/ListState.h"

class SettingsStore;

// True when the lists were never stored: the program's very first start.
bool ListsNeverStored(const SettingsStore& store);
// Writes the first-start values (both counts 0, both options false) without deleting anything.
void InitURLLists(ListState& state, SettingsStore& store);
// False when a stored count, flag or option does not convert; the state is then unchanged.
bool LoadURLLists(ListState& state, const SettingsStore& store);

void SavePRURLList(const ListState& state, SettingsStore& store);
void SaveQuorvexURLList(const ListState& state, SettingsStore& store);
// Writes only the "UnChecked" value of entry n (1-based) of one list.
void SaveEntryChecked(const ListState& state, SettingsStore& store, ListKind list, int n);
// Writes only the option of one list.
void SaveOption(const ListState& state, SettingsStore& store, ListKind list);
// Removes keyword-position entry n (1-based) and saves the list.
void RemoveQuorvexEntry(ListState& state, SettingsStore& store, int n);
// Empties one list and saves it.
void RemoveAllEntries(ListState& state, SettingsStore& store, ListKind list);

// Stored text: every character outside codes 32 to 126, and "%" itself, as "%" and two hex
// digits per UTF-8 byte, so that the scrambler carries any text whole.
QString EscapeStoredText(const QString& text);
QString UnescapeStoredText(const QString& text);
