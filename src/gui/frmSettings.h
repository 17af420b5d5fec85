#pragma once
// The settings dialog (File > Settings...): one page for each group of what the program adds to
// the stored settings, OK to check and store them all, Cancel to leave them as they were.

#include <QDialog>

struct ListState;
class MarketFields;
class Prompter;
class QLineEdit;
class QPushButton;
class QTabWidget;
class Session;
class SettingsStore;
class SourcesPage;

class frmSettings : public QDialog {
    Q_OBJECT
public:
    // The session's store holds the settings; its download control sends the sources' tests.
    frmSettings(Session& session, Prompter& prompter, QWidget* parent = nullptr);

    // The pages; a group of settings adds its own.
    QTabWidget* Pages() const { return tabPages; }

public Q_SLOTS:
    void accept() override;

private:
    QWidget* DirectoryPage();
    QWidget* MarketPage();

    SettingsStore& store;
    ListState& lists;
    Prompter& prompter;
    QTabWidget* tabPages = nullptr;
    QLineEdit* txtDirectoryBase = nullptr;
    SourcesPage* sources = nullptr;
    QWidget* marketPage = nullptr;
    MarketFields* defaultMarket = nullptr;
    QPushButton* ok = nullptr;
};
