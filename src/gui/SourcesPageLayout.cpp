// The Sources page's controls: their making, their order (the Tab order), their labels and
// mnemonics, and what each shows for the source chosen.

#include "gui/SourcesPage.h"
#include "model/AppState.h"
#include "session/Session.h"
#include "sources/RankListStore.h"
#include "sources/ServiceReplyCheck.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

template <typename Kind, size_t N> QComboBox* SourceCombo(const QString& name, const Kind (&kinds)[N], Kind chosen)
{
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    for (const Kind kind : kinds)
        combo->addItem(SourceName(kind), int(kind));
    combo->setCurrentIndex(combo->findData(int(chosen)));
    return combo;
}

QLineEdit* Field(const QString& name, const QString& text = {})
{
    auto* field = new QLineEdit(text);
    field->setObjectName(name);
    return field;
}

QLabel* ResultLine(const QString& name)
{
    auto* line = new QLabel;
    line->setObjectName(name);
    // Replies of the web are shown as they are, never read as markup.
    line->setTextFormat(Qt::PlainText);
    line->setWordWrap(true);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return line;
}

// A labelled row of several widgets; the label's mnemonic goes to the first.
void AddRow(QFormLayout* form, const QString& label, std::initializer_list<QWidget*> widgets)
{
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets)
        row->addWidget(widget, widget == *widgets.begin() ? 1 : 0);
    auto* text = new QLabel(label);
    text->setBuddy(*widgets.begin());
    form->addRow(text, row);
}

// What the store keeps for a service, chosen or not: a change naming it and giving nothing else is
// filled in from the store (and refused, leaving the defaults, when nothing usable is kept).
SourceSettings StoredFor(const SettingsStore& store, SourceColumn column, const QString& service)
{
    SourceSettings settings;
    SourceChange change;
    change.Column = column;
    change.Source = service;
    ApplySourceChange(settings, store, change);
    return settings;
}

QString KeyHint(const QString& key)
{
    return key.isEmpty() ? u"no key stored"_s : MaskedKey(key);
}

} // namespace

SearchSourceKind SourcesPage::SearchKind() const
{
    return SearchSourceKind(cboSearchSource->currentData().toInt());
}

AuthoritySourceKind SourcesPage::AuthorityKind() const
{
    return AuthoritySourceKind(cboAuthoritySource->currentData().toInt());
}

TrafficSourceKind SourcesPage::TrafficKind() const
{
    return TrafficSourceKind(cboTrafficSource->currentData().toInt());
}

QPushButton* SourcesPage::Button(const QString& name, const QString& text, QWidget* parent) const
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Enter in a field is the dialog's OK, whichever button was pressed last.
    button->setAutoDefault(false);
    return button;
}

QWidget* SourcesPage::SearchGroup()
{
    auto* group = new QGroupBox(u"Search positions and result sites"_s, this);
    auto* form = new QFormLayout(group);
    cboSearchSource = SourceCombo(u"cboSearchSource"_s, SearchKinds, stored.Search.Kind);
    form->addRow(u"&Source:"_s, cboSearchSource);
    txtSearchKey = Field(u"txtSearchKey"_s);
    txtSearchKey->setEchoMode(QLineEdit::Password);
    form->addRow(u"&Key:"_s, txtSearchKey);
    txtSearchEndpoint = Field(u"txtSearchEndpoint"_s, stored.Search.Endpoint);
    form->addRow(u"&Endpoint:"_s, txtSearchEndpoint);
    cboSearchDepth = new QComboBox;
    cboSearchDepth->setObjectName(u"cboSearchDepth"_s);
    for (const int depth : DepthChoices)
        cboSearchDepth->addItem(QString::number(depth), depth);
    cboSearchDepth->setCurrentIndex(cboSearchDepth->findData(stored.Search.Depth));
    form->addRow(u"&Depth:"_s, cboSearchDepth);
    lblPositionNote = new QLabel;
    lblPositionNote->setObjectName(u"lblPositionNote"_s);
    form->addRow(lblPositionNote);
    txtTestKeyword = Field(u"txtTestKeyword"_s, u"test"_s);
    cmdTestSearch = Button(u"cmdTestSearch"_s, u"&Test search"_s, group);
    AddRow(form, u"Key&word:"_s, {txtTestKeyword, cmdTestSearch});
    lblSearchTest = ResultLine(u"lblSearchTest"_s);
    form->addRow(lblSearchTest);

    connect(cboSearchSource, &QComboBox::currentIndexChanged, this, [this] {
        txtSearchKey->clear();
        txtSearchEndpoint->setText(
            StoredFor(session.State().Settings, SourceColumn::Search, cboSearchSource->currentText()).Search.Endpoint);
        ShowSearchSource();
    });
    connect(cmdTestSearch, &QPushButton::clicked, this, &SourcesPage::cmdTestSearch_Click);
    return group;
}

