#include "app/frmmain.h"

#include "app/mainmenus.h"
#include "app/sites.h"
#include "app/sitetables.h"
#include "engine/browsercontrol.h"
#include "page/formweb.h"
#include "page/session.h"
#include "platform/desktopshortcut.h"
#include "platform/dialogs.h"
#include "platform/inputhook.h"
#include "platform/memory.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "tabs/stripgeometry.h"
#include "tabs/tabstrip.h"
#include "userdata/formsetup.h"
#include "userdata/options.h"
#include "userdata/settingsstartup.h"
#include "userdata/settingsstore.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QIcon>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using StripGeometry::toPixels;
using StripGeometry::toTwips;

const QString Frmmain::kSearchAddress = QStringLiteral("http://www.baidu.com/s?wd=");

namespace {

constexpr int kPictHeight = 1340;

struct ButtonSpec {
    const char *name;
    int index;
    int left;
    const char *tip;
    const char *icon; // picture in the resources' icons folder
};

const ButtonSpec kToolbar[] = {
    {"CmdPage", 0, 0, "后退", "back"},
    {"CmdPage", 1, 870, "前进", "forward"},
    {"Command1", -1, 1875, "关闭电脑屏幕", "screenoff"},
    {"Chk", -1, 2715, "提取网页图片", "gallery"},
    {"Command3", -1, 3700, "恢复关闭的网页", "restore"},
    {"Command2", -1, 4575, "页面刷新", "refresh"},
    {"Command5", -1, 5430, "首页", "home"},
    {"Command11", -1, 6450, "安全看图模式 (信号灯)", "signal"},
    {"Command4", -1, 7320, "一键下载图片（全部大图）", "downloadall"},
    {"Command6", -1, 8170, "查看图片（下载目录）", "picfolder"},
    {"MoveUp", 0, 9195, "至页面顶部", "top"},
    {"MoveUp", 1, 10035, "至页面底部", "bottom"},
    {"ImgComb", -1, 11115, "百度网站", "baidu"},
    {"Command7", -1, 11955, "360 综合搜索", "so360"},
    {"Command10", -1, 12795, "淘宝购物", "taobao"},
    {"Command9", -1, 13920, "启动 Word", "word"},
    {"Command12", -1, 14760, "启动 Excel", "excel"},
    {"Command8", -1, 16320, "关闭当前网页", "close"},
};

const char *const kSearchWords[] = {
    "香山", "风景", "竹林", "枫叶", "红枫", "椰树", "城市夜景", "日出", "日落", "风景艺术",
    "美丽夕阳", "艺术壁纸", "梦幻风景", "风光壁纸", "海洋风光", "湖光山色", "海底世界", "海天一色",
    "浩瀚星空", "神秘宇宙", "海洋风光", "油画风景", "梦幻仙境", "3d风景", "黄昏", "瀑布", "夜色",
};

QString buttonKey(const char *name, int index)
{
    return index < 0 ? QString::fromLatin1(name) : QString::fromLatin1(name) + QString::number(index);
}

// A menu caption shows '&' literally.
QString menuText(const QString &text)
{
    QString t = text;
    return t.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

Frmmain::Frmmain(Session &session, QWidget *parent, int tabCapacity)
    : QMainWindow(parent)
    , m_session(session)
    , m_book(tabCapacity)
    , m_closed(session.store)
{
    setObjectName(QStringLiteral("Frmmain"));
    setWindowTitle(QStringLiteral("Velmo（安全浏览器）"));
    resize(1200, 820);

    m_menus = std::make_unique<MainMenus>(this);

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
    layout->addWidget(m_pict);
    layout->addWidget(m_client, 1);
    setCentralWidget(central);

    buildTopStrip();
    wireMenus();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(300);
    connect(m_timer1, &QTimer::timeout, this, &Frmmain::watchMouse);
    m_timer1->start();
    // The signal light and the menu's check mark follow the switch at once.
    connect(&m_session.options, &Options::changed, this, &Frmmain::updateSignalLight);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(20);
    connect(m_timer2, &QTimer::timeout, this, &Frmmain::scrollTick);

    // The mouse watcher needs to know about presses released between two of its ticks.
    qApp->installEventFilter(this);
}

Frmmain::~Frmmain()
{
    qApp->removeEventFilter(this);
    // Pages (and their engine views) must go before the engine profile does.
    const auto pages = m_client->findChildren<FormWeb *>(QString(), Qt::FindDirectChildrenOnly);
    for (FormWeb *p : pages)
        delete p;
}

void Frmmain::buildTopStrip()
{
    for (const ButtonSpec &b : kToolbar) {
        auto *button = new QToolButton(m_pict);
        button->setObjectName(QString::fromLatin1(b.name));
        if (b.index >= 0)
            button->setProperty("index", b.index);
        button->setToolTip(QString::fromUtf8(b.tip));
        button->setIcon(QIcon(QStringLiteral(":/velmo/icons/%1.svg").arg(QLatin1String(b.icon))));
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        button->setAutoFillBackground(true);
        button->setGeometry(toPixels(b.left), toPixels(30), toPixels(795), toPixels(650));
        button->setEnabled(false);
        m_buttons.insert(buttonKey(b.name, b.index), button);
    }
    m_buttons.value(QStringLiteral("Chk"))->setCheckable(true);

    m_label1 = new QLabel(QStringLiteral("网址(&D)"), m_pict);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFont(QFont(QStringLiteral("SimSun")));
    m_label1->setGeometry(toPixels(75), toPixels(720), toPixels(700), toPixels(270));

    QFont bold(QStringLiteral("SimHei"));
    bold.setBold(true);
    m_textUrl = new QComboBox(m_pict);
    m_textUrl->setObjectName(QStringLiteral("TextUrl"));
    m_textUrl->setEditable(true);
    m_textUrl->setInsertPolicy(QComboBox::NoInsert);
    m_textUrl->setFont(bold);
    m_textUrl->setMaxVisibleItems(500 / qMax(1, m_textUrl->fontMetrics().height() + 4));
    m_textUrl->setGeometry(toPixels(810), toPixels(690), toPixels(7575), toPixels(300));
    m_label1->setBuddy(m_textUrl);

    m_cmdGo = new QToolButton(m_pict);
    m_cmdGo->setObjectName(QStringLiteral("CmdGo"));
    m_cmdGo->setToolTip(QStringLiteral("转到"));
    m_cmdGo->setText(QStringLiteral("→"));
    m_cmdGo->setFont(bold);
    m_cmdGo->setGeometry(toPixels(8505), toPixels(705), toPixels(330), toPixels(270));

    m_combSearch = new QComboBox(m_pict);
    m_combSearch->setObjectName(QStringLiteral("CombSearch"));
    m_combSearch->setEditable(true);
    m_combSearch->setInsertPolicy(QComboBox::NoInsert);
    for (const char *word : kSearchWords)
        m_combSearch->addItem(QString::fromUtf8(word));
    m_combSearch->setEditText(QString());
    m_combSearch->setGeometry(toPixels(9075), toPixels(690), toPixels(2985), toPixels(300));

    m_cmdSearch = new QToolButton(m_pict);
    m_cmdSearch->setObjectName(QStringLiteral("CmdSearch"));
    m_cmdSearch->setText(QStringLiteral("搜索(&S)"));
    m_cmdSearch->setGeometry(toPixels(12210), toPixels(690), toPixels(1100), toPixels(300));

    m_strip = new TabStrip(m_pict);

    connect(m_textUrl, &QComboBox::editTextChanged, this, [this](const QString &t) {
        if (t == QLatin1String("about:blank"))
            m_textUrl->setEditText(QStringLiteral("http://www."));
    });
    connect(m_textUrl->lineEdit(), &QLineEdit::returnPressed, this, &Frmmain::go);
    connect(m_textUrl, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        m_textUrl->setEditText(ClosedPages::listChoice(m_textUrl->itemText(index)));
        go();
    });
    connect(m_cmdGo, &QToolButton::clicked, this, &Frmmain::go);
    connect(m_combSearch->lineEdit(), &QLineEdit::returnPressed, this, &Frmmain::search);
    m_textUrl->installEventFilter(this);
    m_combSearch->installEventFilter(this);
    InputHook::HookComboBox(m_textUrl);

    connect(m_strip, &TabStrip::labelHovered, this, [this](int slot) { m_book.setHoverPos(m_book.positionOf(slot)); });
    connect(m_strip, &TabStrip::labelReleased, this, [this](int slot, Qt::MouseButton button) {
        clearGalleryToggle();
        if (button == Qt::RightButton) {
            m_book.setHoverPos(m_book.positionOf(slot));
            m_menus->menu(QStringLiteral("LabelPage"))->popup(QCursor::pos());
        } else if (!m_strip->looksActive(slot)) {
            activateSlot(slot);
        }
    });
    connect(m_strip, &TabStrip::labelDoubleClicked, this, [this](int slot) {
        m_book.setHoverPos(m_book.positionOf(slot));
        DelLine();
    });
    connect(m_strip, &TabStrip::closeClicked, this, &Frmmain::DelLine);
    connect(m_strip, &TabStrip::addClicked, this, &Frmmain::Build);

    auto button = [this](const char *name, int index = -1) { return m_buttons.value(buttonKey(name, index)); };
    auto wire = [](QToolButton *b, auto slot) {
        b->setEnabled(true);
        QObject::connect(b, &QToolButton::clicked, b, slot);
    };
    wire(button("CmdPage", 0), [this] { if (FormWeb *p = activePage()) p->Web()->GoBack(); });
    wire(button("CmdPage", 1), [this] { if (FormWeb *p = activePage()) p->Web()->GoForward(); });
    button("CmdPage", 0)->setEnabled(false);
    button("CmdPage", 1)->setEnabled(false);
    wire(button("Command3"), [this] { Restore(); });
    wire(button("Command2"), [this] {
        FormWeb *p = activePage();
        if (!p)
            return;
        if (m_session.options.adBlock() == 1)
            p->PageJavaConctrl();
        else
            p->Web()->Refresh(); // the gallery's rebuild joins here once it exists
    });
    wire(button("Command5"), [this] { LoadNewForm(m_session.options.homePageUrl()); });
    wire(button("Command8"), [this] {
        m_book.setHoverPos(m_book.activePos());
        DelLine();
    });
    for (int i = 0; i < 2; ++i) {
        wire(button("MoveUp", i), [this, i] {
            if (m_session.currentBrowser)
                m_session.currentBrowser->scrollBy(0, i == 0 ? -150 : 150, 201);
            focusActivePage();
        });
    }
    button("Command11")->setEnabled(true);
    auto siteButton = [this](const QString &address) {
        return [this, address] {
            m_session.options.setSafePictureMode(0);
            LoadNewForm(address);
        };
    };
    wire(button("ImgComb"), siteButton(SiteTables::kBaiduHome));
    wire(button("Command7"), siteButton(SiteTables::k360Directory));
    wire(button("Command10"), siteButton(SiteTables::kTaobaoHome));
    wire(button("Command6"), [this] { shell().open(Paths::appDir() + QStringLiteral("/Download/")); });
    connect(m_cmdSearch, &QToolButton::clicked, this, [this] {
        m_menus->menu(QStringLiteral("SearchWord"))->popup(QCursor::pos());
    });
}

void Frmmain::wireMenus()
{
    auto on = [this](const QString &name, auto slot, int index = -1) {
        QAction *a = index < 0 ? m_menus->action(name) : m_menus->action(name, index);
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, slot);
    };
    on(QStringLiteral("Build"), [this] { Build(); });
    on(QStringLiteral("build2"), [this] { Build(); });
    on(QStringLiteral("mnuFileExit"), [this] { close(); });
    on(QStringLiteral("Cancel"), [this] { Restore(); });
    on(QStringLiteral("CancelClose"), [this] { Restore(); });
    on(QStringLiteral("CloseThisPage"), [this] { DelLine(); });
    on(QStringLiteral("closeme"), [this] { DelLine(); });
    on(QStringLiteral("closeleft"), [this] { CloseLeft(); });
    on(QStringLiteral("closeright"), [this] { CloseRight(); });
    on(QStringLiteral("mnuCloseOther"), [this] { CloseOthers(); });
    on(QStringLiteral("mnuFileClose"), [this] { CloseAll(); });
    for (const char *name : {"pageup", "pageup2", "pagedown", "pagedown2"}) {
        const bool up = QByteArray(name).startsWith("pageup");
        on(QString::fromLatin1(name), [this, up] {
            if (FormWeb *p = activePage())
                p->Web()->scrollBy(0, up ? -50 : 50, 301);
        });
    }
    on(QStringLiteral("shuaxin"), [this] {
        if (FormWeb *p = activePage()) {
            p->PageJavaConctrl();
            p->Web()->Refresh();
        }
    });
    on(QStringLiteral("AllResuha"), [this] {
        // Every page takes the current safe mode with its fresh host site.
        for (int pos = 0; pos < m_book.count(); ++pos) {
            if (FormWeb *p = page(m_book.slotAt(pos))) {
                p->PageJavaConctrl();
                p->Web()->Refresh();
            }
        }
    });
    on(QStringLiteral("StartPop"), [this](bool checked) { m_session.options.setAdBlock(checked ? 1 : 0); });
    on(QStringLiteral("StartSafe"), [this](bool checked) { m_session.options.setSafePictureMode(checked ? 1 : 0); });
    on(QStringLiteral("KillPop"), [this] {
        m_session.options.setSafePictureMode(1);
        if (FormWeb *p = activePage())
            p->PageJavaConctrl();
    });
    on(QStringLiteral("Tingzhi"), [this] { if (FormWeb *p = activePage()) p->Web()->Stop(); });
    on(QStringLiteral("ScreenRun"), [this] { setScrollDirection(0); }, 0);
    on(QStringLiteral("ScreenRun"), [this] { setScrollDirection(1); }, 1);
    on(QStringLiteral("fuzhi"), [this] { copyText(m_strip->labelText(m_book.slotAt(m_book.hoverPos()))); });
    on(QStringLiteral("address"), [this] { copyText(m_textUrl->currentText()); });
    on(QStringLiteral("Page"), [this] {
        if (QLineEdit *lab = m_strip->existingLabel(m_book.activeSlot()))
            copyText(lab->selectedText());
    });
    on(QStringLiteral("zhushouopt"), [this] { openSettingsCentre(); });
    on(QStringLiteral("FavHuasheng"), [this] { LoadNewForm(Sites::kDefaultHomePage); });
    for (const auto &[name, address] : {std::pair{"Fav169mt", SiteTables::kModelPictures},
                                        std::pair{"Fav169bb", SiteTables::kGlamourPictures}}) {
        on(QString::fromLatin1(name), [this, address = address] {
            m_session.options.setSafePictureMode(1);
            LoadNewForm(address);
        });
    }
    on(QStringLiteral("HomePage"), [this] { LoadNewForm(SiteTables::kProductSite); });
    on(QStringLiteral("OpenUrlStyle"), [this] { shell().open(m_textUrl->currentText()); });
    on(QStringLiteral("LoadMe"), [this] { shell().start(QCoreApplication::applicationFilePath(), {}); });
    on(QStringLiteral("ShowMe"), [this] { ShowMe(); });
    for (const auto *table : {&SiteTables::searchWord(), &SiteTables::netSearch(), &SiteTables::music()}) {
        for (const SiteTables::Item &item : *table) {
            const QString address = QString::fromUtf8(item.address);
            if (item.usesWord)
                on(QString::fromLatin1(item.name), [this, address] { OpenSite(address); });
            else
                on(QString::fromLatin1(item.name), [this, address] { LoadNewForm(address); });
        }
    }
    for (QAction *item : m_menus->liHistory()) {
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, [this, item] { LoadNewForm(item->data().toString()); });
    }
}

