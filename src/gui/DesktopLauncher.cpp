// Starting the browser and the text editor of the desktop.

#include "gui/DesktopLauncher.h"

#include "base/BrowserCommand.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

namespace {

QUrl TargetUrl(const QString& target)
{
    if (QDir::isAbsolutePath(target))
        return QUrl::fromLocalFile(target);
    return QUrl::fromUserInput(target);
}

} // namespace

void DesktopLauncher::OpenInBrowser(const QString& target)
{
    const QString command = qEnvironmentVariable("BROWSER");
    if (command.trimmed().isEmpty()) {
        QDesktopServices::openUrl(TargetUrl(target));
        return;
    }
    // The target is the browser's only argument, whatever switches the command carries.
    const QString program = BrowserProgram(command);
    if (!program.isEmpty())
        QProcess::startDetached(program, {target});
}

void DesktopLauncher::OpenInEditor(const QString& filePath)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
}
