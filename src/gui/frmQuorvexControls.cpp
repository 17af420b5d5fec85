// The main window's controls: their creation, their designed places, and how they follow a larger
// window.

#include "gui/frmQuorvex.h"

#include "base/Names.h"
#include "gui/CutOffCellTips.h"
#include "gui/StatusPanel.h"
#include "model/AppState.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace {

// The designed client area; a larger window lays the same controls out over more room.
constexpr int DesignWidth = 663;
constexpr int DesignHeight = 320;
constexpr int ButtonLeft = 544;
constexpr int ButtonWidth = 105;
constexpr int ButtonHeight = 20;
constexpr int ButtonStep = 24;

QTimer* OneShotTimer(QObject* owner, const char* name, int interval)
{
    auto* timer = new QTimer(owner);
    timer->setObjectName(QLatin1String(name));
    timer->setSingleShot(true);
    timer->setInterval(interval);
    return timer;
}

// How a control follows the window's edges when the window grows.
enum Follow { RightEdge = 1, BottomEdge = 2, Wider = 4, Taller = 8 };

void Place(QWidget* control, QRect design, int follow, QSize growth)
{
    if (follow & RightEdge)
        design.translate(growth.width(), 0);
    if (follow & BottomEdge)
        design.translate(0, growth.height());
    if (follow & Wider)
        design.setWidth(design.width() + growth.width());
    if (follow & Taller)
        design.setHeight(design.height() + growth.height());
    control->setGeometry(design);
}

// A column that takes a part of the lists' extra width; what the user dragged it to is kept.
void Widen(QTreeWidget* list, int column, int by)
{
    if (by != 0)
        list->setColumnWidth(column, std::max(list->header()->minimumSectionSize(), list->columnWidth(column) + by));
}

} // namespace

frmQuorvex::frmQuorvex(Session& session, Launcher& launcher, QWidget* parent)
    : QWidget(parent), session(session), state(session.State()), prompter(session.Prompts()), launcher(launcher)
{
    setObjectName(QStringLiteral("frmQuorvex"));
    setWindowTitle(AppTitle);
    setMinimumSize(DesignWidth, DesignHeight);
    resize(DesignWidth, DesignHeight);
    CreateControls();
    ConnectRankRun();
    chkExtractKeyword->setChecked(state.Lists.CheckExtractKeyword);
    chkTOP10List->setChecked(state.Lists.TOP10List);
    lstQUORVEX->hide();
    DisplayPRURLList();
}

