#include "gui/StatusPanel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace {

// The room kept between the text and the cover.
constexpr int Gap = 4;

} // namespace

StatusPanel::StatusPanel(const QString& text, QWidget* cover) : QLabel(text), cover(cover)
{
    setObjectName(QStringLiteral("sbStatusPanel"));
    setTextFormat(Qt::PlainText);
    // The status bar gives the panel its room; a long text never asks for more.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    cover->installEventFilter(this);
}

QRect StatusPanel::TextRect() const
{
    QRect room = contentsRect().adjusted(std::max(indent(), 0), 0, 0, 0);
    if (!cover->isHidden())
        room.setRight(std::min(room.right(), mapFrom(window(), cover->mapTo(window(), QPoint())).x() - Gap));
    return room;
}

QString StatusPanel::ShownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(TextRect().width(), 0));
}

void StatusPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    style()->drawItemText(&painter, TextRect(), int(alignment()) | Qt::TextSingleLine, palette(), isEnabled(),
                          ShownText(), foregroundRole());
}

bool StatusPanel::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QLabel::event(event);
    // As it stands, never as markup.
    if (ShownText() == text())
        QToolTip::hideText();
    else
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                           QStringLiteral("<qt>%1</qt>").arg(text().toHtmlEscaped()), this, TextRect());
    return true;
}

bool StatusPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cover && (event->type() == QEvent::Show || event->type() == QEvent::Hide ||
                             event->type() == QEvent::Move || event->type() == QEvent::Resize))
        update();
    return QLabel::eventFilter(watched, event);
}
