#pragma once
// Accepting what the user typed into an entry dialog (or gave on the command line): address
// normalisation, duplicate rules, Add and Edit mode. Each accepted change is saved at once.

#include "lists/ListState.h"

class SettingsStore;

// "http://www." or "https://www." in front of the rest, which keeps its letter case.
QString NormalisePRURL(const QString& text);

// Takes the PageRank text, one address per line. In Add mode the lines are appended (a line equal
// to a listed address, ignoring case, is dropped); in Edit mode they replace the list. Returns true
// when a duplicate was dropped.
bool AcceptPRURLText(ListState& state, SettingsStore& store, const QString& text, bool addMode);

// Adds (Add mode) or replaces entry selectedIndex (1-based, Edit mode). Returns false, changing
// nothing, when another entry has the same address and product, ignoring case.
bool AcceptQuorvexEntry(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                        const QString& keyword, bool addMode, int selectedIndex);

// Appends a checked keyword-position entry and saves the list.
void MakeQUORVEXProject(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                        const QString& keyword);

// The keyword-position address as stored: "http://" in front unless it names a scheme already.
QString CompleteQuorvexURL(const QString& url);
