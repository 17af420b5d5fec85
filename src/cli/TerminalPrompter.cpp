#include "cli/TerminalPrompter.h"

#include "app/TerminalText.h"

#include <cstdio>
#include <unistd.h>

#include <QStringList>
#include <QTextStream>

void TerminalPrompter::ShowMessage(const QString& text, MessageIcon, const QString&)
{
    // A message box's line breaks stay line breaks; every other control character is escaped.
    QTextStream err(stderr);
    for (const QString& line :
         QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(QLatin1Char('\n')))
        err << TerminalSafe(line) << '\n';
    err.flush();
}

bool TerminalPrompter::AskYesNo(const QString& text, const QString&)
{
    return Ask(text, "[y/N]");
}

bool TerminalPrompter::AskOkCancel(const QString& text, const QString&)
{
    return Ask(text, "[OK: y / Cancel: N]");
}

bool TerminalPrompter::Ask(const QString& text, const char* choices)
{
    QTextStream err(stderr);
    err << TerminalSafe(text) << ' ' << choices << ' ';
    if (assumeYes) {
        err << "yes" << Qt::endl;
        return true;
    }
    if (!isatty(STDIN_FILENO)) {
        err << "no (standard input is not a terminal; --yes answers yes)" << Qt::endl;
        return false;
    }
    err.flush();
    const QString answer = QTextStream(stdin).readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}
