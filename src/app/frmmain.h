#pragma once
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <memory>

#include "page/pagehost.h"
#include "tabs/closedpages.h"
#include "tabs/tabbook.h"

class FormWeb;
class MainMenus;
class QComboBox;
class QDialog;
class QLabel;
class QToolButton;
class QTimer;
class Shell;
class TabStrip;
struct Session;

// The one top-level window: menus, the top strip (toolbar, address row, tab row) and
// the client area holding one page window per tab. Applies the tab bookkeeping of
// TabBook to the widgets, keeps the closed-page ring and runs the two main timers.
class Frmmain : public QMainWindow, public PageHost
{
    Q_OBJECT
public:
    explicit Frmmain(Session &session, QWidget *parent = nullptr, int tabCapacity = TabBook::kCapacity);
    ~Frmmain() override;

    // Start-up after construction: first page (the command line, else the start page)
    // and the closed-pages menu.
    void start(const QString &commandLine);

    // Opens an address in a new tab; nullptr when no tab can be opened.
    FormWeb *LoadNewForm(const QString &address);
    void Build();
    void DelLine();
    void CloseRight();
    void CloseLeft();
    void CloseOthers();
    void CloseAll();
    void Restore();
    void activateSlot(int slot);
    void PaiLie();

    const TabBook &book() const { return m_book; }
    TabBook &book() { return m_book; }
    FormWeb *page(int slot) const { return m_pages.value(slot, nullptr); }
    FormWeb *activePage() const { return page(m_book.activeSlot()); }
    TabStrip *tabStrip() const { return m_strip; }
    MainMenus *menus() const { return m_menus.get(); }
    ClosedPages &closedPages() { return m_closed; }
    int closedMenuCursor() const { return m_closedMenuCursor; }
    bool exiting() const { return m_exiting; }
    bool webFocus() const { return m_webFocus; }
    QComboBox *textUrl() const { return m_textUrl; }
    QComboBox *combSearch() const { return m_combSearch; }
    QWidget *clientArea() const { return m_client; }
    // The page shown in the client area (the top of the window order).
    FormWeb *shownPage() const { return m_zorder.isEmpty() ? nullptr : m_zorder.first(); }

    // Opens a site search for the search box's word in a new tab (the site's root when
    // the box is empty).
    FormWeb *OpenSite(const QString &prefix);
    // Shows or hides the top strip (full screen) and lays the window out again.
    void ShowMe();

    // The settings centre, modal.
    void openSettingsCentre();
    static QString installIcon();

    // Web search address; the typed text is appended as it stands.
    static const QString kSearchAddress;

    // PageHost
    bool isActiveSlot(int slot) const override;
    void setTabLabel(int slot, const PageText::Label &label) override;
    void setMainCaption(const QString &caption) override;
    void setAddressText(const QString &text) override;
    void setBackForward(bool back, bool forward) override;
    void recordClosedPage(const QString &caption, const QString &address) override;
    void pageDestroyed(FormWeb *page) override;
    void focusActivePage() override;
    void openNewWindow(FormWeb *opener, NewWindowRequest &request) override;
    void closeSlot(int slot) override;
    void clearWebFocus() override { m_webFocus = false; }
    bool galleryShown() const override { return false; }

signals:
    // The settings centre is about to run modally (lets tests drive it).
    void settingsCentreOpened(QDialog *dialog);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTopStrip();
    void wireMenus();
    int addLab();
    FormWeb *createPage(int slot);
    void freeLab(int slot);
    void applyChange(const TabBook::Change &change);
    void showActiveInBars();
    void raisePage(FormWeb *page);
    void lowerPage(FormWeb *page);
    void updateShownPage();
    void fillClosedMenu();
    void refuseTab();
    void go();
    void search();
    void watchMouse();
    void scrollTick();
    void setScrollDirection(int index);
    void copyText(const QString &text);
    void applyResizeRules();
    void clearGalleryToggle();
    void updateSignalLight();
    Shell &shell();
    QRect clientRect() const;
    int clientWidthTwips() const;

    Session &m_session;
    TabBook m_book;
    ClosedPages m_closed;
    QMap<int, FormWeb *> m_pages; // PageWindows
    QList<FormWeb *> m_zorder;    // front = top
    std::unique_ptr<MainMenus> m_menus;
    TabStrip *m_strip = nullptr;

    QWidget *m_pict = nullptr;
    QWidget *m_client = nullptr;
    QComboBox *m_textUrl = nullptr;
    QComboBox *m_combSearch = nullptr;
    QToolButton *m_cmdGo = nullptr;
    QToolButton *m_cmdSearch = nullptr;
    QLabel *m_label1 = nullptr;
    QMap<QString, QToolButton *> m_buttons;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;

    int m_closedMenuCursor = -1;
    int m_scrollStep = 0;
    bool m_webFocus = false;
    bool m_mouseWasDown = false;
    bool m_leftPressedSinceTick = false;
    bool m_exiting = false;
};
