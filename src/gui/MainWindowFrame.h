#pragma once
// The main window as the desktop shows it: the menu bar, and below it frmQuorvex's client area at
// its designed size; the window is taller by the menu bar's height.

#include <QWidget>

class Launcher;
class QMenuBar;
class Session;
class frmQuorvex;

class MainWindowFrame : public QWidget {
    Q_OBJECT
public:
    MainWindowFrame(Session& session, Launcher& launcher, QWidget* parent = nullptr);

    frmQuorvex& Client() const { return *client; }
    QMenuBar& MenuBar() const { return *menuBar; }

protected:
    // The client area's own closing stops every run and ends the program.
    void closeEvent(QCloseEvent* event) override;

private:
    frmQuorvex* client = nullptr;
    QMenuBar* menuBar = nullptr;
};
