// frmSearch: the search window of the keyword site database, its loading, the keyword box's two
// events, the enabling rules and the starts of collection and extraction.
#include "gui/frmSearch.h"

#include "model/AppState.h"

#include "base/Clock.h"
#include "base/Launcher.h"
#include "base/Names.h"
#include "base/Prompter.h"
#include "gui/CutOffCellTips.h"
#include "sitedb/DailyCopy.h"
#include "sitedb/DatabaseMaintenance.h"
#include "sitedb/DatabaseScan.h"
#include "sitedb/DirectoryExport.h"
#include "sitedb/DirectorySettings.h"
#include "sitedb/ScanReport.h"
#include "sitedb/SearchTableModel.h"
#include "sitedb/SiteDatabaseActions.h"
#include "sitedb/SiteDbRequests.h"
#include "sitedb/SiteDbRules.h"
#include "sitedb/SiteDbTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int DesignedWidths[] = {50, 200, 160, 200, 160, 40, 80};
// A text column is never narrower than this when the numbers need room.
constexpr int MinimumTextWidth = 60;

} // namespace

frmSearch::frmSearch(AppState& state, Prompter& prompter, const Clock& clock, Launcher& launcher,
                     SiteDatabaseActions& actions, QWidget* parent)
    : QDialog(parent), state(state), programFolder(state.ProgramFolder), prompter(prompter), launcher(launcher),
      clock(clock), actions(actions)
{
    setObjectName(u"frmSearch"_s);
    setWindowTitle(u"Get List of WebSites"_s);
    CreateControls();
    connect(&actions, &SiteDatabaseActions::CollectionWritten, this, &frmSearch::CollectionWritten);
    connect(&actions, &SiteDatabaseActions::ExtractionWritten, this, &frmSearch::ExtractionWritten);
    Form_Load();
}

