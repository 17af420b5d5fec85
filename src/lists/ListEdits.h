#pragma once
// Accepting what the user typed into an entry dialog (or gave on the command line): address
// normalisation, duplicate rules, the list limit, Add and Edit mode. Each accepted change is saved
// at once.

#include "model/ListState.h"

class SettingsStore;

// How an edit ended. Anything but Saved and DuplicateDropped left the lists as they were.
enum class EditResult {
    Saved,
    DuplicateDropped, // saved; a line equal to a listed address was left out
    Duplicate,        // refused: another entry has the same address and product
    ListFull,         // refused: the list would hold more than MaxListEntries; say ListFullText()
    NotSaved,         // the store refused the change and has reported why
};

// The message for ListFull.
QString ListFullText();

// "http://www." or "https://www." in front of the rest, which keeps its letter case.
QString NormalisePRURL(const QString& text);

// True when the address, as the Page Rank list stores it, names a host: one line whose host, past
// the "www." the list puts in front, holds a letter or a digit.
bool NamesAHost(const QString& address);

// Takes the PageRank text, one address per line. In Add mode the lines are appended (a line equal
// to a listed address, ignoring case, is dropped); in Edit mode they replace the list.
EditResult AcceptPRURLText(ListState& state, SettingsStore& store, const QString& text, bool addMode);

// Adds (Add mode) or replaces entry selectedIndex (1-based, Edit mode). Duplicate when another
// entry has the same address and product, ignoring case.
EditResult AcceptQuorvexEntry(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                              const QString& keyword, bool addMode, int selectedIndex);

// Appends a checked keyword-position entry and saves the list.
EditResult MakeQUORVEXProject(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                              const QString& keyword);

// The keyword-position address as stored: "http://" in front unless it names a scheme already.
QString CompleteQuorvexURL(const QString& url);
