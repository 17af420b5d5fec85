// The link label: hover, leave and click reported as signals.

#include "gui/HyperlinkLabel.h"

#include <QMouseEvent>

HyperlinkLabel::HyperlinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
}

void HyperlinkLabel::SetLook(const QColor& colour, bool underline)
{
    QPalette look = palette();
    look.setColor(QPalette::WindowText, colour);
    setPalette(look);
    QFont face = font();
    face.setUnderline(underline);
    setFont(face);
}

void HyperlinkLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    Q_EMIT Hovered();
}

void HyperlinkLabel::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    Q_EMIT Left();
}

void HyperlinkLabel::mousePressEvent(QMouseEvent* event)
{
    pressed = event->button() == Qt::LeftButton;
}

// A press that began elsewhere, or a release away from the label, is no click.
void HyperlinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed = false;
    if (click)
        Q_EMIT Clicked();
}
