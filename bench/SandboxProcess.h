#pragma once
// quorvex-sandbox beside the benchmark program, as the proxy of a run.

#include <QCoreApplication>
#include <QProcess>
#include <QString>

// Starts quorvex-sandbox on a free port; the proxy address, or empty text when it does not come up.
inline QString StartSandbox(QProcess& sandbox)
{
    sandbox.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quorvex-sandbox"), {"--port", "0"});
    if (!sandbox.waitForStarted(10000) || !sandbox.waitForReadyRead(10000))
        return {};
    const QByteArray port = sandbox.readLine().trimmed();
    return port.isEmpty() ? QString() : QStringLiteral("http://127.0.0.1:") + QString::fromLatin1(port);
}
