#pragma once
// The Page Rank entry dialog: the whole list as text, one address per line. Add appends the lines
// typed, Edit replaces the list with the text.

#include <QDialog>

struct AppState;
class Prompter;
class frmQuorvex;
class QPlainTextEdit;
class QPushButton;

class frmPRURL : public QDialog {
    Q_OBJECT
public:
    frmPRURL(AppState& state, Prompter& prompter, frmQuorvex& mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void txtPRURL_Change();
    void cmdOK_Click();

    AppState& state;
    Prompter& prompter;
    frmQuorvex& mainWindow;
    QPlainTextEdit* txtPRURL;
    QPushButton* cmdOK;
};
