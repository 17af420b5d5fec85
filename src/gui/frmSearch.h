#pragma once
// The search window "Get List of WebSites": a keyword's search table, its progress boxes, the
// three extraction boxes and the button column. Clicks become the core's checks and the runs of
// SiteDatabaseActions.

#include "sitedb/ScanLists.h"
#include "sitedb/SiteDatabase.h"

#include <QDialog>

struct AppState;
class Clock;
class Launcher;
class Prompter;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class SearchTableModel;
class SiteDatabaseActions;

class frmSearch : public QDialog {
    Q_OBJECT
public:
    frmSearch(AppState& state, Prompter& prompter, const Clock& clock, Launcher& launcher, SiteDatabaseActions& actions,
              QWidget* parent = nullptr);
    ~frmSearch() override;

    // Fills lstTitle with every row of the table, in stored order.
    void ShowSearchTable(const QString& table);
    const SearchTableModel& Rows() const { return *rows; }
    // What the last successful scan found; empty before one.
    const ScanLists& LastScan() const { return scanLists; }

public Q_SLOTS:
    void done(int result) override;

private:
    void CreateControls();
    QPushButton* ColumnButton(const char* name, const QString& caption, bool enabled);
    QCheckBox* ExtractBox(const char* name, const QString& caption);
    void Form_Load();
    void cmbSearch_Click();
    void cmbSearch_Change(const QString& text);
    void txtType_Change();
    void ExtractBox_Click(QCheckBox* box);
    void cmdAdd_Click();
    void cmdExtract_Click();
    void cmdCancel_Click();
    void cmdScan_Click();
    void cmdReport_Click();
    void cmdCompactDatabase_Click();
    void cmdRecoverDatabase_Click();
    void cmdExportHTML_Click();
    void CollectionWritten(const QString& keyword);
    void ExtractionWritten(const QString& keyword);

    // The master row of the keyword into Top, Bottom and, when asked, the category box.
    bool ShowMasterRow(const QString& keyword, bool withCategory);
    void AddKeywordItem(const QString& keyword);
    void FitNumberColumns();
    void showEvent(QShowEvent* event) override;
    void ResetBoxes();
    // After the database changed under the window: the keyword list in stored order, then the
    // keyword of the box when the database still holds it, else the first keyword, else nothing.
    void ShowChangedDatabase();
    ExtractChoice Choice() const;
    void Fail(const QString& message);

    AppState& state;
    const QString programFolder;
    Prompter& prompter;
    Launcher& launcher;
    const Clock& clock;
    SiteDatabaseActions& actions;
    // From the start of loading until the first change of the keyword text has been handled.
    bool LoadingGuard = false;
    // A run this window started may still be going.
    bool startedRun = false;
    // The lists of the last successful scan, which the export works through.
    ScanLists scanLists;

    QComboBox* cmbSearch = nullptr;
    QLineEdit* txtType = nullptr;
    QLineEdit* txtRHead = nullptr;
    QComboBox* cmbRSpan = nullptr;
    QLineEdit* txtREnd = nullptr;
    QTableView* lstTitle = nullptr;
    SearchTableModel* rows = nullptr;
    QCheckBox* chkExtractTitle = nullptr;
    QCheckBox* chkExtractPR = nullptr;
    QCheckBox* chkExtractAlexa = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdExtract = nullptr;
    QPushButton* cmdCompactDatabase = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdScan = nullptr;
    QPushButton* cmdReport = nullptr;
    QPushButton* cmdExportHTML = nullptr;
    QPushButton* cmdRecoverDatabase = nullptr;
};
