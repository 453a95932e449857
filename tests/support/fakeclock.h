#pragma once
#include "platform/clock.h"
#include "platform/memory.h"

// A clock that says what the test sets.
class FakeClock : public Clock
{
public:
    QDateTime time = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53));
    QDateTime now() const override { return time; }
};

// Memory as the test sets it: plenty, until a test makes it short.
class FakeMemory : public MemoryGauge
{
public:
    MemoryReading reading{8 * 1024 * 1024, 4 * 1024 * 1024, 300 * 1024};
    mutable int reads = 0;
    MemoryReading read(bool) const override
    {
        ++reads;
        return reading;
    }
};