void frmSearch::CreateControls()
{
    auto* label1 = new QLabel(u"Search"_s, this);
    label1->setObjectName(u"Label1"_s);
    cmbSearch = new QComboBox(this);
    cmbSearch->setObjectName(u"cmbSearch"_s);
    cmbSearch->setEditable(true);
    cmbSearch->setInsertPolicy(QComboBox::NoInsert);
    // The keyword box changes only by what is typed or chosen, never by an inline completion.
    cmbSearch->setCompleter(nullptr);
    cmbSearch->setMinimumWidth(220);
    txtType = new QLineEdit(this);
    txtType->setObjectName(u"txtType"_s);
    auto* label2 = new QLabel(u"Top"_s, this);
    label2->setObjectName(u"Label2"_s);
    txtRHead = new QLineEdit(u"0"_s, this);
    txtRHead->setObjectName(u"txtRHead"_s);
    auto* label4 = new QLabel(u"Span"_s, this);
    label4->setObjectName(u"Label4"_s);
    cmbRSpan = new QComboBox(this);
    cmbRSpan->setObjectName(u"cmbRSpan"_s);
    cmbRSpan->setEditable(true);
    cmbRSpan->setInsertPolicy(QComboBox::NoInsert);
    cmbRSpan->setCompleter(nullptr);
    cmbRSpan->setEditText(u"50"_s);
    auto* label3 = new QLabel(u"Bottom"_s, this);
    label3->setObjectName(u"Label3"_s);
    txtREnd = new QLineEdit(u"0"_s, this);
    txtREnd->setObjectName(u"txtREnd"_s);
    txtREnd->setReadOnly(true);
    for (QLineEdit* box : {txtRHead, txtREnd})
        box->setMaximumWidth(70);

    auto* inputs = new QHBoxLayout;
    inputs->addWidget(label1);
    inputs->addWidget(cmbSearch, 1);
    inputs->addWidget(txtType);
    inputs->addWidget(label2);
    inputs->addWidget(txtRHead);
    inputs->addWidget(label4);
    inputs->addWidget(cmbRSpan);
    inputs->addWidget(label3);
    inputs->addWidget(txtREnd);

    rows = new SearchTableModel(this);
    lstTitle = new QTableView(this);
    lstTitle->setObjectName(u"lstTitle"_s);
    lstTitle->setModel(rows);
    lstTitle->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstTitle->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstTitle->setWordWrap(false);
    lstTitle->setShowGrid(false);
    lstTitle->verticalHeader()->hide();
    // Fixed row heights: the view never measures thirty thousand rows to lay them out.
    lstTitle->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstTitle->horizontalHeader()->setStretchLastSection(false);
    lstTitle->setItemDelegate(new CutOffCellTips(lstTitle));
    for (int column = 0; column < SearchTableModel::ColumnCount; ++column)
        lstTitle->setColumnWidth(column, DesignedWidths[column]);

    chkExtractTitle = ExtractBox("chkExtractTitle", u"Extract Title"_s);
    chkExtractPR = ExtractBox("chkExtractPR", u"Extract PR"_s);
    chkExtractAlexa = ExtractBox("chkExtractAlexa", u"Extract Alexa"_s);
    cmdAdd = ColumnButton("cmdAdd", u"&Add/Refresh"_s, false);
    cmdDelete = ColumnButton("cmdDelete", u"&Delete"_s, false);
    cmdExtract = ColumnButton("cmdExtract", u"&Extract"_s, false);
    cmdCompactDatabase = ColumnButton("cmdCompactDatabase", u"Com&pact"_s, true);
    cmdCancel = ColumnButton("cmdCancel", u"&Cancel"_s, true);
    cmdScan = ColumnButton("cmdScan", u"&Scan"_s, true);
    cmdReport = ColumnButton("cmdReport", u"Scan &Report"_s, false);
    cmdExportHTML = ColumnButton("cmdExportHTML", u"Export &HTML"_s, false);
    cmdRecoverDatabase = ColumnButton("cmdRecoverDatabase", u"Reco&ver Database"_s, false);

    auto* column = new QVBoxLayout;
    for (QWidget* control : std::initializer_list<QWidget*>{chkExtractTitle, chkExtractPR, chkExtractAlexa, cmdAdd,
                                                            cmdDelete, cmdExtract, cmdCompactDatabase, cmdCancel,
                                                            cmdScan, cmdReport, cmdExportHTML, cmdRecoverDatabase})
        column->addWidget(control);
    column->addStretch(1);

    auto* body = new QHBoxLayout;
    body->addWidget(lstTitle, 1);
    body->addLayout(column);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addLayout(body, 1);
    resize(1040, 560);

    connect(cmbSearch, &QComboBox::editTextChanged, this, &frmSearch::cmbSearch_Change);
    connect(cmbSearch, &QComboBox::activated, this, &frmSearch::cmbSearch_Click);
    connect(txtType, &QLineEdit::textChanged, this, &frmSearch::txtType_Change);
    connect(cmdAdd, &QPushButton::clicked, this, &frmSearch::cmdAdd_Click);
    connect(cmdExtract, &QPushButton::clicked, this, &frmSearch::cmdExtract_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSearch::cmdCancel_Click);
    connect(cmdScan, &QPushButton::clicked, this, &frmSearch::cmdScan_Click);
    connect(cmdReport, &QPushButton::clicked, this, &frmSearch::cmdReport_Click);
    connect(cmdCompactDatabase, &QPushButton::clicked, this, &frmSearch::cmdCompactDatabase_Click);
    connect(cmdRecoverDatabase, &QPushButton::clicked, this, &frmSearch::cmdRecoverDatabase_Click);
    connect(cmdExportHTML, &QPushButton::clicked, this, &frmSearch::cmdExportHTML_Click);
}

QPushButton* frmSearch::ColumnButton(const char* name, const QString& caption, bool enabled)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setEnabled(enabled);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* frmSearch::ExtractBox(const char* name, const QString& caption)
{
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(QLatin1String(name));
    box->setChecked(true);
    connect(box, &QCheckBox::clicked, this, [this, box] { ExtractBox_Click(box); });
    return box;
}

