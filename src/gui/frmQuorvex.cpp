// The main window: its menus, the display routines and the handlers of every click.

#include "gui/frmQuorvex.h"

#include "base/Launcher.h"
#include "base/Names.h"
#include "base/Prompter.h"
#include "gui/StatusPanel.h"
#include "gui/frmAbout.h"
#include "gui/frmHelp.h"
#include "gui/frmPRURL.h"
#include "gui/frmQUORVEXURL.h"
#include "gui/frmSearch.h"
#include "gui/frmSettings.h"
#include "history/HistoryExport.h"
#include "history/HistoryPage.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "lists/ListStore.h"
#include "model/AppState.h"
#include "run/RankReport.h"
#include "run/RankRun.h"
#include "session/Session.h"
#include "web/ocxParseWeb.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString StopCaption = QStringLiteral("&Stop");
const QString NoHistoryText = QStringLiteral("No history yet: run a rank first.");

QTreeWidgetItem* NumberedItem(int n, int checked)
{
    auto* item = new QTreeWidgetItem;
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setText(0, QString::number(n));
    item->setCheckState(0, checked == 1 ? Qt::Checked : Qt::Unchecked);
    return item;
}

} // namespace

void frmQuorvex::ConnectRankRun()
{
    RankRun* rankRun = &session.Rank();
    connect(&session.Downloads(), &ocxParseWeb::StatusText, this, &frmQuorvex::SetStatusText);
    connect(rankRun, &RankRun::StatusText, this, &frmQuorvex::SetStatusText);
    // Once the history holds the run, the text goes on with how its keyword records moved, and
    // with the fields of the markets that the search source could not send.
    connect(&session.History(), &HistoryRecorder::Recorded, this, [this](const HistoryData&, const QString& text) {
        const QStringList notes = session.Rank().MarketNotes();
        SetStatusText(notes.isEmpty() ? text : text + QStringLiteral("; ") + notes.join(QStringLiteral("; ")));
    });
    connect(rankRun, &RankRun::RankCaptionChanged, cmdRank, &QPushButton::setText);
    connect(rankRun, &RankRun::RunStarting, this, [this] {
        cmdEdit->setEnabled(false);
        txtDumb->setFocus();
        prgBar->show();
    });
    connect(rankRun, &RankRun::SettleButtons, tmrSetFocus, qOverload<>(&QTimer::start));
    connect(rankRun, &RankRun::ProgressMaximumChanged, prgBar, &QProgressBar::setMaximum);
    connect(rankRun, &RankRun::ProgressValueChanged, prgBar, &QProgressBar::setValue);
    connect(rankRun, &RankRun::ReportWritten, this, [this](const QString& indexPath) {
        setWindowTitle(AppTitle);
        EvaluateViewReportButton();
        launcher.OpenInBrowser(indexPath);
    });
    connect(rankRun, &RankRun::Finished, this, [this] {
        prgBar->hide();
        EvaluateRankButton();
    });
}

void frmQuorvex::DisplayPRURLList()
{
    ArrangeButtonColumn(QStringLiteral("&Edit/Remove"), false, 88);
    {
        const QSignalBlocker quiet(lstPR);
        lstPR->clear();
        for (int n = 1; n <= state.Lists.PRURLCount(); ++n) {
            const PRURLEntry& entry = state.Lists.PRURLList.at(n - 1);
            QTreeWidgetItem* item = NumberedItem(n, entry.Checked);
            item->setText(1, entry.URL);
            lstPR->addTopLevelItem(item);
        }
    }
    cmdRemoveAll->setEnabled(state.Lists.PRURLCount() >= 1);
    UpdateRankAndReportButtons();
}

