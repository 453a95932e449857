#include "app/addressrow.h"
#include "app/commands.h"
#include "engine/pagecontrol.h"
#include "app/frmmain.h"
#include "app/mousewatch.h"
#include "app/pagestack.h"
#include "page/formautoreshua.h"
#include "page/formweb.h"
#include "page/pagepictures.h"
#include "page/pagecommands.h"
#include "page/pagedocument.h"
#include "page/pageproperties.h"
#include "page/printpreview.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "page/session.h"
#include "tabs/tabstrip.h"
#include "userdata/options.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>

namespace {

// Runs on the active page, when there is one.
template <typename F>
auto onActive(PageStack &pages, F f)
{
    return [&pages, f] {
        if (FormWeb *p = pages.activePage())
            f(p);
    };
}

// Page setup, print and print preview share one printer for the run.
void wirePrinting(Commands &c)
{
    PageStack &pages = c.pages;
    Frmmain &window = c.window;
    Dialogs &dialogs = c.session.dialogs;
    auto printer = std::make_shared<PagePrint::Printer>();
    c.on("printset", [&window, &dialogs, printer] { dialogs.pageSetup(&window, printer->get()); });
    QAction *print = c.on("Print", onActive(pages, [&window, &dialogs, printer](FormWeb *p) {
        QPrinter *chosen = printer->get();
        if (!dialogs.choosePrinter(&window, chosen))
            return;
        p->showStatus(QStringLiteral("正在打印……"));
        QPointer<FormWeb> page(p);
        p->document().printDocument(chosen->pageLayout(), chosen->pageRanges(), &window, [page, printer](const QByteArray &pdf) {
            const bool ok = PagePrint::toPrinter(pdf, printer->get());
            if (page)
                page->showStatus(ok ? QStringLiteral("网页已送去打印。") : QStringLiteral("无法打印此网页。"));
        });
    }));
    // window.print() opens the same dialog as the menu's 打印, one at a time.
    auto printing = std::make_shared<bool>(false);
    QObject::connect(&pages, &PageStack::printAsked, print, [print, printing] {
        if (*printing)
            return;
        *printing = true;
        print->trigger();
        *printing = false;
    });
    c.on("closecd", onActive(pages, [&window, &dialogs, printer](FormWeb *p) {
        // Opens at once; the pages come when the engine has laid them out.
        auto *preview = new PrintPreview(dialogs, printer, &window);
        preview->show();
        emit window.dialogOpened(preview);
        p->document().printDocument(printer->get()->pageLayout(), {}, preview, [preview](const QByteArray &pdf) { preview->showPdf(pdf); });
    }));
}

// The window's own text field that has the keyboard (address box, search box, find bar):
// the editing commands are its, not the page's.
QLineEdit *focusedTextField(const QWidget &window)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() != &window)
        return nullptr;
    if (auto *box = qobject_cast<QComboBox *>(focus))
        return box->lineEdit();
    return qobject_cast<QLineEdit *>(focus);
}

void editText(QLineEdit *field, EditCommand command)
{
    switch (command) {
    case EditCommand::Copy: field->copy(); break;
    case EditCommand::Cut: field->cut(); break;
    case EditCommand::Paste: field->paste(); break;
    case EditCommand::SelectAll: field->selectAll(); break;
    }
}

} // namespace

