#pragma once
#include <QElapsedTimer>
#include <QStringList>
#include <functional>

#include "engine/scriptdialogs.h"
#include "page/pagequestion.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// A page's alert, confirm and prompt, inside its own page window rather than in a box
// that locks the whole browser: the menus and exit keep working. An alert is answered at
// once and its message stays in the frame (a page alerting without end is silenced). For
// confirm and prompt the engine wants the answer at once and runs no task of any page
// until it has it: the tab in front asks in its own event loop (closing the page or the
// browser ends it); a tab out of sight gets the cancel answer at once, and shows what it
// asked, with 重新载入, when the user comes to it. From the second dialog of a page on,
// the user may stop the page from showing more until it navigates.
class ScriptDialog : public PageQuestion, public ScriptDialogs
{
    Q_OBJECT
public:
    // inFront: whether the page is the tab in front; reload: the user asks the page to
    // load again after its question was cancelled out of sight.
    ScriptDialog(QWidget *page, std::function<bool()> inFront, std::function<void()> reload);

    bool answer(Kind kind, const QUrl &origin, const QString &message, QString *text) override;

    // The page navigated: it may ask again.
    void reset();

    // Alerts (and questions out of sight) a page may show in a second before it is silenced.
    static constexpr int kAlertsPerSecond = 10;
    // Unread messages the frame shows at once, the newest last.
    static constexpr int kMessagesKept = 20;

    QLabel *message() const { return m_message; }
    QLineEdit *input() const { return m_input; }
    QCheckBox *suppress() const { return m_suppress; }
    QPushButton *ok() const { return m_ok; }
    QPushButton *cancel() const { return m_cancel; }
    QPushButton *reload() const { return m_reload; }
    QLabel *note() const { return m_note; }

private:
    void place();
    // Too many in a second: the page is silenced until it navigates.
    bool tooMany();
    void fill(const QUrl &origin, const QString &message);

    QLabel *m_origin = nullptr;
    QLabel *m_message = nullptr;
    QLineEdit *m_input = nullptr;
    QCheckBox *m_suppress = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_reload = nullptr;
    QLabel *m_note = nullptr;
    QStringList m_messages;
    QString m_site; // whose messages they are
    int m_earlier = 0;
    QElapsedTimer m_burst;
    int m_shownInBurst = 0;
    int m_asked = 0;
    bool m_suppressed = false;
};
