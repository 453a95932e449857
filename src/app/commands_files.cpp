#include "app/addressrow.h"
#include "app/commands.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "engine/transfer.h"
#include "engine/pagecontrol.h"
#include "files/downloadlist.h"
#include "files/filedialogs.h"
#include "files/formdownload.h"
#include "files/formdownloads.h"
#include "files/formhtml.h"
#include "page/formweb.h"
#include "page/pagedocument.h"
#include "page/session.h"
#include "platform/filenames.h"
#include "platform/dialogs.h"
#include "tabs/pagetext.h"
#include "tabs/tabstrip.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QPointer>

namespace {

// Exiting with transfers under way asks once; yes ends them (nothing is left half
// written), no keeps the window open.
class ExitGuard : public QObject
{
public:
    ExitGuard(DownloadList &list, Dialogs &dialogs, QWidget *window)
        : QObject(window), m_list(list), m_dialogs(dialogs), m_window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::Close)
            return false;
        const int running = m_list.running();
        if (running == 0)
            return false;
        if (!m_dialogs.question(m_window, PageText::kProductName, DownloadList::exitQuestion(running))) {
            event->ignore();
            return true;
        }
        m_list.cancelAll();
        return false;
    }

private:
    DownloadList &m_list;
    Dialogs &m_dialogs;
    QWidget *m_window;
};

// The page title the main window shows (its caption without the product's name).
QString shownTitle(const QWidget &window)
{
    QString caption = window.windowTitle();
    if (caption.endsWith(PageText::kProductSuffix))
        caption.chop(PageText::kProductSuffix.size());
    return caption.trimmed();
}

void wireSourceCommands(Commands &c)
{
    Session &session = c.session;
    PageStack &pages = c.pages;
    Frmmain &main = c.window;
    AddressRow &address = c.address;
    TabStrip &strip = *c.window.tabStrip();
    // A viewer of the page's markup, or of its selection's; a snapshot, several at once.
    const auto viewer = [&session, &pages, &main, &address, &strip](bool selection) {
        FormWeb *p = pages.activePage();
        if (!p)
            return;
        const QString title = strip.labelText(pages.book().activeSlot());
        const QString where = address.addressText();
        const auto show = [&session, &main, title, where, selection](const QString &source) {
            auto *form = new FormHtml(session.dialogs, &main);
            if (selection)
                form->setWindowTitle(QStringLiteral("源文件 - 选中区域"));
            form->show(source, where, title);
        };
        selection ? p->document().selectionSource(show) : p->document().documentSource(show);
    };
    c.on("yuan", [viewer] { viewer(false); });
    c.on("yuanBu", [viewer] { viewer(true); });

    const auto saveSource = [&session, &pages, &main] {
        FormWeb *p = pages.activePage();
        if (!p)
            return;
        const QString path = FileDialogs::showSaveDialog(session.dialogs, &main, QStringLiteral("保存源文件"),
                                                         shownTitle(main) + QStringLiteral(".txt"), FileDialogs::Text);
        if (path.isEmpty())
            return;
        p->document().documentSource([&pages, path](const QString &source) {
            if (!FileDialogs::writeSource(path, source))
                pages.tell(QStringLiteral("无法保存到 %1").arg(path));
        });
    };
    c.on("mnuFileSave", saveSource);
    MainMenus &menus = c.menus;
    c.on("mnuFileSaveAs", [&session, &pages, &main, &menus, saveSource] {
        if (menus.action(QStringLiteral("EditPage"))->isChecked()) {
            saveSource();
            return;
        }
        FormWeb *p = pages.activePage();
        if (!p)
            return;
        if (p->document().showsPdf()) {
            const QString path = session.dialogs.saveFile(&main, QStringLiteral("保存网页"),
                                                          FileNames::fromText(shownTitle(main)) + QStringLiteral(".pdf"),
                                                          QStringLiteral("PDF 文件 (*.pdf)"));
            if (!path.isEmpty())
                p->document().savePdf(path, [&pages, path](bool ok) {
                    pages.tell(ok ? QStringLiteral("网页已保存：%1").arg(path) : QStringLiteral("无法保存到 %1").arg(path));
                });
            return;
        }
        // The page as it is now, never asked for again (a form's answer would be sent twice).
        const QString path = session.dialogs.saveFile(&main, QStringLiteral("保存网页"),
                                                      FileNames::fromText(shownTitle(main)) + QStringLiteral(".mhtml"),
                                                      QStringLiteral("网页，单个文件 (*.mhtml);;网页，全部 (*.htm *.html);;文本文件 (*.txt)"));
        if (path.isEmpty())
            return;
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == QLatin1String("txt")) {
            p->document().documentText([&pages, path](const QString &text) {
                if (!FileDialogs::writeText(path, text))
                    pages.tell(QStringLiteral("无法保存到 %1").arg(path));
            });
            return;
        }
        const bool complete = suffix == QLatin1String("htm") || suffix == QLatin1String("html");
        p->document().savePage(path, complete, [&pages, path](bool ok) {
            pages.tell(ok ? QStringLiteral("网页已保存：%1").arg(path) : QStringLiteral("无法保存到 %1").arg(path));
        });
    });
    c.on("mnuFileOpen", [&session, &pages, &main] {
        const QString path = FileDialogs::showOpenDialog(session.dialogs, &main, QStringLiteral("打开网页"), QString(),
                                                         FileDialogs::WebPages);
        if (!path.isEmpty())
            pages.LoadNewForm(path);
    });
}

} // namespace

