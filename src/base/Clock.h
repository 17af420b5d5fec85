#pragma once
// Today's date and the time of day, as the reports and the scan read them; tests set their own.

#include <QDateTime>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime Now() const { return QDateTime::currentDateTime(); }
};
