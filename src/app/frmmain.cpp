#include "app/frmmain.h"
#include "engine/transfer.h"

#include <QFileInfo>

#include "app/addressrow.h"
#include "app/closedmenu.h"
#include "app/commands.h"
#include "app/favoritesmenu.h"
#include "app/mainmenus.h"
#include "app/mousewatch.h"
#include "app/sitetables.h"
#include "page/formright.h"
#include "app/openpageskeeper.h"
#include "app/pagestack.h"
#include "app/restorebar.h"
#include "tabs/closedpages.h"
#include "files/downloadlist.h"
#include "engine/pagecontrol.h"
#include "page/formweb.h"
#include "app/toolbar.h"
#include "page/session.h"
#include "platform/clock.h"
#include "platform/desktopshortcut.h"
#include "platform/memory.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/settingsstore.h"
#include "tabs/sites.h"
#include "tabs/stripgeometry.h"
#include "tabs/tabstrip.h"
#include "userdata/favorites.h"
#include "userdata/formsetup.h"
#include "userdata/history.h"
#include "userdata/options.h"
#include "userdata/settingsstartup.h"

#include <QCloseEvent>
#include <QPointer>
#include <QMenuBar>
#include <QCoreApplication>
#include <QVBoxLayout>

using StripGeometry::toPixels;

namespace {
constexpr int kPictHeight = 1340;
}

Frmmain::Frmmain(Session &session, QWidget *parent, int tabCapacity)
    : QMainWindow(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("Frmmain"));
    setWindowTitle(QStringLiteral("Velmo（安全浏览器）"));
    resize(1200, 820);

    m_menus = std::make_unique<MainMenus>(this);
    m_closedMenu = std::make_unique<ClosedMenu>(m_menus->liHistory());
    m_history = std::make_unique<History>(Paths::appDir() + QStringLiteral("/History"));
    m_favorites = std::make_unique<Favorites>(Paths::appDir() + QStringLiteral("/Fav.rar"));
    m_favoritesMenu = new FavoritesMenu(m_menus->menu(QStringLiteral("mFav")), *m_favorites);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_pict = new QWidget(central);
    m_pict->setObjectName(QStringLiteral("Pict"));
    m_pict->setFixedHeight(toPixels(kPictHeight));
    m_pict->installEventFilter(this);
    m_client = new QWidget(central);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    m_client->installEventFilter(this);
    m_restoreBar = new RestoreBar(central);
    layout->addWidget(m_pict);
    layout->addWidget(m_restoreBar);
    layout->addWidget(m_client, 1);
    setCentralWidget(central);

    m_toolbar = new Toolbar(m_pict);
    m_address = new AddressRow(m_pict);
    m_strip = new TabStrip(m_pict);
    m_pages = std::make_unique<PageStack>(
        session, PageStack::Parts{this, m_client, *m_strip, *m_address, *m_toolbar, *m_closedMenu, *m_history}, tabCapacity);
    m_mouse = new MouseWatch(this, *m_pages, *m_strip);
    if (const QString instance = session.engine.instanceName(); !instance.isEmpty()) {
        m_keeper = new OpenPagesKeeper(*m_pages, OpenPagesKeeper::listPath(instance), this);
        connect(m_pages.get(), &PageStack::stripChanged, m_keeper, &OpenPagesKeeper::changed);
        connect(m_pages.get(), &PageStack::closedPageRecorded, m_keeper, &OpenPagesKeeper::pageClosed);
    }

    session.engine.downloads()->setLoginLookup([&logins = session.logins](LoginRequest &r) { return logins.fill(r); });
    m_downloads = new DownloadList(session.engine.downloads(), session.dialogs, session.store, session.clock,
                                   Paths::appDir() + QStringLiteral("/Downloads.json"), this);
    Commands commands{*this, *m_pages, *m_toolbar, *m_address, *m_menus, *m_mouse, m_session, *m_downloads};
    wireTabCommands(commands);
    wirePageCommands(commands);
    wireSiteCommands(commands);
    wireUserdataCommands(commands);
    wireToolCommands(commands);
    wirePictureCommands(commands);
    wireFileCommands(commands);
    wireKeyCommands(commands);
    m_menus->action(QStringLiteral("mnuFileExit"))->setEnabled(true);
    connect(m_menus->action(QStringLiteral("mnuFileExit")), &QAction::triggered, this, &QWidget::close);
    // Settings that cannot be saved are kept for this run; the user hears of it once.
    session.store.onFirstWriteFailure(this, [this] { tellUnsaved(); });
    m_menus->action(QStringLiteral("ShowMe"))->setEnabled(true);
    connect(m_menus->action(QStringLiteral("ShowMe")), &QAction::triggered, this, &Frmmain::ShowMe);
    connect(m_pages.get(), &PageStack::pageFullScreenChanged, this, &Frmmain::pageFullScreen);
    // A site's notification goes to the desktop's list, or where the desktop has none, to
    // the status bar of the page in front.
    session.engine.setNoticeShower([window = QPointer<Frmmain>(this)](const SiteNotice &notice) {
        if (!window)
            return;
        const QString site = notice.origin.host().isEmpty() ? notice.origin.toString() : notice.origin.host();
        const QString title = QStringLiteral("%1（%2）").arg(notice.title.left(200), site);
        window->m_session.shell.notify(title, notice.message.left(1000), window, [window, title, notice](bool shown) {
            if (!shown)
                window->m_pages->tell(QStringLiteral("网站通知 %1：%2").arg(title, notice.message.left(300).simplified()));
        });
    });
}

