#pragma once
// A label that acts as a link: it reports the pointer coming over it, leaving it, and a click on it.

#include <QLabel>

class HyperlinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit HyperlinkLabel(const QString& text, QWidget* parent = nullptr);

    void SetLook(const QColor& colour, bool underline);

Q_SIGNALS:
    void Hovered();
    void Left();
    void Clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed = false;
};
