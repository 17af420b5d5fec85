#pragma once
// The about window: the program's name and version, the publisher notice and a web-page link.

#include <QDialog>

class HyperlinkLabel;
class Launcher;
class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(Launcher& launcher, QWidget* parent = nullptr);

private:
    void CentreControls();
    void lblWebPage_Hovered();
    void lblWebPage_Left();
    void lblWebPage_Click();

    Launcher& launcher;
    QLabel* picture;
    QLabel* lblSoftwareVersion;
    QLabel* lblSoftwareAuther;
    QLabel* lblNote;
    HyperlinkLabel* lblWebPage;
    QPushButton* cmdOK;
};
