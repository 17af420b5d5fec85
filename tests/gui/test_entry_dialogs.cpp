// Adding and editing entries through the two entry dialogs, opened from the main window.

#include "WindowTestSupport.h"
#include "base/Names.h"
#include "gui/frmPRURL.h"
#include "gui/frmQUORVEXURL.h"
#include "lists/ListEdits.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace {

template <typename Dialog> Dialog* OpenDialog(const Shell& shell, const char* button)
{
    shell.Click(button);
    auto* dialog = shell.window->findChild<Dialog*>();
    if (dialog && !dialog->isVisible())
        return nullptr;
    return dialog;
}

QPushButton* OK(QDialog* dialog)
{
    return dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
}

QLineEdit* Box(QDialog* dialog, const char* name)
{
    return dialog->findChild<QLineEdit*>(QLatin1String(name));
}

// Typed as the user types them, a line break between two lines.
void TypeLines(QWidget* box, const QStringList& lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines.at(i));
    }
}

QComboBox* Choice(QDialog* dialog, const char* name)
{
    return dialog->findChild<QComboBox*>(QLatin1String(name));
}

void Choose(QComboBox* list, const QString& code)
{
    list->setCurrentIndex(list->findData(code));
}

QStringList Addresses(const ListState& lists)
{
    QStringList urls;
    for (const PRURLEntry& entry : lists.PRURLList)
        urls.append(entry.URL);
    return urls;
}

} // namespace

class TestEntryDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addPagesThroughTheDialog()
    {
        Shell shell({{QStringLiteral("http://www.one.com"), 0}});
        auto* dialog = OpenDialog<frmPRURL>(shell, "cmdAdd");
        QVERIFY(dialog);
        QPointer<frmPRURL> alive(dialog);
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Add New URL"));
        QVERIFY(
            dialog->findChild<QLabel*>(QStringLiteral("Label1"))->text().startsWith(QStringLiteral("Target URL (")));
        auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtPRURL"));
        QCOMPARE(text->toPlainText(), QString());
        QVERIFY(!OK(dialog)->isEnabled());

        TypeLines(text, {QStringLiteral("example.com"), QStringLiteral("  EXAMPLE.com  "), QString(),
                         QStringLiteral("HTTPS://WWW.Secure.org/A"), QStringLiteral("http://ONE.com")});
        QVERIFY(OK(dialog)->isEnabled());
        QTest::mouseClick(OK(dialog), Qt::LeftButton);

        QTRY_VERIFY(alive.isNull());
        QCOMPARE(Addresses(shell.state.Lists),
                 (QStringList{QStringLiteral("http://www.one.com"), QStringLiteral("http://www.example.com"),
                              QStringLiteral("https://www.Secure.org/A")}));
        QCOMPARE(shell.state.Lists.PRURLList.at(0).Checked, 0);
        QCOMPARE(shell.state.Lists.PRURLList.at(2).Checked, 1);
        QCOMPARE(shell.List("lstPR")->topLevelItemCount(), 3);
        QCOMPARE(Shell::Tick(shell.List("lstPR"), 2), Qt::Checked);
        QCOMPARE(shell.Stored(PRURLKey, "PRURLNum"), QStringLiteral("3"));
        QCOMPARE(shell.Stored(PRURLKey, "PRURL3"), QStringLiteral("https://www.Secure.org/A"));
        QVERIFY(shell.Button("cmdRank")->isEnabled());
        QCOMPARE(shell.window->StatusText(), QStringLiteral("Duplicate URL has been deleted !"));
        QTRY_COMPARE(shell.window->StatusText(), QStringLiteral("Ready"));
    }

    void editPagesThroughTheDialog()
    {
        Shell shell({{QStringLiteral("http://www.a.com"), 0},
                     {QStringLiteral("http://www.b.com"), 0},
                     {QStringLiteral("http://www.c.com"), 0}});
        QVERIFY(!shell.Button("cmdEdit")->isEnabled());
        Shell::ClickItem(shell.List("lstPR"), 1);
        QCOMPARE(shell.state.Lists.SelectedPRIndex, 2);
        auto* dialog = OpenDialog<frmPRURL>(shell, "cmdEdit");
        QVERIFY(dialog);
        QPointer<frmPRURL> alive(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit URL"));
        auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtPRURL"));
        QCOMPARE(text->toPlainText(), QStringLiteral("http://www.a.com\nhttp://www.b.com\nhttp://www.c.com"));
        QVERIFY(text->textCursor().atEnd());

        // Delete the last line, change the letter case of the second and add a new one twice.
        for (int i = 0; i < int(QStringLiteral("b.com\nhttp://www.c.com").size()); ++i)
            QTest::keyClick(text, Qt::Key_Backspace);
        TypeLines(text, {QStringLiteral("B.com"), QStringLiteral("d.com"), QStringLiteral("d.com")});
        QTest::mouseClick(OK(dialog), Qt::LeftButton);

        QTRY_VERIFY(alive.isNull());
        QCOMPARE(Addresses(shell.state.Lists),
                 (QStringList{QStringLiteral("http://www.a.com"), QStringLiteral("http://www.B.com"),
                              QStringLiteral("http://www.d.com"), QStringLiteral("http://www.d.com")}));
        QCOMPARE(shell.state.Lists.PRURLList.at(0).Checked, 0);
        QCOMPARE(shell.state.Lists.PRURLList.at(1).Checked, 1);
        QCOMPARE(shell.Stored(PRURLKey, "PRURLNum"), QStringLiteral("4"));
        QCOMPARE(shell.StoredValues().size(), 4 * 2 + 3 + 2 + 2); // what was typed for the three new lines
        QCOMPARE(shell.window->StatusText(), QStringLiteral("Ready"));
        QTRY_VERIFY(!shell.Button("cmdEdit")->isEnabled());
    }

    void clearingTheEditTextEmptiesThePageList()
    {
        Shell shell({{QStringLiteral("http://www.a.com"), 1}});
        Shell::ClickItem(shell.List("lstPR"), 0);
        auto* dialog = OpenDialog<frmPRURL>(shell, "cmdEdit");
        QVERIFY(dialog);
        auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtPRURL"));
        text->selectAll();
        QTest::keyClick(text, Qt::Key_Delete);
        QTest::mouseClick(OK(dialog), Qt::LeftButton);
        QCOMPARE(shell.state.Lists.PRURLCount(), 0);
        QCOMPARE(shell.Stored(PRURLKey, "PRURLNum"), QStringLiteral("0"));
        QVERIFY(!shell.Button("cmdRank")->isEnabled());
    }

    void cancelChangesNothing()
    {
        Shell shell({{QStringLiteral("http://www.a.com"), 1}});
        const QMap<QString, QString> before = shell.StoredValues();
        auto* dialog = OpenDialog<frmPRURL>(shell, "cmdAdd");
        QVERIFY(dialog);
        QTest::keyClicks(dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtPRURL")), QStringLiteral("b.com"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(shell.state.Lists.PRURLCount(), 1);
        QCOMPARE(shell.StoredValues(), before);
    }

    void addKeywordEntries()
    {
        Shell shell({}, {KeywordEntry("http://a.com", "Widget", "k1", 0)});
        shell.ClickTab(QStringLiteral("QUORVEX"));
        auto* dialog = OpenDialog<frmQUORVEXURL>(shell, "cmdAdd");
        QVERIFY(dialog);
        QPointer<frmQUORVEXURL> alive(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Add New URL"));
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                 QStringLiteral("Product Name( optional )"));
        QVERIFY(dialog->findChild<QLabel*>(QStringLiteral("Label3"))->text().startsWith(QStringLiteral("Keyword (")));
        QVERIFY(!OK(dialog)->isEnabled());

        // The address and the keywords are needed, the product is not; blanks hold neither.
        QTest::keyClicks(Box(dialog, "txtQUORVEXKeyword"), QStringLiteral("seo, ranks"));
        QVERIFY(!OK(dialog)->isEnabled());
        QTest::keyClicks(Box(dialog, "txtQUORVEXURL"), QStringLiteral("   "));
        QVERIFY(!OK(dialog)->isEnabled());
        QTest::keyClicks(Box(dialog, "txtQUORVEXURL"), QStringLiteral("A.com"));
        QVERIFY(OK(dialog)->isEnabled());

        // Same address and product, in other letters: refused, the dialog stays with the address selected.
        QTest::keyClicks(Box(dialog, "txtQUORVEXProduct"), QStringLiteral(" WIDGET "));
        QTest::mouseClick(OK(dialog), Qt::LeftButton);
        QCOMPARE(shell.prompter.Messages.size(), 1);
        QCOMPARE(shell.prompter.Messages.at(0).Text, QStringLiteral("Duplicate URL and Product Enter !"));
        QCOMPARE(shell.prompter.Messages.at(0).Icon, MessageIcon::Exclamation);
        QCOMPARE(shell.prompter.Messages.at(0).Title, QStringLiteral("Quorvex 2.2"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(Box(dialog, "txtQUORVEXURL")->selectedText(), Box(dialog, "txtQUORVEXURL")->text());
        QCOMPARE(shell.state.Lists.QuorvexCount(), 1);
        QCOMPARE(shell.Stored(QuorvexURLKey, "QUORVEXURLNum"), QStringLiteral("1"));

        // Another product for the same address is a new entry, checked.
        Box(dialog, "txtQUORVEXProduct")->clear();
        QTest::keyClicks(Box(dialog, "txtQUORVEXProduct"), QStringLiteral("Gadget"));
        QTest::mouseClick(OK(dialog), Qt::LeftButton);
        QTRY_VERIFY(alive.isNull());
        QCOMPARE(shell.state.Lists.QuorvexCount(), 2);
        const QuorvexEntry& added = shell.state.Lists.QuorvexList.at(1);
        QCOMPARE(added.URL, QStringLiteral("http://A.com"));
        QCOMPARE(added.Product, QStringLiteral("Gadget"));
        QCOMPARE(added.Keyword, QStringLiteral("seo, ranks"));
        QCOMPARE(added.Checked, 1);
        QCOMPARE(shell.List("lstQUORVEX")->topLevelItemCount(), 2);
        QCOMPARE(shell.Stored(QuorvexURLKey, "QUORVEXURL2"), QStringLiteral("http://A.com"));
        QVERIFY(shell.Button("cmdRank")->isEnabled());
        QVERIFY(shell.Button("cmdRemoveAll")->isEnabled());
    }

    // Both dialogs refuse what is no web address with the message the command line gives, and stay
    // open with what was typed; nothing is stored.
    void addressesThatAreNoWebAddressesAreRefused_data()
    {
        QTest::addColumn<bool>("keywordDialog");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("named"); // the address the message names
        QTest::newRow("page: ftp") << false << "ftp://example.com"
                                   << "ftp://example.com";
        QTest::newRow("page: a bad second line") << false << "b.com\nhttp://"
                                                 << "http://";
        QTest::newRow("keyword: no host") << true << "http://"
                                          << "http://";
        QTest::newRow("keyword: blanks") << true << "not a url"
                                         << "not a url";
    }
    void addressesThatAreNoWebAddressesAreRefused()
    {
        QFETCH(bool, keywordDialog);
        QFETCH(QString, typed);
        QFETCH(QString, named);
        Shell shell({{QStringLiteral("http://www.one.com"), 1}}, {KeywordEntry("http://one.com", "", "k", 1)});
        const QMap<QString, QString> before = shell.StoredValues();
        if (keywordDialog)
            shell.ClickTab(QStringLiteral("QUORVEX"));
        QDialog* dialog = keywordDialog ? static_cast<QDialog*>(OpenDialog<frmQUORVEXURL>(shell, "cmdAdd"))
                                        : OpenDialog<frmPRURL>(shell, "cmdAdd");
        QVERIFY(dialog);
        if (keywordDialog) {
            QTest::keyClicks(Box(dialog, "txtQUORVEXURL"), typed);
            QTest::keyClicks(Box(dialog, "txtQUORVEXKeyword"), QStringLiteral("seo"));
        } else {
            TypeLines(dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtPRURL")), typed.split(QLatin1Char('\n')));
        }
        QTest::mouseClick(OK(dialog), Qt::LeftButton);

        QCOMPARE(shell.prompter.Messages.size(), 1);
        QCOMPARE(shell.prompter.Messages.at(0).Text, RefusedAddressText(named));
        QCOMPARE(shell.prompter.Messages.at(0).Icon, MessageIcon::Exclamation);
        QCOMPARE(shell.prompter.Messages.at(0).Title, QStringLiteral("Quorvex 2.2"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(shell.state.Lists.PRURLCount(), 1);
        QCOMPARE(shell.state.Lists.QuorvexCount(), 1);
        QCOMPARE(shell.StoredValues(), before);
    }

    // What Enter and Escape do in either dialog, wherever the focus is, with OK on or still off.
    void keysInTheDialogs_data()
    {
        QTest::addColumn<bool>("keywordDialog");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("entriesAfter"); // -1: the dialog is still open
        const auto row = [](const char* name, bool keywordDialog, const char* address, const char* keyword,
                            const char* focus, Qt::Key key, Qt::KeyboardModifiers modifiers, int entriesAfter) {
            QTest::newRow(name) << keywordDialog << QString::fromLatin1(address) << QString::fromLatin1(keyword)
                                << QString::fromLatin1(focus) << int(key) << modifiers << entriesAfter;
        };
        const Qt::KeyboardModifiers none = Qt::NoModifier, keypad = Qt::KeypadModifier, ctrl = Qt::ControlModifier;
        row("keyword: Enter in the address", true, "a.com", "seo", "txtQUORVEXURL", Qt::Key_Return, none, 2);
        row("keyword: keypad Enter in the keywords", true, "a.com", "seo", "txtQUORVEXKeyword", Qt::Key_Enter, keypad,
            2);
        row("keyword: Enter on Cancel still takes it", true, "a.com", "seo", "cmdCancel", Qt::Key_Return, none, 2);
        row("keyword: Enter while OK is off", true, "a.com", "", "txtQUORVEXURL", Qt::Key_Return, none, -1);
        row("keyword: Escape", true, "a.com", "seo", "txtQUORVEXKeyword", Qt::Key_Escape, none, 1);
        row("page: Enter in the text starts a line", false, "a.com", "", "txtPRURL", Qt::Key_Return, none, -1);
        row("page: Ctrl+Enter in the text", false, "a.com", "", "txtPRURL", Qt::Key_Return, ctrl, 2);
        row("page: Enter on OK", false, "a.com", "", "cmdOK", Qt::Key_Return, none, 2);
        row("page: Ctrl+Enter while OK is off", false, "", "", "txtPRURL", Qt::Key_Return, ctrl, -1);
        row("page: Escape", false, "a.com", "", "txtPRURL", Qt::Key_Escape, none, 1);
    }
    void keysInTheDialogs()
    {
        QFETCH(bool, keywordDialog);
        QFETCH(QString, address);
        QFETCH(QString, keyword);
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, entriesAfter);
        Shell shell({{QStringLiteral("http://www.one.com"), 1}}, {KeywordEntry("http://one.com", "", "k", 1)});
        if (keywordDialog)
            shell.ClickTab(QStringLiteral("QUORVEX"));
        QDialog* dialog = keywordDialog ? static_cast<QDialog*>(OpenDialog<frmQUORVEXURL>(shell, "cmdAdd"))
                                        : OpenDialog<frmPRURL>(shell, "cmdAdd");
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QPointer<QDialog> alive(dialog);
        if (keywordDialog) {
            QTest::keyClicks(Box(dialog, "txtQUORVEXURL"), address);
            QTest::keyClicks(Box(dialog, "txtQUORVEXKeyword"), keyword);
        } else {
            QTest::keyClicks(dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtPRURL")), address);
        }
        auto* target = dialog->findChild<QWidget*>(focus);
        QVERIFY(target);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key), modifiers);

        const int entries = keywordDialog ? shell.state.Lists.QuorvexCount() : shell.state.Lists.PRURLCount();
        if (entriesAfter < 0) {
            QVERIFY(!alive.isNull() && dialog->isVisible());
            QCOMPARE(entries, 1);
            if (!keywordDialog && !address.isEmpty())
                QCOMPARE(dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtPRURL"))->toPlainText(),
                         address + QLatin1Char('\n'));
            return;
        }
        QTRY_VERIFY(alive.isNull());
        QCOMPARE(entries, entriesAfter);
        QCOMPARE(shell.Stored(keywordDialog ? QuorvexURLKey : PRURLKey, keywordDialog ? "QUORVEXURLNum" : "PRURLNum"),
                 QString::number(entriesAfter));
    }

    // The market below the three boxes: the default's fields named as such, the chosen ones kept with
    // the entry, the rest as the default has them; OK stays off while the market cannot be stored.
    void keywordEntryMarkets()
    {
        Shell shell({}, {KeywordEntry("http://a.com", "A", "k1", 1)});
        shell.state.Lists.DefaultMarket = {u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s};
        shell.ClickTab(QStringLiteral("QUORVEX"));
        auto* dialog = OpenDialog<frmQUORVEXURL>(shell, "cmdAdd");
        QVERIFY(dialog);
        QPointer<frmQUORVEXURL> alive(dialog);
        QCOMPARE(Choice(dialog, "cmbCountry")->currentText(), u"Default: France (fr)"_s);
        QCOMPARE(Choice(dialog, "cmbLanguage")->currentText(), u"Default: French (fr)"_s);
        QCOMPARE(Choice(dialog, "cmbDevice")->currentText(), u"Default: mobile"_s);
        QCOMPARE(Box(dialog, "txtLocation")->placeholderText(), u"Default: Lyon, France"_s);
        QVERIFY(Choice(dialog, "cmbCountry")->findText(u"Germany (de)"_s) > 0);
        QTest::keyClicks(Box(dialog, "txtQUORVEXURL"), u"b.com"_s);
        QTest::keyClicks(Box(dialog, "txtQUORVEXKeyword"), u"seo"_s);
        Choose(Choice(dialog, "cmbCountry"), u"de"_s);
        Box(dialog, "txtLocation")->setText(u"Berlin\x7f"_s);
        QVERIFY(!OK(dialog)->isEnabled());
        Box(dialog, "txtLocation")->setText(u"Berlin"_s);
        QVERIFY(OK(dialog)->isEnabled());
        QTest::mouseClick(OK(dialog), Qt::LeftButton);
        QTRY_VERIFY(alive.isNull());
        const Market berlin{u"de"_s, u"fr"_s, u"mobile"_s, u"Berlin"_s};
        QCOMPARE(shell.state.Lists.QuorvexList.at(1).OwnMarket, berlin);
        QCOMPARE(shell.Stored(QuorvexURLKey, "QUORVEXCountry2"), u"de"_s);
        QCOMPARE(shell.Stored(QuorvexURLKey, "QUORVEXCountry1"), u"<none>"_s);

        // Edit mode shows the entry's own market; all fields back to the first items: the default.
        Shell::ClickItem(shell.List("lstQUORVEX"), 1);
        dialog = OpenDialog<frmQUORVEXURL>(shell, "cmdEdit");
        QVERIFY(dialog);
        alive = dialog;
        QCOMPARE(Choice(dialog, "cmbCountry")->currentText(), u"Germany (de)"_s);
        QCOMPARE(Choice(dialog, "cmbLanguage")->currentData().toString(), u"fr"_s);
        QCOMPARE(Box(dialog, "txtLocation")->text(), u"Berlin"_s);
        for (const char* list : {"cmbCountry", "cmbLanguage", "cmbDevice"})
            Choice(dialog, list)->setCurrentIndex(0);
        Box(dialog, "txtLocation")->clear();
        QTest::mouseClick(OK(dialog), Qt::LeftButton);
        QTRY_VERIFY(alive.isNull());
        QVERIFY(shell.state.Lists.QuorvexList.at(1).OwnMarket.IsEmpty());
        QCOMPARE(shell.Stored(QuorvexURLKey, "QUORVEXCountry2"), u"<none>"_s);
    }

    // The three historical boxes stay where they were; the market follows them, and the keyboard
    // walks everything top to bottom and reaches each market field by its mnemonic.
    void marketFieldsByKeyboard()
    {
        Shell shell;
        shell.ClickTab(QStringLiteral("QUORVEX"));
        auto* dialog = OpenDialog<frmQUORVEXURL>(shell, "cmdAdd");
        QVERIFY(dialog);
        dialog->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
        QCOMPARE(Choice(dialog, "cmbCountry")->currentText(), u"Default: none"_s);
        QCOMPARE(Box(dialog, "txtQUORVEXKeyword")->geometry(), QRect(12, 130, 376, 22));
        QVERIFY(Choice(dialog, "cmbCountry")->mapTo(dialog, QPoint()).y() > 152);
        QVERIFY(OK(dialog)->y() > Box(dialog, "txtLocation")->mapTo(dialog, QPoint(0, 22)).y());
        QTest::keyClicks(Box(dialog, "txtQUORVEXURL"), u"a.com"_s);
        QTest::keyClicks(Box(dialog, "txtQUORVEXKeyword"), u"seo"_s);

        Box(dialog, "txtQUORVEXURL")->setFocus();
        QStringList walked;
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(walked, (QStringList{u"txtQUORVEXProduct"_s, u"txtQUORVEXKeyword"_s, u"cmbCountry"_s, u"cmbLanguage"_s,
                                      u"cmbDevice"_s, u"txtLocation"_s, u"cmdOK"_s, u"cmdCancel"_s}));
        const std::pair<Qt::Key, const char*> mnemonics[] = {{Qt::Key_U, "cmbCountry"},
                                                             {Qt::Key_L, "cmbLanguage"},
                                                             {Qt::Key_D, "cmbDevice"},
                                                             {Qt::Key_T, "txtLocation"}};
        for (const auto& [key, field] : mnemonics) {
            QTest::keyClick(dialog, key, Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(field));
        }
    }

    void editKeywordEntry()
    {
        Shell shell({}, {KeywordEntry("http://a.com", "A", "k1", 0), KeywordEntry("http://b.com", "B", "k2", 1)});
        shell.ClickTab(QStringLiteral("QUORVEX"));
        Shell::ClickItem(shell.List("lstQUORVEX"), 0);
        auto* dialog = OpenDialog<frmQUORVEXURL>(shell, "cmdEdit");
        QVERIFY(dialog);
        QPointer<frmQUORVEXURL> alive(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit URL"));
        QCOMPARE(Box(dialog, "txtQUORVEXURL")->text(), QStringLiteral("http://a.com"));
        QCOMPARE(Box(dialog, "txtQUORVEXProduct")->text(), QStringLiteral("A"));
        QCOMPARE(Box(dialog, "txtQUORVEXKeyword")->text(), QStringLiteral("k1"));
        QVERIFY(OK(dialog)->isEnabled());

        // The entry may keep its own address and product; another entry's pair is refused.
        Box(dialog, "txtQUORVEXURL")->clear();
        QTest::keyClicks(Box(dialog, "txtQUORVEXURL"), QStringLiteral("HTTP://B.com"));
        Box(dialog, "txtQUORVEXProduct")->clear();
        QTest::keyClicks(Box(dialog, "txtQUORVEXProduct"), QStringLiteral("b"));
        QTest::mouseClick(OK(dialog), Qt::LeftButton);
        QCOMPARE(shell.prompter.Messages.size(), 1);
        QCOMPARE(shell.state.Lists.QuorvexList.at(0).URL, QStringLiteral("http://a.com"));

        // Only the product changes: saved, the flag kept.
        Box(dialog, "txtQUORVEXURL")->setText(QStringLiteral("http://a.com"));
        Box(dialog, "txtQUORVEXProduct")->setText(QStringLiteral("A2"));
        QTest::mouseClick(OK(dialog), Qt::LeftButton);
        QTRY_VERIFY(alive.isNull());
        const QuorvexEntry& edited = shell.state.Lists.QuorvexList.at(0);
        QCOMPARE(edited.URL, QStringLiteral("http://a.com"));
        QCOMPARE(edited.Product, QStringLiteral("A2"));
        QCOMPARE(edited.Checked, 0);
        QCOMPARE(shell.Stored(QuorvexURLKey, "QUORVEXProduct1"), QStringLiteral("A2"));
        QCOMPARE(shell.Stored(QuorvexURLKey, "QUORVEXURLUnChecked1"), QStringLiteral("0"));
        QCOMPARE(shell.List("lstQUORVEX")->topLevelItem(0)->text(2), QStringLiteral("A2"));
    }
};

QUORVEX_TEST_MAIN(TestEntryDialogs)
#include "test_entry_dialogs.moc"
