#pragma once
// The search window over a test's program folder, with a scripted prompter, a settable clock, a
// recording launcher and fake runs; controls are found by name.

#include "gui/frmSearch.h"
#include "model/AppState.h"
#include "support/RecordingLauncher.h"
#include "support/ScriptedPrompter.h"
#include "support/SiteDbTestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

class SearchWindowRig {
public:
    void Open()
    {
        state = std::make_unique<AppState>(folder.Path());
        window = std::make_unique<frmSearch>(*state, prompter, clock, launcher, actions);
        window->show();
    }

    template <typename T> T* Find(const QString& name) const
    {
        T* found = window->findChild<T*>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    QString Text(const QString& name) const { return Find<QLineEdit>(name)->text(); }
    QComboBox* Keyword() const { return Find<QComboBox>(QStringLiteral("cmbSearch")); }
    // The buttons with enabling rules that are enabled, in the column's order.
    QStringList EnabledButtons() const
    {
        QStringList enabled;
        for (const char* name :
             {"cmdAdd", "cmdExtract", "cmdScan", "cmdReport", "cmdExportHTML", "cmdRecoverDatabase"}) {
            if (Find<QPushButton>(QLatin1String(name))->isEnabled())
                enabled.append(QLatin1String(name));
        }
        return enabled;
    }
    void Click(const QString& name) const { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }

    SiteFolder folder;
    ScriptedPrompter prompter;
    TestClock clock{QDateTime(QDate(2024, 5, 1), QTime(9, 30))};
    FakeActions actions;
    RecordingLauncher launcher;
    std::unique_ptr<AppState> state;
    std::unique_ptr<frmSearch> window;
};
