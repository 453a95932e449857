#pragma once
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include "app/closedring.h"
#include "app/historyflush.h"
#include "page/pagehost.h"
#include "tabs/opentarget.h"
#include "tabs/tabbook.h"

class AddressRow;
class ClosedMenu;
class FormWeb;
class History;
class TabStrip;
class Toolbar;
class QWidget;
class SleepWatch;
class RendererWatch;
struct Session;

// The page windows of the main window, one per open tab: the slot -> page map and the
// pages' lifetimes, which page is on top (only that one is shown), and applying TabBook's
// change records to the strip and the pages. Where pages open is OpenPolicy's, the closed
// pages are ClosedRing's, their visits go through HistoryFlush. The page windows talk
// back to it as their PageHost.
class PageStack : public QObject, public PageHost
{
    Q_OBJECT
public:
    struct Parts {
        QWidget *window;  // its caption follows the active page
        QWidget *client;  // the page windows' parent
        TabStrip &strip;
        AddressRow &address;
        Toolbar &toolbar;
        ClosedMenu &closedMenu;
        History &history;
    };
    PageStack(Session &session, const Parts &parts, int tabCapacity = TabBook::kCapacity);
    ~PageStack() override;

    // Opens an address in a new tab; nullptr when no tab can be opened.
    FormWeb *open(const QString &address, const OpenTarget &target);
    // Several addresses, one tab each: the first placed as first says (at once), the others
    // behind, one each turn of the event loop, so a long list never holds the window for
    // the time of all its tabs.
    // Opens the addresses as tabs, the first at once and the rest a turn apart; the one
    // at inFront (of those that fit) comes to the front once it opens. Returns how many
    // will open.
    int openAll(const QStringList &addresses, const OpenTarget &first, int inFront = 0);
    // A new tab placed as the "open in background" switch says.
    FormWeb *LoadNewForm(const QString &address);
    // A blank tab in front, with the keyboard in the address box.
    void Build();
    void DelLine();
    // Closes the tab at a tab position (DelLine: the hovered one).
    void closeAt(int pos);
    // Around a tab position (the tab menu's: the hovered one).
    void CloseRight(int pos);
    void CloseLeft(int pos);
    void CloseOthers(int pos);
    void CloseAll();
    void Restore();
    void activateSlot(int slot);
    void PaiLie();
    // An address typed into the address box opens in the active page.
    void goActive(const QString &address);
    // Closes the tab whose page is shown (the active one).
    void closeShown();
    // Pages the user closed whose picture run has not ended yet: out of the strip, not
    // recorded yet.
    QList<FormWeb *> pagesWaitingToClose() const;
    // Every page closes (and records itself) as the window closes.
    void closeForExit();
    // The history was cleared: no page, open or still closing, writes what it visited
    // before.
    void forgetVisits();
    // A message in the status bar of the page that is shown.
    void tell(const QString &text);
    // The same once that page's document is in (a page's navigation clears its notice).
    void tellOnceLoaded(const QString &text);
    // The page on top follows the client area's size.
    void placeActive();

    const TabBook &book() const { return m_book; }
    TabBook &book() { return m_book; }
    // The closed pages: the ring, the history menu and the address list's records.
    ClosedRing &closedRing() { return m_closed; }
    ClosedPages &closedPages() { return m_closed.pages(); }
    // Puts pages out of sight to sleep when memory runs short.
    SleepWatch &sleepWatch() { return *m_sleep; }
    RendererWatch &rendererWatch() { return *m_renderers; }
    FormWeb *page(int slot) const { return m_pages.value(slot, nullptr); }
    FormWeb *activePage() const { return page(m_book.activeSlot()); }
    // The page shown in the client area (the top of the window order).
    FormWeb *shownPage() const { return m_zorder.isEmpty() ? nullptr : m_zorder.first(); }
    QList<FormWeb *> pagesInTabOrder() const;

    // PageHost
    bool isActive(const FormWeb *page) const override;
    void setTabLabel(const FormWeb *page, const PageText::Label &label) override;
    void setMainCaption(const QString &caption) override;
    void setAddressText(const QString &text) override;
    void setBackForward(bool back, bool forward) override;
    void recordClosedPage(const QString &caption, const QString &address) override;
    void flushHistory(const QVector<Visit> &newestFirst) override;
    // The visits of a list kept against a crash: rows already written are left out.
    void flushLeftOverHistory(const QVector<Visit> &newestFirst);
    // Every closed page's visits in the history files (they are written away from the
    // window): before the history is read or removed.
    void settleHistory() { m_historyFlush.settle(); }
    // The same, from a writer's own thread.
    void waitForHistoryWritten() { m_historyFlush.waitUntilWritten(); }
    void pageDestroyed(FormWeb *page) override;
    void focusActivePage(const FormWeb *asking) override;
    void focusActivePage();
    void openNewWindow(FormWeb *opener, NewWindowRequest &request) override;
    void closePage(const FormWeb *page) override;
    void showPage(const FormWeb *page) override;
    void clearWebFocus() override;
    bool galleryShown() const override;
    void setGalleryToggle(bool checked) override;
    void setPageFullScreen(const FormWeb *page, bool on) override;
    // The page whose element fills the screen (null: none).
    FormWeb *fullScreenPage() const { return m_fullScreenPage; }

signals:
    // A picture of some page's gallery was clicked.
    void pictureChosen(const QString &address);
    // The strip changed: a tab opened, closed or came to the front, or a page's address or
    // title changed.
    void stripChanged();
    // The page in front started or stopped loading, or another page came to the front.
    void frontLoadingChanged(bool loading);
    // The page in front asked to be printed.
    void printAsked();
    // A page's element took the screen (on), or gave it back.
    void pageFullScreenChanged(bool on);
    // A closed page's record was handed to the closed pages.
    void closedPageRecorded();

private:
    // The page's slot while it is in the strip; -1 once it left it.
    int slotOf(const FormWeb *page) const;
    int addLabel();
    void refuseTab();
    void openNextBehind();
    void dropPendingOpens();
    FormWeb *createPage(int slot);
    void releaseSlot(int slot);
    void blankLastTab(FormWeb *page);
    void applyChange(const TabBook::Change &change);
    // The caption and the address box describe the active page (the one shown); run
    // after every change of the strip.
    void showFrontInWindow();
    void raisePage(FormWeb *page);
    void lowerPage(FormWeb *page);
    void updateShownPage();
    QRect clientRect() const;

    Session &m_session;
    Parts m_parts;
    TabBook m_book;
    ClosedRing m_closed;
    HistoryFlush m_historyFlush;
    SleepWatch *m_sleep;
    RendererWatch *m_renderers;
    QMap<int, FormWeb *> m_pages; // PageWindows
    QList<FormWeb *> m_zorder;    // front = top
    QPointer<FormWeb> m_inWindow; // the page the caption and address box last described
    FormWeb *m_fullScreenPage = nullptr; // cleared in pageDestroyed
    QStringList m_toOpenBehind; // openAll's addresses still to open, next first
    int m_frontWhenLeft = -1;   // the one opened with this many left comes to the front
    QPointer<FormWeb> m_toFront; // ... once the rest are in
    QTimer m_openNext;
    bool m_ending = false; // its pages are being destroyed
};
