#include "cli/ProgressLine.h"

#include <QTextStream>

#include <unistd.h>

ProgressLine::ProgressLine() : terminal(isatty(STDERR_FILENO) != 0) {}

void ProgressLine::SetMaximum(int newMaximum)
{
    maximum = newMaximum;
}

void ProgressLine::SetValue(int newValue)
{
    if (newValue == value || newValue <= 0)
        return;
    value = newValue;
    Show();
}

void ProgressLine::Show()
{
    QTextStream err(stderr);
    const int shown = maximum > 0 ? std::min(value, maximum) : value;
    QString numbers = QString::number(shown);
    if (maximum > 0)
        numbers += QLatin1Char('/') + QString::number(maximum);
    if (!unit.isEmpty())
        numbers += QLatin1Char(' ') + unit;
    if (!terminal) {
        err << "progress " << numbers << Qt::endl;
        return;
    }
    constexpr int width = 30;
    const int filled = maximum > 0 ? shown * width / maximum : 0;
    err << "\r[" << QString(filled, QLatin1Char('#')) << QString(width - filled, QLatin1Char('.')) << "] " << numbers
        << ' ';
    err.flush();
    drawn = true;
}

void ProgressLine::Finish()
{
    if (drawn) {
        QTextStream err(stderr);
        err << Qt::endl;
    }
    drawn = false;
}
