#pragma once
#include <QString>

class QPrinter;
class QWidget;

// Dialogs the browser asks the user through. Tests substitute a recording fake, since
// they cannot click real ones.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // The chosen folder, or "" when the user cancels; it opens at start (the desktop when
    // that is empty) and lets the user make a new folder. An empty title shows
    // "Select a folder:".
    virtual QString browseFolder(const QString &title, QWidget *owner, const QString &start = QString()) = 0;
    virtual void warning(QWidget *owner, const QString &title, const QString &text) = 0;
    // A message with the information icon.
    virtual void information(QWidget *owner, const QString &title, const QString &text) = 0;
    // A line of text from the user; "" when the user cancels.
    virtual QString askText(QWidget *owner, const QString &title, const QString &prompt, const QString &suggested) = 0;
    // Where to save a file: the chosen path, or "" when the user cancels. filter is a
    // file dialog filter ("图片文件 (*.jpg)"); an existing file is replaced only after the
    // dialog's own confirmation.
    // suggestedName is a name (shown in the folder the dialog picks) or a whole path (shown
    // in its own folder); either way its name passes through shownName first.
    virtual QString saveFile(QWidget *owner, const QString &title, const QString &suggestedName, const QString &filter) = 0;
    // A yes/no question; true for yes.
    virtual bool question(QWidget *owner, const QString &title, const QString &text) = 0;
    // One of several answers (and 取消): the index of the one chosen, -1 when cancelled.
    virtual int choose(QWidget *owner, const QString &title, const QString &text, const QStringList &answers) = 0;
    // A file to open: the chosen path, or "" when the user cancels.
    virtual QString openFile(QWidget *owner, const QString &title, const QString &folder, const QString &filter) = 0;
    // The system's page setup and print dialogs on a printer the browser keeps; true when
    // the user confirmed (the printer then holds the choice).
    virtual bool pageSetup(QWidget *owner, QPrinter *printer) = 0;
    virtual bool choosePrinter(QWidget *owner, QPrinter *printer) = 0;

    // The name a save dialog may propose, made from a name a page or a server chose: no
    // control characters, no quote (the file dialog reads quoted text as a list of other
    // names), no leading dot or tilde (a hidden file, another user's home), nothing around
    // it. The folder part of a path is kept as it is.
    static QString shownName(const QString &proposal);
    // The file types every save and open dialog offers (1 all files, 2 pictures, 3 web
    // pages, 4 text), as a dialog filter with the entry at first put first, so it is the
    // one selected.
    static QString fileTypes(int first);
};

// The real dialogs.
class QtDialogs : public Dialogs
{
public:
    QString browseFolder(const QString &title, QWidget *owner, const QString &start = QString()) override;
    void warning(QWidget *owner, const QString &title, const QString &text) override;
    void information(QWidget *owner, const QString &title, const QString &text) override;
    QString askText(QWidget *owner, const QString &title, const QString &prompt, const QString &suggested) override;
    QString saveFile(QWidget *owner, const QString &title, const QString &suggestedName, const QString &filter) override;
    bool question(QWidget *owner, const QString &title, const QString &text) override;
    int choose(QWidget *owner, const QString &title, const QString &text, const QStringList &answers) override;
    QString openFile(QWidget *owner, const QString &title, const QString &folder, const QString &filter) override;
    bool pageSetup(QWidget *owner, QPrinter *printer) override;
    bool choosePrinter(QWidget *owner, QPrinter *printer) override;
};
