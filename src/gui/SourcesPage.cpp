// The Sources page: its fields, what they change, the tests and the list import.

#include "gui/SourcesPage.h"

#include "base/Names.h"
#include "base/Prompter.h"
#include "gui/SourcesPageImport.h"
#include "gui/SourcesPageProbe.h"
#include "model/AppState.h"
#include "session/Session.h"
#include "sitedb/SiteDbTexts.h"
#include "sources/RankListDownload.h"
#include "sources/RankListStore.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// An emptied field means "the default", which a null text would not say: null keeps what is stored.
QString Given(const QLineEdit* field)
{
    const QString text = field->text().trimmed();
    return text.isNull() ? u""_s : text;
}

} // namespace

SourcesPage::SourcesPage(Session& session, Prompter& prompter, QWidget* parent)
    : QWidget(parent), session(session), prompter(prompter), stored(LoadSourceSettings(session.State().Settings)),
      wanted(stored), probe(new SourcesPageProbe(session, this)),
      import(new SourcesPageImport(RankListsPath(session.State().ProgramFolder), this))
{
    setObjectName(u"Sources"_s);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SearchGroup());
    layout->addWidget(AuthorityGroup());
    layout->addWidget(TrafficGroup());
    layout->addStretch();

    connect(probe, &SourcesPageProbe::Finished, this, &SourcesPage::ShowProbeResult);
    connect(import, &SourcesPageImport::Progress, this, [this](RankListStage stage, qint64 done, qint64 total) {
        prgImport->setFormat(stage == RankListStage::Downloading ? u"Downloading... %p%"_s : u"Importing... %p%"_s);
        prgImport->setRange(0, total > 0 ? 1000 : 0);
        if (total > 0)
            prgImport->setValue(int(done * 1000 / total));
    });
    connect(import, &SourcesPageImport::Finished, this, &SourcesPage::ImportFinished);
    ShowSearchSource();
    ShowAuthoritySource();
    ShowTrafficSource();
}

void SourcesPage::SettleButtons()
{
    const bool probing = probe->IsBusy();
    const bool importing = import->IsRunning();
    cmdTestSearch->setEnabled(!probing && SearchKind() != SearchSourceKind::Historical);
    cmdTestAuthority->setEnabled(!probing && AuthorityKind() != AuthoritySourceKind::Historical);
    const bool listed = TrafficKind() != TrafficSourceKind::Historical;
    cboTrafficSource->setEnabled(!importing);
    txtTrafficList->setEnabled(listed && !importing);
    cmdBrowseList->setEnabled(listed && !importing);
    cmdImportList->setEnabled(listed && !importing);
    cmdTestTraffic->setEnabled(listed && !importing);
}

SourceChange SourcesPage::SearchChange() const
{
    SourceChange change;
    change.Column = SourceColumn::Search;
    change.Source = cboSearchSource->currentText();
    const auto kind = SearchKind();
    if (kind == SearchSourceKind::Historical)
        return change;
    if (kind != SearchSourceKind::Searxng && !txtSearchKey->text().isEmpty())
        change.Key = txtSearchKey->text();
    change.Endpoint = Given(txtSearchEndpoint);
    change.Depth = cboSearchDepth->currentText();
    return change;
}

SourceChange SourcesPage::AuthorityChange() const
{
    SourceChange change;
    change.Column = SourceColumn::Authority;
    change.Source = cboAuthoritySource->currentText();
    if (AuthorityKind() == AuthoritySourceKind::Historical)
        return change;
    if (!txtAuthorityKey->text().isEmpty())
        change.Key = txtAuthorityKey->text();
    change.Endpoint = Given(txtAuthorityEndpoint);
    return change;
}

SourceChange SourcesPage::TrafficChange() const
{
    SourceChange change;
    change.Column = SourceColumn::Traffic;
    change.Source = cboTrafficSource->currentText();
    if (!imported.List.isEmpty() && imported.Kind == TrafficKind())
        change.List = imported.List;
    return change;
}

bool SourcesPage::SearchChanged() const
{
    const auto kind = SearchKind();
    return kind != stored.Search.Kind ||
           (kind != SearchSourceKind::Historical &&
            (!txtSearchKey->text().isEmpty() || Given(txtSearchEndpoint) != stored.Search.Endpoint ||
             cboSearchDepth->currentData().toInt() != stored.Search.Depth));
}

bool SourcesPage::AuthorityChanged() const
{
    const auto kind = AuthorityKind();
    return kind != stored.Authority.Kind ||
           (kind != AuthoritySourceKind::Historical &&
            (!txtAuthorityKey->text().isEmpty() || Given(txtAuthorityEndpoint) != stored.Authority.Endpoint));
}

bool SourcesPage::TrafficChanged() const
{
    return TrafficKind() != stored.Traffic.Kind || !TrafficChange().List.isNull();
}

