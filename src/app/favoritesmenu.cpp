#include "app/favoritesmenu.h"

#include <QAction>
#include <QMenu>

FavoritesMenu::FavoritesMenu(QMenu *menu, const Favorites &favorites)
    : QObject(menu)
    , m_menu(menu)
    , m_favorites(favorites)
{
}

void FavoritesMenu::rebuild()
{
    qDeleteAll(m_items);
    m_items.clear();
    const QVector<Favorites::Entry> entries = m_favorites.entries(Favorites::kMenuItems);
    for (int i = 0; i < entries.size(); ++i) {
        QString caption = entries[i].title;
        QAction *item = m_menu->addAction(caption.replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setObjectName(QStringLiteral("MyFavorites"));
        item->setProperty("index", i);
        item->setData(entries[i].address);
        connect(item, &QAction::triggered, this, [this, item] { emit chosen(item->data().toString()); });
        m_items.append(item);
    }
}