void frmSearch::Fail(const QString& message)
{
    prompter.ShowMessage(message, MessageIcon::Exclamation, SiteDbTitle);
}

void frmSearch::Form_Load()
{
    QString copyError;
    if (!MakeDailyCopy(programFolder, clock.Now().date(), copyError))
        Fail(copyError);
    LoadingGuard = true;
    SiteDatabase database(DatabasePath(programFolder));
    QList<MasterRow> master;
    if (!database.ReadMaster(master)) {
        if (copyError.isEmpty())
            Fail(database.LastError());
    } else if (!master.isEmpty()) {
        const MasterRow& first = master.first();
        const Progress progress = SplitSearchNum(first.SearchNum);
        txtRHead->setText(progress.Top);
        txtREnd->setText(progress.Bottom);
        cmbSearch->setEditText(first.Search.value_or(QString()));
        txtType->setText(first.SearchType.value_or(QString()));
        const QString current = StoredKeyword(cmbSearch->currentText());
        for (const MasterRow& row : master)
            AddKeywordItem(row.Search.value_or(QString()));
        ShowSearchTable(SearchTableName(current));
        cmdExtract->setEnabled(true);
    }
    const QSignalBlocker blocker(cmbRSpan);
    const QString span = cmbRSpan->currentText();
    for (int value : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30, 40, 50, 100})
        cmbRSpan->addItem(QString::number(value));
    cmbRSpan->setCurrentIndex(-1);
    cmbRSpan->setEditText(span);
}

void frmSearch::AddKeywordItem(const QString& keyword)
{
    // Filling the list is no change of the keyword text, even where the combo box would pick the
    // first item it gets.
    const QSignalBlocker blocker(cmbSearch);
    const QString text = cmbSearch->currentText();
    cmbSearch->addItem(keyword);
    cmbSearch->setCurrentIndex(-1);
    cmbSearch->setEditText(text);
}

void frmSearch::ShowSearchTable(const QString& table)
{
    SiteDatabase database(DatabasePath(programFolder));
    QList<SiteRow> sites;
    if (!database.ReadSearchTable(table, sites))
        Fail(database.LastError());
    rows->ShowRows(std::move(sites));
    FitNumberColumns();
}

// The texts keep their designed widths and show what their column cuts off as a tooltip. ID, PR and
// Alexa widen to their widest text from their designed widths, which hold any row number and any
// PageRank; the view measures a thousand rows at most, those in sight first, so a long table shows
// as fast as a short one.
void frmSearch::FitNumberColumns()
{
    for (const int column : {SearchTableModel::ID, SearchTableModel::PR, SearchTableModel::Alexa}) {
        lstTitle->resizeColumnToContents(column);
        lstTitle->setColumnWidth(column, std::max(lstTitle->columnWidth(column), DesignedWidths[column]));
    }
    // What the numbers took is given back by the keywords, then the description, then the title, so
    // that the whole row stays in sight; a cut text shows whole as its tooltip.
    if (!lstTitle->isVisible())
        return; // the view's width is known once it shows
    int over = lstTitle->horizontalHeader()->length() - lstTitle->viewport()->width();
    for (const int column : {SearchTableModel::Keyword, SearchTableModel::Description, SearchTableModel::Title}) {
        const int give = std::clamp(over, 0, std::max(0, lstTitle->columnWidth(column) - MinimumTextWidth));
        lstTitle->setColumnWidth(column, lstTitle->columnWidth(column) - give);
        over -= give;
    }
}

// The edit box of the keyword list loses its focus while the window's children go away after this
// body, and the list then reports a choice: this window must no longer hear it.
frmSearch::~frmSearch()
{
    cmbSearch->disconnect(this);
}

void frmSearch::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FitNumberColumns();
}

bool frmSearch::ShowMasterRow(const QString& keyword, bool withCategory)
{
    SiteDatabase database(DatabasePath(programFolder));
    std::optional<MasterRow> row;
    if (!database.FindMaster(keyword, row)) {
        Fail(database.LastError());
        return false;
    }
    if (!row)
        return false;
    const Progress progress = SplitSearchNum(row->SearchNum);
    txtRHead->setText(progress.Top);
    txtREnd->setText(progress.Bottom);
    if (withCategory)
        txtType->setText(row->SearchType.value_or(QString()));
    return true;
}

