// The desktop launcher starts the BROWSER command's program with the target as its only argument.

#include "gui/DesktopLauncher.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QDir>
#include <QFile>

class TestDesktopLauncher : public QObject {
    Q_OBJECT

    // A stand-in browser that writes each argument it gets on a line of its own.
    static QString RecordingBrowser(const QTemporaryDir& dir, const QString& record)
    {
        QDir(dir.path()).mkdir(QStringLiteral("web browser"));
        const QString path = dir.filePath(QStringLiteral("web browser/browser"));
        QFile script(path);
        if (!script.open(QIODevice::WriteOnly))
            return {};
        script.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"" + record.toUtf8() + ".part\"\nmv \"" +
                     record.toUtf8() + ".part\" \"" + record.toUtf8() + "\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

private Q_SLOTS:
    void targetIsTheOnlyArgument_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("path with blanks") << "/tmp/my reports/Report/Index.htm";
        QTest::newRow("web address") << "http://www.example.com/?q=a b";
    }
    void targetIsTheOnlyArgument()
    {
        QFETCH(QString, target);
        QTemporaryDir dir;
        const QString record = dir.filePath(QStringLiteral("arguments.txt"));
        const QString browser = RecordingBrowser(dir, record);
        QVERIFY(!browser.isEmpty());
        qputenv("BROWSER", (QLatin1Char('"') + browser + QStringLiteral("\" --new-window \"%s\"")).toUtf8());
        DesktopLauncher launcher;
        launcher.OpenInBrowser(target);
        qputenv("BROWSER", "/bin/false");
        QTRY_VERIFY(QFile::exists(record));
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("1\n") + target + QLatin1Char('\n'));
    }
};

QUORVEX_TEST_MAIN(TestDesktopLauncher)
#include "test_desktop_launcher.moc"
