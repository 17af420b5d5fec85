#include "cli/KeyInput.h"

#include "cli/CliStart.h"

#include <QFile>
#include <QTextStream>

#include <termios.h>
#include <unistd.h>

namespace {

// One line of standard input. At a terminal the line is asked for and not shown as it is typed.
QString ReadHiddenLine()
{
    const bool terminal = isatty(STDIN_FILENO);
    termios shown{};
    if (terminal && tcgetattr(STDIN_FILENO, &shown) == 0) {
        termios hidden = shown;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        Err() << "Key: " << Qt::flush;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    const QString line = QTextStream(stdin).readLine();
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &shown);
        Err() << Qt::endl;
    }
    return line;
}

} // namespace

QString TakeKey(QString& key, const QString& keyFile, bool takesKey)
{
    QString read;
    if (key == QLatin1String("-")) {
        read = ReadHiddenLine().trimmed();
        if (read.isEmpty())
            return QStringLiteral("standard input holds no key");
    } else if (!keyFile.isNull()) {
        QFile file(keyFile);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("the key file %1 cannot be read: %2").arg(keyFile, file.errorString());
        // A key is one short line; the rest of a larger file is never read.
        read = QString::fromUtf8(file.readLine(4096)).trimmed();
        if (read.isEmpty())
            return QStringLiteral("the key file %1 holds no key on its first line").arg(keyFile);
    } else if (key.isNull() && takesKey && !qEnvironmentVariable(KeyVariable).isEmpty()) {
        read = qEnvironmentVariable(KeyVariable);
    } else {
        return {};
    }
    key = read;
    return {};
}
