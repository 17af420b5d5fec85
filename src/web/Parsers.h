#pragma once
// The eight page parsers. Each reads one downloaded page and writes what it finds into the
// caller's tables by the slot number in the download key; none returns page text.
// True when the parser found what it looked for.

#include <QString>

#include <functional>

class Prompter;
struct RankRunState;
struct SiteTables;

// The tables the parsers write into.
struct ParseTables {
    RankRunState& Run;
    SiteTables& Sites;
};

// What a parser may touch: the rank run's tables, the site tables and the stop flag.
struct ParseContext {
    RankRunState& Run;
    SiteTables& Sites;
    const bool& StopRequested;
    // Shows a status text in the main window's status bar (or on the terminal).
    std::function<void(const QString&)> ShowStatus;
    // For the one parser that shows a message box ("Extract Title error !").
    Prompter& Prompt;
};

bool ParseGoogleWebSiteList(ParseContext& context, const QString& text, const QString& propertyName); // "W"
bool ParseGoogleQUORVEX(ParseContext& context, const QString& text, const QString& propertyName);     // "T"
bool ParseGooglePR(ParseContext& context, const QString& text, const QString& propertyName);          // "G"
bool ParseGooglePR1(ParseContext& context, const QString& text, const QString& propertyName);         // "g"
bool ParseAlexaPR(ParseContext& context, const QString& text, const QString& propertyName);           // "A"
bool ParseAlexaPR1(ParseContext& context, const QString& text, const QString& propertyName);          // "a"
bool ExtractTitle(ParseContext& context, const QString& text, const QString& propertyName);           // "K"
bool ExtractTitle1(ParseContext& context, const QString& text, const QString& propertyName);          // "k"
