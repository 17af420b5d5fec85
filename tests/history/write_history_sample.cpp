// Writes the history page of the three-run sample to the file named, for the screenshot of the page.
#include "HistorySample.h"
#include "app/CheckedFile.h"
#include "history/HistoryPage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: history_sample FILE\n");
        return 2;
    }
    QString error;
    if (!QDir().mkpath(QFileInfo(args.at(1)).path()) ||
        !WriteWholeFile(args.at(1), HistoryPageHtml(ThreeRunHistory()), error)) {
        std::fprintf(stderr, "history_sample: %s\n", qPrintable(error.isEmpty() ? args.at(1) : error));
        return 1;
    }
    return 0;
}