void frmSearch::cmbSearch_Click()
{
    const QString current = StoredKeyword(cmbSearch->currentText());
    ShowMasterRow(current, true);
    ShowSearchTable(SearchTableName(current));
    cmdAdd->setEnabled(true);
    cmdExtract->setEnabled(true);
}

void frmSearch::ResetBoxes()
{
    txtRHead->setText(u"0"_s);
    txtREnd->setText(u"0"_s);
    txtType->clear();
    rows->Clear();
}

void frmSearch::cmbSearch_Change(const QString& text)
{
    if (text.isEmpty()) {
        ResetBoxes();
        cmdExtract->setEnabled(false);
        cmdAdd->setEnabled(false);
        return;
    }
    const QString trimmed = text.trimmed();
    const bool found = cmbSearch->findText(trimmed, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0;
    if (found) {
        ShowMasterRow(trimmed, true);
        cmdExtract->setEnabled(true);
    }
    if (LoadingGuard) {
        LoadingGuard = false;
    } else if (!found) {
        ResetBoxes();
        for (QPushButton* button : {cmdExtract, cmdScan, cmdReport, cmdExportHTML, cmdRecoverDatabase})
            button->setEnabled(false);
    }
    cmdAdd->setEnabled(!txtType->text().isEmpty());
}

void frmSearch::txtType_Change()
{
    cmdAdd->setEnabled(!cmbSearch->currentText().isEmpty() && !txtType->text().isEmpty());
}

ExtractChoice frmSearch::Choice() const
{
    return {chkExtractTitle->isChecked(), chkExtractPR->isChecked(), chkExtractAlexa->isChecked()};
}

void frmSearch::ExtractBox_Click(QCheckBox* box)
{
    if (Choice() == ExtractChoice{false, false, false}) {
        Fail(SiteDbTexts::OneBoxChecked);
        box->setChecked(true);
    }
    actions.ChangeExtractChoice(Choice());
}

void frmSearch::cmdAdd_Click()
{
    if (actions.IsRunning()) {
        Fail(SiteDbTexts::RunGoing);
        return;
    }
    const std::optional<CollectionRequest> request =
        PrepareCollection(DatabasePath(programFolder), cmbSearch->currentText(), txtType->text(), prompter);
    if (!request)
        return;
    startedRun = true;
    actions.StartCollection(*request);
    for (QPushButton* button : {cmdExportHTML, cmdScan, cmdReport})
        button->setEnabled(false);
}

void frmSearch::cmdExtract_Click()
{
    if (actions.IsRunning()) {
        Fail(SiteDbTexts::RunGoing);
        return;
    }
    const std::optional<ExtractionBatch> batch =
        PrepareExtraction(DatabasePath(programFolder), cmbSearch->currentText(), txtRHead->text(), txtREnd->text(),
                          cmbRSpan->currentText(), prompter);
    if (!batch)
        return;
    startedRun = true;
    actions.StartExtraction(*batch, Choice());
    cmdScan->setEnabled(true);
    cmdExportHTML->setEnabled(false);
    cmdReport->setEnabled(false);
}

void frmSearch::cmdCancel_Click()
{
    close();
}

void frmSearch::ShowChangedDatabase()
{
    SiteDatabase database(DatabasePath(programFolder));
    QList<MasterRow> master;
    if (!database.ReadMaster(master)) {
        Fail(database.LastError());
        return;
    }
    {
        const QSignalBlocker blocker(cmbSearch);
        const QString text = cmbSearch->currentText();
        cmbSearch->clear();
        cmbSearch->setEditText(text);
    }
    for (const MasterRow& row : master)
        AddKeywordItem(row.Search.value_or(QString()));
    const QString current = StoredKeyword(cmbSearch->currentText());
    const bool held = std::any_of(master.cbegin(), master.cend(), [&current](const MasterRow& row) {
        return !current.isEmpty() && row.Search == current;
    });
    if (!held)
        cmbSearch->setEditText(master.isEmpty() ? QString() : master.first().Search.value_or(QString()));
    if (!cmbSearch->currentText().isEmpty())
        cmbSearch_Click();
}

void frmSearch::cmdScan_Click()
{
    // A run's pending write would put back the progress of rows the scan removes.
    if (actions.IsRunning()) {
        Fail(SiteDbTexts::RunGoing);
        return;
    }
    QString error;
    if (!RunScan(DatabasePath(programFolder), clock.Now().date(), scanLists, error)) {
        // A scan that stopped part way leaves nothing to export or report.
        scanLists = {};
        cmdExportHTML->setEnabled(false);
        cmdReport->setEnabled(false);
        prompter.ShowMessage(ScanErrorText, MessageIcon::Exclamation, AppTitle);
        return;
    }
    ShowChangedDatabase();
    cmdExportHTML->setEnabled(!scanLists.PendingSearches.isEmpty());
    cmdReport->setEnabled(true);
}

void frmSearch::cmdReport_Click()
{
    QString error;
    if (!WriteScanReport(programFolder, scanLists, error)) {
        Fail(ScanReportErrorText(error));
        return;
    }
    launcher.OpenInEditor(ScanReportPath(programFolder));
}

void frmSearch::cmdCompactDatabase_Click()
{
    QString error;
    if (!CompactDatabase(programFolder, error)) {
        Fail(SiteDbTexts::CompactionFailed(error));
        return;
    }
    prompter.ShowMessage(SiteDbTexts::Compacted, MessageIcon::Exclamation, SiteDbTitle);
}

void frmSearch::cmdRecoverDatabase_Click()
{
    // A run's pending write expects the database it started on.
    if (actions.IsRunning()) {
        Fail(SiteDbTexts::RunGoing);
        return;
    }
    if (!HasPreExportCopy(programFolder)) {
        Fail(SiteDbTexts::NothingToRecover);
        cmdRecoverDatabase->setEnabled(false);
        return;
    }
    if (!prompter.AskYesNo(SiteDbTexts::RecoverQuestion, SiteDbTitle))
        return;
    QString error;
    if (!RecoverPreExportCopy(programFolder, error)) {
        Fail(SiteDbTexts::RecoveryFailed(error));
        return;
    }
    cmdRecoverDatabase->setEnabled(false);
    ShowChangedDatabase();
}

void frmSearch::cmdExportHTML_Click()
{
    if (actions.IsRunning()) {
        Fail(SiteDbTexts::RunGoing);
        return;
    }
    const ExportResult result =
        ExportHTML(programFolder, scanLists, clock.Now().date(), ReadDirectoryBase(state.Settings));
    // One message for every keyword whose pages failed; their sites stay for the next export.
    for (qsizetype i = 0; i < result.PageFailures.size(); ++i)
        Fail(SiteDbTexts::TrunkError);
    if (!result.Completed()) {
        Fail(SiteDbTexts::ExportError);
        return;
    }
    cmdExportHTML->setEnabled(false);
    cmdReport->setEnabled(false);
    cmdRecoverDatabase->setEnabled(true);
    cmbSearch_Click();
}

void frmSearch::done(int result)
{
    // The window shows what its run writes; a run it started does not go on unseen. The close box,
    // Escape and "&Cancel" all end here.
    if (startedRun && actions.IsRunning())
        actions.Stop();
    QDialog::done(result);
}

void frmSearch::CollectionWritten(const QString& keyword)
{
    ShowMasterRow(keyword, false);
    if (cmbSearch->findText(keyword, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        AddKeywordItem(keyword);
    cmdAdd->setEnabled(true);
    cmdExtract->setEnabled(true);
    ShowSearchTable(SearchTableName(keyword));
}

void frmSearch::ExtractionWritten(const QString& keyword)
{
    ShowMasterRow(keyword, false);
    ShowSearchTable(SearchTableName(keyword));
}