void frmQuorvex::DisplayQUORVEXURLList()
{
    ArrangeButtonColumn(QStringLiteral("&Edit"), true, 112);
    {
        const QSignalBlocker quiet(lstQUORVEX);
        lstQUORVEX->clear();
        for (int n = 1; n <= state.Lists.QuorvexCount(); ++n) {
            const QuorvexEntry& entry = state.Lists.QuorvexList.at(n - 1);
            QTreeWidgetItem* item = NumberedItem(n, entry.Checked);
            item->setText(1, entry.URL);
            item->setText(2, entry.Product);
            item->setText(3, entry.Keyword);
            lstQUORVEX->addTopLevelItem(item);
        }
    }
    cmdRemoveAll->setEnabled(state.Lists.QuorvexCount() >= 1);
    UpdateRankAndReportButtons();
}

void frmQuorvex::UpdateRankAndReportButtons()
{
    EvaluateRankButton();
    EvaluateViewReportButton();
}

// While a run is going the button is its Stop button and must stay usable.
void frmQuorvex::EvaluateRankButton()
{
    cmdRank->setEnabled(RunGoing() || state.Lists.AnyChecked());
}

void frmQuorvex::EvaluateViewReportButton()
{
    cmdViewReport->setEnabled(QFileInfo(ReportIndexPath(state.ProgramFolder)).isFile());
}

void frmQuorvex::SetStatusText(const QString& text)
{
    statusPanel->setText(text);
}

QString frmQuorvex::StatusText() const
{
    return statusPanel->text();
}

void frmQuorvex::ShowStatusNote(const QString& text)
{
    SetStatusText(text);
    tmrReady->start();
}

void frmQuorvex::cmdRank_Click()
{
    session.StartOrStopRank();
}

bool frmQuorvex::RunGoing() const
{
    return cmdRank->text() == StopCaption;
}

// The dialog is modal for the whole program, yet the window's timers and downloads keep running
// while it is open; the buttons are tidied once it has closed.
void frmQuorvex::ShowDialog(QDialog* dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    connect(dialog, &QDialog::finished, tmrSetFocus, qOverload<>(&QTimer::start));
    dialog->show();
}

QDialog* frmQuorvex::EntryDialog()
{
    if (TabIndex != 0) {
        auto* dialog = new frmQUORVEXURL(state, prompter, this);
        connect(dialog, &QDialog::accepted, this, &frmQuorvex::DisplayQUORVEXURLList);
        return dialog;
    }
    auto* dialog = new frmPRURL(state, prompter, this);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        DisplayPRURLList();
        if (dialog->Result() == EditResult::DuplicateDropped)
            ShowStatusNote(DuplicateDroppedText());
    });
    return dialog;
}

void frmQuorvex::closeEvent(QCloseEvent* event)
{
    session.StopEverything();
    event->accept();
    QCoreApplication::quit();
}

