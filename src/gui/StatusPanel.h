#pragma once
// The first panel of the main window's status bar: one line of plain text that gives way to the
// widget laid over the panel's right part (the progress bar) while that widget shows. Text that
// does not fit ends in "…" and shows whole as a tooltip.

#include <QLabel>

class StatusPanel : public QLabel {
public:
    // cover lies over the panel's right part whenever it is shown.
    StatusPanel(const QString& text, QWidget* cover);

    // The text as it is drawn: whole, or cut to the room it has.
    QString ShownText() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect TextRect() const;

    QWidget* cover;
};
