#pragma once
// Accepting what the user typed into an entry dialog (or gave on the command line): address
// normalisation, duplicate rules, the list limit, Add and Edit mode. Each accepted change is saved
// at once.

#include "model/ListState.h"

class SettingsStore;

// How an edit ended. Anything but Saved and DuplicateDropped left the lists as they were.
enum class EditResult {
    Saved,
    DuplicateDropped, // saved; a line equal to a listed address was left out; say DuplicateDroppedText()
    Duplicate,        // refused: another entry has the same address, product and market; say DuplicateEntryText()
    ListFull,         // refused: the list would hold more than MaxListEntries; say ListFullText()
    NotAnAddress,     // refused: an address is no web address; say RefusedAddressText()
    BadMarket,        // refused: a code or the location is not one the services take; say MarketProblem()
    NotSaved,         // the store refused the change and has reported why
};

// The message for ListFull.
QString ListFullText();
// The message for Duplicate.
QString DuplicateEntryText();
// The note for DuplicateDropped.
QString DuplicateDroppedText();

// The message for NotAnAddress, naming the address.
QString RefusedAddressText(const QString& address);

// "http://www." or "https://www." in front of the rest, which keeps its letter case.
QString NormalisePRURL(const QString& text);

// True when the address, one line as typed, is one both lists take: its scheme http or https, or
// none at all ("localhost:8080" is a host and a port), and a host that holds a letter or a digit
// past a leading "www.".
bool IsWebAddress(const QString& address);

// Takes the PageRank text, one address per line. In Add mode the lines are appended (a line equal
// to a listed address, ignoring case, is dropped); in Edit mode they replace the list, and a line
// left as the list showed it keeps its entry's flag and typed address. A line that is no web
// address refuses the whole text; refused then names it.
EditResult AcceptPRURLText(ListState& state, SettingsStore& store, const QString& text, bool addMode,
                           QString* refused = nullptr);

// Adds (Add mode) or replaces entry selectedIndex (1-based, Edit mode). Its market is made of the
// fields chosen in market: none at all when no field is chosen, so that the entry follows the default
// market; otherwise every field left empty as the default market has it now. Duplicate when another
// entry has the same address and product, ignoring case, and the same market of its own (or none);
// NotAnAddress for what is no web address; BadMarket for a market that MarketProblem refuses.
EditResult AcceptQuorvexEntry(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                              const QString& keyword, const Market& market, bool addMode, int selectedIndex);

// Appends a checked keyword-position entry and saves the list.
EditResult MakeQUORVEXProject(ListState& state, SettingsStore& store, const QString& url, const QString& product,
                              const QString& keyword, const Market& market);

// Makes the market the default and saves it; BadMarket for one that MarketProblem refuses. An empty
// market leaves every entry without its own asking the services' own defaults.
EditResult AcceptDefaultMarket(ListState& state, SettingsStore& store, const Market& market);

// The keyword-position address as stored: "http://" in front unless it names a scheme already.
QString CompleteQuorvexURL(const QString& url);
