#include "app/closedmenu.h"

#include "tabs/pagetext.h"

#include <QAction>

void ClosedMenu::fill(const QVector<ClosedPages::Entry> &entries)
{
    for (int k = 0; k < entries.size() && k < m_items.size(); ++k)
        show(k, entries[k].title, entries[k].address);
    m_cursor = ClosedPages::menuCursorAfterFill(entries.size());
}

void ClosedMenu::add(const QString &caption, const QString &address)
{
    m_cursor = ClosedPages::nextMenuItem(m_cursor);
    show(m_cursor, PageText::firstChars(caption, 40), address);
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
