#pragma once
#include <QMainWindow>
#include <memory>

#include "tabs/tabbook.h"

class AddressRow;
class ClosedMenu;
class MainMenus;
class MouseWatch;
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

    PageStack &pages() const { return *m_pages; }
    Toolbar &toolbar() const { return *m_toolbar; }
    AddressRow &addressRow() const { return *m_address; }
    TabStrip *tabStrip() const { return m_strip; }
    MainMenus *menus() const { return m_menus.get(); }
    int closedMenuCursor() const;
    QWidget *clientArea() const { return m_client; }

    // Shows or hides the top strip (full screen) and lays the window out again.
    void ShowMe();
    // The settings centre, modal.
    void openSettingsCentre();

signals:
    // The settings centre is about to run modally (lets tests drive it).
    void settingsCentreOpened(QDialog *dialog);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitTopStrip();
    void tellUnsaved();

    Session &m_session;
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<ClosedMenu> m_closedMenu;
    QWidget *m_pict = nullptr;
    QWidget *m_client = nullptr;
    Toolbar *m_toolbar = nullptr;
    AddressRow *m_address = nullptr;
    TabStrip *m_strip = nullptr;
    std::unique_ptr<PageStack> m_pages;
    MouseWatch *m_mouse = nullptr;
};
