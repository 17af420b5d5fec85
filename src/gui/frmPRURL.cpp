// The Page Rank entry dialog.

#include "gui/frmPRURL.h"

#include "base/Names.h"
#include "base/Prompter.h"
#include "model/AppState.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

frmPRURL::frmPRURL(AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), state(state), prompter(prompter), txtPRURL(new QPlainTextEdit(this)),
      cmdOK(new QPushButton(QStringLiteral("&OK"), this))
{
    setObjectName(QStringLiteral("frmPRURL"));
    setFixedSize(424, 264);
    auto* Label1 = new QLabel(QStringLiteral("Target URL (www.example.com)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(12, 10, 400, 18);
    txtPRURL->setObjectName(QStringLiteral("txtPRURL"));
    txtPRURL->setGeometry(12, 32, 400, 184);
    txtPRURL->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtPRURL->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtPRURL->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // No address holds a tab: Tab leaves the box for the buttons.
    txtPRURL->setTabChangesFocus(true);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(228, 228, 88, 24);
    cmdOK->setEnabled(false);
    auto* cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(324, 228, 88, 24);
    // Enter in the text starts a new line; Ctrl+Enter there, or Enter on either button, takes the
    // text once OK is on. Only Escape and the Cancel button itself drop what was typed.
    cmdOK->setDefault(true);
    cmdCancel->setAutoDefault(false);
    txtPRURL->installEventFilter(this);

    connect(txtPRURL, &QPlainTextEdit::textChanged, this, &frmPRURL::txtPRURL_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmPRURL::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    if (state.Lists.AddMode) {
        setWindowTitle(QStringLiteral("Add New URL"));
    } else {
        // Filled through the change handler: the list as shown can be taken with OK at once.
        setWindowTitle(QStringLiteral("Edit URL"));
        QStringList addresses;
        for (const PRURLEntry& entry : std::as_const(state.Lists.PRURLList))
            addresses.append(entry.URL);
        txtPRURL->setPlainText(addresses.join(QLatin1Char('\n')));
        txtPRURL->moveCursor(QTextCursor::End);
    }
    txtPRURL->setFocus();
}

bool frmPRURL::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtPRURL && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ControlModifier)) {
            if (cmdOK->isEnabled())
                cmdOK->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPRURL::txtPRURL_Change()
{
    cmdOK->setEnabled(true);
    state.Lists.CurrentPRText = txtPRURL->toPlainText().trimmed();
}

void frmPRURL::cmdOK_Click()
{
    QString refused;
    result = AcceptPRURLText(state.Lists, state.Settings, state.Lists.CurrentPRText, state.Lists.AddMode, &refused);
    if (result == EditResult::ListFull)
        prompter.ShowMessage(ListFullText(), MessageIcon::Exclamation, AppTitle);
    if (result == EditResult::NotAnAddress)
        prompter.ShowMessage(RefusedAddressText(refused), MessageIcon::Exclamation, AppTitle);
    if (result == EditResult::ListFull || result == EditResult::NotAnAddress || result == EditResult::NotSaved)
        return; // nothing changed; the dialog keeps the text
    accept();
}
