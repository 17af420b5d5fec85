#include "cli/ProcessLauncher.h"

#include "base/BrowserCommand.h"

#include <QProcess>

void ProcessLauncher::OpenInBrowser(const QString& target)
{
    const QString command = qEnvironmentVariable("BROWSER");
    const QString program = command.trimmed().isEmpty() ? QStringLiteral("xdg-open") : BrowserProgram(command);
    if (!program.isEmpty())
        QProcess::startDetached(program, {target});
}

void ProcessLauncher::OpenInEditor(const QString& filePath)
{
    QProcess::startDetached(QStringLiteral("xdg-open"), {filePath});
}