// The list and the two buttons that act on its selected entry keep those buttons on while the focus
// stays among them, so that a keyboard user can Tab from the list to Edit or Remove and press it;
// once the focus goes anywhere else they go off after tmrDelay, unless it comes back first.
bool frmQuorvex::eventFilter(QObject* watched, QEvent* event)
{
    const auto keepsEditButtons = [this](const QObject* widget) {
        return widget && (widget == lstPR || widget == lstQUORVEX || widget == cmdEdit || widget == cmdRemove);
    };
    if (event->type() == QEvent::FocusOut && keepsEditButtons(watched) &&
        !keepsEditButtons(QApplication::focusWidget()))
        tmrDelay->start();
    if (event->type() == QEvent::FocusIn && keepsEditButtons(watched))
        tmrDelay->stop();
    if (event->type() == QEvent::KeyPress && (watched == lstPR || watched == lstQUORVEX)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                EditSelectedEntry();
                return true;
            case Qt::Key_Delete:
                if (watched == lstQUORVEX)
                    RemoveSelectedEntry();
                return true;
            default:
                break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The entry under the selection, taken as a click takes it (nothing during a run, nothing in an
// empty list); true when that click leaves the button on.
bool frmQuorvex::SelectionEnables(const QPushButton* button)
{
    if (RunGoing())
        return false;
    cmdEdit->setEnabled(false);
    cmdRemove->setEnabled(false);
    if (TabIndex == 0)
        lstPR_Click();
    else
        lstQUORVEX_Click();
    return button->isEnabled();
}

// A double-click or Enter on an entry: Edit for that entry; the list has the focus again afterwards.
void frmQuorvex::EditSelectedEntry()
{
    if (SelectionEnables(cmdEdit))
        EditWithDialog(TabIndex == 0 ? lstPR : lstQUORVEX);
}

// Delete on a keyword-position entry: Remove for that entry, with its question. A Page Rank entry is
// removed by deleting its line in the edit dialog, so Delete does nothing there.
void frmQuorvex::RemoveSelectedEntry()
{
    if (!SelectionEnables(cmdRemove))
        return;
    cmdRemove_Click();
    lstQUORVEX->setFocus();
}

void frmQuorvex::tabSearch_Click()
{
    cmdEdit->setEnabled(false);
    cmdRemove->setEnabled(false);
    lstPR->hide();
    lstQUORVEX->hide();
    txtDumb->setFocus();
    const QString caption = tabSearch->tabText(tabSearch->currentIndex());
    if (caption == PageRankCaption) {
        lstPR->show();
        TabIndex = 0;
        DisplayPRURLList();
    } else if (caption == QuorvexCaption) {
        lstQUORVEX->show();
        TabIndex = 1;
        DisplayQUORVEXURLList();
    }
}

void frmQuorvex::lstPR_Click()
{
    if (RunGoing() || state.Lists.PRURLCount() < 1)
        return;
    const QTreeWidgetItem* item = lstPR->currentItem();
    if (item && item->isSelected()) {
        const int n = item->text(0).toInt();
        if (n >= 1 && n <= state.Lists.PRURLCount()) {
            state.Lists.SelectedPRIndex = n;
            state.Lists.CurrentPRText = state.Lists.PRURLList.at(n - 1).URL;
            cmdEdit->setEnabled(true);
        }
    }
    EvaluateRankButton();
}

void frmQuorvex::lstQUORVEX_Click()
{
    if (RunGoing() || state.Lists.QuorvexCount() < 1)
        return;
    const QTreeWidgetItem* item = lstQUORVEX->currentItem();
    if (item && item->isSelected()) {
        const int n = item->text(0).toInt();
        if (n >= 1 && n <= state.Lists.QuorvexCount()) {
            state.Lists.SelectedQuorvexIndex = n;
            cmdEdit->setEnabled(true);
            cmdRemove->setEnabled(true);
            const QuorvexEntry& entry = state.Lists.QuorvexList.at(n - 1);
            state.Lists.CurrentQuorvexURL = entry.URL;
            state.Lists.CurrentQuorvexProduct = entry.Product;
            state.Lists.CurrentQuorvexKeyword = entry.Keyword;
        }
    }
    EvaluateRankButton();
}

void frmQuorvex::lstPR_ItemCheck(QTreeWidgetItem* item, int column)
{
    ItemCheck(ListKind::PageRank, lstPR, item, column);
}

void frmQuorvex::lstQUORVEX_ItemCheck(QTreeWidgetItem* item, int column)
{
    ItemCheck(ListKind::Quorvex, lstQUORVEX, item, column);
}

void frmQuorvex::ItemCheck(ListKind kind, QTreeWidget* list, QTreeWidgetItem* item, int column)
{
    ListState& lists = state.Lists;
    const int n = item->text(0).toInt();
    const int count = kind == ListKind::PageRank ? lists.PRURLCount() : lists.QuorvexCount();
    if (column != 0 || n < 1 || n > count)
        return;
    int& flag = kind == ListKind::PageRank ? lists.PRURLList[n - 1].Checked : lists.QuorvexList[n - 1].Checked;
    if (RunGoing()) {
        // The run has read the flags already; the tick goes back to what is stored.
        const QSignalBlocker quiet(list);
        item->setCheckState(0, flag == 1 ? Qt::Checked : Qt::Unchecked);
        return;
    }
    list->setCurrentItem(item);
    flag = item->checkState(0) == Qt::Checked ? 1 : 0;
    SaveEntryChecked(lists, state.Settings, kind, n);
    EvaluateRankButton();
}

void frmQuorvex::cmdAdd_Click()
{
    ListState& lists = state.Lists;
    lists.AddMode = true;
    if (TabIndex == 0) {
        lists.CurrentPRText.clear();
    } else {
        lists.CurrentQuorvexURL.clear();
        lists.CurrentQuorvexProduct.clear();
        lists.CurrentQuorvexKeyword.clear();
    }
    ShowDialog(EntryDialog());
}

void frmQuorvex::cmdEdit_Click()
{
    EditWithDialog(nullptr);
}

void frmQuorvex::EditWithDialog(QWidget* focusAfter)
{
    state.Lists.AddMode = false;
    txtDumb->setFocus();
    QDialog* dialog = EntryDialog();
    if (focusAfter)
        connect(dialog, &QDialog::finished, focusAfter, qOverload<>(&QWidget::setFocus));
    ShowDialog(dialog);
}

void frmQuorvex::cmdRemove_Click()
{
    cmdRemove->setEnabled(false);
    txtDumb->setFocus();
    if (prompter.AskYesNo(ContinueQuestion, AppTitle)) {
        cmdEdit->setEnabled(false);
        cmdRemove->setEnabled(false);
        RemoveQuorvexEntry(state.Lists, state.Settings, state.Lists.SelectedQuorvexIndex);
        DisplayQUORVEXURLList();
        txtDumb->setFocus();
    }
    tmrSetFocus->start();
}

void frmQuorvex::cmdRemoveAll_Click()
{
    txtDumb->setFocus();
    if (prompter.AskYesNo(ContinueQuestion, AppTitle)) {
        if (TabIndex == 0) {
            RemoveAllEntries(state.Lists, state.Settings, ListKind::PageRank);
            DisplayPRURLList();
        } else {
            RemoveAllEntries(state.Lists, state.Settings, ListKind::Quorvex);
            DisplayQUORVEXURLList();
        }
    }
    tmrSetFocus->start();
}

void frmQuorvex::cmdViewReport_Click()
{
    launcher.OpenInBrowser(ReportIndexPath(state.ProgramFolder));
    tmrSetFocus->start();
}

void frmQuorvex::cmdAbout_Click()
{
    ShowDialog(new frmAbout(launcher, this));
}

void frmQuorvex::cmdHelp_Click()
{
    ShowDialog(new frmHelp(launcher, this));
}

// The letters of the menu titles are those no button of the window uses ("&View Report", "&Help").
void frmQuorvex::CreateMenus(QMenuBar* menuBar)
{
    const auto menu = [menuBar](const char* name, const QString& title) {
        QMenu* created = menuBar->addMenu(title);
        created->setObjectName(QLatin1String(name));
        return created;
    };
    const auto item = [this](QMenu* into, const char* name, const QString& text, auto handler) {
        QAction* action = into->addAction(text, this, handler);
        action->setObjectName(QLatin1String(name));
        return action;
    };

    QMenu* mnuFile = menu("mnuFile", QStringLiteral("&File"));
    item(mnuFile, "mnuSettings", QStringLiteral("&Settings..."), [this] {
        ShowDialog(new frmSettings(session, prompter, this));
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    mnuFile->addSeparator();
    item(mnuFile, "mnuExit", QStringLiteral("E&xit"), [this] { window()->close(); });

    QMenu* mnuView = menu("mnuView", QStringLiteral("V&iew"));
    QAction* mnuReport = item(mnuView, "mnuReport", QStringLiteral("&Report"), [this] {
        if (cmdViewReport->isEnabled())
            cmdViewReport_Click();
    });
    // The history page is written when a rank run completes; before the first there is none to open.
    item(mnuView, "mnuHistory", QStringLiteral("&History"), [this] {
        const QString page = HistoryPagePath(state.ProgramFolder);
        if (QFileInfo::exists(page))
            launcher.OpenInBrowser(page);
        else
            prompter.ShowMessage(NoHistoryText, MessageIcon::Information, AppTitle);
        tmrSetFocus->start();
    });
    item(mnuView, "mnuSaveHistoryCsv", QStringLiteral("Save history as &CSV..."), [this] { SaveHistoryCsv(false); });
    item(mnuView, "mnuSaveHistoryWideCsv", QStringLiteral("Save history as &wide CSV..."),
         [this] { SaveHistoryCsv(true); });
    item(mnuView, "mnuSiteDatabase", QStringLiteral("&Keyword site database..."), [this] {
        OpenSiteDatabase();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    // Report is there when "&View Report" is.
    connect(mnuView, &QMenu::aboutToShow, this,
            [this, mnuReport] { mnuReport->setEnabled(cmdViewReport->isEnabled()); });

    QMenu* mnuHelp = menu("mnuHelp", QStringLiteral("Hel&p"));
    item(mnuHelp, "mnuHelpTopics", QStringLiteral("&Help"), [this] { cmdHelp_Click(); });
    item(mnuHelp, "mnuAbout", QStringLiteral("&About"), [this] { cmdAbout_Click(); });
}

void frmQuorvex::SaveHistoryCsv(bool wide)
{
    HistoryStore store(state.ProgramFolder);
    if (!QFileInfo::exists(store.FilePath())) {
        prompter.ShowMessage(NoHistoryText, MessageIcon::Information, AppTitle);
        tmrSetFocus->start();
        return;
    }
    // Window-modal and without a loop of its own: the choice arrives as a signal.
    const QString name = wide ? QStringLiteral("History-wide.csv") : QStringLiteral("History.csv");
    auto* dialog = new QFileDialog(this, QStringLiteral("Save history as CSV"),
                                   QDir(state.ProgramFolder).filePath(name), QStringLiteral("CSV files (*.csv)"));
    dialog->setObjectName(QStringLiteral("dlgSaveHistory"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    connect(dialog, &QFileDialog::fileSelected, this, [this, wide](const QString& path) {
        HistoryStore history(state.ProgramFolder);
        QSaveFile file(path);
        bool written = false;
        if (file.open(QIODevice::WriteOnly)) {
            QTextStream out(&file);
            written = wide ? PrintWideHistoryCsv(history, {}, out) : PrintHistoryRows(history, {}, true, out);
            out.flush();
            written = written && file.commit();
        }
        if (!written) {
            const QString reason = history.LastError().isEmpty() ? file.errorString() : history.LastError();
            prompter.ShowMessage(QStringLiteral("The history could not be saved to %1 (%2)").arg(path, reason),
                                 MessageIcon::Exclamation, AppTitle);
        }
        tmrSetFocus->start();
    });
    connect(dialog, &QFileDialog::rejected, tmrSetFocus, qOverload<>(&QTimer::start));
    dialog->open();
}

void frmQuorvex::OpenSiteDatabase()
{
    ShowDialog(new frmSearch(state, prompter, session.Time(), launcher, session, this));
}

void frmQuorvex::chkExtractKeyword_Click()
{
    state.Lists.CheckExtractKeyword = chkExtractKeyword->isChecked();
    SaveOption(state.Lists, state.Settings, ListKind::PageRank);
}

void frmQuorvex::chkTOP10List_Click()
{
    state.Lists.TOP10List = chkTOP10List->isChecked();
    SaveOption(state.Lists, state.Settings, ListKind::Quorvex);
}
