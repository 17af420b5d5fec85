#include "gui/CutOffCellTips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

bool CutOffCellTips::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                               const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty() || sizeHint(option, index).width() <= option.rect.width()) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), QStringLiteral("<qt>%1</qt>").arg(text.toHtmlEscaped()), view->viewport(),
                       option.rect);
    return true;
}