void frmQuorvex::CreateControls()
{
    tabSearch = new QTabWidget(this);
    tabSearch->setObjectName(QStringLiteral("tabSearch"));
    tabSearch->addTab(new QWidget, PageRankCaption);
    tabSearch->addTab(new QWidget, QuorvexCaption);

    lstPR = ListView("lstPR", {QStringLiteral("#"), QStringLiteral("URL")}, {45, 460});
    lstQUORVEX =
        ListView("lstQUORVEX",
                 {QStringLiteral("#"), QStringLiteral("URL"), QStringLiteral("Product"), QStringLiteral("Keyword")},
                 {45, 180, 120, 160});

    cmdAdd = ColumnButton("cmdAdd", QStringLiteral("&Add"));
    cmdEdit = ColumnButton("cmdEdit", QStringLiteral("&Edit/Remove"));
    cmdRemove = ColumnButton("cmdRemove", QStringLiteral("&Remove"));
    cmdRemoveAll = ColumnButton("cmdRemoveAll", QStringLiteral("Remove A&ll"));
    cmdRank = ColumnButton("cmdRank", QStringLiteral("Ran&k"));
    cmdViewReport = ColumnButton("cmdViewReport", QStringLiteral("&View Report"));
    cmdHelp = ColumnButton("cmdHelp", QStringLiteral("&Help"));
    cmdAbout = ColumnButton("cmdAbout", QStringLiteral("A&bout"));
    cmdExit = ColumnButton("cmdExit", QStringLiteral("E&xit"));
    cmdEdit->setEnabled(false);
    cmdRemove->setEnabled(false);

    // The menu bar is the user's way to the site database window; the button stays hidden.
    cmdSearchKeyword = new QPushButton(QStringLiteral("&Get WebSites List"), this);
    cmdSearchKeyword->setObjectName(QStringLiteral("cmdSearchKeyword"));
    cmdSearchKeyword->hide();

    chkExtractKeyword = new QCheckBox(QStringLiteral("Extract Keyword"), this);
    chkExtractKeyword->setObjectName(QStringLiteral("chkExtractKeyword"));
    chkTOP10List = new QCheckBox(QStringLiteral("TOP 10 Sites List"), this);
    chkTOP10List->setObjectName(QStringLiteral("chkTOP10List"));

    sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbStatus->setSizeGripEnabled(false);

    // Shown while a rank run goes; the status text has the whole bar otherwise.
    prgBar = new QProgressBar(this);
    prgBar->setObjectName(QStringLiteral("prgBar"));
    prgBar->setTextVisible(false);
    prgBar->setValue(0);
    prgBar->hide();

    statusPanel = new StatusPanel(QStringLiteral("Ready"), prgBar);
    statusPanel->setIndent(4);
    sbStatus->addWidget(statusPanel, 1);
    prgBar->raise();

    // Holds the focus whenever no list and no button should; it lies outside the visible area,
    // whatever the window's size, and Tab never lands on it.
    txtDumb = new QLineEdit(QStringLiteral("Text1"), this);
    txtDumb->setObjectName(QStringLiteral("txtDumb"));
    txtDumb->setGeometry(-200, -100, 100, 20);
    txtDumb->setFocusPolicy(Qt::ClickFocus);

    // From a list, Tab goes straight to the buttons that act on its selected entry, before Add.
    setTabOrder(lstQUORVEX, cmdEdit);
    setTabOrder(cmdEdit, cmdRemove);

    tmrDelay = OneShotTimer(this, "tmrDelay", 300);
    tmrSetFocus = OneShotTimer(this, "tmrSetFocus", 10);
    tmrReady = OneShotTimer(this, "tmrReady", 100);

    connect(tabSearch, &QTabWidget::currentChanged, this, &frmQuorvex::tabSearch_Click);
    connect(lstPR, &QTreeWidget::itemClicked, this, &frmQuorvex::lstPR_Click);
    connect(lstQUORVEX, &QTreeWidget::itemClicked, this, &frmQuorvex::lstQUORVEX_Click);
    // The arrow keys, Home and End select as a click does.
    connect(lstPR, &QTreeWidget::itemSelectionChanged, this, &frmQuorvex::lstPR_Click);
    connect(lstQUORVEX, &QTreeWidget::itemSelectionChanged, this, &frmQuorvex::lstQUORVEX_Click);
    connect(lstPR, &QTreeWidget::itemDoubleClicked, this, &frmQuorvex::EditSelectedEntry);
    connect(lstQUORVEX, &QTreeWidget::itemDoubleClicked, this, &frmQuorvex::EditSelectedEntry);
    connect(lstPR, &QTreeWidget::itemChanged, this, &frmQuorvex::lstPR_ItemCheck);
    connect(lstQUORVEX, &QTreeWidget::itemChanged, this, &frmQuorvex::lstQUORVEX_ItemCheck);
    connect(cmdAdd, &QPushButton::clicked, this, &frmQuorvex::cmdAdd_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmQuorvex::cmdEdit_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmQuorvex::cmdRemove_Click);
    connect(cmdRemoveAll, &QPushButton::clicked, this, &frmQuorvex::cmdRemoveAll_Click);
    connect(cmdRank, &QPushButton::clicked, this, &frmQuorvex::cmdRank_Click);
    connect(cmdViewReport, &QPushButton::clicked, this, &frmQuorvex::cmdViewReport_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmQuorvex::cmdHelp_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmQuorvex::cmdAbout_Click);
    // The window the desktop shows: this one, or the frame that holds it below the menu bar.
    connect(cmdExit, &QPushButton::clicked, this, [this] { window()->close(); });
    connect(cmdSearchKeyword, &QPushButton::clicked, this, &frmQuorvex::OpenSiteDatabase);
    connect(chkExtractKeyword, &QCheckBox::clicked, this, &frmQuorvex::chkExtractKeyword_Click);
    connect(chkTOP10List, &QCheckBox::clicked, this, &frmQuorvex::chkTOP10List_Click);
    connect(tmrDelay, &QTimer::timeout, tmrSetFocus, qOverload<>(&QTimer::start));
    connect(tmrSetFocus, &QTimer::timeout, this, [this] {
        cmdRemove->setEnabled(false);
        cmdEdit->setEnabled(false);
    });
    connect(tmrReady, &QTimer::timeout, this, [this] { SetStatusText(QStringLiteral("Ready")); });
}

