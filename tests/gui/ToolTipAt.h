#pragma once
// What a view shows as the tooltip of one cell, as plain text: empty when it shows none.

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

inline QString ToolTipAt(QAbstractItemView* view, const QModelIndex& cell)
{
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
        return QStringLiteral("(an earlier tooltip stayed)");
    const QPoint at = view->visualRect(cell).center();
    QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &help);
    if (!QTest::qWaitFor([] { return QToolTip::isVisible(); }, 500))
        return {};
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    return shown.toPlainText();
}
