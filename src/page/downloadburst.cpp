#include "page/downloadburst.h"

DownloadBurst::Verdict DownloadBurst::next(const QDateTime &now)
{
    if (m_answer == Answer::Allowed)
        return Verdict::Quiet;
    if (m_answer == Answer::Refused)
        return Verdict::Refuse;
    const bool burst = m_last.isValid() && m_last.msecsTo(now) < kWithinMs;
    m_last = now;
    return burst ? Verdict::Hold : Verdict::Ask;
}

void DownloadBurst::newDocument()
{
    m_last = {};
    m_answer = Answer::None;
}
