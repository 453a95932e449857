#pragma once
#include <QElapsedTimer>
#include <QFrame>
#include <QPointer>
#include <functional>

#include "engine/scriptdialogs.h"

class QCheckBox;
class QEventLoop;
class QLabel;
class QLineEdit;
class QPushButton;

// A page's alert, confirm and prompt, inside its own page window rather than in a box
// that locks the whole browser: the menus, the other tabs and exit keep working. An alert
// is answered at once and its message stays in the frame (a page alerting without end is
// silenced). For confirm and prompt the engine waits for the answer (and stops the other
// tabs meanwhile), so the question runs its own event loop; closing the page or the
// browser ends it. A question asked out of sight waits in its own page until the user
// comes there: it never takes the window from the page being read. From the second
// dialog of a page on, the user may stop the page from showing more until it navigates.
class ScriptDialog : public QFrame, public ScriptDialogs
{
    Q_OBJECT
public:
    // waiting(true) when a question starts waiting out of sight, waiting(false) when it
    // has its answer (the page's tab says so meanwhile).
    ScriptDialog(QWidget *page, std::function<void(bool waiting)> waiting);
    ~ScriptDialog() override;

    bool answer(Kind kind, const QUrl &origin, const QString &message, QString *text) override;

    // The page closes: the open question ends as cancelled and no new one is asked.
    void abort();
    // The page navigated: it may ask again.
    void reset();
    bool asking() const { return m_loop != nullptr; }

    // Alerts a page may show in a second before it is silenced.
    static constexpr int kAlertsPerSecond = 10;

    QLabel *message() const { return m_message; }
    QLineEdit *input() const { return m_input; }
    QCheckBox *suppress() const { return m_suppress; }
    QPushButton *ok() const { return m_ok; }
    QPushButton *cancel() const { return m_cancel; }

private:
    void place();

    QLabel *m_origin = nullptr;
    QLabel *m_message = nullptr;
    QLineEdit *m_input = nullptr;
    QCheckBox *m_suppress = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    std::function<void(bool)> m_waiting;
    QPointer<QEventLoop> m_loop;
    QElapsedTimer m_burst;
    int m_alertsInBurst = 0;
    int m_asked = 0;
    bool m_suppressed = false;
    bool m_closing = false;
};
