#include "page/pagedocument.h"

#include "engine/pagecontrol.h"
#include "page/pageproperties.h"

#include <QFileInfo>
#include <QUrl>

PageDocument::PageDocument(PageControl &web, std::function<QString()> title, QObject *parent)
    : QObject(parent)
    , m_web(web)
    , m_title(std::move(title))
{
    connect(&m_web, &PageControl::DocumentComplete, this, [this] {
        m_web.runScript(QStringLiteral("document.contentType"), this, [this](const QVariant &type) { m_type = type.toString(); });
    });
}

void PageDocument::savePdf(const QString &path, std::function<void(bool)> done)
{
    m_web.downloadTo(m_web.LocationURL(), path, this, std::move(done));
}

void PageDocument::documentSource(std::function<void(const QString &)> take)
{
    // As the page holds it now; "" for a page without a document.
    m_web.runScript(QStringLiteral("document.documentElement ? document.documentElement.innerHTML : ''"),
                     this, [take](const QVariant &v) { take(v.toString()); });
}

void PageDocument::selectionSource(std::function<void(const QString &)> take)
{
    m_web.runScript(QStringLiteral("(function(){var s=window.getSelection();if(!s||!s.rangeCount)return '';"
                                    "var d=document.createElement('div');"
                                    "for(var i=0;i<s.rangeCount;i++)d.appendChild(s.getRangeAt(i).cloneContents());"
                                    "return d.innerHTML;})()"),
                     this, [take](const QVariant &v) { take(v.toString()); });
}

void PageDocument::documentText(std::function<void(const QString &)> take)
{
    m_web.runScript(QStringLiteral("document.body ? document.body.innerText : ''"),
                     this, [take](const QVariant &v) { take(v.toString()); });
}

void PageDocument::savePage(const QString &path, bool complete, std::function<void(bool)> done)
{
    m_web.savePage(path, complete ? PageControl::PageFormat::Complete : PageControl::PageFormat::SingleFile, this,
                    std::move(done));
}

void PageDocument::download(const QString &address)
{
    m_web.download(address);
}

void PageDocument::pageFacts(std::function<void(const PageFacts &)> take)
{
    // A document without a Last-Modified date reports the moment it is asked.
    static const QString script = QStringLiteral(R"((function() {
  var nav = performance.getEntriesByType('navigation')[0];
  var lm = Date.parse(document.lastModified);
  var known = !isNaN(lm) && Math.abs(Date.now() - lm) > 3000;
  return [document.contentType || '', document.characterSet || '', nav ? nav.decodedBodySize : 0, known ? lm : 0];
})())");
    PageFacts facts;
    facts.title = m_title();
    facts.address = m_web.LocationURL();
    const QUrl url(facts.address);
    facts.scheme = url.scheme();
    facts.certificate = m_web.acceptedCertificateProblem();
    m_web.runScript(script, this, [take, facts, url](const QVariant &answer) mutable {
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

void PageDocument::printDocument(const QPageLayout &layout, const QPageRanges &ranges, QObject *context,
                            std::function<void(const QByteArray &)> done)
{
    m_web.printToPdf(layout, ranges, context, std::move(done));
}
