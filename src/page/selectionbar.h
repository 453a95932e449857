#pragma once
#include <QString>
#include <QWidget>

class QLabel;

// The selection bar PictMouse: a small bar with "搜索  |" and "复制" (LabCopy 0 and 1)
// shown in the page near the pointer after the user selected text with the mouse. It
// keeps the text it was shown for; either button hides it again. Hidden is parked out of
// sight to the left, as the bar has always been hidden.
class SelectionBar : public QWidget
{
    Q_OBJECT
public:
    explicit SelectionBar(QWidget *page);

    QLabel *LabCopy(int index) const { return index == 0 ? m_search : m_copy; }
    // Shows the bar for text with its top-left corner at (x, y) of the page, kept inside
    // the page.
    void showFor(const QString &text, const QPoint &at);
    void park();
    bool shown() const { return x() >= 0; }
    QString text() const { return m_text; }

signals:
    void searchChosen(const QString &text);
    void copyChosen(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_search = nullptr;
    QLabel *m_copy = nullptr;
    QString m_text;
};