void wirePageCommands(Commands &c)
{
    wirePrinting(c);
    PageStack &pages = c.pages;
    Session &session = c.session;
    c.onButton("CmdPage", onActive(pages, [](FormWeb *p) { p->goBack(); }), 0);
    c.onButton("CmdPage", onActive(pages, [](FormWeb *p) { p->goForward(); }), 1);
    c.toolbar.setBackForward(false, false);
    Toolbar &bar = c.toolbar;
    c.onButton("Command2", onActive(pages, [&session, &bar](FormWeb *p) {
        if (session.options.adBlock() == 1)
            p->PageJavaConctrl();
        else if (bar.button("Chk")->isChecked())
            p->pictures().SearchPic();
        else
            p->reload();
    }));
    c.onButton("Command5", [&pages, &session] { pages.LoadNewForm(session.options.homePageUrl()); });
    for (int i = 0; i < 2; ++i) {
        c.onButton("MoveUp", [&pages, &session, i] {
            // The gallery while it is shown, else the page.
            if (FormWeb *p = session.currentPage())
                p->scrollTarget()->scrollBy(0, i == 0 ? -150 : 150, 201);
            pages.focusActivePage();
        }, i);
    }
    for (const char *name : {"pageup", "pageup2", "pagedown", "pagedown2"}) {
        const int step = QByteArray(name).startsWith("pageup") ? -50 : 50;
        c.on(name, onActive(pages, [step](FormWeb *p) { p->scrollBy(0, step, 301); }));
    }
    c.on("shuaxin", onActive(pages, [](FormWeb *p) {
        p->PageJavaConctrl();
        p->reload();
    }));
    c.on("AllResuha", [&pages] {
        // Every page takes the current safe mode with its fresh host site.
        for (FormWeb *p : pages.pagesInTabOrder()) {
            p->PageJavaConctrl();
            p->reload();
        }
    });
    c.on("KillPop", [&pages, &session] {
        session.options.setSafePictureMode(1);
        if (FormWeb *p = pages.activePage())
            p->PageJavaConctrl();
    });
    c.on("Tingzhi", onActive(pages, [](FormWeb *p) { p->stop(); }));
    // The engine's own editing commands.
    const std::pair<const char *, EditCommand> edits[] = {
        {"mnuEditCopy", EditCommand::Copy}, {"shan", EditCommand::Cut},
        {"chakan", EditCommand::Paste}, {"mnuViewRefresh", EditCommand::SelectAll}};
    for (const auto &[name, command] : edits) {
        const QWidget &window = c.window;
        c.on(name, [&pages, &window, command] {
            if (QLineEdit *field = focusedTextField(window))
                editText(field, command);
            else if (FormWeb *p = pages.activePage())
                p->commands().edit(command);
        });
    }
    for (int i = 0; i < 2; ++i) {
        c.on("BigP", onActive(pages, [&pages, i](FormWeb *p) {
            if (!p->commands().zoomStep(i == 0))
                pages.tell(QStringLiteral("已到缩放的极限。"));
        }), i);
    }
    c.on("mnuViewOptions", onActive(pages, [](FormWeb *p) { p->commands().showFind(); }));
    // One check mark for the window: the active page follows it.
    MainMenus &menus = c.menus;
    QAction *editMode = c.on("EditPage", [&pages, &menus] {
        if (FormWeb *p = pages.activePage())
            p->commands().setEditable(menus.action(QStringLiteral("EditPage"))->isChecked());
    });
    editMode->setCheckable(true);
    Frmmain &window = c.window;
    c.on("Attrib", onActive(pages, [&window](FormWeb *p) {
        PageProperties properties(&window);
        QPointer<PageProperties> shown(&properties);
        p->document().pageFacts([shown](const PageFacts &facts) {
            if (shown)
                shown->fill(facts);
        });
        window.runDialog(properties);
    }));
    c.on("AutoReshua", [&pages, &window] {
        FormAutoREshua refresher([&pages] {
            if (FormWeb *p = pages.activePage())
                p->reload();
        }, &window);
        window.runDialog(refresher);
    });

    // The two scrolling items exclude each other; the checkable item has already flipped.
    for (int i = 0; i < 2; ++i) {
        MouseWatch &mouse = c.mouse;
        c.on("ScreenRun", [&menus, &mouse, i] {
            QAction *chosen = menus.action(QStringLiteral("ScreenRun"), i);
            if (chosen->isChecked()) {
                menus.action(QStringLiteral("ScreenRun"), 1 - i)->setChecked(false);
                mouse.setScrolling(i == 0 ? -1 : 1);
            } else {
                mouse.setScrolling(0);
            }
        }, i);
    }

    TabStrip &strip = *c.window.tabStrip();
    AddressRow &address = c.address;
    c.on("fuzhi", [&pages, &strip] { putOnClipboard(strip.labelText(pages.book().slotAt(pages.book().hoverPos()))); });
    c.on("address", [&address] { putOnClipboard(address.addressText()); });
    c.on("Page", [&pages, &strip] {
        if (QLineEdit *lab = strip.existingLabel(pages.book().activeSlot()))
            putOnClipboard(lab->selectedText());
    });

    Toolbar &toolbar = c.toolbar;
    QObject::connect(&address, &AddressRow::goRequested, &pages, [&pages, &toolbar](const QString &text) {
        if (toolbar.clearGalleryToggle())
            pages.focusActivePage();
        pages.goActive(text);
    });
    QObject::connect(&address, &AddressRow::keyboardTaken, &pages, onActive(pages, [](FormWeb *p) { p->focusHolder(); }));
}
