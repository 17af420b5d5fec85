#pragma once
// The main window over a program folder of its own, seeded with entries, and the clicks a user
// makes on it.

#include "gui/frmQuorvex.h"
#include "lists/ListStore.h"
#include "model/AppState.h"
#include "session/Session.h"
#include "support/ListTestSupport.h"
#include "support/RecordingLauncher.h"
#include "support/ScriptedPrompter.h"
#include "web/RequestDriver.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

inline QuorvexEntry KeywordEntry(const char* url, const char* product, const char* keyword, int checked)
{
    return {QLatin1String(url), QLatin1String(product), QLatin1String(keyword), checked};
}

// The lists most window tests start with: two pages (the second unticked), three keyword entries
// (the second unticked, without a product, with two keywords).
inline QList<PRURLEntry> TwoPages()
{
    return {{QStringLiteral("http://www.one.com"), 1}, {QStringLiteral("http://www.two.com"), 0}};
}

inline QList<QuorvexEntry> ThreeKeywordEntries()
{
    return {KeywordEntry("http://a.com", "A", "k1", 1), KeywordEntry("http://b.com", "", "k2,k3", 0),
            KeywordEntry("http://c.com", "C", "k4", 1)};
}

class Shell {
public:
    explicit Shell(const QList<PRURLEntry>& pages = {}, const QList<QuorvexEntry>& keywords = {}) : state(dir.path())
    {
        session.Requests().SetLeastPauseMs(0);
        state.Settings.Load();
        state.Lists.PRURLList = pages;
        state.Lists.QuorvexList = keywords;
        SavePRURLList(state.Lists, state.Settings);
        SaveQuorvexURLList(state.Lists, state.Settings);
        window = std::make_unique<frmQuorvex>(session, launcher);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T> T* Find(const char* name) const
    {
        T* found = window->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    QTreeWidget* List(const char* name) const { return Find<QTreeWidget>(name); }

    void Click(const char* button) const { QTest::mouseClick(Button(button), Qt::LeftButton); }

    void ClickTab(const QString& caption) const
    {
        QTabBar* bar = Find<QTabWidget>("tabSearch")->tabBar();
        for (int i = 0; i < bar->count(); ++i) {
            if (bar->tabText(i) == caption)
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        }
    }

    // The tab with this caption, and the list it shows.
    QTreeWidget* ShowTab(const QString& caption) const
    {
        ClickTab(caption);
        return List(caption == QLatin1String("Page Rank") ? "lstPR" : "lstQUORVEX");
    }

    // Row 0 is entry 1.
    static QRect CellRect(QTreeWidget* list, int row) { return list->visualRect(list->model()->index(row, 0)); }

    static QPoint ItemPoint(QTreeWidget* list, int row)
    {
        const QRect cell = CellRect(list, row);
        return {cell.right() + 40, cell.center().y()};
    }
    static void ClickItem(QTreeWidget* list, int row)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, ItemPoint(list, row));
    }
    // As the system delivers one: a click, then the second press as a double-click.
    static void DoubleClickItem(QTreeWidget* list, int row)
    {
        ClickItem(list, row);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, ItemPoint(list, row));
    }

    // A click on the item's check box, where the style draws it.
    static void ClickCheckBox(QTreeWidget* list, int row)
    {
        QStyleOptionViewItem option;
        option.initFrom(list->viewport());
        option.rect = CellRect(list, row);
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        option.widget = list;
        const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
    }

    static Qt::CheckState Tick(QTreeWidget* list, int row) { return list->topLevelItem(row)->checkState(0); }

    // Every stored value of both lists, by key and logical name, as a fresh start would read it.
    QMap<QString, QString> StoredValues() const
    {
        SettingsStore stored(state.Settings.FilePath());
        stored.Load();
        QMap<QString, QString> values;
        for (const QString& key : {PRURLKey, QuorvexURLKey}) {
            for (const QString& name : StoredNames(stored, key))
                values.insert(key + QLatin1Char('|') + name, StoredValue(stored, key, name));
        }
        return values;
    }
    QString Stored(const QString& key, const char* name) const
    {
        return StoredValues().value(key + QLatin1Char('|') + QLatin1String(name), QStringLiteral("<none>"));
    }

    QTemporaryDir dir;
    AppState state;
    ScriptedPrompter prompter;
    Session session{state, prompter};
    RecordingLauncher launcher;
    std::unique_ptr<frmQuorvex> window;
};
