#include "app/mainmenus.h"

#include "app/sitetables.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {
QString arrayKey(const QString &name, int index) { return name + QLatin1Char('#') + QString::number(index); }
} // namespace

MainMenus::MainMenus(QMainWindow *w)
{
    QMenu *m = addMenu(w, "mFile", "文件(&F)", true);
    addItem(m, "LoadMe", "开启新窗口(&N)", "F6");
    addItem(m, "Build", "新建标签", "F4");
    m->addSeparator();
    addItem(m, "mnuFileOpen", "打开本地文件(&O)...");
    addItem(m, "mnuFileSaveAs", "保存 网页(&A)", "Ctrl+S");
    addItem(m, "mnuFileSave", "保存 源文件(&M)");
    addItem(m, "PrintScreen2", "网页截图 保存(&P)");
    addItem(m, "DownloadImg", "下载 全部图片(大图)");
    m->addSeparator();
    addItem(m, "printset", "页面设置");
    addItem(m, "closecd", "打印预览(&G)");
    addItem(m, "Print", "打印(&P)", "Ctrl+P");
    m->addSeparator();
    addItem(m, "Femail", "电子邮件");
    addItem(m, "FmyPC", "我的电脑");
    addItem(m, "bohao", "拨号上网(&N)");
    addItem(m, "offnet", "脱机工作(&T)");
    addItem(m, "CloadPC", "立即关闭电脑(&C)");
    m->addSeparator();
    addItem(m, "mnuFileExit", "退出(&X)");

    m = addMenu(w, "mEdit", "编辑(&E)", true);
    addItem(m, "Cancel", "撤消关闭窗口", "Ctrl+Z");
    addItem(m, "CloseThisPage", "关闭当前网页");
    m->addSeparator();
    addItem(m, "mnuEditCopy", "复制(&C)", "Ctrl+C");
    addItem(m, "shan", "剪切(&T)", "Ctrl+X");
    addItem(m, "chakan", "粘贴(&P)", "Ctrl+V");
    m->addSeparator();
    addItem(m, "EditPage", "网页编辑模式");
    addItem(m, "Attrib", "页面属性");
    m->addSeparator();
    addItem(m, "mnuViewRefresh", "全选(&A)", "Ctrl+A");
    addItem(m, "mnuViewOptions", "查找(&F)", "Ctrl+F");

    // Tab context menu: not in the bar; its F8/F9 keys work through the window.
    m = addMenu(w, "LabelPage", "标签(&B)", false);
    addItem(m, "closeme", "关闭标签(鼠标双击)", "F9");
    addItem(m, "build2", "新建标签               Ctri+T");
    addItem(m, "CancelClose", "恢复关闭的标签");
    m->addSeparator();
    addItem(m, "pageup2", "至页面顶部                      F2");
    addItem(m, "pagedown2", "至页面底部                      F3");
    m->addSeparator();
    addItem(m, "mnuCloseOther", "关闭其他窗口");
    addItem(m, "mnuFileClose", "关闭全部窗口", "F8");
    addItem(m, "closeleft", "关闭左侧窗口");
    addItem(m, "closeright", "关闭右侧窗口");
    m->addSeparator();
    addItem(m, "fuzhi", "复制网站标题");
    addItem(m, "address", "复制网站地址");
    addItem(m, "Page", "复制");
    w->addActions(m->actions());

    m = addMenu(w, "PageLabel", "查看(&V)", true);
    addItem(m, "pageup", "至页面顶部", "F2");
    addItem(m, "pagedown", "至页面底部", "F3");
    m->addSeparator();
    addItem(m, "shuaxin", "刷新(&R)", "F5");
    addItem(m, "AllResuha", "全部刷新");
    addItem(m, "Tingzhi", "停止(&S)");
    m->addSeparator();
    addItem(m, "ScreenRun", "屏幕向上滚动", nullptr, 0)->setCheckable(true);
    addItem(m, "ScreenRun", "屏幕向下滚动", nullptr, 1)->setCheckable(true);
    m->addSeparator();
    addItem(m, "yuan", "源文件");
    addItem(m, "yuanBu", "选中区域的源文件");
    addItem(m, "OpenUrlStyle", "用其他浏览器查看");
    m->addSeparator();
    addItem(m, "BigP", "页面屏幕放大       (+)", nullptr, 0);
    addItem(m, "BigP", "页面屏幕缩小       (--)", nullptr, 1);
    addItem(m, "ShowMe", "全屏显示", "F11");

    m = addMenu(w, "mFav", "收藏夹(&A)", true);
    addItem(m, "addhome", "添加到收藏夹", "Ctrl+D");
    addItem(m, "RelaodDir", "刷新收藏夹");
    addItem(m, "SearchDir", "整理收藏夹");
    addItem(m, "ImportFav", "导入收藏夹…");
    addItem(m, "ExportFav", "导出收藏夹…");
    m->addSeparator();
    addItem(m, "FavHuasheng", "瀑布流 - 华声论坛");
    addItem(m, "Fav169mt", "瀑布流 - 美女模特网");
    addItem(m, "Fav169bb", "瀑布流 - 性感美女网");
    m->addSeparator();

    addTable(addMenu(w, "NetSearch", "搜索排名(&S)", true), SiteTables::netSearch());
    addTable(addMenu(w, "Music", "音乐(&M)", true), SiteTables::music());

    m = addMenu(w, "mTools", "工具(&T)", true);
    addItem(m, "KillPop", "清除网页广告(P)");
    addItem(m, "Clear", "清除浏览记录(&C)");
    addItem(m, "History", "网站访问历史(&H)");
    addItem(m, "AutoReshua", "网页刷屏器");
    m->addSeparator();
    addItem(m, "PrintScreen", "保存网页截图(&P)");
    addItem(m, "DownLoadFile", "下载网络文件(&D)");
    addItem(m, "mnuDownloads", "下载列表(&L)", "Ctrl+J");
    m->addSeparator();
    addItem(m, "MyIP", "本机 IP 地址");
    addItem(m, "YearView", "万年历(Y)");
    addItem(m, "DirHide", "文件夹加密(&J)");
    m->addSeparator();
    addItem(m, "SoundClose", "关闭电脑声音");
    addItem(m, "CloseScreen", "关闭电脑屏幕");
    addItem(m, "LoadWord", "启动 OFFice Word");
    addItem(m, "LoadExecl", "启动 OFFice Excel");
    m->addSeparator();
    addItem(m, "StartSafe", "开启 安全看图模式")->setCheckable(true);
    addItem(m, "StartPop", "开启 广告拦截功能")->setCheckable(true);
    m->addSeparator();
    addItem(m, "setnavigation", "设置为默认浏览器");
    addItem(m, "internet", "INTERNET 选项");
    addItem(m, "zhushouopt", "系统设置中心(&S)");

    m = addMenu(w, "HistoryRecord", "历史(&L)", true);
    for (int i = 0; i < 21; ++i) {
        QAction *item = addItem(m, "LiHistory", "", nullptr, i);
        item->setVisible(false);
        m_liHistory.append(item);
    }
    m->addSeparator();
    addItem(m, "ClearHistory", "清除历史记录(&C)");

    m = addMenu(w, "mHelp", "帮助(&H)", true);
    addItem(m, "mnuHelp", "帮助主题(&S)", "F1");
    addItem(m, "Reg", "软件捐助(&R)");
    addItem(m, "ReDownload", "检查更新(&D）");
    addItem(m, "lianxi", "联系作者(&E)");
    addItem(m, "mnuHelpAbout", "关于(&A)");
    m->addSeparator();
    addItem(m, "HomePage", "软件网站(&N)");

    addTable(addMenu(w, "SearchWord", "搜索", false), SiteTables::searchWord());
}

