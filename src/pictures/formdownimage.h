#pragma once
#include <QDialog>

class Dialogs;
class QLineEdit;
class QPushButton;
class QToolButton;
class SettingsStore;
class Shell;
struct PictureState;

// "下载全部图片……": asks for the folder that all pictures of the page go to. Saves
// nothing itself: on 下载 it leaves the folder in the picture state (and remembers it),
// closed any other way it leaves the folder empty.
class FormDownImage : public QDialog
{
    Q_OBJECT
public:
    FormDownImage(PictureState &state, SettingsStore &store, Dialogs &dialogs, Shell &shell, QWidget *parent);

    QLineEdit *Text1() const { return m_text; }
    // The refusal shown for a folder that does not exist.
    static const QString kMissingFolder;

private:
    void download();
    void browse();
    void view();
    bool folderExists() const;

    PictureState &m_state;
    SettingsStore &m_store;
    Dialogs &m_dialogs;
    Shell &m_shell;
    QLineEdit *m_text = nullptr;
};
