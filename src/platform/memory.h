#pragma once
#include <QtGlobal>

namespace Platform {
// Gives freed heap memory back to the system, as the main window does after a resize.
void trimWorkingSet();
} // namespace Platform

// How much memory the machine has left, and how much the browser (with its engine's
// processes) takes. 0 where a value could not be read.
struct MemoryReading {
    qint64 totalKb = 0;
    qint64 availableKb = 0;
    qint64 browserKb = 0;

    // Short of memory: less than a tenth of the machine's memory is available, or the
    // browser takes more than limitMb (0: no limit of the user's).
    bool pressing(int limitMb) const
    {
        if (totalKb > 0 && availableKb > 0 && availableKb * 10 < totalKb)
            return true;
        return limitMb > 0 && browserKb > qint64(limitMb) * 1024;
    }
};

class MemoryGauge
{
public:
    virtual ~MemoryGauge() = default;
    // withBrowser: also sum the browser's own share (costs a walk over its processes).
    virtual MemoryReading read(bool withBrowser) const = 0;
};

// The kernel's figures: MemAvailable of the machine, and the proportional set size of
// this process and every process it started (the engine's helpers and renderers).
class SystemMemory : public MemoryGauge
{
public:
    MemoryReading read(bool withBrowser) const override;
};
