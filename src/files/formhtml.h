#pragma once
#include <QMainWindow>

class Dialogs;
class QLineEdit;
class QPlainTextEdit;

// The source viewer "源文件": a page's markup (or its selection's) as plain text, never
// rendered, with its title and address; find (ignoring case, from the first character)
// and save. One window a command; several may be open.
class FormHtml : public QMainWindow
{
    Q_OBJECT
public:
    FormHtml(Dialogs &dialogs, QWidget *parent = nullptr);

    void show(const QString &source, const QString &address, const QString &title);
    QPlainTextEdit *Text1() const { return m_text1; }
    QLineEdit *Text2() const { return m_text2; }
    QLineEdit *Text3() const { return m_text3; }

    // Asks for a word and selects its first place; false when it is not there.
    bool find();
    // Asks where, and writes the source there as GB18030 text.
    void save();

private:
    Dialogs &m_dialogs;
    QLineEdit *m_text3;
    QLineEdit *m_text2;
    QPlainTextEdit *m_text1;
};
