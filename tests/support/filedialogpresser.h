#pragma once
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include "support/qtinternals.h"

// Answers the next real file dialog as a user would: notes the folder it opened in and
// the name it shows, then presses Enter in the name field (or cancels it).
class FileDialogPresser : public QObject
{
public:
    QString folder;
    QString name;
    bool seen = false;
    // Set when Qt's dialog no longer has the field a user types the name into.
    bool fieldMissing = false;

    explicit FileDialogPresser(bool accept = true)
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this, accept] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QFileDialog *>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                m_timer.stop();
                seen = true;
                folder = dialog->directory().absolutePath();
                QLineEdit *edit = QtInternals::fileDialogNameField(dialog);
                name = edit ? edit->text() : QString();
                // Cancelling needs no internals.
                if (!accept) {
                    dialog->reject();
                    return;
                }
                if (!edit) {
                    fieldMissing = true;
                    qWarning("Qt's file dialog has no name field \"fileNameEdit\" here: see qtinternals.h");
                    dialog->reject();
                    return;
                }
                QTest::keyClick(edit, Qt::Key_Return);
                return;
            }
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};