Frmmain::~Frmmain()
{
    // The list's writer waits for the pages' history: it ends while they are there.
    delete m_keeper;
    m_keeper = nullptr;
    // The logins it looks up end with the session; the engine's downloads outlive it.
    m_session.engine.downloads()->setLoginLookup({});
    // Pages (and their engine views) go first, while everything they report to exists.
    m_pages.reset();
}

int Frmmain::closedMenuCursor() const
{
    return m_closedMenu->cursor();
}

void Frmmain::start(const QString &commandLine)
{
    start(commandLine.isEmpty() ? QStringList() : QStringList{commandLine});
}

void Frmmain::start(const QStringList &addresses)
{
    m_session.systemFolders = LocateSystemFolders();
    SettingsStartup::firstRunCheck(m_session.store, m_session.clock.now().date(),
                                   QCoreApplication::applicationFilePath(),
                                   [](const QString &name, const QString &target) {
                                       CreateDesktopShortcut(name, target, InstallDesktopIcon());
                                   });
    // The program folder and the folders the picture saver and the history use are the
    // user's alone, also when an earlier version made them readable for everyone.
    // A folder the user named (VELMO_HOME) keeps the mode they gave it; the program's
    // own folders inside it are private all the same.
    QStringList unmade;
    const QString appDir = Paths::appDir();
    if (!(Paths::appDirIsUsers() ? Paths::ensureDir(appDir) : Paths::ensurePrivateDir(appDir)))
        unmade.append(appDir);
    for (const QString &dir : {appDir + QStringLiteral("/Download"), appDir + QStringLiteral("/History")}) {
        if (!Paths::ensurePrivateDir(dir))
            unmade.append(dir);
    }
    const bool openToOthers = Paths::appDirIsUsers()
                              && (QFileInfo(appDir).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther));
    m_favoritesMenu->rebuild();
    SettingsStartup::readSwitches(m_session.store, m_session.options);
    show();
    m_session.options.setHomePageUrl(SettingsStartup::homePage(m_session.store));
    // Read before this run writes its own list over it.
    bool unreadable = false;
    int leftOut = 0;
    const std::optional<OpenPagesList> left = m_keeper ? m_keeper->takeLeftOver(&unreadable, &leftOut) : std::nullopt;
    // The tabs the last normal exit kept, where the user asked for them; a crash asks.
    std::optional<OpenPagesList> session;
    if (m_keeper && !left && m_session.options.reopenLastSession() != 0)
        session = m_keeper->takeLastSession();
    else if (m_keeper)
        m_keeper->dropLastSession();
    QStringList given;
    for (QString address : addresses) {
        address.remove(QLatin1Char('"'));
        if (!address.isEmpty())
            given.append(address);
    }
    if (!session)
        m_pages->openAll(given.isEmpty() ? QStringList{Sites::kStartPage} : given,
                         OpenTarget::newTab(m_session.options.openInBackground() != 0));
    m_pages->closedRing().load();
    if (session) {
        // Addresses handed over open after them, the first in front.
        for (const QString &address : std::as_const(given))
            session->pages.append({address, QString(), {}});
        if (!given.isEmpty())
            session->active = int(session->pages.size() - given.size());
        restoreLeftOver(*session, true);
    }
    if (left) {
        // The windows the crash took wrote no history: their visits go to the day's file
        // as if they had closed then, each window newest first.
        for (const OpenPagesList::Page &page : left->pages) {
            QVector<Visit> newestFirst;
            for (auto v = page.visits.crbegin(); v != page.visits.crend(); ++v)
                newestFirst.append({v->when, v->title, v->address});
            if (!newestFirst.isEmpty())
                m_pages->flushLeftOverHistory(newestFirst);
        }
        connect(m_restoreBar, &RestoreBar::answered, this, [this, pages = *left](bool restore) { restoreLeftOver(pages, restore); },
                Qt::SingleShotConnection);
        m_restoreBar->ask(left->pages.size());
    }
    auto *corner = new FormRight(m_session.engine, m_session.clock, SiteTables::kProductSite + QStringLiteral("pop/velm.html"), this);
    connect(m_pages.get(), &PageStack::pageFullScreenChanged, corner, &FormRight::setScreenTaken);
    // A first run that could not be saved failed before any page could say so. Said once
    // the first page is in: its navigation would clear a notice given before.
    if (!m_session.store.lastWriteOk())
        m_pages->tellOnceLoaded(unsavedNotice());
    else if (!unmade.isEmpty())
        m_pages->tellOnceLoaded(QStringLiteral("无法建立文件夹 %1：图片和历史记录可能无法保存。").arg(unmade.join(QStringLiteral("、"))));
    else if (openToOthers)
        m_pages->tellOnceLoaded(QStringLiteral("程序文件夹 %1 其他用户也能打开：收藏夹等文件可能被他们看到。").arg(appDir));
    else if (left && !left->older.isEmpty())
        m_pages->tellOnceLoaded(left->olderFile.isEmpty()
                                    ? QStringLiteral("上次打开的网页太多：最早的 %1 个无法恢复，也无法列出（磁盘已满？）。").arg(left->older.size())
                                    : QStringLiteral("上次打开的网页太多：最早的 %1 个不在恢复之列，列在 %2 中，可以用浏览器打开。")
                                          .arg(left->older.size())
                                          .arg(left->olderFile));
    else if (leftOut > 0)
        m_pages->tellOnceLoaded(QStringLiteral("上次打开的网页中有 %1 个不是网页或文件的地址（如脚本），不会恢复。").arg(leftOut));
    else if (unreadable)
        m_pages->tellOnceLoaded(QStringLiteral("上次打开的网页列表无法读取，已忽略（留在 %1.unreadable）。").arg(m_keeper->path()));
}

