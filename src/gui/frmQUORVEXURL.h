#pragma once
// The keyword-position entry dialog: address, optional product name, keyword list and market of one
// entry, added as a new entry or replacing the one clicked. Accepted once the entry is saved; the window
// that opened it shows the list again.

#include <QDialog>

struct AppState;
class MarketFields;
class Prompter;
class QLineEdit;
class QPushButton;

class frmQUORVEXURL : public QDialog {
    Q_OBJECT
public:
    frmQUORVEXURL(AppState& state, Prompter& prompter, QWidget* parent);

private:
    void txtQUORVEXURL_Change();
    void txtQUORVEXProduct_Change();
    void txtQUORVEXKeyword_Change();
    void EvaluateOK();
    void cmdOK_Click();

    AppState& state;
    Prompter& prompter;
    QLineEdit* txtQUORVEXURL;
    QLineEdit* txtQUORVEXProduct;
    QLineEdit* txtQUORVEXKeyword;
    MarketFields* market;
    QPushButton* cmdOK;
};
