#pragma once
#include <QDialog>

#include "tools/hiddenfolders.h"

class Dialogs;
class Shell;
class QListWidget;

// "文件夹加密 （隐藏）": folders hidden from file managers' listings, released again,
// or opened without being released.
class FormDir : public QDialog
{
    Q_OBJECT
public:
    FormDir(Dialogs &dialogs, Shell &shell, const QString &listFile, QWidget *parent = nullptr);

    QListWidget *ListDir() const { return m_list; }
    void add();
    void release();
    void open();

private:
    void refill();

    Dialogs &m_dialogs;
    Shell &m_shell;
    HiddenFolders m_hidden;
    QListWidget *m_list;
};