void Frmmain::restoreLeftOver(const OpenPagesList &left, bool restore)
{
    qsizetype opened = 0;
    const int listedBefore = int(m_keeper->snapshot().pages.size());
    if (restore) {
        // What fits in the strip opens; a list of thousands would hold the window for
        // minutes and take gigabytes.
        const qsizetype room = qMax(0, StripGeometry::tabsThatFit(StripGeometry::toTwips(m_client->width()))
                                           - m_pages->book().count());
        QStringList addresses;
        for (qsizetype i = 0; i < qMin(room, left.pages.size()); ++i)
            addresses << left.pages[i].address;
        // The rest open a turn apart; the one in front then comes to the front as it opens.
        opened = m_pages->openAll(addresses, OpenTarget::foreground(), left.active);
    }
    // What was not opened (no, or no room in the strip) waits in the closed pages, the
    // first of them newest, in one write; the ring keeps the newest it holds.
    const qsizetype rest = left.pages.size() - opened;
    const qsizetype last = qMin(left.pages.size(), opened + ClosedPages::kRing) - 1;
    for (qsizetype i = last; i >= opened; --i) {
        m_pages->closedRing().record(left.pages[i].title, left.pages[i].address);
        m_pages->closedRing().showInMenu(left.pages[i].title, left.pages[i].address);
    }
    // On disk before the set-aside list goes: a crash now loses none of them.
    m_pages->closedRing().writeWaiting();
    // What the menu cannot hold (past its newest 500, or an address too short or too long
    // for a record) goes to today's history: every page the bar promised is found again.
    QVector<Visit> unrecorded;
    for (qsizetype i = left.pages.size() - 1; i >= opened; --i)
        if (i > last || !ClosedPages::recordable(left.pages[i].address))
            unrecorded.append({m_session.clock.now(), left.pages[i].title, left.pages[i].address});
    if (!unrecorded.isEmpty())
        m_pages->flushLeftOverHistory(unrecorded);
    const QString inHistory = unrecorded.isEmpty() ? QString()
                                                   : QStringLiteral("；其中 %1 个“历史”菜单放不下，已记入历史记录").arg(unrecorded.size());
    if (restore && rest > 0)
        m_pages->tellOnceLoaded(QStringLiteral("已恢复 %1 个网页；其余 %2 个放不下，在“历史”菜单中（Ctrl+Z 逐个打开）%3。")
                                    .arg(opened)
                                    .arg(rest)
                                    .arg(inHistory));
    else if (!restore && !unrecorded.isEmpty())
        m_pages->tellOnceLoaded(QStringLiteral("没有恢复的网页在“历史”菜单中%1。").arg(inHistory));
    // Restored pages are in the set-aside list until a list holding them is on disk.
    m_keeper->leftOverAnswered(opened > 0 ? listedBefore + int(opened) : 0);
}

