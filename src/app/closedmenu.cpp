#include "app/closedmenu.h"

#include "tabs/pagetext.h"

#include <QAction>

namespace {
// A page without a title is captioned with its address: shown as people read it.
QString menuCaption(const QString &caption, const QString &address)
{
    const bool isAddress = caption == address || caption.startsWith(QLatin1String("http"), Qt::CaseInsensitive);
    return isAddress ? PageText::readableAddress(caption) : caption;
}
} // namespace

void ClosedMenu::fill(const QVector<ClosedPages::Entry> &entries)
{
    for (int k = 0; k < entries.size() && k < m_items.size(); ++k)
        show(k, menuCaption(entries[k].title, entries[k].address), entries[k].address);
    m_cursor = ClosedPages::menuCursorAfterFill(entries.size());
}

void ClosedMenu::add(const QString &caption, const QString &address)
{
    m_cursor = ClosedPages::nextMenuItem(m_cursor);
    show(m_cursor, PageText::firstChars(menuCaption(caption, address), 40), address);
}

void ClosedMenu::clear()
{
    for (QAction *a : m_items) {
        a->setVisible(false);
        a->setText(QString());
        a->setData(QVariant());
    }
    m_cursor = -1;
}

void ClosedMenu::show(int item, const QString &caption, const QString &address)
{
    QAction *a = m_items.value(item, nullptr);
    if (!a)
        return;
    // A menu caption shows '&' literally.
    QString text = PageText::withoutBidiControls(caption);
    a->setText(text.replace(QLatin1Char('&'), QLatin1String("&&")));
    a->setData(address);
    a->setVisible(true);
}
