#include "gui/frmSettings.h"

#include "base/Names.h"
#include "base/Prompter.h"
#include "gui/MarketFields.h"
#include "gui/SourcesPage.h"
#include "lists/ListEdits.h"
#include "model/AppState.h"
#include "session/Session.h"
#include "sitedb/DirectorySettings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

frmSettings::frmSettings(Session& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent), store(session.State().Settings), lists(session.State().Lists), prompter(prompter),
      tabPages(new QTabWidget(this))
{
    setObjectName(u"frmSettings"_s);
    setWindowTitle(u"Settings"_s);
    tabPages->setObjectName(u"tabPages"_s);
    tabPages->addTab(DirectoryPage(), u"Directory"_s);
    sources = new SourcesPage(session, prompter, tabPages);
    tabPages->addTab(sources, u"Sources"_s);
    tabPages->addTab(MarketPage(), u"Market"_s);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(u"buttons"_s);
    ok = buttons->button(QDialogButtonBox::Ok);
    ok->setDefault(true);
    // What an import brings is chosen once it is in.
    connect(sources, &SourcesPage::ImportRunning, ok, &QPushButton::setDisabled);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmSettings::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmSettings::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabPages);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());
}

QWidget* frmSettings::DirectoryPage()
{
    auto* page = new QWidget(tabPages);
    page->setObjectName(u"Directory"_s);
    txtDirectoryBase = new QLineEdit(ReadDirectoryBase(store), page);
    txtDirectoryBase->setObjectName(u"txtDirectoryBase"_s);
    auto* note = new QLabel(u"The exported pages link to each other under this address, as they will be "
                            "published. An absolute http:// or https:// address ending in \"/\", or file:/// and the "
                            "export's folder to look at the pages on disk first."_s,
                            page);
    note->setWordWrap(true);
    auto* layout = new QFormLayout(page);
    layout->addRow(u"Web &address:"_s, txtDirectoryBase);
    layout->addRow(note);
    return page;
}

QWidget* frmSettings::MarketPage()
{
    marketPage = new QWidget(tabPages);
    marketPage->setObjectName(u"Market"_s);
    auto* group = new QGroupBox(u"Default market"_s, marketPage);
    group->setObjectName(u"grpDefaultMarket"_s);
    defaultMarket = new MarketFields(nullptr, group);
    defaultMarket->SetValue(lists.DefaultMarket);
    auto* note = new QLabel(u"Every keyword entry without a market of its own is searched in this one. A field "
                            "left at None is not asked for: the search service answers with its own."_s,
                            group);
    note->setWordWrap(true);
    auto* inner = new QVBoxLayout(group);
    inner->addWidget(defaultMarket);
    inner->addWidget(note);
    auto* layout = new QVBoxLayout(marketPage);
    layout->addWidget(group);
    layout->addStretch();
    return marketPage;
}

void frmSettings::accept()
{
    QString problem;
    if (CheckDirectoryBase(txtDirectoryBase->text(), problem).isEmpty()) {
        tabPages->setCurrentWidget(txtDirectoryBase->parentWidget());
        prompter.ShowMessage(problem, MessageIcon::Exclamation, AppTitle);
        txtDirectoryBase->setFocus();
        txtDirectoryBase->selectAll();
        return;
    }
    // Every page is checked before anything is stored.
    if (const SourcesPage::Refusal refused = sources->CheckChanges(); !refused.Text.isEmpty()) {
        tabPages->setCurrentWidget(sources);
        prompter.ShowMessage(refused.Text, MessageIcon::Exclamation, AppTitle);
        refused.Field->setFocus();
        return;
    }
    const Market market = defaultMarket->Value();
    if (problem = MarketProblem(market); !problem.isEmpty()) {
        tabPages->setCurrentWidget(marketPage);
        prompter.ShowMessage(problem, MessageIcon::Exclamation, AppTitle);
        // The lists offer only codes that are taken: what is refused is the location.
        defaultMarket->Last()->setFocus();
        return;
    }
    // A failed write has been told by the store; the dialog stays open with what was typed.
    if (!SaveDirectoryBase(store, txtDirectoryBase->text(), problem) || !sources->SaveChanges() ||
        AcceptDefaultMarket(lists, store, market) != EditResult::Saved)
        return;
    QDialog::accept();
}
