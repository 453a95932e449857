#pragma once
#include <QFrame>

class QLabel;
class QPushButton;

// The bar over the pages that offers back the pages of a run that did not end normally.
// It never blocks the window: the user may browse on and answer later (or never).
class RestoreBar : public QFrame
{
    Q_OBJECT
public:
    explicit RestoreBar(QWidget *parent = nullptr);
    // Asks about count pages.
    void ask(int count);
    static QString question(int count);
    QPushButton *yesButton() const { return m_yes; }
    QPushButton *noButton() const { return m_no; }

signals:
    void answered(bool restore);

private:
    QLabel *m_text;
    QPushButton *m_yes;
    QPushButton *m_no;
};