void Frmmain::start(const QString &commandLine)
{
    m_session.systemFolders = LocateSystemFolders();
    SettingsStartup::firstRunCheck(m_session.store, QCoreApplication::applicationFilePath(),
                                   [](const QString &name, const QString &target) {
                                       CreateDesktopShortcut(name, target, installIcon());
                                   });
    // Folders the picture saver and the history use (an existing one is fine).
    Paths::ensureDir(Paths::appDir() + QStringLiteral("/Download"));
    Paths::ensureDir(Paths::appDir() + QStringLiteral("/History"));
    SettingsStartup::readSwitches(m_session.store, m_session.options);
    show();
    m_session.options.setHomePageUrl(SettingsStartup::homePage(m_session.store));
    QString address = commandLine;
    address.remove(QLatin1Char('"'));
    LoadNewForm(address.isEmpty() ? Sites::kStartPage : address);
    m_closed.load();
    fillClosedMenu();
}

QString Frmmain::installIcon()
{
    // The desktop entry needs the icon as a file.
    const QString path = Paths::appDir() + QStringLiteral("/velmo.svg");
    if (!QFile::exists(path)) {
        Paths::ensureDir(Paths::appDir());
        QFile::copy(QStringLiteral(":/velmo/velmo.svg"), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return path;
}

void Frmmain::openSettingsCentre()
{
    QtDialogs fallback;
    Dialogs &dialogs = m_session.dialogs ? *m_session.dialogs : static_cast<Dialogs &>(fallback);
    FormSetup setup(m_session.store, m_session.options, dialogs, this);
    emit settingsCentreOpened(&setup);
    setup.exec();
}

int Frmmain::addLab()
{
    const int slot = m_book.addLab();
    if (slot < 0)
        return -1;
    m_strip->resetLabel(slot);
    return slot;
}

void Frmmain::refuseTab()
{
    // Every tab table entry is in use: say so in the status bar instead of opening.
    if (FormWeb *p = activePage())
        p->Lab(0)->setText(QStringLiteral("已打开 %1 个标签，请先关闭一些标签再打开新网页。").arg(m_book.capacity()));
}

FormWeb *Frmmain::createPage(int slot)
{
    auto *page = new FormWeb(m_session, *this, m_client);
    page->myindex = slot;
    m_pages.insert(slot, page);
    m_zorder.prepend(page);
    connect(page, &FormWeb::selectionForSearch, m_combSearch, &QComboBox::setEditText);
    return page;
}

FormWeb *Frmmain::LoadNewForm(const QString &address)
{
    const int slot = addLab();
    if (slot < 0) {
        refuseTab();
        return nullptr;
    }
    const QString target = address == Sites::kStartPage ? Sites::kMarkedStartPage : address;
    FormWeb *page = createPage(slot);
    page->Web()->Navigate(target);
    page->place(clientRect());
    const bool blank = target == QLatin1String("about:blank");
    if (!blank && m_session.options.openInBackground() != 0) {
        lowerPage(page);
        m_book.keepPreviousActive();
    } else {
        setAddressText(Sites::shownAddress(target));
        if (blank)
            setMainCaption(PageText::kEmptyCaption);
    }
    PaiLie();
    return page;
}

void Frmmain::Build()
{
    LoadNewForm(QStringLiteral("about:blank"));
    m_textUrl->setFocus();
}

void Frmmain::PaiLie()
{
    m_strip->arrange(m_book, clientWidthTwips());
    if (FormWeb *p = activePage()) {
        p->place(clientRect());
        raisePage(p);
        p->Cmb()->setFocus();
        p->SetActivate();
    }
}

void Frmmain::activateSlot(int slot)
{
    FormWeb *p = page(slot);
    if (!p)
        return;
    p->place(clientRect());
    p->Cmb()->setFocus();
    p->SetActivate();
    p->butenableable();
    m_book.activate(slot);
    PaiLie();
    showActiveInBars();
}

void Frmmain::showActiveInBars()
{
    FormWeb *p = activePage();
    if (!p)
        return;
    setAddressText(Sites::shownAddress(p->Web()->LocationURL()));
    setMainCaption(PageText::mainCaption(m_strip->labelText(p->myindex)));
}

void Frmmain::freeLab(int slot)
{
    FormWeb *p = page(slot);
    if (!m_strip->labelText(slot).isEmpty() && p) {
        m_closedMenuCursor = ClosedPages::nextMenuItem(m_closedMenuCursor);
        QAction *item = m_menus->liHistory().value(m_closedMenuCursor);
        if (item) {
            item->setText(menuText(PageText::firstChars(p->caption(), 40)));
            item->setData(p->Web()->LocationURL());
            item->setVisible(true);
        }
    }
    m_strip->removeLabel(slot);
    m_pages.remove(slot);
    if (p) {
        m_zorder.removeAll(p);
        p->close();
    }
    updateShownPage();
}

void Frmmain::applyChange(const TabBook::Change &change)
{
    if (!change.freed.isEmpty())
        m_strip->moveCloseButton(-1000);
    for (int slot : change.freed)
        freeLab(slot);
    if (change.showActive)
        showActiveInBars();
}

void Frmmain::DelLine()
{
    const TabBook::Change change = m_book.delLine();
    if (change.blankSlot >= 0) {
        if (FormWeb *p = page(change.blankSlot))
            p->Web()->Navigate(QStringLiteral("about:blank"));
        return;
    }
    if (change.freed.isEmpty())
        return;
    applyChange(change);
    PaiLie();
}

void Frmmain::CloseRight()
{
    applyChange(m_book.closeRight());
    PaiLie();
}

void Frmmain::CloseLeft()
{
    applyChange(m_book.closeLeft());
    PaiLie();
}

void Frmmain::CloseOthers()
{
    applyChange(m_book.closeOthers());
    PaiLie();
}

void Frmmain::CloseAll()
{
    const TabBook::Change change = m_book.closeAll();
    applyChange(change);
    PaiLie();
    if (FormWeb *p = page(change.blankSlot))
        p->Web()->Navigate(QStringLiteral("about:blank"));
    setMainCaption(PageText::kEmptyCaption);
    m_textUrl->setEditText(QStringLiteral("http://www."));
}

void Frmmain::Restore()
{
    const QString address = m_closed.restore();
    if (!address.isEmpty())
        LoadNewForm(address);
}

void Frmmain::fillClosedMenu()
{
    const QVector<ClosedPages::Entry> entries = m_closed.newest(20);
    const QVector<QAction *> items = m_menus->liHistory();
    for (int k = 0; k < entries.size(); ++k) {
        items[k]->setText(menuText(entries[k].title));
        items[k]->setData(entries[k].address);
        items[k]->setVisible(true);
    }
    m_closedMenuCursor = ClosedPages::menuCursorAfterFill(entries.size());
}

void Frmmain::raisePage(FormWeb *p)
{
    m_zorder.removeAll(p);
    m_zorder.prepend(p);
    updateShownPage();
}

void Frmmain::lowerPage(FormWeb *p)
{
    m_zorder.removeAll(p);
    m_zorder.append(p);
    updateShownPage();
}

void Frmmain::updateShownPage()
{
    // Only the top page is shown: covered pages need not render.
    for (int i = 0; i < m_zorder.size(); ++i) {
        FormWeb *p = m_zorder[i];
        if (i == 0) {
            p->show();
            p->raise();
        } else if (p->isVisible()) {
            p->hide();
        }
    }
}

QRect Frmmain::clientRect() const
{
    return QRect(QPoint(0, 0), m_client->size());
}

int Frmmain::clientWidthTwips() const
{
    return toTwips(centralWidget()->width());
}

// --- PageHost ---

bool Frmmain::isActiveSlot(int slot) const
{
    return slot >= 0 && m_book.activeSlot() == slot;
}

void Frmmain::setTabLabel(int slot, const PageText::Label &label)
{
    m_strip->setLabel(slot, label);
}

void Frmmain::setMainCaption(const QString &caption)
{
    setWindowTitle(PageText::plainWindowTitle(caption));
}

void Frmmain::setAddressText(const QString &text)
{
    m_textUrl->setEditText(text == QLatin1String("about:blank") ? QStringLiteral("http://www.") : text);
}

void Frmmain::setBackForward(bool back, bool forward)
{
    m_buttons.value(QStringLiteral("CmdPage0"))->setEnabled(back);
    m_buttons.value(QStringLiteral("CmdPage1"))->setEnabled(forward);
}

void Frmmain::recordClosedPage(const QString &caption, const QString &address)
{
    if (m_closed.record(caption, address))
        m_textUrl->addItem(caption + QStringLiteral("  ") + address);
}

void Frmmain::pageDestroyed(FormWeb *p)
{
    m_zorder.removeAll(p);
    for (auto it = m_pages.begin(); it != m_pages.end(); ++it) {
        if (it.value() == p) {
            m_pages.erase(it);
            break;
        }
    }
}

void Frmmain::focusActivePage()
{
    if (FormWeb *p = activePage()) {
        // Not while the user is typing into the address or search box.
        QWidget *f = QApplication::focusWidget();
        if (!(f && (m_textUrl->isAncestorOf(f) || m_combSearch->isAncestorOf(f) || f == m_textUrl || f == m_combSearch)))
            p->Cmb()->setFocus();
        p->SetActivate();
    }
}

void Frmmain::openNewWindow(FormWeb *, NewWindowRequest &request)
{
    const int slot = addLab();
    if (slot < 0) {
        refuseTab();
        request.cancel = true;
        return;
    }
    FormWeb *p = createPage(slot);
    if (m_session.options.openInBackground() == 1) {
        lowerPage(p);
        m_book.keepPreviousActive();
    } else {
        raisePage(p);
    }
    request.target = p->Web();
    p->place(clientRect());
    PaiLie();
}

void Frmmain::closeSlot(int slot)
{
    const int pos = m_book.positionOf(slot);
    if (pos < 0)
        return;
    m_book.setHoverPos(pos);
    DelLine();
}

// --- events and timers ---

void Frmmain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyResizeRules();
    Platform::trimWorkingSet();
}

void Frmmain::applyResizeRules()
{
    const int w = clientWidthTwips();
    const StripGeometry::AddressRow row = StripGeometry::addressRow(w);
    m_strip->moveCloseButton(-2000);
    m_textUrl->resize(toPixels(row.textUrlWidth), m_textUrl->height());
    m_cmdGo->move(toPixels(row.cmdGoLeft), m_cmdGo->y());
    m_cmdSearch->move(toPixels(row.cmdSearchLeft), m_cmdSearch->y());
    m_combSearch->move(toPixels(row.combSearchLeft), m_combSearch->y());
    if (row.combSearchWidth > 0)
        m_combSearch->resize(toPixels(row.combSearchWidth), m_combSearch->height());
    // The active page follows the client area's own resize (its size is final there).
}

void Frmmain::closeEvent(QCloseEvent *event)
{
    hide();
    m_exiting = true;
    m_timer1->stop();
    m_timer2->stop();
    // Each page records itself as closed on the way out.
    for (int pos = 0; pos < m_book.count(); ++pos)
        if (FormWeb *p = page(m_book.slotAt(pos)))
            p->close();
    event->accept();
}

bool Frmmain::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_leftPressedSinceTick = true;
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == m_pict) {
            Build();
            return true;
        }
        break;
    case QEvent::Resize:
        if (watched == m_client)
            if (FormWeb *p = activePage())
                p->place(clientRect());
        break;
    case QEvent::FocusIn:
        if ((watched == m_textUrl || watched == m_combSearch) && !m_webFocus) {
            // Take the keyboard out of the page before the box gets it.
            m_webFocus = true;
            if (FormWeb *p = activePage())
                p->Cmb()->setFocus();
            static_cast<QWidget *>(watched)->setFocus();
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Frmmain::go()
{
    clearGalleryToggle();
    FormWeb *p = activePage();
    if (!p)
        return;
    QString text = m_textUrl->currentText();
    if (!text.contains(QLatin1Char('.'))) {
        text = kSearchAddress + text;
        m_textUrl->setEditText(text);
    }
    p->Web()->Navigate(text);
    p->Cmb()->setFocus();
}

void Frmmain::search()
{
    const QString text = m_combSearch->currentText();
    m_combSearch->addItem(text);
    m_combSearch->setEditText(text);
    clearGalleryToggle();
    LoadNewForm(kSearchAddress + text);
}

FormWeb *Frmmain::OpenSite(const QString &prefix)
{
    return LoadNewForm(SiteTables::siteSearchAddress(prefix, m_combSearch->currentText()));
}

void Frmmain::ShowMe()
{
    m_pict->setVisible(!m_pict->isVisible());
    // Lay out now, so the page fills the new client area before anything paints.
    centralWidget()->layout()->activate();
    applyResizeRules();
    if (FormWeb *p = activePage())
        p->place(clientRect());
}

void Frmmain::clearGalleryToggle()
{
    QToolButton *chk = m_buttons.value(QStringLiteral("Chk"));
    if (!chk->isChecked())
        return;
    chk->setChecked(false);
    chk->setPalette(QApplication::palette());
    focusActivePage();
}

Shell &Frmmain::shell()
{
    static DesktopShell desktop;
    return m_session.shell ? *m_session.shell : desktop;
}

void Frmmain::updateSignalLight()
{
    const bool safe = m_session.options.safePictureMode() != 0;
    if (QToolButton *light = m_buttons.value(QStringLiteral("Command11"))) {
        QPalette pal = light->palette();
        pal.setColor(QPalette::Button, safe ? QColor(Qt::yellow) : QApplication::palette().color(QPalette::Button));
        pal.setColor(QPalette::Window, pal.color(QPalette::Button));
        light->setPalette(pal);
    }
    if (QAction *a = m_menus->action(QStringLiteral("StartSafe")))
        a->setChecked(safe);
    // Ad blocking is also switched from the settings centre.
    if (QAction *a = m_menus->action(QStringLiteral("StartPop")))
        a->setChecked(m_session.options.adBlock() != 0);
}

void Frmmain::watchMouse()
{
    updateSignalLight();
    if (!isActiveWindow())
        return;
    // Left button: -32768 held now, 1 pressed and released since the last tick, 0 up.
    const bool downNow = QGuiApplication::mouseButtons() & Qt::LeftButton;
    const int state = downNow ? -32768 : (m_leftPressedSinceTick ? 1 : 0);
    m_leftPressedSinceTick = false;
    if (state == -32768)
        m_mouseWasDown = true;
    const QPoint cursor = QCursor::pos();
    if (cursor.y() > 130)
        m_strip->moveCloseButton(-5000);
    if (state == 0 && m_mouseWasDown) {
        m_mouseWasDown = false;
        if (FormWeb *p = activePage())
            p->zhan(cursor.x() * 15 - 500, cursor.y() * 15 - 2500);
    }
}

void Frmmain::setScrollDirection(int index)
{
    QAction *chosen = m_menus->action(QStringLiteral("ScreenRun"), index);
    QAction *other = m_menus->action(QStringLiteral("ScreenRun"), 1 - index);
    // The checkable action has already flipped its mark.
    if (chosen->isChecked()) {
        other->setChecked(false);
        m_scrollStep = index == 0 ? -1 : 1;
        m_timer2->start();
    } else {
        m_timer2->stop();
    }
}

void Frmmain::scrollTick()
{
    if (FormWeb *p = activePage())
        p->Web()->scrollBy(0, m_scrollStep);
}

void Frmmain::copyText(const QString &text)
{
    QClipboard *cb = QGuiApplication::clipboard();
    cb->clear();
    cb->setText(text);
}
