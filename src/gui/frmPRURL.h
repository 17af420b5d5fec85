#pragma once
// The Page Rank entry dialog: the whole list as text, one address per line. Add appends the lines
// typed, Edit replaces the list with the text. Accepted once the text is saved; the window that
// opened it shows the list again and reads Result.

#include "lists/ListEdits.h"

#include <QDialog>

struct AppState;
class Prompter;
class QPlainTextEdit;
class QPushButton;

class frmPRURL : public QDialog {
    Q_OBJECT
public:
    frmPRURL(AppState& state, Prompter& prompter, QWidget* parent);
    // Saved or DuplicateDropped once accepted.
    EditResult Result() const { return result; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void txtPRURL_Change();
    void cmdOK_Click();

    AppState& state;
    Prompter& prompter;
    EditResult result = EditResult::Saved;
    QPlainTextEdit* txtPRURL;
    QPushButton* cmdOK;
};