QWidget* SourcesPage::AuthorityGroup()
{
    auto* group = new QGroupBox(u"Authority"_s, this);
    auto* form = new QFormLayout(group);
    cboAuthoritySource = SourceCombo(u"cboAuthoritySource"_s, AuthorityKinds, stored.Authority.Kind);
    form->addRow(u"So&urce:"_s, cboAuthoritySource);
    txtAuthorityKey = Field(u"txtAuthorityKey"_s);
    txtAuthorityKey->setEchoMode(QLineEdit::Password);
    form->addRow(u"Ke&y:"_s, txtAuthorityKey);
    txtAuthorityEndpoint = Field(u"txtAuthorityEndpoint"_s, stored.Authority.Endpoint);
    form->addRow(u"E&ndpoint:"_s, txtAuthorityEndpoint);
    txtTestDomain = Field(u"txtTestDomain"_s, u"example.com"_s);
    cmdTestAuthority = Button(u"cmdTestAuthority"_s, u"Test &authority"_s, group);
    AddRow(form, u"Do&main:"_s, {txtTestDomain, cmdTestAuthority});
    lblAuthorityTest = ResultLine(u"lblAuthorityTest"_s);
    form->addRow(lblAuthorityTest);

    connect(cboAuthoritySource, &QComboBox::currentIndexChanged, this, [this] {
        txtAuthorityKey->clear();
        txtAuthorityEndpoint->setText(
            StoredFor(session.State().Settings, SourceColumn::Authority, cboAuthoritySource->currentText())
                .Authority.Endpoint);
        ShowAuthoritySource();
    });
    connect(cmdTestAuthority, &QPushButton::clicked, this, &SourcesPage::cmdTestAuthority_Click);
    return group;
}

QWidget* SourcesPage::TrafficGroup()
{
    auto* group = new QGroupBox(u"Traffic rank"_s, this);
    auto* form = new QFormLayout(group);
    cboTrafficSource = SourceCombo(u"cboTrafficSource"_s, TrafficKinds, stored.Traffic.Kind);
    form->addRow(u"Sou&rce:"_s, cboTrafficSource);
    lblListInfo = ResultLine(u"lblListInfo"_s);
    form->addRow(u"List:"_s, lblListInfo);
    txtTrafficList = Field(u"txtTrafficList"_s);
    txtTrafficList->setPlaceholderText(u"a file or an http(s) address"_s);
    cmdBrowseList = Button(u"cmdBrowseList"_s, u"&Browse..."_s, group);
    cmdImportList = Button(u"cmdImportList"_s, u"Im&port"_s, group);
    AddRow(form, u"&Import from:"_s, {txtTrafficList, cmdBrowseList, cmdImportList});
    prgImport = new QProgressBar;
    prgImport->setObjectName(u"prgImport"_s);
    prgImport->hide();
    form->addRow(prgImport);
    txtTestHost = Field(u"txtTestHost"_s, u"example.com"_s);
    cmdTestTraffic = Button(u"cmdTestTraffic"_s, u"&Look up"_s, group);
    AddRow(form, u"&Host:"_s, {txtTestHost, cmdTestTraffic});
    lblTrafficTest = ResultLine(u"lblTrafficTest"_s);
    form->addRow(lblTrafficTest);

    connect(cboTrafficSource, &QComboBox::currentIndexChanged, this, &SourcesPage::ShowTrafficSource);
    connect(cmdBrowseList, &QPushButton::clicked, this, &SourcesPage::cmdBrowseList_Click);
    connect(cmdImportList, &QPushButton::clicked, this, &SourcesPage::cmdImportList_Click);
    connect(cmdTestTraffic, &QPushButton::clicked, this, &SourcesPage::cmdTestTraffic_Click);
    return group;
}

void SourcesPage::ShowSearchSource()
{
    const auto kind = SearchKind();
    const bool service = kind != SearchSourceKind::Historical;
    const bool instance = kind == SearchSourceKind::Searxng;
    txtSearchKey->setEnabled(service && !instance);
    txtSearchKey->setPlaceholderText(
        service && !instance
            ? KeyHint(StoredFor(session.State().Settings, SourceColumn::Search, SourceName(kind)).Search.Key)
            : QString());
    txtSearchEndpoint->setEnabled(service);
    txtSearchEndpoint->setPlaceholderText(instance ? u"the address of your own instance"_s : DefaultEndpoint(kind));
    cboSearchDepth->setEnabled(service);
    lblPositionNote->setText(PositionNote(kind));
    lblPositionNote->setVisible(!PositionNote(kind).isEmpty());
    // A test of the source chosen before says nothing of this one.
    if (probeTarget == lblSearchTest)
        probeTarget = nullptr;
    lblSearchTest->clear();
    SettleButtons();
}

void SourcesPage::ShowAuthoritySource()
{
    const auto kind = AuthorityKind();
    const bool service = kind != AuthoritySourceKind::Historical;
    txtAuthorityKey->setEnabled(service);
    txtAuthorityKey->setPlaceholderText(
        service ? KeyHint(StoredFor(session.State().Settings, SourceColumn::Authority, SourceName(kind)).Authority.Key)
                : QString());
    txtAuthorityEndpoint->setEnabled(service);
    txtAuthorityEndpoint->setPlaceholderText(DefaultEndpoint(kind));
    if (probeTarget == lblAuthorityTest)
        probeTarget = nullptr;
    lblAuthorityTest->clear();
    SettleButtons();
}

void SourcesPage::ShowTrafficSource()
{
    lblTrafficTest->clear();
    ShowListInfo();
    SettleButtons();
}

void SourcesPage::ShowListInfo()
{
    const std::optional<RankListKind> kind = RankListKindNamed(cboTrafficSource->currentText());
    if (!kind) {
        lblListInfo->setText(u"none: the historical source reads the traffic-rank site's pages"_s);
        return;
    }
    QString fault;
    std::optional<RankListInfo> info;
    for (const RankListInfo& list : RankListStore(RankListsPath(session.State().ProgramFolder)).ListInfo(&fault)) {
        if (list.Kind == *kind)
            info = list;
    }
    if (!fault.isEmpty())
        lblListInfo->setText(fault);
    else if (!info)
        lblListInfo->setText(u"no %1 list imported yet"_s.arg(RankListName(*kind)));
    else
        lblListInfo->setText(DescribeRankList(*info));
}
