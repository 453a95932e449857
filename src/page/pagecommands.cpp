#include "page/pagecommands.h"

#include "engine/pagecontrol.h"
#include "page/findbar.h"
#include "page/selectionbar.h"
#include "page/zoomstep.h"
#include "platform/clipboard.h"
#include "tabs/sites.h"
#include "tabs/stripgeometry.h"

#include <QLineEdit>
#include <QWidget>

PageCommands::PageCommands(PageControl &web, QWidget *page, QString &findWord)
    : QObject(page)
    , m_web(web)
    , m_page(page)
    , m_findWord(findWord)
{
    m_pictMouse = new SelectionBar(page);
    connect(m_pictMouse, &SelectionBar::searchChosen, this,
            [this](const QString &text) { emit searchInNewPage(Sites::searchAddress(text)); });
    connect(m_pictMouse, &SelectionBar::copyChosen, this, [](const QString &text) { putOnClipboard(text); });
}

void PageCommands::edit(Edit command)
{
    m_web.edit(command);
}

void PageCommands::ZOOMIE(int percent)
{
    // A page without a body is left as it is. In the browser's own script world, which
    // runs also where the page's scripts are off (safe picture mode).
    m_web.runScript(QStringLiteral("if (document.body) document.body.style.zoom='%1%'").arg(percent));
    emit zoomShown(percent);
}

bool PageCommands::zoomStep(bool in)
{
    const std::optional<int> next = ZoomStep::next(m_bigSize, in);
    if (!next)
        return false;
    m_bigSize = *next;
    ZOOMIE(m_bigSize);
    return true;
}

void PageCommands::setEditable(bool editable)
{
    m_web.runScript(editable ? QStringLiteral("document.designMode = 'on'") : QStringLiteral("document.designMode = 'off'"));
}

FindBar *PageCommands::showFind()
{
    if (!m_find) {
        m_find = new FindBar([this](const QString &word, bool backward, bool matchCase, std::function<void(int, int)> done) {
            m_web.find(word, backward, matchCase, this, std::move(done));
        }, m_findWord, m_page);
        layout(m_page->width());
    }
    m_find->open();
    return m_find;
}

void PageCommands::zhan(int xTwips, int yTwips)
{
    // Read from the page's selection: the user's clipboard stays as it was.
    const QString text = m_web.selectedText();
    emit selectionForSearch(text);
    if (!text.isEmpty())
        m_pictMouse->showFor(text, QPoint(StripGeometry::toPixels(xTwips), StripGeometry::toPixels(yTwips)));
}

void PageCommands::hideSelectionBar()
{
    m_pictMouse->park();
}

void PageCommands::documentLoaded()
{
    if (m_find && m_find->isVisible() && !m_find->word()->text().isEmpty())
        m_find->next();
}

void PageCommands::layout(int width)
{
    if (!m_find)
        return;
    // Over the page's upper right corner.
    const QSize bar = m_find->sizeHint();
    m_find->setGeometry(qMax(0, width - bar.width() - 16), 0, qMin(width, bar.width()), bar.height());
}
