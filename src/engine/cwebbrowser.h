#pragma once
#include <QObject>
#include <QPointer>

#include "engine/clientsite.h"
#include "engine/downloadcontrol.h"

class PageControl;
class QWidget;

// The host site of one page's browser control. Once attached it answers the browser's
// download-control query, so the page loads (or not) pictures, videos, background
// sounds, scripts and plugins from its next load on. Switch writes recompute the flag
// word, hand it to the browser and reload the page.
class cWebBrowser : public QObject, public ClientSite
{
    Q_OBJECT
public:
    cWebBrowser() = default;
    ~cWebBrowser() override;

    // The flag word answered to the browser.
    int DownloadCtrlEX() const { return m_downloadCtrl; }
    int ambientDownloadControl() const override { return m_downloadCtrl; }
    void setDownloadCtrlEX(int flags);
    // The browser's own window (its view), once attached.
    QWidget *hwnd() const { return m_hwnd; }
    // Lets the browser go: it returns to its own defaults; the container is dropped.
    void pvReleaseWBControl();
    // Takes container as the browser's container and attaches to browser.
    void INIAll(QWidget *container, PageControl *browser);
    // Places the browser in its container; useDefault fills the container.
    void ResizeWeb(int x, int y, int cx, int cy, bool useDefault);
    PageControl *Webbrowser() const;
    bool attached() const { return m_attached; }
    // The word computed from the seven switches.
    int computedFlags() const { return m_computed; }

    bool DL_Image() const { return m_switches.image; }
    bool DL_BgSound() const { return m_switches.bgSound; }
    bool DL_Video() const { return m_switches.video; }
    bool DL_Script() const { return m_switches.script; }
    bool DL_ActiveX() const { return m_switches.activeX; }
    bool DL_JavaApplet() const { return m_switches.javaApplet; }
    bool Dl_DlActiveX() const { return m_switches.dlActiveX; }

    // Each stores its switch, writes the new word and reloads the page; a failing reload
    // is ignored.
    void setDL_Image(bool on);
    void setDL_BgSound(bool on);
    void setDL_Script(bool on);
    // These report a failing reload (false).
    bool setDl_DlActiveX(bool on);
    bool Dl_EnableAll(bool on);
    bool Dl_BatchSet(bool image, bool script, bool bgSound, bool video, bool activeX, bool javaApplet,
                     bool dlActiveX);

private:
    void attach(PageControl *browser);
    // Recomputes, writes and reloads; false when the reload could not be made.
    bool apply();

    QPointer<PageControl> m_browser;
    int m_downloadCtrl = DownloadControl::kDefault;
    int m_computed = DownloadControl::kDefault;
    DownloadControl::Switches m_switches;
    QPointer<QWidget> m_container;
    bool m_attached = false;
    QPointer<QWidget> m_hwnd;
};