// The window shows what the session's download control and rank run report.
QPushButton* frmQuorvex::ColumnButton(const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->installEventFilter(this);
    return button;
}

QTreeWidget* frmQuorvex::ListView(const char* name, const QStringList& columns, const QList<int>& widths)
{
    auto* list = new QTreeWidget(this);
    list->setObjectName(QLatin1String(name));
    list->setHeaderLabels(columns);
    list->setItemDelegate(new CutOffCellTips(list));
    for (int column = 0; column < widths.size(); ++column)
        list->setColumnWidth(column, widths.at(column));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setStretchLastSection(false);
    list->installEventFilter(this);
    return list;
}

void frmQuorvex::ArrangeButtonColumn(const QString& editCaption, bool removeShown, int firstTop)
{
    cmdEdit->setText(editCaption);
    cmdEdit->show();
    cmdRemove->setVisible(removeShown);
    movedButtonsTop = firstTop;
    PlaceControls();
    cmdRemoveAll->show();
    cmdRank->show();
    cmdViewReport->show();
}

// At the designed size every control sits where it was designed to; more room goes to the tab strip
// and the lists, the button column keeps to the right edge, the bottom row to the bottom edge.
void frmQuorvex::PlaceControls()
{
    const QSize growth = size() - QSize(DesignWidth, DesignHeight);
    const auto button = [](int top) { return QRect(ButtonLeft, top, ButtonWidth, ButtonHeight); };
    Place(tabSearch, {8, 8, 649, 281}, Wider | Taller, growth);
    Place(lstPR, {16, 40, 521, 217}, Wider | Taller, growth);
    Place(lstQUORVEX, {16, 40, 521, 217}, Wider | Taller, growth);
    Place(cmdAdd, button(40), RightEdge, growth);
    Place(cmdEdit, button(64), RightEdge, growth);
    Place(cmdRemove, button(88), RightEdge, growth);
    Place(cmdRemoveAll, button(movedButtonsTop), RightEdge, growth);
    Place(cmdRank, button(movedButtonsTop + ButtonStep), RightEdge, growth);
    Place(cmdViewReport, button(movedButtonsTop + 2 * ButtonStep), RightEdge, growth);
    Place(cmdHelp, button(184), RightEdge, growth);
    Place(cmdAbout, button(208), RightEdge, growth);
    Place(cmdExit, button(256), RightEdge | BottomEdge, growth);
    Place(cmdSearchKeyword, {16, 260, ButtonWidth, ButtonHeight}, BottomEdge, growth);
    Place(chkExtractKeyword, {16, 264, 136, 17}, BottomEdge, growth);
    Place(chkTOP10List, {168, 264, 136, 17}, BottomEdge, growth);
    Place(sbStatus, {0, 295, DesignWidth, 25}, BottomEdge | Wider, growth);
    Place(prgBar, {392, 300, 257, 14}, RightEdge | BottomEdge, growth);

    // The address takes the extra width of the Page Rank list; on QUORVEX the address and the
    // keywords share it.
    const int extra = std::max(0, growth.width());
    const int addressShare = extra / 2;
    const int appliedShare = columnsWidenedBy / 2;
    Widen(lstPR, 1, extra - columnsWidenedBy);
    Widen(lstQUORVEX, 1, addressShare - appliedShare);
    Widen(lstQUORVEX, 3, (extra - addressShare) - (columnsWidenedBy - appliedShare));
    columnsWidenedBy = extra;
}

void frmQuorvex::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceControls();
}