void Frmmain::openFromOutside(const QStringList &addresses)
{
    m_pages->openAll(addresses, OpenTarget::foreground());
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

QString Frmmain::unsavedNotice() const
{
    return QStringLiteral("设置无法保存到 %1：本次运行中的更改仍然有效，重新启动后会丢失。").arg(m_session.store.path());
}

void Frmmain::tellUnsaved()
{
    m_pages->tell(unsavedNotice());
}

void Frmmain::openSettingsCentre()
{
    FormSetup setup(m_session.store, m_session.options, m_session.dialogs, this);
    runDialog(setup);
}

int Frmmain::runDialog(QDialog &dialog)
{
    emit dialogOpened(&dialog);
    return dialog.exec();
}

void Frmmain::ShowMe()
{
    m_pict->setVisible(!m_pict->isVisible());
    // Lay out now, so the page fills the new client area before anything paints.
    centralWidget()->layout()->activate();
    fitTopStrip();
    m_pages->placeActive();
}

void Frmmain::pageFullScreen(bool on)
{
    if (on) {
        m_beforePageFullScreen = {m_pict->isVisible(), menuBar()->isVisible(), m_restoreBar->isVisible(), windowState()};
        menuBar()->hide();
        m_pict->hide();
        m_restoreBar->hide();
        showFullScreen();
    } else {
        // As it was before, 全屏显示's hidden top strip included.
        menuBar()->setVisible(m_beforePageFullScreen.menu);
        m_pict->setVisible(m_beforePageFullScreen.pict);
        m_restoreBar->setVisible(m_beforePageFullScreen.restore);
        setWindowState(m_beforePageFullScreen.state);
    }
    centralWidget()->layout()->activate();
    fitTopStrip();
    m_pages->placeActive();
}

void Frmmain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    fitTopStrip();
    Platform::trimWorkingSet();
}

void Frmmain::fitTopStrip()
{
    m_strip->moveCloseButton(-2000);
    m_address->fit(StripGeometry::toTwips(centralWidget()->width()));
    // The active page follows the client area's own resize (its size is final there).
}

void Frmmain::closeEvent(QCloseEvent *event)
{
    hide();
    m_mouse->stop();
    if (m_keeper && m_session.options.reopenLastSession() != 0)
        m_keeper->keepAsLastSession();
    // Each page records itself as closed on the way out; a normal exit leaves no list of
    // open pages behind.
    m_pages->closeForExit();
    // The list kept against a crash goes only once the rows of the pages closed now are in
    // the history: a kill in between loses none of them.
    m_pages->settleHistory();
    if (m_keeper)
        m_keeper->finish();
    event->accept();
}

bool Frmmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pict && event->type() == QEvent::MouseButtonDblClick) {
        m_pages->Build();
        return true;
    }
    if (watched == m_client && event->type() == QEvent::Resize)
        m_pages->placeActive();
    return QMainWindow::eventFilter(watched, event);
}
