// The browser program taken out of a command line.

#include "base/BrowserCommand.h"
#include "support/TestHome.h"

class TestBrowserCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void takesTheProgram_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("program");
        QTest::newRow("quoted path with a switch") << "\"/opt/Web Browser/browser\" -nohome"
                                                   << "/opt/Web Browser/browser";
        QTest::newRow("unquoted path with a placeholder") << "/usr/bin/browser %s"
                                                          << "/usr/bin/browser";
        QTest::newRow("program alone") << "browser"
                                       << "browser";
        QTest::newRow("quoted path alone") << "\"/opt/Web Browser/browser\""
                                           << "/opt/Web Browser/browser";
        // The argument's own quotes do not become part of the program.
        QTest::newRow("quoted path and quoted placeholder") << "\"/opt/b/browser\" \"%s\""
                                                            << "/opt/b/browser";
        QTest::newRow("blanks around") << "  /usr/bin/browser --new-window  "
                                       << "/usr/bin/browser";
        QTest::newRow("quote never closed") << "\"/opt/b/browser -x"
                                            << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("blanks only") << "   "
                                     << "";
    }
    void takesTheProgram()
    {
        QFETCH(QString, command);
        QFETCH(QString, program);
        QCOMPARE(BrowserProgram(command), program);
    }
};

QUORVEX_TEST_MAIN_CORE(TestBrowserCommand)
#include "test_browser_command.moc"
