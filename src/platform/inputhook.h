#pragma once
#include <QObject>

class QComboBox;
class QLineEdit;

// Keeps context menus, undo, cut, copy, paste, clear (Delete) and the mouse wheel away
// from the tab labels (the window's own shortcuts for those keys still fire, as menu
// accelerators do); of the address box only its context menu and the wheel.
class InputHook : public QObject
{
    Q_OBJECT
public:
    static void HookTextBox(QLineEdit *box);
    static void HookComboBox(QComboBox *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Reach { WholeBox, BoxOnly };
    InputHook(QObject *parent, Reach reach = WholeBox) : QObject(parent), m_reach(reach) {}
    Reach m_reach;
};
