#pragma once
#include "platform/clock.h"

// A clock that says what the test sets.
class FakeClock : public Clock
{
public:
    QDateTime time = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53));
    QDateTime now() const override { return time; }
};
