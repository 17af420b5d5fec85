#pragma once
// Runs quorvex-cli in a program folder of the test's own and keeps what it printed.

#include "support/TestHome.h"

#include <QProcess>

struct CliResult {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

inline CliResult RunQuorvexCli(const QString& programFolder, const QStringList& args, const QByteArray& input = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUORVEX_HOME"), programFolder);
    process.setProcessEnvironment(env);
    process.start(BinFolder() + QStringLiteral("/quorvex-cli"), args);
    process.waitForStarted();
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}
