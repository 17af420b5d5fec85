// The eight page parsers (being filled in; each reports "not found" for now).

#include "web/Parsers.h"

bool ParseGoogleWebSiteList(ParseContext&, const QString&, const QString&) { return false; }
bool ParseGoogleQUORVEX(ParseContext&, const QString&, const QString&) { return false; }
bool ParseGooglePR(ParseContext&, const QString&, const QString&) { return false; }
bool ParseGooglePR1(ParseContext&, const QString&, const QString&) { return false; }
bool ParseAlexaPR(ParseContext&, const QString&, const QString&) { return false; }
bool ParseAlexaPR1(ParseContext&, const QString&, const QString&) { return false; }
bool ExtractTitle(ParseContext&, const QString&, const QString&) { return false; }
bool ExtractTitle1(ParseContext&, const QString&, const QString&) { return false; }
