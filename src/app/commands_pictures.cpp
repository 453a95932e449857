#include "app/commands.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "page/formweb.h"
#include "page/pagepictures.h"
#include "page/session.h"
#include "pictures/formdownimage.h"
#include "pictures/formimage.h"
#include "pictures/picturename.h"
#include "platform/shell.h"

#include <QPointer>

void wirePictureCommands(Commands &c)
{
    PageStack &pages = c.pages;
    Toolbar &toolbar = c.toolbar;
    Session &session = c.session;

    // The gallery toggle: checked, it builds the active page's gallery and shows it in
    // front of the page; unchecked (also when cleared by a tab click or an address), the
    // page comes back.
    QToolButton *chk = toolbar.button("Chk");
    chk->setEnabled(true);
    QObject::connect(chk, &QToolButton::toggled, chk, [&pages, &toolbar](bool checked) {
        FormWeb *p = pages.activePage();
        if (checked && p) {
            p->pictures().setAutoFind(false);
            p->pictures().SearchPic();
        }
        if (p)
            p->pictures().showGallery(checked);
        toolbar.showGalleryToggle(checked);
        pages.focusActivePage();
    });

    c.onButton("Command4", [&pages, &toolbar] {
        QToolButton *button = toolbar.button("Command4");
        FormWeb *p = pages.activePage();
        if (!p)
            return;
        button->setEnabled(false);
        QPointer<QToolButton> guard(button);
        p->pictures().AutoDownLoadImag([guard] {
            if (guard)
                guard->setEnabled(true);
        });
    });
    Shell &shell = session.shell;
    c.onButton("Command6", [&shell] { shell.open(PictureName::downloadFolder()); });

    Frmmain &window = c.window;
    // The page screenshot, from both menu items; safe picture mode sends the user to the
    // settings centre first.
    const auto screenshot = [&pages, &window] {
        FormWeb *p = pages.activePage();
        if (p && p->pictures().ScreenSaveAs(window.windowTitle()) == PagePictures::Shot::SafeMode)
            window.openSettingsCentre();
    };
    c.on("PrintScreen", screenshot);
    c.on("PrintScreen2", screenshot);

    // A gallery click shows the picture in the viewer: one window, reused while open.
    auto viewer = std::make_shared<QPointer<FormImage>>();
    QObject::connect(&pages, &PageStack::pictureChosen, &window, [&window, &session, viewer](const QString &address) {
        if (!*viewer)
            *viewer = new FormImage(session.engine, session.pictures.list, session.dialogs, session.shell, &window);
        FormImage *v = *viewer;
        v->show();
        v->raise();
        v->activateWindow();
        v->LoadImg(address);
    });
    c.on("DownloadImg", [&pages, &session, &window] {
        QPointer<FormWeb> p = pages.activePage();
        if (!p)
            return;
        FormDownImage dialog(session.store, session.dialogs, session.shell, &window);
        window.runDialog(dialog);
        if (!p)
            return;
        p->pictures().DownloadPictureSaveAs(dialog.chosenFolder());
        p->focusHolder();
    });
}