void MainMenus::addTable(QMenu *menu, const QVector<SiteTables::Item> &items)
{
    for (const SiteTables::Item &item : items) {
        if (item.groupStart)
            menu->addSeparator();
        addItem(menu, item.name, item.caption)->setData(QString::fromUtf8(item.address));
    }
}

QAction *MainMenus::action(const QString &name, int index) const
{
    return m_actions.value(arrayKey(name, index), nullptr);
}

QMenu *MainMenus::addMenu(QMainWindow *window, const char *name, const char *title, bool inBar)
{
    QMenu *menu = inBar ? window->menuBar()->addMenu(QString::fromUtf8(title)) : new QMenu(QString::fromUtf8(title), window);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    m_menus.insert(QString::fromLatin1(name), menu);
    return menu;
}

QAction *MainMenus::addItem(QMenu *menu, const char *name, const char *caption, const char *keys, int index)
{
    QAction *a = menu->addAction(QString::fromUtf8(caption));
    const QString n = QString::fromLatin1(name);
    a->setObjectName(n);
    if (keys) {
        a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        a->setShortcutContext(Qt::WindowShortcut);
    }
    if (index >= 0) {
        a->setProperty("index", index);
        m_actions.insert(arrayKey(n, index), a);
    } else {
        m_actions.insert(n, a);
    }
    // Items start disabled; the command wiring switches on the ones it connects.
    a->setEnabled(false);
    return a;
}
