#pragma once
// Routing of a finished download to its page parser by the first letter of its download key.

#include "web/Parsers.h"

#include <QChar>

using ParserFunction = bool (*)(ParseContext&, const QString&, const QString&);

// The parser of a kind letter (compared case-sensitively); nullptr for a letter that names none.
ParserFunction ParserFor(QChar kindLetter);
