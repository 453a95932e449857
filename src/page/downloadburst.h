#pragma once
#include <QDateTime>

// Whether a page's next download goes through the save dialog. A page that starts a
// download within a short time of its last one, with no click or key of the user's in
// between, is asked about once in its tab instead of piling up save dialogs; the answer
// holds until its next document.
class DownloadBurst
{
public:
    static constexpr int kWithinMs = 10000;
    enum class Verdict {
        Ask,    // the save dialog, as for any download
        Hold,   // saved beside the first, held until the tab's question is answered
        Quiet,  // allowed: saved beside the first without a dialog
        Refuse, // refused: cancelled
    };
    Verdict next(const QDateTime &now);
    // The user clicked or typed in the page.
    void userWorked() { m_last = {}; }
    // The save dialog of a download was answered: the engine holds the page's next
    // downloads back until then, so the burst goes on from now.
    void dialogEnded(const QDateTime &now)
    {
        if (m_last.isValid())
            m_last = now;
    }
    void newDocument();
    void answered(bool allow) { m_answer = allow ? Answer::Allowed : Answer::Refused; }

private:
    enum class Answer { None, Allowed, Refused };
    QDateTime m_last;
    Answer m_answer = Answer::None;
};
