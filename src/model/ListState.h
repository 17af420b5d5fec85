#pragma once
// The two monitored lists, their options and the edit context shared by the main window and
// the entry dialogs.

#include "model/Market.h"

#include <QList>
#include <QString>

struct PRURLEntry {
    QString URL;     // as stored: "www." in front of the host, whether the site has it or not
    int Checked = 1; // 1 = checked, 0 = unchecked
    // The address as the user typed it, "http://" in front when it named no scheme; empty for an
    // entry stored by an earlier version.
    QString TypedURL = {};

    // The page itself, for its summary and the report's links.
    QString PageURL() const { return TypedURL.isEmpty() ? URL : TypedURL; }
};

struct QuorvexEntry {
    QString URL;
    QString Product;
    QString Keyword; // keywords as typed, separated by ","
    int Checked = 1;
    Market OwnMarket = {}; // empty: the default market of the settings
};

enum class ListKind { PageRank, Quorvex };

// Counts are stored and read as 16-bit numbers, so a list holds at most this many entries.
inline constexpr int MaxListEntries = 32767;

struct ListState {
    QList<PRURLEntry> PRURLList;
    QList<QuorvexEntry> QuorvexList;
    bool CheckExtractKeyword = false;
    bool TOP10List = false;
    // The market of every keyword entry that has none of its own.
    Market DefaultMarket;

    // Edit context: set by the main window, read by the entry dialogs.
    bool AddMode = false;
    int SelectedPRIndex = 0;      // 1-based
    int SelectedQuorvexIndex = 0; // 1-based
    QString CurrentPRText;
    QString CurrentQuorvexURL;
    QString CurrentQuorvexProduct;
    QString CurrentQuorvexKeyword;

    int PRURLCount() const { return int(PRURLList.size()); }
    int QuorvexCount() const { return int(QuorvexList.size()); }
    // True when any entry of either list is checked: the rank button's enabling rule.
    bool AnyChecked() const;
};
