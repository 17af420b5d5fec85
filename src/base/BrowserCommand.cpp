// Taking the browser program out of a command line.

#include "base/BrowserCommand.h"

QString BrowserProgram(const QString& command)
{
    const QString text = command.trimmed();
    if (!text.startsWith(QLatin1Char('"')))
        return text.section(QLatin1Char(' '), 0, 0);
    // The program ends at the quote that closes the first one, so a quoted argument after it
    // never becomes part of the path.
    const qsizetype closing = text.indexOf(QLatin1Char('"'), 1);
    if (closing < 0)
        return {};
    return text.mid(1, closing - 1);
}
