#pragma once
#include <QList>
#include <QPointer>
#include <QTimer>
#include <functional>

// Acts on a question a page asks in its own event loop, which the test cannot wait in:
// from a timer, each step runs while ready(dialog) holds and returns true when it is
// done. The driver ends with its last step, or with the dialog; deleting it ends it early.
template <typename Dialog>
QPointer<QTimer> driveDialog(QObject *owner, Dialog *dialog, std::function<bool(Dialog *)> ready,
                             QList<std::function<bool(Dialog *)>> steps)
{
    auto *driver = new QTimer(owner);
    QPointer<Dialog> guard = dialog;
    QObject::connect(driver, &QTimer::timeout, driver, [driver, guard, ready, steps]() mutable {
        if (!guard || steps.isEmpty()) {
            driver->deleteLater();
            return;
        }
        if (ready(guard) && steps.first()(guard))
            steps.removeFirst();
    });
    driver->start(20);
    return driver;
}
