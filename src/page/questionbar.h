#pragma once
#include <QFrame>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;

// A question asked without holding anything up: a line of text and two buttons, across
// the top of a page (placed by its owner) or in a window's layout. One question at a
// time: asked again while it shows, the new answer waits for the same click.
class QuestionBar : public QFrame
{
    Q_OBJECT
public:
    explicit QuestionBar(QWidget *page);

    using Answer = std::function<void(bool yes)>;
    void ask(const QString &text, const QString &yes, const QString &no, Answer answer);
    bool asking() const { return !m_waiting.empty(); }
    // The question no longer stands (the page went elsewhere): answered no.
    void dismiss();
    // Across the top of a page width pixels wide (when it is not in a layout).
    void place(int width);

    QString text() const;
    QPushButton *yesButton() const { return m_yes; }
    QPushButton *noButton() const { return m_no; }

private:
    void answer(bool yes);

    QLabel *m_text;
    QPushButton *m_yes;
    QPushButton *m_no;
    std::vector<Answer> m_waiting;
};
