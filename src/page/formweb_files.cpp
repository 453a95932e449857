// The page window's files and commands: its markup, its selection's, its text, saving
// it, downloading an address through it; editing, zoom, edit mode and the selection bar.
#include "page/formweb.h"
#include "page/session.h"

#include "engine/pagecontrol.h"
#include "page/findbar.h"
#include "page/pageproperties.h"
#include "page/selectionbar.h"
#include "page/zoomstep.h"
#include "platform/clipboard.h"
#include "tabs/sites.h"
#include "tabs/stripgeometry.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QUrl>

void FormWeb::documentSource(std::function<void(const QString &)> take)
{
    // As the page holds it now; "" for a page without a document.
    m_web->runScript(QStringLiteral("document.documentElement ? document.documentElement.innerHTML : ''"),
                     this, [take](const QVariant &v) { take(v.toString()); });
}

void FormWeb::selectionSource(std::function<void(const QString &)> take)
{
    m_web->runScript(QStringLiteral("(function(){var s=window.getSelection();if(!s||!s.rangeCount)return '';"
                                    "var d=document.createElement('div');"
                                    "for(var i=0;i<s.rangeCount;i++)d.appendChild(s.getRangeAt(i).cloneContents());"
                                    "return d.innerHTML;})()"),
                     this, [take](const QVariant &v) { take(v.toString()); });
}

void FormWeb::documentText(std::function<void(const QString &)> take)
{
    m_web->runScript(QStringLiteral("document.body ? document.body.innerText : ''"),
                     this, [take](const QVariant &v) { take(v.toString()); });
}

void FormWeb::savePage(const QString &path, bool complete, std::function<void(bool)> done)
{
    m_web->savePage(path, complete ? PageControl::PageFormat::Complete : PageControl::PageFormat::SingleFile, this,
                    std::move(done));
}

void FormWeb::download(const QString &address)
{
    m_web->download(address);
}

void FormWeb::edit(Edit command)
{
    m_web->edit(command);
}

void FormWeb::ZOOMIE(int percent)
{
    // A page without a body is left as it is. In the browser's own script world, which
    // runs also where the page's scripts are off (safe picture mode).
    m_web->runScript(QStringLiteral("if (document.body) document.body.style.zoom='%1%'").arg(percent));
}

bool FormWeb::zoomStep(bool in)
{
    const std::optional<int> next = ZoomStep::next(m_bigSize, in);
    if (!next)
        return false;
    m_bigSize = *next;
    ZOOMIE(m_bigSize);
    return true;
}

void FormWeb::setEditable(bool editable)
{
    m_web->runScript(editable ? QStringLiteral("document.designMode = 'on'") : QStringLiteral("document.designMode = 'off'"));
}

FindBar *FormWeb::showFind()
{
    if (!m_find) {
        m_find = new FindBar([this](const QString &word, bool backward, bool matchCase, std::function<void(int, int)> done) {
            m_web->find(word, backward, matchCase, this, std::move(done));
        }, m_session.findWord, this);
        layoutControls();
        // A search made while the page was still loading found nothing yet; the bar
        // searches the finished page again.
        connect(this, &FormWeb::documentLoaded, m_find, [this] {
            if (m_find->isVisible() && !m_find->word()->text().isEmpty())
                m_find->next();
        });
    }
    m_find->open();
    return m_find;
}

void FormWeb::setUpSelectionBar()
{
    m_pictMouse = new SelectionBar(this);
    connect(m_pictMouse, &SelectionBar::searchChosen, this,
            [this](const QString &text) { emit searchInNewPage(Sites::searchAddress(text)); });
    connect(m_pictMouse, &SelectionBar::copyChosen, this, [](const QString &text) { putOnClipboard(text); });
}

void FormWeb::zhan(int xTwips, int yTwips)
{
    // Read from the page's selection: the user's clipboard stays as it was.
    const QString text = m_web->selectedText();
    emit selectionForSearch(text);
    if (!text.isEmpty())
        m_pictMouse->showFor(text, QPoint(StripGeometry::toPixels(xTwips), StripGeometry::toPixels(yTwips)));
}

void FormWeb::hideSelectionBar()
{
    if (m_pictMouse)
        m_pictMouse->park();
}

void FormWeb::pageFacts(std::function<void(const PageFacts &)> take)
{
    // A document without a Last-Modified date reports the moment it is asked.
    static const QString script = QStringLiteral(R"((function() {
  var nav = performance.getEntriesByType('navigation')[0];
  var lm = Date.parse(document.lastModified);
  var known = !isNaN(lm) && Math.abs(Date.now() - lm) > 3000;
  return [document.contentType || '', document.characterSet || '', nav ? nav.decodedBodySize : 0, known ? lm : 0];
})())");
    PageFacts facts;
    facts.title = m_documentTitle;
    facts.address = location();
    const QUrl url(facts.address);
    facts.scheme = url.scheme();
    m_web->runScript(script, this, [take, facts, url](const QVariant &answer) mutable {
        const QVariantList v = answer.toList();
        if (v.size() == 4) {
            facts.type = v[0].toString();
            facts.charset = v[1].toString();
            if (v[2].toLongLong() > 0)
                facts.bytes = v[2].toLongLong();
            if (v[3].toLongLong() > 0)
                facts.modified = QDateTime::fromMSecsSinceEpoch(v[3].toLongLong());
        }
        // A local file says its own size and date.
        if (url.isLocalFile()) {
            const QFileInfo file(url.toLocalFile());
            if (file.isFile()) {
                facts.bytes = file.size();
                facts.modified = file.lastModified();
            }
        }
        take(facts);
    });
}

void FormWeb::printDocument(const QPageLayout &layout, const QPageRanges &ranges, QObject *context,
                            std::function<void(const QByteArray &)> done)
{
    m_web->printToPdf(layout, ranges, context, std::move(done));
}
