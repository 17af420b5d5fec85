// quorvex-sandbox: an offline stand-in for the web, a local HTTP proxy that answers every request
// from a fixture folder or from generated pages of the historical formats.

#include "FakeWeb.h"
#include "PageGenerator.h"
#include "RoutesFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSaveFile>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvex-sandbox"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A local HTTP proxy that stands in for the web. Point http_proxy at it.\n"
                       "Answers first from DIR/routes.json, then with replicas of today's data services, then "
                       "with generated pages: /search, /tbr, /siteinfo/, /tranco-demo.csv (a small traffic-rank "
                       "list of the generated sites, on any host) and site pages of any host."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port on 127.0.0.1; 0 picks a free one and prints it."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption fixturesOption(
        QStringLiteral("fixtures"), QStringLiteral("Folder with routes.json and its pages."), QStringLiteral("DIR"));
    const QCommandLineOption portFileOption(
        QStringLiteral("port-file"),
        QStringLiteral("Write the port to FILE once the proxy listens; the file appears whole or not at all."),
        QStringLiteral("FILE"));
    const QCommandLineOption trancoOption(
        QStringLiteral("write-tranco"),
        QStringLiteral("Write the traffic-rank list that /tranco-demo.csv serves to FILE and end."),
        QStringLiteral("FILE"));
    const QCommandLineOption dayOption(
        QStringLiteral("day"),
        QStringLiteral("Answer searches as N days later: each keyword's results move a few places a day."),
        QStringLiteral("N"), QStringLiteral("0"));
    parser.addOption(portOption);
    parser.addOption(fixturesOption);
    parser.addOption(portFileOption);
    parser.addOption(trancoOption);
    parser.addOption(dayOption);
    parser.process(app);

    QTextStream err(stderr);
    if (parser.isSet(trancoOption)) {
        QSaveFile list(parser.value(trancoOption));
        const QByteArray text = GeneratedTrancoList();
        if (!list.open(QIODevice::WriteOnly) || list.write(text) != text.size() || !list.commit()) {
            err << "quorvex-sandbox: cannot write " << parser.value(trancoOption) << ": " << list.errorString() << '\n';
            return 1;
        }
        return 0;
    }
    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    bool dayOk = false;
    const int day = parser.value(dayOption).toInt(&dayOk);
    if (!portOk || port > 65535 || !dayOk || day < 0 || !parser.positionalArguments().isEmpty()) {
        err << "quorvex-sandbox: usage: quorvex-sandbox --port N [--fixtures DIR] [--port-file FILE] [--day N]\n"
               "       quorvex-sandbox --write-tranco FILE\n";
        return 2;
    }

    SetGeneratedDay(day);
    FakeWeb web;
    web.SetFallback(&GeneratedReply);
    if (parser.isSet(fixturesOption)) {
        QString error;
        if (!LoadRoutes(parser.value(fixturesOption), web, error)) {
            err << "quorvex-sandbox: " << error << '\n';
            return 2;
        }
    }
    if (!web.Listen(quint16(port))) {
        err << "quorvex-sandbox: cannot listen on 127.0.0.1:" << port << '\n';
        return 1;
    }
    // Keys that a service takes in its address never reach the log.
    QObject::connect(&web, &FakeWeb::RequestRecorded, &web, [&err](const RecordedRequest& request) {
        err << request.Method << ' ' << AddressForLog(request.Url) << Qt::endl;
    });

    if (parser.isSet(portFileOption)) {
        // A script waits for this file: written under a temporary name and renamed, so a reader
        // never sees half a number.
        QSaveFile portFile(parser.value(portFileOption));
        const QByteArray text = QByteArray::number(web.Port()) + '\n';
        if (!portFile.open(QIODevice::WriteOnly) || portFile.write(text) != text.size() || !portFile.commit()) {
            err << "quorvex-sandbox: cannot write the port to " << parser.value(portFileOption) << '\n';
            return 1;
        }
    }

    QTextStream out(stdout);
    out << web.Port() << Qt::endl;
    return app.exec();
}
