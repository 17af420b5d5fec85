// The about and help windows: texts, the centring rule and the link labels.

#include "gui/frmAbout.h"
#include "gui/frmHelp.h"
#include "support/RecordingLauncher.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

const QColor Cyan(0, 255, 255);
const QColor Blue(0, 0, 255);

void PointerEnters(QWidget* label)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(label, &enter);
}

void PointerLeaves(QWidget* label)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(label, &leave);
}

QColor TextColour(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

int Centre(const QWidget* control)
{
    return control->x() + control->width() / 2;
}

} // namespace

class TestAboutHelp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aboutShowsNameAndCentresItsControls()
    {
        RecordingLauncher launcher;
        frmAbout about(launcher);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.windowTitle(), QStringLiteral("About Quorvex 2.2"));
        auto* version = about.findChild<QLabel*>(QStringLiteral("lblSoftwareVersion"));
        auto* note = about.findChild<QLabel*>(QStringLiteral("lblNote"));
        auto* address = about.findChild<QLabel*>(QStringLiteral("lblWebPage"));
        QCOMPARE(version->text(), QStringLiteral("Quorvex 2.2"));
        QCOMPARE(note->text(), QStringLiteral("You can visit web page : "));
        QVERIFY(!about.findChild<QLabel*>(QStringLiteral("lblSoftwareAuther"))->text().isEmpty());

        const int middle = about.width() / 2;
        for (const char* name : {"lblSoftwareVersion", "lblSoftwareAuther", "cmdOK", "picture"}) {
            auto* control = about.findChild<QWidget*>(QLatin1String(name));
            QVERIFY2(control && qAbs(Centre(control) - middle) <= 1, name);
        }
        // The note and the address are centred together, the address right after the note.
        QCOMPARE(address->x(), note->x() + note->width());
        QVERIFY(qAbs(note->x() + (note->width() + address->width()) / 2 - middle) <= 1);
        QVERIFY(address->geometry().right() < about.width());
        QVERIFY(address->sizeHint().width() <= address->width());
    }

    void aboutLinkLightsUpAndOpens()
    {
        RecordingLauncher launcher;
        frmAbout about(launcher);
        about.show();
        auto* address = about.findChild<QLabel*>(QStringLiteral("lblWebPage"));
        QCOMPARE(TextColour(address), Cyan);

        PointerEnters(address);
        QCOMPARE(TextColour(address), Blue);
        QVERIFY(address->font().underline());
        PointerLeaves(address);
        QCOMPARE(TextColour(address), Cyan);
        QVERIFY(!address->font().underline());

        PointerEnters(address);
        QTest::mouseClick(address, Qt::LeftButton);
        QVERIFY(!address->font().underline());
        QCOMPARE(launcher.BrowserTargets, QStringList{address->text()});
        QVERIFY(address->text().startsWith(QStringLiteral("http")));
        QVERIFY(about.isVisible());

        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!about.isVisible());
    }

    void helpLinkOpensTheReadmeAndCloses()
    {
        RecordingLauncher launcher;
        frmHelp help(launcher);
        help.show();
        QCOMPARE(help.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Quorvex Help"));
        auto* link = help.findChild<QLabel*>(QStringLiteral("lblHelp"));
        QCOMPARE(link->text(), QStringLiteral("Open Online Help"));

        PointerEnters(link);
        QCOMPARE(TextColour(link), Blue);
        QVERIFY(link->font().underline());
        PointerLeaves(link);
        QCOMPARE(TextColour(link), Blue);
        QVERIFY(link->font().underline());

        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(launcher.BrowserTargets.size(), 1);
        const QFileInfo readme(launcher.BrowserTargets.at(0));
        QCOMPARE(readme.fileName(), QStringLiteral("README.md"));
        QVERIFY(readme.isAbsolute() && readme.isFile());
        QVERIFY(!help.isVisible());
        QCOMPARE(help.result(), int(QDialog::Accepted));
    }

    void aPressThatBeganElsewhereIsNoClick()
    {
        RecordingLauncher launcher;
        frmHelp help(launcher);
        help.show();
        auto* link = help.findChild<QLabel*>(QStringLiteral("lblHelp"));
        QTest::mouseRelease(link, Qt::LeftButton);
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, 2));
        QVERIFY(launcher.BrowserTargets.isEmpty());
        QVERIFY(help.isVisible());
    }
};

QUORVEX_TEST_MAIN(TestAboutHelp)
#include "test_about_help.moc"
