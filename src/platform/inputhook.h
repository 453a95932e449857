#pragma once
#include <QObject>

class QComboBox;
class QLineEdit;

// Keeps context menus, undo, cut, copy, paste, clear (Delete) and the mouse wheel away
// from the tab labels and the address box. The window's own shortcuts for those keys
// still fire, as menu accelerators do.
class InputHook : public QObject
{
    Q_OBJECT
public:
    static void HookTextBox(QLineEdit *box);
    static void HookComboBox(QComboBox *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit InputHook(QObject *parent) : QObject(parent) {}
};
