// The page window turning its browser's events into what the tab, the caption, the
// address box and the status bar show, and into the page's jobs.
#include "page/formweb.h"
#include "page/logindialog.h"

#include "page/pageclosing.h"
#include "page/certificatepanel.h"

#include "engine/pagecontrol.h"
#include "page/pagecommands.h"
#include "page/pagehost.h"
#include "page/pagepictures.h"
#include "page/pagesleep.h"
#include "page/scriptdialog.h"
#include "page/session.h"
#include "page/statusbar.h"
#include "platform/clock.h"
#include "userdata/options.h"

void FormWeb::onProgressChange(int progress, int progressMax)
{
    m_status->setProgress(m_progress.change(progress, progressMax));
    if (m_progress.reachedFull())
        m_pictures->loaded();
    // -1: the load ended (finished, stopped or refused).
    const bool loading = progress != -1;
    if (loading != m_loading) {
        m_loading = loading;
        emit loadingChanged(loading);
    }
}

void FormWeb::onCommandStateChange(int command, bool enable)
{
    // Kept for every page, so a tab activated later shows its own state; only the
    // active page drives the buttons.
    if (command == 2)
        m_backEnabled = enable;
    else if (command == 1)
        m_forwardEnabled = enable;
    if (isActive())
        butenableable();
}

void FormWeb::onTitleChange(const QString &engineTitle)
{
    // The engine's title falls back to the address while a document has none: a title
    // that cannot be an address is the document's own and shows at once (the document
    // may be busy for a while yet); any other is asked of the document itself.
    if (!engineTitle.isEmpty() && !PageText::mayBeAddress(engineTitle, m_web->LocationURL())) {
        applyTitle(engineTitle);
        return;
    }
    m_web->queryDocumentTitle(this, [this](bool ok, const QString &title) {
        if (ok)
            applyTitle(title);
    });
}

void FormWeb::applyTitle(const QString &rawTitle)
{
    const QString documentTitle = PageText::withoutBidiControls(rawTitle);
    const QString location = m_web->LocationURL();
    m_documentTitle = documentTitle;
    // While a panel or frame stands over the page, the tab and the caption name it.
    const QString standIn = m_certificate && !m_certificate->isHidden()
                                ? QStringLiteral("证书错误 - ") + m_certificate->problem().url.host()
                            : m_login && m_login->waiting() ? QStringLiteral("需要登录 - ") + m_login->askedHost()
                                                            : QString();
    m_pageTitle = standIn.isEmpty() ? PageText::pageTitle(documentTitle, location) : standIn;
    const PageText::Label label = PageText::tabLabel(m_pageTitle);
    m_host.setTabLabel(this, label);
    m_caption = m_pageTitle;
    setWindowTitle(PageText::plainWindowTitle(m_caption));

    m_visits.noteTitle(documentTitle, location, m_session.clock.now(), m_session.options.homePageUrl());

    if (isActive()) {
        m_myname = m_pageTitle;
        m_host.setMainCaption(PageText::mainCaption(label.text));
        m_host.setAddressText(addressShown());
    }
    // Only now: a view's first showing holds the user-interface thread for a while.
    // An empty title may be the document not parsed yet; the load's end shows it.
    if (!documentTitle.isEmpty())
        m_web->revealView();
}

void FormWeb::onDocumentComplete()
{
    // A title event can arrive before the new document is parsed (history navigation
    // brings its title along), when the document still reads as untitled; read it again
    // once the load is over.
    onTitleChange(QString());
    m_closing->watchForDocument();
    m_sleep->documentLoaded();
    m_commands->documentLoaded();
    m_host.focusActivePage(this);
    emit documentLoaded();
}

void FormWeb::onRendererGone()
{
    // The page's process crashed or was killed: its tab says so instead of showing a
    // frozen page; a reload (F5) starts it again. Its visits stay as they were recorded.
    const PageText::Label label = PageText::tabLabel(kStoppedLabel);
    m_host.setTabLabel(this, label);
    showStatus(kStoppedNotice);
    if (isActive())
        m_host.setMainCaption(PageText::mainCaption(label.text));
}

void FormWeb::onBeforeNavigate(NavigationRequest &request)
{
    if (m_guard.beforeNavigate(request)) {
        m_notice.clear();
        m_dialog->reset();
    }
    m_pictures->BeforeDownload();
    // The page goes elsewhere: a certificate question of its last load ends with it.
    if (!request.cancel && request.mainFrame) {
        m_certificate->hide();
        m_login->putAway();
        // A new document comes at its own size.
        m_status->showZoom(100);
    }
}

void FormWeb::onNewWindow(NewWindowRequest &request)
{
    QString told;
    if (!m_guard.mayOpen(request, m_session.clock.now(), &told)) {
        request.cancel = true;
        if (!told.isEmpty())
            showStatus(told);
        return;
    }
    m_host.openNewWindow(this, request);
}
