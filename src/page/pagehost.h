#pragma once
#include <QString>

#include <QVector>

class FormWeb;
struct NewWindowRequest;
struct Visit;
namespace PageText { struct Label; }

// What a page window needs from the window that holds it (the main window). Keeps the
// page window free of the main window's type, and lets tests host a page alone. A page
// speaks as itself, never by slot number: once it left the strip (closed, waiting for a
// run to end) its calls touch no tab, since its slot may already be another page's.
class PageHost
{
public:
    virtual ~PageHost() = default;

    virtual bool isActive(const FormWeb *page) const = 0;
    virtual void setTabLabel(const FormWeb *page, const PageText::Label &label) = 0;
    virtual void setMainCaption(const QString &caption) = 0;
    virtual void setAddressText(const QString &text) = 0;
    virtual void setBackForward(bool back, bool forward) = 0;
    // The page closes: record it in the closed-page ring and the address list.
    virtual void recordClosedPage(const QString &caption, const QString &address) = 0;
    // The page really closes: its visits, newest first, go to the day's history.
    virtual void flushHistory(const QVector<Visit> &newestFirst) = 0;
    // The page is gone: forget it.
    virtual void pageDestroyed(FormWeb *page) = 0;
    // Focus to the active page's focus holder, and make it the current page (asked by a
    // page of the strip).
    virtual void focusActivePage(const FormWeb *asking) = 0;
    // A page asks for a new window: make a tab for it (or refuse).
    virtual void openNewWindow(FormWeb *opener, NewWindowRequest &request) = 0;
    // Bring the page's tab to the front, as a click on its label would.
    virtual void showPage(const FormWeb *page) = 0;
    // Close the page's tab (as a double click on its label would).
    virtual void closePage(const FormWeb *page) = 0;
    virtual void clearWebFocus() = 0;
    virtual bool galleryShown() const = 0;
    // A gallery was built: the gallery toggle shows it (checking it if it was not).
    virtual void setGalleryToggle(bool checked) = 0;
    // An element of the page fills the screen (on) or gave it back.
    virtual void setPageFullScreen(const FormWeb *page, bool on) = 0;
};
