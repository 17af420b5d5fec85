#pragma once
// The rank run's progress on standard error: a bar redrawn in place on a terminal, plain lines
// otherwise.

#include <QString>

class ProgressLine {
public:
    ProgressLine();
    void SetMaximum(int value);
    void SetValue(int value);
    // Ends a bar that is being drawn, so the next output starts on a line of its own.
    void Finish();

private:
    void Show();

    bool terminal;
    bool drawn = false;
    int maximum = 0;
    int value = 0;
};
