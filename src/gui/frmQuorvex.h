#pragma once
// The main window's client area: the two lists on a tab strip, the button column, the two options,
// the status bar and the progress bar; and the menus of the menu bar above it. Clicks become calls
// of the list operations and of the session's runs.

#include <QWidget>

#include "model/ListState.h"

struct AppState;
class Launcher;
class Prompter;
class QCheckBox;
class QDialog;
class QLineEdit;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class Session;
class StatusPanel;

class frmQuorvex : public QWidget {
    Q_OBJECT
public:
    frmQuorvex(Session& session, Launcher& launcher, QWidget* parent = nullptr);

    // File, View and Help, acting on this window.
    void CreateMenus(QMenuBar* menuBar);
    // The keyword site database window, modal over the main window, running through the session.
    void OpenSiteDatabase();
    // View > Save history as CSV... and as wide CSV...: the whole history into a file the user picks.
    void SaveHistoryCsv(bool wide);

    // Refill a list view and arrange the button column for its tab.
    void DisplayPRURLList();
    void DisplayQUORVEXURLList();
    // cmdRank follows the checked entries, cmdViewReport the report's index page.
    void UpdateRankAndReportButtons();

    // The first panel of sbStatus.
    void SetStatusText(const QString& text);
    QString StatusText() const;
    // A passing note: tmrReady puts "Ready" back shortly after.
    void ShowStatusNote(const QString& text);

    QProgressBar* ProgressBar() const { return prgBar; }
    QPushButton* RankButton() const { return cmdRank; }
    // A rank run is going while the rank button reads "&Stop".
    bool RunGoing() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The tabs' captions: the tab strip shows them and its click handler tells the tabs apart by them.
    static inline const QString PageRankCaption = QStringLiteral("Page Rank");
    static inline const QString QuorvexCaption = QStringLiteral("QUORVEX");

    void CreateControls();
    void ConnectRankRun();
    QPushButton* ColumnButton(const char* name, const QString& caption);
    QTreeWidget* ListView(const char* name, const QStringList& columns, const QList<int>& widths);
    void ArrangeButtonColumn(const QString& editCaption, bool removeShown, int firstTop);
    void PlaceControls();
    void EvaluateRankButton();
    void EvaluateViewReportButton();
    void ShowDialog(QDialog* dialog);
    // The entry dialog of the tab shown, for the Add or Edit mode set; the list is shown again
    // once it is accepted.
    QDialog* EntryDialog();

    void tabSearch_Click();
    void lstPR_Click();
    void lstQUORVEX_Click();
    void lstPR_ItemCheck(QTreeWidgetItem* item, int column);
    void lstQUORVEX_ItemCheck(QTreeWidgetItem* item, int column);
    void ItemCheck(ListKind kind, QTreeWidget* list, QTreeWidgetItem* item, int column);
    void cmdAdd_Click();
    void cmdEdit_Click();
    void EditWithDialog(QWidget* focusAfter);
    bool SelectionEnables(const QPushButton* button);
    void EditSelectedEntry();
    void RemoveSelectedEntry();
    void cmdRemove_Click();
    void cmdRemoveAll_Click();
    void cmdRank_Click();
    void cmdViewReport_Click();
    void cmdAbout_Click();
    void cmdHelp_Click();
    void chkExtractKeyword_Click();
    void chkTOP10List_Click();

    Session& session;
    AppState& state;
    Prompter& prompter;
    Launcher& launcher;
    int TabIndex = 0;         // 0 "Page Rank", 1 "QUORVEX"
    int movedButtonsTop = 88; // of cmdRemoveAll, cmdRank and cmdViewReport, set by the display routines
    int columnsWidenedBy = 0; // the extra width the list columns were given for a larger window

    QTabWidget* tabSearch = nullptr;
    QTreeWidget* lstPR = nullptr;
    QTreeWidget* lstQUORVEX = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdRemoveAll = nullptr;
    QPushButton* cmdRank = nullptr;
    QPushButton* cmdViewReport = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdAbout = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdSearchKeyword = nullptr;
    QCheckBox* chkExtractKeyword = nullptr;
    QCheckBox* chkTOP10List = nullptr;
    QStatusBar* sbStatus = nullptr;
    StatusPanel* statusPanel = nullptr;
    QProgressBar* prgBar = nullptr;
    QLineEdit* txtDumb = nullptr;
    QTimer* tmrDelay = nullptr;
    QTimer* tmrSetFocus = nullptr;
    QTimer* tmrReady = nullptr;
};
