#include "platform/inputhook.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

bool isSwallowedKey(const QKeyEvent *e)
{
    return e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Copy)
           || e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Delete) || e->key() == Qt::Key_Delete;
}

} // namespace

void InputHook::HookTextBox(QLineEdit *box)
{
    box->setContextMenuPolicy(Qt::PreventContextMenu);
    box->installEventFilter(new InputHook(box));
}

void InputHook::HookComboBox(QComboBox *box)
{
    // The box's own menu and its wheel stepping through the list are taken; its text
    // field keeps every editing key and the middle-button paste, as a text field does.
    box->setContextMenuPolicy(Qt::PreventContextMenu);
    box->installEventFilter(new InputHook(box, BoxOnly));
    if (QLineEdit *edit = box->lineEdit()) {
        edit->setContextMenuPolicy(Qt::PreventContextMenu);
        edit->installEventFilter(new InputHook(edit, BoxOnly));
    }
}

bool InputHook::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ContextMenu:
    case QEvent::Wheel:
        return true;
    default:
        break;
    }
    // The box's text keeps its editing keys, but not undo (as the tab labels).
    if (m_reach == BoxOnly)
        return event->type() == QEvent::KeyPress
               && (static_cast<QKeyEvent *>(event)->matches(QKeySequence::Undo)
                   || static_cast<QKeyEvent *>(event)->matches(QKeySequence::Redo));
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Not accepted: the window's own shortcut for the key may run instead.
        if (!isSwallowedKey(static_cast<QKeyEvent *>(event)))
            return false;
        event->ignore();
        return true;
    case QEvent::KeyPress:
        return isSwallowedKey(static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonRelease:
        // Middle-click pastes the selection on X11.
        return static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton;
    default:
        return false;
    }
}
