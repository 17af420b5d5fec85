// Routing of a finished download to its page parser by the first letter of its download key.

#include "web/ParserTable.h"

ParserFunction ParserFor(QChar kindLetter)
{
    switch (kindLetter.unicode()) {
    case u'W':
        return &ParseGoogleWebSiteList;
    case u'T':
        return &ParseGoogleQUORVEX;
    case u'G':
        return &ParseGooglePR;
    case u'g':
        return &ParseGooglePR1;
    case u'A':
        return &ParseAlexaPR;
    case u'a':
        return &ParseAlexaPR1;
    case u'K':
        return &ExtractTitle;
    case u'k':
        return &ExtractTitle1;
    default:
        return nullptr;
    }
}
