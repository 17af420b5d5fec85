#pragma once
// The lists in the settings store: scrambled value names and data, entries numbered 1..count,
// a list's key deleted before it is rewritten. Beside the historical values, "PRURLTyped" + n keeps
// what was typed for Page Rank entry n, and "QUORVEXCountry", "QUORVEXLanguage", "QUORVEXDevice" and
// "QUORVEXLocation" + n the fields of keyword entry n's own market that are set. The default market
// has a key of its own.

#include "model/ListState.h"

class SettingsStore;

// True when neither list key holds any value: the program's very first start. A store that holds
// anything of either list is loaded, and a missing count is then an error, never a reset.
bool ListsNeverStored(const SettingsStore& store);
// Writes the first-start values (both counts 0, both options false) without deleting anything.
bool InitURLLists(ListState& state, SettingsStore& store);
// Loads both lists, their options and the default market. False when a stored count, flag or option
// does not convert, or a count lies outside 0 to MaxListEntries; the state is then unchanged. A
// stored market that MarketProblem refuses is passed over whole: its entry uses the default market,
// and a refused default market is none.
bool LoadURLLists(ListState& state, const SettingsStore& store);

// The saves return false when the store refused the change (it has reported why); the stored list
// is then the one before the change, whole.
// A list rewrite: the key deleted and every value written again, in one transaction.
bool SavePRURLList(const ListState& state, SettingsStore& store);
bool SaveQuorvexURLList(const ListState& state, SettingsStore& store);
// Rewrites the default market's key.
bool SaveDefaultMarket(const ListState& state, SettingsStore& store);
// Writes only the "UnChecked" value of entry n (1-based) of one list.
bool SaveEntryChecked(const ListState& state, SettingsStore& store, ListKind list, int n);
// Writes only the option of one list.
bool SaveOption(const ListState& state, SettingsStore& store, ListKind list);
// Removes keyword-position entry n (1-based) and saves the list; a failed save keeps the entry.
bool RemoveQuorvexEntry(ListState& state, SettingsStore& store, int n);
// Empties one list and saves it; a failed save keeps the list.
bool RemoveAllEntries(ListState& state, SettingsStore& store, ListKind list);
