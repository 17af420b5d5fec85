#pragma once
// The settings dialog's Sources page: the source of each data column with its key, endpoint,
// depth or list, a test of each, and the import of a traffic-rank list. Its controls are made and
// kept in step with the chosen sources in SourcesPageLayout.cpp.

#include "sources/RankList.h"
#include "sources/SourceSettings.h"

#include <QWidget>

class Prompter;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class Session;
class SourcesPageImport;
class SourcesPageProbe;

class SourcesPage : public QWidget {
    Q_OBJECT
public:
    SourcesPage(Session& session, Prompter& prompter, QWidget* parent = nullptr);

    // Checks every column whose fields were changed. The refusal of the first that cannot be made,
    // with the field to go back to; nothing is kept then.
    struct Refusal {
        QString Text;
        QWidget* Field = nullptr;
    };
    Refusal CheckChanges();
    // Stores the columns the last CheckChanges took; false when the store refused (it has said why).
    bool SaveChanges();

Q_SIGNALS:
    // A list import goes: the dialog must not be accepted meanwhile.
    void ImportRunning(bool running);

private:
    QWidget* SearchGroup();
    QWidget* AuthorityGroup();
    QWidget* TrafficGroup();
    QPushButton* Button(const QString& name, const QString& text, QWidget* parent) const;

    void ShowSearchSource();
    void ShowAuthoritySource();
    void ShowTrafficSource();
    void ShowListInfo();
    void ShowProbeResult(const QString& text);
    // The sources the combos show.
    SearchSourceKind SearchKind() const;
    AuthoritySourceKind AuthorityKind() const;
    TrafficSourceKind TrafficKind() const;
    void SettleButtons();

    // The change the fields stand for, and whether it differs from what was stored.
    SourceChange SearchChange() const;
    SourceChange AuthorityChange() const;
    SourceChange TrafficChange() const;
    bool SearchChanged() const;
    bool AuthorityChanged() const;
    bool TrafficChanged() const;
    // The stored settings with change applied; the refusal shown when it cannot be made.
    std::optional<SourceSettings> Applied(const SourceChange& change);

    void cmdTestSearch_Click();
    void cmdTestAuthority_Click();
    void cmdTestTraffic_Click();
    void cmdBrowseList_Click();
    void cmdImportList_Click();
    // Imports the list of traffic; force imports one that looks too little like a list.
    void StartImport(const TrafficSourceSettings& traffic, bool force);
    void ImportFinished(const RankListImportResult& result);

    Session& session;
    Prompter& prompter;
    const SourceSettings stored;
    SourceSettings wanted;
    QList<SourceColumn> changed;
    // The list imported on this page (OK chooses it for its kind), and the one being imported.
    TrafficSourceSettings imported;
    TrafficSourceSettings importing;
    SourcesPageProbe* probe;
    SourcesPageImport* import;
    QLabel* probeTarget = nullptr; // the result line of the test that goes

    QComboBox* cboSearchSource = nullptr;
    QLineEdit* txtSearchKey = nullptr;
    QLineEdit* txtSearchEndpoint = nullptr;
    QComboBox* cboSearchDepth = nullptr;
    QLabel* lblPositionNote = nullptr;
    QLineEdit* txtTestKeyword = nullptr;
    QPushButton* cmdTestSearch = nullptr;
    QLabel* lblSearchTest = nullptr;

    QComboBox* cboAuthoritySource = nullptr;
    QLineEdit* txtAuthorityKey = nullptr;
    QLineEdit* txtAuthorityEndpoint = nullptr;
    QLineEdit* txtTestDomain = nullptr;
    QPushButton* cmdTestAuthority = nullptr;
    QLabel* lblAuthorityTest = nullptr;

    QComboBox* cboTrafficSource = nullptr;
    QLabel* lblListInfo = nullptr;
    QLineEdit* txtTrafficList = nullptr;
    QPushButton* cmdBrowseList = nullptr;
    QPushButton* cmdImportList = nullptr;
    QProgressBar* prgImport = nullptr;
    QLineEdit* txtTestHost = nullptr;
    QPushButton* cmdTestTraffic = nullptr;
    QLabel* lblTrafficTest = nullptr;
};
