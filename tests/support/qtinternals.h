#pragma once
// Where the tests reach into Qt beyond its public API, in one list: what, why, verified with,
// when to drop. A test that relies on one fails, saying so, where Qt changed it. The
// browser's own reliance on Qt behaviour is listed in src/engine/qtworkarounds.h.
#include <QFileDialog>
#include <QLineEdit>
#include <QtTest/qtestspontaneevent.h>

namespace QtInternals {

// The name field of Qt's own (widget-based) file dialog, by its object name "fileNameEdit":
// a test reads the name a user is offered and presses Enter in it, as the user would.
// Verified with Qt 6.4; nullptr where it is gone (the presser then says so, and a test
// that saves through it fails on its fieldMissing). Drop when
// QFileDialog offers the shown name and the Save button as API.
inline QLineEdit *fileDialogNameField(QFileDialog *dialog)
{
    return dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
}

// Marks an event as the window system's (QTest's own internal helper): the browser tells
// the user's wheel from a program's. Verified with Qt 6.4. Drop when QTest delivers a wheel
// event as the window system does.
inline void markAsFromWindowSystem(QEvent *event)
{
    QSpontaneKeyEvent::setSpontaneous(event);
}

} // namespace QtInternals