SourcesPage::Refusal SourcesPage::CheckChanges()
{
    SourceSettings settings = stored;
    QList<SourceColumn> columns;
    const std::pair<bool, SourceChange> changes[] = {{SearchChanged(), SearchChange()},
                                                     {AuthorityChanged(), AuthorityChange()},
                                                     {TrafficChanged(), TrafficChange()}};
    QWidget* const fields[] = {cboSearchSource, cboAuthoritySource, cboTrafficSource};
    for (int n = 0; n < 3; ++n) {
        const auto& [isChanged, change] = changes[n];
        if (!isChanged)
            continue;
        if (QString refusal = ApplySourceChange(settings, session.State().Settings, change); !refusal.isEmpty())
            return {refusal, fields[n]};
        columns.append(change.Column);
    }
    wanted = settings;
    changed = columns;
    return {};
}

bool SourcesPage::SaveChanges()
{
    for (const SourceColumn column : std::as_const(changed)) {
        if (!SaveSourceSettings(wanted, session.State().Settings, column))
            return false;
    }
    return true;
}

std::optional<SourceSettings> SourcesPage::Applied(const SourceChange& change)
{
    SourceSettings settings = stored;
    if (const QString refusal = ApplySourceChange(settings, session.State().Settings, change); !refusal.isEmpty()) {
        prompter.ShowMessage(refusal, MessageIcon::Exclamation, AppTitle);
        return std::nullopt;
    }
    return settings;
}

void SourcesPage::cmdTestSearch_Click()
{
    if (session.IsRunning()) {
        prompter.ShowMessage(SiteDbTexts::RunGoing, MessageIcon::Exclamation, AppTitle);
        return;
    }
    const std::optional<SourceSettings> settings = Applied(SearchChange());
    if (!settings)
        return;
    probeTarget = lblSearchTest;
    lblSearchTest->setText(u"Testing..."_s);
    probe->TestSearch(settings->Search, txtTestKeyword->text().trimmed());
    SettleButtons();
}

void SourcesPage::cmdTestAuthority_Click()
{
    if (session.IsRunning()) {
        prompter.ShowMessage(SiteDbTexts::RunGoing, MessageIcon::Exclamation, AppTitle);
        return;
    }
    const std::optional<SourceSettings> settings = Applied(AuthorityChange());
    if (!settings)
        return;
    probeTarget = lblAuthorityTest;
    lblAuthorityTest->setText(u"Testing..."_s);
    probe->TestAuthority(settings->Authority, txtTestDomain->text().trimmed());
    SettleButtons();
}

void SourcesPage::ShowProbeResult(const QString& text)
{
    if (probeTarget)
        probeTarget->setText(text);
    probeTarget = nullptr;
    SettleButtons();
}

void SourcesPage::cmdTestTraffic_Click()
{
    lblTrafficTest->setText(probe->TestTraffic(TrafficKind(), txtTestHost->text()));
}

void SourcesPage::cmdBrowseList_Click()
{
    // Window-modal and without a loop of its own: the choice arrives as a signal.
    auto* dialog = new QFileDialog(this, u"Import a rank list"_s, QFileInfo(txtTrafficList->text()).path(),
                                   u"Rank lists (*.csv *.zip);;All files (*)"_s);
    dialog->setObjectName(u"dlgBrowseList"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, txtTrafficList, &QLineEdit::setText);
    dialog->open();
}

void SourcesPage::cmdImportList_Click()
{
    SourceChange change = TrafficChange();
    change.List = txtTrafficList->text();
    const std::optional<SourceSettings> settings = Applied(change);
    if (settings)
        StartImport(settings->Traffic, false);
}

void SourcesPage::StartImport(const TrafficSourceSettings& traffic, bool force)
{
    RankListImportRequest request;
    request.Kind = *RankListKindNamed(SourceName(traffic.Kind));
    request.Today = session.Time().Now().date();
    request.Force = force;
    if (!IsRankListAddress(traffic.List))
        request.DisplayName = QFileInfo(traffic.List).fileName();
    importing = traffic;
    prgImport->setRange(0, 0);
    prgImport->setFormat(u"Importing..."_s);
    prgImport->show();
    import->Start(traffic.List, request, ReadListDownloadMaxMiB(session.State().Settings));
    SettleButtons();
    Q_EMIT ImportRunning(true);
}

void SourcesPage::ImportFinished(const RankListImportResult& result)
{
    prgImport->hide();
    // The list goes into the choice once it is in; a refused one leaves the earlier list.
    if (result.Ok)
        imported = importing;
    ShowListInfo();
    lblTrafficTest->setText(result.Message);
    SettleButtons();
    Q_EMIT ImportRunning(false);
    if (result.Ok)
        return;
    if (!result.Overridable) {
        prompter.ShowMessage(result.Message, MessageIcon::Exclamation, AppTitle);
        return;
    }
    if (prompter.AskYesNo(result.Message + u"\n\nImport it anyway?"_s, AppTitle))
        StartImport(importing, true);
}
