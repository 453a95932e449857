#pragma once
#include <QDateTime>

// The time of day, as a parameter: dated records (history rows, picture names, the
// status bar's date) take it from here, so tests run on fixed dates.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
