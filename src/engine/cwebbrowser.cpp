#include "engine/cwebbrowser.h"

#include "engine/pagecontrol.h"

#include <QWidget>

cWebBrowser::~cWebBrowser()
{
    // The browser must not ask a site that is gone; it keeps the last word it received
    // until a new site attaches.
    if (m_browser && m_browser->clientSite() == this)
        m_browser->setClientSite(nullptr);
}

PageControl *cWebBrowser::Webbrowser() const
{
    return m_browser;
}

void cWebBrowser::setDownloadCtrlEX(int flags)
{
    m_downloadCtrl = flags;
    if (m_attached && m_browser)
        m_browser->OnAmbientPropertyChange(PageControl::kAmbientDownloadControl);
}

void cWebBrowser::pvReleaseWBControl()
{
    if (m_attached && m_browser) {
        if (m_browser->clientSite() == this)
            m_browser->setClientSite(nullptr);
        m_browser->setDownloadControl(-1);
        m_browser.clear();
        m_hwnd.clear();
        m_attached = false;
    }
    m_container.clear();
}

void cWebBrowser::INIAll(QWidget *container, PageControl *browser)
{
    m_container = container;
    attach(browser);
}

void cWebBrowser::attach(PageControl *browser)
{
    if (!browser)
        return;
    m_browser = browser;
    browser->setClientSite(this);
    m_hwnd = browser->widget();
    // In-place activation: the browser's window lives inside the container.
    if (m_container && m_hwnd && m_hwnd->parentWidget() != m_container) {
        m_hwnd->setParent(m_container);
        m_hwnd->show();
    }
    ResizeWeb(0, 0, 0, 0, true);
    m_attached = true;
    browser->OnAmbientPropertyChange(PageControl::kAmbientUserAgent);
    browser->OnAmbientPropertyChange(PageControl::kAmbientDownloadControl);
}

void cWebBrowser::ResizeWeb(int x, int y, int cx, int cy, bool useDefault)
{
    if (!m_hwnd)
        return;
    if (useDefault && m_container)
        m_hwnd->setGeometry(0, 0, m_container->width(), m_container->height());
    else if (!useDefault)
        m_hwnd->setGeometry(x, y, cx, cy);
}

bool cWebBrowser::apply()
{
    m_computed = DownloadControl::flagWord(m_switches);
    setDownloadCtrlEX(m_computed);
    return m_browser && m_browser->Refresh2();
}

void cWebBrowser::setDL_Image(bool on) { m_switches.image = on; apply(); }
void cWebBrowser::setDL_BgSound(bool on) { m_switches.bgSound = on; apply(); }
void cWebBrowser::setDL_Script(bool on) { m_switches.script = on; apply(); }

bool cWebBrowser::setDl_DlActiveX(bool on)
{
    m_switches.dlActiveX = on;
    return apply();
}

bool cWebBrowser::Dl_EnableAll(bool on)
{
    m_switches = {on, on, on, on, on, on, on};
    return apply();
}

bool cWebBrowser::Dl_BatchSet(bool image, bool script, bool bgSound, bool video, bool activeX, bool javaApplet,
                              bool dlActiveX)
{
    m_switches.image = image;
    m_switches.script = script;
    m_switches.bgSound = bgSound;
    m_switches.video = video;
    m_switches.activeX = activeX;
    m_switches.javaApplet = javaApplet;
    m_switches.dlActiveX = dlActiveX;
    return apply();
}
