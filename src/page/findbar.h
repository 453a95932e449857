#pragma once
#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;

// The find bar over a page: the engine's own find, next and previous, match case, and
// "n/m" of the matches; Escape closes it. It keeps the last word looked for, for every
// page's bar.
class FindBar : public QWidget
{
    Q_OBJECT
public:
    // find(word, backward, matchCase, done(active, total)); an empty word clears it.
    using Find = std::function<void(const QString &, bool, bool, std::function<void(int, int)>)>;
    // lastWord is the word last looked for in any page (the browser's, kept by the
    // session): a bar opens with it and each search keeps its own there.
    FindBar(Find find, QString &lastWord, QWidget *parent);

    void open();
    void next(bool backward = false);
    QLineEdit *word() const { return m_word; }
    QCheckBox *matchCase() const { return m_case; }
    QString count() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void close();

    Find m_find;
    QString &m_lastWord;
    QLineEdit *m_word;
    QCheckBox *m_case;
    QLabel *m_count;
};
