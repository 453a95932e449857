#pragma once
#include <QDialog>

class Dialogs;
class QLineEdit;
class QPushButton;
class QToolButton;
class SettingsStore;
class Shell;

// "下载全部图片……": asks for the folder that all pictures of the page go to. Saves
// nothing itself: on 下载 the folder is chosen (and remembered); closed any other way,
// none is.
class FormDownImage : public QDialog
{
    Q_OBJECT
public:
    FormDownImage(SettingsStore &store, Dialogs &dialogs, Shell &shell, QWidget *parent);
    // The folder confirmed with 下载 ("" when none was).
    QString chosenFolder() const { return m_chosen; }

    QLineEdit *Text1() const { return m_text; }
    // The refusal shown for a folder that does not exist.
    static const QString kMissingFolder;

private:
    void download();
    void browse();
    void view();
    bool folderExists() const;

    QString m_chosen;
    SettingsStore &m_store;
    Dialogs &m_dialogs;
    Shell &m_shell;
    QLineEdit *m_text = nullptr;
};