void wireFileCommands(Commands &c)
{
    Session &session = c.session;
    DownloadList *downloads = &c.downloads;
    auto window = std::make_shared<QPointer<FormDownloads>>();
    Frmmain &main = c.window;
    // A page's downloads pass its burst rule first.
    PageStack &pages = c.pages;
    downloads->setGate([&pages](Transfer *download, std::function<void(DownloadList::Route)> route) {
        // The tab whose page or frame started it (a frame's attachment, data:, blob: as
        // well as its own document); else the one that asked for its address last.
        const QList<FormWeb *> all = pages.pagesInTabOrder();
        FormWeb *starter = nullptr;
        for (FormWeb *p : all)
            if (!starter && p->Web()->isEnginePage(download->requestedBy()))
                starter = p;
        for (FormWeb *p : all)
            if (!starter && p->Web()->askedFor(download->url()))
                starter = p;
        if (FormWeb *p = starter) {
            p->admitDownload([route](DownloadBurst::Verdict verdict) {
                switch (verdict) {
                case DownloadBurst::Verdict::Ask: route(DownloadList::Route::Ask); break;
                case DownloadBurst::Verdict::Quiet: route(DownloadList::Route::Quiet); break;
                case DownloadBurst::Verdict::Hold: route(DownloadList::Route::Hold); break;
                case DownloadBurst::Verdict::Refuse: route(DownloadList::Route::Refuse); break;
                }
            });
            return;
        }
        route(DownloadList::Route::Ask);
    });
    const auto showList = [downloads, window, &session, &main] {
        if (!*window)
            *window = new FormDownloads(*downloads, session.shell, &main);
        (*window)->show();
        (*window)->raise();
    };
    QObject::connect(downloads, &DownloadList::added, downloads, showList);
    c.on("mnuDownloads", showList);
    QObject::connect(downloads, &DownloadList::ended, &pages, [&pages](int, const QString &message) { pages.tell(message); });
    QObject::connect(downloads, &DownloadList::refused, &pages, &PageStack::tell);
    new ExitGuard(*downloads, session.dialogs, &c.window);
    c.on("DownLoadFile", [downloads, &session, &pages, &main] {
        auto *dialog = new FormDownload(session.dialogs, downloads->proposedFolder(),
                                        [downloads, &pages](const QString &address, const QString &folder, const QString &name) {
                                            // Any page window can ask the engine for it; with none in
                                            // front a blank one is made (and goes when it runs).
                                            FormWeb *p = pages.activePage() ? pages.activePage() : pages.shownPage();
                                            if (!p)
                                                p = pages.LoadNewForm(QStringLiteral("about:blank"));
                                            if (!p) {
                                                pages.tell(QStringLiteral("无法下载 %1：没有可以使用的网页窗口。").arg(address));
                                                return;
                                            }
                                            downloads->expect(address, folder, name);
                                            p->document().download(address);
                                        }, &main);
        dialog->show();
    });
    wireSourceCommands(c);
}
