#pragma once
// The lists' cells that their column cuts off show their whole text as a tooltip, as plain text
// even where it looks like markup.

#include <QStyledItemDelegate>

class CutOffCellTips : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};
