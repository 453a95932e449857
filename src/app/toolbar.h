#pragma once
#include <QMap>
#include <QObject>
#include <QString>

class QToolButton;
class QWidget;

// The picture toolbar at the top of the main window: eighteen buttons at their twip
// positions, each with its picture and tool tip. Buttons start disabled; the command
// wiring switches on the ones it connects. Also shows the two states the toolbar
// carries: the signal light (safe picture mode) and the gallery toggle Chk.
class Toolbar : public QObject
{
    Q_OBJECT
public:
    explicit Toolbar(QWidget *pict);

    // A button by control name (and index, for the arrays CmdPage and MoveUp).
    QToolButton *button(const char *name, int index = -1) const;

    void setBackForward(bool back, bool forward);
    // Yellow while safe picture mode is on.
    void showSafeMode(bool safe);
    // Yellow while the gallery is shown.
    void showGalleryToggle(bool checked);
    // Unchecks the gallery toggle; true when it was checked.
    bool clearGalleryToggle();

private:
    QMap<QString, QToolButton *> m_buttons;
};
