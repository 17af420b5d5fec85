#pragma once
// The help window: one link that opens the program's help document and closes the window.

#include <QDialog>

class HyperlinkLabel;
class Launcher;

class frmHelp : public QDialog {
    Q_OBJECT
public:
    explicit frmHelp(Launcher& launcher, QWidget* parent = nullptr);

private:
    void lblHelp_Hovered();
    void lblHelp_Click();

    Launcher& launcher;
    HyperlinkLabel* lblHelp;
};

// The program's README on the local disk: beside the executable, in the installed documentation
// folder, or at the top of the source tree the executable was built in. Empty text when none exists.
QString HelpDocumentPath();
