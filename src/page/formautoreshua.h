#pragma once
#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

// The automatic page refresher "网页自动刷屏器": once started, Timer1 ticks every second;
// a tick at a countdown of 0 reloads the page in front and starts the countdown again
// from the interval's leading number, any other tick counts down. So "5 秒" reloads every
// 6 seconds, and text that does not start with a number every second. The interval box
// takes free text; a change shows at the next reload.
class FormAutoREshua : public QDialog
{
    Q_OBJECT
public:
    static const QString kCaption;
    static const QString kStart;
    static const QString kPause;

    // reload acts on whatever page is in front at that moment.
    explicit FormAutoREshua(std::function<void()> reload, QWidget *parent = nullptr);

    QComboBox *Comb() const { return m_comb; }
    QPushButton *Command1() const { return m_command1; }
    QLabel *Lab() const { return m_lab; }
    QTimer *Timer1() const { return m_timer1; }

    // The whole seconds an interval text starts with (halves to even; 0 when the text
    // does not start with a number, or with a negative one).
    static int leadingSeconds(const QString &text);

    // One tick of Timer1: a reload at a countdown of 0, else a count down.
    void tick();

private:
    void startOrPause();

    std::function<void()> m_reload;
    QComboBox *m_comb = nullptr;
    QPushButton *m_command1 = nullptr;
    QLabel *m_lab = nullptr;
    QTimer *m_timer1 = nullptr;
    int m_countdown = 0;
};
