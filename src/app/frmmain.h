#pragma once
#include <QMainWindow>
#include <memory>

#include "tabs/openpageslist.h"
#include "tabs/tabbook.h"

class AddressRow;
class DownloadList;
class ClosedMenu;
class Favorites;
class FavoritesMenu;
class History;
class MainMenus;
class MouseWatch;
class OpenPagesKeeper;
class RestoreBar;
class PageStack;
class QDialog;
class TabStrip;
class Toolbar;
struct Session;

// The one top-level window. Lays out the menus, the top strip (toolbar, address row,
// tab row) and the client area, where the page stack shows one page window per tab;
// everything the window does is done by those parts and the command wiring.
class Frmmain : public QMainWindow
{
    Q_OBJECT
public:
    explicit Frmmain(Session &session, QWidget *parent = nullptr, int tabCapacity = TabBook::kCapacity);
    ~Frmmain() override;

    // Start-up after construction: first page (the command line, else the start page)
    // and the closed-pages menu.
    void start(const QString &commandLine);
    // The same with the command line's addresses: the first opens as the first page, the
    // others as tabs behind it; none opens the start page.
    void start(const QStringList &addresses);
    // Addresses a browser started elsewhere handed over: new tabs, the first one active,
    // and the window comes to the front.
    void openFromOutside(const QStringList &addresses);

    PageStack &pages() const { return *m_pages; }
    Toolbar &toolbar() const { return *m_toolbar; }
    AddressRow &addressRow() const { return *m_address; }
    TabStrip *tabStrip() const { return m_strip; }
    MainMenus *menus() const { return m_menus.get(); }
    int closedMenuCursor() const;
    ClosedMenu &closedMenu() const { return *m_closedMenu; }
    QWidget *clientArea() const { return m_client; }
    // The list of open pages kept against a crash (null for an instance off the record),
    // and the bar that offers back a crashed run's pages.
    OpenPagesKeeper *openPagesKeeper() const { return m_keeper; }
    RestoreBar *restoreBar() const { return m_restoreBar; }
    // Every download, and the list kept of them.
    DownloadList &downloads() const { return *m_downloads; }
    const Favorites &favorites() const { return *m_favorites; }
    FavoritesMenu &favoritesMenu() const { return *m_favoritesMenu; }
    const History &history() const { return *m_history; }

    // Shows or hides the top strip (full screen) and lays the window out again.
    void ShowMe();
    // The settings centre, modal.
    void openSettingsCentre();
    // Runs a dialog of the window modally.
    int runDialog(QDialog &dialog);

signals:
    // A dialog is about to run modally (lets tests drive it).
    void dialogOpened(QDialog *dialog);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitTopStrip();
    // A page's element takes the whole screen, or gives it back.
    void pageFullScreen(bool on);
    void tellUnsaved();
    QString unsavedNotice() const;
    // The pages of a run that did not end normally: opened again, or into the closed pages.
    void restoreLeftOver(const OpenPagesList &left, bool restore);

    Session &m_session;
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<ClosedMenu> m_closedMenu;
    std::unique_ptr<History> m_history;
    std::unique_ptr<Favorites> m_favorites;
    FavoritesMenu *m_favoritesMenu = nullptr;
    QWidget *m_pict = nullptr;
    QWidget *m_client = nullptr;
    RestoreBar *m_restoreBar = nullptr;
    DownloadList *m_downloads = nullptr;
    OpenPagesKeeper *m_keeper = nullptr;
    Toolbar *m_toolbar = nullptr;
    AddressRow *m_address = nullptr;
    TabStrip *m_strip = nullptr;
    std::unique_ptr<PageStack> m_pages;
    MouseWatch *m_mouse = nullptr;
    struct WindowLook {
        bool pict = true;
        bool menu = true;
        bool restore = false;
        Qt::WindowStates state;
    } m_beforePageFullScreen;
};
