// The keyword-position entry dialog.

#include "gui/frmQUORVEXURL.h"

#include "base/Names.h"
#include "base/Prompter.h"
#include "gui/MarketFields.h"
#include "gui/frmQuorvex.h"
#include "lists/ListEdits.h"
#include "model/AppState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit* TextBox(QWidget* dialog, const char* name, int top)
{
    auto* box = new QLineEdit(dialog);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(12, top, 376, 22);
    return box;
}

void Caption(QWidget* dialog, const char* name, const QString& text, int top)
{
    auto* label = new QLabel(text, dialog);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(12, top, 376, 18);
}

// What the user is told of a refused entry; empty when the store has said why already.
QString RefusalText(EditResult result, const QString& address, const Market& market)
{
    switch (result) {
    case EditResult::Duplicate:
        return DuplicateEntryText();
    case EditResult::ListFull:
        return ListFullText();
    case EditResult::NotAnAddress:
        return RefusedAddressText(address);
    case EditResult::BadMarket:
        return MarketProblem(market);
    case EditResult::Saved:
    case EditResult::DuplicateDropped:
    case EditResult::NotSaved:
        break;
    }
    return {};
}

} // namespace

frmQUORVEXURL::frmQUORVEXURL(AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), state(state), prompter(prompter), cmdOK(new QPushButton(QStringLiteral("&OK"), this))
{
    setObjectName(QStringLiteral("frmQUORVEXURL"));
    setWindowTitle(state.Lists.AddMode ? QStringLiteral("Add New URL") : QStringLiteral("Edit URL"));
    Caption(this, "Label1", QStringLiteral("Target URL (www.example.com)"), 10);
    txtQUORVEXURL = TextBox(this, "txtQUORVEXURL", 30);
    Caption(this, "Label2", QStringLiteral("Product Name( optional )"), 60);
    txtQUORVEXProduct = TextBox(this, "txtQUORVEXProduct", 80);
    Caption(this, "Label3", QStringLiteral("Keyword (seo,pagerank,ranking)"), 110);
    txtQUORVEXKeyword = TextBox(this, "txtQUORVEXKeyword", 130);
    // The market below the three historical boxes, the buttons below it.
    market = new MarketFields(&state.Lists.DefaultMarket, this);
    market->setGeometry(12, 164, 376, market->sizeHint().height());
    const int buttonsTop = market->geometry().bottom() + 14;
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(204, buttonsTop, 88, 24);
    cmdOK->setEnabled(false);
    auto* cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(300, buttonsTop, 88, 24);
    setFixedSize(400, buttonsTop + 36);
    // The keyboard walks the fields as they are seen, top to bottom.
    setTabOrder(txtQUORVEXURL, txtQUORVEXProduct);
    setTabOrder(txtQUORVEXProduct, txtQUORVEXKeyword);
    setTabOrder(txtQUORVEXKeyword, market->First());
    setTabOrder(market->Last(), cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    // Enter in any box, or on either button, takes the entry once OK is on, and does nothing before;
    // only Escape and the Cancel button itself drop what was typed.
    cmdOK->setDefault(true);
    cmdCancel->setAutoDefault(false);
    connect(txtQUORVEXURL, &QLineEdit::textChanged, this, &frmQUORVEXURL::txtQUORVEXURL_Change);
    connect(txtQUORVEXProduct, &QLineEdit::textChanged, this, &frmQUORVEXURL::txtQUORVEXProduct_Change);
    connect(txtQUORVEXKeyword, &QLineEdit::textChanged, this, &frmQUORVEXURL::txtQUORVEXKeyword_Change);
    connect(market, &MarketFields::Changed, this, &frmQUORVEXURL::EvaluateOK);
    connect(cmdOK, &QPushButton::clicked, this, &frmQUORVEXURL::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    // Filled through the change handlers, so that an entry being edited can be saved at once, even
    // when only its product name changes.
    const ListState current = state.Lists;
    txtQUORVEXURL->setText(current.CurrentQuorvexURL);
    txtQUORVEXProduct->setText(current.CurrentQuorvexProduct);
    txtQUORVEXKeyword->setText(current.CurrentQuorvexKeyword);
    if (!current.AddMode && current.SelectedQuorvexIndex >= 1 && current.SelectedQuorvexIndex <= current.QuorvexCount())
        market->SetValue(current.QuorvexList.at(current.SelectedQuorvexIndex - 1).OwnMarket);
    txtQUORVEXURL->setFocus();
}

void frmQUORVEXURL::EvaluateOK()
{
    // A box of blanks holds no address and no keyword; a market the services cannot take is never stored.
    cmdOK->setEnabled(!txtQUORVEXURL->text().trimmed().isEmpty() && !txtQUORVEXKeyword->text().trimmed().isEmpty() &&
                      MarketProblem(market->Value()).isEmpty());
}

void frmQUORVEXURL::txtQUORVEXURL_Change()
{
    EvaluateOK();
    state.Lists.CurrentQuorvexURL = txtQUORVEXURL->text().trimmed();
}

void frmQUORVEXURL::txtQUORVEXProduct_Change()
{
    state.Lists.CurrentQuorvexProduct = txtQUORVEXProduct->text().trimmed();
}

void frmQUORVEXURL::txtQUORVEXKeyword_Change()
{
    EvaluateOK();
    state.Lists.CurrentQuorvexKeyword = txtQUORVEXKeyword->text().trimmed();
}

void frmQUORVEXURL::cmdOK_Click()
{
    ListState& lists = state.Lists;
    const Market chosen = market->Value();
    const EditResult result =
        AcceptQuorvexEntry(lists, state.Settings, lists.CurrentQuorvexURL, lists.CurrentQuorvexProduct,
                           lists.CurrentQuorvexKeyword, chosen, lists.AddMode, lists.SelectedQuorvexIndex);
    if (result != EditResult::Saved) {
        if (const QString text = RefusalText(result, lists.CurrentQuorvexURL, chosen); !text.isEmpty())
            prompter.ShowMessage(text, MessageIcon::Exclamation, AppTitle);
        txtQUORVEXURL->selectAll();
        txtQUORVEXURL->setFocus();
        return;
    }
    accept();
}
