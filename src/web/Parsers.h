#pragma once
// The eight page parsers. Each reads one downloaded page and writes what it finds into the
// caller's tables in AppState by the slot number in the download key; none returns page text.
// True when the parser found what it looked for.

#include <QString>

#include <functional>

struct AppState;
class Prompter;

struct ParseContext {
    AppState& State;
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
