// The page window's files: its markup, its selection's, its text, saving it, and
// downloading an address through it.
#include "page/formweb.h"

#include "engine/browsercontrol.h"

void FormWeb::documentSource(std::function<void(const QString &)> take)
{
    // As the page holds it now; "" for a page without a document.
    m_web->runScript(QStringLiteral("document.documentElement ? document.documentElement.innerHTML : ''"),
                     [take](const QVariant &v) { take(v.toString()); });
}

void FormWeb::selectionSource(std::function<void(const QString &)> take)
{
    m_web->runScript(QStringLiteral("(function(){var s=window.getSelection();if(!s||!s.rangeCount)return '';"
                                    "var d=document.createElement('div');"
                                    "for(var i=0;i<s.rangeCount;i++)d.appendChild(s.getRangeAt(i).cloneContents());"
                                    "return d.innerHTML;})()"),
                     [take](const QVariant &v) { take(v.toString()); });
}

void FormWeb::documentText(std::function<void(const QString &)> take)
{
    m_web->runScript(QStringLiteral("document.body ? document.body.innerText : ''"),
                     [take](const QVariant &v) { take(v.toString()); });
}

void FormWeb::savePage(const QString &path, bool complete, std::function<void(bool)> done)
{
    m_web->savePage(path, complete ? BrowserControl::PageFormat::Complete : BrowserControl::PageFormat::SingleFile,
                    std::move(done));
}

void FormWeb::download(const QString &address)
{
    m_web->download(address);
}
