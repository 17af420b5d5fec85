#pragma once
// Runs quorvex-cli in a program folder of the test's own and keeps what it printed.

#include "support/TestHome.h"

#include <QProcess>

struct CliResult {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

// The program at programPath, with QUORVEX_HOME and the variables of environment set over the
// test's own environment.
inline CliResult RunProgramAt(const QString& programPath, const QString& programFolder, const QStringList& args,
                              const QByteArray& input = {}, const QProcessEnvironment& environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUORVEX_HOME"), programFolder);
    env.insert(environment);
    process.setProcessEnvironment(env);
    process.start(programPath, args);
    process.waitForStarted();
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

inline CliResult RunQuorvexCli(const QString& programFolder, const QStringList& args, const QByteArray& input = {},
                               const QProcessEnvironment& environment = {})
{
    return RunProgramAt(BinFolder() + QStringLiteral("/quorvex-cli"), programFolder, args, input, environment);
}
