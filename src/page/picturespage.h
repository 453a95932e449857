#pragma once
#include <QString>

class QWidget;

// What the picture work needs of the page window it serves, and no more.
class PicturesPage
{
public:
    // The gallery's parent, the dialogs' owner, where the wait cursor shows.
    virtual QWidget *pageWidget() = 0;
    // A notice in the page's status bar.
    virtual void showStatus(const QString &text) = 0;
    // The user closed the page while its pictures were being saved.
    virtual bool closePending() const = 0;
    // The run such a page waited for is over: it closes now.
    virtual void closeAfterRun() = 0;
    virtual QString pageTitle() const = 0;
    virtual QString location() const = 0;

protected:
    ~PicturesPage() = default;
};
