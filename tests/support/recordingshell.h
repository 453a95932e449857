#pragma once
#include "platform/shell.h"

// A shell that records what it was asked to open or start, and does nothing.
class RecordingShell : public Shell
{
public:
    QStringList opened;
    QStringList started;
    bool answer = true;

    bool open(const QString &target) override
    {
        opened << target;
        return answer;
    }
    bool start(const QString &program, const QStringList &arguments) override
    {
        started << (QStringList{program} + arguments).join(QLatin1Char(' '));
        return answer;
    }
};
