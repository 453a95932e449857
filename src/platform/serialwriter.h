#pragma once
#include <QThreadPool>

// One thread away from the window for a writer's jobs, run one at a time in the order
// given (a file gets its writes in order; large pictures are not encoded side by side).
// Its destruction waits for the jobs handed over.
class SerialWriter : public QThreadPool
{
public:
    SerialWriter() { setMaxThreadCount(1); }
};
