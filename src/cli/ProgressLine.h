#pragma once
// The progress of a long command on standard error: a bar redrawn in place on a terminal, plain
// lines otherwise. Without a maximum (0) only the value is shown.

#include <QString>

class ProgressLine {
public:
    ProgressLine();
    void SetMaximum(int value);
    void SetValue(int value);
    // What the numbers count, shown after them ("MiB downloaded"); nothing unless set.
    void SetUnit(const QString& text) { unit = text; }
    // Ends a bar that is being drawn, so the next output starts on a line of its own.
    void Finish();

private:
    void Show();

    bool terminal;
    bool drawn = false;
    int maximum = 0;
    int value = 0;
    QString unit;
};
